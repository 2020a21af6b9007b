// The public Recordset and what all kinds of recordsets share.

#include "dao_internal.h"

namespace lg::dao {

Recordset::Impl::Impl(std::shared_ptr<Database> owner, Database::Impl* connection)
    : database(std::move(owner)), db(connection)
{
    db->recordsets.insert(this);
}

Recordset::Impl::~Impl()
{
    if (db)
        db->recordsets.erase(this);
}

void Recordset::Impl::close()
{
    open = false;
    row.stmt = nullptr;
    if (db)
        db->recordsets.erase(this);
}

void Recordset::Impl::failClosed()
{
    fail(kRecordsetSource, daoerr::ObjectClosed, QStringLiteral("Object invalid or no longer set."));
}

void Recordset::Impl::notSupported() const
{
    fail(kRecordsetSource, daoerr::NotSupported, QStringLiteral("Operation is not supported for this type of object."));
}

void Recordset::Impl::move(long rows)
{
    if (rows > 0) {
        for (long i = 0; i < rows && !eof(); ++i)
            moveNext();
    } else {
        for (long i = 0; i > rows && !bof(); --i)
            movePrevious();
    }
}

QString Recordset::Impl::index() const
{
    return {};
}
void Recordset::Impl::setIndex(const QString&)
{
    notSupported();
}
void Recordset::Impl::seek(const QString&, const QList<Value>&)
{
    notSupported();
}
void Recordset::Impl::addNew()
{
    fail(kRecordsetSource, daoerr::ReadOnly, QStringLiteral("Cannot update. Database or object is read-only."));
}
void Recordset::Impl::edit()
{
    addNew();
}
void Recordset::Impl::setField(const QString&, const Value&)
{
    fail(kRecordsetSource, daoerr::UpdateWithoutEdit, QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
}
void Recordset::Impl::update()
{
    setField({}, {});
}
void Recordset::Impl::cancelUpdate()
{
    setField({}, {});
}

// ---- the public face ---------------------------------------------------------------

Recordset::Recordset(std::unique_ptr<Impl> impl) : d(std::move(impl)), m_row(&d->row) {}

Recordset::~Recordset()
{
    if (d && d->open)
        d->close();
}

bool Recordset::Bof() const
{
    d->checkOpen();
    return d->bof();
}

bool Recordset::eofChecked() const
{
    d->checkOpen();
    return d->eof();
}

void Recordset::MoveFirst()
{
    d->checkOpen();
    d->moveFirst();
}

void Recordset::MoveNext()
{
    d->checkOpen();
    d->moveNext();
}

void Recordset::MovePrevious()
{
    d->checkOpen();
    d->movePrevious();
}

void Recordset::MoveLast()
{
    d->checkOpen();
    d->moveLast();
}

void Recordset::Move(long rows)
{
    d->checkOpen();
    d->move(rows);
}

long Recordset::RecordCount() const
{
    d->checkOpen();
    return d->recordCount();
}

int Recordset::FieldCount() const
{
    d->checkOpen();
    return d->fieldCount();
}

QString Recordset::FieldName(int index) const
{
    d->checkOpen();
    if (index < 0 || index >= d->fieldCount())
        fail(kRecordsetSource, daoerr::ItemNotFound, QStringLiteral("Item not found in this collection."));
    return d->fieldName(index);
}

FieldType Recordset::FieldTypeOf(int index) const
{
    d->checkOpen();
    if (index < 0 || index >= d->fieldCount())
        fail(kRecordsetSource, daoerr::ItemNotFound, QStringLiteral("Item not found in this collection."));
    return d->fieldType(index);
}

int Recordset::FieldIndex(const QString& name) const
{
    d->checkOpen();
    return d->fieldIndex(name);
}

Value Recordset::Fields(const QString& name) const
{
    d->checkOpen();
    const int i = d->fieldIndex(name);
    if (i < 0)
        fail(kRecordsetSource, daoerr::ItemNotFound,
             QStringLiteral("Item not found in this collection: '%1'.").arg(name));
    return d->field(i);
}

Value Recordset::fieldChecked(int index) const
{
    d->checkOpen();
    if (index < 0 || index >= d->fieldCount())
        fail(kRecordsetSource, daoerr::ItemNotFound, QStringLiteral("Item not found in this collection."));
    return d->field(index);
}

QList<QList<Value>> Recordset::GetRows(long rows)
{
    d->checkOpen();
    QList<QList<Value>> out;
    const int n = d->fieldCount();
    if (d->bof() && !d->eof())
        d->moveNext();
    while ((rows < 0 || out.size() < rows) && !d->eof()) {
        QList<Value> row;
        row.reserve(n);
        for (int i = 0; i < n; ++i)
            row.append(d->field(i));
        out.append(std::move(row));
        d->moveNext();
    }
    return out;
}

void Recordset::Close()
{
    if (d->open)
        d->close();
}

bool Recordset::isOpen() const
{
    return d->open;
}

QString Recordset::Index() const
{
    d->checkOpen();
    return d->index();
}

void Recordset::setIndex(const QString& name)
{
    d->checkOpen();
    d->setIndex(name);
}

void Recordset::Seek(const QString& comparison, const QList<Value>& keys)
{
    d->checkOpen();
    d->seek(comparison, keys);
}

bool Recordset::NoMatch() const
{
    d->checkOpen();
    return d->noMatch();
}

void Recordset::AddNew()
{
    d->checkOpen();
    d->addNew();
}

void Recordset::Edit()
{
    d->checkOpen();
    d->edit();
}

void Recordset::setField(const QString& name, const Value& value)
{
    d->checkOpen();
    d->setField(name, value);
}

void Recordset::Update()
{
    d->checkOpen();
    d->update();
}

void Recordset::CancelUpdate()
{
    d->checkOpen();
    d->cancelUpdate();
}

EditMode Recordset::editMode() const
{
    return d->open ? d->editMode() : EditMode::None;
}

QByteArray Recordset::Bookmark() const
{
    d->checkOpen();
    return d->bookmark();
}

void Recordset::setBookmark(const QByteArray& bookmark)
{
    d->checkOpen();
    d->setBookmark(bookmark);
}

QByteArray Recordset::LastModified() const
{
    d->checkOpen();
    return d->lastModified();
}

bool Recordset::LockEdits() const
{
    return d->lockEdits;
}
void Recordset::setLockEdits(bool pessimistic)
{
    d->lockEdits = pessimistic;
}

}  // namespace lg::dao

#include "store/record.h"

#include "platform/dao/dao.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/tables.h"

namespace lg {

namespace {

const QString kPrimaryKey = QStringLiteral("PrimaryKey");

QString str(const char* s)
{
    return QString::fromLatin1(s);
}

long toLong(const QVariant& v)
{
    return long(modTables::NullToDefault(v, modTables::vt::Long).toLongLong());
}
QString toText(const QVariant& v)
{
    return modTables::NullToDefault(v, modTables::vt::String).toString();
}
QDateTime toDate(const QVariant& v)
{
    return modTables::NullToDefault(v, modTables::vt::Date).toDateTime();
}

QDateTime today()
{
    return QDateTime(QDate::currentDate(), QTime(0, 0));
}

}  // namespace

PersistentRecord::PersistentRecord(const TableSpec& spec) : m_spec(&spec), m_values(size_t(spec.columnCount))
{
    CoreDefault();
}

PersistentRecord::~PersistentRecord() = default;

// --- column access ----------------------------------------------------------------

template <ColumnKind K> typename detail::ColumnType<K>::type PersistentRecord::value(int column) const
{
    const QVariant& v = m_values[size_t(column)];
    if constexpr (K == ColumnKind::Long || K == ColumnKind::Flag)
        return long(v.toLongLong());
    else if constexpr (K == ColumnKind::Text)
        return v.toString();
    else if constexpr (K == ColumnKind::Date || K == ColumnKind::DateToday)
        return v.toDateTime();
    else
        return v;
}

template <ColumnKind K> void PersistentRecord::setValue(int column, const typename detail::ColumnType<K>::type& v)
{
    QVariant& held = m_values[size_t(column)];
    bool differs;
    if constexpr (K == ColumnKind::Long || K == ColumnKind::Flag)
        differs = long(held.toLongLong()) != v;
    else if constexpr (K == ColumnKind::Text)
        differs = held.toString() != v;  // exact: case counts
    else if constexpr (K == ColumnKind::Date || K == ColumnKind::DateToday)
        differs = held.toDateTime() != v;
    else
        differs = dao::isNull(held) != dao::isNull(v) || (!dao::isNull(v) && held != v);
    if (differs)
        changed();
    if constexpr (K == ColumnKind::Long || K == ColumnKind::Flag)
        held = QVariant(qlonglong(v));
    else
        held = QVariant(v);
}

#define LG_INSTANTIATE(K)                                                                                              \
    template detail::ColumnType<ColumnKind::K>::type PersistentRecord::value<ColumnKind::K>(int) const;                \
    template void PersistentRecord::setValue<ColumnKind::K>(int, const detail::ColumnType<ColumnKind::K>::type&);
LG_INSTANTIATE(Long)
LG_INSTANTIATE(Flag)
LG_INSTANTIATE(Text)
LG_INSTANTIATE(Date)
LG_INSTANTIATE(DateToday)
LG_INSTANTIATE(Number)
#undef LG_INSTANTIATE

void PersistentRecord::storeValue(int column, const QVariant& v)
{
    m_values[size_t(column)] = v;
}

void PersistentRecord::set_ID(long v)
{
    if (v != m_id)
        changed();
    m_id = v;
}
void PersistentRecord::set_create_user(long v)
{
    if (v != m_createUser)
        changed();
    m_createUser = v;
}
void PersistentRecord::set_create_date(const QDateTime& v)
{
    if (v != m_createDate)
        changed();
    m_createDate = v;
}
void PersistentRecord::set_last_action_user_id1(long v)
{
    if (v != m_lastUser1)
        changed();
    m_lastUser1 = v;
}
void PersistentRecord::set_last_action_date1(const QDateTime& v)
{
    if (v != m_lastDate1)
        changed();
    m_lastDate1 = v;
}
void PersistentRecord::set_last_action_user_id2(long v)
{
    if (v != m_lastUser2)
        changed();
    m_lastUser2 = v;
}
void PersistentRecord::set_last_action_date2(const QDateTime& v)
{
    if (v != m_lastDate2)
        changed();
    m_lastDate2 = v;
}

QVariant PersistentRecord::columnValue(const QString& column) const
{
    if (column.compare(QLatin1String("id"), Qt::CaseInsensitive) == 0)
        return QVariant(qlonglong(m_id));
    if (column == QLatin1String("create_user"))
        return QVariant(qlonglong(m_createUser));
    if (column == QLatin1String("create_date"))
        return m_createDate;
    if (column == QLatin1String("last_action_user_id1"))
        return QVariant(qlonglong(m_lastUser1));
    if (column == QLatin1String("last_action_date1"))
        return m_lastDate1;
    if (column == QLatin1String("last_action_user_id2"))
        return QVariant(qlonglong(m_lastUser2));
    if (column == QLatin1String("last_action_date2"))
        return m_lastDate2;
    for (int i = 0; i < m_spec->columnCount; ++i)
        if (column.compare(QLatin1String(m_spec->columns[i].column), Qt::CaseInsensitive) == 0)
            return m_values[size_t(i)];
    return QVariant();
}

QVariant PersistentRecord::newValueOf(const ColumnSpec& c) const
{
    switch (c.kind) {
    case ColumnKind::Long:
    case ColumnKind::Flag:
        return QVariant(qlonglong(c.newValue));
    case ColumnKind::Number:
        return QVariant(c.newValue);
    case ColumnKind::Text:
        return QVariant(QString());
    case ColumnKind::Date:
        return QVariant(QDateTime::currentDateTime());
    case ColumnKind::DateToday:
        return QVariant(today());
    }
    return QVariant();
}

// --- lifecycle ----------------------------------------------------------------------

bool PersistentRecord::CoreDefault()
{
    m_status = isNew;
    m_isTemp = true;
    m_id = -1;
    m_rowId = -1;
    m_cloneSourceId = 0;  // a reused object is no longer anybody's copy
    m_createUser = -1;
    m_lastUser1 = -1;
    m_lastUser2 = -1;
    const QDateTime now = QDateTime::currentDateTime();
    m_createDate = now;
    m_lastDate1 = now;
    m_lastDate2 = now;
    for (int i = 0; i < m_spec->columnCount; ++i)
        m_values[size_t(i)] = newValueOf(m_spec->columns[i]);
    return true;
}

bool PersistentRecord::CoreLoad(const QVariant& lID)
{
    return traced(className(), TraceKind::Function, QStringLiteral("CoreLoad"), [&] {
        CoreDefault();
        bool isNumber = false;
        const qlonglong id = lID.toLongLong(&isNumber);
        if (dao::isNull(lID) || !isNumber)
            return false;
        if (!modTables::TableSeekSpec(table(), kPrimaryKey, {QVariant(id)}))
            return false;
        dao::Recordset& rs = modTables::SharedTable(table());
        if (toLong(rs.Fields(QStringLiteral("del_status"))) != 0)
            return false;
        readRow(rs);
        m_rowId = m_id;
        m_status = isLoaded;
        return true;
    });
}

void PersistentRecord::readRow(const dao::Recordset& rs)
{
    m_id = toLong(rs.Fields(QStringLiteral("id")));
    m_createUser = toLong(rs.Fields(QStringLiteral("create_user")));
    m_createDate = toDate(rs.Fields(QStringLiteral("create_date")));
    m_lastUser1 = toLong(rs.Fields(QStringLiteral("last_action_user_id1")));
    m_lastDate1 = toDate(rs.Fields(QStringLiteral("last_action_date1")));
    m_lastUser2 = toLong(rs.Fields(QStringLiteral("last_action_user_id2")));
    m_lastDate2 = toDate(rs.Fields(QStringLiteral("last_action_date2")));
    for (int i = 0; i < m_spec->columnCount; ++i) {
        const ColumnSpec& c = m_spec->columns[i];
        const QVariant raw = rs.Fields(str(c.column));
        QVariant& v = m_values[size_t(i)];
        switch (c.kind) {
        case ColumnKind::Long:
        case ColumnKind::Flag:
            v = QVariant(qlonglong(toLong(raw)));
            break;
        case ColumnKind::Text:
            v = toText(raw);
            break;
        case ColumnKind::Date:
        case ColumnKind::DateToday:
            v = toDate(raw);
            break;
        case ColumnKind::Number:
            v = modTables::NullToDefault(raw, modTables::vt::Variant);
            break;
        }
    }
}

void PersistentRecord::writeRow(dao::Recordset& rs, bool deleted) const
{
    auto writeOwn = [&](bool afterAudit) {
        for (int i = 0; i < m_spec->columnCount; ++i) {
            const ColumnSpec& c = m_spec->columns[i];
            if (bool(c.flags & column_flags::AfterAudit) != afterAudit)
                continue;
            if (deleted && !(c.flags & column_flags::WrittenOnDelete))
                continue;
            rs.setField(str(c.column), m_values[size_t(i)]);
        }
    };
    if (deleted) {
        rs.setField(QStringLiteral("del_status"), QVariant(qlonglong(-1)));
    } else {
        rs.setField(QStringLiteral("id"), QVariant(qlonglong(m_id)));
        writeOwn(false);
        rs.setField(QStringLiteral("create_user"), QVariant(qlonglong(m_createUser)));
        rs.setField(QStringLiteral("create_date"), m_createDate);
    }
    rs.setField(QStringLiteral("last_action_user_id1"), QVariant(qlonglong(m_lastUser1)));
    rs.setField(QStringLiteral("last_action_date1"), m_lastDate1);
    rs.setField(QStringLiteral("last_action_user_id2"), QVariant(qlonglong(m_lastUser2)));
    rs.setField(QStringLiteral("last_action_date2"), m_lastDate2);
    writeOwn(true);
}

bool PersistentRecord::updateNative()
{
    return traced(className(), TraceKind::Function, QStringLiteral("UpdateNative"), [&] {
        if (m_status == isLoaded)
            return true;
        dao::Recordset& rs = modTables::ExclusiveTable(table());
        const QDateTime now = QDateTime::currentDateTime();
        const long user = ctx().userId;
        const bool deleted = m_status == isDeleted;
        if (m_status == isNew) {
            m_id = modTables::GetNextID(rs, kPrimaryKey, QStringLiteral("id"));
            rs.AddNew();
            m_createUser = user;
            m_createDate = now;
        } else {
            // Find the object's own row again.
            rs.setIndex(kPrimaryKey);
            rs.Seek(QStringLiteral("="), {QVariant(qlonglong(m_rowId))});
            if (rs.NoMatch())
                return false;
            rs.Edit();
            m_lastUser2 = m_lastUser1;
            m_lastDate2 = m_lastDate1;
        }
        m_lastUser1 = user;
        m_lastDate1 = now;
        writeRow(rs, deleted);
        if (!modTables::SaveRecord(rs))
            return false;
        if (!deleted) {
            readRow(rs);
            m_rowId = m_id;
            m_status = isLoaded;
        }
        return true;
    });
}

bool PersistentRecord::coreUpdate(bool commit)
{
    return traced(className(), TraceKind::Function, QStringLiteral("CoreUpdate"), [&] {
        ctx().currentErrors().Clear();
        if (m_isTemp) {
            AddError(errnum::ElementIsTemporary, QStringLiteral("This element is temporary"));
            return false;
        }
        // A failed write leaves the object as it was, so that it can be
        // written again; the store is rolled back by the scope.
        const PersistentRecord before = *this;
        bool done = false;
        try {
            modTables::WriteScope scope(table());
            if (!scope.ok())
                return false;
            auto rollbackTrans = [&] {
                return traced(className(), TraceKind::Function, QStringLiteral("RollbackTrans"),
                              [&] { return scope.rollback(); });
            };
            if ((m_status == isNew || m_status == isModified) && !Validate()) {
                rollbackTrans();
                return false;
            }
            beforeWrite(commit);
            if (!updateNative()) {
                rollbackTrans();
                *this = before;
                return false;
            }
            afterWrite(commit);
            done =
                traced(className(), TraceKind::Function, QStringLiteral("CommitTrans"), [&] { return scope.commit(); });
        } catch (...) {
            *this = before;
            throw;
        }
        if (!done)
            *this = before;
        return done;
    });
}

void PersistentRecord::beforeWrite(bool) {}
void PersistentRecord::afterWrite(bool) {}

bool PersistentRecord::Delete()
{
    QString description;
    if (modTables::CheckValidID(QStringLiteral("id"), QVariant(qlonglong(m_id)), description)) {
        AddError(errnum::ElementIsTemporary, description);
        return false;
    }
    m_status = isDeleted;
    m_isTemp = false;
    return true;
}

void PersistentRecord::SetModified()
{
    if (m_status == isLoaded)
        m_status = isModified;
}

bool PersistentRecord::SetFinal()
{
    if (!Validate())
        return false;
    m_isTemp = false;
    return true;
}

bool PersistentRecord::Validate()
{
    return traced(className(), TraceKind::Function, QStringLiteral("Validate"), [] { return true; });
}

bool PersistentRecord::RightCheck(long)
{
    return true;
}

void PersistentRecord::copyForClone(const PersistentRecord& source)
{
    for (int i = 0; i < m_spec->columnCount; ++i) {
        const ColumnSpec& c = m_spec->columns[i];
        m_values[size_t(i)] = (c.flags & column_flags::NotCloned) ? newValueOf(c) : source.m_values[size_t(i)];
    }
    m_id = -1;
    m_rowId = -1;
    m_createUser = source.m_createUser;
    m_createDate = source.m_createDate;
    m_lastUser1 = source.m_lastUser1;
    m_lastDate1 = source.m_lastDate1;
    m_lastUser2 = source.m_lastUser2;
    m_lastDate2 = source.m_lastDate2;
    m_status = isNew;
    m_isTemp = true;
    m_cloneSourceId = source.m_id;
}

}  // namespace lg

// Loading many rows into one table: a prepared INSERT on SQLite, COPY on
// PostgreSQL.

#include <QtCore/QDateTime>

#include <algorithm>
#include <cmath>

#include "dao_internal.h"
#include "pgsession.h"

namespace lg::dao {

namespace {

constexpr qsizetype kCopyBlock = 4 << 20;  // bytes gathered before they are sent

// One value in COPY's text format: \N for Null, backslash escapes.
void appendCopyValue(QByteArray& out, const Value& v, FieldType type)
{
    if (isNull(v)) {
        out += "\\N";
        return;
    }
    QByteArray text;
    switch (v.typeId()) {
    case QMetaType::QDateTime:
        text = v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1();
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        text = type == FieldType::Currency ? QByteArray::number(v.toDouble(), 'f', 4)
                                           : QByteArray::number(v.toDouble(), 'g', 17);
        break;
    case QMetaType::QByteArray:
        text = "\\x" + v.toByteArray().toHex();
        break;
    default:
        text = v.toString().toUtf8();
        break;
    }
    for (const char c : std::as_const(text)) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

}  // namespace

struct BulkInsert::Impl {
    Database::Impl* db = nullptr;
    std::shared_ptr<const TableInfo> table;
    QList<int> columns;  // field positions
    std::unique_ptr<PreparedStatement> insert;
    PgCopy copy;
    long rows = 0;

    void forget()
    {
        if (db && db->pg) {
            auto& pending = db->pg->pendingCopies;
            pending.erase(std::remove(pending.begin(), pending.end(), &copy), pending.end());
        }
    }
};

BulkInsert::BulkInsert(Database& database, const QString& table, const QStringList& columns)
    : d(std::make_unique<Impl>())
{
    Database::Impl& db = DatabaseAccess::of(database);
    d->db = &db;
    d->table = db.tableInfo(table);
    if (!d->table || d->table->isView)
        fail(kDatabaseSource, daoerr::TableNotFound, QStringLiteral("Cannot find the input table '%1'.").arg(table));
    QByteArray names;
    QStringList jetNames, marks;
    for (const QString& c : columns) {
        const int col = d->table->column(c);
        if (col < 0)
            fail(kDatabaseSource, daoerr::ItemNotFound, QStringLiteral("Item not found in this collection: '%1'.").arg(c));
        d->columns << col;
        names += (names.isEmpty() ? "" : ", ") + quoteIdent(d->table->fields.at(col).name);
        jetNames << u'[' + c + u']';
        marks << QStringLiteral("?");
    }
    if (db.pg) {
        d->copy.command = "COPY " + quoteIdent(d->table->name) + " (" + names + ") FROM STDIN";
        return;
    }
    d->insert = database.prepare(QStringLiteral("INSERT INTO [%1] (%2) VALUES (%3)")
                                     .arg(table, jetNames.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
}

BulkInsert::~BulkInsert()
{
    try {
        finish();
    } catch (const RuntimeError& e) {
        // Nobody hears it here: the open transaction refuses to commit.
        if (d->db->pg && !d->db->pg->lostFailure)
            d->db->pg->lostFailure = e;
    } catch (...) {
        if (d->db->pg && !d->db->pg->lostFailure)
            d->db->pg->lostFailure = RuntimeError(errnum::Database, kDatabaseSource, QStringLiteral("The rows could not be written."));
    }
    d->forget();
}

void BulkInsert::add(const QVariantList& values)
{
    if (values.size() != d->columns.size())
        fail(kDatabaseSource, daoerr::InvalidArgument,
             QStringLiteral("Invalid argument: %1 values for %2 columns.").arg(values.size()).arg(d->columns.size()));
    if (d->insert) {
        d->insert->execute(values);
        ++d->rows;
        return;
    }
    QByteArray& out = d->copy.data;
    const bool wasEmpty = out.isEmpty();
    const qsizetype before = out.size();
    try {
        for (qsizetype i = 0; i < values.size(); ++i) {
            const FieldDef& f = d->table->fields.at(d->columns.at(i));
            if (i)
                out += '\t';
            appendCopyValue(out, checkFieldValue(f, values.at(i), true), f.type);
        }
    } catch (...) {
        out.truncate(before);  // the row is refused whole
        throw;
    }
    out += '\n';
    ++d->rows;
    if (wasEmpty)
        d->db->pg->pendingCopies.push_back(&d->copy);
    if (out.size() >= kCopyBlock) {
        d->forget();
        d->db->pg->sendCopy(d->copy);
    }
}

void BulkInsert::finish()
{
    if (!d->db->pg || d->copy.data.isEmpty())
        return;
    d->forget();
    d->db->pg->sendCopy(d->copy);
}

long BulkInsert::rows() const
{
    return d->rows;
}

}  // namespace lg::dao

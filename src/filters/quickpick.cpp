#include "filters/quickpick.h"

#include "platform/strings.h"

#include "platform/dao/dao.h"
#include "platform/jetsql/jetcompare.h"
#include "platform/runtimeerror.h"

#include <QtCore/QDateTime>
#include <QtCore/QLocale>

#include <optional>

namespace lg::filters {

using dao::FieldType;
using dao::Value;

namespace {

const QString kSearchMarker = QStringLiteral("%SEARCH%");
constexpr int kMaxKeys = 13;

QString text(const Value& v) { return dao::isNull(v) ? QString() : v.toString(); }

int number(const Value& v, int fallback)
{
    bool ok = false;
    const int n = v.toInt(&ok);
    return dao::isNull(v) || !ok ? fallback : n;
}

bool isTextType(FieldType t) { return t == FieldType::Text || t == FieldType::Memo; }

// Upper case without accents: the letters the Hungarian order sorts together
// at the first level fold to the same text (Á with A, Ő with Ö with O; the
// last two are distinct letters there, folding them together only widens
// the range a walk covers).
QString fold(const QString& s)
{
    const QString decomposed = s.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    for (QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing)
            out.append(c);
    return out.toUpper();
}

// The letters that begin a doubled Hungarian letter (ccs, ddz, ddzs, ggy,
// lly, nny, ssz, tty, zzs), which the order reads as two digraphs.
bool startsDoubledLetter(QChar c) { return QStringLiteral("CDGLNSTZ").contains(c); }

// A key value given as text, converted to the type of its index column;
// nothing when it cannot be one (a letter in a number, a date that is none).
std::optional<Value> convertKey(const QString& value, FieldType type)
{
    const QString t = value.trimmed();
    switch (type) {
    case FieldType::Long:
    case FieldType::Integer:
    case FieldType::Counter: {
        bool ok = false;
        const qlonglong n = t.toLongLong(&ok);
        if (!ok)
            return std::nullopt;
        return Value(n);
    }
    case FieldType::Double:
    case FieldType::Currency: {
        QString n = t;
        n.replace(QLatin1Char(','), QLatin1Char('.'));
        bool ok = false;
        const double x = n.toDouble(&ok);
        if (!ok)
            return std::nullopt;
        return Value(x);
    }
    case FieldType::YesNo: {
        const QString u = t.toUpper();
        if (u == QLatin1String("TRUE") || u == QLatin1String("IGAZ") || u == QLatin1String("-1") || u == QLatin1String("1"))
            return Value(true);
        if (u == QLatin1String("FALSE") || u == QLatin1String("HAMIS") || u == QLatin1String("0"))
            return Value(false);
        return std::nullopt;
    }
    case FieldType::DateTime: {
        for (const char* f : {"yyyy.MM.dd.", "yyyy.MM.dd", "yyyy-MM-dd", "MM/dd/yyyy"}) {
            const QDate d = QDate::fromString(t, QLatin1String(f));
            if (d.isValid())
                return Value(QDateTime(d, QTime(0, 0)));
        }
        const QDateTime dt = QDateTime::fromString(t, Qt::ISODate);
        if (dt.isValid())
            return Value(dt);
        return std::nullopt;
    }
    default:
        return Value(value);
    }
}

// A record's column against a constant key: text without regard to case,
// anything else by value.
bool keyEquals(const Value& field, const Value& key)
{
    if (dao::isNull(field))
        return false;
    if (key.typeId() == QMetaType::QString)
        return text(field).toUpper() == key.toString().toUpper();
    if (key.typeId() == QMetaType::Bool)
        return (field.toInt() != 0) == key.toBool();
    if (key.typeId() == QMetaType::QDateTime)
        return field.toDateTime() == key.toDateTime();
    return field.toDouble() == key.toDouble();
}

}  // namespace

QuickPickDefinition readQuickPickDefinition(dao::Database& db, int id)
{
    QuickPickDefinition def;
    def.id = id;
    try {
        auto qp = db.OpenRecordset(QStringLiteral("vlq_quickpick"), dao::RecordsetType::Table);
        qp->setIndex(QStringLiteral("PrimaryKey"));
        qp->Seek(QStringLiteral("="), {Value(id)});
        if (!qp->NoMatch()) {
            def.found = true;
            def.name = text(qp->Fields(QStringLiteral("name")));
            def.tableName = text(qp->Fields(QStringLiteral("table_name")));
            def.browseId = number(qp->Fields(QStringLiteral("browse_id")), -1);
            def.browseWhereClause = text(qp->Fields(QStringLiteral("browse_where_clause")));
            def.useWhereInBrowse = number(qp->Fields(QStringLiteral("use_where_in_browse")), 0) != 0;
            const QString keyIndex = text(qp->Fields(QStringLiteral("primarykey_indexname")));
            const QString keyField = text(qp->Fields(QStringLiteral("primarykey_filedname")));
            if (!keyIndex.isEmpty())
                def.primaryKeyIndexName = keyIndex;
            if (!keyField.isEmpty())
                def.primaryKeyFieldName = keyField;
            def.searchStartLength = number(qp->Fields(QStringLiteral("search_start_length")), 0);
            def.browseRowCount = number(qp->Fields(QStringLiteral("browse_row_count")), 0);
        }
        qp->Close();

        auto qf = db.OpenRecordset(QStringLiteral("vlq_quickpick_field"), dao::RecordsetType::Table);
        qf->setIndex(QStringLiteral("Quickpick_sort"));
        qf->Seek(QStringLiteral("="), {Value(id)});
        if (!qf->NoMatch()) {
            for (; !qf->Eof() && number(qf->Fields(QStringLiteral("quickpick_id")), id - 1) == id; qf->MoveNext()) {
                QuickPickField f;
                f.searchField = text(qf->Fields(QStringLiteral("search_field")));
                f.searchFieldName = text(qf->Fields(QStringLiteral("search_field_name")));
                f.visibleField = text(qf->Fields(QStringLiteral("visible_field")));
                f.indexName = text(qf->Fields(QStringLiteral("index_name")));
                f.indexStructure = text(qf->Fields(QStringLiteral("index_stucture")));
                def.fields.append(f);
            }
        }
        qf->Close();
    } catch (RuntimeError& e) {
        e.addFunctionTrace(QStringLiteral("vLQDQuickPick"), QStringLiteral("readQuickPickDefinition"));
        throw;
    }
    return def;
}

// ---- QuickPickSearch --------------------------------------------------------

struct QuickPickSearch::Private {
    std::shared_ptr<dao::Database> db;
    std::shared_ptr<dao::Recordset> rs;
    dao::TableDef table;
    QuickPickDefinition def;
    int current = -1;
    int startLength = 3;
    long walk = 0;
    QString error;

    QuickPickHit hitHere(const QuickPickField& f) const
    {
        QuickPickHit hit;
        hit.found = true;
        hit.id = number(rs->Fields(def.primaryKeyFieldName), -1);
        hit.text = f.searchField.isEmpty() ? QString() : text(rs->Fields(f.searchField));
        hit.result = f.visibleField.isEmpty() ? QString() : text(rs->Fields(f.visibleField));
        return hit;
    }

    // Put back the table's own order after a search.
    void resetIndex()
    {
        try {
            if (rs && !def.primaryKeyIndexName.isEmpty() && table.index(def.primaryKeyIndexName))
                rs->setIndex(def.primaryKeyIndexName);
        } catch (const RuntimeError&) {
        }
    }
};

QuickPickSearch::QuickPickSearch() : d(new Private) {}
QuickPickSearch::~QuickPickSearch() = default;

bool QuickPickSearch::initialize(std::shared_ptr<dao::Database> db, int id)
{
    d->rs.reset();
    d->db = std::move(db);
    d->def = QuickPickDefinition();
    d->def.id = id;
    d->table = dao::TableDef();
    d->current = -1;
    d->error.clear();
    if (!d->db) {
        d->error = LoadResString(7102);
        return false;
    }
    try {
        d->def = readQuickPickDefinition(*d->db, id);
        if (d->def.searchStartLength >= 1 && d->def.searchStartLength <= 9)
            d->startLength = d->def.searchStartLength;
        if (!d->def.tableName.isEmpty()) {
            d->table = d->db->tableDef(d->def.tableName);
            d->rs = d->db->OpenRecordset(d->def.tableName, dao::RecordsetType::Table);
        }
        d->current = d->def.fields.isEmpty() ? -1 : 0;
        return true;
    } catch (const RuntimeError& e) {
        d->error = e.description();
        d->rs.reset();
        d->def.fields.clear();
        d->current = -1;
        return false;
    }
}

bool QuickPickSearch::isInitialized() const { return d->rs != nullptr; }
QString QuickPickSearch::error() const { return d->error; }
const QuickPickDefinition& QuickPickSearch::definition() const { return d->def; }
int QuickPickSearch::fieldCount() const { return int(d->def.fields.size()); }
int QuickPickSearch::currentField() const { return d->current; }

void QuickPickSearch::setCurrentField(int index)
{
    if (index >= 0 && index < fieldCount())
        d->current = index;
}

bool QuickPickSearch::setSearchField(const QString& field)
{
    for (int i = 0; i < fieldCount(); ++i)
        if (d->def.fields[i].searchField.compare(field, Qt::CaseInsensitive) == 0) {
            d->current = i;
            return true;
        }
    return false;
}

QuickPickField QuickPickSearch::field() const
{
    return d->current >= 0 && d->current < fieldCount() ? d->def.fields[d->current] : QuickPickField();
}

void QuickPickSearch::nextField()
{
    if (fieldCount() > 0)
        d->current = (d->current + 1) % fieldCount();
}

int QuickPickSearch::searchStartLength() const { return d->startLength; }
void QuickPickSearch::setSearchStartLength(int length) { d->startLength = length; }

bool QuickPickSearch::isExact(const QString& text, bool forced) const
{
    return forced || text.size() < d->startLength;
}

long QuickPickSearch::lastWalk() const { return d->walk; }

QuickPickHit QuickPickSearch::search(const QString& typed, bool exact)
{
    d->walk = 0;
    if (!d->rs || d->current < 0 || typed.trimmed().isEmpty())
        return {};
    const QuickPickField f = field();
    const dao::IndexDef* index = d->table.index(f.indexName);
    if (!index)
        return {};
    const QStringList columns = index->fieldNames();
    const QStringList entries = f.indexStructure.split(QLatin1Char(';'));
    const int keyCount = int(qMin(qMin(entries.size(), columns.size()), qsizetype(kMaxKeys)));
    if (keyCount == 0)
        return {};

    // The seek and the test of each record read the typed text the same way:
    // upper case in full (the long s is an S, the sharp s is SS). The order
    // ignores case, so this moves the seek only for such letters, which the
    // order would otherwise place apart from the records they match.
    const QString upper = typed.toUpper();
    QList<Value> keys;
    int searchAt = -1;
    for (int i = 0; i < keyCount; ++i) {
        const dao::FieldDef* column = d->table.field(columns[i]);
        const FieldType type = column ? column->type : FieldType::Text;
        const bool isSearch = entries[i].compare(kSearchMarker, Qt::CaseInsensitive) == 0;
        if (isSearch && searchAt < 0)
            searchAt = i;
        const auto key = convertKey(isSearch ? typed : entries[i], type);
        if (!key)
            return {};  // no record can hold that value
        keys.append(isTextType(type) ? Value(isSearch ? upper : entries[i]) : *key);
    }

    auto accepted = [&]() {
        for (int i = 0; i < keyCount; ++i)
            if (i != searchAt && !keyEquals(d->rs->Fields(columns[i]), keys[i]))
                return false;
        const QString value = text(d->rs->Fields(f.searchField)).toUpper();
        return exact ? value == upper : value.startsWith(upper);
    };

    QuickPickHit hit;
    try {
        d->rs->setIndex(f.indexName);
        d->rs->Seek(QStringLiteral(">="), keys);
        if (!d->rs->NoMatch() && !d->rs->Eof()) {
            if (accepted()) {
                hit = d->hitHere(f);
            } else {
                const dao::FieldDef* searched = searchAt >= 0 ? d->table.field(columns[searchAt]) : nullptr;
                const bool ordered = searched && isTextType(searched->type) &&
                                     columns[searchAt].compare(f.searchField, Qt::CaseInsensitive) == 0;
                if (ordered) {
                    // Every accepted key is at or above the seek keys: go on
                    // from here while the record can still be one.
                    QString bound = fold(upper);
                    if (!bound.isEmpty() && startsDoubledLetter(bound.back()))
                        bound.chop(1);
                    auto inRange = [&]() {
                        for (int i = 0; i < searchAt; ++i)
                            if (!keyEquals(d->rs->Fields(columns[i]), keys[i]))
                                return false;
                        const QString value = text(d->rs->Fields(f.searchField));
                        // Exact: only the records that collate equal to the
                        // text (its case variants) can be accepted.
                        if (exact)
                            return jetsql::jetCompare(value, upper) == 0;
                        return fold(value).startsWith(bound);
                    };
                    for (d->rs->MoveNext(); !d->rs->Eof() && inRange(); d->rs->MoveNext()) {
                        ++d->walk;
                        if (accepted()) {
                            hit = d->hitHere(f);
                            break;
                        }
                    }
                } else {
                    // Number and date columns: their order says nothing
                    // about their text, so the whole index is read.
                    for (d->rs->MoveFirst(); !d->rs->Eof(); d->rs->MoveNext()) {
                        ++d->walk;
                        if (accepted()) {
                            hit = d->hitHere(f);
                            break;
                        }
                    }
                }
            }
        }
    } catch (const RuntimeError&) {
        hit = {};  // a failed seek is no match
    }
    d->resetIndex();
    return hit;
}

QuickPickHit QuickPickSearch::find(int id)
{
    d->walk = 0;
    if (!d->rs)
        return {};
    QuickPickHit hit;
    try {
        d->rs->setIndex(d->def.primaryKeyIndexName);
        d->rs->Seek(QStringLiteral("="), {Value(id)});
        if (!d->rs->NoMatch() && !d->rs->Eof())
            hit = d->hitHere(field());
    } catch (const RuntimeError&) {
        hit = {};
    }
    d->resetIndex();
    return hit;
}

}  // namespace lg::filters

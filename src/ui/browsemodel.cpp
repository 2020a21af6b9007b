#include "ui/browsemodel.h"

#include <QtCore/QDateTime>
#include <QtCore/QHash>

#include <algorithm>
#include <limits>
#include <list>
#include <map>
#include <optional>

#include "platform/dao/dao.h"
#include "platform/jetsql/jetcompare.h"
#include "platform/runtimeerror.h"
#include "platform/strings.h"

using namespace Qt::StringLiterals;

namespace lg::ui {

namespace {

// The last part of a field name as the recordset names it ("[p].[nev]" -> "nev").
QString plainName(const QString& field)
{
    QString last = field.trimmed().section(u'.', -1).trimmed();
    if (last.startsWith(u'[') && last.endsWith(u']'))
        last = last.mid(1, last.size() - 2);
    return last;
}

// Whether two sort keys are one key for the database: texts by the Jet
// collation (case-insensitive), numbers by value, Nulls together.
bool sameKey(const QVariant& a, const QVariant& b)
{
    const bool aNull = dao::isNull(a), bNull = dao::isNull(b);
    if (aNull || bNull)
        return aNull && bNull;
    if (dao::isNumber(a) && dao::isNumber(b))
        return a.toDouble() == b.toDouble();
    if (a.typeId() == QMetaType::QString && b.typeId() == QMetaType::QString)
        return jetsql::jetCompare(a.toString(), b.toString()) == 0;
    return a == b;
}

QString shownText(const QVariant& v)
{
    if (v.typeId() == QMetaType::QDateTime) {
        const QDateTime dt = v.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.toString(u"yyyy.MM.dd."_s) : dt.toString(u"yyyy.MM.dd. HH:mm:ss"_s);
    }
    return v.toString();
}

// Where a read can start: the first sort key of a row and how many rows of
// that key come before the row. A Null key sorts first, so its `skip` is the
// row's position.
struct Anchor {
    QVariant key;
    long skip = 0;
};

using Row = QList<QVariant>;  // the id, then the shown columns

}  // namespace

struct BrowseModel::Private {
    std::shared_ptr<dao::Database> db;
    BrowseDefinition definition;
    QString filter;
    std::optional<BrowseStatements> statements;
    QList<BrowseColumn> columns;
    QString sortName, idName;  // as the recordset names them
    int rows = 0;
    QString lastError;

    int pageSize = 200;
    int maxPages = 6;
    mutable QHash<int, QList<Row>> pages;
    mutable std::list<int> recent;  // most recent first
    mutable std::map<long, Anchor> anchors;
    // The same counted from the last row backwards (descending order); keys
    // are never Null here, as Nulls come last in that order.
    mutable std::map<long, Anchor> backAnchors;
    mutable long pageReads = 0;

    void clearRows()
    {
        pages.clear();
        recent.clear();
        anchors.clear();
        anchors.emplace(0L, Anchor{});
        backAnchors.clear();
        backAnchors.emplace(0L, Anchor{});
        pageReads = 0;
    }

    void touch(int page) const
    {
        recent.remove(page);
        recent.push_front(page);
        while (int(recent.size()) > maxPages) {
            pages.remove(recent.back());
            recent.pop_back();
        }
    }

    std::shared_ptr<dao::Recordset> from(const Anchor& anchor) const
    {
        if (dao::isNull(anchor.key))
            return db->OpenRecordset(statements->ordered(), dao::RecordsetType::ForwardOnly, dao::dbReadOnly);
        return db->OpenRecordset(statements->orderedFrom(), dao::Parameters(QVariantList{anchor.key}),
                                 dao::RecordsetType::ForwardOnly, dao::dbReadOnly);
    }

    // Reads page `page` starting at the nearest known anchor before it, or
    // after it counting from the end, whichever leaves fewer rows to pass.
    const QList<Row>& readPage(int page) const
    {
        const long first = long(page) * pageSize;
        const long last = std::min<long>(first + pageSize, rows);
        auto it = std::prev(anchors.upper_bound(first));
        auto back = std::prev(backAnchors.upper_bound(rows - last));
        ++pageReads;
        const long forwardCost = first - it->first + it->second.skip;
        const long backwardCost = (rows - last) - back->first + back->second.skip;
        QList<Row> out = backwardCost < forwardCost ? read(back->first, back->second, rows - last, rows - first, true)
                                                    : read(it->first, it->second, first, last, false);
        auto& slot = pages[page];
        slot = std::move(out);
        touch(page);
        return slot;
    }

    // Reads the rows [first, last) of one direction (positions counted from
    // the end when `backward`), starting at `anchor`, which stands at `start`.
    QList<Row> read(long start, const Anchor& anchor, long first, long last, bool backward) const
    {
        std::map<long, Anchor>& known = backward ? backAnchors : anchors;
        std::shared_ptr<dao::Recordset> rs;
        if (!backward)
            rs = from(anchor);
        else if (dao::isNull(anchor.key))
            rs = db->OpenRecordset(statements->orderedBackward(), dao::RecordsetType::ForwardOnly, dao::dbReadOnly);
        else
            rs = db->OpenRecordset(statements->orderedBackwardFrom(), dao::Parameters(QVariantList{anchor.key}),
                                   dao::RecordsetType::ForwardOnly, dao::dbReadOnly);
        const int sortIndex = rs->FieldIndex(sortName);
        const int idIndex = rs->FieldIndex(idName);
        if (sortIndex < 0)
            throw RuntimeError(3265, u"lg.Browse"_s,
                               LoadResString(32318).arg(sortName));
        QList<int> shown;
        for (const BrowseColumn& c : columns)
            shown.append(rs->FieldIndex(plainName(c.field)));

        for (long i = 0; i < anchor.skip && !rs->Eof(); ++i)
            rs->MoveNext();
        QList<Row> out;
        out.reserve(int(last - first));
        QVariant lastKey = anchor.key;
        long run = anchor.skip;  // rows of lastKey before the current one
        for (long pos = start; pos < last && !rs->Eof(); ++pos, rs->MoveNext()) {
            const QVariant key = rs->Fields(sortIndex);
            if (pos == start) {
                lastKey = key;  // the start of the statement has no key of its own
            } else if (!sameKey(key, lastKey)) {
                lastKey = key;
                run = 0;
            }
            const long before = run++;
            if (pos % pageSize == 0 && pos != start && !(backward && dao::isNull(key)))
                known.try_emplace(pos, Anchor{key, before});
            if (pos < first)
                continue;
            Row row;
            row.reserve(shown.size() + 1);
            row.append(idIndex >= 0 ? rs->Fields(idIndex) : QVariant());
            for (int c : shown)
                row.append(c >= 0 ? rs->Fields(c) : QVariant());
            out.append(std::move(row));
        }
        if (backward)
            std::reverse(out.begin(), out.end());
        return out;
    }

    const Row* row(const BrowseModel* q, int r) const
    {
        if (!statements || r < 0 || r >= rows)
            return nullptr;
        const int page = r / pageSize;
        auto it = pages.constFind(page);
        const QList<Row>* rowsOfPage = nullptr;
        if (it != pages.constEnd()) {
            if (recent.front() != page)
                touch(page);
            rowsOfPage = &it.value();
        } else {
            try {
                rowsOfPage = &readPage(page);
            } catch (const RuntimeError& e) {
                const_cast<Private*>(this)->lastError = e.description();
                pages[page] = {};
                touch(page);
                Q_EMIT const_cast<BrowseModel*>(q)->errorOccurred(e.description());
                return nullptr;
            }
        }
        const int inPage = r - page * pageSize;
        return inPage < rowsOfPage->size() ? &rowsOfPage->at(inPage) : nullptr;
    }

    qlonglong countOf(const QString& sql, const QVariantList& values = {}) const
    {
        auto rs = values.isEmpty() ? db->OpenRecordset(sql, dao::RecordsetType::ForwardOnly, dao::dbReadOnly)
                                   : db->OpenRecordset(sql, dao::Parameters(values), dao::RecordsetType::ForwardOnly,
                                                       dao::dbReadOnly);
        return rs->Eof() ? 0 : rs->Fields(0).toLongLong();
    }
};

BrowseModel::BrowseModel(QObject* parent) : QAbstractTableModel(parent), d(std::make_unique<Private>())
{
    d->clearRows();
}

BrowseModel::~BrowseModel() = default;

bool BrowseModel::open(std::shared_ptr<dao::Database> db, const BrowseDefinition& definition, const QString& filter)
{
    beginResetModel();
    d->db = std::move(db);
    d->definition = definition;
    d->filter = filter;
    d->statements.reset();
    d->columns = definition.columns;
    d->sortName = plainName(definition.sortField.trimmed().isEmpty() ? definition.idField : definition.sortField);
    d->idName = plainName(definition.idField);
    d->rows = 0;
    d->lastError.clear();
    d->clearRows();
    bool ok = false;
    try {
        if (!d->db)
            throw RuntimeError(3420, u"lg.Browse"_s, LoadResString(32319));
        d->statements.emplace(definition, filter);
        if (d->columns.isEmpty()) {
            // No column list: every field of the statement, by its name. The
            // statement is only prepared here: nothing is read but the names.
            auto rs = d->db->OpenRecordset(d->statements->base(), dao::RecordsetType::ForwardOnly,
                                           dao::dbReadOnly);
            for (int i = 0; i < rs->FieldCount(); ++i)
                d->columns.append({rs->FieldName(i), rs->FieldName(i), 0});
        }
        const qlonglong n = d->countOf(d->statements->count());
        d->rows = int(std::min<qlonglong>(n, std::numeric_limits<int>::max()));
        ok = true;
    } catch (const RuntimeError& e) {
        d->statements.reset();
        d->rows = 0;
        d->lastError = e.description();
    }
    endResetModel();
    return ok;
}

bool BrowseModel::reload()
{
    const BrowseDefinition definition = d->definition;
    const QString filter = d->filter;
    return open(d->db, definition, filter);
}

void BrowseModel::close()
{
    beginResetModel();
    d->statements.reset();
    d->rows = 0;
    d->clearRows();
    d->db.reset();
    endResetModel();
}

bool BrowseModel::isOpen() const
{
    return d->statements.has_value();
}

QString BrowseModel::lastError() const
{
    return d->lastError;
}

const BrowseDefinition& BrowseModel::definition() const
{
    return d->definition;
}

const QList<BrowseColumn>& BrowseModel::columns() const
{
    return d->columns;
}

int BrowseModel::idAt(int row) const
{
    const Row* r = d->row(this, row);
    if (!r || dao::isNull(r->at(0)))
        return -1;
    bool ok = false;
    const int id = r->at(0).toInt(&ok);
    return ok ? id : -1;
}

int BrowseModel::rowOfId(int id)
{
    if (!d->statements)
        return -1;
    try {
        auto rs = d->db->OpenRecordset(addCondition(d->statements->base(), d->statements->idName() + u" = ?"_s),
                                       dao::Parameters(QVariantList{id}), dao::RecordsetType::ForwardOnly,
                                       dao::dbReadOnly);
        if (rs->Eof())
            return -1;
        const int sortIndex = rs->FieldIndex(d->sortName);
        if (sortIndex < 0)
            return -1;
        const QVariant key = rs->Fields(sortIndex);
        rs.reset();
        const bool nullKey = dao::isNull(key);
        long before = 0;
        std::shared_ptr<dao::Recordset> same;
        if (nullKey) {
            same = d->db->OpenRecordset(d->statements->idsOfNullKey(), dao::RecordsetType::ForwardOnly,
                                        dao::dbReadOnly);
        } else {
            before = long(d->countOf(d->statements->countBelow(), {key}) + d->countOf(d->statements->countNullKeys()));
            same = d->db->OpenRecordset(d->statements->idsOfKey(), dao::Parameters(QVariantList{key}),
                                        dao::RecordsetType::ForwardOnly, dao::dbReadOnly);
        }
        const int idIndex = same->FieldIndex(d->idName);
        long within = 0;
        for (; !same->Eof(); same->MoveNext(), ++within) {
            if (same->Fields(idIndex).toLongLong() == id) {
                const long pos = before + within;
                if (pos >= d->rows)
                    return -1;  // rows came after the count
                d->anchors.try_emplace(pos, Anchor{key, within});
                return int(pos);
            }
        }
    } catch (const RuntimeError& e) {
        d->lastError = e.description();
        Q_EMIT errorOccurred(e.description());
    }
    return -1;
}

int BrowseModel::pageSize() const
{
    return d->pageSize;
}

void BrowseModel::setPageSize(int rows)
{
    beginResetModel();
    d->pageSize = std::max(1, rows);
    d->clearRows();
    endResetModel();
}

int BrowseModel::maxCachedPages() const
{
    return d->maxPages;
}

void BrowseModel::setMaxCachedPages(int pages)
{
    d->maxPages = std::max(2, pages);
    while (int(d->recent.size()) > d->maxPages) {
        d->pages.remove(d->recent.back());
        d->recent.pop_back();
    }
}

int BrowseModel::cachedPages() const
{
    return int(d->pages.size());
}

long BrowseModel::pageReads() const
{
    return d->pageReads;
}

int BrowseModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : d->rows;
}

int BrowseModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(d->columns.size());
}

QVariant BrowseModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() >= d->columns.size())
        return {};
    if (role != Qt::DisplayRole && role != Qt::TextAlignmentRole && role != Qt::EditRole)
        return {};
    const Row* r = d->row(this, index.row());
    if (!r)
        return {};
    const QVariant& v = r->at(index.column() + 1);
    if (role == Qt::TextAlignmentRole)
        return dao::isNumber(v) ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                                : QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
    if (role == Qt::EditRole)
        return v;
    return dao::isNull(v) ? QVariant() : QVariant(shownText(v));
}

QVariant BrowseModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < d->columns.size())
        return d->columns[section].caption;
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section + 1;
    return {};
}

}  // namespace lg::ui

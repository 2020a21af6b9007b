#include <sqlite3.h>

#include <algorithm>
#include <optional>
#include <random>
#include <vector>

#include "daotest.h"
#include "platform/dao/dao_internal.h"

using namespace lg::dao;
using lg::dao::test::errorNumberOf;
using lg::dao::test::freshDatabase;

namespace {

struct Row {
    long id;
    long grp;
    std::optional<long> sortOrder;  // nullable key
    long del;
};

// Rows inserted in shuffled order, so that rowid order says nothing about key order.
class SeekTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = freshDatabase();
        db->Execute(QStringLiteral("CREATE TABLE item (id LONG PRIMARY KEY, grp LONG NOT NULL, sort_order LONG, "
                                   "del_status LONG NOT NULL, name TEXT(20))"));
        db->Execute(QStringLiteral("CREATE INDEX real_sort_order ON item (grp, sort_order, del_status)"));
        db->Execute(QStringLiteral("CREATE INDEX grp_desc ON item (grp, sort_order DESC)"));
        db->Execute(QStringLiteral("CREATE INDEX by_name ON item (name)"));
        auto add = [&](Row r) {
            r.id = long(rows.size()) + 1;
            rows.push_back(r);
        };
        for (long g = 1; g <= 5; ++g)
            for (long s = 0; s < 6; ++s)
                for (long del = 0; del <= 1; ++del) {
                    const Row r{0, g * 10, s == 2 ? std::nullopt : std::optional<long>(s), del};
                    add(r);
                    if (s == 4)
                        add(r);  // a duplicate key
                }
        std::vector<Row> shuffled = rows;
        std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(11));
        db->BeginTrans();
        for (const Row& r : shuffled)
            db->Execute(QStringLiteral("INSERT INTO item (id, grp, sort_order, del_status, name) "
                                       "VALUES (%1, %2, %3, %4, 'n%1')")
                            .arg(r.id)
                            .arg(r.grp)
                            .arg(r.sortOrder ? QString::number(*r.sortOrder) : QStringLiteral("Null"))
                            .arg(r.del));
        db->CommitTrans();
        for (const Row& r : shuffled)
            rowidOf.push_back(r.id);
        rs = db->OpenRecordset(QStringLiteral("item"), RecordsetType::Table);
    }

    long rowid(long id) const { return long(std::find(rowidOf.begin(), rowidOf.end(), id) - rowidOf.begin()) + 1; }

    // The expected order of real_sort_order (NULL first, rowid last).
    std::vector<Row> inIndexOrder(bool sortDesc = false) const
    {
        std::vector<Row> sorted = rows;
        std::sort(sorted.begin(), sorted.end(), [&](const Row& a, const Row& b) {
            if (a.grp != b.grp)
                return a.grp < b.grp;
            if (a.sortOrder != b.sortOrder)
                return sortDesc ? b.sortOrder < a.sortOrder : a.sortOrder < b.sortOrder;  // nullopt is least
            if (!sortDesc && a.del != b.del)
                return a.del < b.del;
            return rowid(a.id) < rowid(b.id);
        });
        return sorted;
    }

    std::vector<long> readToEnd()
    {
        std::vector<long> ids;
        while (!rs->Eof()) {
            ids.push_back(long(rs->Fields(QStringLiteral("id")).toLongLong()));
            rs->MoveNext();
        }
        return ids;
    }

    std::shared_ptr<Database> db;
    std::shared_ptr<Recordset> rs;
    std::vector<Row> rows;
    std::vector<long> rowidOf;
};

// Jet's order of keys with Null (nullopt) first.
int compareKeys(const std::vector<std::optional<long>>& a, const std::vector<std::optional<long>>& b)
{
    for (size_t i = 0; i < b.size(); ++i) {
        if (a[i] < b[i])
            return -1;
        if (b[i] < a[i])
            return 1;
    }
    return 0;
}

}  // namespace

TEST_F(SeekTest, EveryComparisonAndPrefixLandsWhereTheIndexOrderSays)
{
    rs->setIndex(QStringLiteral("real_sort_order"));
    const std::vector<Row> order = inIndexOrder();
    const QStringList comparisons{"=", ">=", ">", "<=", "<"};
    const std::vector<std::vector<std::optional<long>>> probes{
        {5},        {10},      {30},     {50},       {55},       {30, 3},    {30, std::nullopt},
        {30, 4},    {30, 9},   {30, -1}, {30, 4, 1}, {30, 4, 0}, {30, 2, 0}, {20, std::nullopt, 1},
        {50, 5, 1}, {10, 0, 0}};
    for (const auto& probe : probes) {
        for (const QString& cmp : comparisons) {
            SCOPED_TRACE(cmp.toStdString() + " with " + std::to_string(probe.size()) + " keys, first " +
                         std::to_string(probe[0].value_or(-999)) + " second " +
                         (probe.size() > 1 ? std::to_string(probe[1].value_or(-999)) : "-"));
            // Expected: the first row (in index order) satisfying the comparison; for <= and < the last one.
            std::optional<size_t> expected;
            for (size_t i = 0; i < order.size(); ++i) {
                const std::vector<std::optional<long>> key{order[i].grp, order[i].sortOrder, order[i].del};
                const int c = compareKeys(key, probe);
                const bool ok = cmp == "="    ? c == 0
                                : cmp == ">=" ? c >= 0
                                : cmp == ">"  ? c > 0
                                : cmp == "<=" ? c <= 0
                                              : c < 0;
                if (!ok)
                    continue;
                if (cmp.startsWith('<'))
                    expected = i;  // the last such row
                else if (!expected)
                    expected = i;  // the first such row
            }
            QList<Value> keys;
            for (const auto& k : probe)
                keys.append(k ? Value(qlonglong(*k)) : Value());
            rs->Seek(cmp, keys);
            ASSERT_EQ(rs->NoMatch(), !expected.has_value());
            if (!expected)
                continue;
            std::vector<long> want;
            for (size_t i = *expected; i < order.size(); ++i)
                want.push_back(order[i].id);
            ASSERT_EQ(readToEnd(), want);
        }
    }
}

TEST_F(SeekTest, DescendingKeysAndBackwardReading)
{
    rs->setIndex(QStringLiteral("grp_desc"));
    const std::vector<Row> order = inIndexOrder(true);
    std::vector<long> all;
    for (const Row& r : order)
        all.push_back(r.id);
    rs->MoveFirst();
    EXPECT_EQ(readToEnd(), all);

    // Backwards from the end gives the same rows reversed.
    std::vector<long> back;
    rs->MoveLast();
    while (!rs->Bof()) {
        back.push_back(long(rs->Fields(QStringLiteral("id")).toLongLong()));
        rs->MovePrevious();
    }
    std::reverse(back.begin(), back.end());
    EXPECT_EQ(back, all);

    // In a descending key the Nulls come last: ">=" (30, 1) reads 1, 0, Null of group 30, then group 40.
    rs->Seek(QStringLiteral(">="), {30, 1});
    ASSERT_FALSE(rs->NoMatch());
    std::vector<long> want;
    bool started = false;
    for (const Row& r : order) {
        started = started || (r.grp == 30 && r.sortOrder && *r.sortOrder <= 1);
        if (started)
            want.push_back(r.id);
    }
    EXPECT_EQ(readToEnd(), want);
}

TEST_F(SeekTest, ReadingForwardUsesTheIndexAndStopsWhereTheCallerStops)
{
    SQLITE_ONLY();
    rs->setIndex(QStringLiteral("real_sort_order"));
    struct Trace {
        std::vector<QByteArray> sql;
        long rowsStepped = 0;
    } trace;
    sqlite3_trace_v2(
        connectionOf(*db), SQLITE_TRACE_STMT | SQLITE_TRACE_ROW,
        [](unsigned type, void* ctx, void* p, void*) -> int {
            auto* t = static_cast<Trace*>(ctx);
            if (type == SQLITE_TRACE_ROW) {
                ++t->rowsStepped;
            } else {
                t->sql.emplace_back(sqlite3_sql(static_cast<sqlite3_stmt*>(p)));
            }
            return 0;
        },
        &trace);
    rs->Seek(QStringLiteral(">="), {20});
    for (int i = 0; i < 3; ++i)
        rs->MoveNext();
    const std::vector<QByteArray> statements = trace.sql;
    const long stepped = trace.rowsStepped;
    sqlite3_trace_v2(connectionOf(*db), 0, nullptr, nullptr);

    EXPECT_LE(stepped, 6);  // 4 rows read, nothing read ahead
    ASSERT_FALSE(statements.empty());
    for (const QByteArray& sql : statements) {
        if (!sql.startsWith("SELECT rowid"))
            continue;
        const QByteArray explain = "EXPLAIN QUERY PLAN " + sql;
        sqlite3_stmt* plan = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(connectionOf(*db), explain.constData(), -1, &plan, nullptr), SQLITE_OK);
        QString detail;
        while (sqlite3_step(plan) == SQLITE_ROW)
            detail +=
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(plan, 3))) + QLatin1Char('\n');
        sqlite3_finalize(plan);
        EXPECT_TRUE(detail.contains(QStringLiteral("item:real_sort_order"))) << detail.toStdString();
        EXPECT_FALSE(detail.contains(QStringLiteral("TEMP B-TREE"))) << detail.toStdString();
    }
}

TEST_F(SeekTest, SeekNeedsAnIndexAndSaneKeys)
{
    EXPECT_EQ(errorNumberOf([&] { rs->Seek(QStringLiteral("="), {10}); }), 3019);
    EXPECT_EQ(errorNumberOf([&] { rs->setIndex(QStringLiteral("nosuch")); }), 3015);
    rs->setIndex(QStringLiteral("Real_Sort_Order"));
    EXPECT_EQ(rs->Index(), QStringLiteral("real_sort_order"));
    EXPECT_EQ(errorNumberOf([&] { rs->Seek(QStringLiteral("=="), {10}); }), 3001);
    EXPECT_EQ(errorNumberOf([&] { rs->Seek(QStringLiteral("="), {}); }), 3001);
    EXPECT_EQ(errorNumberOf([&] { rs->Seek(QStringLiteral("="), {10, 1, 0, 4}); }), 3001);
    EXPECT_EQ(errorNumberOf([&] { rs->Seek(QStringLiteral("="), {QStringLiteral("ten")}); }), 3421);

    // Text keys compare as Jet does (case-insensitively); numbers as text work for numeric keys.
    rs->setIndex(QStringLiteral("by_name"));
    rs->Seek(QStringLiteral("="), {QStringLiteral("N17")});
    ASSERT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->Fields(QStringLiteral("name")).toString(), QStringLiteral("n17"));
    rs->setIndex(QStringLiteral("PrimaryKey"));
    rs->Seek(QStringLiteral("="), {QStringLiteral("17")});
    ASSERT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->Fields(QStringLiteral("id")).toLongLong(), 17);
    rs->Seek(QStringLiteral("="), {100000});
    EXPECT_TRUE(rs->NoMatch());
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(errorNumberOf([&] { rs->Fields(0); }), 3021);

    // Clearing the index after a seek with the bookmark kept (how look-ups leave a table).
    rs->Seek(QStringLiteral("="), {17});
    const QByteArray mark = rs->Bookmark();
    rs->setIndex(QString());
    rs->setBookmark(mark);
    EXPECT_EQ(rs->Fields(QStringLiteral("id")).toLongLong(), 17);
    EXPECT_EQ(rs->RecordCount(), long(rows.size()));
}

TEST_F(SeekTest, AddNewEditUpdateCancelAndBookmarks)
{
    rs->setIndex(QStringLiteral("PrimaryKey"));
    rs->MoveLast();
    const long lastId = long(rs->Fields(QStringLiteral("id")).toLongLong());
    rs->Seek(QStringLiteral("="), {5});
    const QByteArray at5 = rs->Bookmark();

    rs->AddNew();
    EXPECT_EQ(rs->editMode(), EditMode::AddNew);
    rs->setField(QStringLiteral("id"), qlonglong(lastId + 1));
    rs->setField(QStringLiteral("GRP"), 99);
    rs->setField(QStringLiteral("del_status"), 0);
    rs->setField(QStringLiteral("name"), QString());
    EXPECT_EQ(rs->Fields(QStringLiteral("grp")).toLongLong(), 99);
    rs->Update();
    EXPECT_EQ(rs->editMode(), EditMode::None);
    // The current record stays the one before AddNew; LastModified is the new row.
    EXPECT_EQ(rs->Fields(QStringLiteral("id")).toLongLong(), 5);
    EXPECT_EQ(rs->Bookmark(), at5);
    rs->setBookmark(rs->LastModified());
    EXPECT_EQ(rs->Fields(QStringLiteral("id")).toLongLong(), lastId + 1);
    EXPECT_EQ(rs->Fields(QStringLiteral("name")).toString(), QString());
    EXPECT_FALSE(isNull(rs->Fields(QStringLiteral("name"))));
    EXPECT_TRUE(isNull(rs->Fields(QStringLiteral("sort_order"))));
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof());

    // Edit moves the row in the index order; it stays current and reading goes on from its new place.
    rs->Seek(QStringLiteral("="), {5});
    rs->Edit();
    rs->setField(QStringLiteral("id"), qlonglong(lastId + 10));
    rs->setField(QStringLiteral("name"), QStringLiteral("moved"));
    rs->Update();
    EXPECT_EQ(rs->Fields(QStringLiteral("name")).toString(), QStringLiteral("moved"));
    // The same row: on SQLite bookmarks follow the row, not its keys; on
    // PostgreSQL a bookmark is the row's primary key.
    if (!lg::dao::test::onPostgres())
        EXPECT_EQ(rs->LastModified(), at5);
    rs->MovePrevious();
    EXPECT_EQ(rs->Fields(QStringLiteral("id")).toLongLong(), lastId + 1);
    rs->MoveNext();
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof());

    // CancelUpdate leaves the row as it was; without an edit Update is refused.
    rs->Seek(QStringLiteral("="), {6});
    rs->Edit();
    rs->setField(QStringLiteral("name"), QStringLiteral("never"));
    rs->CancelUpdate();
    EXPECT_EQ(rs->editMode(), EditMode::None);
    rs->Move(0);
    EXPECT_EQ(rs->Fields(QStringLiteral("name")).toString(), QStringLiteral("n6"));
    EXPECT_EQ(errorNumberOf([&] { rs->Update(); }), 3020);
    EXPECT_EQ(errorNumberOf([&] { rs->setField(QStringLiteral("name"), QStringLiteral("x")); }), 3020);
    EXPECT_EQ(errorNumberOf([&] { rs->setBookmark(QByteArray("junk")); }), 3159);
    EXPECT_EQ(errorNumberOf([&] { rs->setBookmark(at5.left(at5.size() - 1)); }), 3159);
    EXPECT_EQ(errorNumberOf([&] { rs->setBookmark(at5 + QByteArray("x")); }), 3159);
    db->Execute(QStringLiteral("DELETE * FROM item WHERE id = 7"));
    rs->Seek(QStringLiteral("="), {8});
    const QByteArray at8 = rs->Bookmark();
    db->Execute(QStringLiteral("DELETE * FROM item WHERE id = 8"));
    EXPECT_EQ(errorNumberOf([&] { rs->setBookmark(at8); }), 3159);
}

TEST_F(SeekTest, BadValuesAreRefusedBeforeAnythingIsWritten)
{
    const long before = rs->RecordCount();
    rs->AddNew();
    EXPECT_EQ(errorNumberOf([&] { rs->setField(QStringLiteral("grp"), QStringLiteral("abc")); }), 3421);
    EXPECT_EQ(errorNumberOf([&] { rs->setField(QStringLiteral("name"), QString(21, QLatin1Char('x'))); }), 3163);
    EXPECT_EQ(errorNumberOf([&] { rs->setField(QStringLiteral("nosuch"), 1); }), 3265);
    rs->setField(QStringLiteral("id"), 1);  // taken
    rs->setField(QStringLiteral("grp"), 1);
    rs->setField(QStringLiteral("del_status"), 0);
    EXPECT_EQ(errorNumberOf([&] { rs->Update(); }), 3022);
    EXPECT_EQ(rs->editMode(), EditMode::AddNew);  // the caller may still cancel
    rs->CancelUpdate();
    rs->AddNew();
    rs->setField(QStringLiteral("id"), 5000);
    EXPECT_NE(errorNumberOf([&] { rs->Update(); }), 0);  // grp is required
    rs->CancelUpdate();
    EXPECT_EQ(rs->RecordCount(), before);

    auto readOnly = db->OpenRecordset(QStringLiteral("item"), RecordsetType::Table, dbReadOnly);
    EXPECT_EQ(errorNumberOf([&] { readOnly->AddNew(); }), 3027);
    EXPECT_EQ(errorNumberOf([&] { readOnly->Edit(); }), 3027);
}

TEST(TableRecordset, CounterYesNoAndDatesThroughTheRecordset)
{
    auto db = freshDatabase();
    db->Execute(QStringLiteral("CREATE TABLE t (id COUNTER PRIMARY KEY, flag YESNO, at DATETIME, label TEXT(10) "
                               "DEFAULT 'none')"));
    auto rs = db->OpenRecordset(QStringLiteral("t"), RecordsetType::Table, dbSeeChanges);
    rs->setIndex(QStringLiteral("PrimaryKey"));
    EXPECT_TRUE(rs->Bof());
    EXPECT_TRUE(rs->Eof());
    rs->AddNew();
    EXPECT_EQ(rs->Fields(QStringLiteral("label")).toString(), QStringLiteral("none"));
    rs->setField(QStringLiteral("flag"), true);
    rs->setField(QStringLiteral("at"), QStringLiteral("2024-02-29 23:59:58"));
    rs->Update();
    rs->AddNew();
    rs->setField(QStringLiteral("flag"), 0);
    rs->Update();
    EXPECT_TRUE(rs->Eof());  // was empty before the first AddNew

    rs->MoveFirst();
    EXPECT_EQ(rs->Fields(QStringLiteral("id")).toLongLong(), 1);
    EXPECT_EQ(rs->Fields(QStringLiteral("flag")).toLongLong(), -1);
    EXPECT_EQ(rs->Fields(QStringLiteral("at")).toDateTime(), QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58)));
    EXPECT_EQ(rs->Fields(QStringLiteral("label")).toString(), QStringLiteral("none"));
    rs->MoveNext();
    EXPECT_EQ(rs->Fields(QStringLiteral("id")).toLongLong(), 2);
    EXPECT_EQ(rs->Fields(QStringLiteral("flag")).toLongLong(), 0);
    auto check =
        db->OpenRecordset(QStringLiteral("SELECT count(*) FROM t WHERE flag = True AND at = #2/29/2024 23:59:58#"));
    EXPECT_EQ(check->Fields(0).toLongLong(), 1);
}

TEST(TableRecordset, CurrencyKeepsFourDecimalsAndAddsUpToTheCent)
{
    auto db = freshDatabase();
    db->Execute(QStringLiteral("CREATE TABLE lines (id COUNTER PRIMARY KEY, amount CURRENCY)"));
    auto rs = db->OpenRecordset(QStringLiteral("lines"), RecordsetType::Table, dbSeeChanges);
    const struct {
        QVariant written;
        double stored;
    } cases[] = {
        {1.23456789, 1.2346}, {QStringLiteral("57.12346"), 57.1235}, {0.12345, 0.1234}, {0.1, 0.1}, {0.2, 0.2}, {7, 7.0},
    };
    for (const auto& c : cases) {
        rs->AddNew();
        rs->setField(QStringLiteral("amount"), c.written);
        rs->Update();
    }
    auto read = db->OpenRecordset(QStringLiteral("SELECT amount FROM lines ORDER BY id"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written.toString().toStdString());
        ASSERT_FALSE(read->Eof());
        EXPECT_EQ(read->Fields(0).toDouble(), c.stored);
        read->MoveNext();
    }
    auto total = db->OpenRecordset(QStringLiteral("SELECT Sum(amount) FROM lines WHERE amount < 1"));
    EXPECT_EQ(total->Fields(0).toDouble(), 0.4234);
    rs->AddNew();
    EXPECT_EQ(errorNumberOf([&] { rs->setField(QStringLiteral("amount"), 1e16); }), 3421);
    rs->CancelUpdate();
}

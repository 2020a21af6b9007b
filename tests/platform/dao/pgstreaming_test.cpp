// How the PostgreSQL backend reads fast without changing what is read:
// forward-only recordsets stream in a transaction of their own that gives way
// to any other statement; rows written as TSV straight from the server's text
// match the value-by-value form; table-type recordsets walk their index in
// growing batches with prepared keyset queries.

#include <QtCore/QStringList>

#include "daotest.h"
#include "platform/dao/tsv.h"

using namespace lg::dao;
using lg::dao::test::errorNumberOf;
using lg::dao::test::freshDatabase;
using lg::dao::test::onPostgres;
using lg::test::PgCluster;
using lg::test::PgConnection;

namespace {

#define POSTGRES_RUN_ONLY()                                                        \
    do {                                                                           \
        if (!onPostgres())                                                         \
            GTEST_SKIP() << "runs in the PostgreSQL run of this program";          \
        PG_CLUSTER_OR_SKIP();                                                      \
    } while (0)

// The database's name in its URI (the last path element).
QString databaseName(const Database& db)
{
    return db.Name().section(u'/', -1).section(u'?', 0, 0);
}

// A second session on the same database, to look from outside.
std::unique_ptr<PgConnection> observer(const Database& db)
{
    return std::make_unique<PgConnection>(PgCluster::instance().connectionString(databaseName(db)));
}

int sessionsInTransaction(PgConnection& other)
{
    return other
        .value(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() "
                              "AND pid <> pg_backend_pid() AND state LIKE 'idle in transaction%'"))
        .toInt();
}

std::shared_ptr<Database> numbered(int rows)
{
    auto db = freshDatabase();
    db->Execute(QStringLiteral("CREATE TABLE t (id LONG PRIMARY KEY, v LONG)"));
    Transaction transaction(*db);
    BulkInsert insert(*db, QStringLiteral("t"), {QStringLiteral("id"), QStringLiteral("v")});
    for (int i = 1; i <= rows; ++i)
        insert.add({i, i});
    insert.finish();
    transaction.commit();
    return db;
}

TEST(PgStreaming, AnotherStatementEndsTheStreamAndTheRestKeepsItsView)
{
    POSTGRES_RUN_ONLY();
    auto db = numbered(5000);
    auto other = observer(*db);
    auto rs = db->OpenRecordset(QStringLiteral("SELECT id, v FROM t ORDER BY id"), RecordsetType::ForwardOnly);
    // Streaming: the reader's transaction is open while rows remain.
    EXPECT_EQ(sessionsInTransaction(*other), 1);
    long n = 0;
    for (; n < 100; ++n)
        rs->MoveNext();
    // A write between two rows commits at once, as without the reader...
    db->Execute(QStringLiteral("UPDATE t SET v = -v"));
    EXPECT_EQ(sessionsInTransaction(*other), 0);
    EXPECT_EQ(other->value(QStringLiteral("SELECT min(v) FROM t")), QStringLiteral("-5000"));
    // ...and the reader goes on with the rows of the moment it opened.
    long sum = 0;
    for (; !rs->Eof(); rs->MoveNext(), ++n)
        sum += rs->Fields(1).toLongLong();
    EXPECT_EQ(n, 5000);
    EXPECT_EQ(sum, 5000L * 5001 / 2 - 100L * 101 / 2);
}

TEST(PgStreaming, TransactionsOfTheCallerWorkBesideAStreamingReader)
{
    POSTGRES_RUN_ONLY();
    auto db = numbered(3000);
    auto rs = db->OpenRecordset(QStringLiteral("SELECT id FROM t ORDER BY id"), RecordsetType::ForwardOnly);
    rs->MoveNext();
    db->BeginTrans();
    db->Execute(QStringLiteral("DELETE FROM t WHERE id > 10"));
    db->Rollback();
    db->BeginTrans();
    db->Execute(QStringLiteral("UPDATE t SET v = 0 WHERE id = 1"));
    db->CommitTrans();
    long n = 1;  // the first row, passed
    for (; !rs->Eof(); rs->MoveNext())
        ++n;
    EXPECT_EQ(n, 3000);
    auto check = db->OpenRecordset(QStringLiteral("SELECT count(*), min(v) FROM t"), RecordsetType::Snapshot);
    EXPECT_EQ(check->Fields(0).toLongLong(), 3000);
    EXPECT_EQ(check->Fields(1).toLongLong(), 0);
}

TEST(PgStreaming, ReadToTheEndTheConnectionHoldsNothing)
{
    POSTGRES_RUN_ONLY();
    auto db = numbered(4500);
    auto other = observer(*db);
    other->exec(QStringLiteral("SET lock_timeout = '10s'"));
    for (const int rows : {10, 2000, 4500}) {
        SCOPED_TRACE(rows);
        auto rs = db->OpenRecordset(QStringLiteral("SELECT id FROM t WHERE id <= %1").arg(rows),
                                    RecordsetType::ForwardOnly);
        long n = 0;
        for (; !rs->Eof(); rs->MoveNext())
            ++n;
        EXPECT_EQ(n, rows);
        EXPECT_EQ(sessionsInTransaction(*other), 0);
        // Another session may change the table at once.
        other->exec(QStringLiteral("ALTER TABLE t ADD COLUMN c%1 integer").arg(rows));
    }
}

TEST(PgStreaming, GoingBackOnAForwardOnlyRecordsetRunsTheStatementAgain)
{
    POSTGRES_RUN_ONLY();
    auto db = numbered(4500);
    auto rs = db->OpenRecordset(QStringLiteral("SELECT id FROM t ORDER BY id"), RecordsetType::ForwardOnly);
    for (int i = 0; i < 2500; ++i)
        rs->MoveNext();
    EXPECT_EQ(rs->Fields(0).toLongLong(), 2501);
    const QByteArray mark = rs->Bookmark();
    rs->MoveFirst();
    EXPECT_EQ(rs->Fields(0).toLongLong(), 1);
    rs->setBookmark(mark);
    EXPECT_EQ(rs->Fields(0).toLongLong(), 2501);
    EXPECT_EQ(rs->RecordCount(), 4500);
    rs->MoveLast();
    EXPECT_EQ(rs->Fields(0).toLongLong(), 4500);
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof());
}

// A failure in a later row is the reader's, whether it comes while
// streaming or while the rest is kept for the reader because another
// statement wanted the connection; that statement itself succeeds.
TEST(PgStreaming, AFailureInALaterRowIsTheReadersAndNotTheOtherStatements)
{
    POSTGRES_RUN_ONLY();
    for (const bool interrupted : {false, true}) {
        SCOPED_TRACE(interrupted ? "rest kept at another statement" : "streaming");
        auto db = numbered(4500);
        // In the order of writing without a sort, so the failing row comes
        // when it is read.
        auto rs = db->OpenRecordset(QStringLiteral("SELECT id, 1 / (id - 3000) AS x FROM t"),
                                    RecordsetType::ForwardOnly);
        if (interrupted) {
            db->Execute(QStringLiteral("UPDATE t SET v = 7 WHERE id = 1"));
            EXPECT_EQ(db->RecordsAffected(), 1);
        }
        const long number = errorNumberOf([&] {
            for (int i = 0; i < 4500; ++i)
                rs->MoveNext();
        });
        EXPECT_EQ(number, 11);  // division by zero
        auto check = db->OpenRecordset(QStringLiteral("SELECT v FROM t WHERE id = 1"), RecordsetType::Snapshot);
        EXPECT_EQ(check->Fields(0).toLongLong(), interrupted ? 7 : 1);
    }
}

QByteArray rowByValues(const Recordset& rs)
{
    QByteArray out;
    for (int i = 0; i < rs.FieldCount(); ++i) {
        if (i)
            out += '\t';
        appendTsvValue(out, rs.Fields(i), rs.FieldTypeOf(i));
    }
    return out + '\n';
}

TEST(PgStreaming, DirectTsvRowsMatchTheValueByValueForm)
{
    POSTGRES_RUN_ONLY();
    auto db = freshDatabase();
    db->Execute(QStringLiteral("CREATE TABLE v (id LONG PRIMARY KEY, n SHORT, flag YESNO, x DOUBLE, c CURRENCY, "
                               "s TEXT(50), m MEMO, d DATETIME)"));
    auto other = observer(*db);
    // Values past the layer's own checks, as another program may store them.
    other->exec(QStringLiteral(
        "INSERT INTO v VALUES "
        "(1, 7, -1, 1.5, 2.25, 'Árvíztűrő', E'a\\tb\\nc\\\\d\\re', '2024-03-05 00:00:00'),"
        "(2, -3, 0, 3.0, 1e14, '', NULL, '2024-03-05 07:08:09'),"
        "(3, NULL, NULL, 1e300, -0.0001, NULL, E'\\xEF\\xBB\\xBFbom', '2024-03-05 07:08:09.9996'),"
        "(4, 0, 0, -2.5e-7, 922337203685477.5807, 'x y ', 'z', '0001-01-01 00:00:00'),"
        "(5, 1, -1, 'NaN', 0, 'tab\there', '', '9999-12-31 23:59:59.5'),"
        "(6, 2, 0, NULL, NULL, 'q', 'r', NULL)"));
    const QStringList statements = {
        QStringLiteral("SELECT * FROM v ORDER BY id"),
        // computed columns: whole and broken numbers, texts, dates, truth values
        QStringLiteral("SELECT id * 2 AS a, x / 2 AS b, s & '|' & m AS t, DateAdd('d', 1, d) AS e, "
                       "(id > 3) AS f, IIf(id = 2, Null, id) AS g FROM v ORDER BY id"),
    };
    for (const QString& sql : statements) {
        SCOPED_TRACE(sql.toStdString());
        for (const RecordsetType type : {RecordsetType::ForwardOnly, RecordsetType::Snapshot}) {
            auto rs = db->OpenRecordset(sql, type);
            int rows = 0;
            for (; !rs->Eof(); rs->MoveNext(), ++rows) {
                QByteArray direct;
                rs->appendTsvRow(direct);
                EXPECT_EQ(direct, rowByValues(*rs)) << "row " << rows;
            }
            EXPECT_EQ(rows, 6);
        }
    }
}

// Walking a table-type recordset in index order in batches that grow, both
// ways, on a key that cannot hold Null (a row comparison) and on one that
// can (Null first, as in Jet), with ties kept in the order rows were written.
TEST(PgStreaming, TableWalksKeepTheIndexOrderAcrossGrowingBatches)
{
    POSTGRES_RUN_ONLY();
    auto db = freshDatabase();
    db->Execute(QStringLiteral("CREATE TABLE w (id LONG PRIMARY KEY, k LONG NOT NULL, j LONG)"));
    db->Execute(QStringLiteral("CREATE INDEX k_idx ON w (k)"));
    db->Execute(QStringLiteral("CREATE INDEX j_idx ON w (j)"));
    constexpr int kRows = 3000;
    {
        Transaction transaction(*db);
        BulkInsert insert(*db, QStringLiteral("w"), {QStringLiteral("id"), QStringLiteral("k"), QStringLiteral("j")});
        for (int i = 1; i <= kRows; ++i)
            insert.add({i, (i * 37) % 100, i % 7 == 0 ? QVariant() : QVariant((i * 37) % 100)});
        insert.finish();
        transaction.commit();
    }
    // Expected: by key, Null first, ties by id (the order of writing).
    auto expected = [&](bool nullable) {
        std::vector<std::pair<long, long>> keys;
        for (long i = 1; i <= kRows; ++i)
            keys.push_back({nullable && i % 7 == 0 ? -1 : (i * 37) % 100, i});
        std::sort(keys.begin(), keys.end());
        std::vector<long> ids;
        for (const auto& k : keys)
            ids.push_back(k.second);
        return ids;
    };
    for (const bool nullable : {false, true}) {
        SCOPED_TRACE(nullable ? "j (may be Null)" : "k (not Null)");
        auto rs = db->OpenRecordset(QStringLiteral("w"), RecordsetType::Table, dbReadOnly);
        rs->setIndex(nullable ? QStringLiteral("j_idx") : QStringLiteral("k_idx"));
        const std::vector<long> want = expected(nullable);
        std::vector<long> forward, backward;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
            forward.push_back(long(rs->Fields(QStringLiteral("id")).toLongLong()));
        for (rs->MoveLast(); !rs->Bof(); rs->MovePrevious())
            backward.insert(backward.begin(), long(rs->Fields(QStringLiteral("id")).toLongLong()));
        EXPECT_EQ(forward, want);
        EXPECT_EQ(backward, want);
        // Seek to the middle of a run of ties and walk on from there.
        rs->Seek(QStringLiteral(">="), {50});
        ASSERT_FALSE(rs->NoMatch());
        std::vector<long> fromSeek;
        for (; !rs->Eof(); rs->MoveNext())
            fromSeek.push_back(long(rs->Fields(QStringLiteral("id")).toLongLong()));
        const auto first = std::find_if(want.begin(), want.end(), [&](long id) {
            return (id * 37) % 100 >= 50 && !(nullable && id % 7 == 0);
        });
        EXPECT_EQ(fromSeek, std::vector<long>(first, want.end()));
    }
}

}  // namespace

// What the PostgreSQL backend does beyond the shared tests: locks between
// sessions, statements that fail inside a transaction, COPY, reading across
// cursor batches.

#include <QtCore/QDateTime>

#include "daotest.h"

using namespace lg::dao;
using lg::dao::test::errorNumberOf;
using lg::dao::test::freshDatabase;
using lg::dao::test::onPostgres;

namespace {

#define POSTGRES_RUN_ONLY()                                                        \
    do {                                                                           \
        if (!onPostgres())                                                         \
            GTEST_SKIP() << "runs in the PostgreSQL run of this program";          \
        PG_CLUSTER_OR_SKIP();                                                      \
    } while (0)

TEST(PostgresBackend, DenyWriteIsASessionLockThatOtherSessionsCannotTake)
{
    POSTGRES_RUN_ONLY();
    auto db = freshDatabase();
    db->Execute(QStringLiteral("CREATE TABLE excl_0 (id LONG)"));
    auto other = Database::open(db->Name());
    auto first = db->OpenRecordset(QStringLiteral("excl_0"), RecordsetType::Table, dbDenyWrite);
    // Uses in one session are counted; another session is refused at once.
    auto again = db->OpenRecordset(QStringLiteral("excl_0"), RecordsetType::Table, dbDenyWrite);
    EXPECT_EQ(errorNumberOf([&] { other->OpenRecordset(QStringLiteral("EXCL_0"), RecordsetType::Table, dbDenyWrite); }),
              3262);
    first->Close();
    EXPECT_EQ(errorNumberOf([&] { other->OpenRecordset(QStringLiteral("excl_0"), RecordsetType::Table, dbDenyWrite); }),
              3262);
    again.reset();
    // The lock outlives no rollback and no use: the other session gets it now.
    auto taken = other->OpenRecordset(QStringLiteral("excl_0"), RecordsetType::Table, dbDenyWrite);
    EXPECT_EQ(errorNumberOf([&] { db->OpenRecordset(QStringLiteral("excl_0"), RecordsetType::Table, dbDenyWrite); }),
              3262);
    taken.reset();
    other.reset();  // a session that ends lets its locks go
    EXPECT_EQ(errorNumberOf([&] { db->OpenRecordset(QStringLiteral("excl_0"), RecordsetType::Table, dbDenyWrite); }),
              0);
}

TEST(PostgresBackend, AFailedStatementInATransactionUndoesOnlyItself)
{
    POSTGRES_RUN_ONLY();
    auto db = freshDatabase();
    db->Execute(QStringLiteral("CREATE TABLE t (id LONG PRIMARY KEY, n LONG)"));
    auto count = [&] { return db->OpenRecordset(QStringLiteral("SELECT Count(*) FROM t"))->Fields(0).toLongLong(); };
    struct Case {
        const char* jet;
        long number;
    } failing[] = {
        {"INSERT INTO t (id, n) VALUES (1, 0)", 3022},  // a duplicate key
        {"UPDATE t SET n = 1 / 0", 11},
        {"INSERT INTO nowhere (id) VALUES (5)", 3078},
        {"UPDATE t SET nothere = 1", 3061},
    };
    Transaction outer(*db);
    db->Execute(QStringLiteral("INSERT INTO t (id, n) VALUES (1, 10)"));
    for (const Case& c : failing) {
        SCOPED_TRACE(c.jet);
        EXPECT_EQ(errorNumberOf([&] { db->Execute(QString::fromUtf8(c.jet)); }), c.number);
        EXPECT_EQ(count(), 1);  // the transaction goes on
    }
    {
        Transaction inner(*db);
        db->Execute(QStringLiteral("INSERT INTO t (id, n) VALUES (2, 20)"));
        EXPECT_EQ(count(), 2);
    }  // rolled back
    EXPECT_EQ(count(), 1);
    {
        Transaction inner(*db);
        db->Execute(QStringLiteral("INSERT INTO t (id, n) VALUES (3, 30)"));
        inner.commit();
    }
    outer.commit();
    auto other = Database::open(db->Name());
    EXPECT_EQ(other->OpenRecordset(QStringLiteral("SELECT Sum(n) FROM t"))->Fields(0).toLongLong(), 40);
}

TEST(PostgresBackend, BulkInsertCopiesCheckedRowsThatLaterReadsSee)
{
    POSTGRES_RUN_ONLY();
    auto db = freshDatabase();
    db->Execute(QStringLiteral("CREATE TABLE t (id LONG PRIMARY KEY, s TEXT(5), ok YESNO, at DATETIME, c CURRENCY)"));
    {
        Transaction transaction(*db);
        BulkInsert rows(*db, QStringLiteral("t"), {QStringLiteral("id"), QStringLiteral("s"), QStringLiteral("ok"),
                                                   QStringLiteral("at"), QStringLiteral("c")});
        rows.add({1, QStringLiteral("a\tb\\"), true, QDateTime(QDate(2024, 2, 29), QTime(13, 5)), 1.23456});
        rows.add({2, QVariant(), false, QVariant(), 0.1});
        // A row the column cannot hold is refused whole, before it is sent.
        EXPECT_EQ(errorNumberOf([&] { rows.add({3, QStringLiteral("toolong"), true, QVariant(), 0}); }), 3163);
        EXPECT_EQ(errorNumberOf([&] { rows.add({3, QStringLiteral("x")}); }), 3001);
        // A read in between sees what was gathered.
        EXPECT_EQ(db->OpenRecordset(QStringLiteral("SELECT Count(*) FROM t"))->Fields(0).toLongLong(), 2);
        rows.add({3, QStringLiteral("c"), true, QVariant(), 2});
        rows.finish();
        transaction.commit();
    }
    auto rs = db->OpenRecordset(QStringLiteral("SELECT id, s, ok, at, c FROM t ORDER BY id"));
    const auto all = rs->GetRows();
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[0][1], QVariant(QStringLiteral("a\tb\\")));
    EXPECT_EQ(all[0][2], QVariant(qlonglong(-1)));
    EXPECT_EQ(all[0][3], QVariant(QDateTime(QDate(2024, 2, 29), QTime(13, 5))));
    EXPECT_DOUBLE_EQ(all[0][4].toDouble(), 1.2346);
    EXPECT_TRUE(isNull(all[1][1]));
    EXPECT_EQ(all[1][2], QVariant(qlonglong(0)));
    // A row refused by the server (a duplicate key) fails the load.
    Transaction transaction(*db);
    {
        BulkInsert rows(*db, QStringLiteral("t"), {QStringLiteral("id")});
        rows.add({1});
        EXPECT_EQ(errorNumberOf([&] { rows.finish(); }), 3022);
    }
}

TEST(PostgresBackend, StatementRowsAreReadInBatchesBothWays)
{
    POSTGRES_RUN_ONLY();
    auto db = freshDatabase();
    db->Execute(QStringLiteral("CREATE TABLE t (id LONG PRIMARY KEY)"));
    {
        Transaction transaction(*db);
        BulkInsert rows(*db, QStringLiteral("t"), {QStringLiteral("id")});
        for (int i = 1; i <= 4500; ++i)
            rows.add({i});
        rows.finish();
        transaction.commit();
    }
    auto rs = db->OpenRecordset(QStringLiteral("SELECT id FROM t WHERE id > ? ORDER BY id"), QVariantList{500},
                                RecordsetType::Snapshot);
    long n = 0, last = 0;
    QByteArray mark;
    while (!rs->Eof()) {
        const long id = long(rs->Fields(0).toLongLong());
        EXPECT_EQ(id, last + (n ? 1 : 501));
        if (id == 2600)
            mark = rs->Bookmark();
        last = id;
        ++n;
        rs->MoveNext();
    }
    EXPECT_EQ(n, 4000);
    EXPECT_EQ(rs->RecordCount(), 4000);
    rs->MovePrevious();
    EXPECT_EQ(rs->Fields(0).toLongLong(), 4500);
    rs->setBookmark(mark);
    EXPECT_EQ(rs->Fields(0).toLongLong(), 2600);
    rs->MoveFirst();
    EXPECT_EQ(rs->Fields(0).toLongLong(), 501);
    rs->MovePrevious();
    EXPECT_TRUE(rs->Bof());
    rs->MoveLast();
    EXPECT_EQ(rs->Fields(0).toLongLong(), 4500);
}

}  // namespace

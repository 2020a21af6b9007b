#include <QtCore/QFile>

#include "daotest.h"

using namespace lg::dao;
using lg::dao::test::errorNumberOf;
using lg::dao::test::freshDatabase;

namespace {

long countRows(Database& db, const QString& table = QStringLiteral("t"))
{
    auto rs = db.OpenRecordset(QStringLiteral("SELECT count(*) FROM ") + table, RecordsetType::Snapshot);
    return long(rs->Fields(0).toLongLong());
}

void insert(Database& db, int id)
{
    db.Execute(QStringLiteral("INSERT INTO t (id) VALUES (%1)").arg(id));
}

std::shared_ptr<Database> tableDatabase(const QString& name = QStringLiteral("trans.db"))
{
    auto db = freshDatabase(name);
    db->Execute(QStringLiteral("CREATE TABLE t (id LONG PRIMARY KEY, name TEXT(20))"));
    return db;
}

// The journal mode a file's header records: 1 rollback journal, 2 write-ahead log.
int headerJournalVersion(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray header = f.read(20);
    return header.size() == 20 ? int(header.at(18)) : -1;
}

}  // namespace

TEST(Transaction, CommitKeepsTheWorkAndLeavingUncommittedUndoesIt)
{
    auto db = tableDatabase();
    {
        Transaction t(*db);
        EXPECT_EQ(db->transactionLevel(), 1);
        insert(*db, 1);
        t.commit();
        EXPECT_FALSE(t.active());
    }
    EXPECT_EQ(db->transactionLevel(), 0);
    {
        Transaction t(*db);
        insert(*db, 2);
    }
    EXPECT_EQ(db->transactionLevel(), 0);
    EXPECT_EQ(countRows(*db), 1);

    // An exception leaving the scope rolls back as well.
    try {
        Transaction t(*db);
        insert(*db, 3);
        insert(*db, 1);  // duplicate key
        t.commit();
    } catch (const lg::RuntimeError&) {
    }
    EXPECT_EQ(db->transactionLevel(), 0);
    EXPECT_EQ(countRows(*db), 1);

    // A second commit or a commit after rollback is refused; rollback twice is harmless.
    Transaction t(*db);
    t.rollback();
    t.rollback();
    EXPECT_EQ(errorNumberOf([&] { t.commit(); }), 3034);
}

TEST(Transaction, InnerGuardsAreSavepoints)
{
    auto db = tableDatabase();
    {
        Transaction outer(*db);
        insert(*db, 1);
        {
            Transaction inner(*db);
            EXPECT_EQ(db->transactionLevel(), 2);
            insert(*db, 2);
        }  // only the inner work goes
        {
            Transaction inner(*db);
            insert(*db, 3);
            inner.commit();
        }
        EXPECT_EQ(db->transactionLevel(), 1);
        outer.commit();
    }
    auto rs = db->OpenRecordset(QStringLiteral("SELECT id FROM t ORDER BY id"), RecordsetType::Snapshot);
    EXPECT_EQ(rs->GetRows(), (QList<QList<Value>>{{qlonglong(1)}, {qlonglong(3)}}));

    // An outer commit while an inner level is open is refused; the guard
    // then takes everything back as it goes.
    {
        Transaction outer(*db);
        insert(*db, 10);
        db->BeginTrans();
        insert(*db, 11);
        EXPECT_EQ(errorNumberOf([&] { outer.commit(); }), 3219);
        EXPECT_TRUE(outer.active());
    }
    EXPECT_EQ(db->transactionLevel(), 0);
    EXPECT_EQ(countRows(*db), 2);
}

TEST(ReadSnapshot, KeepsOneViewWhileAnotherConnectionWrites)
{
    SQLITE_ONLY();
    const QString path = lg::test::tempPath(QStringLiteral("snapshot.db"));
    auto reader = Database::open(path);
    reader->Execute(QStringLiteral("CREATE TABLE t (id LONG PRIMARY KEY, name TEXT(20))"));
    insert(*reader, 1);
    auto writer = Database::open(path);
    {
        ReadSnapshot snapshot(*reader);
        EXPECT_TRUE(snapshot.holds());
        EXPECT_EQ(countRows(*reader), 1);
        // No write lock is held: the other connection writes, even in a transaction.
        insert(*writer, 2);
        {
            Transaction t(*writer);
            insert(*writer, 3);
            t.commit();
        }
        EXPECT_EQ(countRows(*writer), 3);
        // Both passes of a reader see the same rows.
        EXPECT_EQ(countRows(*reader), 1);
        auto rs = reader->OpenRecordset(QStringLiteral("SELECT id FROM t"), RecordsetType::ForwardOnly);
        EXPECT_EQ(rs->GetRows().size(), 1);
        // This connection does not write inside its snapshot.
        EXPECT_EQ(errorNumberOf([&] { insert(*reader, 4); }), 3219);
        EXPECT_EQ(errorNumberOf([&] { reader->BeginTrans(); }), 3219);
        EXPECT_EQ(reader->transactionLevel(), 0);
    }
    EXPECT_EQ(countRows(*reader), 3);
    insert(*reader, 4);  // writes again once the snapshot is gone
    EXPECT_EQ(countRows(*writer), 4);
}

TEST(ReadSnapshot, DoesNothingInsideATransactionOrAnotherSnapshot)
{
    auto db = tableDatabase();
    {
        Transaction t(*db);
        ReadSnapshot snapshot(*db);
        EXPECT_FALSE(snapshot.holds());
        insert(*db, 1);  // the transaction goes on as before
        t.commit();
    }
    EXPECT_EQ(countRows(*db), 1);
    {
        ReadSnapshot outer(*db);
        {
            ReadSnapshot inner(*db);
            EXPECT_FALSE(inner.holds());
        }
        // The inner one going did not end the outer's view.
        EXPECT_EQ(errorNumberOf([&] { insert(*db, 2); }), 3219);
    }
    insert(*db, 2);
    EXPECT_EQ(countRows(*db), 2);
}

TEST(JournalMode, AHostDatabaseKeepsItsJournalMode)
{
    SQLITE_ONLY();
    const QString path = lg::test::tempPath(QStringLiteral("host.db"));
    {
        auto db = Database::open(path, {}, dbOpenRollbackJournal);
        EXPECT_TRUE(db->created());
        db->Execute(QStringLiteral("CREATE TABLE t (id LONG PRIMARY KEY, name TEXT(20))"));
        EXPECT_EQ(db->journalMode(), QStringLiteral("delete"));
    }
    ASSERT_EQ(headerJournalVersion(path), 1);
    {
        auto db = Database::open(path);
        EXPECT_FALSE(db->created());
        insert(*db, 1);
        {
            Transaction t(*db);
            insert(*db, 2);
            t.commit();
        }
        EXPECT_EQ(countRows(*db), 2);
        EXPECT_EQ(db->journalMode(), QStringLiteral("delete"));
    }
    EXPECT_EQ(headerJournalVersion(path), 1);
    EXPECT_FALSE(QFile::exists(path + QStringLiteral("-wal")));

    // Asked for, write-ahead logging is switched on and stays.
    {
        auto db = Database::open(path, {}, dbOpenWriteAheadLog);
        EXPECT_EQ(db->journalMode(), QStringLiteral("wal"));
    }
    EXPECT_EQ(headerJournalVersion(path), 2);
    auto db = Database::open(path);
    EXPECT_EQ(db->journalMode(), QStringLiteral("wal"));
    EXPECT_EQ(countRows(*db), 2);
}

TEST(BulkLoad, OnlyForADatabaseBeingCreatedAndRestoresTheJournal)
{
    SQLITE_ONLY();
    const QString path = lg::test::tempPath(QStringLiteral("bulk.db"));
    {
        auto db = Database::open(path, {}, dbOpenRollbackJournal);
        db->Execute(QStringLiteral("CREATE TABLE t (id LONG PRIMARY KEY, name TEXT(20))"));
        {
            BulkLoad bulk(*db);
            EXPECT_EQ(db->journalMode(), QStringLiteral("off"));
            Transaction t(*db);
            for (int i = 1; i <= 100; ++i)
                insert(*db, i);
            t.commit();
            bulk.end();
            EXPECT_EQ(db->journalMode(), QStringLiteral("delete"));
        }
        {
            BulkLoad bulk(*db);  // left without end(): restored all the same
            insert(*db, 101);
        }
        EXPECT_EQ(db->journalMode(), QStringLiteral("delete"));
        Transaction t(*db);
        EXPECT_EQ(errorNumberOf([&] { BulkLoad inside(*db); }), 3219);
    }
    auto db = Database::open(path);
    EXPECT_EQ(countRows(*db), 101);
    EXPECT_EQ(errorNumberOf([&] { BulkLoad refused(*db); }), 3219);
    EXPECT_EQ(db->journalMode(), QStringLiteral("delete"));
}

TEST(UnknownNames, AreMissingParametersNotTexts)
{
    auto db = tableDatabase();
    insert(*db, 1);
    try {
        db->OpenRecordset(QStringLiteral("SELECT id, no_such_col FROM t"), RecordsetType::Snapshot);
        FAIL() << "an unknown column was accepted";
    } catch (const lg::RuntimeError& e) {
        EXPECT_EQ(e.number(), 3061);
        EXPECT_EQ(e.description(), QStringLiteral("Too few parameters. Expected 1. (no_such_col)"));
    }
    EXPECT_EQ(errorNumberOf([&] { db->Execute(QStringLiteral("UPDATE t SET name = [nev] WHERE id = 1")); }), 3061);
    EXPECT_EQ(errorNumberOf([&] {
                  db->OpenRecordset(QStringLiteral("SELECT id FROM t WHERE missing = 1"), RecordsetType::Snapshot);
              }),
              3061);
    // A Jet text in double quotes is still a text.
    auto rs = db->OpenRecordset(QStringLiteral("SELECT \"no_such_col\" AS x FROM t"), RecordsetType::Snapshot);
    EXPECT_EQ(rs->Fields(0), QVariant(QStringLiteral("no_such_col")));
}


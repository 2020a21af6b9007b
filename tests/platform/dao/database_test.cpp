#include <QtCore/QDateTime>
#include <QtCore/QFile>

#include <sqlite3.h>

#include "daotest.h"

using namespace lg::dao;
using lg::dao::test::errorNumberOf;
using lg::dao::test::freshDatabase;

namespace {

QVariant scalar(Database& db, const QString& sql)
{
    auto rs = db.OpenRecordset(sql, RecordsetType::Snapshot);
    return rs->Eof() ? QVariant() : rs->Fields(0);
}

}  // namespace

TEST(Database, OpenCreatesTheFileAndRefusesAForeignOne)
{
    SQLITE_ONLY();
    const QString path = lg::test::tempPath(QStringLiteral("new.db"));
    ASSERT_FALSE(QFile::exists(path));
    auto db = Database::open(path);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(db->Name(), path);
    EXPECT_TRUE(db->created());
    EXPECT_EQ(db->journalMode(), QStringLiteral("wal"));  // a file the layer creates

    // A file that is not a database is reported and left as it was.
    const QString foreign = lg::test::tempPath(QStringLiteral("notes.txt"));
    QFile f(foreign);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const QByteArray text(4096, 'x');
    f.write(text);
    f.close();
    EXPECT_THROW(Database::open(foreign), lg::RuntimeError);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), text);
}

TEST(Database, ExecuteCountsRowsAndRefusesSelects)
{
    auto db = freshDatabase();
    db->Execute(QStringLiteral("CREATE TABLE t (id LONG, name TEXT(20))"));
    db->Execute(QStringLiteral("INSERT INTO t (id, name) VALUES (1, 'a')"));
    db->Execute(QStringLiteral("INSERT INTO t (id, name) VALUES (2, 'b')"));
    db->Execute(QStringLiteral("INSERT INTO t (id, name) VALUES (3, 'c')"));
    db->Execute(QStringLiteral("UPDATE t SET name = 'x' WHERE id >= 2"));
    EXPECT_EQ(db->RecordsAffected(), 2);
    db->Execute(QStringLiteral("DELETE * FROM t WHERE id = 99"));
    EXPECT_EQ(db->RecordsAffected(), 0);
    EXPECT_EQ(errorNumberOf([&] { db->Execute(QStringLiteral("SELECT * FROM t")); }), 3065);

    // The same text again runs from the statement cache, also after it failed.
    db->Execute(QStringLiteral("CREATE TABLE u (k LONG PRIMARY KEY)"));
    const QString insert = QStringLiteral("INSERT INTO u (k) VALUES (7)");
    db->Execute(insert);
    EXPECT_EQ(db->RecordsAffected(), 1);
    EXPECT_NE(errorNumberOf([&] { db->Execute(insert); }), 0);
    EXPECT_NE(errorNumberOf([&] { db->Execute(insert); }), 0);
    db->Execute(QStringLiteral("DELETE * FROM u"));
    db->Execute(insert);
    EXPECT_EQ(db->RecordsAffected(), 1);
    EXPECT_NE(errorNumberOf([&] { db->Execute(QStringLiteral("INSERT INTO nosuch (a) VALUES (1)")); }), 0);
    EXPECT_EQ(errorNumberOf([&] { db->OpenRecordset(QStringLiteral("nosuch")); }), 3078);
}

TEST(Database, ValuesKeepTheirJetMeaning)
{
    auto db = freshDatabase();
    db->Execute(QStringLiteral("CREATE TABLE v (id LONG, s TEXT(10), m MEMO, flag YESNO, d DATETIME, x DOUBLE, "
                               "c CURRENCY, n SHORT)"));
    db->Execute(QStringLiteral("INSERT INTO v (id, s, m, flag, d, x, c, n) VALUES "
                               "(1, '', Null, True, #10/03/2004 13:02:03#, 1.5, 2, 7)"));
    db->Execute(QStringLiteral("INSERT INTO v (id, s, flag, d) VALUES (2, Null, False, #10/03/2004#)"));

    auto rs = db->OpenRecordset(QStringLiteral("SELECT * FROM v ORDER BY id"));
    // Null and the empty string stay apart.
    EXPECT_TRUE(rs->Fields(QStringLiteral("s")).isValid());
    EXPECT_EQ(rs->Fields(QStringLiteral("s")).toString(), QString());
    EXPECT_TRUE(isNull(rs->Fields(QStringLiteral("m"))));
    EXPECT_EQ(rs->Fields(QStringLiteral("FLAG")).toLongLong(), -1);
    EXPECT_EQ(rs->Fields(QStringLiteral("d")).toDateTime(), QDateTime(QDate(2004, 10, 3), QTime(13, 2, 3)));
    EXPECT_EQ(rs->Fields(QStringLiteral("x")).typeId(), QMetaType::Double);
    EXPECT_EQ(rs->Fields(QStringLiteral("c")).typeId(), QMetaType::Double);
    EXPECT_EQ(rs->Fields(QStringLiteral("n")).typeId(), QMetaType::LongLong);
    EXPECT_EQ(rs->FieldTypeOf(rs->FieldIndex(QStringLiteral("d"))), FieldType::DateTime);
    rs->MoveNext();
    EXPECT_TRUE(isNull(rs->Fields(QStringLiteral("s"))));
    EXPECT_EQ(rs->Fields(QStringLiteral("flag")).toLongLong(), 0);
    EXPECT_EQ(rs->Fields(QStringLiteral("d")).toDateTime(), QDateTime(QDate(2004, 10, 3), QTime(0, 0)));
}

TEST(Database, DatesAgreeBetweenLiteralsRecordsetsAndComparisons)
{
    auto db = freshDatabase();
    db->Execute(QStringLiteral("CREATE TABLE ev (id COUNTER PRIMARY KEY, d DATETIME, note TEXT(20))"));
    db->Execute(QStringLiteral("INSERT INTO ev (d, note) VALUES (#12/11/2006 1:2:3 pm#, 'sql')"));
    {
        auto rs = db->OpenRecordset(QStringLiteral("ev"), RecordsetType::Table);
        rs->AddNew();
        rs->setField(QStringLiteral("d"), QDateTime(QDate(2006, 12, 11), QTime(13, 2, 3)));
        rs->setField(QStringLiteral("note"), QStringLiteral("recordset"));
        rs->Update();
        rs->AddNew();
        rs->setField(QStringLiteral("d"), QDate(2006, 12, 11));
        rs->setField(QStringLiteral("note"), QStringLiteral("date only"));
        rs->Update();
    }
    // Both writers stored the same value: one literal finds both.
    auto rs = db->OpenRecordset(QStringLiteral("SELECT note, d FROM ev WHERE d = #12/11/2006 13:02:03# ORDER BY id"));
    ASSERT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(rs->Fields(0).toString(), QStringLiteral("sql"));
    EXPECT_EQ(rs->Fields(1).toDateTime(), QDateTime(QDate(2006, 12, 11), QTime(13, 2, 3)));
    EXPECT_EQ(scalar(*db, QStringLiteral("SELECT note FROM ev WHERE d = #12/11/2006#")).toString(),
              QStringLiteral("date only"));
    EXPECT_EQ(scalar(*db, QStringLiteral("SELECT count(*) FROM ev WHERE d < #12/12/2006#")).toLongLong(), 3);
}

TEST(Database, TableDefsShowJetTypesAndIndexFieldLists)
{
    auto db = freshDatabase();
    db->Execute(QStringLiteral("CREATE TABLE item (id COUNTER PRIMARY KEY, list_id LONG NOT NULL, "
                               "sort_order SHORT, name TEXT(40) DEFAULT 'x', body MEMO, flag YESNO DEFAULT 0, "
                               "at DATETIME, price CURRENCY, ratio DOUBLE)"));
    db->Execute(QStringLiteral("CREATE INDEX real_sort_order ON item (list_id, sort_order DESC, flag)"));
    db->Execute(QStringLiteral("CREATE TABLE code (code TEXT(5) PRIMARY KEY, label TEXT(20))"));
    db->Execute(QStringLiteral("CREATE VIEW qry_item AS SELECT id, name FROM item"));

    EXPECT_TRUE(db->hasTable(QStringLiteral("ITEM")));
    EXPECT_TRUE(db->hasTable(QStringLiteral("qry_item")));
    EXPECT_FALSE(db->hasTable(QStringLiteral("nosuch")));

    const TableDef item = db->tableDef(QStringLiteral("Item"));
    EXPECT_EQ(item.name, QStringLiteral("item"));
    EXPECT_FALSE(item.isQuery);
    const QList<FieldType> expected{FieldType::Counter,  FieldType::Long,     FieldType::Integer,
                                    FieldType::Text,     FieldType::Memo,     FieldType::YesNo,
                                    FieldType::DateTime, FieldType::Currency, FieldType::Double};
    ASSERT_EQ(item.fields.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(item.fields.at(i).type, expected.at(i)) << item.fields.at(i).name.toStdString();
    EXPECT_EQ(item.field(QStringLiteral("NAME"))->size, 40);
    EXPECT_EQ(item.field(QStringLiteral("name"))->defaultValue.toString(), QStringLiteral("x"));
    EXPECT_EQ(item.field(QStringLiteral("flag"))->defaultValue.toLongLong(), 0);
    EXPECT_TRUE(item.field(QStringLiteral("list_id"))->required);
    EXPECT_FALSE(item.field(QStringLiteral("sort_order"))->required);

    ASSERT_NE(item.index(QStringLiteral("primarykey")), nullptr);
    EXPECT_TRUE(item.index(QStringLiteral("PrimaryKey"))->primary);
    EXPECT_EQ(item.index(QStringLiteral("PrimaryKey"))->fields, QStringLiteral("+id"));
    const IndexDef* order = item.index(QStringLiteral("real_sort_order"));
    ASSERT_NE(order, nullptr);
    EXPECT_EQ(order->fields, QStringLiteral("+list_id;-sort_order;+flag"));
    EXPECT_EQ(order->fieldNames(), (QStringList{"list_id", "sort_order", "flag"}));
    EXPECT_FALSE(order->unique);
    EXPECT_EQ(item.indexes.size(), 2);

    const TableDef code = db->tableDef(QStringLiteral("code"));
    ASSERT_EQ(code.indexes.size(), 1);  // the key is shown once, under its Jet name
    EXPECT_EQ(code.indexes.at(0).name, QStringLiteral("PrimaryKey"));
    EXPECT_TRUE(code.indexes.at(0).unique);
    EXPECT_EQ(code.indexes.at(0).fields, QStringLiteral("+code"));

    const QList<TableDef> all = db->TableDefs();
    QStringList names;
    for (const TableDef& t : all)
        names << t.name;
    EXPECT_EQ(names, (QStringList{"code", "item", "qry_item"}));
    EXPECT_TRUE(all.at(2).isQuery);
    EXPECT_EQ(all.at(2).fields.size(), 2);

    // The definitions follow DDL.
    db->Execute(QStringLiteral("DROP INDEX real_sort_order ON item"));
    EXPECT_EQ(db->tableDef(QStringLiteral("item")).index(QStringLiteral("real_sort_order")), nullptr);
}

TEST(Database, NestedTransactionsUndoOnlyTheirOwnWork)
{
    SQLITE_ONLY();
    const QString path = lg::test::tempPath(QStringLiteral("trans.db"));
    auto db = Database::open(path);
    db->Execute(QStringLiteral("CREATE TABLE t (v LONG)"));
    auto count = [&](Database& d) { return scalar(d, QStringLiteral("SELECT count(*) FROM t")).toLongLong(); };

    // An inner rollback keeps the outer work.
    db->BeginTrans();
    db->Execute(QStringLiteral("INSERT INTO t (v) VALUES (1)"));
    db->BeginTrans();
    EXPECT_EQ(db->transactionLevel(), 2);
    db->Execute(QStringLiteral("INSERT INTO t (v) VALUES (2)"));
    db->Rollback();
    EXPECT_EQ(count(*db), 1);
    db->CommitTrans(dbForceOSFlush);
    EXPECT_EQ(db->transactionLevel(), 0);
    auto other = Database::open(path);
    EXPECT_EQ(count(*other), 1);

    // An outer rollback undoes everything, committed inner levels included.
    db->BeginTrans();
    db->Execute(QStringLiteral("INSERT INTO t (v) VALUES (3)"));
    db->BeginTrans();
    db->Execute(QStringLiteral("INSERT INTO t (v) VALUES (4)"));
    db->CommitTrans();
    db->Rollback();
    EXPECT_EQ(count(*db), 1);
    EXPECT_EQ(count(*other), 1);

    EXPECT_EQ(errorNumberOf([&] { db->CommitTrans(); }), 3034);
    EXPECT_EQ(errorNumberOf([&] { db->Rollback(); }), 3034);
}

TEST(Database, RollbackUnderAnOpenRecordsetKeepsItUsable)
{
    auto db = freshDatabase();
    db->Execute(QStringLiteral("CREATE TABLE t (id LONG PRIMARY KEY, v LONG)"));
    for (int i = 1; i <= 5; ++i)
        db->Execute(QStringLiteral("INSERT INTO t (id, v) VALUES (%1, %1)").arg(i));
    auto table = db->OpenRecordset(QStringLiteral("t"), RecordsetType::Table);
    table->setIndex(QStringLiteral("PrimaryKey"));
    table->Seek(QStringLiteral("="), {2});
    auto query = db->OpenRecordset(QStringLiteral("SELECT id FROM t ORDER BY id"));
    query->MoveNext();

    db->BeginTrans();
    db->Execute(QStringLiteral("DELETE * FROM t WHERE id = 4"));
    db->Rollback();

    table->MoveNext();
    EXPECT_EQ(table->Fields(QStringLiteral("id")).toLongLong(), 3);
    table->MoveNext();
    EXPECT_EQ(table->Fields(QStringLiteral("id")).toLongLong(), 4);
    EXPECT_EQ(query->Fields(0).toLongLong(), 2);
    query->MoveNext();
    EXPECT_EQ(query->Fields(0).toLongLong(), 3);
}

TEST(Database, WritesAfterAnotherConnectionCommittedAreNotRefused)
{
    SQLITE_ONLY();
    // A cursor left standing on a row must not pin an old snapshot that
    // would make the next write of this connection fail.
    const QString path = lg::test::tempPath(QStringLiteral("two.db"));
    auto a = Database::open(path);
    a->Execute(QStringLiteral("CREATE TABLE t (id LONG PRIMARY KEY, v LONG)"));
    for (int i = 1; i <= 5; ++i)
        a->Execute(QStringLiteral("INSERT INTO t (id, v) VALUES (%1, 0)").arg(i));
    auto rs = a->OpenRecordset(QStringLiteral("t"), RecordsetType::Table);
    rs->setIndex(QStringLiteral("PrimaryKey"));
    rs->Seek(QStringLiteral(">="), {2});
    ASSERT_FALSE(rs->NoMatch());

    auto b = Database::open(path);
    b->Execute(QStringLiteral("INSERT INTO t (id, v) VALUES (6, 0)"));

    EXPECT_NO_THROW(a->Execute(QStringLiteral("UPDATE t SET v = 1 WHERE id = 1")));
    EXPECT_NO_THROW({
        a->BeginTrans();
        rs->Edit();
        rs->setField(QStringLiteral("v"), 2);
        rs->Update();
        a->CommitTrans();
    });
    EXPECT_EQ(scalar(*b, QStringLiteral("SELECT v FROM t WHERE id = 2")).toLongLong(), 2);
    rs->MoveLast();
    EXPECT_EQ(rs->Fields(QStringLiteral("id")).toLongLong(), 6);  // sees the other connection's row
}

TEST(StatementRecordset, MovesCountsAndBookmarks)
{
    auto db = freshDatabase();
    db->Execute(QStringLiteral("CREATE TABLE t (id LONG, name TEXT(10))"));
    for (int i = 1; i <= 5; ++i)
        db->Execute(QStringLiteral("INSERT INTO t (id, name) VALUES (%1, 'n%1')").arg(i));
    auto rs = db->OpenRecordset(QStringLiteral("SELECT id, name AS Label FROM t ORDER BY id"));
    EXPECT_FALSE(rs->Bof());
    EXPECT_EQ(rs->RecordCount(), 5);  // known before reading
    EXPECT_EQ(rs->FieldName(1), QStringLiteral("Label"));
    EXPECT_EQ(rs->FieldIndex(QStringLiteral("LABEL")), 1);
    EXPECT_EQ(rs->FieldIndex(QStringLiteral("nosuch")), -1);
    EXPECT_EQ(errorNumberOf([&] { rs->Fields(QStringLiteral("nosuch")); }), 3265);

    rs->Move(2);
    EXPECT_EQ(rs->Fields(0).toLongLong(), 3);
    const QByteArray mark = rs->Bookmark();
    rs->MoveLast();
    EXPECT_EQ(rs->Fields(0).toLongLong(), 5);
    rs->MovePrevious();
    EXPECT_EQ(rs->Fields(QStringLiteral("label")).toString(), QStringLiteral("n4"));
    rs->setBookmark(mark);
    EXPECT_EQ(rs->Fields(0).toLongLong(), 3);
    rs->Move(0);
    EXPECT_EQ(rs->Fields(0).toLongLong(), 3);
    rs->MoveNext();
    rs->MoveNext();
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(errorNumberOf([&] { rs->MoveNext(); }), 3021);
    EXPECT_EQ(errorNumberOf([&] { rs->Fields(0); }), 3021);
    rs->MovePrevious();
    EXPECT_EQ(rs->Fields(0).toLongLong(), 5);
    rs->MoveFirst();
    rs->MovePrevious();
    EXPECT_TRUE(rs->Bof());
    EXPECT_FALSE(rs->Eof());

    const auto rows = rs->GetRows(2);  // from BOF: the first rows
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows.at(1).at(1).toString(), QStringLiteral("n2"));
    EXPECT_EQ(rs->Fields(0).toLongLong(), 3);
    EXPECT_EQ(rs->GetRows().size(), 3);
    EXPECT_TRUE(rs->Eof());

    EXPECT_EQ(errorNumberOf([&] { rs->Edit(); }), 3027);
    rs->Close();
    EXPECT_FALSE(rs->isOpen());
    EXPECT_EQ(errorNumberOf([&] { rs->MoveFirst(); }), 3420);

    auto empty = db->OpenRecordset(QStringLiteral("SELECT * FROM t WHERE id > 100"), RecordsetType::ForwardOnly);
    EXPECT_TRUE(empty->Bof());
    EXPECT_TRUE(empty->Eof());
    EXPECT_EQ(empty->RecordCount(), 0);
    EXPECT_TRUE(empty->GetRows().isEmpty());
}

TEST(StatementRecordset, ForwardReadKeepsNullsApartAndStopsCleanly)
{
    auto db = freshDatabase();
    db->Execute(QStringLiteral("CREATE TABLE t (id LONG, name TEXT(10), amount DOUBLE)"));
    db->Execute(QStringLiteral("INSERT INTO t VALUES (1, 'a', 1.5)"));
    db->Execute(QStringLiteral("INSERT INTO t VALUES (2, '', 0)"));
    db->Execute(QStringLiteral("INSERT INTO t VALUES (3, NULL, NULL)"));
    auto rs =
        db->OpenRecordset(QStringLiteral("SELECT id, name, amount FROM t ORDER BY id"), RecordsetType::ForwardOnly);
    QStringList seen;
    while (!rs->Eof()) {
        const Value name = rs->Fields(1);
        const Value amount = rs->Fields(2);
        seen << (isNull(name) ? QStringLiteral("<null>") : name.toString()) + QLatin1Char('/') +
                    (isNull(amount) ? QStringLiteral("<null>") : QString::number(amount.toDouble()));
        EXPECT_EQ(errorNumberOf([&] { rs->Fields(3); }), 3265);
        EXPECT_EQ(errorNumberOf([&] { rs->Fields(-1); }), 3265);
        rs->MoveNext();
    }
    EXPECT_EQ(seen, QStringList({QStringLiteral("a/1.5"), QStringLiteral("/0"), QStringLiteral("<null>/<null>")}));
    EXPECT_EQ(rs->RecordCount(), 3);
    EXPECT_EQ(errorNumberOf([&] { rs->Fields(0); }), 3021);
    EXPECT_EQ(errorNumberOf([&] { rs->MoveNext(); }), 3021);

    rs->MoveFirst();
    EXPECT_EQ(rs->Fields(0).toLongLong(), 1);
    rs->Close();
    EXPECT_EQ(errorNumberOf([&] { rs->Fields(0); }), 3420);
    EXPECT_EQ(errorNumberOf([&] { rs->Eof(); }), 3420);
}

TEST(StatementRecordset, ReadingSurvivesIdleAndWritesInBetween)
{
    auto db = freshDatabase();
    db->Execute(QStringLiteral("CREATE TABLE t (id LONG, seen LONG)"));
    for (int i = 1; i <= 50; ++i)
        db->Execute(QStringLiteral("INSERT INTO t (id, seen) VALUES (%1, 0)").arg(i));
    auto rs = db->OpenRecordset(QStringLiteral("SELECT id FROM t ORDER BY id"), RecordsetType::ForwardOnly);
    db->Idle(dbFreeLocks);
    long sum = 0;
    long n = 0;
    while (!rs->Eof()) {
        const long id = long(rs->Fields(0).toLongLong());
        sum += id;
        ++n;
        db->Execute(QStringLiteral("UPDATE t SET seen = 1 WHERE id = %1").arg(id));
        rs->MoveNext();
    }
    EXPECT_EQ(n, 50);
    EXPECT_EQ(sum, 50 * 51 / 2);
    EXPECT_EQ(scalar(*db, QStringLiteral("SELECT count(*) FROM t WHERE seen = 1")).toLongLong(), 50);
}

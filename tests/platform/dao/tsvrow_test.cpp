// Rows written as TSV straight from the statement must read exactly as the
// same rows formatted value by value, whatever the columns hold; and reading
// the current row must stay right through every way of moving.

#include <QtCore/QStringList>

#include <sqlite3.h>

#include "daotest.h"
#include "platform/dao/dao_internal.h"
#include "platform/dao/tsv.h"

namespace lg::dao {
namespace {

using test::errorNumberOf;
using test::freshDatabase;

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

QByteArray rowDirect(const Recordset& rs)
{
    QByteArray out;
    rs.appendTsvRow(out);
    return out;
}

// Stores raw values past the type checks of the layer: stray types, bad UTF-8, blobs.
void insertRaw(Database& db, const char* sql)
{
    char* err = nullptr;
    ASSERT_EQ(sqlite3_exec(connectionOf(db), sql, nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
}

TEST(TsvRow, DirectRowsMatchTheValueByValueForm)
{
    SQLITE_ONLY();
    auto db = freshDatabase();
    db->Execute(QStringLiteral("CREATE TABLE v (id LONG, s TEXT(50), m MEMO, flag YESNO, d DATETIME, x DOUBLE, "
                               "c CURRENCY, n SHORT)"));
    insertRaw(*db,
              "INSERT INTO v VALUES "
              // ordinary values, a date at midnight and one with a time
              "(1, 'Árvíztűrő', 'a\tb\nc\\d\re', -1, '2024-03-05 00:00:00', 1.5, 2.25, 7),"
              "(2, '', NULL, 0, '2024-03-05 07:08:09', 3.0, 1e300, -3),"
              // stray storage classes: numbers in texts, texts in numbers, a float in a whole number
              "(3, 42, 2.5, 5, 45000.25, '12', 'x', 2.5),"
              // dates that are no dates, the short form, a bad day, a bad hour
              "(4, 'x', 'y', 1, '2024-02-30 00:00:00', NULL, NULL, NULL),"
              "(5, NULL, NULL, NULL, '2024-02-29', NULL, NULL, NULL),"
              "(6, NULL, NULL, NULL, '2024-01-01 24:00:00', NULL, NULL, NULL),"
              "(7, NULL, NULL, NULL, '2024-01-01T10:00:00', NULL, NULL, NULL),"
              // bad UTF-8, a byte order mark, a truncated sequence, an encoded surrogate, a blob
              "(8, CAST(X'41FF42' AS TEXT), CAST(X'EFBBBF41' AS TEXT), NULL, CAST(X'C3' AS TEXT), NULL, NULL, NULL),"
              "(9, CAST(X'EDA080' AS TEXT), X'00FF', NULL, X'01', NULL, NULL, NULL),"
              // huge and tiny numbers
              "(10, NULL, NULL, NULL, NULL, 1e15, -0.0, 9223372036854775807)");
    auto check = [&](const QString& sql) {
        SCOPED_TRACE(sql.toStdString());
        auto rs = db->OpenRecordset(sql, RecordsetType::ForwardOnly);
        int rows = 0;
        for (; !rs->Eof(); rs->MoveNext(), ++rows)
            EXPECT_EQ(rowDirect(*rs), rowByValues(*rs)) << "row " << rows + 1;
        EXPECT_EQ(rows, 10);
    };
    check(QStringLiteral("SELECT * FROM v ORDER BY id"));
    // Computed columns have no declared type: canonical dates still read as dates.
    check(QStringLiteral("SELECT id & '', d & '', x * 2, c + 0, s & m, Left(d, 10) FROM v ORDER BY id"));

    // A few of the results spelled out.
    auto rs = db->OpenRecordset(QStringLiteral("SELECT id, d, s, m FROM v WHERE id IN (1, 2, 4) ORDER BY id"));
    EXPECT_EQ(rowDirect(*rs), QByteArray("1\t2024-03-05\tÁrvíztűrő\ta\\tb\\nc\\\\d\\re\n"));
    rs->MoveNext();
    EXPECT_EQ(rowDirect(*rs), QByteArray("2\t2024-03-05 07:08:09\t\t\n"));
    rs->MoveNext();
    EXPECT_EQ(rowDirect(*rs), QByteArray("4\t2024-02-30 00:00:00\tx\ty\n"));
}

TEST(TsvRow, CurrentRowStaysRightThroughMovesWritesAndClose)
{
    auto db = freshDatabase();
    db->Execute(QStringLiteral("CREATE TABLE t (id LONG, name TEXT(20))"));
    for (int i = 1; i <= 5; ++i)
        db->Execute(QStringLiteral("INSERT INTO t (id, name) VALUES (%1, 'n%1')").arg(i));
    auto rs = db->OpenRecordset(QStringLiteral("SELECT id, name FROM t ORDER BY id"), RecordsetType::Snapshot);
    EXPECT_EQ(rowDirect(*rs), QByteArray("1\tn1\n"));
    rs->MoveNext();
    rs->MoveNext();
    const QByteArray third = rs->Bookmark();
    EXPECT_EQ(rs->Fields(0).toLongLong(), 3);
    rs->MovePrevious();  // runs the statement again up to row 2
    EXPECT_EQ(rowDirect(*rs), QByteArray("2\tn2\n"));
    EXPECT_EQ(rs->Fields(1).toString(), QStringLiteral("n2"));
    rs->MoveLast();
    EXPECT_EQ(rs->Fields(0).toLongLong(), 5);
    rs->setBookmark(third);
    EXPECT_EQ(rowDirect(*rs), QByteArray("3\tn3\n"));
    rs->MoveFirst();
    // A write in between lets the statement go; reading finds the row again.
    db->Execute(QStringLiteral("UPDATE t SET name = 'changed' WHERE id = 5"));
    EXPECT_EQ(rs->Fields(0).toLongLong(), 1);
    rs->Move(4);
    // On SQLite the statement runs again and sees the write; a PostgreSQL
    // snapshot keeps the rows as they were when it opened.
    EXPECT_EQ(rs->Fields(1).toString(), lg::dao::test::onPostgres() ? QStringLiteral("n5") : QStringLiteral("changed"));
    EXPECT_EQ(errorNumberOf([&] { rs->Fields(2); }), 3265);
    EXPECT_EQ(errorNumberOf([&] { rs->Fields(-1); }), 3265);
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(errorNumberOf([&] { rs->Fields(0); }), 3021);
    EXPECT_EQ(errorNumberOf([&] { rowDirect(*rs); }), 3021);
    rs->MovePrevious();
    EXPECT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Fields(0).toLongLong(), 5);
    rs->Close();
    EXPECT_EQ(errorNumberOf([&] { rs->Fields(0); }), 3420);
    EXPECT_EQ(errorNumberOf([&] { rs->Eof(); }), 3420);
    EXPECT_EQ(errorNumberOf([&] { rowDirect(*rs); }), 3420);
}

}  // namespace
}  // namespace lg::dao

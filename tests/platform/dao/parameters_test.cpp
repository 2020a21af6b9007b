#include <QtCore/QDateTime>

#include "daotest.h"

using namespace lg::dao;
using lg::dao::test::errorNumberOf;
using lg::dao::test::freshDatabase;

namespace {

class BoundValues : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = freshDatabase(QStringLiteral("params.db"));
        db->Execute(QStringLiteral("CREATE TABLE t (id LONG PRIMARY KEY, name TEXT(50), x DOUBLE, ok YESNO, "
                                   "at DATETIME, data MEMO)"));
    }

    QList<QList<Value>> rows(const QString& sql, const Parameters& parameters = {})
    {
        auto rs = db->OpenRecordset(sql, parameters, RecordsetType::Snapshot);
        return rs->GetRows();
    }

    std::shared_ptr<Database> db;
};

}  // namespace

TEST_F(BoundValues, EachTypeIsStoredAsItsColumnKeepsIt)
{
    const QDateTime at(QDate(2024, 3, 5), QTime(13, 2, 3));
    db->Execute(QStringLiteral("INSERT INTO t (id, name, x, ok, at) VALUES (?, ?, ?, ?, ?)"),
                QVariantList{1, QStringLiteral("O'Brien \"x\" ; --"), 2.5, true, at});
    db->Execute(QStringLiteral("INSERT INTO t (id, name, x, ok, at) VALUES (?, ?, ?, ?, ?)"),
                QVariantList{qlonglong(2), QString(QLatin1String("")), QVariant(), false, QDate(2024, 3, 6)});
    db->Execute(QStringLiteral("INSERT INTO t (id, name) VALUES (?, ?)"), QVariantList{3, QVariant()});
    EXPECT_EQ(db->RecordsAffected(), 1);

    const auto all = rows(QStringLiteral("SELECT id, name, x, ok, at FROM t ORDER BY id"));
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[0][1], QVariant(QStringLiteral("O'Brien \"x\" ; --")));  // quotes are data, not SQL
    EXPECT_EQ(all[0][2], QVariant(2.5));
    EXPECT_EQ(all[0][3], QVariant(qlonglong(-1)));
    EXPECT_EQ(all[0][4], QVariant(at));
    EXPECT_FALSE(isNull(all[1][1]));  // the empty string stays a string
    EXPECT_EQ(all[1][1], QVariant(QString()));
    EXPECT_TRUE(isNull(all[1][2]));
    EXPECT_EQ(all[1][3], QVariant(qlonglong(0)));
    EXPECT_EQ(all[1][4], QVariant(QDateTime(QDate(2024, 3, 6), QTime(0, 0))));
    EXPECT_TRUE(isNull(all[2][1]));

    // Bound dates compare with the stored ones and with Jet's date literals.
    EXPECT_EQ(rows(QStringLiteral("SELECT id FROM t WHERE at = ?"), QVariantList{at}).size(), 1);
    EXPECT_EQ(rows(QStringLiteral("SELECT id FROM t WHERE at >= ? AND at < #3/7/2024#"),
                   QVariantList{QDate(2024, 3, 6)}),
              (QList<QList<Value>>{{qlonglong(2)}}));
    // A bound truth value is Jet's -1.
    EXPECT_EQ(rows(QStringLiteral("SELECT id FROM t WHERE ok = ?"), QVariantList{true}),
              (QList<QList<Value>>{{qlonglong(1)}}));

    // Bytes go in as they are (a PostgreSQL MEMO is text: it holds no bytes).
    if (lg::dao::test::onPostgres())
        return;
    const QByteArray bytes("a\0b\xff", 4);
    db->Execute(QStringLiteral("UPDATE t SET data = ? WHERE id = 3"), QVariantList{bytes});
    EXPECT_EQ(rows(QStringLiteral("SELECT data FROM t WHERE id = 3"))[0][0], QVariant(bytes));
}

TEST_F(BoundValues, NamesAreCaseInsensitiveAndMayRepeat)
{
    db->Execute(QStringLiteral("INSERT INTO t (id, name, x) VALUES (@id, @Name, @id * 2)"),
                QVariantMap{{QStringLiteral("ID"), 7}, {QStringLiteral("name"), QStringLiteral("hét")}});
    EXPECT_EQ(rows(QStringLiteral("SELECT id, name, x FROM t")),
              (QList<QList<Value>>{{qlonglong(7), QStringLiteral("hét"), 14.0}}));
    // Names a statement does not use are left alone: one set of values serves several statements.
    QVariantHash values{{QStringLiteral("id"), 7}, {QStringLiteral("unused"), 1}};
    EXPECT_EQ(rows(QStringLiteral("SELECT name FROM t WHERE id = @Id"), values).size(), 1);
}

TEST_F(BoundValues, MissingOrSurplusValuesAreErrors)
{
    db->Execute(QStringLiteral("INSERT INTO t (id) VALUES (1)"));
    EXPECT_EQ(errorNumberOf([&] { rows(QStringLiteral("SELECT id FROM t WHERE id = ? OR id = ?"), QVariantList{1}); }),
              3061);
    EXPECT_EQ(errorNumberOf([&] {
                  rows(QStringLiteral("SELECT id FROM t WHERE id = @a"), QVariantMap{{QStringLiteral("b"), 1}});
              }),
              3061);
    EXPECT_EQ(errorNumberOf([&] { rows(QStringLiteral("SELECT id FROM t WHERE id = ?"), QVariantList{1, 2}); }), 3001);
    // A marker without any values at all is a missing parameter too.
    EXPECT_EQ(errorNumberOf([&] { db->Execute(QStringLiteral("DELETE * FROM t WHERE id = ?")); }), 3061);
    EXPECT_EQ(rows(QStringLiteral("SELECT id FROM t")).size(), 1);  // nothing was deleted
}

TEST_F(BoundValues, ARecordsetKeepsItsValuesWhenItRunsAgain)
{
    for (int i = 1; i <= 10; ++i)
        db->Execute(QStringLiteral("INSERT INTO t (id, x) VALUES (?, ?)"), QVariantList{i, i * 1.0});
    auto rs = db->OpenRecordset(QStringLiteral("SELECT id FROM t WHERE x > @min ORDER BY id"),
                                QVariantMap{{QStringLiteral("min"), 6.5}}, RecordsetType::Dynaset);
    EXPECT_EQ(rs->RecordCount(), 4);  // counted before the end was reached
    rs->MoveLast();
    EXPECT_EQ(rs->Fields(0), QVariant(qlonglong(10)));
    rs->MoveFirst();  // runs the statement again
    EXPECT_EQ(rs->Fields(0), QVariant(qlonglong(7)));
    rs->MovePrevious();
    EXPECT_TRUE(rs->Bof());
}

TEST_F(BoundValues, APreparedStatementRunsOnceForEveryRowOfValues)
{
    auto insert = db->prepare(QStringLiteral("INSERT INTO t (id, name) VALUES (?, ?)"));
    EXPECT_EQ(insert->parameterCount(), 2);
    for (int i = 1; i <= 100; ++i)
        EXPECT_EQ(insert->execute(QVariantList{i, QStringLiteral("n%1").arg(i)}), 1);
    // A failing row leaves the rows before it and the statement usable.
    EXPECT_THROW(insert->execute(QVariantList{1, QStringLiteral("again")}), lg::RuntimeError);
    // The values of one run never leak into the next.
    EXPECT_EQ(errorNumberOf([&] { insert->execute(QVariantList{101}); }), 3061);
    insert->execute(QVariantList{101, QVariant()});
    EXPECT_EQ(rows(QStringLiteral("SELECT count(*), count(name) FROM t")),
              (QList<QList<Value>>{{qlonglong(101), qlonglong(100)}}));

    auto update = db->prepare(QStringLiteral("UPDATE t SET name = @name WHERE id <= @upTo"));
    EXPECT_EQ(update->execute(QVariantMap{{QStringLiteral("name"), QStringLiteral("x")}, {QStringLiteral("upto"), 10}}),
              10);
    EXPECT_EQ(errorNumberOf([&] { db->prepare(QStringLiteral("SELECT id FROM t WHERE id = ?")); }), 3219);
}

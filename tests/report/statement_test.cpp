#include <gtest/gtest.h>

#include "catalogue/catalogue_fixture.h"
#include "catalogue/fieldcatalogue.h"
#include "report/statementgenerator.h"
#include "store/errors.h"

using namespace lg;
using namespace lg::report;
using lg::test::CatalogueDb;
using lg::test::InvoiceCatalogue;

namespace {

class Statement : public ::testing::Test {
protected:
    ListStatement generate(long list, long type, QString condition = {}, long user = 5)
    {
        ListStatement s;
        EXPECT_TRUE(GenerateListStatement(list, type, condition, user, s)) << errors().toStdString();
        lastCondition = condition;
        return s;
    }

    static QString errors()
    {
        QString text;
        for (const auto& e : ctx().currentErrors())
            text += e->description() + QLatin1Char('\n');
        return text;
    }

    // Runs the stored statement as a report run would (no pre-filter,
    // parameters given) and the test statement; both must be accepted.
    QList<QStringList> run(const ListStatement& s, const QStringList& parameters = {})
    {
        ctx().currentErrors().Clear();
        EXPECT_TRUE(catalogue::TestSQLStatement(s.test)) << errors().toStdString() << s.test.toStdString();
        QString sql = s.stored;
        sql.replace(QStringLiteral("%WHERE%"), QStringLiteral(" (TRUE) "));
        for (int i = 1; i <= 5; ++i) {
            const QString p = i <= parameters.size() ? parameters.at(i - 1).trimmed() : QString();
            sql.replace(QStringLiteral("%PAR%1%").arg(i), p.isEmpty() ? QStringLiteral(" (TRUE) ") : QLatin1Char(' ') + p + QLatin1Char(' '));
        }
        QList<QStringList> rows;
        auto rs = c.db->OpenRecordset(sql);
        for (; !rs->Eof(); rs->MoveNext()) {
            QStringList row;
            for (int i = 0; i < rs->FieldCount(); ++i)
                row << rs->Fields(i).toString();
            rows << row;
        }
        return rows;
    }

    static QString selectList(const ListStatement& s)
    {
        const qsizetype from = s.stored.indexOf(QStringLiteral(" FROM "));
        return s.stored.mid(7, from - 7);
    }
    static QString orderList(const ListStatement& s)
    {
        return s.stored.mid(s.stored.indexOf(QStringLiteral(" ORDER BY ")) + 10);
    }

    CatalogueDb c;
    InvoiceCatalogue cat{c};
    QString lastCondition;
};

}  // namespace

TEST_F(Statement, GroupWithGroupingFieldThenColumnsAndTheStatementsRun)
{
    const long list = c.addList(cat.invoiceType, QStringLiteral("Forgalom"), 5);
    const long g = c.addGroup(list, cat.nev, 1);
    const long v1 = c.addVisible(list, cat.osszeg, 1);
    const long v2 = c.addVisible(list, cat.datum, 2);
    const ListStatement s = generate(list, cat.invoiceType);

    EXPECT_EQ(selectList(s), QStringLiteral("[P].[nev] AS RG%1,[P].[kod] AS RGF%1,[S].[osszeg] AS RF%2,[S].[datum] AS RF%3")
                                 .arg(g)
                                 .arg(v1)
                                 .arg(v2));
    // The alternative group field follows its group field, so a group never breaks apart.
    EXPECT_EQ(orderList(s), QStringLiteral("[P].[nev],[P].[kod],[S].[osszeg],[S].[datum]"));
    EXPECT_EQ(s.joinDepth, 2);
    EXPECT_TRUE(s.stored.startsWith(QStringLiteral("SELECT [P].[nev]")));
    EXPECT_TRUE(s.stored.contains(
        QStringLiteral(" FROM szamla AS S INNER JOIN partner AS P ON S.partner_id = P.id WHERE  (TRUE)  AND  (TRUE)  AND  "
                       "(TRUE)  AND  (%WHERE%) ORDER BY ")));
    EXPECT_TRUE(s.test.startsWith(QStringLiteral("SELECT TOP 1 [P].[nev]")));
    EXPECT_FALSE(s.test.contains(QStringLiteral("%WHERE%")));

    const QList<QStringList> rows = run(s);
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows.first().mid(0, 3), (QStringList{"Alfa Kft.", "A1", "1000"}));
    EXPECT_EQ(rows.last().mid(0, 3), (QStringList{"Gamma Zrt.", "G3", "300"}));
}

TEST_F(Statement, ListWithoutGroupsSortsByItsColumns)
{
    const long list = c.addList(cat.invoiceType, QStringLiteral("Számlák"), 5);
    const long v1 = c.addVisible(list, cat.osszeg, 2);
    const long v2 = c.addVisible(list, cat.datum, 1);
    const ListStatement s = generate(list, cat.invoiceType);
    EXPECT_EQ(selectList(s), QStringLiteral("[S].[datum] AS RF%1,[S].[osszeg] AS RF%2").arg(v2).arg(v1));
    EXPECT_EQ(orderList(s), QStringLiteral("[S].[datum],[S].[osszeg]"));
    EXPECT_FALSE(s.stored.contains(QStringLiteral("RG")));
    EXPECT_FALSE(s.stored.contains(QStringLiteral("NOT IN")));
    // Fields of the base table alone: the type's required_table (1) decides.
    EXPECT_EQ(s.joinDepth, 1);
    EXPECT_TRUE(s.stored.contains(QStringLiteral(" FROM szamla AS S WHERE ")));
    EXPECT_EQ(run(s).size(), 5);
}

TEST_F(Statement, FieldUsedAsGroupAndColumnIsSortedOnce)
{
    const long list = c.addList(cat.invoiceType, QStringLiteral("l"), 5);
    const long g = c.addGroup(list, cat.varos, 1);
    c.addVisible(list, cat.varos, 1);
    const long v = c.addVisible(list, cat.osszeg, 2);
    const ListStatement s = generate(list, cat.invoiceType);
    EXPECT_TRUE(selectList(s).startsWith(QStringLiteral("[P].[varos] AS RG%1,[P].[varos] AS RF").arg(g)));
    EXPECT_TRUE(selectList(s).endsWith(QStringLiteral("[S].[osszeg] AS RF%1").arg(v)));
    EXPECT_EQ(orderList(s), QStringLiteral("[P].[varos],[S].[osszeg]"));
    const auto rows = run(s);
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows.first().at(0), QStringLiteral("Budapest"));
}

TEST_F(Statement, JoinDepthFromRequiredTableAndFromConditions)
{
    // required_table 2 pulls the partner table in for a list of invoice fields.
    const long deep = c.addType(QStringLiteral("Mély"), 1, 2);
    c.addConnection(deep, cat.szamla, 1, QStringLiteral("FROM szamla AS S"));
    c.addConnection(deep, cat.partner, 2,
                    QStringLiteral("FROM szamla AS S INNER JOIN partner AS P ON S.partner_id = P.id"));
    const long list = c.addList(deep, QStringLiteral("l"), 5);
    c.addVisible(list, cat.osszeg, 1);
    EXPECT_EQ(generate(list, deep).joinDepth, 2);

    // A condition on a partner field needs depth 2 as well.
    const long list2 = c.addList(cat.invoiceType, QStringLiteral("l2"), 5);
    c.addVisible(list2, cat.osszeg, 1);
    c.addWhere(list2, cat.varos, QStringLiteral("[P].[varos] = 'Szeged'"));
    const ListStatement s = generate(list2, cat.invoiceType, QStringLiteral("[P].[varos] = 'Szeged'"));
    EXPECT_EQ(s.joinDepth, 2);
    EXPECT_EQ(run(s).size(), 2);
}

TEST_F(Statement, BlankConditionBecomesTrueAndIsHandedBack)
{
    const long list = c.addList(cat.invoiceType, QStringLiteral("l"), 5);
    c.addVisible(list, cat.osszeg, 1);
    const ListStatement s = generate(list, cat.invoiceType, QStringLiteral("   "));
    EXPECT_EQ(lastCondition, QStringLiteral(" (TRUE) "));
    EXPECT_TRUE(s.stored.contains(QStringLiteral(" WHERE  (TRUE)  AND ")));
    EXPECT_TRUE(s.test.contains(QStringLiteral(" WHERE  (TRUE)  AND ")));
}

TEST_F(Statement, CatalogueConditionsKeepParametersAndResolveTheUser)
{
    const long t = c.addType(QStringLiteral("Saját számlák"), 1, 1, QStringLiteral("[S].[user_id] = %USERID% AND %PAR2%"));
    c.addConnection(t, cat.szamla, 1, QStringLiteral("FROM szamla AS S"));
    c.addConnection(t, cat.partner, 2, QStringLiteral("FROM szamla AS S INNER JOIN partner AS P ON S.partner_id = P.id"));
    c.exec(QStringLiteral("update vlq_list_wizard_table set where_clause_sql = '[P].[aktiv] = -1 OR [P].[id] = 3' where id = %1")
               .arg(cat.partner));
    const long list = c.addList(t, QStringLiteral("l"), 1);
    c.addGroup(list, cat.nev, 1);
    c.addVisible(list, cat.osszeg, 1);

    const ListStatement s = generate(list, t, QStringLiteral("[S].[osszeg] > 100 OR [S].[osszeg] < 0"), 1);
    EXPECT_TRUE(s.stored.contains(QStringLiteral("[S].[user_id] = 1 AND %PAR2%")));
    EXPECT_FALSE(s.stored.contains(QStringLiteral("%USERID%")));
    EXPECT_FALSE(s.test.contains(QStringLiteral("%PAR")));
    EXPECT_TRUE(s.test.contains(QStringLiteral("[S].[user_id] = 1 AND  (TRUE) ")));

    // User 1's invoices over 100: 1000 (Alfa) and 700 (Béta). Each condition
    // keeps its own OR: partner 3's invoice (user 2) must not slip in.
    EXPECT_EQ(run(s).size(), 2);
    // The run parameter is a whole condition.
    EXPECT_EQ(run(s, {QString(), QStringLiteral("[P].[kod] = 'B2'")}).size(), 1);
}

TEST_F(Statement, DeletedConnectionsAndTablesDoNotCount)
{
    c.exec(QStringLiteral("update vlq_list_wizard_table set where_clause_sql = '[P].[aktiv] = -1', del_status = 2 "
                          "where id = %1").arg(cat.partner));
    // An abandoned connection at the same depth with a broken join.
    const long stale = c.addConnection(cat.invoiceType, cat.partner, 2, QStringLiteral("FROM nincs_ilyen"));
    c.exec(QStringLiteral("update vlq_list_wizard_table_type_connection set del_status = -1 where id = %1").arg(stale));
    c.exec(QStringLiteral("update vlq_list_wizard_table_type_connection set del_status = -1 where sort_order = 2 "
                          "and list_type_id = %1 and id < %2").arg(cat.invoiceType).arg(stale));
    c.addConnection(cat.invoiceType, cat.partner, 2,
                    QStringLiteral("FROM partner AS P INNER JOIN szamla AS S ON S.partner_id = P.id"));

    const long list = c.addList(cat.invoiceType, QStringLiteral("l"), 5);
    c.addVisible(list, cat.nev, 1);
    const ListStatement s = generate(list, cat.invoiceType);
    EXPECT_TRUE(s.stored.contains(QStringLiteral("FROM partner AS P INNER JOIN szamla AS S")));
    EXPECT_EQ(run(s).size(), 5);
}

TEST_F(Statement, MissingJoinOrColumnsIsAClearError)
{
    const long bare = c.addType(QStringLiteral("Üres"), 1, 3);
    const long list = c.addList(bare, QStringLiteral("l"), 5);
    c.addVisible(list, cat.osszeg, 1);
    ctx().currentErrors().Clear();
    QString condition;
    ListStatement s;
    EXPECT_FALSE(GenerateListStatement(list, bare, condition, 5, s));
    ASSERT_EQ(ctx().currentErrors().Count(), 1);
    EXPECT_TRUE(ctx().currentErrors().Item(1)->description().contains(QStringLiteral("3.")));

    const long empty = c.addList(cat.invoiceType, QStringLiteral("üres"), 5);
    ctx().currentErrors().Clear();
    EXPECT_FALSE(GenerateListStatement(empty, cat.invoiceType, condition, 5, s));
    ASSERT_EQ(ctx().currentErrors().Count(), 1);
    EXPECT_EQ(ctx().currentErrors().Item(1)->description(), QStringLiteral("Megjelenítendő mező kiválasztása kötelező!"));
}

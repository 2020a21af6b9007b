// List statements as the library builds them (GenerateListStatement, then
// buildRunStatement for a run), with the kinds of condition the filters and
// hosts put into them, translated and run on the store: each must run and
// select the expected rows.

#include <gtest/gtest.h>

#include "catalogue/catalogue_fixture.h"
#include "catalogue/fieldcatalogue.h"
#include "platform/jetsql/parser.h"
#include "platform/runtimeerror.h"
#include "report/runstatement.h"
#include "report/statementgenerator.h"
#include "store/errors.h"

#include <algorithm>

using namespace lg;
using namespace lg::report;
using lg::test::CatalogueDb;
using lg::test::InvoiceCatalogue;

namespace {

class ListStatementCorpus : public ::testing::Test {
protected:
    // Builds the list's statements with its stored condition, checks the
    // trial statement and runs the stored one with the run condition and
    // parameters; returns the values of column `column`, sorted.
    QStringList run(long list, long type, QString condition, const QString& runCondition,
                    const RunParameters& parameters = {}, int column = 0)
    {
        // Both conditions are single, complete conditions.
        for (const QString& text : {condition, runCondition}) {
            if (!text.trimmed().isEmpty()) {
                EXPECT_NO_THROW(jetsql::parseCondition(text)) << text.toStdString();
            }
        }
        ListStatement s;
        EXPECT_TRUE(GenerateListStatement(list, type, condition, 1, s)) << errors().toStdString();
        EXPECT_TRUE(catalogue::TestSQLStatement(s.test)) << errors().toStdString() << s.test.toStdString();
        const QString sql = buildRunStatement(s.stored, report::runCondition(runCondition), parameters, 1);
        QStringList values;
        try {
            auto rs = c.db->OpenRecordset(sql);
            for (; !rs->Eof(); rs->MoveNext())
                values << rs->Fields(column).toString();
        } catch (const RuntimeError& e) {
            ADD_FAILURE() << e.description().toStdString() << "\n  " << sql.toStdString();
        }
        std::sort(values.begin(), values.end());
        return values;
    }

    static QString errors()
    {
        QString text;
        for (const auto& e : ctx().currentErrors())
            text += e->description() + QLatin1Char('\n');
        return text;
    }

    CatalogueDb c;
    InvoiceCatalogue cat{c};
};

TEST_F(ListStatementCorpus, RangesNegationsListsAndPatterns)
{
    const long list = c.addList(cat.invoiceType, QStringLiteral("Forgalom"), 1);
    c.addGroup(list, cat.nev, 1);
    c.addVisible(list, cat.osszeg, 1);
    const QString aktiv = QStringLiteral("( [P].[aktiv]= -1)");
    const QString osszeg = QStringLiteral("(( [S].[osszeg] BETWEEN 5 AND 2000)) AND (NOT ( [S].[osszeg]  >=  1000))");
    c.addWhere(list, cat.aktiv, aktiv);
    c.addWhere(list, cat.osszeg, osszeg);
    // Columns: RG nev, RGF kod, RF osszeg.
    EXPECT_EQ(run(list, cat.invoiceType, aktiv + QStringLiteral(" AND ") + osszeg,
                  QStringLiteral("( [P].[id] IN ( 1,2,7 ) ) AND  ( ( ([P].[nev] LIKE '*A*')  OR  ([P].[nev] LIKE "
                                 "'*b*')  AND  ([P].[nev] LIKE '*c*') ) )"),
                  {}, 2),
              (QStringList{QStringLiteral("50"), QStringLiteral("700")}));
    // Text compared without regard to case, date ranges to the last second.
    EXPECT_EQ(run(list, cat.invoiceType, QStringLiteral("(( ucase$(left([P].[nev],3))= ucase$('alf')))"),
                  QStringLiteral("( (( [S].[datum] BETWEEN #03/02/2024# AND #03/02/2024 23.59.59# )) )"), {}, 2),
              QStringList{QStringLiteral("2500")});
}

TEST_F(ListStatementCorpus, TextRangesExistsAndTextLists)
{
    const long list = c.addList(cat.partnerType, QStringLiteral("Partnerek"), 1);
    c.addVisible(list, cat.nev, 1);
    EXPECT_EQ(run(list, cat.partnerType,
                  QStringLiteral("([P].[nev] >= 'b*' OR  (ucase$(left([P].[nev],3))= ucase$('alf')) )"),
                  QStringLiteral("NOT EXISTS (SELECT * FROM szamla AS S2 WHERE [S2].[partner_id]=[P].[id] AND (( "
                                 "[S2].[datum]  >=   #03/04/2024# )))")),
              QStringList{QStringLiteral("Alfa Kft.")});
    EXPECT_EQ(run(list, cat.partnerType, {},
                  QStringLiteral("( [P].[nev] IN ( 'alfa kft.','yz' ) ) AND ([P].[nev]  <>  'Béla')")),
              QStringList{QStringLiteral("Alfa Kft.")});
    // No condition at all: " (TRUE) " in both places.
    EXPECT_EQ(run(list, cat.partnerType, {}, {}).size(), 3);
}

TEST_F(ListStatementCorpus, HostParametersInTheTypesCondition)
{
    const long type = c.addType(QStringLiteral("Saját számlák"), 1, 1, QStringLiteral("%PAR1% AND %PAR2%"));
    c.addConnection(type, cat.szamla, 1, QStringLiteral("FROM szamla AS S"), 1);
    const long list = c.addList(type, QStringLiteral("Saját"), 1);
    c.addVisible(list, cat.osszeg, 1);
    EXPECT_EQ(run(list, type, {}, {}, {QStringLiteral("[S].[user_id]=2"), QStringLiteral("[S].[osszeg] > 400")}),
              QStringList{QStringLiteral("2500")});
    EXPECT_EQ(run(list, type, {}, {}).size(), 5);
}

}  // namespace

// listgen filter, through the built tool: the Part's edge cases line by line,
// and the refusals with exit code 2.

#include "demodb.h"
#include "printing.h"

#include "support/testsupport.h"

#include <gtest/gtest.h>

namespace {

const QString kCli = QStringLiteral(LISTGEN_CLI);

lg::test::ProcessResult filter(const QStringList& args)
{
    return lg::test::runProgram(kCli, QStringList{QStringLiteral("filter")} + args);
}

QStringList lines(const QString& out)
{
    QStringList l = out.split(u'\n');
    if (!l.isEmpty() && l.last().isEmpty())
        l.removeLast();
    return l;
}

TEST(ListgenFilter, PrintsTheResults)
{
    struct Case {
        QStringList args;
        QStringList expected;
    };
    const Case cases[] = {
        {{"--kind", "text", "--field", "NAME", "--caption", "Név", "--from", "abc"},
         {"(( ucase$(left(NAME,3))= ucase$('abc')))", "( Név olyan mint 'abc')", "(( Név olyan mint 'abc'))"}},
        {{"--kind", "date", "--field", "D", "--caption", "Kelt", "--from", "2024.03.05."},
         {"(( D BETWEEN #03/05/2024# AND #03/05/2024 23.59.59# ))", "( Kelt = 2024.03.05)", "(( Kelt = 2024.03.05))"}},
        {{"--kind", "number", "--field", "PRICE", "--caption", "Ár", "--from", "5", "--to", "9"},
         {"(( PRICE BETWEEN 5 AND 9))", "( Ár 5 és 9 között )", "(( Ár 5 és 9 között ))"}},
        {{"--kind", "number", "--field", "PRICE", "--caption", "Ár", "--from", "5", "--not"},
         {"(NOT ( PRICE = 5))", "NEM( Ár =5)", "(NEM( Ár =5))"}},
        {{"--kind", "number", "--field", "PRICE", "--caption", "Ár", "--from", "5", "--not", "--negation", "no"},
         {"(( PRICE = 5))", "( Ár =5)", "(( Ár =5))"}},
        {{"--kind", "date", "--field", "D", "--caption", "Kelt", "--today", "2024-02-10", "--period", "3"},
         {"(( D BETWEEN #01/01/2024# AND #03/31/2024 23.59.59# ))", "( Kelt 2024.01.01 és 2024.03.31 között )",
          "(( Kelt 2024.01.01 és 2024.03.31 között ))"}},
        {{"--kind", "date5", "--field", "D", "--caption", "Kelt", "--today", "2024-04-15", "--period", "B"},
         {"(( D BETWEEN #01/01/1980# AND #03/16/2024 23.59.59# ))", "( Kelt 1980.01.01 és 2024.03.16 között )",
          "(( Kelt 1980.01.01 és 2024.03.16 között ))"}},
        {{"--kind", "date", "--field", "D", "--caption", "Kelt", "--relation-list", "yes", "--from", "2024-03-05",
          "--relation", "5"},
         {"(( D >=   #03/05/2024# ))", "( Kelt >=  2024.03.05)", "(( Kelt >=  2024.03.05))"}},
        {{"--kind", "text", "--field", "N", "--caption", "Név", "--relation-list", "no", "--keywords", "--from",
          "(a b)+c", "--like-char", "%"},
         {"((  (  (  (N LIKE '%a%')  OR  (N LIKE '%b%')  )  AND  (N LIKE '%c%')  ) ))",
          "( Név  ((olyan mint 'a' VAGY olyan mint 'b') ÉS olyan mint 'c') )",
          "(( Név  ((olyan mint 'a' VAGY olyan mint 'b') ÉS olyan mint 'c') ))"}},
        {{"--kind", "check", "--field", "active", "--caption", "Aktív"},
         {"( ACTIVE= -1)", "( Aktív Igaz)", "(( Aktív Igaz))"}},
        {{"--kind", "check", "--field", "active", "--caption", "Aktív", "--not"},
         {"( ACTIVE= 0)", "( Aktív Nem igaz)", "(( Aktív Nem igaz))"}},
        {{"--kind", "check", "--field", "tipus", "--caption", "Cég", "--negation", "no", "--checked-value", "='C'"},
         {"( TIPUS='C')", "( Cég Igaz)", "(( Cég Igaz))"}},
        {{"--kind", "list", "--field", "T.ID", "--caption", "T", "--item", "3=a", "--item", "5=b", "--item", "7=c"},
         {"( T.ID IN ( 3,5,7 ) )", "T a, b, c", "(T a, b, c)", "3,5,7"}},
        {{"--kind", "textlist", "--field", "T.N", "--caption", "T", "--item", "A", "--item", "O'B", "--item", "x=y"},
         {"( T.N IN ( 'A','O''B','x=y' ) )", "T A, O'B, x=y", "(T A, O'B, x=y)", "'A','O''B','x=y'"}},
        // Nothing to build: empty lines, still success.
        {{"--kind", "text", "--field", "N"}, {"", "", ""}},
        {{"--kind", "list", "--field", "N"}, {"", "", "", ""}},
    };
    for (const Case& c : cases) {
        const auto r = filter(c.args);
        EXPECT_EQ(r.exitCode, 0) << c.args.join(u' ').toStdString() << "\n" << r.err.toStdString();
        EXPECT_EQ(lines(r.out), c.expected) << c.args.join(u' ').toStdString();
    }
}

TEST(ListgenFilter, RefusesWithExitCode2)
{
    const std::pair<QStringList, const char*> cases[] = {
        {{"--kind", "text", "--bogus"}, "unknown option --bogus"},
        {{"--kind", "spreadsheet"}, "--kind takes"},
        {{}, "missing --kind"},
        {{"--kind", "date", "--period", "11"}, "period codes 0 to 10"},
        {{"--kind", "date5", "--period", "14"}, "period codes 0 to 13"},
        {{"--kind", "date", "--period", "x"}, "period codes"},
        {{"--kind", "text", "--period", "1"}, "--period applies to date filters"},
        {{"--kind", "number", "--from", "5x"}, "is not a number"},
        {{"--kind", "number", "--from", "1", "--to", "--"}, "is not a number"},
        {{"--kind", "date", "--from", "2024.02.30"}, "is not a date"},
        {{"--kind", "date", "--from", "1898.12.31"}, "is outside"},
        {{"--kind", "date", "--today", "tomorrow"}, "--today takes a date"},
        {{"--kind", "text", "--relation", "7"}, "--relation takes a code from 0 to 6"},
        {{"--kind", "text", "--relation-list", "maybe"}, "--relation-list takes yes or no"},
        {{"--kind", "list", "--item"}, "--item needs a value"},
        {{"--kind", "list", "stray"}, "unexpected argument"},
        {{"--kind", "text", "--item", "a"}, "--item applies to list and textlist"},
        {{"--kind", "check", "--from", "a"}, "--from applies to"},
        {{"--kind", "text", "--caption", "a\nb"}, "control character"},
        {{"--kind", "text", "--field", "N", "--field", "M"}, "given twice"},
        {{"--kind", "text", "--relation-list", "no", "--keywords", "--from", "( + )"}, "is no keyword expression"},
    };
    for (const auto& [args, message] : cases) {
        const auto r = filter(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(message))) << args.join(u' ').toStdString() << "\n"
                                                                 << r.err.toStdString();
        EXPECT_EQ(r.out, QString()) << args.join(u' ').toStdString();
    }
}

// The tool's condition is one a host can use as it is.
TEST(ListgenFilter, ConditionRunsOnTheDemoDatabase)
{
    const auto r = filter({"--kind", "date", "--field", "kelt", "--from", "2024.03.01", "--to", "2024.03.31",
                           "--relation", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    auto& db = lg::test::DemoDb::instance();
    const QList<int> expected = db.invoiceIds(
        [](const lg::test::Invoice& i) { return i.issued >= QDate(2024, 3, 1) && i.issued <= QDate(2024, 3, 31); });
    EXPECT_FALSE(expected.isEmpty());
    EXPECT_EQ(db.idsWhere(QStringLiteral("szamla"), lines(r.out).value(0)), expected);
}

}  // namespace

// Jet statements translated and run on SQLite must give Jet's results.

#include "sqlitetestdb.h"

#include "platform/runtimeerror.h"

#include <gtest/gtest.h>

using lg::jetsql::test::SqliteTestDb;

namespace {

struct Case {
    const char* jet;
    const char* expected;
};

void expectValues(SqliteTestDb& db, std::initializer_list<Case> cases)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.jet);
        try {
            EXPECT_EQ(db.eval(QString::fromUtf8(c.jet)).toStdString(), c.expected)
                << lg::jetsql::translate(QString::fromUtf8(c.jet).prepend(QStringLiteral("SELECT ")))
                       ->sql.toStdString();
        } catch (const lg::RuntimeError& e) {
            ADD_FAILURE() << e.description().toStdString();
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
        }
    }
}

class JetSemantics : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec(QStringLiteral("CREATE TABLE people (id LONG NOT NULL, name TEXT(50), city TEXT(50), born DATETIME, "
                               "active YESNO, score DOUBLE, CONSTRAINT pk PRIMARY KEY (id))"));
        db.exec(QStringLiteral("INSERT INTO people (id, name, city, born, active, score) VALUES "
                               "(1, 'Béla', 'Pécs', #03/05/1980#, TRUE, 2.5)"));
        db.exec(QStringLiteral("INSERT INTO people VALUES (2, 'Ábel', 'Győr', #12/31/1975 23:59:59#, FALSE, 7)"));
        db.exec(QStringLiteral("INSERT INTO people VALUES (3, 'Aba', NULL, NULL, TRUE, NULL)"));
        db.exec(QStringLiteral("INSERT INTO people VALUES (4, 'Ödön', 'pécs', #1/2/2003#, FALSE, -3.5)"));
        db.exec(QStringLiteral("INSERT INTO people VALUES (5, 'Ottó', 'Eger', #2003-01-02 10:00:00#, TRUE, 4.5)"));
        db.exec(QStringLiteral("INSERT INTO people VALUES (6, 'aba', 'Csorna', NULL, TRUE, 0)"));
    }
    SqliteTestDb db;
};

TEST_F(JetSemantics, LiteralsAndTruthValues)
{
    expectValues(db, {
                         {"'it''s'", "it's"},
                         {"\"double \"\"quoted\"\" text\"", "double \"quoted\" text"},
                         {"TRUE", "-1"},
                         {"FALSE", "0"},
                         {"1 = 1", "-1"},
                         {"1 < 0", "0"},
                         {"(1 = 1) = TRUE", "-1"},
                         {"NOT (1 = 2)", "-1"},
                         {"NOT 0", "-1"},
                         {"(1 = 1) AND (2 = 2)", "-1"},
                         {"5 AND 3", "-1"},
                         {"'a' IS NULL", "0"},
                         {"iif(5, 'y', 'n')", "y"},
                         {"iif(NULL, 'y', 'n')", "n"},
                         {"iif(0, 'y', 'n')", "n"},
                     });
}

TEST_F(JetSemantics, DateLiterals)
{
    expectValues(db, {
                         {"#3/5/2024#", "2024-03-05 00:00:00"},
                         {"#03/05/2024 23:59:59#", "2024-03-05 23:59:59"},
                         {"#03/05/2024 23.59.59#", "2024-03-05 23:59:59"},
                         {"#12/11/2006 1:2:3 pm#", "2006-12-11 13:02:03"},
                         {"#12/11/2006 12:00:00 AM#", "2006-12-11 00:00:00"},
                         {"#2024-03-05#", "2024-03-05 00:00:00"},
                         {"#10/03/2004#", "2004-10-03 00:00:00"},
                         {"#13:02:03#", "1899-12-30 13:02:03"},
                         {"#1/2/03#", "2003-01-02 00:00:00"},
                         {"#01/02/2003# + 37", "2003-02-08 00:00:00"},
                         {"#01/02/2003 12:00:00# + 0.5", "2003-01-03 00:00:00"},
                         {"#01/02/2003# - 2", "2002-12-31 00:00:00"},
                         {"#01/10/2003# - #01/02/2003#", "8.0"},
                         {"year(#3/5/2024 10:00:00#)", "2024"},
                         {"month(#3/5/2024#)", "3"},
                         {"day(#3/5/2024#)", "5"},
                         {"len(now())", "19"},
                         {"right(date(), 8)", "00:00:00"},
                         {"date() <= now()", "-1"},
                     });
    EXPECT_EQ(
        db.rows(QStringLiteral("SELECT id FROM people WHERE born BETWEEN #03/05/1980# AND #03/05/1980 23.59.59#")),
        QStringList{QStringLiteral("1")});
    EXPECT_EQ(db.rows(QStringLiteral("SELECT id FROM people WHERE born > #12/31/1975# ORDER BY born")),
              (QStringList{QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("4"), QStringLiteral("5")}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT born + 1 FROM people WHERE id = 2")),
              QStringList{QStringLiteral("1976-01-01 23:59:59")});
    EXPECT_EQ(db.rows(QStringLiteral("SELECT year(born) FROM people WHERE id = 4")),
              QStringList{QStringLiteral("2003")});
}

TEST_F(JetSemantics, PlusAndAmpersand)
{
    expectValues(db, {
                         {"\"25\" + 12", "37"},
                         {"\"foo\" + 12", "foo12"},
                         {"'a' + 'b'", "ab"},
                         {"'1' + '2'", "12"},
                         {"37 + NULL", "NULL"},
                         {"'a' + NULL", "NULL"},
                         {"'aa2' & NULL", "aa2"},
                         {"NULL & NULL", "NULL"},
                         {"1 & 2", "12"},
                         {"2.5 & 'x'", "2.5x"},
                         {"(3.0 * 2) & ''", "6"},
                         {"ucase('a') + 'b'", "Ab"},
                     });
    // Text-ness of columns is only known while the statement runs.
    EXPECT_EQ(db.rows(QStringLiteral("SELECT name + city, city + 1, id + '10', name & city FROM people WHERE id = 3")),
              QStringList{QStringLiteral("NULL|NULL|13|Aba")});
    EXPECT_EQ(db.rows(QStringLiteral("SELECT name + city, id + score FROM people WHERE id = 1")),
              QStringList{QStringLiteral("BélaPécs|3.5")});
}

TEST_F(JetSemantics, Arithmetic)
{
    expectValues(db, {
                         {"7 / 2", "3.5"},       {"7 \\ 2", "3"},
                         {"7.5 \\ 2", "4"},      {"6.5 \\ 2", "3"},
                         {"-7 \\ 2", "-3"},      {"10 Mod 3", "1"},
                         {"10.5 Mod 3", "1"},    {"11.5 Mod 3", "0"},
                         {"-7 Mod 3", "-1"},     {"2 ^ 10", "1024.0"},
                         {"-10 ^ 2", "100.0"},   {"2 + 3 * 4", "14"},
                         {"- -3", "3"},          {"cint(4.5)", "4"},
                         {"cint(5.5)", "6"},     {"clng(-2.5)", "-2"},
                         {"cint('7.5')", "8"},   {"int(-3.5)", "-4"},
                         {"fix(-3.5)", "-3"},    {"int(3.7)", "3"},
                         {"abs(-4)", "4"},       {"cdbl('2.25')", "2.25"},
                         {"val('12abc')", "12"}, {"val(' 1 2 3')", "123"},
                         {"val('abc')", "0"},    {"val('-2.5e1x')", "-25.0"},
                     });
    EXPECT_THROW(db.eval(QStringLiteral("5 \\ 0")), std::runtime_error);
    EXPECT_THROW(db.eval(QStringLiteral("5 Mod 0")), std::runtime_error);
}

// Each pair of neighbouring precedence levels, and left associativity, in a
// case whose value differs when the two are swapped.
TEST_F(JetSemantics, OperatorPrecedence)
{
    expectValues(db, {
                         {"2 * 3 ^ 2", "18.0"},
                         {"-2 ^ 2", "4.0"},
                         {"2 ^ -1", "0.5"},
                         {"2 ^ 3 ^ 2", "64.0"},
                         {"7 \\ 2 * 2", "1"},
                         {"7 Mod 3 \\ 2", "0"},
                         {"10 - 7 Mod 4", "7"},
                         {"5 - 2 - 1", "2"},
                         {"12 / 2 / 3", "2.0"},
                         {"'a' & 1 + 2", "a3"},
                         {"1 + 1 = 2", "-1"},
                         {"'ab' = 'a' & 'b'", "-1"},
                         {"1 = 1 = -1", "-1"},
                         {"NOT 1 = 2", "-1"},
                         {"NOT 2 BETWEEN 3 AND 4", "-1"},
                         {"2 BETWEEN 1 AND 3 AND 1 = 2", "0"},
                         {"NOT 1 = 1 AND 1 = 2", "0"},
                         {"NOT 1 = 2 OR 1 = 1", "-1"},
                         {"1 = 1 OR 1 = 2 AND 1 = 2", "-1"},
                         {"(1 = 1) XOR (1 = 1) OR (1 = 1)", "0"},
                         {"(1 = 2) IMP (1 = 2) EQV (1 = 2)", "-1"},
                         {"'x' NOT LIKE 'y' AND NULL IS NULL", "-1"},
                         {"1 + 1 IN (2, 3)", "-1"},
                     });
}

TEST_F(JetSemantics, TextFunctions)
{
    expectValues(db, {
                         {"ucase('árvíztűrő')", "ÁRVÍZTŰRŐ"},
                         {"ucase$('abc')", "ABC"},
                         {"LCase('ŐSZ')", "ősz"},
                         {"left('abcdef', 3)", "abc"},
                         {"left$('ab', 5)", "ab"},
                         {"right('abcdef', 2)", "ef"},
                         {"right('abc', 0)", ""},
                         {"mid('abcdef', 2)", "bcdef"},
                         {"mid('abcdef', 2, 3)", "bcd"},
                         {"mid$('abc', 9)", ""},
                         {"len('Ödön')", "4"},
                         {"len(NULL)", "NULL"},
                         {"trim('  a b  ')", "a b"},
                         {"ltrim('  a  ') & '|'", "a  |"},
                         {"rtrim('  a  ') & '|'", "  a|"},
                         {"cstr(12)", "12"},
                         {"cstr(2.5)", "2.5"},
                         {"nz(NULL, 5)", "5"},
                         {"nz(NULL)", ""},
                         {"nz(3)", "3"},
                         {"isnull(NULL)", "-1"},
                         {"isnull(0)", "0"},
                         {"instr('abcabc', 'C')", "3"},
                         {"instr(4, 'abcabc', 'c')", "6"},
                         {"instr('abc', 'x')", "0"},
                         {"(ucase(left('béla', 1)) + mid('béla', 2))", "Béla"},
                     });
}

TEST_F(JetSemantics, UnknownFunctionUsesJetText)
{
    try {
        lg::jetsql::translate(QStringLiteral("SELECT Foo(1) FROM people"));
        FAIL() << "translated an unknown function";
    } catch (const lg::RuntimeError& e) {
        EXPECT_EQ(e.number(), lg::errnum::UndefinedFunction);
        EXPECT_EQ(e.description(), QStringLiteral("Undefined function 'Foo' in expression."));
    }
    EXPECT_THROW(lg::jetsql::translate(QStringLiteral("SELECT left('a') FROM people")), lg::RuntimeError);
}

TEST_F(JetSemantics, FunctionNamesArgumentsAndAggregates)
{
    expectValues(db, {
                         {"LEFT$('abc', 2) & Mid$('abc', 2, 1) & UCase$('x')", "abbX"},
                         {"IIF(1 = 2, 'y', 'n')", "n"},
                         {"NZ(NULL)", ""},
                     });
    // Count of distinct values (text without regard to case), of rows, of
    // non-Null values; Min and Max keep text as text.
    EXPECT_EQ(db.rows(QStringLiteral("SELECT count(DISTINCT city), count(*), count(city), COUNT(DISTINCT active), "
                                     "min(name), max(city) FROM people")),
              QStringList{QStringLiteral("4|6|5|2|Aba|Pécs")});
    EXPECT_EQ(db.rows(QStringLiteral("SELECT sum(DISTINCT score), avg(score) FROM people WHERE id <= 2")),
              QStringList{QStringLiteral("9.5|4.75")});
    const char* wrong[] = {
        "iif(1, 2)",  "nz()",   "nz(1, 2, 3)", "isnull()", "ucase('a', 'b')", "mid('a')", "mid('a', 1, 2, 3)",
        "instr('a')", "now(1)", "date(1)",     "count()",  "sum(1, 2)",       "sum(*)",   "max(*)",
        "clng(*)",    "abs(*)", "ucase$(*)",
    };
    for (const char* w : wrong) {
        SCOPED_TRACE(w);
        try {
            lg::jetsql::translate(QStringLiteral("SELECT ") + QString::fromUtf8(w) + QStringLiteral(" FROM people"));
            ADD_FAILURE() << "translated";
        } catch (const lg::RuntimeError& e) {
            EXPECT_TRUE(e.description().startsWith(QStringLiteral("Wrong number of arguments")))
                << e.description().toStdString();
        }
    }
}

TEST_F(JetSemantics, TextComparesWithoutCaseInHungarianOrder)
{
    EXPECT_EQ(db.rows(QStringLiteral("SELECT id FROM people WHERE name = 'ABA' ORDER BY id")),
              (QStringList{QStringLiteral("3"), QStringLiteral("6")}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT id FROM people WHERE 'pécs' = city ORDER BY id")),
              (QStringList{QStringLiteral("1"), QStringLiteral("4")}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT name FROM people WHERE id < 6 ORDER BY name")),
              (QStringList{QStringLiteral("Aba"), QStringLiteral("Ábel"), QStringLiteral("Béla"),
                           QStringLiteral("Ottó"), QStringLiteral("Ödön")}));
    // An expression ordered or compared as text, not only a column.
    EXPECT_EQ(db.rows(QStringLiteral("SELECT id FROM people WHERE id < 6 ORDER BY ucase(name) DESC")),
              (QStringList{QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("1"), QStringLiteral("2"),
                           QStringLiteral("3")}));
    EXPECT_EQ(db.eval(QStringLiteral("iif(ucase('ödön') = 'Ödön', 1, 0)")), QStringLiteral("1"));
    EXPECT_EQ(db.eval(QStringLiteral("'csak' > 'cukor'")), QStringLiteral("-1"));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT DISTINCT city FROM people WHERE city IS NOT NULL ORDER BY city")),
              (QStringList{QStringLiteral("Csorna"), QStringLiteral("Eger"), QStringLiteral("Győr"),
                           QStringLiteral("Pécs")}));
    EXPECT_EQ(
        db.rows(QStringLiteral("SELECT ucase(city), count(*) FROM people WHERE city LIKE 'p*' GROUP BY ucase(city)")),
        QStringList{QStringLiteral("PÉCS|2")});
    EXPECT_EQ(db.rows(QStringLiteral("SELECT id FROM people WHERE city IN ('PÉCS', 'eger') ORDER BY id")),
              (QStringList{QStringLiteral("1"), QStringLiteral("4"), QStringLiteral("5")}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT id FROM people WHERE name BETWEEN 'a' AND 'abz' ORDER BY id")),
              (QStringList{QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("6")}));
}

TEST_F(JetSemantics, LikePatterns)
{
    expectValues(db, {
                         {"'PB123' LIKE 'P[A-F]###'", "-1"},
                         {"'PG123' LIKE 'P[A-F]###'", "0"},
                         {"'138#' LIKE '###[#]'", "-1"},
                         {"'abc' LIKE 'a?c'", "-1"},
                         {"'abc' LIKE 'A*'", "-1"},
                         {"'a%c' LIKE 'a%c'", "-1"},
                         {"'abc' LIKE 'a%'", "0"},
                         {"'a_c' LIKE 'a_c'", "-1"},
                         {"'abc' LIKE 'a_c'", "0"},
                         {"'x' LIKE '[!a-f]'", "-1"},
                         {"'b' LIKE '[!a-f]'", "0"},
                         {"'ÁRVÍZ' LIKE '*víz'", "-1"},
                         {"'ősz' LIKE 'Ő*'", "-1"},
                         {"'a*b' LIKE 'a[*]b'", "-1"},
                         {"'axb' LIKE 'a[*]b'", "0"},
                         {"'abc' NOT LIKE 'x*'", "-1"},
                         {"NULL LIKE '*'", "NULL"},
                         {"'aXbXc' LIKE '*X*X*'", "-1"},
                     });
    EXPECT_EQ(db.rows(QStringLiteral("SELECT id FROM people WHERE name LIKE '*ba' ORDER BY id")),
              (QStringList{QStringLiteral("3"), QStringLiteral("6")}));
    EXPECT_THROW(db.eval(QStringLiteral("'a' LIKE '[a-'")), std::runtime_error);
}

TEST_F(JetSemantics, PredicatesAndSubqueries)
{
    db.exec(QStringLiteral("CREATE TABLE denied (person_id LONG)"));
    db.exec(QStringLiteral("INSERT INTO denied VALUES (1)"));
    db.exec(QStringLiteral("INSERT INTO denied VALUES (4)"));
    db.exec(QStringLiteral("INSERT INTO denied VALUES (5)"));
    // Doubled parentheses mean the whole set, never the first row alone.
    EXPECT_EQ(
        db.rows(QStringLiteral("SELECT id FROM people WHERE id NOT IN ((SELECT person_id FROM denied)) ORDER BY id")),
        (QStringList{QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("6")}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT id FROM people WHERE id in((select person_id from denied)) ORDER BY id")),
              (QStringList{QStringLiteral("1"), QStringLiteral("4"), QStringLiteral("5")}));
    EXPECT_EQ(
        db.rows(QStringLiteral("SELECT id FROM people WHERE id IN (SELECT person_id FROM denied WHERE person_id > 1) "
                               "AND score IS NOT NULL ORDER BY id")),
        (QStringList{QStringLiteral("4"), QStringLiteral("5")}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT id FROM people WHERE id NOT BETWEEN 2 AND 5 ORDER BY id")),
              (QStringList{QStringLiteral("1"), QStringLiteral("6")}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT id FROM people WHERE score IS NULL OR city IS NULL")),
              QStringList{QStringLiteral("3")});
    EXPECT_EQ(
        db.rows(QStringLiteral("SELECT id FROM people WHERE active = TRUE AND active <> FALSE AND id IN (1, 2, 3)")),
        (QStringList{QStringLiteral("1"), QStringLiteral("3")}));
    EXPECT_EQ(
        db.rows(QStringLiteral("SELECT id FROM people AS p WHERE EXISTS (SELECT * FROM denied d WHERE d.person_id = "
                               "p.id) AND p.id > (SELECT min(person_id) FROM denied)")),
        (QStringList{QStringLiteral("4"), QStringLiteral("5")}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT id FROM people WHERE active")).size(), 4);
    EXPECT_EQ(db.rows(QStringLiteral("SELECT id FROM people WHERE (TRUE) AND id=1")), QStringList{QStringLiteral("1")});
}

TEST_F(JetSemantics, SelectShapes)
{
    db.exec(QStringLiteral("CREATE TABLE cities (name TEXT(50), region TEXT(50))"));
    db.exec(QStringLiteral("INSERT INTO cities VALUES ('PÉCS', 'Dél')"));
    db.exec(QStringLiteral("INSERT INTO cities VALUES ('Győr', 'Nyugat')"));
    db.exec(QStringLiteral("CREATE TABLE regions (name TEXT(50), code LONG)"));
    db.exec(QStringLiteral("INSERT INTO regions VALUES ('dél', 7)"));

    EXPECT_EQ(db.rows(QStringLiteral("SELECT TOP 2 id FROM people ORDER BY id DESC")),
              (QStringList{QStringLiteral("6"), QStringLiteral("5")}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT TOP 50 PERCENT id FROM people ORDER BY id")).size(), 3);
    EXPECT_EQ(db.rows(QStringLiteral("SELECT TOP 40 PERCENT id FROM people ORDER BY id")).size(), 3);
    // Aba and aba are one value to DISTINCT.
    EXPECT_EQ(db.rows(QStringLiteral("SELECT DISTINCT name FROM people WHERE name LIKE 'a*'")).size(), 1);
    EXPECT_EQ(db.rows(QStringLiteral("SELECT DISTINCT ucase(name) & '' FROM people WHERE name LIKE 'a*'")).size(), 1);
    EXPECT_EQ(db.rows(QStringLiteral("SELECT DISTINCTROW active FROM people")).size(), 6);
    // Parenthesised join chains with inner and outer joins.
    EXPECT_EQ(db.rows(QStringLiteral("SELECT [p].[id], c.region, r.code FROM ((people AS p INNER JOIN cities c ON "
                                     "p.city = c.name) LEFT JOIN regions AS r ON (r.name = c.region)) ORDER BY p.id")),
              (QStringList{QStringLiteral("1|Dél|7"), QStringLiteral("2|Nyugat|NULL"), QStringLiteral("4|Dél|7")}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT c.name, p.id FROM people AS p RIGHT JOIN cities AS c ON p.city = c.name "
                                     "WHERE p.id IS NULL OR p.id = 2")),
              QStringList{QStringLiteral("Győr|2")});
    EXPECT_EQ(db.rows(QStringLiteral("SELECT active, count(*) AS n, sum(score) FROM people GROUP BY active "
                                     "HAVING count(*) > 2 ORDER BY active")),
              QStringList{QStringLiteral("-1|4|7.0")});
    EXPECT_EQ(db.rows(QStringLiteral("SELECT p.*, 1 AS one FROM people p WHERE p.id = 3")),
              QStringList{QStringLiteral("3|Aba|NULL|NULL|-1|NULL|1")});
    EXPECT_EQ(
        db.rows(QStringLiteral("SELECT * FROM (SELECT id, name FROM people WHERE id < 3) AS s ORDER BY s.id DESC")),
        (QStringList{QStringLiteral("2|Ábel"), QStringLiteral("1|Béla")}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT name FROM cities UNION SELECT name FROM regions ORDER BY 1")),
              (QStringList{QStringLiteral("dél"), QStringLiteral("Győr"), QStringLiteral("PÉCS")}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT name n FROM people WHERE id = 1;")), QStringList{QStringLiteral("Béla")});
}

TEST_F(JetSemantics, UnnamedColumnsGetJetNames)
{
    sqlite3_stmt* stmt = nullptr;
    const QByteArray sql = lg::jetsql::translate(QStringLiteral("SELECT id, id + 1, name AS n, count(*) FROM people "
                                                                "GROUP BY id, name"))
                               ->sql.toUtf8();
    ASSERT_EQ(sqlite3_prepare_v2(db.handle(), sql.constData(), -1, &stmt, nullptr), SQLITE_OK);
    EXPECT_STREQ(sqlite3_column_name(stmt, 0), "id");
    EXPECT_STREQ(sqlite3_column_name(stmt, 1), "Expr1000");
    EXPECT_STREQ(sqlite3_column_name(stmt, 2), "n");
    EXPECT_STREQ(sqlite3_column_name(stmt, 3), "Expr1001");
    sqlite3_finalize(stmt);
}

TEST_F(JetSemantics, DataChangingStatements)
{
    db.exec(QStringLiteral("CREATE TABLE flags (person_id LONG, flag LONG, note TEXT(20) DEFAULT \"\")"));
    db.exec(QStringLiteral("INSERT INTO flags (person_id, flag) SELECT id, 0 FROM people WHERE id <= 4"));
    db.exec(QStringLiteral("update flags inner join people on flags.person_id = people.id set flags.flag = 2, "
                           "flags.note = people.name where people.active = -1"));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT person_id, flag, note FROM flags ORDER BY person_id")),
              (QStringList{QStringLiteral("1|2|Béla"), QStringLiteral("2|0|"), QStringLiteral("3|2|Aba"),
                           QStringLiteral("4|0|")}));
    // The updated table on the right side of the join.
    db.exec(QStringLiteral("UPDATE people AS p INNER JOIN flags AS f ON f.person_id = p.id SET f.flag = 9 "
                           "WHERE p.name = 'ÁBEL'"));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT flag FROM flags WHERE person_id = 2")), QStringList{QStringLiteral("9")});
    db.exec(QStringLiteral("UPDATE flags SET flag = flag + 1 WHERE flag = 0"));
    db.exec(QStringLiteral("delete * from flags  where person_id=1"));
    db.exec(QStringLiteral("DELETE flags.* FROM flags WHERE flags.flag = 1"));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT person_id FROM flags ORDER BY person_id")),
              (QStringList{QStringLiteral("2"), QStringLiteral("3")}));
    db.exec(QStringLiteral("DELETE flags.* FROM flags INNER JOIN people ON people.id = flags.person_id "
                           "WHERE people.name LIKE 'ab*'"));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT person_id FROM flags")), QStringList{QStringLiteral("2")});
    db.exec(QStringLiteral("DELETE FROM flags"));
    EXPECT_TRUE(db.rows(QStringLiteral("SELECT * FROM flags")).isEmpty());
    EXPECT_THROW(lg::jetsql::translate(QStringLiteral("UPDATE a LEFT JOIN b ON a.x = b.x SET a.y = 1")),
                 lg::RuntimeError);
}

TEST_F(JetSemantics, Ddl)
{
    using lg::jetsql::StatementKind;
    const auto t = lg::jetsql::translate(QStringLiteral(
        "CREATE TABLE vlq_list_report_group_field (id COUNTER, vlq_list_report_id LONG NOT NULL, sort_order INTEGER "
        "DEFAULT 1, del_status YESNO DEFAULT 0, descr MEMO, label VARCHAR(30) DEFAULT \"\", code TEXT UNIQUE, "
        "created DATETIME DEFAULT Now(), day DATE DEFAULT Date(), amount CURRENCY DEFAULT -1, ratio FLOAT, "
        "small SMALLINT, CONSTRAINT PrimaryKey PRIMARY KEY (id))"));
    EXPECT_EQ(t->kind, StatementKind::CreateTable);
    EXPECT_TRUE(t->sql.contains(QStringLiteral("\"id\" INTEGER PRIMARY KEY AUTOINCREMENT")));
    EXPECT_TRUE(t->sql.contains(QStringLiteral("\"label\" TEXT(30) COLLATE JET DEFAULT ''")));
    EXPECT_TRUE(t->sql.contains(QStringLiteral("\"descr\" LONGTEXT COLLATE JET")));
    EXPECT_TRUE(t->sql.contains(QStringLiteral("\"code\" TEXT(255) COLLATE JET")));
    EXPECT_TRUE(t->sql.contains(QStringLiteral(
        "CREATE UNIQUE INDEX \"vlq_list_report_group_field:PrimaryKey\" ON \"vlq_list_report_group_field\" "
        "(\"id\")")));
    db.execNative(t->sql);
    db.exec(QStringLiteral("CREATE INDEX real_sort_order ON vlq_list_report_group_field (vlq_list_report_id, "
                           "sort_order DESC, del_status)"));
    EXPECT_EQ(lg::jetsql::translate(QStringLiteral("CREATE INDEX real_sort_order ON t (a, b DESC)"))->sql,
              QStringLiteral("CREATE INDEX \"t:real_sort_order\" ON \"t\" (\"a\", \"b\" DESC)"));
    db.exec(QStringLiteral("INSERT INTO vlq_list_report_group_field (vlq_list_report_id, code) VALUES (7, 'x')"));
    db.exec(QStringLiteral("INSERT INTO vlq_list_report_group_field (vlq_list_report_id, code) VALUES (7, 'y')"));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT id, sort_order, del_status, label, amount, len(created), right(day, 8) "
                                     "FROM vlq_list_report_group_field ORDER BY id")),
              (QStringList{QStringLiteral("1|1|0||-1|19|00:00:00"), QStringLiteral("2|1|0||-1|19|00:00:00")}));
    // The unique column and the composite primary key hold.
    EXPECT_THROW(db.exec(QStringLiteral("INSERT INTO vlq_list_report_group_field (vlq_list_report_id, code) VALUES (7, "
                                        "'X')")),
                 std::runtime_error);
    db.exec(QStringLiteral("CREATE TABLE pairs (a LONG, b TEXT(10), c LONG, CONSTRAINT pk PRIMARY KEY (a, b))"));
    db.exec(QStringLiteral("INSERT INTO pairs VALUES (1, 'x', 0)"));
    EXPECT_THROW(db.exec(QStringLiteral("INSERT INTO pairs VALUES (1, 'X', 0)")), std::runtime_error);
    EXPECT_THROW(db.exec(QStringLiteral("INSERT INTO pairs (b, c) VALUES ('y', 0)")), std::runtime_error);
    EXPECT_EQ(
        db.nativeRows(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'pairs'")),
        QStringList{QStringLiteral("pairs:pk")});

    EXPECT_EQ(lg::jetsql::translate(QStringLiteral("DROP INDEX real_sort_order ON vlq_list_report_group_field"))->kind,
              StatementKind::DropIndex);
    db.exec(QStringLiteral("DROP INDEX real_sort_order ON vlq_list_report_group_field"));
    db.exec(QStringLiteral("CREATE VIEW v_pairs AS SELECT a, b FROM pairs WHERE c = 0"));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT a FROM v_pairs WHERE b = 'X'")), QStringList{QStringLiteral("1")});
    EXPECT_EQ(lg::jetsql::translate(QStringLiteral("DROP VIEW v_pairs"))->kind, StatementKind::DropView);
    db.exec(QStringLiteral("DROP VIEW v_pairs"));
    db.exec(QStringLiteral("DROP TABLE pairs"));
    EXPECT_TRUE(db.nativeRows(QStringLiteral("SELECT name FROM sqlite_master WHERE tbl_name = 'pairs'")).isEmpty());
}

TEST(JetTranslate, SyntaxErrorsNameThePositionAndToken)
{
    lg::jetsql::test::expectSyntaxErrors({
        {"SELECT a FROM t WHERE", "position 22 near the end of the statement"},
        {"SELECT a FROM t WHERE (a = 1", "expected ')'"},
        {"SELECT a, FROM t", "position 11 near 'FROM'"},
        {"SELEKT a FROM t", "position 1 near 'SELEKT'"},
        {"SELECT 'abc FROM t", "no closing quote"},
        {"SELECT #13/45/2020# FROM t", "'#13/45/2020#'"},
        {"SELECT [a FROM t", "no closing ']'"},
        {"SELECT a FROM t WHERE a = 1 b", "near 'b'"},
        {"SELECT a FROM t WHERE a @ 1", "near '@'"},
        {"CREATE TABLE t (a BLOBBY)", "expected a column type"},
        // Digits of other scripts are no number (here NKo nine and one).
        {"SELECT .\u07C9 FROM t", "near '\u07C9'"},
        {"SELECT 2 + \u07C1 FROM t", "near '\u07C1'"},
    });
}

TEST(JetTranslate, CacheReturnsTheSameTranslation)
{
    const QString jet = QStringLiteral("SELECT x FROM cached_table WHERE y = 1");
    const auto first = lg::jetsql::translate(jet);
    EXPECT_EQ(first.get(), lg::jetsql::translate(jet).get());
    lg::jetsql::clearTranslationCache();
    const auto again = lg::jetsql::translate(jet);
    EXPECT_NE(first.get(), again.get());
    EXPECT_EQ(first->sql, again->sql);
    // Each dialect has its own entry.
    const auto pg = lg::jetsql::translate(jet, lg::jetsql::Dialect::PostgreSQL);
    EXPECT_EQ(pg.get(), lg::jetsql::translate(jet, lg::jetsql::Dialect::PostgreSQL).get());
    EXPECT_NE(pg.get(), again.get());
}

}  // namespace

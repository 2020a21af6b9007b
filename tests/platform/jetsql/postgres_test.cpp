// Jet statements translated for both dialects and run on SQLite and on a
// private PostgreSQL cluster must give the same, Jet's, results.

#include "sqlitetestdb.h"

#include "support/pgcluster.h"

#include "platform/jetsql/translate.h"
#include "platform/runtimeerror.h"

#include <QtCore/QFile>

#include <gtest/gtest.h>

#include <cmath>

using lg::jetsql::Dialect;
using lg::jetsql::test::SqliteTestDb;
using lg::test::PgCluster;
using lg::test::PgConnection;

namespace {

// Numbers compare by value: SQLite prints a double 8 as "8.0", PostgreSQL as "8".
bool sameValue(const QString& a, const QString& b)
{
    if (a == b)
        return true;
    bool okA = false, okB = false;
    const double x = a.toDouble(&okA), y = b.toDouble(&okB);
    return okA && okB && std::fabs(x - y) <= 1e-9 * std::max(1.0, std::fabs(x));
}

bool sameRows(const QStringList& a, const QStringList& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const QStringList x = a[i].split(u'|'), y = b[i].split(u'|');
        if (x.size() != y.size())
            return false;
        for (qsizetype k = 0; k < x.size(); ++k)
            if (!sameValue(x[k], y[k]))
                return false;
    }
    return true;
}

QString joined(const QStringList& rows)
{
    return rows.join(QStringLiteral(" / "));
}

class BothDialects : public ::testing::Test {
protected:
    void SetUp() override
    {
        PG_CLUSTER_OR_SKIP();
        pg = std::make_unique<PgConnection>(PgCluster::instance().connectionString(PgCluster::instance().createDatabase()));
        pg->exec(lg::jetsql::postgresSetupSql());
        pg->exec(QStringLiteral("SET TimeZone = 'UTC'"));
        exec(QStringLiteral("CREATE TABLE people (id LONG NOT NULL, name TEXT(50), city TEXT(50), born DATETIME, "
                            "active YESNO, score DOUBLE, CONSTRAINT pk PRIMARY KEY (id))"));
        exec(QStringLiteral("INSERT INTO people (id, name, city, born, active, score) VALUES "
                            "(1, 'Béla', 'Pécs', #03/05/1980#, TRUE, 2.5)"));
        exec(QStringLiteral("INSERT INTO people VALUES (2, 'Ábel', 'Győr', #12/31/1975 23:59:59#, FALSE, 7)"));
        exec(QStringLiteral("INSERT INTO people VALUES (3, 'Aba', NULL, NULL, TRUE, NULL)"));
        exec(QStringLiteral("INSERT INTO people VALUES (4, 'Ödön', 'pécs', #1/2/2003#, FALSE, -3.5)"));
        exec(QStringLiteral("INSERT INTO people VALUES (5, 'Ottó', 'Eger', #2003-01-02 10:00:00#, TRUE, 4.5)"));
        exec(QStringLiteral("INSERT INTO people VALUES (6, 'aba', 'Csorna', NULL, TRUE, 0)"));
    }

    void exec(const QString& jet)
    {
        lite.exec(jet);
        pg->exec(lg::jetsql::translate(jet, Dialect::PostgreSQL)->sql);
    }

    struct Case {
        const char* jet;       // a SELECT, or an expression that "SELECT " is put before
        const char* expected;  // rows joined by " / ", values by '|'
    };

    // Runs each case on both databases; both must give the expected rows.
    void expectBoth(std::initializer_list<Case> cases)
    {
        for (const Case& c : cases) {
            QString jet = QString::fromUtf8(c.jet);
            if (!jet.startsWith(QStringLiteral("SELECT "), Qt::CaseInsensitive))
                jet.prepend(QStringLiteral("SELECT "));
            SCOPED_TRACE(jet.toStdString());
            const QStringList expected = QString::fromUtf8(c.expected).split(QStringLiteral(" / "));
            try {
                const QStringList l = lite.rows(jet);
                EXPECT_TRUE(sameRows(l, expected)) << "SQLite: " << joined(l).toStdString();
            } catch (const std::exception& e) {
                ADD_FAILURE() << "SQLite: " << e.what();
            }
            QString sql;
            try {
                sql = lg::jetsql::translate(jet, Dialect::PostgreSQL)->sql;
                const QStringList p = pg->rows(sql);
                EXPECT_TRUE(sameRows(p, expected)) << "PostgreSQL: " << joined(p).toStdString() << "\n  " << sql.toStdString();
            } catch (const lg::RuntimeError& e) {
                ADD_FAILURE() << "PostgreSQL translation: " << e.description().toStdString();
            } catch (const std::exception& e) {
                ADD_FAILURE() << "PostgreSQL: " << e.what();
            }
        }
    }

    // Each statement fails on both databases.
    void expectFailsOnBoth(std::initializer_list<const char*> statements)
    {
        for (const char* s : statements) {
            const QString jet = QStringLiteral("SELECT ") + QString::fromUtf8(s);
            SCOPED_TRACE(jet.toStdString());
            EXPECT_ANY_THROW(lite.rows(jet));
            EXPECT_ANY_THROW(pg->rows(lg::jetsql::translate(jet, Dialect::PostgreSQL)->sql));
        }
    }

    SqliteTestDb lite;
    std::unique_ptr<PgConnection> pg;
};

TEST_F(BothDialects, Expressions)
{
    expectBoth({
        // literals and truth values
        {"'it''s'", "it's"},
        {"TRUE", "-1"},
        {"FALSE", "0"},
        {"1 = 1", "-1"},
        {"1 < 0", "0"},
        {"(1 = 1) = TRUE", "-1"},
        {"NOT (1 = 2)", "-1"},
        {"NOT 0", "-1"},
        {"5 AND 3", "-1"},
        {"'a' IS NULL", "0"},
        {"iif(5, 'y', 'n')", "y"},
        {"iif(NULL, 'y', 'n')", "n"},
        {"iif(0, 'y', 'n')", "n"},
        // dates
        {"#3/5/2024#", "2024-03-05 00:00:00"},
        {"#03/05/2024 23.59.59#", "2024-03-05 23:59:59"},
        {"#12/11/2006 1:2:3 pm#", "2006-12-11 13:02:03"},
        {"#13:02:03#", "1899-12-30 13:02:03"},
        {"#01/02/2003# + 37", "2003-02-08 00:00:00"},
        {"#01/02/2003 12:00:00# + 0.5", "2003-01-03 00:00:00"},
        {"#01/02/2003# - 2", "2002-12-31 00:00:00"},
        {"#01/10/2003# - #01/02/2003#", "8"},
        {"year(#3/5/2024 10:00:00#)", "2024"},
        {"month(#3/5/2024#)", "3"},
        {"day(#3/5/2024#)", "5"},
        {"date() <= now()", "-1"},
        {"#1/1/1900# > 1", "-1"},
        // + and &
        {"\"25\" + 12", "37"},
        {"\"foo\" + 12", "foo12"},
        {"'a' + 'b'", "ab"},
        {"37 + NULL", "NULL"},
        {"'a' + NULL", "NULL"},
        {"'aa2' & NULL", "aa2"},
        {"NULL & NULL", "NULL"},
        {"1 & 2", "12"},
        {"ucase('a') + 'b'", "Ab"},
        // arithmetic
        {"7 / 2", "3.5"},
        {"7 \\ 2", "3"},
        {"7.5 \\ 2", "4"},
        {"6.5 \\ 2", "3"},
        {"-7 \\ 2", "-3"},
        {"10 Mod 3", "1"},
        {"10.5 Mod 3", "1"},
        {"11.5 Mod 3", "0"},
        {"-7 Mod 3", "-1"},
        {"2 ^ 10", "1024"},
        {"-10 ^ 2", "100"},
        {"2 * 3 ^ 2", "18"},
        {"2 ^ 3 ^ 2", "64"},
        {"7 \\ 2 * 2", "1"},
        {"10 - 7 Mod 4", "7"},
        {"12 / 2 / 3", "2"},
        {"'a' & 1 + 2", "a3"},
        {"cint(4.5)", "4"},
        {"cint(5.5)", "6"},
        {"clng(-2.5)", "-2"},
        {"int(-3.5)", "-4"},
        {"fix(-3.5)", "-3"},
        {"abs(-4)", "4"},
        {"cdbl('2.25')", "2.25"},
        // logic
        {"NOT 2 BETWEEN 3 AND 4", "-1"},
        {"2 BETWEEN 3 AND 1", "-1"},
        {"(1 = 1) XOR (1 = 1) OR (1 = 1)", "0"},
        {"(1 = 2) IMP (1 = 2) EQV (1 = 2)", "-1"},
        {"1 + 1 IN (2, 3)", "-1"},
        // text
        {"ucase('árvíztűrő')", "ÁRVÍZTŰRŐ"},
        {"LCase('ŐSZ')", "ősz"},
        {"left('abcdef', 3)", "abc"},
        {"right('abcdef', 2)", "ef"},
        {"mid('abcdef', 2, 3)", "bcd"},
        {"mid$('abc', 9)", ""},
        {"len('Ödön')", "4"},
        {"len(NULL)", "NULL"},
        {"trim('  a b  ')", "a b"},
        {"cstr(12)", "12"},
        {"nz(NULL, 5)", "5"},
        {"nz(NULL)", ""},
        {"isnull(NULL)", "-1"},
        {"instr('abcabc', 'C')", "3"},
        {"instr(4, 'abcabc', 'c')", "6"},
        {"instr('abc', 'x')", "0"},
        {"instr('ÁRVÍZ', 'víz')", "3"},
        {"switch(1 = 2, 'a', 2 = 2, 'b')", "b"},
        {"choose(2, 'a', 'b', 'c')", "b"},
        // text compares without case, in Hungarian order, accents kept
        {"iif(ucase('ödön') = 'Ödön', 1, 0)", "1"},
        {"'csak' > 'cukor'", "-1"},
        {"'a' = 'á'", "0"},
        {"'ÁRVÍZTŰRŐ' = 'árvíztűrő'", "-1"},
        // LIKE
        {"'PB123' LIKE 'P[A-F]###'", "-1"},
        {"'PG123' LIKE 'P[A-F]###'", "0"},
        {"'138#' LIKE '###[#]'", "-1"},
        {"'abc' LIKE 'a?c'", "-1"},
        {"'abc' LIKE 'A*'", "-1"},
        {"'a%c' LIKE 'a%c'", "-1"},
        {"'abc' LIKE 'a%'", "0"},
        {"'abc' LIKE 'a_c'", "0"},
        {"'x' LIKE '[!a-f]'", "-1"},
        {"'b' LIKE '[!a-f]'", "0"},
        {"'ÁRVÍZ' LIKE '*víz'", "-1"},
        {"'ÁRVIZ' LIKE '*víz'", "0"},
        {"'ősz' LIKE 'Ő*'", "-1"},
        {"'a*b' LIKE 'a[*]b'", "-1"},
        {"'abc' NOT LIKE 'x*'", "-1"},
        {"NULL LIKE '*'", "NULL"},
    });
    expectFailsOnBoth({"5 \\ 0", "5 Mod 0", "1 / 0"});
}

TEST_F(BothDialects, Queries)
{
    exec(QStringLiteral("CREATE TABLE denied (person_id LONG)"));
    exec(QStringLiteral("INSERT INTO denied VALUES (1)"));
    exec(QStringLiteral("INSERT INTO denied VALUES (4)"));
    exec(QStringLiteral("INSERT INTO denied VALUES (5)"));
    expectBoth({
        {"SELECT id FROM people WHERE born BETWEEN #03/05/1980# AND #03/05/1980 23.59.59#", "1"},
        {"SELECT id FROM people WHERE born > #12/31/1975# ORDER BY born", "2 / 1 / 4 / 5"},
        {"SELECT born + 1 FROM people WHERE id = 2", "1976-01-01 23:59:59"},
        {"SELECT year(born) FROM people WHERE id = 4", "2003"},
        {"SELECT name + city, id + score FROM people WHERE id = 1", "BélaPécs|3.5"},
        {"SELECT name + city, name & city FROM people WHERE id = 3", "NULL|Aba"},
        {"SELECT id FROM people WHERE name = 'ABA' ORDER BY id", "3 / 6"},
        {"SELECT id FROM people WHERE 'pécs' = city ORDER BY id", "1 / 4"},
        {"SELECT name FROM people WHERE id < 6 ORDER BY name", "Aba / Ábel / Béla / Ottó / Ödön"},
        {"SELECT id FROM people WHERE id < 6 ORDER BY ucase(name) DESC", "4 / 5 / 1 / 2 / 3"},
        {"SELECT DISTINCT city FROM people WHERE city IS NOT NULL ORDER BY city", "Csorna / Eger / Győr / Pécs"},
        {"SELECT ucase(city), count(*) FROM people WHERE city LIKE 'p*' GROUP BY ucase(city)", "PÉCS|2"},
        {"SELECT id FROM people WHERE city IN ('PÉCS', 'eger') ORDER BY id", "1 / 4 / 5"},
        {"SELECT id FROM people WHERE name BETWEEN 'a' AND 'abz' ORDER BY id", "2 / 3 / 6"},
        {"SELECT id FROM people WHERE name LIKE '*ba' ORDER BY id", "3 / 6"},
        {"SELECT count(DISTINCT city), count(*), count(city), COUNT(DISTINCT active), min(name), max(name) FROM people "
         "WHERE id < 6",
         "3|5|4|2|Aba|Ödön"},
        {"SELECT sum(DISTINCT score), avg(score) FROM people WHERE id <= 2", "9.5|4.75"},
        {"SELECT id FROM people WHERE id NOT IN ((SELECT person_id FROM denied)) ORDER BY id", "2 / 3 / 6"},
        {"SELECT id FROM people WHERE id in((select person_id from denied)) ORDER BY id", "1 / 4 / 5"},
        {"SELECT id FROM people WHERE id NOT BETWEEN 2 AND 5 ORDER BY id", "1 / 6"},
        {"SELECT id FROM people WHERE active = TRUE AND active <> FALSE AND id IN (1, 2, 3) ORDER BY id", "1 / 3"},
        {"SELECT id FROM people AS p WHERE EXISTS (SELECT * FROM denied d WHERE d.person_id = p.id) "
         "AND p.id > (SELECT min(person_id) FROM denied) ORDER BY id",
         "4 / 5"},
        {"SELECT count(*) FROM people WHERE active", "4"},
        {"SELECT sum(active) FROM people", "-4"},
        {"SELECT TOP 2 id FROM people ORDER BY id DESC", "6 / 5"},
        {"SELECT TOP 50 PERCENT id FROM people ORDER BY id", "1 / 2 / 3"},
        {"SELECT id FROM people WHERE id = 1 UNION SELECT person_id FROM denied ORDER BY 1", "1 / 4 / 5"},
        {"SELECT n FROM (SELECT count(*) AS n FROM denied)", "3"},
        {"SELECT p.id FROM people p INNER JOIN denied d ON p.id = d.person_id WHERE p.score > 0 ORDER BY p.id",
         "1 / 5"},
    });
}

TEST_F(BothDialects, DataChangingStatementsAndDdl)
{
    exec(QStringLiteral("CREATE TABLE bonus (person_id LONG, amount CURRENCY)"));
    exec(QStringLiteral("CREATE UNIQUE INDEX ix ON bonus (person_id)"));
    // Index names are per table, as in Jet: another table may use the same.
    exec(QStringLiteral("CREATE INDEX ix ON people (city)"));
    exec(QStringLiteral("INSERT INTO bonus (person_id, amount) VALUES (1, 10.5)"));
    exec(QStringLiteral("INSERT INTO bonus (person_id, amount) SELECT id, score FROM people WHERE id IN (2, 5)"));
    exec(QStringLiteral("UPDATE bonus INNER JOIN people ON bonus.person_id = people.id SET bonus.amount = "
                        "bonus.amount * 2 WHERE people.city = 'PÉCS'"));
    expectBoth({{"SELECT person_id, amount FROM bonus ORDER BY person_id", "1|21 / 2|7 / 5|4.5"}});
    exec(QStringLiteral("DELETE bonus.* FROM bonus INNER JOIN people ON bonus.person_id = people.id WHERE "
                        "people.name = 'ottó'"));
    exec(QStringLiteral("DELETE * FROM people WHERE id > 4"));
    expectBoth({{"SELECT person_id FROM bonus ORDER BY person_id", "1 / 2"},
                {"SELECT count(*) FROM people", "4"}});
    // The unique index holds on both.
    EXPECT_ANY_THROW(lite.exec(QStringLiteral("INSERT INTO bonus (person_id) VALUES (1)")));
    EXPECT_ANY_THROW(pg->exec(
        lg::jetsql::translate(QStringLiteral("INSERT INTO bonus (person_id) VALUES (1)"), Dialect::PostgreSQL)->sql));
    exec(QStringLiteral("DROP INDEX ix ON bonus"));
    exec(QStringLiteral("INSERT INTO bonus (person_id) VALUES (1)"));
    expectBoth({{"SELECT count(*) FROM bonus", "3"}});
    // A counter numbers new rows; a text key is unique without regard to case.
    exec(QStringLiteral("CREATE TABLE tags (id COUNTER PRIMARY KEY, tag TEXT(20) NOT NULL UNIQUE, note MEMO)"));
    exec(QStringLiteral("INSERT INTO tags (tag) VALUES ('Alma')"));
    exec(QStringLiteral("INSERT INTO tags (tag) VALUES ('Körte')"));
    expectBoth({{"SELECT id, tag FROM tags WHERE tag = 'KÖRTE'", "2|Körte"}});
    EXPECT_ANY_THROW(pg->exec(
        lg::jetsql::translate(QStringLiteral("INSERT INTO tags (tag) VALUES ('ALMA')"), Dialect::PostgreSQL)->sql));
}

// The lines of a file that are neither empty nor comments.
QStringList fileLines(const char* path, const QString& comment)
{
    QFile f(QString::fromUtf8(path));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QString& raw : QString::fromUtf8(f.readAll()).split(u'\n')) {
        const QString line = raw.trimmed();
        if (!line.isEmpty() && !line.startsWith(comment))
            lines << line;
    }
    return lines;
}

// The library's own tables, as init-db creates them, and every fixed
// statement of the store, the catalogue and the controls run on PostgreSQL.
TEST_F(BothDialects, LibrarySchemaAndCorpusRun)
{
    QStringList schema;
    QString pending;
    for (const QString& line : fileLines(LISTGEN_SOURCE_DIR "/resources/schema.sql", QStringLiteral("--"))) {
        pending += line + u' ';
        if (line.endsWith(u';')) {
            schema << pending.trimmed();
            pending.clear();
        }
    }
    ASSERT_GT(schema.size(), 10);
    const QStringList hostTables = {
        QStringLiteral("CREATE TABLE vlq_quickpick (id LONG, name TEXT(100))"),
        QStringLiteral("CREATE TABLE vlq_quickpick_field (id LONG, quickpick_id LONG, search_field_name TEXT(100), "
                       "search_field TEXT(100))"),
        QStringLiteral("CREATE TABLE partner (id COUNTER PRIMARY KEY, nev TEXT(100), kod TEXT(20), aktiv YESNO)"),
        QStringLiteral("CREATE TABLE szamla (id COUNTER PRIMARY KEY, partner_id LONG, osszeg CURRENCY, kelt DATETIME, "
                       "user_id LONG)"),
        QStringLiteral("INSERT INTO partner (nev, kod, aktiv) VALUES ('Abc Kft', 'A1', -1)"),
        QStringLiteral("INSERT INTO szamla (partner_id, osszeg, kelt, user_id) VALUES (1, 7, #03/05/2024 10:00#, 4)"),
    };
    const QStringList corpus = fileLines(LISTGEN_SOURCE_DIR "/tests/platform/jetsql/corpus.txt", QStringLiteral("#"));
    ASSERT_GT(corpus.size(), 30);
    for (const QString& jet : schema + hostTables + corpus) {
        SCOPED_TRACE(jet.toStdString());
        QString sql;
        try {
            sql = lg::jetsql::translate(jet, Dialect::PostgreSQL)->sql;
            pg->exec(sql);
        } catch (const lg::RuntimeError& e) {
            ADD_FAILURE() << e.description().toStdString();
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
        }
    }
}

TEST(PostgresTranslation, RefusesWhatItCannotTranslate)
{
    struct Case {
        const char* jet;
        long number;
        const char* message;
    };
    const Case cases[] = {
        {"SELECT Foo(1) FROM t", lg::errnum::UndefinedFunction, "Undefined function 'Foo' in expression."},
        {"SELECT left('a') FROM t", lg::errnum::SyntaxError, "Wrong number of arguments"},
        {"SELECT format(1, '0') FROM t", lg::errnum::UndefinedFunction, "is not available on PostgreSQL"},
        {"SELECT dateadd(x, 1, d) FROM t", lg::errnum::SyntaxError, "must be written as text"},
        {"SELECT 1 FROM t WHERE", lg::errnum::SyntaxError, "Syntax error"},
        {"UPDATE a LEFT JOIN b ON a.x = b.x SET a.y = 1", lg::errnum::SyntaxError, "outer join is not supported"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.jet);
        try {
            lg::jetsql::translate(QString::fromUtf8(c.jet), Dialect::PostgreSQL);
            ADD_FAILURE() << "translated";
        } catch (const lg::RuntimeError& e) {
            EXPECT_EQ(e.number(), c.number);
            EXPECT_TRUE(e.description().contains(QString::fromUtf8(c.message))) << e.description().toStdString();
        }
    }
}

// The default dialect stays SQLite, and the two caches do not mix.
// Names are found whatever their case, as in Jet.
TEST_F(BothDialects, NamesIgnoreCase)
{
    exec(QStringLiteral("CREATE TABLE Orders (OrderId LONG, Customer TEXT(20))"));
    exec(QStringLiteral("CREATE INDEX ByCustomer ON ORDERS (customer)"));
    exec(QStringLiteral("INSERT INTO orders (ORDERID, customer) VALUES (1, 'Kis')"));
    expectBoth({{"SELECT o.OrderID, O.CUSTOMER FROM ORDERS AS o WHERE O.orderid = 1", "1|Kis"},
                {"SELECT orderid AS Num FROM orders ORDER BY NUM", "1"}});
    exec(QStringLiteral("DROP INDEX bycustomer ON orders"));
}

TEST(PostgresTranslation, DialectsAreCachedApart)
{
    const QString jet = QStringLiteral("SELECT name FROM people WHERE name LIKE 'a*'");
    const QString lite = lg::jetsql::translate(jet)->sql;
    const QString pg = lg::jetsql::translate(jet, Dialect::PostgreSQL)->sql;
    EXPECT_EQ(lg::jetsql::translate(jet, Dialect::SQLite)->sql, lite);
    EXPECT_NE(lite, pg);
    EXPECT_TRUE(pg.contains(QStringLiteral("jet_fold"))) << pg.toStdString();
}

}  // namespace

// Jet statements on the table t(s TEXT(5), n LONG, d DATETIME, c CURRENCY):
// Jet's run-time errors, TOP in unions, the declared types enforced by
// INSERT and UPDATE, very long expressions, and the date, format, text and
// conversion functions, each with Jet's result.

#include "sqlitetestdb.h"

#include "platform/jetsql/jeterrors.h"
#include "platform/runtimeerror.h"

#include <gtest/gtest.h>

using lg::jetsql::test::SqliteTestDb;

namespace {

struct Case {
    const char* jet;
    const char* expected;
};

struct ErrorCase {
    const char* jet;  // a whole statement
    long number;      // Jet's number of the error it raises
};

class JetStatements : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec(QStringLiteral("CREATE TABLE t (s TEXT(5), n LONG, d DATETIME, c CURRENCY)"));
        db.exec(QStringLiteral("INSERT INTO t VALUES ('alma', 1, #1/5/2024 10:30#, 1.25)"));
        db.exec(QStringLiteral("INSERT INTO t VALUES ('Alma', 2, #1/9/2024#, 0.1)"));
        db.exec(QStringLiteral("INSERT INTO t VALUES ('körte', 3, #2/29/2024 18:00#, 0.2)"));
        db.exec(QStringLiteral("INSERT INTO t VALUES (NULL, 4, NULL, NULL)"));
    }

    void expectValues(std::initializer_list<Case> cases)
    {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.jet);
            try {
                EXPECT_EQ(db.eval(QString::fromUtf8(c.jet)).toStdString(), c.expected)
                    << lg::jetsql::translate(QStringLiteral("SELECT ") + QString::fromUtf8(c.jet))->sql.toStdString();
            } catch (const std::exception& e) {
                ADD_FAILURE() << e.what();
            }
        }
    }

    // Each statement (a SELECT) gives these rows, joined by ';'.
    void expectRows(std::initializer_list<Case> cases)
    {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.jet);
            try {
                EXPECT_EQ(db.rows(QString::fromUtf8(c.jet)).join(u';').toStdString(), c.expected)
                    << lg::jetsql::translate(QString::fromUtf8(c.jet))->sql.toStdString();
            } catch (const std::exception& e) {
                ADD_FAILURE() << e.what();
            }
        }
    }

    // Each statement runs into Jet's error: the engine's message carries it.
    void expectErrors(std::initializer_list<ErrorCase> cases)
    {
        for (const ErrorCase& c : cases) {
            SCOPED_TRACE(c.jet);
            const QString jet = QString::fromUtf8(c.jet);
            try {
                if (jet.startsWith(QLatin1String("SELECT")))
                    db.rows(jet);
                else
                    db.exec(jet);
                ADD_FAILURE() << "no error";
            } catch (const std::runtime_error& e) {
                QString message = QString::fromUtf8(e.what());
                message = message.left(message.indexOf(QLatin1String(" in: ")));
                EXPECT_EQ(lg::jetsql::jetErrorNumber(message), c.number) << e.what();
            }
        }
    }

    SqliteTestDb db;
};

using namespace lg::jetsql;

TEST_F(JetStatements, RunTimeErrorsAreRaisedWithJetsNumbers)
{
    expectErrors({
        {"SELECT 1/0", jeterr::DivisionByZero},
        {"SELECT 0/0", jeterr::DivisionByZero},
        {"SELECT n / (n - 1) FROM t", jeterr::DivisionByZero},
        {"SELECT 5 \\ 0", jeterr::DivisionByZero},
        {"SELECT 5 Mod 0.4", jeterr::DivisionByZero},
        {"SELECT CInt(40000)", jeterr::Overflow},
        {"SELECT CInt(-32769)", jeterr::Overflow},
        {"SELECT CLng(3000000000)", jeterr::Overflow},
        {"SELECT CByte(256)", jeterr::Overflow},
        {"SELECT CByte(-1)", jeterr::Overflow},
        {"SELECT 1E308*10", jeterr::Overflow},
        {"SELECT 1E308/0.1", jeterr::Overflow},
        // Whole-number arguments beyond any 64-bit number.
        {"SELECT Left('abc', 1E20)", jeterr::Overflow},
        {"SELECT Mid('abc', 2, -1E20)", jeterr::Overflow},
        {"SELECT 5 \\ 1E19", jeterr::Overflow},
        {"SELECT 1E300 Mod 7", jeterr::Overflow},
        {"SELECT (SELECT n FROM t WHERE n > 2)", jeterr::AtMostOneRecord},
        {"SELECT s FROM t WHERE n = (SELECT n FROM t)", jeterr::AtMostOneRecord},
        {"SELECT 'abc' * 2", jeterr::CriteriaTypeMismatch},
        {"SELECT Round(1.5, -1)", jeterr::InvalidCall},
        {"SELECT Asc('')", jeterr::InvalidCall},
    });
    // Jet's own texts, which the database layer turns back into the numbers.
    EXPECT_EQ(jetErrorNumber(QStringLiteral("Division by zero.")), 11);
    EXPECT_EQ(jetErrorNumber(QStringLiteral("Overflow.")), 6);
    EXPECT_EQ(jetErrorNumber(QStringLiteral("At most one record can be returned by this subquery.")), 3354);
    EXPECT_EQ(jetErrorNumber(QStringLiteral("parser stack overflow")), 3360);
    EXPECT_EQ(jetErrorNumber(QStringLiteral("no such table: x")), 0);
}

TEST_F(JetStatements, ConversionsInRangeAndSubqueriesOfOneRow)
{
    expectValues({
        {"CInt(32767)", "32767"},
        {"CInt(4.5)", "4"},
        {"CInt(-32768.4)", "-32768"},
        {"CLng(5.5)", "6"},
        {"CLng(2147483647)", "2147483647"},
        {"CLng(#1/5/2024 10:30#)", "45296"},
        {"CLng(#1/5/2024 18:00#)", "45297"},
        {"CByte(125.5678)", "126"},
        {"CByte('13.7')", "14"},
        {"CCur(1086.429176)", "1086.4292"},
        {"CCur('57.12346')", "57.1235"},
        {"CSng(8.53453543)", "8.534535"},
        {"CBool(5)", "-1"},
        {"CBool(0)", "0"},
        {"CBool('1')", "-1"},
        {"CBool('False')", "0"},
        {"CDate(45300)", "2024-01-09 00:00:00"},
        {"CDate(3013.45)", "1908-03-31 10:48:00"},
        {"CDate('1/2/2003 7:00:00 AM')", "2003-01-02 07:00:00"},
        {"5 / 2", "2.5"},
        {"6 * 7", "42"},
        {"n * 2 FROM t WHERE n = 3", "6"},
        {"(SELECT n FROM t WHERE n = 3)", "3"},
        {"(SELECT n FROM t WHERE n = 99)", "NULL"},
        {"(SELECT Max(n) FROM t)", "4"},
        {"(SELECT TOP 1 n FROM t ORDER BY n DESC)", "4"},
        {"(SELECT s FROM t WHERE n = 4)", "NULL"},
    });
    expectRows({
        // A correlated subquery of one row per outer row.
        {"SELECT n, (SELECT t2.n * 10 FROM t AS t2 WHERE t2.n = t.n) FROM t WHERE n < 3", "1|10;2|20"},
        {"SELECT n FROM t WHERE n = (SELECT n FROM t WHERE s = 'körte')", "3"},
    });
}

TEST_F(JetStatements, TopBelongsToItsOwnSelectInAUnion)
{
    expectRows({
        {"SELECT TOP 1 n FROM t WHERE n < 3 UNION ALL SELECT TOP 1 n FROM t WHERE n > 2", "1;3"},
        {"SELECT n FROM t WHERE n < 3 UNION ALL SELECT TOP 1 n FROM t WHERE n > 2", "1;2;3"},
        {"SELECT TOP 1 n FROM t WHERE n < 3 UNION ALL SELECT n FROM t WHERE n > 2 ORDER BY n DESC", "4;3;1"},
        {"SELECT TOP 2 n FROM t UNION SELECT TOP 1 n FROM t WHERE n = 4 ORDER BY n", "1;2;4"},
        {"SELECT TOP 50 PERCENT n FROM t UNION ALL SELECT TOP 1 n FROM t WHERE n = 4", "1;2;4"},
        // Without a union TOP still follows the ORDER BY.
        {"SELECT TOP 2 n FROM t ORDER BY n DESC", "4;3"},
    });
}

TEST_F(JetStatements, InsertAndUpdateEnforceTheDeclaredTypes)
{
    db.exec(QStringLiteral("CREATE TABLE k (id COUNTER, b BYTE, sh SHORT, l LONG, y YESNO, m MEMO, x DECIMAL(10, 2))"));
    expectErrors({
        {"INSERT INTO t (s, n, d) VALUES ('toolongtext', 'abc', 'not a date')", jeterr::FieldTooSmall},
        {"INSERT INTO t (s) VALUES ('toolong')", jeterr::FieldTooSmall},
        {"INSERT INTO t VALUES ('ok', 1, #1/1/2024#, 'much')", jeterr::ConversionError},
        {"INSERT INTO t (n) VALUES ('abc')", jeterr::ConversionError},
        {"INSERT INTO t (n) VALUES (3000000000)", jeterr::ConversionError},
        {"INSERT INTO t (d) VALUES ('not a date')", jeterr::ConversionError},
        {"INSERT INTO t (d) VALUES ('2024-02-30 00:00:00')", jeterr::ConversionError},
        {"INSERT INTO t (s) VALUES ('ééééé_')", jeterr::FieldTooSmall},
        {"INSERT INTO k (sh) VALUES (100000)", jeterr::ConversionError},
        {"INSERT INTO k (b) VALUES (300)", jeterr::ConversionError},
        {"INSERT INTO k (b) VALUES (-1)", jeterr::ConversionError},
        {"INSERT INTO k (y) VALUES ('maybe')", jeterr::ConversionError},
        {"UPDATE t SET s = s & s WHERE n = 3", jeterr::FieldTooSmall},
        {"UPDATE t SET n = 'abc'", jeterr::ConversionError},
        {"INSERT INTO t (s, n) SELECT s & s, n FROM t WHERE n = 1", jeterr::FieldTooSmall},
        {"INSERT INTO t (n) SELECT 1E10 FROM t WHERE n = 1", jeterr::ConversionError},
    });
    // Nothing of the refused statements was written.
    expectRows({{"SELECT Count(*) FROM t", "4"}, {"SELECT Count(*) FROM k", "0"}});

    db.exec(QStringLiteral("INSERT INTO k (b, sh, l, y, m, x) VALUES (255, -32768, 1.7, 0.5, 'hosszú szöveg', 1.25)"));
    db.exec(QStringLiteral("INSERT INTO k (b, sh, l, y) VALUES ('7', 2.5, '3.5', 'True')"));
    db.exec(QStringLiteral("INSERT INTO t VALUES ('abcde', '12', '1/9/2024', '1.5')"));
    db.exec(QStringLiteral("INSERT INTO t (s, d) VALUES ('ééééé', '2024-02-29 23:59:59')"));
    db.exec(QStringLiteral("INSERT INTO t (n, d) VALUES (2.5, 45300.5)"));
    db.exec(QStringLiteral("UPDATE t SET n = n + 0.5 WHERE s = 'körte'"));
    expectRows({
        {"SELECT b, sh, l, y, m, x FROM k ORDER BY id", "255|-32768|2|-1|hosszú szöveg|1.25;7|2|4|-1|NULL|NULL"},
        {"SELECT s, n, d, c FROM t WHERE s = 'abcde'", "abcde|12|2024-01-09 00:00:00|1.5"},
        {"SELECT n, d FROM t WHERE s IS NULL AND d IS NOT NULL", "2|2024-01-09 12:00:00"},
        {"SELECT n FROM t WHERE s = 'körte'", "4"},  // 3.5 to even
        {"SELECT d FROM t WHERE s = 'ééééé'", "2024-02-29 23:59:59"},
    });

    // Currency keeps four decimals, rounded half to even, as the recordset does.
    db.exec(QStringLiteral("INSERT INTO t (s, c) VALUES ('cur', 1.23456789)"));
    db.exec(QStringLiteral("INSERT INTO t (s, c) VALUES ('half', 0.00005)"));
    db.exec(QStringLiteral("UPDATE t SET c = c / 3 WHERE n = 1"));
    expectRows({
        {"SELECT c FROM t WHERE s = 'cur'", "1.2346"},
        {"SELECT c FROM t WHERE s = 'half'", "0"},
        {"SELECT c FROM t WHERE n = 1", "0.4167"},
    });
    expectErrors({{"INSERT INTO t (c) VALUES ('sok')", jeterr::ConversionError}});
    EXPECT_EQ(db.nativeRows(QStringLiteral("SELECT typeof(n) FROM t WHERE s = 'abcde'")).join(u';'),
              QStringLiteral("integer"));
}

TEST_F(JetStatements, LongChainsRunAndDeepNestingIsRefusedClearly)
{
    auto chain = [](const QString& first, const QString& op, int terms, auto term) {
        QString s = first;
        for (int k = 1; k < terms; ++k)
            s += op + term(k);
        return s;
    };
    // 10,000 terms of +, OR and &: no crash, and the engine runs them.
    const QString sum = chain(QStringLiteral("1"), QStringLiteral("+"), 10000, [](int) { return QStringLiteral("1"); });
    EXPECT_EQ(db.eval(sum), QStringLiteral("10000"));
    const QString ors = QStringLiteral("SELECT n FROM t WHERE ") +
                        chain(QStringLiteral("n = 0"), QStringLiteral(" OR "), 10000,
                              [](int k) { return QStringLiteral("n = %1").arg(k); }) +
                        QStringLiteral(" ORDER BY n");
    EXPECT_EQ(db.rows(ors).join(u';'), QStringLiteral("1;2;3;4"));
    const QString ands = QStringLiteral("SELECT n FROM t WHERE ") +
                         chain(QStringLiteral("n > 0"), QStringLiteral(" AND "), 5000,
                               [](int k) { return QStringLiteral("n < %1").arg(k + 10); });
    EXPECT_EQ(db.rows(ands).join(u';'), QStringLiteral("1;2;3;4"));
    const QString text = chain(QStringLiteral("'a'"), QStringLiteral(" & "), 10000, [](int) { return QStringLiteral("'b'"); });
    EXPECT_EQ(db.eval(QStringLiteral("Len(") + text + u')'), QStringLiteral("10000"));
    // A short chain keeps its order: + on text concatenates left to right.
    EXPECT_EQ(db.eval(QStringLiteral("'a' + 'b' + 'c'")), QStringLiteral("abc"));
    EXPECT_EQ(db.eval(QStringLiteral("10 - 2 - 3")), QStringLiteral("5"));

    // What cannot be grouped is refused with a clear error, never a crash.
    lg::jetsql::test::expectSyntaxErrors({
        {"SELECT 1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-"
         "1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-"
         "1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-"
         "1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1",
         "too complex"},
    });
    for (const QString& deep : QStringList{QStringLiteral("SELECT ") + QString(5000, u'(') + u'1' + QString(5000, u')'),
                                QStringLiteral("SELECT ") + chain(QStringLiteral("n"), QStringLiteral(" - "), 10000,
                                                                  [](int) { return QStringLiteral("n"); }) +
                                    QStringLiteral(" FROM t"),
                                QStringLiteral("SELECT ") + QString(3000, u'-') + u'1',
                                QStringLiteral("SELECT ") + QStringLiteral("NOT ").repeated(3000) + u'1',
                                QStringLiteral("SELECT ") + QStringLiteral("Abs(").repeated(3000) + u'1' +
                                    QString(3000, u')')}) {
        try {
            translate(deep);
            ADD_FAILURE() << "no error";
        } catch (const lg::RuntimeError& e) {
            EXPECT_EQ(e.number(), lg::errnum::SyntaxError);
        }
    }
    // SQLite would read a statement only up to a NUL and run what is left.
    lg::jetsql::test::expectSyntaxErrors({
        {"SELECT [a].[b].[c].[d] FROM t", "one table name"},
        {"SELECT a.b.c FROM t", "one table name"},
        {"SELECT *- OM t", "whole select item"},
        {"SELECT t.* + 1 FROM t", "whole select item"},
        {"SELECT n FROM t WHERE * = 1", "whole select item"},
        {"SELECT -* FROM t", "whole select item"},
        {"SELECT * id, n FROM t", "cannot be given a name"},
        {"SELECT t.* AS x FROM t", "cannot be given a name"},
    });
    // Where '*' belongs it still reads.
    EXPECT_NO_THROW(translate(QStringLiteral("SELECT *, t.*, Count(*) AS c, (SELECT Max(n) FROM t) + 1 FROM t")));
    EXPECT_NO_THROW(translate(QStringLiteral("SELECT (SELECT * FROM u) AS x, n FROM t")));
    const QStringList cutShort = {QStringLiteral("DELETE * FROM t WHERE n = 1") + QChar(0) + QStringLiteral(" AND n = 2"),
                                  QStringLiteral("SELECT 'a") + QChar(0) + QStringLiteral("b'")};
    for (const QString& cut : cutShort) {
        try {
            translate(cut);
            ADD_FAILURE() << "no error";
        } catch (const lg::RuntimeError& e) {
            EXPECT_EQ(e.number(), lg::errnum::SyntaxError);
            EXPECT_TRUE(e.description().contains(QStringLiteral("NUL"))) << e.description().toStdString();
        }
    }
}

TEST_F(JetStatements, DateFunctions)
{
    expectValues({
        {"DateAdd('m', 1, #1/31/1995#)", "1995-02-28 00:00:00"},
        {"DateAdd('m', 1, #1/31/1996#)", "1996-02-29 00:00:00"},
        {"DateAdd('q', 1, #11/22/2003 5:45:13 AM#)", "2004-02-22 05:45:13"},
        {"DateAdd('h', 30, #5:45:13 AM#)", "1899-12-31 11:45:13"},
        {"DateAdd('W', 43, #11/22/2003 10:42:58 PM#)", "2004-01-04 22:42:58"},
        {"DateAdd('yyyy', -1, #2/29/2024#)", "2023-02-28 00:00:00"},
        {"DateAdd('ww', 2, #1/1/2024#)", "2024-01-15 00:00:00"},
        {"DateAdd('d', 1.5, #1/1/2024#)", "2024-01-03 00:00:00"},
        {"DateAdd('n', 90, d) FROM t WHERE n = 1", "2024-01-05 12:00:00"},
        {"DateAdd('d', 1, NULL)", "NULL"},
        {"DateDiff('m', #10/22/2003#, #11/01/2003#)", "1"},
        {"DateDiff('q', #3/1/2003#, #11/22/2003#)", "3"},
        {"DateDiff('yyyy', #12/31/2003#, #1/1/2004#)", "1"},
        {"DateDiff('d', #10/22/2003 11 PM#, #10/23/2003 1 AM#)", "1"},
        {"DateDiff('d', #1/1/2000#, #1/1/2001#)", "366"},
        {"DateDiff('d', #1/1/2001#, #1/1/2000#)", "-366"},
        {"DateDiff('h', #1:37#, #2:15#)", "1"},
        {"DateDiff('n', #1:37:59#, #1:38:00#)", "1"},
        {"DateDiff('s', #1:37:59#, #1:38:00#)", "1"},
        {"DateDiff('w', #11/3/2018#, #11/10/2018#)", "1"},
        {"DateDiff('w', #3/22/2003#, #11/1/2003#)", "32"},
        {"DateDiff('ww', #12/31/2017#, #1/1/2018#)", "0"},
        {"DateDiff('ww', #12/31/2017#, #1/1/2018#, 2)", "1"},
        {"DateDiff('ww', #1/1/2000#, #1/1/2001#)", "53"},
        {"DateDiff('d', d, #1/9/2024#) FROM t WHERE n = 1", "4"},
        {"DatePart('y', #11/22/2003#)", "326"},
        {"DatePart('w', #11/22/2003#)", "7"},
        {"DatePart('w', #11/22/2003#, 5)", "3"},
        {"DatePart('ww', #1/3/2018#)", "1"},
        {"DatePart('ww', #1/3/2018#, 4)", "2"},
        {"DatePart('ww', #1/3/2018#, 5, 3)", "52"},
        {"DatePart('ww', #1/3/2018#, 5, 2)", "53"},
        {"DatePart('ww', #11/22/1992#)", "48"},
        {"DatePart('q', #8/1/2024#)", "3"},
        {"DatePart('h', d) FROM t WHERE n = 1", "10"},
        {"DateSerial(1990 - 10, 8 - 2, 1 - 1)", "1980-05-31 00:00:00"},
        {"DateSerial(2014, -5, 12)", "2013-07-12 00:00:00"},
        {"DateSerial(2014, -5, 38)", "2013-08-07 00:00:00"},
        {"DateSerial(69, 2, 12)", "1969-02-12 00:00:00"},
        {"DateSerial(10, 2, 12)", "2010-02-12 00:00:00"},
        {"TimeSerial(12 - 6, -15, 0)", "1899-12-30 05:45:00"},
        {"TimeSerial(0, 75, 0)", "1899-12-30 01:15:00"},
        {"DateValue(#11/22/2003 10:42:58 PM#)", "2003-11-22 00:00:00"},
        {"DateValue('1/2/2003')", "2003-01-02 00:00:00"},
        {"TimeValue('2:24PM')", "1899-12-30 14:24:00"},
        {"Hour(#7:10:27 PM#)", "19"},
        {"Minute(#7:10:27 PM#)", "10"},
        {"Second(#7:10:27 PM#)", "27"},
        {"Hour(NULL)", "NULL"},
        {"Weekday(#2/12/1969#)", "4"},
        {"Weekday(#11/22/2003#, 5)", "3"},
        {"Weekday(#11/22/2003#, 7)", "1"},
    });
}

TEST_F(JetStatements, FormatNamedAndCustom)
{
    expectValues({
        {"Format(#17:04:23#, 'h:m:s')", "17:4:23"},
        {"Format(#17:04:23#, 'hh:mm:ss AM/PM')", "05:04:23 PM"},
        {"Format(#1/27/1993#, 'dddd, mmm d yyyy')", "Wednesday, Jan 27 1993"},
        {"Format(#1/2/2003#, 'yyyy-mm-dd')", "2003-01-02"},
        {"Format(#1/2/2003#, 'dd.mm.yy')", "02.01.03"},
        {"Format(#1/2/2003#, 'mmmm q y')", "January 1 2"},
        {"Format(#1/2/2003#, '\\Y\\e\\a\\r yyyy')", "Year 2003"},
        {"Format(#1/2/2003#, '\"Day\" d')", "Day 2"},
        {"Format(#1/2/2003 7:00#, 'General Date')", "1/2/2003 7:00:00 AM"},
        {"Format(#1/2/2003#, 'General Date')", "1/2/2003"},
        {"Format(#7:00#, 'General Date')", "7:00:00 AM"},
        {"Format(#1/2/2003#, 'Long Date')", "Thursday, January 02, 2003"},
        {"Format(#1/2/2003#, 'Medium Date')", "02-Jan-03"},
        {"Format(#1/2/2003#, 'Short Date')", "1/2/2003"},
        {"Format(#7:00#, 'Long Time')", "7:00:00 AM"},
        {"Format(#7:00#, 'Medium Time')", "07:00 AM"},
        {"Format(#19:00#, 'Short Time')", "19:00"},
        {"Format(d, 'yyyy.mm.dd hh:nn') FROM t WHERE n = 1", "2024.01.05 10:30"},
        {"Format(13, '0')", "13"},
        {"Format(0.003, '0')", "0"},
        {"Format(-45, '0')", "-45"},
        {"Format(334.9, '0.00')", "334.90"},
        {"Format(334.9, '###0.00')", "334.90"},
        {"Format(11111210.6, '#,##0.00')", "11,111,210.60"},
        {"Format(5459.4, '#,##0.00')", "5,459.40"},
        {"Format(5, '0.00%')", "500.00%"},
        {"Format(1234567, '#,##0,')", "1,235"},
        {"Format(-5, '0.0;(0.0)')", "(5.0)"},
        {"Format(0, '0.0;(0.0);\"zero\"')", "zero"},
        {"Format(NULL, '0;0;0;\"none\"')", "none"},
        {"Format(2.345, '0.00')", "2.35"},
        {"Format(12345.6789, 'General Number')", "12345.6789"},
        {"Format(12345.678, 'Currency')", "$12,345.68"},
        {"Format(-12345.678, 'Currency')", "($12,345.68)"},
        {"Format(12345.678, 'Fixed')", "12345.68"},
        {"Format(-0.12345, 'Fixed')", "-0.12"},
        {"Format(12345.678, 'Standard')", "12,345.68"},
        {"Format(0.981, 'Percent')", "98.10%"},
        {"Format(12345.6789, 'Scientific')", "1.23E+04"},
        {"Format(0, 'Yes/No')", "No"},
        {"Format(-1, 'True/False')", "True"},
        {"Format(3, 'On/Off')", "On"},
        {"Format(12.5)", "12.5"},
        {"Format('text')", "text"},
        {"Format(NULL)", "NULL"},
        {"Format(c, '#,##0.00 Ft') FROM t WHERE n = 1", "1.25 Ft"},
    });
}

TEST_F(JetStatements, TextNumberAndChoiceFunctions)
{
    expectValues({
        {"Round(0.5)", "0"},
        {"Round(1.5)", "2"},
        {"Round(2.5)", "2"},
        {"Round(0.12345, 4)", "0.1234"},
        {"Round(0.12355, 4)", "0.1236"},
        {"Round(2.385, 2)", "2.38"},
        {"Round(7)", "7"},
        {"Round(NULL, 2)", "NULL"},
        {"Replace('foo', 'o', 'a', 2)", "aa"},
        {"Replace('fooboooo', 'OO', 'ahha', 1, 1)", "fahhaboooo"},
        {"Replace('fOo', 'o', 'a')", "faa"},
        {"Replace('fOo', 'o', 'a', 1, -1, 0)", "fOa"},
        {"Replace('abc', '', 'x')", "abc"},
        {"Replace('abc', 'b', 'x', 5)", ""},
        {"Switch(n = 1, 'one', n = 2, 'two') FROM t WHERE n = 2", "two"},
        {"Switch(n = 1, 'one', n = 2, 'two') FROM t WHERE n = 3", "NULL"},
        {"Choose(2, 'a', 'b', 'c')", "b"},
        {"Choose(2.5, 'a', 'b', 'c')", "b"},
        {"Choose(4, 'a', 'b', 'c')", "NULL"},
        {"Choose(0, 'a', 'b', 'c')", "NULL"},
        {"Chr(65)", "A"},
        {"Chr(245)", "ő"},
        {"ChrW(9786)", "☺"},
        {"Asc('A')", "65"},
        {"Asc('1')", "49"},
        {"Asc('ő')", "245"},
        {"AscW('ő')", "337"},
        {"StrComp('FOO', 'foo')", "0"},
        {"StrComp('FOO', 'foo', 0)", "-1"},
        {"StrComp('bar', 'FOO', 0)", "1"},
        {"StrComp('ábel', 'Béla')", "-1"},
        {"StrComp(NULL, 'a')", "NULL"},
        {"'[' & Space(3) & ']'", "[   ]"},
        {"String(3, 'd')", "ddd"},
        {"String(3, 'dog')", "ddd"},
        {"String(2, 65)", "AA"},
        {"'[' & LTrim('  a  ') & ']'", "[a  ]"},
        {"'[' & RTrim('  a  ') & ']'", "[  a]"},
    });
    expectRows({
        {"SELECT First(n), Last(n) FROM (SELECT TOP 4 n FROM t ORDER BY n)", "1|4"},
        {"SELECT StDev(n), Var(n), VarP(n) FROM t", "1.29099444873581|1.66666666666667|1.25"},
        {"SELECT StDevP(n) FROM t WHERE n = 1", "0.0"},
        {"SELECT StDev(n) FROM t WHERE n = 1", "NULL"},
        {"SELECT s FROM t WHERE Asc(s) = 107", "körte"},
    });
    lg::jetsql::test::expectSyntaxErrors({
        {"SELECT Switch(1, 2, 3)", "Wrong number of arguments"},
        {"SELECT Round()", "Wrong number of arguments"},
    });
}

TEST_F(JetStatements, AlterTableAndMoreColumnTypes)
{
    db.exec(QStringLiteral("CREATE TABLE a (id LONG, amount DECIMAL(12, 2), picture LONGBINARY, small BYTE)"));
    db.exec(QStringLiteral("ALTER TABLE a ADD COLUMN note TEXT(3)"));
    db.exec(QStringLiteral("ALTER TABLE a ADD flag YESNO DEFAULT 0"));
    db.exec(QStringLiteral("ALTER TABLE a ADD CONSTRAINT pk PRIMARY KEY (id)"));
    db.exec(QStringLiteral("INSERT INTO a (id, amount, small, note) VALUES (1, 12.5, 200, 'abc')"));
    expectRows({
        {"SELECT id, amount, small, note, flag FROM a", "1|12.5|200|abc|0"},
    });
    EXPECT_EQ(db.nativeRows(QStringLiteral("SELECT type FROM pragma_table_info('a') ORDER BY cid")).join(u';'),
              QStringLiteral("LONG;DECIMAL(12, 2);LONGBINARY;BYTE;TEXT(3);YESNO"));
    expectErrors({
        {"INSERT INTO a (id) VALUES (1)", 0},  // the key made by ADD CONSTRAINT
        {"INSERT INTO a (id, note) VALUES (2, 'abcd')", jeterr::FieldTooSmall},
        {"INSERT INTO a (id, small) VALUES (3, 256)", jeterr::ConversionError},
    });
    db.exec(QStringLiteral("ALTER TABLE a DROP CONSTRAINT pk"));
    db.exec(QStringLiteral("INSERT INTO a (id) VALUES (1)"));
    db.exec(QStringLiteral("ALTER TABLE a DROP COLUMN note"));
    EXPECT_EQ(db.nativeRows(QStringLiteral("SELECT count(*) FROM pragma_table_info('a')")).join(u';'),
              QStringLiteral("5"));
    EXPECT_EQ(translate(QStringLiteral("ALTER TABLE a ADD COLUMN x LONG"))->kind, StatementKind::AlterTable);
    lg::jetsql::test::expectSyntaxErrors({
        {"ALTER TABLE a", "expected ADD or DROP"},
        {"ALTER TABLE a ADD COLUMN x COUNTER", "cannot be added"},
        {"CREATE TABLE b (x DECIMAL(2, 5))", "scale"},
    });
}

}  // namespace

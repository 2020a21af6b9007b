// Jet's meaning of values on the table t(s TEXT(5), n LONG, d DATETIME,
// c CURRENCY): dates are day numbers, Currency is exact to four decimals,
// text expressions keep the Hungarian case-insensitive order, and the logical
// operators are logical with three-valued Null.

#include "sqlitetestdb.h"

#include "platform/jetsql/jetvalues.h"
#include "platform/runtimeerror.h"

#include <gtest/gtest.h>

#include <cmath>

using lg::jetsql::test::SqliteTestDb;

namespace {

struct ValueCase {
    const char* jet;  // an expression, or a SELECT
    const char* expected;  // the rows, each "v1|v2", joined by ", "
};

class JetValues : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec(QStringLiteral("CREATE TABLE t (s TEXT(5), n LONG, d DATETIME, c CURRENCY)"));
        const char* const rows[] = {
            "INSERT INTO t VALUES ('alma', 1, #1/5/2024 10:30#, 0.1)",
            "INSERT INTO t VALUES ('Alma', 2, #1/9/2024#, 0.2)",
            "INSERT INTO t VALUES ('körte', 3, #1/10/2024 18:00#, 1.2346)",
            "INSERT INTO t VALUES (NULL, NULL, NULL, NULL)",
            "INSERT INTO t VALUES ('Zsák', 5, #12:00#, 2.5)",
            "INSERT INTO t VALUES ('Ábel', 6, #2/29/2024#, 0.7)",
            "INSERT INTO t VALUES ('banán', 7, #3/1/2024#, 0.3)",
        };
        for (const char* r : rows)
            db.exec(QString::fromUtf8(r));
    }

    QString run(const char* jet)
    {
        const QString text = QString::fromUtf8(jet);
        if (text.startsWith(QLatin1String("SELECT ")))
            return db.rows(text).join(QStringLiteral(", "));
        return db.eval(text);
    }

    void expectAll(std::initializer_list<ValueCase> cases)
    {
        for (const ValueCase& c : cases) {
            SCOPED_TRACE(c.jet);
            try {
                EXPECT_EQ(run(c.jet).toStdString(), c.expected);
            } catch (const lg::RuntimeError& e) {
                ADD_FAILURE() << e.description().toStdString();
            } catch (const std::exception& e) {
                ADD_FAILURE() << e.what();
            }
        }
    }

    SqliteTestDb db;
};

TEST_F(JetValues, DatesAreDayNumbers)
{
    expectAll({
        // Comparisons with numbers, on columns (either side) and literals.
        {"SELECT n FROM t WHERE d > 45300 ORDER BY n", "3, 6, 7"},
        {"SELECT n FROM t WHERE d >= 45300 ORDER BY n", "2, 3, 6, 7"},
        {"SELECT n FROM t WHERE d < 45300 ORDER BY n", "1, 5"},
        {"SELECT n FROM t WHERE d <= 45296.4375 ORDER BY n", "1, 5"},
        {"SELECT n FROM t WHERE 45300 <= d ORDER BY n", "2, 3, 6, 7"},
        {"SELECT n FROM t WHERE d > 0.25 AND d < 1 ORDER BY n", "5"},
        {"SELECT n FROM t WHERE d BETWEEN 45296 AND 45300 ORDER BY n", "1, 2"},
        {"SELECT n FROM t WHERE d NOT BETWEEN 45296 AND 45300 ORDER BY n", "3, 5, 6, 7"},
        {"SELECT n FROM t WHERE d > 1E10", ""},
        {"SELECT Max(d) > 45300, Min(d) < 1 FROM t", "-1|-1"},
        {"SELECT n FROM t WHERE d > Len('abc') * 15100 ORDER BY n", "3, 6, 7"},
        {"SELECT n FROM t WHERE d BETWEEN Len('abc') * 15100 AND 45296 ORDER BY n", "1, 2"},
        {"SELECT count(*) FROM t WHERE (SELECT Max(d) FROM t) >= 45352", "7"},
        {"SELECT n FROM t WHERE Nz(d, 0) BETWEEN 1 AND 0 ORDER BY n", "NULL, 5"},
        {"SELECT count(*) FROM t WHERE d < 1E10", "6"},
        // Numbers and texts in their own columns compare as before.
        {"SELECT n FROM t WHERE n > 2 ORDER BY n", "3, 5, 6, 7"},
        {"SELECT n FROM t WHERE n <= 2 ORDER BY n", "1, 2"},
        {"SELECT n FROM t WHERE c < 0.3 ORDER BY n", "1, 2"},
        {"SELECT n FROM t WHERE d > #1/9/2024# ORDER BY n", "3, 6, 7"},
        {"#1/5/2024# > 50000", "0"},
        {"#1/9/2024# = 45300", "-1"},
        {"45299.5 < #1/9/2024#", "-1"},
        {"now() > 45000", "-1"},
        {"date() - 30 < date()", "-1"},
        // Arithmetic: date and number give a date, date minus date a number.
        {"#1/2/2003# + #7:00#", "2003-01-02 07:00:00"},
        {"#1/2/2003# + '37'", "2003-02-08 00:00:00"},
        {"#1/9/2024# - #1/5/2024 12:00#", "3.5"},
        {"#1/9/2024# * 1", "45300.0"},
        {"#1/9/2024 12:00# / 2", "22650.25"},
        {"-#1/9/2024#", "-45300.0"},
        {"SELECT d + #12:00#, d - 1, d * 1, d - #1/5/2024# FROM t WHERE n = 2",
         "2024-01-09 12:00:00|2024-01-08 00:00:00|45300.0|4.0"},
        {"SELECT d + 0.5 FROM t WHERE n = 5", "1899-12-31 00:00:00"},
        // Conversions and Int/Fix, which keep a date a date.
        {"CDbl(#1/9/2024 12:00#)", "45300.5"},
        {"CLng(#1/5/2024 10:30#)", "45296"},
        {"CLng(#1/5/2024 18:00#)", "45297"},
        {"CInt(#1/2/1900#)", "3"},
        {"Int(#1/5/2024 10:30#)", "2024-01-05 00:00:00"},
        {"Fix(#1/5/2024 10:30#)", "2024-01-05 00:00:00"},
        {"Int(#1/5/2024 10:30#) = #1/5/2024#", "-1"},
        {"SELECT n FROM t WHERE Int(d) = #1/5/2024#", "1"},
        {"SELECT CDbl(d), CLng(d) FROM t WHERE n = 5", "0.5|0"},
        // Aggregates of dates: Sum and Avg of day numbers, Min and Max dates.
        {"SELECT Sum(d), Avg(d), Min(d), Max(d) FROM t WHERE n IN (1, 2)",
         "90596.4375|45298.21875|2024-01-05 10:30:00|2024-01-09 00:00:00"},
    });
}

// The common conditions stay single SQLite comparisons on a bare column, so
// they keep their index and their speed.
TEST(JetValueTranslation, PlainComparisonsStayPlain)
{
    const struct {
        const char* where;
        const char* sql;
    } cases[] = {
        {"n = 5", "WHERE (\"n\" = 5)"},
        {"n <> -1", "WHERE (\"n\" <> -1)"},
        {"d > #1/9/2024#", "WHERE (\"d\" > '2024-01-09 00:00:00')"},
        {"d BETWEEN #1/9/2024# AND #1/1/2024#", "WHERE (\"d\" BETWEEN '2024-01-01 00:00:00' AND '2024-01-09 00:00:00')"},
        {"s = 'alma'", "WHERE (\"s\" = ('alma' COLLATE JET))"},
        {"n > 2 AND s < 'b'", "WHERE ((\"n\" > 2 AND (\"n\" < '' OR \"n\" > '1900-01-01 00:00:00')) AND (\"s\" < ('b' COLLATE JET)))"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        const QString sql = lg::jetsql::translate(QStringLiteral("SELECT n FROM t WHERE ") + QString::fromUtf8(c.where))->sql;
        EXPECT_TRUE(sql.endsWith(QString::fromUtf8(c.sql))) << sql.toStdString();
    }
}

TEST_F(JetValues, CurrencyIsExactToFourDecimals)
{
    expectAll({
        {"SELECT Sum(c), Sum(c) = 0.3, Avg(c) FROM t WHERE n IN (1, 2)", "0.3|-1|0.15"},
        {"SELECT a.c + b.c, a.c + b.c = 0.3, b.c - a.c - 0.1 FROM t AS a, t AS b WHERE a.n = 1 AND b.n = 2",
         "0.3|-1|0.0"},
        {"SELECT c * 3, c * 3 = 0.3, c - 0.3, c * c FROM t WHERE n = 1", "0.3|-1|-0.2|0.01"},
        {"SELECT c * 1.5 FROM t WHERE n = 3", "1.8519"},
        {"SELECT Sum(c), Min(c), Max(c) FROM t", "5.0346|0.1|2.5"},
        {"SELECT n FROM t WHERE c = 0.3", "7"},
        // Whole numbers stay whole; an empty set sums to Null.
        {"SELECT Sum(n), Avg(n) FROM t", "24|4.0"},
        {"SELECT Sum(c) FROM t WHERE n > 100", "NULL"},
    });
    // Ten lines of 0.1 add up to exactly 1.
    db.exec(QStringLiteral("CREATE TABLE lines (amount CURRENCY)"));
    for (int i = 0; i < 10; ++i)
        db.exec(QStringLiteral("INSERT INTO lines VALUES (0.1)"));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT Sum(amount), Sum(amount) = 1 FROM lines")),
              QStringList{QStringLiteral("1.0|-1")});
    // A text that is not a number cannot be summed.
    EXPECT_THROW(db.rows(QStringLiteral("SELECT Sum(s) FROM t")), std::runtime_error);
}

TEST(JetCurrency, DecimalArithmetic)
{
    using namespace lg::jetsql;
    struct Case {
        double value;
        std::optional<double> currency;
    } storage[] = {
        {1.23456789, 1.2346}, {0.12345, 0.1234}, {0.12355, 0.1236}, {-2.00005, -2.0}, {0.1, 0.1},
        {1e15, std::nullopt}, {NAN, std::nullopt},
    };
    for (const Case& c : storage) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(toCurrency(c.value), c.currency);
    }
    EXPECT_EQ(exactSum(0.1, 0.2), 0.3);
    EXPECT_EQ(exactDifference(0.3, 0.1), 0.2);
    EXPECT_EQ(exactProduct(0.1, 3), 0.3);
    EXPECT_EQ(exactProduct(1.1, 1.1), 1.21);
    EXPECT_EQ(exactSum(0.1, 1.0 / 3), std::nullopt);  // more than four decimals: plain doubles
    EXPECT_EQ(exactSum(kCurrencyMax, kCurrencyMax), std::nullopt);
    EXPECT_EQ(scaledDecimal(-0.0001), -1);
    EXPECT_EQ(scaledDecimal(0.00011), std::nullopt);
}

TEST_F(JetValues, TextExpressionsCollateLikeColumns)
{
    expectAll({
        {"SELECT s & '' AS u FROM t WHERE n <> 2 ORDER BY u", "Ábel, alma, banán, körte, Zsák"},
        {"SELECT s & '' AS u FROM t WHERE n <> 2 ORDER BY 1 DESC", "Zsák, körte, banán, alma, Ábel"},
        {"SELECT n, Nz(s, '') FROM t WHERE n <> 2 ORDER BY 2", "6|Ábel, 1|alma, 7|banán, 3|körte, 5|Zsák"},
        {"SELECT ucase(s) AS u FROM t WHERE n > 2 ORDER BY ucase(s)", "ÁBEL, BANÁN, KÖRTE, ZSÁK"},
        {"SELECT count(*) FROM (SELECT Nz(s, '') AS g FROM t GROUP BY Nz(s, ''))", "6"},
        {"SELECT count(*) FROM (SELECT IIf(n > 0, s, 'x') AS g FROM t GROUP BY IIf(n > 0, s, 'x'))", "6"},
        {"SELECT count(*) FROM (SELECT DISTINCT Nz(s, '') FROM t)", "6"},
        {"SELECT count(*) FROM (SELECT s & '' FROM t WHERE n < 3 UNION SELECT s FROM t WHERE n < 3)", "1"},
        // (Null & '' is '', the least text.)
        {"SELECT Max(s & ''), Max(s), Min(s & ''), Min(s) FROM t", "Zsák|Zsák||Ábel"},
        {"SELECT Min(s & '') FROM t WHERE s > ''", "Ábel"},
        {"SELECT count(*) FROM t WHERE Nz(s, '') = Nz('ALMA', '')", "2"},
        {"SELECT count(*) FROM t WHERE s & '' > 'BANÁN'", "2"},
    });
}

TEST_F(JetValues, LogicIsLogicalWithNull)
{
    // Each expression gives the same answer as a value and as a condition.
    const ValueCase cases[] = {
        {"2 AND 1", "-1"},        {"5 XOR 3", "0"},           {"5 OR 0", "-1"},
        {"0 OR 0", "0"},          {"5 EQV 3", "-1"},          {"0 EQV 3", "0"},
        {"0 IMP 0", "-1"},        {"3 IMP 0", "0"},           {"NOT 5", "0"},
        {"NOT 0", "-1"},          {"NOT NULL", "NULL"},       {"NULL AND FALSE", "0"},
        {"FALSE AND NULL", "0"},  {"NULL AND TRUE", "NULL"},  {"NULL OR TRUE", "-1"},
        {"TRUE OR NULL", "-1"},   {"NULL OR FALSE", "NULL"},  {"NULL XOR TRUE", "NULL"},
        {"NULL EQV NULL", "NULL"}, {"FALSE IMP NULL", "-1"},  {"TRUE IMP NULL", "NULL"},
        {"NULL IMP TRUE", "-1"},  {"NULL IMP FALSE", "NULL"}, {"(1 < 2) AND 4", "-1"},
        {"5 BETWEEN 10 AND 1", "-1"}, {"5 BETWEEN 1 AND 10", "-1"}, {"5 NOT BETWEEN 10 AND 1", "0"},
        {"-5 BETWEEN -1 AND -10", "-1"}, {"'b' BETWEEN 'C' AND 'a'", "-1"},
        {"#1/5/2024# BETWEEN #1/9/2024# AND #1/1/2024#", "-1"},
        {"NULL BETWEEN 1 AND 10", "NULL"}, {"5 BETWEEN NULL AND 10", "NULL"},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.jet);
        const QString e = QString::fromUtf8(c.jet);
        EXPECT_EQ(db.eval(e).toStdString(), c.expected);
        // As a condition: true keeps the row, false and Null drop it.
        const QString kept = db.eval(QStringLiteral("count(*) FROM t WHERE n = 1 AND (%1)").arg(e));
        EXPECT_EQ(kept, QString::fromUtf8(std::string(c.expected) == "-1" ? "1" : "0"));
        EXPECT_EQ(db.eval(QStringLiteral("IIf(%1, 'T', 'x')").arg(e)).toStdString(),
                  std::string(c.expected) == "-1" ? "T" : "x");
    }
    expectAll({
        {"SELECT n AND 1, n OR 0, n XOR 1, NOT n FROM t WHERE n = 2", "-1|-1|0|0"},
        {"SELECT n FROM t WHERE n AND 2 ORDER BY n", "1, 2, 3, 5, 6, 7"},
        {"SELECT n FROM t WHERE n BETWEEN 3 AND 1 ORDER BY n", "1, 2, 3"},
        {"SELECT b.n FROM t AS a, t AS b WHERE a.n = 3 AND b.n BETWEEN a.n AND 1 ORDER BY b.n", "1, 2, 3"},
        {"SELECT n FROM t WHERE s BETWEEN 'KÖRTE' AND 'alma' ORDER BY n", "1, 2, 3, 7"},
    });
}

}  // namespace

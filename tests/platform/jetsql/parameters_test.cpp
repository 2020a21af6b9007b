// Bound values ('?' and '@name') and conditions parsed on their own.

#include "sqlitetestdb.h"

#include "platform/jetsql/parser.h"
#include "platform/runtimeerror.h"

#include <QtCore/QVariant>

#include <gtest/gtest.h>

using lg::jetsql::test::SqliteTestDb;

namespace {

class JetParameters : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec(QStringLiteral("CREATE TABLE people (id LONG NOT NULL, name TEXT(50), city TEXT(50), score DOUBLE, "
                               "CONSTRAINT pk PRIMARY KEY (id))"));
        db.exec(QStringLiteral("INSERT INTO people VALUES (1, 'Béla', 'Pécs', 2.5)"));
        db.exec(QStringLiteral("INSERT INTO people VALUES (2, 'Ábel', 'Győr', 7)"));
        db.exec(QStringLiteral("INSERT INTO people VALUES (3, 'Aba', NULL, NULL)"));
        db.exec(QStringLiteral("INSERT INTO people VALUES (4, 'Ödön', 'pécs', -3.5)"));
    }

    // Translates, binds values[k-1] to ?k and returns the rows as
    // SqliteTestDb::rows does.
    QStringList run(const QString& jet, const QVariantList& values)
    {
        const auto t = lg::jetsql::translate(jet);
        EXPECT_EQ(t->parameters.size(), values.size()) << t->sql.toStdString();
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db.handle(), t->sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string(sqlite3_errmsg(db.handle())) + " in: " + t->sql.toStdString());
        EXPECT_EQ(sqlite3_bind_parameter_count(stmt), values.size()) << t->sql.toStdString();
        for (int k = 0; k < values.size(); ++k) {
            const QVariant& v = values[k];
            if (v.isNull())
                sqlite3_bind_null(stmt, k + 1);
            else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
                sqlite3_bind_int64(stmt, k + 1, v.toLongLong());
            else if (v.typeId() == QMetaType::Double)
                sqlite3_bind_double(stmt, k + 1, v.toDouble());
            else
                sqlite3_bind_text(stmt, k + 1, v.toString().toUtf8().constData(), -1, SQLITE_TRANSIENT);
        }
        QStringList out;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QStringList cols;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i)
                cols << (sqlite3_column_type(stmt, i) == SQLITE_NULL
                             ? QStringLiteral("NULL")
                             : QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i))));
            out << cols.join(u'|');
        }
        const int rc = sqlite3_finalize(stmt);
        if (rc != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db.handle()));
        return out;
    }

    SqliteTestDb db;
};

QString sqlOf(const char* jet)
{
    return lg::jetsql::translate(QString::fromUtf8(jet))->sql;
}

QStringList parametersOf(const char* jet)
{
    return lg::jetsql::translate(QString::fromUtf8(jet))->parameters;
}

TEST_F(JetParameters, PositionalMarkersAreNumberedInTextOrder)
{
    EXPECT_EQ(parametersOf("SELECT id FROM people WHERE id = ? OR city = ?"), (QStringList{QString(), QString()}));
    EXPECT_TRUE(sqlOf("SELECT id FROM people WHERE id = ? OR city = ?").contains(QStringLiteral("?2")));
    EXPECT_EQ(
        run(QStringLiteral("SELECT id FROM people WHERE id = ? OR city = ? ORDER BY id"), {2, QStringLiteral("PÉCS")}),
        (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4")}));
    // In a list, in LIKE, as function arguments, in a select list.
    EXPECT_EQ(run(QStringLiteral("SELECT id FROM people WHERE id IN (?, ?, 9) ORDER BY id"), {3, 1}),
              (QStringList{QStringLiteral("1"), QStringLiteral("3")}));
    EXPECT_EQ(run(QStringLiteral("SELECT id FROM people WHERE name LIKE ? ORDER BY id"), {QStringLiteral("ab*")}),
              (QStringList{QStringLiteral("3")}));
    EXPECT_EQ(run(QStringLiteral("SELECT id, iif(score > ?, 'hi', 'lo') FROM people WHERE left(name, ?) = ? "),
                  {5, 3, QStringLiteral("ÁBE")}),
              QStringList{QStringLiteral("2|hi")});
    EXPECT_EQ(run(QStringLiteral("SELECT ? & name FROM people WHERE id BETWEEN ? AND ? ORDER BY id"),
                  {QStringLiteral("x:"), 2, 3}),
              (QStringList{QStringLiteral("x:Ábel"), QStringLiteral("x:Aba")}));
}

TEST_F(JetParameters, NamedMarkersShareOneNumberPerName)
{
    const char* jet = "SELECT id FROM people WHERE id = @Id OR score > @min OR id = @ID + 1";
    EXPECT_EQ(parametersOf(jet), (QStringList{QStringLiteral("id"), QStringLiteral("min")}));
    const QString sql = sqlOf(jet);
    EXPECT_EQ(sql.count(QStringLiteral("?1")), 2) << sql.toStdString();
    EXPECT_EQ(sql.count(QStringLiteral("?2")), 1) << sql.toStdString();
    EXPECT_FALSE(sql.contains(QStringLiteral("?3"))) << sql.toStdString();
    EXPECT_EQ(run(QString::fromUtf8(jet) + QStringLiteral(" ORDER BY id"), {3, 6.5}),
              (QStringList{QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")}));
    // Names are made of identifier characters.
    EXPECT_EQ(parametersOf("SELECT id FROM people WHERE id=@vlq_list_report_id AND score<@Max2"),
              (QStringList{QStringLiteral("vlq_list_report_id"), QStringLiteral("max2")}));
}

TEST_F(JetParameters, DataChangingStatementsBindInJetsOrder)
{
    db.exec(QStringLiteral("CREATE TABLE notes (person_id LONG, note TEXT(20), n LONG)"));
    EXPECT_EQ(run(QStringLiteral("INSERT INTO notes (person_id, note, n) VALUES (@id, @note, @id * 10)"),
                  {2, QStringLiteral("second")}),
              QStringList{});
    EXPECT_EQ(run(QStringLiteral("INSERT INTO notes VALUES (?, ?, ?)"), {1, QStringLiteral("first"), 0}),
              QStringList{});
    EXPECT_EQ(db.rows(QStringLiteral("SELECT person_id, note, n FROM notes ORDER BY person_id")),
              (QStringList{QStringLiteral("1|first|0"), QStringLiteral("2|second|20")}));
    // The join condition comes before SET in Jet but after it in SQLite;
    // the numbers follow Jet's text.
    run(QStringLiteral("UPDATE notes INNER JOIN people ON notes.person_id = people.id AND people.city = ? "
                       "SET notes.note = ? WHERE notes.n >= ?"),
        {QStringLiteral("győr"), QStringLiteral("changed"), 5});
    EXPECT_EQ(db.rows(QStringLiteral("SELECT note FROM notes ORDER BY person_id")),
              (QStringList{QStringLiteral("first"), QStringLiteral("changed")}));
    run(QStringLiteral("DELETE * FROM notes WHERE note = @note"), {QStringLiteral("FIRST")});
    EXPECT_EQ(db.rows(QStringLiteral("SELECT person_id FROM notes")), QStringList{QStringLiteral("2")});
}

TEST_F(JetParameters, ExpressionsGeneratedTwiceKeepTheirNumbers)
{
    // NOT and the logical operators look at their operands twice; TOP
    // PERCENT repeats the statement's body.
    EXPECT_EQ(run(QStringLiteral("SELECT id FROM people WHERE NOT (id = ?) AND (score > ? XOR id = ?) ORDER BY id"),
                  {1, 0, 4}),
              (QStringList{QStringLiteral("2"), QStringLiteral("4")}));
    EXPECT_EQ(run(QStringLiteral("SELECT TOP 50 PERCENT id FROM people WHERE id > ? ORDER BY id"), {1}),
              (QStringList{QStringLiteral("2"), QStringLiteral("3")}));
}

TEST(JetParameterMarkers, LiteralsAndBracketedNamesAreNotMarkers)
{
    EXPECT_TRUE(parametersOf("SELECT '?', \"@x\", 'a?b@c' FROM t WHERE [what?] = 1 AND [@at] = 2").isEmpty());
    EXPECT_TRUE(parametersOf("SELECT x FROM t WHERE y LIKE '*?#'").isEmpty());
    const QString sql = sqlOf("SELECT [what?] FROM t WHERE [@at] = ? AND x = '?'");
    EXPECT_TRUE(sql.contains(QStringLiteral("\"what?\""))) << sql.toStdString();
    EXPECT_TRUE(sql.contains(QStringLiteral("\"@at\" = ?1"))) << sql.toStdString();
    EXPECT_TRUE(sql.contains(QStringLiteral("'?'"))) << sql.toStdString();
    EXPECT_EQ(parametersOf("SELECT [what?] FROM t WHERE [@at] = ? AND x = '?'").size(), 1);
}

TEST(JetParameterMarkers, RefusedUses)
{
    lg::jetsql::test::expectSyntaxErrors({
        {"SELECT a FROM t WHERE a = ? AND b = @b", "position 37 near '@b'"},
        {"SELECT a FROM t WHERE a = @a AND b = ?", "cannot be mixed"},
        {"SELECT a FROM t WHERE a = @ 1", "expected a parameter name after '@'"},
        {"SELECT a FROM t WHERE a = @", "near '@'"},
        {"CREATE TABLE t (a LONG DEFAULT ?)", "definition statement cannot take parameters"},
        {"CREATE VIEW v AS SELECT a FROM t WHERE a = @a", "position 44 near '@a'"},
    });
}

TEST(JetCondition, AcceptsOneCompleteExpression)
{
    const char* conditions[] = {
        "a = 1",
        " (TRUE) ",
        "[TF].[x] = 1 AND ([T].[y] LIKE 'a*' OR z IN (SELECT id FROM t WHERE q = ')'))",
        "NOT x BETWEEN #1/1/2024# AND #12/31/2024# OR y IS NULL",
        "ucase(left(name, 1)) & 'x' <> 'ABC;'",
        "1 = 1 OR (1 = 1)",
        "name = ')' OR [)] = 1",
        "-10^2",
    };
    for (const char* text : conditions) {
        SCOPED_TRACE(text);
        try {
            const auto c = lg::jetsql::parseCondition(QString::fromUtf8(text));
            EXPECT_TRUE(c.expr);
            EXPECT_TRUE(c.parameters.isEmpty());
        } catch (const lg::RuntimeError& e) {
            ADD_FAILURE() << e.description().toStdString();
        }
    }
    const auto bound = lg::jetsql::parseCondition(QStringLiteral("id = @Id OR parent = @id OR x = @other"));
    EXPECT_EQ(bound.parameters, (QStringList{QStringLiteral("id"), QStringLiteral("other")}));
}

TEST(JetCondition, RefusesAnythingThatWouldEscapeTheCondition)
{
    const struct {
        const char* text;
        const char* fragment;
    } cases[] = {
        {"1=1) OR (1=1", "position 4 near ')'"},
        {"a = 1 UNION SELECT name FROM secrets", "near 'UNION'"},
        {"a = 1; DELETE * FROM t", "near ';'"},
        {"a = 1;", "near ';'"},
        {"a = 1 ORDER BY b", "near 'ORDER'"},
        {"a = 1) ", "near ')'"},
        {"(a = 1", "expected ')'"},
        {"", "position 1 near the end"},
        {"   ", "near the end"},
        {"a = ", "near the end"},
        {"a = 1 b = 2", "near 'b'"},
        {"SELECT 1", "near 'SELECT'"},
        {"a = 'x", "no closing quote"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            lg::jetsql::parseCondition(QString::fromUtf8(c.text));
            ADD_FAILURE() << "no error";
        } catch (const lg::RuntimeError& e) {
            EXPECT_EQ(e.number(), lg::errnum::SyntaxError);
            EXPECT_TRUE(e.description().contains(QString::fromUtf8(c.fragment))) << e.description().toStdString();
        }
    }
}

}  // namespace

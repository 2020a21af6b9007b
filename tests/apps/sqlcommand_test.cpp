// The command line's sql subcommand: statements in order, rows as TSV.

#include <gtest/gtest.h>

#include <QtCore/QFile>

#include "support/testsupport.h"

namespace {

lg::test::ProcessResult sql(const QString& db, const QStringList& statements)
{
    return lg::test::runProgram(QStringLiteral(LISTGEN_CLI),
                                QStringList{QStringLiteral("sql"), QStringLiteral("--db"), db} + statements);
}

}  // namespace

TEST(SqlCommand, RunsStatementsInOrderAndPrintsRowsAsTsv)
{
    const QString db = lg::test::tempPath(QStringLiteral("cli.db"));
    auto r = sql(db, {QStringLiteral("CREATE TABLE t (id LONG, name TEXT(20), ok YESNO, at DATETIME, x DOUBLE)"),
                      QStringLiteral("INSERT INTO t VALUES (1, 'tab\there', True, #10/03/2004#, 1.5)"),
                      QStringLiteral("INSERT INTO t VALUES (2, '', False, #10/03/2004 13:02:03#, 3)"),
                      QStringLiteral("INSERT INTO t (id) VALUES (3)")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QString());
    EXPECT_TRUE(QFile::exists(db));

    r = sql(db, {QStringLiteral("SELECT id, name, ok, at, x, x / 4 AS q FROM t ORDER BY id"),
                 QStringLiteral("UPDATE t SET name = 'a\\b' WHERE id = 3"),
                 QStringLiteral("SELECT name FROM t WHERE id = 3")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("id\tname\tok\tat\tx\tq\n"
                                    "1\ttab\\there\t-1\t2004-10-03\t1.5\t0.375\n"
                                    "2\t\t0\t2004-10-03 13:02:03\t3\t0.75\n"
                                    "3\t\t\t\t\t\n"
                                    "name\n"
                                    "a\\\\b\n"));
}

TEST(SqlCommand, ReportsErrorsAndUnavailableBackends)
{
    const QString db = lg::test::tempPath(QStringLiteral("err.db"));
    auto r = sql(db, {QStringLiteral("SELECT * FROM nosuch")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QLatin1String("nosuch"))) << r.err.toStdString();
    EXPECT_EQ(r.out, QString());

    r = sql(db, {QStringLiteral("CREATE TABLE t (a LONG)"), QStringLiteral("INSERT INTO t (a) VALUES (1"),
                 QStringLiteral("INSERT INTO t (a) VALUES (2)")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.isEmpty());
    r = sql(db, {QStringLiteral("SELECT count(*) AS n FROM t")});
    EXPECT_EQ(r.out, QStringLiteral("n\n0\n"));  // the statements after the failing one did not run

    // A server that does not answer is a failure with the reason.
    r = sql(QStringLiteral("postgresql:///lists?host=/nonexistent-listgen-socket&connect_timeout=2"),
            {QStringLiteral("SELECT 1")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QLatin1String("Cannot open the database"))) << r.err.toStdString();

    r = lg::test::runProgram(QStringLiteral(LISTGEN_CLI), {QStringLiteral("sql"), QStringLiteral("SELECT 1")});
    EXPECT_EQ(r.exitCode, 2);  // --db is missing
}

// The demo on both backends: built into a file and into a PostgreSQL
// database, every saved list of every user runs to the same rows, in the
// same order, with the same Nulls and column names.

#include <gtest/gtest.h>

#include <QtCore/QDir>

#include "support/pgcluster.h"
#include "support/testsupport.h"

namespace {

lg::test::ProcessResult cli(const QStringList& args)
{
    return lg::test::runProgram(QStringLiteral(LISTGEN_CLI), args, 300000);
}

QStringList listIds(const QString& db, int user)
{
    const auto r = cli({QStringLiteral("lists"), QStringLiteral("--db"), db, QStringLiteral("--user"),
                        QString::number(user)});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList ids;
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i)
        ids << lines.at(i).section(u'\t', 0, 0);
    return ids;
}

TEST(DemoOnPostgres, EverySavedListGivesTheSameRowsAsOnSqlite)
{
    PG_CLUSTER_OR_SKIP();
    auto& cluster = lg::test::PgCluster::instance();
    const QString uri = cluster.uri(cluster.createDatabase());
    const QString file = lg::test::tempPath(QStringLiteral("demo.db"));
    const QString fileReports = lg::test::tempPath(QStringLiteral("reports-file"));
    const QString serverReports = lg::test::tempPath(QStringLiteral("reports-server"));
    auto r = cli({QStringLiteral("demo-db"), QStringLiteral("--out"), file, QStringLiteral("--reports"), fileReports});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = cli({QStringLiteral("demo-db"), QStringLiteral("--db"), uri, QStringLiteral("--reports"), serverReports});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // A second build into the same database is refused without --force and
    // leaves the first one as it was.
    r = cli({QStringLiteral("demo-db"), QStringLiteral("--db"), uri, QStringLiteral("--reports"), serverReports});
    EXPECT_EQ(r.exitCode, 1);

    int compared = 0;
    for (int user = 1; user <= 8; ++user) {
        const QStringList ids = listIds(file, user);
        EXPECT_EQ(listIds(uri, user), ids) << "user " << user;
        for (const QString& id : ids) {
            SCOPED_TRACE("user " + std::to_string(user) + ", list " + id.toStdString());
            const QStringList run{QStringLiteral("run"), QStringLiteral("--list"), id, QStringLiteral("--user"),
                                  QString::number(user), QStringLiteral("--format"), QStringLiteral("tsv")};
            const auto onFile = cli(run + QStringList{QStringLiteral("--db"), file});
            const auto onServer =
                cli(run + QStringList{QStringLiteral("--db"), uri, QStringLiteral("--reports"), serverReports});
            ASSERT_EQ(onFile.exitCode, 0) << onFile.err.toStdString();
            ASSERT_EQ(onServer.exitCode, 0) << onServer.err.toStdString();
            EXPECT_GT(onFile.out.count(u'\n'), 1);
            EXPECT_EQ(onServer.out, onFile.out);
            ++compared;
        }
    }
    EXPECT_GE(compared, 10);  // every saved list, each with the user who may run it
}

}  // namespace

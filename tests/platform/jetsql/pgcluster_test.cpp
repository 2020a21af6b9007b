// The private test cluster goes away with the program that started it, also
// when that program dies without cleaning up.

#include "support/pgcluster.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QThread>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

using lg::test::PgCluster;
using lg::test::PgConnection;

// Run only by the test below, in a child process: starts the cluster, shows
// where it is and dies without any cleanup.
TEST(PgClusterChild, DISABLED_DiesWithTheClusterRunning)
{
    PG_CLUSTER_OR_SKIP();
    PgConnection c(PgCluster::instance().connectionString());
    ASSERT_EQ(c.value(QStringLiteral("SELECT 1")), QStringLiteral("1"));
    std::printf("cluster-folder=%s\n", PgCluster::instance().folder().toLocal8Bit().constData());
    std::fflush(stdout);
    std::_Exit(3);  // no destructors, no exit handlers
}

TEST(PgCluster, IsRemovedWhenItsProgramDies)
{
    PG_CLUSTER_OR_SKIP();
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=PgClusterChild.DISABLED_DiesWithTheClusterRunning"),
                 QStringLiteral("--gtest_also_run_disabled_tests")});
    ASSERT_TRUE(child.waitForFinished(120000));
    EXPECT_EQ(child.exitCode(), 3);
    const QString out = QString::fromLocal8Bit(child.readAllStandardOutput());
    const qsizetype at = out.indexOf(QStringLiteral("cluster-folder="));
    ASSERT_GE(at, 0) << out.toStdString();
    const QString folder = out.mid(at + 15).section(u'\n', 0, 0).trimmed();
    ASSERT_FALSE(folder.isEmpty());
    // The watcher stops the server and removes the folder shortly after.
    for (int i = 0; i < 600 && QFileInfo::exists(folder); ++i)
        QThread::msleep(100);
    EXPECT_FALSE(QFileInfo::exists(folder)) << folder.toStdString();
    // The server of this program is untouched.
    PgConnection c(PgCluster::instance().connectionString());
    EXPECT_EQ(c.value(QStringLiteral("SELECT 2")), QStringLiteral("2"));
}

TEST(PgCluster, ServesTheHungarianCollation)
{
    PG_CLUSTER_OR_SKIP();
    PgConnection c(PgCluster::instance().connectionString(PgCluster::instance().createDatabase()));
    c.exec(QStringLiteral("CREATE COLLATION ci (provider = icu, locale = 'hu-HU-u-ks-level2', deterministic = false)"));
    EXPECT_EQ(c.value(QStringLiteral("SELECT 'ÁRVÍZTŰRŐ' = 'árvíztűrő' COLLATE ci")), QStringLiteral("t"));
    EXPECT_EQ(c.value(QStringLiteral("SELECT 'a' = 'á' COLLATE ci")), QStringLiteral("f"));
    // A URI names the same cluster.
    PgConnection byUri(PgCluster::instance().uri());
    EXPECT_EQ(byUri.value(QStringLiteral("SELECT current_user")), QStringLiteral("listgen"));
}

// A process killed at any moment while it copies or commits a list must leave
// either the whole work copy or nothing of it, and the list itself intact.

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QThread>

#include <cstdio>
#include <random>

#include "storefixture.h"

namespace lg::test {
namespace {

constexpr int kGroups = 10, kFields = 40, kWheres = 20;

long finalListId(dao::Database& db)
{
    auto rs = db.OpenRecordset(QStringLiteral("select id from vlq_list_report where temp_status=0 and del_status=0"),
                               dao::RecordsetType::Snapshot);
    return rs->Eof() ? -1 : long(rs->Fields(0).toLongLong());
}

// Plays the process that gets killed: edits the list over and over (work copy,
// then commit) until it dies.
TEST(ChildProcess, EditForever)
{
    const QString dbPath = qEnvironmentVariable("LG_STORE_CRASH_DB");
    if (dbPath.isEmpty())
        GTEST_SKIP() << "only run as a child process";
    ctx().database = dao::Database::open(dbPath);
    ctx().userId = 3;
    ASSERT_TRUE(modTables::Initialize());
    QFile marker(qEnvironmentVariable("LG_READY_FILE"));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    for (int round = 0; round < 100000; ++round) {
        ListReport list;
        ASSERT_TRUE(list.CoreLoad(finalListId(*ctx().database)));
        auto copy = list.DBClone(ectModify);
        ASSERT_TRUE(copy);
        copy->set_name(QStringLiteral("round %1").arg(round));
        ASSERT_TRUE(copy->SetFinal());
        ASSERT_TRUE(copy->CoreUpdate(true));
    }
}

class CrashTest : public StoreTest {
protected:
    // Every list in the store is whole; no child row is without its list.
    void expectConsistent(const char* when)
    {
        SCOPED_TRACE(when);
        auto fresh = dao::Database::open(path);
        auto rs = fresh->OpenRecordset(
            QStringLiteral("select id, temp_status from vlq_list_report where del_status=0 order by id"),
            dao::RecordsetType::Snapshot);
        int finals = 0;
        while (!rs->Eof()) {
            const long id = long(rs->Fields(0).toLongLong());
            finals += rs->Fields(1).toLongLong() == 0 ? 1 : 0;
            auto n = [&](const char* table) {
                auto c = fresh->OpenRecordset(QStringLiteral("select count(*) from %1 where vlq_list_report_id=%2")
                                                  .arg(QLatin1String(table))
                                                  .arg(id));
                return c->Fields(0).toLongLong();
            };
            EXPECT_EQ(n("vlq_list_report_group_field"), kGroups) << "list " << id;
            EXPECT_EQ(n("vlq_list_report_visible_field"), kFields) << "list " << id;
            EXPECT_EQ(n("vlq_list_report_where_field"), kWheres) << "list " << id;
            rs->MoveNext();
        }
        EXPECT_EQ(finals, 1) << "exactly one final list";
        for (const char* table :
             {"vlq_list_report_group_field", "vlq_list_report_visible_field", "vlq_list_report_where_field"}) {
            auto orphans = fresh->OpenRecordset(
                QStringLiteral("select count(*) from %1 where vlq_list_report_id not in (select id from "
                               "vlq_list_report)")
                    .arg(QLatin1String(table)));
            EXPECT_EQ(orphans->Fields(0).toLongLong(), 0) << table;
        }
        const long current = finalListId(*fresh);
        auto denial = fresh->OpenRecordset(QStringLiteral("select list_report_id from vlq_list_auth_unit"));
        EXPECT_EQ(denial->Fields(0).toLongLong(), current) << "the denial follows the list";
        // The final list's children are those of the original.
        auto fields = fresh->OpenRecordset(
            QStringLiteral("select sum(table_field_id) from vlq_list_report_visible_field where vlq_list_report_id=%1")
                .arg(current));
        EXPECT_EQ(fields->Fields(0).toLongLong(), 200 * kFields + kFields * (kFields + 1) / 2);
    }
};

TEST_F(CrashTest, KilledWhileCopyingOrCommittingLeavesWholeLists)
{
    auto list = makeList(QStringLiteral("Crash"), kGroups, kFields, kWheres);
    ListAuthUnit denial;
    denial.set_auth_type(1);
    denial.set_list_report_id(list->ID());
    ASSERT_TRUE(denial.SetFinal() && denial.CoreUpdate());
    const long firstId = list->ID();
    modTables::Reset();  // the child process writes now
    ctx().database.reset();

    std::random_device device;
    const unsigned seed = device();
    std::mt19937 random(seed);
    // A copy and its commit take longer on a server: the kills spread over
    // as long a stretch there.
    std::uniform_int_distribution<int> delay(0, onPostgres() ? 1500 : 250);
    SCOPED_TRACE(testing::Message() << "seed " << seed);

    // A few kills in the everyday suite, a thousand under ./run stress.
    const int runs = qEnvironmentVariableIntValue("LISTGEN_STRESS") > 0 ? 1000 : onPostgres() ? 8 : 20;
    const QString marker = tempPath(QStringLiteral("crash.ready"));
    for (int run = 0; run < runs; ++run) {
        QFile::remove(marker);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LG_STORE_CRASH_DB"), path);
        env.insert(QStringLiteral("LG_READY_FILE"), marker);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=ChildProcess.EditForever")});
        ASSERT_TRUE(child.waitForStarted());
        for (int waited = 0; !QFile::exists(marker) && waited < 20000; waited += 5)
            QThread::msleep(5);
        ASSERT_TRUE(QFile::exists(marker)) << child.readAll().toStdString();
        if (run == runs - 1) {
            // The last child finishes at least one edit before its kill.
            auto watcher = dao::Database::open(path);
            for (int waited = 0; finalListId(*watcher) == firstId && waited < 30000; waited += 20)
                QThread::msleep(20);
        }
        QThread::msleep(ulong(delay(random)));
        ASSERT_EQ(child.state(), QProcess::Running) << "the child stopped by itself: " << child.readAll().toStdString();
        child.kill();
        child.waitForFinished();
        expectConsistent(qPrintable(QStringLiteral("after run %1").arg(run)));
        if (HasFailure())
            return;
    }
    auto fresh = dao::Database::open(path);
    EXPECT_NE(finalListId(*fresh), firstId) << "the child never finished one edit";
    std::printf("[ kills    ] %d kills while copying or committing: 0 half-written lists\n", runs);
}

}  // namespace
}  // namespace lg::test

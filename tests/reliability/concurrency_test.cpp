// Several processes write one store file at once, through the library's
// cross-process lock: every process creates lists and raises a shared
// counter under the lock. Afterwards no update is lost, no id is given
// twice, and no process waited forever.

#include "support/testsupport.h"

#include "platform/dao/dao.h"
#include "platform/message.h"
#include "store/context.h"
#include "store/listreport.h"
#include "store/schema.h"
#include "store/tables.h"

#include <gtest/gtest.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QProcess>
#include <QtCore/QSet>
#include <QtCore/QThread>

#include <cstdio>
#include <random>

namespace lg::test {
namespace {

// Answers the lock question as a patient user: wait a moment, then "Igen".
class RetryingPresenter : public MessagePresenter {
public:
    MessageAnswer present(const MessageRequest&) override
    {
        ++asked;
        QThread::usleep(ulong(pause(random)));
        return {0, {}};
    }
    long asked = 0;

private:
    std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<int> pause{200, 3000};
};

int writesPerProcess()
{
    return qEnvironmentVariableIntValue("LISTGEN_STRESS") > 0 ? 1000 : 100;
}

// Plays one writer process.
TEST(ChildProcess, Writer)
{
    const QString dbPath = qEnvironmentVariable("LG_CONCURRENT_DB");
    if (dbPath.isEmpty())
        GTEST_SKIP() << "only run as a child process";
    const int process = qEnvironmentVariableIntValue("LG_CONCURRENT_PROCESS");
    const int writes = qEnvironmentVariableIntValue("LG_CONCURRENT_WRITES");
    ctx().database = dao::Database::open(dbPath);
    ctx().userId = process;
    auto presenter = std::make_shared<RetryingPresenter>();
    ctx().messages = std::make_shared<cMessage2>(presenter);
    ASSERT_TRUE(modTables::Initialize());
    for (int i = 0; i < writes; ++i) {
        ListReport list;
        list.set_name(QStringLiteral("p%1-%2").arg(process).arg(i));
        list.set_list_type_id(1);
        ASSERT_TRUE(list.SetFinal() && list.CoreUpdate(true)) << "list " << i;

        // Read, raise and write back under the lock: a lost update shows.
        ASSERT_TRUE(modTables::OpenTableForTransGroup(0));
        ListWizardType counter;
        ASSERT_TRUE(counter.CoreLoad(1L));
        counter.set_name(QString::number(counter.name().toLong() + 1));
        counter.SetModified();
        const bool written = counter.SetFinal() && counter.CoreUpdate();
        ASSERT_TRUE(modTables::CloseTableForTransGroup(0));
        ASSERT_TRUE(written) << "counter " << i;
    }
    std::printf("writer %d: %d lists, %d raises, %ld waits for the lock\n", process, writes, writes, presenter->asked);
}

TEST(Concurrency, FourWritersOnOneFileLoseNothing)
{
    constexpr int kProcesses = 4;
    const int writes = writesPerProcess();
    const QString path = tempPath(QStringLiteral("concurrent.db"));
    {
        Context::reset();
        auto db = dao::Database::open(path);
        store::installSchema(*db);
        ctx().database = db;
        ctx().userId = 1;
        ASSERT_TRUE(modTables::Initialize());
        ListWizardType counter;
        counter.set_name(QStringLiteral("0"));
        ASSERT_TRUE(counter.SetFinal() && counter.CoreUpdate());
        ASSERT_EQ(counter.ID(), 1);
        modTables::Reset();
        Context::reset();
    }

    QElapsedTimer timer;
    timer.start();
    std::vector<std::unique_ptr<QProcess>> children;
    for (int p = 1; p <= kProcesses; ++p) {
        auto child = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LG_CONCURRENT_DB"), path);
        env.insert(QStringLiteral("LG_CONCURRENT_PROCESS"), QString::number(p));
        env.insert(QStringLiteral("LG_CONCURRENT_WRITES"), QString::number(writes));
        child->setProcessEnvironment(env);
        child->setProcessChannelMode(QProcess::MergedChannels);
        child->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=ChildProcess.Writer")});
        ASSERT_TRUE(child->waitForStarted());
        children.push_back(std::move(child));
    }
    // A deadlock shows as a writer that does not finish in time.
    for (auto& child : children) {
        const bool finished = child->waitForFinished(600000);
        const QString output = QString::fromUtf8(child->readAll());
        EXPECT_TRUE(finished) << "a writer hangs";
        EXPECT_EQ(child->exitCode(), 0) << output.toStdString();
        for (const QString& line : output.split(u'\n'))
            if (line.startsWith(u"writer "))
                std::printf("%s\n", qPrintable(line));
        if (!finished)
            child->kill();
    }

    auto db = dao::Database::open(path);
    auto lists = db->OpenRecordset(QStringLiteral("select id, name from vlq_list_report order by id"),
                                   dao::RecordsetType::Snapshot);
    QSet<long> ids;
    QSet<QString> names;
    long rows = 0;
    for (; !lists->Eof(); lists->MoveNext()) {
        ++rows;
        ids.insert(long(lists->Fields(0).toLongLong()));
        names.insert(lists->Fields(1).toString());
    }
    EXPECT_EQ(rows, kProcesses * writes) << "lists lost";
    EXPECT_EQ(ids.size(), rows) << "an id given twice";
    EXPECT_EQ(names.size(), rows) << "a list written twice";
    auto counter = db->OpenRecordset(QStringLiteral("select name from vlq_list_wizard_type where id=1"),
                                     dao::RecordsetType::Snapshot);
    EXPECT_EQ(counter->Fields(0).toString().toLong(), kProcesses * writes) << "raises lost";
    std::printf("[ writers  ] %d processes x %d writes (a list and a raise each) in %.1f s: none lost, no id twice\n",
                kProcesses, writes, double(timer.elapsed()) / 1000.0);
}

}  // namespace
}  // namespace lg::test

// Several processes edit lists in one store at once (four on one SQLite file,
// eight on one PostgreSQL database): each creates lists, edits them through a
// work copy and commits, deletes some, and raises a shared counter under the
// library's cross-process lock. Afterwards no update is lost, no id is given
// twice, every list is whole and no process waited forever.

#include "support/pgcluster.h"
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
#include <map>
#include <optional>
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
    std::uniform_int_distribution<int> pause{200, 3000};  // microseconds
};

// The size of one editor's work: small in the everyday suite, large under
// ./run stress.
int operationsPerProcess()
{
    return qEnvironmentVariableIntValue("LISTGEN_STRESS") > 0 ? 300 : 20;
}

constexpr int kGroups = 2, kFields = 3, kWheres = 2;

// Writes a final list with its children, as the wizard's final save does.
std::optional<long> createList(const QString& name)
{
    ListReport list;
    list.set_name(name);
    list.set_list_type_id(1);
    list.set_sql_source(QStringLiteral("select * from t where %WHERE%"));
    if (!list.SetFinal() || !list.CoreUpdate(true))
        return std::nullopt;
    for (int i = 1; i <= kGroups; ++i) {
        ListReportGroupField g;
        g.set_vlq_list_report_id(list.ID());
        g.set_table_field_id(100 + i);
        g.set_sort_order(i);
        if (!g.SetFinal() || !g.CoreUpdate())
            return std::nullopt;
    }
    for (int i = 1; i <= kFields; ++i) {
        ListReportVisibleField f;
        f.set_vlq_list_report_id(list.ID());
        f.set_table_field_id(200 + i);
        f.set_sort_order(i);
        if (!f.SetFinal() || !f.CoreUpdate())
            return std::nullopt;
    }
    for (int i = 1; i <= kWheres; ++i) {
        ListReportWhereField w;
        w.set_vlq_list_report_id(list.ID());
        w.set_table_field_id(300 + i);
        w.set_sql_where(QStringLiteral("[x].[f%1] = %1").arg(i));
        if (!w.SetFinal() || !w.CoreUpdate())
            return std::nullopt;
    }
    return list.ID();
}

// Plays one editor process: creates, edits (work copy, then commit) and
// deletes its own lists, and raises a shared counter under the lock after
// each step. At the end it prints the lists it holds ("list ID NAME"), which
// the store must hold exactly.
TEST(ChildProcess, Editor)
{
    const QString dbName = qEnvironmentVariable("LG_CONCURRENT_DB");
    if (dbName.isEmpty())
        GTEST_SKIP() << "only run as a child process";
    const int process = qEnvironmentVariableIntValue("LG_CONCURRENT_PROCESS");
    const int operations = qEnvironmentVariableIntValue("LG_CONCURRENT_OPERATIONS");
    ctx().database = dao::Database::open(dbName);
    ctx().userId = process;
    auto presenter = std::make_shared<RetryingPresenter>();
    ctx().messages = std::make_shared<cMessage2>(presenter);
    ASSERT_TRUE(modTables::Initialize());

    std::mt19937 random(unsigned(process) * 7919u);
    std::map<long, QString> mine;  // id -> name
    int created = 0, edited = 0, deleted = 0;
    for (int op = 0; op < operations; ++op) {
        const int roll = int(random() % 10);
        if (mine.empty() || roll < 4) {
            const QString name = QStringLiteral("p%1-%2 v0").arg(process).arg(created++);
            const std::optional<long> id = createList(name);
            ASSERT_TRUE(id) << "create " << op;
            mine[*id] = name;
        } else {
            auto it = std::next(mine.begin(), long(random() % mine.size()));
            ListReport list;
            ASSERT_TRUE(list.CoreLoad(it->first)) << "load " << it->first;
            if (roll < 8) {
                auto copy = list.DBClone(ectModify);
                ASSERT_TRUE(copy) << "clone " << it->first;
                const QString name = it->second.section(u' ', 0, 0) + QStringLiteral(" v%1").arg(++edited);
                copy->set_name(name);
                // One child changes in the copy, the others come along as they are.
                auto fields = copy->ReportFields();
                ASSERT_EQ(fields.Count(), kFields);
                fields.Item(1)->set_total_aggregate(edited % 5);
                ASSERT_TRUE(fields.Item(1)->SetFinal() && fields.Item(1)->CoreUpdate());
                ASSERT_TRUE(copy->SetFinal() && copy->CoreUpdate(true)) << "commit " << it->first;
                mine.erase(it);
                mine[copy->ID()] = name;
            } else {
                ASSERT_TRUE(list.Delete() && list.CoreUpdate()) << "delete " << it->first;
                ++deleted;
                mine.erase(it);
            }
        }

        // Read, raise and write back under the lock: a lost update shows.
        ASSERT_TRUE(modTables::OpenTableForTransGroup(0));
        ListWizardType counter;
        ASSERT_TRUE(counter.CoreLoad(1L));
        counter.set_name(QString::number(counter.name().toLong() + 1));
        counter.SetModified();
        const bool written = counter.SetFinal() && counter.CoreUpdate();
        ASSERT_TRUE(modTables::CloseTableForTransGroup(0));
        ASSERT_TRUE(written) << "counter " << op;
    }
    for (const auto& [id, name] : mine)
        std::printf("list %ld %s\n", id, qPrintable(name));
    std::printf("editor %d: %d created, %d edited, %d deleted, %ld waits for the lock\n", process, created, edited,
                deleted, presenter->asked);
}

// Runs `processes` editors on the database `dbName` at once and checks the
// store afterwards: every list an editor holds is there once, final, under its
// last name and whole; nothing else is; the counter saw every raise.
void runEditors(const QString& dbName, int processes, const char* label)
{
    const int operations = operationsPerProcess();
    {
        Context::reset();
        auto db = dao::Database::open(dbName);
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
    for (int p = 1; p <= processes; ++p) {
        auto child = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LG_CONCURRENT_DB"), dbName);
        env.insert(QStringLiteral("LG_CONCURRENT_PROCESS"), QString::number(p));
        env.insert(QStringLiteral("LG_CONCURRENT_OPERATIONS"), QString::number(operations));
        child->setProcessEnvironment(env);
        child->setProcessChannelMode(QProcess::SeparateChannels);
        child->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=ChildProcess.Editor")});
        ASSERT_TRUE(child->waitForStarted());
        children.push_back(std::move(child));
    }
    // A deadlock shows as an editor that does not finish in time.
    std::map<long, QString> expected;
    for (auto& child : children) {
        const bool finished = child->waitForFinished(600000);
        const QString output = QString::fromUtf8(child->readAllStandardOutput());
        EXPECT_TRUE(finished) << "an editor hangs";
        EXPECT_EQ(child->exitCode(), 0) << output.toStdString() << child->readAllStandardError().toStdString();
        for (const QString& line : output.split(u'\n')) {
            if (line.startsWith(u"list ")) {
                const long id = line.section(u' ', 1, 1).toLong();
                EXPECT_FALSE(expected.count(id)) << "two editors hold list " << id;
                expected[id] = line.section(u' ', 2);
            } else if (line.startsWith(u"editor ")) {
                std::printf("%s\n", qPrintable(line));
            }
        }
        if (!finished)
            child->kill();
    }
    if (::testing::Test::HasFailure())
        return;

    auto db = dao::Database::open(dbName);
    auto rows = [&](const QString& sql) {
        QList<QList<dao::Value>> out;
        auto rs = db->OpenRecordset(sql, dao::RecordsetType::Snapshot);
        return rs->GetRows();
    };
    std::map<long, QString> stored;
    for (const auto& row : rows(QStringLiteral("select id, name from vlq_list_report where del_status=0 and "
                                               "temp_status=0 order by id"))) {
        const long id = long(row[0].toLongLong());
        EXPECT_FALSE(stored.count(id)) << "id " << id << " twice";
        stored[id] = row[1].toString();
    }
    EXPECT_EQ(stored, expected) << "the store holds other lists than the editors";
    EXPECT_EQ(rows(QStringLiteral("select count(*) from vlq_list_report where temp_status<>0"))[0][0].toLongLong(), 0)
        << "a work copy is left";

    // Every live list is whole, and no child is without a live list.
    const struct {
        const char* table;
        int count;
    } childTables[] = {{"vlq_list_report_group_field", kGroups},
                       {"vlq_list_report_visible_field", kFields},
                       {"vlq_list_report_where_field", kWheres}};
    for (const auto& c : childTables) {
        std::map<long, int> perList;
        QSet<long> childIds;
        for (const auto& row :
             rows(QStringLiteral("select c.id, c.vlq_list_report_id from %1 as c inner join vlq_list_report as r on "
                                 "c.vlq_list_report_id = r.id where r.del_status=0 and c.del_status=0")
                      .arg(QLatin1String(c.table)))) {
            EXPECT_FALSE(childIds.contains(long(row[0].toLongLong()))) << c.table << " id twice";
            childIds.insert(long(row[0].toLongLong()));
            ++perList[long(row[1].toLongLong())];
        }
        for (const auto& [id, name] : expected)
            EXPECT_EQ(perList[id], c.count) << c.table << " of list " << id << " " << name.toStdString();
        EXPECT_EQ(rows(QStringLiteral("select count(*) from %1 where vlq_list_report_id not in (select id from "
                                      "vlq_list_report)")
                           .arg(QLatin1String(c.table)))[0][0]
                      .toLongLong(),
                  0)
            << c.table << ": children without their list";
    }
    const auto counter = rows(QStringLiteral("select name from vlq_list_wizard_type where id=1"));
    ASSERT_EQ(counter.size(), 1);
    EXPECT_EQ(counter[0][0].toString().toLong(), processes * operations) << "raises lost";
    std::printf("[ editors  ] %s: %d processes x %d operations in %.1f s: %zu lists, none lost, none half-written\n",
                label, processes, operations, double(timer.elapsed()) / 1000.0, expected.size());
}

TEST(Concurrency, FourEditorsOnOneSqliteFileLoseNothing)
{
    runEditors(tempPath(QStringLiteral("concurrent.db")), 4, "SQLite file");
}

TEST(Concurrency, EightEditorsOnOnePostgresDatabaseLoseNothing)
{
    PG_CLUSTER_OR_SKIP();
    PgCluster& cluster = PgCluster::instance();
    runEditors(cluster.uri(cluster.createDatabase()), 8, "PostgreSQL");
}

}  // namespace
}  // namespace lg::test

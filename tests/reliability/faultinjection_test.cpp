// Every write, sync and lock an operation asks of the disk is made to fail,
// one at a time: after each failure the database is sound, the operation
// said it failed (or, if it said it succeeded, it did), and the store holds
// the state from before or the state from after, never a mix.

#include "support/faultvfs.h"
#include "support/testsupport.h"

#include "demodata.h"
#include "platform/dao/dao.h"
#include "platform/jetsql/sqlitefunctions.h"
#include "platform/runtimeerror.h"
#include "controls/listdesignmodel.h"
#include "store/context.h"
#include "store/listreport.h"
#include "store/schema.h"
#include "store/tables.h"

#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace lg::test {
namespace {

// Under AddressSanitizer every disk call is several times slower: the
// sampled sweeps (the demo build, the wizard) take fewer samples there, so
// that the sanitizer run of the suite stays within its time.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// How many calls a sampled sweep visits: all under ./run stress.
long sampled(long everyday)
{
    if (qEnvironmentVariableIntValue("LISTGEN_STRESS") > 0)
        return 100000;
    return kSanitized ? std::max(everyday / 4, 5L) : everyday;
}

// The whole content of a database file as text, read past the library on a
// connection of its own (which also rolls back what a failed writer left).
// The record stamps that say when a row was written are left out: they
// differ between two runs of the same operation.
// With `savedOnly`, work copies (temporary lists and their rows) are left out:
// what a user sees of the store.
QString dump(const QString& path, QString* integrity = nullptr, bool savedOnly = false)
{
    if (!QFileInfo::exists(path))
        return QStringLiteral("<no file>");
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        return QStringLiteral("<cannot open>");
    }
    jetsql::registerSqliteFunctions(db);
    auto rows = [&](const QString& sql) {
        QStringList out;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
            return QStringList{QStringLiteral("<error: %1>").arg(QString::fromUtf8(sqlite3_errmsg(db)))};
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QStringList cols;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                const QString name = QString::fromUtf8(sqlite3_column_name(stmt, i));
                if (name == u"create_date" || name.startsWith(u"last_action_date"))
                    continue;
                cols << (sqlite3_column_type(stmt, i) == SQLITE_NULL
                             ? QStringLiteral("NULL")
                             : QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i))));
            }
            out << cols.join(u'|');
        }
        sqlite3_finalize(stmt);
        return out;
    };
    if (integrity)
        *integrity = rows(QStringLiteral("PRAGMA integrity_check")).join(u'\n');
    QStringList out;
    for (const QString& table :
         rows(QStringLiteral("select name from sqlite_master where type='table' and name not like 'sqlite_%' "
                             "order by name"))) {
        out << QStringLiteral("== ") + table;
        QString where;
        if (savedOnly && table == u"vlq_list_report")
            where = QStringLiteral(" where temp_status=0");
        else if (savedOnly && table.startsWith(u"vlq_list_report_"))
            where = QStringLiteral(" where vlq_list_report_id in (select id from vlq_list_report where temp_status=0)");
        out << rows(QStringLiteral("select * from \"%1\"%2 order by rowid").arg(table, where));
    }
    out << QStringLiteral("== schema")
        << rows(QStringLiteral("select type, name, sql from sqlite_master order by type, name"));
    sqlite3_close_v2(db);
    return out.join(u'\n');
}

void copyFile(const QString& from, const QString& to)
{
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
        QFile::remove(to + suffix);
    if (QFileInfo::exists(from))
        ASSERT_TRUE(QFile::copy(from, to));
}

// One operation under test: `setup` runs undisturbed on the library's
// database, `run` is the operation itself; both see the same fresh file.
struct Operation {
    const char* name;
    std::function<void(const QString& path)> prepareFile;  // the file the operation starts from
    std::function<void()> setup;
    std::function<bool(const QString& path)> run;
    // Sweep every n up to this many counted calls; beyond, every stride-th.
    long fullSweep = 100000;
    // Whether the library works on the file (else the operation opens it).
    bool library = true;
    // The operation is two transactions: a work copy, then its commit. A
    // failure between them leaves the work copy, which the user never sees
    // and the next clean-up removes; the saved lists are as before.
    bool leavesWorkCopy = false;
};

class FaultInjection : public ::testing::Test {
protected:
    static void SetUpTestSuite() { FaultVfs::install(); }
    void TearDown() override { closeLibrary(); }

    void openLibrary(const QString& path)
    {
        modTables::Reset();
        Context::reset();
        ctx().database = dao::Database::open(path);
        ctx().userId = 7;
        modTables::Initialize();
    }
    static void closeLibrary()
    {
        modTables::Reset();
        Context::reset();
    }

    // Runs the sweep and returns how many faults were injected.
    long sweep(const Operation& op)
    {
        const QString baseline = tempPath(QStringLiteral("baseline.db"));
        op.prepareFile(baseline);
        const QString work = tempPath(QStringLiteral("work.db"));

        // Undisturbed: the states before and after, and how many calls there are.
        copyFile(baseline, work);
        auto start = [&] {
            if (op.library && QFileInfo::exists(work)) {
                openLibrary(work);
                if (op.setup)
                    op.setup();
            } else {
                closeLibrary();
            }
        };
        start();
        const QString before = dump(work);
        const QString savedBefore = dump(work, nullptr, true);
        FaultVfs::arm(0);
        const bool cleanRun = op.run(work);
        const long calls = FaultVfs::count();
        closeLibrary();
        EXPECT_TRUE(cleanRun) << op.name << ": fails without any fault";
        const QString after = dump(work);
        EXPECT_NE(before, after) << op.name << ": changes nothing";
        EXPECT_GT(calls, 0) << op.name;

        long injected = 0;
        const long stride = calls <= op.fullSweep ? 1 : calls / op.fullSweep + 1;
        for (bool sticky : {false, true}) {
            for (long n = 1; n <= calls; n += stride) {
                copyFile(baseline, work);
                start();
                FaultVfs::arm(n, sticky);
                bool reported = false;
                try {
                    reported = op.run(work);
                } catch (const RuntimeError&) {
                    reported = false;
                }
                const bool tripped = FaultVfs::tripped();
                FaultVfs::disarm();
                closeLibrary();
                injected += tripped ? 1 : 0;

                QString integrity;
                const QString state = dump(work, &integrity);
                SCOPED_TRACE(testing::Message() << op.name << ": fault at call " << n << (sticky ? " and after" : ""));
                EXPECT_EQ(integrity.toStdString(), "ok");
                if (reported)
                    EXPECT_TRUE(state == after) << "reported success, but the store is not the new state";
                else if (op.leavesWorkCopy && state != before && state != after)
                    EXPECT_EQ(dump(work, nullptr, true), savedBefore) << "the saved lists are not as before";
                else
                    EXPECT_TRUE(state == before || state == after) << "the store holds a mix of old and new";
                if (HasFailure())
                    return injected;
            }
        }
        std::printf("[ faults   ] %s: %ld disk calls, %ld faults injected, nothing lost\n", op.name, calls, injected);
        return injected;
    }
};

// A store with one final list (groups, fields, conditions) and a denial on it.
void storeWithList(const QString& path)
{
    {
        auto db = dao::Database::open(path);
        store::installSchema(*db);
        ctx().database = db;
        ctx().userId = 7;
        modTables::Initialize();
        ListReport list;
        list.set_name(QStringLiteral("Forgalom"));
        list.set_list_type_id(3);
        list.set_sql_source(QStringLiteral("select * from t where %WHERE%"));
        ASSERT_TRUE(list.SetFinal() && list.CoreUpdate(true));
        for (int i = 1; i <= 3; ++i) {
            ListReportGroupField g;
            g.set_vlq_list_report_id(list.ID());
            g.set_table_field_id(100 + i);
            g.set_sort_order(i);
            ASSERT_TRUE(g.SetFinal() && g.CoreUpdate());
            ListReportVisibleField f;
            f.set_vlq_list_report_id(list.ID());
            f.set_table_field_id(200 + i);
            f.set_sort_order(i);
            ASSERT_TRUE(f.SetFinal() && f.CoreUpdate());
            ListReportWhereField w;
            w.set_vlq_list_report_id(list.ID());
            w.set_table_field_id(300 + i);
            w.set_sql_where(QStringLiteral("[x].[f%1] = %1").arg(i));
            ASSERT_TRUE(w.SetFinal() && w.CoreUpdate());
        }
        ListAuthUnit denial;
        denial.set_auth_type(1);
        denial.set_list_report_id(list.ID());
        ASSERT_TRUE(denial.SetFinal() && denial.CoreUpdate());
    }
    modTables::Reset();
    Context::reset();
}

long finalListId()
{
    auto rs = ctx().database->OpenRecordset(
        QStringLiteral("select id from vlq_list_report where temp_status=0 and del_status=0"),
        dao::RecordsetType::Snapshot);
    return rs->Eof() ? -1 : long(rs->Fields(0).toLongLong());
}

std::shared_ptr<ListReport> workCopy;

TEST_F(FaultInjection, NewListSavedAndCommitted)
{
    const long faults = sweep({"CoreUpdate(commit) of a new list", storeWithList, nullptr, [](const QString&) {
                                   ListReport list;
                                   list.set_name(QStringLiteral("Új lista"));
                                   list.set_list_type_id(3);
                                   return list.SetFinal() && list.CoreUpdate(true);
                               }});
    EXPECT_GT(faults, 0);
}

TEST_F(FaultInjection, WorkCopyCommittedOverItsSource)
{
    const long faults = sweep({"CoreUpdate(commit) of a work copy", storeWithList,
                               [] {
                                   ListReport list;
                                   ASSERT_TRUE(list.CoreLoad(finalListId()));
                                   workCopy = list.DBClone(ectModify);
                                   ASSERT_TRUE(workCopy);
                                   workCopy->set_name(QStringLiteral("Átírt"));
                               },
                               [](const QString&) {
                                   const bool ok = workCopy->SetFinal() && workCopy->CoreUpdate(true);
                                   workCopy.reset();
                                   return ok;
                               }});
    EXPECT_GT(faults, 0);
}

TEST_F(FaultInjection, CloneAndCommit)
{
    for (eCloneType type : {ectModify, ectCopy}) {
        Operation op{type == ectModify ? "DBClone(modify) + commit" : "DBClone(copy) + commit", storeWithList, nullptr,
               [type](const QString&) {
                   ListReport list;
                   if (!list.CoreLoad(finalListId()))
                       return false;
                   auto copy = list.DBClone(type);
                   if (!copy)
                       return false;
                   copy->set_name(QStringLiteral("Másolat"));
                   return copy->SetFinal() && copy->CoreUpdate(true);
               }};
        op.leavesWorkCopy = true;
        sweep(op);
        if (HasFailure())
            return;
    }
}

TEST_F(FaultInjection, WorkCopyDiscarded)
{
    sweep({"DeleteTempItem", storeWithList,
           [] {
               ListReport list;
               ASSERT_TRUE(list.CoreLoad(finalListId()));
               workCopy = list.DBClone(ectModify);
               ASSERT_TRUE(workCopy);
           },
           [](const QString&) {
               const bool ok = workCopy->DeleteTempItem();
               workCopy.reset();
               return ok;
           }});
}

TEST_F(FaultInjection, DefinitionStoreInstalled)
{
    // A host database with a table of its own gets the store installed.
    Operation op{"init-db",
                 [](const QString& path) {
                     dao::Database::open(path)->Execute(QStringLiteral("CREATE TABLE partner (id LONG)"));
                 },
                 nullptr, [](const QString& path) {
                     auto db = dao::Database::open(path);
                     store::installSchema(*db);
                     return true;
                 }};
    op.library = false;
    sweep(op);
}

// The list wizard's final save (statement, test run, report source, the
// list's columns, commit) on a new invoice list designed in steps 1 to 4.
std::unique_ptr<controls::ListDesignModel> design;

TEST_F(FaultInjection, WizardFinalSave)
{
    const QString reports = tempPath(QStringLiteral("wizard-reports"));
    Operation op{"the wizard's final save",
                 [reports](const QString& path) {
                     demo::DemoOptions options;
                     options.reportsDir = reports;
                     demo::buildDemoDatabase(path, options, [](const QString&) {});
                     Context::reset();
                 },
                 [reports] {
                     using controls::FieldPage;
                     design = std::make_unique<controls::ListDesignModel>();
                     design->setUserID(1);
                     design->setModulID(1);
                     design->setReportFolderPath(reports);
                     design->setAuthenticAllReport(true);
                     ASSERT_TRUE(design->Initialize());
                     design->setMode(controls::DesignMode::New);
                     design->chooseListType(2);  // Számlák
                     design->setName(QStringLiteral("Hibatűrés"));
                     ASSERT_TRUE(design->move(1));
                     ASSERT_TRUE(design->setChosenFields(FieldPage::Group, {12, 19}));  // region, pay mode
                     ASSERT_TRUE(design->move(1));
                     ASSERT_TRUE(design->setChosenFields(FieldPage::Visible, {14, 20, 22}));  // number, net, gross
                     ASSERT_TRUE(design->move(1));
                     ASSERT_GT(design->AutomaticFillAgregate(1, 4, true), 0);  // sums everywhere
                     ASSERT_TRUE(design->move(1));
                     ASSERT_EQ(design->currentStep(), 5);
                 },
                 [](const QString&) {
                     const bool saved = design->move(1) && design->finished();
                     design.reset();  // a list not saved is discarded, as when the dialog closes
                     return saved;
                 }};
    // Leaving the wizard after a failed save discards the work copy, so the
    // store is the old one again; a sample of the calls in the everyday suite.
    op.fullSweep = sampled(40);
    op.leavesWorkCopy = true;
    sweep(op);
}

TEST_F(FaultInjection, DemoDatabaseBuiltOverAnOlderOne)
{
    // A whole build takes tens of thousands of disk calls: a sample of them.
    const QString reports = tempPath(QStringLiteral("reports"));
    Operation op{"demo-db", storeWithList, nullptr, [reports](const QString& path) {
                     demo::DemoOptions options;
                     options.reportsDir = reports;
                     demo::buildDemoDatabase(path, options, [](const QString&) {});
                     return true;
                 }};
    op.fullSweep = sampled(25);
    op.library = false;
    sweep(op);
}

}  // namespace
}  // namespace lg::test

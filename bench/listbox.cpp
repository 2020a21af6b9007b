// The list control with 10,000 lists the user may run: filling the list box
// (the owner selector switched to all lists) and switching the selected list
// (the information panel of a list with grouping and displayed fields).
// Goal: at most 50 ms each.

#include <benchmark/benchmark.h>

#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QListWidget>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "controls/listbrowser.h"
#include "controls/listwizard.h"
#include "platform/dao/dao.h"
#include "platform/jetsql/sqlitefunctions.h"
#include "store/context.h"
#include "store/tables.h"

namespace {

constexpr int kCopies = 10000;

void sql(sqlite3* db, const char* text)
{
    char* message = nullptr;
    if (sqlite3_exec(db, text, nullptr, nullptr, &message) != SQLITE_OK) {
        std::fprintf(stderr, "bench setup: %s\n", message ? message : "?");
        std::abort();
    }
}

// The demo database with 10,000 more public lists of another user.
struct Store {
    QTemporaryDir dir;
    QString path;
    std::shared_ptr<lg::dao::Database> db;

    Store()
    {
        path = dir.filePath(QStringLiteral("demo.db"));
        if (QProcess::execute(QStringLiteral(LISTGEN_CLI), {QStringLiteral("demo-db"), QStringLiteral("--out"), path})
            != 0)
            std::abort();
        sqlite3* h = nullptr;
        sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READWRITE, nullptr);
        lg::jetsql::registerSqliteFunctions(h);
        sql(h, "BEGIN");
        sql(h, "CREATE TEMP TABLE proto AS SELECT * FROM vlq_list_report WHERE id=6");
        sqlite3_stmt* update = nullptr;
        sqlite3_prepare_v2(h, "UPDATE proto SET id=?, name=?", -1, &update, nullptr);
        for (int i = 0; i < kCopies; ++i) {
            sqlite3_bind_int(update, 1, 1000 + i);
            const QByteArray name = QByteArray("Árulista ") + QByteArray::number(i).rightJustified(5, '0');
            sqlite3_bind_text(update, 2, name.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_step(update);
            sqlite3_reset(update);
            sql(h, "INSERT INTO vlq_list_report SELECT * FROM proto");
        }
        sqlite3_finalize(update);
        sql(h, "COMMIT");
        sqlite3_close(h);
        db = lg::dao::Database::open(path);
    }
};

Store& store()
{
    static Store s;
    return s;
}

std::unique_ptr<lg::controls::ListWizard> wizard()
{
    lg::Context::reset();
    lg::modTables::Reset();
    auto w = std::make_unique<lg::controls::ListWizard>();
    w->setDatabase(store().db);
    w->setUserID(1);
    w->resize(1000, 600);
    w->show();
    if (!w->ControlInitialize())
        std::abort();
    return w;
}

void BM_FillListBoxWithAllLists(benchmark::State& state)
{
    auto w = wizard();
    QComboBox* owner = w->ownerSelector();
    int shown = 0;
    for (auto _ : state) {
        owner->setCurrentIndex(1);  // "Minden lista"
        state.PauseTiming();
        shown = w->lst_reports()->count();
        if (shown < kCopies)
            state.SkipWithError("the lists are missing");
        owner->setCurrentIndex(0);
        state.ResumeTiming();
    }
    state.counters["lists"] = double(shown);
}

void BM_SwitchSelectedList(benchmark::State& state)
{
    auto w = wizard();
    w->ownerSelector()->setCurrentIndex(1);
    QListWidget* l = w->lst_reports();
    // Two demo lists with groups and fields, among the 10,000.
    int rows[2] = {-1, -1};
    for (int i = 0; i < l->count(); ++i) {
        const long id = l->item(i)->data(Qt::UserRole).toLongLong();
        if (id == 3)
            rows[0] = i;
        if (id == 5)
            rows[1] = i;
    }
    int n = 0;
    for (auto _ : state) {
        l->setCurrentRow(rows[n++ % 2]);
        benchmark::DoNotOptimize(w->browser().info().fields.size());
    }
}

BENCHMARK(BM_FillListBoxWithAllLists)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_SwitchSelectedList)->Unit(benchmark::kMillisecond)->Iterations(200);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    lg::Context::reset();
    return 0;
}

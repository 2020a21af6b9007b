// The browse on a table of 1,000,000 partners, sorted by name, narrowed to
// the active ones: opening it (count and first screen of rows; goal under
// 100 ms), the same through the view, reading the next page while scrolling,
// jumping to a record by id, and the memory the process holds before and
// after scrolling through 200,000 rows and jumping about (reported as
// counters: it should not grow with the rows passed).

#include <benchmark/benchmark.h>

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>

#include "platform/dao/dao.h"
#include "platform/jetsql/sqlitefunctions.h"
#include "store/context.h"
#include "ui/browsemodel.h"
#include "ui/browseview.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kRows = 1'000'000;
const QString kFilter = u" aktiv=-1 "_s;

void sql(sqlite3* db, const char* text)
{
    char* message = nullptr;
    if (sqlite3_exec(db, text, nullptr, nullptr, &message) != SQLITE_OK) {
        std::fprintf(stderr, "bench setup: %s\n", message ? message : "?");
        std::abort();
    }
}

// Resident memory of the process in MiB.
double residentMiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * 4096.0 / (1024.0 * 1024.0);
}

struct Table {
    QTemporaryDir dir;
    std::shared_ptr<lg::dao::Database> db;
    lg::ui::BrowseDefinition definition;
    std::vector<int> activeIds;

    Table()
    {
        const QString path = dir.filePath(u"browse.db"_s);
        db = lg::dao::Database::open(path);
        db->Execute(u"CREATE TABLE partner (id LONG NOT NULL, kod TEXT(10), nev TEXT(120), varos TEXT(40), "
                    "aktiv YESNO, CONSTRAINT PrimaryKey PRIMARY KEY (id))"_s);
        db.reset();
        sqlite3* h = nullptr;
        sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READWRITE, nullptr);
        lg::jetsql::registerSqliteFunctions(h);
        sql(h, "PRAGMA journal_mode=OFF");
        sql(h, "PRAGMA synchronous=OFF");
        sql(h, "BEGIN");
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(h, "INSERT INTO partner VALUES (?, ?, ?, ?, ?)", -1, &insert, nullptr);
        static const char* const first[] = {"Alföldi", "Bakonyi", "Csabai", "Dunai", "Egri", "Fehér", "Győri",
                                            "Hajdú",   "Ipoly",   "Jászai", "Kiss",  "Lánchíd", "Mecsek", "Nagy",
                                            "Óbudai",  "Pannon",  "Rába",   "Somogy", "Tisza", "Ürömi", "Zala"};
        static const char* const second[] = {"Kereskedelmi", "Építő", "Szállító", "Agrár", "Gépipari", "Fa",
                                             "Élelmiszer",   "Papír", "Textil",   "Vas",   "Üveg"};
        static const char* const form[] = {"Kft.", "Bt.", "Zrt.", "e.v."};
        static const char* const cities[] = {"Budapest", "Debrecen", "Szeged", "Pécs", "Győr", "Eger"};
        std::mt19937 rng(42);
        for (int id = 1; id <= kRows; ++id) {
            const QByteArray name = QByteArray(first[rng() % std::size(first)]) + ' ' +
                                    second[rng() % std::size(second)] + ' ' + QByteArray::number(int(rng() % 5000)) +
                                    ' ' + form[rng() % std::size(form)];
            const QByteArray code = "P" + QByteArray::number(id).rightJustified(7, '0');
            const bool active = rng() % 10 != 0;
            sqlite3_bind_int(insert, 1, id);
            sqlite3_bind_text(insert, 2, code.constData(), int(code.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 3, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 4, cities[rng() % std::size(cities)], -1, SQLITE_STATIC);
            sqlite3_bind_int(insert, 5, active ? -1 : 0);
            sqlite3_step(insert);
            sqlite3_reset(insert);
            if (active)
                activeIds.push_back(id);
        }
        sqlite3_finalize(insert);
        sql(h, "COMMIT");
        sql(h, "CREATE INDEX \"partner:nev\" ON partner (nev)");
        sql(h, "ANALYZE");
        sqlite3_close(h);
        db = lg::dao::Database::open(path);
        definition.statement = u"SELECT id, kod, nev, varos FROM partner"_s;
        definition.columns = {{u"kod"_s, u"Kód"_s, 80}, {u"nev"_s, u"Név"_s, 260}, {u"varos"_s, u"Város"_s, 120}};
        definition.sortField = u"nev"_s;
    }
};

Table& table()
{
    static Table t;
    return t;
}

// Opening: the row count and the first screen of rows (40).
void BM_OpenModel(benchmark::State& state)
{
    Table& t = table();
    for (auto _ : state) {
        lg::ui::BrowseModel model;
        if (!model.open(t.db, t.definition, kFilter)) {
            state.SkipWithError(qPrintable(model.lastError()));
            return;
        }
        for (int row = 0; row < 40; ++row)
            benchmark::DoNotOptimize(model.idAt(row));
    }
    state.counters["rows"] = double(t.activeIds.size());
}

// The same through the view the window shows, laid out and drawn once.
void BM_OpenView(benchmark::State& state)
{
    Table& t = table();
    for (auto _ : state) {
        lg::ui::BrowseView view;
        view.resize(600, 500);
        if (!view.open(t.db, t.definition, kFilter)) {
            state.SkipWithError(qPrintable(view.lastError()));
            return;
        }
        benchmark::DoNotOptimize(view.grab());
    }
}

// Opening and positioning on a record in the middle (RefreshBrowse).
void BM_OpenAndPosition(benchmark::State& state)
{
    Table& t = table();
    const int id = t.activeIds[t.activeIds.size() / 2];
    for (auto _ : state) {
        lg::ui::BrowseModel model;
        model.open(t.db, t.definition, kFilter);
        const int row = model.rowOfId(id);
        if (row < 0 || model.idAt(row) != id) {
            state.SkipWithError("positioning failed");
            return;
        }
    }
}

// Dragging the scroll bar to the middle of a freshly opened browse.
void BM_JumpToTheMiddle(benchmark::State& state)
{
    Table& t = table();
    for (auto _ : state) {
        lg::ui::BrowseModel model;
        model.open(t.db, t.definition, kFilter);
        benchmark::DoNotOptimize(model.idAt(model.rowCount() / 2));
    }
}

// Scrolling down page after page: each iteration reads one new page.
void BM_ScrollOnePage(benchmark::State& state)
{
    Table& t = table();
    lg::ui::BrowseModel model;
    model.open(t.db, t.definition, kFilter);
    int row = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(model.idAt(row));
        row = (row + model.pageSize()) % model.rowCount();
    }
}

// Memory while scrolling: every row of the first 200,000, then jumps to ids
// all over the table. The counters are resident MiB.
void BM_MemoryWhileScrolling(benchmark::State& state)
{
    Table& t = table();
    for (auto _ : state) {
        lg::ui::BrowseModel model;
        model.open(t.db, t.definition, kFilter);
        model.idAt(0);
        const double before = residentMiB();
        double peak = before;
        for (int row = 0; row < 200'000; ++row) {
            benchmark::DoNotOptimize(model.data(model.index(row, 1)));
            if (row % 10'000 == 0)
                peak = std::max(peak, residentMiB());
        }
        for (size_t i = 0; i < 50; ++i) {
            const int id = t.activeIds[(i * 7919 * 97) % t.activeIds.size()];
            benchmark::DoNotOptimize(model.idAt(model.rowOfId(id)));
            peak = std::max(peak, residentMiB());
        }
        state.counters["rss_before_MiB"] = before;
        state.counters["rss_peak_MiB"] = peak;
        state.counters["rss_after_MiB"] = residentMiB();
        state.counters["pages_kept"] = model.cachedPages();
    }
}

BENCHMARK(BM_OpenModel)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_OpenView)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_OpenAndPosition)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_JumpToTheMiddle)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ScrollOnePage)->Unit(benchmark::kMicrosecond)->Iterations(500);
BENCHMARK(BM_MemoryWhileScrolling)->Unit(benchmark::kMillisecond)->Iterations(1);

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

// `listgen run` of the largest demo list against the sqlite3 shell running
// the same translated statement on the same file, and the peak memory of the
// run as the number of rows grows.
//
// The scale-50 demo database (about 1,000,000 invoice lines) is built once
// and cached under the build folder (bench-cache/demo50.db).

#include <benchmark/benchmark.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QString>

#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "childprocess.h"
#include "platform/jetsql/translate.h"
#include "report/runstatement.h"

namespace {

const std::string kCli = LISTGEN_CLI;
constexpr int kScale = 50;
constexpr int kLargestList = 7;  // every invoice line with partner and product
constexpr int kUser = 1;

std::string cacheDir()
{
    const std::string bin = QFileInfo(QString::fromStdString(kCli)).absolutePath().toStdString();
    const std::string dir = bin + "/../bench-cache";
    QDir().mkpath(QString::fromStdString(dir));
    return dir;
}

using lg::bench::ChildResult;
using lg::bench::runChild;

const std::string& demoDatabase()
{
    static const std::string path = [] {
        const std::string p = cacheDir() + "/demo" + std::to_string(kScale) + ".db";
        if (!QFileInfo::exists(QString::fromStdString(p))) {
            std::fprintf(stderr, "building the scale-%d demo database once (%s)...\n", kScale, p.c_str());
            const ChildResult r = runChild({kCli, "demo-db", "--out", p, "--scale", std::to_string(kScale), "--reports",
                                            cacheDir() + "/reports" + std::to_string(kScale)});
            if (r.status != 0)
                std::fprintf(stderr, "demo-db failed\n");
        }
        return p;
    }();
    return path;
}

// The list's stored statement, read straight from the file.
std::string storedStatement(const std::string& db, int list)
{
    sqlite3* h = nullptr;
    sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    std::string sql;
    if (sqlite3_prepare_v2(h, "SELECT sql_source FROM vlq_list_report WHERE id = ?", -1, &st, nullptr) == SQLITE_OK) {
        sqlite3_bind_int(st, 1, list);
        if (sqlite3_step(st) == SQLITE_ROW)
            sql = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    }
    sqlite3_finalize(st);
    sqlite3_close(h);
    return sql;
}

// The statement `listgen run` runs, as SQLite text: the shell runs it with
// the library's SQL functions and "JET" collation loaded as an extension, so
// both sides sort the same way.
std::string translatedStatement(const std::string& db, const std::string& extraCondition)
{
    const QString jet = lg::report::buildRunStatement(QString::fromStdString(storedStatement(db, kLargestList)),
                                                      QString::fromStdString(extraCondition), {}, kUser);
    return lg::jetsql::translate(jet)->sql.toStdString();
}

std::vector<std::string> shellCommand(const std::string& db, const std::string& sql)
{
    return {"sqlite3", "-readonly", "-cmd", std::string(".load ") + LISTGEN_SQLITE_EXT, "-tabs", "-header", db, sql};
}

// A condition keeping about `fraction` of the invoices (by id).
std::string invoiceShare(double fraction)
{
    return "[SZ].[id] <= " + std::to_string(long(100000 * fraction));
}

void BM_ListgenRun(benchmark::State& state)
{
    const std::string db = demoDatabase();
    long rss = 0;
    for (auto _ : state) {
        const ChildResult r = runChild({kCli, "run", "--db", db, "--list", std::to_string(kLargestList), "--user",
                                        std::to_string(kUser), "--format", "tsv"});
        if (r.status != 0)
            state.SkipWithError("listgen run failed");
        rss = r.maxRssKb;
    }
    state.counters["peak_rss_MB"] = double(rss) / 1024.0;
}
BENCHMARK(BM_ListgenRun)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_Sqlite3Shell(benchmark::State& state)
{
    const std::string db = demoDatabase();
    const std::vector<std::string> command = shellCommand(db, translatedStatement(db, ""));
    long rss = 0;
    for (auto _ : state) {
        const ChildResult r = runChild(command);
        if (r.status != 0)
            state.SkipWithError("sqlite3 failed");
        rss = r.maxRssKb;
    }
    state.counters["peak_rss_MB"] = double(rss) / 1024.0;
}
BENCHMARK(BM_Sqlite3Shell)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Peak memory of `listgen run` for a tenth, a third and all of the rows:
// streaming keeps it flat (the database's own sort buffers aside).
void BM_ListgenRunMemory(benchmark::State& state)
{
    const std::string db = demoDatabase();
    const double fraction = double(state.range(0)) / 100.0;
    long rss = 0;
    for (auto _ : state) {
        const ChildResult r = runChild({kCli, "run", "--db", db, "--list", std::to_string(kLargestList), "--user",
                                        std::to_string(kUser), "--where", invoiceShare(fraction)});
        if (r.status != 0)
            state.SkipWithError("listgen run failed");
        rss = r.maxRssKb;
    }
    state.counters["rows_pct"] = double(state.range(0));
    state.counters["peak_rss_MB"] = double(rss) / 1024.0;
}
BENCHMARK(BM_ListgenRunMemory)->Arg(10)->Arg(33)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

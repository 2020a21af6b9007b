// PostgreSQL against its own tools, on a throwaway cluster this program
// starts and removes (tests/support/pgcluster.h):
//   - `listgen run` of the largest demo list at scale 50 to a TSV file,
//     against psql writing the same translated statement to a file
//     (goal: within 1.2×);
//   - a Seek ">=" on a two-column index and 100 × MoveNext on a table-type
//     recordset, against a hand-written libpq keyset query with PQexecParams
//     (goal: within 2×);
//   - the peak memory of reading 10,000, 100,000 and 1,000,000 rows through
//     a statement recordset, each read in a process of its own (goal: flat).
// The ratios are printed after the benchmark table. Without PostgreSQL's
// server binaries every benchmark is skipped with the reason.
//
// LISTGEN_BENCH_PG_SCALE sets another demo scale (a quick look at a smaller
// demo); the figures in the docs are for 50.

#include <benchmark/benchmark.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>

#include <libpq-fe.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "platform/dao/dao.h"
#include "childprocess.h"
#include "platform/jetsql/translate.h"
#include "report/runstatement.h"
#include "support/pgcluster.h"

using lg::test::PgCluster;
using namespace lg::dao;

namespace {

const std::string kCli = LISTGEN_CLI;
constexpr int kLargestList = 7;  // every invoice line with partner and product
constexpr int kUser = 1;
constexpr int kRows = 1000000;
constexpr int kGroups = 1000;  // 1000 rows per group

int demoScale()
{
    const char* env = std::getenv("LISTGEN_BENCH_PG_SCALE");
    const int scale = env ? std::atoi(env) : 0;
    return scale > 0 ? scale : 50;
}

// Mean wall time of one iteration, by benchmark, for the ratios.
std::map<std::string, double> g_seconds;
std::map<long, double> g_peakMb;  // peak RSS of a read, by rows

bool clusterOrSkip(benchmark::State& state)
{
    PgCluster& c = PgCluster::instance();
    if (c.available())
        return true;
    state.SkipWithError(("PostgreSQL: " + c.unavailableReason().toStdString()).c_str());
    return false;
}

QTemporaryDir& scratch()
{
    static QTemporaryDir dir;
    return dir;
}

using lg::bench::ChildResult;
using lg::bench::runChild;

// ---- listgen run against psql ---------------------------------------------------------

const std::string& demoUri()
{
    static const std::string uri = [] {
        PgCluster& c = PgCluster::instance();
        const std::string u = c.uri(c.createDatabase()).toStdString();
        std::fprintf(stderr, "building the scale-%d demo on PostgreSQL...\n", demoScale());
        QElapsedTimer timer;
        timer.start();
        const std::string reports = scratch().filePath(QStringLiteral("reports")).toStdString();
        const ChildResult r = runChild({kCli, "demo-db", "--db", u, "--scale", std::to_string(demoScale()),
                                        "--reports", reports});
        if (r.status != 0)
            std::fprintf(stderr, "demo-db failed\n");
        std::fprintf(stderr, "demo built in %.1f s\n", timer.elapsed() / 1000.0);
        return u;
    }();
    return uri;
}

// The statement `listgen run` runs for the list, as PostgreSQL text.
std::string translatedStatement(const std::string& uri)
{
    auto db = Database::open(QString::fromStdString(uri));
    auto rs = db->OpenRecordset(
        QStringLiteral("SELECT sql_source FROM vlq_list_report WHERE id = %1").arg(kLargestList), RecordsetType::Snapshot);
    const QString jet = lg::report::buildRunStatement(rs->Fields(0).toString(), QString(), {}, kUser);
    return lg::jetsql::translate(jet, lg::jetsql::Dialect::PostgreSQL)->sql.toStdString();
}

void BM_PgRun_Listgen(benchmark::State& state)
{
    if (!clusterOrSkip(state))
        return;
    const std::string uri = demoUri();
    const std::string out = scratch().filePath(QStringLiteral("listgen.tsv")).toStdString();
    long rss = 0;
    QElapsedTimer timer;
    timer.start();
    for (auto _ : state) {
        const ChildResult r = runChild({kCli, "run", "--db", uri, "--list", std::to_string(kLargestList), "--user",
                                        std::to_string(kUser), "--format", "tsv", "--out", out});
        if (r.status != 0)
            state.SkipWithError("listgen run failed");
        rss = r.maxRssKb;
    }
    g_seconds["run listgen"] = timer.nsecsElapsed() / 1e9 / double(state.iterations());
    state.counters["peak_rss_MB"] = double(rss) / 1024.0;
    state.counters["file_MB"] = double(QFileInfo(QString::fromStdString(out)).size()) / 1e6;
}
BENCHMARK(BM_PgRun_Listgen)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_PgRun_Psql(benchmark::State& state)
{
    if (!clusterOrSkip(state))
        return;
    const std::string uri = demoUri();
    const std::string sql = translatedStatement(uri);
    const std::string out = scratch().filePath(QStringLiteral("psql.tsv")).toStdString();
    long rss = 0;
    QElapsedTimer timer;
    timer.start();
    for (auto _ : state) {
        const ChildResult r = runChild({"psql", "-X", "-q", "-A", "-t", "-F", "\t", "-o", out, "-d", uri, "-c", sql});
        if (r.status != 0)
            state.SkipWithError("psql failed");
        rss = r.maxRssKb;
    }
    g_seconds["run psql"] = timer.nsecsElapsed() / 1e9 / double(state.iterations());
    state.counters["peak_rss_MB"] = double(rss) / 1024.0;
    state.counters["file_MB"] = double(QFileInfo(QString::fromStdString(out)).size()) / 1e6;
}
BENCHMARK(BM_PgRun_Psql)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// ---- seek and 100 rows against a libpq keyset query --------------------------------------

void exec(PGconn* conn, const char* sql)
{
    PGresult* r = PQexec(conn, sql);
    const ExecStatusType st = PQresultStatus(r);
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
        std::fprintf(stderr, "bench setup: %s\n", PQresultErrorMessage(r));
        std::abort();
    }
    PQclear(r);
}

// A database with `big`: 1,000,000 rows, grouped by a scattered key, so the
// index order is not the table order.
const QString& bigUri()
{
    static const QString uri = [] {
        PgCluster& c = PgCluster::instance();
        const QString u = c.uri(c.createDatabase());
        {
            auto db = Database::open(u);
            db->Execute(QStringLiteral("CREATE TABLE big (id LONG PRIMARY KEY, grp LONG NOT NULL, sort_order LONG NOT NULL, "
                                       "name TEXT(30), amount DOUBLE)"));
            db->Execute(QStringLiteral("CREATE INDEX grp_sort ON big (grp, sort_order)"));
        }
        PGconn* conn = PQconnectdb(u.toUtf8().constData());
        exec(conn, "INSERT INTO big SELECT i, (i::bigint * 7919 % 1000)::int, (i::bigint * 48271 % 1000003)::int % 1000000, "
                   "'name ' || i, i * 0.25 FROM generate_series(1, 1000000) AS i");
        exec(conn, "VACUUM ANALYZE big");
        PQfinish(conn);
        return u;
    }();
    return uri;
}

// The same work on both sides: every column into a Qt value.
struct Sink {
    qint64 ints = 0;
    double sum = 0;
    qsizetype chars = 0;
};

struct SeekKeys {
    unsigned state = 1;
    int next(int bound)
    {
        state = state * 1103515245u + 12345u;
        return int((state >> 8) % unsigned(bound));
    }
};

void BM_PgSeekAnd100Rows_Dao(benchmark::State& state)
{
    if (!clusterOrSkip(state))
        return;
    auto db = Database::open(bigUri());
    auto rs = db->OpenRecordset(QStringLiteral("big"), RecordsetType::Table, dbReadOnly);
    rs->setIndex(QStringLiteral("grp_sort"));
    SeekKeys keys;
    Sink sink;
    QElapsedTimer timer;
    timer.start();
    for (auto _ : state) {
        const int grp = keys.next(kGroups);
        rs->Seek(QStringLiteral(">="), {grp, keys.next(1000000)});
        for (int n = 0; n < 100 && !rs->Eof(); ++n) {
            sink.ints += rs->Fields(0).toLongLong() + rs->Fields(1).toLongLong() + rs->Fields(2).toLongLong();
            sink.chars += rs->Fields(3).toString().size();
            sink.sum += rs->Fields(4).toDouble();
            rs->MoveNext();
        }
    }
    g_seconds["seek dao"] = timer.nsecsElapsed() / 1e9 / double(state.iterations());
    benchmark::DoNotOptimize(sink);
}
BENCHMARK(BM_PgSeekAnd100Rows_Dao)->Unit(benchmark::kMicrosecond)->MinTime(2);

void BM_PgSeekAnd100Rows_Libpq(benchmark::State& state)
{
    if (!clusterOrSkip(state))
        return;
    PGconn* conn = PQconnectdb(bigUri().toUtf8().constData());
    const char* sql = "SELECT id, grp, sort_order, name, amount FROM big WHERE (grp, sort_order) >= ($1, $2) "
                      "ORDER BY grp, sort_order LIMIT 100";
    SeekKeys keys;
    Sink sink;
    QElapsedTimer timer;
    timer.start();
    for (auto _ : state) {
        const QByteArray grp = QByteArray::number(keys.next(kGroups));
        const QByteArray order = QByteArray::number(keys.next(1000000));
        const char* values[] = {grp.constData(), order.constData()};
        const Oid types[] = {23, 23};
        PGresult* r = PQexecParams(conn, sql, 2, types, values, nullptr, nullptr, 0);
        for (int i = 0; i < PQntuples(r); ++i) {
            // name and amount may be Null, which the application keeps apart
            // from "" and 0 as the recordset does.
            const QVariant id(qlonglong(std::strtoll(PQgetvalue(r, i, 0), nullptr, 10)));
            const QVariant g(qlonglong(std::strtoll(PQgetvalue(r, i, 1), nullptr, 10)));
            const QVariant o(qlonglong(std::strtoll(PQgetvalue(r, i, 2), nullptr, 10)));
            const QVariant name = PQgetisnull(r, i, 3) ? QVariant()
                                                       : QVariant(QString::fromUtf8(PQgetvalue(r, i, 3), PQgetlength(r, i, 3)));
            const QVariant amount = PQgetisnull(r, i, 4) ? QVariant() : QVariant(std::strtod(PQgetvalue(r, i, 4), nullptr));
            sink.ints += id.toLongLong() + g.toLongLong() + o.toLongLong();
            sink.chars += name.toString().size();
            sink.sum += amount.toDouble();
        }
        PQclear(r);
    }
    g_seconds["seek libpq"] = timer.nsecsElapsed() / 1e9 / double(state.iterations());
    PQfinish(conn);
    benchmark::DoNotOptimize(sink);
}
BENCHMARK(BM_PgSeekAnd100Rows_Libpq)->Unit(benchmark::kMicrosecond)->MinTime(2);

// ---- peak memory as rows grow ---------------------------------------------------------------

// In the child: reads the first `rows` rows of `big` through a forward-only
// statement recordset, every column into a Qt value.
int readRows(const QString& uri, long rows)
{
    auto db = Database::open(uri);
    auto rs = db->OpenRecordset(
        QStringLiteral("SELECT id, grp, sort_order, name, amount FROM big WHERE id <= %1 ORDER BY id").arg(rows),
        RecordsetType::ForwardOnly, dbReadOnly);
    Sink sink;
    long n = 0;
    for (; !rs->Eof(); rs->MoveNext(), ++n) {
        sink.ints += rs->Fields(0).toLongLong() + rs->Fields(1).toLongLong() + rs->Fields(2).toLongLong();
        sink.chars += rs->Fields(3).toString().size();
        sink.sum += rs->Fields(4).toDouble();
    }
    benchmark::DoNotOptimize(sink);
    return n == rows ? 0 : 1;
}

void BM_PgReadMemory(benchmark::State& state)
{
    if (!clusterOrSkip(state))
        return;
    const long rows = long(state.range(0));
    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    long rss = 0;
    for (auto _ : state) {
        const ChildResult r = runChild({self, "--read-rows", bigUri().toStdString(), std::to_string(rows)});
        if (r.status != 0)
            state.SkipWithError("reading the rows failed");
        rss = r.maxRssKb;
    }
    g_peakMb[rows] = double(rss) / 1024.0;
    state.counters["rows"] = double(rows);
    state.counters["peak_rss_MB"] = double(rss) / 1024.0;
}
BENCHMARK(BM_PgReadMemory)->Arg(10000)->Arg(100000)->Arg(kRows)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void printRatios()
{
    if (!PgCluster::instance().available()) {
        std::printf("PostgreSQL benchmarks skipped: %s\n", qPrintable(PgCluster::instance().unavailableReason()));
        return;
    }
    auto ratio = [](const char* a, const char* b) {
        const auto x = g_seconds.find(a), y = g_seconds.find(b);
        return x == g_seconds.end() || y == g_seconds.end() || y->second <= 0 ? -1.0 : x->second / y->second;
    };
    if (g_seconds.count("run listgen") && g_seconds.count("run psql"))
        std::printf("listgen run / psql (scale %d, list %d): %.0f ms / %.0f ms = %.2f (goal <= 1.2)\n", demoScale(),
                    kLargestList, g_seconds["run listgen"] * 1e3, g_seconds["run psql"] * 1e3,
                    ratio("run listgen", "run psql"));
    if (g_seconds.count("seek dao") && g_seconds.count("seek libpq"))
        std::printf("seek + 100 rows, recordset / libpq: %.0f us / %.0f us = %.2f (goal <= 2)\n",
                    g_seconds["seek dao"] * 1e6, g_seconds["seek libpq"] * 1e6, ratio("seek dao", "seek libpq"));
    if (g_peakMb.size() >= 2)
        std::printf("peak RSS reading %ld / %ld rows: %.1f MB / %.1f MB = %.2f (goal: flat)\n", g_peakMb.rbegin()->first,
                    g_peakMb.begin()->first, g_peakMb.rbegin()->second, g_peakMb.begin()->second,
                    g_peakMb.rbegin()->second / g_peakMb.begin()->second);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && std::string(argv[1]) == "--read-rows")
        return readRows(QString::fromLocal8Bit(argv[2]), std::atol(argv[3]));
    benchmark::Initialize(&argc, argv);
    if (!PgCluster::instance().available())
        std::printf("PostgreSQL: %s; the PostgreSQL benchmarks are skipped\n",
                    qPrintable(PgCluster::instance().unavailableReason()));
    benchmark::RunSpecifiedBenchmarks();
    printRatios();
    benchmark::Shutdown();
    return 0;
}

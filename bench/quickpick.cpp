// The quick pick on a table of 1,000,000 partners: one keystroke (hit and
// miss) against a bare index seek on the same table and index, the seek
// plus reading the found record's key, text and result columns. Goal: a
// keystroke within 2× of the bare seek (at most 1 ms). The program prints
// the ratios after the benchmark table.
//
// The table is built here (names of two or three Hungarian syllables and a
// company form, so prefixes hit many rows and accented letters sit among
// plain ones), in a temporary file with the library's DDL and collation.

#include <benchmark/benchmark.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "filters/quickpick.h"
#include "platform/dao/dao.h"
#include "platform/jetsql/sqlitefunctions.h"

namespace {

constexpr int kRows = 1000000;

void sql(sqlite3* db, const char* text)
{
    char* message = nullptr;
    if (sqlite3_exec(db, text, nullptr, nullptr, &message) != SQLITE_OK) {
        std::fprintf(stderr, "bench setup: %s\n", message ? message : "?");
        std::abort();
    }
}

const char* const kSyllables[] = {"ko", "vá", "cs", "ki", "ss", "na", "gy", "ár", "bé", "la", "ző", "sz",
                                  "ta", "me", "ör", "dö", "ba", "ri", "zs", "ol", "pé", "te", "hu", "ly"};
const char* const kForms[] = {" Kft.", " Bt.", " Zrt.", " e.v.", " és Társa", ""};

struct Table {
    QTemporaryDir dir;
    QString path;
    std::shared_ptr<lg::dao::Database> db;
    lg::filters::QuickPickSearch search;
    std::shared_ptr<lg::dao::Recordset> bare;
    sqlite3* raw = nullptr;
    sqlite3_stmt* rawSeek = nullptr;
    QStringList hits;
    QStringList misses;

    Table()
    {
        path = dir.filePath(QStringLiteral("quickpick.db"));
        {
            auto created = lg::dao::Database::open(path);
            created->Execute(QStringLiteral("CREATE TABLE partner (id LONG NOT NULL, kod TEXT(10), nev TEXT(120), "
                                            "CONSTRAINT PrimaryKey PRIMARY KEY (id))"));
            created->Execute(QStringLiteral("CREATE TABLE vlq_quickpick (id LONG NOT NULL, name TEXT(100), "
                                            "table_name TEXT(64), browse_id LONG, browse_where_clause MEMO, "
                                            "use_where_in_browse YESNO, primarykey_indexname TEXT(64), "
                                            "primarykey_filedname TEXT(64), search_start_length LONG, "
                                            "browse_row_count LONG, CONSTRAINT PrimaryKey PRIMARY KEY (id))"));
            created->Execute(QStringLiteral("CREATE TABLE vlq_quickpick_field (id LONG NOT NULL, quickpick_id LONG, "
                                            "sort_order LONG, search_field TEXT(64), search_field_name TEXT(100), "
                                            "visible_field TEXT(64), index_name TEXT(64), index_stucture TEXT(255), "
                                            "CONSTRAINT PrimaryKey PRIMARY KEY (id))"));
            created->Execute(QStringLiteral("CREATE INDEX Quickpick_sort ON vlq_quickpick_field (quickpick_id, sort_order)"));
            created->Execute(QStringLiteral("INSERT INTO vlq_quickpick VALUES (1, 'Partnerek', 'partner', 1, NULL, 0, "
                                            "'PrimaryKey', 'id', 3, 20)"));
            created->Execute(QStringLiteral("INSERT INTO vlq_quickpick_field VALUES (1, 1, 1, 'nev', 'Név', 'kod', "
                                            "'nev', '%SEARCH%')"));
        }
        sqlite3* h = nullptr;
        sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READWRITE, nullptr);
        lg::jetsql::registerSqliteFunctions(h);
        sql(h, "PRAGMA journal_mode=OFF");
        sql(h, "PRAGMA synchronous=OFF");
        sql(h, "BEGIN");
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(h, "INSERT INTO partner (id, kod, nev) VALUES (?, ?, ?)", -1, &insert, nullptr);
        std::uint64_t state = 12345;
        auto next = [&state] {
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            return state >> 33;
        };
        constexpr int nSyl = int(sizeof kSyllables / sizeof *kSyllables);
        for (int i = 1; i <= kRows; ++i) {
            QByteArray name;
            const int parts = 2 + int(next() % 3);
            for (int p = 0; p < parts; ++p)
                name += kSyllables[next() % nSyl];
            name[0] = char(QChar::fromLatin1(name[0]).toUpper().toLatin1());
            name += kForms[next() % 6];
            name += ' ';
            name += QByteArray::number(i % 997);
            const QByteArray code = "P" + QByteArray::number(i).rightJustified(7, '0');
            sqlite3_bind_int(insert, 1, i);
            sqlite3_bind_text(insert, 2, code.constData(), int(code.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 3, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sql(h, "COMMIT");
        sql(h, "CREATE INDEX nev ON partner (nev)");
        sqlite3_close(h);

        sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
        lg::jetsql::registerSqliteFunctions(raw);
        sqlite3_prepare_v2(raw, "SELECT id, kod, nev FROM partner WHERE nev >= ?1 ORDER BY nev LIMIT 1", -1,
                           &rawSeek, nullptr);
        db = lg::dao::Database::open(path);
        if (!search.initialize(db, 1) || search.fieldCount() != 1)
            std::abort();
        bare = db->OpenRecordset(QStringLiteral("partner"), lg::dao::RecordsetType::Table);
        bare->setIndex(QStringLiteral("nev"));
        hits = {QStringLiteral("Kov"), QStringLiteral("Kovácsz"), QStringLiteral("Árbé"), QStringLiteral("Gyta"),
                QStringLiteral("Zsol"), QStringLiteral("Mehu"), QStringLiteral("Lakiss"), QStringLiteral("Tabari")};
        misses = {QStringLiteral("Kox"), QStringLiteral("Qqq"), QStringLiteral("Árbéx"), QStringLiteral("Zsolq"),
                  QStringLiteral("Abc"), QStringLiteral("Kovávx"), QStringLiteral("Ly9"), QStringLiteral("Wxyz")};
        for (const QString& h : hits)
            if (!search.search(h, false).found)
                std::fprintf(stderr, "bench setup: %s finds nothing\n", qPrintable(h));
        for (const QString& m : misses)
            if (search.search(m, false).found)
                std::fprintf(stderr, "bench setup: %s finds something\n", qPrintable(m));
    }

    // The same seek in SQLite itself, without the library.
    int rawSeekOnce(const QString& key)
    {
        const QByteArray k = key.toUtf8();
        sqlite3_bind_text(rawSeek, 1, k.constData(), int(k.size()), SQLITE_TRANSIENT);
        int id = -1;
        if (sqlite3_step(rawSeek) == SQLITE_ROW) {
            id = sqlite3_column_int(rawSeek, 0);
            benchmark::DoNotOptimize(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rawSeek, 1))));
            benchmark::DoNotOptimize(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rawSeek, 2))));
        }
        sqlite3_reset(rawSeek);
        return id;
    }

    // The bare seek of a table-type recordset: what any lookup on the index
    // through the library has to do.
    int seek(const QString& key)
    {
        bare->Seek(QStringLiteral(">="), {key});
        if (bare->NoMatch())
            return -1;
        benchmark::DoNotOptimize(bare->Fields(QStringLiteral("nev")));
        benchmark::DoNotOptimize(bare->Fields(QStringLiteral("kod")));
        return bare->Fields(QStringLiteral("id")).toInt();
    }
};

Table& table()
{
    static Table t;
    return t;
}

void BM_BareIndexSeek(benchmark::State& state)
{
    Table& t = table();
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(t.seek(t.hits[i++ % t.hits.size()]));
}
BENCHMARK(BM_BareIndexSeek)->Unit(benchmark::kMicrosecond);

void BM_SqliteIndexSeek(benchmark::State& state)
{
    Table& t = table();
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(t.rawSeekOnce(t.hits[i++ % t.hits.size()]));
}
BENCHMARK(BM_SqliteIndexSeek)->Unit(benchmark::kMicrosecond);

void BM_KeystrokeHit(benchmark::State& state)
{
    Table& t = table();
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(t.search.search(t.hits[i++ % t.hits.size()], false));
}
BENCHMARK(BM_KeystrokeHit)->Unit(benchmark::kMicrosecond);

void BM_KeystrokeMiss(benchmark::State& state)
{
    Table& t = table();
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(t.search.search(t.misses[i++ % t.misses.size()], false));
}
BENCHMARK(BM_KeystrokeMiss)->Unit(benchmark::kMicrosecond);

void BM_KeystrokeExact(benchmark::State& state)
{
    Table& t = table();
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(t.search.search(t.hits[i++ % t.hits.size()], true));
}
BENCHMARK(BM_KeystrokeExact)->Unit(benchmark::kMicrosecond);

// Mean time of one call over `rounds`, in microseconds.
template <class F>
double meanMicros(int rounds, F&& f)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i)
        f(i);
    return double(timer.nsecsElapsed()) / rounds / 1000.0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QElapsedTimer build;
    build.start();
    Table& t = table();
    std::printf("table of %d rows built in %.1f s\n", kRows, build.elapsed() / 1000.0);
    benchmark::RunSpecifiedBenchmarks();

    constexpr int kRounds = 20000;
    const double seek = meanMicros(kRounds, [&](int i) { t.seek(t.hits[i % t.hits.size()]); });
    const double seekMiss = meanMicros(kRounds, [&](int i) { t.seek(t.misses[i % t.misses.size()]); });
    const double rawHit = meanMicros(kRounds, [&](int i) { t.rawSeekOnce(t.hits[i % t.hits.size()]); });
    const double rawMiss = meanMicros(kRounds, [&](int i) { t.rawSeekOnce(t.misses[i % t.misses.size()]); });
    long walked = 0;
    const double hit = meanMicros(kRounds, [&](int i) {
        t.search.search(t.hits[i % t.hits.size()], false);
        walked += t.search.lastWalk();
    });
    const double miss = meanMicros(kRounds, [&](int i) {
        t.search.search(t.misses[i % t.misses.size()], false);
        walked += t.search.lastWalk();
    });
    const double exact = meanMicros(kRounds, [&](int i) { t.search.search(t.hits[i % t.hits.size()], true); });
    std::printf("table-type recordset seek: hit keys %.1f us, miss keys %.1f us\n", seek, seekMiss);
    std::printf("SQLite index seek:         hit keys %.1f us, miss keys %.1f us\n", rawHit, rawMiss);
    std::printf("keystroke: hit %.1f us, miss %.1f us, exact %.1f us; records read past the seek position: %.2f "
                "per keystroke\n",
                hit, miss, exact, double(walked) / (2 * kRounds));
    std::printf("ratio keystroke / recordset seek: hit %.2f, miss %.2f (goal <= 2)\n", hit / seek, miss / seekMiss);
    std::printf("ratio keystroke / SQLite seek:    hit %.2f, miss %.2f\n", hit / rawHit, miss / rawMiss);
    benchmark::Shutdown();
    return 0;
}

// The database layer against hand-written sqlite3 code doing the same work on
// a 1,000,000-row table:
//   - a Seek on a two-column index and reading the next 100 rows in index order;
//   - reading every row of a statement.
// Both sides read every column of every row into Qt values (QString for text),
// as an application would: telling Null apart where a column may hold it.

#include <benchmark/benchmark.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QRandomGenerator>
#include <QtCore/QString>

#include <sqlite3.h>

#include "platform/dao/dao.h"

using namespace lg::dao;

namespace {

constexpr int kRows = 1000000;
constexpr int kGroups = 1000;  // 1000 rows per group

// A raw connection of the hand-written side, beside the layer's own.
struct RawDb {
    sqlite3* h = nullptr;
    explicit RawDb(const QString& path) { sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr); }
    ~RawDb() { sqlite3_close_v2(h); }
    RawDb(const RawDb&) = delete;
    RawDb& operator=(const RawDb&) = delete;
};

QString fixturePath()
{
    static const QString path = [] {
        const QString p = QDir::tempPath() + QStringLiteral("/listgen_bench_dao_%1.db").arg(kRows);
        if (QFile::exists(p)) {
            auto db = Database::open(p);
            if (db->hasTable(QStringLiteral("big"))) {
                auto rs = db->OpenRecordset(QStringLiteral("SELECT count(*) FROM big"), RecordsetType::Snapshot);
                if (rs->Fields(0).toLongLong() == kRows)
                    return p;
            }
        }
        QFile::remove(p);
        QFile::remove(p + QStringLiteral("-wal"));
        QFile::remove(p + QStringLiteral("-shm"));
        auto db = Database::open(p);
        db->Execute(
            QStringLiteral("CREATE TABLE big (id LONG PRIMARY KEY, grp LONG NOT NULL, sort_order LONG NOT NULL, "
                           "name TEXT(30), amount DOUBLE)"));
        db->Execute(QStringLiteral("CREATE INDEX grp_sort ON big (grp, sort_order)"));
        db.reset();
        RawDb raw(p);
        sqlite3_exec(raw.h, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* ins = nullptr;
        sqlite3_prepare_v2(raw.h, "INSERT INTO big VALUES (?,?,?,?,?)", -1, &ins, nullptr);
        QRandomGenerator rnd(42);
        for (int i = 1; i <= kRows; ++i) {
            // Inserted in id order, but grouped by a scattered key: the index order is not the table order.
            const int grp = int((qint64(i) * 7919) % kGroups);
            sqlite3_bind_int(ins, 1, i);
            sqlite3_bind_int(ins, 2, grp);
            sqlite3_bind_int(ins, 3, int(rnd.bounded(1000000)));
            const QByteArray name = "name " + QByteArray::number(i);
            sqlite3_bind_text(ins, 4, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            sqlite3_bind_double(ins, 5, i * 0.25);
            sqlite3_step(ins);
            sqlite3_reset(ins);
        }
        sqlite3_finalize(ins);
        sqlite3_exec(raw.h, "COMMIT", nullptr, nullptr, nullptr);
        return p;
    }();
    return path;
}

// The same work on both sides: every column into a Qt value.
struct Sink {
    qint64 ints = 0;
    double sum = 0;
    qsizetype chars = 0;
};

void BM_SeekAnd100Rows_Dao(benchmark::State& state)
{
    auto db = Database::open(fixturePath());
    auto rs = db->OpenRecordset(QStringLiteral("big"), RecordsetType::Table, dbReadOnly);
    rs->setIndex(QStringLiteral("grp_sort"));
    QRandomGenerator rnd(1);
    Sink sink;
    for (auto _ : state) {
        rs->Seek(QStringLiteral(">="), {int(rnd.bounded(kGroups)), int(rnd.bounded(1000000))});
        for (int n = 0; n < 100 && !rs->Eof(); ++n) {
            sink.ints += rs->Fields(0).toLongLong() + rs->Fields(1).toLongLong() + rs->Fields(2).toLongLong();
            sink.chars += rs->Fields(3).toString().size();
            sink.sum += rs->Fields(4).toDouble();
            rs->MoveNext();
        }
    }
    benchmark::DoNotOptimize(sink);
}

void BM_SeekAnd100Rows_Raw(benchmark::State& state)
{
    RawDb db(fixturePath());
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db.h,
                       "SELECT id, grp, sort_order, name, amount FROM big WHERE (grp, sort_order) >= (?1, ?2) "
                       "ORDER BY grp, sort_order",
                       -1, &s, nullptr);
    QRandomGenerator rnd(1);
    Sink sink;
    for (auto _ : state) {
        sqlite3_bind_int(s, 1, int(rnd.bounded(kGroups)));
        sqlite3_bind_int(s, 2, int(rnd.bounded(1000000)));
        for (int n = 0; n < 100 && sqlite3_step(s) == SQLITE_ROW; ++n) {
            sink.ints += sqlite3_column_int64(s, 0) + sqlite3_column_int64(s, 1) + sqlite3_column_int64(s, 2);
            sink.chars +=
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 3)), sqlite3_column_bytes(s, 3))
                    .size();
            sink.sum += sqlite3_column_double(s, 4);
        }
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    benchmark::DoNotOptimize(sink);
}

void BM_ReadAllRows_Dao(benchmark::State& state)
{
    auto db = Database::open(fixturePath());
    Sink sink;
    for (auto _ : state) {
        auto rs = db->OpenRecordset(QStringLiteral("SELECT id, grp, sort_order, name, amount FROM big"),
                                    RecordsetType::ForwardOnly);
        long rows = 0;
        while (!rs->Eof()) {
            sink.ints += rs->Fields(0).toLongLong() + rs->Fields(1).toLongLong() + rs->Fields(2).toLongLong();
            sink.chars += rs->Fields(3).toString().size();
            sink.sum += rs->Fields(4).toDouble();
            ++rows;
            rs->MoveNext();
        }
        state.counters["rows"] = double(rows);
    }
    benchmark::DoNotOptimize(sink);
}

void BM_ReadAllRows_Raw(benchmark::State& state)
{
    RawDb db(fixturePath());
    Sink sink;
    for (auto _ : state) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db.h, "SELECT id, grp, sort_order, name, amount FROM big", -1, &s, nullptr);
        long rows = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            // id, grp and sort_order are NOT NULL; name and amount may be Null,
            // which the application keeps apart from "" and 0 as the recordset does.
            sink.ints += sqlite3_column_int64(s, 0) + sqlite3_column_int64(s, 1) + sqlite3_column_int64(s, 2);
            if (sqlite3_column_type(s, 3) != SQLITE_NULL)
                sink.chars += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 3)),
                                                sqlite3_column_bytes(s, 3))
                                  .size();
            if (sqlite3_column_type(s, 4) != SQLITE_NULL)
                sink.sum += sqlite3_column_double(s, 4);
            ++rows;
        }
        sqlite3_finalize(s);
        state.counters["rows"] = double(rows);
    }
    benchmark::DoNotOptimize(sink);
}

// The raw loop again, handing out the same QVariant values the recordset does.
void BM_ReadAllRows_RawVariant(benchmark::State& state)
{
    RawDb db(fixturePath());
    Sink sink;
    for (auto _ : state) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db.h, "SELECT id, grp, sort_order, name, amount FROM big", -1, &s, nullptr);
        long rows = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            const QVariant v0(qlonglong(sqlite3_column_int64(s, 0)));
            const QVariant v1(qlonglong(sqlite3_column_int64(s, 1)));
            const QVariant v2(qlonglong(sqlite3_column_int64(s, 2)));
            const QVariant v3 =
                sqlite3_column_type(s, 3) == SQLITE_NULL
                    ? QVariant()
                    : QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 3)),
                                                 sqlite3_column_bytes(s, 3)));
            const QVariant v4 =
                sqlite3_column_type(s, 4) == SQLITE_NULL ? QVariant() : QVariant(sqlite3_column_double(s, 4));
            sink.ints += v0.toLongLong() + v1.toLongLong() + v2.toLongLong();
            sink.chars += v3.toString().size();
            sink.sum += v4.toDouble();
            ++rows;
        }
        sqlite3_finalize(s);
        state.counters["rows"] = double(rows);
    }
    benchmark::DoNotOptimize(sink);
}

}  // namespace

BENCHMARK(BM_SeekAnd100Rows_Dao)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SeekAnd100Rows_Raw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadAllRows_Dao)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadAllRows_Raw)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadAllRows_RawVariant)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();

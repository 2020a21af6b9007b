// Permission selection over a large store and statement generation for a
// wide list.

#include <benchmark/benchmark.h>

#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>

#include <sqlite3.h>

#include <memory>
#include <random>

#include "catalogue/fieldcatalogue.h"
#include "catalogue/permissions.h"
#include "platform/dao/dao.h"
#include "platform/jetsql/sqlitefunctions.h"
#include "report/statementgenerator.h"
#include "store/context.h"
#include "store/schema.h"

namespace {

constexpr int kLists = 10000;
constexpr int kUsers = 2000;
constexpr int kGroups = 200;
constexpr int kDenials = 5000;
constexpr int kTypes = 50;
constexpr int kModules = 5;

void sql(sqlite3* db, const char* text)
{
    char* message = nullptr;
    if (sqlite3_exec(db, text, nullptr, nullptr, &message) != SQLITE_OK) {
        std::fprintf(stderr, "bench setup: %s\n", message ? message : "?");
        std::abort();
    }
}

// Runs `text` once per row of values.
void insertRows(sqlite3* db, const char* text, int rows, const std::function<void(sqlite3_stmt*, int)>& bind)
{
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, text, -1, &st, nullptr);
    for (int i = 0; i < rows; ++i) {
        bind(st, i);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
}

struct Store {
    QTemporaryDir dir;
    std::shared_ptr<lg::dao::Database> db;
    long wideList = 0;
    long wideType = 1;

    Store()
    {
        db = lg::dao::Database::open(dir.filePath(QStringLiteral("bench.db")));
        lg::store::installSchema(*db);
        // Filled past the layer, on a connection of its own.
        sqlite3* h = nullptr;
        sqlite3_open_v2(dir.filePath(QStringLiteral("bench.db")).toUtf8().constData(), &h, SQLITE_OPEN_READWRITE,
                        nullptr);
        lg::jetsql::registerSqliteFunctions(h);  // the schema's collation and functions
        std::mt19937 rnd(42);
        sql(h, "BEGIN");
        insertRows(h, "insert into vlq_list_wizard_type (id, name, modul_id, required_table) values (?, ?, ?, 1)",
                   kTypes, [](sqlite3_stmt* st, int i) {
                       sqlite3_bind_int(st, 1, i + 1);
                       const QByteArray name = QByteArray("Típus ") + QByteArray::number(i + 1);
                       sqlite3_bind_text(st, 2, name.constData(), -1, SQLITE_TRANSIENT);
                       sqlite3_bind_int(st, 3, i % kModules + 1);
                   });
        insertRows(h, "insert into vlq_user (id, display_name) values (?, 'u')", kUsers,
                   [](sqlite3_stmt* st, int i) { sqlite3_bind_int(st, 1, i + 1); });
        insertRows(h, "insert into vlq_user_group (id, name) values (?, 'g')", kGroups,
                   [](sqlite3_stmt* st, int i) { sqlite3_bind_int(st, 1, i + 1); });
        // Every user in one or two groups.
        insertRows(h, "insert or ignore into vlq_user_group_member (user_id, user_group_id) values (?, ?)",
                   kUsers * 2, [&](sqlite3_stmt* st, int i) {
                       sqlite3_bind_int(st, 1, i % kUsers + 1);
                       sqlite3_bind_int(st, 2, i < kUsers ? i % kGroups + 1 : int(rnd() % kGroups) + 1);
                   });
        insertRows(h,
                   "insert into vlq_list_report (id, list_type_id, name, create_user, private, del_status, "
                   "temp_status) values (?, ?, ?, ?, ?, 0, 0)",
                   kLists, [&](sqlite3_stmt* st, int i) {
                       sqlite3_bind_int(st, 1, i + 1);
                       sqlite3_bind_int(st, 2, i % kTypes + 1);
                       const QByteArray name = QByteArray("Lista ") + QByteArray::number(int(rnd() % 100000));
                       sqlite3_bind_text(st, 3, name.constData(), -1, SQLITE_TRANSIENT);
                       sqlite3_bind_int(st, 4, int(rnd() % kUsers) + 1);
                       sqlite3_bind_int(st, 5, i % 10 == 0 ? -1 : 0);
                   });
        // 100 type-level denials, the rest on single lists.
        insertRows(h,
                   "insert into vlq_list_auth_unit (id, auth_type, user_group_id, list_type_id, list_report_id, "
                   "del_status) values (?, 1, ?, ?, ?, 0)",
                   kDenials, [&](sqlite3_stmt* st, int i) {
                       const int list = int(rnd() % kLists) + 1;
                       sqlite3_bind_int(st, 1, i + 1);
                       sqlite3_bind_int(st, 2, int(rnd() % kGroups) + 1);
                       sqlite3_bind_int(st, 3, i < 100 ? int(rnd() % kTypes) + 1 : (list - 1) % kTypes + 1);
                       sqlite3_bind_int(st, 4, i < 100 ? -1 : list);
                   });

        // A wide list: 10 groups and 40 columns over five chained tables.
        sql(h, "create table bt1 (id INTEGER, f0 TEXT, f1 TEXT, f2 TEXT, f3 TEXT, f4 TEXT, f5 TEXT, f6 TEXT, f7 TEXT, "
               "f8 TEXT, f9 TEXT)");
        for (int t = 2; t <= 5; ++t)
            sql(h, QStringLiteral("create table bt%1 (id INTEGER, parent_id INTEGER, f0 TEXT, f1 TEXT, f2 TEXT, f3 "
                                  "TEXT, f4 TEXT, f5 TEXT, f6 TEXT, f7 TEXT, f8 TEXT, f9 TEXT)")
                       .arg(t)
                       .toUtf8()
                       .constData());
        QString join = QStringLiteral("FROM bt1 AS A1");
        for (int t = 1; t <= 5; ++t) {
            if (t > 1)
                join = QStringLiteral("FROM (%1) INNER JOIN bt%2 AS A%2 ON A%2.parent_id = A%3.id")
                           .arg(join.mid(5))
                           .arg(t)
                           .arg(t - 1);
            sql(h, QStringLiteral("insert into vlq_list_wizard_table (id, table_name, table_alias, visible_name, "
                                  "where_clause_sql) values (%1, 'bt%1', 'A%1', 'Tábla %1', '%2')")
                       .arg(t)
                       .arg(t == 3 ? QStringLiteral("[A3].[f0] <> ''x''") : QString())
                       .toUtf8()
                       .constData());
            sql(h, QStringLiteral("insert into vlq_list_wizard_table_type_connection (id, list_type_id, table_id, "
                                  "sort_order, table_join, table_parent_id) values (%1, %2, %1, %1, '%3', %1)")
                       .arg(t)
                       .arg(wideType)
                       .arg(join)
                       .toUtf8()
                       .constData());
            for (int f = 0; f < 10; ++f)
                sql(h, QStringLiteral("insert into vlq_list_wizard_table_field (id, table_id, field_name, "
                                      "visible_name, group_field_name, field_type, field_width) values (%1, %2, "
                                      "'f%3', 'mező %3', '%4', 4, 1000)")
                           .arg((t - 1) * 10 + f + 1)
                           .arg(t)
                           .arg(f)
                           .arg(f == 0 ? QStringLiteral("id") : QString())
                           .toUtf8()
                           .constData());
        }
        wideList = kLists + 1;
        sql(h, QStringLiteral("insert into vlq_list_report (id, list_type_id, name, create_user) values (%1, %2, "
                              "'széles', 1)")
                   .arg(wideList)
                   .arg(wideType)
                   .toUtf8()
                   .constData());
        for (int g = 0; g < 10; ++g)
            sql(h, QStringLiteral("insert into vlq_list_report_group_field (id, vlq_list_report_id, table_field_id, "
                                  "sort_order) values (%1, %2, %3, %1)")
                       .arg(g + 1)
                       .arg(wideList)
                       .arg(g * 5 + 1)
                       .toUtf8()
                       .constData());
        for (int v = 0; v < 40; ++v)
            sql(h, QStringLiteral("insert into vlq_list_report_visible_field (id, vlq_list_report_id, "
                                  "table_field_id, sort_order) values (%1, %2, %3, %1)")
                       .arg(v + 1)
                       .arg(wideList)
                       .arg(v + 6)
                       .toUtf8()
                       .constData());
        sql(h, "COMMIT");
        sqlite3_close_v2(h);
        lg::ctx().database = db;

        // The generated statement must be one the database accepts.
        QString condition;
        lg::report::ListStatement statement;
        if (!lg::report::GenerateListStatement(wideList, wideType, condition, 1, statement)
            || !lg::catalogue::TestSQLStatement(statement.test)) {
            std::fprintf(stderr, "bench setup: the wide list's statement does not run\n");
            std::abort();
        }
    }
};

Store& store()
{
    static Store s;
    return s;
}

void BM_ListReportEnableShow(benchmark::State& state)
{
    Store& s = store();
    const long modul = state.range(0);
    const long all = state.range(1);
    long user = 1;
    long rows = 0;
    for (auto _ : state) {
        std::shared_ptr<lg::dao::Recordset> rs;
        lg::catalogue::GetListReportEnableShow(user, modul, -1, all, rs);
        for (; !rs->Eof(); rs->MoveNext())
            ++rows;
        user = user % kUsers + 1;
    }
    benchmark::DoNotOptimize(s.db.get());
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ListReportEnableShow)
    ->ArgNames({"module", "all"})
    ->Args({0, 1})
    ->Args({3, 1})
    ->Args({0, 0})
    ->Unit(benchmark::kMillisecond);

void BM_ListWizardTypeEnableShow(benchmark::State& state)
{
    store();
    long user = 1;
    for (auto _ : state) {
        std::shared_ptr<lg::dao::Recordset> rs;
        lg::catalogue::GetListWizardTypeEnableShow(user, 0, rs);
        for (; !rs->Eof(); rs->MoveNext()) {
        }
        user = user % kUsers + 1;
    }
}
BENCHMARK(BM_ListWizardTypeEnableShow)->Unit(benchmark::kMillisecond);

void BM_GenerateListStatement(benchmark::State& state)
{
    Store& s = store();
    for (auto _ : state) {
        QString condition;
        lg::report::ListStatement statement;
        if (!lg::report::GenerateListStatement(s.wideList, s.wideType, condition, 1, statement))
            state.SkipWithError("generation failed");
        benchmark::DoNotOptimize(statement.stored.size());
    }
}
BENCHMARK(BM_GenerateListStatement)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

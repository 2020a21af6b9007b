// Definition store: loading and writing single records, and editing a whole
// list (work copy plus commit) of 10 groups, 40 displayed fields and 20
// conditions.

#include <benchmark/benchmark.h>

#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>

#include "platform/dao/dao.h"
#include "store/context.h"
#include "store/listreport.h"
#include "store/schema.h"
#include "store/tables.h"

namespace {

using namespace lg;

struct Store {
    QTemporaryDir dir;
    long listId = -1;
    long fieldId = -1;

    Store()
    {
        auto db = dao::Database::open(QDir(dir.path()).filePath(QStringLiteral("bench.db")));
        store::installSchema(*db);
        ctx().database = db;
        ctx().userId = 1;
        modTables::Initialize();
        ListReport list;
        list.set_name(QStringLiteral("Forgalom partnerenként"));
        list.SetFinal();
        list.CoreUpdate(true);
        listId = list.ID();
        for (int i = 1; i <= 10; ++i) {
            ListReportGroupField g;
            g.set_vlq_list_report_id(listId);
            g.set_table_field_id(100 + i);
            g.set_sort_order(i);
            g.SetFinal();
            g.CoreUpdate();
        }
        for (int i = 1; i <= 40; ++i) {
            ListReportVisibleField f;
            f.set_vlq_list_report_id(listId);
            f.set_table_field_id(200 + i);
            f.set_sort_order(i);
            f.SetFinal();
            f.CoreUpdate();
            fieldId = f.ID();
        }
        for (int i = 1; i <= 20; ++i) {
            ListReportWhereField w;
            w.set_vlq_list_report_id(listId);
            w.set_table_field_id(300 + i);
            w.set_sql_where(QStringLiteral("[p].[f%1] > %1").arg(i));
            w.SetFinal();
            w.CoreUpdate();
        }
    }
    ~Store()
    {
        modTables::Reset();
        Context::reset();
    }
};

void BM_CoreLoad(benchmark::State& state)
{
    Store store;
    ListReportVisibleField f;
    for (auto _ : state) {
        if (!f.CoreLoad(store.fieldId))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(f.table_field_id());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CoreLoad);

void BM_CoreUpdate(benchmark::State& state)
{
    Store store;
    ListReportVisibleField f;
    f.CoreLoad(store.fieldId);
    f.SetFinal();
    long aggregate = 1;
    for (auto _ : state) {
        aggregate = aggregate % 5 + 1;
        f.set_total_aggregate(aggregate);
        if (!f.CoreUpdate())
            state.SkipWithError("write failed");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CoreUpdate);

void BM_DBCloneAndCommit(benchmark::State& state)
{
    Store store;
    long current = store.listId;
    for (auto _ : state) {
        ListReport list;
        list.CoreLoad(current);
        auto copy = list.DBClone(ectModify);
        if (!copy || !copy->SetFinal() || !copy->CoreUpdate(true)) {
            state.SkipWithError("edit failed");
            break;
        }
        current = copy->ID();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DBCloneAndCommit)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

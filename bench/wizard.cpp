// The list wizard's model opening on a list type with 500 catalogue fields:
// start-up, the step-1 save and every page filled (the grouping, displayed
// and condition trees of 500 fields each, the chosen lists and the
// aggregate grid) with one grouping and one displayed field, then the work
// copy discarded. Goal: under 200 ms. Every step that writes commits with a
// flush to disk, so on a busy disk the wall time is mostly those flushes.

#include <benchmark/benchmark.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>

#include <memory>

#include "controls/listdesignmodel.h"
#include "platform/dao/dao.h"
#include "store/context.h"
#include "store/tables.h"

namespace {

constexpr int kFields = 500;
constexpr long kType = 2;  // the demo's invoices: invoice, partner, region

struct Store {
    QTemporaryDir dir;
    std::shared_ptr<lg::dao::Database> db;

    Store()
    {
        const QString path = dir.filePath(QStringLiteral("demo.db"));
        QProcess demo;
        demo.start(QStringLiteral(LISTGEN_CLI),
                   {QStringLiteral("demo-db"), QStringLiteral("--out"), path, QStringLiteral("--reports"),
                    dir.filePath(QStringLiteral("rep"))});
        if (!demo.waitForFinished(300000) || demo.exitCode() != 0) {
            std::fprintf(stderr, "bench setup: demo-db failed\n");
            std::abort();
        }
        db = lg::dao::Database::open(path);
        lg::ctx().database = db;
        // Widen the invoices' catalogue to 500 fields over its three tables,
        // every kind of data and filter.
        auto count = db->OpenRecordset(QStringLiteral("SELECT COUNT(*), MAX(id) FROM vlq_list_wizard_table_field "
                                                      "WHERE table_id IN (1, 2, 3)"),
                                       lg::dao::RecordsetType::Snapshot);
        const int have = int(count->Fields(0).toLongLong());
        long next = 1000;
        static const char* const columns[] = {"szamlaszam", "kelt", "fizetve", "netto", "ertekesito_id"};
        static const int types[] = {4, 3, 5, 2, 1};
        static const int controls[] = {4, 3, 5, 2, 1};
        lg::dao::Transaction transaction(*db);
        for (int i = have; i < kFields; ++i) {
            const int k = i % 5;
            db->Execute(QStringLiteral("INSERT INTO vlq_list_wizard_table_field (id, table_id, field_name, "
                                       "visible_name, field_type, field_control_type, visibled, filtered, groupable, "
                                       "aggregated, field_width, del_status, temp_status) VALUES (%1, 3, '%2', "
                                       "'mező %3', %4, %5, -1, -1, -1, -1, 1000, 0, 0)")
                            .arg(next++)
                            .arg(QLatin1String(columns[k]))
                            .arg(i)
                            .arg(types[k])
                            .arg(controls[k]));
        }
        transaction.commit();
    }
};

Store& sharedStore()
{
    static Store store;
    return store;
}

void BM_WizardOpensOnAWideListType(benchmark::State& state)
{
    Store& store = sharedStore();
    long fields = 0;
    for (auto _ : state) {
        lg::controls::ListDesignModel model;
        model.setUserID(1);
        model.setModulID(1);
        model.setReportFolderPath(store.dir.path());
        model.Initialize();
        model.setMode(lg::controls::DesignMode::New);
        model.chooseListType(kType);
        model.setName(QStringLiteral("Széles lista"));
        bool ok = model.move(1);  // step 1 saved, grouping page filled
        const auto& groupTree = model.freeFields(lg::controls::FieldPage::Group);
        ok = ok && !groupTree.isEmpty() && model.addField(lg::controls::FieldPage::Group, groupTree.first().fieldId);
        ok = ok && model.move(1);  // displayed-field page filled
        const auto& visibleTree = model.freeFields(lg::controls::FieldPage::Visible);
        ok = ok && !visibleTree.isEmpty()
             && model.addField(lg::controls::FieldPage::Visible, visibleTree.last().fieldId);
        ok = ok && model.move(1);  // aggregate grid built
        ok = ok && model.move(1);  // condition tree filled
        if (!ok) {
            state.SkipWithError("the wizard did not reach step 5");
            break;
        }
        fields = long(model.whereFields().size());
        model.Exit();
    }
    state.counters["fields"] = double(fields);
}
BENCHMARK(BM_WizardOpensOnAWideListType)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The dialog's opening alone: list types, lists and the preselected list.
void BM_WizardInitialize(benchmark::State& state)
{
    sharedStore();
    for (auto _ : state) {
        lg::controls::ListDesignModel model;
        model.setUserID(1);
        model.setModulID(1);
        model.setCurrentItemID(3);
        benchmark::DoNotOptimize(model.Initialize());
    }
}
BENCHMARK(BM_WizardInitialize)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Translation speed (cold and cached) and the JET collation's compare rate.

#include "platform/jetsql/jetcompare.h"
#include "platform/jetsql/translate.h"

#include <benchmark/benchmark.h>

#include <QtCore/QStringList>

namespace {

const QString kStatement = QStringLiteral(
    "select vlq_list_report.id as id, vlq_list_report.name as name from vlq_list_report inner join "
    "vlq_list_wizard_type on (vlq_list_report.list_type_id = vlq_list_wizard_type.id) where vlq_list_report.id not "
    "in((select list_report_id from vlq_list_auth_unit  as au inner join qry_vlq_list_wizard_user_table as u on "
    "(u.user_group_id = au.user_group_id and u.id=%1) where au.auth_type=1 and au.list_report_id<>-1 and "
    "au.del_status=0)) and iif(private = -1,iif(vlq_list_report.create_user=%1,1,0),1)=1 and "
    "([P].[nev] LIKE '*abc*') and [S].[kelt] BETWEEN #03/05/2024# AND #03/05/2024 23.59.59# "
    "order by vlq_list_report.name");

// Distinct statements, the cache emptied before each: the full parse and
// generation.
void TranslateCold(benchmark::State& state)
{
    int n = 0;
    for (auto _ : state) {
        lg::jetsql::clearTranslationCache();
        benchmark::DoNotOptimize(lg::jetsql::translate(kStatement.arg(++n)));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(TranslateCold);

void TranslateCached(benchmark::State& state)
{
    const QString jet = kStatement.arg(1);
    lg::jetsql::translate(jet);
    for (auto _ : state)
        benchmark::DoNotOptimize(lg::jetsql::translate(jet));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(TranslateCached);

void compareAll(benchmark::State& state, const QStringList& words)
{
    std::vector<QByteArray> utf8;
    for (const QString& w : words)
        utf8.push_back(w.toUtf8());
    size_t i = 0;
    for (auto _ : state) {
        const QByteArray& a = utf8[i % utf8.size()];
        const QByteArray& b = utf8[(i * 7 + 3) % utf8.size()];
        benchmark::DoNotOptimize(
            lg::jetsql::jetCompareUtf8(a.constData(), int(a.size()), b.constData(), int(b.size())));
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}

void CollateAscii(benchmark::State& state)
{
    compareAll(state, {QStringLiteral("Kovacs Peter"), QStringLiteral("Kovacs Pal"), QStringLiteral("Horvath Anna"),
                       QStringLiteral("Budapest"), QStringLiteral("Bp 1011"), QStringLiteral("Abc Kft"),
                       QStringLiteral("Abonyi utca 12"), QStringLiteral("Varga Bela"), QStringLiteral("Mohacs")});
}
BENCHMARK(CollateAscii);

void CollateHungarian(benchmark::State& state)
{
    compareAll(state, {QStringLiteral("Kovács Péter"), QStringLiteral("Kovács Pál"), QStringLiteral("Horváth Anna"),
                       QStringLiteral("Győr"), QStringLiteral("Pécs"), QStringLiteral("Ödön"), QStringLiteral("Ottó"),
                       QStringLiteral("Szabó Éva"), QStringLiteral("Zsigmond")});
}
BENCHMARK(CollateHungarian);

}  // namespace

BENCHMARK_MAIN();

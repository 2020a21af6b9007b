// Exporting a million rows to .xlsx through cXLSExport, against a plain
// libxlsxwriter loop that writes the same cells; and the peak memory.

#include "report/xlsexport.h"

#include <QtCore/QDateTime>
#include <QtCore/QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <xlsxwriter.h>

namespace {

void makeRow(qint64 i, QList<QVariant>& r)
{
    r.resize(5);
    r[0] = QVariant(qlonglong(i));
    r[1] = QStringLiteral("Partner %1").arg(i % 5000);
    r[2] = QVariant(1.25 * static_cast<double>(i % 1000));
    r[3] = QVariant(QDateTime(QDate(2024, 1 + i % 12, 1 + i % 28), QTime(0, 0)));
    r[4] = QVariant(qlonglong(i % 2 ? -1 : 0));
}

long peakRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void BM_ExportXlsx(benchmark::State& state)
{
    QTemporaryDir dir;
    const qint64 n = state.range(0);
    for (auto _ : state) {
        qint64 i = 0;
        lg::cXLSExport x;
        x.setFileName(dir.filePath(QStringLiteral("e.xlsx")));
        x.setFieldHeader(QStringLiteral("Id,Partner,Amount,Date,Paid"));
        x.setRowReader(
            [&](QList<QVariant>& r) {
                if (i >= n)
                    return false;
                makeRow(i++, r);
                return true;
            },
            5,
            {lg::cXLSExport::CellKind::Auto, lg::cXLSExport::CellKind::Auto, lg::cXLSExport::CellKind::Auto,
             lg::cXLSExport::CellKind::Auto, lg::cXLSExport::CellKind::Boolean});
        if (!x.ExportExecute())
            state.SkipWithError(qPrintable(x.LastError()));
    }
    state.counters["rows"] = static_cast<double>(n);
    state.counters["peak_rss_MB"] = static_cast<double>(peakRssKb()) / 1024.0;
}

void BM_PlainLibxlsxwriter(benchmark::State& state)
{
    QTemporaryDir dir;
    const qint64 n = state.range(0);
    for (auto _ : state) {
        const QByteArray path = dir.filePath(QStringLiteral("p.xlsx")).toUtf8();
        lxw_workbook_options o{};
        o.constant_memory = LXW_TRUE;
        lxw_workbook* wb = workbook_new_opt(path.constData(), &o);
        lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
        lxw_format* f = workbook_add_format(wb);
        format_set_font_name(f, "Tahoma");
        format_set_font_size(f, 8);
        lxw_format* d = workbook_add_format(wb);
        format_set_num_format(d, "yyyy.mm.dd");
        const char* caps[] = {"Id", "Partner", "Amount", "Date", "Paid"};
        for (int c = 0; c < 5; ++c)
            worksheet_write_string(ws, 0, c, caps[c], f);
        QList<QVariant> r;
        for (qint64 i = 0; i < n; ++i) {
            makeRow(i, r);
            const auto row = static_cast<lxw_row_t>(i + 1);
            worksheet_write_number(ws, row, 0, r[0].toDouble(), f);
            worksheet_write_string(ws, row, 1, r[1].toString().toUtf8().constData(), f);
            worksheet_write_number(ws, row, 2, r[2].toDouble(), f);
            const QDate dt = r[3].toDateTime().date();
            lxw_datetime x{dt.year(), dt.month(), dt.day(), 0, 0, 0};
            worksheet_write_datetime(ws, row, 3, &x, d);
            worksheet_write_boolean(ws, row, 4, r[4].toLongLong() != 0, f);
        }
        workbook_close(wb);
    }
    state.counters["rows"] = static_cast<double>(n);
}

BENCHMARK(BM_ExportXlsx)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PlainLibxlsxwriter)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();

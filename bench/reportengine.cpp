// Rendering a long grouped list to PDF, against a plain loop that draws the
// same texts at the same positions on the same kind of PDF writer; and the
// peak memory as the number of rows grows.

#include "platform/reportengine/reportdocument.h"
#include "../tests/platform/reportengine/reportfixture.h"

#include <QtCore/QTemporaryDir>
#include <QtGui/QGuiApplication>
#include <QtGui/QPageLayout>
#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace lg::reportengine;

namespace {

const QStringList kColumns = {QStringLiteral("RG1"), QStringLiteral("RG2"), QStringLiteral("RG3"), QStringLiteral("RF1"),
                              QStringLiteral("RF2"), QStringLiteral("RF3"), QStringLiteral("RF4"), QStringLiteral("RF5")};

RowSourceOpener rows(qint64 count)
{
    return [count] {
        return std::make_unique<GeneratedRowSource>(kColumns, count, [](qint64 i, QList<QVariant>& r) {
            r[0] = QStringLiteral("Region %1").arg(i / 20000);
            r[1] = QStringLiteral("City %1").arg(i / 1000);
            r[2] = QStringLiteral("Partner %1").arg(i / 50);
            r[3] = QStringLiteral("Item %1").arg(i);
            r[4] = QVariant(qlonglong(i % 17));
            r[5] = QVariant(1.25 * static_cast<double>(i % 1000));
            r[6] = QVariant(QDateTime(QDate(2024, 1 + i % 12, 1 + i % 28), QTime(0, 0)));
            r[7] = QVariant(qlonglong(i % 2 ? -1 : 0));
        });
    };
}

std::shared_ptr<ReportLayout> layout()
{
    auto fx = lg::test::salesReport();
    fx.groupAliases = {QStringLiteral("RG1"), QStringLiteral("RG2"), QStringLiteral("RG3")};
    fx.groupCaptions = {QStringLiteral("Régió"), QStringLiteral("Város"), QStringLiteral("Partner")};
    ReportSource src;
    QString error;
    parseReportSource(lg::test::windows1250(lg::test::reportSourceText(fx)), src, error);
    auto l = std::make_shared<ReportLayout>(src, QHash<QString, QString>{{QStringLiteral("report_name"), QStringLiteral("Bench")}});
    if (!l->prepare(kColumns, error))
        qFatal("%s", qPrintable(error));
    return l;
}

long peakRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void BM_ReportToPdf(benchmark::State& state)
{
    QTemporaryDir dir;
    const qint64 n = state.range(0);
    for (auto _ : state) {
        ReportDocument doc(layout(), rows(n));
        QString error;
        if (!doc.renderPdf(dir.filePath(QStringLiteral("r.pdf")), error))
            state.SkipWithError(qPrintable(error));
    }
    state.counters["rows"] = static_cast<double>(n);
    state.counters["peak_rss_MB"] = static_cast<double>(peakRssKb()) / 1024.0;
}

// The same drawing calls, collected beforehand, replayed onto a PDF writer.
struct Call {
    int page;
    QRectF rect;
    QString text;
    int font;
    int flags;
};
struct Collect : PageSink {
    std::vector<Call> calls;
    std::vector<QFont> fonts;
    int page = 0;
    void beginPage(int p) override { page = p; }
    void drawText(const QRectF& r, const QString& t, const QFont& f, int flags, const QColor&) override
    {
        int idx = -1;
        for (size_t i = 0; i < fonts.size(); ++i)
            if (fonts[i] == f)
                idx = static_cast<int>(i);
        if (idx < 0) {
            fonts.push_back(f);
            idx = static_cast<int>(fonts.size() - 1);
        }
        calls.push_back({page, r, t, idx, flags});
    }
    void drawLine(const QPointF&, const QPointF&) override {}
    void fillRect(const QRectF&, const QColor&) override {}
    void drawCheck(const QRectF&, bool) override {}
};

void BM_PlainLoopToPdf(benchmark::State& state)
{
    QTemporaryDir dir;
    const qint64 n = state.range(0);
    auto l = layout();
    Collect c;
    {
        auto src = rows(n)();
        l->run(*src, c, 0);
    }
    const PageGeometry& g = l->geometry();
    for (auto _ : state) {
        QPdfWriter w(dir.filePath(QStringLiteral("plain.pdf")));
        w.setResolution(1440);
        w.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        QPainter p(&w);
        int page = 1;
        p.translate(g.originX, g.originY);
        for (const Call& call : c.calls) {
            if (call.page != page) {
                w.newPage();
                page = call.page;
            }
            p.setFont(c.fonts[call.font]);
            p.drawText(call.rect, call.flags, call.text);
        }
    }
    state.counters["rows"] = static_cast<double>(n);
}

BENCHMARK(BM_ReportToPdf)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PlainLoopToPdf)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

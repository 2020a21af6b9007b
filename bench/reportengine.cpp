// Rendering a long grouped list to PDF, against a plain loop that draws the
// same texts at the same positions on the same kind of PDF writer; and the
// peak memory as the number of rows grows.

#include "reportengine/reportdocument.h"
#include "../tests/reportengine/reportfixture.h"

#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>
#include <QtGui/QGuiApplication>
#include <QtGui/QPageLayout>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
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
    state.counters["pdf_MB"] = static_cast<double>(QFileInfo(dir.filePath(QStringLiteral("r.pdf"))).size()) / 1e6;
    state.counters["peak_rss_MB"] = static_cast<double>(peakRssKb()) / 1024.0;
}

// Every drawing call of the report, collected beforehand and replayed onto a
// PDF writer by a plain loop: the same texts, lines, bars and check marks at
// the same positions, with the painter's state changed only when it differs
// from the call before (as any hand-written loop would).
struct Call {
    enum Kind { Text, Line, Fill, Check } kind;
    int page;
    QRectF rect;  // lines: from top-left to bottom-right
    QString text;
    int font = -1;
    int flags = 0;
    QColor colour;
};
struct Collect : PageSink {
    std::vector<Call> calls;
    std::vector<QFont> fonts;
    int page = 0;
    void beginPage(int p) override { page = p; }
    void drawText(const QRectF& r, const QString& t, const QFont& f, int flags, const QColor& colour) override
    {
        int idx = -1;
        for (size_t i = 0; i < fonts.size(); ++i)
            if (fonts[i] == f)
                idx = static_cast<int>(i);
        if (idx < 0) {
            fonts.push_back(f);
            idx = static_cast<int>(fonts.size() - 1);
        }
        calls.push_back({Call::Text, page, r, t, idx, flags, colour});
    }
    void drawLine(const QPointF& a, const QPointF& b) override
    {
        calls.push_back({Call::Line, page, QRectF(a, b), {}, -1, 0, {}});
    }
    void fillRect(const QRectF& r, const QColor& c) override { calls.push_back({Call::Fill, page, r, {}, -1, 0, c}); }
    void drawCheck(const QRectF& r, bool checked) override
    {
        if (checked)
            calls.push_back({Call::Check, page, r, {}, -1, 0, {}});
    }
};

void BM_PlainLoopToPdf(benchmark::State& state)
{
    QTemporaryDir dir;
    const qint64 n = state.range(0);
    auto l = layout();
    Collect c;
    {
        auto src = rows(n)();
        l->run(*src, c, l->countPages(*rows(n)()));
    }
    const PageGeometry& g = l->geometry();
    size_t texts = 0;
    for (auto _ : state) {
        QPdfWriter w(dir.filePath(QStringLiteral("plain.pdf")));
        w.setResolution(1440);
        w.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        QPainter p(&w);
        int page = 1;
        int font = -1;
        int pen = 0;  // 1 text colour, 2 line, 3 check
        QColor colour;
        p.translate(g.originX, g.originY);
        texts = 0;
        for (const Call& call : c.calls) {
            if (call.page != page) {
                w.newPage();
                page = call.page;
                font = -1;
                pen = 0;
            }
            switch (call.kind) {
            case Call::Text:
                if (call.font != font) {
                    p.setFont(c.fonts[call.font]);
                    font = call.font;
                }
                if (pen != 1 || call.colour != colour) {
                    p.setPen(call.colour);
                    colour = call.colour;
                    pen = 1;
                }
                p.drawText(call.rect, call.flags, call.text);
                ++texts;
                break;
            case Call::Line:
                if (pen != 2) {
                    p.setPen(QPen(Qt::black, 15));
                    pen = 2;
                }
                p.drawLine(call.rect.topLeft(), call.rect.bottomRight());
                break;
            case Call::Fill:
                p.fillRect(call.rect, call.colour);
                break;
            case Call::Check: {
                const QRectF& r = call.rect;
                const double s = std::min(r.width(), r.height()) * 0.8;
                const QRectF box(r.center().x() - s / 2, r.center().y() - s / 2, s, s);
                QPainterPath tick;
                tick.moveTo(box.left() + s * 0.12, box.top() + s * 0.55);
                tick.lineTo(box.left() + s * 0.4, box.top() + s * 0.85);
                tick.lineTo(box.left() + s * 0.9, box.top() + s * 0.15);
                p.setPen(QPen(Qt::black, s * 0.12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                p.setBrush(Qt::NoBrush);
                pen = 3;
                p.drawPath(tick);
                break;
            }
            }
        }
    }
    state.counters["rows"] = static_cast<double>(n);
    state.counters["texts"] = static_cast<double>(texts);
    state.counters["pdf_MB"] = static_cast<double>(QFileInfo(dir.filePath(QStringLiteral("plain.pdf"))).size()) / 1e6;
    state.counters["calls"] = static_cast<double>(c.calls.size());
}

// Reading the rows alone, twice as the report does (counting, then drawing):
// the part of BM_ReportToPdf that comes from the data, not from the engine.
void BM_ReadRowsTwice(benchmark::State& state)
{
    const qint64 n = state.range(0);
    for (auto _ : state) {
        QList<QVariant> row;
        for (int pass = 0; pass < 2; ++pass) {
            auto src = rows(n)();
            while (src->next(row))
                benchmark::DoNotOptimize(row.data());
        }
    }
    state.counters["rows"] = static_cast<double>(n);
}

// Both passes of the layout with a sink that draws nothing: what the engine
// adds to the drawing, rows included.
struct NullSink : PageSink {
    void drawText(const QRectF&, const QString&, const QFont&, int, const QColor&) override {}
    void drawLine(const QPointF&, const QPointF&) override {}
    void fillRect(const QRectF&, const QColor&) override {}
    void drawCheck(const QRectF&, bool) override {}
};

void BM_LayoutOnly(benchmark::State& state)
{
    const qint64 n = state.range(0);
    for (auto _ : state) {
        auto l = layout();
        const int pages = l->countPages(*rows(n)());
        NullSink sink;
        l->run(*rows(n)(), sink, pages);
    }
    state.counters["rows"] = static_cast<double>(n);
}

BENCHMARK(BM_ReportToPdf)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PlainLoopToPdf)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LayoutOnly)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ReadRowsTwice)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

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

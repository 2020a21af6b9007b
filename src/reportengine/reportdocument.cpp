#include "reportengine/reportdocument.h"

#include "platform/strings.h"

#include "platform/runtimeerror.h"
#include "platform/safefile.h"
#include "platform/xlsx/sheetwriter.h"

#include <QtCore/QFile>
#include <QtCore/QRegularExpression>
#include <QtCore/QTextStream>
#include <QtGui/QPageLayout>
#include <QtGui/QPageSize>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtGui/QPdfWriter>
#include <QtPrintSupport/QPrinter>

#include <algorithm>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace lg::reportengine {

using namespace Qt::StringLiterals;

// ---------------------------------------------------------------------------

void PainterSink::drawText(const QRectF& rect, const QString& text, const QFont& font, int flags,
                           const QColor& colour)
{
    // Changing the painter's state costs more than drawing: only on change.
    if (!m_hasFont || !(font == m_font)) {
        m_p.setFont(font);
        m_font = font;
        m_hasFont = true;
    }
    if (m_penKind != 1 || colour != m_colour) {
        m_p.setPen(colour);
        m_colour = colour;
        m_penKind = 1;
    }
    m_p.drawText(rect, flags, text);
}

void PainterSink::drawLine(const QPointF& from, const QPointF& to)
{
    if (m_penKind != 2) {
        m_p.setPen(QPen(Qt::black, 15));  // a hairline of 3/4 point
        m_penKind = 2;
    }
    m_p.drawLine(from, to);
}

void PainterSink::fillRect(const QRectF& rect, const QColor& colour) { m_p.fillRect(rect, colour); }

void PainterSink::drawCheck(const QRectF& rect, bool checked)
{
    if (!checked)
        return;
    const double s = std::min(rect.width(), rect.height()) * 0.8;
    const QRectF box(rect.center().x() - s / 2, rect.center().y() - s / 2, s, s);
    QPainterPath tick;
    tick.moveTo(box.left() + s * 0.12, box.top() + s * 0.55);
    tick.lineTo(box.left() + s * 0.4, box.top() + s * 0.85);
    tick.lineTo(box.left() + s * 0.9, box.top() + s * 0.15);
    m_p.setPen(QPen(Qt::black, s * 0.12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    m_p.setBrush(Qt::NoBrush);
    m_penKind = 3;
    m_p.drawPath(tick);
}

// ---------------------------------------------------------------------------

namespace {

// The PDF writer builds every page in buffers of some hundred kilobytes and
// frees them when the page is written. With the C library's starting limits
// such buffers are mapped and unmapped, or the heap grown and shrunk, once per
// page, which on a long report costs as much as drawing the texts. Raising
// both limits once keeps that memory for the next page; a long-running
// process usually reaches the same limits by itself after its first large
// allocation.
void keepPageBuffers()
{
#ifdef __GLIBC__
    static const bool once = [] {
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
        return true;
    }();
    Q_UNUSED(once);
#endif
}

QPageLayout pageLayoutOf(const PageGeometry& g)
{
    const double w = g.landscape ? g.paperHeight : g.paperWidth;
    const double h = g.landscape ? g.paperWidth : g.paperHeight;
    const QPageSize size(QSizeF(w / 20.0, h / 20.0), QPageSize::Point, QString(), QPageSize::FuzzyMatch);
    return QPageLayout(size, g.landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

// Draws on a paged device: the page transform is set up at every page.
class DeviceSink : public PainterSink {
public:
    DeviceSink(QPainter& p, const PageGeometry& g, double unitsPerTwip, std::function<bool()> newPage)
        : PainterSink(p), m_g(g), m_units(unitsPerTwip), m_newPage(std::move(newPage))
    {
    }
    bool failed = false;
    void beginPage(int page) override
    {
        if (page > 1 && !m_newPage())
            failed = true;
        resetState();
        m_p.resetTransform();
        m_p.scale(m_units, m_units);
        m_p.translate(m_g.originX, m_g.originY);
        m_p.scale(m_g.scale, m_g.scale);
    }

private:
    const PageGeometry& m_g;
    double m_units;
    std::function<bool()> m_newPage;
};

QString htmlEscape(const QString& s) { return s.toHtmlEscaped(); }

QString pt(double twips) { return QString::number(twips / 20.0, 'f', 2) + u"pt"_s; }

class HtmlSink : public PageSink {
public:
    HtmlSink(QTextStream& out, const PageGeometry& g) : m_out(out), m_g(g) {}

    void beginPage(int) override
    {
        m_out << u"<div class=\"page\" style=\"width:"_s << pt(m_g.paperWidth) << u";height:"_s << pt(m_g.paperHeight)
              << u"\"><div class=\"area\" style=\"left:"_s << pt(m_g.originX) << u";top:"_s << pt(m_g.originY);
        if (m_g.scale != 1.0)
            m_out << u";transform:scale("_s << m_g.scale << u")"_s;
        m_out << u"\">\n"_s;
    }
    void endPage(int) override { m_out << u"</div></div>\n"_s; }

    void drawText(const QRectF& r, const QString& text, const QFont& font, int flags, const QColor& colour) override
    {
        static const char* const hAlign[] = {"flex-start", "center", "flex-end"};
        const int h = (flags & Qt::AlignHCenter) ? 1 : ((flags & Qt::AlignRight) ? 2 : 0);
        const int v = (flags & Qt::AlignVCenter) ? 1 : ((flags & Qt::AlignBottom) ? 2 : 0);
        static const char* const textAlign[] = {"left", "center", "right"};
        m_out << u"<div class=\"t\" style=\""_s << box(r) << u";font-family:'"_s << htmlEscape(font.family())
              << u"';font-size:"_s << pt(font.pixelSize()) << (font.bold() ? u";font-weight:bold"_s : QString())
              << (font.italic() ? u";font-style:italic"_s : QString())
              << (font.underline() ? u";text-decoration:underline"_s : QString()) << u";justify-content:"_s
              << hAlign[h] << u";align-items:"_s << hAlign[v] << u";text-align:"_s << textAlign[h]
              << ((flags & Qt::TextWordWrap) ? u""_s : u";white-space:nowrap"_s);
        if (colour != Qt::black)
            m_out << u";color:"_s << colour.name();
        m_out << u"\"><span>"_s << htmlEscape(text).replace(u'\n', u"<br>"_s) << u"</span></div>\n"_s;
    }

    void drawLine(const QPointF& a, const QPointF& b) override
    {
        if (qFuzzyCompare(a.y(), b.y()) || qFuzzyCompare(a.x(), b.x())) {
            const QRectF r = QRectF(a, b).normalized();
            m_out << u"<div class=\"l\" style=\""_s << box(r.adjusted(0, 0, 0, 0)) << u";border-top:0.75pt solid #000"_s
                  << (qFuzzyCompare(a.x(), b.x()) ? u";border-left:0.75pt solid #000"_s : u""_s) << u"\"></div>\n"_s;
            return;
        }
        const QRectF r = QRectF(a, b).normalized();
        m_out << u"<svg class=\"l\" style=\""_s << box(r) << u"\" viewBox=\"0 0 "_s << r.width() << u' ' << r.height()
              << u"\" preserveAspectRatio=\"none\"><line x1=\""_s << (a.x() - r.left()) << u"\" y1=\""_s
              << (a.y() - r.top()) << u"\" x2=\""_s << (b.x() - r.left()) << u"\" y2=\""_s << (b.y() - r.top())
              << u"\" stroke=\"#000\" stroke-width=\"15\"/></svg>\n"_s;
    }

    void fillRect(const QRectF& r, const QColor& c) override
    {
        m_out << u"<div class=\"l\" style=\""_s << box(r) << u";background:"_s << c.name() << u"\"></div>\n"_s;
    }

    void drawCheck(const QRectF& r, bool checked) override
    {
        if (checked)
            m_out << u"<div class=\"t\" style=\""_s << box(r) << u";justify-content:center;align-items:center\">"
                                                               u"<span>&#10004;</span></div>\n"_s;
    }

private:
    static QString box(const QRectF& r)
    {
        return u"left:"_s + pt(r.left()) + u";top:"_s + pt(r.top()) + u";width:"_s + pt(r.width()) +
               u";height:"_s + pt(r.height());
    }

    QTextStream& m_out;
    const PageGeometry& m_g;
};

}  // namespace

// ---------------------------------------------------------------------------

ReportDocument::ReportDocument(std::shared_ptr<ReportLayout> layout, RowSourceOpener rows)
    : m_layout(std::move(layout)), m_rows(std::move(rows))
{
}

// Every pass over the rows opens them here: through the one opener (one
// connection), so a read scope set with setReadScope covers both passes of
// an output.
std::unique_ptr<RowSource> ReportDocument::open()
{
    auto src = m_rows();
    if (!src)
        throw RuntimeError(errnum::Internal, u"ReportEngine"_s, u"the report has no rows to read"_s);
    return src;
}

int ReportDocument::pageCount()
{
    if (m_pages < 0) {
        auto rows = open();
        m_checkpoints.clear();
        m_pages = m_layout->countPages(*rows, &m_checkpoints);
    }
    return m_pages;
}

void ReportDocument::paintPage(int page, QPainter& painter)
{
    const int pages = pageCount();
    if (page < 1 || page > pages || page > static_cast<int>(m_checkpoints.size()))
        return;
    const PageGeometry& g = geometry();
    painter.save();
    painter.translate(g.originX, g.originY);
    painter.scale(g.scale, g.scale);
    PainterSink sink(painter);
    auto rows = open();
    m_layout->drawPage(m_checkpoints[page - 1], *rows, sink, pages);
    painter.restore();
}

QString ReportDocument::title() const
{
    const QString name = m_layout->stringParam(u"report_name"_s).trimmed();
    return name.isEmpty() ? m_layout->source().name : name;
}

bool ReportDocument::drawAll(PageSink& sink, QString& error)
{
    try {
        // Both passes inside one read scope: the page count the footer shows
        // is the count of the rows that are drawn.
        const auto scope = m_readScope ? m_readScope() : std::shared_ptr<void>();
        // Counted again even when a preview counted before: the rows may
        // have changed since.
        int pages = 0;
        {
            auto counting = open();
            pages = m_layout->countPages(*counting);
        }
        auto rows = open();
        m_layout->run(*rows, sink, pages);
        return true;
    } catch (const RuntimeError& e) {
        error = e.description();
        return false;
    }
}

bool ReportDocument::beginFile(SafeFile& file, const QStringList& refused, QString& error) const
{
    for (const QString& p : m_protected)
        file.refuse(p);
    for (const QString& p : refused)
        file.refuse(p);
    if (file.begin())
        return true;
    error = file.errorString();
    return false;
}

bool ReportDocument::renderPdf(const QString& path, QString& error, const QStringList& refused)
{
    SafeFile file(path);
    if (!beginFile(file, refused, error))
        return false;
    // The writer gets the file as a device, not its name: given a name it
    // opens the file itself and never looks at what its writes returned, so
    // a full disk ended in a truncated PDF that looked written. The device
    // notes a failed write, and then the file is not committed.
    QFile* device = file.device();
    if (!device) {
        error = file.errorString();
        return false;
    }
    keepPageBuffers();
    {
        QPdfWriter writer(device);
        writer.setResolution(1440);
        writer.setPageLayout(pageLayoutOf(geometry()));
        writer.setTitle(title());
        writer.setCreator(u"listgen"_s);
        QPainter painter;
        if (!painter.begin(&writer)) {
            error = LoadResString(7280).arg(path);
            return false;
        }
        DeviceSink sink(painter, geometry(), 1.0, [&] { return writer.newPage(); });
        const bool ok = drawAll(sink, error);
        if (!painter.end() || sink.failed) {
            if (error.isEmpty())
                error = LoadResString(7281).arg(path);
            return false;
        }
        if (!ok)
            return false;
    }
    if (device->error() != QFileDevice::NoError) {
        error = LoadResString(7207).arg(path, device->errorString());
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool ReportDocument::print(QPrinter& printer, QString& error)
{
    printer.setFullPage(true);
    printer.setPageLayout(pageLayoutOf(geometry()));
    QPainter painter;
    if (!painter.begin(&printer)) {
        error = LoadResString(7282);
        return false;
    }
    const double units = printer.resolution() / 1440.0;
    DeviceSink sink(painter, geometry(), units, [&] { return printer.newPage(); });
    const bool ok = drawAll(sink, error);
    painter.end();
    if (sink.failed && error.isEmpty())
        error = LoadResString(7283);
    return ok && !sink.failed;
}

bool ReportDocument::renderHtml(const QString& path, QString& error, const QStringList& refused)
{
    SafeFile file(path);
    if (!beginFile(file, refused, error))
        return false;
    QFile* f = file.device();
    if (!f) {
        error = LoadResString(7284).arg(path, file.errorString());
        return false;
    }
    {
        QTextStream out(f);
        out.setEncoding(QStringConverter::Utf8);
        out << u"<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>"_s
            << htmlEscape(title())
            << u"</title>\n<style>\nbody{background:#888;margin:0;padding:8pt}\n"
               u".page{position:relative;background:#fff;margin:0 auto 12pt auto;overflow:hidden;"
               u"page-break-after:always}\n"
               u".area{position:absolute;transform-origin:0 0}\n"
               u".t{position:absolute;display:flex;overflow:hidden;white-space:pre-wrap;line-height:1.15}\n"
               u".l{position:absolute;box-sizing:border-box}\n"
               u"@media print{body{background:none;padding:0}.page{margin:0}}\n</style></head><body>\n"_s;
        HtmlSink sink(out, geometry());
        if (!drawAll(sink, error))
            return false;
        out << u"</body></html>\n"_s;
        out.flush();
        if (out.status() != QTextStream::Ok || !f->flush()) {
            error = LoadResString(7207).arg(path, f->errorString());
            return false;
        }
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

std::vector<ReportDocument::ExportColumn> ReportDocument::exportColumns() const
{
    const ReportSource& src = m_layout->source();
    std::vector<const FieldDef*> detail;
    for (const FieldDef& f : src.fields) {
        if (f.section != stDetail || !f.calculated || !f.visible)
            continue;
        static const QRegularExpression bare(uR"(^\s*\[?([A-Za-z_][A-Za-z0-9_]*)\]?\s*$)"_s);
        if (bare.match(f.text).hasMatch())
            detail.push_back(&f);
    }
    std::stable_sort(detail.begin(), detail.end(), [](auto* a, auto* b) { return a->left < b->left; });
    std::vector<ExportColumn> out;
    for (const FieldDef* d : detail) {
        ExportColumn c;
        c.column = d->text.trimmed().remove(u'[').remove(u']');
        c.format = d->format;
        for (const FieldDef& h : src.fields)
            if (h.section == stPageHeader && !h.calculated && std::abs(h.left - d->left) <= 30 && !h.text.isEmpty())
                c.caption = h.text;
        if (c.caption.isEmpty())
            c.caption = c.column;
        out.push_back(c);
    }
    return out;
}

bool ReportDocument::renderXlsx(const QString& path, QString& error, const QStringList& refused)
{
    SafeFile file(path);
    if (!beginFile(file, refused, error))
        return false;
    try {
        const auto scope = m_readScope ? m_readScope() : std::shared_ptr<void>();
        const auto cols = exportColumns();
        auto rows = open();
        const QStringList names = rows->columns();
        const QList<ColumnKind> sourceKinds = rows->kinds();
        QList<int> index;
        QList<xlsx::Column> columns;
        for (const ExportColumn& c : cols) {
            const qsizetype i = [&] {
                for (qsizetype k = 0; k < names.size(); ++k)
                    if (names[k].compare(c.column, Qt::CaseInsensitive) == 0)
                        return k;
                return qsizetype(-1);
            }();
            if (i < 0)
                continue;
            index << static_cast<int>(i);
            columns.append({c.caption, sourceKinds.value(i, ColumnKind::Auto)});
        }
        xlsx::SheetWriter writer;
        if (!writer.open(file.tempPath(), columns, error))
            return false;
        QList<QVariant> full, row(index.size());
        while (rows->next(full)) {
            for (qsizetype k = 0; k < index.size(); ++k)
                row[k] = full.value(index[k]);
            writer.writeRow(row);
        }
        if (!writer.close(error))
            return false;
    } catch (const RuntimeError& e) {
        error = e.description();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace lg::reportengine

#pragma once

// Lays a report out on pages: report header and footer, page header and
// footer on every page, group headers and footers that break on the GroupBy
// value of each level, detail rows, growing text. Bands go to a PageSink as
// drawing calls in twips; the layout keeps neither rows nor pages, so memory
// does not grow with the number of rows.
//
// [Pages] needs the page count before anything is drawn: countPages() runs
// the layout without drawing (it only measures what can grow), then run()
// draws with the count known. A checkpoint taken at the start of every page
// lets a preview draw any single page on demand (drawPage()).

#include "reportengine/expression.h"
#include "reportengine/reportsource.h"
#include "reportengine/rowsource.h"

#include <QtCore/QHash>
#include <QtCore/QRectF>
#include <QtGui/QColor>
#include <QtGui/QFont>
#include <QtGui/QFontMetricsF>

#include <memory>
#include <vector>

namespace lg::reportengine {

// Receives what one page shows. Coordinates are twips inside the printable
// area (origin at the top-left margin corner); see PageGeometry for the page.
class PageSink {
public:
    virtual ~PageSink() = default;
    // False for pages the sink does not want; the layout then only measures.
    virtual bool wantsPage(int /*page*/) const { return true; }
    virtual void beginPage(int /*page*/) {}
    virtual void endPage(int /*page*/) {}
    virtual void drawText(const QRectF& rect, const QString& text, const QFont& font, int flags,
                          const QColor& colour) = 0;
    virtual void drawLine(const QPointF& from, const QPointF& to) = 0;
    virtual void fillRect(const QRectF& rect, const QColor& colour) = 0;
    virtual void drawCheck(const QRectF& rect, bool checked) = 0;
    // A band was placed (for outputs that follow the report's structure).
    virtual void band(int /*sectionType*/, const QRectF& /*rect*/) {}
};

// The page and where the printable area sits on it (twips).
struct PageGeometry {
    double paperWidth = 11906, paperHeight = 16838;
    double originX = 500, originY = 500;  // top-left corner of the printable area
    double scale = 1.0;                    // < 1 when the layout is wider than the paper
    double contentWidth = 10875;           // in layout units
    double contentHeight = 15838;
    bool landscape = false;
};

struct LayoutCheckpoint;

class ReportLayout {
public:
    ReportLayout(ReportSource source, QHash<QString, QString> stringParams);
    ~ReportLayout();

    // Compiles the fields against the columns of the data. False with a
    // message naming the field for an expression that does not parse or
    // names a column the data does not have.
    bool prepare(const QStringList& columns, QString& error);

    // The clock that Date and Time show (tests fix it).
    void setNow(const QDateTime& now) { m_now = now; }

    const ReportSource& source() const { return m_src; }
    QString stringParam(const QString& name) const { return m_params.value(name); }
    const PageGeometry& geometry() const { return m_geo; }

    // Runs the layout without drawing; returns the page count. With
    // `checkpoints`, one checkpoint per page is kept (for drawPage).
    int countPages(RowSource& rows, std::vector<LayoutCheckpoint>* checkpoints = nullptr);
    // Lays out and draws every page the sink wants; returns the page count.
    int run(RowSource& rows, PageSink& sink, int pageCount);
    // Draws page `page` (from 1) from its checkpoint; `rows` is a fresh source.
    void drawPage(const LayoutCheckpoint& checkpoint, RowSource& rows, PageSink& sink, int pageCount);

    struct Compiled;

private:
    ReportSource m_src;
    QHash<QString, QString> m_params;
    QDateTime m_now;
    PageGeometry m_geo;
    std::unique_ptr<Compiled> m_c;
};

// Where a page starts: enough of the layout's state to go on from there.
struct LayoutCheckpoint {
    int page = 1;
    qint64 rowIndex = -1;  // index of the current row (-1: before the first)
    int step = 0;          // the step of that row's band sequence that opens the page
    bool atEnd = false;
    bool fresh = true;  // the very start of the report
    QList<QVariant> previous, current;
    std::vector<Accumulator> aggregates;
};

}  // namespace lg::reportengine

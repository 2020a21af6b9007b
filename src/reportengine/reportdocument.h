#pragma once

// A laid-out report ready for output: its layout and a way to read its rows
// again. Outputs run the layout twice (count the pages, then draw); the
// preview keeps one checkpoint per page and draws pages on demand.

#include "reportengine/reportlayout.h"

#include <QtCore/QStringList>

#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QPrinter;

namespace lg {
class SafeFile;
}

namespace lg::reportengine {

class ReportDocument {
public:
    ReportDocument(std::shared_ptr<ReportLayout> layout, RowSourceOpener rows);

    ReportLayout& layout() { return *m_layout; }
    const PageGeometry& geometry() const { return m_layout->geometry(); }

    // Page count (runs the counting pass once, keeping page checkpoints).
    int pageCount();
    // Draws page `page` (from 1); the painter's units are twips from the
    // top-left corner of the paper.
    void paintPage(int page, QPainter& painter);

    // The title of the outputs (the PDF's document title, the HTML title):
    // the report_name string parameter (the list's name), else the report's.
    QString title() const;

    // Files no output may replace: the database the rows come from, the
    // report source in use. Set by the engine; any spelling of the same
    // file is refused.
    void setProtectedPaths(QStringList paths) { m_protected = std::move(paths); }
    const QStringList& protectedPaths() const { return m_protected; }

    // Held around every output's passes over the rows (both layout passes,
    // the .xlsx rows): returns a guard that keeps one read of the database
    // for its lifetime, so the page count matches the rows drawn.
    using ReadScope = std::function<std::shared_ptr<void>()>;
    void setReadScope(ReadScope scope) { m_readScope = std::move(scope); }

    // Outputs. False with a message in `error`; an existing file of that
    // name is replaced only by a complete one, and `refused` (with the
    // protected paths) is never replaced.
    bool renderPdf(const QString& path, QString& error, const QStringList& refused = {});
    bool renderHtml(const QString& path, QString& error, const QStringList& refused = {});
    bool renderXlsx(const QString& path, QString& error, const QStringList& refused = {});
    bool print(QPrinter& printer, QString& error);

    // The detail columns in order of position, with the captions the page
    // header shows above them (the columns of an .xlsx export).
    struct ExportColumn {
        QString caption;
        QString column;  // data column name
        QString format;
    };
    std::vector<ExportColumn> exportColumns() const;

private:
    std::unique_ptr<RowSource> open();
    bool drawAll(PageSink& sink, QString& error);
    bool beginFile(SafeFile& file, const QStringList& refused, QString& error) const;

    std::shared_ptr<ReportLayout> m_layout;
    RowSourceOpener m_rows;
    int m_pages = -1;
    std::vector<LayoutCheckpoint> m_checkpoints;
    QStringList m_protected;
    ReadScope m_readScope;
};

// Draws sink calls on a painter whose units are twips of the printable area.
class PainterSink : public PageSink {
public:
    explicit PainterSink(QPainter& painter) : m_p(painter) {}
    void drawText(const QRectF& rect, const QString& text, const QFont& font, int flags,
                  const QColor& colour) override;
    void drawLine(const QPointF& from, const QPointF& to) override;
    void fillRect(const QRectF& rect, const QColor& colour) override;
    void drawCheck(const QRectF& rect, bool checked) override;

protected:
    // The painter's font and pen are not known any more (a new page).
    void resetState()
    {
        m_hasFont = false;
        m_penKind = 0;
    }
    QPainter& m_p;

private:
    QFont m_font;
    QColor m_colour;
    bool m_hasFont = false;
    int m_penKind = 0;  // 0 unknown, 1 text colour, 2 line, 3 check mark
};

}  // namespace lg::reportengine

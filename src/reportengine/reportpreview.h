#pragma once

// The preview window: one page at a time, drawn when it is shown (pages are
// not kept), with page navigation and zoom (fixed steps, or the page's width
// fitted to the window and kept fitted when the window is resized); print
// and export buttons appear only when the report allows them.

#include <QtCore/QPointer>
#include <QtGui/QImage>
#include <QtWidgets/QDialog>

#include <memory>

class QComboBox;
class QLabel;
class QScrollArea;
class QSpinBox;
class QToolButton;

namespace lg::reportengine {

struct ReportSession;

class ReportPreview : public QDialog {
    Q_OBJECT
public:
    explicit ReportPreview(std::shared_ptr<ReportSession> session, QWidget* parent = nullptr);
    ~ReportPreview() override;

    int currentPage() const { return m_page; }
    int pageCount() const { return m_pages; }
    double zoom() const { return m_zoom; }
    void setPage(int page);
    void setZoom(double zoom);  // 1.0 = actual size; leaves fit to width
    // The page as wide as the visible area, again after every resize.
    void setFitToWidth(bool fit);
    bool fitsToWidth() const { return m_fitWidth; }
    // The zoom at which a page `paperWidthTwips` wide fills `viewportWidth`
    // screen pixels, leaving `margin` pixels on each side.
    static double fitWidthZoom(double paperWidthTwips, int viewportWidth, int margin = 8);
    // The current page as the window shows it.
    QImage pageImage() const { return m_image; }

    QToolButton* printButton() const { return m_print; }
    QToolButton* exportButton() const { return m_export; }

Q_SIGNALS:
    void pageChanged(int page);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyFitToWidth();
    void render();
    void print();
    void exportToFile();

    std::shared_ptr<ReportSession> m_session;
    int m_page = 1;
    int m_pages = 0;
    double m_zoom = 1.0;
    bool m_fitWidth = false;
    QImage m_image;
    QLabel* m_canvas = nullptr;
    QScrollArea* m_scroll = nullptr;
    QSpinBox* m_pageBox = nullptr;
    QLabel* m_pagesLabel = nullptr;
    QComboBox* m_zoomBox = nullptr;
    QToolButton* m_print = nullptr;
    QToolButton* m_export = nullptr;
};

}  // namespace lg::reportengine

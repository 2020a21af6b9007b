#include "reportengine/reportpreview.h"

#include "platform/strings.h"

#include "reportengine/reportengine.h"
#include "platform/runtimeerror.h"

#include <QtGui/QPainter>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QScrollArea>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QVBoxLayout>

namespace lg::reportengine {

using namespace Qt::StringLiterals;

namespace {
constexpr double kScreenDpi = 96.0;
constexpr double kFitWidth = -1.0;  // the zoom box's data for "fit to width"
}

ReportPreview::ReportPreview(std::shared_ptr<ReportSession> session, QWidget* parent)
    : QDialog(parent), m_session(std::move(session))
{
    setWindowTitle(m_session->document ? m_session->document->title() : QString());
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(900, 1000);

    auto* bar = new QHBoxLayout;
    auto button = [&](const QString& text, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setText(text);
        b->setToolTip(tip);
        bar->addWidget(b);
        return b;
    };
    QToolButton* first = button(u"|<"_s, LoadResString(7285));
    QToolButton* prev = button(u"<"_s, LoadResString(7286));
    m_pageBox = new QSpinBox(this);
    m_pageBox->setMinimum(1);
    bar->addWidget(m_pageBox);
    m_pagesLabel = new QLabel(this);
    bar->addWidget(m_pagesLabel);
    QToolButton* next = button(u">"_s, LoadResString(7287));
    QToolButton* last = button(u">|"_s, LoadResString(7288));
    m_zoomBox = new QComboBox(this);
    for (int z : {50, 75, 100, 125, 150, 200})
        m_zoomBox->addItem(u"%1%"_s.arg(z), z / 100.0);
    m_zoomBox->addItem(LoadResString(7289), kFitWidth);
    m_zoomBox->setCurrentIndex(2);
    m_zoomBox->setToolTip(LoadResString(7290));
    bar->addWidget(m_zoomBox);
    bar->addStretch();
    m_print = button(LoadResString(7291), LoadResString(7292));
    m_export = button(LoadResString(7293), LoadResString(7294));
    m_print->setVisible(m_session->printAllowed);
    m_export->setVisible(m_session->exportAllowed);

    m_canvas = new QLabel;
    m_canvas->setAlignment(Qt::AlignCenter);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(m_canvas);
    m_scroll->setWidgetResizable(true);
    m_scroll->setBackgroundRole(QPalette::Dark);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);

    connect(first, &QToolButton::clicked, this, [this] { setPage(1); });
    connect(prev, &QToolButton::clicked, this, [this] { setPage(m_page - 1); });
    connect(next, &QToolButton::clicked, this, [this] { setPage(m_page + 1); });
    connect(last, &QToolButton::clicked, this, [this] { setPage(m_pages); });
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int p) { setPage(p); });
    connect(m_zoomBox, &QComboBox::currentIndexChanged, this, [this](int i) {
        const double z = m_zoomBox->itemData(i).toDouble();
        if (z == kFitWidth)
            setFitToWidth(true);
        else
            setZoom(z);
    });
    connect(m_print, &QToolButton::clicked, this, &ReportPreview::print);
    connect(m_export, &QToolButton::clicked, this, &ReportPreview::exportToFile);

    try {
        m_pages = m_session->document ? m_session->document->pageCount() : 0;
    } catch (const RuntimeError& e) {
        m_canvas->setText(e.description());
    }
    m_pageBox->setMaximum(std::max(1, m_pages));
    m_pagesLabel->setText(u"/ %1"_s.arg(m_pages));
    render();
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::setPage(int page)
{
    page = std::clamp(page, 1, std::max(1, m_pages));
    if (page == m_page && !m_image.isNull())
        return;
    m_page = page;
    {
        const QSignalBlocker block(m_pageBox);
        m_pageBox->setValue(page);
    }
    render();
    Q_EMIT pageChanged(page);
}

void ReportPreview::setZoom(double zoom)
{
    m_fitWidth = false;
    m_zoom = std::clamp(zoom, 0.1, 8.0);
    const int step = m_zoomBox->findData(m_zoom);
    if (step >= 0 && step != m_zoomBox->currentIndex()) {
        const QSignalBlocker block(m_zoomBox);
        m_zoomBox->setCurrentIndex(step);
    }
    render();
}

double ReportPreview::fitWidthZoom(double paperWidthTwips, int viewportWidth, int margin)
{
    const double pageAtActualSize = paperWidthTwips * kScreenDpi / 1440.0;
    if (pageAtActualSize <= 0)
        return 1.0;
    return std::clamp((viewportWidth - 2.0 * margin) / pageAtActualSize, 0.1, 8.0);
}

void ReportPreview::setFitToWidth(bool fit)
{
    m_fitWidth = fit;
    if (fit) {
        const int item = m_zoomBox->findData(kFitWidth);
        if (item != m_zoomBox->currentIndex()) {
            const QSignalBlocker block(m_zoomBox);
            m_zoomBox->setCurrentIndex(item);
        }
        applyFitToWidth();
    }
}

void ReportPreview::applyFitToWidth()
{
    if (!m_fitWidth || !m_session->document)
        return;
    // The vertical scroll bar takes its width from the page as soon as the
    // page is longer than the window; leave room for it from the start.
    const int bar = m_scroll->verticalScrollBar()->sizeHint().width();
    const int width = m_scroll->viewport()->width() - (m_scroll->verticalScrollBar()->isVisible() ? 0 : bar);
    const double zoom = fitWidthZoom(m_session->document->geometry().paperWidth, width);
    if (std::abs(zoom - m_zoom) < 1e-3 && !m_image.isNull())
        return;
    m_zoom = zoom;
    render();
}

void ReportPreview::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    applyFitToWidth();
}

void ReportPreview::render()
{
    if (!m_session->document || m_pages < 1)
        return;
    const PageGeometry& g = m_session->document->geometry();
    const double pxPerTwip = m_zoom * kScreenDpi / 1440.0;
    m_image = QImage(QSize(qRound(g.paperWidth * pxPerTwip), qRound(g.paperHeight * pxPerTwip)),
                     QImage::Format_RGB32);
    m_image.fill(Qt::white);
    try {
        QPainter p(&m_image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.scale(pxPerTwip, pxPerTwip);
        m_session->document->paintPage(m_page, p);
    } catch (const RuntimeError& e) {
        m_canvas->setText(e.description());
        return;
    }
    m_canvas->setPixmap(QPixmap::fromImage(m_image));
}

void ReportPreview::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setCopyCount(m_session->copies);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString error;
    if (!m_session->document->print(printer, error))
        QMessageBox::warning(this, windowTitle(), error);
}

void ReportPreview::exportToFile()
{
    QString error;
    if (!renderToChosenFile(*m_session, this, error) && !error.isEmpty())
        QMessageBox::warning(this, windowTitle(), error);
}

}  // namespace lg::reportengine

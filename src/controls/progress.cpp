#include "controls/progress.h"

#include "platform/strings.h"

#include <QtCore/QCoreApplication>
#include <QtWidgets/QProgressDialog>

namespace lg::controls {

RowProgress::RowProgress(QWidget* parent, QString title) : m_parent(parent), m_title(std::move(title)) {}
RowProgress::~RowProgress() = default;

ProgressCallback RowProgress::callback()
{
    return [this](long rows) { return report(rows); };
}

bool RowProgress::report(long rows)
{
    if (m_cancelled)
        return false;
    if (rows % kStep != 0)
        return true;
    if (!m_dialog) {
        m_dialog = std::make_unique<QProgressDialog>(m_parent);
        m_dialog->setWindowTitle(m_title);
        m_dialog->setCancelButtonText(LoadResString(31150));
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(500);
        m_dialog->setRange(0, 0);  // the number of rows is not known in advance
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
    }
    m_dialog->setLabelText(LoadResString(32100).arg(rows));
    m_dialog->setValue(0);
    QCoreApplication::processEvents();
    if (m_dialog->wasCanceled())
        m_cancelled = true;
    return !m_cancelled;
}

}  // namespace lg::controls

#pragma once

// The progress dialog of long work in the controls: created on the first
// report of progress (so a short export never shows it), it appears after
// half a second, counts the rows and offers Cancel.

#include "controls/reportrun.h"

#include <memory>

class QProgressDialog;
class QWidget;

namespace lg::controls {

class RowProgress {
public:
    explicit RowProgress(QWidget* parent, QString title);
    ~RowProgress();

    // The callback for exportList; false once the user cancelled.
    ProgressCallback callback();
    bool cancelled() const { return m_cancelled; }
    // The dialog while it exists (tests cancel through it).
    QProgressDialog* dialog() const { return m_dialog.get(); }

    // How often the dialog is updated, in rows.
    static constexpr long kStep = 250;

private:
    bool report(long rows);

    QWidget* m_parent;
    QString m_title;
    std::unique_ptr<QProgressDialog> m_dialog;
    bool m_cancelled = false;
};

}  // namespace lg::controls

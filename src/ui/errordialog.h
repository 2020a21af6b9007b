#pragma once

// The dialog that shows an unexpected run-time error and lets the user retry
// the failing step, continue after it or give up.

#include "platform/errorhandler.h"

#include <QtWidgets/QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace lg {

class frmErrorDialog : public QDialog, public ErrorDialogService {
    Q_OBJECT
public:
    explicit frmErrorDialog(QWidget* parent = nullptr);

    // Fills the dialog without showing it.
    void configure(const QString& message, const QString& title, const RuntimeError& error);
    // The choice so far; both false until the user picks retry or continue.
    ErrorDialogAnswer answer() const { return m_answer; }

    ErrorDialogAnswer show(const QString& message, const QString& title, const RuntimeError& error) override;
    using QDialog::show;

    QLabel* lblMessage = nullptr;
    QLabel* lblNumber = nullptr;
    QLabel* lblSource = nullptr;
    QPlainTextEdit* txtTrace = nullptr;
    QPushButton* cmdRetry = nullptr;
    QPushButton* cmdContinue = nullptr;
    QPushButton* cmdGiveUp = nullptr;

private:
    ErrorDialogAnswer m_answer;
};

// Makes every library context created from now on report run-time errors
// with frmErrorDialog.
void installErrorDialog();

// Both of the above: the library's boxes and dialogs instead of the headless
// stand-ins.
void installUserInterfaceServices();

}  // namespace lg

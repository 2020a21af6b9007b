#pragma once

// The message and input box of the library, shown for cMessage2.

#include "platform/message.h"

#include <QtWidgets/QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace lg {

class frmMessage : public QDialog, public MessagePresenter {
    Q_OBJECT
public:
    explicit frmMessage(QWidget* parent = nullptr);

    // Fills the box from the request without showing it.
    void configure(const MessageRequest& request);
    // The answer so far: the clicked button (-1 while none) and the typed text.
    MessageAnswer answer() const;

    MessageAnswer present(const MessageRequest& request) override;
    void relayout() override;

    QLabel* lblIcon = nullptr;
    QLabel* lblMessage = nullptr;
    QLabel* lblSubMessage = nullptr;
    QLineEdit* txtInput = nullptr;
    std::array<QPushButton*, 3> cmdButtons{};

private:
    void buttonClicked(int index);

    int m_clicked = -1;
    int m_buttonCount = 0;
    bool m_inputMode = false;
};

// Makes every message service created from now on show its boxes with
// frmMessage.
void installMessageBoxPresenter();

}  // namespace lg

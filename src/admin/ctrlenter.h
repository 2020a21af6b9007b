#pragma once

// Ctrl+Enter confirms an edit form from any of its inputs, also from a
// multi-line box that would otherwise take the key as a line break.

#include <QtCore/QObject>

#include <functional>

class QWidget;

namespace lg::admin {

class CtrlEnter : public QObject {
public:
    // Watches `form` and every widget below it; `confirm` runs on Ctrl+Enter.
    CtrlEnter(QWidget* form, std::function<void()> confirm);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_confirm;
};

}  // namespace lg::admin

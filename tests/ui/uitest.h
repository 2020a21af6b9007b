#pragma once

#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

#include <functional>

namespace lg::test {

// Runs `action` on the modal dialog as soon as it is open, so that a test can
// answer a box the code under test shows with exec().
inline void whenModal(std::function<void(QWidget*)> action, int attempts = 200)
{
    QTimer::singleShot(5, [action = std::move(action), attempts]() mutable {
        if (QWidget* w = QApplication::activeModalWidget()) {
            action(w);
            return;
        }
        if (attempts > 0)
            whenModal(std::move(action), attempts - 1);
    });
}

}  // namespace lg::test

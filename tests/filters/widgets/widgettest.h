#pragma once

// Helpers of the filter-widget tests: a shown form with the control and a
// neighbour to move focus to, and typing that QTest cannot do itself.

#include <QtCore/QCoreApplication>
#include <QtGui/QKeyEvent>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QVBoxLayout>
#include <QtWidgets/QWidget>

namespace lg::test {

// A window holding `control` and, after it, a line edit that can take the focus.
struct Form {
    QWidget window;
    QLineEdit* next = nullptr;

    explicit Form(QWidget* control)
    {
        auto* layout = new QVBoxLayout(&window);
        control->setParent(&window);
        layout->addWidget(control);
        next = new QLineEdit(&window);
        next->setObjectName(QStringLiteral("next"));
        layout->addWidget(next);
        window.resize(500, 200);
        window.show();
        window.activateWindow();
        (void)QTest::qWaitForWindowExposed(&window);
    }
};

// Lets queued focus corrections and timers run.
inline void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Types any text, accented letters included, one key event per character.
inline void typeText(QWidget* w, const QString& text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

}  // namespace lg::test

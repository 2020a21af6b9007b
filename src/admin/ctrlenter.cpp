#include "admin/ctrlenter.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QWidget>

namespace lg::admin {

CtrlEnter::CtrlEnter(QWidget* form, std::function<void()> confirm) : QObject(form), m_confirm(std::move(confirm))
{
    form->installEventFilter(this);
    for (QWidget* w : form->findChildren<QWidget*>())
        w->installEventFilter(this);
}

bool CtrlEnter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* e = static_cast<QKeyEvent*>(event);
        const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
        if (enter && (e->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
            m_confirm();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace lg::admin

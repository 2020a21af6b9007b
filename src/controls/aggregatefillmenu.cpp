#include "controls/aggregatefillmenu.h"

#include "controls/aggregategrid.h"

#include <QtWidgets/QMenu>

using namespace Qt::StringLiterals;

namespace lg::controls {

AggregateFillMenuBar::AggregateFillMenuBar(QWidget* parent) : QMenuBar(parent)
{
    setObjectName(u"mnu_aggregate_fill"_s);
    setNativeMenuBar(false);
    QMenu* top = nullptr;
    QMenu* sub = nullptr;
    for (const AutoFillCommand& c : autoFillCommands()) {
        if (!top || top->title() != c.menu) {
            top = addMenu(c.menu);
            top->setObjectName(u"mnu_fill_%1"_s.arg(c.dataType));
            sub = nullptr;
        }
        if (!sub || sub->title() != c.subMenu)
            sub = top->addMenu(c.subMenu);
        QAction* a = sub->addAction(c.item);
        a->setObjectName(u"cmd_fill_%1"_s.arg(c.commandId));
        a->setData(c.commandId);
        connect(a, &QAction::triggered, this, [this, id = c.commandId] { trigger(id); });
    }
}

QAction* AggregateFillMenuBar::commandAction(int id) const { return findChild<QAction*>(u"cmd_fill_%1"_s.arg(id)); }

bool AggregateFillMenuBar::trigger(int id)
{
    const AutoFillCommand* c = findAutoFillCommand(id);
    if (!c)
        return false;
    Q_EMIT commandTriggered(id);
    Q_EMIT fillRequested(int(c->dataType), int(c->code), c->allCells);
    return true;
}

}  // namespace lg::controls

#pragma once

// The automatic filling menus of the aggregate page, built from the wizard
// model's command table (autoFillCommands, aggregategrid.h): "Szám
// összesítések", "Szöveg összesítések" and "Dátum", each with a sub-menu
// that fills the empty cells only and one that fills every cell. Every item
// carries its command id; choosing one emits commandTriggered and
// fillRequested with the data type, the aggregate code and the all-cells
// flag it stands for.

#include <QtWidgets/QMenuBar>

class QAction;

namespace lg::controls {

class AggregateFillMenuBar : public QMenuBar {
    Q_OBJECT
public:
    explicit AggregateFillMenuBar(QWidget* parent = nullptr);

    // The action of a command id; null for an unknown id.
    QAction* commandAction(int id) const;
    // Runs a command as if its item had been chosen; false for an unknown id.
    bool trigger(int id);

Q_SIGNALS:
    void commandTriggered(int id);
    void fillRequested(int dataType, int code, bool allCells);
};

}  // namespace lg::controls

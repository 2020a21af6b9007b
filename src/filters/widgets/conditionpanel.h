#pragma once

// ConditionPanel: the filter controls of a condition page (the list
// wizard's conditions step, the pre-filter dialog), one per kind of field,
// each under its caption label:
//
//   qtf_number     number filter       "Szám szűrés:"       types 1, 2
//   qtf_date       date filter         "Dátum szűrés:"      type 3
//   qtf_text       text filter         "Szöveg szűrés:"     type 4
//   qtf_check      check-box filter    "Igaz-Hamis szűrés:" type 5
//   qtf_list       list-box filter     "Lista szűrés:"      type 6
//   qtf_container  query container     (the same label)     type 7
//   qtf_textlist   text list box       (the same label)     type 8
//
// The last three share one place: only the one in use is shown. The control
// of the current field is enabled and its label drawn in the highlight
// colour; the others are disabled with grey labels. The panel decides
// nothing about conditions itself: the set-up is SetFilterControlPropertys,
// the harvest HarvestCondition.

#include <QtWidgets/QWidget>

#include <memory>

#include "catalogue/filtercontrolproperties.h"
#include "filters/conditionharvest.h"

class QLabel;

namespace lg::filters {

class QueryFilterControl;

class ConditionPanel : public QWidget {
    Q_OBJECT
    // The control type of the control in use; -1 when none is.
    Q_PROPERTY(int currentControlType READ currentControlType NOTIFY currentControlTypeChanged)

public:
    explicit ConditionPanel(QWidget* parent = nullptr);
    ~ConditionPanel() override;

    int currentControlType() const;

    // The control and the caption label of a control type (1 to 8); nullptr
    // for another type. Types 1 and 2 share the number filter, 6 to 8 the label.
    QueryFilterControl* control(int controlType) const;
    QLabel* label(int controlType) const;
    // The control in use; nullptr when none is.
    QueryFilterControl* currentControl() const;

    // Sets the control of the record's type up from it (the field, its pick
    // list, its stored condition), enables it and highlights its label; for
    // types 6 to 8 it becomes the one shown. False when the set-up failed:
    // the control then stays disabled and no control is in use.
    bool setUp(const catalogue::tFilterControlPropertys& record);
    // Reads the condition of the control in use into `record` (see
    // HarvestCondition); inactive when no control is in use.
    HarvestedCondition harvest(catalogue::tFilterControlPropertys& record);
    // The control in use back to its neutral state, disabled, its label
    // grey; afterwards no control is in use.
    void resetCurrent();
    // Every control neutral and disabled.
    void resetAll();

Q_SIGNALS:
    void currentControlTypeChanged(int controlType);
    // The condition of the control in use changed (ticked, typed, picked).
    void conditionChanged();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace lg::filters

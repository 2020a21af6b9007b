#pragma once

// Sets a filter up from the filter-control properties of a catalogue field
// (catalogue/filtercontrolproperties.h): which column it filters, its
// caption, its pick list, and the values of the list's stored condition.
// The filter is a model; what only a window has (enabled, the list shown,
// the collected errors shown) is told to a FilterControlView, so the same
// set-up runs without a window.

#include "catalogue/filtercontrolproperties.h"
#include "filters/queryfilter.h"

namespace lg::filters {

class FilterControlView {
public:
    virtual ~FilterControlView();
    virtual void setEnabled(bool) {}
    virtual void setListBoxVisible(bool) {}
    virtual void setVisible(bool) {}
    // The pick list could not be read: the collected errors are to be shown.
    virtual void showErrors() {}
};

// The input type of the text filter for control types 1 to 4: 2 number,
// 4 date, 1 text; 0 for the other types.
int inputTypeForControlType(int controlType);

// The pick-list statement of a list box (type 6, keyed by record id) or a
// text list box (type 8): four 32-character segments with the field, the
// table and the pick-list condition (" (TRUE) " when there is none).
QString pickListStatement(const catalogue::tFilterControlPropertys& record);

// Sets `filter` up from the record. The filter must be of the record's kind
// (types 1 to 4 a text filter, 5 a check box, 6 a list box, 7 a container,
// 8 a text list box); false for another kind, a type outside 1 to 8, no
// open database (6 to 8), or a pick list that cannot be read (the error
// stays collected).
bool SetFilterControlPropertys(const catalogue::tFilterControlPropertys& record, QueryFilter& filter,
                               FilterControlView* view = nullptr);

// The texts of a stored text-list selection ('abc','de'): each part at
// least three characters long after trimming, without its enclosing quotes,
// doubled quotes made single.
QStringList storedTextSelection(const QString& selectedItems);

}  // namespace lg::filters

#pragma once

// The condition a user entered in a field's filter, read back into the
// field's filter-control property record (catalogue/filtercontrolproperties.h)
// so that it can be stored: by the list wizard as the list's stored
// condition, by the pre-filter dialog in its own store, by `listgen design`
// from the command line. The reverse of SetFilterControlPropertys
// (filtercontrolsetup.h): a condition harvested and set up again gives the
// same SQL and description.
//
// Per control type (tTFControlType):
//   1, 2 number     tWFNumberFrom/To (whole numbers, rounded and clamped to
//                   the 32-bit range), tWFNotValue, tWFRelationType
//   3 date          tWFDateFrom/To, tWFNotValue, tWFRelationType
//   4 text          tWFTextFrom/To, tWFNotValue, tWFRelationType
//   5 check box     tWFBooleanValue (the filter's negation value)
//   6, 8 list boxes tWFSelectedItems
//   7 container     tWFSelectedItems
// and, whenever the condition is active, tWFSQLWhere and tWFSQLDescription.

#include <memory>

#include "catalogue/filtercontrolproperties.h"
#include "filters/queryfilter.h"

namespace lg::filters {

struct HarvestedCondition {
    // The filter holds a condition to store: ticked, and its SQL is not
    // blank (an active filter without SQL would store an empty clause,
    // which breaks the statement the conditions are joined into).
    bool active = false;
    QString where;
    QString description;
};

// Reads the filter's condition into `record` (its tWF* condition members;
// tWFID and the tTF* members are left alone). Nothing is written into the
// record when the condition is not active. A filter of another kind than
// the record's control type, or a type outside 1 to 8, gives an inactive
// condition.
HarvestedCondition HarvestCondition(QueryFilter& filter, catalogue::tFilterControlPropertys& record);

// Whether `filter` is the kind that holds conditions of `controlType`.
bool filterFitsControlType(const QueryFilter& filter, int controlType);

// A new, unticked filter model of the kind `controlType` needs; nullptr for
// a type outside 1 to 8.
std::unique_ptr<QueryFilter> createFilterForControlType(int controlType, QObject* parent = nullptr);

}  // namespace lg::filters

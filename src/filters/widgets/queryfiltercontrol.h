#pragma once

// The query-filter contract as the list wizard and the pre-filter dialog see
// a filter on their pages: any of the four filter widgets, held through this
// interface. The condition itself is built by the widget's model
// (lg::filters::QueryFilter); the widget adds the look and its design-time
// properties.

#include "filters/queryfilter.h"
#include "platform/propertybag.h"

class QWidget;

namespace lg::filters {

class QueryFilterControl {
public:
    virtual ~QueryFilterControl();

    // The model that holds the state and builds the condition.
    virtual QueryFilter* filter() const = 0;
    // The control itself, to place it on a page.
    virtual QWidget* widget() = 0;

    // Adds the control's condition to a run; false when it adds nothing.
    bool CollectWhereAndFilter(WhereCollection& collection) { return filter()->collectWhereAndFilter(collection); }
    bool CreateExtendedSQLTag(WhereCollection& collection) { return filter()->createExtendedSQLTag(collection); }
    // Back to the neutral state, with the inactive look.
    virtual void SetFilterDefault() = 0;

    // Design-time properties: the model's and the look's, under their own names.
    virtual void initDesignProperties() = 0;
    virtual void readDesignProperties(const PropertyBag& bag) = 0;
    virtual void writeDesignProperties(PropertyBag& bag) const = 0;
};

// Collects the conditions of the controls, in order, into one run; the number added.
int CollectWhereAndFilter(const QList<QueryFilterControl*>& controls, WhereCollection& collection);

}  // namespace lg::filters

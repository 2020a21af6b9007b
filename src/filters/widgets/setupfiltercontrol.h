#pragma once

// Sets a filter widget up from the filter-control properties of a catalogue
// field: the set-up itself is filters/filtercontrolsetup.h, driven on the
// widget's model; this adds what only the window has (enabled, the list
// shown) and, as the user-facing caller, shows the collected errors when the
// pick list could not be read.

#include "filters/filtercontrolsetup.h"
#include "filters/widgets/queryfiltercontrol.h"

namespace lg::filters {

bool SetFilterControlPropertys(const catalogue::tFilterControlPropertys& record, QueryFilterControl& control);

}  // namespace lg::filters

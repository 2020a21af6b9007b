#pragma once

// vW_QueryListBoxFilter: the list-box filter that picks records by their numeric keys (the item data).

#include "filters/widgets/vw_listboxfilterbase.h"

namespace lg::filters {

class vW_QueryListBoxFilter : public vW_ListBoxFilterBase {
    Q_OBJECT
public:
    explicit vW_QueryListBoxFilter(QWidget* parent = nullptr);
};

}  // namespace lg::filters

#pragma once

// vW_QueryTListBoxFilter: the list-box filter that picks records by their texts, each quoted with its quotes doubled.

#include "filters/widgets/vw_listboxfilterbase.h"

namespace lg::filters {

class vW_QueryTListBoxFilter : public vW_ListBoxFilterBase {
    Q_OBJECT
public:
    explicit vW_QueryTListBoxFilter(QWidget* parent = nullptr);
};

}  // namespace lg::filters

#include "filters/widgets/vw_querylistboxfilter.h"

#include "filters/listboxfiltermodel.h"

namespace lg::filters {

vW_QueryListBoxFilter::vW_QueryListBoxFilter(QWidget* parent)
    : vW_ListBoxFilterBase(new ListBoxFilterModel(ListBoxFilterModel::Keys::Numeric), parent)
{
    setObjectName(QStringLiteral("vW_QueryListBoxFilter"));
}

}  // namespace lg::filters

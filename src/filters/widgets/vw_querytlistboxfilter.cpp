#include "filters/widgets/vw_querytlistboxfilter.h"

#include "filters/listboxfiltermodel.h"

namespace lg::filters {

vW_QueryTListBoxFilter::vW_QueryTListBoxFilter(QWidget* parent)
    : vW_ListBoxFilterBase(new ListBoxFilterModel(ListBoxFilterModel::Keys::Text), parent)
{
    setObjectName(QStringLiteral("vW_QueryTListBoxFilter"));
}

}  // namespace lg::filters

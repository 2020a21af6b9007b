#include "filters/widgets/setupfiltercontrol.h"

#include "filters/widgets/vw_listboxfilterbase.h"
#include "filters/widgets/vw_querycontainer.h"
#include "store/errors.h"

#include <QtWidgets/QWidget>

namespace lg::filters {

namespace {

class WidgetView : public FilterControlView {
public:
    explicit WidgetView(QueryFilterControl& control) : m_control(control) {}
    void setEnabled(bool on) override { m_control.widget()->setEnabled(on); }
    void setListBoxVisible(bool on) override
    {
        if (auto* list = qobject_cast<vW_ListBoxFilterBase*>(m_control.widget()))
            list->ListBoxVisible(on);
        else if (auto* container = qobject_cast<vW_QueryContainer*>(m_control.widget()))
            container->ListBoxVisible(on);
    }
    void setVisible(bool on) override { m_control.widget()->setVisible(on); }
    void showErrors() override { lg::ShowErrors(); }

private:
    QueryFilterControl& m_control;
};

}  // namespace

bool SetFilterControlPropertys(const catalogue::tFilterControlPropertys& record, QueryFilterControl& control)
{
    WidgetView view(control);
    return SetFilterControlPropertys(record, *control.filter(), &view);
}

}  // namespace lg::filters

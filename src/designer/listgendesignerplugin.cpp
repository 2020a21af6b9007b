#include "designer/listgendesignerplugin.h"

#include "platform/strings.h"

#include <QtGui/QIcon>

namespace lg::designer {

ListgenWidgetInterface::ListgenWidgetInterface(const DesignerWidget& widget, QObject* parent)
    : QObject(parent), m_widget(widget)
{
}

QString ListgenWidgetInterface::name() const
{
    return QLatin1String(m_widget.className);
}
QString ListgenWidgetInterface::group() const
{
    return QLatin1String(kGroup);
}
QString ListgenWidgetInterface::toolTip() const
{
    return LoadResString(m_widget.toolTipId);
}
QString ListgenWidgetInterface::whatsThis() const
{
    return LoadResString(m_widget.whatsThisId);
}
QString ListgenWidgetInterface::includeFile() const
{
    return QLatin1String(m_widget.includeFile);
}
QIcon ListgenWidgetInterface::icon() const
{
    return QIcon(QLatin1String(m_widget.icon));
}
QWidget* ListgenWidgetInterface::createWidget(QWidget* parent)
{
    return m_widget.create(parent);
}
void ListgenWidgetInterface::initialize(QDesignerFormEditorInterface*)
{
    m_initialized = true;
}
QString ListgenWidgetInterface::domXml() const
{
    return lg::designer::domXml(m_widget);
}

ListgenDesignerPlugin::ListgenDesignerPlugin(QObject* parent) : QObject(parent)
{
    for (const DesignerWidget& w : designerWidgets())
        m_widgets.append(new ListgenWidgetInterface(w, this));
}

}  // namespace lg::designer

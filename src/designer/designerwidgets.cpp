#include "designer/designerwidgets.h"

#include "admin/listwizardauthunit.h"
#include "controls/listwizard.h"
#include "controls/smalllistwizard.h"
#include "filters/widgets/vquickpick.h"
#include "filters/widgets/vw_querycontainer.h"

#include <QtCore/QXmlStreamWriter>

namespace lg::designer {
namespace {

template <typename W> QWidget* construct(QWidget* parent)
{
    return new W(parent);
}

// Headers install under include/listgen/<module>/, mirroring src/.
const DesignerWidget kWidgets[] = {
    {"lg::controls::ListWizard", "listWizard", "listgen/controls/listwizard.h", ":/listgen/designer/listwizard.png",
     32000, 32001, 640, 420, &construct<controls::ListWizard>},
    {"lg::controls::SmallListWizard", "smallListWizard", "listgen/controls/smalllistwizard.h",
     ":/listgen/designer/smalllistwizard.png", 32002, 32003, 32, 32, &construct<controls::SmallListWizard>},
    {"lg::admin::ListWizardAuthUnit", "listWizardAuthUnit", "listgen/admin/listwizardauthunit.h",
     ":/listgen/designer/listwizardauthunit.png", 32004, 32005, 600, 400, &construct<admin::ListWizardAuthUnit>},
    {"lg::filters::vW_QueryContainer", "queryContainer", "listgen/filters/widgets/vw_querycontainer.h",
     ":/listgen/designer/vw_querycontainer.png", 32006, 32007, 300, 160, &construct<filters::vW_QueryContainer>},
    {"lg::filters::vQuickPick", "quickPick", "listgen/filters/widgets/vquickpick.h",
     ":/listgen/designer/vquickpick.png", 32008, 32009, 300, 48, &construct<filters::vQuickPick>},
};

}  // namespace

std::span<const DesignerWidget> designerWidgets()
{
    return kWidgets;
}

const DesignerWidget* findDesignerWidget(const QString& className)
{
    for (const DesignerWidget& w : kWidgets)
        if (className == QLatin1String(w.className))
            return &w;
    return nullptr;
}

QString domXml(const DesignerWidget& widget)
{
    QString xml;
    QXmlStreamWriter out(&xml);
    out.setAutoFormatting(true);
    out.writeStartElement(QStringLiteral("ui"));
    out.writeAttribute(QStringLiteral("language"), QStringLiteral("c++"));
    out.writeStartElement(QStringLiteral("widget"));
    out.writeAttribute(QStringLiteral("class"), QLatin1String(widget.className));
    out.writeAttribute(QStringLiteral("name"), QLatin1String(widget.objectName));
    out.writeStartElement(QStringLiteral("property"));
    out.writeAttribute(QStringLiteral("name"), QStringLiteral("geometry"));
    out.writeStartElement(QStringLiteral("rect"));
    out.writeTextElement(QStringLiteral("x"), QStringLiteral("0"));
    out.writeTextElement(QStringLiteral("y"), QStringLiteral("0"));
    out.writeTextElement(QStringLiteral("width"), QString::number(widget.width));
    out.writeTextElement(QStringLiteral("height"), QString::number(widget.height));
    out.writeEndElement();  // rect
    out.writeEndElement();  // property
    out.writeEndElement();  // widget
    out.writeEndElement();  // ui
    return xml;
}

}  // namespace lg::designer

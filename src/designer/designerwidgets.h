#pragma once

// The public controls as Qt Designer offers them: one entry per control with
// its class name, installed header, toolbox icon, texts, default geometry and
// the function that constructs it. The plugin's interfaces read this table;
// nothing here needs Designer, so tests drive it directly.

#include <QtCore/QString>

#include <span>

class QWidget;

namespace lg::designer {

// The toolbox group of every control.
inline constexpr const char* kGroup = "listgen";

struct DesignerWidget {
    const char* className;    // the C++ class, as uic writes it
    const char* objectName;   // the name a new instance gets on the form
    const char* includeFile;  // the installed public header
    const char* icon;         // resource path of the toolbox icon
    int toolTipId;            // string-table ids of the two texts
    int whatsThisId;
    int width;  // default geometry on a new form
    int height;
    QWidget* (*create)(QWidget* parent);
};

// The five public controls, in toolbox order.
std::span<const DesignerWidget> designerWidgets();

// The entry of `className`, or nullptr.
const DesignerWidget* findDesignerWidget(const QString& className);

// The XML Designer puts on the form for a new instance: the class, the
// object name and the default geometry.
QString domXml(const DesignerWidget& widget);

}  // namespace lg::designer

#include "captions.h"

#include "platform/strings.h"

#include <QtCore/QVariant>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDockWidget>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QWidget>

namespace lg {

namespace {

QColor& themeColorSlot()
{
    static QColor color;
    return color;
}

int& themeNumberSlot()
{
    static int number = 0;
    return number;
}

// Sets a property only where the widget declares it (statically or as a
// dynamic property); widgets without it are left alone.
bool setIfPresent(QWidget* w, const char* name, const QVariant& value)
{
    const bool present = w->metaObject()->indexOfProperty(name) >= 0 || w->dynamicPropertyNames().contains(name);
    if (present)
        w->setProperty(name, value);
    return present;
}

bool isOwnControl(const QWidget* w)
{
    return QLatin1String(w->metaObject()->className()).startsWith(QLatin1String("vW")) ||
           QLatin1String(w->metaObject()->className()).startsWith(QLatin1String("lg::vW")) ||
           w->objectName().startsWith(QLatin1String("vW"));
}

}  // namespace

bool LoadCaption(QWidget* widget)
{
    if (!widget)
        return false;
    const QVariant tag = widget->property(kCaptionTag);
    if (!tag.isValid())
        return false;
    bool ok = false;
    const int id = tag.toString().trimmed().toInt(&ok);
    if (!ok)
        return false;
    const QString text = LoadResString(id);
    if (text.isEmpty())
        return false;

    if (auto* b = qobject_cast<QAbstractButton*>(widget))
        b->setText(text);
    else if (auto* l = qobject_cast<QLabel*>(widget))
        l->setText(text);
    else if (auto* g = qobject_cast<QGroupBox*>(widget))
        g->setTitle(text);
    else if (widget->isWindow() || qobject_cast<QDockWidget*>(widget))
        widget->setWindowTitle(text);
    else if (widget->metaObject()->indexOfProperty("caption") >= 0)
        widget->setProperty("caption", text);
    else
        return false;
    return true;
}

void LoadCaptions(QWidget* root)
{
    if (!root)
        return;
    LoadCaption(root);
    const auto children = root->findChildren<QWidget*>();
    for (QWidget* w : children)
        LoadCaption(w);
}

QColor colorFromWin(quint32 code)
{
    return colorFromWin(code, QApplication::palette());
}

QColor colorFromWin(quint32 code, const QPalette& palette)
{
    if ((code & 0x80000000u) == 0)
        return QColor(int(code & 0xFF), int((code >> 8) & 0xFF), int((code >> 16) & 0xFF));

    using R = QPalette::ColorRole;
    using G = QPalette::ColorGroup;
    switch (code & 0xFFu) {
    case 0:  // scroll bar
        return palette.color(R::Button);
    case 1:   // desktop
    case 2:   // active caption
    case 13:  // highlight
    case 27:  // gradient active caption
        return palette.color(R::Highlight);
    case 3:   // inactive caption
    case 28:  // gradient inactive caption
        return palette.color(G::Inactive, R::Highlight);
    case 4:   // menu
    case 30:  // menu bar
        return palette.color(R::Window);
    case 5:  // window
        return palette.color(R::Base);
    case 6:  // window frame
        return palette.color(R::Shadow);
    case 7:  // menu text
    case 8:  // window text
        return palette.color(R::WindowText);
    case 9:   // caption text
    case 14:  // highlighted text
        return palette.color(R::HighlightedText);
    case 10:  // active border
    case 11:  // inactive border
    case 15:  // button face
        return palette.color(R::Button);
    case 12:  // application workspace
        return palette.color(R::Dark);
    case 16:  // button shadow
        return palette.color(R::Mid);
    case 17:  // grey text
        return palette.color(G::Disabled, R::WindowText);
    case 18:  // button text
        return palette.color(R::ButtonText);
    case 19:  // inactive caption text
        return palette.color(G::Inactive, R::HighlightedText);
    case 20:  // button highlight
        return palette.color(R::Light);
    case 21:  // 3D dark shadow
        return palette.color(R::Shadow);
    case 22:  // 3D light
        return palette.color(R::Midlight);
    case 23:  // info text
        return palette.color(R::ToolTipText);
    case 24:  // info background
        return palette.color(R::ToolTipBase);
    case 26:  // hot-tracked item
        return palette.color(R::Link);
    case 29:  // menu highlight
        return palette.color(R::Highlight);
    default:
        return QColor();
    }
}

QColor themeColor()
{
    if (!themeColorSlot().isValid())
        return QApplication::palette().color(QPalette::Window);
    return themeColorSlot();
}

void setThemeColor(const QColor& color)
{
    themeColorSlot() = color;
}

int themeNumber()
{
    return themeNumberSlot();
}

void setThemeNumber(int number)
{
    themeNumberSlot() = number;
}

void SetCaptionsVisualTheme(QWidget* root)
{
    if (!root)
        return;
    const QColor theme = themeColor();
    const QColor disabled = colorFromWin(wincolor::DisabledLight);
    const QColor border = colorFromWin(wincolor::SysHighlight);

    const auto children = root->findChildren<QWidget*>();
    for (QWidget* w : children) {
        setIfPresent(w, "Background", theme);
        setIfPresent(w, "BackColorDisabled", disabled);
        const bool themed =
            qobject_cast<QRadioButton*>(w) || w->objectName().startsWith(QLatin1String("pic_")) || isOwnControl(w);
        if (!themed)
            continue;
        if (!setIfPresent(w, "BackColor", theme)) {
            QPalette p = w->palette();
            p.setColor(QPalette::Window, theme);
            w->setPalette(p);
            w->setAutoFillBackground(true);
        }
        setIfPresent(w, "BorderColor", border);
    }
}

}  // namespace lg

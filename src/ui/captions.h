#pragma once

// Captions from the string table and the visual theme of the library's forms.

#include <QtCore/QtGlobal>
#include <QtGui/QColor>
#include <QtGui/QPalette>

class QWidget;

namespace lg {

// The name of the dynamic property that holds a widget's string id.
inline constexpr char kCaptionTag[] = "tag";

// Gives `root` and every widget below it whose `tag` property holds a string
// id the text of that id: buttons and labels their text, group boxes their
// title, windows and dock widgets their window title. A widget without a tag,
// with a tag that is not a number or with an id the table does not hold keeps
// its caption.
void LoadCaptions(QWidget* root);
// The same for one widget; true when its caption was replaced.
bool LoadCaption(QWidget* widget);

// A colour in the Windows encoding: 0x00BBGGRR, or 0x80000000 | index for a
// system colour, which is taken from `palette` (the application's when not
// given). An unknown system colour index gives an invalid QColor.
QColor colorFromWin(quint32 code);
QColor colorFromWin(quint32 code, const QPalette& palette);

// Well-known codes.
namespace wincolor {
constexpr quint32 White = 0xFFFFFF;
constexpr quint32 Red = 0x0000FF;
constexpr quint32 DisabledLight = 0xE0E0E0;
constexpr quint32 DisabledDark = 0x808080;
constexpr quint32 SysHighlight = 0x8000000D;
constexpr quint32 SysInfoBackground = 0x80000018;
}  // namespace wincolor

// The library-wide theme: its colour (the background of forms and of the
// library's own input controls) and its theme number.
QColor themeColor();
void setThemeColor(const QColor& color);
int themeNumber();
void setThemeNumber(int number);

// Applies the theme to every widget below `root`:
//  - the properties `Background` := theme colour, `BackColorDisabled` :=
//    0xE0E0E0 and `BorderColor` := the system highlight colour, where a widget
//    has them;
//  - radio buttons, picture boxes (object names starting "pic_") and the
//    library's own controls (class or object names starting "vW") get the
//    theme colour as background (their `BackColor` property when they have
//    one, their palette otherwise).
void SetCaptionsVisualTheme(QWidget* root);

}  // namespace lg

#pragma once

// Twips (1/1440 inch), the unit the controls' stored sizes use, and pixels of
// a widget's screen.

#include <QtWidgets/QWidget>

#include <cmath>

namespace lg::filters {

inline int twipsToPixelsX(double twips, const QWidget* w)
{
    return int(std::lround(twips * (w ? w->logicalDpiX() : 96) / 1440.0));
}

inline int twipsToPixelsY(double twips, const QWidget* w)
{
    return int(std::lround(twips * (w ? w->logicalDpiY() : 96) / 1440.0));
}

inline double pixelsToTwipsX(int pixels, const QWidget* w) { return pixels * 1440.0 / (w ? w->logicalDpiX() : 96); }

}  // namespace lg::filters

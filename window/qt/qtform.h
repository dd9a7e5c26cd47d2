#pragma once

#include "formdescription.h"

#include <QColor>
#include <QRect>

// The window's description in Qt's types.
inline QColor qColor(const form::Rgb &rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// Qt scales device-independent pixels to the screen itself.
inline QRect qRect(const form::Twips &twips)
{
    const form::Pixels place = form::pixels(twips, form::standardDpi);
    return QRect(place.left, place.top, place.width, place.height);
}

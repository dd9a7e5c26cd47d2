#include "appicon.h"

#include <QIcon>
#include <QPixmap>

// The artwork, kept as XPM so that it can be edited as text or in an editor.
#include "planini.xpm"

QIcon appIcon()
{
    // Decoded once for the application and its window.
    static const QIcon icon { QPixmap(planini_xpm) };
    return icon;
}

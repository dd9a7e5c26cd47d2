#include "appicon.h"

#include <QIcon>
#include <QPixmap>

// The artwork, kept as XPM so that it can be edited as text or in an editor.
#include "planini.xpm"

QIcon appIcon()
{
    return QIcon(QPixmap(planini_xpm));
}

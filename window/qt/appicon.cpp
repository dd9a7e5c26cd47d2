#include "appicon.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

// The artwork, kept as XPM so that it can be edited as text or in an editor.
#include "planini.xpm"

QIcon appIcon()
{
    // Decoded once for the application and its windows. Twice the size is for
    // title bars at high DPI, each pixel repeated so that the pixel art stays
    // sharp; docks and switchers take the larger installed icons through the
    // desktop file. Made in the pixmaps' own format, so that no size is
    // converted again.
    static const QIcon icon = [] {
        const QImage artwork
            = QImage(planini_xpm).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QIcon sizes(QPixmap::fromImage(artwork));
        sizes.addPixmap(QPixmap::fromImage(
            artwork.scaled(artwork.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
        return sizes;
    }();
    return icon;
}

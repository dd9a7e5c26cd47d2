#include "appicon.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <algorithm>

// The artwork, kept as XPM so that it can be edited as text or in an editor.
#include "planini.xpm"

namespace {

// Each pixel repeated scale times each way, as the installed icons are
// drawn, so that the pixel art stays sharp.
QImage enlarged(const QImage &artwork, int scale)
{
    QImage image(artwork.size() * scale, artwork.format());
    for (int y = 0; y < artwork.height(); ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(artwork.constScanLine(y));
        auto *to = reinterpret_cast<QRgb *>(image.scanLine(y * scale));
        for (int x = 0; x < artwork.width(); ++x)
            std::fill_n(to + x * scale, scale, from[x]);
        for (int copy = 1; copy < scale; ++copy)
            std::copy_n(
                to, image.width(), reinterpret_cast<QRgb *>(image.scanLine(y * scale + copy)));
    }
    return image;
}

} // namespace

QIcon appIcon()
{
    // Decoded once for the application and its windows. Twice the size is for
    // title bars at high DPI; docks and switchers take the larger installed
    // icons through the desktop file. Made in the pixmaps' own format, so
    // that no size is converted again.
    static const QIcon icon = [] {
        const QImage artwork
            = QImage(planini_xpm).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QIcon sizes(QPixmap::fromImage(artwork));
        sizes.addPixmap(QPixmap::fromImage(enlarged(artwork, 2)));
        return sizes;
    }();
    return icon;
}

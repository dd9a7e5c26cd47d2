// Build helper: writes the program's XPM icon as PNG, or as a Windows ICO
// holding one PNG, scaled up by whole pixels so that the pixel art stays sharp.
//
// Usage: exporticon INPUT.xpm OUTPUT.png|OUTPUT.ico SIZE

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QtEndian>

#include <cstdio>

namespace {

// An ICO file whose one image is stored as PNG (Windows Vista and later).
QByteArray icoFromPng(const QByteArray &png, int size)
{
    QByteArray ico;
    const auto put16 = [&ico](quint16 value) {
        const quint16 little = qToLittleEndian(value);
        ico.append(reinterpret_cast<const char *>(&little), 2);
    };
    const auto put32 = [&ico](quint32 value) {
        const quint32 little = qToLittleEndian(value);
        ico.append(reinterpret_cast<const char *>(&little), 4);
    };
    put16(0); // reserved
    put16(1); // an icon
    put16(1); // one image
    ico.append(char(size >= 256 ? 0 : size)); // width, 0 meaning 256
    ico.append(char(size >= 256 ? 0 : size)); // height
    ico.append(char(0)); // no palette
    ico.append(char(0)); // reserved
    put16(1); // colour planes
    put16(32); // bits per pixel
    put32(quint32(png.size()));
    put32(6 + 16); // where the image starts
    return ico + png;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: exporticon INPUT.xpm OUTPUT.png|OUTPUT.ico SIZE\n");
        return 2;
    }
    const QString input = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    const int size = QByteArray(argv[3]).toInt();

    QImage image(input);
    if (image.isNull() || size < image.width() || size % image.width() != 0) {
        std::fprintf(stderr, "exporticon: cannot read %s, or %d is no whole multiple of its size\n",
            argv[1], size);
        return 1;
    }
    image = image.convertToFormat(QImage::Format_ARGB32)
                .scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");

    QFile file(output);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(output.endsWith(QLatin1String(".ico")) ? icoFromPng(png, size) : png) < 0) {
        std::fprintf(stderr, "exporticon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

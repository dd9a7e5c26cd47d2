// Build helper, run on the build machine: writes the program's XPM icon as a
// Windows ICO file. 32 x 32 is stored with a 256-colour palette, the other
// sizes in true colour with alpha; every size is scaled from the artwork by
// nearest pixels, so the pixel art stays sharp.
//
// Usage: xpmtoico INPUT.xpm OUTPUT.ico [--32-only]
// --32-only: just the 32 x 32 image, for a web page to carry inside.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Colour
{
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool transparent = true;
};

struct Image
{
    int width = 0;
    int height = 0;
    std::vector<int> pixels; // indices into palette, row by row from the top
    std::vector<Colour> palette;
};

// The quoted strings of an XPM file, in order.
std::vector<std::string> quotedStrings(std::istream &in)
{
    std::vector<std::string> strings;
    std::string line;
    while (std::getline(in, line)) {
        const auto open = line.find('"');
        const auto close = line.rfind('"');
        if (open != std::string::npos && close > open)
            strings.push_back(line.substr(open + 1, close - open - 1));
    }
    return strings;
}

Image readXpm(std::istream &in)
{
    const std::vector<std::string> strings = quotedStrings(in);
    if (strings.empty())
        throw std::runtime_error("no XPM values");
    Image image;
    int colours = 0;
    std::size_t charsPerPixel = 0;
    std::istringstream(strings[0]) >> image.width >> image.height >> colours >> charsPerPixel;
    if (image.width <= 0 || image.height <= 0 || colours <= 0 || colours > 256 || charsPerPixel == 0
        || strings.size() < std::size_t(1 + colours + image.height))
        throw std::runtime_error("unsupported XPM header: " + strings[0]);

    std::map<std::string, int> indexOf;
    for (int i = 0; i < colours; ++i) {
        const std::string &entry = strings[std::size_t(1 + i)];
        const std::string key = entry.substr(0, charsPerPixel);
        std::istringstream rest(entry.substr(charsPerPixel));
        std::string kind;
        std::string value;
        rest >> kind >> value;
        Colour colour;
        if (kind != "c")
            throw std::runtime_error("only colour ('c') entries are read: " + entry);
        if (value != "None") {
            if (value.size() != 7 || value[0] != '#')
                throw std::runtime_error("colour not in #RRGGBB form: " + entry);
            const unsigned long rgb = std::stoul(value.substr(1), nullptr, 16);
            colour = { std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb), false };
        }
        indexOf[key] = int(image.palette.size());
        image.palette.push_back(colour);
    }
    for (int y = 0; y < image.height; ++y) {
        const std::string &row = strings[std::size_t(1 + colours + y)];
        if (row.size() != std::size_t(image.width) * charsPerPixel)
            throw std::runtime_error("row " + std::to_string(y) + " has the wrong length");
        for (int x = 0; x < image.width; ++x) {
            const auto found
                = indexOf.find(row.substr(std::size_t(x) * charsPerPixel, charsPerPixel));
            if (found == indexOf.end())
                throw std::runtime_error("unknown colour in row " + std::to_string(y));
            image.pixels.push_back(found->second);
        }
    }
    return image;
}

void put16(std::vector<std::uint8_t> &out, unsigned value)
{
    out.push_back(std::uint8_t(value));
    out.push_back(std::uint8_t(value >> 8));
}

void put32(std::vector<std::uint8_t> &out, std::uint32_t value)
{
    put16(out, value & 0xFFFFu);
    put16(out, value >> 16);
}

// One icon image: BITMAPINFOHEADER, palette, colour rows, mask rows; rows
// bottom up, each padded to four bytes.
std::vector<std::uint8_t> iconImage(const Image &image, int size, bool paletted)
{
    const auto pixelAt = [&](int x, int y) {
        return image
            .pixels[std::size_t(y * image.height / size * image.width + x * image.width / size)];
    };
    const int bits = paletted ? 8 : 32;
    const int colourRow = (size * bits / 8 + 3) / 4 * 4;
    const int maskRow = ((size + 7) / 8 + 3) / 4 * 4;

    std::vector<std::uint8_t> out;
    put32(out, 40);
    put32(out, std::uint32_t(size));
    put32(out, std::uint32_t(2 * size)); // colour and mask together
    put16(out, 1);
    put16(out, unsigned(bits));
    put32(out, 0); // not compressed
    put32(out, std::uint32_t((colourRow + maskRow) * size));
    put32(out, 0);
    put32(out, 0);
    put32(out, paletted ? 256 : 0);
    put32(out, 0);
    if (paletted) {
        for (int i = 0; i < 256; ++i) {
            const Colour colour
                = i < int(image.palette.size()) ? image.palette[std::size_t(i)] : Colour {};
            out.insert(out.end(), { colour.blue, colour.green, colour.red, 0 });
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        const std::size_t start = out.size();
        for (int x = 0; x < size; ++x) {
            const int index = pixelAt(x, y);
            const Colour &colour = image.palette[std::size_t(index)];
            if (paletted)
                out.push_back(std::uint8_t(index));
            else
                out.insert(out.end(),
                    { colour.blue, colour.green, colour.red,
                        std::uint8_t(colour.transparent ? 0 : 255) });
        }
        out.resize(start + std::size_t(colourRow), 0);
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(std::size_t(maskRow), 0);
        for (int x = 0; x < size; ++x)
            if (image.palette[std::size_t(pixelAt(x, y))].transparent)
                row[std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool only32 = argc == 4 && std::string(argv[3]) == "--32-only";
    if (argc != 3 && !only32) {
        std::fprintf(stderr, "usage: xpmtoico INPUT.xpm OUTPUT.ico [--32-only]\n");
        return 2;
    }
    try {
        std::ifstream in(argv[1]);
        if (!in)
            throw std::runtime_error(std::string("cannot read ") + argv[1]);
        const Image image = readXpm(in);

        struct Entry
        {
            int size;
            bool paletted;
        };
        std::vector<Entry> entries { { 16, false }, { 24, false }, { 32, true }, { 48, false },
            { 64, false }, { 128, false } };
        if (only32)
            entries = { { 32, true } };

        std::vector<std::vector<std::uint8_t>> images;
        for (const Entry &entry : entries)
            images.push_back(iconImage(image, entry.size, entry.paletted));

        std::vector<std::uint8_t> ico;
        put16(ico, 0);
        put16(ico, 1); // an icon
        put16(ico, unsigned(std::size(entries)));
        std::uint32_t offset = std::uint32_t(6 + 16 * std::size(entries));
        for (std::size_t i = 0; i < std::size(entries); ++i) {
            ico.push_back(std::uint8_t(entries[i].size));
            ico.push_back(std::uint8_t(entries[i].size));
            ico.push_back(0); // 256 colours or more
            ico.push_back(0);
            put16(ico, 1);
            put16(ico, entries[i].paletted ? 8 : 32);
            put32(ico, std::uint32_t(images[i].size()));
            put32(ico, offset);
            offset += std::uint32_t(images[i].size());
        }
        for (const auto &bytes : images)
            ico.insert(ico.end(), bytes.begin(), bytes.end());

        std::ofstream out(argv[2], std::ios::binary);
        out.write(reinterpret_cast<const char *>(ico.data()), std::streamsize(ico.size()));
        if (!out)
            throw std::runtime_error(std::string("cannot write ") + argv[2]);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "xpmtoico: %s\n", error.what());
        return 1;
    }
    return 0;
}

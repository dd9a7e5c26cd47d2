#pragma once

#include "buildinfo.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// What the window is made of: its controls, their places, texts, colours and
// font. Every platform's window is built from this table; no toolkit here.
namespace form {

// Positions and sizes are in twips, 1/1440 inch.
struct Twips
{
    int left;
    int top;
    int width;
    int height;
};

struct Pixels
{
    int left;
    int top;
    int width;
    int height;

    friend constexpr bool operator==(const Pixels &, const Pixels &) = default;
};

inline constexpr int twipsPerInch = 1440;
// The dots per inch of a screen at 100 %: 15 twips to a pixel.
inline constexpr int standardDpi = 96;

// Nearest pixel, halves rounded up.
constexpr int pixels(int twips, int dpi)
{
    return (twips * dpi + twipsPerInch / 2) / twipsPerInch;
}

// Edges are rounded, not sizes, so that controls that touch in twips still
// touch at every dpi.
constexpr Pixels pixels(const Twips &twips, int dpi)
{
    const int left = pixels(twips.left, dpi);
    const int top = pixels(twips.top, dpi);
    return { left, top, pixels(twips.left + twips.width, dpi) - left,
        pixels(twips.top + twips.height, dpi) - top };
}

enum class Kind { Label, List, Button, TextBox };

struct Control
{
    Kind kind;
    int index; // in the array of its kind: Label1(0..3), List1(0..2), ...
    Twips place;
    std::string_view text; // UTF-8; the lists are filled from the catalogue instead
    int tabIndex;
    int namedList = -1; // a heading names List1(namedList) to a screen reader
};

// Labels take no focus; every other control does.
constexpr bool takesFocus(Kind kind)
{
    return kind != Kind::Label;
}

// The control's name in the window, as in "List1(0)" or "Command1".
inline std::string controlName(Kind kind, int index)
{
    const std::string arrayIndex = "(" + std::to_string(index) + ")";
    switch (kind) {
    case Kind::Label:
        return "Label1" + arrayIndex;
    case Kind::List:
        return "List1" + arrayIndex;
    case Kind::Button:
        return "Command" + std::to_string(index + 1);
    case Kind::TextBox:
        return "Text1" + arrayIndex;
    }
    return {};
}

inline constexpr Twips clientArea { 0, 0, 6915, 5175 };

// In tab order: the keyboard focus moves through those that take it in the
// order they stand here.
inline constexpr std::array controls {
    Control { Kind::TextBox, 0, { 120, 3240, 6735, 1815 }, {}, 0 },
    Control { Kind::Label, 0, { 960, 0, 4575, 375 }, "Планини и върхове в България", 2 },
    Control { Kind::List, 0, { 360, 960, 2055, 1200 }, {}, 3 },
    Control { Kind::Label, 1, { 360, 600, 2055, 375 }, "Връх", 4, 0 },
    Control { Kind::List, 1, { 2520, 960, 1095, 1200 }, {}, 5 },
    Control { Kind::Label, 2, { 2520, 600, 1095, 375 }, "Височина", 6, 1 },
    Control { Kind::List, 2, { 3840, 960, 2775, 1200 }, {}, 7 },
    Control { Kind::Label, 3, { 3840, 600, 2775, 375 }, "Планина", 8, 2 },
    Control { Kind::Button, 0, { 2040, 2520, 2775, 615 }, "Чисти", 12 },
};
static_assert(std::is_sorted(controls.begin(), controls.end(),
    [](const Control &a, const Control &b) { return a.tabIndex < b.tabIndex; }));

// The heading that names List1(list).
constexpr const Control &headingOf(int list)
{
    return *std::find_if(controls.begin(), controls.end(),
        [list](const Control &control) { return control.namedList == list; });
}

// Shown after the home page address in the window's title.
inline constexpr std::string_view titleText = "География - планини, върхове";

// The window's whole title.
inline std::string windowTitle()
{
    return std::string(buildinfo::homepage) + ' ' + std::string(titleText);
}

// The assignment in Text1(0); every line ends with CR LF, the last one too.
inline constexpr std::string_view assignmentText
    = "Да се състави проект реализиращ междупредметна връзка География и Информатика\r\n"
      "Проектът да преставя планини и върхове в България. Всяка планина да е представена с един "
      "връх.\r\n"
      "Проектът да съдържа група от 3 списъчни полета с информация за:\r\n"
      "име на връх;\r\n"
      "височина;\r\n"
      "име на планина.\r\n"
      "Съдържанието на всяко листово поле да е подредено във възходящ ред.. Да няма значение кой "
      "ред от кое списъчно поле се посочва, проектът да показва семантично свързаниа информация - "
      "връх, височина, планина.\r\n"
      "Прочете допълнително информация по География за планини, върхове в тях и техните "
      "височини.\r\n";

inline constexpr std::string_view textBoxName = "Задача";

// The heading of the message that shows a failure that ended a handling.
inline constexpr std::string_view failureTitle = "Грешка при изпълнение";

struct Rgb
{
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

inline constexpr Rgb windowColour { 192, 192, 255 };
inline constexpr Rgb labelColour { 255, 192, 128 };
inline constexpr Rgb buttonColour { 255, 0, 0 };
// Text on a fixed background is fixed too, so a dark desktop theme keeps it readable.
inline constexpr Rgb textOnFixedColour { 0, 0, 0 };

// A pupil who needs a contrast setting chose the system's colours: while one
// is on, every part of the window takes them instead of the fixed ones above.
enum class SystemColour { Window, WindowText, ButtonFace, ButtonText, Highlight, HighlightText };

enum class Part { Window, Heading, Button, List, SelectedRow, TextBox, FocusFrame };

struct PartColours
{
    Part part;
    SystemColour background;
    SystemColour text; // for the focus frame, its line
};

inline constexpr std::array contrastColours {
    PartColours { Part::Window, SystemColour::Window, SystemColour::WindowText },
    PartColours { Part::Heading, SystemColour::ButtonFace, SystemColour::ButtonText },
    PartColours { Part::Button, SystemColour::ButtonFace, SystemColour::ButtonText },
    PartColours { Part::List, SystemColour::Window, SystemColour::WindowText },
    PartColours { Part::SelectedRow, SystemColour::Highlight, SystemColour::HighlightText },
    PartColours { Part::TextBox, SystemColour::Window, SystemColour::WindowText },
    PartColours { Part::FocusFrame, SystemColour::ButtonFace, SystemColour::ButtonText },
};

// Every part once, in the order of Part.
static_assert([] {
    for (std::size_t index = 0; index < contrastColours.size(); ++index)
        if (contrastColours[index].part != Part(index))
            return false;
    return contrastColours.size() == std::size_t(Part::FocusFrame) + 1;
}());

constexpr const PartColours &contrastColoursOf(Part part)
{
    return contrastColours[std::size_t(part)];
}

struct Font
{
    std::string_view family;
    int pointSize;
    int weight; // 400 is normal, 700 bold
    int charset; // 204 is Cyrillic
};

// Every control is drawn in the window's font.
inline constexpr Font font { "Times New Roman", 12, 400, 204 };

} // namespace form

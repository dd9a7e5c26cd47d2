#include "formdescription.h"

#include <doctest/doctest.h>

#include <set>
#include <string>
#include <vector>

using namespace form;

namespace {

const Control &find(Kind kind, int index)
{
    for (const Control &control : controls)
        if (control.kind == kind && control.index == index)
            return control;
    FAIL("no such control");
    return controls[0];
}

} // namespace

TEST_CASE("twips become pixels at the window's dpi")
{
    struct Case
    {
        int dpi;
        Twips twips;
        Pixels expected;
    };
    const Case cases[] = {
        { 96, clientArea, { 0, 0, 461, 345 } },
        { 96, { 360, 960, 2055, 1200 }, { 24, 64, 137, 80 } },
        { 144, { 360, 960, 2055, 1200 }, { 36, 96, 206, 120 } },
        // Halves round up at the edges: 691.5 and 517.5.
        { 144, clientArea, { 0, 0, 692, 518 } },
        { 192, { 2040, 2520, 2775, 615 }, { 272, 336, 370, 82 } },
        // At 120 dpi the label's bottom edge, 81.25 pixels, rounds down.
        { 120, { 360, 600, 2055, 375 }, { 30, 50, 171, 31 } },
        // At 106 dpi (110 %) the height list's edges, 185.5 and 266.1, round
        // to 186 and 266: 80 pixels, where its width alone, 80.6, gives 81.
        { 106, { 2520, 960, 1095, 1200 }, { 186, 71, 80, 88 } },
    };
    for (const Case &c : cases) {
        CAPTURE(c.dpi);
        CHECK(pixels(c.twips, c.dpi) == c.expected);
    }
}

TEST_CASE("controls that touch in twips touch at every dpi")
{
    // Label1(0) ends where nothing else starts, but each heading's right edge
    // must match its list's at any scale; checked over the common scales.
    for (const int dpi : { 96, 120, 144, 168, 192, 240, 288 }) {
        CAPTURE(dpi);
        for (int list = 0; list < 3; ++list) {
            const Pixels heading = pixels(find(Kind::Label, list + 1).place, dpi);
            const Pixels box = pixels(find(Kind::List, list).place, dpi);
            CHECK(heading.left == box.left);
            CHECK(heading.width == box.width);
        }
        const Pixels area = pixels(clientArea, dpi);
        for (const Control &control : controls) {
            const Pixels place = pixels(control.place, dpi);
            CHECK(place.left + place.width <= area.width);
            CHECK(place.top + place.height <= area.height);
        }
    }
}

TEST_CASE("tab indices are unique and start at the text box")
{
    std::set<int> seen;
    for (const Control &control : controls)
        CHECK(seen.insert(control.tabIndex).second);
    CHECK(*seen.begin() == find(Kind::TextBox, 0).tabIndex);

    std::vector<std::string> focusOrder;
    for (const Control &control : controls)
        if (takesFocus(control.kind))
            focusOrder.push_back(controlName(control.kind, control.index));
    CHECK(focusOrder
        == std::vector<std::string> { "Text1(0)", "List1(0)", "List1(1)", "List1(2)", "Command1" });
}

TEST_CASE("each heading names the list it stands over, and only headings name one")
{
    for (int list = 0; list < 3; ++list) {
        CAPTURE(list);
        const Control &heading = headingOf(list);
        CHECK(heading.kind == Kind::Label);
        CHECK(heading.index == list + 1);
        CHECK(heading.place.left == find(Kind::List, list).place.left);
        CHECK(heading.place.width == find(Kind::List, list).place.width);
    }
    int named = 0;
    for (const Control &control : controls)
        named += control.namedList >= 0;
    CHECK(named == 3);
    CHECK(headingOf(0).text == "Връх");
    CHECK(headingOf(2).text == "Планина");
}

TEST_CASE("the title is the home page's address, a blank and the title text")
{
    CHECK(windowTitle() == std::string(buildinfo::homepage) + " География - планини, върхове");
    CHECK(std::string_view(buildinfo::homepage).starts_with("https://"));
}

TEST_CASE("the assignment has eight lines, each ended by CR LF")
{
    int lines = 0;
    std::string_view rest = assignmentText;
    while (!rest.empty()) {
        const auto end = rest.find("\r\n");
        REQUIRE(end != std::string_view::npos);
        CHECK(rest.substr(0, end).find_first_of("\r\n") == std::string_view::npos);
        rest.remove_prefix(end + 2);
        ++lines;
    }
    CHECK(lines == 8);
}

// Writes the web program's page from the window's description: every
// control at its place, in its colours and font, the lists filled from the
// catalogue, so that the window shows in full before the program has
// started. The program (its script, with its WebAssembly inlined) is kept in
// the page as text, for the page's own script to start after the first paint.
//
// Usage: pagegen PAGE-SCRIPT ICON PROGRAM OUTPUT

#include "catalogue.h"
#include "formdescription.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// The window's margin in the page, in CSS pixels.
constexpr int margin = 8;

std::string escaped(std::string_view text)
{
    std::string result;
    for (const char c : text) {
        switch (c) {
        case '&':
            result += "&amp;";
            break;
        case '<':
            result += "&lt;";
            break;
        case '>':
            result += "&gt;";
            break;
        case '"':
            result += "&quot;";
            break;
        default:
            result += c;
        }
    }
    return result;
}

std::string cssColour(const form::Rgb &colour)
{
    return "rgb(" + std::to_string(colour.red) + "," + std::to_string(colour.green) + ","
        + std::to_string(colour.blue) + ")";
}

// A CSS pixel is a pixel at 96 dpi; the browser's zoom scales them all alike.
form::Pixels cssPixels(const form::Twips &place)
{
    return form::pixels(place, form::standardDpi);
}

std::string placeStyle(const form::Twips &place)
{
    const form::Pixels p = cssPixels(place);
    return "left:" + std::to_string(p.left) + "px;top:" + std::to_string(p.top)
        + "px;width:" + std::to_string(p.width) + "px;height:" + std::to_string(p.height) + "px";
}

// Each control's element has the control's name as its id.
std::string controlId(const form::Control &control)
{
    return form::controlName(control.kind, control.index);
}

std::string styleSheet()
{
    const form::Pixels client = cssPixels(form::clientArea);
    const std::string font = std::to_string(form::font.weight) + " "
        + std::to_string(form::font.pointSize) + "pt \""
        + std::string(form::font.family)
        // Metric-compatible stand-ins with Cyrillic letters where it is missing.
        + "\", \"Liberation Serif\", Tinos, serif";
    return "html{color-scheme:light}\n"
           "body{margin:0;background:#fff}\n"
           "main{width:"
        + std::to_string(client.width) + "px;margin:" + std::to_string(margin)
        + "px auto;font:" + font
        + "}\n"
          "#MainForm{position:relative;overflow:hidden;width:"
        + std::to_string(client.width) + "px;height:" + std::to_string(client.height)
        + "px;background:" + cssColour(form::windowColour)
        + "}\n"
          "#MainForm>*{position:absolute;box-sizing:border-box;margin:0;font:inherit}\n"
          ".label{display:flex;align-items:center;justify-content:center;white-space:pre;"
          "background:"
        + cssColour(form::labelColour) + ";color:" + cssColour(form::textOnFixedColour)
        + "}\n"
          "select{overflow-y:auto}\n"
          // Four whole rows in every browser, as in the window.
          "option{white-space:pre;padding:0 2px;line-height:19px}\n"
          "button{background:"
        + cssColour(form::buttonColour) + ";color:" + cssColour(form::textOnFixedColour)
        + ";border:2px outset " + cssColour(form::buttonColour)
        + "}\n"
          "button:active{border-style:inset}\n"
          "textarea{resize:none;overflow-y:scroll;white-space:pre-wrap}\n"
          "#failure{margin:"
        + std::to_string(margin)
        + "px 0;padding:4px 8px;border:2px solid #a00;background:#fff;color:#000;"
          "white-space:pre-wrap}\n";
}

std::string controlMarkup(const form::Control &control, const lists::Catalogue &catalogue)
{
    const std::string id = controlId(control);
    const std::string place = placeStyle(control.place);
    switch (control.kind) {
    case form::Kind::Label:
        // A heading names its list; the title line is the page's heading.
        if (control.namedList < 0)
            return "<h1 id=\"" + id + "\" class=\"label\" style=\"" + place + "\">"
                + escaped(control.text) + "</h1>\n";
        return "<label id=\"" + id + "\" for=\""
            + form::controlName(form::Kind::List, control.namedList) + "\" class=\"label\" style=\""
            + place + "\">" + escaped(control.text) + "</label>\n";
    case form::Kind::List: {
        std::string markup = "<select id=\"" + id + "\" size=\"4\" style=\"" + place + "\">";
        for (std::int16_t row = 0; row < lists::rowCount; ++row)
            markup += "<option>" + escaped(catalogue.displayText(std::int16_t(control.index), row))
                + "</option>";
        return markup + "</select>\n";
    }
    case form::Kind::Button:
        return "<button id=\"" + id + "\" type=\"button\" style=\"" + place + "\">"
            + escaped(control.text) + "</button>\n";
    case form::Kind::TextBox:
        // The text box has the focus when the page opens.
        return "<textarea id=\"" + id + "\" readonly autofocus aria-label=\""
            + escaped(form::textBoxName) + "\" style=\"" + place + "\">\n"
            + escaped(form::assignmentText) + "</textarea>\n";
    }
    return {};
}

// The controls in the page's order: the title line first, then the others
// in tab order, each list after its heading, so that the browser's tab order
// is the window's without tabindex.
std::string windowMarkup(const lists::Catalogue &catalogue)
{
    std::string markup;
    for (const form::Control &control : form::controls)
        if (control.kind == form::Kind::Label && control.namedList < 0)
            markup += controlMarkup(control, catalogue);
    for (const form::Control &control : form::controls) {
        if (!form::takesFocus(control.kind))
            continue;
        if (control.kind == form::Kind::List)
            markup += controlMarkup(form::headingOf(control.index), catalogue);
        markup += controlMarkup(control, catalogue);
    }
    return markup;
}

std::string base64(std::string_view bytes)
{
    static constexpr char alphabet[]
        = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t at = 0; at < bytes.size(); at += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - at);
        std::uint32_t group = 0;
        for (std::size_t i = 0; i < 3; ++i)
            group = group << 8 | (i < count ? std::uint8_t(bytes[at + i]) : 0u);
        for (std::size_t i = 0; i < 4; ++i)
            text += i <= count ? alphabet[(group >> (18 - 6 * i)) & 63] : '=';
    }
    return text;
}

bool readFile(const char *path, std::string &content)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    content = text.str();
    if (!file || content.empty()) {
        std::fprintf(stderr, "pagegen: cannot read %s\n", path);
        return false;
    }
    return true;
}

// Text inside a <script> element ends at the first "</script" and changes
// how it is read after "<!--"; a script holding either cannot be inlined.
bool inlinable(std::string text, const char *path)
{
    std::transform(text.begin(), text.end(), text.begin(),
        [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    if (text.find("</script") == std::string::npos && text.find("<!--") == std::string::npos)
        return true;
    std::fprintf(stderr, "pagegen: %s holds \"</script\" or \"<!--\"\n", path);
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: pagegen PAGE-SCRIPT ICON PROGRAM OUTPUT\n");
        return 2;
    }
    std::string script;
    std::string icon;
    std::string program;
    if (!readFile(argv[1], script) || !readFile(argv[2], icon) || !readFile(argv[3], program)
        || !inlinable(script, argv[1]) || !inlinable(program, argv[3]))
        return 1;

    const form::Pixels client = cssPixels(form::clientArea);
    const lists::Catalogue &catalogue = lists::Catalogue::builtIn();
    std::ofstream page(argv[4], std::ios::binary);
    page << "<!DOCTYPE html>\n<html lang=\"bg\">\n<head>\n<meta charset=\"utf-8\">\n"
         // A small screen shows the whole window, scaled down, never reflowed.
         << "<meta name=\"viewport\" content=\"width=" << client.width + 2 * margin << "\">\n"
         << "<title>" << escaped(form::windowTitle())
         << "</title>\n"
         // The icon inside too: the page asks nothing of any server.
         << "<link rel=\"icon\" type=\"image/x-icon\" href=\"data:image/x-icon;base64,"
         << base64(icon) << "\">\n"
         << "<style>\n"
         << styleSheet() << "</style>\n</head>\n<body>\n<main>\n<div id=\"MainForm\">\n"
         << windowMarkup(catalogue)
         << "</div>\n<p id=\"failure\" role=\"alert\" hidden></p>\n</main>\n"
         << "<script id=\"program\" type=\"text/plain\">\n"
         << program << "</script>\n<script>\n"
         << script << "</script>\n</body>\n</html>\n";
    page.close();
    if (!page) {
        std::fprintf(stderr, "pagegen: cannot write %s\n", argv[4]);
        return 1;
    }
    return 0;
}

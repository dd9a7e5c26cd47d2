// Writes the web program's page from the window's description: every
// control at its place, in its colours and font, the lists filled from the
// catalogue, so that the window shows in full before the program has
// started. The program, built as JavaScript alone so that it runs also where
// a browser allows no WebAssembly, is kept in the page as text, for the
// page's own script to start after the first paint.
// The page holds itself to its own scripts and styles: its
// Content-Security-Policy allows each by its SHA-256 hash, and nothing else.
//
// Usage: pagegen PAGE-SCRIPT ICON PROGRAM OUTPUT

#include "behaviour.h"
#include "catalogue.h"
#include "formdescription.h"
#include "listoperations.h"

#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

// Node's own SHA-256 (OpenSSL's), the digest's 32 bytes written to `digest`.
EM_JS(void, sha256, (const char *bytes, int length, unsigned char *digest), {
    const hash = require("crypto").createHash("sha256");
    hash.update(HEAPU8.subarray(bytes, bytes + length));
    HEAPU8.set(hash.digest(), digest);
});

namespace {

// The window's margin in the page, in CSS pixels.
constexpr int margin = 8;

constexpr std::string_view noScriptMessage
    = "Тази страница има нужда от JavaScript: включете JavaScript в браузъра и я отворете отново.";

// Shown by the page's script where the program does not start.
constexpr std::string_view cannotStartMessage
    = "Програмата не можа да се стартира в този браузър. Отворете страницата в друг браузър "
      "или се обърнете към ИТ специалиста на училището.";

// What a search engine, or a school's list of links, tells of the page.
constexpr std::string_view pageDescription
    = "Осем планини в България, всяка с един връх: три свързани списъка с върхове, височини и "
      "планини за урок по география и информатика.";

// Shown by the page's script where the program stops after it started.
constexpr std::string_view stoppedMessage
    = "Програмата спря поради грешка. Презаредете страницата, а ако грешката се повтори, "
      "обърнете се към ИТ специалиста на училището.";

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

// Each control's element has the control's name as its id.
std::string controlId(const form::Control &control)
{
    return form::controlName(control.kind, control.index);
}

// Places are set by the style sheet, by id: the policy allows no style
// attributes.
std::string placeRule(const form::Control &control)
{
    const form::Pixels p = cssPixels(control.place);
    return "[id=\"" + controlId(control) + "\"]{left:" + std::to_string(p.left)
        + "px;top:" + std::to_string(p.top) + "px;width:" + std::to_string(p.width)
        + "px;height:" + std::to_string(p.height) + "px}\n";
}

const form::Control &textBox()
{
    return *std::find_if(form::controls.begin(), form::controls.end(),
        [](const form::Control &c) { return c.kind == form::Kind::TextBox; });
}

// Selected rows in every list, whether or not it has the focus: white on
// blue, as Windows draws them, a shade darker than Windows' blue so that
// the text has 5.6 : 1 (and the row against an unselected one as much).
constexpr form::Rgb selectionColour { 0, 102, 204 };

// The lists as the page opens, nothing selected: what their rows are named.
class UnselectedLists final : public lists::ListOperations
{
public:
    using ListOperations::ListOperations;

private:
    std::int16_t doSelectedRow(std::int16_t) const override { return -1; }
    void doSetSelectedRow(std::int16_t, std::int16_t) override { }
};

std::string styleSheet()
{
    const form::Pixels client = cssPixels(form::clientArea);
    const form::Pixels text = cssPixels(textBox().place);
    const std::string font = std::to_string(form::font.weight) + " "
        + std::to_string(form::font.pointSize) + "pt \""
        + std::string(form::font.family)
        // Metric-compatible stand-ins with Cyrillic letters where it is missing.
        + "\", \"Liberation Serif\", Tinos, serif";
    std::string sheet = "html{color-scheme:light}\n"
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
          // A list box. Its rows are as high as the font's letters reach,
          // as in Windows' list boxes (Times New Roman's ascent and descent,
          // 1.107 em), so that a part of a fifth row shows below the fourth:
          // a sign that the list scrolls where scroll bars are hidden. A
          // swipe scrolls it.
          "[role=listbox]{overflow-x:hidden;overflow-y:auto;background:#fff;color:#000;"
          "border:2px inset #e3e3e3;cursor:default;user-select:none;-webkit-user-select:none;"
          "touch-action:pan-y;outline:none}\n"
          "[role=option]{white-space:pre;overflow:hidden;padding:0 2px;line-height:1.107}\n"
          // Lists of a program that could not start, greyed as unavailable.
          "[role=listbox][aria-disabled=true]{color:#6d6d6d}\n"
          "[role=option][aria-selected=true]{background:"
        + cssColour(selectionColour)
        + ";color:#fff}\n"
          // The focus frame, whenever the list has the focus.
          "[role=listbox]:focus [role=option].current{outline:1px dotted currentColor;"
          "outline-offset:-1px}\n"
          "@media (forced-colors:active){[role=option][aria-selected=true]{"
          "forced-color-adjust:none;background:Highlight;color:HighlightText}\n"
          "[role=listbox]:focus [role=option].current{outline-color:CanvasText}}\n"
          "button{background:"
        + cssColour(form::buttonColour) + ";color:" + cssColour(form::textOnFixedColour)
        + ";border:2px outset " + cssColour(form::buttonColour)
        + "}\n"
          "button:active{border-style:inset}\n"
          // A click on the caption lands on the button itself: WebKit would
          // start Shift+Tab from the caption's text, and so stay on the button.
          "button>span{pointer-events:none}\n"
          "textarea{resize:none;overflow-y:scroll;white-space:pre-wrap}\n"
          // The page's own focus mark on the read-only text box, which some
          // engines (WebKitGTK) leave unmarked; black on the window's colour.
          "textarea:focus{outline:2px solid #000;outline-offset:0}\n"
          "#failure{margin:"
        + std::to_string(margin)
        + "px 0;padding:4px 8px;border:2px solid #a00;background:#fff;color:#000;"
          "white-space:pre-wrap}\n"
          "#printed{display:none}\n"
          // On paper: the colours as on screen, and the whole assignment in
          // place of the text box, which would print only the lines in view.
          "@media print{*{-webkit-print-color-adjust:exact;print-color-adjust:exact}\n"
          "#MainForm{height:auto;min-height:"
        + std::to_string(client.height)
        + "px}\n"
          "[id=\"Text1(0)\"]{display:none}\n"
          "#MainForm>#printed{display:block;position:static;white-space:pre-wrap;"
          "background:#fff;border:2px inset #e3e3e3;padding:2px;margin:"
        + std::to_string(text.top) + "px 0 0 " + std::to_string(text.left)
        + "px;width:" + std::to_string(text.width) + "px}}\n";
    for (const form::Control &control : form::controls)
        sheet += placeRule(control);
    return sheet;
}

// Shown, and the window hidden, where the browser runs no scripts: the lists
// would look usable and do nothing.
std::string noScriptStyle()
{
    return "#MainForm{display:none}\n"
           "#noscript{margin:8px 0;padding:4px 8px;border:2px solid #a00}\n";
}

std::string controlMarkup(const form::Control &control, const UnselectedLists &catalogue)
{
    const std::string id = controlId(control);
    switch (control.kind) {
    case form::Kind::Label:
        // A heading names its list; the title line is the page's heading.
        if (control.namedList < 0)
            return "<h1 id=\"" + id + "\" class=\"label\">" + escaped(control.text) + "</h1>\n";
        return "<div id=\"" + id + "\" class=\"label\">" + escaped(control.text) + "</div>\n";
    case form::Kind::List: {
        // A list box after the WAI-ARIA listbox pattern, drawn by the page
        // so that it is the same in every browser. Each row is named as a
        // screen reader hears it, its text without trailing blanks, until
        // the program names the selected ones by their entries.
        const auto list = std::int16_t(control.index);
        std::string markup = "<div id=\"" + id
            + "\" role=\"listbox\" tabindex=\"0\" aria-labelledby=\""
            + controlId(form::headingOf(list)) + "\">";
        for (std::int16_t row = 0; row < lists::rowCount; ++row)
            markup += "<div id=\"" + id + "-" + std::to_string(row)
                + "\" role=\"option\" aria-selected=\"false\" aria-label=\""
                + escaped(lists::spokenName(catalogue, list, row)) + "\">"
                + escaped(catalogue.catalogue().displayText(list, row)) + "</div>";
        return markup + "</div>\n";
    }
    case form::Kind::Button:
        return "<button id=\"" + id + "\" type=\"button\"><span>" + escaped(control.text)
            + "</span></button>\n";
    case form::Kind::TextBox:
        // The text box has the focus when the page opens; no browser puts
        // back what it held before.
        return "<textarea id=\"" + id + "\" readonly autofocus autocomplete=\"off\" aria-label=\""
            + escaped(form::textBoxName) + "\">\n" + escaped(form::assignmentText)
            + "</textarea>\n<div id=\"printed\" aria-hidden=\"true\">"
            + escaped(form::assignmentText) + "</div>\n";
    }
    return {};
}

// The controls in the page's order: the title line first, then the others
// in tab order, each list after its heading, so that the browser's tab order
// is the window's without tabindex.
std::string windowMarkup(const UnselectedLists &catalogue)
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

// A policy source that allows exactly this script or style text.
std::string hashSource(std::string_view text)
{
    std::array<unsigned char, 32> digest {};
    sha256(text.data(), int(text.size()), digest.data());
    return "'sha256-"
        + base64(std::string_view(reinterpret_cast<const char *>(digest.data()), digest.size()))
        + "'";
}

// Text with LF line ends, as the browser's HTML parser hands a script or a
// style to the policy check: CR LF and a lone CR each become LF.
std::string withLfLineEnds(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\r')
            result += text[at];
        else if (at + 1 == text.size() || text[at + 1] != '\n')
            result += '\n';
    }
    return result;
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
    // A checkout may have turned the script's line ends into CR LF.
    script = withLfLineEnds(script);
    program = withLfLineEnds(program);

    const form::Pixels client = cssPixels(form::clientArea);
    const UnselectedLists catalogue(lists::Catalogue::builtIn());
    const std::string style = styleSheet();
    const std::string noScript = noScriptStyle();
    // The program runs from a script element that the page's script makes
    // with this text, so its hash is the text's; it is JavaScript alone, so
    // no WebAssembly is allowed. A breach is told with the start of what was
    // refused ('report-sample'), so that it can be traced.
    const std::string policy = "default-src 'none'; script-src " + hashSource(script) + " "
        + hashSource(program) + " 'report-sample'; style-src " + hashSource(style) + " "
        + hashSource(noScript)
        + " 'report-sample'; img-src data:; base-uri 'none'; form-action 'none'";
    std::ofstream page(argv[4], std::ios::binary);
    page << "<!DOCTYPE html>\n<html lang=\"bg\">\n<head>\n<meta charset=\"utf-8\">\n"
         << "<meta http-equiv=\"Content-Security-Policy\" content=\"" << policy << "\">\n"
         << "<meta name=\"referrer\" content=\"no-referrer\">\n"
         << "<meta name=\"description\" content=\"" << escaped(pageDescription)
         << "\">\n"
         // A small screen shows the whole window, scaled down, never reflowed.
         << "<meta name=\"viewport\" content=\"width=" << client.width + 2 * margin << "\">\n"
         << "<title>" << escaped(form::windowTitle())
         << "</title>\n"
         // The icon inside too: the page asks nothing of any server.
         << "<link rel=\"icon\" type=\"image/x-icon\" href=\"data:image/x-icon;base64,"
         << base64(icon) << "\">\n"
         << "<style>" << style << "</style>\n"
         << "<noscript><style>" << noScript << "</style></noscript>\n"
         << "</head>\n<body>\n<main>\n"
         << "<noscript><p id=\"noscript\">" << escaped(noScriptMessage) << "</p></noscript>\n"
         << "<div id=\"MainForm\">\n"
         << windowMarkup(catalogue)
         << "</div>\n<p id=\"failure\" role=\"alert\" data-cannot-start=\""
         << escaped(cannotStartMessage) << "\" data-stopped=\"" << escaped(stoppedMessage)
         << "\" hidden></p>\n</main>\n"
         << "<script id=\"program\" type=\"text/plain\">" << program << "</script>\n"
         << "<script>" << script << "</script>\n</body>\n</html>\n";
    page.close();
    if (!page) {
        std::fprintf(stderr, "pagegen: cannot write %s\n", argv[4]);
        return 1;
    }
    return 0;
}

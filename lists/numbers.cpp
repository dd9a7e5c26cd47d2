#include "numbers.h"

#include "failures.h"

#include <fast_float/fast_float.h>

#include <cmath>
#include <limits>
#include <string>

namespace lists {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

double textValue(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && isBlank(text[at]))
        ++at;

    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }

    // A number starts with a digit or a point; this keeps out a second sign
    // and the words that from_chars would read ("inf", "nan").
    const std::string_view number = text.substr(at);
    if (number.empty() || !(isDigit(number[0]) || number[0] == '.'))
        return 0.0;
    double value = 0.0;
    const auto [end, error] = fast_float::from_chars(
        number.data(), number.data() + number.size(), value, fast_float::chars_format::general);
    // A value out of range reads as the library gives it, ±infinity or 0,
    // whether or not it also reports the range (fast_float does from
    // version 4 on): the rounding then fails it or not as for any other.
    if (error != std::errc() && error != std::errc::result_out_of_range)
        return 0.0; // a point with no digit on either side
    return negative ? -value : value;
}

std::optional<std::int16_t> roundToInt16(double value)
{
    // nearbyint rounds in the default mode, to nearest with ties to even.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<std::int16_t>::min()
            && rounded <= std::numeric_limits<std::int16_t>::max()))
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

std::int16_t keyValue(std::string_view keyText)
{
    if (const std::optional<std::int16_t> key = roundToInt16(textValue(keyText)))
        return *key;
    throw OverflowError("Overflow: key \"" + std::string(keyText)
        + "\" does not fit a 16-bit integer (-32768..32767)");
}

} // namespace lists

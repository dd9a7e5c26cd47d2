#include "numbers.h"

#include "decimal.h"
#include "failures.h"

#include <algorithm>
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

std::size_t skipDigits(std::string_view text, std::size_t at)
{
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at;
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

    // The number is mantissa digits × 10^exponent.
    const std::size_t integerEnd = skipDigits(text, at);
    std::string mantissa(text.substr(at, integerEnd - at));
    std::size_t end = integerEnd;
    long exponent = 0;
    if (end < text.size() && text[end] == '.') {
        end = skipDigits(text, end + 1);
        const std::string_view fraction = text.substr(integerEnd + 1, end - (integerEnd + 1));
        mantissa += fraction;
        exponent = -static_cast<long>(fraction.size());
    }
    if (mantissa.empty())
        return 0.0;

    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponentAt = end + 1;
        const bool negativeExponent = exponentAt < text.size() && text[exponentAt] == '-';
        if (exponentAt < text.size() && (text[exponentAt] == '+' || text[exponentAt] == '-'))
            ++exponentAt;
        // Far past any double's range the exponent's size no longer matters.
        long written = 0;
        for (; exponentAt < text.size() && isDigit(text[exponentAt]); ++exponentAt)
            written = std::min(written * 10 + (text[exponentAt] - '0'), 1'000'000L);
        exponent += negativeExponent ? -written : written;
    }

    const double value = decimal::nearestDouble(mantissa, exponent);
    return negative ? -value : value;
}

std::int16_t roundToInt16(double value)
{
    // nearbyint rounds in the default mode, to nearest with ties to even.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<std::int16_t>::min()
            && rounded <= std::numeric_limits<std::int16_t>::max()))
        throw OverflowError("Overflow: " + decimal::shortestText(value)
            + " does not fit a 16-bit integer (-32768..32767)");
    return static_cast<std::int16_t>(rounded);
}

} // namespace lists

#include "numbers.h"

#include "failures.h"

#include <charconv>
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

// The decimal exponent of the leading digit of an unsigned number, for a number
// too large or too small for a double. Only its sign matters, so the exponent
// is clamped.
long orderOfMagnitude(std::string_view number)
{
    const std::size_t point = number.find('.');
    const std::size_t expAt = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, expAt);

    long exponent = 0;
    if (expAt != std::string_view::npos) {
        std::size_t at = expAt + 1;
        const bool negative = number[at] == '-';
        if (number[at] == '+' || number[at] == '-')
            ++at;
        for (; at < number.size() && exponent < 1'000'000; ++at)
            exponent = exponent * 10 + (number[at] - '0');
        if (negative)
            exponent = -exponent;
    }

    const std::size_t first = mantissa.find_first_of("123456789");
    const std::size_t integerEnd = point == std::string_view::npos ? mantissa.size() : point;
    if (first < integerEnd)
        return exponent + static_cast<long>(integerEnd - first - 1);
    return exponent - static_cast<long>(first - integerEnd);
}

// Shortest round-trip form, independent of the C locale.
std::string numberText(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
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

    const std::size_t start = at;
    std::size_t end = skipDigits(text, at);
    bool hasDigits = end > start;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fractionEnd = skipDigits(text, end + 1);
        hasDigits = hasDigits || fractionEnd > end + 1;
        end = fractionEnd;
    }
    if (!hasDigits)
        return 0.0;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponentAt = end + 1;
        if (exponentAt < text.size() && (text[exponentAt] == '+' || text[exponentAt] == '-'))
            ++exponentAt;
        const std::size_t exponentEnd = skipDigits(text, exponentAt);
        if (exponentEnd > exponentAt)
            end = exponentEnd;
    }

    const std::string_view number = text.substr(start, end - start);
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        value = orderOfMagnitude(number) >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -value : value;
}

std::int16_t roundToInt16(double value)
{
    // nearbyint rounds in the default mode, to nearest with ties to even.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<std::int16_t>::min()
            && rounded <= std::numeric_limits<std::int16_t>::max()))
        throw OverflowError(
            "Overflow: " + numberText(value) + " does not fit a 16-bit integer (-32768..32767)");
    return static_cast<std::int16_t>(rounded);
}

} // namespace lists

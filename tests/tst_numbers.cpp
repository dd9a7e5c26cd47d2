#include "failures.h"
#include "numbers.h"

#include <doctest/doctest.h>
#include <fast_float/fast_float.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

using namespace lists;

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double largest = std::numeric_limits<double>::max();
constexpr double smallest = std::numeric_limits<double>::denorm_min();

// The decimal digits of 5^n: 2^-n is these digits × 10^-n.
std::string powerOfFive(int n)
{
    std::vector<int> digits { 1 }; // least significant first
    for (int i = 0; i < n; ++i) {
        int carry = 0;
        for (int &digit : digits) {
            const int product = digit * 5 + carry;
            digit = product % 10;
            carry = product / 10;
        }
        if (carry != 0)
            digits.push_back(carry);
    }
    std::string text;
    for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit)
        text += static_cast<char>('0' + *digit);
    return text;
}

struct TextCase
{
    const char *name;
    std::string text;
    double expected;
};

double fromBits(std::uint64_t bits)
{
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

struct RoundCase
{
    const char *name;
    double value;
    int expected;
};

} // namespace

TEST_CASE("a text's value reads the leading decimal number, else 0")
{
    const TextCase cases[] = {
        { "empty text", "", 0.0 },
        { "letters only", "abc", 0.0 },
        { "Cyrillic letters", "Рила ", 0.0 },
        { "blanks only", "   ", 0.0 },
        { "key text", "8", 8.0 },
        { "leading zeros", "0007", 7.0 },
        { "digits then letters", "12abc", 12.0 },
        { "leading blanks and tab", " \t 3", 3.0 },
        { "line feed before", "\n7", 7.0 },
        { "CR LF before", "\r\n7", 7.0 },
        { "blank inside ends the number", "1 2", 1.0 },
        { "minus", "-5", -5.0 },
        { "plus", "+5", 5.0 },
        { "sign alone", "-", 0.0 },
        { "sign then blank", "- 5", 0.0 },
        { "fraction", "1.5", 1.5 },
        { "fraction without integer part", "-.25", -0.25 },
        { "point without fraction", "5.", 5.0 },
        { "point alone", ".", 0.0 },
        { "second point ends the number", "1.2.3", 1.2 },
        { "decimal comma is not a point", "1,5", 1.0 },
        { "exponent", "2.5e-1", 0.25 },
        { "exponent with plus", "1E+3", 1000.0 },
        { "exponent without digits is left out", "7e+x", 7.0 },
        { "hexadecimal is not read", "0x10", 0.0 },
        { "inf is a word, not a number", "inf", 0.0 },
        { "nan is a word, not a number", "nan", 0.0 },
        { "too large", "1e999", inf },
        { "too large, negative", "-1e999", -inf },
        { "too large by digits", std::string(400, '9'), inf },
        { "too large by exponent of a fraction", "0.001e400", inf },
        { "huge exponent", "1e99999999999999999999", inf },
        { "too small", "1e-999", 0.0 },
        { "too large, upper-case E", "1E999", inf },
        { "too small, upper-case E", "1E-999", 0.0 },
        { "exponent 1000", "1e1000", inf },
        { "exponent -1000", "1e-1000", 0.0 },
        { "fraction too large", "12.5e400", inf },
        { "fraction too small", "0.5e-400", 0.0 },
        { "too small by leading zeros", "0." + std::string(400, '0') + "1", 0.0 },
        { "huge negative exponent", "5e-99999999999999999999", 0.0 },
    };
    for (const TextCase &c : cases) {
        CAPTURE(c.name);
        CHECK(textValue(c.text) == c.expected);
    }
}

// Reading relies on this of fast_float, in every version: out of range it
// gives ±infinity or 0 (from version 4 on also reporting the range), and
// only text that is no number at all is an error.
TEST_CASE("fast_float gives a value out of range, whatever it reports with it")
{
    const TextCase cases[] = {
        { "too large", "1e999", inf },
        { "too small", "1e-999", 0.0 },
        { "too large by digits", std::string(400, '9'), inf },
        { "point alone", ".", -1.0 },
    };
    for (const TextCase &c : cases) {
        CAPTURE(c.name);
        double value = -1.0;
        const auto [end, error] = fast_float::from_chars(
            c.text.data(), c.text.data() + c.text.size(), value, fast_float::chars_format::general);
        CHECK(value == c.expected);
        if (c.expected < 0)
            CHECK(error == std::errc::invalid_argument);
        else
            CHECK((error == std::errc() || error == std::errc::result_out_of_range));
    }
}

// Each text in a buffer of exactly its own length, so that a sanitizer build
// catches a read one character past its end.
// Where a decimal number lies exactly halfway between two doubles, or within
// a hair of that, only exact arithmetic reads it right.
TEST_CASE("reading rounds to the nearest double, ties to even")
{
    const std::string halfSmallest = powerOfFive(1075) + "e-1075"; // 2^-1075, 751 digits
    const std::string justAboveHalfSmallest = powerOfFive(1075) + "0000000001e-1085";
    const TextCase cases[] = {
        { "1 + 2^-53 is a tie, to even 1",
            "1.00000000000000011102230246251565404236316680908203125", 1.0 },
        { "just below the tie", "1.00000000000000011102230246251565404236316680908203124", 1.0 },
        { "just above the tie", "1.00000000000000011102230246251565404236316680908203126",
            1.0000000000000002 },
        { "2^53 + 1 to even 2^53", "9007199254740993", 9007199254740992.0 },
        { "2^53 + 3 to even 2^53 + 4", "9007199254740995", 9007199254740996.0 },
        { "largest", "1.7976931348623157e308", largest },
        { "rounds down to the largest", "1.7976931348623158e308", largest },
        { "rounds up past the largest", "1.7976931348623159e308", inf },
        { "smallest subnormal", "4.9406564584124654e-324", smallest },
        { "half the smallest is a tie, to even 0", halfSmallest, 0.0 },
        { "past 800 digits still above half", justAboveHalfSmallest, smallest },
        { "just below half the smallest", "2.4703282292062327e-324", 0.0 },
        { "just above half the smallest", "2.4703282292062328e-324", smallest },
        { "largest subnormal", "2.2250738585072009e-308", fromBits(0x000f'ffff'ffff'ffff) },
        { "smallest normal", "2.2250738585072014e-308", fromBits(0x0010'0000'0000'0000) },
        { "between subnormal and normal", "2.2250738585072011e-308",
            fromBits(0x000f'ffff'ffff'ffff) },
        { "0.1", "0.1", 0.1 },
        { "many digits of a third", "0." + std::string(1000, '3'), 1.0 / 3.0 },
        { "digits and exponent cancel",
            std::string(500, '0') + "1" + std::string(400, '0') + "e-400", 1.0 },
    };
    for (const TextCase &c : cases) {
        CAPTURE(c.name);
        CHECK(textValue(c.text) == c.expected);
    }
}

TEST_CASE("reading stops at the end of the text")
{
    const std::string texts[] = {
        "1e",
        "1e+",
        "7E-",
        "5.",
        "-",
        "+.",
        std::string(400, '9') + "e",
        std::string(400, '9') + "e-",
        std::string(400, '9') + ".",
        "0." + std::string(400, '0'),
        "1e" + std::string(300, '9'),
    };
    for (const std::string &text : texts) {
        CAPTURE(text.size());
        const auto exact = std::make_unique<char[]>(text.size());
        std::copy(text.begin(), text.end(), exact.get());
        const double value = textValue(std::string_view(exact.get(), text.size()));
        CHECK(value == textValue(text));
    }
}

TEST_CASE("rounding to a 16-bit integer takes halves to the even neighbour")
{
    const RoundCase cases[] = {
        { "whole number", 7.0, 7 },
        { "below half", 2.4999, 2 },
        { "above half", 2.5001, 3 },
        { "2.5 to even 2", 2.5, 2 },
        { "3.5 to even 4", 3.5, 4 },
        { "0.5 to even 0", 0.5, 0 },
        { "-0.5 to even 0", -0.5, 0 },
        { "-1.5 to even -2", -1.5, -2 },
        { "-2.5 to even -2", -2.5, -2 },
        { "largest", 32767.0, 32767 },
        { "just below largest half", 32767.49, 32767 },
        { "smallest", -32768.0, -32768 },
        { "-32768.5 to even -32768", -32768.5, -32768 },
    };
    for (const RoundCase &c : cases) {
        CAPTURE(c.name);
        CHECK(roundToInt16(c.value) == std::int16_t(c.expected));
    }
}

TEST_CASE("a value outside the 16-bit range overflows")
{
    const double values[] = { 32767.5, 32768.0, -32768.51, -32769.0,
        65536.0, // does not wrap to 0
        inf, -inf, std::numeric_limits<double>::quiet_NaN() };
    for (const double value : values) {
        CAPTURE(value);
        CHECK_FALSE(roundToInt16(value).has_value());
    }
}

TEST_CASE("a key text is its value rounded; one that does not fit is quoted as it stands")
{
    CHECK(keyValue("8") == 8);
    CHECK(keyValue("") == 0);
    CHECK(keyValue(" 2.5") == 2);
    CHECK(keyValue("-32768.5") == -32768);
    const char *const overflowing[] = { "32767.5", "40000", " 1e999 ", "-1e999", "-32769", "1e5x" };
    for (const char *text : overflowing) {
        CAPTURE(text);
        CHECK_THROWS_WITH_AS(keyValue(text),
            ("Overflow: key \"" + std::string(text)
                + "\" does not fit a 16-bit integer (-32768..32767)")
                .c_str(),
            OverflowError);
    }
}

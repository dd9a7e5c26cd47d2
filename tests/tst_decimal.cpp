#include "decimal.h"
#include "numbers.h"

#include <doctest/doctest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>
#include <version>

#if defined(__cpp_lib_to_chars)
#include <charconv>
#endif

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

struct ReadCase
{
    const char *name;
    std::string text;
    double expected;
};

struct WriteCase
{
    double value;
    const char *expected;
};

double fromBits(std::uint64_t bits)
{
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace

// Where a decimal number lies exactly halfway between two doubles, or within
// a hair of that, only exact arithmetic reads it right.
TEST_CASE("reading rounds to the nearest double, ties to even")
{
    const std::string halfSmallest = powerOfFive(1075) + "e-1075"; // 2^-1075, 751 digits
    const std::string justAboveHalfSmallest = powerOfFive(1075) + "0000000001e-1085";
    const ReadCase cases[] = {
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
    for (const ReadCase &c : cases) {
        CAPTURE(c.name);
        CHECK(textValue(c.text) == c.expected);
    }
}

TEST_CASE("a value is written as its shortest text that reads back")
{
    const WriteCase cases[] = {
        { 32767.5, "32767.5" },
        { 32768.0, "32768" },
        { -32768.51, "-32768.51" },
        { 65536.0, "65536" },
        { 1e4, "10000" }, // fixed and scientific equally long: fixed
        { 1e5, "1e+05" },
        { 123000.0, "123000" },
        { 1e22, "1e+22" },
        { 1e23, "1e+23" },
        { 9007199254740992.0, "9007199254740992" },
        { 0.1, "0.1" },
        { 1.0 / 3.0, "0.3333333333333333" },
        { 1e-7, "1e-07" },
        { 0.001, "0.001" },
        { largest, "1.7976931348623157e+308" },
        { smallest, "5e-324" },
        { fromBits(0x0010'0000'0000'0000), "2.2250738585072014e-308" },
        { 0.0, "0" },
        { -0.0, "-0" },
        { inf, "inf" },
        { -inf, "-inf" },
    };
    for (const WriteCase &c : cases) {
        CAPTURE(c.expected);
        CHECK(decimal::shortestText(c.value) == c.expected);
    }
}

TEST_CASE("every written value reads back exactly")
{
    std::mt19937_64 random(7);
    for (int i = 0; i < 4000; ++i) {
        const double value = fromBits(random() & 0x7fff'ffff'ffff'ffff);
        if (!std::isfinite(value))
            continue;
        const std::string text = decimal::shortestText(value);
        CAPTURE(text);
        CHECK(textValue(text) == value);
    }
}

#if defined(__cpp_lib_to_chars)
// Where the C++ library converts floating-point numbers itself, its exact
// conversions are the reference.
namespace {

std::string libraryText(double value)
{
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, written.ptr);
}

// Up to maxDigits random digits and an exponent in [lowest, highest], as in "0815e-7".
std::string randomText(std::mt19937_64 &random, int maxDigits, int lowest, int highest)
{
    std::uniform_int_distribution<int> digit(0, 9);
    std::string text;
    for (int n = std::uniform_int_distribution<int>(1, maxDigits)(random); n > 0; --n)
        text += static_cast<char>('0' + digit(random));
    return text + 'e' + std::to_string(std::uniform_int_distribution<int>(lowest, highest)(random));
}

} // namespace

TEST_CASE("reading and writing agree with the C++ library's conversions")
{
    std::mt19937_64 random(11);
    for (int i = 0; i < 4000; ++i) {
        const double value = fromBits(random() & 0x7fff'ffff'ffff'ffff);
        if (!std::isfinite(value))
            continue;
        CHECK(decimal::shortestText(value) == libraryText(value));
    }

    for (int i = 0; i < 4000; ++i) {
        const std::string text = randomText(random, 40, -360, 330);
        double expected = 0;
        // Out of range (infinite or 0) is read by the cases above.
        const auto read = std::from_chars(text.data(), text.data() + text.size(), expected);
        CAPTURE(text);
        if (read.ec == std::errc())
            CHECK(textValue(text) == expected);
    }
}

// Short texts near 1, read with one rounding of the hardware where it can.
TEST_CASE("texts of few digits and small powers of ten agree with the C++ library's")
{
    std::mt19937_64 random(13);
    for (int i = 0; i < 4000; ++i) {
        const std::string text = randomText(random, 17, -25, 25);
        double expected = 0;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        CAPTURE(text);
        CHECK(textValue(text) == expected);
        CHECK(decimal::shortestText(expected) == libraryText(expected));
    }
}
#endif

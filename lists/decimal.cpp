#include "decimal.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace lists::decimal {

namespace {

// An unsigned integer of any size, in 32-bit limbs, least significant first,
// with no zero limb at the top. Just the operations the conversions need.
class BigUnsigned
{
public:
    explicit BigUnsigned(std::uint64_t value = 0)
    {
        for (; value != 0; value >>= 32)
            m_limbs.push_back(static_cast<std::uint32_t>(value));
    }

    bool isZero() const { return m_limbs.empty(); }

    std::size_t bitLength() const
    {
        if (m_limbs.empty())
            return 0;
        std::size_t bits = 32 * (m_limbs.size() - 1);
        for (std::uint32_t top = m_limbs.back(); top != 0; top >>= 1)
            ++bits;
        return bits;
    }

    // this = this * factor + addend
    void multiplyAdd(std::uint32_t factor, std::uint32_t addend)
    {
        std::uint64_t carry = addend;
        for (std::uint32_t &limb : m_limbs) {
            const std::uint64_t product = std::uint64_t(limb) * factor + carry;
            limb = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0)
            m_limbs.push_back(static_cast<std::uint32_t>(carry));
    }

    void multiplyByPower(std::uint32_t base, long exponent)
    {
        // base^k for the largest k that fits a limb
        std::uint32_t chunk = base;
        long chunkExponent = 1;
        while (chunk <= std::numeric_limits<std::uint32_t>::max() / base) {
            chunk *= base;
            ++chunkExponent;
        }
        for (; exponent >= chunkExponent; exponent -= chunkExponent)
            multiplyAdd(chunk, 0);
        for (; exponent > 0; --exponent)
            multiplyAdd(base, 0);
    }

    void shiftLeft(std::size_t bits)
    {
        if (m_limbs.empty() || bits == 0)
            return;
        const std::size_t limbShift = bits / 32;
        const unsigned bitShift = bits % 32;
        if (bitShift != 0) {
            std::uint32_t carry = 0;
            for (std::uint32_t &limb : m_limbs) {
                const std::uint32_t next = limb >> (32 - bitShift);
                limb = (limb << bitShift) | carry;
                carry = next;
            }
            if (carry != 0)
                m_limbs.push_back(carry);
        }
        m_limbs.insert(m_limbs.begin(), limbShift, 0);
    }

    void shiftRightByOne()
    {
        std::uint32_t carry = 0;
        for (auto limb = m_limbs.rbegin(); limb != m_limbs.rend(); ++limb) {
            const std::uint32_t next = *limb << 31;
            *limb = (*limb >> 1) | carry;
            carry = next;
        }
        trim();
    }

    // this -= other; other must not be larger
    void subtract(const BigUnsigned &other)
    {
        std::int64_t borrow = 0;
        for (std::size_t i = 0; i < m_limbs.size(); ++i) {
            std::int64_t difference = std::int64_t(m_limbs[i]) - borrow
                - (i < other.m_limbs.size() ? std::int64_t(other.m_limbs[i]) : 0);
            borrow = difference < 0;
            m_limbs[i] = static_cast<std::uint32_t>(difference + (borrow << 32));
        }
        trim();
    }

    // this /= divisor, returning the remainder
    std::uint32_t divide(std::uint32_t divisor)
    {
        std::uint64_t remainder = 0;
        for (auto limb = m_limbs.rbegin(); limb != m_limbs.rend(); ++limb) {
            const std::uint64_t dividend = (remainder << 32) | *limb;
            *limb = static_cast<std::uint32_t>(dividend / divisor);
            remainder = dividend % divisor;
        }
        trim();
        return static_cast<std::uint32_t>(remainder);
    }

    friend int compare(const BigUnsigned &a, const BigUnsigned &b)
    {
        if (a.m_limbs.size() != b.m_limbs.size())
            return a.m_limbs.size() < b.m_limbs.size() ? -1 : 1;
        for (std::size_t i = a.m_limbs.size(); i-- > 0;) {
            if (a.m_limbs[i] != b.m_limbs[i])
                return a.m_limbs[i] < b.m_limbs[i] ? -1 : 1;
        }
        return 0;
    }

private:
    void trim()
    {
        while (!m_limbs.empty() && m_limbs.back() == 0)
            m_limbs.pop_back();
    }

    std::vector<std::uint32_t> m_limbs;
};

BigUnsigned shifted(BigUnsigned value, std::size_t bits)
{
    value.shiftLeft(bits);
    return value;
}

// A double's halfway points have at most 767 significant digits, so digits
// past this many only tell which side of one the number lies, and a single
// 1 after the kept digits tells that just as well.
constexpr std::size_t keptDigits = 800;

// Beyond these decimal orders a number is surely infinite or surely rounds
// to 0 (the largest double is about 1.8e308, the smallest about 4.9e-324).
constexpr long largestOrder = 309;
constexpr long smallestOrder = -325;

constexpr int mantissaBits = 53;
constexpr int smallestExponent = -1074; // of the last bit of the smallest double
constexpr int largestExponent = 1023; // of the leading bit of the largest double

std::string withoutTrailingZeros(std::string digits, long &exponent)
{
    const std::size_t last = digits.find_last_not_of('0');
    exponent += static_cast<long>(digits.size() - (last + 1));
    digits.erase(last + 1);
    return digits;
}

// The decimal digits of value, most significant first, without trailing
// zeros, which go to the exponent; value is not 0.
std::string digitsOf(BigUnsigned value, long &exponent)
{
    std::string digits;
    while (!value.isZero()) {
        std::uint32_t chunk = value.divide(1'000'000'000);
        for (int i = 0; i < 9; ++i, chunk /= 10)
            digits.push_back(static_cast<char>('0' + chunk % 10));
    }
    digits.erase(digits.find_last_not_of('0') + 1);
    std::reverse(digits.begin(), digits.end());
    return withoutTrailingZeros(std::move(digits), exponent);
}

// digits with one added at its last place, e.g. "199" -> "2" with exponent + 2
std::string incremented(std::string digits, long &exponent)
{
    std::size_t at = digits.size();
    while (at > 0 && digits[at - 1] == '9')
        --at;
    if (at == 0) {
        exponent += static_cast<long>(digits.size());
        return "1";
    }
    ++digits[at - 1];
    exponent += static_cast<long>(digits.size() - at);
    digits.erase(at);
    return digits;
}

// digits × 10^exponent, the shortest form of a value, in the form
// std::to_chars picks. A whole number too large for its last digit to be
// 1s is written as its exact value, as printf's "%.0f" writes it.
std::string formatted(
    const std::string &digits, long exponent, const std::string &exactDigits, long exactExponent)
{
    const long count = static_cast<long>(digits.size());

    const long scientificExponent = count - 1 + exponent;
    std::string scientific = digits.substr(0, 1);
    if (count > 1)
        scientific += '.' + digits.substr(1);
    scientific += scientificExponent < 0 ? "e-" : "e+";
    const long magnitude = scientificExponent < 0 ? -scientificExponent : scientificExponent;
    if (magnitude < 10)
        scientific += '0';
    scientific += std::to_string(magnitude);

    std::string fixed;
    if (exponent >= 0 && exactExponent >= 0)
        fixed = exactDigits + std::string(static_cast<std::size_t>(exactExponent), '0');
    else if (count + exponent > 0)
        fixed = digits.substr(0, static_cast<std::size_t>(count + exponent)) + '.'
            + digits.substr(static_cast<std::size_t>(count + exponent));
    else
        fixed = "0." + std::string(static_cast<std::size_t>(-(count + exponent)), '0') + digits;

    return fixed.size() <= scientific.size() ? fixed : scientific;
}

} // namespace

double nearestDouble(std::string_view digitText, long exponent)
{
    const std::size_t first = digitText.find_first_not_of('0');
    if (first == std::string_view::npos)
        return 0.0;
    std::string digits = withoutTrailingZeros(std::string(digitText.substr(first)), exponent);
    if (digits.size() > keptDigits) {
        exponent += static_cast<long>(digits.size() - (keptDigits + 1));
        digits.resize(keptDigits);
        digits += '1';
    }

#if FLT_EVAL_METHOD == 0
    // Digits and power of ten both exact doubles: one multiplication or
    // division, rounded once by the hardware to the nearest, ties to even.
    // Where doubles are computed in a wider format (x87), that would round
    // twice, and the exact way below is taken instead.
    constexpr double exactPowersOfTen[] = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10,
        1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };
    constexpr long largestExactPower = 22;
    if (digits.size() <= 15 && exponent >= -largestExactPower && exponent <= largestExactPower) {
        double mantissa = 0.0;
        for (const char digit : digits)
            mantissa = mantissa * 10.0 + (digit - '0');
        return exponent >= 0 ? mantissa * exactPowersOfTen[exponent]
                             : mantissa / exactPowersOfTen[-exponent];
    }
#endif

    // The number lies in [10^(count - 1 + exponent), 10^(count + exponent)).
    const long count = static_cast<long>(digits.size());
    if (count - 1 + exponent > largestOrder)
        return std::numeric_limits<double>::infinity();
    if (count + exponent < smallestOrder)
        return 0.0;

    // The number is numerator / denominator.
    BigUnsigned numerator;
    for (const char digit : digits)
        numerator.multiplyAdd(10, static_cast<std::uint32_t>(digit - '0'));
    BigUnsigned denominator(1);
    if (exponent >= 0)
        numerator.multiplyByPower(10, exponent);
    else
        denominator.multiplyByPower(10, -exponent);

    // Its leading bit is worth 2^leading.
    long leading
        = static_cast<long>(numerator.bitLength()) - static_cast<long>(denominator.bitLength());
    const bool belowPower = leading >= 0
        ? compare(numerator, shifted(denominator, static_cast<std::size_t>(leading))) < 0
        : compare(shifted(numerator, static_cast<std::size_t>(-leading)), denominator) < 0;
    if (belowPower)
        --leading;
    if (leading > largestExponent)
        return std::numeric_limits<double>::infinity();

    // The whole number of units of the double's last bit, and what remains.
    const long unit = std::max<long>(leading - (mantissaBits - 1), smallestExponent);
    if (unit >= 0)
        denominator.shiftLeft(static_cast<std::size_t>(unit));
    else
        numerator.shiftLeft(static_cast<std::size_t>(-unit));
    std::uint64_t units = 0;
    BigUnsigned part = shifted(denominator, mantissaBits);
    for (int bit = mantissaBits; bit >= 0; --bit, part.shiftRightByOne()) {
        if (compare(numerator, part) >= 0) {
            numerator.subtract(part);
            units |= std::uint64_t(1) << bit;
        }
    }

    numerator.shiftLeft(1); // twice the remainder, against a half unit
    const int half = compare(numerator, denominator);
    if (half > 0 || (half == 0 && (units & 1) != 0))
        ++units;
    // Exact: units has at most 54 bits, and a carry into the 54th is a power
    // of two; past the largest double it becomes infinity.
    return std::ldexp(static_cast<double>(units), static_cast<int>(unit));
}

std::string shortestText(double value)
{
    if (std::isnan(value))
        return std::signbit(value) ? "-nan" : "nan";
    const std::string sign = std::signbit(value) ? "-" : "";
    value = std::fabs(value);
    if (std::isinf(value))
        return sign + "inf";
    if (value == 0.0)
        return sign + "0";

    // value = bits × 2^binaryExponent exactly, then allDigits × 10^exponent.
    int frexpExponent = 0;
    const double fraction = std::frexp(value, &frexpExponent);
    const auto bits = static_cast<std::uint64_t>(std::ldexp(fraction, mantissaBits));
    const int binaryExponent = frexpExponent - mantissaBits;
    BigUnsigned exact(bits);
    long exponent = 0;
    if (binaryExponent >= 0) {
        exact.shiftLeft(static_cast<std::size_t>(binaryExponent));
    } else {
        exact.multiplyByPower(5, -binaryExponent);
        exponent = binaryExponent;
    }
    const std::string allDigits = digitsOf(std::move(exact), exponent);

    // The fewest leading digits that read back as value: rounded down or up
    // at that length, the nearer one where both do, the even one on a tie.
    // Both lie between value and those one digit shorter, so once a length
    // reads back every longer one does: the fewest are found by bisection.
    // Seventeen digits always read back.
    const long count = static_cast<long>(allDigits.size());
    struct Candidates
    {
        std::string down;
        long downExponent;
        std::string up;
        long upExponent;
        bool downReads;
        bool upReads;
    };
    const auto candidates = [&](long length) {
        Candidates c;
        c.down = allDigits.substr(0, static_cast<std::size_t>(length));
        c.downExponent = exponent + count - length;
        c.upExponent = c.downExponent;
        c.up = incremented(c.down, c.upExponent);
        c.downReads = nearestDouble(c.down, c.downExponent) == value;
        c.upReads = nearestDouble(c.up, c.upExponent) == value;
        return c;
    };
    long fewest = std::min<long>(count, 17);
    std::optional<Candidates> atFewest; // read by the bisection, if it got there
    for (long tooFew = 0; fewest - tooFew > 1;) {
        const long middle = (tooFew + fewest) / 2;
        Candidates c = candidates(middle);
        if (c.downReads || c.upReads) {
            fewest = middle;
            atFewest = std::move(c);
        } else {
            tooFew = middle;
        }
    }
    if (fewest < count) {
        Candidates c = atFewest ? std::move(*atFewest) : candidates(fewest);
        bool takeUp = c.upReads;
        if (c.downReads && c.upReads) {
            const std::string_view rest = std::string_view(allDigits).substr(c.down.size());
            const int half = rest == "5" ? 0 : (rest[0] >= '5' ? 1 : -1);
            takeUp = half > 0 || (half == 0 && (c.down.back() - '0') % 2 != 0);
        }
        if (takeUp)
            return sign + formatted(c.up, c.upExponent, allDigits, exponent);
        const std::string down = withoutTrailingZeros(std::move(c.down), c.downExponent);
        return sign + formatted(down, c.downExponent, allDigits, exponent);
    }
    return sign + formatted(allDigits, exponent, allDigits, exponent);
}

} // namespace lists::decimal

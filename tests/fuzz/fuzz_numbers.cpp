// libFuzzer target for number reading and 16-bit rounding: no crash, no
// undefined behaviour, a key that does not fit is always the typed failure
// and its message quotes the text whole, and plain decimal texts read as the
// C library's strtod reads them.

#include "failures.h"
#include "numbers.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

// Texts of an optional sign, digits and at most one point, nothing else.
bool isPlainDecimal(std::string_view text)
{
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    bool point = false;
    for (; at < text.size(); ++at) {
        if (text[at] == '.' && !point)
            point = true;
        else if (text[at] < '0' || text[at] > '9')
            return false;
    }
    return true;
}

// strtod parses in the C locale, which a fuzzer process never leaves.
double referenceValue(std::string_view text)
{
    const std::string copy(text);
    return std::strtod(copy.c_str(), nullptr);
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

std::optional<std::int16_t> key(std::string_view text)
{
    try {
        return lists::keyValue(text);
    } catch (const lists::OverflowError &error) {
        const std::string expected = "Overflow: key \"" + std::string(text)
            + "\" does not fit a 16-bit integer (-32768..32767)";
        // what() ends at a NUL byte of the text.
        check(std::string_view(error.what())
            == std::string_view(expected).substr(0, expected.find('\0')));
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const double value = lists::textValue(text);
    check(!std::isnan(value));

    const std::optional<std::int16_t> result = key(text);
    const double nearest = std::nearbyint(value);
    const bool fits = nearest >= -32768.0 && nearest <= 32767.0;
    check(result.has_value() == fits);
    check(!result || *result == nearest);

    if (isPlainDecimal(text)) {
        const double reference = referenceValue(text);
        check(value == reference || (value == 0.0 && reference == 0.0));
    }
    return 0;
}

#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace lists {

// The numeric value of a text: leading blanks are skipped, then the longest
// decimal number at the start is read (optional sign, digits, optional point
// and fraction, optional exponent "e"/"E"). A text that starts with no number
// reads as 0; so do the words "inf" and "nan". Too large a number reads as
// +/-infinity, too small a one as 0. Independent of the C locale, so a
// decimal comma locale changes nothing.
double textValue(std::string_view text);

// Rounds to the nearest whole number, a tie to the even neighbour (2.5 -> 2,
// 3.5 -> 4); none when the result is outside -32768..32767.
std::optional<std::int16_t> roundToInt16(double value);

// The key that a key text stands for: its value rounded to a 16-bit integer.
// Throws OverflowError, naming the text as it stands, when it does not fit.
std::int16_t keyValue(std::string_view keyText);

} // namespace lists

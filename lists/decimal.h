#pragma once

#include <string>
#include <string_view>

// Exact conversions between decimal numbers and doubles, in plain integer
// arithmetic: the same results on every platform and in every C locale, with
// no need of the C library's or the C++ library's own conversions.
namespace lists::decimal {

// The double nearest to digits × 10^exponent (ties to the even neighbour);
// infinity when that is beyond the largest double. `digits` holds only
// '0'..'9' and may be empty (0).
double nearestDouble(std::string_view digits, long exponent);

// The shortest text that reads back as exactly this value, written as
// std::to_chars(first, last, value) writes it: fixed or scientific, whichever
// is shorter, fixed on a tie ("32767.5", "1e+05", "-inf").
std::string shortestText(double value);

} // namespace lists::decimal

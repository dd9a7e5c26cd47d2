#pragma once

#include <cstdint>

namespace lists {

// List 0 holds the peaks, list 1 the heights, list 2 the mountains; each has
// eight rows, and row -1 stands for no row.
inline constexpr std::int16_t listCount = 3;
inline constexpr std::int16_t rowCount = 8;

// Throw ListIndexError for a list outside 0..2, or a row outside 0..7
// (-1..7 where "no row" is allowed).
void checkListIndex(std::int16_t list);
void checkRowIndex(std::int16_t row, bool allowNoRow);

} // namespace lists

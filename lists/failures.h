#pragma once

#include <cstdint>
#include <stdexcept>

namespace lists {

// A failure that ends the running handling. Nothing in this library catches
// it: the window decides how to show it.
class RuntimeFailure : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A list or row index out of range in a list operation.
class ListIndexError : public RuntimeFailure
{
public:
    using RuntimeFailure::RuntimeFailure;
};

// A number too large for the 16-bit integer it has to fit.
class OverflowError : public RuntimeFailure
{
public:
    using RuntimeFailure::RuntimeFailure;
};

// Throw ListIndexError for a list outside 0..2, or a row outside 0..7
// (-1..7 where "no row" is allowed).
void checkListIndex(std::int16_t list);
void checkRowIndex(std::int16_t row, bool allowNoRow);

} // namespace lists

#pragma once

#include <stdexcept>

namespace lists {

// A failure that ends the running handling. The handlings catch none;
// runHandling (behaviour.h) turns it into the text that the window shows.
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

} // namespace lists

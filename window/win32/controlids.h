#pragma once

#include "formdescription.h"

// The child window id of each control: its kind and its index in the array
// of its kind, so that a notification says which control it came from.
constexpr int controlId(form::Kind kind, int index)
{
    return 100 * (int(kind) + 1) + index;
}

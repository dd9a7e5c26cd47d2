#include "indices.h"

#include "failures.h"

#include <string>

namespace lists {

void checkListIndex(std::int16_t list)
{
    if (list < 0 || list >= listCount)
        throw ListIndexError("list index " + std::to_string(list) + " is outside 0.."
            + std::to_string(listCount - 1));
}

void checkRowIndex(std::int16_t row, bool allowNoRow)
{
    const int lowest = allowNoRow ? -1 : 0;
    if (row < lowest || row >= rowCount)
        throw ListIndexError("row index " + std::to_string(row) + " is outside "
            + std::to_string(lowest) + ".." + std::to_string(rowCount - 1));
}

} // namespace lists

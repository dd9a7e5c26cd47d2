#include "listoperations.h"

namespace lists {

std::int16_t ListOperations::selectedRow(std::int16_t list) const
{
    checkListIndex(list);
    const std::int16_t row = doSelectedRow(list);
    checkRowIndex(row, true);
    return row;
}

void ListOperations::setSelectedRow(std::int16_t list, std::int16_t row)
{
    checkListIndex(list);
    checkRowIndex(row, true);
    doSetSelectedRow(list, row);
}

std::string_view ListOperations::keyText(std::int16_t list, std::int16_t row) const
{
    checkListIndex(list);
    checkRowIndex(row, true);
    if (row == -1)
        return {};
    return m_catalogue.keyText(list, row);
}

} // namespace lists

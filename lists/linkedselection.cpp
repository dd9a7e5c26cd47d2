#include "linkedselection.h"

#include "listoperations.h"
#include "numbers.h"

namespace lists {

void List1_Click(ListOperations &lists, std::int16_t list)
{
    const std::int16_t clickedRow = lists.selectedRow(list);
    // Row -1 has an empty key text, which reads as 0 and matches no row.
    const std::int16_t key = keyValue(lists.keyText(list, clickedRow));

    // Every row of every list is compared, the clicked list too; with a key
    // on several rows of one list, the last of them stays selected.
    for (std::int16_t row = 0; row < rowCount; ++row) {
        for (std::int16_t other = 0; other < listCount; ++other) {
            if (textValue(lists.keyText(other, row)) == key)
                lists.setSelectedRow(other, row);
        }
    }
}

void Command1_Click(ListOperations &lists)
{
    for (std::int16_t list = 0; list < listCount; ++list)
        lists.setSelectedRow(list, -1);
}

} // namespace lists

// The page with a catalogue in which Мусала's key does not fit a 16-bit
// integer, so that selecting it fails as a handling can.
#include "catalogue.h"
#include "webform.h"

int main()
{
    static lists::CatalogueTable table;
    const lists::Catalogue &builtIn = lists::Catalogue::builtIn();
    for (std::int16_t list = 0; list < lists::listCount; ++list)
        for (std::int16_t row = 0; row < lists::rowCount; ++row)
            table[list][row] = { builtIn.displayText(list, row), builtIn.keyText(list, row) };
    table[0][4].key = "40000";
    static const lists::Catalogue failing(table);
    webform::start(failing);
}

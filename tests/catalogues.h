#pragma once

#include "catalogue.h"

#include <string_view>

// The built-in catalogue's rows, to be changed by a test.
inline lists::CatalogueTable builtInTable()
{
    const lists::Catalogue &builtIn = lists::Catalogue::builtIn();
    lists::CatalogueTable table;
    for (std::int16_t list = 0; list < lists::listCount; ++list)
        for (std::int16_t row = 0; row < lists::rowCount; ++row)
            table[list][row] = { builtIn.displayText(list, row), builtIn.keyText(list, row) };
    return table;
}

// The built-in catalogue with one key text replaced; `key` must outlive it.
inline lists::Catalogue catalogueWithKey(std::int16_t list, std::int16_t row, std::string_view key)
{
    lists::CatalogueTable table = builtInTable();
    table[list][row].key = key;
    return lists::Catalogue(table);
}

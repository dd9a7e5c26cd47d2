#include "catalogue.h"

namespace lists {

namespace {

// Each list is in ascending order; key n is the n-th highest peak's entry.
constexpr CatalogueTable builtInTable { {
    { {
        { "Ботев", "3" },
        { "Вихрен", "2" },
        { "Голям Перелик", "7" },
        { "Гоцев връх", "6" },
        { "Мусала", "1" },
        { "Радомир (Калабак) ", "8" },
        { "Руен", "5" },
        { "Черни връх", "4" },
    } },
    { {
        { "2029", "8" },
        { "2191", "7" },
        { "2212", "6" },
        { "2251", "5" },
        { "2290", "4" },
        { "2376", "3" },
        { "2914", "2" },
        { "2925", "1" },
    } },
    { {
        { "Беласица ", "8" },
        { "Витоша ", "4" },
        { "Осоговска планина ", "5" },
        { "Пирин ", "2" },
        { "Рила ", "1" },
        { "Родопи ", "7" },
        { "Славянка (Алиботуш)", "6" },
        { "Стара планина ", "3" },
    } },
} };

} // namespace

const Catalogue &Catalogue::builtIn()
{
    static constexpr Catalogue catalogue(builtInTable);
    return catalogue;
}

std::string_view Catalogue::displayText(std::int16_t list, std::int16_t row) const
{
    return at(list, row).display;
}

std::string_view Catalogue::keyText(std::int16_t list, std::int16_t row) const
{
    return at(list, row).key;
}

const CatalogueRow &Catalogue::at(std::int16_t list, std::int16_t row) const
{
    checkListIndex(list);
    checkRowIndex(row, false);
    return m_table[list][row];
}

} // namespace lists

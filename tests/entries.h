#pragma once

#include "catalogue.h"

#include <array>

// Selected rows of the peak, height and mountain lists; -1 for none.
using Rows = std::array<int, lists::listCount>;

inline constexpr Rows noSelection { -1, -1, -1 };

// The rows of each entry (peak, height, mountain), by key 1..8.
inline constexpr std::array<Rows, lists::rowCount> entryRows { {
    { 4, 7, 4 }, // Мусала, 2925, Рила
    { 1, 6, 3 }, // Вихрен, 2914, Пирин
    { 0, 5, 7 }, // Ботев, 2376, Стара планина
    { 7, 4, 1 }, // Черни връх, 2290, Витоша
    { 6, 3, 2 }, // Руен, 2251, Осоговска планина
    { 3, 2, 6 }, // Гоцев връх, 2212, Славянка (Алиботуш)
    { 2, 1, 5 }, // Голям Перелик, 2191, Родопи
    { 5, 0, 0 }, // Радомир (Калабак), 2029, Беласица
} };

// The entry that a row of a list belongs to.
inline Rows entryOf(int list, int row)
{
    for (const Rows &entry : entryRows)
        if (entry[list] == row)
            return entry;
    return noSelection;
}

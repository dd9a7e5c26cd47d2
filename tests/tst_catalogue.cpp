#include "catalogue.h"
#include "failures.h"

#include <doctest/doctest.h>

#include <array>
#include <charconv>
#include <set>
#include <string>

using namespace lists;

namespace {

int number(std::string_view digits)
{
    int value = -1;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return result.ptr == digits.data() + digits.size() ? value : -1;
}

struct Entry
{
    int key;
    std::array<std::int16_t, listCount> rows;
    std::array<std::string_view, listCount> texts;
};

} // namespace

// Each entry of the lesson: the rows of its peak, height and mountain and the
// exact texts, trailing blanks included.
TEST_CASE("every entry has its rows and texts letter for letter")
{
    const Entry entries[] = {
        { 1, { 4, 7, 4 }, { "Мусала", "2925", "Рила " } },
        { 2, { 1, 6, 3 }, { "Вихрен", "2914", "Пирин " } },
        { 3, { 0, 5, 7 }, { "Ботев", "2376", "Стара планина " } },
        { 4, { 7, 4, 1 }, { "Черни връх", "2290", "Витоша " } },
        { 5, { 6, 3, 2 }, { "Руен", "2251", "Осоговска планина " } },
        { 6, { 3, 2, 6 }, { "Гоцев връх", "2212", "Славянка (Алиботуш)" } },
        { 7, { 2, 1, 5 }, { "Голям Перелик", "2191", "Родопи " } },
        { 8, { 5, 0, 0 }, { "Радомир (Калабак) ", "2029", "Беласица " } },
    };
    const Catalogue &catalogue = Catalogue::builtIn();
    for (const Entry &entry : entries) {
        for (std::int16_t list = 0; list < listCount; ++list) {
            CAPTURE(entry.texts[list]);
            const std::int16_t row = entry.rows[list];
            CHECK(catalogue.displayText(list, row) == entry.texts[list]);
            CHECK(catalogue.keyText(list, row) == std::to_string(entry.key));
        }
    }
}

TEST_CASE("each list holds each key once")
{
    const Catalogue &catalogue = Catalogue::builtIn();
    for (std::int16_t list = 0; list < listCount; ++list) {
        std::set<int> keys;
        for (std::int16_t row = 0; row < rowCount; ++row)
            keys.insert(number(catalogue.keyText(list, row)));
        CHECK(keys == std::set { 1, 2, 3, 4, 5, 6, 7, 8 });
    }
}

TEST_CASE("every list is in ascending order")
{
    const Catalogue &catalogue = Catalogue::builtIn();
    for (std::int16_t row = 1; row < rowCount; ++row) {
        CAPTURE(row);
        // UTF-8 keeps the order of the code points, and the Bulgarian alphabet
        // is in code point order.
        CHECK(catalogue.displayText(0, row - 1) < catalogue.displayText(0, row));
        CHECK(catalogue.displayText(2, row - 1) < catalogue.displayText(2, row));
        CHECK(number(catalogue.displayText(1, row - 1)) < number(catalogue.displayText(1, row)));
    }
}

TEST_CASE("indices outside the catalogue fail")
{
    const Catalogue &catalogue = Catalogue::builtIn();
    CHECK_THROWS_AS(catalogue.displayText(3, 0), ListIndexError);
    CHECK_THROWS_AS(catalogue.displayText(-1, 0), ListIndexError);
    CHECK_THROWS_AS(catalogue.keyText(0, 8), ListIndexError);
    CHECK_THROWS_AS(catalogue.keyText(0, -1), ListIndexError);
}

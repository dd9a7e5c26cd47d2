#include "behaviour.h"

#include "linkedselection.h"
#include "listoperations.h"

#include <exception>
#include <utility>

namespace lists {

namespace {

std::string_view withoutBlanksAtEnds(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

std::optional<std::string> runHandling(ListOperations &lists, Handling handling, std::int16_t list)
{
    try {
        if (handling == Handling::List1_Click)
            List1_Click(lists, list);
        else
            Command1_Click(lists);
    } catch (const std::exception &error) {
        return std::string(error.what());
    } catch (...) {
        return std::string("Unknown failure");
    }
    return std::nullopt;
}

std::string failureLogLine(std::string_view failure)
{
    return "Run-time error: " + std::string(failure);
}

SpokenEntries spokenEntries(const ListOperations &lists)
{
    SpokenEntries entries;
    std::array<std::string_view, listCount> shown;
    for (std::int16_t list = 0; list < listCount; ++list) {
        entries[list].row = lists.selectedRow(list);
        if (entries[list].row >= 0)
            shown[list]
                = withoutBlanksAtEnds(lists.catalogue().displayText(list, entries[list].row));
    }
    for (std::int16_t list = 0; list < listCount; ++list) {
        if (entries[list].row < 0)
            continue;
        std::string &name = entries[list].name;
        name = shown[list];
        for (std::int16_t other = 0; other < listCount; ++other)
            if (other != list && entries[other].row >= 0)
                name.append(", ").append(shown[other]);
    }
    return entries;
}

std::string spokenName(const ListOperations &lists, std::int16_t list, std::int16_t row)
{
    const std::string_view shown = withoutBlanksAtEnds(lists.catalogue().displayText(list, row));
    SpokenEntry entry = spokenEntries(lists)[list];
    return entry.row == row ? std::move(entry.name) : std::string(shown);
}

SpokenChanges spokenChanges(const SpokenEntries &before, const SpokenEntries &now)
{
    SpokenChanges changes;
    for (std::size_t list = 0; list < changes.size(); ++list) {
        if (before[list].row >= 0 && before[list].row != now[list].row)
            changes[list].left = before[list].row;
        if (now[list].row >= 0 && now[list] != before[list])
            changes[list].renamed = now[list].row;
    }
    return changes;
}

} // namespace lists

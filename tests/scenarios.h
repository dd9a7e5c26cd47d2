#pragma once

// The table of user scenarios that every window's tests run
// (tests/scenarios.json), read for one platform.

#include "catalogue.h"
#include "scenariosjson.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scenarios {

// One action ("click", "press", "key", "type", "wheelToTop") or one
// expectation ("selected", "focus", ...), with its value.
struct Step
{
    std::string kind;
    nlohmann::json value;

    bool isAction() const
    {
        return kind == "click" || kind == "press" || kind == "key" || kind == "type"
            || kind == "wheelToTop";
    }
};

struct KeyChange
{
    std::int16_t list;
    std::int16_t row;
    std::string text;
};

struct Scenario
{
    std::string name;
    std::optional<KeyChange> key;
    std::vector<Step> steps;
};

// The scenarios as they run on `platform` ("qt", "win32"): a step that
// differs there is replaced by its stand-in, repeated as often as it says;
// one that its tests cannot read there is left out.
inline std::vector<Scenario> load(std::string_view platform)
{
    const nlohmann::json table = nlohmann::json::parse(scenariosJson);
    const nlohmann::json unread = table.at("unread").value(platform, nlohmann::json::object());
    const auto isUnread = [&unread](const std::string &kind, const nlohmann::json &value) {
        const auto listed = [](const nlohmann::json &list, const nlohmann::json &item) {
            return std::find(list.begin(), list.end(), item) != list.end();
        };
        return listed(unread.value("kinds", nlohmann::json::array()), kind)
            || (kind == "name"
                && listed(unread.value("names", nlohmann::json::array()), value.at(0)));
    };
    std::vector<Scenario> scenarios;
    for (const nlohmann::json &entry : table.at("scenarios")) {
        Scenario scenario;
        scenario.name = entry.at("name").get<std::string>();
        if (entry.contains("key")) {
            const nlohmann::json &key = entry.at("key");
            scenario.key = KeyChange { key.at(0).get<std::int16_t>(), key.at(1).get<std::int16_t>(),
                key.at(2).get<std::string>() };
        }
        for (nlohmann::json step : entry.at("steps")) {
            int times = 1;
            if (step.contains("differs") && step.at("differs").contains(platform)) {
                step = step.at("differs").at(platform).at("instead");
                times = step.value("times", 1);
            }
            for (const auto &[kind, value] : step.items())
                if (kind != "differs" && kind != "cannot" && kind != "times"
                    && !isUnread(kind, value))
                    for (int time = 0; time < times; ++time)
                        scenario.steps.push_back({ kind, value });
        }
        scenarios.push_back(std::move(scenario));
    }
    return scenarios;
}

} // namespace scenarios

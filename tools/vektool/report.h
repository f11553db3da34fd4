// What vektool info finds in a file: a tree of named values, shown as text
// for people or as JSON (--json) for programs. A list of reports that share
// their names is shown as a table.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace vektool {

struct Report;
using ReportValue = std::variant<std::string, int64_t, double, bool, std::vector<Report>>;

struct Report {
    std::vector<std::pair<std::string, ReportValue>> fields;

    Report &add(std::string name, ReportValue value)
    {
        fields.emplace_back(std::move(name), std::move(value));
        return *this;
    }
    Report &add(std::string name, const char *text) { return add(std::move(name), std::string(text)); }
    template <typename Integer>
    Report &add(std::string name, Integer number)
        requires std::is_integral_v<Integer> && (!std::is_same_v<Integer, bool>)
    {
        return add(std::move(name), ReportValue(static_cast<int64_t>(number)));
    }
};

// One JSON array of the reports, one line.
std::string reportsAsJson(const std::vector<Report> &reports);

// The report as indented lines: "name: value", lists as tables.
std::string reportAsText(const Report &report);

}  // namespace vektool

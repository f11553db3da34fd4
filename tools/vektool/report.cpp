#include "report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vektool {
namespace {

std::string quoted(const std::string &text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x80) {  // bytes above 127 taken as Latin-1
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + '"';
}

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", std::isfinite(value) ? value : 0.0);
    return text;
}

void appendJson(std::string &out, const Report &report);

void appendJson(std::string &out, const ReportValue &value)
{
    if (const auto *text = std::get_if<std::string>(&value)) {
        out += quoted(*text);
    } else if (const auto *integer = std::get_if<int64_t>(&value)) {
        out += std::to_string(*integer);
    } else if (const auto *real = std::get_if<double>(&value)) {
        out += number(*real);
    } else if (const auto *flag = std::get_if<bool>(&value)) {
        out += *flag ? "true" : "false";
    } else {
        out += '[';
        for (const Report &item : std::get<std::vector<Report>>(value)) {
            if (out.back() != '[') out += ',';
            appendJson(out, item);
        }
        out += ']';
    }
}

void appendJson(std::string &out, const Report &report)
{
    out += '{';
    for (const auto &[name, value] : report.fields) {
        if (out.back() != '{') out += ',';
        out += quoted(name) + ':';
        appendJson(out, value);
    }
    out += '}';
}

std::string plain(const ReportValue &value)
{
    if (const auto *text = std::get_if<std::string>(&value)) return *text;
    if (const auto *integer = std::get_if<int64_t>(&value)) return std::to_string(*integer);
    if (const auto *real = std::get_if<double>(&value)) return number(*real);
    if (const auto *flag = std::get_if<bool>(&value)) return *flag ? "yes" : "no";
    return {};
}

// Rows of reports as a table: a column for every name, in the order met,
// numbers to the right.
void appendTable(std::string &out, const std::vector<Report> &rows, const std::string &indent)
{
    std::vector<std::string> names;
    for (const Report &row : rows)
        for (const auto &field : row.fields)
            if (std::find(names.begin(), names.end(), field.first) == names.end()) names.push_back(field.first);
    std::vector<std::vector<std::string>> cells(rows.size() + 1, std::vector<std::string>(names.size()));
    std::vector<bool> numeric(names.size(), true);
    for (size_t c = 0; c < names.size(); c++) cells[0][c] = names[c];
    for (size_t r = 0; r < rows.size(); r++)
        for (const auto &[name, value] : rows[r].fields) {
            const size_t c = static_cast<size_t>(std::find(names.begin(), names.end(), name) - names.begin());
            cells[r + 1][c] = plain(value);
            if (!std::holds_alternative<int64_t>(value) && !std::holds_alternative<double>(value)) numeric[c] = false;
        }
    std::vector<size_t> widths(names.size());
    for (const auto &line : cells)
        for (size_t c = 0; c < line.size(); c++) widths[c] = std::max(widths[c], line[c].size());
    for (const auto &line : cells) {
        std::string text = indent;
        for (size_t c = 0; c < line.size(); c++) {
            const std::string pad(widths[c] - line[c].size(), ' ');
            text += (c ? "  " : "") + (numeric[c] ? pad + line[c] : line[c] + pad);
        }
        while (!text.empty() && text.back() == ' ') text.pop_back();
        out += text + '\n';
    }
}

}  // namespace

std::string reportsAsJson(const std::vector<Report> &reports)
{
    std::string out = "[";
    for (const Report &report : reports) {
        if (out.size() > 1) out += ',';
        appendJson(out, report);
    }
    return out + "]\n";
}

std::string reportAsText(const Report &report)
{
    std::string out;
    for (const auto &[name, value] : report.fields) {
        if (const auto *rows = std::get_if<std::vector<Report>>(&value)) {
            out += "  " + name + ":\n";
            appendTable(out, *rows, "    ");
        } else if (name == "file") {
            out += plain(value) + ":\n";
        } else {
            out += "  " + name + ": " + plain(value) + '\n';
        }
    }
    return out;
}

}  // namespace vektool

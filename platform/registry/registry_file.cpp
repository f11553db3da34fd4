// The REGEDIT4 text form of a registry store, as regedit exports it:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Vendor\App]
//   @="default value"
//   "Name"="text with \\ and \" escaped"
//   "Count"=dword:0000002a
//   "Blob"=hex:01,02,ff
//   "Other"=hex(7):41,00,00
//
// One section per key, the full path with its root's name in brackets,
// parents before children; then one line per value. REG_SZ data that is a
// plain string (one terminating zero at its end, no other zero and no
// control character) is written quoted; a four-byte REG_DWORD as dword:;
// REG_BINARY as hex:; anything else as hex(type): with the bytes as stored,
// so every value reads back byte for byte. A hex list continues on the next
// line (indented by two blanks) after a trailing backslash. Lines end in CR LF; the reader also
// takes bare LF.
#include "registry/registry_file.h"

#include <cstdio>

namespace vek::host {

namespace {

char foldChar(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    c = foldChar(c);
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The logical lines of the text: CR LF or LF ends a line, and a line whose
// last character is a backslash outside quotes continues onto the next
// (leading blanks of the continuation dropped).
std::vector<std::string> logicalLines(const std::string &text)
{
    std::vector<std::string> lines;
    std::string current;
    bool continuing = false;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (continuing) {
            size_t first = line.find_first_not_of(" \t");
            line = first == std::string::npos ? "" : line.substr(first);
        }
        current += line;
        // A trailing backslash continues a hex list only; quoted strings end
        // in a quote.
        continuing = !current.empty() && current.back() == '\\' && current.find("=hex") != std::string::npos;
        if (continuing) {
            current.pop_back();
            continue;
        }
        lines.push_back(std::move(current));
        current.clear();
    }
    if (!current.empty()) lines.push_back(std::move(current));
    return lines;
}

// Reads a quoted string starting at line[at] == '"'. On success at is just
// past the closing quote.
bool readQuoted(const std::string &line, size_t &at, std::string &out)
{
    if (at >= line.size() || line[at] != '"') return false;
    out.clear();
    for (size_t i = at + 1; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') {
            at = i + 1;
            return true;
        }
        if (c == '\\' && i + 1 < line.size()) c = line[++i];
        out += c;
    }
    return false;
}

bool readHexList(const std::string &text, std::vector<BYTE> &out)
{
    out.clear();
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        if (i == text.size()) break;
        if (i + 1 >= text.size()) return false;
        int high = hexDigit(text[i]), low = hexDigit(text[i + 1]);
        if (high < 0 || low < 0) return false;
        out.push_back(BYTE(high * 16 + low));
        i += 2;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        if (i < text.size()) {
            if (text[i] != ',') return false;
            ++i;
        }
    }
    return true;
}

// Parses the data after "=" into value; false for a form it does not know.
bool readData(const std::string &data, RegValue &value)
{
    if (!data.empty() && data[0] == '"') {
        size_t at = 0;
        std::string text;
        if (!readQuoted(data, at, text) || at != data.size()) return false;
        value.type = REG_SZ;
        value.data.assign(text.begin(), text.end());
        value.data.push_back(0);
        return true;
    }
    if (data.compare(0, 6, "dword:") == 0) {
        if (data.size() != 14) return false;
        DWORD number = 0;
        for (size_t i = 6; i < 14; ++i) {
            int digit = hexDigit(data[i]);
            if (digit < 0) return false;
            number = number << 4 | DWORD(digit);
        }
        value.type = REG_DWORD;
        value.data = {BYTE(number), BYTE(number >> 8), BYTE(number >> 16), BYTE(number >> 24)};
        return true;
    }
    if (data.compare(0, 4, "hex:") == 0) {
        value.type = REG_BINARY;
        return readHexList(data.substr(4), value.data);
    }
    if (data.compare(0, 4, "hex(") == 0) {
        size_t close = data.find("):", 4);
        if (close == std::string::npos || close == 4 || close > 12) return false;
        DWORD type = 0;
        for (size_t i = 4; i < close; ++i) {
            int digit = hexDigit(data[i]);
            if (digit < 0) return false;
            type = type << 4 | DWORD(digit);
        }
        value.type = type;
        return readHexList(data.substr(close + 2), value.data);
    }
    return false;
}

// Adds a key and its missing parents.
RegKey &addKey(RegKeys &keys, const std::string &path)
{
    for (size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
        std::string parent = path.substr(0, slash);
        keys.try_emplace(foldName(parent), RegKey{parent, {}});
    }
    return keys.try_emplace(foldName(path), RegKey{path, {}}).first->second;
}

bool plainString(const RegValue &value)
{
    if (value.type != REG_SZ || value.data.empty() || value.data.back() != 0) return false;
    for (size_t i = 0; i + 1 < value.data.size(); ++i)
        if (value.data[i] < 0x20 || value.data[i] == 0x7F) return false;
    return true;
}

void appendQuoted(std::string &out, const std::string &text)
{
    out += '"';
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
}

// Appends a hex list, continuing on an indented new line (after a
// backslash) before the line would pass 80 columns, as regedit does.
void appendHex(std::string &out, const std::vector<BYTE> &data)
{
    static const char digits[] = "0123456789abcdef";
    size_t lineStart = out.rfind('\n') + 1;
    for (size_t i = 0; i < data.size(); ++i) {
        if (i) {
            out += ',';
            if (out.size() - lineStart > 76) {
                out += "\\\r\n  ";
                lineStart = out.size() - 2;
            }
        }
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
    }
}

}  // namespace

std::string foldName(const std::string &name)
{
    std::string folded = name;
    for (char &c : folded) c = foldChar(c);
    return folded;
}

RegKeys parseRegistryText(const std::string &text)
{
    RegKeys keys;
    RegKey *current = nullptr;
    for (const std::string &line : logicalLines(text)) {
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            size_t close = line.rfind(']');
            current = nullptr;
            if (close == std::string::npos || close < 2) continue;
            std::string path = line.substr(1, close - 1);
            if (path.front() == '\\' || path.back() == '\\' || path.find("\\\\") != std::string::npos) continue;
            current = &addKey(keys, path);
            continue;
        }
        if (!current) continue;
        RegValue value;
        size_t at = 0;
        if (line[0] == '@') {
            at = 1;
        } else if (!readQuoted(line, at, value.name)) {
            continue;
        }
        if (at >= line.size() || line[at] != '=') continue;
        if (!readData(line.substr(at + 1), value)) continue;
        current->values[foldName(value.name)] = std::move(value);
    }
    return keys;
}

std::string formatRegistryText(const RegKeys &keys)
{
    std::string out = "REGEDIT4\r\n";
    for (const auto &[folded, key] : keys) {
        out += "\r\n[" + key.path + "]\r\n";
        for (const auto &[foldedName, value] : key.values) {
            if (value.name.empty())
                out += '@';
            else
                appendQuoted(out, value.name);
            out += '=';
            if (plainString(value)) {
                appendQuoted(out, std::string(value.data.begin(), value.data.end() - 1));
            } else if (value.type == REG_DWORD && value.data.size() == 4) {
                char number[16];
                std::snprintf(number, sizeof number, "dword:%08x",
                              unsigned(value.data[0] | value.data[1] << 8 | value.data[2] << 16 | value.data[3] << 24));
                out += number;
            } else {
                if (value.type == REG_BINARY) {
                    out += "hex:";
                } else {
                    char prefix[16];
                    std::snprintf(prefix, sizeof prefix, "hex(%x):", unsigned(value.type));
                    out += prefix;
                }
                appendHex(out, value.data);
            }
            out += "\r\n";
        }
    }
    return out;
}

}  // namespace vek::host

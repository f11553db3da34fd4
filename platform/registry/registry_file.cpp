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
// A section holds a key's full path with its root's name in brackets, then
// one line per value; parents come before children, and a key without
// values is written only when it has no subkeys (the others are made as the
// parents of their subkeys). A section whose path breaks Windows' limits
// (depth, name length, control characters) is skipped whole. REG_SZ data that is a
// plain string (one terminating zero at its end, no other zero and no
// control character) is written quoted; a four-byte REG_DWORD as dword:;
// REG_BINARY as hex:; anything else as hex(type): with the bytes as stored,
// so every value reads back byte for byte. A hex list continues on the next
// line (indented by two blanks) after a trailing backslash. Lines end in CR
// LF; the reader also takes bare LF.
//
// In a quoted string (a value name, or plain REG_SZ data) a backslash
// escapes the character after it; CR and LF are written as \r and \n, so a
// value name of any bytes stays on its line. Key names hold no control
// characters and need no escape: a section's path is the text between its
// brackets.
#include "registry/registry_file.h"
#include "shared/little_endian.h"

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

// Calls next(name) for each backslash-separated name of path, in order,
// until it returns false; returns what the last call returned.
template <typename Next>
bool eachName(std::string_view path, Next next)
{
    for (size_t at = 0;;) {
        size_t end = path.find('\\', at);
        if (end == std::string_view::npos) return next(path.substr(at));
        if (!next(path.substr(at, end - at))) return false;
        at = end + 1;
    }
}

// A section's path: a root and at most kMaxKeyDepth names below it, all
// valid key names. Stops at the first fault, so a long path costs no more
// than its limits allow.
bool validPath(std::string_view path)
{
    size_t names = 0;
    return eachName(path, [&](std::string_view name) { return ++names <= kMaxKeyDepth + 1 && validKeyName(name); });
}

// Calls line(text) for each logical line of the text: CR LF or LF ends a
// line, and a hex value line whose last character is a backslash continues
// onto the next (leading blanks of the continuation dropped).
template <typename Line>
void eachLogicalLine(std::string_view text, Line line)
{
    std::string current;
    bool continuing = false;
    bool hex = false;  // current is a hex value line
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view piece = text.substr(at, end - at);
        at = end + 1;
        if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
        if (continuing) {
            size_t first = piece.find_first_not_of(" \t");
            piece = first == std::string_view::npos ? std::string_view() : piece.substr(first);
        } else {
            hex = piece.find("=hex") != std::string_view::npos;
        }
        current += piece;
        // A trailing backslash continues a hex list only; quoted strings end
        // in a quote.
        continuing = hex && !current.empty() && current.back() == '\\';
        if (continuing) {
            current.pop_back();
            continue;
        }
        line(std::string_view(current));
        current.clear();
    }
    if (!current.empty()) line(std::string_view(current));
}

// Reads a quoted string starting at line[at] == '"'. On success at is just
// past the closing quote.
bool readQuoted(std::string_view line, size_t &at, std::string &out)
{
    if (at >= line.size() || line[at] != '"') return false;
    out.clear();
    for (size_t i = at + 1; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') {
            at = i + 1;
            return true;
        }
        if (c == '\\' && i + 1 < line.size()) {
            c = line[++i];
            if (c == 'r') c = '\r';
            if (c == 'n') c = '\n';
        }
        out += c;
    }
    return false;
}

bool readHexList(std::string_view text, std::vector<BYTE> &out)
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
bool readData(std::string_view data, RegValue &value)
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
    if (data.substr(0, 6) == "dword:") {
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
    if (data.substr(0, 4) == "hex:") {
        value.type = REG_BINARY;
        return readHexList(data.substr(4), value.data);
    }
    if (data.substr(0, 4) == "hex(") {
        size_t close = data.find("):", 4);
        if (close == std::string_view::npos || close == 4 || close > 12) return false;
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

bool plainString(const RegValue &value)
{
    if (value.type != REG_SZ || value.data.empty() || value.data.back() != 0) return false;
    for (size_t i = 0; i + 1 < value.data.size(); ++i)
        if (value.data[i] < 0x20 || value.data[i] == 0x7F) return false;
    return true;
}

void appendQuoted(std::string &out, std::string_view text)
{
    out += '"';
    for (char c : text) {
        if (c == '"' || c == '\\' || c == '\r' || c == '\n') out += '\\';
        out += c == '\r' ? 'r' : c == '\n' ? 'n' : c;
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

void appendValue(std::string &out, const RegValue &value)
{
    if (value.name.empty())
        out += '@';
    else
        appendQuoted(out, value.name);
    out += '=';
    if (plainString(value)) {
        appendQuoted(out, std::string_view(reinterpret_cast<const char *>(value.data.data()), value.data.size() - 1));
    } else if (value.type == REG_DWORD && value.data.size() == 4) {
        char number[16];
        std::snprintf(number, sizeof number, "dword:%08x",
                      unsigned(le32(value.data.data())));
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

// Appends the sections of key and its subkeys; path holds the full path of
// key's parent ("" for the top key's children) and is restored on return.
void appendKey(std::string &out, const RegKey &key, std::string &path)
{
    const size_t parentLength = path.size();
    if (!path.empty()) path += '\\';
    path += key.name;
    if (!key.values.empty() || key.subkeys.empty()) {
        out += "\r\n[" + path + "]\r\n";
        for (const auto &[folded, value] : key.values) appendValue(out, value);
    }
    for (const auto &[folded, subkey] : key.subkeys) appendKey(out, *subkey, path);
    path.resize(parentLength);
}

}  // namespace

std::string foldName(std::string_view name)
{
    std::string folded(name);
    for (char &c : folded) c = foldChar(c);
    return folded;
}

bool validKeyName(std::string_view name)
{
    if (name.empty() || name.size() > kMaxKeyName) return false;
    for (char c : name)
        if (c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return true;
}

RegKey *findKey(RegKey &top, std::string_view path)
{
    RegKey *key = &top;
    eachName(path, [&](std::string_view name) {
        auto found = key->subkeys.find(foldName(name));
        key = found == key->subkeys.end() ? nullptr : found->second.get();
        return key != nullptr;
    });
    return key;
}

RegKey &addKey(RegKey &top, std::string_view path)
{
    RegKey *key = &top;
    eachName(path, [&](std::string_view name) {
        std::unique_ptr<RegKey> &slot = key->subkeys[foldName(name)];
        if (!slot) slot.reset(new RegKey{std::string(name), {}, {}});
        key = slot.get();
        return true;
    });
    return *key;
}

RegKey parseRegistryText(std::string_view text)
{
    RegKey top;
    RegKey *current = nullptr;
    eachLogicalLine(text, [&](std::string_view line) {
        if (line.empty() || line[0] == ';') return;
        if (line[0] == '[') {
            size_t close = line.rfind(']');
            current = nullptr;
            if (close == std::string_view::npos || close < 2) return;
            std::string_view path = line.substr(1, close - 1);
            if (validPath(path)) current = &addKey(top, path);
            return;
        }
        if (!current) return;
        RegValue value;
        size_t at = 0;
        if (line[0] == '@') {
            at = 1;
        } else if (!readQuoted(line, at, value.name) || value.name.size() > kMaxValueName) {
            return;
        }
        if (at >= line.size() || line[at] != '=') return;
        if (!readData(line.substr(at + 1), value)) return;
        current->values[foldName(value.name)] = std::move(value);
    });
    return top;
}

std::string formatRegistryText(const RegKey &top, std::string_view comment)
{
    std::string out = "REGEDIT4\r\n";
    if (!comment.empty()) {
        out += "; ";
        out += comment;
        out += "\r\n";
    }
    std::string path;
    for (const auto &[folded, root] : top.subkeys) appendKey(out, *root, path);
    return out;
}

}  // namespace vek::host

// Fuzz target: the registry calls driven by any sequence of key names, value
// names, types and data, then the store read back from its file.
//
// Each input starts from an empty user.reg and runs its operations on
// HKEY_CURRENT_USER and up to three open keys, keeping a plain model of what
// every call that succeeded must have left. Then the handles are closed and
// the store file is replaced by a copy of itself (a new inode, so the next
// call must parse the text again, as a fresh process would), and:
//   - the text, parsed, holds exactly the model's keys and values, every
//     key name valid and within Windows' depth;
//   - every model key opens and every value reads back byte for byte through
//     the calls.
// The prefix is a private folder (in /dev/shm when there is one, so that the
// saves' syncs cost little).
//
// Input: operations, each a byte (its value modulo 5 picks the call) and its
// arguments: a key slot byte (0 the root, 1-3 the open keys), then strings
// (a length byte, then that many bytes; 255 instead makes a long string from
// a two-byte count and one repeated byte) and for values a type byte.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "private_prefix.h"
#include "registry/registry_file.h"

namespace {

namespace fs = std::filesystem;
using vek::host::foldName;

struct ModelValue {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
};

// Every key by its folded full path, with its values by folded name.
using Model = std::map<std::string, std::map<std::string, ModelValue>>;

const char kRoot[] = "HKEY_CURRENT_USER";

class Input {
public:
    Input(const uint8_t *data, size_t size) : at_(data), end_(data + size) {}
    bool more() const { return at_ < end_; }
    uint8_t byte() { return at_ < end_ ? *at_++ : 0; }
    std::string string()
    {
        size_t length = byte();
        if (length == 255) {
            length = size_t(byte()) << 8 | byte();
            return std::string(length, char(byte() | 1));
        }
        std::string text;
        for (; length && at_ < end_; --length) {
            const uint8_t c = *at_++;
            text += char(c ? c : 1);  // no zero: names are C strings
        }
        return text;
    }

private:
    const uint8_t *at_;
    const uint8_t *end_;
};

const fs::path &prefix()
{
    return fuzz::privatePrefix("registry-api");
}

DWORD pickType(uint8_t b)
{
    static const DWORD types[] = {REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ, REG_QWORD, REG_NONE};
    return b < 7 ? types[b] : DWORD(b) << 24 | b;
}

// The relative key path subKey names below base, as the calls join it: the
// trailing separators dropped.
std::string joined(const std::string &base, const std::string &subKey)
{
    std::string rest = subKey;
    while (!rest.empty() && rest.back() == '\\') rest.pop_back();
    return rest.empty() ? base : base + "\\" + rest;
}

void addKeyAndParents(Model &model, const std::string &path)
{
    for (size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', slash + 1))
        model[foldName(path.substr(0, slash))];
    model[foldName(path)];
}

// The parsed store against the model: the same keys, values and bytes.
void checkTree(const vek::host::RegKey &key, const std::string &path, size_t depth, const Model &model, size_t &seen)
{
    if (!vek::host::validKeyName(key.name) || depth > vek::host::kMaxKeyDepth + 1) std::abort();
    auto found = model.find(foldName(path));
    if (found == model.end() || found->second.size() != key.values.size()) std::abort();
    for (const auto &[folded, value] : key.values) {
        auto expected = found->second.find(folded);
        if (expected == found->second.end() || expected->second.name != value.name ||
            expected->second.type != value.type || expected->second.data != value.data)
            std::abort();
    }
    ++seen;
    for (const auto &[folded, subkey] : key.subkeys) checkTree(*subkey, path + "\\" + subkey->name, depth + 1, model, seen);
}

// Replaces the store file by a copy of itself: a new inode, which no cached
// store can take for the file it read.
void replaceStoreFile()
{
    const fs::path store = prefix() / "user.reg", copy = prefix() / "user.reg.copy";
    if (!fs::exists(store)) return;
    fs::copy_file(store, copy, fs::copy_options::overwrite_existing);
    fs::rename(copy, store);
}

std::string readFile(const fs::path &path)
{
    std::string text;
    if (FILE *f = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fs::remove(prefix() / "user.reg");
    Input in(data, size);
    Model model;
    model[foldName(kRoot)];
    HKEY slots[4] = {HKEY_CURRENT_USER, nullptr, nullptr, nullptr};
    std::string slotPaths[4] = {kRoot};
    for (int operations = 0; in.more() && operations < 64; ++operations) {
        const uint8_t op = in.byte() % 5;
        const int slot = in.byte() % 4;
        HKEY key = slots[slot];
        if (!key) continue;
        const std::string base = slotPaths[slot];
        const bool present = model.count(foldName(base)) != 0;
        if (op == 0 || op == 1) {
            // Create or open a key into a slot.
            const std::string subKey = in.string();
            const int into = 1 + in.byte() % 3;
            HKEY opened = nullptr;
            LONG error = op == 0 ? RegCreateKeyExA(key, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                   &opened, nullptr)
                                 : RegOpenKeyExA(key, subKey.c_str(), 0, KEY_ALL_ACCESS, &opened);
            if (error != ERROR_SUCCESS) continue;
            const std::string path = joined(base, subKey);
            if (!present || (op == 1 && !model.count(foldName(path)))) std::abort();
            addKeyAndParents(model, path);
            if (slots[into]) RegCloseKey(slots[into]);
            slots[into] = opened;
            slotPaths[into] = path;
        } else if (op == 2) {
            const std::string name = in.string();
            const DWORD type = pickType(in.byte());
            const std::string bytes = in.string();
            LONG error = RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE *>(bytes.data()),
                                        DWORD(bytes.size()));
            if ((error == ERROR_SUCCESS) != (present && name.size() <= vek::host::kMaxValueName)) std::abort();
            if (error != ERROR_SUCCESS) continue;
            ModelValue &value = model[foldName(base)][foldName(name)];
            if (value.name.empty()) value.name = name;
            value.type = type;
            value.data.assign(bytes.begin(), bytes.end());
        } else if (op == 3) {
            const std::string name = in.string();
            LONG error = RegDeleteValueA(key, name.c_str());
            const bool had = present && model[foldName(base)].erase(foldName(name));
            if ((error == ERROR_SUCCESS) != had) std::abort();
        } else {
            const std::string subKey = in.string();
            if (RegDeleteKeyA(key, subKey.c_str()) != ERROR_SUCCESS) continue;
            const std::string folded = foldName(joined(base, subKey));
            auto next = model.upper_bound(folded);
            if (next != model.end() && next->first.compare(0, folded.size() + 1, folded + "\\") == 0) std::abort();
            if (!model.erase(folded)) std::abort();
        }
    }
    for (int slot = 1; slot < 4; ++slot)
        if (slots[slot]) RegCloseKey(slots[slot]);

    // The file as another process would read it.
    replaceStoreFile();
    const vek::host::RegKey top = vek::host::parseRegistryText(readFile(prefix() / "user.reg"));
    size_t seen = 0;
    for (const auto &[folded, root] : top.subkeys) {
        if (root->name != kRoot) std::abort();
        checkTree(*root, root->name, 1, model, seen);
    }
    // The root may be absent from a file that holds nothing.
    if (seen != model.size() && !(seen == 0 && model.size() == 1 && model.begin()->second.empty())) std::abort();

    // And through the calls, which must read the new file.
    for (const auto &[path, values] : model) {
        HKEY opened;
        const char *relative = path.size() > sizeof kRoot ? path.c_str() + sizeof kRoot : nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, relative, 0, KEY_READ, &opened) != ERROR_SUCCESS) std::abort();
        for (const auto &[folded, value] : values) {
            DWORD type = 0, length = 0;
            if (RegQueryValueExA(opened, value.name.c_str(), nullptr, &type, nullptr, &length) != ERROR_SUCCESS ||
                type != value.type || length != value.data.size())
                std::abort();
            std::vector<BYTE> bytes(length + 1);
            if (RegQueryValueExA(opened, value.name.c_str(), nullptr, &type, bytes.data(), &length) !=
                    ERROR_SUCCESS ||
                !std::equal(value.data.begin(), value.data.end(), bytes.begin()))
                std::abort();
        }
        RegCloseKey(opened);
    }
    return 0;
}

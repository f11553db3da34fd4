// The registry's stores as data, and their REGEDIT4 text form.
#ifndef VEKHOST_REGISTRY_REGISTRY_FILE_H
#define VEKHOST_REGISTRY_REGISTRY_FILE_H

#include <windows.h>

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vek::host {

// Windows' limits: a key lies at most 512 levels below its root, a key name
// holds 1 to 255 characters, a value name at most 16383.
constexpr size_t kMaxKeyDepth = 512;
constexpr size_t kMaxKeyName = 255;
constexpr size_t kMaxValueName = 16383;

struct RegValue {
    std::string name;  // as first written; "" is the key's default value
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// A key and everything below it. A store is a nameless top key whose
// subkeys are the roots ("HKEY_CURRENT_USER"); each key keeps only its own
// name, so a store costs memory in proportion to its names, whatever the
// depth of its keys.
struct RegKey {
    std::string name;  // as first written
    std::map<std::string, std::unique_ptr<RegKey>> subkeys;  // by folded name
    std::map<std::string, RegValue> values;                  // by folded name
};

// Key and value names compare ignoring the case of ASCII letters: this is
// the folded form used as map key.
std::string foldName(std::string_view name);

// True for a name a key may have: 1 to 255 printable characters, no
// backslash. Control characters are refused: a key name is a line of the
// store's text.
bool validKeyName(std::string_view name);

// The key at a full path ("HKEY_CURRENT_USER\Software\X") below top, or null.
RegKey *findKey(RegKey &top, std::string_view path);

// The key at a full path below top, made with its missing parents. The
// path's names are valid key names.
RegKey &addKey(RegKey &top, std::string_view path);

// Parses the REGEDIT4 text of a store. The text is outside data: anything
// malformed is skipped line by line, and so is a section whose path breaks
// the limits above; nothing is read beyond the text, and the time and memory
// taken grow in proportion to the text.
RegKey parseRegistryText(std::string_view text);

// The REGEDIT4 text of a store, with comment (if not empty) as a comment
// line after the header. A key gets a section when it has values or no
// subkeys; the others are there as the parents of their subkeys.
std::string formatRegistryText(const RegKey &top, std::string_view comment);

}  // namespace vek::host

#endif

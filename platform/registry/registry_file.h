// The registry's stores as data, and their REGEDIT4 text form.
#ifndef VEKHOST_REGISTRY_REGISTRY_FILE_H
#define VEKHOST_REGISTRY_REGISTRY_FILE_H

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace vek::host {

struct RegValue {
    std::string name;  // as first written; "" is the key's default value
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

struct RegKey {
    std::string path;  // full path as first written, root name first
    std::map<std::string, RegValue> values;  // by folded name
};

// Every key of a store by its folded full path ("HKEY_CURRENT_USER\SOFTWARE\X").
// Parents are present whenever their children are.
using RegKeys = std::map<std::string, RegKey>;

// Key and value names compare ignoring the case of ASCII letters: this is
// the folded form used as map key.
std::string foldName(const std::string &name);

// Parses the REGEDIT4 text of a store. The text is outside data: anything
// malformed is skipped line by line and nothing is read beyond the text.
RegKeys parseRegistryText(const std::string &text);

// The REGEDIT4 text of a store.
std::string formatRegistryText(const RegKeys &keys);

}  // namespace vek::host

#endif

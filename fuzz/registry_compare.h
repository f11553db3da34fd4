// Registry stores compared key by key: names as written, values' names,
// types and bytes.
#pragma once

#include "registry/registry_file.h"

namespace fuzz {

inline bool sameKeys(const vek::host::RegKey &a, const vek::host::RegKey &b)
{
    if (a.name != b.name || a.subkeys.size() != b.subkeys.size() || a.values.size() != b.values.size()) return false;
    for (auto x = a.values.begin(), y = b.values.begin(); x != a.values.end(); ++x, ++y) {
        if (x->first != y->first || x->second.name != y->second.name || x->second.type != y->second.type ||
            x->second.data != y->second.data)
            return false;
    }
    for (auto x = a.subkeys.begin(), y = b.subkeys.begin(); x != a.subkeys.end(); ++x, ++y)
        if (x->first != y->first || !sameKeys(*x->second, *y->second)) return false;
    return true;
}

}  // namespace fuzz

// Fuzz target: the registry store's REGEDIT4 reader on any text.
//
// Whatever it accepts must come back unchanged through the writer: reading
// the written text gives the same keys, names, types and bytes.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "registry/registry_file.h"

namespace {

bool same(const vek::host::RegKeys &a, const vek::host::RegKeys &b)
{
    if (a.size() != b.size()) return false;
    for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j) {
        if (i->first != j->first || i->second.path != j->second.path) return false;
        const auto &va = i->second.values, &vb = j->second.values;
        if (va.size() != vb.size()) return false;
        for (auto x = va.begin(), y = vb.begin(); x != va.end(); ++x, ++y) {
            if (x->first != y->first || x->second.name != y->second.name || x->second.type != y->second.type ||
                x->second.data != y->second.data)
                return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const vek::host::RegKeys keys = vek::host::parseRegistryText(text);
    if (!same(keys, vek::host::parseRegistryText(vek::host::formatRegistryText(keys)))) std::abort();
    return 0;
}

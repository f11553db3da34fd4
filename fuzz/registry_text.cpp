// Fuzz target: the registry store's REGEDIT4 reader on any text.
//
// Whatever it accepts must come back unchanged through the writer: reading
// the written text gives the same keys, names, types and bytes.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "registry_compare.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const vek::host::RegKey keys = vek::host::parseRegistryText(text);
    if (!fuzz::sameKeys(keys, vek::host::parseRegistryText(vek::host::formatRegistryText(keys, "")))) std::abort();
    return 0;
}

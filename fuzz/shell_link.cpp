// Fuzz target: the shell link (.lnk) reader on any bytes.
//
// A link it accepts is written again and read back: the target path and
// the header fields must survive, and so must the strings when they were
// stored as UTF-16 (ANSI strings that are not UTF-8 change on the way).
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "shell/lnk_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::vector<BYTE> bytes(data, data + size);
    vek::host::ShellLinkData first, second;
    if (!vek::host::decodeShellLink(bytes, first)) return 0;
    if (!vek::host::decodeShellLink(vek::host::encodeShellLink(first), second)) std::abort();
    if (first.path != second.path || first.attributes != second.attributes || first.fileSize != second.fileSize ||
        first.iconIndex != second.iconIndex || first.showCommand != second.showCommand || first.hotkey != second.hotkey)
        std::abort();
    const bool unicode = data[20] & 0x80;
    if (unicode && (first.description != second.description || first.relativePath != second.relativePath ||
                    first.workingDir != second.workingDir || first.arguments != second.arguments ||
                    first.iconLocation != second.iconLocation))
        std::abort();
    return 0;
}

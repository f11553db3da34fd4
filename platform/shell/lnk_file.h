// The shell link (.lnk) binary format: the fields the shell link object
// keeps, encoded and decoded.
#ifndef VEKHOST_SHELL_LNK_FILE_H
#define VEKHOST_SHELL_LNK_FILE_H

#include <windows.h>

#include <string>
#include <vector>

namespace vek::host {

// The content of a link. Strings are UTF-8 (the platform's ANSI code page).
struct ShellLinkData {
    std::string path;          // the target's full DOS path
    std::string description;
    std::string relativePath;  // the target relative to the link's folder
    std::string workingDir;
    std::string arguments;
    std::string iconLocation;
    DWORD attributes = 0;      // the target's file attributes when saved
    DWORD fileSize = 0;        // low 32 bits of the target's size
    int iconIndex = 0;
    DWORD showCommand = 1;     // SW_SHOWNORMAL
    WORD hotkey = 0;
};

std::vector<BYTE> encodeShellLink(const ShellLinkData &link);

// Decodes a link file's bytes; false when they are not a shell link. Reads
// nothing outside bytes whatever they hold.
bool decodeShellLink(const std::vector<BYTE> &bytes, ShellLinkData &link);

}  // namespace vek::host

#endif

// UTF-8 (the platform's ANSI code page) and UTF-16 (the shell's wide
// strings). Malformed sequences and unpaired surrogates become U+FFFD.
#ifndef VEKHOST_SHELL_UTF16_H
#define VEKHOST_SHELL_UTF16_H

#include <string>

namespace vek::host {

std::u16string utf16FromUtf8(const std::string &text);
std::string utf8FromUtf16(const std::u16string &text);

}  // namespace vek::host

#endif

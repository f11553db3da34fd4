// UTF-8 and UTF-16 conversion for the shell's wide strings.
#include "shell/utf16.h"

namespace vek::host {

std::u16string utf16FromUtf8(const std::string &text)
{
    std::u16string out;
    size_t i = 0;
    while (i < text.size()) {
        unsigned char c = text[i];
        char32_t code = 0xFFFD;
        size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (length == 1) {
            code = c;
        } else if (length && i + length <= text.size()) {
            code = c & (0x7F >> length);
            for (size_t k = 1; k < length; ++k) {
                unsigned char next = text[i + k];
                if ((next >> 6) != 2) {
                    code = 0xFFFD;
                    length = k;
                    break;
                }
                code = code << 6 | (next & 0x3F);
            }
        } else {
            length = 1;
        }
        i += length;
        if (code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) code = 0xFFFD;
        if (code >= 0x10000) {
            code -= 0x10000;
            out += char16_t(0xD800 + (code >> 10));
            out += char16_t(0xDC00 + (code & 0x3FF));
        } else {
            out += char16_t(code);
        }
    }
    return out;
}

std::string utf8FromUtf16(const std::u16string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (code >= 0xD800 && code < 0xE000)
            code = 0xFFFD;
        if (code < 0x80) {
            out += char(code);
        } else if (code < 0x800) {
            out += char(0xC0 | code >> 6);
            out += char(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += char(0xE0 | code >> 12);
            out += char(0x80 | (code >> 6 & 0x3F));
            out += char(0x80 | (code & 0x3F));
        } else {
            out += char(0xF0 | code >> 18);
            out += char(0x80 | (code >> 12 & 0x3F));
            out += char(0x80 | (code >> 6 & 0x3F));
            out += char(0x80 | (code & 0x3F));
        }
    }
    return out;
}

}  // namespace vek::host

// MultiByteToWideChar.
//
// The ANSI and OEM code pages of the hosted platform are UTF-8, like a
// Windows set to "use Unicode UTF-8 for worldwide language support", so that
// host file names pass through unchanged. Code page 1252 (Western European)
// is converted too.
//
// UTF-8 is decoded strictly: overlong forms, surrogates, values above
// U+10FFFF and cut-off sequences are invalid. Each invalid sequence becomes
// one U+FFFD, covering its longest start that could have begun a valid
// sequence (the Unicode standard's "maximal subpart" practice), or makes the
// call fail with ERROR_NO_UNICODE_TRANSLATION under MB_ERR_INVALID_CHARS.
#include <windows.h>

#include <cstring>

#include "kernel/error.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Code page 1252 from 0x80 to 0x9F; the rest of it is Latin-1. The five
// unassigned bytes map to the C1 controls of the same value, as on Windows.
constexpr char16_t kWindows1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Decodes the UTF-8 sequence at s (n > 0 bytes available); sets used to the
// bytes taken. Returns the code point, or -1 for an invalid sequence.
long decodeUtf8(const unsigned char *s, size_t n, size_t &used)
{
    used = 1;
    unsigned char lead = s[0];
    if (lead < 0x80) return lead;
    int more;
    unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
    char32_t value;
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2;
        value = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3;
        value = lead & 0x07;
        if (lead == 0xF0) low = 0x90;   // no overlong forms
        if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return -1;
    }
    for (int i = 1; i <= more; i++) {
        if (static_cast<size_t>(i) >= n || s[i] < low || s[i] > high) return -1;
        value = value << 6 | (s[i] & 0x3F);
        used = static_cast<size_t>(i) + 1;
        low = 0x80;
        high = 0xBF;
    }
    return static_cast<long>(value);
}

// Counts, and stores while there is room, the UTF-16 units of a character.
// False when the destination is full.
struct Output {
    LPWSTR destination;
    size_t room;  // 0: only count
    size_t count = 0;

    bool put(char32_t c)
    {
        size_t units = c >= 0x10000 ? 2 : 1;
        if (room && count + units > room) return false;
        if (room && units == 2) {
            destination[count] = static_cast<WCHAR>(0xD800 + ((c - 0x10000) >> 10));
            destination[count + 1] = static_cast<WCHAR>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else if (room) {
            destination[count] = static_cast<WCHAR>(c);
        }
        count += units;
        return true;
    }
};

int fail(DWORD error, vek::debug::CallSite where = vek::debug::CallSite::here())
{
    vek::host::setError(error, nullptr, where);
    return 0;
}

}  // namespace

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceBytes, LPWSTR destination,
                               int destinationChars)
{
    if (!source || sourceBytes == 0 || destinationChars < 0 ||
        (destinationChars > 0 && !destination))
        return fail(ERROR_INVALID_PARAMETER);

    bool utf8;
    switch (codePage) {
    case CP_UTF8:
        // Windows takes no flag but MB_ERR_INVALID_CHARS for UTF-8 named as such.
        if (flags & ~static_cast<DWORD>(MB_ERR_INVALID_CHARS)) return fail(ERROR_INVALID_FLAGS);
        utf8 = true;
        break;
    case CP_ACP:
    case CP_OEMCP:
    case CP_THREAD_ACP: utf8 = true; break;
    case 1252: utf8 = false; break;
    default: return fail(ERROR_INVALID_PARAMETER);
    }
    if (flags & ~static_cast<DWORD>(MB_PRECOMPOSED | MB_COMPOSITE | MB_USEGLYPHCHARS | MB_ERR_INVALID_CHARS) ||
        (flags & MB_PRECOMPOSED && flags & MB_COMPOSITE))
        return fail(ERROR_INVALID_FLAGS);

    // A negative length (normally -1) converts up to and with the terminator.
    size_t length = sourceBytes < 0 ? std::strlen(source) + 1 : static_cast<size_t>(sourceBytes);
    auto *s = reinterpret_cast<const unsigned char *>(source);
    Output out{destination, static_cast<size_t>(destinationChars)};
    for (size_t i = 0; i < length;) {
        char32_t c;
        if (!utf8) {
            c = s[i] >= 0x80 && s[i] < 0xA0 ? kWindows1252[s[i] - 0x80] : s[i];
            i++;
        } else {
            size_t used;
            long value = decodeUtf8(s + i, length - i, used);
            if (value < 0 && flags & MB_ERR_INVALID_CHARS) return fail(ERROR_NO_UNICODE_TRANSLATION);
            c = value < 0 ? kReplacement : static_cast<char32_t>(value);
            i += used;
        }
        if (!out.put(c)) return fail(ERROR_INSUFFICIENT_BUFFER);
    }
    return static_cast<int>(out.count);
}

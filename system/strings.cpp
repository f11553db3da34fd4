// ANSI string helpers: ASCII case conversion and case-insensitive search.
#include <windows.h>

#include <vekkit/system.h>

namespace {

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool matchesAt(LPCSTR s, LPCSTR sub, int length)
{
    for (int i = 0; i < length; ++i)
        if (upper(s[i]) != upper(sub[i])) return false;
    return true;
}

}  // namespace

LPSTR VEKAPI lstrupr(LPSTR s)
{
    for (LPSTR p = s; p && *p; ++p) *p = upper(*p);
    return s;
}

LPSTR VEKAPI lstrlwr(LPSTR s)
{
    for (LPSTR p = s; p && *p; ++p) *p = lower(*p);
    return s;
}

LPSTR VEKAPI lstrchr(LPCSTR s, char c)
{
    if (!s || !c) return nullptr;
    for (LPCSTR p = s; *p; ++p)
        if (*p == c) return const_cast<LPSTR>(p);
    return nullptr;
}

LPSTR VEKAPI lstrstr(LPCSTR s, LPCSTR sub)
{
    if (!s || !sub) return nullptr;
    int length = lstrlenA(s), subLength = lstrlenA(sub);
    for (int at = 0; at <= length - subLength; ++at)
        if (matchesAt(s + at, sub, subLength)) return const_cast<LPSTR>(s + at);
    return nullptr;
}

LPSTR VEKAPI lrstrstr(LPCSTR s, LPCSTR sub)
{
    if (!s || !sub) return nullptr;
    int length = lstrlenA(s), subLength = lstrlenA(sub);
    for (int at = length - subLength; at >= 0; --at)
        if (matchesAt(s + at, sub, subLength)) return const_cast<LPSTR>(s + at);
    return nullptr;
}

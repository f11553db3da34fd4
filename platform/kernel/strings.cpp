// ANSI string calls of the lstr family. A null pointer gives the null result
// (or 0) instead of a fault, as the exception handlers inside Windows' own
// versions do.
//
// Comparisons follow the shape of Windows' string sort for the ANSI range:
// spaces, punctuation and control characters come first, then digits, then
// letters, then bytes from 0x80 on; letters compare by their upper-case
// form. lstrcmpA then orders strings that differ only in case with the
// lower-case letter first ("a" < "A" < "b"); lstrcmpiA calls them equal.
#include <windows.h>

#include <cstring>

namespace {

unsigned weight(unsigned char c)
{
    if (c >= 'a' && c <= 'z') return 0x200 + c - 'a' + 'A';
    if (c >= 'A' && c <= 'Z') return 0x200 + c;
    if (c >= '0' && c <= '9') return 0x100 + c;
    if (c >= 0x80) return 0x300 + c;
    return c;
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

// Compares by weight; 0 when the strings are equal but for letter case.
int compareIgnoringCase(const unsigned char *a, const unsigned char *b)
{
    for (;; a++, b++) {
        unsigned wa = weight(*a), wb = weight(*b);
        if (wa != wb) return wa < wb ? -1 : 1;
        if (!*a) return 0;
    }
}

}  // namespace

int WINAPI lstrlenA(LPCSTR s)
{
    return s ? static_cast<int>(std::strlen(s)) : 0;
}

LPSTR WINAPI lstrcpyA(LPSTR destination, LPCSTR source)
{
    if (!destination || !source) return nullptr;
    std::memmove(destination, source, std::strlen(source) + 1);
    return destination;
}

LPSTR WINAPI lstrcpynA(LPSTR destination, LPCSTR source, int size)
{
    // The size is taken as unsigned, as Windows does.
    auto room = static_cast<UINT>(size);
    if (room == 0) return destination;
    if (!destination || !source) return nullptr;
    UINT n = 0;
    while (n + 1 < room && source[n]) {
        destination[n] = source[n];
        n++;
    }
    destination[n] = '\0';
    return destination;
}

LPSTR WINAPI lstrcatA(LPSTR destination, LPCSTR source)
{
    if (!destination || !source) return nullptr;
    std::memmove(destination + std::strlen(destination), source, std::strlen(source) + 1);
    return destination;
}

int WINAPI lstrcmpA(LPCSTR a, LPCSTR b)
{
    if (!a || !b) return sign((a != nullptr) - (b != nullptr));
    auto *ua = reinterpret_cast<const unsigned char *>(a);
    auto *ub = reinterpret_cast<const unsigned char *>(b);
    if (int order = compareIgnoringCase(ua, ub)) return order;
    for (; *ua; ua++, ub++)
        if (*ua != *ub) return *ua > *ub ? -1 : 1;  // lower case ('a' > 'A') first
    return 0;
}

int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b)
{
    if (!a || !b) return sign((a != nullptr) - (b != nullptr));
    return compareIgnoringCase(reinterpret_cast<const unsigned char *>(a), reinterpret_cast<const unsigned char *>(b));
}

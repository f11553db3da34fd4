// The lstr calls and MultiByteToWideChar.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/wine.h"

#include <cstring>
#include <vector>

TEST(Lstr, LengthCopyAndConcatenate)
{
    SetLastError(0xdeadbeef);
    EXPECT_EQ(lstrlenA("hello"), 5);
    EXPECT_EQ(lstrlenA(""), 0);
    EXPECT_EQ(GetLastError(), 0xdeadbeefu) << "success leaves the last error alone";
    EXPECT_EQ(lstrlenA(nullptr), 0);

    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(lstrcpyA(buffer, "abc"), buffer);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(buffer[4], 'x');
    EXPECT_EQ(lstrcatA(buffer, "de"), buffer);
    EXPECT_STREQ(buffer, "abcde");
    EXPECT_EQ(lstrcatA(buffer, ""), buffer);
    EXPECT_STREQ(buffer, "abcde");
}

TEST(Lstr, CopyNStopsAtTheSize)
{
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(lstrcpynA(buffer, "abcdef", 4), buffer);
    EXPECT_STREQ(buffer, "abc") << "size - 1 characters and the terminator";
    EXPECT_EQ(buffer[4], 'x');

    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(lstrcpynA(buffer, "ab", 8), buffer);
    EXPECT_STREQ(buffer, "ab");
    EXPECT_EQ(buffer[3], 'x') << "nothing written after the terminator";

    EXPECT_EQ(lstrcpynA(buffer, "abc", 1), buffer);
    EXPECT_STREQ(buffer, "");
    buffer[0] = 'q';
    EXPECT_EQ(lstrcpynA(buffer, "abc", 0), buffer);
    EXPECT_EQ(buffer[0], 'q') << "size 0 writes nothing";
}

TEST(Lstr, CompareSortsLikeWindows)
{
    EXPECT_LT(lstrcmpA("abc", "abd"), 0);
    EXPECT_GT(lstrcmpA("abd", "abc"), 0);
    EXPECT_EQ(lstrcmpA("abc", "abc"), 0);
    EXPECT_LT(lstrcmpA("ab", "abc"), 0);
    EXPECT_LT(lstrcmpA("a", "B"), 0) << "letters before case";
    EXPECT_LT(lstrcmpA("a", "A"), 0) << "lower case first when only case differs";
    EXPECT_LT(lstrcmpA("1", "a"), 0);
    EXPECT_LT(lstrcmpA("_", "A"), 0) << "punctuation before letters";

    EXPECT_EQ(lstrcmpiA("Hello", "hELLO"), 0);
    EXPECT_LT(lstrcmpiA("abc", "ABD"), 0);
    EXPECT_GT(lstrcmpiA("b", "A"), 0);
    EXPECT_LT(lstrcmpiA("_", "a"), 0);

    EXPECT_LT(lstrcmpA(nullptr, "a"), 0);
    EXPECT_GT(lstrcmpA("a", nullptr), 0);
    EXPECT_EQ(lstrcmpA(nullptr, nullptr), 0);
    EXPECT_LT(lstrcmpiA(nullptr, "a"), 0);
}

TEST(MultiByteToWideChar, AnsiTextWithAndWithoutTerminator)
{
    WCHAR wide[8];
    std::memset(wide, 0xCC, sizeof wide);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, wide, 8), 4) << "the terminator counts";
    EXPECT_EQ(GetLastError(), 0xdeadbeefu);
    const WCHAR expected[] = {'a', 'b', 'c', 0};
    EXPECT_EQ(std::memcmp(wide, expected, sizeof expected), 0);

    std::memset(wide, 0xCC, sizeof wide);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, "abc", 3, wide, 8), 3);
    EXPECT_EQ(wide[3], 0xCCCC) << "no terminator without one in the input";

    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4) << "the size query";
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 2, nullptr, 0), 2);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -2002, wide, 8), 4) << "any negative length acts as -1";
    EXPECT_EQ(GetLastError(), 0xdeadbeefu);
}

TEST(MultiByteToWideChar, Utf8)
{
    // e-acute, euro sign, and U+1F600 (a surrogate pair).
    const char text[] = "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    WCHAR wide[8];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, 8), 5);
    const WCHAR expected[] = {0x00E9, 0x20AC, 0xD83D, 0xDE00, 0};
    EXPECT_EQ(std::memcmp(wide, expected, sizeof expected), 0);

    // A lead byte without its continuation becomes U+FFFD; the next byte stays.
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xC3(", 2, wide, 8), 2);
    EXPECT_EQ(wide[0], 0xFFFD);
    EXPECT_EQ(wide[1], '(');
    SetLastError(0xdeadbeef);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xC3(", 2, wide, 8), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_NO_UNICODE_TRANSLATION);
}

TEST(MultiByteToWideChar, Windows1252)
{
    WCHAR wide[4];
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "\x80\xE9\x9F", 3, wide, 4), 3);
    EXPECT_EQ(wide[0], 0x20AC);
    EXPECT_EQ(wide[1], 0x00E9);
    EXPECT_EQ(wide[2], 0x0178);
}

TEST(MultiByteToWideChar, BadCallsFail)
{
    WCHAR wide[4];
    std::memset(wide, 0xCC, sizeof wide);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abcdef", -1, wide, 4), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER);

    struct Case {
        const char *source;
        int bytes;
        LPWSTR destination;
        int chars;
    } bad[] = {
        {nullptr, 3, wide, 4},   // no source
        {"abc", 0, wide, 4},     // nothing to convert
        {"abc", 3, wide, -1},    // a negative room
        {"abc", 3, nullptr, 4},  // room but no buffer
    };
    for (const Case &c : bad) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, c.source, c.bytes, c.destination, c.chars), 0);
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
    }
}

TEST(MultiByteToWideChar, Utf8TakesNoCompositionFlags)
{
    WCHAR wide[4];
    const bool wine = onWine();
    SetLastError(0xdeadbeef);
    int n = MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "abc", 3, wide, 4);
    // Windows refuses flags with CP_UTF8 (as documented); Wine ignores them.
    if (wine) {
        EXPECT_EQ(n, 3);
    } else {
        EXPECT_EQ(n, 0);
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_FLAGS);
    }
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, "abc", 3, wide, 4), 3) << "the ANSI code page takes them";
}

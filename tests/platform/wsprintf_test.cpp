// wsprintfA formats and its output limit.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/wine.h"

#include <cstring>
#include <string>

namespace {

// Formats through wvsprintfA, checking the result against the text.
std::string format(const char *pattern, ...)
{
    char buffer[1100];
    va_list arguments;
    va_start(arguments, pattern);
    int length = wvsprintfA(buffer, pattern, arguments);
    va_end(arguments);
    EXPECT_EQ(length, lstrlenA(buffer)) << pattern;
    return buffer;
}

}  // namespace

TEST(Wsprintf, Integers)
{
    EXPECT_EQ(format("%d|%i|%u", -42, 42, 42u), "-42|42|42");
    EXPECT_EQ(format("%u", -1), "4294967295");
    EXPECT_EQ(format("%x %X", 0xBEEFu, 0xBEEFu), "beef BEEF");
    EXPECT_EQ(format("%x", -1), "ffffffff");
    EXPECT_EQ(format("%ld %lu %lx", (LONG)-7, (DWORD)4000000000u, (DWORD)0xABCDu), "-7 4000000000 abcd");
    EXPECT_EQ(format("%hd %hu", -5, 65535), "-5 65535");
    EXPECT_EQ(format("%d", (int)0x80000000), "-2147483648");
}

TEST(Wsprintf, WidthFlagsAndPrecision)
{
    EXPECT_EQ(format("[%5d]", 42), "[   42]");
    EXPECT_EQ(format("[%-5d]", 42), "[42   ]");
    EXPECT_EQ(format("[%05d]", 42), "[00042]");
    EXPECT_EQ(format("[%05d]", -42), "[-0042]") << "the sign goes before the zeros";
    EXPECT_EQ(format("[%-05d]", 42), "[42   ]") << "left alignment pads with spaces";
    EXPECT_EQ(format("[%#x]", 255), "[0xff]");
    EXPECT_EQ(format("[%#X]", 255), "[0XFF]");
    EXPECT_EQ(format("[%08lX]", 0x1234u), "[00001234]");
    EXPECT_EQ(format("[%.3d]", 7), "[007]");
    EXPECT_EQ(format("[%2d]", 12345), "[12345]") << "the width is a minimum";
}

TEST(Wsprintf, CharactersAndStrings)
{
    EXPECT_EQ(format("%c%c", 'o', 'k'), "ok");
    EXPECT_EQ(format("[%3c]", 'z'), "[  z]");
    EXPECT_EQ(format("%s, %s!", "Hello", "world"), "Hello, world!");
    EXPECT_EQ(format("[%8s]", "abc"), "[     abc]");
    EXPECT_EQ(format("[%-8s]", "abc"), "[abc     ]");
    EXPECT_EQ(format("[%.2s]", "abcdef"), "[ab]");
    EXPECT_EQ(format("[%6.2s]", "abcdef"), "[    ab]");
    EXPECT_EQ(format("%hs", "narrow"), "narrow");
    EXPECT_EQ(format("100%%"), "100%");
    EXPECT_EQ(format("%s=%d (%#X)", "key", 10, 255), "key=10 (0XFF)");
}

TEST(Wsprintf, OutputStopsAt1024BytesWithTheTerminator)
{
    std::string longText(2000, 'a');
    char buffer[1100];
    std::memset(buffer, 0x55, sizeof buffer);
    // 1023 characters are stored and counted; Wine counts 1024.
    const int stored = onWine() ? 1024 : 1023;
    SetLastError(0xdeadbeef);
    int length = wsprintfA(buffer, "%s", longText.c_str());
    EXPECT_EQ(length, stored);
    EXPECT_EQ(GetLastError(), 0xdeadbeefu);
    EXPECT_EQ(buffer[1022], 'a');
    EXPECT_EQ(buffer[1023], '\0');
    for (int i = 1024; i < 1100; i++) ASSERT_EQ(buffer[i], 0x55) << "written past the limit at " << i;

    std::memset(buffer, 0x55, sizeof buffer);
    length = wsprintfA(buffer, longText.c_str());
    EXPECT_EQ(length, stored) << "literal text too";
    EXPECT_EQ(buffer[1023], '\0');
    EXPECT_EQ(buffer[1024], 0x55);

    std::memset(buffer, 0x55, sizeof buffer);
    length = wsprintfA(buffer, "%1500d", 5);
    EXPECT_EQ(length, stored) << "padding too";
    EXPECT_EQ(buffer[1023], '\0');
    EXPECT_EQ(buffer[1024], 0x55);

    std::memset(buffer, 0x55, sizeof buffer);
    EXPECT_EQ(wsprintfA(buffer, "%1000d", 5), 1000) << "output that fits is not cut";
    EXPECT_EQ(buffer[999], '5');
}

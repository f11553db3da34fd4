// ASCII case conversion and case-insensitive search.
#include <vekkit.h>

#include <gtest/gtest.h>

TEST(CaseConversion, OnlyAsciiLettersChange)
{
    char text[] = "Hello, World! \x80\xE4\xFFz@[`{";
    EXPECT_EQ(lstrupr(text), text);
    EXPECT_STREQ(text, "HELLO, WORLD! \x80\xE4\xFFZ@[`{");
    EXPECT_EQ(lstrlwr(text), text);
    EXPECT_STREQ(text, "hello, world! \x80\xE4\xFFz@[`{") << "bytes 0x80-0xFF and punctuation stay";

    char empty[] = "";
    EXPECT_EQ(lstrupr(empty), empty);
    EXPECT_EQ(lstrlwr(nullptr), nullptr);
}

TEST(CharSearch, FirstOccurrenceOrNull)
{
    const char text[] = "a\\b\\c";
    EXPECT_EQ(lstrchr(text, '\\'), text + 1);
    EXPECT_EQ(lstrchr(text, 'c'), text + 4);
    EXPECT_EQ(lstrchr(text, 'C'), nullptr) << "case counts";
    EXPECT_EQ(lstrchr(text, 0), nullptr) << "the terminator is not found";
    EXPECT_EQ(lstrchr("", 'a'), nullptr);
    EXPECT_EQ(lstrchr(nullptr, 'a'), nullptr);
}

TEST(SubstringSearch, IgnoresCaseOfAsciiLetters)
{
    const char hello[] = "Hello World";
    EXPECT_EQ(lstrstr(hello, "WORLD"), hello + 6);
    EXPECT_EQ(lstrstr(hello, "hello world"), hello);
    EXPECT_EQ(lstrstr(hello, "Worlds"), nullptr);
    EXPECT_EQ(lstrstr("ab", "abc"), nullptr) << "a pattern longer than the text";

    const char abc[] = "abcabc";
    EXPECT_EQ(lrstrstr(abc, "BC"), abc + 4);
    EXPECT_EQ(lstrstr(abc, "BC"), abc + 1);
    EXPECT_EQ(lrstrstr(abc, "abcabc"), abc);
    EXPECT_EQ(lrstrstr(abc, "x"), nullptr);

    // Bytes above 0x7F compare exactly.
    const char high[] = "x\xC4y";
    EXPECT_EQ(lstrstr(high, "\xE4"), nullptr);
    EXPECT_EQ(lstrstr(high, "\xC4Y"), high + 1);
}

TEST(SubstringSearch, EmptyAndNullPatterns)
{
    const char text[] = "abc";
    EXPECT_EQ(lstrstr(text, ""), text) << "found at the start";
    EXPECT_EQ(lrstrstr(text, ""), text + 3) << "found last at the terminator";
    EXPECT_EQ(lstrstr("", ""), lrstrstr("", "")) << "both at the only position";
    EXPECT_EQ(lstrstr(nullptr, "a"), nullptr);
    EXPECT_EQ(lstrstr(text, nullptr), nullptr);
    EXPECT_EQ(lrstrstr(nullptr, nullptr), nullptr);
}

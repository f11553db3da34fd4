// The memory file: writes, growth, seeks, length, and the block it closes
// into.
#include <vekkit.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

DWORD sizeField(const void *block)
{
    DWORD v;
    std::memcpy(&v, block, 4);
    return v;
}

SIZE_T blockSize(const void *block)
{
    return GlobalSize(GlobalHandle(block));
}

void release(void *block)
{
    HGLOBAL mem = GlobalHandle(block);
    GlobalUnlock(mem);
    EXPECT_EQ(GlobalFree(mem), nullptr);
}

TEST(MemoryFile, OneByteIntoASmallFileClosesIntoAFiveByteBlock)
{
    const LONG_PTR h = _mcreat(4);
    ASSERT_NE(h, 0);
    EXPECT_EQ(_mwrite(h, "x", 1), 1);
    EXPECT_EQ(_mfilelength(h), 1);
    EXPECT_EQ(_mcommit(h), 0);
    auto *block = static_cast<BYTE *>(_mclose(h));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(blockSize(block), 5u);
    EXPECT_EQ(sizeField(block), 1u);
    EXPECT_EQ(block[4], 'x');
    EXPECT_EQ(GlobalFlags(GlobalHandle(block)) & GMEM_LOCKCOUNT, 1u) << "handed out locked";
    release(block);
}

TEST(MemoryFile, EmptyFileClosesIntoNothing)
{
    for (DWORD initial : {0u, 4u, 1000u}) {
        const LONG_PTR h = _mcreat(initial);
        ASSERT_NE(h, 0);
        EXPECT_EQ(_mfilelength(h), 0);
        EXPECT_EQ(_mclose(h), nullptr);
    }
    const LONG_PTR h = _mcreat(16);
    EXPECT_EQ(_mwrite(h, "", 0), 0) << "a write of nothing";
    EXPECT_EQ(_mclose(h), nullptr);
}

TEST(MemoryFile, WritesGrowTheDataToExactlyTheLength)
{
    // Pieces of every size up to the largest a write takes, through several
    // growths, read back exactly from a block of length + 4 bytes.
    std::vector<BYTE> expected;
    const LONG_PTR h = _mcreat(10);
    ASSERT_NE(h, 0);
    std::vector<BYTE> piece(65535);
    for (WORD n : {WORD{1}, WORD{3}, WORD{600}, WORD{65535}, WORD{0}, WORD{7}, WORD{65535}}) {
        for (size_t i = 0; i < n; i++) piece[i] = static_cast<BYTE>(expected.size() + i * 7);
        ASSERT_EQ(_mwrite(h, piece.data(), n), n);
        expected.insert(expected.end(), piece.begin(), piece.begin() + n);
        ASSERT_EQ(_mfilelength(h), static_cast<LONG>(expected.size()));
        ASSERT_EQ(_mlseek(h, 0, 1), static_cast<LONG>(expected.size())) << "position after the write";
    }
    auto *block = static_cast<BYTE *>(_mclose(h));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(blockSize(block), expected.size() + 4);
    EXPECT_EQ(sizeField(block), expected.size());
    EXPECT_EQ(std::memcmp(block + 4, expected.data(), expected.size()), 0);
    release(block);
}

TEST(MemoryFile, LargeInitialSizeShrinksAtClose)
{
    const LONG_PTR h = _mcreat(100000);
    ASSERT_NE(h, 0);
    EXPECT_EQ(_mwrite(h, "abc", 3), 3);
    auto *block = static_cast<BYTE *>(_mclose(h));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(blockSize(block), 7u);
    EXPECT_EQ(std::memcmp(block + 4, "abc", 3), 0);
    release(block);
}

TEST(MemoryFile, SeekPastTheEndExtendsTheFileWithZeros)
{
    const LONG_PTR h = _mcreat(0);
    ASSERT_NE(h, 0);
    EXPECT_EQ(_mlseek(h, 10, 0), 10);
    EXPECT_EQ(_mfilelength(h), 10);
    auto *block = static_cast<BYTE *>(_mclose(h));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(blockSize(block), 14u);
    EXPECT_EQ(sizeField(block), 10u);
    for (int i = 4; i < 14; i++) EXPECT_EQ(block[i], 0) << "byte " << i;
    release(block);

    // Within the initial block, up to its very end, and a write after a gap.
    const LONG_PTR g = _mcreat(8);
    EXPECT_EQ(_mlseek(g, 8, 0), 8);
    EXPECT_EQ(_mwrite(g, "Z", 1), 1);
    EXPECT_EQ(_mfilelength(g), 9);
    block = static_cast<BYTE *>(_mclose(g));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(blockSize(block), 13u);
    for (int i = 4; i < 12; i++) EXPECT_EQ(block[i], 0) << "byte " << i;
    EXPECT_EQ(block[12], 'Z');
    release(block);
}

TEST(MemoryFile, OverwriteInsideKeepsTheLength)
{
    const LONG_PTR h = _mcreat(64);
    EXPECT_EQ(_mwrite(h, "abc", 3), 3);
    EXPECT_EQ(_mlseek(h, 1, 0), 1);
    EXPECT_EQ(_mwrite(h, "X", 1), 1);
    EXPECT_EQ(_mfilelength(h), 3);
    EXPECT_EQ(_mlseek(h, 0, 1), 2);
    auto *block = static_cast<BYTE *>(_mclose(h));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(sizeField(block), 3u);
    EXPECT_EQ(std::memcmp(block + 4, "aXc", 3), 0);
    release(block);
}

TEST(MemoryFile, SeekOrigins)
{
    const LONG_PTR h = _mcreat(32);
    EXPECT_EQ(_mwrite(h, "0123456789", 10), 10);
    EXPECT_EQ(_mlseek(h, 4, 0), 4);
    EXPECT_EQ(_mlseek(h, 3, 1), 7);
    EXPECT_EQ(_mlseek(h, -2, 1), 5);
    EXPECT_EQ(_mlseek(h, -1, 2), 9);
    EXPECT_EQ(_mlseek(h, 6, 2), 16) << "from the length, past it";
    EXPECT_EQ(_mfilelength(h), 16);
    EXPECT_EQ(_mlseek(h, 0, 2), 16);

    // Refused: before the start (from every origin), unknown origins, and a
    // position a LONG cannot hold. Nothing moves.
    EXPECT_EQ(_mlseek(h, 5, 0), 5);
    EXPECT_EQ(_mlseek(h, -1, 0), -1);
    EXPECT_EQ(_mlseek(h, -6, 1), -1);
    EXPECT_EQ(_mlseek(h, -17, 2), -1);
    EXPECT_EQ(_mlseek(h, 0, 3), -1);
    EXPECT_EQ(_mlseek(h, 0, -1), -1);
    EXPECT_EQ(_mlseek(h, 0x7FFFFFFF, 1), -1);
    EXPECT_EQ(_mlseek(h, 0, 1), 5);
    EXPECT_EQ(_mfilelength(h), 16);
    void *block = _mclose(h);
    ASSERT_NE(block, nullptr);
    release(block);
}

TEST(MemoryFile, NullHandleAndBufferAreRefused)
{
    EXPECT_EQ(_mwrite(0, "a", 1), 0);
    EXPECT_EQ(_mlseek(0, 0, 0), -1);
    EXPECT_EQ(_mfilelength(0), -1);
    EXPECT_EQ(_mclose(0), nullptr);
    const LONG_PTR h = _mcreat(8);
    EXPECT_EQ(_mwrite(h, nullptr, 4), 0);
    EXPECT_EQ(_mfilelength(h), 0);
    EXPECT_EQ(_mclose(h), nullptr);
}

}  // namespace

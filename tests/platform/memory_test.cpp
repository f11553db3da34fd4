// Global memory blocks: handles, pointers, lock counts, sizes, reallocation.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

TEST(GlobalMemory, MovableHandleAndPointerRoundTrip)
{
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 100);
    ASSERT_NE(mem, nullptr);
    EXPECT_EQ(GlobalSize(mem), 100u);
    EXPECT_EQ(GlobalFlags(mem) & GMEM_LOCKCOUNT, 0u);

    auto *p = static_cast<BYTE *>(GlobalLock(mem));
    ASSERT_NE(p, nullptr);
    EXPECT_NE(static_cast<void *>(p), mem) << "a movable handle is not its pointer";
    for (int i = 0; i < 100; i++) ASSERT_EQ(p[i], 0) << "zero-filled at " << i;
    EXPECT_EQ(GlobalHandle(p), mem);
    EXPECT_EQ(GlobalFlags(mem) & GMEM_LOCKCOUNT, 1u);

    EXPECT_EQ(GlobalLock(mem), p) << "a second lock gives the same pointer";
    EXPECT_EQ(GlobalFlags(mem) & GMEM_LOCKCOUNT, 2u);
    EXPECT_TRUE(GlobalUnlock(mem)) << "still locked once";
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GlobalUnlock(mem));
    EXPECT_EQ(GetLastError(), (DWORD)NO_ERROR) << "the last unlock reports no error";
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GlobalUnlock(mem));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_NOT_LOCKED);
    EXPECT_EQ(GlobalFree(mem), nullptr);
}

TEST(GlobalMemory, FixedBlockIsItsOwnHandle)
{
    HGLOBAL mem = GlobalAlloc(GMEM_FIXED, 16);
    ASSERT_NE(mem, nullptr);
    EXPECT_EQ(GlobalLock(mem), mem);
    EXPECT_EQ(GlobalHandle(mem), mem);
    EXPECT_EQ(GlobalSize(mem), 16u);
    EXPECT_EQ(GlobalFree(mem), nullptr);
}

TEST(GlobalMemory, ReallocKeepsContentsAndZeroFillsGrowth)
{
    HGLOBAL mem = GlobalAlloc(GHND, 8);
    ASSERT_NE(mem, nullptr);
    auto *p = static_cast<BYTE *>(GlobalLock(mem));
    std::memcpy(p, "abcdefgh", 8);
    GlobalUnlock(mem);

    HGLOBAL grown = GlobalReAlloc(mem, 70000, GMEM_MOVEABLE | GMEM_ZEROINIT);
    ASSERT_EQ(grown, mem) << "a movable block keeps its handle";
    EXPECT_EQ(GlobalSize(mem), 70000u);
    p = static_cast<BYTE *>(GlobalLock(mem));
    EXPECT_EQ(std::memcmp(p, "abcdefgh", 8), 0);
    EXPECT_EQ(p[8], 0);
    EXPECT_EQ(p[69999], 0);
    EXPECT_EQ(GlobalHandle(p), mem) << "the new pointer maps back";
    GlobalUnlock(mem);
    GlobalFree(mem);
}

TEST(GlobalMemory, ZeroSizeMovableBlockIsDiscarded)
{
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(mem, nullptr);
    EXPECT_EQ(GlobalLock(mem), nullptr);
    EXPECT_EQ(GlobalSize(mem), 0u);
    EXPECT_EQ(GlobalFree(mem), nullptr);
}

TEST(GlobalMemory, BadHandlesFailCleanly)
{
    int local = 0;
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GlobalHandle(&local), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    EXPECT_EQ(GlobalSize(reinterpret_cast<HGLOBAL>(&local)), 0u);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, ~SIZE_T{0} - 16), nullptr) << "absurd sizes fail";
    EXPECT_EQ(GlobalFree(nullptr), nullptr);

    HGLOBAL mem = GlobalAlloc(GHND, 4);
    GlobalFree(mem);
    EXPECT_EQ(GlobalLock(mem), nullptr) << "a freed handle is no longer valid";
}

// The millisecond tick count and Sleep.
#include <windows.h>

#include <gtest/gtest.h>

// Sleep(20) lasts at least 20 ms, and the tick count advances in steps of
// at most about 16 ms, so it must have moved, and by a sane amount.
TEST(TickCount, AdvancesAcrossASleep)
{
    SetLastError(0xdeadbeef);
    DWORD before = GetTickCount();
    Sleep(20);
    DWORD elapsed = GetTickCount() - before;  // wraps correctly as DWORD
    EXPECT_GT(elapsed, 0u);
    EXPECT_LT(elapsed, 0x80000000u);
    Sleep(0);
    EXPECT_EQ(GetLastError(), 0xdeadbeefu);
}

// Copy and fill of areas beyond 64 KiB.
#include <vekkit.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr size_t kGuard = 16;

TEST(LargeBuffers, CopyOver64KiB)
{
    for (DWORD count : {0u, 1u, 3u, 65535u, 65536u, 65537u, 3 * 65536u + 7u}) {
        std::vector<BYTE> from(count + 1), to(count + kGuard, 0xEE);
        for (size_t i = 0; i < from.size(); i++) from[i] = static_cast<BYTE>(i * 31 + i / 65536);
        _hmemcpy(to.data(), from.data(), count);
        ASSERT_TRUE(std::equal(from.begin(), from.begin() + count, to.begin())) << count << " bytes";
        for (size_t i = count; i < to.size(); i++) ASSERT_EQ(to[i], 0xEE) << "past " << count << " bytes";
    }
}

TEST(LargeBuffers, CopyBetweenOverlappingAreas)
{
    std::vector<BYTE> area(70000);
    for (size_t i = 0; i < area.size(); i++) area[i] = static_cast<BYTE>(i);
    const std::vector<BYTE> before = area;
    _hmemcpy(area.data() + 3, area.data(), 69990);
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + 69990, area.begin() + 3));
    _hmemcpy(area.data(), area.data() + 3, 69990);
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + 69990, area.begin()));
}

TEST(LargeBuffers, FillOver64KiB)
{
    for (DWORD count : {0u, 1u, 5u, 65536u, 65541u, 2 * 65536u + 3u}) {
        std::vector<BYTE> to(count + kGuard, 0xEE);
        _hmemset(to.data(), 0x5A, count);
        for (size_t i = 0; i < count; i++) ASSERT_EQ(to[i], 0x5A) << i << " of " << count;
        for (size_t i = count; i < to.size(); i++) ASSERT_EQ(to[i], 0xEE) << "past " << count << " bytes";
    }
}

}  // namespace

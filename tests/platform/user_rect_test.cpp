// Rectangle helpers: right and bottom edges are outside, empty rectangles
// add nothing, null pointers fail.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

RECT rect(LONG l, LONG t, LONG r, LONG b) { return RECT{l, t, r, b}; }

bool same(const RECT &a, const RECT &b) { return EqualRect(&a, &b) != 0; }

}  // namespace

TEST(UserRect, SetCopyAndEmpty)
{
    RECT r{};
    EXPECT_TRUE(SetRect(&r, 1, 2, 3, 4));
    EXPECT_TRUE(same(r, rect(1, 2, 3, 4)));
    RECT c{};
    EXPECT_TRUE(CopyRect(&c, &r));
    EXPECT_TRUE(same(c, r));
    EXPECT_FALSE(IsRectEmpty(&r));
    EXPECT_TRUE(SetRectEmpty(&r));
    EXPECT_TRUE(IsRectEmpty(&r));
    const RECT flat = rect(5, 5, 9, 5), inverted = rect(9, 0, 5, 4);
    EXPECT_TRUE(IsRectEmpty(&flat));
    EXPECT_TRUE(IsRectEmpty(&inverted));
    EXPECT_FALSE(SetRect(nullptr, 0, 0, 1, 1));
}

TEST(UserRect, IntersectAndUnion)
{
    const RECT a = rect(0, 0, 10, 10), b = rect(5, 6, 15, 20), apart = rect(10, 0, 20, 10), empty = rect(3, 3, 3, 8);
    RECT out{};
    EXPECT_TRUE(IntersectRect(&out, &a, &b));
    EXPECT_TRUE(same(out, rect(5, 6, 10, 10)));
    out = rect(1, 1, 2, 2);
    EXPECT_FALSE(IntersectRect(&out, &a, &apart)) << "touching edges share no pixel";
    EXPECT_TRUE(IsRectEmpty(&out));
    EXPECT_TRUE(same(out, rect(0, 0, 0, 0))) << "the result is set empty";

    EXPECT_TRUE(UnionRect(&out, &a, &b));
    EXPECT_TRUE(same(out, rect(0, 0, 15, 20)));
    EXPECT_TRUE(UnionRect(&out, &empty, &b));
    EXPECT_TRUE(same(out, b)) << "an empty rectangle adds nothing";
    EXPECT_FALSE(UnionRect(&out, &empty, &empty));
    EXPECT_FALSE(IntersectRect(nullptr, &a, &b));
}

TEST(UserRect, OffsetInflateAndPoints)
{
    RECT r = rect(1, 2, 5, 6);
    EXPECT_TRUE(OffsetRect(&r, 10, -2));
    EXPECT_TRUE(same(r, rect(11, 0, 15, 4)));
    EXPECT_TRUE(InflateRect(&r, 1, 2));
    EXPECT_TRUE(same(r, rect(10, -2, 16, 6)));
    EXPECT_TRUE(InflateRect(&r, -3, -4));
    EXPECT_TRUE(IsRectEmpty(&r));

    const RECT box = rect(0, 0, 4, 3);
    EXPECT_TRUE(PtInRect(&box, POINT{0, 0}));
    EXPECT_TRUE(PtInRect(&box, POINT{3, 2}));
    EXPECT_FALSE(PtInRect(&box, POINT{4, 2})) << "the right edge is outside";
    EXPECT_FALSE(PtInRect(&box, POINT{3, 3})) << "the bottom edge is outside";
    EXPECT_FALSE(PtInRect(&box, POINT{-1, 0}));
    EXPECT_FALSE(EqualRect(&box, nullptr));
    EXPECT_FALSE(OffsetRect(nullptr, 1, 1));
}

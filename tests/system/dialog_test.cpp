// Dialog centring on the parent and on the screen, and durations as text.
#include <vekkit.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

class CenterDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "CenterDialogTest";
        RegisterClassA(&wc);
    }

    void TearDown() override
    {
        if (dialog_) DestroyWindow(dialog_);
        if (parent_) DestroyWindow(parent_);
    }

    // Unframed popups, so window rectangles are exactly the given ones.
    HWND popup(int x, int y, int width, int height, HWND owner)
    {
        return CreateWindowExA(0, "CenterDialogTest", "", WS_POPUP, x, y, width, height, owner, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }

    // Centres a width x height dialog owned by a parent at the given
    // rectangle (no parent when parentWidth is 0); its new rectangle.
    RECT centre(int px, int py, int parentWidth, int parentHeight, int width, int height)
    {
        if (parentWidth) {
            parent_ = popup(px, py, parentWidth, parentHeight, nullptr);
            EXPECT_NE(parent_, nullptr);
        }
        dialog_ = popup(5, 7, width, height, parent_);
        EXPECT_NE(dialog_, nullptr);
        EXPECT_EQ(GetParent(dialog_), parent_);
        EXPECT_TRUE(vekCenterDlg(dialog_));
        RECT r{};
        GetWindowRect(dialog_, &r);
        EXPECT_EQ(r.right - r.left, width) << "the size stays";
        EXPECT_EQ(r.bottom - r.top, height);
        return r;
    }

    HWND parent_ = nullptr, dialog_ = nullptr;
    const int screenWidth_ = GetSystemMetrics(SM_CXSCREEN), screenHeight_ = GetSystemMetrics(SM_CYSCREEN);
};

}  // namespace

TEST_F(CenterDialog, CentresOnTheParent)
{
    RECT r = centre(100, 80, 300, 200, 100, 50);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 155);
}

TEST_F(CenterDialog, OddSumsRoundDown)
{
    RECT r = centre(1, 2, 100, 101, 50, 50);
    EXPECT_EQ(r.left, 26) << "(1 + 101 - 50) / 2";
    EXPECT_EQ(r.top, 27) << "(2 + 103 - 50) / 2 = 27.5 rounds down";
}

TEST_F(CenterDialog, LeftAndTopEdgesStopAtZero)
{
    RECT r = centre(-200, -150, 100, 100, 200, 120);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
}

TEST_F(CenterDialog, RightAndBottomEdgesStopAtTheScreenEdge)
{
    RECT r = centre(screenWidth_ - 50, screenHeight_ - 40, 100, 80, 200, 60);
    EXPECT_EQ(r.right, screenWidth_);
    EXPECT_EQ(r.bottom, screenHeight_);
}

TEST_F(CenterDialog, DialogLargerThanTheScreenEndsAtItsFarEdge)
{
    RECT r = centre(0, 0, 100, 100, screenWidth_ + 40, screenHeight_ + 30);
    EXPECT_EQ(r.left, -40);
    EXPECT_EQ(r.top, -30);
}

TEST_F(CenterDialog, WithoutParentCentresOnTheScreen)
{
    RECT r = centre(0, 0, 0, 0, 100, 51);
    EXPECT_EQ(r.left, (screenWidth_ - 100) >> 1);
    EXPECT_EQ(r.top, (screenHeight_ - 51) >> 1);
}

namespace {

std::string timeText(WORD seconds, WORD limit, WORD mode)
{
    char out[64];
    std::memset(out, '#', sizeof out);
    vekMakeTimeStr(seconds, limit, mode, out);
    EXPECT_LE(std::strlen(out), 20u);
    return out;
}

}  // namespace

TEST(TimeString, HoursMinutesAndSeconds)
{
    EXPECT_EQ(timeText(3725, 65535, 0), "1 hr,2 min,5 sec.");
    EXPECT_EQ(timeText(3720, 65535, 0), "1 hr,2 min.");
    EXPECT_EQ(timeText(3605, 65535, 0), "1 hour") << "hours without minutes drop the seconds";
    EXPECT_EQ(timeText(7205, 65535, 0), "2 hours");
    EXPECT_EQ(timeText(65535, 65535, 0), "18 hr,12 min,15 sec.") << "the longest text";
    EXPECT_EQ(timeText(125, 65535, 0), "2 min,5 sec.");
    EXPECT_EQ(timeText(59, 65535, 7), "59 seconds") << "modes above 2 count hours too";
    EXPECT_EQ(timeText(3600, 65535, 3), "1 hour");
}

TEST(TimeString, MinutesAndSeconds)
{
    EXPECT_EQ(timeText(90, 65535, 2), "1 min,30 sec.");
    EXPECT_EQ(timeText(60, 65535, 2), "1 minute");
    EXPECT_EQ(timeText(7200, 65535, 2), "120 minutes");
    EXPECT_EQ(timeText(65534, 65535, 2), "1092 min,14 sec.");
    EXPECT_EQ(timeText(1, 65535, 2), "1 second");
}

TEST(TimeString, SecondsOnly)
{
    EXPECT_EQ(timeText(3600, 65535, 1), "3600 seconds");
    EXPECT_EQ(timeText(1, 65535, 1), "1 second");
    EXPECT_EQ(timeText(0, 65535, 1), "0 seconds");
    EXPECT_EQ(timeText(0, 65535, 0), "0 seconds");
}

TEST(TimeString, LimitOnlyCountsWithAMode)
{
    EXPECT_EQ(timeText(300, 300, 1), "One Save");
    EXPECT_EQ(timeText(301, 300, 2), "One Save");
    EXPECT_EQ(timeText(0, 0, 3), "One Save");
    EXPECT_EQ(timeText(299, 300, 1), "299 seconds");
    EXPECT_EQ(timeText(300, 300, 0), "5 minutes") << "mode 0 ignores the limit";
}

// The library frame: initialisation counts and the hidden window.
#include <vekkit.h>

#include <gtest/gtest.h>

TEST(LibraryFrame, HiddenWindowIsASmallInvisibleTopLevelWindow)
{
    HWND window = seticonhwnd();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(GetParent(window), nullptr);
    RECT r{};
    ASSERT_TRUE(GetWindowRect(window, &r));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    // Asked for 100 x 100; Windows gives an overlapped window (style 0) a
    // caption and may widen it to its minimum tracking size.
    EXPECT_GE(r.right, 100);
    EXPECT_LE(r.right, 200);
    EXPECT_GE(r.bottom, 100);
    EXPECT_LE(r.bottom, 200);
    char title[16] = "x";
    EXPECT_EQ(GetWindowTextA(window, title, sizeof title), 0);
    EXPECT_STREQ(title, "");
    EXPECT_EQ(fakewindowproc(window, WM_CREATE, 0, 0), 0);
    EXPECT_TRUE(DestroyWindow(window));
}

TEST(LibraryFrame, InitialisationIsCounted)
{
    EXPECT_EQ(vekkitInit(), 1);
    EXPECT_EQ(vekkitInit(), 1);
    EXPECT_EQ(vekkitCleanup(), 1);
    EXPECT_EQ(vekkitCleanup(), 1);
}

TEST(LibraryFrame, WithoutMultimediaModuleMidiIsNotSetUp)
{
    // Windows has no module of that name loaded: MIDI stays unavailable
    // there, and every call says so.
    if (GetModuleHandleA("MMSYSTEM")) GTEST_SKIP() << "this platform provides MMSYSTEM";
    ASSERT_EQ(vekkitInit(), 1);
    EXPECT_STREQ(vekPlayMIDI("tune.mid", "tune", TRUE), "DEDIVEZID has not been set up.");
    EXPECT_STREQ(vekRestartMIDI(0), "DEDIVEZID has not been set up.");
    EXPECT_FALSE(vekIsMIDIPlaying("tune"));
    vekCloseMIDI(0);
    EXPECT_EQ(vekkitCleanup(), 1);
}

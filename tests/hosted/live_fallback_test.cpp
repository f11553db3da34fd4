// A live display that cannot be had: the platform says why once on stderr
// and carries on headless, every pixel drawn still readable. CTest runs this
// with VEKHOST_DISPLAY set to headless (no word), to sdl without a display
// and to a back end it does not know.
#include <vekhost.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(LiveFallback, SaysWhyOnceAndDrawsHeadless)
{
    const char *asked = std::getenv("VEKHOST_DISPLAY");
    const bool complaint = asked && *asked && std::string(asked) != "headless";
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "LiveFallback";
    ASSERT_TRUE(RegisterClassA(&wc));
    testing::internal::CaptureStderr();
    for (int i = 0; i < 2; i++) {
        HWND w = CreateWindowExA(0, "LiveFallback", "live", WS_POPUP | WS_VISIBLE, 0, 0, 40, 30, nullptr, nullptr,
                                 nullptr, nullptr);
        HDC dc = GetDC(w);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        const RECT r{5, 5, 20, 20};
        FillRect(dc, &r, red);
        EXPECT_TRUE(GdiFlush());
        EXPECT_EQ(GetPixel(dc, 10, 10), RGB(255, 0, 0));
        EXPECT_EQ(GetPixel(dc, 30, 25), RGB(0, 0, 0));
        ReleaseDC(w, dc);
        DeleteObject(red);
        DestroyWindow(w);
    }
    const std::string said = testing::internal::GetCapturedStderr();
    size_t times = 0;
    for (size_t at = said.find("windows are not shown"); at != std::string::npos;
         at = said.find("windows are not shown", at + 1))
        times++;
    EXPECT_EQ(times, complaint ? 1u : 0u) << said;
    UnregisterClassA("LiveFallback", nullptr);
}

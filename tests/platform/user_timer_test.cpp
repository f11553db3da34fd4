// Timers: WM_TIMER at the period asked for, measured over many ticks; a
// TIMERPROC called by DispatchMessageA; at most one WM_TIMER waiting per
// timer however late the reader; nothing after KillTimer.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>

namespace {

int windowTicks = 0, procTicks = 0;

LRESULT CALLBACK countingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == 7) windowTicks++;
    return DefWindowProcA(window, message, wParam, lParam);
}

void CALLBACK onTick(HWND, UINT message, UINT_PTR, DWORD)
{
    if (message == WM_TIMER) procTicks++;
}

struct TimerWindow {
    HWND window;
    TimerWindow()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = countingProc;
        wc.lpszClassName = "TimerTest";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, "TimerTest", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    }
    ~TimerWindow()
    {
        DestroyWindow(window);
        UnregisterClassA("TimerTest", nullptr);
    }
};

TEST(Timers, FireAtTheirPeriodOverManyTicks)
{
    TimerWindow t;
    windowTicks = procTicks = 0;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_NE(SetTimer(t.window, 7, 20, nullptr), 0u);
    const UINT_PTR thread = SetTimer(nullptr, 0, 50, onTick);
    ASSERT_NE(thread, 0u);
    MSG msg;
    while (windowTicks < 50 && GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    // Never early; late by at most a timer tick of the system (15.6 ms on
    // Windows) and some room for a busy machine, on average.
    EXPECT_GE(ms / 50, 20 - 1);
    EXPECT_LE(ms / 50, 20 * 1.5 + 16);
    EXPECT_GE(procTicks, static_cast<int>(ms / (50 * 1.5 + 16)) - 1) << ms << " ms";
    EXPECT_LE(procTicks, static_cast<int>(ms / 50) + 1) << ms << " ms";
    EXPECT_TRUE(KillTimer(t.window, 7));
    EXPECT_TRUE(KillTimer(nullptr, thread));
}

TEST(Timers, OneMessageWaitsHoweverLateTheReaderAndNoneAfterKillTimer)
{
    TimerWindow t;
    ASSERT_NE(SetTimer(t.window, 3, 10, nullptr), 0u);
    Sleep(120);
    MSG msg;
    int waiting = 0;
    while (PeekMessageA(&msg, t.window, WM_TIMER, WM_TIMER, PM_REMOVE)) waiting++;
    EXPECT_EQ(waiting, 1);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_TRUE(KillTimer(t.window, 3));
    Sleep(30);
    EXPECT_FALSE(PeekMessageA(&msg, t.window, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_FALSE(KillTimer(t.window, 3));
}

}  // namespace

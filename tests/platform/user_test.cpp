// The message queue as the library and the demo use it: posted in order,
// filters, WM_QUIT, sent messages. Window geometry is checked by the dialog
// centring tests, posts from another thread by the MIDI tests (the
// sequencer notifies from its own thread).
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

// The messages a recording window's procedure got, and the one it answers
// with answer.
std::vector<UINT> seen;
UINT answered = 0;
LRESULT answer = 0;
LPARAM lastSize = 0;  // lParam of the last WM_SIZE

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    seen.push_back(message);
    if (message == WM_SIZE) lastSize = lParam;
    if (message == answered) return answer;
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND recordingWindow()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = recordingProc;
    wc.lpszClassName = "VekTestQueue";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 30, 10, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

TEST(UserMessages, QueueOrderFiltersAndQuit)
{
    HWND a = recordingWindow(), b = recordingWindow();
    EXPECT_EQ(lastSize, MAKELPARAM(30, 10)) << "creation reports the client's width and height";
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    PostMessageA(a, WM_USER + 1, 1, 10);
    PostMessageA(b, WM_USER + 2, 2, 20);
    PostMessageA(nullptr, WM_USER + 3, 3, 30);  // for the thread itself
    PostMessageA(a, WM_USER + 4, 4, 40);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 1u) << "peeking leaves the message";
    ASSERT_TRUE(PeekMessageA(&msg, b, 0, 0, PM_REMOVE)) << "only b's messages";
    EXPECT_EQ(msg.wParam, 2u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 3, WM_USER + 4, PM_REMOVE)) << "a range of messages";
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.lParam, 30);
    EXPECT_FALSE(PeekMessageA(&msg, b, 0, 0, PM_REMOVE));
    // The quit comes after every posted message, and once.
    PostQuitMessage(7);
    PostMessageA(a, WM_USER + 5, 5, 0);
    for (WPARAM want : {1u, 4u, 5u}) {
        ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
        EXPECT_EQ(msg.wParam, want);
    }
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, UINT{WM_QUIT});
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE) << "WM_QUIT ends the loop";
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

    // A sent message calls the procedure at once, past the queue.
    seen.clear();
    answered = WM_USER + 9;
    answer = 1234;
    EXPECT_EQ(SendMessageA(a, WM_USER + 9, 5, 6), 1234);
    EXPECT_EQ(seen, std::vector<UINT>{WM_USER + 9});
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    // Messages posted to a window are dropped when it goes.
    PostMessageA(a, WM_USER, 0, 0);
    DestroyWindow(a);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_REMOVE));
    DestroyWindow(b);
}

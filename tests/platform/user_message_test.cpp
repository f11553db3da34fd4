// Messages: posting and reading in order, filters, WM_QUIT, sending, and
// messages between threads.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "platform/user_test_support.h"

using usertest::log;
using usertest::RecordingClass;

namespace {

// Reads and dispatches what is queued now.
void pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

std::vector<std::pair<UINT, WPARAM>> userMessages(HWND window)
{
    std::vector<std::pair<UINT, WPARAM>> out;
    for (const usertest::Seen &s : log())
        if (s.window == window && s.message >= WM_USER) out.emplace_back(s.message, s.wParam);
    return out;
}

}  // namespace

TEST(UserMessages, PostedMessagesArriveInOrder)
{
    RecordingClass cls("VekTestOrder");
    HWND window = cls.create(WS_POPUP);
    pump();
    log().clear();
    for (WPARAM i = 0; i < 5; i++) ASSERT_TRUE(PostMessageA(window, WM_USER + (i % 2), i, static_cast<LPARAM>(i * 10)));
    MSG msg;
    for (WPARAM i = 0; i < 5; i++) {
        ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
        EXPECT_EQ(msg.hwnd, window);
        EXPECT_EQ(msg.message, (UINT)(WM_USER + (i % 2)));
        EXPECT_EQ(msg.wParam, i);
        EXPECT_EQ(msg.lParam, static_cast<LPARAM>(i * 10));
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(userMessages(window), (std::vector<std::pair<UINT, WPARAM>>{
                                        {WM_USER, 0}, {WM_USER + 1, 1}, {WM_USER, 2}, {WM_USER + 1, 3}, {WM_USER, 4}}));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "nothing left";
    DestroyWindow(window);
}

TEST(UserMessages, PeekingLeavesMessagesAndFiltersChoose)
{
    RecordingClass cls("VekTestFilters");
    HWND a = cls.create(WS_POPUP);
    HWND b = cls.create(WS_POPUP);
    pump();
    PostMessageA(a, WM_USER + 1, 1, 0);
    PostMessageA(b, WM_USER + 2, 2, 0);
    PostMessageA(nullptr, WM_USER + 3, 3, 0);  // a message for the thread itself
    PostMessageA(a, WM_USER + 4, 4, 0);

    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 1u) << "still there";

    ASSERT_TRUE(PeekMessageA(&msg, b, 0, 0, PM_REMOVE)) << "only b's messages";
    EXPECT_EQ(msg.wParam, 2u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 3, WM_USER + 4, PM_REMOVE)) << "a range of messages";
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_FALSE(PeekMessageA(&msg, b, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, a, WM_USER + 4, WM_USER + 4, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 4u);
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    DestroyWindow(a);
    DestroyWindow(b);
}

TEST(UserMessages, QuitComesAfterThePostedMessages)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    PostMessageA(nullptr, WM_USER + 1, 0, 0);
    PostQuitMessage(7);
    PostMessageA(nullptr, WM_USER + 2, 0, 0);
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, (UINT)(WM_USER + 1));
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, (UINT)(WM_USER + 2)) << "posted after the quit, read before it";
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_QUIT);
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE) << "WM_QUIT ends the loop";
    EXPECT_EQ(msg.message, (UINT)WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "it comes once";
}

TEST(UserMessages, SendMessageCallsTheProcedureAtOnce)
{
    RecordingClass cls("VekTestSend");
    HWND window = cls.create(WS_POPUP);
    log().clear();
    usertest::answer() = usertest::Answer{WM_USER + 9, 1234};
    EXPECT_EQ(SendMessageA(window, WM_USER + 9, 5, 6), 1234);
    ASSERT_EQ(log().size(), 1u);
    EXPECT_EQ(log()[0].wParam, 5u);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) << "nothing went through the queue";

    // A posted message is dropped when its window goes.
    PostMessageA(window, WM_USER, 0, 0);
    DestroyWindow(window);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_REMOVE));
}

TEST(UserMessages, OtherThreadsPostAndSendThroughTheOwnersQueue)
{
    RecordingClass cls("VekTestThreads");
    HWND window = cls.create(WS_POPUP);
    pump();
    log().clear();
    usertest::answer() = usertest::Answer{WM_USER + 2, 99};
    std::atomic<LRESULT> sent{0};
    std::thread other([&] {
        PostMessageA(window, WM_USER + 1, 11, 0);
        sent = SendMessageA(window, WM_USER + 2, 22, 0);  // waits for the owner to read its queue
        PostMessageA(window, WM_USER + 3, 33, 0);
    });
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        DispatchMessageA(&msg);
        if (msg.message == WM_USER + 3) break;
    }
    other.join();
    EXPECT_EQ(sent.load(), 99);
    // A sent message is answered before posted ones are read, so it may come
    // before the message posted ahead of it; the posted ones keep their order.
    const auto seen = userMessages(window);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen.back(), (std::pair<UINT, WPARAM>{WM_USER + 3, 33}));
    EXPECT_TRUE(std::find(seen.begin(), seen.end(), std::pair<UINT, WPARAM>{WM_USER + 2, 22}) != seen.end());
    for (const usertest::Seen &s : log()) EXPECT_EQ(s.thread, std::this_thread::get_id()) << "the owner ran it";
    DestroyWindow(window);
}

namespace {

// WM_USER + 1 asks the window in lParam (another thread's) for a number
// and answers one more; WM_USER + 2 answers 41.
LRESULT CALLBACK askingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER + 1) return SendMessageA(reinterpret_cast<HWND>(lParam), WM_USER + 2, 0, 0) + 1;
    if (message == WM_USER + 2) return 41;
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

TEST(UserMessages, ThreadsSendingToEachOtherBothGetAnswers)
{
    WNDCLASSA wc{};
    wc.style = CS_GLOBALCLASS;
    wc.lpfnWndProc = askingProc;
    wc.lpszClassName = "VekTestAsking";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND mine = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    std::atomic<bool> done{false};
    std::atomic<LRESULT> answer{0};
    std::thread other([&] {
        HWND theirs = CreateWindowExA(0, "VekTestAsking", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        // The owner of `mine` sends back to `theirs` while this thread waits.
        answer = SendMessageA(mine, WM_USER + 1, 0, reinterpret_cast<LPARAM>(theirs));
        DestroyWindow(theirs);
        done = true;
    });
    MSG msg;
    while (!done)
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    other.join();
    EXPECT_EQ(answer.load(), 42);
    DestroyWindow(mine);
    UnregisterClassA(wc.lpszClassName, nullptr);
}

TEST(UserMessages, TranslateMessageMakesCharacters)
{
    RecordingClass cls("VekTestKeys");
    HWND window = cls.create(WS_POPUP);
    pump();
    const MSG key{window, WM_KEYDOWN, 'Q', 0x00100001, 0, POINT{0, 0}};
    EXPECT_TRUE(TranslateMessage(&key));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, window, WM_CHAR, WM_CHAR, PM_REMOVE));
    EXPECT_EQ(msg.wParam, (WPARAM)'q');
    const MSG other{window, WM_USER, 0, 0, 0, POINT{0, 0}};
    EXPECT_FALSE(TranslateMessage(&other));
    DestroyWindow(window);
}

TEST(UserMessages, BadWindowsFailCleanly)
{
    HWND dead;
    {
        RecordingClass cls("VekTestDead");
        dead = cls.create(WS_POPUP);
        DestroyWindow(dead);
    }
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(PostMessageA(dead, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(SendMessageA(dead, WM_USER, 0, 0), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
    MSG msg;
    PostMessageA(nullptr, WM_USER, 0, 0);
    EXPECT_FALSE(PeekMessageA(&msg, dead, 0, 0, PM_REMOVE)) << "no such window to read from";
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "the thread's message stays for others";
    const MSG toDead{dead, WM_USER, 0, 0, 0, POINT{0, 0}};
    EXPECT_EQ(DispatchMessageA(&toDead), 0);
}

// Window manager calls the library and its tests rely on: classes, the
// creation messages, geometry, client pixels read back, the message queue
// (posted in order, filters, WM_QUIT, sent messages, posts from another
// thread as the MIDI sequencer makes them) and rectangle helpers.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/user_test_support.h"

using usertest::log;
using usertest::messagesAmong;
using usertest::RecordingClass;

namespace {

void pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

}  // namespace

TEST(UserWindow, ClassesCreationAndGeometry)
{
    RecordingClass cls("VekTestCreate");
    SetLastError(0xdeadbeef);
    WNDCLASSA twice{};
    twice.lpfnWndProc = DefWindowProcA;
    twice.lpszClassName = "VEKTESTCREATE";
    EXPECT_EQ(RegisterClassA(&twice), 0) << "class names ignore case";
    EXPECT_EQ(GetLastError(), DWORD{ERROR_CLASS_ALREADY_EXISTS});

    int cookie = 42;
    HWND window = cls.create(WS_POPUP | WS_CAPTION, nullptr, 30, 40, 200, 100, &cookie);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(messagesAmong({WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}),
              (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
    RECT w{}, c{};
    GetWindowRect(window, &w);
    GetClientRect(window, &c);
    EXPECT_EQ(w.left, 30);
    EXPECT_EQ(w.bottom, 140);
    EXPECT_LT(c.bottom, 100) << "the caption takes its share";
    for (const usertest::Seen &s : log()) {
        if (s.message == WM_CREATE) {
            EXPECT_EQ(s.create.lpCreateParams, &cookie);
            EXPECT_EQ(s.create.cx, 200);
            EXPECT_STREQ(s.create.lpszName, "title");
        }
        if (s.message == WM_SIZE) {
            EXPECT_EQ(s.lParam, static_cast<LPARAM>(c.bottom << 16 | c.right));
        }
    }
    char title[16] = {};
    EXPECT_EQ(GetWindowTextA(window, title, sizeof title), 5) << "DefWindowProcA took it from WM_NCCREATE";

    // Moving and sizing: the new client size comes with WM_SIZE.
    HWND popup = cls.create(WS_POPUP, nullptr, 0, 0, 100, 80);
    log().clear();
    ASSERT_TRUE(SetWindowPos(popup, nullptr, 15, 25, 120, 90, SWP_NOZORDER | SWP_NOACTIVATE));
    GetClientRect(popup, &c);
    GetWindowRect(popup, &w);
    EXPECT_EQ(c.right, 120) << "a popup without a border is all client";
    EXPECT_EQ(w.top, 25);
    EXPECT_EQ(messagesAmong({WM_SIZE}).size(), 1u);
    // A child sits in its parent's client coordinates.
    HWND child = cls.create(WS_CHILD, popup, 7, 9, 40, 30);
    EXPECT_EQ(GetParent(child), popup);
    GetWindowRect(child, &w);
    EXPECT_EQ(w.left, 15 + 7);

    // A window procedure refusing WM_CREATE destroys the window.
    log().clear();
    usertest::answer() = usertest::Answer{WM_CREATE, -1};
    EXPECT_EQ(cls.create(), nullptr);
    EXPECT_EQ(messagesAmong({WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}),
              (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_NCDESTROY}));
    usertest::answer() = usertest::Answer{};
    EXPECT_TRUE(DestroyWindow(popup));
    EXPECT_FALSE(IsWindow(child)) << "children go with their parent";
    DestroyWindow(window);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetClientRect(window, &c));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_WINDOW_HANDLE});
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreateWindowExA(0, "NoSuchVekClass", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_TRUE(GetLastError() == ERROR_CANNOT_FIND_WND_CLASS || GetLastError() == ERROR_CLASS_DOES_NOT_EXIST)
        << "Windows and the hosted platform say the first, Wine the second";
}

TEST(UserWindow, ClientPixelsReadBackThroughGdi)
{
    RecordingClass cls("VekTestPixels");
    HWND window = cls.create(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, 40, 30);
    HDC dc = GetDC(window);
    RECT clip{};
    EXPECT_NE(GetClipBox(dc, &clip), ERROR);
    EXPECT_EQ(clip.right, 40);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT r{10, 5, 20, 15};
    FillRect(dc, &r, red);
    DeleteObject(red);
    EXPECT_EQ(GetPixel(dc, 10, 5), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 19, 14), RGB(255, 0, 0));
    EXPECT_NE(GetPixel(dc, 20, 14), RGB(255, 0, 0));
    // Copied out through a memory DC.
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 40, 30);
    HGDIOBJ old = SelectObject(mem, bitmap);
    ASSERT_TRUE(BitBlt(mem, 0, 0, 40, 30, dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(mem, 19, 14), RGB(255, 0, 0));
    SelectObject(mem, old);
    DeleteObject(bitmap);
    DeleteDC(mem);
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    DestroyWindow(window);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetDC(window), nullptr) << "the window is gone";
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_WINDOW_HANDLE});
}

TEST(UserMessages, QueueOrderFiltersAndQuit)
{
    RecordingClass cls("VekTestQueue");
    HWND a = cls.create(WS_POPUP), b = cls.create(WS_POPUP);
    pump();
    PostMessageA(a, WM_USER + 1, 1, 10);
    PostMessageA(b, WM_USER + 2, 2, 20);
    PostMessageA(nullptr, WM_USER + 3, 3, 30);  // for the thread itself
    PostMessageA(a, WM_USER + 4, 4, 40);
    MSG msg;
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
    log().clear();
    usertest::answer() = usertest::Answer{WM_USER + 9, 1234};
    EXPECT_EQ(SendMessageA(a, WM_USER + 9, 5, 6), 1234);
    ASSERT_EQ(log().size(), 1u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    // Messages posted to a window are dropped when it goes; dead windows fail.
    PostMessageA(a, WM_USER, 0, 0);
    DestroyWindow(a);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_REMOVE));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(PostMessageA(a, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_WINDOW_HANDLE});
    EXPECT_EQ(SendMessageA(a, WM_USER, 0, 0), 0);

    // Posts from another thread arrive in order and run on the owner's thread.
    log().clear();
    std::thread other([&] {
        for (WPARAM i = 0; i < 5; i++) PostMessageA(b, WM_USER + 1, i, 0);
    });
    other.join();
    pump();
    std::vector<WPARAM> seen;
    for (const usertest::Seen &s : log()) {
        seen.push_back(s.wParam);
        EXPECT_EQ(s.thread, std::this_thread::get_id());
    }
    EXPECT_EQ(seen, (std::vector<WPARAM>{0, 1, 2, 3, 4}));
    DestroyWindow(b);
}

TEST(UserRect, Helpers)
{
    RECT r{};
    EXPECT_TRUE(SetRect(&r, 1, 2, 5, 6));
    EXPECT_TRUE(OffsetRect(&r, 10, -2));
    const RECT moved{11, 0, 15, 4};
    EXPECT_TRUE(EqualRect(&r, &moved));
    const RECT flat{5, 5, 9, 5}, inverted{9, 0, 5, 4};
    EXPECT_FALSE(IsRectEmpty(&r));
    EXPECT_TRUE(IsRectEmpty(&flat));
    EXPECT_TRUE(IsRectEmpty(&inverted));
    EXPECT_FALSE(SetRect(nullptr, 0, 0, 1, 1));
    EXPECT_FALSE(OffsetRect(nullptr, 1, 1));
}

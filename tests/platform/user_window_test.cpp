// Windows: classes, creation and destruction with their messages, geometry,
// window data, and client pixels read back through GDI.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/user_test_support.h"

using usertest::log;
using usertest::messagesAmong;
using usertest::RecordingClass;

namespace {

LRESULT CALLBACK plainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

TEST(UserWindow, ClassesRegisterOnceAndLeaveOnlyWithoutWindows)
{
    WNDCLASSA wc{};
    wc.style = CS_GLOBALCLASS;
    wc.lpfnWndProc = plainProc;
    wc.lpszClassName = "VekTestOnce";
    ATOM atom = RegisterClassA(&wc);
    ASSERT_NE(atom, 0);
    SetLastError(0xdeadbeef);
    wc.lpszClassName = "VEKTESTONCE";
    EXPECT_EQ(RegisterClassA(&wc), 0) << "class names ignore case";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_CLASS_ALREADY_EXISTS);

    WNDCLASSA info{};
    EXPECT_TRUE(GetClassInfoA(nullptr, "vektestonce", &info));
    EXPECT_EQ(info.lpfnWndProc, plainProc);

    HWND window = CreateWindowExA(0, MAKEINTATOM(atom), "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr) << "a class may be named by its atom";
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(UnregisterClassA("VekTestOnce", nullptr));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_CLASS_HAS_WINDOWS);
    DestroyWindow(window);
    EXPECT_TRUE(UnregisterClassA("VekTestOnce", nullptr));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(UnregisterClassA("VekTestOnce", nullptr));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_CLASS_DOES_NOT_EXIST);
}

TEST(UserWindow, CreationFailsCleanlyForBadArguments)
{
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreateWindowExA(0, "NoSuchVekClass", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
    const DWORD error = GetLastError();
    EXPECT_TRUE(error == ERROR_CANNOT_FIND_WND_CLASS || error == ERROR_CLASS_DOES_NOT_EXIST)
        << error << " (Windows and the hosted platform say ERROR_CANNOT_FIND_WND_CLASS, Wine the other)";

    RecordingClass cls("VekTestBadCreate");
    SetLastError(0xdeadbeef);
    EXPECT_EQ(cls.create(WS_OVERLAPPED, (HWND)(ULONG_PTR)0x7FFF0001), nullptr) << "no such parent";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(cls.create(WS_CHILD), nullptr) << "a child needs a parent";
    EXPECT_TRUE(log().empty()) << "no window procedure ran";
}

TEST(UserWindow, CreationSendsNcCreateAndCreateWithTheParameters)
{
    RecordingClass cls("VekTestCreate");
    int cookie = 42;
    HWND window = cls.create(WS_POPUP | WS_CAPTION, nullptr, 30, 40, 200, 100, &cookie);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(messagesAmong({WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}),
              (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
    for (const usertest::Seen &s : log()) {
        if (s.message != WM_CREATE) continue;
        const CREATESTRUCTA *cs = &s.create;
        EXPECT_EQ(s.window, window);
        EXPECT_EQ(cs->lpCreateParams, &cookie);
        EXPECT_EQ(cs->x, 30);
        EXPECT_EQ(cs->y, 40);
        EXPECT_EQ(cs->cx, 200);
        EXPECT_EQ(cs->cy, 100);
        EXPECT_STREQ(cs->lpszName, "title");
        EXPECT_STREQ(cs->lpszClass, "VekTestCreate");
        EXPECT_EQ((DWORD)cs->style & WS_CAPTION, (DWORD)WS_CAPTION);
    }
    RECT client{};
    GetClientRect(window, &client);
    for (const usertest::Seen &s : log())
        if (s.message == WM_SIZE) {
            EXPECT_EQ(LOWORD(s.lParam), client.right);
            EXPECT_EQ(HIWORD(s.lParam), client.bottom);
        }
    char title[16] = {};
    EXPECT_EQ(GetWindowTextA(window, title, sizeof title), 5);
    EXPECT_STREQ(title, "title") << "DefWindowProcA took it from WM_NCCREATE";
    EXPECT_TRUE(SetWindowTextA(window, "renamed"));
    EXPECT_EQ(GetWindowTextA(window, title, 4), 3) << "cut to the buffer";
    EXPECT_STREQ(title, "ren");
    DestroyWindow(window);
}

TEST(UserWindow, CreateAnsweringMinusOneDestroysTheWindow)
{
    RecordingClass cls("VekTestRefuse");
    usertest::answer() = usertest::Answer{WM_CREATE, -1};
    EXPECT_EQ(cls.create(), nullptr);
    EXPECT_EQ(messagesAmong({WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}),
              (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_NCDESTROY}))
        << "a window that never lived gets no WM_DESTROY";
    ASSERT_FALSE(log().empty());
    EXPECT_FALSE(IsWindow(log().front().window));

    log().clear();
    usertest::answer() = usertest::Answer{WM_NCCREATE, FALSE};
    EXPECT_EQ(cls.create(), nullptr) << "nor does one whose WM_NCCREATE answers FALSE";
    EXPECT_EQ(messagesAmong({WM_CREATE}), std::vector<UINT>{});
}

TEST(UserWindow, DestroyingAParentDestroysItsChildren)
{
    RecordingClass cls("VekTestFamily");
    HWND parent = cls.create();
    HWND child = cls.create(WS_CHILD | WS_VISIBLE, parent, 5, 5, 50, 50);
    HWND grandchild = cls.create(WS_CHILD, child, 1, 1, 10, 10);
    ASSERT_NE(grandchild, nullptr);
    EXPECT_EQ(GetParent(child), parent);
    EXPECT_EQ(GetParent(grandchild), child);
    EXPECT_EQ(GetParent(parent), nullptr);
    log().clear();
    EXPECT_TRUE(DestroyWindow(parent));
    std::vector<std::pair<HWND, UINT>> seen;
    for (const usertest::Seen &s : log())
        if (s.message == WM_DESTROY || s.message == WM_NCDESTROY) seen.emplace_back(s.window, s.message);
    const std::vector<std::pair<HWND, UINT>> expect = {
        {parent, WM_DESTROY},        {child, WM_DESTROY},   {grandchild, WM_DESTROY},
        {grandchild, WM_NCDESTROY},  {child, WM_NCDESTROY}, {parent, WM_NCDESTROY},
    };
    EXPECT_EQ(seen, expect);
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(grandchild));
    EXPECT_FALSE(DestroyWindow(parent)) << "nothing left to destroy";
}

TEST(UserWindow, WindowAndClientRectanglesAgree)
{
    RecordingClass cls("VekTestRects");
    const DWORD style = WS_OVERLAPPEDWINDOW;
    HWND window = cls.create(style, nullptr, 10, 20, 300, 200);
    RECT w{}, c{};
    ASSERT_TRUE(GetWindowRect(window, &w));
    EXPECT_EQ(w.left, 10);
    EXPECT_EQ(w.top, 20);
    EXPECT_EQ(w.right, 310);
    EXPECT_EQ(w.bottom, 220);
    ASSERT_TRUE(GetClientRect(window, &c));
    EXPECT_EQ(c.left, 0);
    EXPECT_EQ(c.top, 0);
    EXPECT_LT(c.right, 300) << "the frame takes its share";
    // The frame around the client area makes up the window rectangle.
    RECT framed = c;
    ASSERT_TRUE(AdjustWindowRectEx(&framed, style, FALSE, 0));
    EXPECT_EQ(framed.right - framed.left, 300);
    EXPECT_EQ(framed.bottom - framed.top, 200);

    // A child sits in its parent's client coordinates.
    HWND child = cls.create(WS_CHILD, window, 7, 9, 40, 30);
    RECT cw{};
    ASSERT_TRUE(GetWindowRect(child, &cw));
    POINT origin{0, 0};
    ASSERT_TRUE(ClientToScreen(window, &origin));
    EXPECT_EQ(cw.left, origin.x + 7);
    EXPECT_EQ(cw.top, origin.y + 9);
    EXPECT_EQ(cw.right - cw.left, 40);
    POINT back{cw.left, cw.top};
    ASSERT_TRUE(ScreenToClient(window, &back));
    EXPECT_EQ(back.x, 7);
    EXPECT_EQ(back.y, 9);
    DestroyWindow(window);

    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetClientRect(window, &c));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
}

TEST(UserWindow, SetWindowPosMovesSizesAndTells)
{
    RecordingClass cls("VekTestMove");
    HWND window = cls.create(WS_POPUP, nullptr, 0, 0, 100, 80);
    log().clear();
    ASSERT_TRUE(SetWindowPos(window, nullptr, 0, 0, 120, 90, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
    RECT c{};
    GetClientRect(window, &c);
    EXPECT_EQ(c.right, 120) << "a popup without border is all client";
    EXPECT_EQ(c.bottom, 90);
    bool sized = false;
    for (const usertest::Seen &s : log())
        if (s.message == WM_SIZE) sized = LOWORD(s.lParam) == 120 && HIWORD(s.lParam) == 90;
    EXPECT_TRUE(sized) << "WM_SIZE with the new client size";
    EXPECT_EQ(messagesAmong({WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}),
              (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}));

    ASSERT_TRUE(MoveWindow(window, 15, 25, 50, 40, FALSE));
    RECT w{};
    GetWindowRect(window, &w);
    EXPECT_EQ(w.left, 15);
    EXPECT_EQ(w.top, 25);
    EXPECT_EQ(w.right, 65);
    EXPECT_EQ(w.bottom, 65);
    DestroyWindow(window);
    EXPECT_FALSE(SetWindowPos(window, nullptr, 0, 0, 1, 1, 0));
}

TEST(UserWindow, ShowWindowReportsWhatWasVisible)
{
    RecordingClass cls("VekTestShow");
    HWND window = cls.create(WS_OVERLAPPED);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(messagesAmong({WM_SIZE, WM_MOVE}), std::vector<UINT>{}) << "an overlapped window is sized when shown";
    log().clear();
    EXPECT_FALSE(ShowWindow(window, SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(messagesAmong({WM_SHOWWINDOW, WM_SIZE, WM_MOVE}), (std::vector<UINT>{WM_SHOWWINDOW, WM_SIZE, WM_MOVE}));
    EXPECT_TRUE(ShowWindow(window, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(window));

    HWND shown = cls.create(WS_OVERLAPPED | WS_VISIBLE);
    EXPECT_TRUE(IsWindowVisible(shown)) << "WS_VISIBLE shows the window when it is made";
    DestroyWindow(shown);
    DestroyWindow(window);
}

TEST(UserWindow, WindowDataHoldsUserValuesProceduresAndExtraBytes)
{
    RecordingClass cls("VekTestLongs", 2 * sizeof(LONG_PTR));
    HWND window = cls.create();
    EXPECT_EQ(SetWindowLongPtrA(window, GWLP_USERDATA, 1234), 0);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), 1234);
    EXPECT_EQ(SetWindowLongPtrA(window, 0, -5), 0);
    EXPECT_EQ(SetWindowLongPtrA(window, sizeof(LONG_PTR), 77), 0);
    EXPECT_EQ(GetWindowLongPtrA(window, 0), -5);
    EXPECT_EQ(GetWindowLongPtrA(window, sizeof(LONG_PTR)), 77);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetWindowLongPtrA(window, sizeof(LONG_PTR) + 1), 0) << "the value would not fit";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_INDEX);

    // Replacing the procedure: messages go to the new one, which may pass them on.
    const LONG_PTR old = SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(plainProc));
    EXPECT_EQ(old, reinterpret_cast<LONG_PTR>(usertest::recordingProc));
    log().clear();
    SendMessageA(window, WM_USER + 5, 0, 0);
    EXPECT_TRUE(log().empty());
    EXPECT_EQ(CallWindowProcA(reinterpret_cast<WNDPROC>(old), window, WM_USER + 6, 1, 2), 0);
    ASSERT_EQ(log().size(), 1u);
    EXPECT_EQ(log()[0].message, (UINT)(WM_USER + 6));

    HWND child = cls.create(WS_CHILD, window, 0, 0, 5, 5);
    EXPECT_TRUE(GetWindowLongPtrA(child, GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_HWNDPARENT), reinterpret_cast<LONG_PTR>(window));
    DestroyWindow(window);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
}

TEST(UserWindow, ClientPixelsReadBackThroughGdi)
{
    RecordingClass cls("VekTestPixels");
    HWND window = cls.create(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, 40, 30);
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    RECT clip{};
    EXPECT_NE(GetClipBox(dc, &clip), ERROR);
    EXPECT_EQ(clip.right, 40);
    EXPECT_EQ(clip.bottom, 30);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT r{10, 5, 20, 15};
    FillRect(dc, &r, red);
    DeleteObject(red);
    EXPECT_EQ(GetPixel(dc, 10, 5), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 19, 14), RGB(255, 0, 0));
    EXPECT_NE(GetPixel(dc, 20, 14), RGB(255, 0, 0));

    // Copied out through a memory DC and GetDIBits as 32-bit pixels.
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 40, 30);
    HGDIOBJ old = SelectObject(mem, bitmap);
    ASSERT_TRUE(BitBlt(mem, 0, 0, 40, 30, dc, 0, 0, SRCCOPY));
    SelectObject(mem, old);
    BITMAPINFOHEADER bi{};
    bi.biSize = sizeof bi;
    bi.biWidth = 40;
    bi.biHeight = -30;
    bi.biPlanes = 1;
    bi.biBitCount = 32;
    std::vector<DWORD> pixels(40 * 30);
    ASSERT_EQ(GetDIBits(mem, bitmap, 0, 30, pixels.data(), reinterpret_cast<BITMAPINFO *>(&bi), DIB_RGB_COLORS), 30);
    EXPECT_EQ(pixels[5 * 40 + 10] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(pixels[14 * 40 + 19] & 0xFFFFFF, 0xFF0000u);
    DeleteObject(bitmap);
    DeleteDC(mem);
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    DestroyWindow(window);

    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetDC(window), nullptr) << "the window is gone";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
}

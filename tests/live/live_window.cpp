// live_window: a window on a live display, driven from outside by
// live_window.py.
//   live_window pixels TITLE BITS  a display of BITS (8 or 32) bits per pixel; paints stripes of known
//                                  colours, prints "expect X Y RRGGBB" for pixels of each and "ready";
//                                  on "animate" from stdin (8 bits) animates the palette and prints again
//   live_window input TITLE        prints "ready", then one line per input, focus and close message
//                                  until the window is destroyed
#include <vekhost.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

constexpr int kW = 64, kH = 48, kStripes = 8, kStripeW = kW / kStripes;

// The stripes' colours, before and after the palette animation.
constexpr BYTE kColours[2][kStripes][3] = {
    {{200, 10, 10}, {10, 200, 10}, {10, 10, 200}, {250, 250, 20}, {20, 240, 240}, {90, 30, 160}, {255, 128, 0}, {1, 2, 3}},
    {{10, 10, 200}, {200, 10, 10}, {33, 66, 99}, {10, 200, 10}, {255, 255, 255}, {0, 0, 0}, {77, 144, 211}, {254, 1, 128}},
};

HWND makeWindow(const char *title, WNDPROC proc)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.lpszClassName = "LiveWindow";
    RegisterClassA(&wc);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT r{0, 0, kW, kH};
    AdjustWindowRect(&r, style, FALSE);
    HWND w = CreateWindowExA(0, "LiveWindow", title, style, 0, 0, r.right - r.left, r.bottom - r.top, nullptr,
                             nullptr, nullptr, nullptr);
    ShowWindow(w, SW_SHOW);
    return w;
}

int pixels(const char *title, int bits)
{
    vekhostSetScreen(640, 480, bits);
    HWND window = makeWindow(title, DefWindowProcA);
    HDC dc = GetDC(window);
    struct {
        WORD version, count;
        PALETTEENTRY entries[kStripes];
    } log{0x300, kStripes, {}};
    for (int i = 0; i < kStripes; i++)
        log.entries[i] = PALETTEENTRY{kColours[0][i][0], kColours[0][i][1], kColours[0][i][2], PC_RESERVED};
    HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE *>(&log));
    SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
    for (int i = 0; i < kStripes; i++) {
        const BYTE *c = kColours[0][i];
        HBRUSH brush = CreateSolidBrush(bits == 8 ? PALETTEINDEX(i) : RGB(c[0], c[1], c[2]));
        const RECT r{i * kStripeW, 0, (i + 1) * kStripeW, kH};
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    for (int round = 0; round < 2; round++) {
        GdiFlush();
        for (int i = 0; i < kStripes; i++)
            for (int x : {i * kStripeW, i * kStripeW + kStripeW - 1})
                for (int y : {0, kH / 2, kH - 1}) {
                    const BYTE *c = kColours[round][i];
                    std::printf("expect %d %d %02x%02x%02x\n", x, y, c[0], c[1], c[2]);
                }
        std::printf("ready\n");
        std::fflush(stdout);
        std::string line;
        if (!std::getline(std::cin, line) || line != "animate" || bits != 8) break;
        for (int i = 0; i < kStripes; i++)
            log.entries[i] = PALETTEENTRY{kColours[1][i][0], kColours[1][i][1], kColours[1][i][2], PC_RESERVED};
        AnimatePalette(palette, 0, kStripes, log.entries);
    }
    ReleaseDC(window, dc);
    DestroyWindow(window);
    DeleteObject(palette);
    return 0;
}

const char *nameOf(UINT message)
{
    switch (message) {
    case WM_KEYDOWN: return "keydown";
    case WM_KEYUP: return "keyup";
    case WM_SYSKEYDOWN: return "syskeydown";
    case WM_SYSKEYUP: return "syskeyup";
    case WM_CHAR: return "char";
    case WM_MOUSEMOVE: return "mousemove";
    case WM_LBUTTONDOWN: return "lbuttondown";
    case WM_LBUTTONUP: return "lbuttonup";
    case WM_RBUTTONDOWN: return "rbuttondown";
    case WM_RBUTTONUP: return "rbuttonup";
    case WM_MBUTTONDOWN: return "mbuttondown";
    case WM_MBUTTONUP: return "mbuttonup";
    case WM_ACTIVATEAPP: return "activateapp";
    case WM_ACTIVATE: return "activate";
    case WM_SETFOCUS: return "setfocus";
    case WM_KILLFOCUS: return "killfocus";
    case WM_CLOSE: return "close";
    case WM_DESTROY: return "destroy";
    default: return nullptr;
    }
}

// Key messages: key, lParam and whether GetKeyState sees Shift down; mouse
// messages: the point, the MK_ flags and the cursor as ScreenToClient
// gives it; the others: wParam.
LRESULT CALLBACK logging(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const char *name = nameOf(message);
    if (!name) return DefWindowProcA(window, message, wParam, lParam);
    if (message >= WM_KEYDOWN && message <= WM_SYSKEYUP && message != WM_CHAR) {
        std::printf("%s %02X %08lX %d\n", name, static_cast<unsigned>(wParam), static_cast<unsigned long>(lParam),
                    GetKeyState(VK_SHIFT) < 0);
    } else if (message >= WM_MOUSEMOVE && message <= WM_MBUTTONUP) {
        POINT cursor;
        GetCursorPos(&cursor);
        ScreenToClient(window, &cursor);
        std::printf("%s %d %d %X %ld %ld\n", name, static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam)),
                    static_cast<unsigned>(wParam), static_cast<long>(cursor.x), static_cast<long>(cursor.y));
    } else {
        std::printf("%s %X\n", name, static_cast<unsigned>(wParam));
    }
    std::fflush(stdout);
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

int input(const char *title)
{
    makeWindow(title, logging);
    GdiFlush();
    std::printf("ready\n");
    std::fflush(stdout);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    const std::string mode = argc > 2 ? argv[1] : "";
    if (mode == "pixels" && argc > 3) return pixels(argv[2], std::atoi(argv[3]));
    if (mode == "input") return input(argv[2]);
    std::fprintf(stderr, "usage: live_window pixels TITLE BITS | input TITLE\n");
    return 2;
}

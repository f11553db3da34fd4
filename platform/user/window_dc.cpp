// Drawing in windows: GetDC and ReleaseDC, FillRect, the system colours.
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <mutex>
#include <utility>

#include "gdi/user_services.h"
#include "user/nothing_shown.h"
#include "user/user_state.h"

using namespace vek::user;

namespace {

// The classic Windows scheme; every colour is one of the 20 static colours,
// so it shows exactly on a palette display.
constexpr std::array<COLORREF, COLOR_BTNHIGHLIGHT + 1> kSysColors = {
    RGB(192, 192, 192),  // COLOR_SCROLLBAR
    RGB(0, 128, 128),    // COLOR_BACKGROUND
    RGB(0, 0, 128),      // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(192, 192, 192),  // COLOR_ACTIVEBORDER
    RGB(192, 192, 192),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(0, 0, 128),      // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(192, 192, 192),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(192, 192, 192),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
};

}  // namespace

HDC WINAPI GetDC(HWND window)
{
    VEKHOST_CALL(Channel::user, window);
    if (!window) return vek::gdi::createWindowDC(nullptr, nullptr);
    std::shared_ptr<vek::gdi::Surface> surface;
    {
        Lock lock;
        Window *w = findWindow(window);
        if (!w) return fail(ERROR_INVALID_WINDOW_HANDLE, HDC{}, "no such window");
        surface = w->surface;
    }
    noteDCTaken(window);
    return vek::gdi::createWindowDC(window, surface);
}

int WINAPI ReleaseDC(HWND window, HDC dc)
{
    VEKHOST_CALL(Channel::user, window, dc);
    return vek::gdi::releaseWindowDC(window, dc) ? 1 : 0;
}

DWORD WINAPI GetSysColor(int index)
{
    return index >= 0 && index < static_cast<int>(kSysColors.size()) ? kSysColors[static_cast<size_t>(index)] : 0;
}

HBRUSH WINAPI GetSysColorBrush(int index)
{
    if (index < 0 || index >= static_cast<int>(kSysColors.size())) return nullptr;
    static std::array<HBRUSH, kSysColors.size()> brushes{};
    static std::once_flag made;
    std::call_once(made, [] {
        for (size_t i = 0; i < kSysColors.size(); i++) brushes[i] = vek::gdi::makeSystemBrush(kSysColors[i]);
    });
    return brushes[static_cast<size_t>(index)];
}

int WINAPI FillRect(HDC dc, const RECT *rect, HBRUSH brush)
{
    VEKHOST_CALL(Channel::user, dc, rect, brush);
    if (!rect) return fail(ERROR_INVALID_PARAMETER, 0);
    // A brush may be given as a system colour index plus one, as class
    // backgrounds often are.
    const auto value = reinterpret_cast<ULONG_PTR>(brush);
    if (value >= 1 && value <= kSysColors.size()) brush = GetSysColorBrush(static_cast<int>(value - 1));
    HGDIOBJ old = SelectObject(dc, brush);
    if (!old) return 0;
    // As on Windows, the rectangle is PatBlt's from its top-left corner by the
    // edges' differences, which for edges out of order is a negative extent:
    // from right + 1 to left. Worked out here in 64 bits and cut to 0 ..
    // INT_MAX, where every surface lies, so that the extents fit int.
    const auto span = [](LONG from, LONG to) {
        const int64_t a = to < from ? int64_t{to} + 1 : from, b = to < from ? int64_t{from} + 1 : to;
        return std::pair<int, int>(static_cast<int>(std::clamp<int64_t>(a, 0, INT32_MAX)),
                                   static_cast<int>(std::clamp<int64_t>(b, 0, INT32_MAX)));
    };
    const auto [left, right] = span(rect->left, rect->right);
    const auto [top, bottom] = span(rect->top, rect->bottom);
    if (right > left && bottom > top) PatBlt(dc, left, top, right - left, bottom - top, PATCOPY);
    SelectObject(dc, old);
    return 1;
}

// Centring a dialog on its parent window, kept on the screen.
#include <windows.h>

#include <vekkit/system.h>

namespace {

// Start of a span of length size centred on [low, high), moved back onto a
// screen of the given extent. The far edge wins: a span larger than the
// screen ends at its edge and starts before 0.
int centredStart(LONG low, LONG high, int size, int screen)
{
    int start = static_cast<int>(low + high - size) >> 1;
    if (start < 0) start = 0;
    if (start > screen - size) start = screen - size;
    return start;
}

}  // namespace

BOOL VEKAPI vekCenterDlg(HWND dialog)
{
    RECT box{}, around{};
    GetWindowRect(dialog, &box);
    // A dialog without a parent (or owner) is centred on the screen.
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    HWND parent = GetParent(dialog);
    if (!parent || !GetWindowRect(parent, &around)) SetRect(&around, 0, 0, screenWidth, screenHeight);

    const int x = centredStart(around.left, around.right, box.right - box.left, screenWidth);
    const int y = centredStart(around.top, around.bottom, box.bottom - box.top, screenHeight);
    return SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

// Window geometry and system metrics.
#include "user/geometry.h"

#include "gdi/user_services.h"

namespace vek::user {

RECT frameInsets(DWORD style, DWORD exStyle)
{
    int edge = 0;
    if (style & WS_THICKFRAME)
        edge = systemMetric(SM_CXFRAME);
    else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        edge = systemMetric(SM_CXDLGFRAME);
    else if (style & WS_BORDER)
        edge = systemMetric(SM_CXBORDER);
    if (exStyle & WS_EX_CLIENTEDGE) edge += systemMetric(SM_CXEDGE);
    const int caption = (style & WS_CAPTION) == WS_CAPTION ? systemMetric(SM_CYCAPTION) : 0;
    return RECT{edge, edge + caption, edge, edge};
}

RECT clientOf(const RECT &window, DWORD style, DWORD exStyle)
{
    const RECT in = frameInsets(style, exStyle);
    RECT c{window.left + in.left, window.top + in.top, window.right - in.right, window.bottom - in.bottom};
    // A window smaller than its frame has an empty client area.
    if (c.right < c.left) c.right = c.left;
    if (c.bottom < c.top) c.bottom = c.top;
    return c;
}

POINT clientOrigin(const Window &w)
{
    POINT p{w.client.left, w.client.top};
    for (const Window *up = findWindow(w.parent); up; up = findWindow(up->parent)) {
        p.x += up->client.left;
        p.y += up->client.top;
    }
    return p;
}

int systemMetric(int index)
{
    switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN: return gdi::displaySize().cx;
    case SM_CYSCREEN: return gdi::displaySize().cy;
    case SM_CYFULLSCREEN: return gdi::displaySize().cy - systemMetric(SM_CYCAPTION);
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return 16;
    case SM_CYCAPTION:
    case SM_CYMENU: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXMIN:
    case SM_CXMINTRACK: return 112;
    case SM_CYMIN:
    case SM_CYMINTRACK: return 27;
    default: return 0;
    }
}

}  // namespace vek::user

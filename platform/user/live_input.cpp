// Keyboard and mouse input of a live display, and the key state calls.
//
// Key messages carry the virtual key in wParam and, in lParam, as Win32
// lays it out: bits 0-15 the repeat count (1), 16-23 the scan code, 24 the
// extended-key flag, 29 Alt held, 30 the key was down before, 31 the key is
// being released. Mouse messages carry the client point in lParam (x low,
// y high, signed 16 bits each) and in wParam the MK_ flags of the buttons,
// Shift and Ctrl as they are after the event.
//
// Two key states are kept, as on Windows: the asynchronous one, which
// follows the events as they happen (GetAsyncKeyState), and one per thread,
// which follows the input messages the thread has read (GetKeyState).
#include <windows.h>

#include <mutex>

#include "user/live_display.h"

namespace vek::user {
namespace {

// Key state bits: down, and the low bit, which a press sets in the
// asynchronous state (pressed since GetAsyncKeyState asked) and flips in a
// thread's state (toggled).
constexpr BYTE kDown = 0x80;
constexpr BYTE kLow = 0x01;

// Typed text kept for TranslateMessage, at most this many key presses.
constexpr size_t kTypedKept = 64;

struct AsyncState {
    std::mutex lock;
    std::array<BYTE, 256> keys{};
    POINT cursor{0, 0};  // screen coordinates
};

AsyncState &async()
{
    static AsyncState *st = new AsyncState;  // never destroyed: the display's thread may outlive statics
    return *st;
}

// The left- or right-hand key behind a Shift, Ctrl or Alt message, else 0.
BYTE sideKey(BYTE vk, BYTE scan, bool extended)
{
    switch (vk) {
    case VK_SHIFT: return scan == 0x36 ? VK_RSHIFT : VK_LSHIFT;
    case VK_CONTROL: return extended ? VK_RCONTROL : VK_LCONTROL;
    case VK_MENU: return extended ? VK_RMENU : VK_LMENU;
    default: return 0;
    }
}

// Sets key vk (with its side key, if any) down or up in a key state table.
// A generic Shift, Ctrl or Alt stays down while either side is.
void setKey(std::array<BYTE, 256> &keys, BYTE vk, BYTE side, bool down, bool flipOnPress)
{
    const auto apply = [&](BYTE k, bool d) {
        BYTE &s = keys[k];
        if (d && !(s & kDown)) s = flipOnPress ? s ^ kLow : s | kLow;
        s = d ? s | kDown : s & ~kDown;
    };
    if (side) {
        apply(side, down);
        down = down || (keys[side ^ 1] & kDown);  // VK_LSHIFT ^ 1 == VK_RSHIFT, and so on
    }
    apply(vk, down);
}

WPARAM mouseFlags(const std::array<BYTE, 256> &keys)
{
    WPARAM f = 0;
    if (keys[VK_LBUTTON] & kDown) f |= MK_LBUTTON;
    if (keys[VK_RBUTTON] & kDown) f |= MK_RBUTTON;
    if (keys[VK_MBUTTON] & kDown) f |= MK_MBUTTON;
    if (keys[VK_SHIFT] & kDown) f |= MK_SHIFT;
    if (keys[VK_CONTROL] & kDown) f |= MK_CONTROL;
    return f;
}

// Puts an input message in its window's queue, with the text the key
// press typed for TranslateMessage when there is some. A mouse move not
// yet read gives way to the newer one, as on Windows.
void deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const char *typed = nullptr)
{
    std::shared_ptr<MessageQueue> queue;
    WNDPROC unused;
    if (!targetOf(window, queue, unused)) return;
    POINT cursor;
    GetCursorPos(&cursor);
    const MSG m{window, message, wParam, lParam, messageTime(), cursor};
    std::lock_guard<std::mutex> guard(queue->lock);
    std::deque<MSG> &input = queue->input;
    if (message == WM_MOUSEMOVE && !input.empty() && input.back().message == WM_MOUSEMOVE &&
        input.back().hwnd == window)
        input.back() = m;
    else
        input.push_back(m);
    if (typed && *typed) {
        if (queue->typed.size() == kTypedKept) queue->typed.pop_front();
        queue->typed.push_back(TypedText{m, typed});
    }
    queue->arrived.notify_all();
}

LPARAM clientPoint(POINT p) { return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)); }

// Notes where the mouse is: the client point on the screen.
void moveCursor(HWND window, POINT client)
{
    POINT screen = client;
    ClientToScreen(window, &screen);
    AsyncState &st = async();
    std::lock_guard<std::mutex> guard(st.lock);
    st.cursor = screen;
}

}  // namespace

void keyEvent(HWND window, Key key, bool down, bool repeat, const char *typed)
{
    AsyncState &st = async();
    bool was, alt, ctrl;
    {
        std::lock_guard<std::mutex> guard(st.lock);
        was = repeat || (st.keys[key.vk] & kDown);
        setKey(st.keys, key.vk, sideKey(key.vk, key.scan, key.extended), down, false);
        alt = st.keys[VK_MENU] & kDown;
        ctrl = st.keys[VK_CONTROL] & kDown;
    }
    // Keys pressed with Alt (but not with Ctrl, which makes AltGr), Alt
    // itself and F10 are system keys.
    const bool sys = ((alt || key.vk == VK_MENU) && !ctrl) || key.vk == VK_F10;
    const LPARAM lParam = static_cast<LPARAM>(1u | static_cast<DWORD>(key.scan) << 16 |
                                              static_cast<DWORD>(key.extended) << 24 | static_cast<DWORD>(alt) << 29 |
                                              static_cast<DWORD>(was || !down) << 30 | static_cast<DWORD>(!down) << 31);
    const UINT message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    deliver(window, message, key.vk, lParam, down ? typed : nullptr);
}

void textEvent(HWND window, const char *utf8)
{
    for (const char *c = utf8; *c; c++) deliver(window, WM_CHAR, static_cast<BYTE>(*c), 1);
}

void mouseMoveEvent(HWND window, POINT client)
{
    moveCursor(window, client);
    AsyncState &st = async();
    WPARAM flags;
    {
        std::lock_guard<std::mutex> guard(st.lock);
        flags = mouseFlags(st.keys);
    }
    deliver(window, WM_MOUSEMOVE, flags, clientPoint(client));
}

void mouseButtonEvent(HWND window, BYTE button, bool down, POINT client)
{
    UINT message;
    switch (button) {
    case VK_LBUTTON: message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
    case VK_RBUTTON: message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
    case VK_MBUTTON: message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
    default: return;
    }
    moveCursor(window, client);
    AsyncState &st = async();
    WPARAM flags;
    {
        std::lock_guard<std::mutex> guard(st.lock);
        setKey(st.keys, button, 0, down, false);
        flags = mouseFlags(st.keys);
    }
    deliver(window, message, flags, clientPoint(client));
}

void noteInputRead(MessageQueue &q, const MSG &m)
{
    const bool releasing = (static_cast<DWORD>(m.lParam) & 0x80000000u) != 0;
    switch (m.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        const BYTE vk = static_cast<BYTE>(m.wParam);
        const BYTE scan = static_cast<BYTE>(m.lParam >> 16);
        setKey(q.keys, vk, sideKey(vk, scan, (m.lParam >> 24) & 1), !releasing, true);
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: setKey(q.keys, VK_LBUTTON, 0, m.message == WM_LBUTTONDOWN, true); break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: setKey(q.keys, VK_RBUTTON, 0, m.message == WM_RBUTTONDOWN, true); break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: setKey(q.keys, VK_MBUTTON, 0, m.message == WM_MBUTTONDOWN, true); break;
    default: break;
    }
}

bool takeTypedText(MessageQueue &q, const MSG &key, std::string &text)
{
    for (auto it = q.typed.begin(); it != q.typed.end(); ++it) {
        const MSG &k = it->key;
        if (k.hwnd != key.hwnd || k.message != key.message || k.wParam != key.wParam || k.lParam != key.lParam ||
            k.time != key.time)
            continue;
        text = it->text;
        // Key presses before it were read without being translated.
        q.typed.erase(q.typed.begin(), it + 1);
        return true;
    }
    return false;
}

}  // namespace vek::user

using namespace vek::user;

SHORT WINAPI GetKeyState(int virtualKey)
{
    if (virtualKey < 0 || virtualKey > 255) return 0;
    MessageQueue &q = *currentQueue();
    std::lock_guard<std::mutex> guard(q.lock);
    const BYTE s = q.keys[static_cast<size_t>(virtualKey)];
    return static_cast<SHORT>(((s & kDown) ? 0xFF80 : 0) | (s & kLow));
}

SHORT WINAPI GetAsyncKeyState(int virtualKey)
{
    if (virtualKey < 0 || virtualKey > 255) return 0;
    AsyncState &st = async();
    std::lock_guard<std::mutex> guard(st.lock);
    BYTE &s = st.keys[static_cast<size_t>(virtualKey)];
    const SHORT result = static_cast<SHORT>(((s & kDown) ? 0x8000 : 0) | (s & kLow));
    s &= ~kLow;
    return result;
}

BOOL WINAPI GetCursorPos(LPPOINT point)
{
    if (!point) return fail(ERROR_INVALID_PARAMETER, FALSE);
    AsyncState &st = async();
    std::lock_guard<std::mutex> guard(st.lock);
    *point = st.cursor;
    return TRUE;
}

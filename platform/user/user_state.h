// The window manager's state: window classes, windows and message queues.
//
// Windows live in a handle table (HWNDs are its small integers); classes in a
// list. One lock guards both. Window procedures are always called without
// it: callers copy what they need, unlock, call, and look the window up
// again afterwards, since a procedure may destroy windows.
//
// Each thread that creates windows or reads messages has a message queue;
// a window belongs to the queue of the thread that created it.
#pragma once

#include <windows.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "debug/channel.h"
#include "shared/handle_table.h"
#include "shared/state_lock.h"
#include "gdi/surface.h"

namespace vek::user {

struct WindowClass {
    std::string name;
    ATOM atom = 0;
    WNDCLASSA info{};  // lpszClassName and lpszMenuName point at the strings below
    std::string menuName;
    std::vector<BYTE> extra;  // cbClsExtra bytes
    int windows = 0;  // windows of the class that exist
};

// A message sent to a window of another thread, waiting for its reply.
struct SentMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool done = false;
};

// A timer of SetTimer: a WM_TIMER for window (null: the thread) is due at
// due, then every period.
struct Timer {
    HWND window;
    UINT_PTR id;
    TIMERPROC proc;
    std::chrono::milliseconds period;
    std::chrono::steady_clock::time_point due;
};

// What a key press of a live display typed, kept for TranslateMessage of
// the WM_KEYDOWN that it names.
struct TypedText {
    MSG key;
    std::string text;  // UTF-8, the hosted ANSI code page
};

struct MessageQueue {
    std::mutex lock;
    std::condition_variable arrived;  // a message was posted or sent
    std::condition_variable replied;  // a sent message was answered
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentMessage>> sent;
    std::deque<MSG> input;  // keyboard and mouse messages of a live display, read after posted ones
    std::deque<TypedText> typed;
    std::array<BYTE, 256> keys{};  // key state as of the last input message read: 0x80 down, 0x01 toggled
    std::vector<Timer> timers;
    bool quit = false;  // PostQuitMessage called; WM_QUIT comes when nothing else is waiting
    int quitCode = 0;
    unsigned paintRequests = 0;  // counts invalidations of the queue's windows
};

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<WindowClass> cls;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;  // child windows: the parent
    HWND owner = nullptr;   // top-level windows: the owner
    HMENU menu = nullptr;   // child windows: the identifier
    HINSTANCE instance = nullptr;
    LONG_PTR userData = 0;
    std::vector<BYTE> extra;  // cbWndExtra bytes
    std::string text;
    RECT rect{};    // window rectangle, in the parent's client coordinates (screen for top-level windows)
    RECT client{};  // client rectangle, in the same coordinates
    bool visible = false;
    bool needSize = false;    // overlapped windows: WM_SIZE and WM_MOVE wait for the first ShowWindow
    bool destroying = false;  // DestroyWindow under way: no second destruction
    RECT invalid{};           // update rectangle in client coordinates; empty when none
    bool erase = false;       // the update rectangle wants WM_ERASEBKGND
    std::shared_ptr<gdi::Surface> surface;
    std::shared_ptr<MessageQueue> queue;
    // Kept while the user channel traces (nothing_shown.cpp): a DC of the
    // window was taken, the turns of its thread's message loop since, and
    // whether it has been warned about (it is then watched no more).
    bool dcTaken = false;
    int idleTurns = 0;
    bool warned = false;
};

struct State {
    std::mutex lock;
    HandleTable<Window, 0x40000000> windows;  // tagged apart from GDI handles
    std::vector<std::shared_ptr<WindowClass>> classes;
    ATOM nextAtom = 0xC000;  // class atoms, as Windows numbers string atoms
};

State &state();

using Lock = StateLock<State, state>;

// The window of a handle, or null; the lock must be held.
Window *findWindow(HWND window);

// The class named by a string or an atom (MAKEINTATOM), or null; the lock
// must be held.
std::shared_ptr<WindowClass> findClass(LPCSTR name);

// Child windows of a window, in creation order; the lock must be held.
std::vector<HWND> childrenOf(HWND window);

// The calling thread's queue, made on first use.
const std::shared_ptr<MessageQueue> &currentQueue();

// Milliseconds since the platform started: the time stamp of messages.
DWORD messageTime();

// Case-insensitive comparison of ASCII names, as class names compare.
bool sameName(const std::string &a, const char *b);

// Calls a window procedure (the lock must not be held).
LRESULT callProcedure(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Sends a message to a window of the calling thread by calling its current
// procedure; 0 when the window no longer exists.
LRESULT sendDirect(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The queue of a window and its procedure; false when the window does not
// exist. The lock must not be held.
bool targetOf(HWND window, std::shared_ptr<MessageQueue> &queue, WNDPROC &proc);

// Sends WM_SIZE and WM_MOVE with a window's client size and place; false
// when the window no longer exists.
bool sendSizeAndMove(HWND window);

// Adds a client rectangle (null: the whole client area) to a window's
// update rectangle and wakes its thread; the lock must not be held.
void invalidate(HWND window, const RECT *rect, bool erase);

// A visible window of the calling thread's queue with something to paint,
// among windows (all of the thread's windows when empty), or null.
HWND windowToPaint(const std::vector<HWND> &windows);

// Sets the last error, reports the failure on the user trace channel and
// returns v: `return fail(ERROR_INVALID_WINDOW_HANDLE, FALSE);`.
template <class T>
T fail(DWORD error, T v, const char *reason = nullptr,
       debug::CallSite where = debug::CallSite::here())
{
    return debug::fail(debug::Channel::user, error, v, reason, where);
}

}  // namespace vek::user

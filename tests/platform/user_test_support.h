// Helpers shared by the window manager tests: a window class whose
// procedure records the messages it gets.
#pragma once

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

namespace usertest {

struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    CREATESTRUCTA create;  // WM_NCCREATE and WM_CREATE: a copy of what lParam pointed at
    std::thread::id thread;  // the thread the procedure ran on
};

// Messages seen by recording windows, in order.
inline std::vector<Seen> &log()
{
    static std::vector<Seen> seen;
    return seen;
}

// What a recording window's procedure answers for one message, when set.
struct Answer {
    UINT message = 0;
    LRESULT result = 0;
};
inline Answer &answer()
{
    static Answer a;
    return a;
}

inline LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Seen seen{window, message, wParam, lParam, {}, std::this_thread::get_id()};
    if (message == WM_NCCREATE || message == WM_CREATE) seen.create = *reinterpret_cast<CREATESTRUCTA *>(lParam);
    log().push_back(seen);
    if (answer().message && message == answer().message) return answer().result;
    return DefWindowProcA(window, message, wParam, lParam);
}

// The messages of the log among the given ones, in order.
inline std::vector<UINT> messagesAmong(std::initializer_list<UINT> wanted, HWND window = nullptr)
{
    std::vector<UINT> out;
    for (const Seen &s : log()) {
        if (window && s.window != window) continue;
        for (UINT w : wanted)
            if (s.message == w) out.push_back(s.message);
    }
    return out;
}

// Registers a recording class under a name of its own; unregisters it at
// the end. Classes are global, so that windows are made without a module
// handle.
struct RecordingClass {
    std::string name;
    explicit RecordingClass(const char *className, int windowExtra = 0) : name(className)
    {
        WNDCLASSA wc{};
        wc.style = CS_GLOBALCLASS;
        wc.lpfnWndProc = recordingProc;
        wc.cbWndExtra = windowExtra;
        wc.lpszClassName = name.c_str();
        wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
        atom = RegisterClassA(&wc);
        log().clear();
        answer() = Answer{};
    }
    ~RecordingClass() { UnregisterClassA(name.c_str(), nullptr); }
    HWND create(DWORD style = WS_OVERLAPPEDWINDOW, HWND parent = nullptr, int x = 0, int y = 0, int w = 200,
                int h = 150, void *param = nullptr)
    {
        return CreateWindowExA(0, name.c_str(), "title", style, x, y, w, h, parent, nullptr, nullptr, param);
    }
    ATOM atom;
};

}  // namespace usertest

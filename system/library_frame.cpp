// Library initialisation and the hidden window that receives the media
// control interface's notifications.
#include <windows.h>

#include <vekkit/system.h>

#include "system/midi_state.h"

namespace vek {

MidiState midi;

namespace {

const char kWindowClass[] = "Goofy Window";

// The library's own module: the DLL is vekkit32 on 32-bit Windows and
// vekkit elsewhere (the hosted platform answers to both).
HINSTANCE libraryInstance()
{
    return GetModuleHandleA(sizeof(void *) == 4 ? "vekkit32" : "vekkit");
}

template <class F>
F entryPoint(HMODULE module, const char *name)
{
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

}  // namespace vek

using vek::midi;

SHORT VEKAPI vekkitInit(void)
{
    if (midi.initCount == 0) {
        // MCI is bound only when its module is already loaded; the library
        // does not load it.
        midi.multimedia = GetModuleHandleA("MMSYSTEM");
        if (midi.multimedia) {
            midi.sendString = vek::entryPoint<vek::MciSendString>(midi.multimedia, "mciSendString");
            midi.getErrorString = vek::entryPoint<vek::MciGetErrorString>(midi.multimedia, "mciGetErrorString");
        }
        seticonhwnd();
    }
    midi.initCount++;
    return 1;
}

SHORT VEKAPI vekkitCleanup(void)
{
    if (midi.initCount-- == 1 && midi.window) {
        DestroyWindow(midi.window);
        midi.window = nullptr;
    }
    return 1;
}

HWND VEKAPI seticonhwnd(void)
{
    const HINSTANCE instance = vek::libraryInstance();
    WNDCLASSA wc{};
    wc.lpfnWndProc = fakewindowproc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = vek::kWindowClass;
    // A class left registered by an earlier initialisation is used again.
    RegisterClassA(&wc);
    midi.window = CreateWindowExA(0, vek::kWindowClass, "", 0, 0, 0, 100, 100, nullptr, nullptr, instance, nullptr);
    return midi.window;
}

LRESULT VEKAPI fakewindowproc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_DESTROY:
        midi.idle = 1;
        return DefWindowProcA(window, message, wParam, lParam);
    case MM_MCINOTIFY:
        // Whatever its code, a notification ends the play; a looping file
        // starts again.
        midi.idle = 1;
        if (midi.loop == 1) vekRestartMIDI(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

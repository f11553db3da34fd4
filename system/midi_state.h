// The process-wide state of the library frame and of MIDI playback, shared by
// the hidden window (library_frame.cpp) and the MIDI calls (midi.cpp).
#ifndef VEKKIT_SYSTEM_MIDI_STATE_H
#define VEKKIT_SYSTEM_MIDI_STATE_H

#include <windows.h>

namespace vek {

typedef MCIERROR(WINAPI *MciSendString)(LPCSTR command, LPSTR returnString, UINT returnLength, HWND callback);
typedef BOOL(WINAPI *MciGetErrorString)(MCIERROR error, LPSTR text, UINT length);

struct MidiState {
    SHORT initCount = 0;                // vekkitInit calls not yet matched by vekkitCleanup
    HMODULE multimedia = nullptr;       // the module of the two MCI entry points
    MciSendString sendString = nullptr;
    MciGetErrorString getErrorString = nullptr;
    HWND window = nullptr;              // the hidden window, which receives MCI notifications
    LONG idle = 1;                      // 1: no MIDI file is playing
    LONG loop = 0;                      // 1: restart the current file each time it ends
    char alias[128] = "";               // alias of the file last started
    char message[512] = "";             // command strings, and every text handed to the caller
};

extern MidiState midi;

// MIDI works when the multimedia module and both entry points were found.
inline bool midiAvailable()
{
    return midi.multimedia && midi.sendString && midi.getErrorString;
}

}  // namespace vek

#endif

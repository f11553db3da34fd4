// MIDI playback through MCI command strings: one file at a time, played by
// the sequencer under the caller's alias, optionally looped. The hidden
// window's notifications (library_frame.cpp) set the idle flag and restart a
// looping file.
#include <windows.h>

#include <vekkit/system.h>

#include "system/midi_state.h"

using vek::midi;

namespace {

const char kNotSetUp[] = "DEDIVEZID has not been set up.";
const char kBusy[] = "Another file is playing.";

LPSTR say(const char *text)
{
    lstrcpyA(midi.message, text);
    return midi.message;
}

// Commands and aliases that do not fit the buffers are refused before they
// are sent, with MCI's text for a parameter out of range.
bool fits(LPCSTR format, LPCSTR a, LPCSTR b)
{
    return lstrlenA(format) + lstrlenA(a) + lstrlenA(b) < static_cast<int>(sizeof midi.message);
}

LPSTR refuse()
{
    midi.getErrorString(MCIERR_OUTOFRANGE, midi.message, sizeof midi.message);
    return midi.message;
}

// Sends the command built in the message buffer; on an error, the buffer
// receives the error's text (at most textLimit bytes) and is returned.
LPSTR send(UINT textLimit)
{
    const MCIERROR error = midi.sendString(midi.message, nullptr, 0, midi.window);
    if (!error) return nullptr;
    midi.getErrorString(error, midi.message, textLimit);
    return midi.message;
}

}  // namespace

LPSTR VEKAPI vekPlayMIDI(LPCSTR file, LPCSTR alias, BOOL loop)
{
    if (!midi.window || !vek::midiAvailable()) return say(kNotSetUp);
    if (midi.idle == 0) return say(kBusy);
    if (!file) file = "";
    if (!alias) alias = "";
    if (lstrlenA(alias) >= static_cast<int>(sizeof midi.alias) || !fits("open sequencer! alias ", file, alias))
        return refuse();
    wsprintfA(midi.message, "open sequencer!%s alias %s", file, alias);
    if (LPSTR failed = send(sizeof midi.message)) return failed;
    wsprintfA(midi.message, "play %s notify", alias);
    if (LPSTR failed = send(256)) return failed;
    midi.idle = 0;
    if (loop) midi.loop = 1;
    lstrcpynA(midi.alias, alias, sizeof midi.alias);
    return nullptr;
}

void VEKAPI vekCloseMIDI(DWORD)
{
    if (!vek::midiAvailable()) return;
    midi.loop = 0;
    if (!midi.alias[0]) {
        midi.idle = 1;
        return;
    }
    // The idle flag follows when the aborted play's notification arrives.
    wsprintfA(midi.message, "close %s", midi.alias);
    midi.sendString(midi.message, nullptr, 0, midi.window);
    midi.alias[0] = '\0';
}

BOOL VEKAPI vekIsMIDIPlaying(LPCSTR alias)
{
    if (!vek::midiAvailable() || !alias || lstrcmpiA(alias, midi.alias) != 0) return 0;
    return midi.idle == 0;
}

LPSTR VEKAPI vekRestartMIDI(DWORD)
{
    if (!vek::midiAvailable()) return say(kNotSetUp);
    if (midi.idle == 0) return say(kBusy);
    wsprintfA(midi.message, "play %s from 0 notify", midi.alias);
    if (LPSTR failed = send(256)) return failed;
    midi.idle = 0;
    return nullptr;
}

// An opened MCI sequencer device: a MIDI file played in real time by a
// timing thread of its own, through the process's synthesizer when there is
// one and silently otherwise.
#ifndef VEKHOST_MCI_SEQUENCER_H
#define VEKHOST_MCI_SEQUENCER_H

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

#include "mci/midi_file.h"

namespace vek::mci {

class Synthesizer;

class Sequencer {
public:
    // A device of the given ID for a decoded file.
    Sequencer(MCIDEVICEID id, MidiSong song);
    // Stops the device, its notes included; a notification still pending is
    // aborted.
    ~Sequencer();

    Sequencer(const Sequencer &) = delete;
    Sequencer &operator=(const Sequencer &) = delete;

    std::chrono::microseconds length() const { return song_.length; }
    bool playing();

    // Plays from the given time to the end, after stopping the notes of a
    // play still going. With notify set, notifyWindow gets MM_MCINOTIFY when
    // the end is reached. A notification of an earlier play still pending is
    // superseded (by a play that notifies) or aborted (by one that does not).
    // The first play of the process makes the synthesizer.
    void play(std::chrono::microseconds from, bool notify, HWND notifyWindow);

private:
    void run();
    // Releases the notes of the current play; the lock must be held.
    void silence();
    // Takes the pending notification, if any; the lock must be held.
    HWND takeNotification();
    void post(HWND window, WPARAM code) const;

    const MCIDEVICEID id_;
    const MidiSong song_;
    std::mutex lock_;
    std::condition_variable changed_;
    Synthesizer *synth_ = nullptr;  // null: the play is only timed
    bool playing_ = false;
    bool closing_ = false;
    std::chrono::steady_clock::time_point origin_;  // when the current play is, or would be, at time 0
    size_t next_ = 0;                              // the next event of song_ to send
    HWND notifyWindow_ = nullptr;                  // pending notification, if not null
    unsigned generation_ = 0;                      // counts plays, so a wait knows it was overtaken
    std::thread timer_;
};

}  // namespace vek::mci

#endif

// An opened MCI sequencer device: a MIDI file played in real time, silently,
// by a timing thread of its own.
#ifndef VEKHOST_MCI_SEQUENCER_H
#define VEKHOST_MCI_SEQUENCER_H

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace vek::mci {

class Sequencer {
public:
    // A device of the given ID for a file that plays for length.
    Sequencer(MCIDEVICEID id, std::chrono::microseconds length);
    // Stops the device; a notification still pending is aborted.
    ~Sequencer();

    Sequencer(const Sequencer &) = delete;
    Sequencer &operator=(const Sequencer &) = delete;

    std::chrono::microseconds length() const { return length_; }
    bool playing();

    // Plays from the given time to the end. With notify set, notifyWindow
    // gets MM_MCINOTIFY when the end is reached. A notification of an
    // earlier play still pending is superseded (by a play that notifies)
    // or aborted (by one that does not).
    void play(std::chrono::microseconds from, bool notify, HWND notifyWindow);

private:
    void run();
    // Takes the pending notification, if any; the lock must be held.
    HWND takeNotification();
    void post(HWND window, WPARAM code) const;

    const MCIDEVICEID id_;
    const std::chrono::microseconds length_;
    std::mutex lock_;
    std::condition_variable changed_;
    bool playing_ = false;
    bool closing_ = false;
    std::chrono::steady_clock::time_point end_;  // when the current play reaches the end
    HWND notifyWindow_ = nullptr;               // pending notification, if not null
    unsigned generation_ = 0;                   // counts plays, so a wait knows it was overtaken
    std::thread timer_;
};

}  // namespace vek::mci

#endif

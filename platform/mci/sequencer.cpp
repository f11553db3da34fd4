// The sequencer's timing thread waits for each event of the current play in
// turn, sends it to the synthesizer, and at the end posts the notification;
// commands that interrupt a play post the superseded or aborted notification
// from the caller's thread. Posted messages land in the queue of the thread
// that owns the notify window.
//
// Events are sent with the lock held, so that once a stop or a new play has
// released the notes, no message of the old play can sound again.
#include "mci/sequencer.h"

#include <algorithm>
#include <utility>

#include "mci/synthesizer.h"

namespace vek::mci {

Sequencer::Sequencer(MCIDEVICEID id, MidiSong song)
    : id_(id), song_(std::move(song)), timer_([this] { run(); })
{
}

Sequencer::~Sequencer()
{
    HWND aborted;
    {
        std::lock_guard<std::mutex> guard(lock_);
        closing_ = true;
        if (playing_) silence();
        aborted = takeNotification();
    }
    changed_.notify_all();
    timer_.join();
    post(aborted, MCI_NOTIFY_ABORTED);
}

bool Sequencer::playing()
{
    std::lock_guard<std::mutex> guard(lock_);
    return playing_;
}

void Sequencer::play(std::chrono::microseconds from, bool notify, HWND notifyWindow)
{
    Synthesizer *const synth = Synthesizer::shared();
    HWND interrupted;
    {
        std::lock_guard<std::mutex> guard(lock_);
        interrupted = takeNotification();
        if (playing_) silence();
        synth_ = synth;
        const auto &events = song_.events;
        next_ = static_cast<size_t>(
            std::lower_bound(events.begin(), events.end(), from,
                             [](const MidiEvent &e, std::chrono::microseconds t) { return e.time() < t; }) -
            events.begin());
        // Starting part-way, the programs, controllers, pressures and bends
        // set before that point go out first, so the channels sound as they
        // would there.
        if (synth_)
            for (size_t i = 0; i < next_; i++)
                if (events[i].status >= 0xB0) synth_->send(events[i]);
        playing_ = true;
        origin_ = std::chrono::steady_clock::now() - from;
        notifyWindow_ = notify ? notifyWindow : nullptr;
        generation_++;
    }
    changed_.notify_all();
    post(interrupted, notify ? MCI_NOTIFY_SUPERSEDED : MCI_NOTIFY_ABORTED);
}

void Sequencer::run()
{
    const auto &events = song_.events;
    std::unique_lock<std::mutex> held(lock_);
    while (!closing_) {
        if (!playing_) {
            changed_.wait(held);
            continue;
        }
        const unsigned generation = generation_;
        // Without a synthesizer only the end matters.
        const bool sending = synth_ && next_ < events.size();
        const auto due = origin_ + (sending ? events[next_].time() : song_.length);
        changed_.wait_until(held, due, [&] { return closing_ || generation != generation_; });
        const auto now = std::chrono::steady_clock::now();
        if (closing_ || generation != generation_ || now < due) continue;
        if (sending) {
            // Everything due by now goes out together.
            for (const auto played = now - origin_; next_ < events.size() && events[next_].time() <= played; next_++)
                synth_->send(events[next_]);
            continue;
        }
        playing_ = false;
        silence();
        HWND done = takeNotification();
        held.unlock();
        post(done, MCI_NOTIFY_SUCCESSFUL);
        held.lock();
    }
}

void Sequencer::silence()
{
    if (synth_) synth_->allNotesOff();
}

HWND Sequencer::takeNotification()
{
    HWND window = notifyWindow_;
    notifyWindow_ = nullptr;
    return window;
}

void Sequencer::post(HWND window, WPARAM code) const
{
    if (window) PostMessageA(window, MM_MCINOTIFY, code, static_cast<LPARAM>(id_));
}

}  // namespace vek::mci

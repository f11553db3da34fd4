// The sequencer's timing thread waits for the end of the current play and
// posts the notification from there; commands that interrupt a play post
// the superseded or aborted notification from the caller's thread. Posted
// messages land in the queue of the thread that owns the notify window.
#include "mci/sequencer.h"

namespace vek::mci {

Sequencer::Sequencer(MCIDEVICEID id, std::chrono::microseconds length)
    : id_(id), length_(length), timer_([this] { run(); })
{
}

Sequencer::~Sequencer()
{
    HWND aborted;
    {
        std::lock_guard<std::mutex> guard(lock_);
        closing_ = true;
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
    HWND interrupted;
    {
        std::lock_guard<std::mutex> guard(lock_);
        interrupted = takeNotification();
        playing_ = true;
        end_ = std::chrono::steady_clock::now() + (length_ - from);
        notifyWindow_ = notify ? notifyWindow : nullptr;
        generation_++;
    }
    changed_.notify_all();
    post(interrupted, notify ? MCI_NOTIFY_SUPERSEDED : MCI_NOTIFY_ABORTED);
}

void Sequencer::run()
{
    std::unique_lock<std::mutex> held(lock_);
    while (!closing_) {
        if (!playing_) {
            changed_.wait(held);
            continue;
        }
        const unsigned generation = generation_;
        changed_.wait_until(held, end_, [&] { return closing_ || generation != generation_; });
        if (closing_ || generation != generation_ || std::chrono::steady_clock::now() < end_) continue;
        playing_ = false;
        HWND done = takeNotification();
        held.unlock();
        post(done, MCI_NOTIFY_SUCCESSFUL);
        held.lock();
    }
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

// Timers of SetTimer as the message reader sees them. The queue's lock is
// held for each call.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>

#include "user/user_state.h"

namespace vek::user {

// Whether a reader's filters take a message.
using MessageFilter = std::function<bool(const MSG &)>;

// The WM_TIMER of the first due timer of q that the filter takes; when
// remove is set the timer is due again one period later (or one period
// from now, when it fell behind by more than a period). False when none.
bool takeTimer(MessageQueue &q, const MessageFilter &takes, bool remove, MSG &out);

// When the next timer of q that the filter takes is due, if any.
std::optional<std::chrono::steady_clock::time_point> nextTimerDue(const MessageQueue &q, const MessageFilter &takes);

}  // namespace vek::user

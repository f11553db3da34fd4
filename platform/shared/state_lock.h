// The lock of a subsystem's state.
//
// A subsystem of the platform keeps what its handles name in one State (a
// handle table and what goes with it) behind one mutex, State::lock, reached
// through an accessor such as state(). An exported function holds that lock
// for its whole run by making a StateLock on entry.
#pragma once

#include <mutex>

namespace vek {

template <class State, State &(*get)()>
class StateLock {
public:
    StateLock() : guard_(get().lock) {}

private:
    std::lock_guard<std::mutex> guard_;
};

}  // namespace vek

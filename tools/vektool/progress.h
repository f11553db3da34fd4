// A progress line on standard error for runs that take a while: shown only
// when standard error is a terminal and the run has lasted half a second,
// redrawn at most ten times a second and cleared when the run ends.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace vektool {

class Progress {
public:
    Progress(std::string label, size_t total);
    ~Progress();
    Progress(const Progress &) = delete;
    Progress &operator=(const Progress &) = delete;

    // done of the total items are finished.
    void update(size_t done);

private:
    using Clock = std::chrono::steady_clock;
    std::string label_;
    size_t total_;
    bool terminal_, shown_ = false;
    Clock::time_point start_, last_;
};

}  // namespace vektool

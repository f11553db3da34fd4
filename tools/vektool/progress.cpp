#include "progress.h"

#include <cstdio>

#include <unistd.h>

namespace vektool {

Progress::Progress(std::string label, size_t total)
    : label_(std::move(label)), total_(total), terminal_(isatty(STDERR_FILENO)), start_(Clock::now()), last_(start_)
{
}

Progress::~Progress()
{
    if (shown_) std::fprintf(stderr, "\r\033[K");
}

void Progress::update(size_t done)
{
    if (!terminal_) return;
    const Clock::time_point now = Clock::now();
    if (now - start_ < std::chrono::milliseconds(500) || now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    shown_ = true;
    std::fprintf(stderr, "\rvektool: %s %zu/%zu", label_.c_str(), done, total_);
    std::fflush(stderr);
}

}  // namespace vektool

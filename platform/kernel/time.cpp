// The millisecond clock and sleeping.
#include <windows.h>

#include <cerrno>
#include <ctime>
#include <sched.h>
#include <unistd.h>

// Milliseconds of the host's monotonic clock (time since boot on Linux),
// wrapping to 0 after 2^32 ms (49.7 days) as Windows' tick count does.
DWORD WINAPI GetTickCount(void)
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<DWORD>(static_cast<ULONGLONG>(now.tv_sec) * 1000 + static_cast<ULONGLONG>(now.tv_nsec) / 1000000);
}

// Sleep(0) gives up the rest of the time slice; INFINITE never returns.
void WINAPI Sleep(DWORD milliseconds)
{
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    if (milliseconds == INFINITE) {
        for (;;) pause();
    }
    timespec rest{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000};
    while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
    }
}

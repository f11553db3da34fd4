// System time: the millisecond tick counter.
#include <windows.h>

#include <time.h>

// Milliseconds since an arbitrary start (the host's monotonic clock), wrapping
// as a DWORD after about 49.7 days as on Windows.
DWORD WINAPI GetTickCount(void)
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const unsigned long long ms = static_cast<unsigned long long>(now.tv_sec) * 1000u +
                                  static_cast<unsigned long long>(now.tv_nsec) / 1000000u;
    return static_cast<DWORD>(ms);
}

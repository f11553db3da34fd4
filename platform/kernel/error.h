// Win32 error codes for failures of the host's system calls.
#ifndef VEKHOST_KERNEL_ERROR_H
#define VEKHOST_KERNEL_ERROR_H

#include <windows.h>

#include "debug/channel.h"

namespace vek::host {

// The Win32 error that stands for an errno value. ENOENT gives
// ERROR_FILE_NOT_FOUND; callers that know a folder on the way is missing
// report ERROR_PATH_NOT_FOUND themselves.
DWORD errorFromErrno(int err);

// Sets the last error to error and reports the failure on the kernel trace
// channel, with the reason when there is one.
inline void setError(DWORD error, const char *reason = nullptr,
                     debug::CallSite where = debug::CallSite::here())
{
    debug::fail(debug::Channel::kernel, error, 0, reason, where);
}

// setError(errorFromErrno(err)), with the host's text for err as the reason.
void setErrorFromErrno(int err, debug::CallSite where = debug::CallSite::here());

}  // namespace vek::host

#endif

// Win32 error codes for failures of the host's system calls.
#ifndef VEKHOST_KERNEL_ERROR_H
#define VEKHOST_KERNEL_ERROR_H

#include <windows.h>

namespace vek::host {

// The Win32 error that stands for an errno value. ENOENT gives
// ERROR_FILE_NOT_FOUND; callers that know a folder on the way is missing
// report ERROR_PATH_NOT_FOUND themselves.
DWORD errorFromErrno(int err);

// SetLastError(errorFromErrno(err)).
void setErrorFromErrno(int err);

}  // namespace vek::host

#endif

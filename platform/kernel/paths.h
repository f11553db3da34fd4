// The one path translator of the hosted kernel: every call that takes a file
// or folder name goes through it.
//
// Accepted forms, with backslashes and slashes alike as separators:
//   /usr/share/x       a POSIX path: drive Z: is the host's root, as in Wine
//   Z:\usr\share\x     the same file
//   C:\windows\x       drive C: is the folder drive_c of the platform's prefix
//   \x                 the root of the current directory's drive
//   C:x                relative to the current directory if it is on C:,
//                      else to the root of C:
//   x\y, ..\y          relative to the current directory (the host's)
// "." and ".." are resolved by name, as Windows does, before anything is
// looked up. Windows names are case-insensitive: a component that does not
// exist with its exact case is looked up in its folder ignoring the case of
// ASCII letters (the alphabetically first name wins if several match); one
// that does not exist at all is kept as given, so new files get the case the
// caller wrote.
#ifndef VEKHOST_KERNEL_PATHS_H
#define VEKHOST_KERNEL_PATHS_H

#include <windows.h>

#include <string>

#include "debug/call_site.h"

namespace vek::host {

// A path argument translated to the host.
struct HostPath {
    std::string path;            // absolute host path
    bool folderMissing = false;  // a folder on the way does not exist
};

// Translates a path argument. Fails with the last error set for a null or
// empty path, a drive other than C: and Z:, a network path (\\server) and a
// name holding a character that Windows forbids in names ("*:<>?| and
// control characters).
bool toHostPath(LPCSTR path, HostPath &out);

// Sets the last error for a call on a translated path that failed with errno
// err: a missing name is ERROR_PATH_NOT_FOUND when a folder on the way is
// missing, else ERROR_FILE_NOT_FOUND.
void setPathError(const HostPath &path, int err,
                  debug::CallSite where = debug::CallSite::here());

// The DOS form of an absolute host path: C:\... on drive C:, Z:\... elsewhere.
std::string toDosPath(const std::string &hostPath);

// Copies a string result by Win32's buffer rules: the length without the
// terminator when it fits in size bytes, else the size needed including the
// terminator, with the buffer left alone.
DWORD copyOut(const std::string &value, LPSTR buffer, DWORD size);

}  // namespace vek::host

#endif

// Files and folders by name: deletion, attributes, folder creation and removal.
#include <windows.h>

#include "kernel/error.h"
#include "kernel/paths.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using vek::host::HostPath;

BOOL WINAPI DeleteFileA(LPCSTR path)
{
    HostPath host;
    if (!vek::host::toHostPath(path, host)) return FALSE;
    struct stat info;
    if (lstat(host.path.c_str(), &info) != 0) {
        vek::host::setPathError(host, errno);
        return FALSE;
    }
    // Windows refuses to delete folders and read-only files.
    if (S_ISDIR(info.st_mode) || (S_ISREG(info.st_mode) && !(info.st_mode & S_IWUSR))) {
        vek::host::setError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (unlink(host.path.c_str()) != 0) {
        vek::host::setPathError(host, errno);
        return FALSE;
    }
    return TRUE;
}

// A folder is FILE_ATTRIBUTE_DIRECTORY; a file the owner may not write is
// FILE_ATTRIBUTE_READONLY; any other file FILE_ATTRIBUTE_NORMAL (the host
// keeps no archive, hidden or system bits).
DWORD WINAPI GetFileAttributesA(LPCSTR path)
{
    HostPath host;
    if (!vek::host::toHostPath(path, host)) return INVALID_FILE_ATTRIBUTES;
    struct stat info;
    if (stat(host.path.c_str(), &info) != 0) {
        vek::host::setPathError(host, errno);
        return INVALID_FILE_ATTRIBUTES;
    }
    if (S_ISDIR(info.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
    return info.st_mode & S_IWUSR ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
}

BOOL WINAPI CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES)
{
    HostPath host;
    if (!vek::host::toHostPath(path, host)) return FALSE;
    if (mkdir(host.path.c_str(), 0777) != 0) {
        // Only the folders on the way can be missing here.
        const int err = errno;
        vek::host::setError(err == ENOENT ? ERROR_PATH_NOT_FOUND : vek::host::errorFromErrno(err), std::strerror(err));
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI RemoveDirectoryA(LPCSTR path)
{
    HostPath host;
    if (!vek::host::toHostPath(path, host)) return FALSE;
    if (rmdir(host.path.c_str()) != 0) {
        if (errno == ENOTDIR)
            vek::host::setError(ERROR_DIRECTORY);
        else
            vek::host::setPathError(host, errno);
        return FALSE;
    }
    return TRUE;
}

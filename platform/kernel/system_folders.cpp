// The Windows, System and temporary directories: real folders on drive C:
// of the platform's prefix, created on first use.
#include <windows.h>

#include "kernel/paths.h"
#include "kernel/prefix.h"

namespace {

constexpr char kWindows[] = "C:\\windows";
constexpr char kSystem[] = "C:\\windows\\system32";
constexpr char kTemp[] = "C:\\windows\\temp\\";

void makeSystemFolders()
{
    static const bool made = [] {
        const std::string &drive = vek::host::driveCFolder();
        bool system = vek::host::makeFolders(drive + "/windows/system32", 0777);
        bool temp = vek::host::makeFolders(drive + "/windows/temp", 0777);
        return system && temp;
    }();
    (void)made;
}

}  // namespace

UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size)
{
    makeSystemFolders();
    return vek::host::copyOut(kWindows, buffer, size);
}

UINT WINAPI GetSystemDirectoryA(LPSTR buffer, UINT size)
{
    makeSystemFolders();
    return vek::host::copyOut(kSystem, buffer, size);
}

// The prefix's own temporary folder rather than the host's /tmp: each prefix
// (and so each test run) keeps its temporary files apart.
DWORD WINAPI GetTempPathA(DWORD size, LPSTR buffer)
{
    makeSystemFolders();
    return vek::host::copyOut(kTemp, buffer, size);
}

// Where Wine is known to differ from Windows, a test accepts Wine's result
// only when it runs under Wine (as Wine's own conformance tests do), and says
// why beside the check. Everywhere else the Windows result is required.
#pragma once

#include <windows.h>

inline bool onWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Message boxes and beeps, shown by the user-interface hooks.
#include "user/ui_hooks.h"

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    return vek::host::currentUI().messageBox(owner, text ? text : "", caption ? caption : "Error", type);
}

BOOL WINAPI MessageBeep(UINT type)
{
    vek::host::currentUI().beep(type);
    return TRUE;
}

/* Message boxes and beeps of the hosted Win32 platform: shown through the
   user-interface hooks (vekhost_ui.h). */
#ifndef VEKHOST_WINUSER_DIALOGS_H
#define VEKHOST_WINUSER_DIALOGS_H

#include <windef.h>

#define MB_OK 0x00000000
#define MB_OKCANCEL 0x00000001
#define MB_ABORTRETRYIGNORE 0x00000002
#define MB_YESNOCANCEL 0x00000003
#define MB_YESNO 0x00000004
#define MB_RETRYCANCEL 0x00000005
#define MB_ICONHAND 0x00000010
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONQUESTION 0x00000020
#define MB_ICONEXCLAMATION 0x00000030
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONASTERISK 0x00000040
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_TYPEMASK 0x0000000F
#define MB_ICONMASK 0x000000F0

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

/* Shows text under caption; the result is the button chosen (IDOK and the
   like), 0 on failure. */
WINUSERAPI int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
/* Plays the sound of a message box type (0xFFFFFFFF: a simple beep). */
WINUSERAPI BOOL WINAPI MessageBeep(UINT type);

#endif

/* Hosted-only: the user-interface hooks of the platform. Absent on Windows.

   Message boxes, beeps and file dialogs have no user interface of their own
   on the hosted platform: they call these hooks. A program (or a test) sets
   them to show its own, or to script the answers. */
#ifndef VEKHOST_UI_H
#define VEKHOST_UI_H

#include <windef.h>
#include <commdlg.h>

typedef struct VEKHOSTUI {
    /* MessageBoxA: returns the button chosen. Default: prints caption and
       text to stderr and answers IDOK. */
    int (*messageBox)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
    /* MessageBeep. Default: silent. */
    void (*beep)(UINT type);
    /* GetOpenFileNameA (save FALSE) and GetSaveFileNameA (save TRUE): fills
       ofn->lpstrFile with the path chosen and returns TRUE, or returns FALSE
       for a cancel. lpstrFile is the platform's copy of the caller's name
       with room for 4096 bytes whatever nMaxFile says; the platform copies
       the choice back (FNERR_BUFFERTOOSMALL when it does not fit nMaxFile)
       and fills nFileOffset, nFileExtension and lpstrFileTitle. Default: asks zenity or
       kdialog when a display is present (DISPLAY or WAYLAND_DISPLAY set and
       the program found), else cancels. */
    BOOL (*fileDialog)(LPOPENFILENAMEA ofn, BOOL save);
} VEKHOSTUI;

/* Sets the hooks; a null member (or a null ui) restores that default. The
   record is copied. */
VEKHOST_EXPORT void vekhostSetUI(const VEKHOSTUI *ui);

#endif

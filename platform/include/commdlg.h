/* Common dialogs of the hosted Win32 platform (comdlg32 on Windows): the
   open and save file dialogs. The dialog itself is the file-dialog hook of
   the user-interface hooks (vekhost.h). */
#ifndef VEKHOST_COMMDLG_H
#define VEKHOST_COMMDLG_H

#include <windef.h>

#define WINCOMMDLGAPI VEKHOST_EXPORT

typedef UINT_PTR (CALLBACK *LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagOFNA {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCSTR lpstrFilter;        /* pairs of description and pattern, each zero-terminated, then a zero */
    LPSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;        /* 1-based pair of lpstrFilter; 0 for the custom filter */
    LPSTR lpstrFile;           /* in: proposed name; out: the full path chosen */
    DWORD nMaxFile;            /* bytes of lpstrFile */
    LPSTR lpstrFileTitle;      /* out: the chosen name without its folder */
    DWORD nMaxFileTitle;
    LPCSTR lpstrInitialDir;
    LPCSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;          /* out: offset of the name in lpstrFile */
    WORD nFileExtension;       /* out: offset of the extension in lpstrFile */
    LPCSTR lpstrDefExt;
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;
    LPCSTR lpTemplateName;
    void *pvReserved;
    DWORD dwReserved;
    DWORD FlagsEx;
} OPENFILENAMEA, *LPOPENFILENAMEA;

/* The record without its last three members, as older callers size it
   (76 bytes on 32-bit Windows). */
#define OPENFILENAME_SIZE_VERSION_400A (offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR))

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_NOVALIDATE 0x00000100
#define OFN_ALLOWMULTISELECT 0x00000200
#define OFN_EXTENSIONDIFFERENT 0x00000400
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_CREATEPROMPT 0x00002000
#define OFN_NOREADONLYRETURN 0x00008000
#define OFN_EXPLORER 0x00080000

/* Extended errors. */
#define CDERR_STRUCTSIZE 0x0001
#define CDERR_INITIALIZATION 0x0002
#define FNERR_BUFFERTOOSMALL 0x3003

/* Show the dialog; TRUE when the user chose a file, which then stands in
   lpstrFile with nFileOffset, nFileExtension and lpstrFileTitle filled. */
WINCOMMDLGAPI BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA ofn);
WINCOMMDLGAPI BOOL WINAPI GetSaveFileNameA(LPOPENFILENAMEA ofn);
/* The reason of the last dialog call that failed without a cancel; 0 after
   a cancel or a success. */
WINCOMMDLGAPI DWORD WINAPI CommDlgExtendedError(void);

#endif

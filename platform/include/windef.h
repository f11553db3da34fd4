/*
 * Basic Win32 types of the hosted platform (vekhost).
 *
 * The sizes follow 64-bit Windows (LLP64): LONG, DWORD, INT and UINT are 32
 * bits, the *_PTR types and handles are pointer-sized. Handles are opaque
 * pointer types as under STRICT; GDI and window handles hold small integers
 * from the platform's handle tables, so they always fit 32 bits.
 */
#ifndef VEKHOST_WINDEF_H
#define VEKHOST_WINDEF_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define VEKHOST_EXTERN_C extern "C"
#else
#define VEKHOST_EXTERN_C extern
#endif

/* Every function of the hosted platform is exported from libvekhost with
   default visibility; the library itself is built with hidden visibility. */
#define VEKHOST_EXPORT VEKHOST_EXTERN_C __attribute__((visibility("default")))
#define WINBASEAPI VEKHOST_EXPORT
#define WINGDIAPI VEKHOST_EXPORT
#define WINUSERAPI VEKHOST_EXPORT

#define WINAPI
#define WINAPIV
#define CALLBACK
#define APIENTRY
#define far
#define near
#define FAR
#define NEAR
#define CONST const
#define VOID void

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#ifndef NULL
#define NULL 0
#endif

typedef unsigned char BYTE, *PBYTE, *LPBYTE;
typedef unsigned short WORD, *PWORD, *LPWORD;
typedef unsigned int DWORD, *PDWORD, *LPDWORD;
typedef int LONG, *PLONG, *LPLONG;
typedef unsigned int ULONG, *PULONG;
typedef short SHORT, *PSHORT;
typedef unsigned short USHORT;
typedef int INT, *PINT, *LPINT;
typedef unsigned int UINT, *PUINT;
typedef int BOOL, *PBOOL, *LPBOOL;
typedef char CHAR;
typedef unsigned char UCHAR;
typedef uint16_t WCHAR;
typedef CHAR *LPSTR, *PSTR;
typedef const CHAR *LPCSTR, *PCSTR;
typedef WCHAR *LPWSTR;
typedef const WCHAR *LPCWSTR;
typedef void *LPVOID, *PVOID;
typedef const void *LPCVOID;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef intptr_t INT_PTR, LONG_PTR;
typedef uintptr_t UINT_PTR, ULONG_PTR, DWORD_PTR;
typedef size_t SIZE_T;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef LONG HRESULT;
typedef DWORD COLORREF, *LPCOLORREF;
typedef WORD ATOM;
typedef int HFILE;

typedef void *HANDLE;
#define DECLARE_HANDLE(name) struct name##__ { int unused; }; typedef struct name##__ *name
DECLARE_HANDLE(HINSTANCE);
DECLARE_HANDLE(HWND);
DECLARE_HANDLE(HDC);
DECLARE_HANDLE(HBITMAP);
DECLARE_HANDLE(HBRUSH);
DECLARE_HANDLE(HPEN);
DECLARE_HANDLE(HPALETTE);
DECLARE_HANDLE(HFONT);
DECLARE_HANDLE(HRGN);
DECLARE_HANDLE(HICON);
DECLARE_HANDLE(HMENU);
DECLARE_HANDLE(HRSRC);
DECLARE_HANDLE(HKEY);
DECLARE_HANDLE(HTASK);
typedef HINSTANCE HMODULE;
typedef HICON HCURSOR;
typedef HANDLE HGDIOBJ;
typedef HANDLE HGLOBAL;
typedef HANDLE HLOCAL;

typedef INT_PTR (*FARPROC)(void);

#define MAKEWORD(lo, hi) ((WORD)(((BYTE)(lo)) | ((WORD)((BYTE)(hi))) << 8))
#define MAKELONG(lo, hi) ((LONG)(((WORD)(lo)) | ((DWORD)((WORD)(hi))) << 16))
#define LOWORD(l) ((WORD)((DWORD_PTR)(l) & 0xffff))
#define HIWORD(l) ((WORD)(((DWORD_PTR)(l) >> 16) & 0xffff))
#define LOBYTE(w) ((BYTE)((DWORD_PTR)(w) & 0xff))
#define HIBYTE(w) ((BYTE)(((DWORD_PTR)(w) >> 8) & 0xff))

#define MAX_PATH 260

typedef struct tagRECT {
    LONG left, top, right, bottom;
} RECT, *PRECT, *LPRECT;
typedef const RECT *LPCRECT;

typedef struct tagPOINT {
    LONG x, y;
} POINT, *PPOINT, *LPPOINT;

typedef struct tagSIZE {
    LONG cx, cy;
} SIZE, *PSIZE, *LPSIZE;

#endif

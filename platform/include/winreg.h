/* Registry part of the hosted Win32 platform (advapi32 on Windows).
   Keys live in two stores under the platform's prefix folder: user.reg for
   HKEY_CURRENT_USER and system.reg for every other root. */
#ifndef VEKHOST_WINREG_H
#define VEKHOST_WINREG_H

#include <windef.h>
#include <winbase.h>

#define WINADVAPI VEKHOST_EXPORT

typedef LONG LSTATUS;
typedef DWORD REGSAM;
typedef HKEY *PHKEY;

/* Predefined roots: sign-extended 32-bit values, as on 64-bit Windows. */
#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)((LONG)0x80000000))
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)((LONG)0x80000001))
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)((LONG)0x80000002))
#define HKEY_USERS ((HKEY)(ULONG_PTR)((LONG)0x80000003))
#define HKEY_PERFORMANCE_DATA ((HKEY)(ULONG_PTR)((LONG)0x80000004))
#define HKEY_CURRENT_CONFIG ((HKEY)(ULONG_PTR)((LONG)0x80000005))
#define HKEY_DYN_DATA ((HKEY)(ULONG_PTR)((LONG)0x80000006))

/* Value types. */
#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_DWORD_LITTLE_ENDIAN 4
#define REG_DWORD_BIG_ENDIAN 5
#define REG_LINK 6
#define REG_MULTI_SZ 7
#define REG_QWORD 11

/* Access rights (accepted, not enforced: the store's file decides). */
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_CREATE_LINK 0x0020
#define KEY_WOW64_64KEY 0x0100
#define KEY_WOW64_32KEY 0x0200
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_EXECUTE 0x20019
#define KEY_ALL_ACCESS 0xF003F

#define REG_OPTION_NON_VOLATILE 0x00000000
#define REG_OPTION_VOLATILE 0x00000001
#define REG_CREATED_NEW_KEY 0x00000001
#define REG_OPENED_EXISTING_KEY 0x00000002

#define ERROR_BAD_PATHNAME 161L
#define ERROR_REGISTRY_QUOTA_LIMIT 613L
#define ERROR_BADDB 1009L
#define ERROR_BADKEY 1010L
#define ERROR_CANTOPEN 1011L
#define ERROR_CANTREAD 1012L
#define ERROR_CANTWRITE 1013L
#define ERROR_KEY_DELETED 1018L

/* Creates the key subKey (with its missing parents) under key, or opens it
   when it exists; *disposition, when given, says which. As on Windows, a key
   lies at most 512 levels below its root, one call creates at most 32 of
   them, and a key name holds 1 to 255 characters, none a control character
   (else ERROR_INVALID_PARAMETER). */
WINADVAPI LSTATUS WINAPI RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                                         REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                                         LPDWORD disposition);
/* Opens an existing key; a null or empty subKey opens key itself again. */
WINADVAPI LSTATUS WINAPI RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
/* Reads a value: *type, and *size bytes into data. With data null only the
   size is reported; a buffer too small gives ERROR_MORE_DATA with *size set
   to the size needed. */
WINADVAPI LSTATUS WINAPI RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                          LPDWORD size);
/* Sets a value to size bytes of data, stored as given. A value name holds at
   most 16383 characters of any kind (else ERROR_INVALID_PARAMETER). */
WINADVAPI LSTATUS WINAPI RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE *data,
                                        DWORD size);
/* Deletes a key that has no subkeys (ERROR_ACCESS_DENIED when it has some). */
WINADVAPI LSTATUS WINAPI RegDeleteKeyA(HKEY key, LPCSTR subKey);
WINADVAPI LSTATUS WINAPI RegDeleteValueA(HKEY key, LPCSTR name);
WINADVAPI LSTATUS WINAPI RegCloseKey(HKEY key);

#endif

/*
 * Umbrella header of the hosted Win32 platform (vekhost): the subset of the
 * Win32 API that vekkit, its tests, tools and demo use, with Win32 semantics.
 * On Windows the system's own <windows.h> is used instead.
 */
#ifndef VEKHOST_WINDOWS_H
#define VEKHOST_WINDOWS_H

#include <windef.h>
#include <winbase.h>
#include <wingdi.h>
#include <winuser.h>
#include <winreg.h>
#include <commdlg.h>
#include <mmsystem.h>

#endif

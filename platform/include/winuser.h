/* User part of the hosted Win32 platform: windows, messages, rectangles. */
#ifndef VEKHOST_WINUSER_H
#define VEKHOST_WINUSER_H

#include <windef.h>

#endif

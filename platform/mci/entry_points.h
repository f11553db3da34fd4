// The entry points of the built-in module "MMSYSTEM".
#ifndef VEKHOST_MCI_ENTRY_POINTS_H
#define VEKHOST_MCI_ENTRY_POINTS_H

#include <windows.h>

namespace vek::mci {

// mciSendString: runs one command string (command_string.cpp).
MCIERROR WINAPI sendString(LPCSTR command, LPSTR returnString, UINT returnLength, HWND callback);

// mciGetErrorString: the text of an MCI error code, cut to length - 1
// characters; FALSE (and an empty text) for a code that has none.
BOOL WINAPI getErrorString(MCIERROR error, LPSTR text, UINT length);

}  // namespace vek::mci

#endif

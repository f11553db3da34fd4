// The user-interface hooks in force (vekhost.h), each member set.
#ifndef VEKHOST_USER_UI_HOOKS_H
#define VEKHOST_USER_UI_HOOKS_H

#include <windows.h>
#include <vekhost.h>

namespace vek::host {

VEKHOSTUI currentUI();

// Bytes of the file name buffer a file-dialog hook writes into, whatever
// nMaxFile says: a longer choice than the caller's buffer is reported to the
// caller as FNERR_BUFFERTOOSMALL.
constexpr DWORD kFileDialogRoom = 4096;

// The desktop's file dialog through a helper program: the default fileDialog.
BOOL desktopFileDialog(LPOPENFILENAMEA ofn, BOOL save);

}  // namespace vek::host

#endif

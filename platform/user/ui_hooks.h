// The user-interface hooks in force (vekhost_ui.h), each member set.
#ifndef VEKHOST_USER_UI_HOOKS_H
#define VEKHOST_USER_UI_HOOKS_H

#include <windows.h>
#include <vekhost_ui.h>

namespace vek::host {

VEKHOSTUI currentUI();

// The desktop's file dialog through a helper program: the default fileDialog.
BOOL desktopFileDialog(LPOPENFILENAMEA ofn, BOOL save);

}  // namespace vek::host

#endif

// The shell link object (CLSID_ShellLink).
#ifndef VEKHOST_SHELL_SHELL_LINK_H
#define VEKHOST_SHELL_SHELL_LINK_H

#include <windows.h>
#include <objbase.h>

namespace vek::host {

// A new shell link object asked for through iid.
HRESULT createShellLink(REFIID iid, void **object);

}  // namespace vek::host

#endif

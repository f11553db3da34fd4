// The folder of the hosted platform's state, like a Windows installation:
// drive C: (drive_c, holding the Windows and System directories) and the
// registry files live there.
#ifndef VEKHOST_KERNEL_PREFIX_H
#define VEKHOST_KERNEL_PREFIX_H

#include <string>
#include <sys/types.h>

namespace vek::host {

// $VEKHOST_PREFIX, else $XDG_DATA_HOME/vekhost, else ~/.local/share/vekhost:
// absolute, without symbolic links, without a trailing slash. Created with
// its parents on the first call (private to the user, as XDG asks); the
// value is fixed for the life of the process. When it cannot be created the
// path is still returned and calls that use it fail as for a missing folder.
const std::string &prefixFolder();

// The host folder of drive C: (prefix/drive_c), created on the first call.
const std::string &driveCFolder();

// The same path as driveCFolder, without creating anything: for telling
// whether a host path lies on drive C:.
const std::string &driveCPath();

// Creates folder and its missing parents. True when it is a folder after.
bool makeFolders(const std::string &folder, mode_t mode);

}  // namespace vek::host

#endif

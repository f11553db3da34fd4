// The built-in module "MMSYSTEM": present whenever vekhost is loaded, so that
// GetModuleHandleA finds it and GetProcAddress finds its two MCI entry
// points by name.
#include "kernel/module.h"
#include "mci/entry_points.h"

namespace {

// Through void (*)(), the type that stands for any function, as a table of
// exports holds them.
template <class F>
FARPROC exported(F *function)
{
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

const vek::host::ModuleExport kExports[] = {
    {"mciGetErrorString", exported(&vek::mci::getErrorString)},
    {"mciSendString", exported(&vek::mci::sendString)},
};

const HMODULE kModule = vek::host::registerBuiltinModule("MMSYSTEM", kExports);

}  // namespace

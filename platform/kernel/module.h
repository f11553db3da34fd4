// The module table of the hosted kernel. Three kinds of module answer to
// GetModuleHandleA, GetModuleFileNameA and GetProcAddress:
// - the program itself;
// - the shared libraries loaded into it, found through the dynamic loader,
//   their exports through dlsym;
// - modules built into vekhost (such as MMSYSTEM), registered here by name
//   with a table of exports.
#ifndef VEKHOST_KERNEL_MODULE_H
#define VEKHOST_KERNEL_MODULE_H

#include <windows.h>

#include <cstddef>
#include <string>

namespace vek::host {

struct ModuleExport {
    const char *name;
    FARPROC proc;
};

// Registers a built-in module and returns its handle. GetModuleHandleA finds
// it by name (ignoring case, with or without ".dll"), GetProcAddress finds its
// exports by exact name, GetModuleFileNameA reports it as
// C:\windows\system32\<name>.dll. The export table is not copied: it must
// live as long as the process (a static array). A module is registered once,
// typically from the initialiser of a namespace-scope constant in its own
// file, so that it is present whenever vekhost is loaded.
HMODULE registerBuiltinModule(const char *name, const ModuleExport *exports, size_t count);

template <size_t N>
HMODULE registerBuiltinModule(const char *name, const ModuleExport (&exports)[N])
{
    return registerBuiltinModule(name, exports, N);
}

// The host path of the running program.
const std::string &executablePath();

// The module a handle names, as the handle that stands for it (null: the
// program's own) and the host path of its file, empty for a built-in
// module. False, with the last error set, for a handle of no module.
bool resolveModule(HMODULE module, HMODULE &handle, std::string &hostPath);

}  // namespace vek::host

#endif

// Modules: the program, the loaded shared libraries and the built-in modules.
//
// The handle of a loaded object is its lowest mapped address, as an HMODULE
// is the image base on Windows; the handle of a built-in module is the
// address of its registry entry. Handles are only ever compared with the
// current table, never dereferenced, so a stale or made-up handle fails
// with ERROR_MOD_NOT_FOUND.
//
// Names are matched without their folder, ignoring case, with ".dll" or
// ".exe" optional. Host libraries answer to their bare name ("vekhost" for
// libvekhost.so.0.1.0); the library answers to its Windows DLL name
// "vekkit32" too, and the platform library to the names of the Windows
// system DLLs whose calls it provides.
#include "kernel/error.h"
#include "kernel/module.h"

#include "kernel/paths.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <memory>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace vek::host {

namespace {

struct Builtin {
    std::string key;
    std::string fileName;  // DOS path reported by GetModuleFileNameA
    const ModuleExport *exports;
    size_t count;
};

struct Registry {
    std::mutex lock;
    std::vector<std::unique_ptr<Builtin>> modules;
};

Registry &registry()
{
    static Registry *r = new Registry;  // never destroyed: handles outlive statics
    return *r;
}

struct LoadedObject {
    std::string path;  // host path; empty for the program
    uintptr_t base;
};

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool endsWith(const std::string &s, const char *suffix)
{
    size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

// The name a module is matched by: see the top of the file.
std::string moduleKey(const std::string &name)
{
    std::string key = name.substr(name.find_last_of("\\/") + 1);
    for (char &c : key) c = lower(c);
    size_t so = key.find(".so");
    if (key.compare(0, 3, "lib") == 0 && so != std::string::npos && so > 3)
        key = key.substr(3, so - 3);
    else if (endsWith(key, ".dll") || endsWith(key, ".exe"))
        key.resize(key.size() - 4);
    else if (endsWith(key, "."))
        key.pop_back();

    static const char *const platformNames[] = {"kernel32", "user32", "gdi32", "advapi32",
                                                "shell32", "ole32", "comdlg32"};
    for (const char *platformName : platformNames)
        if (key == platformName) return "vekhost";
    if (key == "vekkit32") return "vekkit";
    return key;
}

int collect(dl_phdr_info *info, size_t, void *data)
{
    auto &objects = *static_cast<std::vector<LoadedObject> *>(data);
    uintptr_t lowest = UINTPTR_MAX;
    for (int i = 0; i < info->dlpi_phnum; i++)
        if (info->dlpi_phdr[i].p_type == PT_LOAD && info->dlpi_phdr[i].p_vaddr < lowest)
            lowest = info->dlpi_phdr[i].p_vaddr;
    if (lowest == UINTPTR_MAX) return 0;
    // Page-aligned like the loader's own record of the mapping (dladdr's
    // dli_fbase), with which GetProcAddress checks a symbol's owner.
    static const uintptr_t pageMask = ~static_cast<uintptr_t>(sysconf(_SC_PAGESIZE) - 1);
    // The loader lists the program first, without a name.
    bool program = objects.empty() && !*info->dlpi_name;
    if (!program && !*info->dlpi_name) return 0;
    objects.push_back({program ? "" : info->dlpi_name, (info->dlpi_addr + lowest) & pageMask});
    return 0;
}

std::vector<LoadedObject> loadedObjects()
{
    std::vector<LoadedObject> objects;
    dl_iterate_phdr(collect, &objects);
    return objects;
}

const Builtin *findBuiltin(HMODULE module)
{
    Registry &r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    for (const auto &builtin : r.modules)
        if (reinterpret_cast<HMODULE>(builtin.get()) == module) return builtin.get();
    return nullptr;
}

HMODULE findBuiltin(const std::string &key)
{
    Registry &r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    for (const auto &builtin : r.modules)
        if (builtin->key == key) return reinterpret_cast<HMODULE>(builtin.get());
    return nullptr;
}

// The loaded object a handle names (null: the program).
bool findObject(HMODULE module, LoadedObject &out)
{
    std::vector<LoadedObject> objects = loadedObjects();
    if (objects.empty()) return false;
    if (!module) {
        out = objects.front();
        return true;
    }
    for (const LoadedObject &object : objects) {
        if (reinterpret_cast<HMODULE>(object.base) == module) {
            out = object;
            return true;
        }
    }
    return false;
}

std::string objectPath(const LoadedObject &object)
{
    if (object.path.empty()) return executablePath();
    char *real = realpath(object.path.c_str(), nullptr);
    if (!real) return object.path;
    std::string path = real;
    std::free(real);
    return path;
}

}  // namespace

HMODULE registerBuiltinModule(const char *name, const ModuleExport *exports, size_t count)
{
    std::string fileName = "C:\\windows\\system32\\";
    for (const char *c = name; *c; c++) fileName += lower(*c);
    fileName += ".dll";
    Registry &r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.modules.push_back(std::make_unique<Builtin>(Builtin{moduleKey(name), fileName, exports, count}));
    return reinterpret_cast<HMODULE>(r.modules.back().get());
}

const std::string &executablePath()
{
    static const std::string path = [] {
        char buffer[PATH_MAX];
        ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string("/");
    }();
    return path;
}

bool resolveModule(HMODULE module, HMODULE &handle, std::string &hostPath)
{
    if (module && findBuiltin(module)) {
        handle = module;
        hostPath.clear();
        return true;
    }
    LoadedObject object;
    if (!findObject(module, object)) {
        vek::host::setError(ERROR_MOD_NOT_FOUND);
        return false;
    }
    handle = reinterpret_cast<HMODULE>(object.base);
    hostPath = objectPath(object);
    return true;
}

}  // namespace vek::host

using namespace vek::host;

HMODULE WINAPI GetModuleHandleA(LPCSTR name)
{
    VEKHOST_CALL(Channel::kernel, name);
    LoadedObject object;
    if (!name) return findObject(nullptr, object) ? reinterpret_cast<HMODULE>(object.base) : nullptr;
    std::string key = moduleKey(name);
    if (HMODULE builtin = findBuiltin(key)) return builtin;
    std::vector<LoadedObject> objects = loadedObjects();
    for (const LoadedObject &candidate : objects) {
        std::string path = candidate.path.empty() ? executablePath() : candidate.path;
        if (moduleKey(path) == key) return reinterpret_cast<HMODULE>(candidate.base);
    }
    vek::host::setError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size)
{
    std::string fileName;
    LoadedObject object;
    if (const Builtin *builtin = findBuiltin(module)) {
        fileName = builtin->fileName;
    } else if (findObject(module, object)) {
        fileName = toDosPath(objectPath(object));
    } else {
        vek::host::setError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (!buffer) size = 0;
    if (fileName.size() < size) {
        std::memcpy(buffer, fileName.c_str(), fileName.size() + 1);
        return static_cast<DWORD>(fileName.size());
    }
    // Too small: as much as fits, terminated, and the buffer's size.
    if (size) {
        std::memcpy(buffer, fileName.data(), size - 1);
        buffer[size - 1] = '\0';
    }
    vek::host::setError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name)
{
    VEKHOST_CALL(Channel::kernel, module, name);
    // Values below 64K are ordinals, which no module here exports.
    bool byName = reinterpret_cast<uintptr_t>(name) >= 0x10000;
    if (const Builtin *builtin = module ? findBuiltin(module) : nullptr) {
        for (size_t i = 0; byName && i < builtin->count; i++)
            if (std::strcmp(builtin->exports[i].name, name) == 0) return builtin->exports[i].proc;
        vek::host::setError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    LoadedObject object;
    if (!findObject(module, object)) {
        vek::host::setError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    void *symbol = nullptr;
    if (byName) {
        void *handle = dlopen(object.path.empty() ? nullptr : object.path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
        if (handle) {
            symbol = dlsym(handle, name);
            // dlsym also searches the object's dependencies; only the
            // object's own exports count.
            Dl_info owner;
            if (symbol && (!dladdr(symbol, &owner) || reinterpret_cast<uintptr_t>(owner.dli_fbase) != object.base))
                symbol = nullptr;
            dlclose(handle);
        }
    }
    if (!symbol) {
        vek::host::setError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

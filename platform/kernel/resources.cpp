// Resources of modules: FindResourceA, LoadResource, LockResource,
// FreeResource, SizeofResource, and vekhostAttachResources.
//
// A module's resources come from a compiled resource file (.res): the one
// attached to it with vekhostAttachResources, else the one beside the
// module's file, named like it with its extension replaced by ".res" (or
// ".res" added when it has none). A file that is damaged anywhere gives the
// module no resources at all.
//
// Every file read stays in memory for the life of the process, as a loaded
// module's resources stay mapped: an HRSRC is the address of an entry, the
// "global handle" of LoadResource the address of the entry's data, and
// both remain valid when a module gets another file attached.
#include <vekhost.h>

#include "kernel/error.h"
#include "kernel/module.h"
#include "kernel/paths.h"
#include "kernel/res_file.h"

#include <cerrno>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unordered_set>

namespace vek::host {
namespace {

// Largest resource file read: far beyond what a module of 32-bit Windows holds.
constexpr off_t kMaxFileBytes = off_t{1} << 28;

// A file found beside a module, with what identified its version on disk.
struct BesideFile {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    const ResourceFile *file = nullptr;
};

struct Resources {
    std::mutex lock;
    std::vector<std::unique_ptr<ResourceFile>> files;  // every file read
    std::unordered_set<const ResourceEntry *> entries; // every entry of them
    std::map<HMODULE, const ResourceFile *> attached;
    std::map<std::string, BesideFile> beside;  // by host path
};

const ResourceFile *fail(DWORD error, debug::CallSite where = debug::CallSite::here())
{
    vek::host::setError(error, nullptr, where);
    return nullptr;
}

Resources &resources()
{
    static Resources *r = new Resources;  // never destroyed: handles outlive statics
    return *r;
}

// Reads and parses the file at a host path; null with the last error set.
// The file is kept in r.files.
const ResourceFile *readFile(Resources &r, const std::string &path, const struct stat &st)
{
    if (!S_ISREG(st.st_mode) || st.st_size > kMaxFileBytes) {
        vek::host::setError(ERROR_BAD_FORMAT);
        return nullptr;
    }
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) {
        setErrorFromErrno(errno);
        return nullptr;
    }
    auto file = std::make_unique<ResourceFile>();
    file->bytes.resize(static_cast<size_t>(st.st_size));
    const size_t got = std::fread(file->bytes.data(), 1, file->bytes.size(), f);
    // A byte past the expected end means the file grew while we read it.
    const bool whole = got == file->bytes.size() && std::fgetc(f) == EOF;
    std::fclose(f);
    if (!whole || !parseResourceFile(*file)) {
        vek::host::setError(ERROR_BAD_FORMAT);
        return nullptr;
    }
    for (const ResourceEntry &e : file->entries) r.entries.insert(&e);
    r.files.push_back(std::move(file));
    return r.files.back().get();
}

std::string besidePath(const std::string &modulePath)
{
    const size_t name = modulePath.find_last_of('/') + 1;
    const size_t dot = modulePath.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && dot > name;
    return (hasExtension ? modulePath.substr(0, dot) : modulePath) + ".res";
}

// The resource file of a module; null with the last error set when it has none.
const ResourceFile *moduleFile(Resources &r, HMODULE module)
{
    HMODULE handle;
    std::string path;
    if (!resolveModule(module, handle, path)) return nullptr;
    if (auto it = r.attached.find(handle); it != r.attached.end()) return it->second;
    if (path.empty()) return fail(ERROR_RESOURCE_DATA_NOT_FOUND);
    path = besidePath(path);
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return fail(ERROR_RESOURCE_DATA_NOT_FOUND);
    // Read again only when the file on disk has changed.
    BesideFile &known = r.beside[path];
    if (!known.file || known.device != st.st_dev || known.inode != st.st_ino || known.size != st.st_size ||
        known.modified.tv_sec != st.st_mtim.tv_sec || known.modified.tv_nsec != st.st_mtim.tv_nsec) {
        known = BesideFile{st.st_dev, st.st_ino, st.st_size, st.st_mtim, readFile(r, path, st)};
        if (!known.file) return fail(ERROR_RESOURCE_DATA_NOT_FOUND);
    }
    return known.file;
}

}  // namespace
}  // namespace vek::host

using namespace vek::host;

BOOL WINAPI vekhostAttachResources(HMODULE module, LPCSTR resFile)
{
    VEKHOST_CALL(Channel::kernel, module, resFile);
    HMODULE handle;
    std::string modulePath;
    if (!resolveModule(module, handle, modulePath)) return FALSE;
    Resources &r = resources();
    if (!resFile) {
        std::lock_guard<std::mutex> guard(r.lock);
        r.attached.erase(handle);
        return TRUE;
    }
    HostPath path;
    if (!toHostPath(resFile, path)) return FALSE;
    struct stat st;
    if (stat(path.path.c_str(), &st) != 0) {
        setPathError(path, errno);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(r.lock);
    const ResourceFile *file = readFile(r, path.path, st);
    if (!file) return FALSE;
    r.attached[handle] = file;
    return TRUE;
}

HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type)
{
    VEKHOST_CALL(Channel::kernel, module, name, type);
    if (!name || !type) {
        vek::host::setError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    Resources &r = resources();
    std::lock_guard<std::mutex> guard(r.lock);
    const ResourceFile *file = moduleFile(r, module);
    if (!file) return nullptr;
    const ResourceId wantedType = resourceIdFromArgument(type);
    const ResourceId wantedName = resourceIdFromArgument(name);
    bool typeFound = false;
    for (const ResourceEntry &e : file->entries) {
        if (!sameResourceId(e.type, wantedType)) continue;
        typeFound = true;
        if (sameResourceId(e.name, wantedName)) return reinterpret_cast<HRSRC>(const_cast<ResourceEntry *>(&e));
    }
    vek::host::setError(typeFound ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
}

namespace {

// The entry an HRSRC names, or null (last error set) when it names none.
const ResourceEntry *entryOf(Resources &r, HRSRC resource)
{
    const auto *e = reinterpret_cast<const ResourceEntry *>(resource);
    if (r.entries.count(e)) return e;
    vek::host::setError(ERROR_INVALID_HANDLE);
    return nullptr;
}

const ResourceFile *fileOf(Resources &r, const ResourceEntry *e)
{
    for (const auto &file : r.files)
        if (e >= file->entries.data() && e < file->entries.data() + file->entries.size()) return file.get();
    return nullptr;
}

}  // namespace

HGLOBAL WINAPI LoadResource(HMODULE, HRSRC resource)
{
    Resources &r = resources();
    std::lock_guard<std::mutex> guard(r.lock);
    const ResourceEntry *e = entryOf(r, resource);
    if (!e) return nullptr;
    const ResourceFile *file = fileOf(r, e);
    // The bytes of a file with entries are never empty, so the address is not null.
    return const_cast<BYTE *>(file->bytes.data()) + e->offset;
}

LPVOID WINAPI LockResource(HGLOBAL data) { return data; }

BOOL WINAPI FreeResource(HGLOBAL) { return FALSE; }

DWORD WINAPI SizeofResource(HMODULE, HRSRC resource)
{
    Resources &r = resources();
    std::lock_guard<std::mutex> guard(r.lock);
    const ResourceEntry *e = entryOf(r, resource);
    return e ? e->size : 0;
}

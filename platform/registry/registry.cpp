// The registry: keys and values in two file-backed stores.
//
// Each store (user.reg for HKEY_CURRENT_USER, system.reg for the other roots,
// in the prefix folder) is kept in memory and re-read whenever its file has
// changed (another process saved it: every save makes a new file, so the
// inode and times tell). Every call holds the store's lock file with flock,
// shared to read and exclusive to change, so a read-modify-write of one
// process never interleaves with another's and nothing is lost. A change is
// saved at once: the whole text goes to "<store>.new", is synced, and is
// renamed over the store, so an interrupted save leaves the old store
// whole. A store whose file is read-only, or whose folder cannot take the
// new file, cannot be changed: such calls fail with ERROR_ACCESS_DENIED and
// the store stays as it was.
//
// An open key is a handle of the key table (0x10, 0x14, ...) naming a store
// and the key's full path; a key deleted while open makes later calls on
// the handle fail with ERROR_KEY_DELETED.
#include <windows.h>

#include "kernel/prefix.h"
#include "registry/registry_file.h"

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using vek::host::foldName;
using vek::host::RegKey;
using vek::host::RegKeys;
using vek::host::RegValue;

constexpr size_t kMaxKeyName = 255;
constexpr size_t kMaxValueName = 16383;

struct Stamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{};
    bool operator==(const Stamp &o) const
    {
        return device == o.device && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec &&
               modified.tv_nsec == o.modified.tv_nsec;
    }
};

struct Store {
    explicit Store(const char *name) : fileName(name) {}
    const char *fileName;
    bool loaded = false;
    Stamp stamp;
    RegKeys keys;
};

struct OpenKey {
    Store *store;
    std::string path;  // full path with the root's name
};

struct Registry {
    std::mutex lock;
    Store user{"user.reg"};
    Store system{"system.reg"};
    std::vector<std::optional<OpenKey>> handles;
};

Registry &registry()
{
    static Registry *r = new Registry;  // never destroyed: handles may outlive statics
    return *r;
}

constexpr ULONG_PTR kFirstHandle = 0x10;
constexpr ULONG_PTR kHandleStep = 4;

const char *rootName(HKEY key)
{
    if (key == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
    if (key == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
    if (key == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
    if (key == HKEY_USERS) return "HKEY_USERS";
    if (key == HKEY_CURRENT_CONFIG) return "HKEY_CURRENT_CONFIG";
    if (key == HKEY_DYN_DATA) return "HKEY_DYN_DATA";
    return nullptr;
}

std::string storePath(const Store &store)
{
    return vek::host::prefixFolder() + "/" + store.fileName;
}

Stamp stampOf(const std::string &path)
{
    struct stat info;
    Stamp stamp;
    if (stat(path.c_str(), &info) == 0) {
        stamp.device = info.st_dev;
        stamp.inode = info.st_ino;
        stamp.size = info.st_size;
        stamp.modified = info.st_mtim;
    }
    return stamp;
}

bool readWhole(const std::string &path, std::string &text)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT;
    char buffer[65536];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, size_t(n));
    close(fd);
    return n == 0;
}

void refresh(Store &store)
{
    std::string path = storePath(store);
    Stamp now = stampOf(path);
    if (store.loaded && now == store.stamp) return;
    std::string text;
    store.keys = readWhole(path, text) ? vek::host::parseRegistryText(text) : RegKeys{};
    store.stamp = now;
    store.loaded = true;
}

bool writable(const std::string &path)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return errno == ENOENT;
    return (info.st_mode & 0222) != 0 && access(path.c_str(), W_OK) == 0;
}

// Writes the store's text next to it and renames it into place.
bool save(Store &store)
{
    std::string path = storePath(store);
    if (!writable(path)) return false;
    std::string fresh = path + ".new";
    std::string text = vek::host::formatRegistryText(store.keys);
    int fd = open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n <= 0) break;
        done += size_t(n);
    }
    bool ok = done == text.size() && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(fresh.c_str(), path.c_str()) != 0) {
        unlink(fresh.c_str());
        return false;
    }
    store.stamp = stampOf(path);
    return true;
}

// The store's inter-process lock, held for one call.
class StoreLock {
public:
    StoreLock(const Store &store, bool exclusive)
    {
        fd_ = open((storePath(store) + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0) return;
        while (flock(fd_, exclusive ? LOCK_EX : LOCK_SH) != 0 && errno == EINTR) {
        }
    }
    StoreLock(const StoreLock &) = delete;
    StoreLock &operator=(const StoreLock &) = delete;
    ~StoreLock()
    {
        if (fd_ >= 0) close(fd_);
    }
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// What a call works on: a store brought up to date under its lock, and the
// full path of the key named by the handle.
struct Target {
    Store *store = nullptr;
    std::string path;
};

// Resolves a handle (root or opened key) under the registry's lock.
LONG resolve(Registry &r, HKEY key, Target &target)
{
    if (const char *root = rootName(key)) {
        target.store = key == HKEY_CURRENT_USER ? &r.user : &r.system;
        target.path = root;
        return ERROR_SUCCESS;
    }
    ULONG_PTR value = reinterpret_cast<ULONG_PTR>(key);
    if (value < kFirstHandle || (value - kFirstHandle) % kHandleStep) return ERROR_INVALID_HANDLE;
    size_t index = (value - kFirstHandle) / kHandleStep;
    if (index >= r.handles.size() || !r.handles[index]) return ERROR_INVALID_HANDLE;
    target.store = r.handles[index]->store;
    target.path = r.handles[index]->path;
    return ERROR_SUCCESS;
}

HKEY addHandle(Registry &r, Store *store, const std::string &path)
{
    size_t index = 0;
    while (index < r.handles.size() && r.handles[index]) ++index;
    if (index == r.handles.size()) r.handles.emplace_back();
    r.handles[index] = OpenKey{store, path};
    return reinterpret_cast<HKEY>(kFirstHandle + index * kHandleStep);
}

bool isRoot(const std::string &path)
{
    return path.find('\\') == std::string::npos;
}

// The key of a full path, or null; roots always exist.
RegKey *findKey(Store &store, const std::string &path)
{
    auto found = store.keys.find(foldName(path));
    if (found != store.keys.end()) return &found->second;
    if (isRoot(path)) return &store.keys.try_emplace(foldName(path), RegKey{path, {}}).first->second;
    return nullptr;
}

// Appends the components of a relative key name to base. Fails for a
// component longer than a key name may be, and for an empty one inside the
// name (a trailing separator is allowed, as on Windows).
LONG joinSubKey(const std::string &base, LPCSTR subKey, std::string &out)
{
    out = base;
    if (!subKey) return ERROR_SUCCESS;
    std::string rest = subKey;
    if (!rest.empty() && rest[0] == '\\') return ERROR_BAD_PATHNAME;
    while (!rest.empty() && rest.back() == '\\') rest.pop_back();
    size_t at = 0;
    while (at < rest.size()) {
        size_t end = rest.find('\\', at);
        if (end == std::string::npos) end = rest.size();
        if (end == at) return ERROR_BAD_PATHNAME;
        if (end - at > kMaxKeyName) return ERROR_INVALID_PARAMETER;
        out += '\\';
        out.append(rest, at, end - at);
        at = end + 1;
    }
    return ERROR_SUCCESS;
}

// Runs one call on a store under both locks: action(store) returns the
// result and says through changed whether the store must be saved.
template <typename Action>
LONG withStore(Store &store, bool exclusive, Action action)
{
    StoreLock fileLock(store, exclusive);
    if (exclusive && !fileLock.held()) return ERROR_ACCESS_DENIED;
    refresh(store);
    bool changed = false;
    LONG result = action(store, changed);
    if (changed && !save(store)) {
        store.loaded = false;  // drop the change: the next call re-reads the file
        return ERROR_ACCESS_DENIED;
    }
    return result;
}

}  // namespace

LSTATUS WINAPI RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES,
                               PHKEY result, LPDWORD disposition)
{
    if (!result) return ERROR_INVALID_PARAMETER;
    Registry &r = registry();
    std::lock_guard guard(r.lock);
    Target target;
    if (LONG error = resolve(r, key, target)) return error;
    std::string path;
    if (LONG error = joinSubKey(target.path, subKey, path)) return error;
    DWORD how = REG_OPENED_EXISTING_KEY;
    LONG error = withStore(*target.store, true, [&](Store &store, bool &changed) -> LONG {
        if (!findKey(store, target.path)) return ERROR_KEY_DELETED;
        if (findKey(store, path)) return ERROR_SUCCESS;
        std::string walked = target.path;
        for (size_t at = target.path.size() + 1; at <= path.size(); ++at) {
            if (at != path.size() && path[at] != '\\') continue;
            walked = path.substr(0, at);
            store.keys.try_emplace(foldName(walked), RegKey{walked, {}});
        }
        how = REG_CREATED_NEW_KEY;
        changed = true;
        return ERROR_SUCCESS;
    });
    if (error) return error;
    *result = addHandle(r, target.store, path);
    if (disposition) *disposition = how;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM, PHKEY result)
{
    if (!result) return ERROR_INVALID_PARAMETER;
    Registry &r = registry();
    std::lock_guard guard(r.lock);
    Target target;
    if (LONG error = resolve(r, key, target)) return error;
    std::string path;
    if (LONG error = joinSubKey(target.path, subKey, path)) return error;
    LONG error = withStore(*target.store, false, [&](Store &store, bool &) -> LONG {
        if (!findKey(store, target.path)) return ERROR_KEY_DELETED;
        return findKey(store, path) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
    if (error) return error;
    *result = addHandle(r, target.store, path);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size)
{
    if (data && !size) return ERROR_INVALID_PARAMETER;
    Registry &r = registry();
    std::lock_guard guard(r.lock);
    Target target;
    if (LONG error = resolve(r, key, target)) return error;
    return withStore(*target.store, false, [&](Store &store, bool &) -> LONG {
        RegKey *found = findKey(store, target.path);
        if (!found) return ERROR_KEY_DELETED;
        auto value = found->values.find(foldName(name ? name : ""));
        if (value == found->values.end()) return ERROR_FILE_NOT_FOUND;
        const std::vector<BYTE> &bytes = value->second.data;
        if (type) *type = value->second.type;
        if (!size) return ERROR_SUCCESS;
        DWORD room = *size;
        *size = DWORD(bytes.size());
        if (!data) return ERROR_SUCCESS;
        if (room < bytes.size()) return ERROR_MORE_DATA;
        std::copy(bytes.begin(), bytes.end(), data);
        return ERROR_SUCCESS;
    });
}

LSTATUS WINAPI RegSetValueExA(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE *data, DWORD size)
{
    if (size && !data) return ERROR_NOACCESS;
    std::string valueName = name ? name : "";
    if (valueName.size() > kMaxValueName) return ERROR_INVALID_PARAMETER;
    Registry &r = registry();
    std::lock_guard guard(r.lock);
    Target target;
    if (LONG error = resolve(r, key, target)) return error;
    return withStore(*target.store, true, [&](Store &store, bool &changed) -> LONG {
        RegKey *found = findKey(store, target.path);
        if (!found) return ERROR_KEY_DELETED;
        RegValue &value = found->values[foldName(valueName)];
        if (value.name.empty()) value.name = valueName;
        value.type = type;
        value.data.assign(data, data + size);
        changed = true;
        return ERROR_SUCCESS;
    });
}

LSTATUS WINAPI RegDeleteKeyA(HKEY key, LPCSTR subKey)
{
    Registry &r = registry();
    std::lock_guard guard(r.lock);
    Target target;
    if (LONG error = resolve(r, key, target)) return error;
    std::string path;
    if (LONG error = joinSubKey(target.path, subKey, path)) return error;
    if (isRoot(path)) return ERROR_ACCESS_DENIED;
    return withStore(*target.store, true, [&](Store &store, bool &changed) -> LONG {
        if (!findKey(store, target.path)) return ERROR_KEY_DELETED;
        auto found = store.keys.find(foldName(path));
        if (found == store.keys.end()) return ERROR_FILE_NOT_FOUND;
        auto next = std::next(found);
        std::string childPrefix = found->first + "\\";
        if (next != store.keys.end() && next->first.compare(0, childPrefix.size(), childPrefix) == 0)
            return ERROR_ACCESS_DENIED;
        store.keys.erase(found);
        changed = true;
        return ERROR_SUCCESS;
    });
}

LSTATUS WINAPI RegDeleteValueA(HKEY key, LPCSTR name)
{
    Registry &r = registry();
    std::lock_guard guard(r.lock);
    Target target;
    if (LONG error = resolve(r, key, target)) return error;
    return withStore(*target.store, true, [&](Store &store, bool &changed) -> LONG {
        RegKey *found = findKey(store, target.path);
        if (!found) return ERROR_KEY_DELETED;
        if (!found->values.erase(foldName(name ? name : ""))) return ERROR_FILE_NOT_FOUND;
        changed = true;
        return ERROR_SUCCESS;
    });
}

LSTATUS WINAPI RegCloseKey(HKEY key)
{
    if (rootName(key)) return ERROR_SUCCESS;
    Registry &r = registry();
    std::lock_guard guard(r.lock);
    Target target;
    if (LONG error = resolve(r, key, target)) return error;
    r.handles[(reinterpret_cast<ULONG_PTR>(key) - kFirstHandle) / kHandleStep].reset();
    return ERROR_SUCCESS;
}

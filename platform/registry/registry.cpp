// The registry: keys and values in two file-backed stores.
//
// Each store (user.reg for HKEY_CURRENT_USER, system.reg for the other roots,
// in the prefix folder) is kept in memory and re-read whenever its file is
// not the one last read or saved. Every save writes a new random 128-bit
// mark into the file's second line (a REGEDIT4 comment, "; saved <mark>"),
// and the copy in memory is taken as current only while the file has both
// the mark and the identity (device, inode, size, modification time) seen
// last: two saves never share a mark, even when the second gets the first's
// inode back within the resolution of the file times, and a file edited by
// hand changes its identity.
//
// Every call holds the prefix folder itself locked with flock, shared to
// read and exclusive to change, and reaches the store files only through
// that folder's descriptor. The lock and the files it guards are thus one
// object that nobody can delete or replace while it is held (a lock file
// could be deleted, and the next writer would lock a new one while the
// first still wrote): one process's read-modify-write never interleaves with
// another's and nothing is lost.
//
// A change is saved at once: the whole text goes to "<store>.new", is
// synced, and is renamed over the store, so an interrupted save leaves the
// old store whole. A failed save (a full disk gives ERROR_DISK_FULL, as on
// Windows) leaves the store as it was, on disk and in memory. A store whose
// file is read-only, or whose folder cannot take the new file, cannot be
// changed (ERROR_ACCESS_DENIED). A store file that exists but cannot be read
// (not a regular file, larger than 64 MiB, a read error) fails every call on
// its store: it is never taken for an empty store that the next change would
// save over it.
//
// An open key is a handle of the key table (shared/handle_table.h) naming a store
// and the key's full path; a key deleted while open makes later calls on
// the handle fail with ERROR_KEY_DELETED.
#include <windows.h>

#include "debug/channel.h"
#include "kernel/error.h"
#include "kernel/prefix.h"
#include "registry/registry_file.h"
#include "shared/handle_table.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using vek::host::foldName;
using vek::host::RegKey;
using vek::host::RegValue;

// The largest store file read or written.
constexpr size_t kMaxStoreFile = 64 << 20;
// As on Windows, one call creates at most this many levels of keys.
constexpr size_t kMaxCreatedAtOnce = 32;

// The start of a store file written here; the mark's 32 hex digits follow.
constexpr char kMarkedHeader[] = "REGEDIT4\r\n; saved ";
constexpr size_t kMarkDigits = 32;

// What tells one store file from another.
struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;  // -1: there is no file
    timespec modified{};
    std::string mark;  // "" for a file not written here
    bool operator==(const Identity &o) const
    {
        return device == o.device && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec &&
               modified.tv_nsec == o.modified.tv_nsec && mark == o.mark;
    }
};

struct Store {
    explicit Store(const char *name) : fileName(name) {}
    const char *fileName;
    bool loaded = false;
    Identity identity;  // of the file the keys were read from or saved to
    RegKey top;
};

struct OpenKey {
    Store *store;
    std::string path;  // full path with the root's name
};

struct Registry {
    std::mutex lock;
    Store user{"user.reg"};
    Store system{"system.reg"};
    vek::HandleTable<OpenKey> handles;
};

Registry &registry()
{
    static Registry *r = new Registry;  // never destroyed: handles may outlive statics
    return *r;
}

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

Identity identityOf(const struct stat &info, std::string mark)
{
    return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, std::move(mark)};
}

// The mark in the first bytes of a store file, or "".
std::string markOf(const char *head, size_t size)
{
    const size_t headerLength = sizeof kMarkedHeader - 1;
    if (size < headerLength + kMarkDigits || std::memcmp(head, kMarkedHeader, headerLength) != 0) return {};
    return std::string(head + headerLength, kMarkDigits);
}

// A new mark: 128 random bits in hex; "" when the system gives no random bits.
std::string newMark()
{
    unsigned char bits[kMarkDigits / 2];
    size_t got = 0;
    while (got < sizeof bits) {
        ssize_t n = getrandom(bits + got, sizeof bits - got, 0);
        if (n > 0)
            got += size_t(n);
        else if (errno != EINTR)
            return {};
    }
    static const char digits[] = "0123456789abcdef";
    std::string mark;
    for (unsigned char b : bits) {
        mark += digits[b >> 4];
        mark += digits[b & 15];
    }
    return mark;
}

// The prefix folder, locked for one call. folder() is -1 when it cannot be
// opened; error() then holds the errno.
class FolderLock {
public:
    explicit FolderLock(bool exclusive)
    {
        fd_ = open(vek::host::prefixFolder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ < 0) {
            error_ = errno;
            return;
        }
        while (flock(fd_, exclusive ? LOCK_EX : LOCK_SH) != 0) {
            if (errno == EINTR) continue;
            error_ = errno;
            close(fd_);
            fd_ = -1;
            return;
        }
    }
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;
    ~FolderLock()
    {
        if (fd_ >= 0) close(fd_);
    }
    int folder() const { return fd_; }
    int error() const { return error_; }

private:
    int fd_ = -1;
    int error_ = 0;
};

// Reads the whole of an open store file into text; false on a read error or
// a file grown past the largest store.
bool readStoreFile(int fd, std::string &text)
{
    char buffer[65536];
    for (;;) {
        ssize_t n = pread(fd, buffer, sizeof buffer, off_t(text.size()));
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (text.size() + size_t(n) > kMaxStoreFile) return false;
        text.append(buffer, size_t(n));
    }
}

// Brings the store up to date with its file, under the folder lock. A
// missing file (or folder, folder -1) is an empty store; a file that exists
// but cannot be read fails the call and leaves nothing loaded.
LONG refresh(Store &store, int folder)
{
    int fd = folder < 0 ? -1 : openat(folder, store.fileName, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (folder >= 0 && errno != ENOENT) {
            store.loaded = false;
            return errno == EACCES || errno == EPERM ? ERROR_ACCESS_DENIED : ERROR_CANTREAD;
        }
        if (!store.loaded || store.identity.size != -1) {
            store.top = RegKey{};
            store.identity = Identity{};
            store.loaded = true;
        }
        return ERROR_SUCCESS;
    }
    struct stat info;
    char head[sizeof kMarkedHeader - 1 + kMarkDigits];
    ssize_t headSize = 0;
    std::string text;
    bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && size_t(info.st_size) <= kMaxStoreFile;
    if (ok) {
        while ((headSize = pread(fd, head, sizeof head, 0)) < 0 && errno == EINTR) {
        }
        ok = headSize >= 0;
    }
    Identity now = ok ? identityOf(info, markOf(head, size_t(headSize))) : Identity{};
    bool current = ok && store.loaded && now == store.identity;
    if (ok && !current) ok = readStoreFile(fd, text);
    close(fd);
    if (!ok) {
        store.loaded = false;
        return ERROR_CANTREAD;
    }
    if (!current) {
        store.top = vek::host::parseRegistryText(text);
        store.identity = std::move(now);
        store.loaded = true;
    }
    return ERROR_SUCCESS;
}

bool writable(int folder, const char *name)
{
    struct stat info;
    if (fstatat(folder, name, &info, 0) != 0) return errno == ENOENT;
    return (info.st_mode & 0222) != 0 && faccessat(folder, name, W_OK, 0) == 0;
}

// The error of a save that failed with errno err.
LONG saveError(int err)
{
    DWORD error = vek::host::errorFromErrno(err);
    return error == ERROR_DISK_FULL || error == ERROR_ACCESS_DENIED ? LONG(error) : ERROR_CANTWRITE;
}

// Writes the store's text next to it and renames it into place.
LONG save(Store &store, int folder)
{
    if (folder < 0 || !writable(folder, store.fileName)) return ERROR_ACCESS_DENIED;
    std::string mark = newMark();
    if (mark.empty()) return ERROR_CANTWRITE;
    const std::string text = vek::host::formatRegistryText(store.top, "saved " + mark);
    if (text.size() > kMaxStoreFile) return ERROR_REGISTRY_QUOTA_LIMIT;
    const std::string fresh = std::string(store.fileName) + ".new";
    int fd = openat(folder, fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return saveError(errno);
    int err = 0;
    for (size_t done = 0; done < text.size() && !err;) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n > 0)
            done += size_t(n);
        else if (n == 0)
            err = ENOSPC;
        else if (errno != EINTR)
            err = errno;
    }
    struct stat info;
    if (!err && fsync(fd) != 0) err = errno;
    if (!err && fstat(fd, &info) != 0) err = errno;
    if (close(fd) != 0 && !err) err = errno;
    if (!err && renameat(folder, fresh.c_str(), folder, store.fileName) != 0) err = errno;
    if (err) {
        unlinkat(folder, fresh.c_str(), 0);
        return saveError(err);
    }
    fsync(folder);  // the rename itself reaches the disk
    store.identity = identityOf(info, std::move(mark));
    return ERROR_SUCCESS;
}

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
    const OpenKey *open = r.handles.get(reinterpret_cast<uintptr_t>(key));
    if (!open) return ERROR_INVALID_HANDLE;
    target.store = open->store;
    target.path = open->path;
    return ERROR_SUCCESS;
}

// Opens a handle of the key at path in store, in result.
LONG addHandle(Registry &r, Store *store, const std::string &path, PHKEY result)
{
    const uint32_t handle = r.handles.add(std::make_unique<OpenKey>(OpenKey{store, path}));
    if (handle == 0) return ERROR_NOT_ENOUGH_MEMORY;
    *result = reinterpret_cast<HKEY>(uintptr_t{handle});
    return ERROR_SUCCESS;
}

bool isRoot(const std::string &path)
{
    return path.find('\\') == std::string::npos;
}

// The key of a full path, or null; roots always exist.
RegKey *findKey(Store &store, const std::string &path)
{
    return isRoot(path) ? &vek::host::addKey(store.top, path) : vek::host::findKey(store.top, path);
}

// Appends the names of a relative key path to base. Fails with
// ERROR_BAD_PATHNAME for a leading separator or an empty name inside (a
// trailing separator is allowed, as on Windows), and with
// ERROR_INVALID_PARAMETER for a name that no key may have or a key deeper
// than Windows allows.
LONG joinSubKey(const std::string &base, LPCSTR subKey, std::string &out)
{
    out = base;
    if (!subKey) return ERROR_SUCCESS;
    std::string_view rest = subKey;
    if (!rest.empty() && rest[0] == '\\') return ERROR_BAD_PATHNAME;
    while (!rest.empty() && rest.back() == '\\') rest.remove_suffix(1);
    size_t depth = size_t(std::count(base.begin(), base.end(), '\\'));
    size_t at = 0;
    while (at < rest.size()) {
        size_t end = std::min(rest.find('\\', at), rest.size());
        std::string_view name = rest.substr(at, end - at);
        if (name.empty()) return ERROR_BAD_PATHNAME;
        if (!vek::host::validKeyName(name) || ++depth > vek::host::kMaxKeyDepth) return ERROR_INVALID_PARAMETER;
        out += '\\';
        out += name;
        at = end + 1;
    }
    return ERROR_SUCCESS;
}

// Runs one call on a store under both locks: action(store) returns the
// result and says through changed whether the store must be saved. A change
// that cannot be saved is dropped: the next call reads the file again.
template <typename Action>
LONG withStore(Store &store, bool exclusive, Action action)
{
    FolderLock lock(exclusive);
    if (lock.folder() < 0 && (exclusive || lock.error() != ENOENT)) return ERROR_ACCESS_DENIED;
    if (LONG error = refresh(store, lock.folder())) return error;
    bool changed = false;
    LONG result = action(store, changed);
    if (changed) {
        if (LONG error = save(store, lock.folder())) {
            store.loaded = false;
            return error;
        }
    }
    return result;
}

LSTATUS createKey(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES,
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
        RegKey *existing = findKey(store, target.path);
        if (!existing) return ERROR_KEY_DELETED;
        // Walks down the keys that exist; the rest are made if few enough.
        std::string_view rest = std::string_view(path).substr(std::min(path.size(), target.path.size() + 1));
        size_t at = 0;
        while (at < rest.size()) {
            size_t end = std::min(rest.find('\\', at), rest.size());
            auto found = existing->subkeys.find(foldName(rest.substr(at, end - at)));
            if (found == existing->subkeys.end()) break;
            existing = found->second.get();
            at = end + 1;
        }
        if (at >= rest.size()) return ERROR_SUCCESS;
        rest = rest.substr(at);
        if (size_t(std::count(rest.begin(), rest.end(), '\\')) >= kMaxCreatedAtOnce) return ERROR_INVALID_PARAMETER;
        vek::host::addKey(*existing, rest);
        how = REG_CREATED_NEW_KEY;
        changed = true;
        return ERROR_SUCCESS;
    });
    if (error) return error;
    if (LONG failed = addHandle(r, target.store, path, result)) return failed;
    if (disposition) *disposition = how;
    return ERROR_SUCCESS;
}

LSTATUS openKey(HKEY key, LPCSTR subKey, DWORD, REGSAM, PHKEY result)
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
    return addHandle(r, target.store, path, result);
}

LSTATUS queryValue(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size)
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

LSTATUS setValue(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE *data, DWORD size)
{
    if (size && !data) return ERROR_NOACCESS;
    std::string valueName = name ? name : "";
    if (valueName.size() > vek::host::kMaxValueName) return ERROR_INVALID_PARAMETER;
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

LSTATUS deleteKey(HKEY key, LPCSTR subKey)
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
        const size_t slash = path.rfind('\\');
        RegKey *parent = findKey(store, path.substr(0, slash));
        if (!parent) return ERROR_FILE_NOT_FOUND;
        auto found = parent->subkeys.find(foldName(path.substr(slash + 1)));
        if (found == parent->subkeys.end()) return ERROR_FILE_NOT_FOUND;
        if (!found->second->subkeys.empty()) return ERROR_ACCESS_DENIED;
        parent->subkeys.erase(found);
        changed = true;
        return ERROR_SUCCESS;
    });
}

LSTATUS deleteValue(HKEY key, LPCSTR name)
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

LSTATUS closeKey(HKEY key)
{
    if (rootName(key)) return ERROR_SUCCESS;
    Registry &r = registry();
    std::lock_guard guard(r.lock);
    return r.handles.remove(reinterpret_cast<uintptr_t>(key)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

// A failed call, reported on the registry trace channel; the calls give
// their error as the result and leave the last error alone.
LSTATUS reported(LSTATUS status)
{
    if (status != ERROR_SUCCESS) vek::debug::report(vek::debug::Channel::registry, status);
    return status;
}

}  // namespace

LSTATUS WINAPI RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
                               LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition)
{
    VEKHOST_CALL(Channel::registry, key, subKey, options, access, result, disposition);
    return reported(createKey(key, subKey, reserved, keyClass, options, access, security, result, disposition));
}

LSTATUS WINAPI RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result)
{
    VEKHOST_CALL(Channel::registry, key, subKey, options, access, result);
    return reported(openKey(key, subKey, options, access, result));
}

LSTATUS WINAPI RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    VEKHOST_CALL(Channel::registry, key, name, type, data, size);
    return reported(queryValue(key, name, reserved, type, data, size));
}

LSTATUS WINAPI RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE *data, DWORD size)
{
    VEKHOST_CALL(Channel::registry, key, name, type, data, size);
    return reported(setValue(key, name, reserved, type, data, size));
}

LSTATUS WINAPI RegDeleteKeyA(HKEY key, LPCSTR subKey)
{
    VEKHOST_CALL(Channel::registry, key, subKey);
    return reported(deleteKey(key, subKey));
}

LSTATUS WINAPI RegDeleteValueA(HKEY key, LPCSTR name)
{
    VEKHOST_CALL(Channel::registry, key, name);
    return reported(deleteValue(key, name));
}

LSTATUS WINAPI RegCloseKey(HKEY key)
{
    VEKHOST_CALL(Channel::registry, key);
    return reported(closeKey(key));
}

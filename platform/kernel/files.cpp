// Files through handles of the _lopen family, and OpenFile.
//
// An HFILE is a handle of the file table (shared/handle_table.h); its entry
// holds the host file descriptor and the access the file was opened with. Entries are
// shared, so a call that is using a file keeps its descriptor alive while
// another thread closes the handle. Share modes are accepted and not
// enforced: the host has no mandatory locks.
#include <windows.h>

#include "kernel/error.h"
#include "kernel/module.h"
#include "kernel/paths.h"
#include "shared/handle_table.h"
#include "shared/state_lock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using vek::host::HostPath;

// An open file; owns its descriptor.
struct File {
    File(int descriptor, bool read, bool write) : fd(descriptor), canRead(read), canWrite(write) {}
    File(const File &) = delete;
    File &operator=(const File &) = delete;
    ~File() { close(fd); }

    const int fd;
    const bool canRead;
    const bool canWrite;
};

// The largest position _llseek can report: the offset is a 32-bit value and
// 0xFFFFFFFF is its failure value.
constexpr off_t kMaxPosition = 0xFFFFFFFE;

struct FileTable {
    std::mutex lock;
    vek::HandleTable<std::shared_ptr<File>> entries;
};

FileTable &table()
{
    static FileTable *t = new FileTable;  // never destroyed: files may outlive statics
    return *t;
}

using TableLock = vek::StateLock<FileTable, table>;

// The handle of a new entry for file, or HFILE_ERROR when the table is full.
HFILE add(std::shared_ptr<File> file)
{
    TableLock lock;
    const uint32_t handle = table().entries.add(std::make_unique<std::shared_ptr<File>>(std::move(file)));
    if (handle == 0) {
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        return HFILE_ERROR;
    }
    return static_cast<HFILE>(handle);
}

// The file a handle names, or null with ERROR_INVALID_HANDLE.
std::shared_ptr<File> find(HFILE handle, bool remove = false)
{
    TableLock lock;
    FileTable &t = table();
    if (handle > 0) {
        if (remove) {
            if (auto entry = t.entries.remove(static_cast<uint32_t>(handle))) return std::move(*entry);
        } else if (std::shared_ptr<File> *entry = t.entries.get(static_cast<uint32_t>(handle))) {
            return *entry;
        }
    }
    vek::host::setError(ERROR_INVALID_HANDLE);
    return nullptr;
}

enum class Create { no, always };

// Opens a file for the access bits of an OF_ mode (OF_READ, OF_WRITE,
// OF_READWRITE; the fourth value gives a handle that may neither read nor
// write, as on Windows). Create::always makes a new empty file or truncates
// an existing one; readOnly marks a created file read-only. Success sets the
// last error as CreateFile does: ERROR_ALREADY_EXISTS when an existing file
// was truncated, else 0.
HFILE openFile(LPCSTR path, UINT mode, Create create, bool readOnly = false)
{
    HostPath host;
    if (!vek::host::toHostPath(path, host)) return HFILE_ERROR;
    UINT access = mode & 3;
    bool canRead = access == OF_READ || access == OF_READWRITE;
    bool canWrite = access == OF_WRITE || access == OF_READWRITE;

    int flags = O_CLOEXEC;
    DWORD success = ERROR_SUCCESS;
    int fd;
    if (create == Create::always) {
        // Opened for both, whatever the handle may do: a truncating open
        // needs write access on the host.
        flags |= O_RDWR | O_CREAT;
        mode_t permissions = readOnly ? 0444 : 0666;
        fd = open(host.path.c_str(), flags | O_EXCL, permissions);
        if (fd < 0 && errno == EEXIST) {
            fd = open(host.path.c_str(), flags | O_TRUNC, permissions);
            success = ERROR_ALREADY_EXISTS;
        }
    } else {
        flags |= canWrite ? (canRead ? O_RDWR : O_WRONLY) : O_RDONLY;
        fd = open(host.path.c_str(), flags);
    }
    if (fd < 0) {
        vek::host::setPathError(host, errno);
        return HFILE_ERROR;
    }
    auto file = std::make_shared<File>(fd, canRead, canWrite);
    struct stat info;
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        vek::host::setError(ERROR_ACCESS_DENIED);  // a folder is not a file
        return HFILE_ERROR;
    }
    if (readOnly && success == ERROR_ALREADY_EXISTS) fchmod(fd, info.st_mode & ~0222);
    SetLastError(success);
    return add(std::move(file));
}

}  // namespace

HFILE WINAPI _lopen(LPCSTR path, int mode)
{
    VEKHOST_CALL(Channel::kernel, path, mode);
    return openFile(path, static_cast<UINT>(mode), Create::no);
}

HFILE WINAPI _lcreat(LPCSTR path, int attributes)
{
    VEKHOST_CALL(Channel::kernel, path, attributes);
    return openFile(path, OF_READWRITE, Create::always, attributes & FILE_ATTRIBUTE_READONLY);
}

UINT WINAPI _lread(HFILE handle, LPVOID buffer, UINT count)
{
    VEKHOST_CALL(Channel::kernel, handle, buffer, count);
    std::shared_ptr<File> file = find(handle);
    if (!file) return static_cast<UINT>(HFILE_ERROR);
    if (!file->canRead) {
        vek::host::setError(ERROR_ACCESS_DENIED);
        return static_cast<UINT>(HFILE_ERROR);
    }
    UINT done = 0;
    while (done < count) {
        ssize_t n = read(file->fd, static_cast<BYTE *>(buffer) + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            vek::host::setErrorFromErrno(errno);
            return static_cast<UINT>(HFILE_ERROR);
        }
        if (n == 0) break;  // end of file
        done += static_cast<UINT>(n);
    }
    return done;
}

UINT WINAPI _lwrite(HFILE handle, LPCSTR buffer, UINT count)
{
    VEKHOST_CALL(Channel::kernel, handle, count);
    std::shared_ptr<File> file = find(handle);
    if (!file) return static_cast<UINT>(HFILE_ERROR);
    if (!file->canWrite) {
        vek::host::setError(ERROR_ACCESS_DENIED);
        return static_cast<UINT>(HFILE_ERROR);
    }
    if (count == 0) {
        // Writing nothing ends the file at the current position.
        off_t position = lseek(file->fd, 0, SEEK_CUR);
        if (position < 0 || ftruncate(file->fd, position) != 0) {
            vek::host::setErrorFromErrno(errno);
            return static_cast<UINT>(HFILE_ERROR);
        }
        return 0;
    }
    UINT done = 0;
    while (done < count) {
        ssize_t n = write(file->fd, buffer + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            vek::host::setErrorFromErrno(n < 0 ? errno : ENOSPC);
            return static_cast<UINT>(HFILE_ERROR);
        }
        done += static_cast<UINT>(n);
    }
    return done;
}

LONG WINAPI _llseek(HFILE handle, LONG offset, int origin)
{
    VEKHOST_CALL(Channel::kernel, handle, offset, origin);
    std::shared_ptr<File> file = find(handle);
    if (!file) return HFILE_ERROR;
    off_t base;
    struct stat info;
    switch (origin) {
    case FILE_BEGIN: base = 0; break;
    case FILE_CURRENT: base = lseek(file->fd, 0, SEEK_CUR); break;
    case FILE_END: base = fstat(file->fd, &info) == 0 ? info.st_size : -1; break;
    default: vek::host::setError(ERROR_INVALID_PARAMETER); return HFILE_ERROR;
    }
    if (base < 0) {
        vek::host::setErrorFromErrno(errno);
        return HFILE_ERROR;
    }
    off_t position = base + offset;
    if (position < 0) {
        vek::host::setError(ERROR_NEGATIVE_SEEK);
        return HFILE_ERROR;
    }
    if (position > kMaxPosition) {
        vek::host::setError(ERROR_INVALID_PARAMETER);
        return HFILE_ERROR;
    }
    if (lseek(file->fd, position, SEEK_SET) < 0) {
        vek::host::setErrorFromErrno(errno);
        return HFILE_ERROR;
    }
    // Positions from 2 GB on come out negative, as the 32-bit result of
    // SetFilePointer does.
    return static_cast<LONG>(static_cast<DWORD>(position));
}

HFILE WINAPI _lclose(HFILE handle)
{
    VEKHOST_CALL(Channel::kernel, handle);
    return find(handle, true) ? 0 : HFILE_ERROR;
}

namespace {

bool isFileOnHost(const std::string &hostPath)
{
    struct stat info;
    return stat(hostPath.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

// The full DOS path of the file that OpenFile opens. A name with a folder or
// drive is taken as it is; a bare name is looked for, as on Windows, in the
// program's folder, the current directory, the System and the Windows
// directory, and stays in the current directory when it is in none.
bool searchFile(LPCSTR name, std::string &found)
{
    if (name && !std::strpbrk(name, "\\/:")) {
        char system[MAX_PATH], windows[MAX_PATH];
        GetSystemDirectoryA(system, MAX_PATH);
        GetWindowsDirectoryA(windows, MAX_PATH);
        std::string program = vek::host::toDosPath(vek::host::executablePath());
        const std::string folders[] = {program.substr(0, program.rfind('\\')), ".", system, windows};
        for (const std::string &folder : folders) {
            HostPath host;
            if (vek::host::toHostPath((folder + "\\" + name).c_str(), host) && isFileOnHost(host.path)) {
                found = vek::host::toDosPath(host.path);
                return true;
            }
        }
    }
    HostPath host;
    if (!vek::host::toHostPath(name, host)) return false;
    found = vek::host::toDosPath(host.path);
    return true;
}

// The full DOS path that OpenFile reports for a style.
bool fullPath(LPCSTR path, UINT style, std::string &full)
{
    if (style & OF_PARSE) {
        DWORD needed = GetFullPathNameA(path, 0, nullptr, nullptr);
        if (!needed) return false;
        full.resize(needed);
        full.resize(GetFullPathNameA(path, needed, full.data(), nullptr));
        return true;
    }
    if (style & OF_CREATE) {
        HostPath host;
        if (!vek::host::toHostPath(path, host)) return false;
        full = vek::host::toDosPath(host.path);
        return true;
    }
    return searchFile(path, full);
}

HFILE failed(LPOFSTRUCT info)
{
    info->nErrCode = static_cast<WORD>(GetLastError());
    return HFILE_ERROR;
}

}  // namespace

HFILE WINAPI OpenFile(LPCSTR path, LPOFSTRUCT info, UINT style)
{
    VEKHOST_CALL(Channel::kernel, path, info, style);
    if (!info) {
        vek::host::setError(ERROR_INVALID_PARAMETER);
        return HFILE_ERROR;
    }
    info->cBytes = sizeof(OFSTRUCT);
    info->fFixedDisk = 1;
    info->nErrCode = 0;
    std::string reopened;
    if (style & OF_REOPEN) {
        reopened.assign(info->szPathName, strnlen(info->szPathName, OFS_MAXPATHNAME));
        path = reopened.c_str();
    }

    std::string full;
    if (!fullPath(path, style, full)) return failed(info);
    if (full.size() >= OFS_MAXPATHNAME) {
        vek::host::setError(ERROR_FILENAME_EXCED_RANGE);
        return failed(info);
    }
    std::memcpy(info->szPathName, full.c_str(), full.size() + 1);
    if (style & OF_PARSE) return 0;
    if (style & OF_DELETE && !(style & OF_CREATE)) return DeleteFileA(full.c_str()) ? TRUE : failed(info);

    HFILE file = openFile(full.c_str(), style, style & OF_CREATE ? Create::always : Create::no);
    if (file == HFILE_ERROR) return failed(info);
    if (style & OF_EXIST) {
        // A test for existence opens the file and closes it again.
        _lclose(file);
        return TRUE;
    }
    return file;
}

// Path translation between the Win32 calls and the host, full path names and
// the current directory (the host process's own, so that relative POSIX and
// DOS paths agree with the C library's).
#include "kernel/paths.h"

#include "kernel/error.h"
#include "kernel/prefix.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vek::host {

namespace {

// A path taken apart: its drive letter (upper case) and its components from
// the drive's root, with "." and ".." already applied.
struct DosPath {
    char drive = 'Z';
    std::vector<std::string> parts;
    bool trailingSeparator = false;
};

bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool forbiddenInName(unsigned char c)
{
    return c < 0x20 || std::strchr("\"*:<>?|", c) != nullptr;
}

bool fail(DWORD error, debug::CallSite where = debug::CallSite::here())
{
    vek::host::setError(error, nullptr, where);
    return false;
}

// The DOS form of an absolute host path, taken apart.
DosPath fromHost(const std::string &hostPath)
{
    DosPath dos;
    const std::string &driveC = driveCPath();
    size_t start = 0;
    if (hostPath.compare(0, driveC.size(), driveC) == 0 &&
        (hostPath.size() == driveC.size() || hostPath[driveC.size()] == '/')) {
        dos.drive = 'C';
        start = driveC.size();
    }
    for (size_t i = start; i < hostPath.size();) {
        size_t end = hostPath.find('/', i);
        if (end == std::string::npos) end = hostPath.size();
        if (end > i) dos.parts.push_back(hostPath.substr(i, end - i));
        i = end + 1;
    }
    return dos;
}

bool currentDirectory(DosPath &out)
{
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) {
        setErrorFromErrno(errno);
        return false;
    }
    out = fromHost(cwd);
    return true;
}

// Appends the components of text to path, applying "." and "..".
bool appendParts(DosPath &path, const char *text)
{
    const char *p = text;
    while (*p) {
        while (isSeparator(*p)) p++;
        const char *start = p;
        while (*p && !isSeparator(*p)) p++;
        std::string part(start, p);
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!path.parts.empty()) path.parts.pop_back();
            continue;
        }
        for (char c : part)
            if (forbiddenInName(static_cast<unsigned char>(c))) return fail(ERROR_INVALID_NAME);
        path.parts.push_back(std::move(part));
    }
    path.trailingSeparator = p > text && isSeparator(p[-1]);
    return true;
}

bool parse(LPCSTR path, DosPath &out)
{
    if (!path || !*path) return fail(ERROR_PATH_NOT_FOUND);
    out = DosPath{};
    if (path[0] == '/') return appendParts(out, path);  // POSIX: drive Z:
    if (isLetter(path[0]) && path[1] == ':') {
        char drive = upper(path[0]);
        const char *rest = path + 2;
        if (!isSeparator(*rest)) {
            DosPath cwd;
            if (!currentDirectory(cwd)) return false;
            if (cwd.drive == drive) out = cwd;
        }
        out.drive = drive;
        return appendParts(out, rest);
    }
    if (isSeparator(path[0]) && isSeparator(path[1])) return fail(ERROR_BAD_NETPATH);
    if (!currentDirectory(out)) return false;
    if (isSeparator(path[0])) out.parts.clear();
    return appendParts(out, path);
}

std::string format(const DosPath &path)
{
    std::string text{path.drive, ':'};
    for (const std::string &part : path.parts) text += "\\" + part;
    if (path.parts.empty() || path.trailingSeparator) text += '\\';
    return text;
}

bool sameIgnoringCase(const char *a, const std::string &b)
{
    size_t i = 0;
    for (; a[i] && i < b.size(); i++)
        if (upper(a[i]) != upper(b[i])) return false;
    return !a[i] && i == b.size();
}

// The name in folder that equals name but for the case of ASCII letters;
// the alphabetically first one when several do.
bool findIgnoringCase(const std::string &folder, const std::string &name, std::string &match)
{
    DIR *dir = opendir(folder.empty() ? "/" : folder.c_str());
    if (!dir) return false;
    bool found = false;
    while (const dirent *entry = readdir(dir)) {
        if (sameIgnoringCase(entry->d_name, name) && (!found || match > entry->d_name)) {
            match = entry->d_name;
            found = true;
        }
    }
    closedir(dir);
    return found;
}

bool exists(const std::string &path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

}  // namespace

bool toHostPath(LPCSTR path, HostPath &out)
{
    DosPath dos;
    if (!parse(path, dos)) return false;
    std::string root;
    if (dos.drive == 'C')
        root = driveCFolder();
    else if (dos.drive != 'Z')
        return fail(ERROR_PATH_NOT_FOUND);

    // Most names exist as written: one lookup settles them.
    out = HostPath{root, false};
    for (const std::string &part : dos.parts) out.path += "/" + part;
    if (out.path.empty()) out.path = "/";
    if (exists(out.path)) return true;

    out.path = root;
    for (size_t i = 0; i < dos.parts.size(); i++) {
        const std::string &part = dos.parts[i];
        std::string match;
        if (exists(out.path + "/" + part)) {
            out.path += "/" + part;
        } else if (findIgnoringCase(out.path, part, match)) {
            out.path += "/" + match;
        } else {
            out.folderMissing = i + 1 < dos.parts.size();
            for (; i < dos.parts.size(); i++) out.path += "/" + dos.parts[i];
        }
    }
    return true;
}

void setPathError(const HostPath &path, int err, debug::CallSite where)
{
    const DWORD error = err == ENOENT && path.folderMissing ? ERROR_PATH_NOT_FOUND : errorFromErrno(err);
    if (debug::on(debug::Channel::kernel))
        vek::host::setError(error, (path.path + ": " + std::strerror(err)).c_str(), where);
    else
        SetLastError(error);
}

std::string toDosPath(const std::string &hostPath)
{
    return format(fromHost(hostPath));
}

DWORD copyOut(const std::string &value, LPSTR buffer, DWORD size)
{
    if (!buffer || value.size() >= size) return static_cast<DWORD>(value.size() + 1);
    std::memcpy(buffer, value.c_str(), value.size() + 1);
    return static_cast<DWORD>(value.size());
}

}  // namespace vek::host

using namespace vek::host;

DWORD WINAPI GetFullPathNameA(LPCSTR path, DWORD size, LPSTR buffer, LPSTR *filePart)
{
    DosPath dos;
    if (!parse(path, dos)) return 0;
    std::string full = format(dos);
    DWORD length = copyOut(full, buffer, size);
    if (filePart && length == full.size()) {
        // The file part is the last component, unless the path names a folder
        // by its trailing separator.
        bool named = !dos.parts.empty() && !dos.trailingSeparator;
        *filePart = named ? buffer + full.size() - dos.parts.back().size() : nullptr;
    }
    return length;
}

DWORD WINAPI GetCurrentDirectoryA(DWORD size, LPSTR buffer)
{
    DosPath cwd;
    if (!currentDirectory(cwd)) return 0;
    std::string text = format(cwd);
    return copyOut(text, buffer, size);
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR path)
{
    HostPath host;
    if (!toHostPath(path, host)) return FALSE;
    if (chdir(host.path.c_str()) != 0) {
        if (errno == ENOTDIR)
            vek::host::setError(ERROR_DIRECTORY);
        else
            setPathError(host, errno);
        return FALSE;
    }
    return TRUE;
}

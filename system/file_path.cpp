// File path helpers: building a path from a base directory, reducing a path
// or pattern to its directory, stripping the directory, testing and opening.
#include <windows.h>

#include <vekkit/system.h>

namespace {

// Room of the base directory buffer: the directory queries get 256 bytes.
constexpr int kDirectoryRoom = 256;

// Reduces s to its directory in place (see vekValidatePath). A bare
// five-character pattern ("*.bmp") is emptied when emptyBarePattern is set
// and left alone otherwise.
void reduceToDirectory(LPSTR s, bool emptyBarePattern)
{
    int n = lstrlenA(s);
    if (n == 0) return;
    if (s[n - 1] == '\\') {
        s[n - 1] = 0;
        return;
    }
    if (n >= 5 && s[n - 5] == '*') {
        if (n >= 6)
            s[n - 6] = 0;
        else if (emptyBarePattern)
            s[0] = 0;
        return;
    }
    for (int i = 0; i < n; ++i) {
        if (s[i] != '*') continue;
        s[i > 0 && s[i - 1] == '\\' ? i - 1 : i] = 0;
        return;
    }
}

// The base directory chosen by the bits of base, into dir (kDirectoryRoom
// bytes); empty when none is chosen or the query fails or fills the buffer.
void baseDirectory(HMODULE module, WORD base, LPSTR dir)
{
    DWORD length = 0;
    dir[0] = 0;
    if (base & 1) {
        length = GetModuleFileNameA(module, dir, kDirectoryRoom);
        if (length > 0 && length < DWORD(kDirectoryRoom)) {
            // The file name and its separator go; a separator at index 0
            // does not count.
            int cut = 0;
            for (int i = 1; i < int(length); ++i)
                if (dir[i] == '\\' || dir[i] == ':') cut = i;
            dir[cut] = 0;
            return;
        }
    } else if (base & 2) {
        length = GetWindowsDirectoryA(dir, kDirectoryRoom);
    } else if (base & 4) {
        length = GetSystemDirectoryA(dir, kDirectoryRoom);
    }
    if (length == 0 || length >= DWORD(kDirectoryRoom)) dir[0] = 0;
}

}  // namespace

SHORT VEKAPI BuildFilePath(HMODULE module, LPCSTR name, WORD base, LPSTR out)
{
    char dir[kDirectoryRoom];
    baseDirectory(module, base, dir);
    reduceToDirectory(dir, true);
    // out holds 256 bytes besides name: the directory, its separator and the
    // terminator must fit in them.
    if (lstrlenA(dir) > kDirectoryRoom - 2) dir[0] = 0;
    if (dir[0]) lstrcatA(dir, "\\");
    lstrcpyA(out, dir);
    if (name) lstrcatA(out, name);
    return 1;
}

HFILE VEKAPI FilePathOpen(LPCSTR path, SHORT mode, BOOL create)
{
    return create ? _lcreat(path, 0) : _lopen(path, mode);
}

BOOL VEKAPI FilePathCheckValid(LPCSTR path)
{
    return path && path[0] ? 1 : 0;
}

BOOL VEKAPI FilePathInvalidate(LPSTR path)
{
    if (path) path[0] = 0;
    return 1;
}

void VEKAPI vekValidatePath(LPSTR path)
{
    if (path) reduceToDirectory(path, false);
}

LPCSTR VEKAPI vekStripPath(LPCSTR path)
{
    if (!path) return path;
    for (int i = lstrlenA(path) - 1; i >= 1; --i)
        if (path[i] == '\\' || path[i] == ':') return path + i + 1;
    return path;
}

BOOL VEKAPI vekFileExists(LPCSTR path)
{
    OFSTRUCT info = {};
    return path && OpenFile(path, &info, OF_EXIST) != HFILE_ERROR ? 1 : 0;
}

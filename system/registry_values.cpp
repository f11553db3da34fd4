// Registry values addressed by one path string.
//
// "HKEY_LOCAL_MACHINE\Software\Vendor\App\Name": a root prefix, key names,
// and the value name last; see system.h for the prefixes, the remember
// marker and the substitution of "%s".
#include <windows.h>

#include <vekkit/system.h>

#include <cstring>
#include <string>

namespace {

constexpr int kBufferRoom = 512;    // remembered value and message
constexpr DWORD kValueRoom = 2048;  // the block GetRegValue returns

// The value remembered by the last read with the remember marker, and the
// text of the last message.
char rememberedValue[kBufferRoom];
char messageText[kBufferRoom];

const char kCaption[] = "Yikes";

struct Root {
    const char *prefix;
    HKEY key;
};

// Tried in this order; "*" is the short form of HKEY_LOCAL_MACHINE.
const Root kRoots[] = {
    {"*", HKEY_LOCAL_MACHINE},
    {"HKEY_LOCAL_MACHINE\\", HKEY_LOCAL_MACHINE},
    {"HKEY_CURRENT_USER\\", HKEY_CURRENT_USER},
    {"HKEY_CLASSES_ROOT\\", HKEY_CLASSES_ROOT},
    {"HKEY_USERS\\", HKEY_USERS},
    {"HKEY_CURRENT_CONFIG\\", HKEY_CURRENT_CONFIG},
    {"HKEY_DYN_DATA\\", HKEY_DYN_DATA},
};

bool startsWithFolded(LPCSTR s, const char *prefix)
{
    for (; *prefix; ++s, ++prefix) {
        char a = *s, b = *prefix;
        if (a >= 'a' && a <= 'z') a = char(a - 'a' + 'A');
        if (a != b) return false;
    }
    return true;
}

// The root of path; *relative receives the path after the prefix.
HKEY chooseRoot(LPCSTR path, LPCSTR *relative)
{
    for (const Root &root : kRoots) {
        if (startsWithFolded(path, root.prefix)) {
            *relative = path + std::strlen(root.prefix);
            return root.key;
        }
    }
    *relative = path;
    return HKEY_CURRENT_USER;
}

bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Formats a message with the path into the message buffer (cut to fit) and
// shows it when there is a window.
void report(HWND window, const char *format, LPCSTR path, UINT icon)
{
    char text[1024];
    wsprintfA(text, format, path);
    lstrcpynA(messageText, text, kBufferRoom);
    if (window) MessageBoxA(window, messageText, kCaption, MB_OK | icon);
}

// Walks the key names of relative from root, opening (create false) or
// creating each. On success *key is the last key opened and *name points at
// the value name; on failure the error is returned and no key stays open.
LONG walkKeys(HKEY root, LPCSTR relative, bool create, HKEY *key, LPCSTR *name)
{
    HKEY current = root;
    LPCSTR at = relative;
    for (LPCSTR end = at; *end; ++end) {
        if (!isSeparator(*end)) continue;
        std::string component(at, end);
        HKEY next = nullptr;
        LONG error = create ? RegCreateKeyExA(current, component.c_str(), 0, const_cast<LPSTR>(""), 0,
                                              KEY_ALL_ACCESS, nullptr, &next, nullptr)
                            : RegOpenKeyExA(current, component.c_str(), 0, KEY_READ, &next);
        if (current != root) RegCloseKey(current);
        if (error != ERROR_SUCCESS) return error;
        current = next;
        at = end + 1;
    }
    *key = current;
    *name = at;
    return ERROR_SUCCESS;
}

void closeKey(HKEY key, HKEY root)
{
    if (key != root) RegCloseKey(key);
}

// Replaces every "%s" of path by the remembered value and "%%" by "%";
// false when the result does not fit kBufferRoom.
bool substitute(LPCSTR path, char *out)
{
    std::string result;
    for (LPCSTR p = path; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            result += rememberedValue;
            ++p;
        } else if (p[0] == '%' && p[1] == '%') {
            result += '%';
            ++p;
        } else {
            result += *p;
        }
    }
    if (result.size() >= size_t(kBufferRoom)) {
        lstrcpynA(out, result.c_str(), kBufferRoom);
        return false;
    }
    lstrcpyA(out, result.c_str());
    return true;
}

// Keeps the value just read as text; one without data or too long for the
// buffer leaves the empty string.
void remember(HWND window, LPCSTR path, LONG queryResult, const BYTE *data, DWORD size)
{
    rememberedValue[0] = 0;
    if (queryResult != ERROR_SUCCESS || size == 0) {
        report(window, "Necessary Key \"%s\" has no value", path, MB_ICONHAND);
        return;
    }
    size_t length = strnlen(reinterpret_cast<const char *>(data), kValueRoom);
    if (length < size_t(kBufferRoom)) std::memcpy(rememberedValue, data, length + 1);
}

}  // namespace

BOOL VEKAPI SetRegValue(HWND window, LPCSTR path, const BYTE *data, DWORD size, DWORD type)
{
    if (!path || !path[0]) return 0;
    LPCSTR relative = nullptr;
    HKEY root = chooseRoot(path, &relative);
    HKEY key = nullptr;
    LPCSTR name = nullptr;
    LONG error = walkKeys(root, relative, true, &key, &name);
    if (error != ERROR_SUCCESS) {
        report(window,
               error == ERROR_ACCESS_DENIED
                   ? "Error: unable to create key \"%s\". Probably due to security reasons."
                   : "Error: unable to create key \"%s\", but I don't know why.",
               path, 0);
        return 0;
    }
    if (data) {
        error = RegSetValueExA(key, name, 0, type, data, size);
    } else {
        error = RegDeleteKeyA(key, name);
        if (error != ERROR_SUCCESS) error = RegDeleteValueA(key, name);
    }
    closeKey(key, root);
    if (error == ERROR_SUCCESS) return 1;
    report(window, data ? "Error: unable to set value \"%s\"." : "Error: unable to delete key \"%s\".", path, 0);
    return 0;
}

void *VEKAPI GetRegValue(HWND window, LPCSTR path, DWORD *size, DWORD *type)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kValueRoom);
    BYTE *block = memory ? static_cast<BYTE *>(GlobalLock(memory)) : nullptr;
    if (!block) {
        if (memory) GlobalFree(memory);
        if (size) *size = 0;
        if (type) *type = 0;
        return nullptr;
    }
    char substituted[kBufferRoom];
    LPCSTR relative = nullptr;
    HKEY root = HKEY_CURRENT_USER;
    HKEY key = nullptr;
    LPCSTR name = nullptr;
    LONG error = ERROR_INVALID_PARAMETER;
    bool fits = path && substitute(path, substituted);
    if (fits) {
        root = chooseRoot(substituted, &relative);
        bool marked = relative[0] == ':';
        error = walkKeys(root, relative + (marked ? 1 : 0), false, &key, &name);
        if (error == ERROR_SUCCESS) {
            DWORD length = kValueRoom, kind = 0;
            LONG query = RegQueryValueExA(key, name, nullptr, &kind, block, &length);
            closeKey(key, root);
            if (query != ERROR_SUCCESS) {
                // A failed query may have written part of the block.
                std::memset(block, 0, kValueRoom);
                if (length > kValueRoom) length = kValueRoom;
            }
            if (marked) remember(window, substituted, query, block, length);
            if (size) *size = length;
            if (type) *type = kind;
            return block;
        }
    }
    report(window,
           error == ERROR_ACCESS_DENIED ? "Error: unable to open key \"%s\". Probably due to security reasons."
                                        : "Error: unable to open key \"%s\", but I don't know why.",
           path ? substituted : "", 0);
    GlobalUnlock(memory);
    GlobalFree(memory);
    if (size) *size = 0;
    return nullptr;
}

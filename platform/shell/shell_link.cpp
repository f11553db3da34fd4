// The shell link object: IShellLinkA and IPersistFile over one link.
//
// Resolve looks for a target that is gone the way a user who moved files
// would expect it to be found, first match wins:
//   1. the link's relative path, taken from the link's folder;
//   2. the target's file name in the link's own folder (the link and its
//      target were moved together);
//   3. the target's file name in each parent of the old target folder,
//      nearest first (the target was moved up, or its folder flattened).
// The path found replaces the old one in the object (the file is written
// only by Save). There is no search dialog; window is not used.
//
// The link is outside data, and its target may be any long path: the search
// looks only at paths the ANSI calls accept (shorter than MAX_PATH, so a
// target at least that long is never taken as it stands) and at no more
// than 32 parents, and walks the old path in place, so its time is bounded
// whatever the link holds.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "shell/lnk_file.h"
#include "shell/shell_link.h"
#include "shell/utf16.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace {

using vek::host::ShellLinkData;

// The largest link file Load reads; real links are a few kilobytes.
constexpr UINT kMaxLinkFile = 1 << 20;
// Resolve looks for a moved target in at most this many parent folders.
constexpr int kMaxParentsSearched = 32;

HRESULT lastErrorResult()
{
    DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

std::string fromWide(LPCOLESTR name)
{
    std::u16string wide;
    for (; name && *name; ++name) wide += char16_t(*name);
    return vek::host::utf8FromUtf16(wide);
}

void copyBounded(LPSTR out, int size, const std::string &text)
{
    lstrcpynA(out, text.c_str(), size);
}

std::string folderOf(const std::string &path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool exists(const std::string &path)
{
    return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class ShellLink final : public IShellLinkA, public IPersistFile {
public:
    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IShellLinkA) {
            *object = static_cast<IShellLinkA *>(this);
        } else if (iid == IID_IPersistFile || iid == kIidPersist) {
            *object = static_cast<IPersistFile *>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // IShellLinkA
    HRESULT STDMETHODCALLTYPE GetPath(LPSTR file, int size, WIN32_FIND_DATAA *data, DWORD) override
    {
        // The hosted file systems have no short names: SLGP_SHORTPATH gives
        // the path as it is.
        if (!file || size <= 0) return E_INVALIDARG;
        copyBounded(file, size, link_.path);
        if (data) {
            std::memset(data, 0, sizeof *data);
            data->dwFileAttributes = link_.attributes;
            data->nFileSizeLow = link_.fileSize;
            std::string name = link_.path.substr(link_.path.find_last_of('\\') + 1);
            lstrcpynA(data->cFileName, name.c_str(), MAX_PATH);
        }
        return link_.path.empty() ? S_FALSE : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDList(LPITEMIDLIST *list) override
    {
        if (list) *list = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetIDList(LPCITEMIDLIST) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDescription(LPSTR name, int size) override { return get(link_.description, name, size); }
    HRESULT STDMETHODCALLTYPE SetDescription(LPCSTR name) override { return set(link_.description, name); }
    HRESULT STDMETHODCALLTYPE GetWorkingDirectory(LPSTR dir, int size) override { return get(link_.workingDir, dir, size); }
    HRESULT STDMETHODCALLTYPE SetWorkingDirectory(LPCSTR dir) override { return set(link_.workingDir, dir); }
    HRESULT STDMETHODCALLTYPE GetArguments(LPSTR args, int size) override { return get(link_.arguments, args, size); }
    HRESULT STDMETHODCALLTYPE SetArguments(LPCSTR args) override { return set(link_.arguments, args); }
    HRESULT STDMETHODCALLTYPE GetHotkey(WORD *hotkey) override
    {
        if (!hotkey) return E_INVALIDARG;
        *hotkey = link_.hotkey;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetHotkey(WORD hotkey) override
    {
        link_.hotkey = hotkey;
        dirty_ = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetShowCmd(int *showCmd) override
    {
        if (!showCmd) return E_INVALIDARG;
        *showCmd = int(link_.showCommand);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetShowCmd(int showCmd) override
    {
        link_.showCommand = DWORD(showCmd);
        dirty_ = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIconLocation(LPSTR path, int size, int *index) override
    {
        if (index) *index = link_.iconIndex;
        return get(link_.iconLocation, path, size);
    }
    HRESULT STDMETHODCALLTYPE SetIconLocation(LPCSTR path, int index) override
    {
        link_.iconIndex = index;
        return set(link_.iconLocation, path);
    }
    HRESULT STDMETHODCALLTYPE SetRelativePath(LPCSTR path, DWORD) override { return set(link_.relativePath, path); }
    HRESULT STDMETHODCALLTYPE Resolve(HWND, DWORD flags) override
    {
        if (link_.path.empty() || (link_.path.size() < MAX_PATH && exists(link_.path))) return S_OK;
        if (flags & SLR_NOSEARCH) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        const size_t nameAt = link_.path.find_last_of('\\') + 1;
        const std::string_view name = std::string_view(link_.path).substr(nameAt);
        const std::string linkFolder = folderOf(curFile_);
        if (!linkFolder.empty() && !link_.relativePath.empty() && found(linkFolder, link_.relativePath)) return S_OK;
        if (!linkFolder.empty() && found(linkFolder, name)) return S_OK;
        // The parents of the old folder, nearest first; only those short
        // enough to hold the name count against the limit.
        int looked = 0;
        for (size_t end = nameAt ? nameAt - 1 : 0; end > 0 && looked < kMaxParentsSearched;) {
            end = link_.path.find_last_of("\\/", end - 1);
            if (end == std::string::npos || end == 0) break;
            if (end + 1 + name.size() >= MAX_PATH) continue;
            ++looked;
            if (found(std::string_view(link_.path).substr(0, end), name)) return S_OK;
        }
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    }
    HRESULT STDMETHODCALLTYPE SetPath(LPCSTR file) override
    {
        if (!file) return E_INVALIDARG;
        dirty_ = true;
        if (!*file) {
            link_.path.clear();
            link_.attributes = 0;
            return S_OK;
        }
        char full[MAX_PATH];
        DWORD length = GetFullPathNameA(file, MAX_PATH, full, nullptr);
        if (length == 0 || length >= MAX_PATH) return E_INVALIDARG;
        link_.path = full;
        describeTarget();
        return S_OK;
    }

    // IPersistFile
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID *classId) override
    {
        if (!classId) return E_POINTER;
        *classId = CLSID_ShellLink;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsDirty() override { return dirty_ ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE Load(LPCOLESTR fileName, DWORD) override
    {
        std::string name = fromWide(fileName);
        if (name.empty()) return E_INVALIDARG;
        HFILE file = _lopen(name.c_str(), OF_READ);
        if (file == HFILE_ERROR) return lastErrorResult();
        // The block is as large as the file, up to the largest link read.
        LONG end = _llseek(file, 0, FILE_END);
        if (end < 0 || _llseek(file, 0, FILE_BEGIN) != 0) {
            HRESULT failed = lastErrorResult();
            _lclose(file);
            return failed;
        }
        std::vector<BYTE> bytes(std::min(UINT(end), kMaxLinkFile));
        UINT got = _lread(file, bytes.data(), UINT(bytes.size()));
        _lclose(file);
        if (got == UINT(HFILE_ERROR)) return lastErrorResult();
        bytes.resize(got);
        ShellLinkData loaded;
        if (!vek::host::decodeShellLink(bytes, loaded)) return E_FAIL;
        link_ = std::move(loaded);
        curFile_ = full(name);
        dirty_ = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Save(LPCOLESTR fileName, BOOL remember) override
    {
        std::string name = fileName ? fromWide(fileName) : curFile_;
        if (name.empty()) return E_INVALIDARG;
        std::vector<BYTE> bytes = vek::host::encodeShellLink(link_);
        HFILE file = _lcreat(name.c_str(), 0);
        if (file == HFILE_ERROR) return lastErrorResult();
        UINT written = _lwrite(file, reinterpret_cast<LPCSTR>(bytes.data()), UINT(bytes.size()));
        _lclose(file);
        if (written != bytes.size()) {
            DeleteFileA(name.c_str());
            return STG_E_WRITEFAULT;
        }
        if (remember || !fileName) {
            curFile_ = full(name);
            dirty_ = false;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SaveCompleted(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR *fileName) override
    {
        if (fileName) *fileName = nullptr;
        return E_NOTIMPL;
    }

private:
    static constexpr IID kIidPersist = {0x0000010C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

    static HRESULT get(const std::string &field, LPSTR out, int size)
    {
        if (!out || size <= 0) return E_INVALIDARG;
        copyBounded(out, size, field);
        return S_OK;
    }
    HRESULT set(std::string &field, LPCSTR value)
    {
        if (!value) return E_INVALIDARG;
        field = value;
        dirty_ = true;
        return S_OK;
    }
    // Takes folder\name for the target when that names a file of a path
    // the ANSI calls accept (shorter than MAX_PATH).
    bool found(std::string_view folder, std::string_view name)
    {
        if (folder.size() + 1 + name.size() >= MAX_PATH) return false;
        std::string candidate = std::string(folder) + "\\" + std::string(name);
        char full[MAX_PATH];
        DWORD length = GetFullPathNameA(candidate.c_str(), MAX_PATH, full, nullptr);
        if (length == 0 || length >= MAX_PATH || !exists(full)) return false;
        link_.path = full;
        describeTarget();
        dirty_ = true;
        return true;
    }
    // The target's attributes and size as the header records them; 0 for
    // a target that does not exist.
    void describeTarget()
    {
        DWORD attributes = GetFileAttributesA(link_.path.c_str());
        link_.attributes = attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes;
        link_.fileSize = 0;
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
        HFILE file = _lopen(link_.path.c_str(), OF_READ);
        if (file == HFILE_ERROR) return;
        LONG end = _llseek(file, 0, FILE_END);
        _lclose(file);
        link_.fileSize = end < 0 ? 0 : DWORD(end);
    }
    static std::string full(const std::string &name)
    {
        char path[MAX_PATH];
        DWORD length = GetFullPathNameA(name.c_str(), MAX_PATH, path, nullptr);
        return length && length < MAX_PATH ? std::string(path) : name;
    }

    std::atomic<ULONG> references_{1};
    ShellLinkData link_;
    std::string curFile_;  // the file last loaded or saved, full DOS path
    bool dirty_ = false;
};

}  // namespace

namespace vek::host {

HRESULT createShellLink(REFIID iid, void **object)
{
    ShellLink *link = new (std::nothrow) ShellLink;
    if (!link) return E_OUTOFMEMORY;
    HRESULT result = link->QueryInterface(iid, object);
    link->Release();
    return result;
}

}  // namespace vek::host

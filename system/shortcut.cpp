// Shell shortcuts (.lnk files) through the platform's shell link object.
// The caller has initialised COM on its thread.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <vekkit/system.h>

namespace {

// The identifiers, defined here so that the library needs no uuid library.
const GUID kClsidShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const GUID kIidShellLinkA = {0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const GUID kIidPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

HRESULT createShellLink(IShellLinkA **link)
{
    *link = nullptr;
    return CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkA,
                            reinterpret_cast<void **>(link));
}

// linkFile in UTF-16 for IPersistFile; a name that does not convert, or
// does not fit MAX_PATH characters, becomes the empty name, which Load and
// Save refuse.
void wideName(LPCSTR linkFile, WCHAR (&wide)[MAX_PATH])
{
    wide[0] = 0;
    if (linkFile && MultiByteToWideChar(CP_ACP, 0, linkFile, -1, wide, MAX_PATH) == 0) wide[0] = 0;
}

}  // namespace

HRESULT VEKAPI vekCreateShortcut(LPCSTR target, LPCSTR linkFile, LPCSTR description)
{
    IShellLinkA *link = nullptr;
    HRESULT result = createShellLink(&link);
    if (FAILED(result)) return result;
    link->SetPath(target);
    link->SetDescription(description);
    IPersistFile *file = nullptr;
    result = link->QueryInterface(kIidPersistFile, reinterpret_cast<void **>(&file));
    if (SUCCEEDED(result)) {
        WCHAR name[MAX_PATH];
        wideName(linkFile, name);
        result = file->Save(name, TRUE);
        file->Release();
    }
    link->Release();
    return result;
}

HRESULT VEKAPI vekResolveShortcut(HWND window, LPCSTR linkFile, LPSTR targetOut)
{
    if (targetOut) targetOut[0] = 0;
    IShellLinkA *link = nullptr;
    HRESULT result = createShellLink(&link);
    if (FAILED(result)) return result;
    IPersistFile *file = nullptr;
    result = link->QueryInterface(kIidPersistFile, reinterpret_cast<void **>(&file));
    if (FAILED(result)) {
        link->Release();
        return result;
    }
    WCHAR name[MAX_PATH];
    wideName(linkFile, name);
    char path[MAX_PATH] = {};
    result = file->Load(name, STGM_READ);
    if (SUCCEEDED(result)) result = link->Resolve(window, SLR_ANY_MATCH);
    if (SUCCEEDED(result)) {
        WIN32_FIND_DATAA found;
        result = link->GetPath(path, MAX_PATH, &found, SLGP_SHORTPATH);
    }
    if (SUCCEEDED(result)) {
        char description[MAX_PATH];
        result = link->GetDescription(description, MAX_PATH);
    }
    if (SUCCEEDED(result) && targetOut) lstrcpynA(targetOut, path, MAX_PATH);
    file->Release();
    link->Release();
    return result;
}

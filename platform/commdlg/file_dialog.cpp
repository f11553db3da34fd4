// GetOpenFileNameA and GetSaveFileNameA over the file-dialog hook.
//
// The platform checks the record, lets the hook choose a file, then fills
// what a real dialog fills from the path chosen: nFileOffset,
// nFileExtension and lpstrFileTitle. A path that does not fit lpstrFile
// fails with FNERR_BUFFERTOOSMALL, its needed size in the first two bytes,
// as on Windows.
#include "user/ui_hooks.h"

#include <algorithm>
#include <cstring>

namespace {

thread_local DWORD lastDialogError = 0;

BOOL runDialog(LPOPENFILENAMEA ofn, BOOL save)
{
    lastDialogError = 0;
    if (!ofn || (ofn->lStructSize != sizeof(OPENFILENAMEA) && ofn->lStructSize != OPENFILENAME_SIZE_VERSION_400A)) {
        lastDialogError = CDERR_STRUCTSIZE;
        return FALSE;
    }
    if (!ofn->lpstrFile || ofn->nMaxFile == 0) {
        lastDialogError = CDERR_INITIALIZATION;
        return FALSE;
    }
    // The hook works on a copy of the name with room to spare, so that a
    // long choice cannot overrun the caller's buffer and is reported.
    DWORD callerRoom = ofn->nMaxFile;
    LPSTR callerFile = ofn->lpstrFile;
    char file[vek::host::kFileDialogRoom] = {};
    std::strncpy(file, callerFile, std::min<size_t>(callerRoom, sizeof file) - 1);
    ofn->lpstrFile = file;
    BOOL chosen = vek::host::currentUI().fileDialog(ofn, save);
    ofn->lpstrFile = callerFile;
    if (!chosen) return FALSE;
    file[sizeof file - 1] = 0;
    size_t length = std::strlen(file);
    if (length == 0) return FALSE;
    if (length + 1 > callerRoom) {
        lastDialogError = FNERR_BUFFERTOOSMALL;
        if (callerRoom >= 2) {
            callerFile[0] = char((length + 1) & 0xFF);
            callerFile[1] = char((length + 1) >> 8);
        }
        return FALSE;
    }
    std::memcpy(callerFile, file, length + 1);
    const char *name = callerFile;
    for (const char *p = callerFile; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    ofn->nFileOffset = WORD(name - callerFile);
    const char *dot = std::strrchr(name, '.');
    ofn->nFileExtension = WORD(dot ? dot + 1 - callerFile : length);
    if (ofn->lpstrFileTitle && ofn->nMaxFileTitle) {
        size_t n = std::min<size_t>(std::strlen(name), ofn->nMaxFileTitle - 1);
        std::memcpy(ofn->lpstrFileTitle, name, n);
        ofn->lpstrFileTitle[n] = 0;
    }
    return TRUE;
}

}  // namespace

BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA ofn)
{
    return runDialog(ofn, FALSE);
}

BOOL WINAPI GetSaveFileNameA(LPOPENFILENAMEA ofn)
{
    return runDialog(ofn, TRUE);
}

DWORD WINAPI CommDlgExtendedError(void)
{
    return lastDialogError;
}

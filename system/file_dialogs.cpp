// The open and save file dialogs with a one-string filter.
//
// The filter "Bitmaps|*.bmp|All files|*.*|" uses its last character as the
// separator; every separator becomes a zero byte, which gives the platform's
// double-zero list (the string's own terminator is the second zero). The
// dialog record and the buffers it points to are process-wide, as the
// platform may keep the record's pointers until the call returns.
#include <windows.h>
#include <commdlg.h>

#include <vekkit/system.h>

#include <cstddef>
#include <cstring>

namespace {

constexpr int kDirectoryRoom = 256;
constexpr int kTitleRoom = 256;
constexpr int kFilterRoom = 128;

struct DialogState {
    char initialDir[kDirectoryRoom];
    char fileTitle[kTitleRoom];
    char filter[kFilterRoom];
    OPENFILENAMEA record;
};

DialogState dialog;

// OPENFILENAME_SIZE_VERSION_400A: the record up to lpTemplateName.
static_assert(sizeof(void *) != 4 || offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == 76,
              "the 76-byte dialog record");

// Fills the process-wide buffers and record; false when an argument does
// not fit its buffer.
bool prepare(HWND owner, LPSTR file, LPCSTR initialDir, LPCSTR filter)
{
    if (!file) return false;
    if (initialDir && lstrlenA(initialDir) >= kDirectoryRoom) return false;
    if (filter && lstrlenA(filter) >= kFilterRoom) return false;
    dialog.fileTitle[0] = 0;
    lstrcpyA(dialog.initialDir, initialDir ? initialDir : "");
    lstrcpyA(dialog.filter, filter ? filter : "");
    int length = lstrlenA(dialog.filter);
    if (length > 0) {
        char separator = dialog.filter[length - 1];
        for (int i = 0; i < length; ++i)
            if (dialog.filter[i] == separator) dialog.filter[i] = 0;
    }
    std::memset(&dialog.record, 0, sizeof dialog.record);
    dialog.record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.record.hwndOwner = owner;
    dialog.record.lpstrFilter = length > 0 ? dialog.filter : nullptr;
    dialog.record.lpstrFile = file;
    dialog.record.lpstrFileTitle = dialog.fileTitle;
    dialog.record.nMaxFileTitle = kTitleRoom;
    dialog.record.lpstrInitialDir = dialog.initialDir;
    return true;
}

}  // namespace

BOOL VEKAPI GetOpenFile(HWND owner, LPSTR file, LPCSTR initialDir, LPCSTR filter)
{
    if (!prepare(owner, file, initialDir, filter)) return 0;
    dialog.record.nFilterIndex = 1;
    dialog.record.nMaxFile = 512;
    dialog.record.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    return GetOpenFileNameA(&dialog.record);
}

BOOL VEKAPI GetSaveFile(HWND owner, LPSTR file, LPCSTR initialDir, LPCSTR filter)
{
    if (!prepare(owner, file, initialDir, filter)) return 0;
    lstrcpynA(dialog.fileTitle, file, kTitleRoom);
    dialog.record.nFilterIndex = 0;
    dialog.record.nMaxFile = 256;
    dialog.record.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    return GetSaveFileNameA(&dialog.record);
}

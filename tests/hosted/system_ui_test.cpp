// What the library shows through the platform's user-interface hooks:
// message boxes of the registry helpers and the file dialogs' record.
#include <vekkit.h>
#include <vekhost.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Shown {
    HWND owner;
    std::string text, caption;
    UINT type;
};
std::vector<Shown> shown;

// The dialog record as the hook saw it, and what the hook answers (null: cancel).
struct DialogSeen {
    int calls = 0;
    BOOL save = FALSE;
    OPENFILENAMEA record{};
    std::string file, fileTitle, initialDir;
    std::vector<char> filter;  // up to and including its double zero
} seen;
const char *answer = nullptr;

BOOL scriptedDialog(LPOPENFILENAMEA ofn, BOOL save)
{
    ++seen.calls;
    seen.save = save;
    seen.record = *ofn;
    seen.file = ofn->lpstrFile;
    seen.fileTitle = ofn->lpstrFileTitle ? ofn->lpstrFileTitle : "<null>";
    seen.initialDir = ofn->lpstrInitialDir ? ofn->lpstrInitialDir : "<null>";
    seen.filter.clear();
    for (const char *p = ofn->lpstrFilter; p; ++p) {
        seen.filter.push_back(*p);
        if (p[0] == 0 && p != ofn->lpstrFilter && p[-1] == 0) break;
    }
    if (!answer) return FALSE;
    lstrcpyA(ofn->lpstrFile, answer);
    return TRUE;
}

const HWND kWindow = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x1234));

class Hooked : public ::testing::Test {
protected:
    void SetUp() override
    {
        VEKHOSTUI ui = {[](HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
                            shown.push_back({owner, text, caption, type});
                            return IDOK;
                        },
                        [](UINT) {}, scriptedDialog};
        vekhostSetUI(&ui);
        shown.clear();
        seen = DialogSeen();
        answer = nullptr;
    }
    void TearDown() override { vekhostSetUI(nullptr); }
};

BOOL setString(HWND window, const std::string &path, const char *text)
{
    return SetRegValue(window, path.c_str(), reinterpret_cast<const BYTE *>(text), DWORD(std::strlen(text) + 1), REG_SZ);
}
bool get(HWND window, const char *path)
{
    DWORD size = 0, type = 0;
    void *block = GetRegValue(window, path, &size, &type);
    if (block) {
        HGLOBAL memory = GlobalHandle(block);
        GlobalUnlock(memory);
        GlobalFree(memory);
    }
    return block != nullptr;
}

}  // namespace

TEST_F(Hooked, RegistryMessagesOnlyWithAWindow)
{
    const std::string longKey = "Software\\Messages\\" + std::string(300, 'k') + "\\Value";
    const fs::path store = fs::path(std::getenv("VEKHOST_PREFIX")) / "user.reg";
    ASSERT_EQ(setString(nullptr, "Software\\Denied\\Name", "v"), 1);
    ASSERT_EQ(setString(nullptr, "Software\\Necessary\\Present", "Software\\Necessary"), 1);
    EXPECT_EQ(setString(nullptr, longKey, "x"), 0);
    EXPECT_FALSE(get(nullptr, "Software\\Messages\\Missing Key\\Value"));
    EXPECT_TRUE(shown.empty()) << "no window, no message box";

    const std::string refused = "Error: unable to open key \"Software\\Messages\\Missing Key\\Value\", but I don't know why.";
    EXPECT_EQ(setString(kWindow, longKey, "x"), 0);
    EXPECT_EQ(SetRegValue(kWindow, "Software\\Messages\\Nothing", nullptr, 0, 0), 0);
    EXPECT_FALSE(get(kWindow, "Software\\Messages\\Missing Key\\Value"));
    ASSERT_EQ(chmod(store.c_str(), 0444), 0);
    EXPECT_EQ(setString(kWindow, "Software\\Denied\\New\\Name", "v"), 0);
    EXPECT_EQ(setString(kWindow, "Software\\Denied\\Name", "w"), 0);
    ASSERT_EQ(chmod(store.c_str(), 0644), 0);
    EXPECT_FALSE(get(nullptr, "Software\\Denied\\New\\Name")) << "a refused change is not kept";
    // A remembered value without data: the zero block and a message; the
    // path is shown after substitution.
    ASSERT_TRUE(get(kWindow, "HKEY_CURRENT_USER\\:Software\\Necessary\\Present"));
    EXPECT_TRUE(get(kWindow, "HKEY_CURRENT_USER\\:Software\\Necessary\\Absent"));
    EXPECT_FALSE(get(kWindow, "Software\\%s\\Gone\\Value"));
    const std::vector<std::pair<std::string, UINT>> expected = {
        {"Error: unable to create key \"" + longKey + "\", but I don't know why.", MB_OK},
        {"Error: unable to delete key \"Software\\Messages\\Nothing\".", MB_OK},
        {refused, MB_OK},
        {"Error: unable to create key \"Software\\Denied\\New\\Name\". Probably due to security reasons.", MB_OK},
        {"Error: unable to set value \"Software\\Denied\\Name\".", MB_OK},
        {"Necessary Key \"HKEY_CURRENT_USER\\:Software\\Necessary\\Absent\" has no value", MB_ICONHAND},
        {"Error: unable to open key \"Software\\\\Gone\\Value\", but I don't know why.", MB_OK},
    };
    ASSERT_EQ(shown.size(), expected.size());
    for (size_t i = 0; i < expected.size(); i++) {
        EXPECT_EQ(shown[i].text, expected[i].first);
        EXPECT_EQ(shown[i].type, expected[i].second) << i;
        EXPECT_EQ(shown[i].caption, "Yikes");
        EXPECT_EQ(shown[i].owner, kWindow);
    }
}

TEST_F(Hooked, FileDialogRecords)
{
    char file[512] = "start.bmp";
    answer = "C:\\Data\\chosen.bmp";
    EXPECT_NE(GetOpenFile(kWindow, file, "C:\\Data", "Bitmaps|*.bmp|All files|*.*|"), 0);
    EXPECT_STREQ(file, "C:\\Data\\chosen.bmp");
    EXPECT_FALSE(seen.save);
    EXPECT_EQ(seen.record.hwndOwner, kWindow);
    EXPECT_EQ(seen.record.Flags, DWORD{OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST});
    EXPECT_EQ(seen.file, "start.bmp") << "the proposed name";
    EXPECT_EQ(seen.initialDir, "C:\\Data");
    const char filter[] = "Bitmaps\0*.bmp\0All files\0*.*\0";  // and the literal's own zero
    EXPECT_EQ(seen.filter, std::vector<char>(filter, filter + sizeof filter));
    answer = nullptr;
    lstrcpyA(file, "kept.bmp");
    EXPECT_EQ(GetOpenFile(kWindow, file, nullptr, "Text;|*.txt;|"), 0) << "cancelled";
    EXPECT_STREQ(file, "kept.bmp");
    EXPECT_EQ(std::string(seen.filter.data(), 13), std::string("Text;\0*.txt;\0", 13))
        << "the last character is the separator";

    char name[256] = "level1.map";
    answer = "C:\\Maps\\level2.map";
    EXPECT_NE(GetSaveFile(nullptr, name, "C:\\Maps", "Maps|*.map|"), 0);
    EXPECT_TRUE(seen.save);
    EXPECT_EQ(seen.record.Flags, DWORD{OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT});
    EXPECT_EQ(seen.fileTitle, "level1.map") << "the title starts as the proposed name";

    // Filters of 128 characters and folders of 256 do not fit: no dialog.
    const int calls = seen.calls;
    std::string longFilter(126, 'f');
    longFilter += '|';
    EXPECT_NE(GetOpenFile(nullptr, file, nullptr, longFilter.c_str()), 0) << "127 characters fit";
    EXPECT_EQ(GetSaveFile(nullptr, file, nullptr, ("f" + longFilter).c_str()), 0);
    const std::string folder = "C:\\" + std::string(252, 'd');
    EXPECT_NE(GetOpenFile(nullptr, file, folder.c_str(), nullptr), 0) << "255 characters fit";
    EXPECT_EQ(seen.record.lpstrFilter, nullptr) << "no filter, no list";
    EXPECT_EQ(GetOpenFile(nullptr, file, (folder + "d").c_str(), nullptr), 0);
    EXPECT_EQ(seen.calls, calls + 2);

    // The platform guards the caller's buffer.
    char path[16] = "";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    answer = "C:\\A very long folder name\\and a file.txt";
    EXPECT_FALSE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), DWORD{FNERR_BUFFERTOOSMALL});
    EXPECT_EQ(BYTE(path[0]), 42) << "the size needed, terminator included";
}

// What the registry helpers and the file dialogs show through the platform's
// user-interface hooks: message boxes, and the dialog record.
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

int captureMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    shown.push_back({owner, text, caption, type});
    return IDOK;
}

// The dialog record as the hook saw it, and what the hook answers.
struct DialogSeen {
    int calls = 0;
    BOOL save = FALSE;
    OPENFILENAMEA record{};
    std::string file, fileTitle, initialDir;
    std::vector<char> filter;  // the list up to and including its double zero
};

DialogSeen seen;
const char *answer = nullptr;  // null: cancel

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
    lstrcpyA(ofn->lpstrFile, answer);  // the platform's buffer holds 4096 bytes
    return TRUE;
}

const HWND kWindow = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x1234));

class Hooked : public ::testing::Test {
protected:
    void SetUp() override
    {
        VEKHOSTUI ui = {captureMessageBox, nullptr, scriptedDialog};
        vekhostSetUI(&ui);
        shown.clear();
        seen = DialogSeen();
        answer = nullptr;
    }
    void TearDown() override { vekhostSetUI(nullptr); }
};

fs::path userStore()
{
    return fs::path(std::getenv("VEKHOST_PREFIX")) / "user.reg";
}

BOOL setString(HWND window, const char *path, const char *text)
{
    return SetRegValue(window, path, reinterpret_cast<const BYTE *>(text), DWORD(std::strlen(text) + 1), REG_SZ);
}

void *get(HWND window, const char *path)
{
    DWORD size = 0, type = 0;
    void *block = GetRegValue(window, path, &size, &type);
    if (block) {
        HGLOBAL memory = GlobalHandle(block);
        GlobalUnlock(memory);
        GlobalFree(memory);
    }
    return block;
}

}  // namespace

TEST_F(Hooked, RegistryMessagesOnlyWithAWindow)
{
    std::string longKey = "Software\\Messages\\" + std::string(300, 'k') + "\\Value";
    EXPECT_EQ(setString(nullptr, longKey.c_str(), "x"), 0);
    EXPECT_EQ(SetRegValue(nullptr, "Software\\Messages\\Nothing", nullptr, 0, 0), 0);
    EXPECT_EQ(get(nullptr, "Software\\Messages\\Missing Key\\Value"), nullptr);
    EXPECT_TRUE(shown.empty()) << "no window, no message box";

    EXPECT_EQ(setString(kWindow, longKey.c_str(), "x"), 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].owner, kWindow);
    EXPECT_EQ(shown[0].caption, "Yikes");
    EXPECT_EQ(shown[0].type, UINT(MB_OK));
    EXPECT_EQ(shown[0].text, "Error: unable to create key \"" + longKey + "\", but I don't know why.");

    EXPECT_EQ(SetRegValue(kWindow, "Software\\Messages\\Nothing", nullptr, 0, 0), 0);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, "Error: unable to delete key \"Software\\Messages\\Nothing\".");

    EXPECT_EQ(get(kWindow, "Software\\Messages\\Missing Key\\Value"), nullptr);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].text, "Error: unable to open key \"Software\\Messages\\Missing Key\\Value\", but I don't know why.");
    EXPECT_EQ(shown[2].caption, "Yikes");
}

TEST_F(Hooked, AccessDeniedMessages)
{
    ASSERT_EQ(setString(kWindow, "Software\\Denied\\Name", "v"), 1);
    ASSERT_TRUE(shown.empty());
    ASSERT_EQ(chmod(userStore().c_str(), 0444), 0);
    EXPECT_EQ(setString(kWindow, "Software\\Denied\\New\\Name", "v"), 0);
    EXPECT_EQ(setString(kWindow, "Software\\Denied\\Name", "w"), 0);
    ASSERT_EQ(chmod(userStore().c_str(), 0644), 0);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text,
              "Error: unable to create key \"Software\\Denied\\New\\Name\". Probably due to security reasons.");
    EXPECT_EQ(shown[1].text, "Error: unable to set value \"Software\\Denied\\Name\".");
}

TEST_F(Hooked, NecessaryKeyMessageForARememberedValueWithoutData)
{
    ASSERT_EQ(setString(nullptr, "Software\\Necessary\\Present", "Software\\Necessary"), 1);
    ASSERT_NE(get(kWindow, "HKEY_CURRENT_USER\\:Software\\Necessary\\Present"), nullptr);
    EXPECT_TRUE(shown.empty());

    EXPECT_NE(get(kWindow, "HKEY_CURRENT_USER\\:Software\\Necessary\\Absent"), nullptr) << "the zero block";
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Necessary Key \"HKEY_CURRENT_USER\\:Software\\Necessary\\Absent\" has no value");
    EXPECT_EQ(shown[0].caption, "Yikes");
    EXPECT_EQ(shown[0].type, UINT(MB_ICONHAND));

    // The path is shown after substitution; the remembered text is now empty.
    EXPECT_EQ(get(kWindow, "Software\\%s\\Gone\\Value"), nullptr);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, "Error: unable to open key \"Software\\\\Gone\\Value\", but I don't know why.");
}

TEST_F(Hooked, OpenDialogRecord)
{
    char file[512] = "start.bmp";
    answer = "C:\\Data\\chosen.bmp";
    EXPECT_NE(GetOpenFile(kWindow, file, "C:\\Data", "Bitmaps|*.bmp|All files|*.*|"), 0);
    EXPECT_STREQ(file, "C:\\Data\\chosen.bmp");
    ASSERT_EQ(seen.calls, 1);
    EXPECT_FALSE(seen.save);
    EXPECT_EQ(seen.record.lStructSize, DWORD(OPENFILENAME_SIZE_VERSION_400A));
    EXPECT_EQ(seen.record.hwndOwner, kWindow);
    EXPECT_EQ(seen.record.nFilterIndex, 1u);
    EXPECT_EQ(seen.record.nMaxFile, 512u);
    EXPECT_EQ(seen.record.nMaxFileTitle, 256u);
    EXPECT_EQ(seen.record.Flags, DWORD(OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST));
    EXPECT_EQ(seen.record.Flags, 0x1804u);
    EXPECT_EQ(seen.record.lpstrCustomFilter, nullptr);
    EXPECT_EQ(seen.record.lpstrTitle, nullptr);
    EXPECT_EQ(seen.file, "start.bmp") << "the proposed name";
    EXPECT_EQ(seen.fileTitle, "");
    EXPECT_EQ(seen.initialDir, "C:\\Data");
    const char expected[] = "Bitmaps\0*.bmp\0All files\0*.*\0";  // and the literal's own zero
    EXPECT_EQ(seen.filter, std::vector<char>(expected, expected + sizeof expected));

    answer = nullptr;
    lstrcpyA(file, "kept.bmp");
    EXPECT_EQ(GetOpenFile(kWindow, file, nullptr, "Text;|*.txt;|"), 0) << "cancelled";
    EXPECT_STREQ(file, "kept.bmp");
    EXPECT_EQ(seen.initialDir, "") << "no initial directory";
    const char semicolons[] = "Text;\0*.txt;\0";
    EXPECT_EQ(seen.filter, std::vector<char>(semicolons, semicolons + sizeof semicolons))
        << "the last character is the separator";
}

TEST_F(Hooked, SaveDialogRecord)
{
    char file[256] = "level1.map";
    answer = "C:\\Maps\\level2.map";
    EXPECT_NE(GetSaveFile(nullptr, file, "C:\\Maps", "Maps|*.map|"), 0);
    EXPECT_STREQ(file, "C:\\Maps\\level2.map");
    ASSERT_EQ(seen.calls, 1);
    EXPECT_TRUE(seen.save);
    EXPECT_EQ(seen.record.nFilterIndex, 0u);
    EXPECT_EQ(seen.record.nMaxFile, 256u);
    EXPECT_EQ(seen.record.Flags, DWORD(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
    EXPECT_EQ(seen.fileTitle, "level1.map") << "the title starts as the proposed name";
    EXPECT_EQ(seen.record.hwndOwner, nullptr);
}

TEST_F(Hooked, ArgumentsLongerThanTheirBuffersAreRefused)
{
    char file[512] = "";
    answer = "C:\\x.txt";
    std::string filter(126, 'f');
    filter += '|';
    EXPECT_NE(GetOpenFile(nullptr, file, nullptr, filter.c_str()), 0) << "127 characters fit";
    filter.insert(0, "f");
    EXPECT_EQ(GetOpenFile(nullptr, file, nullptr, filter.c_str()), 0);
    EXPECT_EQ(GetSaveFile(nullptr, file, nullptr, filter.c_str()), 0);
    EXPECT_EQ(seen.calls, 1) << "no dialog for a filter of 128 characters";

    std::string folder = "C:\\" + std::string(252, 'd');
    EXPECT_NE(GetOpenFile(nullptr, file, folder.c_str(), nullptr), 0) << "255 characters fit";
    EXPECT_EQ(seen.record.lpstrFilter, nullptr) << "no filter, no list";
    folder += 'd';
    EXPECT_EQ(GetOpenFile(nullptr, file, folder.c_str(), nullptr), 0);
    EXPECT_EQ(seen.calls, 2);
}

TEST_F(Hooked, PlatformFillsTheNameFieldsAndGuardsTheBuffer)
{
    char file[32] = "";
    char title[8];
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = sizeof title;
    answer = "C:\\Dir\\name.ext";
    ASSERT_TRUE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(ofn.nFileOffset, 7);
    EXPECT_EQ(ofn.nFileExtension, 12);
    EXPECT_STREQ(title, "name.ex") << "cut to its buffer";
    EXPECT_EQ(ofn.lpstrFile, file);
    EXPECT_EQ(ofn.nMaxFile, sizeof file);

    answer = "C:\\A very long folder name\\and a file.txt";
    ofn.nMaxFile = 16;
    EXPECT_FALSE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), DWORD(FNERR_BUFFERTOOSMALL));
    EXPECT_EQ(BYTE(file[0]), 42) << "the size needed, terminator included";
    EXPECT_EQ(file[1], 0);

    ofn.lStructSize = 12;
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), DWORD(CDERR_STRUCTSIZE));
    answer = nullptr;
    ofn.lStructSize = sizeof ofn;
    ofn.nMaxFile = sizeof file;
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), 0u) << "a cancel";
}

TEST(DefaultUI, MessageBoxAnswersOkAndDialogsCancelWithoutADisplay)
{
    vekhostSetUI(nullptr);
    EXPECT_EQ(MessageBoxA(nullptr, "printed to stderr", "Default", MB_OK), IDOK);
    EXPECT_TRUE(MessageBeep(0));

    std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    std::string wayland = std::getenv("WAYLAND_DISPLAY") ? std::getenv("WAYLAND_DISPLAY") : "";
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    char file[64] = "x.txt";
    EXPECT_EQ(GetOpenFile(nullptr, file, nullptr, "All|*.*|"), 0);
    EXPECT_STREQ(file, "x.txt");
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    if (!wayland.empty()) setenv("WAYLAND_DISPLAY", wayland.c_str(), 1);
}

TEST(BeepHook, MessageBeepPassesItsTypeToTheHook)
{
    static std::vector<UINT> beeps;
    beeps.clear();
    VEKHOSTUI ui{};
    ui.beep = [](UINT type) { beeps.push_back(type); };
    vekhostSetUI(&ui);
    EXPECT_TRUE(MessageBeep(MB_ICONHAND));
    EXPECT_TRUE(MessageBeep(0xFFFFFFFF));
    vekhostSetUI(nullptr);
    EXPECT_TRUE(MessageBeep(MB_OK));
    EXPECT_EQ(beeps, (std::vector<UINT>{MB_ICONHAND, 0xFFFFFFFF})) << "the default beeps silently";
}

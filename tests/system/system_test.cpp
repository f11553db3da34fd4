// The system helpers: dialog centring, durations as text, paths and files,
// ASCII strings, the library frame and shell shortcuts.
#include <vekkit.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

LRESULT CALLBACK plainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

TEST(CenterDialog, OnTheParentKeptOnTheScreen)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = plainProc;
    wc.lpszClassName = "CenterDialogTest";
    RegisterClassA(&wc);
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        const char *what;
        RECT parent;  // empty: no parent
        int width, height;
        POINT at;  // the dialog's new top-left corner
    } cases[] = {
        {"centred on the parent", {100, 80, 400, 280}, 100, 50, {200, 155}},
        {"odd sums round down", {1, 2, 101, 103}, 50, 50, {26, 27}},
        {"left and top edges stop at 0", {-200, -150, -100, -50}, 200, 120, {0, 0}},
        {"right and bottom edges stop at the screen's", {sw - 50, sh - 40, sw + 50, sh + 40}, 200, 60, {sw - 200, sh - 60}},
        {"larger than the screen: ends at its far edge", {0, 0, 100, 100}, sw + 40, sh + 30, {-40, -30}},
        {"without a parent: on the screen", {}, 100, 51, {(sw - 100) >> 1, (sh - 51) >> 1}},
    };
    for (const Case &c : cases) {
        HWND parent = IsRectEmpty(&c.parent)
                          ? nullptr
                          : CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, c.parent.left, c.parent.top,
                                            c.parent.right - c.parent.left, c.parent.bottom - c.parent.top, nullptr,
                                            nullptr, nullptr, nullptr);
        // Unframed popups, so that window rectangles are exactly the given ones.
        HWND dialog = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 5, 7, c.width, c.height, parent, nullptr,
                                      nullptr, nullptr);
        EXPECT_TRUE(vekCenterDlg(dialog)) << c.what;
        RECT r{};
        GetWindowRect(dialog, &r);
        EXPECT_EQ(r.left, c.at.x) << c.what;
        EXPECT_EQ(r.top, c.at.y) << c.what;
        EXPECT_EQ(r.right - r.left, c.width) << "the size stays";
        DestroyWindow(dialog);
        if (parent) DestroyWindow(parent);
    }
}

TEST(TimeString, EveryForm)
{
    // Mode 0 and modes above 2 count hours, 2 minutes, 1 seconds only; the
    // limit counts with a mode only.
    const struct {
        WORD seconds, limit, mode;
        const char *text;
    } cases[] = {
        {3725, 65535, 0, "1 hr,2 min,5 sec."}, {3720, 65535, 0, "1 hr,2 min."},  {3605, 65535, 0, "1 hour"},
        {7205, 65535, 7, "2 hours"},           {90, 65535, 2, "1 min,30 sec."}, {60, 65535, 2, "1 minute"},
        {7200, 65535, 2, "120 minutes"},       {1, 65535, 2, "1 second"},      {3600, 65535, 1, "3600 seconds"},
        {0, 65535, 0, "0 seconds"},            {300, 300, 2, "One Save"},      {299, 300, 1, "299 seconds"},
        {300, 300, 0, "5 minutes"},
    };
    for (const auto &c : cases) {
        char out[64];
        std::memset(out, '#', sizeof out);
        vekMakeTimeStr(c.seconds, c.limit, c.mode, out);
        EXPECT_STREQ(out, c.text) << c.seconds << " " << c.limit << " " << c.mode;
    }
}

TEST(Paths, ReduceBuildAndStrip)
{
    const std::pair<const char *, const char *> reductions[] = {
        {"", ""},
        {"C:\\DIR\\", "C:\\DIR"},          // a trailing backslash goes
        {"C:\\DIR\\\\", "C:\\DIR\\"},      // only one
        {"C:\\DIR\\*.BMP", "C:\\DIR"},     // a five-character pattern at the end
        {"C:\\DIR\\*.*", "C:\\DIR"},       // cut at the first asterisk with its backslash
        {"C:\\DIR\\A*B", "C:\\DIR\\A"},    // cut at the asterisk
        {"C:\\DIR", "C:\\DIR"},
        {"*.BMP", "*.BMP"},                // a bare pattern stays
        {"X*.BMP", ""},                    // cut before the sixth character from the end
        {"*", ""},
    };
    for (const auto &[path, reduced] : reductions) {
        char buffer[300];
        lstrcpyA(buffer, path);
        vekValidatePath(buffer);
        EXPECT_STREQ(buffer, reduced) << path;
    }
    vekValidatePath(nullptr);

    // Base directories: bit 0 the program's folder, bit 1 Windows, bit 2 System.
    char file[MAX_PATH], windows[MAX_PATH], system[MAX_PATH];
    const std::string program(file, GetModuleFileNameA(nullptr, file, MAX_PATH));
    const std::string folder = program.substr(0, program.find_last_of("\\:"));
    GetWindowsDirectoryA(windows, MAX_PATH);
    GetSystemDirectoryA(system, MAX_PATH);
    const std::pair<WORD, std::string> bases[] = {{0, ""}, {8, ""}, {1, folder + "\\"}, {7, folder + "\\"},
                                                  {2, std::string(windows) + "\\"}, {6, std::string(windows) + "\\"},
                                                  {4, std::string(system) + "\\"}};
    for (const auto &[base, prefix] : bases) {
        char out[256 + 64];
        std::fill(std::begin(out), std::end(out), '#');
        EXPECT_EQ(BuildFilePath(nullptr, "DATA.BIN", base, out), 1);
        EXPECT_EQ(out, prefix + "DATA.BIN") << "base " << base;
    }

    // The name after the last separator; one at index 0 is not looked at.
    const std::pair<const char *, size_t> strips[] = {
        {"C:\\GAME\\APP.EXE", 8}, {"C:APP.EXE", 2}, {"APP.EXE", 0}, {"\\APP.EXE", 0}};
    for (const auto &[path, name] : strips) EXPECT_EQ(vekStripPath(path), path + name) << path;

    char path[] = "C:\\X";
    EXPECT_EQ(FilePathCheckValid(path), 1);
    EXPECT_EQ(FilePathInvalidate(path), 1);
    EXPECT_EQ(FilePathCheckValid(path), 0);

    // Opening: create truncates, otherwise the file must exist.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string name = std::string(temp) + "vekkit_path_test.txt";
    DeleteFileA(name.c_str());
    EXPECT_EQ(vekFileExists(name.c_str()), 0);
    EXPECT_EQ(FilePathOpen(name.c_str(), OF_READ, FALSE), HFILE_ERROR);
    HFILE f = FilePathOpen(name.c_str(), OF_READ, TRUE);
    EXPECT_EQ(_lwrite(f, "abc", 3), 3u);
    _lclose(f);
    EXPECT_EQ(vekFileExists(name.c_str()), 1);
    f = FilePathOpen(name.c_str(), OF_READ, FALSE);
    char buffer[8] = {};
    EXPECT_EQ(_lread(f, buffer, sizeof buffer), 3u);
    _lclose(f);
    f = FilePathOpen(name.c_str(), OF_READ, TRUE);
    EXPECT_EQ(_llseek(f, 0, FILE_END), 0) << "create truncates";
    _lclose(f);
    DeleteFileA(name.c_str());
}

TEST(Strings, AsciiCaseAndSearches)
{
    char text[] = "Hello, World! \x80\xE4\xFFz@[`{";
    EXPECT_EQ(lstrupr(text), text);
    EXPECT_STREQ(text, "HELLO, WORLD! \x80\xE4\xFFZ@[`{");
    EXPECT_EQ(lstrlwr(text), text);
    EXPECT_STREQ(text, "hello, world! \x80\xE4\xFFz@[`{") << "bytes 0x80-0xFF and punctuation stay";

    const char path[] = "a\\b\\c";
    EXPECT_EQ(lstrchr(path, '\\'), path + 1);
    EXPECT_EQ(lstrchr(path, 'C'), nullptr) << "case counts";
    EXPECT_EQ(lstrchr(path, 0), nullptr) << "the terminator is not found";

    // Substrings ignore the case of ASCII letters only; from the start or
    // the end; an empty pattern is found at the first or last position.
    const struct {
        const char *text, *pattern;
        int first, last;  // offsets, -1 for none
    } cases[] = {
        {"Hello World", "WORLD", 6, 6}, {"Hello World", "Worlds", -1, -1}, {"ab", "abc", -1, -1},
        {"abcabc", "BC", 1, 4},         {"x\xC4y", "\xE4", -1, -1},        {"abc", "", 0, 3},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(lstrstr(c.text, c.pattern), c.first < 0 ? nullptr : c.text + c.first) << c.text << " " << c.pattern;
        EXPECT_EQ(lrstrstr(c.text, c.pattern), c.last < 0 ? nullptr : c.text + c.last) << c.text << " " << c.pattern;
    }
    EXPECT_EQ(lstrstr(nullptr, "a"), nullptr);
}

TEST(LibraryFrame, HiddenWindowInitialisationAndMidiWithoutMultimedia)
{
    HWND window = seticonhwnd();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(fakewindowproc(window, WM_CREATE, 0, 0), 0);
    EXPECT_TRUE(DestroyWindow(window));

    EXPECT_EQ(vekkitInit(), 1);
    EXPECT_EQ(vekkitInit(), 1);
    EXPECT_EQ(vekkitCleanup(), 1);
    // Windows has no module MMSYSTEM loaded: MIDI stays unavailable there.
    if (!GetModuleHandleA("MMSYSTEM")) {
        EXPECT_STREQ(vekPlayMIDI("tune.mid", "tune", TRUE), "DEDIVEZID has not been set up.");
        EXPECT_STREQ(vekRestartMIDI(0), "DEDIVEZID has not been set up.");
        EXPECT_FALSE(vekIsMIDIPlaying("tune"));
        vekCloseMIDI(0);
    }
    EXPECT_EQ(vekkitCleanup(), 1);
}

TEST(Shortcut, WrittenAndResolvedBack)
{
    char resolved[MAX_PATH] = "untouched";
    EXPECT_TRUE(FAILED(vekCreateShortcut("C:\\X.TXT", "C:\\X.LNK", "x"))) << "without COM";
    EXPECT_TRUE(FAILED(vekResolveShortcut(nullptr, "C:\\X.LNK", resolved)));
    EXPECT_STREQ(resolved, "");

    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    // A folder of short names, so that the target's short path is its path.
    char full[MAX_PATH];
    GetFullPathNameA("LNKTEST", MAX_PATH, full, nullptr);
    const std::string folder = full, target = folder + "\\TARGET.TXT", link = folder + "\\TARGET.LNK";
    CreateDirectoryA(folder.c_str(), nullptr);
    _lclose(_lcreat(target.c_str(), 0));
    ASSERT_EQ(vekCreateShortcut(target.c_str(), link.c_str(), "A test target"), S_OK);
    std::fill(std::begin(resolved), std::end(resolved), '#');
    ASSERT_EQ(vekResolveShortcut(nullptr, link.c_str(), resolved), S_OK);
    EXPECT_EQ(lstrcmpiA(resolved, target.c_str()), 0) << resolved;

    // A missing link and a file that is no link fail and leave the output empty.
    const std::string missing = folder + "\\NOSUCH.LNK";
    lstrcpyA(resolved, "untouched");
    EXPECT_TRUE(FAILED(vekResolveShortcut(nullptr, missing.c_str(), resolved)));
    EXPECT_STREQ(resolved, "");
    DeleteFileA(link.c_str());
    DeleteFileA(target.c_str());
    RemoveDirectoryA(folder.c_str());
    CoUninitialize();
}

// Kernel calls the library and its tests rely on: global memory, files
// through the _l calls and OpenFile, names of files and folders, modules,
// strings and formatting, the tick count. Errors are checked as Windows
// sets them, the last error guarded with 0xdeadbeef where a call must not
// touch it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/wine.h"

namespace {

using Bytes = std::vector<BYTE>;

std::string tempFolder()
{
    char temp[MAX_PATH];
    const DWORD n = GetTempPathA(MAX_PATH, temp);
    EXPECT_TRUE(n > 0 && n < MAX_PATH);
    const std::string folder = std::string(temp) + "VekFiles";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

Bytes counting(size_t n)
{
    Bytes bytes(n);
    for (size_t i = 0; i < n; i++) bytes[i] = static_cast<BYTE>(i * 7 + 1);
    return bytes;
}

std::string written(const std::string &path, const Bytes &bytes)
{
    DeleteFileA(path.c_str());
    HFILE f = _lcreat(path.c_str(), 0);
    EXPECT_NE(f, HFILE_ERROR) << path;
    if (!bytes.empty()) {
        EXPECT_EQ(_lwrite(f, reinterpret_cast<LPCSTR>(bytes.data()), UINT(bytes.size())), bytes.size());
    }
    EXPECT_EQ(_lclose(f), 0);
    return path;
}

DWORD errorOf(BOOL ok) { return ok ? 0 : GetLastError(); }

}  // namespace

TEST(GlobalMemory, HandlesPointersLocksAndSizes)
{
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 100);
    ASSERT_NE(mem, nullptr);
    EXPECT_EQ(GlobalSize(mem), 100u);
    auto *p = static_cast<BYTE *>(GlobalLock(mem));
    EXPECT_NE(static_cast<void *>(p), mem) << "a movable handle is not its pointer";
    for (int i = 0; i < 100; i++) ASSERT_EQ(p[i], 0) << "zero-filled at " << i;
    EXPECT_EQ(GlobalHandle(p), mem);
    EXPECT_EQ(GlobalLock(mem), p) << "a second lock gives the same pointer";
    EXPECT_EQ(GlobalFlags(mem) & GMEM_LOCKCOUNT, 2u);
    EXPECT_TRUE(GlobalUnlock(mem)) << "still locked once";
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GlobalUnlock(mem));
    EXPECT_EQ(GetLastError(), DWORD{NO_ERROR}) << "the last unlock";
    EXPECT_FALSE(GlobalUnlock(mem));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_NOT_LOCKED});

    // Growing keeps the contents and the handle and zero-fills the growth.
    std::memcpy(GlobalLock(mem), "abcdefgh", 8);
    GlobalUnlock(mem);
    ASSERT_EQ(GlobalReAlloc(mem, 70000, GMEM_MOVEABLE | GMEM_ZEROINIT), mem);
    p = static_cast<BYTE *>(GlobalLock(mem));
    EXPECT_EQ(GlobalSize(mem), 70000u);
    EXPECT_EQ(std::memcmp(p, "abcdefgh", 8), 0);
    EXPECT_EQ(p[100], 0);
    EXPECT_EQ(GlobalHandle(p), mem) << "the new pointer maps back";
    GlobalUnlock(mem);
    EXPECT_EQ(GlobalFree(mem), nullptr);
    EXPECT_EQ(GlobalLock(mem), nullptr) << "a freed handle is no longer valid";

    HGLOBAL fixed = GlobalAlloc(GMEM_FIXED, 16);
    EXPECT_EQ(GlobalLock(fixed), fixed) << "a fixed block is its own handle";
    EXPECT_EQ(GlobalHandle(fixed), fixed);
    GlobalFree(fixed);
    HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
    EXPECT_EQ(GlobalLock(empty), nullptr) << "a zero-size movable block is discarded";
    GlobalFree(empty);
    int local = 0;
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GlobalHandle(&local), nullptr);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, ~SIZE_T{0} - 16), nullptr) << "absurd sizes fail";
    EXPECT_EQ(GlobalFree(nullptr), nullptr);
}

TEST(Files, ReadWriteSeekAndErrors)
{
    const std::string folder = tempFolder(), path = written(folder + "\\Data.Bin", counting(300));
    // Names ignore case and take either separator.
    std::string upper = path, slashes = path;
    for (char &c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    for (char &c : slashes) c = c == '\\' ? '/' : c;
    for (const std::string &spelling : {path, upper, slashes}) {
        HFILE f = _lopen(spelling.c_str(), OF_READ);
        ASSERT_NE(f, HFILE_ERROR) << spelling;
        Bytes back(400, 0xEE);
        EXPECT_EQ(_lread(f, back.data(), 400), 300u) << "a short read stops at the end";
        EXPECT_EQ(Bytes(back.begin(), back.begin() + 300), counting(300));
        EXPECT_EQ(_lread(f, back.data(), 10), 0u);
        _lclose(f);
    }
    HFILE f = _lopen(path.c_str(), OF_READWRITE);
    BYTE b = 0;
    EXPECT_EQ(_llseek(f, 10, FILE_BEGIN), 10);
    EXPECT_EQ(_lread(f, &b, 1), 1u);
    EXPECT_EQ(b, counting(300)[10]);
    EXPECT_EQ(_llseek(f, -5, FILE_CURRENT), 6);
    EXPECT_EQ(_llseek(f, -1, FILE_END), 299);
    // Past the end is allowed; a write there fills the gap with zeros.
    EXPECT_EQ(_llseek(f, 350, FILE_BEGIN), 350);
    EXPECT_EQ(_lwrite(f, "\xAB", 1), 1u);
    EXPECT_EQ(_llseek(f, 0, FILE_END), 351);
    Bytes gap(50, 0xEE);
    _llseek(f, 300, FILE_BEGIN);
    EXPECT_EQ(_lread(f, gap.data(), 50), 50u);
    EXPECT_EQ(gap, Bytes(50, 0));
    // Before the start fails and leaves the position alone.
    _llseek(f, 20, FILE_BEGIN);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(_llseek(f, -21, FILE_CURRENT), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_NEGATIVE_SEEK});
    EXPECT_EQ(_llseek(f, -1, FILE_BEGIN), HFILE_ERROR);
    EXPECT_EQ(_llseek(f, 0, FILE_CURRENT), 20);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(_llseek(f, 0, 7), HFILE_ERROR) << "unknown origin";
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
    _lclose(f);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(_lclose(f), HFILE_ERROR) << "closed twice";
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
    for (HFILE bad : {HFILE_ERROR, 0, 12345, f}) {
        char buffer[4];
        SetLastError(0xdeadbeef);
        EXPECT_EQ(_lread(bad, buffer, 4), UINT(HFILE_ERROR)) << bad;
        EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
        EXPECT_EQ(_lwrite(bad, "ab", 2), UINT(HFILE_ERROR)) << bad;
    }

    // Creating truncates an existing file, says so, and opens it for reading too.
    SetLastError(0xdeadbeef);
    f = _lcreat(path.c_str(), 0);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_ALREADY_EXISTS});
    EXPECT_EQ(_llseek(f, 0, FILE_END), 0);
    EXPECT_EQ(_lwrite(f, "xy", 2), 2u);
    _llseek(f, 0, FILE_BEGIN);
    char back[4] = {};
    EXPECT_EQ(_lread(f, back, 4), 2u);
    _lclose(f);
    f = _lopen(path.c_str(), OF_READ);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(_lwrite(f, "ab", 2), UINT(HFILE_ERROR)) << "opened for reading";
    EXPECT_EQ(GetLastError(), DWORD{ERROR_ACCESS_DENIED});
    _lclose(f);

    // Missing files and folders, and folders taken for files.
    const std::pair<std::string, DWORD> missing[] = {{folder + "\\missing.bin", ERROR_FILE_NOT_FOUND},
                                                     {folder + "\\NoSuchFolder\\file.bin", ERROR_PATH_NOT_FOUND},
                                                     {folder, ERROR_ACCESS_DENIED}};
    for (const auto &[name, error] : missing) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(_lopen(name.c_str(), OF_READ), HFILE_ERROR) << name;
        EXPECT_EQ(GetLastError(), error) << name;
    }
    EXPECT_EQ(_lcreat((folder + "\\NoSuchFolder\\file.bin").c_str(), 0), HFILE_ERROR);
    EXPECT_EQ(_lcreat(folder.c_str(), 0), HFILE_ERROR);

    // OpenFile tests existence, fills in the full name, deletes.
    OFSTRUCT info;
    std::memset(&info, 0x55, sizeof info);
    EXPECT_NE(OpenFile((folder + "\\data.bin").c_str(), &info, OF_EXIST), HFILE_ERROR);
    EXPECT_EQ(info.cBytes, sizeof(OFSTRUCT));
    EXPECT_EQ(info.nErrCode, 0);
    EXPECT_EQ(lstrcmpiA(info.szPathName, path.c_str()), 0) << info.szPathName;
    EXPECT_NE(OpenFile(path.c_str(), &info, OF_DELETE), HFILE_ERROR);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(OpenFile(path.c_str(), &info, OF_EXIST), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_FILE_NOT_FOUND});
    EXPECT_EQ(info.nErrCode, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_FILE_NOT_FOUND});
    EXPECT_EQ(errorOf(DeleteFileA(path.c_str())), DWORD{ERROR_FILE_NOT_FOUND});
    EXPECT_EQ(errorOf(DeleteFileA((folder + "\\NoSuchFolder\\x").c_str())), DWORD{ERROR_PATH_NOT_FOUND});
    EXPECT_TRUE(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(DeleteFileA(folder.c_str())) << "folders are not deleted as files";
    f = _lopen(written(folder + "\\large.bin", counting(200000)).c_str(), OF_READ);
    Bytes large(200000);
    EXPECT_EQ(_lread(f, large.data(), 200000), 200000u);
    EXPECT_EQ(large, counting(200000));
    _lclose(f);
}

TEST(Names, FullPathsFoldersAndModules)
{
    const struct {
        const char *path, *full, *filePart;
    } cases[] = {
        {"C:\\Games\\Data\\..\\Level.dat", "C:\\Games\\Level.dat", "Level.dat"},
        {"C:/Games/./Data/", "C:\\Games\\Data\\", nullptr},
        {"c:\\a\\..\\..\\b", "c:\\b", "b"},
        {"C:\\", "C:\\", nullptr},
    };
    for (const auto &c : cases) {
        char buffer[MAX_PATH];
        LPSTR filePart = buffer;
        const DWORD length = GetFullPathNameA(c.path, MAX_PATH, buffer, &filePart);
        EXPECT_EQ(length, std::strlen(c.full)) << c.path;
        EXPECT_EQ(lstrcmpiA(buffer, c.full), 0) << c.path << " gave " << buffer;
        EXPECT_EQ(filePart, c.filePart ? buffer + length - std::strlen(c.filePart) : nullptr) << c.path;
    }
    // Relative to the current directory; a leading backslash is the root
    // of the current drive. A buffer too small gets the size needed and is
    // left alone.
    char current[MAX_PATH], full[MAX_PATH];
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, current);
    std::string expected = current;
    expected += (expected.back() == '\\' ? "" : "\\") + std::string("name.txt");
    EXPECT_EQ(GetFullPathNameA(".\\x\\..\\name.txt", MAX_PATH, full, nullptr), expected.size());
    EXPECT_STREQ(full, expected.c_str());
    EXPECT_EQ(GetFullPathNameA("\\top.txt", MAX_PATH, full, nullptr), 10u);
    EXPECT_EQ(full[0], current[0]);
    EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), length + 1);
    std::memset(full, 'x', sizeof full);
    EXPECT_EQ(GetFullPathNameA("C:\\Games\\Level.dat", 18, full, nullptr), 19u) << "no room for the terminator";
    EXPECT_EQ(full[0], 'x');

    // The Windows, System and temporary folders exist; the System folder
    // lies in the Windows folder; buffer rules as above.
    char windows[MAX_PATH], system[MAX_PATH], temp[MAX_PATH], small[4] = "xx";
    SetLastError(0xdeadbeef);
    const UINT w = GetWindowsDirectoryA(windows, MAX_PATH), s = GetSystemDirectoryA(system, MAX_PATH);
    const DWORD t = GetTempPathA(MAX_PATH, temp);
    EXPECT_EQ(GetLastError(), 0xdeadbeefu) << "success leaves the last error alone";
    EXPECT_EQ(std::string(windows, 3).substr(1), ":\\");
    EXPECT_EQ(std::string(system, w + 1), std::string(windows) + "\\");
    EXPECT_EQ(temp[t - 1], '\\');
    for (const char *folder : {windows, system, temp}) EXPECT_TRUE(GetFileAttributesA(folder) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetWindowsDirectoryA(small, 1), w + 1);
    EXPECT_EQ(small[0], 'x');
    EXPECT_EQ(GetSystemDirectoryA(nullptr, 0), s + 1);
    EXPECT_EQ(GetTempPathA(1, small), t + 1);

    // The program's file is a full DOS path naming it; kernel32 exports its
    // functions under their own case.
    char name[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, name, MAX_PATH);
    EXPECT_EQ(std::string(name, 3).substr(1), ":\\");
    EXPECT_NE(std::string(name, n).find("test_platform"), std::string::npos) << name;
    HMODULE program = GetModuleHandleA(nullptr);
    EXPECT_EQ(GetModuleHandleA(name), program) << "found by its file name";
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    ASSERT_NE(kernel, nullptr);
    EXPECT_EQ(GetModuleHandleA("KERNEL32"), kernel) << "names ignore case and the extension";
    using Length = int(WINAPI *)(LPCSTR);
    auto lengthOf = reinterpret_cast<Length>(reinterpret_cast<void (*)(void)>(GetProcAddress(kernel, "lstrlenA")));
    ASSERT_NE(lengthOf, nullptr);
    EXPECT_EQ(lengthOf("four"), 4);
    for (HMODULE module : {kernel, program}) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GetProcAddress(module, module == kernel ? "lstrlena" : "lstrlenA"), nullptr);
        EXPECT_EQ(GetLastError(), DWORD{ERROR_PROC_NOT_FOUND});
    }
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetModuleHandleA("NoSuchModule.dll"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_MOD_NOT_FOUND});
}

TEST(Strings, LstrConversionAndFormatting)
{
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(lstrcpynA(buffer, "abcdef", 4), buffer);
    EXPECT_STREQ(buffer, "abc") << "size - 1 characters and the terminator";
    EXPECT_EQ(buffer[4], 'x');
    lstrcpyA(buffer, "abc");
    EXPECT_STREQ(lstrcatA(buffer, "de"), "abcde");
    EXPECT_EQ(lstrlenA(buffer), 5);
    EXPECT_EQ(lstrlenA(nullptr), 0);
    EXPECT_LT(lstrcmpA("a", "B"), 0) << "letters before case";
    EXPECT_LT(lstrcmpA("a", "A"), 0) << "lower case first when only case differs";
    EXPECT_LT(lstrcmpA("_", "A"), 0) << "punctuation before letters";
    EXPECT_EQ(lstrcmpiA("Hello", "hELLO"), 0);
    EXPECT_GT(lstrcmpiA("b", "A"), 0);
    EXPECT_LT(lstrcmpA(nullptr, "a"), 0);

    // ANSI and UTF-8 (a surrogate pair, U+FFFD for a lead byte without its
    // continuation) into UTF-16; the terminator counts when asked for.
    WCHAR wide[8];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, wide, 8), 4);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4) << "the size query";
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", -1, wide, 8), 5);
    EXPECT_EQ(std::u16string(reinterpret_cast<char16_t *>(wide), 4), u"\u00E9\u20AC\U0001F600");
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xC3(", 2, wide, 8), 2);
    EXPECT_EQ(wide[0], 0xFFFD);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "\x80\x9F", 2, wide, 8), 2);
    EXPECT_EQ(std::u16string(reinterpret_cast<char16_t *>(wide), 2), u"\u20AC\u0178");
    SetLastError(0xdeadbeef);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abcdef", -1, wide, 4), 0);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INSUFFICIENT_BUFFER});
    SetLastError(0xdeadbeef);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, nullptr, 3, wide, 4), 0);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});

    // wsprintfA: the conversions the library formats with.
    char text[64];
    auto format = [&](auto... args) {
        const int length = wsprintfA(text, args...);
        EXPECT_EQ(length, lstrlenA(text));
        return std::string(text);
    };
    EXPECT_EQ(format("%d|%u|%ld|%lx", -42, 42u, LONG(-7), DWORD(0xABCD)), "-42|42|-7|abcd");
    EXPECT_EQ(format("[%5d][%-5d][%05d][%-05d]", 42, 42, -42, 42), "[   42][42   ][-0042][42   ]");
    EXPECT_EQ(format("%#x %X", 255, 0xBEEFu), "0xff BEEF");
    EXPECT_EQ(format("[%.2s]%c[%5s]%%", "abc", 'z', "ab"), "[ab]z[   ab]%");
    // Output stops at 1024 bytes with the terminator (Wine counts 1024, Windows 1023).
    const std::string longText(2000, 'a');
    std::vector<char> out(1100, 0x55);
    const int stored = onWine() ? 1024 : 1023;
    SetLastError(0xdeadbeef);
    EXPECT_EQ(wsprintfA(out.data(), "%s", longText.c_str()), stored);
    EXPECT_EQ(GetLastError(), 0xdeadbeefu);
    EXPECT_EQ(out[1022], 'a');
    EXPECT_EQ(out[1023], '\0');
    EXPECT_EQ(out[1024], 0x55) << "nothing written past the limit";
    EXPECT_EQ(wsprintfA(out.data(), "%1000d", 5), 1000) << "output that fits is not cut";

    // The tick count moves across a sleep.
    const DWORD before = GetTickCount();
    Sleep(20);
    const DWORD elapsed = GetTickCount() - before;
    EXPECT_TRUE(elapsed > 0 && elapsed < 0x80000000u) << elapsed;
}

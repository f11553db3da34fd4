// Kernel rules the library relies on beyond what its own tests exercise:
// global memory handles and locks, the _l file calls' positions and errors,
// OpenFile, full path names and the system folders, module lookups, string
// conversion and wsprintfA's conversions and limit. The last error is
// guarded with 0xdeadbeef where a call must not touch it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/wine.h"

namespace {

using Bytes = std::vector<BYTE>;

DWORD errorAfter(bool failed) { return failed ? GetLastError() : 0; }

}  // namespace

TEST(GlobalMemory, HandlesPointersLocksAndSizes)
{
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 100);
    auto *p = static_cast<BYTE *>(GlobalLock(mem));
    EXPECT_NE(static_cast<void *>(p), mem) << "a movable handle is not its pointer";
    EXPECT_EQ(Bytes(p, p + 100), Bytes(100, 0));
    EXPECT_EQ(GlobalHandle(p), mem);
    EXPECT_EQ(GlobalLock(mem), p) << "a second lock gives the same pointer";
    EXPECT_EQ(GlobalFlags(mem) & GMEM_LOCKCOUNT, 2u);
    EXPECT_TRUE(GlobalUnlock(mem));
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
    EXPECT_EQ(std::memcmp(p, "abcdefgh\0", 9), 0);
    EXPECT_EQ(GlobalHandle(p), mem) << "the new pointer maps back";
    GlobalUnlock(mem);
    EXPECT_EQ(GlobalFree(mem), nullptr);
    HGLOBAL fixed = GlobalAlloc(GMEM_FIXED, 16);
    EXPECT_EQ(GlobalLock(fixed), fixed) << "a fixed block is its own handle";
    GlobalFree(fixed);
    int local = 0;
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GlobalHandle(&local), nullptr);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, ~SIZE_T{0} - 16), nullptr) << "absurd sizes fail";
}

TEST(Files, PositionsErrorsAndOpenFile)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "VekFiles", path = folder + "\\Data.Bin";
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA(path.c_str());
    SetLastError(0xdeadbeef);
    HFILE f = _lcreat(path.c_str(), 0);
    EXPECT_EQ(GetLastError(), 0u) << "a new file";
    Bytes data(300);
    for (size_t i = 0; i < data.size(); i++) data[i] = static_cast<BYTE>(i * 7 + 1);
    EXPECT_EQ(_lwrite(f, reinterpret_cast<LPCSTR>(data.data()), 300), 300u);
    // Past the end is allowed; a write there fills the gap with zeros.
    EXPECT_EQ(_llseek(f, 350, FILE_BEGIN), 350);
    EXPECT_EQ(_lwrite(f, "\xAB", 1), 1u);
    EXPECT_EQ(_llseek(f, -51, FILE_END), 300);
    Bytes back(60, 0xEE);
    EXPECT_EQ(_lread(f, back.data(), 60), 51u) << "a short read stops at the end";
    EXPECT_EQ(Bytes(back.begin(), back.begin() + 50), Bytes(50, 0));
    EXPECT_EQ(_llseek(f, -5, FILE_CURRENT), 346);
    // Before the start fails and leaves the position alone.
    SetLastError(0xdeadbeef);
    EXPECT_EQ(_llseek(f, -347, FILE_CURRENT), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_NEGATIVE_SEEK});
    EXPECT_EQ(_llseek(f, -1, FILE_BEGIN), HFILE_ERROR);
    EXPECT_EQ(_llseek(f, 0, FILE_CURRENT), 346);
    EXPECT_EQ(_llseek(f, 0, 7), HFILE_ERROR) << "unknown origin";
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
    EXPECT_EQ(_lclose(f), 0);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(_lclose(f), HFILE_ERROR) << "closed twice";
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
    char buffer[4];
    for (HFILE bad : {HFILE_ERROR, 0, f}) EXPECT_EQ(_lread(bad, buffer, 4), UINT(HFILE_ERROR)) << bad;

    // Names ignore case and take either separator; a file opened for
    // reading refuses writes; creating truncates an existing file.
    std::string other = folder + "/DATA.BIN";
    f = _lopen(other.c_str(), OF_READ);
    EXPECT_EQ(_lread(f, back.data(), 4), 4u);
    EXPECT_EQ(back[3], data[3]);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(_lwrite(f, "ab", 2), UINT(HFILE_ERROR));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_ACCESS_DENIED});
    _lclose(f);
    f = _lcreat(path.c_str(), 0);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_ALREADY_EXISTS});
    EXPECT_EQ(_llseek(f, 0, FILE_END), 0);
    _lclose(f);
    const std::pair<std::string, DWORD> missing[] = {{folder + "\\missing.bin", ERROR_FILE_NOT_FOUND},
                                                     {folder + "\\NoSuchFolder\\file.bin", ERROR_PATH_NOT_FOUND},
                                                     {folder, ERROR_ACCESS_DENIED}};
    for (const auto &[name, error] : missing) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(_lopen(name.c_str(), OF_READ), HFILE_ERROR) << name;
        EXPECT_EQ(GetLastError(), error) << name;
    }
    // OpenFile tests existence, fills in the full name, deletes.
    OFSTRUCT info;
    std::memset(&info, 0x55, sizeof info);
    EXPECT_NE(OpenFile((folder + "\\data.bin").c_str(), &info, OF_EXIST), HFILE_ERROR);
    EXPECT_EQ(info.nErrCode, 0);
    EXPECT_EQ(lstrcmpiA(info.szPathName, path.c_str()), 0) << info.szPathName;
    EXPECT_NE(OpenFile(path.c_str(), &info, OF_DELETE), HFILE_ERROR);
    EXPECT_EQ(OpenFile(path.c_str(), &info, OF_EXIST), HFILE_ERROR);
    EXPECT_EQ(info.nErrCode, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(errorAfter(GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES), DWORD{ERROR_FILE_NOT_FOUND});
    EXPECT_EQ(errorAfter(!DeleteFileA(path.c_str())), DWORD{ERROR_FILE_NOT_FOUND});
    EXPECT_FALSE(DeleteFileA(folder.c_str())) << "folders are not deleted as files";
    EXPECT_TRUE(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(Names, FullPathsFoldersAndModules)
{
    const std::pair<const char *, const char *> paths[] = {{"C:\\Games\\Data\\..\\Level.dat", "C:\\Games\\Level.dat"},
                                                           {"C:/Games/./Data/", "C:\\Games\\Data\\"},
                                                           {"c:\\a\\..\\..\\b", "c:\\b"}};
    char buffer[MAX_PATH];
    for (const auto &[path, full] : paths) {
        LPSTR filePart = nullptr;
        EXPECT_EQ(GetFullPathNameA(path, MAX_PATH, buffer, &filePart), std::strlen(full)) << path;
        EXPECT_EQ(lstrcmpiA(buffer, full), 0) << path << " gave " << buffer;
        EXPECT_STREQ(filePart ? filePart : "", std::strrchr(full, '\\') + 1) << path;
    }
    // A buffer too small gets the size needed and is left alone.
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetFullPathNameA("C:\\Games\\Level.dat", 18, buffer, nullptr), 19u);
    EXPECT_EQ(buffer[0], 'x');
    // The System folder lies in the Windows folder; the temporary folder
    // ends with a separator; all three exist.
    char windows[MAX_PATH], system[MAX_PATH], temp[MAX_PATH];
    SetLastError(0xdeadbeef);
    const UINT w = GetWindowsDirectoryA(windows, MAX_PATH), t = GetTempPathA(MAX_PATH, temp);
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(GetLastError(), 0xdeadbeefu) << "success leaves the last error alone";
    EXPECT_EQ(std::string(system, w + 1), std::string(windows) + "\\");
    EXPECT_EQ(temp[t - 1], '\\');
    for (const char *folder : {windows, system, temp}) EXPECT_TRUE(GetFileAttributesA(folder) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetWindowsDirectoryA(nullptr, 0), w + 1);
    EXPECT_EQ(GetTempPathA(1, buffer), t + 1);

    // The program's file is a full DOS path; kernel32's exports are found
    // under their own case only.
    const DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    EXPECT_EQ(std::string(buffer + 1, 2), ":\\");
    EXPECT_NE(std::string(buffer, n).find("test_platform"), std::string::npos) << buffer;
    EXPECT_EQ(GetModuleHandleA(buffer), GetModuleHandleA(nullptr)) << "found by its file name";
    HMODULE kernel = GetModuleHandleA("KERNEL32");
    ASSERT_EQ(kernel, GetModuleHandleA("kernel32.dll")) << "names ignore case and the extension";
    using Length = int(WINAPI *)(LPCSTR);
    auto lengthOf = reinterpret_cast<Length>(reinterpret_cast<void (*)(void)>(GetProcAddress(kernel, "lstrlenA")));
    ASSERT_NE(lengthOf, nullptr);
    EXPECT_EQ(lengthOf("four"), 4);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetProcAddress(kernel, "lstrlena"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_PROC_NOT_FOUND});
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetModuleHandleA("NoSuchModule.dll"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_MOD_NOT_FOUND});
}

TEST(Strings, ConversionAndFormatting)
{
    EXPECT_LT(lstrcmpA("a", "B"), 0) << "letters before case";
    EXPECT_LT(lstrcmpA("a", "A"), 0) << "lower case first when only case differs";
    EXPECT_EQ(lstrcmpiA("Hello", "hELLO"), 0);
    char copy[8] = "xxxxxxx";
    EXPECT_STREQ(lstrcpynA(copy, "abcdef", 4), "abc");
    EXPECT_EQ(copy[4], 'x');

    // ANSI and UTF-8 into UTF-16: a surrogate pair, U+FFFD for a lead byte
    // without its continuation, the terminator counted when asked for.
    WCHAR wide[8];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4) << "the size query";
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xC3\xA9\xF0\x9F\x98\x80\xC3(", 8, wide, 8), 5);
    EXPECT_EQ(std::u16string(reinterpret_cast<char16_t *>(wide), 5), u"\u00E9\U0001F600\uFFFD(");
    SetLastError(0xdeadbeef);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abcdef", -1, wide, 4), 0);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INSUFFICIENT_BUFFER});

    // wsprintfA: the conversions the library formats with, and output cut
    // at 1024 bytes with the terminator (counted 1024 by Wine, 1023 by Windows).
    char text[64];
    auto format = [&](auto... args) {
        const int length = wsprintfA(text, args...);
        EXPECT_EQ(length, lstrlenA(text));
        return std::string(text);
    };
    EXPECT_EQ(format("%d|%u|%ld|%lx|%#x %X", -42, 42u, LONG(-7), DWORD(0xABCD), 255, 0xBEEFu), "-42|42|-7|abcd|0xff BEEF");
    EXPECT_EQ(format("[%5d][%-5d][%05d][%-05d]", 42, 42, -42, 42), "[   42][42   ][-0042][42   ]");
    EXPECT_EQ(format("[%.2s]%c[%5s]%%", "abc", 'z', "ab"), "[ab]z[   ab]%");
    std::vector<char> out(1100, 0x55);
    const int stored = onWine() ? 1024 : 1023;
    SetLastError(0xdeadbeef);
    EXPECT_EQ(wsprintfA(out.data(), "%s", std::string(2000, 'a').c_str()), stored);
    EXPECT_EQ(GetLastError(), 0xdeadbeefu);
    EXPECT_EQ(std::string(out.data() + 1022, 3), std::string("a\0\x55", 3)) << "nothing written past the limit";
    EXPECT_EQ(wsprintfA(out.data(), "%1000d", 5), 1000) << "output that fits is not cut";
}

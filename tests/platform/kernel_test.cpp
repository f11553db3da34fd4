// Kernel rules the library relies on beyond what its own tests exercise
// (every one of them allocates, locks and sizes global memory): the _l
// file calls' positions and errors,
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

}  // namespace

TEST(Files, PositionsErrorsAndOpenFile)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "VekFiles", path = folder + "\\Data.Bin";
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA(path.c_str());
    HFILE f = _lcreat(path.c_str(), 0);
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
    EXPECT_EQ(_lclose(f), 0);
    EXPECT_EQ(_lclose(f), HFILE_ERROR) << "closed twice";
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
    EXPECT_EQ(_llseek(f, 0, FILE_END), 0);
    _lclose(f);
    const std::pair<std::string, DWORD> missing[] = {{folder + "\\missing.bin", ERROR_FILE_NOT_FOUND},
                                                     {folder + "\\NoSuchFolder\\file.bin", ERROR_PATH_NOT_FOUND}};
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
    EXPECT_FALSE(DeleteFileA(path.c_str()));
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
    // The System folder lies in the Windows folder; the temporary folder
    // ends with a separator.
    char windows[MAX_PATH], system[MAX_PATH], temp[MAX_PATH];
    const UINT w = GetWindowsDirectoryA(windows, MAX_PATH), t = GetTempPathA(MAX_PATH, temp);
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(std::string(system, w + 1), std::string(windows) + "\\");
    EXPECT_EQ(temp[t - 1], '\\');

    // The program's file is a full DOS path; kernel32's exports are found
    // under their own case only.
    const DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    EXPECT_EQ(std::string(buffer + 1, 2), ":\\");
    EXPECT_NE(std::string(buffer, n).find("test_platform"), std::string::npos) << buffer;
    HMODULE kernel = GetModuleHandleA("KERNEL32");
    ASSERT_EQ(kernel, GetModuleHandleA("kernel32.dll")) << "names ignore case and the extension";
    using Length = int(WINAPI *)(LPCSTR);
    auto lengthOf = reinterpret_cast<Length>(reinterpret_cast<void (*)(void)>(GetProcAddress(kernel, "lstrlenA")));
    ASSERT_NE(lengthOf, nullptr);
    EXPECT_EQ(lengthOf("four"), 4);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetProcAddress(kernel, "lstrlena"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_PROC_NOT_FOUND});
}

TEST(Strings, ConversionAndFormatting)
{
    EXPECT_EQ(lstrcmpiA("Hello", "hELLO"), 0);
    char copy[8] = "xxxxxxx";
    EXPECT_STREQ(lstrcpynA(copy, "abcdef", 4), "abc");
    EXPECT_EQ(copy[4], 'x');

    // ANSI into UTF-16 as the shell link calls convert, the terminator
    // counted; a buffer too small is refused.
    WCHAR wide[8];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, wide, 8), 4);
    EXPECT_EQ(std::u16string(reinterpret_cast<char16_t *>(wide), 4), std::u16string(u"abc", 4));
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

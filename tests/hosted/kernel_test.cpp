// The hosted kernel's own choices: where drive C: lives, POSIX paths, the
// case-insensitive lookup of host names, module names of host libraries,
// UTF-8 as the ANSI code page.
#include <vekkit.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

fs::path prefix()
{
    const char *value = std::getenv("VEKHOST_PREFIX");
    EXPECT_NE(value, nullptr) << "CTest sets VEKHOST_PREFIX";
    return fs::canonical(value ? value : ".");
}

// A function address in the form every function pointer converts to.
template <typename F>
void (*address(F function))(void)
{
    return reinterpret_cast<void (*)(void)>(function);
}

std::string dosFromPosix(const fs::path &path)
{
    std::string dos = "Z:" + path.string();
    for (char &c : dos)
        if (c == '/') c = '\\';
    return dos;
}

std::string readHostFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeHostFile(const fs::path &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string readThroughKernel(const std::string &path)
{
    HFILE f = _lopen(path.c_str(), OF_READ);
    EXPECT_NE(f, HFILE_ERROR) << path << " error " << GetLastError();
    if (f == HFILE_ERROR) return "";
    char buffer[256];
    UINT n = _lread(f, buffer, sizeof buffer);
    _lclose(f);
    return std::string(buffer, n == (UINT)HFILE_ERROR ? 0 : n);
}

// A scratch folder on drive C:, emptied for each test.
class Hosted : public ::testing::Test {
protected:
    void SetUp() override
    {
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, MAX_PATH);  // makes drive C: and its folders
        host_ = prefix() / "drive_c" / "Scratch";
        fs::remove_all(host_);
        fs::create_directories(host_);
    }
    fs::path host_;
};

}  // namespace

TEST_F(Hosted, SystemFoldersLiveOnDriveCOfThePrefix)
{
    char buffer[MAX_PATH];
    EXPECT_EQ(GetWindowsDirectoryA(buffer, MAX_PATH), 10u);
    EXPECT_STREQ(buffer, "C:\\windows");
    EXPECT_EQ(GetSystemDirectoryA(buffer, MAX_PATH), 19u);
    EXPECT_STREQ(buffer, "C:\\windows\\system32");
    EXPECT_EQ(GetTempPathA(MAX_PATH, buffer), 16u);
    EXPECT_STREQ(buffer, "C:\\windows\\temp\\");
    EXPECT_TRUE(fs::is_directory(prefix() / "drive_c" / "windows" / "system32"));
    EXPECT_TRUE(fs::is_directory(prefix() / "drive_c" / "windows" / "temp"));
}

TEST_F(Hosted, DosAndPosixPathsReachTheSameFile)
{
    HFILE f = _lcreat("C:\\Scratch\\shared.txt", 0);
    ASSERT_NE(f, HFILE_ERROR);
    EXPECT_EQ(_lwrite(f, "through C:", 10), 10u);
    _lclose(f);

    fs::path host = host_ / "shared.txt";
    EXPECT_EQ(readHostFile(host), "through C:");
    EXPECT_EQ(readThroughKernel(host.string()), "through C:") << "a POSIX path";
    EXPECT_EQ(readThroughKernel(dosFromPosix(host)), "through C:") << "drive Z: is the host's root";

    OFSTRUCT info;
    EXPECT_EQ(OpenFile(host.string().c_str(), &info, OF_EXIST), TRUE);
    EXPECT_STREQ(info.szPathName, "C:\\Scratch\\shared.txt") << "paths on drive C: are reported on C:";

    char full[MAX_PATH];
    EXPECT_GT(GetFullPathNameA("/usr/lib/../bin/./env", MAX_PATH, full, nullptr), 0u);
    EXPECT_STREQ(full, "Z:\\usr\\bin\\env");
}

TEST_F(Hosted, NamesMatchHostFilesIgnoringCase)
{
    fs::create_directories(host_ / "MixedCase");
    writeHostFile(host_ / "MixedCase" / "Inner.TXT", "inner");

    EXPECT_EQ(readThroughKernel("c:\\scratch\\MIXEDCASE\\inner.txt"), "inner");
    EXPECT_EQ(readThroughKernel((host_ / "mixedcase" / "INNER.txt").string()), "inner") << "POSIX paths too";

    OFSTRUCT info;
    EXPECT_EQ(OpenFile("C:\\SCRATCH\\mixedcase\\inner.txt", &info, OF_EXIST), TRUE);
    EXPECT_STREQ(info.szPathName, "C:\\Scratch\\MixedCase\\Inner.TXT") << "the host's own spelling";

    // Creating under another case rewrites the existing file.
    HFILE f = _lcreat("C:\\scratch\\mixedcase\\INNER.TXT", 0);
    ASSERT_NE(f, HFILE_ERROR);
    EXPECT_EQ(_lwrite(f, "new", 3), 3u);
    _lclose(f);
    EXPECT_EQ(readHostFile(host_ / "MixedCase" / "Inner.TXT"), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(host_ / "MixedCase"), fs::directory_iterator()), 1);

    // A new name keeps the case it was given.
    f = _lcreat("C:\\SCRATCH\\mixedcase\\NewFile.Dat", 0);
    ASSERT_NE(f, HFILE_ERROR);
    _lclose(f);
    EXPECT_TRUE(fs::exists(host_ / "MixedCase" / "NewFile.Dat"));

    // Exact case wins; among other spellings the alphabetically first.
    writeHostFile(host_ / "dup", "lower");
    writeHostFile(host_ / "DUP", "upper");
    EXPECT_EQ(readThroughKernel("C:\\Scratch\\dup"), "lower");
    EXPECT_EQ(readThroughKernel("C:\\Scratch\\Dup"), "upper");
}

TEST_F(Hosted, PlainFileAttributesAreNormal)
{
    writeHostFile(host_ / "plain", "x");
    EXPECT_EQ(GetFileAttributesA("C:\\Scratch\\plain"), (DWORD)FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(GetFileAttributesA("C:\\Scratch"), (DWORD)FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributesA("Z:\\"), (DWORD)FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(Hosted, CurrentDirectoryOnDriveC)
{
    fs::path saved = fs::current_path();
    ASSERT_TRUE(SetCurrentDirectoryA("c:\\WINDOWS"));
    char current[MAX_PATH];
    EXPECT_EQ(GetCurrentDirectoryA(MAX_PATH, current), 10u);
    EXPECT_STREQ(current, "C:\\windows");
    EXPECT_EQ(fs::current_path(), prefix() / "drive_c" / "windows") << "the host's own current directory";
    EXPECT_EQ(GetFileAttributesA("System32"), (DWORD)FILE_ATTRIBUTE_DIRECTORY);
    char full[MAX_PATH];
    EXPECT_EQ(GetFullPathNameA("\\x", MAX_PATH, full, nullptr), 4u);
    EXPECT_STREQ(full, "C:\\x") << "the root of the current drive";
    EXPECT_EQ(GetFullPathNameA("C:temp", MAX_PATH, full, nullptr), 15u);
    EXPECT_STREQ(full, "C:\\windows\\temp") << "relative to the current directory of C:";
    EXPECT_EQ(GetFullPathNameA("Z:usr", MAX_PATH, full, nullptr), 6u);
    EXPECT_STREQ(full, "Z:\\usr") << "relative to the root of another drive";
    fs::current_path(saved);
}

TEST_F(Hosted, PathsWindowsRefuses)
{
    struct Case {
        const char *path;
        DWORD error;
    } cases[] = {
        {"Q:\\file.txt", ERROR_PATH_NOT_FOUND},         // a drive that is not mapped
        {"\\\\server\\share\\x", ERROR_BAD_NETPATH},   // no network
        {"C:\\Scratch\\a*b", ERROR_INVALID_NAME},      // a wildcard
        {"C:\\Scratch\\a:b", ERROR_INVALID_NAME},
        {"", ERROR_PATH_NOT_FOUND},
    };
    for (const Case &c : cases) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(_lopen(c.path, OF_READ), HFILE_ERROR) << c.path;
        EXPECT_EQ(GetLastError(), c.error) << c.path;
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GetFileAttributesA(c.path), INVALID_FILE_ATTRIBUTES) << c.path;
        EXPECT_EQ(GetLastError(), c.error) << c.path;
    }
    SetLastError(0xdeadbeef);
    EXPECT_EQ(_lopen(nullptr, OF_READ), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_PATH_NOT_FOUND);
}

TEST_F(Hosted, OpenFileSearchesTheSystemFolders)
{
    writeHostFile(prefix() / "drive_c" / "windows" / "system32" / "vekfound.ini", "in system32");
    OFSTRUCT info;
    HFILE f = OpenFile("VEKFOUND.INI", &info, OF_READ);
    ASSERT_NE(f, HFILE_ERROR);
    _lclose(f);
    EXPECT_STREQ(info.szPathName, "C:\\windows\\system32\\vekfound.ini");
    fs::remove(prefix() / "drive_c" / "windows" / "system32" / "vekfound.ini");

    SetLastError(0xdeadbeef);
    EXPECT_EQ(OpenFile("vekfound.ini", &info, OF_EXIST), HFILE_ERROR);
    EXPECT_EQ(info.nErrCode, ERROR_FILE_NOT_FOUND);
}

TEST_F(Hosted, OpenFilePathsStopAt127Characters)
{
    std::string folder = "C:\\Scratch\\" + std::string(120, 'f');
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::string file = folder + "\\long.txt";
    HFILE f = _lcreat(file.c_str(), 0);
    ASSERT_NE(f, HFILE_ERROR) << "the _l calls take any length";
    _lclose(f);

    OFSTRUCT info;
    std::memset(&info, 0, sizeof info);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(OpenFile(file.c_str(), &info, OF_EXIST), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILENAME_EXCED_RANGE);
    EXPECT_EQ(info.nErrCode, ERROR_FILENAME_EXCED_RANGE);
    EXPECT_EQ(info.szPathName[0], '\0') << "szPathName holds 128 bytes";

    SetLastError(0xdeadbeef);
    EXPECT_EQ(OpenFile(nullptr, &info, OF_EXIST), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(OpenFile(file.c_str(), nullptr, OF_EXIST), HFILE_ERROR);
}

TEST(HostedModules, LibrariesAnswerToTheirWindowsNames)
{
    HMODULE library = GetModuleHandleA("vekkit32");
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(GetModuleHandleA("VEKKIT32.DLL"), library);
    EXPECT_EQ(GetModuleHandleA("libvekkit.so"), library);
    EXPECT_EQ(address(GetProcAddress(library, "vekCreateSpriteData")), address(&vekCreateSpriteData));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetProcAddress(library, "GlobalAlloc"), nullptr) << "an export of the platform, not of the library";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_PROC_NOT_FOUND);

    HMODULE platform = GetModuleHandleA("vekhost");
    ASSERT_NE(platform, nullptr);
    EXPECT_NE(platform, library);
    for (const char *name : {"kernel32", "USER32.DLL", "gdi32", "advapi32.dll"})
        EXPECT_EQ(GetModuleHandleA(name), platform) << name;
    EXPECT_EQ(address(GetProcAddress(platform, "GlobalAlloc")), address(&GlobalAlloc));

    char name[MAX_PATH];
    DWORD length = GetModuleFileNameA(platform, name, MAX_PATH);
    ASSERT_GT(length, 0u);
    std::string file = name;
    EXPECT_EQ(file.compare(0, 3, "Z:\\"), 0) << file;
    EXPECT_NE(file.find("\\libvekhost.so"), std::string::npos) << file;

    EXPECT_EQ(GetModuleFileNameA(nullptr, name, MAX_PATH), dosFromPosix(fs::canonical("/proc/self/exe")).size());
    EXPECT_EQ(name, dosFromPosix(fs::canonical("/proc/self/exe")));
}

TEST(HostedModules, MadeUpHandlesFail)
{
    int local = 0;
    auto bogus = reinterpret_cast<HMODULE>(&local);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetProcAddress(bogus, "lstrlenA"), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_MOD_NOT_FOUND);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetProcAddress(GetModuleHandleA("vekhost"), reinterpret_cast<LPCSTR>(1)), nullptr) << "an ordinal";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_PROC_NOT_FOUND);
}

TEST(HostedStrings, AnsiCodePageIsUtf8)
{
    WCHAR wide[4];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xC3\xA9", 2, wide, 4), 1);
    EXPECT_EQ(wide[0], 0x00E9);
}

TEST(HostedStrings, InvalidUtf8BecomesOneReplacementPerMaximalPart)
{
    struct Case {
        const char *bytes;
        std::u16string expected;
    } cases[] = {
        {"\xE2\x82" "A", u"\uFFFDA"},          // a cut-off three-byte sequence
        {"\xC0\xAF", u"\uFFFD\uFFFD"},         // an overlong form: two bad bytes
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
        {"\xF0\x9F\x98", u"\uFFFD"},           // a cut-off four-byte sequence
        {"\x80x", u"\uFFFDx"},                 // a lone continuation byte
    };
    for (const Case &c : cases) {
        WCHAR wide[8];
        int n = MultiByteToWideChar(CP_UTF8, 0, c.bytes, (int)std::strlen(c.bytes), wide, 8);
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t *>(wide), n > 0 ? (size_t)n : 0), c.expected)
            << "bytes " << c.bytes;
    }
}

TEST(HostedStrings, WsprintfSpecialCases)
{
    char buffer[64];
    EXPECT_EQ(wsprintfA(buffer, "[%s]", static_cast<const char *>(nullptr)), 8);
    EXPECT_STREQ(buffer, "[(null)]");
    EXPECT_EQ(wsprintfA(buffer, "%#x", 0), 3);
    EXPECT_STREQ(buffer, "0x0") << "the prefix even for zero";
    const WCHAR wide[] = {'a', 0x00E9, 0xD83D, 0xDE00, 0};
    EXPECT_EQ(wsprintfA(buffer, "%S|%ls", wide, wide), 15);
    EXPECT_STREQ(buffer, "a\xC3\xA9\xF0\x9F\x98\x80|a\xC3\xA9\xF0\x9F\x98\x80") << "wide strings in UTF-8";
    EXPECT_EQ(wsprintfA(buffer, "%.2S", wide), 1) << "a character is not cut";
    EXPECT_STREQ(buffer, "a");
    EXPECT_EQ(wsprintfA(buffer, "%q%d", 5), 2) << "an unknown type prints itself and takes no argument";
    EXPECT_STREQ(buffer, "q5");
}

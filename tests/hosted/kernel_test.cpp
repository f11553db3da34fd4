// The hosted kernel's own choices: drive C: in the prefix, POSIX paths and
// drive Z:, names matched to host files ignoring case, module names of host
// libraries, UTF-8 as the ANSI code page.
#include <vekkit.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

fs::path prefix() { return fs::canonical(std::getenv("VEKHOST_PREFIX")); }

std::string dosFromPosix(const fs::path &path)
{
    std::string dos = "Z:" + path.string();
    for (char &c : dos) c = c == '/' ? '\\' : c;
    return dos;
}
void writeHost(const fs::path &path, const std::string &text) { std::ofstream(path, std::ios::binary) << text; }
std::string readHost(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
std::string readKernel(const std::string &path)
{
    HFILE f = _lopen(path.c_str(), OF_READ);
    if (f == HFILE_ERROR) return "<" + std::to_string(GetLastError()) + ">";
    char buffer[256];
    const UINT n = _lread(f, buffer, sizeof buffer);
    _lclose(f);
    return std::string(buffer, n);
}
template <typename F>
void (*address(F function))(void)
{
    return reinterpret_cast<void (*)(void)>(function);
}

}  // namespace

TEST(HostedKernel, DriveCDriveZAndHostNames)
{
    char buffer[MAX_PATH];
    EXPECT_EQ(GetWindowsDirectoryA(buffer, MAX_PATH), 10u);
    EXPECT_STREQ(buffer, "C:\\windows");
    EXPECT_EQ(GetTempPathA(MAX_PATH, buffer), 16u);
    EXPECT_STREQ(buffer, "C:\\windows\\temp\\");
    EXPECT_TRUE(fs::is_directory(prefix() / "drive_c" / "windows" / "temp"));
    const fs::path host = prefix() / "drive_c" / "Scratch";
    fs::remove_all(host);
    fs::create_directories(host / "MixedCase");

    // One file through C:, a POSIX path and drive Z:, the host's root.
    HFILE f = _lcreat("C:\\Scratch\\shared.txt", 0);
    _lwrite(f, "through C:", 10);
    _lclose(f);
    EXPECT_EQ(readHost(host / "shared.txt"), "through C:");
    EXPECT_EQ(readKernel((host / "shared.txt").string()), "through C:");
    EXPECT_EQ(readKernel(dosFromPosix(host / "shared.txt")), "through C:");
    OFSTRUCT info;
    EXPECT_EQ(OpenFile((host / "shared.txt").string().c_str(), &info, OF_EXIST), TRUE);
    EXPECT_STREQ(info.szPathName, "C:\\Scratch\\shared.txt") << "paths on drive C: are reported on C:";
    EXPECT_GT(GetFullPathNameA("/usr/lib/../bin/./env", MAX_PATH, buffer, nullptr), 0u);
    EXPECT_STREQ(buffer, "Z:\\usr\\bin\\env");

    // Names match host files ignoring case; exact case wins, among other
    // spellings the alphabetically first; new names keep their case.
    writeHost(host / "MixedCase" / "Inner.TXT", "inner");
    EXPECT_EQ(readKernel("c:\\scratch\\MIXEDCASE\\inner.txt"), "inner");
    EXPECT_EQ(readKernel((host / "mixedcase" / "INNER.txt").string()), "inner");
    EXPECT_EQ(OpenFile("C:\\SCRATCH\\mixedcase\\inner.txt", &info, OF_EXIST), TRUE);
    EXPECT_STREQ(info.szPathName, "C:\\Scratch\\MixedCase\\Inner.TXT") << "the host's own spelling";
    f = _lcreat("C:\\scratch\\mixedcase\\INNER.TXT", 0);
    _lwrite(f, "new", 3);
    _lclose(f);
    EXPECT_EQ(readHost(host / "MixedCase" / "Inner.TXT"), "new") << "created under another case: the same file";
    _lclose(_lcreat("C:\\SCRATCH\\mixedcase\\NewFile.Dat", 0));
    EXPECT_TRUE(fs::exists(host / "MixedCase" / "NewFile.Dat"));
    writeHost(host / "dup", "lower");
    writeHost(host / "DUP", "upper");
    EXPECT_EQ(readKernel("C:\\Scratch\\Dup"), "upper");

    // The current directory is the host's; relative names follow drives.
    const fs::path saved = fs::current_path();
    ASSERT_TRUE(SetCurrentDirectoryA("c:\\WINDOWS"));
    EXPECT_EQ(fs::current_path(), prefix() / "drive_c" / "windows");
    const std::pair<const char *, const char *> relative[] = {{"\\x", "C:\\x"}, {"C:temp", "C:\\windows\\temp"}};
    for (const auto &[name, full] : relative) {
        EXPECT_EQ(GetFullPathNameA(name, MAX_PATH, buffer, nullptr), std::strlen(full));
        EXPECT_STREQ(buffer, full);
    }
    fs::current_path(saved);

    // Names Windows refuses, and OpenFile's search and 127-character limit.
    const std::pair<const char *, DWORD> refused[] = {{"Q:\\file.txt", ERROR_PATH_NOT_FOUND},
                                                      {"\\\\server\\share\\x", ERROR_BAD_NETPATH},
                                                      {"C:\\Scratch\\a*b", ERROR_INVALID_NAME},
                                                      {"", ERROR_PATH_NOT_FOUND}};
    for (const auto &[name, error] : refused) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GetFileAttributesA(name), INVALID_FILE_ATTRIBUTES) << name;
        EXPECT_EQ(GetLastError(), error) << name;
        EXPECT_EQ(readKernel(name), "<" + std::to_string(error) + ">") << name;
    }
    writeHost(prefix() / "drive_c" / "windows" / "system32" / "vekfound.ini", "found");
    EXPECT_NE(OpenFile("VEKFOUND.INI", &info, OF_EXIST), HFILE_ERROR);
    EXPECT_STREQ(info.szPathName, "C:\\windows\\system32\\vekfound.ini") << "the system folders are searched";
    fs::remove(prefix() / "drive_c" / "windows" / "system32" / "vekfound.ini");
}

TEST(HostedKernel, ModulesAndStrings)
{
    HMODULE library = GetModuleHandleA("vekkit32");
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(GetModuleHandleA("VEKKIT32.DLL"), library);
    EXPECT_EQ(address(GetProcAddress(library, "vekCreateSpriteData")), address(&vekCreateSpriteData));
    EXPECT_EQ(GetProcAddress(library, "GlobalAlloc"), nullptr) << "an export of the platform, not of the library";
    HMODULE platform = GetModuleHandleA("vekhost");
    for (const char *name : {"kernel32", "USER32.DLL", "advapi32.dll"}) EXPECT_EQ(GetModuleHandleA(name), platform);
    EXPECT_EQ(address(GetProcAddress(platform, "GlobalAlloc")), address(&GlobalAlloc));
    char name[MAX_PATH];
    GetModuleFileNameA(nullptr, name, MAX_PATH);
    EXPECT_EQ(name, dosFromPosix(fs::canonical("/proc/self/exe")));

    // UTF-8 is the ANSI code page.
    WCHAR wide[8];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xC3\xA9", 2, wide, 8), 1);
    EXPECT_EQ(wide[0], 0x00E9);
}

// File path helpers: directory reduction, building, stripping, opening.
#include <vekkit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

std::string validated(const char *path)
{
    char buffer[300];
    lstrcpyA(buffer, path);
    vekValidatePath(buffer);
    return buffer;
}

std::string built(HMODULE module, const char *name, WORD base)
{
    char out[256 + 64];
    std::fill(std::begin(out), std::end(out), '#');
    EXPECT_EQ(BuildFilePath(module, name, base, out), 1);
    return out;
}

// The directory of this program's file, as BuildFilePath's base 1 sees it.
std::string moduleFolder()
{
    char file[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, file, MAX_PATH);
    EXPECT_GT(length, 0u);
    std::string path(file, length);
    size_t cut = path.find_last_of("\\:");
    return cut == std::string::npos || cut == 0 ? std::string() : path.substr(0, cut);
}

}  // namespace

TEST(DirectoryReduction, EachRule)
{
    EXPECT_EQ(validated(""), "");
    EXPECT_EQ(validated("C:\\DIR\\"), "C:\\DIR") << "a trailing backslash goes";
    EXPECT_EQ(validated("C:\\DIR\\\\"), "C:\\DIR\\") << "only one";
    EXPECT_EQ(validated("C:\\DIR\\*.BMP"), "C:\\DIR") << "a five-character pattern at the end";
    EXPECT_EQ(validated("C:\\DIR\\*.*"), "C:\\DIR") << "cut at the first asterisk with its backslash";
    EXPECT_EQ(validated("C:\\DIR\\A*B"), "C:\\DIR\\A") << "cut at the asterisk";
    EXPECT_EQ(validated("C:\\DIR"), "C:\\DIR") << "no asterisk, nothing changes";
    EXPECT_EQ(validated("*.BMP"), "*.BMP") << "a bare pattern stays";
    EXPECT_EQ(validated("X*.BMP"), "") << "cut before the sixth character from the end";
    EXPECT_EQ(validated("*"), "");
    vekValidatePath(nullptr);
}

TEST(BuildFilePath, BaseDirectories)
{
    EXPECT_EQ(built(nullptr, "DATA.BIN", 0), "DATA.BIN");
    EXPECT_EQ(built(nullptr, "DATA.BIN", 8), "DATA.BIN") << "no known bit";

    std::string folder = moduleFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(built(nullptr, "DATA.BIN", 1), folder + "\\DATA.BIN");
    EXPECT_EQ(built(nullptr, "DATA.BIN", 7), folder + "\\DATA.BIN") << "bit 0 wins";

    char windows[MAX_PATH], system[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
    EXPECT_EQ(built(nullptr, "x.ini", 2), std::string(windows) + "\\x.ini");
    EXPECT_EQ(built(nullptr, "x.ini", 6), std::string(windows) + "\\x.ini") << "bit 1 before bit 2";
    EXPECT_EQ(built(nullptr, "x.dll", 4), std::string(system) + "\\x.dll");
    EXPECT_EQ(built(nullptr, "", 2), std::string(windows) + "\\");
}

TEST(StripPath, PointsAfterTheLastSeparator)
{
    const char full[] = "C:\\GAME\\APP.EXE";
    EXPECT_EQ(vekStripPath(full), full + 8);
    const char drive[] = "C:APP.EXE";
    EXPECT_EQ(vekStripPath(drive), drive + 2);
    const char bare[] = "APP.EXE";
    EXPECT_EQ(vekStripPath(bare), bare);
    const char empty[] = "";
    EXPECT_EQ(vekStripPath(empty), empty);
    const char rooted[] = "\\APP.EXE";
    EXPECT_EQ(vekStripPath(rooted), rooted) << "a separator at index 0 is not looked at";
    const char one[] = "\\";
    EXPECT_EQ(vekStripPath(one), one);
    const char trailing[] = "C:\\GAME\\";
    EXPECT_EQ(vekStripPath(trailing), trailing + 8) << "the empty name after the separator";
}

TEST(PathStrings, CheckAndInvalidate)
{
    char path[] = "C:\\X";
    EXPECT_EQ(FilePathCheckValid(path), 1);
    EXPECT_EQ(FilePathInvalidate(path), 1);
    EXPECT_EQ(path[0], 0);
    EXPECT_EQ(path[1], ':') << "only the first byte is cleared";
    EXPECT_EQ(FilePathCheckValid(path), 0);
    EXPECT_EQ(FilePathCheckValid(nullptr), 0);
}

TEST(PathFiles, CreateOpenAndTestExistence)
{
    char temp[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    std::string name = std::string(temp) + "vekkit_path_test.txt";
    DeleteFileA(name.c_str());
    EXPECT_EQ(vekFileExists(name.c_str()), 0);

    HFILE f = FilePathOpen(name.c_str(), OF_READ, TRUE);
    ASSERT_NE(f, HFILE_ERROR);
    EXPECT_EQ(_lwrite(f, "abc", 3), 3u);
    _lclose(f);
    EXPECT_EQ(vekFileExists(name.c_str()), 1);

    f = FilePathOpen(name.c_str(), OF_READ, FALSE);
    ASSERT_NE(f, HFILE_ERROR);
    char buffer[8] = {};
    EXPECT_EQ(_lread(f, buffer, sizeof buffer), 3u);
    EXPECT_STREQ(buffer, "abc");
    _lclose(f);

    f = FilePathOpen(name.c_str(), OF_READ, TRUE);
    ASSERT_NE(f, HFILE_ERROR) << "create truncates an existing file";
    EXPECT_EQ(_llseek(f, 0, FILE_END), 0);
    _lclose(f);

    EXPECT_TRUE(DeleteFileA(name.c_str()));
    EXPECT_EQ(FilePathOpen(name.c_str(), OF_READ, FALSE), HFILE_ERROR);
    EXPECT_EQ(vekFileExists(""), 0);
}

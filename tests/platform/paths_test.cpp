// Full path names, the current directory and the system folders.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

bool isFolder(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

TEST(FullPathName, ResolvesDotsAndSeparatorsByName)
{
    struct Case {
        const char *path, *full, *filePart;
    } cases[] = {
        {"C:\\Games\\Data\\..\\Level.dat", "C:\\Games\\Level.dat", "Level.dat"},
        {"C:/Games/./Data/", "C:\\Games\\Data\\", nullptr},
        {"c:\\a\\..\\..\\b", "c:\\b", "b"},
        {"C:\\", "C:\\", nullptr},
        {"C:\\Games\\Data\\.", "C:\\Games\\Data", "Data"},
    };
    for (const Case &c : cases) {
        char buffer[MAX_PATH];
        LPSTR filePart = buffer;
        DWORD length = GetFullPathNameA(c.path, MAX_PATH, buffer, &filePart);
        EXPECT_EQ(length, std::strlen(c.full)) << c.path;
        // The drive letter keeps the case it was given in on some systems.
        EXPECT_EQ(lstrcmpiA(buffer, c.full), 0) << c.path << " gave " << buffer;
        if (c.filePart) {
            ASSERT_NE(filePart, nullptr) << c.path;
            EXPECT_STREQ(filePart, c.filePart) << c.path;
            EXPECT_EQ(filePart, buffer + length - std::strlen(c.filePart));
        } else {
            EXPECT_EQ(filePart, nullptr) << c.path;
        }
    }
}

TEST(FullPathName, RelativePathsStartAtTheCurrentDirectory)
{
    char current[MAX_PATH], full[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, current);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, (DWORD)MAX_PATH);
    std::string expected = current;
    if (expected.back() != '\\') expected += '\\';
    expected += "name.txt";
    EXPECT_EQ(GetFullPathNameA("name.txt", MAX_PATH, full, nullptr), expected.size());
    EXPECT_STREQ(full, expected.c_str());
    EXPECT_EQ(GetFullPathNameA(".\\x\\..\\name.txt", MAX_PATH, full, nullptr), expected.size());
    EXPECT_STREQ(full, expected.c_str());

    // A leading backslash is the root of the current drive.
    EXPECT_EQ(GetFullPathNameA("\\top.txt", MAX_PATH, full, nullptr), 10u);
    EXPECT_EQ(full[0], current[0]);
    EXPECT_STREQ(full + 1, ":\\top.txt");
}

TEST(FullPathName, SmallBufferGetsTheSizeNeeded)
{
    const char *path = "C:\\Games\\Level.dat";
    DWORD length = (DWORD)std::strlen(path);
    char buffer[32];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetFullPathNameA(path, length, buffer, nullptr), length + 1) << "no room for the terminator";
    EXPECT_EQ(buffer[0], 'x') << "the buffer is left alone";
    EXPECT_EQ(GetFullPathNameA(path, 0, nullptr, nullptr), length + 1);
    EXPECT_EQ(GetFullPathNameA(path, length + 1, buffer, nullptr), length);
}

TEST(SystemFolders, WindowsAndSystemDirectoriesExist)
{
    char windows[MAX_PATH], system[MAX_PATH];
    SetLastError(0xdeadbeef);
    UINT windowsLength = GetWindowsDirectoryA(windows, MAX_PATH);
    UINT systemLength = GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(GetLastError(), 0xdeadbeefu) << "success leaves the last error alone";
    ASSERT_GT(windowsLength, 3u);
    ASSERT_GT(systemLength, windowsLength);
    EXPECT_EQ(windowsLength, std::strlen(windows));
    EXPECT_EQ(windows[1], ':');
    EXPECT_EQ(windows[2], '\\');
    EXPECT_EQ(system[windowsLength], '\\') << "the System directory lies in the Windows directory";
    system[windowsLength] = '\0';
    EXPECT_EQ(lstrcmpiA(system, windows), 0);
    system[windowsLength] = '\\';
    EXPECT_TRUE(isFolder(windows)) << windows;
    EXPECT_TRUE(isFolder(system)) << system;
}

TEST(SystemFolders, BufferRules)
{
    char windows[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
    char small[MAX_PATH];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(GetWindowsDirectoryA(small, length), length + 1) << "the size needed, terminator included";
    EXPECT_EQ(small[0], 'x');
    EXPECT_EQ(GetWindowsDirectoryA(small, length + 1), length);
    EXPECT_STREQ(small, windows);

    char system[MAX_PATH];
    length = GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(GetSystemDirectoryA(nullptr, 0), length + 1);
    EXPECT_EQ(GetSystemDirectoryA(small, 1), length + 1);
}

TEST(SystemFolders, TempPathEndsWithASeparatorAndExists)
{
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, temp);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, (DWORD)MAX_PATH);
    EXPECT_EQ(temp[length - 1], '\\');
    EXPECT_TRUE(isFolder(temp)) << temp;
    EXPECT_EQ(GetTempPathA(1, temp), length + 1);
}

TEST(CurrentDirectory, SmallBufferGetsTheSizeNeeded)
{
    char current[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, current);
    ASSERT_GT(length, 0u);
    char small[4] = {'x', 'x', 'x', 'x'};
    if (length >= sizeof small) {
        EXPECT_EQ(GetCurrentDirectoryA(sizeof small, small), length + 1);
        EXPECT_EQ(small[0], 'x');
    }
    EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), length + 1);
}

// Files through the _lopen family and OpenFile, files and folders by name.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Each test works in a folder of the temporary directory; files left by an
// earlier run are deleted before use.
class Files : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        DWORD length = GetTempPathA(MAX_PATH, temp);
        ASSERT_GT(length, 0u);
        ASSERT_LT(length, (DWORD)MAX_PATH);
        folder_ = std::string(temp) + "VekFiles";
        CreateDirectoryA(folder_.c_str(), nullptr);
        DWORD attributes = GetFileAttributesA(folder_.c_str());
        ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
        ASSERT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    std::string path(const std::string &name) const { return folder_ + "\\" + name; }

    std::string fresh(const std::string &name) const
    {
        std::string p = path(name);
        DeleteFileA(p.c_str());
        return p;
    }

    // Writes bytes to a new file; returns its path.
    std::string write(const std::string &name, const std::vector<BYTE> &bytes) const
    {
        std::string p = fresh(name);
        HFILE f = _lcreat(p.c_str(), 0);
        EXPECT_NE(f, HFILE_ERROR) << p;
        if (!bytes.empty()) {
            EXPECT_EQ(_lwrite(f, reinterpret_cast<LPCSTR>(bytes.data()), (UINT)bytes.size()), bytes.size());
        }
        EXPECT_EQ(_lclose(f), 0);
        return p;
    }

    std::string folder_;
};

std::vector<BYTE> counting(size_t n)
{
    std::vector<BYTE> bytes(n);
    for (size_t i = 0; i < n; i++) bytes[i] = static_cast<BYTE>(i * 7 + 1);
    return bytes;
}

std::vector<BYTE> readAll(const std::string &path)
{
    std::vector<BYTE> bytes;
    HFILE f = _lopen(path.c_str(), OF_READ);
    EXPECT_NE(f, HFILE_ERROR) << path;
    if (f == HFILE_ERROR) return bytes;
    LONG size = _llseek(f, 0, FILE_END);
    _llseek(f, 0, FILE_BEGIN);
    bytes.resize(static_cast<size_t>(size));
    if (size) {
        EXPECT_EQ(_lread(f, bytes.data(), (UINT)size), (UINT)size);
    }
    _lclose(f);
    return bytes;
}

std::string upper(std::string s)
{
    for (char &c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string withSlashes(std::string s)
{
    for (char &c : s)
        if (c == '\\') c = '/';
    return s;
}

}  // namespace

TEST_F(Files, WrittenFileReadsBackUnderEverySpelling)
{
    std::vector<BYTE> bytes = counting(300);
    std::string written = write("Data.Bin", bytes);

    for (const std::string &spelling : {written, upper(written), withSlashes(written), path("data.bin")}) {
        HFILE f = _lopen(spelling.c_str(), OF_READ);
        ASSERT_NE(f, HFILE_ERROR) << spelling;
        std::vector<BYTE> back(400, 0xEE);
        EXPECT_EQ(_lread(f, back.data(), 400), 300u) << "a short read stops at the end: " << spelling;
        back.resize(300);
        EXPECT_EQ(back, bytes) << spelling;
        EXPECT_EQ(_lread(f, back.data(), 10), 0u) << "at the end a read gives 0";
        EXPECT_EQ(_lclose(f), 0);
    }
}

TEST_F(Files, LargeBlocksRoundTrip)
{
    std::vector<BYTE> bytes = counting(200000);
    std::string p = write("large.bin", bytes);
    EXPECT_EQ(readAll(p), bytes);
}

TEST_F(Files, SeeksFromEachOrigin)
{
    std::string p = write("seek.bin", counting(100));
    HFILE f = _lopen(p.c_str(), OF_READWRITE);
    ASSERT_NE(f, HFILE_ERROR);
    BYTE b = 0;
    EXPECT_EQ(_llseek(f, 10, FILE_BEGIN), 10);
    EXPECT_EQ(_lread(f, &b, 1), 1u);
    EXPECT_EQ(b, counting(100)[10]);
    EXPECT_EQ(_llseek(f, -5, FILE_CURRENT), 6);
    EXPECT_EQ(_llseek(f, -1, FILE_END), 99);
    EXPECT_EQ(_lread(f, &b, 1), 1u);
    EXPECT_EQ(b, counting(100)[99]);
    EXPECT_EQ(_llseek(f, 0, FILE_CURRENT), 100);

    // Past the end is allowed; a write there fills the gap with zeros.
    EXPECT_EQ(_llseek(f, 150, FILE_BEGIN), 150);
    b = 0xAB;
    EXPECT_EQ(_lwrite(f, reinterpret_cast<LPCSTR>(&b), 1), 1u);
    EXPECT_EQ(_llseek(f, 0, FILE_END), 151);
    BYTE gap[50];
    EXPECT_EQ(_llseek(f, 100, FILE_BEGIN), 100);
    EXPECT_EQ(_lread(f, gap, 50), 50u);
    for (BYTE g : gap) ASSERT_EQ(g, 0);

    // Before the start fails and leaves the position alone.
    EXPECT_EQ(_llseek(f, 20, FILE_BEGIN), 20);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(_llseek(f, -21, FILE_CURRENT), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_NEGATIVE_SEEK);
    EXPECT_EQ(_llseek(f, -1, FILE_BEGIN), HFILE_ERROR);
    EXPECT_EQ(_llseek(f, 0, FILE_CURRENT), 20);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(_llseek(f, 0, 7), HFILE_ERROR) << "unknown origin";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
    _lclose(f);
}

TEST_F(Files, WritingNothingTruncatesAtThePosition)
{
    std::string p = write("truncate.bin", counting(100));
    HFILE f = _lopen(p.c_str(), OF_WRITE);
    ASSERT_NE(f, HFILE_ERROR);
    EXPECT_EQ(_llseek(f, 40, FILE_BEGIN), 40);
    EXPECT_EQ(_lwrite(f, "", 0), 0u);
    EXPECT_EQ(_llseek(f, 0, FILE_END), 40);
    _lclose(f);
    std::vector<BYTE> expected = counting(100);
    expected.resize(40);
    EXPECT_EQ(readAll(p), expected);
}

TEST_F(Files, CreateTruncatesAnExistingFile)
{
    std::string p = fresh("create.bin");
    SetLastError(0xdeadbeef);
    HFILE f = _lcreat(p.c_str(), 0);
    ASSERT_NE(f, HFILE_ERROR);
    EXPECT_EQ(GetLastError(), 0u) << "a new file";
    EXPECT_EQ(_lwrite(f, "hello", 5), 5u);
    _lclose(f);

    f = _lcreat(p.c_str(), 0);
    ASSERT_NE(f, HFILE_ERROR);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_ALREADY_EXISTS) << "an existing file";
    EXPECT_EQ(_llseek(f, 0, FILE_END), 0) << "truncated";
    EXPECT_EQ(_lwrite(f, "xy", 2), 2u);
    EXPECT_EQ(_llseek(f, 0, FILE_BEGIN), 0);
    char back[4] = {};
    EXPECT_EQ(_lread(f, back, 4), 2u) << "a created file is open for reading too";
    EXPECT_STREQ(back, "xy");
    _lclose(f);
}

TEST_F(Files, AccessModesAreEnforced)
{
    std::string p = write("access.bin", counting(10));
    char buffer[4];

    HFILE f = _lopen(p.c_str(), OF_READ | OF_SHARE_DENY_WRITE);
    ASSERT_NE(f, HFILE_ERROR) << "share flags are accepted";
    SetLastError(0xdeadbeef);
    EXPECT_EQ(_lwrite(f, "ab", 2), (UINT)HFILE_ERROR);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_ACCESS_DENIED);
    _lclose(f);

    f = _lopen(p.c_str(), OF_WRITE | OF_SHARE_DENY_NONE);
    ASSERT_NE(f, HFILE_ERROR);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(_lread(f, buffer, 4), (UINT)HFILE_ERROR);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_ACCESS_DENIED);
    EXPECT_EQ(_lwrite(f, "ab", 2), 2u);
    _lclose(f);

    f = _lopen(p.c_str(), OF_READWRITE | OF_SHARE_EXCLUSIVE);
    ASSERT_NE(f, HFILE_ERROR);
    EXPECT_EQ(_lread(f, buffer, 4), 4u);
    EXPECT_EQ(std::memcmp(buffer, "ab", 2), 0) << "the write landed";
    EXPECT_EQ(_lwrite(f, "cd", 2), 2u);
    _lclose(f);
}

TEST_F(Files, BadHandlesFail)
{
    char buffer[4];
    for (HFILE bad : {HFILE_ERROR, 0, 12345}) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(_lread(bad, buffer, 4), (UINT)HFILE_ERROR) << bad;
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE) << bad;
        EXPECT_EQ(_lwrite(bad, "ab", 2), (UINT)HFILE_ERROR) << bad;
        EXPECT_EQ(_llseek(bad, 0, FILE_BEGIN), HFILE_ERROR) << bad;
    }
    std::string p = write("closed.bin", counting(4));
    HFILE f = _lopen(p.c_str(), OF_READ);
    ASSERT_NE(f, HFILE_ERROR);
    EXPECT_EQ(_lclose(f), 0);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(_lclose(f), HFILE_ERROR) << "closed twice";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    EXPECT_EQ(_lread(f, buffer, 4), (UINT)HFILE_ERROR) << "a closed handle";
}

TEST_F(Files, MissingFilesAndFoldersFail)
{
    std::string missing = fresh("missing.bin");
    SetLastError(0xdeadbeef);
    EXPECT_EQ(_lopen(missing.c_str(), OF_READ), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_NOT_FOUND);

    std::string inMissingFolder = path("NoSuchFolder\\file.bin");
    SetLastError(0xdeadbeef);
    EXPECT_EQ(_lopen(inMissingFolder.c_str(), OF_READ), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_PATH_NOT_FOUND);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(_lcreat(inMissingFolder.c_str(), 0), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_PATH_NOT_FOUND);

    SetLastError(0xdeadbeef);
    EXPECT_EQ(_lopen(folder_.c_str(), OF_READ), HFILE_ERROR) << "a folder is not a file";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_ACCESS_DENIED);
    EXPECT_EQ(_lcreat(folder_.c_str(), 0), HFILE_ERROR);
}

TEST_F(Files, OpenFileTestsExistenceAndFillsThePath)
{
    std::string p = write("Exists.Bin", counting(3));
    OFSTRUCT info;
    std::memset(&info, 0x55, sizeof info);
    std::string lower = path("exists.bin");
    EXPECT_NE(OpenFile(lower.c_str(), &info, OF_EXIST), HFILE_ERROR);
    EXPECT_EQ(info.cBytes, sizeof(OFSTRUCT));
    EXPECT_EQ(info.nErrCode, 0);
    EXPECT_EQ(lstrcmpiA(info.szPathName, p.c_str()), 0) << info.szPathName;

    std::string missing = fresh("absent.bin");
    SetLastError(0xdeadbeef);
    EXPECT_EQ(OpenFile(missing.c_str(), &info, OF_EXIST), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(info.nErrCode, ERROR_FILE_NOT_FOUND);
}

TEST_F(Files, OpenFileCreatesReadsAndDeletes)
{
    std::string p = fresh("openfile.bin");
    OFSTRUCT info;
    HFILE f = OpenFile(p.c_str(), &info, OF_CREATE | OF_WRITE);
    ASSERT_NE(f, HFILE_ERROR);
    EXPECT_EQ(lstrcmpiA(info.szPathName, p.c_str()), 0) << info.szPathName;
    EXPECT_EQ(_lwrite(f, "abc", 3), 3u);
    _lclose(f);

    f = OpenFile(p.c_str(), &info, OF_READ);
    ASSERT_NE(f, HFILE_ERROR);
    char back[4] = {};
    EXPECT_EQ(_lread(f, back, 3), 3u);
    EXPECT_STREQ(back, "abc");
    _lclose(f);

    EXPECT_NE(OpenFile(p.c_str(), &info, OF_DELETE), HFILE_ERROR);
    EXPECT_EQ(OpenFile(p.c_str(), &info, OF_EXIST), HFILE_ERROR) << "deleted";
    EXPECT_EQ(OpenFile(p.c_str(), &info, OF_DELETE), HFILE_ERROR) << "nothing left to delete";
    EXPECT_EQ(info.nErrCode, ERROR_FILE_NOT_FOUND);
}

TEST_F(Files, DeleteFileAndAttributes)
{
    std::string p = write("delete.bin", counting(1));
    DWORD attributes = GetFileAttributesA(p.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(DeleteFileA(p.c_str()));

    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetFileAttributesA(p.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_NOT_FOUND);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(DeleteFileA(p.c_str()));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_NOT_FOUND);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(DeleteFileA(path("NoSuchFolder\\x").c_str()));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(DeleteFileA(folder_.c_str())) << "folders are not deleted as files";
    EXPECT_NE(GetFileAttributesA(folder_.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Files, CreateAndRemoveFolders)
{
    std::string sub = path("Sub");
    RemoveDirectoryA(sub.c_str());
    EXPECT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    DWORD attributes = GetFileAttributesA(path("SUB").c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);

    SetLastError(0xdeadbeef);
    EXPECT_FALSE(CreateDirectoryA(sub.c_str(), nullptr));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_ALREADY_EXISTS);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(CreateDirectoryA(path("NoSuchFolder\\Sub").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_PATH_NOT_FOUND);

    std::string inner = write("Sub\\inner.bin", counting(2));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(RemoveDirectoryA(sub.c_str()));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_DIR_NOT_EMPTY);
    EXPECT_TRUE(DeleteFileA(inner.c_str()));
    EXPECT_TRUE(RemoveDirectoryA(sub.c_str()));
    EXPECT_EQ(GetFileAttributesA(sub.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Files, RelativePathsFollowTheCurrentDirectory)
{
    char saved[MAX_PATH];
    ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, saved), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
    char current[MAX_PATH];
    EXPECT_GT(GetCurrentDirectoryA(MAX_PATH, current), 0u);
    EXPECT_EQ(lstrcmpiA(current, folder_.c_str()), 0) << current;

    std::string p = fresh("relative.bin");
    HFILE f = _lcreat("relative.bin", 0);
    ASSERT_NE(f, HFILE_ERROR);
    EXPECT_EQ(_lwrite(f, "rel", 3), 3u);
    _lclose(f);
    EXPECT_EQ(readAll(p).size(), 3u) << "written through the relative name";
    EXPECT_NE(GetFileAttributesA(".\\Missing\\..\\RELATIVE.BIN"), INVALID_FILE_ATTRIBUTES);
    std::string viaParent = "..\\VekFiles\\relative.bin";
    EXPECT_EQ(readAll(viaParent).size(), 3u);

    SetLastError(0xdeadbeef);
    EXPECT_FALSE(SetCurrentDirectoryA("NoSuchFolder"));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(SetCurrentDirectoryA(saved));
}

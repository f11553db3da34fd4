// Resolving shortcuts whose targets are paths the ANSI calls cannot take:
// deep missing paths are searched for in bounded time and found only where a
// short path names them, and a long path is never cut to fit.
#include <vekkit.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "shell/lnk_file.h"

namespace fs = std::filesystem;

namespace {

fs::path driveC()
{
    return fs::path(std::getenv("VEKHOST_PREFIX")) / "drive_c";
}

// Writes a link to target as the shell link object would, whatever the
// target's length.
void writeLink(const fs::path &file, const std::string &target)
{
    vek::host::ShellLinkData link;
    link.path = target;
    const std::vector<BYTE> bytes = vek::host::encodeShellLink(link);
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
}

std::string resolve(const char *link, HRESULT &result)
{
    char out[MAX_PATH];
    std::fill(out, out + MAX_PATH, '#');
    result = vekResolveShortcut(nullptr, link, out);
    return out;
}

class ShortcutSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, MAX_PATH);  // makes drive C:
        fs::remove_all(driveC() / "Search");
        fs::create_directories(driveC() / "Search" / "Links");
    }
    void TearDown() override { CoUninitialize(); }
};

}  // namespace

TEST_F(ShortcutSearch, DeepMissingTargetIsFoundOnlyByAShortPath)
{
    std::string deep = "C:\\Search\\Gone";
    for (int i = 0; i < 5000; ++i) deep += "\\d";
    writeLink(driveC() / "Search" / "Links" / "deep.lnk", deep + "\\t.txt");
    HRESULT result;
    EXPECT_EQ(resolve("C:\\Search\\Links\\deep.lnk", result), "");
    EXPECT_EQ(result, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));

    std::ofstream(driveC() / "Search" / "Links" / "t.txt") << "moved beside the link";
    EXPECT_EQ(resolve("C:\\Search\\Links\\deep.lnk", result), "C:\\Search\\Links\\t.txt");
    EXPECT_EQ(result, S_OK);
}

TEST_F(ShortcutSearch, TargetTooLongForTheAnsiCallsIsNotCut)
{
    // An existing file whose path has MAX_PATH characters or more.
    std::string target = "C:\\Search\\Long";
    fs::path folder = driveC() / "Search" / "Long";
    for (int i = 0; i < 5; ++i) {
        const std::string name(50, char('a' + i));
        target += "\\" + name;
        folder /= name;
    }
    fs::create_directories(folder);
    std::ofstream(folder / "t.txt") << "far";
    target += "\\t.txt";
    ASSERT_GE(target.size(), size_t(MAX_PATH));
    writeLink(driveC() / "Search" / "Links" / "long.lnk", target);
    HRESULT result;
    EXPECT_EQ(resolve("C:\\Search\\Links\\long.lnk", result), "");
    EXPECT_EQ(result, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
}

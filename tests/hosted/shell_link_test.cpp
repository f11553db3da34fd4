// The hosted shell link object: the bytes of the .lnk files it writes and
// targets that moved. Links written by other programs and damaged ones are
// replayed by the shell_link fuzz target.
#include <vekkit.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/bytes.h"

namespace fs = std::filesystem;
using support::get16;
using support::get32;

namespace {

using Bytes = std::vector<BYTE>;

fs::path links() { return fs::path(std::getenv("VEKHOST_PREFIX")) / "drive_c" / "Links"; }
Bytes readBytes(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
void writeBytes(const fs::path &path, const Bytes &bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char *>(bytes.data()),
                                                                   std::streamsize(bytes.size()));
}
void touch(const fs::path &path)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "target";
}
const BYTE kLinkClsid[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};

std::string resolve(const char *link, HRESULT *result = nullptr)
{
    char out[MAX_PATH];
    std::memset(out, '#', sizeof out);
    const HRESULT r = vekResolveShortcut(nullptr, link, out);
    if (result) *result = r;
    return out;
}

class Links : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, MAX_PATH);  // makes drive C:
        fs::remove_all(links());
        fs::create_directories(links());
    }
    void TearDown() override { CoUninitialize(); }
};

}  // namespace

TEST_F(Links, WrittenBytesFollowThePublishedFormat)
{
    touch(links() / "target.txt");
    ASSERT_EQ(vekCreateShortcut("C:\\Links\\target.txt", "C:\\Links\\a.lnk", "D\xC3\xA9j\xC3\xA0 vu"), S_OK);
    const Bytes b = readBytes(links() / "a.lnk");
    const std::string path = "C:\\Links\\target.txt";
    ASSERT_GE(b.size(), 76u);
    // Header size, LinkCLSID, HasLinkInfo | HasName | IsUnicode, the
    // target's attributes and size, SW_SHOWNORMAL.
    EXPECT_EQ(get32(b.data(), 0), 0x4Cu);
    EXPECT_TRUE(std::equal(kLinkClsid, kLinkClsid + 16, b.begin() + 4));
    EXPECT_EQ(get32(b.data(), 20), 0x86u);
    EXPECT_EQ(get32(b.data(), 24), GetFileAttributesA(path.c_str()));
    EXPECT_EQ(get32(b.data(), 52), 6u);
    EXPECT_EQ(get32(b.data(), 60), 1u);
    // LinkInfo right after the header: its size, header size, flags
    // (VolumeIDAndLocalBasePath), offsets of the volume ID, base path, no
    // network link, suffix; the volume ID's size and drive type (fixed).
    const size_t info = 76;
    const DWORD base = 0x1C + 0x11, suffix = base + DWORD(path.size()) + 1;
    const DWORD fields[] = {suffix + 1, 0x1C, 1, 0x1C, base, 0, suffix, 0x11, 3};
    for (size_t i = 0; i < std::size(fields); i++) EXPECT_EQ(get32(b.data(), info + 4 * i), fields[i]) << "field " << i;
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(&b[info + base])), path);
    EXPECT_EQ(b.at(info + suffix), 0) << "empty suffix";
    // NAME_STRING in UTF-16, then the terminal block and nothing more.
    const size_t name = info + suffix + 1;
    const WORD expected[] = {7, 'D', 0xE9, 'j', 0xE0, ' ', 'v', 'u'};
    for (size_t i = 0; i < 8; ++i) EXPECT_EQ(get16(b.data(), name + 2 * i), expected[i]) << i;
    EXPECT_EQ(get32(b.data(), name + 16), 0u);
    EXPECT_EQ(b.size(), name + 20);
    EXPECT_EQ(resolve("C:\\Links\\a.lnk"), path);

    // Other programs split the path into a base and a suffix; the two are
    // joined with one backslash.
    Bytes split(b.begin(), b.begin() + info + base);
    const char parts[] = "C:\\Links\0target.txt";
    split.insert(split.end(), parts, parts + sizeof parts);
    support::put32(split.data(), info, DWORD(split.size() - info));
    support::put32(split.data(), info + 24, base + 9);
    split.insert(split.end(), b.begin() + name, b.end());
    writeBytes(links() / "split.lnk", split);
    EXPECT_EQ(resolve("C:\\Links\\split.lnk"), path);
}

TEST_F(Links, DamagedAndMovedTargets)
{
    touch(links() / "Old" / "Deep" / "moved.txt");
    fs::create_directories(links() / "Shortcuts");
    ASSERT_EQ(vekCreateShortcut("C:\\Links\\Old\\Deep\\moved.txt", "C:\\Links\\Shortcuts\\m.lnk", "description"), S_OK);
    const Bytes good = readBytes(links() / "Shortcuts" / "m.lnk");
    // A cut link loses a part its flags promise (damaged links are replayed
    // by the shell_link fuzz target).
    writeBytes(links() / "bad.lnk", Bytes(good.begin(), good.end() - 30));
    EXPECT_EQ(resolve("C:\\Links\\bad.lnk"), "");
    // Moved up: found in a parent of its old folder; beside the link: the
    // link's folder first; resolving does not rewrite the link; gone: fails.
    fs::rename(links() / "Old" / "Deep" / "moved.txt", links() / "moved.txt");
    EXPECT_EQ(resolve("C:\\Links\\Shortcuts\\m.lnk"), "C:\\Links\\moved.txt");
    touch(links() / "Shortcuts" / "moved.txt");
    EXPECT_EQ(resolve("C:\\Links\\Shortcuts\\m.lnk"), "C:\\Links\\Shortcuts\\moved.txt");
    EXPECT_EQ(readBytes(links() / "Shortcuts" / "m.lnk"), good);
    fs::remove(links() / "Shortcuts" / "moved.txt");
    fs::remove(links() / "moved.txt");
    HRESULT result;
    EXPECT_EQ(resolve("C:\\Links\\Shortcuts\\m.lnk", &result), "");
    EXPECT_EQ(result, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
}


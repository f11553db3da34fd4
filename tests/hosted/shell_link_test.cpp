// The hosted shell link object: the bytes of the .lnk files it writes, a
// link written by hand, damaged links, targets that moved, and COM's rules.
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
void put(Bytes &b, DWORD v, int size = 4)
{
    for (int i = 0; i < size; i++) b.push_back(BYTE(v >> (8 * i)));
}
void put(Bytes &b, const std::string &s, bool zero = true)
{
    b.insert(b.end(), s.begin(), s.end());
    if (zero) b.push_back(0);
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
    // network link, suffix; the volume ID (DRIVE_FIXED, empty label).
    const size_t info = 76;
    const DWORD base = 0x1C + 0x11, suffix = base + DWORD(path.size()) + 1;
    const DWORD fields[] = {suffix + 1, 0x1C, 1, 0x1C, base, 0, suffix, 0x11, 3};
    for (size_t i = 0; i < std::size(fields); i++) EXPECT_EQ(get32(b.data(), info + 4 * i), fields[i]) << "field " << i;
    EXPECT_EQ(get32(b.data(), info + 0x1C + 12), 0x10u) << "VolumeLabelOffset";
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(&b[info + base])), path);
    EXPECT_EQ(b.at(info + suffix), 0) << "empty suffix";
    // NAME_STRING in UTF-16, then the terminal block and nothing more.
    const size_t name = info + suffix + 1;
    const WORD expected[] = {7, 'D', 0xE9, 'j', 0xE0, ' ', 'v', 'u'};
    for (size_t i = 0; i < 8; ++i) EXPECT_EQ(get16(b.data(), name + 2 * i), expected[i]) << i;
    EXPECT_EQ(get32(b.data(), name + 16), 0u);
    EXPECT_EQ(b.size(), name + 20);
    EXPECT_EQ(resolve("C:\\Links\\a.lnk"), path);
}

TEST_F(Links, HandWrittenLinkIsRead)
{
    // An ID list of one opaque item, LinkInfo with the label "DATA", base
    // "C:\Links\Hand" and suffix "made.txt", ANSI name and arguments, an
    // extra data block, the terminal block.
    touch(links() / "Hand" / "made.txt");
    Bytes b;
    put(b, 0x4C);
    b.insert(b.end(), kLinkClsid, kLinkClsid + 16);
    put(b, 0x1 | 0x2 | 0x4 | 0x20);
    b.resize(76);
    for (DWORD v : {8u, 6u}) put(b, v, 2);
    put(b, 0x12345678);
    put(b, 0, 2);
    const std::string base = "C:\\Links\\Hand", suffix = "made.txt";
    const DWORD baseAt = 0x1C + 0x15, suffixAt = baseAt + DWORD(base.size()) + 1;
    for (DWORD v : {suffixAt + DWORD(suffix.size()) + 1, 0x1Cu, 1u, 0x1Cu, baseAt, 0u, suffixAt, 0x15u, 3u, 0xABCD1234u, 0x10u})
        put(b, v);
    for (const std::string &s : {std::string("DATA"), base, suffix}) put(b, s);
    put(b, 4, 2);
    put(b, "Hand", false);
    put(b, 2, 2);
    put(b, "-x", false);
    for (DWORD v : {12u, 0xA0000007u, 0u, 0u}) put(b, v);
    writeBytes(links() / "hand.lnk", b);
    EXPECT_EQ(resolve("C:\\Links\\hand.lnk"), "C:\\Links\\Hand\\made.txt");

    IShellLinkA *link = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void **>(&link)),
              S_OK);
    IPersistFile *file = nullptr;
    ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)), S_OK);
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, "C:\\Links\\hand.lnk", -1, wide, MAX_PATH);
    ASSERT_EQ(file->Load(wide, STGM_READ), S_OK);
    char text[MAX_PATH];
    EXPECT_EQ(link->GetDescription(text, MAX_PATH), S_OK);
    EXPECT_STREQ(text, "Hand");
    EXPECT_EQ(link->GetArguments(text, MAX_PATH), S_OK);
    EXPECT_STREQ(text, "-x");
    EXPECT_EQ(link->GetDescription(text, 3), S_OK);
    EXPECT_STREQ(text, "Ha") << "cut to the buffer";

    // COM's rules: classes, interfaces, reference counts, nesting.
    IUnknown *unknown = nullptr;
    const GUID other = {0x12345678, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
    EXPECT_EQ(CoCreateInstance(other, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void **>(&unknown)),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(unknown, nullptr);
    void *none = &file;
    EXPECT_EQ(file->QueryInterface(other, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    CLSID classId;
    EXPECT_EQ(file->GetClassID(&classId), S_OK);
    EXPECT_TRUE(classId == CLSID_ShellLink);
    EXPECT_EQ(file->AddRef(), 3u);
    EXPECT_EQ(file->Release(), 2u);
    EXPECT_EQ(file->Release(), 1u);
    EXPECT_EQ(link->Release(), 0u);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE) << "nested";
    CoUninitialize();
}

TEST_F(Links, DamagedAndMovedTargets)
{
    touch(links() / "Old" / "Deep" / "moved.txt");
    fs::create_directories(links() / "Shortcuts");
    ASSERT_EQ(vekCreateShortcut("C:\\Links\\Old\\Deep\\moved.txt", "C:\\Links\\Shortcuts\\m.lnk", "description"), S_OK);
    const Bytes good = readBytes(links() / "Shortcuts" / "m.lnk");
    // Cuts before the strings end lose a part the flags promise; offsets
    // and sizes pointing outside their blocks fail, or read the same target.
    for (size_t length : {size_t{0}, size_t{40}, size_t{75}, size_t{77}, size_t{100}, good.size() - 30}) {
        writeBytes(links() / "bad.lnk", Bytes(good.begin(), good.begin() + long(length)));
        EXPECT_EQ(resolve("C:\\Links\\bad.lnk"), "") << "cut at " << length;
    }
    for (size_t at : {0, 76, 76 + 4, 76 + 16, 76 + 24})
        for (DWORD value : {0u, 3u, 0x1Bu, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
            Bytes b = good;
            support::put32(b.data(), at, value);
            writeBytes(links() / "bad.lnk", b);
            HRESULT result;
            const std::string out = resolve("C:\\Links\\bad.lnk", &result);
            EXPECT_TRUE(FAILED(result) ? out.empty() : out == "C:\\Links\\Old\\Deep\\moved.txt")
                << "field " << at << " = " << value << ": " << out;
        }
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

TEST(LinksWithoutCom, CreationNeedsCoInitialize)
{
    IUnknown *unknown = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void **>(&unknown)),
              CO_E_NOTINITIALIZED);
}

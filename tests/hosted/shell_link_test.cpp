// The hosted shell link object: the bytes of the .lnk files it writes, links
// written by hand, damaged links, and targets that moved.
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

namespace fs = std::filesystem;

namespace {

fs::path driveC()
{
    return fs::path(std::getenv("VEKHOST_PREFIX")) / "drive_c";
}

std::vector<BYTE> readBytes(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const fs::path &path, const std::vector<BYTE> &bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
}

void touch(const fs::path &path)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "target";
}

DWORD u32(const std::vector<BYTE> &b, size_t at)
{
    return DWORD(b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | DWORD(b.at(at + 3)) << 24);
}

WORD u16(const std::vector<BYTE> &b, size_t at)
{
    return WORD(b.at(at) | b.at(at + 1) << 8);
}

void put16(std::vector<BYTE> &b, WORD v)
{
    b.push_back(BYTE(v));
    b.push_back(BYTE(v >> 8));
}

void put32(std::vector<BYTE> &b, DWORD v)
{
    put16(b, WORD(v));
    put16(b, WORD(v >> 16));
}

const BYTE kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                             0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

std::string resolve(const char *link, HRESULT *result = nullptr)
{
    char out[MAX_PATH];
    std::memset(out, '#', sizeof out);
    HRESULT r = vekResolveShortcut(nullptr, link, out);
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
        fs::remove_all(driveC() / "Links");
        fs::create_directories(driveC() / "Links");
    }
    void TearDown() override { CoUninitialize(); }
};

}  // namespace

TEST_F(Links, WrittenBytesFollowThePublishedFormat)
{
    touch(driveC() / "Links" / "target.txt");
    ASSERT_EQ(vekCreateShortcut("C:\\Links\\target.txt", "C:\\Links\\a.lnk", "D\xC3\xA9j\xC3\xA0 vu"), S_OK);
    std::vector<BYTE> b = readBytes(driveC() / "Links" / "a.lnk");
    const std::string path = "C:\\Links\\target.txt";

    ASSERT_GE(b.size(), 76u);
    EXPECT_EQ(u32(b, 0), 0x4Cu) << "header size";
    EXPECT_TRUE(std::equal(kLinkClsid, kLinkClsid + 16, b.begin() + 4)) << "LinkCLSID";
    EXPECT_EQ(u32(b, 20), 0x86u) << "HasLinkInfo | HasName | IsUnicode";
    EXPECT_EQ(u32(b, 24), GetFileAttributesA(path.c_str())) << "the target's attributes";
    EXPECT_EQ(u32(b, 52), 6u) << "the target's size";
    EXPECT_EQ(u32(b, 60), 1u) << "SW_SHOWNORMAL";

    // LinkInfo right after the header (there is no LinkTargetIDList).
    const size_t info = 76;
    const DWORD baseOffset = 0x1C + 0x11;
    const DWORD suffixOffset = baseOffset + DWORD(path.size()) + 1;
    EXPECT_EQ(u32(b, info), suffixOffset + 1) << "LinkInfoSize";
    EXPECT_EQ(u32(b, info + 4), 0x1Cu) << "LinkInfoHeaderSize";
    EXPECT_EQ(u32(b, info + 8), 1u) << "VolumeIDAndLocalBasePath";
    EXPECT_EQ(u32(b, info + 12), 0x1Cu) << "VolumeIDOffset";
    EXPECT_EQ(u32(b, info + 16), baseOffset) << "LocalBasePathOffset";
    EXPECT_EQ(u32(b, info + 20), 0u) << "no network link";
    EXPECT_EQ(u32(b, info + 24), suffixOffset) << "CommonPathSuffixOffset";
    EXPECT_EQ(u32(b, info + 0x1C), 0x11u) << "VolumeIDSize";
    EXPECT_EQ(u32(b, info + 0x1C + 4), 3u) << "DRIVE_FIXED";
    EXPECT_EQ(u32(b, info + 0x1C + 12), 0x10u) << "VolumeLabelOffset";
    EXPECT_EQ(b.at(info + 0x1C + 16), 0) << "empty label";
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(&b[info + baseOffset])), path);
    EXPECT_EQ(b.at(info + suffixOffset), 0) << "empty suffix";

    // NAME_STRING in UTF-16, then the terminal block.
    size_t name = info + suffixOffset + 1;
    ASSERT_EQ(u16(b, name), 7u);
    const WORD expected[] = {'D', 0xE9, 'j', 0xE0, ' ', 'v', 'u'};
    for (size_t i = 0; i < 7; ++i) EXPECT_EQ(u16(b, name + 2 + 2 * i), expected[i]) << i;
    EXPECT_EQ(u32(b, name + 16), 0u) << "terminal block";
    EXPECT_EQ(b.size(), name + 20) << "nothing after it";

    EXPECT_EQ(resolve("C:\\Links\\a.lnk"), path);
}

TEST_F(Links, HandWrittenLinkIsRead)
{
    touch(driveC() / "Links" / "Hand" / "made.txt");
    std::vector<BYTE> b;
    put32(b, 0x4C);
    b.insert(b.end(), kLinkClsid, kLinkClsid + 16);
    put32(b, 0x1 | 0x2 | 0x4 | 0x20);  // IDList, LinkInfo, name and arguments, ANSI strings
    b.resize(76);
    // An ID list of one opaque item and its terminator.
    put16(b, 8);
    put16(b, 6);
    put32(b, 0x12345678);
    put16(b, 0);
    // LinkInfo: base "C:\Links\Hand" and suffix "made.txt", the label "DATA".
    const std::string base = "C:\\Links\\Hand", suffix = "made.txt";
    const DWORD volume = 0x1C, volumeSize = 0x10 + 5;
    const DWORD baseAt = volume + volumeSize, suffixAt = baseAt + DWORD(base.size()) + 1;
    const DWORD infoSize = suffixAt + DWORD(suffix.size()) + 1;
    put32(b, infoSize);
    put32(b, 0x1C);
    put32(b, 1);
    put32(b, volume);
    put32(b, baseAt);
    put32(b, 0);
    put32(b, suffixAt);
    put32(b, volumeSize);
    put32(b, 3);
    put32(b, 0xABCD1234);
    put32(b, 0x10);
    for (char c : std::string("DATA")) b.push_back(BYTE(c));
    b.push_back(0);
    for (char c : base) b.push_back(BYTE(c));
    b.push_back(0);
    for (char c : suffix) b.push_back(BYTE(c));
    b.push_back(0);
    ASSERT_EQ(b.size(), 76 + 10 + infoSize);
    put16(b, 4);
    for (char c : std::string("Hand")) b.push_back(BYTE(c));
    put16(b, 2);
    for (char c : std::string("-x")) b.push_back(BYTE(c));
    // One extra data block, then the terminal block.
    put32(b, 12);
    put32(b, 0xA0000007);
    put32(b, 0);
    put32(b, 0);
    writeBytes(driveC() / "Links" / "hand.lnk", b);

    EXPECT_EQ(resolve("C:\\Links\\hand.lnk"), "C:\\Links\\Hand\\made.txt");

    IShellLinkA *link = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void **>(&link)),
              S_OK);
    IPersistFile *file = nullptr;
    ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)), S_OK);
    WCHAR name[MAX_PATH];
    ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, "C:\\Links\\hand.lnk", -1, name, MAX_PATH), 0);
    ASSERT_EQ(file->Load(name, STGM_READ), S_OK);
    char text[MAX_PATH];
    EXPECT_EQ(link->GetDescription(text, MAX_PATH), S_OK);
    EXPECT_STREQ(text, "Hand");
    EXPECT_EQ(link->GetArguments(text, MAX_PATH), S_OK);
    EXPECT_STREQ(text, "-x");
    EXPECT_EQ(link->GetDescription(text, 3), S_OK);
    EXPECT_STREQ(text, "Ha") << "cut to the buffer";
    file->Release();
    link->Release();
}

TEST_F(Links, DamagedLinksFailWithoutHarm)
{
    touch(driveC() / "Links" / "t.txt");
    ASSERT_EQ(vekCreateShortcut("C:\\Links\\t.txt", "C:\\Links\\good.lnk", "description"), S_OK);
    std::vector<BYTE> good = readBytes(driveC() / "Links" / "good.lnk");
    const fs::path bad = driveC() / "Links" / "bad.lnk";

    // Every cut before the strings end loses a part the flags promise.
    for (size_t length = 0; length + 4 < good.size(); ++length) {
        writeBytes(bad, std::vector<BYTE>(good.begin(), good.begin() + std::ptrdiff_t(length)));
        HRESULT result;
        EXPECT_EQ(resolve("C:\\Links\\bad.lnk", &result), "") << "cut at " << length;
        EXPECT_TRUE(FAILED(result));
    }
    // Offsets and sizes that point outside their blocks.
    const size_t fields[] = {0, 76, 76 + 4, 76 + 16, 76 + 24};
    for (size_t at : fields) {
        for (DWORD value : {DWORD(0), DWORD(3), DWORD(0x1B), DWORD(0x7FFFFFFF), DWORD(0xFFFFFFFF)}) {
            std::vector<BYTE> b = good;
            for (int i = 0; i < 4; ++i) b[at + i] = BYTE(value >> (8 * i));
            writeBytes(bad, b);
            HRESULT result;
            std::string out = resolve("C:\\Links\\bad.lnk", &result);
            EXPECT_TRUE(FAILED(result) ? out.empty() : out == "C:\\Links\\t.txt")
                << "field " << at << " = " << value << ": " << out;
        }
    }
    // A name count beyond the file.
    std::vector<BYTE> b = good;
    size_t name = b.size() - 4 - 2 - 2 * 11;
    b[name] = 0xFF;
    b[name + 1] = 0xFF;
    writeBytes(bad, b);
    EXPECT_EQ(resolve("C:\\Links\\bad.lnk"), "");
}

TEST_F(Links, MovedTargetsAreFound)
{
    touch(driveC() / "Links" / "Old" / "Deep" / "moved.txt");
    fs::create_directories(driveC() / "Links" / "Shortcuts");
    ASSERT_EQ(vekCreateShortcut("C:\\Links\\Old\\Deep\\moved.txt", "C:\\Links\\Shortcuts\\m.lnk", "m"), S_OK);
    std::vector<BYTE> saved = readBytes(driveC() / "Links" / "Shortcuts" / "m.lnk");

    // Moved up: found in a parent of its old folder.
    fs::rename(driveC() / "Links" / "Old" / "Deep" / "moved.txt", driveC() / "Links" / "moved.txt");
    EXPECT_EQ(resolve("C:\\Links\\Shortcuts\\m.lnk"), "C:\\Links\\moved.txt");

    // Moved beside the link: the link's folder comes first.
    touch(driveC() / "Links" / "Shortcuts" / "moved.txt");
    EXPECT_EQ(resolve("C:\\Links\\Shortcuts\\m.lnk"), "C:\\Links\\Shortcuts\\moved.txt");
    EXPECT_EQ(readBytes(driveC() / "Links" / "Shortcuts" / "m.lnk"), saved) << "resolving does not rewrite the link";

    // Gone: the resolve fails and nothing is copied out.
    fs::remove(driveC() / "Links" / "Shortcuts" / "moved.txt");
    fs::remove(driveC() / "Links" / "moved.txt");
    HRESULT result;
    EXPECT_EQ(resolve("C:\\Links\\Shortcuts\\m.lnk", &result), "");
    EXPECT_EQ(result, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
}

TEST_F(Links, ObjectRulesOfCom)
{
    IUnknown *unknown = nullptr;
    const GUID other = {0x12345678, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
    EXPECT_EQ(CoCreateInstance(other, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void **>(&unknown)),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(unknown, nullptr);
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, unknown, CLSCTX_INPROC_SERVER, other, reinterpret_cast<void **>(&unknown)),
              E_NOINTERFACE);
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void **>(&unknown)),
              S_OK);
    IPersistFile *file = nullptr;
    ASSERT_EQ(unknown->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)), S_OK);
    void *none = &file;
    EXPECT_EQ(file->QueryInterface(other, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    CLSID classId;
    EXPECT_EQ(file->GetClassID(&classId), S_OK);
    EXPECT_TRUE(classId == CLSID_ShellLink);
    EXPECT_EQ(file->AddRef(), 3u);
    EXPECT_EQ(file->Release(), 2u);
    EXPECT_EQ(file->Release(), 1u);
    EXPECT_EQ(unknown->Release(), 0u);

    EXPECT_EQ(CoInitialize(nullptr), S_FALSE) << "nested";
    CoUninitialize();
}

TEST(LinksWithoutCom, CreationNeedsCoInitialize)
{
    IUnknown *unknown = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void **>(&unknown)),
              CO_E_NOTINITIALIZED);
}

// Resources of modules read from compiled resource files: attached with
// vekhostAttachResources or found beside the module's file.
#include <vekhost.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "support/bytes.h"
#include "support/res_file.h"

using support::ordinalId;
using support::Resource;
using support::stringId;

namespace {

std::vector<BYTE> bytesOf(const char *text) { return std::vector<BYTE>(text, text + std::strlen(text)); }

std::vector<BYTE> resourceBytes(HMODULE module, HRSRC found)
{
    HGLOBAL loaded = LoadResource(module, found);
    const BYTE *data = static_cast<const BYTE *>(LockResource(loaded));
    if (!data) return {};
    return std::vector<BYTE>(data, data + SizeofResource(module, found));
}

// The host's name of a file on drive Z:, the host's root (for host tools).
std::string hostPath(std::string dosPath)
{
    if (dosPath.compare(0, 2, "Z:") == 0) dosPath.erase(0, 2);
    for (char &c : dosPath)
        if (c == '\\') c = '/';
    return dosPath;
}

// A resource file beside the program, attached to it for one test.
class Attached : public testing::Test {
protected:
    std::string path = support::programPath() + "-attached.res";

    bool attach(const std::vector<BYTE> &bytes)
    {
        return support::writeFileBytes(path, bytes) && vekhostAttachResources(nullptr, path.c_str());
    }
    void TearDown() override
    {
        vekhostAttachResources(nullptr, nullptr);
        DeleteFileA(path.c_str());
    }
};

const std::vector<Resource> kSample = {
    {stringId("VORTLBMP"), ordinalId(7), bytesOf("seven")},
    {stringId("VORTLBMP"), stringId("NAMED"), bytesOf("named one")},
    {ordinalId(10), ordinalId(7), bytesOf("raw data of seven, odd length")},
    {ordinalId(10), ordinalId(8), {}},
};

}  // namespace

TEST_F(Attached, FindsByIntegerAndStringIdentifiers)
{
    ASSERT_TRUE(attach(support::resFile(kSample)));
    HMODULE program = GetModuleHandleA(nullptr);

    HRSRC seven = FindResourceA(nullptr, MAKEINTRESOURCEA(7), "VORTLBMP");
    ASSERT_NE(seven, nullptr);
    EXPECT_EQ(resourceBytes(program, seven), bytesOf("seven"));
    EXPECT_EQ(FindResourceA(program, MAKEINTRESOURCEA(7), "vortlbmp"), seven) << "types compare ignoring case";
    EXPECT_EQ(FindResourceA(program, "#7", "VORTLBMP"), seven) << "#7 names the integer 7";

    HRSRC named = FindResourceA(program, "Named", "VORTLBMP");
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(resourceBytes(program, named), bytesOf("named one"));

    HRSRC raw = FindResourceA(program, MAKEINTRESOURCEA(7), RT_RCDATA);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(resourceBytes(program, raw), bytesOf("raw data of seven, odd length"));
    HRSRC empty = FindResourceA(program, MAKEINTRESOURCEA(8), RT_RCDATA);
    ASSERT_NE(empty, nullptr) << "the entry after an odd-length one starts on its 4-byte boundary";
    EXPECT_EQ(SizeofResource(program, empty), 0u);
    EXPECT_NE(LoadResource(program, empty), nullptr);
    EXPECT_FALSE(FreeResource(LoadResource(program, seven)));
}

TEST_F(Attached, MissingTypesNamesAndModulesHaveTheirErrors)
{
    ASSERT_TRUE(attach(support::resFile(kSample)));
    SetLastError(0);
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(9), "VORTLBMP"), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(7), RT_BITMAP), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_RESOURCE_TYPE_NOT_FOUND);
    EXPECT_EQ(FindResourceA(nullptr, "#7x", "VORTLBMP"), nullptr) << "not a number: a string name";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_RESOURCE_NAME_NOT_FOUND);

    HMODULE mmsystem = GetModuleHandleA("MMSYSTEM");
    ASSERT_NE(mmsystem, nullptr);
    EXPECT_EQ(FindResourceA(mmsystem, MAKEINTRESOURCEA(7), "VORTLBMP"), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_RESOURCE_DATA_NOT_FOUND);

    int local;
    EXPECT_EQ(SizeofResource(nullptr, reinterpret_cast<HRSRC>(&local)), 0u) << "not a resource handle";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    EXPECT_EQ(LoadResource(nullptr, reinterpret_cast<HRSRC>(&local)), nullptr);
}

TEST_F(Attached, DamagedFilesAreRefusedAndTheOldFileStays)
{
    const std::vector<BYTE> good = support::resFile(kSample);
    ASSERT_TRUE(attach(good));
    HRSRC before = FindResourceA(nullptr, MAKEINTRESOURCEA(7), "VORTLBMP");
    ASSERT_NE(before, nullptr);

    // The first sample entry starts at 32, behind the empty one.
    std::vector<std::vector<BYTE>> damaged;
    damaged.emplace_back(good.begin(), good.end() - 1);  // the last data cut short
    damaged.emplace_back(good.begin(), good.begin() + 40);  // a header cut short
    damaged.push_back(good);
    support::put32(damaged.back().data(), 32, 0x7FFFFFF0);  // DataSize past the end
    damaged.push_back(good);
    support::put32(damaged.back().data(), 36, 0xFFFFFFF0);  // HeaderSize past the end
    damaged.push_back(good);
    support::put32(damaged.back().data(), 36, 20);  // HeaderSize shorter than its fields
    for (size_t i = 0; i < damaged.size(); i++) {
        SetLastError(0);
        EXPECT_FALSE(attach(damaged[i])) << "damage " << i;
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_BAD_FORMAT) << "damage " << i;
    }
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(7), "VORTLBMP"), before) << "the attached file stays";
    EXPECT_EQ(resourceBytes(nullptr, before), bytesOf("seven"));

    EXPECT_FALSE(vekhostAttachResources(nullptr, (path + ".missing").c_str()));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(vekhostAttachResources(reinterpret_cast<HMODULE>(16), path.c_str()));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_MOD_NOT_FOUND);
}

TEST(BesideTheModule, ProgramResourcesComeFromItsResFileAndFollowItsChanges)
{
    const std::string path = support::programResPath();
    ASSERT_TRUE(support::writeFileBytes(path, support::resFile({{ordinalId(10), ordinalId(1), bytesOf("first")}})));
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_RCDATA);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(resourceBytes(nullptr, found), bytesOf("first"));

    ASSERT_TRUE(support::writeFileBytes(path, support::resFile({{ordinalId(10), ordinalId(1), bytesOf("second!")}})));
    HRSRC again = FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_RCDATA);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(resourceBytes(nullptr, again), bytesOf("second!"));
    EXPECT_EQ(resourceBytes(nullptr, found), bytesOf("first")) << "resources found before stay valid";

    std::vector<BYTE> cut = support::resFile({{ordinalId(10), ordinalId(1), bytesOf("third")}});
    cut.resize(cut.size() - 4);
    ASSERT_TRUE(support::writeFileBytes(path, cut));
    SetLastError(0);
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_RESOURCE_DATA_NOT_FOUND);
    DeleteFileA(path.c_str());
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_RCDATA), nullptr);
}

// A file made by windres, when the machine has one, reads like ours.
TEST_F(Attached, ReadsWhatWindresWrites)
{
    const char *tools[] = {"x86_64-w64-mingw32-windres", "i686-w64-mingw32-windres", "windres"};
    std::string windres;
    for (const char *tool : tools)
        if (std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0) {
            windres = tool;
            break;
        }
    if (windres.empty()) GTEST_SKIP() << "no windres on this machine";

    const std::string base = support::programPath() + "-windres";
    const std::vector<BYTE> payload = bytesOf("payload of windres\x01\x02\x03");
    ASSERT_TRUE(support::writeFileBytes(base + ".bin", payload));
    const std::string script = "5 VORTLBMP \"" + hostPath(base) + ".bin\"\nlogo RCDATA { \"abc\" }\n";
    ASSERT_TRUE(support::writeFileBytes(base + ".rc", std::vector<BYTE>(script.begin(), script.end())));
    const std::string command =
        windres + " -J rc -O res -i \"" + hostPath(base) + ".rc\" -o \"" + hostPath(path) + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    ASSERT_TRUE(vekhostAttachResources(nullptr, path.c_str()));

    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(5), "VORTLBMP");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(resourceBytes(nullptr, found), payload);
    HRSRC logo = FindResourceA(nullptr, "LOGO", RT_RCDATA);
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(resourceBytes(nullptr, logo), bytesOf("abc"));
    DeleteFileA((base + ".bin").c_str());
    DeleteFileA((base + ".rc").c_str());
}

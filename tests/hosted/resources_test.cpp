// Resources of modules read from compiled resource files, attached with
// vekhostAttachResources or found beside the module's file.
#include <vekhost.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "support/bytes.h"
#include "support/res_file.h"

using namespace support;

namespace {

std::vector<BYTE> bytesOf(const char *text) { return std::vector<BYTE>(text, text + std::strlen(text)); }

std::vector<BYTE> loaded(HMODULE module, HRSRC found)
{
    const BYTE *data = static_cast<const BYTE *>(LockResource(LoadResource(module, found)));
    return data ? std::vector<BYTE>(data, data + SizeofResource(module, found)) : std::vector<BYTE>{'-'};
}

const std::vector<Resource> kSample = {
    {stringId("VORTLBMP"), ordinalId(7), bytesOf("seven")},
    {stringId("VORTLBMP"), stringId("NAMED"), bytesOf("named one")},
    {ordinalId(10), ordinalId(7), bytesOf("raw data of seven, odd length")},
    {ordinalId(10), ordinalId(8), {}},
};

class Attached : public testing::Test {
protected:
    std::string path = programPath() + "-attached.res";
    bool attach(const std::vector<BYTE> &bytes)
    {
        return writeFileBytes(path, bytes) && vekhostAttachResources(nullptr, path.c_str());
    }
    void TearDown() override
    {
        vekhostAttachResources(nullptr, nullptr);
        DeleteFileA(path.c_str());
    }
};

}  // namespace

TEST_F(Attached, FindsByIntegerAndStringIdentifiers)
{
    ASSERT_TRUE(attach(resFile(kSample)));
    HMODULE program = GetModuleHandleA(nullptr);
    HRSRC seven = FindResourceA(nullptr, MAKEINTRESOURCEA(7), "VORTLBMP");
    EXPECT_EQ(loaded(program, seven), bytesOf("seven"));
    EXPECT_EQ(FindResourceA(program, MAKEINTRESOURCEA(7), "vortlbmp"), seven) << "types compare ignoring case";
    EXPECT_EQ(FindResourceA(program, "#7", "VORTLBMP"), seven) << "#7 names the integer 7";
    EXPECT_EQ(loaded(program, FindResourceA(program, "Named", "VORTLBMP")), bytesOf("named one"));
    EXPECT_EQ(loaded(program, FindResourceA(program, MAKEINTRESOURCEA(7), RT_RCDATA)),
              bytesOf("raw data of seven, odd length"));
    HRSRC empty = FindResourceA(program, MAKEINTRESOURCEA(8), RT_RCDATA);
    ASSERT_NE(empty, nullptr) << "the entry after an odd-length one starts on its 4-byte boundary";
    EXPECT_EQ(SizeofResource(program, empty), 0u);
    EXPECT_FALSE(FreeResource(LoadResource(program, seven)));

    const struct {
        HMODULE module;
        LPCSTR name, type;
        DWORD error;
    } missing[] = {{nullptr, MAKEINTRESOURCEA(9), "VORTLBMP", ERROR_RESOURCE_NAME_NOT_FOUND},
                   {nullptr, MAKEINTRESOURCEA(7), RT_BITMAP, ERROR_RESOURCE_TYPE_NOT_FOUND},
                   {nullptr, "#7x", "VORTLBMP", ERROR_RESOURCE_NAME_NOT_FOUND},
                   {GetModuleHandleA("MMSYSTEM"), MAKEINTRESOURCEA(7), "VORTLBMP", ERROR_RESOURCE_DATA_NOT_FOUND}};
    for (const auto &m : missing) {
        SetLastError(0);
        EXPECT_EQ(FindResourceA(m.module, m.name, m.type), nullptr);
        EXPECT_EQ(GetLastError(), m.error);
    }
    int local;
    EXPECT_EQ(SizeofResource(nullptr, reinterpret_cast<HRSRC>(&local)), 0u) << "not a resource handle";
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
    EXPECT_EQ(LoadResource(nullptr, reinterpret_cast<HRSRC>(&local)), nullptr);

    // Damaged files are refused and the attached one stays. The first
    // sample entry starts at 32, behind the empty one.
    const std::vector<BYTE> good = resFile(kSample);
    std::vector<std::vector<BYTE>> damaged = {std::vector<BYTE>(good.begin(), good.end() - 1),
                                              std::vector<BYTE>(good.begin(), good.begin() + 40), good, good, good};
    put32(damaged[2].data(), 32, 0x7FFFFFF0);  // DataSize past the end
    put32(damaged[3].data(), 36, 0xFFFFFFF0);  // HeaderSize past the end
    put32(damaged[4].data(), 36, 20);          // HeaderSize shorter than its fields
    for (const auto &bytes : damaged) {
        SetLastError(0);
        EXPECT_FALSE(attach(bytes));
        EXPECT_EQ(GetLastError(), DWORD{ERROR_BAD_FORMAT});
    }
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(7), "VORTLBMP"), seven);
    EXPECT_FALSE(vekhostAttachResources(nullptr, (path + ".missing").c_str()));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_FILE_NOT_FOUND});
    EXPECT_FALSE(vekhostAttachResources(reinterpret_cast<HMODULE>(16), path.c_str()));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_MOD_NOT_FOUND});
}

TEST(BesideTheModule, ProgramResourcesFollowTheirFile)
{
    const std::string path = programResPath();
    ASSERT_TRUE(writeFileBytes(path, resFile({{ordinalId(10), ordinalId(1), bytesOf("first")}})));
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_RCDATA);
    EXPECT_EQ(loaded(nullptr, found), bytesOf("first"));
    ASSERT_TRUE(writeFileBytes(path, resFile({{ordinalId(10), ordinalId(1), bytesOf("second!")}})));
    EXPECT_EQ(loaded(nullptr, FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_RCDATA)), bytesOf("second!"));
    EXPECT_EQ(loaded(nullptr, found), bytesOf("first")) << "resources found before stay valid";
    std::vector<BYTE> cut = resFile({{ordinalId(10), ordinalId(1), bytesOf("third")}});
    cut.resize(cut.size() - 4);
    ASSERT_TRUE(writeFileBytes(path, cut));
    SetLastError(0);
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_RESOURCE_DATA_NOT_FOUND});
    DeleteFileA(path.c_str());
}

// A file made by windres, when the machine has one, reads like ours.
TEST_F(Attached, ReadsWhatWindresWrites)
{
    std::string windres;
    for (const char *tool : {"x86_64-w64-mingw32-windres", "i686-w64-mingw32-windres", "windres"})
        if (windres.empty() && std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0)
            windres = tool;
    if (windres.empty()) GTEST_SKIP() << "no windres on this machine";
    auto host = [](std::string dos) {  // the host's name of a file on drive Z:, for the host tool
        for (char &c : dos) c = c == '\\' ? '/' : c;
        return dos.substr(2);
    };
    const std::string base = programPath() + "-windres";
    ASSERT_TRUE(writeFileBytes(base + ".bin", bytesOf("payload of windres\x01\x02\x03")));
    const std::string script = "5 VORTLBMP \"" + host(base) + ".bin\"\nlogo RCDATA { \"abc\" }\n";
    ASSERT_TRUE(writeFileBytes(base + ".rc", std::vector<BYTE>(script.begin(), script.end())));
    const std::string command = windres + " -J rc -O res -i \"" + host(base) + ".rc\" -o \"" + host(path) + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    ASSERT_TRUE(vekhostAttachResources(nullptr, path.c_str()));
    EXPECT_EQ(loaded(nullptr, FindResourceA(nullptr, MAKEINTRESOURCEA(5), "VORTLBMP")),
              bytesOf("payload of windres\x01\x02\x03"));
    EXPECT_EQ(loaded(nullptr, FindResourceA(nullptr, "LOGO", RT_RCDATA)), bytesOf("abc"));
    DeleteFileA((base + ".bin").c_str());
    DeleteFileA((base + ".rc").c_str());
}

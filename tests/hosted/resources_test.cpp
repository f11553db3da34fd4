// Resources of modules read from compiled resource files attached with
// vekhostAttachResources (the bitmap tests read them from beside the
// program's file).
#include <vekhost.h>

#include <gtest/gtest.h>

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
}

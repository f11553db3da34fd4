// Compressed bitmap resources (vekLoadBitmap) and sprite image records
// loaded from bitmap files and resources (vekLoadSpriteData).
//
// The resources are compiled into a .res file at run time, byte by byte, and
// put beside the program, where the hosted platform reads a module's
// resources from. Windows reads them from the module itself, so there the
// resource tests are skipped.
#include <windows.h>
#include <vekkit.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "image/bitmap_files.h"
#include "support/bytes.h"
#include "support/res_file.h"

using support::get32;
using support::ordinalId;
using support::stringId;

namespace {

// A string whose address's low 16 bits name a resource too.
const char kNameString[] = "a name that is never read";
WORD nameStringId() { return static_cast<WORD>(reinterpret_cast<uintptr_t>(kNameString)); }

enum : WORD {
    kGood = 1,
    kStreamCut = 2,      // the stream ends before the decoded size
    kSizeLies = 3,       // the header's resource size exceeds the resource
    kHugeDecoded = 4,    // a decoded size no stream of that length can give
    kBadHeaders = 5,     // decodes, but bfOffBits points past the image
    kNotCompressed = 6,  // fewer bytes than the header
};

std::vector<BYTE> resourceData(WORD id)
{
    std::vector<BYTE> data = images::compressed(images::sampleBitmap());
    switch (id) {
    case kStreamCut:
        data.resize(data.size() - 3);
        support::put32(data.data(), 4, static_cast<DWORD>(data.size()));
        break;
    case kSizeLies: support::put32(data.data(), 4, static_cast<DWORD>(data.size() + 1)); break;
    case kHugeDecoded: support::put32(data.data(), 0, 0x7FFFFFF0); break;
    case kBadHeaders: {
        std::vector<BYTE> image = images::sampleBitmap();
        support::put32(image.data(), 10, static_cast<DWORD>(image.size() - 4));
        data = images::compressed(image);
        break;
    }
    case kNotCompressed: data.resize(5); break;
    }
    return data;
}

class BitmapResource : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::vector<support::Resource> resources;
        for (WORD id = kGood; id <= kNotCompressed; id++)
            resources.push_back({stringId("VORTLBMP"), ordinalId(id), resourceData(id)});
        if (nameStringId() > kNotCompressed)
            resources.push_back({stringId("VORTLBMP"), ordinalId(nameStringId()), resourceData(kGood)});
        // The same identifier under another type must not be taken.
        resources.push_back({ordinalId(10), ordinalId(7), resourceData(kGood)});
        support::writeFileBytes(support::programResPath(), support::resFile(resources));
    }
    static void TearDownTestSuite() { DeleteFileA(support::programResPath().c_str()); }

    void SetUp() override
    {
#ifdef _WIN32
        GTEST_SKIP() << "Windows reads resources from the module's own image";
#endif
        module = GetModuleHandleA(nullptr);
    }

    HINSTANCE module = nullptr;
};

}  // namespace

TEST_F(BitmapResource, MemoryModeReturnsTheDecodedImageUnlocked)
{
    const std::vector<BYTE> expected = images::sampleBitmap();
    for (WORD mode : {WORD{2}, WORD{0}, WORD{7}}) {
        HGLOBAL block = static_cast<HGLOBAL>(vekLoadBitmap(module, MAKEINTRESOURCEA(kGood), mode, nullptr));
        ASSERT_NE(block, nullptr) << "mode " << mode;
        EXPECT_EQ(GlobalFlags(block) & GMEM_LOCKCOUNT, 0u) << "handed out unlocked";
        ASSERT_GE(GlobalSize(block), expected.size());
        const BYTE *bytes = static_cast<const BYTE *>(GlobalLock(block));
        EXPECT_EQ(std::vector<BYTE>(bytes, bytes + expected.size()), expected) << "mode " << mode;
        GlobalUnlock(block);
        EXPECT_EQ(GlobalFree(block), nullptr);
    }
}

TEST_F(BitmapResource, BitmapModeMakesADeviceBitmapOfTheImage)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = static_cast<HBITMAP>(vekLoadBitmap(module, MAKEINTRESOURCEA(kGood), 1, screen));
    ReleaseDC(nullptr, screen);
    ASSERT_NE(bitmap, nullptr);
    BITMAP info;
    ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), (int)sizeof info);
    EXPECT_EQ(info.bmWidth, 3);
    EXPECT_EQ(info.bmHeight, 2);
    const std::vector<COLORREF> colors = images::bitmapColors(bitmap, 3, 2);
    ASSERT_EQ(colors.size(), 6u);
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < 3; x++)
            EXPECT_EQ(colors[y * 3 + x], images::sampleColor(x, y)) << "pixel " << x << "," << y;
    DeleteObject(bitmap);
}

TEST_F(BitmapResource, OnlyTheLowSixteenBitsOfTheNameCount)
{
    if (nameStringId() <= kNotCompressed) GTEST_SKIP() << "the string's address collides with a test identifier";
    HGLOBAL block = static_cast<HGLOBAL>(vekLoadBitmap(module, kNameString, 2, nullptr));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), images::sampleBitmap().size());
    GlobalFree(block);
    EXPECT_EQ(vekLoadBitmap(module, MAKEINTRESOURCEA(7), 2, nullptr), nullptr) << "type VORTLBMP only";
}

TEST_F(BitmapResource, DamagedOrMissingResourcesGiveNothing)
{
    HDC screen = GetDC(nullptr);
    for (WORD id : {WORD{kStreamCut}, WORD{kSizeLies}, WORD{kHugeDecoded}, WORD{kNotCompressed}, WORD{99}}) {
        EXPECT_EQ(vekLoadBitmap(module, MAKEINTRESOURCEA(id), 2, nullptr), nullptr) << "resource " << id;
        EXPECT_EQ(vekLoadBitmap(module, MAKEINTRESOURCEA(id), 1, screen), nullptr) << "resource " << id;
        EXPECT_EQ(vekLoadSpriteData(module, MAKEINTRESOURCEA(id), 0), nullptr) << "resource " << id;
    }
    // Headers that describe more than the image: the block is still the
    // decoded bytes, but no bitmap is made from them.
    EXPECT_EQ(vekLoadBitmap(module, MAKEINTRESOURCEA(kBadHeaders), 1, screen), nullptr);
    HGLOBAL block = static_cast<HGLOBAL>(vekLoadBitmap(module, MAKEINTRESOURCEA(kBadHeaders), 2, nullptr));
    EXPECT_NE(block, nullptr);
    GlobalFree(block);
    ReleaseDC(nullptr, screen);
}

TEST_F(BitmapResource, SpriteDataFromAResourceCountsTheImageExactly)
{
    const std::vector<BYTE> image = images::sampleBitmap();
    HSPRITEDATA record = vekLoadSpriteData(module, MAKEINTRESOURCEA(kGood), 0);
    ASSERT_NE(record, nullptr);
    const size_t n = image.size();
    EXPECT_EQ(get32(record, 0), n);
    EXPECT_GE(GlobalSize(GlobalHandle(record)), n + 6);
    EXPECT_EQ(std::vector<BYTE>(record + 4, record + 4 + n), image);
    EXPECT_EQ(record[n + 4], 0);
    EXPECT_EQ(record[n + 5], 0);
    LONG width = 0, height = 0;
    EXPECT_EQ(vekGetSpriteDimensions(record, &width, &height), DWORD{2} << 16 | 3);
    vekDeleteSpriteData(record);
}

TEST(SpriteDataFile, RecordHoldsTheFileAndCountsTwoBytesMore)
{
    const std::string path = support::programPath() + "-sprite.bmp";
    std::vector<BYTE> file = images::sampleBitmap();
    file.push_back(0x5A);  // bytes after the image are kept too
    ASSERT_TRUE(support::writeFileBytes(path, file));
    HSPRITEDATA record = vekLoadSpriteData(nullptr, path.c_str(), 1);
    ASSERT_NE(record, nullptr);
    const size_t n = file.size();
    EXPECT_EQ(get32(record, 0), n + 2);
    EXPECT_GE(GlobalSize(GlobalHandle(record)), n + 6);
    EXPECT_EQ(std::vector<BYTE>(record + 4, record + 4 + n), file);
    EXPECT_EQ(record[n + 4], 0);
    EXPECT_EQ(record[n + 5], 0);
    vekDeleteSpriteData(record);

    ASSERT_TRUE(support::writeFileBytes(path, {}));
    record = vekLoadSpriteData(nullptr, path.c_str(), 1);
    ASSERT_NE(record, nullptr) << "an empty file loads as an empty record";
    EXPECT_EQ(get32(record, 0), 2u);
    vekDeleteSpriteData(record);

    DeleteFileA(path.c_str());
    EXPECT_EQ(vekLoadSpriteData(nullptr, path.c_str(), 1), nullptr);
    EXPECT_EQ(vekLoadSpriteData(nullptr, path.c_str(), 3), nullptr) << "any flags with bit 0 name a file";
}

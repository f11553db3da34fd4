// Sizes whose products wrap 32-bit arithmetic: records whose raw rows come
// to 4 GiB or a little more, memory files asked for nearly 4 GiB. Each call
// refuses them and leaves the record as it was, with 32-bit pointers as
// with 64-bit ones.
#include <gtest/gtest.h>

#include <functional>

#include "support/images.h"

using namespace support;

TEST(WrappingSizes, RecordsWhoseRowsComeTo4GiBAreRefused)
{
    // (width + 3) & ~3 bytes a row: 2^32 bytes, or 2^32 plus a few rows.
    const POINT sizes[] = {{0x10000, 0x10000}, {0x40000000, 4}, {0x7FFFFFFD, 2}, {0x10000, 0x10001}};
    HDC dc = CreateCompatibleDC(nullptr);
    Record target = makeRaw(8, 8, 3);
    const Bytes blank = target.bytes();
    const std::pair<const char *, std::function<bool(HSPRITEDATA)>> calls[] = {
        {"cel", [](HSPRITEDATA r) { return vekPalDIBToCel(r, FALSE, 0) == VEK_CEL_BAD_FORMAT; }},
        {"DIB section", [&](HSPRITEDATA r) { return vekHSPRITEDATAtoDIBSection(dc, r) == nullptr; }},
        {"raw copy", [](HSPRITEDATA r) { return Record(vekRLESpriteToRGBSprite(r)).get() == nullptr; }},
        {"fill", [](HSPRITEDATA r) { return vekSpriteFill(r, 0, 0, 4, 4, 7) == 0; }},
        {"blit from it", [&](HSPRITEDATA r) { return vekSpriteBlt(target, 0, 0, 8, 8, r, 0, 0) == 0 && target.bytes() == blank; }},
    };
    for (const POINT &size : sizes) {
        Record record = makeRaw(8, 8, 5);
        put32(record, kWidth, static_cast<DWORD>(size.x));
        put32(record, kHeight, static_cast<DWORD>(size.y));
        const Bytes before = record.bytes();
        for (const auto &[name, refused] : calls) {
            EXPECT_TRUE(refused(record)) << name << " " << size.x << " x " << size.y;
            EXPECT_TRUE(record.bytes() == before) << name;
        }
    }
    DeleteDC(dc);
}

TEST(WrappingSizes, MemoryFilesOfNearly4GiBAreRefused)
{
    for (DWORD size : {0xFFFFFFFFu, 0xFFFFFFFCu, 0x80000000u}) EXPECT_EQ(_mcreat(size), 0) << size;
}

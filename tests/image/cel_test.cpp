// Cels: the exact streams of both encoders, the cel headers, vekDIBToCel's
// edits of its input, round trips through a plain decoder, bitmap files
// written by ImageMagick, and damaged files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <random>

#include "image/cel_images.h"

using namespace celtest;
using support::get16;
using support::get32;

namespace {

constexpr BYTE K = 0xEE;  // the key colour of the exact-stream cases

Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes &p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes repeated(size_t n, BYTE v) { return Bytes(n, v); }

Bytes sequence(size_t n, BYTE first)
{
    Bytes b(n);
    for (size_t i = 0; i < n; i++) b[i] = static_cast<BYTE>(first + i % 200);
    return b;
}

const Bytes kEndOfRow = {0, 0}, kEndOfImage = {0, 1}, kZeroSkip = {0, 2, 0, 0};

Bytes skip(BYTE n) { return {0, 2, n, 0}; }

Bytes absolute(const Bytes &pixels)
{
    Bytes b(2 + pixels.size() + (pixels.size() & 1), 0);
    b[1] = static_cast<BYTE>(pixels.size());
    std::copy(pixels.begin(), pixels.end(), b.begin() + 2);
    return b;
}

// The literal-run encoder through vekLoadCel without a context (pixels keep
// their values); the repeat-run encoder through vekPalDIBToCel.
class CelEncoders : public ::testing::Test {
protected:
    void TearDown() override { DeleteFileA(path_.c_str()); }

    LONG_PTR loadCel(const Bytes &file, BOOL mirror, LPVEKCONTEXT context = nullptr)
    {
        EXPECT_TRUE(writeFile(path_, file));
        return vekLoadCel(context, path_.c_str(), mirror);
    }

    Bytes literalBits(const Image &image, BOOL mirror = FALSE)
    {
        const LONG_PTR cel = loadCel(bmpFile(image), mirror);
        if (cel <= 0) {
            ADD_FAILURE() << "vekLoadCel gave " << cel;
            return {};
        }
        Bytes bits = celBits(reinterpret_cast<BYTE *>(cel));
        vekDeleteSpriteData(reinterpret_cast<HSPRITEDATA>(cel));
        return bits;
    }

    Bytes repeatBits(const Image &image, BOOL mirror = FALSE)
    {
        HSPRITEDATA record = recordOf(bmpFile(image));
        const LONG_PTR cel = vekPalDIBToCel(record, mirror, 0);
        freeRecord(record);
        if (cel <= 0) {
            ADD_FAILURE() << "vekPalDIBToCel gave " << cel;
            return {};
        }
        Bytes bits = celBits(reinterpret_cast<BYTE *>(cel));
        vekDeleteSpriteData(reinterpret_cast<HSPRITEDATA>(cel));
        return bits;
    }

    const std::string path_ = tempPath("vekkit-cel-test.bmp");
};

TEST_F(CelEncoders, RowsThatStartWithTheKey)
{
    const Image keyKeyABB = makeImage(5, {{K, K, 0x10, 0x20, 0x20}});
    EXPECT_EQ(literalBits(keyKeyABB), cat({kZeroSkip, skip(2), absolute({0x10, 0x20, 0x20}), kEndOfRow, kEndOfImage}));

    // 300 transparent pixels: skips of 127 while more than 127 are left,
    // the rest is left to the end of row; the repeat-run encoder writes
    // skips of up to 255 and no leading zero skip.
    const Image clear = makeImage(300, {repeated(300, K)});
    EXPECT_EQ(literalBits(clear), cat({skip(127), skip(127), kEndOfRow, kEndOfImage}));
    EXPECT_EQ(repeatBits(clear), cat({skip(255), skip(45), kEndOfRow, kEndOfImage}));
}

TEST_F(CelEncoders, RowsAfterATransparentFirstRow)
{
    // The first stored row sets the key; the second is the case.
    struct Case {
        const char *name;
        Bytes row;
        Bytes literal;  // tokens of the second row
        Bytes repeat;
    };
    const Bytes mixed = {1, 2, 2, 3, 3, 3, 4, 5, 6, K, K, 7};
    const Bytes alternating = sequence(300, 20);
    const std::vector<Case> cases = {
        {"five equal", repeated(5, 9), absolute(repeated(5, 9)), cat({{5, 9}})},
        {"mixed", mixed,
         cat({absolute({1, 2, 2, 3, 3, 3, 4, 5, 6}), skip(2), {1, 7}}),
         cat({absolute({1, 2, 2}), {3, 3}, absolute({4, 5, 6}), skip(2), {1, 7}})},
        {"254 literals", sequence(254, 30), absolute(sequence(254, 30)), {}},
        {"255 literals", repeated(255, 9), cat({absolute(repeated(254, 9)), {1, 9}}), cat({{255, 9}})},
        {"256 equal", repeated(256, 9), cat({absolute(repeated(254, 9)), {2, 9}}), cat({{255, 9}, {1, 9}})},
        {"256 different", sequence(256, 30), cat({absolute(sequence(254, 30)), {1, 30 + 254 % 200, 1, 30 + 255 % 200}}),
         {}},
        {"300 different", alternating,
         cat({absolute(Bytes(alternating.begin(), alternating.begin() + 254)),
              absolute(Bytes(alternating.begin() + 254, alternating.end()))}),
         cat({absolute(Bytes(alternating.begin(), alternating.begin() + 255)),
              absolute(Bytes(alternating.begin() + 255, alternating.end()))})},
        {"two equal, two different", {K, 4, 4, K, 5, 6}, cat({skip(1), {2, 4}, skip(1), {1, 5, 1, 6}}),
         cat({skip(1), {2, 4}, skip(1), {1, 5}, {1, 6}})},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const size_t n = c.row.size();
        const Image image = makeImage(static_cast<int>(n), {repeated(n, K), c.row});
        const bool startsOpaque = c.row[0] != K;
        const Bytes firstLiteral = n > 127 ? cat({skip(127), n > 254 ? skip(127) : Bytes{}, kEndOfRow}) : kEndOfRow;
        EXPECT_EQ(literalBits(image), cat({firstLiteral, kZeroSkip, c.literal, kEndOfRow, kEndOfImage}));
        if (c.repeat.empty()) continue;
        Bytes firstRepeat;
        for (size_t k = n; k > 0; k -= std::min<size_t>(k, 255)) firstRepeat = cat({firstRepeat, skip(static_cast<BYTE>(std::min<size_t>(k, 255)))});
        EXPECT_EQ(repeatBits(image), cat({firstRepeat, kEndOfRow, startsOpaque ? kZeroSkip : Bytes{}, c.repeat,
                                          kEndOfRow, kEndOfImage}));
    }
}

TEST_F(CelEncoders, MirroredRowsStartFromTheLastPixel)
{
    // The key is still the first stored byte; the row is written backwards.
    const Image image = makeImage(6, {{K, 1, 2, 3, K, K}});
    const Bytes literal = cat({kZeroSkip, skip(2), absolute({3, 2, 1}), kEndOfRow, kEndOfImage});
    EXPECT_EQ(literalBits(image, TRUE), literal);
    EXPECT_EQ(repeatBits(image, TRUE), cat({skip(2), absolute({3, 2, 1}), skip(1), kEndOfRow, kEndOfImage}));
}

TEST_F(CelEncoders, LiteralCelHeader)
{
    Image image = makeImage(5, {{K, 1, 2, 3, 4}, {5, 6, 7, 8, 9}});
    distinctTable(image.table);
    const Bytes file = bmpFile(image);
    const LONG_PTR result = loadCel(file, FALSE);
    ASSERT_GT(result, 0);
    const BYTE *cel = reinterpret_cast<BYTE *>(result);
    const Bytes bits = celBits(cel);
    EXPECT_EQ(GlobalSize(GlobalHandle(cel)), 4 + get32(cel, 0));
    EXPECT_EQ(get32(cel, 0), 568 + bits.size());
    EXPECT_EQ(get16(cel, 4), 0x4D42);
    EXPECT_EQ(get32(cel, 6), file.size()) << "bfSize is copied";
    EXPECT_EQ(get16(cel, 10), VEK_IMAGE_MIRRORABLE);
    EXPECT_EQ(get32(cel, 14), 568u);
    EXPECT_TRUE(std::equal(cel + 18, cel + 18 + 16, file.begin() + 14)) << "biSize to biBitCount";
    EXPECT_EQ(get32(cel, 34), DWORD{BI_RLE8});
    EXPECT_EQ(get32(cel, 38), bits.size());
    for (int i = 0; i < 256; i++) ASSERT_EQ(get16(cel, 58 + 2 * i), i);
    // The gap is the input's bytes 566 and 567: red and reserved of entry 128.
    EXPECT_EQ(cel[570], file[566]);
    EXPECT_EQ(cel[571], file[567]);
    vekDeleteSpriteData(reinterpret_cast<HSPRITEDATA>(result));
}

TEST_F(CelEncoders, RepeatRunCelHeaderKeepsTheInput)
{
    Image image = makeImage(3, {{K, 1, 1}});
    distinctTable(image.table);
    const Bytes file = bmpFile(image, 1078);
    HSPRITEDATA record = recordOf(file);
    const Bytes before = blockBytes(record);
    const LONG_PTR result = vekPalDIBToCel(record, FALSE, 12345);
    ASSERT_GT(result, 0);
    EXPECT_EQ(blockBytes(record), before);
    const BYTE *cel = reinterpret_cast<BYTE *>(result);
    const DWORD length = get32(cel, 0);
    EXPECT_EQ(GlobalSize(GlobalHandle(cel)), 4 + length);
    EXPECT_EQ(get32(cel, 6), length) << "bfSize";
    EXPECT_EQ(get16(cel, 10), VEK_IMAGE_MIRRORABLE);
    EXPECT_EQ(get32(cel, 14), 1080u);
    EXPECT_EQ(get32(cel, 34), DWORD{BI_RLE8});
    EXPECT_EQ(get32(cel, 38), length - 1080);
    EXPECT_TRUE(std::equal(cel + 58, cel + 58 + 1024, file.begin() + 54)) << "colour table kept";
    EXPECT_EQ(cel[1082], 0);
    EXPECT_EQ(cel[1083], 0);
    EXPECT_EQ(celBits(cel), cat({skip(1), {2, 1}, kEndOfRow, kEndOfImage}));
    vekDeleteSpriteData(reinterpret_cast<HSPRITEDATA>(result));
    freeRecord(record);
}

TEST_F(CelEncoders, HeightZeroGivesNoRows)
{
    const Image image = makeImage(4, {});
    EXPECT_EQ(literalBits(image), kEndOfImage);
    EXPECT_EQ(repeatBits(image), kEndOfImage);
}

// Random images with few colours (so that runs, skips and literals of every
// length occur) decode back to their pixels, mirrored or not, through both
// encoders; widths past the literal buffer and a zero width included.
TEST_F(CelEncoders, RoundTripsThroughAPlainDecoder)
{
    std::mt19937 rng(7);
    BYTE identity[256];
    std::iota(identity, identity + 256, 0);
    for (int width : {0, 1, 2, 3, 7, 64, 257, 600, 4100, 16500}) {
        for (int colours : {2, 3, 6}) {
            const int height = width > 1000 ? 3 : 9;
            Image image = makeImage(width, std::vector<Bytes>(height, Bytes(width)));
            for (int y = 0; y < height; y++) {
                // Long runs in some rows, noise in others.
                const int runLength = 1 + static_cast<int>(rng() % 300);
                BYTE v = 0;
                for (int x = 0; x < width; x++) {
                    if (y % 2 == 0 || x % runLength == 0) v = static_cast<BYTE>(rng() % colours);
                    image.at(x, y) = static_cast<BYTE>(v * 40);
                }
            }
            for (BOOL mirror : {FALSE, TRUE}) {
                SCOPED_TRACE("width " + std::to_string(width) + ", colours " + std::to_string(colours) +
                             (mirror ? ", mirrored" : ""));
                const std::vector<int> want = expectedPixels(image, identity, mirror);
                HSPRITEDATA record = recordOf(bmpFile(image));
                const LONG_PTR fromFile = loadCel(bmpFile(image), mirror);
                const LONG_PTR repeat = vekPalDIBToCel(record, mirror, 0);
                freeRecord(record);
                for (LONG_PTR result : {fromFile, repeat}) {
                    ASSERT_GT(result, 0);
                    std::vector<int> got;
                    std::string why;
                    EXPECT_TRUE(decodeCel(reinterpret_cast<BYTE *>(result), got, why)) << why;
                    EXPECT_EQ(got, want);
                    vekDeleteSpriteData(reinterpret_cast<HSPRITEDATA>(result));
                }
            }
        }
    }
}

TEST_F(CelEncoders, ColoursMapOntoTheContextPalette)
{
    // The image's colour i is the palette's colour 255 - i; index 8 of the
    // palette is never used, its colour goes to the nearest other entry.
    Image image = makeImage(8, {{K, 255 - 8, 1, 2, 3, 250, 251, K}, {0, 1, 255 - 8, 3, 4, 5, 6, 7}});
    distinctTable(image.table);
    std::vector<PALETTEENTRY> palette(256);
    const std::vector<PALETTEENTRY> colours = paletteOf(image.table);
    for (int i = 0; i < 256; i++) palette[255 - i] = colours[i];
    VEKCONTEXT context{};
    setpe(&context, palette.data());
    BYTE map[256];
    for (int i = 0; i < 256; i++) map[i] = static_cast<BYTE>(vekGetNearestColor(&context, &image.table[i]));
    EXPECT_EQ(map[1], 254);
    EXPECT_NE(map[255 - 8], 8);

    for (BOOL mirror : {FALSE, TRUE}) {
        const LONG_PTR fromFile = loadCel(bmpFile(image), mirror, &context);
        HSPRITEDATA record = recordOf(bmpFile(image));
        const LONG_PTR fromRecord = vekDIBToCel(&context, record, mirror);
        for (LONG_PTR result : {fromFile, fromRecord}) {
            ASSERT_GT(result, 0);
            std::vector<int> got;
            std::string why;
            EXPECT_TRUE(decodeCel(reinterpret_cast<BYTE *>(result), got, why)) << why;
            EXPECT_EQ(got, expectedPixels(image, map, mirror));
        }
        // Both makers give the same cel; the record became its header, all
        // but biSizeImage (at byte 38).
        const BYTE *cel = reinterpret_cast<BYTE *>(fromFile);
        EXPECT_EQ(blockBytes(cel), blockBytes(reinterpret_cast<BYTE *>(fromRecord)));
        EXPECT_TRUE(std::equal(record + 4, record + 38, cel + 4) && std::equal(record + 42, record + 572, cel + 42));
        vekDeleteSpriteData(reinterpret_cast<HSPRITEDATA>(fromFile));
        vekDeleteSpriteData(reinterpret_cast<HSPRITEDATA>(fromRecord));
        freeRecord(record);
    }
}

TEST_F(CelEncoders, RefusedInputsAreLeftUntouched)
{
    Image image = makeImage(4, {{K, 1, 2, 3}});
    distinctTable(image.table);
    std::vector<PALETTEENTRY> palette = paletteOf(image.table);
    VEKCONTEXT context{};
    setpe(&context, palette.data());

    struct Case {
        const char *name;
        Bytes file;
    };
    Bytes fourBit = bmpFile(image, 1078, 4);
    Bytes twoPlanes = bmpFile(image);
    support::put16(twoPlanes.data(), 26, 2);
    Bytes offsetPastEnd = bmpFile(image);
    support::put32(offsetPastEnd.data(), 10, 5000);
    Bytes offsetInTable = bmpFile(image);
    support::put32(offsetInTable.data(), 10, 600);
    Bytes hugeWidth = bmpFile(image);
    support::put32(hugeWidth.data(), 18, 30000);
    Bytes negativeWidth = bmpFile(image);
    support::put32(negativeWidth.data(), 18, 0xFFFF);
    Bytes tallerThanTheFile = bmpFile(image);
    support::put32(tallerThanTheFile.data(), 22, 2);
    Bytes shortFile = bmpFile(image);
    shortFile.resize(shortFile.size() - 1);
    const std::vector<Case> cases = {
        {"4-bit", fourBit},
        {"two planes", twoPlanes},
        {"RLE8", bmpFile(image, 1078, 8, BI_RLE8)},
        {"offset past the end", offsetPastEnd},
        {"offset inside the colour table", offsetInTable},
        {"huge width", hugeWidth},
        {"negative width", negativeWidth},
        {"more rows than the file holds", tallerThanTheFile},
        {"short file", shortFile},
        {"headers only", Bytes(shortFile.begin(), shortFile.begin() + 54)},
        {"empty file", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(loadCel(c.file, FALSE, &context), VEK_CEL_BAD_FORMAT);
        HSPRITEDATA record = recordOf(c.file);
        const Bytes before = blockBytes(record);
        EXPECT_EQ(vekDIBToCel(&context, record, FALSE), VEK_CEL_BAD_FORMAT);
        EXPECT_EQ(blockBytes(record), before);
        freeRecord(record);
    }
    EXPECT_EQ(vekLoadCel(&context, tempPath("vekkit-no-such-file.bmp").c_str(), FALSE), VEK_CEL_NO_FILE);
    EXPECT_EQ(vekDIBToCel(&context, nullptr, FALSE), VEK_CEL_BAD_FORMAT);
    EXPECT_EQ(vekPalDIBToCel(nullptr, FALSE, 0), VEK_CEL_BAD_FORMAT);

    // The repeat-run encoder needs only the headers, but all of its rows.
    HSPRITEDATA record = recordOf(tallerThanTheFile);
    EXPECT_EQ(vekPalDIBToCel(record, FALSE, 0), VEK_CEL_BAD_FORMAT);
    freeRecord(record);
    record = recordOf(fourBit);
    EXPECT_EQ(vekPalDIBToCel(record, FALSE, 0), VEK_CEL_BAD_FORMAT);
    freeRecord(record);
}

// Bitmap files from a real writer, in the current folder (a name both the
// shell and the file calls take the same way). ImageMagick writes 8-bit files with a
// 256-entry table and, unless told otherwise, RLE8-compressed bits; images of
// at most 16 colours become 4-bit files.
class ImageMagickFiles : public CelEncoders {
protected:
    bool convert(const std::string &arguments, const std::string &out)
    {
        DeleteFileA(out.c_str());
        const std::string command = "convert " + arguments + " BMP3:\"" + out + "\"";
        return std::system(command.c_str()) == 0 && !readFile(out).empty();
    }
};

TEST_F(ImageMagickFiles, EightBitFilesBecomeTheirPixels)
{
    const std::string out = "vekkit-cel-magick.bmp";
    if (!convert("rose: -type Palette -colors 64 -compress none", out)) GTEST_SKIP() << "no ImageMagick convert";
    const Bytes file = readFile(out);
    ASSERT_EQ(get16(file.data(), 28), 8);
    Image image;
    image.width = static_cast<int>(get32(file.data(), 18));
    image.height = static_cast<int>(get32(file.data(), 22));
    const DWORD offset = get32(file.data(), 10);
    image.bits.assign(file.begin() + offset, file.begin() + offset + image.stride() * image.height);
    BYTE identity[256];
    std::iota(identity, identity + 256, 0);
    for (BOOL mirror : {FALSE, TRUE}) {
        const LONG_PTR result = vekLoadCel(nullptr, out.c_str(), mirror);
        ASSERT_GT(result, 0);
        std::vector<int> got;
        std::string why;
        EXPECT_TRUE(decodeCel(reinterpret_cast<BYTE *>(result), got, why)) << why;
        EXPECT_EQ(got, expectedPixels(image, identity, mirror));
        vekDeleteSpriteData(reinterpret_cast<HSPRITEDATA>(result));
    }
    DeleteFileA(out.c_str());
}

TEST_F(ImageMagickFiles, CompressedAndFourBitFilesAreRefused)
{
    const std::string out = "vekkit-cel-magick-bad.bmp";
    if (!convert("rose: -type Palette -colors 64", out)) GTEST_SKIP() << "no ImageMagick convert";
    EXPECT_EQ(get32(readFile(out).data(), 30), DWORD{BI_RLE8});
    EXPECT_EQ(vekLoadCel(nullptr, out.c_str(), FALSE), VEK_CEL_BAD_FORMAT);
    ASSERT_TRUE(convert("-size 20x10 gradient:red-blue -type Palette -colors 16", out));
    EXPECT_EQ(get16(readFile(out).data(), 28), 4);
    EXPECT_EQ(vekLoadCel(nullptr, out.c_str(), FALSE), VEK_CEL_BAD_FORMAT);
    DeleteFileA(out.c_str());
}

}  // namespace

// Cels: the exact streams of both encoders (the literal-run one through
// vekLoadCel and vekDIBToCel, the repeat-run one through vekPalDIBToCel),
// random images round-tripped through the reference decoder, colours
// mapped onto a context's palette, refused inputs.
#include <gtest/gtest.h>

#include <numeric>

#include "support/res_file.h"
#include "support/rle_reference.h"

using namespace support;

namespace {

constexpr BYTE K = 0xEE;  // the key colour of the exact-stream cases
using Rows = std::vector<Bytes>;  // pixel values, stored (bottom) row first

Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes &p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}
Bytes sequence(size_t n, BYTE first)
{
    Bytes b(n);
    for (size_t i = 0; i < n; i++) b[i] = static_cast<BYTE>(first + i % 200);
    return b;
}
const Bytes kRow = {0, 0}, kEnd = {0, 1};
Bytes sk(size_t n) { return {0, 2, static_cast<BYTE>(n), 0}; }
Bytes lit(const Bytes &pixels)
{
    Bytes b;
    absolute(b, pixels);
    return b;
}

// A 256-entry table of distinct colours, none of them black.
std::vector<RGBQUAD> distinctTable()
{
    std::vector<RGBQUAD> table(256);
    for (int i = 0; i < 256; i++) table[i] = RGBQUAD{BYTE(i), BYTE(255 - i), BYTE(i ^ 0x5A), 0};
    return table;
}
const std::vector<RGBQUAD> kTable = distinctTable();

Bytes celFile(const Rows &stored, DWORD offBits = 1078)
{
    const LONG width = stored.empty() ? 4 : static_cast<LONG>(stored[0].size()), height = static_cast<LONG>(stored.size());
    Bytes topDown;
    for (auto row = stored.rbegin(); row != stored.rend(); ++row) topDown.insert(topDown.end(), row->begin(), row->end());
    return bmpFile(width, height, topDown, kTable.data(), offBits);
}

std::string tempPath(const char *name)
{
    char temp[MAX_PATH];
    const DWORD n = GetTempPathA(MAX_PATH, temp);
    return std::string(n && n < MAX_PATH ? temp : "") + name;
}


const std::string kPath = tempPath("vekkit-cel-test.bmp");

// The cel the literal-run encoder (from a file) or the repeat-run encoder
// makes of a bitmap file.
Record literalCel(const Bytes &file, BOOL mirror = FALSE, LPVEKCONTEXT context = nullptr)
{
    EXPECT_TRUE(writeFileBytes(kPath, file));
    const LONG_PTR cel = vekLoadCel(context, kPath.c_str(), mirror);
    EXPECT_GT(cel, 0);
    return Record(cel > 0 ? reinterpret_cast<BYTE *>(cel) : nullptr);
}
Record repeatCel(const Bytes &file, BOOL mirror = FALSE)
{
    Record record = blockOf(file);
    const LONG_PTR cel = vekPalDIBToCel(record, mirror, 0);
    EXPECT_GT(cel, 0);
    return Record(cel > 0 ? reinterpret_cast<BYTE *>(cel) : nullptr);
}
Bytes bitsOf(const Record &cel)
{
    if (!cel.get()) return {};
    return Bytes(cel.get() + 4 + get32(cel, kPixelOffset), cel.get() + 4 + get32(cel, 0));
}

// What a cel of the stored rows must decode to: clear where the key (the
// first stored pixel) is, map[value] elsewhere, rows mirrored when asked.
std::vector<int> expectedPixels(const Rows &stored, const BYTE *map, bool mirror)
{
    std::vector<int> pixels;
    const BYTE key = stored.empty() || stored[0].empty() ? 0 : stored[0][0];
    for (auto row = stored.rbegin(); row != stored.rend(); ++row)
        for (size_t x = 0; x < row->size(); x++) {
            const BYTE v = (*row)[mirror ? row->size() - 1 - x : x];
            pixels.push_back(v == key ? kClear : map[v]);
        }
    return pixels;
}

void expectDecodes(const Record &cel, const std::vector<int> &pixels)
{
    ASSERT_NE(cel.get(), nullptr);
    EXPECT_EQ(cel.flags(), VEK_IMAGE_MIRRORABLE);
    const Decoded d = decodeRecord(cel);
    EXPECT_TRUE(d.wellFormed) << "a stream an encoder must not write";
    EXPECT_EQ(d.pixels, pixels);
}

}  // namespace

TEST(CelEncoders, ExactStreams)
{
    // The first stored row is transparent and sets the key; the second is
    // the case. Literal runs take up to 254 pixels, repeat runs up to 255.
    struct Case {
        const char *name;
        Bytes row, literal, repeat;  // tokens of the second row; repeat empty: not checked
    };
    const Bytes mixed = {1, 2, 2, 3, 3, 3, 4, 5, 6, K, K, 7}, different = sequence(300, 20);
    const Case cases[] = {
        {"five equal", Bytes(5, 9), lit(Bytes(5, 9)), {5, 9}},
        {"two equal, then three different", {1, 1, 2, 3, 4}, lit({1, 1, 2, 3, 4}), lit({1, 1, 2, 3, 4})},
        {"mixed", mixed, cat({lit({1, 2, 2, 3, 3, 3, 4, 5, 6}), sk(2), {1, 7}}),
         cat({lit({1, 2, 2}), {3, 3}, lit({4, 5, 6}), sk(2), {1, 7}})},
        {"254 literals", sequence(254, 30), lit(sequence(254, 30)), {}},
        {"255 equal", Bytes(255, 9), cat({lit(Bytes(254, 9)), {1, 9}}), {255, 9}},
        {"256 equal", Bytes(256, 9), cat({lit(Bytes(254, 9)), {2, 9}}), cat({{255, 9}, {1, 9}})},
        {"256 different", sequence(256, 30), cat({lit(sequence(254, 30)), {1, 30 + 254 % 200, 1, 30 + 255 % 200}}), {}},
        {"300 different", different,
         cat({lit(Bytes(different.begin(), different.begin() + 254)), lit(Bytes(different.begin() + 254, different.end()))}),
         cat({lit(Bytes(different.begin(), different.begin() + 255)), lit(Bytes(different.begin() + 255, different.end()))})},
        {"two equal, two different", {K, 4, 4, K, 5, 6}, cat({sk(1), {2, 4}, sk(1), {1, 5, 1, 6}}),
         cat({sk(1), {2, 4}, sk(1), {1, 5}, {1, 6}})},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const size_t n = c.row.size();
        const Bytes file = celFile({Bytes(n, K), c.row});
        // A transparent row: literal skips of 127 while more than 127 are
        // left, the rest left to the end of row; repeat-run skips of up to
        // 255 and no zero skip first.
        const Bytes firstLiteral = n > 127 ? cat({sk(127), n > 254 ? sk(127) : Bytes{}, kRow}) : kRow;
        Bytes firstRepeat;
        for (size_t k = n; k > 0; k -= std::min<size_t>(k, 255)) firstRepeat = cat({firstRepeat, sk(std::min<size_t>(k, 255))});
        EXPECT_EQ(bitsOf(literalCel(file)), cat({firstLiteral, sk(0), c.literal, kRow, kEnd}));
        if (!c.repeat.empty()) {
            EXPECT_EQ(bitsOf(repeatCel(file)),
                      cat({firstRepeat, kRow, c.row[0] != K ? sk(0) : Bytes{}, c.repeat, kRow, kEnd}));
        }
    }
    // Rows that start with the key; mirrored rows start from the last pixel;
    // a height of 0 gives no rows.
    EXPECT_EQ(bitsOf(literalCel(celFile({{K, K, 0x10, 0x20, 0x20}}))), cat({sk(0), sk(2), lit({0x10, 0x20, 0x20}), kRow, kEnd}));
    const Bytes backwards = celFile({{K, 1, 2, 3, K, K}});
    EXPECT_EQ(bitsOf(literalCel(backwards, TRUE)), cat({sk(0), sk(2), lit({3, 2, 1}), kRow, kEnd}));
    EXPECT_EQ(bitsOf(repeatCel(backwards, TRUE)), cat({sk(2), lit({3, 2, 1}), sk(1), kRow, kEnd}));
    EXPECT_EQ(bitsOf(literalCel(celFile({}))), kEnd);
    EXPECT_EQ(bitsOf(repeatCel(celFile({}))), kEnd);
}

// Random images with few colours (runs, skips and literals of every length)
// decode back to their pixels, mirrored or not, through both encoders;
// widths past the literal buffer and a zero width included.
TEST(CelEncoders, RoundTripsThroughTheReferenceDecoder)
{
    std::mt19937 rng(7);
    BYTE identity[256];
    std::iota(identity, identity + 256, 0);
    for (int width : {0, 1, 3, 7, 257, 600, 16500})
        for (int colours : {2, 3, 6}) {
            Rows rows(width > 1000 ? 3 : 9, Bytes(static_cast<size_t>(width)));
            for (size_t y = 0; y < rows.size(); y++) {
                const int runLength = 1 + static_cast<int>(rng() % 300);
                BYTE v = 0;
                for (int x = 0; x < width; x++) {
                    if (y % 2 == 0 || x % runLength == 0) v = static_cast<BYTE>(rng() % colours);
                    rows[y][static_cast<size_t>(x)] = static_cast<BYTE>(v * 40);
                }
            }
            for (BOOL mirror : {FALSE, TRUE}) {
                SCOPED_TRACE(std::to_string(width) + " wide, " + std::to_string(colours) + " colours" +
                             (mirror ? ", mirrored" : ""));
                const Bytes file = celFile(rows);
                expectDecodes(literalCel(file, mirror), expectedPixels(rows, identity, mirror));
                expectDecodes(repeatCel(file, mirror), expectedPixels(rows, identity, mirror));
            }
        }
}

TEST(CelEncoders, ColoursMapOntoTheContextPalette)
{
    // The file's colour i is the palette's colour 255 - i; index 8 of the
    // palette is never used, its colour goes to the nearest other entry.
    const Rows rows = {{K, 255 - 8, 1, 2, 3, 250, 251, K}, {0, 1, 255 - 8, 3, 4, 5, 6, 7}};
    std::vector<PALETTEENTRY> palette(256);
    for (int i = 0; i < 256; i++) palette[255 - i] = PALETTEENTRY{kTable[i].rgbRed, kTable[i].rgbGreen, kTable[i].rgbBlue, 0};
    VEKCONTEXT context{};
    setpe(&context, palette.data());
    BYTE map[256];
    for (int i = 0; i < 256; i++) map[i] = static_cast<BYTE>(vekGetNearestColor(&context, &kTable[i]));
    EXPECT_EQ(map[1], 254);
    EXPECT_NE(map[255 - 8], 8);
    for (BOOL mirror : {FALSE, TRUE}) {
        const Bytes file = celFile(rows);
        Record fromFile = literalCel(file, mirror, &context), record = blockOf(file);
        Record fromRecord(reinterpret_cast<BYTE *>(vekDIBToCel(&context, record, mirror)));
        expectDecodes(fromFile, expectedPixels(rows, map, mirror));
        // Both makers give the same cel; the record became its header, all
        // but biSizeImage (at byte 38).
        EXPECT_EQ(bitsOf(fromFile), bitsOf(fromRecord));
        EXPECT_TRUE(std::equal(record.get() + 4, record.get() + 38, fromFile.get() + 4) &&
                    std::equal(record.get() + 42, record.get() + 572, fromFile.get() + 42));
    }
}

TEST(CelEncoders, RefusedInputsAreLeftUntouched)
{
    std::vector<PALETTEENTRY> palette(256);
    VEKCONTEXT context{};
    setpe(&context, palette.data());
    const Bytes good = celFile({{K, 1, 2, 3}});
    struct Case {
        const char *name;
        size_t at;  // a field changed to value, or the size the file is cut to (value 0)
        DWORD value;
        bool repeatRefuses;  // the repeat-run encoder needs only the headers, but all of its rows
    } cases[] = {
        {"4-bit", 28, 4, true},
        {"two planes", 26, 2, true},
        {"RLE8", 30, BI_RLE8, true},
        {"offset past the end", 10, 5000, true},
        {"offset inside the colour table", 10, 600, false},
        {"huge width", 18, 30000, true},
        {"more rows than the file holds", 22, 2, true},
        {"short file", good.size() - 1, 0, false},
        {"empty file", 0, 0, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file = good;
        if (c.value) {
            if (c.at == 26 || c.at == 28) put16(file.data(), c.at, static_cast<WORD>(c.value));
            else put32(file.data(), c.at, c.value);
        } else {
            file.resize(c.at);
        }
        EXPECT_TRUE(writeFileBytes(kPath, file));
        EXPECT_EQ(vekLoadCel(&context, kPath.c_str(), FALSE), VEK_CEL_BAD_FORMAT);
        Record record = blockOf(file);
        const Bytes before = record.bytes();
        EXPECT_EQ(vekDIBToCel(&context, record, FALSE), VEK_CEL_BAD_FORMAT);
        EXPECT_EQ(record.bytes(), before);
        if (c.repeatRefuses) {
            EXPECT_EQ(vekPalDIBToCel(record, FALSE, 0), VEK_CEL_BAD_FORMAT);
        }
    }
    EXPECT_EQ(vekLoadCel(&context, tempPath("vekkit-no-such-file.bmp").c_str(), FALSE), VEK_CEL_NO_FILE);
    EXPECT_EQ(vekDIBToCel(&context, nullptr, FALSE), VEK_CEL_BAD_FORMAT);
    EXPECT_EQ(vekPalDIBToCel(nullptr, FALSE, 0), VEK_CEL_BAD_FORMAT);
    DeleteFileA(kPath.c_str());
}

// vektool font: converts a BDF font (Glyph Bitmap Distribution Format 2.1)
// into a raster font file of version 3.00, the form gfxLoadFont reads.
//   vektool font input.bdf -o output.fnt
//
// The glyphs of codes 0 to 255 (BDF encodings in that range) are taken. Every
// glyph becomes a cell as wide as its advance (DWIDTH) and as high as the
// font (FONT_ASCENT + FONT_DESCENT, else the font bounding box), with its
// baseline FONT_ASCENT rows below the top; ink that a glyph's bounding box
// puts outside its cell is dropped, as a raster font has no bearings. Codes
// between the first and last one without a glyph of their own share the
// default character's glyph.
//
// Output layout (little-endian):
//   0    148-byte header: version 0x0300, file size, copyright, metrics,
//        first/last/default/break characters (the default and break
//        characters counted from the first), face name offset, offset of
//        the first glyph bitmap, DFF_FIXED or DFF_PROPORTIONAL
//   148  character table, 6 bytes for each code first..last and one closing
//        entry: u16 width, u32 offset of the glyph bitmap
//        face name, zero-terminated
//        glyph bitmaps: ceil(width / 8) column strips of height bytes, one
//        byte per row from the top, bit 7 leftmost; the closing entry's
//        blank glyph last
#include "commands.h"
#include "failure.h"
#include "input_file.h"
#include "output_file.h"

#include "common/le.h"

#include <CLI/CLI.hpp>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace vektool {
namespace {

constexpr int kMaxCell = 1024;  // widths and heights beyond this are refused as damage

struct BdfGlyph {
    int advance = -1;  // DWIDTH x, -1 when the glyph has none
    int boxWidth = 0, boxHeight = 0, boxX = 0, boxY = 0;
    std::vector<std::vector<uint8_t>> rows;  // BITMAP rows, as bytes
};

struct BdfFont {
    int boxWidth = 0, boxHeight = 0, boxX = 0, boxY = 0;  // FONTBOUNDINGBOX
    int defaultAdvance = -1;                              // a global DWIDTH
    std::map<std::string, std::string> properties;
    std::map<int, BdfGlyph> glyphs;  // by code 0..255
};

// The file being converted, named in failures.
std::string source;

[[noreturn]] void fail(const std::string &message) { throw Failure(source, message); }

// A property value without the quotes of a string property.
std::string unquote(std::string value)
{
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    return value;
}

std::optional<int> intProperty(const BdfFont &font, const std::string &name)
{
    const auto it = font.properties.find(name);
    if (it == font.properties.end()) return std::nullopt;
    try {
        return std::stoi(it->second);
    } catch (...) {
        return std::nullopt;
    }
}

std::string stringProperty(const BdfFont &font, const std::string &name)
{
    const auto it = font.properties.find(name);
    return it == font.properties.end() ? std::string() : unquote(it->second);
}

std::vector<uint8_t> hexRow(const std::string &line, int lineNumber)
{
    if (line.size() % 2) fail("line " + std::to_string(lineNumber) + ": odd number of hex digits");
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < line.size(); i += 2) {
        char *end = nullptr;
        const std::string pair = line.substr(i, 2);
        const long v = std::strtol(pair.c_str(), &end, 16);
        if (*end) fail("line " + std::to_string(lineNumber) + ": not a hex row");
        bytes.push_back(static_cast<uint8_t>(v));
    }
    return bytes;
}

BdfFont readBdf(const std::vector<uint8_t> &bytes)
{
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    BdfFont font;
    std::string line;
    int lineNumber = 0;
    bool inProperties = false;
    std::optional<BdfGlyph> glyph;
    int code = -1;
    int bitmapRowsLeft = -1;  // rows still to read after BITMAP, -1 outside one

    while (std::getline(in, line)) {
        lineNumber++;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (bitmapRowsLeft > 0) {
            glyph->rows.push_back(hexRow(line, lineNumber));
            bitmapRowsLeft--;
            continue;
        }
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (keyword.empty() || keyword == "COMMENT") continue;
        if (inProperties) {
            if (keyword == "ENDPROPERTIES") {
                inProperties = false;
            } else {
                std::string value;
                std::getline(words >> std::ws, value);
                font.properties[keyword] = value;
            }
            continue;
        }
        if (keyword == "STARTPROPERTIES") {
            inProperties = true;
        } else if (keyword == "FONTBOUNDINGBOX") {
            words >> font.boxWidth >> font.boxHeight >> font.boxX >> font.boxY;
        } else if (keyword == "STARTCHAR") {
            glyph = BdfGlyph{};
            glyph->advance = font.defaultAdvance;
            code = -1;
        } else if (keyword == "DWIDTH") {
            int advance = -1;
            words >> advance;
            (glyph ? glyph->advance : font.defaultAdvance) = advance;
        } else if (glyph && keyword == "ENCODING") {
            words >> code;
        } else if (glyph && keyword == "BBX") {
            words >> glyph->boxWidth >> glyph->boxHeight >> glyph->boxX >> glyph->boxY;
            if (glyph->boxWidth < 0 || glyph->boxHeight < 0 || glyph->boxWidth > kMaxCell ||
                glyph->boxHeight > kMaxCell)
                fail("line " + std::to_string(lineNumber) + ": bad BBX");
        } else if (glyph && keyword == "BITMAP") {
            bitmapRowsLeft = glyph->boxHeight;
        } else if (glyph && keyword == "ENDCHAR") {
            if (bitmapRowsLeft > 0) fail("line " + std::to_string(lineNumber) + ": bitmap rows missing");
            if (code >= 0 && code <= 255) font.glyphs[code] = *glyph;
            glyph.reset();
            bitmapRowsLeft = -1;
        }
    }
    if (glyph) fail("the file ends inside a glyph");
    return font;
}

// A glyph drawn into its cell, as the column strips of the output.
struct Cell {
    int width = 0;
    std::vector<uint8_t> strips;
};

Cell makeCell(const BdfGlyph &g, int height, int ascent)
{
    Cell cell;
    cell.width = g.advance >= 0 ? g.advance : g.boxWidth + (g.boxX > 0 ? g.boxX : 0);
    if (cell.width < 0 || cell.width > kMaxCell) fail("glyph advance outside 0.." + std::to_string(kMaxCell));
    cell.strips.assign(static_cast<size_t>((cell.width + 7) / 8) * height, 0);
    // Box row i lies boxY + boxHeight - 1 - i above the baseline.
    for (int i = 0; i < static_cast<int>(g.rows.size()); i++) {
        const int row = ascent - (g.boxY + g.boxHeight - i);
        if (row < 0 || row >= height) continue;
        for (int j = 0; j < g.boxWidth && j / 8 < static_cast<int>(g.rows[i].size()); j++) {
            if (!(g.rows[i][j / 8] & (0x80 >> (j % 8)))) continue;
            const int column = g.boxX + j;
            if (column < 0 || column >= cell.width) continue;
            cell.strips[static_cast<size_t>(column / 8) * height + row] |= static_cast<uint8_t>(0x80 >> (column % 8));
        }
    }
    return cell;
}

std::vector<uint8_t> makeFnt(const BdfFont &font)
{
    if (font.glyphs.empty()) fail("no glyphs with codes 0 to 255");
    const int ascent = intProperty(font, "FONT_ASCENT").value_or(font.boxHeight + font.boxY);
    const int descent = intProperty(font, "FONT_DESCENT").value_or(-font.boxY);
    const int height = ascent + descent;
    if (height < 1 || height > kMaxCell || ascent < 0 || descent < 0) fail("bad font ascent or descent");

    const int first = font.glyphs.begin()->first;
    const int last = font.glyphs.rbegin()->first;
    int defaultCode = intProperty(font, "DEFAULT_CHAR").value_or(-1);
    if (!font.glyphs.count(defaultCode)) defaultCode = font.glyphs.count('?') ? '?' : first;

    std::map<int, Cell> cells;
    int maxWidth = 0, totalWidth = 0;
    bool fixed = true;
    for (const auto &[code, glyph] : font.glyphs) {
        Cell cell = makeCell(glyph, height, ascent);
        if (!cells.empty() && cell.width != cells.begin()->second.width) fixed = false;
        if (cell.width > maxWidth) maxWidth = cell.width;
        totalWidth += cell.width;
        cells.emplace(code, std::move(cell));
    }
    const int avgWidth = cells.count('x') ? cells['x'].width : totalWidth / static_cast<int>(cells.size());

    const size_t entries = static_cast<size_t>(last - first) + 2;
    const std::string face = stringProperty(font, "FAMILY_NAME").empty() ? "BDF font" : stringProperty(font, "FAMILY_NAME");
    std::vector<uint8_t> out(148 + 6 * entries);
    const size_t faceOffset = out.size();
    out.insert(out.end(), face.begin(), face.end());
    out.push_back(0);
    const size_t bitsOffset = out.size();

    // Each glyph's bitmap once; codes without one point at the default's.
    std::map<int, std::pair<int, uint32_t>> placed;  // code -> width, offset
    for (const auto &[code, cell] : cells) {
        placed[code] = {cell.width, static_cast<uint32_t>(out.size())};
        out.insert(out.end(), cell.strips.begin(), cell.strips.end());
    }
    const uint32_t blankOffset = static_cast<uint32_t>(out.size());
    out.resize(out.size() + static_cast<size_t>((avgWidth + 7) / 8) * height, 0);

    unsigned widthBytes = 0;
    for (int code = first; code <= last; code++) {
        const auto it = placed.find(code);
        const auto [width, offset] = it != placed.end() ? it->second : placed[defaultCode];
        const size_t at = 148 + 6 * static_cast<size_t>(code - first);
        vek::put16(out.data(), at, static_cast<unsigned>(width));
        vek::put32(out.data(), at + 2, offset);
        widthBytes += static_cast<unsigned>((width + 7) / 8);
    }
    vek::put16(out.data(), 148 + 6 * (entries - 1), static_cast<unsigned>(avgWidth));
    vek::put32(out.data(), 148 + 6 * (entries - 1) + 2, blankOffset);

    const std::string copyright = stringProperty(font, "COPYRIGHT");
    const std::string weight = stringProperty(font, "WEIGHT_NAME");
    const std::string slant = stringProperty(font, "SLANT");
    const std::string registry = stringProperty(font, "CHARSET_REGISTRY");
    const std::string encoding = stringProperty(font, "CHARSET_ENCODING");
    const int pixelSize = intProperty(font, "PIXEL_SIZE").value_or(height);

    vek::put16(out.data(), 0, 0x0300);
    vek::put32(out.data(), 2, static_cast<uint32_t>(out.size()));
    for (size_t i = 0; i < copyright.size() && i < 59; i++) out[6 + i] = static_cast<uint8_t>(copyright[i]);
    vek::put16(out.data(), 66, 0);  // raster font
    vek::put16(out.data(), 68, static_cast<unsigned>(intProperty(font, "POINT_SIZE").value_or(pixelSize * 10) / 10));
    vek::put16(out.data(), 70, static_cast<unsigned>(intProperty(font, "RESOLUTION_Y").value_or(96)));
    vek::put16(out.data(), 72, static_cast<unsigned>(intProperty(font, "RESOLUTION_X").value_or(96)));
    vek::put16(out.data(), 74, static_cast<unsigned>(ascent));
    vek::put16(out.data(), 76, static_cast<unsigned>(height > pixelSize ? height - pixelSize : 0));  // internal leading
    out[80] = slant == "I" || slant == "O";
    vek::put16(out.data(), 83, weight == "Bold" ? 700 : 400);
    // ANSI for Latin-1 and Unicode fonts (their first 256 codes), OEM otherwise.
    out[85] = (registry == "ISO8859" && encoding == "1") || registry == "ISO10646" ? 0 : 255;
    vek::put16(out.data(), 86, fixed ? static_cast<unsigned>(maxWidth) : 0);
    vek::put16(out.data(), 88, static_cast<unsigned>(height));
    out[90] = fixed ? 0x30 : 0x21;  // FF_MODERN fixed pitch, or FF_SWISS with the variable-pitch bit
    vek::put16(out.data(), 91, static_cast<unsigned>(avgWidth));
    vek::put16(out.data(), 93, static_cast<unsigned>(maxWidth));
    out[95] = static_cast<uint8_t>(first);
    out[96] = static_cast<uint8_t>(last);
    out[97] = static_cast<uint8_t>(defaultCode - first);
    out[98] = static_cast<uint8_t>(font.glyphs.count(' ') ? ' ' - first : 0);
    vek::put16(out.data(), 99, (widthBytes + 1) & ~1u);
    vek::put32(out.data(), 105, static_cast<uint32_t>(faceOffset));
    vek::put32(out.data(), 113, static_cast<uint32_t>(bitsOffset));
    vek::put32(out.data(), 118, fixed ? 1 : 2);  // DFF_FIXED or DFF_PROPORTIONAL
    return out;
}

}  // namespace

void addFontCommand(CLI::App &app)
{
    struct Options {
        std::string input, output;
    };
    auto o = std::make_shared<Options>();
    auto *command = app.add_subcommand("font", "Convert a BDF font into a raster font file (FNT 3.00)");
    command->add_option("input", o->input, "BDF font, - for standard input")->required();
    command->add_option("-o,--output", o->output, "raster font file to write, - for standard output")->required();
    command->callback([o] {
        source = o->input == "-" ? "standard input" : o->input;
        writeWholeFile(o->output, makeFnt(readBdf(readWholeFile(o->input))));
    });
}

}  // namespace vektool

// vektool text: a string drawn with a raster font by the library
// (gfxTextOutToDIB), as a PNG file, to see a font.
//   vektool text FONT.fnt STRING -o OUT.png [--colour C] [--background C|none]
//                [--margin PIXELS]
//
// The picture is as wide as the library measures the string
// (gfxGetTextExtentFont) and as high as the font, plus the margin all round;
// its palette holds the background at index 0 and the ink at index 1.
#include "commands.h"
#include "failure.h"
#include "fnt_file.h"
#include "input_file.h"
#include "output_file.h"
#include "pal_file.h"
#include "png_io.h"
#include "shared_options.h"
#include "sprite_record.h"

#include <CLI/CLI.hpp>

#include <memory>

namespace vektool {
namespace {

struct Options {
    std::string font, text, output, colour = "#000000", background = "#ffffff";
    int margin = 2;
};

class LoadedFont {
public:
    LoadedFont(const std::string &path, const std::string &shownAs) : font_(gfxLoadFont(path.c_str()))
    {
        if (!font_) throw Failure(shownAs, "the library cannot load the font");
    }
    ~LoadedFont() { gfxFreeFont(font_); }
    LoadedFont(const LoadedFont &) = delete;
    LoadedFont &operator=(const LoadedFont &) = delete;
    HGLOBAL get() const { return font_; }

private:
    HGLOBAL font_;
};

Rgb colourArgument(const std::string &text, const char *option)
{
    const std::optional<Rgb> c = parseColour(text);
    if (!c) throw UsageError(std::string("text: ") + option + ": give a colour #rrggbb or r,g,b, not '" + text + "'");
    return *c;
}

void run(const Options &o)
{
    if (o.text.empty()) throw UsageError("text: the string is empty");
    const bool clear = o.background == "none";
    Palette palette{};
    palette[0] = clear ? Rgb{} : colourArgument(o.background, "--background");
    palette[1] = colourArgument(o.colour, "--colour");

    const std::string shownAs = inputName(o.font);
    const LocalFile local(o.font);
    if (readFntHeader(readWholeFile(local.path()), shownAs).version != 0x0300)
        throw Failure(shownAs, "the library draws raster fonts of version 3.00 only");
    const LoadedFont font(local.path(), shownAs);
    // Measured a character at a time: the library gives the width of a
    // whole string modulo 65536.
    int64_t width = 0;
    for (char c : o.text) width += gfxGetTextExtentFont(font.get(), &c, 1) & 0xFFFF;
    const int64_t height = gfxGetTextExtentFont(font.get(), o.text.c_str(), 1) >> 16;
    if (width == 0 || height == 0) throw Failure(shownAs, "the font draws nothing of this string");
    const int64_t w = width + 2 * o.margin, h = height + 2 * o.margin;
    if (w > kMaxSide || h > kMaxSide) throw Failure(shownAs, "the picture would be wider or higher than 32767 pixels");

    const Picture picture = drawnPicture(
        static_cast<LONG>(w), static_cast<LONG>(h), clear ? std::nullopt : std::optional<uint8_t>(0),
        [&](HSPRITEDATA canvas) {
            return gfxTextOutToDIB(canvas, font.get(), 1, 0, o.margin, o.margin, o.text.c_str(), -1) != 0;
        },
        palette, shownAs);
    OutputFile out(o.output);
    writePng(out.path(), outputName(o.output), picture);
    out.commit();
}

}  // namespace

void addTextCommand(CLI::App &app)
{
    auto o = std::make_shared<Options>();
    auto *command = app.add_subcommand("text", "Draw a string with a raster font into a PNG file");
    command->add_option("font", o->font, "raster font file (FNT 3.00), - for standard input")->required();
    command->add_option("string", o->text, "the text to draw")->required();
    command->add_option("-o,--output", o->output, "PNG file to write, - for standard output")->required();
    command->add_option("--colour", o->colour, "ink colour, #rrggbb or r,g,b")->capture_default_str();
    command->add_option("--background", o->background, "background colour, or none for transparent")
        ->capture_default_str();
    command->add_option("--margin", o->margin, "pixels around the text")->capture_default_str()->check(CLI::Range(0, 1024));
    command->callback([o] { run(*o); });
}

}  // namespace vektool

// vektool sprite: PNG and bitmap files into one object file of sprite image
// records, one object per image (and per mirrored copy), in order.
//   vektool sprite IMAGE... -o OUT.obj [--rle] [--palette FILE] [--dither]
//                  [--transparent INDEX|#rrggbb|r,g,b] [--mirror]
//                  [--store auto|none|lzss|bits|bits4]
//
// Colours go onto the palette (--palette, else the first image's own):
// images in that palette keep their indices, others are matched by the
// library, colour by colour or dithered. Raw images are plain records; RLE
// images are cels, whose transparent pixels the blitter skips. Objects carry
// headers and the storage method asked for, or the one that gives the
// shortest object the library reads back as it was.
#include "colour_match.h"
#include "commands.h"
#include "failure.h"
#include "input_file.h"
#include "output_file.h"
#include "pal_file.h"
#include "progress.h"
#include "shared_options.h"
#include "sprite_record.h"
#include "store_method.h"

#include <CLI/CLI.hpp>

#include <memory>

namespace vektool {
namespace {

struct Options {
    std::vector<std::string> inputs;
    std::string output, palette, transparent;
    bool rle = false, dither = false, mirror = false;
    Store store = Store::Auto;
};

// The transparent colour argument: an index, or a colour.
void parseTransparent(const std::string &text, MatchOptions &m)
{
    if (text.empty()) return;
    if (text.find_first_not_of("0123456789") == std::string::npos && text.size() <= 3 && std::stoi(text) < 256) {
        m.transparentIndex = std::stoi(text);
        return;
    }
    m.transparentColour = parseColour(text);
    if (!m.transparentColour)
        throw UsageError("--transparent: give an index 0 to 255, a colour #rrggbb or r,g,b, not '" + text + "'");
}

void run(const Options &o)
{
    MatchOptions m;
    m.dither = o.dither;
    m.needKey = o.rle;
    parseTransparent(o.transparent, m);
    bool havePalette = !o.palette.empty();
    if (havePalette) m.palette = readPaletteFile(o.palette);

    OutputFile out(o.output);
    FileHandle file = FileHandle::create(out.path(), outputName(o.output));
    ObjectWriter writer;
    Progress progress("sprite", o.inputs.size());
    for (size_t i = 0; i < o.inputs.size(); i++) {
        const std::string &input = o.inputs[i];
        const std::string shownAs = inputName(input);
        const Picture picture = readPicture(readWholeFile(input), shownAs);
        if (!havePalette) {
            m.palette = paletteOf(picture, shownAs);
            havePalette = true;
        }
        const IndexedImage image = matchColours(picture, m, shownAs);
        for (bool mirrored : {false, true}) {
            if (mirrored && !o.mirror) break;
            Block record = o.rle ? makeCel(image, mirrored, shownAs) : makeRawRecord(image, mirrored);
            if (!record) throw Failure(shownAs, "out of memory");
            writer.write(file, record.get(), o.store, shownAs);
        }
        progress.update(i + 1);
    }
    file.close(outputName(o.output));
    out.commit();
}

}  // namespace

void addSpriteCommand(CLI::App &app)
{
    auto o = std::make_shared<Options>();
    auto *command = app.add_subcommand("sprite", "Make an object file of sprite images from PNG and bitmap files");
    command->add_option("images", o->inputs, "PNG or bitmap files, - for standard input")->required();
    command->add_option("-o,--output", o->output, "object file to write, - for standard output")->required();
    command->add_flag("--rle", o->rle, "make run-length encoded images (cels) whose transparent pixels are skipped");
    command->add_option("--palette", o->palette,
                        "palette of the sprite images: a PNG, bitmap, JASC or RIFF palette file "
                        "(default: the first image's own)");
    command->add_flag("--dither", o->dither, "dither colours the palette does not hold, along each row");
    command->add_option("--transparent", o->transparent,
                        "transparent colour: an index of the image's palette, #rrggbb or r,g,b "
                        "(pixels of alpha below 128 are always transparent)");
    command->add_flag("--mirror", o->mirror, "write each image's mirrored copy after it");
    command->add_option("--store", o->store, "storage method: auto (the shortest that loads back), none, lzss, "
                                             "bits or bits4")
        ->transform(CLI::CheckedTransformer(storeNames(), CLI::ignore_case))
        ->option_text("METHOD");
    command->callback([o] { run(*o); });
}

}  // namespace vektool

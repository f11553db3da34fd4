// vektool render: the sprite images of an object file drawn by the library
// onto one sheet, a PNG file, to see a whole file at once.
//   vektool render FILE.obj -o SHEET.png [--palette FILE] [--columns N]
//                  [--gap PIXELS] [--background INDEX] [--mirrored]
//                  [--bare | --header]
//
// Images go left to right and top to bottom into cells as large as the
// largest image, in the file's order; objects that are not sprite images
// are passed over. The sheet is transparent where no image draws, unless a
// background index is given. --mirrored draws every image mirrored, as the
// blit dispatch draws a mirror-enabled image for a mirrored sprite.
#include "commands.h"
#include "failure.h"
#include "input_file.h"
#include "object_file.h"
#include "output_file.h"
#include "pal_file.h"
#include "png_io.h"
#include "shared_options.h"
#include "sprite_record.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <memory>

namespace vektool {
namespace {

struct Options {
    std::string input, output, palette;
    int columns = 0, gap = 2, background = -1;
    bool mirrored = false;
    LayoutFlags layout;
};

struct Placed {
    Block image;
    RecordInfo info;
};

void run(const Options &o)
{
    const std::string shownAs = inputName(o.input);
    const LocalFile local(o.input);
    const ObjectFile file(local.path(), shownAs, o.layout.layout());
    const Palette palette = o.palette.empty() ? defaultPalette() : readPaletteFile(o.palette);

    std::vector<Placed> images;
    LONG cellW = 0, cellH = 0;
    for (size_t i = 0; i < file.objects().size(); i++) {
        Block block = file.load(i);
        if (!block) throw Failure(shownAs, "object " + std::to_string(i) + " does not load");
        const RecordInfo info = inspectRecord(block.get(), blockLength(block.get()));
        if (info.kind != RecordKind::RawImage && info.kind != RecordKind::RleImage) continue;
        cellW = std::max(cellW, info.width);
        cellH = std::max(cellH, info.height);
        images.push_back(Placed{std::move(block), info});
    }
    if (images.empty()) throw Failure(shownAs, "holds no sprite images");
    const LONG n = static_cast<LONG>(images.size());
    const LONG columns = o.columns > 0 ? std::min<LONG>(o.columns, n) : static_cast<LONG>(std::ceil(std::sqrt(n)));
    const LONG rows = (n + columns - 1) / columns;
    const int64_t width = int64_t{columns} * (cellW + o.gap) - o.gap, height = int64_t{rows} * (cellH + o.gap) - o.gap;
    if (width > kMaxSide || height > kMaxSide || uint64_t(width) * uint64_t(height) > kMaxPixels)
        throw Failure(shownAs, "the sheet would be " + std::to_string(width) + " x " + std::to_string(height) +
                                   " pixels: give fewer --columns or a smaller --gap");

    const std::optional<uint8_t> background =
        o.background >= 0 ? std::optional(static_cast<uint8_t>(o.background)) : std::nullopt;
    const Picture sheet = drawnPicture(
        static_cast<LONG>(width), static_cast<LONG>(height), background,
        [&](HSPRITEDATA canvas) {
            for (LONG i = 0; i < n; i++) {
                const RecordInfo &info = images[static_cast<size_t>(i)].info;
                const LONG x = i % columns * (cellW + o.gap), y = i / columns * (cellH + o.gap);
                if (vekSpriteBltEx(nullptr, canvas, x, y, info.width, info.height,
                                   images[static_cast<size_t>(i)].image.get(), 0, 0, o.mirrored) == 0)
                    return false;
            }
            return true;
        },
        palette, shownAs);
    OutputFile out(o.output);
    writePng(out.path(), outputName(o.output), sheet);
    out.commit();
}

}  // namespace

void addRenderCommand(CLI::App &app)
{
    auto o = std::make_shared<Options>();
    auto *command = app.add_subcommand("render", "Draw the sprite images of an object file onto one PNG sheet");
    command->add_option("file", o->input, "object file, - for standard input")->required();
    command->add_option("-o,--output", o->output, "PNG file to write, - for standard output")->required();
    command->add_option("--palette", o->palette,
                        "palette to show images through (default: the static colours, a colour cube and greys)");
    command->add_option("--columns", o->columns, "images per row (default: about the square root of their number)")
        ->check(CLI::Range(1, kMaxSide));
    command->add_option("--gap", o->gap, "pixels between images")->capture_default_str()->check(CLI::Range(0, 256));
    command->add_option("--background", o->background, "palette index under the images (default: transparent)")
        ->check(CLI::Range(0, 255));
    command->add_flag("--mirrored", o->mirrored, "draw mirror-enabled images mirrored");
    addLayoutFlags(*command, o->layout);
    command->callback([o] { run(*o); });
}

}  // namespace vektool

// vektool res: a .res file of bitmap resources, which a program built on
// the library loads with its resource calls (vekLoadBitmap,
// vekLoadSpriteData) once the file is its module's resources.
//   vektool res IMAGE|ID=IMAGE... -o OUT.res [--store lzss|none] [--first-id N]
//
// Each image becomes the resource with the number given before it, or else
// the number after the last one (the first: --first-id). Bitmap files go in
// as they are; PNG files become 8-bit bitmap files (palette images keep
// their palette, others need at most 256 colours). --store lzss (the
// default) makes compressed bitmap resources of type "VORTLBMP", the
// library's own; --store none makes standard bitmap resources (type 2, the
// bitmap file without its 14-byte file header).
#include "bitmap_file.h"
#include "bitmap_resources.h"
#include "colour_match.h"
#include "commands.h"
#include "failure.h"
#include "input_file.h"
#include "lzss_codec.h"
#include "output_file.h"
#include "pal_file.h"
#include "progress.h"
#include "res_file.h"
#include "shared_options.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <set>

namespace vektool {
namespace {

constexpr uint16_t kStandardBitmap = 2;
constexpr size_t kBitmapFileHeader = 14;

struct Options {
    std::vector<std::string> inputs;
    std::string output, store = "lzss";
    unsigned firstId = 1;
};

// An 8-bit bitmap file of a PNG file's picture.
std::vector<uint8_t> bitmapOfPng(const std::vector<uint8_t> &bytes, const std::string &shownAs)
{
    Picture picture = readPicture(bytes, shownAs);
    if (!picture.indexed) {
        MatchOptions m;
        m.palette = paletteOf(picture, shownAs);
        m.ignoreAlpha = true;
        const IndexedImage image = matchColours(picture, m, shownAs);
        picture.indexed = true;
        picture.palette = m.palette;
        picture.pixels = image.pixels;
    }
    return bitmapFileOf(picture);
}

void run(const Options &o)
{
    std::vector<Resource> resources;
    std::set<unsigned> ids;
    unsigned next = o.firstId;
    Progress progress("res", o.inputs.size());
    for (const std::string &argument : o.inputs) {
        std::string path = argument;
        unsigned id = next;
        if (const size_t equals = argument.find('='); equals != std::string::npos && equals > 0 &&
                                                      argument.find_first_not_of("0123456789") == equals) {
            id = static_cast<unsigned>(std::stoul(argument.substr(0, equals)));
            path = argument.substr(equals + 1);
        }
        if (id == 0 || id > 0xFFFF) throw UsageError("res: resource numbers go from 1 to 65535: " + argument);
        if (!ids.insert(id).second) throw UsageError("res: resource number " + std::to_string(id) + " given twice");
        next = id + 1;
        const std::string shownAs = inputName(path);
        std::vector<uint8_t> bitmap = readWholeFile(path);
        if (pictureType(bitmap) == PictureType::Png)
            bitmap = bitmapOfPng(bitmap, shownAs);
        else
            readBitmapFile(bitmap, shownAs);  // refuses what the library could not show
        Resource r;
        r.name.number = static_cast<uint16_t>(id);
        if (o.store == "lzss") {
            r.type.isText = true;
            r.type.text = kBitmapResourceType;
            r.data = compressedFileOf(bitmap, shownAs);
        } else {
            r.type.number = kStandardBitmap;
            r.data.assign(bitmap.begin() + kBitmapFileHeader, bitmap.end());
        }
        resources.push_back(std::move(r));
        progress.update(resources.size());
    }
    writeWholeFile(o.output, resFileOf(resources));
}

}  // namespace

void addResCommand(CLI::App &app)
{
    auto o = std::make_shared<Options>();
    auto *command = app.add_subcommand("res", "Make a .res file of bitmap resources from bitmap and PNG files");
    command->add_option("images", o->inputs, "bitmap or PNG files, each optionally NUMBER=FILE")->required();
    command->add_option("-o,--output", o->output, ".res file to write, - for standard output")->required();
    command->add_option("--store", o->store, "lzss: compressed \"VORTLBMP\" resources; none: standard bitmaps")
        ->capture_default_str()
        ->check(CLI::IsMember({"lzss", "none"}));
    command->add_option("--first-id", o->firstId, "number of the first resource without one of its own")
        ->capture_default_str()
        ->check(CLI::Range(1u, 65535u));
    command->callback([o] { run(*o); });
}

}  // namespace vektool

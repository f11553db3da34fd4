// vektool extract: the contents of an object file or a .res file as files.
//   vektool extract FILE [-o FOLDER] [--palette FILE] [--rate HZ] [--bare | --header]
//
// Objects become NAME-NNN.png (sprite images, drawn through the palette by
// the library; the transparent pixels of RLE images are transparent),
// NAME-NNN.wav (sounds) or NAME-NNN.bin (other blocks), NAME being the
// file's name without its extension and NNN the object's place. The
// compressed bitmaps of a .res file become NAME-ID.bmp, loaded through the
// library's resource calls; its other resources NAME-TYPE-ID.bin.
#include "bitmap_resources.h"
#include "commands.h"
#include "failure.h"
#include "input_file.h"
#include "object_file.h"
#include "output_file.h"
#include "pal_file.h"
#include "png_io.h"
#include "progress.h"
#include "res_file.h"
#include "shared_options.h"
#include "sprite_record.h"
#include "wav_file.h"

#include <CLI/CLI.hpp>

#include <memory>

namespace vektool {
namespace {

struct Options {
    std::string input, folder = ".", palette;
    unsigned rate = 11025;
    LayoutFlags layout;
};

void extractObjects(const std::string &path, const std::string &shownAs, const std::string &stem, const Options &o)
{
    const ObjectFile file(path, shownAs, o.layout.layout());
    const Palette palette = o.palette.empty() ? defaultPalette() : readPaletteFile(o.palette);
    OutputFolder folder(o.folder);
    const size_t count = file.objects().size();
    Progress progress("extract", count);
    for (size_t i = 0; i < count; i++) {
        Block block = file.load(i);
        if (!block) throw Failure(shownAs, "object " + std::to_string(i) + " does not load");
        const DWORD length = blockLength(block.get());
        const RecordInfo info = inspectRecord(block.get(), length);
        if (info.kind == RecordKind::RawImage || info.kind == RecordKind::RleImage) {
            OutputFile out(folder.pathOf(objectName(stem, i, count, ".png")));
            writePng(out.path(), out.target(), pictureOf(block.get(), info, palette, shownAs));
            folder.commit(out);
        } else {
            const bool sound = info.kind == RecordKind::Other && isSound(file.objects()[i].method, block.get(), length);
            folder.write(objectName(stem, i, count, sound ? ".wav" : ".bin"),
                         sound ? waveFileOf(block.get(), length, o.rate)
                               : std::vector<uint8_t>(block.get(), block.get() + length));
        }
        progress.update(i + 1);
    }
    folder.keep();
}

void extractResources(const std::string &path, const std::vector<uint8_t> &bytes, const std::string &shownAs,
                      const std::string &stem, const Options &o)
{
    const std::vector<ResourceEntry> entries = readResFile(bytes, shownAs);
    const AttachedResources attached(path, shownAs);
    OutputFolder folder(o.folder);
    for (const ResourceEntry &e : entries) {
        const std::string id = e.name.isText ? e.name.text : std::to_string(e.name.number);
        if (e.type.isText && e.type.text == kBitmapResourceType && !e.name.isText) {
            folder.write(stem + "-" + id + ".bmp", attached.bitmap(e.name.number));
            continue;
        }
        const std::string type = e.type.isText ? e.type.text : std::to_string(e.type.number);
        const auto data = bytes.begin() + static_cast<ptrdiff_t>(e.offset);
        folder.write(stem + "-" + type + "-" + id + ".bin",
                     std::vector<uint8_t>(data, data + static_cast<ptrdiff_t>(e.size)));
    }
    folder.keep();
}

}  // namespace

void addExtractCommand(CLI::App &app)
{
    auto o = std::make_shared<Options>();
    auto *command = app.add_subcommand("extract", "Write the objects of an object file (or the resources of a "
                                                  ".res file) as PNG, WAV and other files");
    command->add_option("file", o->input, "object file or .res file, - for standard input")->required();
    command->add_option("-o,--output", o->folder, "folder to write into (made when missing)")->capture_default_str();
    command->add_option("--palette", o->palette,
                        "palette to show images through: a PNG, bitmap, JASC or RIFF palette file "
                        "(default: the static colours, a colour cube and greys)");
    command->add_option("--rate", o->rate, "samples per second of sounds without a WAV header")
        ->capture_default_str()
        ->check(CLI::Range(1000u, 192000u));
    addLayoutFlags(*command, o->layout);
    command->callback([o] {
        const std::string shownAs = inputName(o->input), stem = stemOf(o->input);
        const LocalFile local(o->input);
        const std::vector<uint8_t> bytes = readWholeFile(local.path());
        if (looksLikeResFile(bytes))
            extractResources(local.path(), bytes, shownAs, stem, *o);
        else
            extractObjects(local.path(), shownAs, stem, *o);
    });
}

}  // namespace vektool

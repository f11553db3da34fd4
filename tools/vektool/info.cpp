// vektool info: what each file is and what it holds.
//   vektool info FILE... [--json] [--bare | --header]
//
// Object files list each object (offset, storage method, stored and expanded
// length, and what the expanded block is: a raw, RLE or DD sprite image with
// its size and flags, a composite image, a sound, other data). Also known:
// PNG and bitmap files, raster fonts, .res files (with the images of their
// compressed bitmaps, loaded through the library), MIDI files and files
// compressed by vektool lzss.
#include "bitmap_file.h"
#include "bitmap_resources.h"
#include "commands.h"
#include "failure.h"
#include "fnt_file.h"
#include "input_file.h"
#include "lzss_codec.h"
#include "midi_info.h"
#include "object_file.h"
#include "png_io.h"
#include "report.h"
#include "res_file.h"
#include "shared_options.h"
#include "wav_file.h"

#include <CLI/CLI.hpp>

#include "common/le.h"

#include <cstdio>
#include <memory>

namespace vektool {
namespace {

struct Options {
    std::vector<std::string> files;
    bool json = false;
    LayoutFlags layout;
};

// One object: as stored, and what its expanded block holds. Sets damaged
// when the library cannot load an object it should.
Report describeObject(const ObjectFile &file, size_t index, bool &damaged)
{
    const StoredObject &o = file.objects()[index];
    Report row;
    row.add("#", index).add("offset", o.offset).add("method", methodName(o.method)).add("stored", o.stored).add("total", o.total);
    if (o.method == STORE_RESERVED_2) return row.add("content", "header only");
    Block block = file.load(index);
    if (!block) {
        damaged = true;
        return row.add("content", "damaged");
    }
    const DWORD length = blockLength(block.get());
    const RecordInfo info = inspectRecord(block.get(), length);
    if (info.kind == RecordKind::Other && isSound(o.method, block.get(), length))
        return row.add("content", "sound").add("samples", length - kSoundHeader);
    row.add("content", kindName(info.kind));
    if (info.kind == RecordKind::RawImage || info.kind == RecordKind::RleImage) {
        row.add("width", info.width).add("height", info.height);
        std::string flags = info.flags & VEK_IMAGE_MIRRORABLE ? "mirror-enable" : "";
        if (info.flags & VEK_IMAGE_MIRRORED) flags += flags.empty() ? "mirrored" : ",mirrored";
        row.add("flags", flags.empty() ? "-" : flags);
    }
    return row;
}

Report describeObjects(const std::string &path, Report report, const std::string &shownAs, const Options &o,
                       bool &damaged)
{
    const ObjectFile file(path, shownAs, o.layout.layout());
    report.add("type", "object file")
        .add("layout", file.layout() == Layout::Header ? "objects with headers" : "bare objects")
        .add("count", file.objects().size());
    std::vector<Report> rows;
    for (size_t i = 0; i < file.objects().size(); i++) rows.push_back(describeObject(file, i, damaged));
    return report.add("objects", std::move(rows));
}

Report describePng(const std::vector<uint8_t> &bytes, Report report, const std::string &shownAs)
{
    static const char *const types[] = {"grey", "", "RGB", "palette", "grey and alpha", "", "RGBA"};
    const PngHeader h = readPngHeader(bytes, shownAs);
    report.add("type", "PNG image").add("width", h.width).add("height", h.height);
    report.add("colour", h.colourType >= 0 && h.colourType <= 6 ? types[h.colourType] : "unknown");
    report.add("bit depth", h.bitDepth);
    if (h.paletteSize) report.add("palette", h.paletteSize);
    return report.add("transparency chunk", h.transparency).add("interlaced", h.interlace != 0);
}

Report describeBitmap(const std::vector<uint8_t> &bytes, Report report, const std::string &shownAs)
{
    const BitmapHeader h = readBitmapHeader(bytes, shownAs);
    static const char *const compressions[] = {"none", "RLE8", "RLE4", "bit fields"};
    return report.add("type", "bitmap file")
        .add("width", h.width)
        .add("height", h.height < 0 ? -int64_t{h.height} : h.height)
        .add("rows", h.height < 0 ? "top first" : "bottom first")
        .add("bits per pixel", h.bitCount)
        .add("compression", h.compression < 4 ? compressions[h.compression] : "other")
        .add("colours", h.colours)
        .add("pixel offset", h.pixelOffset);
}

Report describeFont(const std::vector<uint8_t> &bytes, Report report, const std::string &shownAs)
{
    const FntHeader h = readFntHeader(bytes, shownAs);
    char version[16];
    std::snprintf(version, sizeof version, "%u.%02u", h.version >> 8, h.version & 0xFF);
    report.add("type", "raster font").add("version", version).add("face", h.face).add("height", h.height);
    report.add("average width", h.averageWidth).add("maximum width", h.maxWidth);
    report.add("first character", h.first).add("last character", h.last).add("default character", h.defaultChar);
    return h.copyright.empty() ? report : report.add("copyright", h.copyright);
}

Report describeMidi(const std::vector<uint8_t> &bytes, Report report, const std::string &shownAs)
{
    const MidiInfo info = readMidiInfo(bytes, shownAs);
    report.add("type", "MIDI file").add("format", info.format).add("tracks", info.tracks);
    if (info.division & 0x8000)
        report.add("division", "SMPTE " + std::to_string(256 - (info.division >> 8)) + " frames/s, " +
                                   std::to_string(info.division & 0xFF) + " ticks/frame");
    else
        report.add("division", std::to_string(info.division) + " ticks per quarter note");
    if (info.seconds) report.add("seconds", *info.seconds);
    return report;
}

Report describeResources(const std::string &path, const std::vector<uint8_t> &bytes, Report report,
                         const std::string &shownAs, bool &damaged)
{
    const std::vector<ResourceEntry> entries = readResFile(bytes, shownAs);
    report.add("type", "resource file").add("count", entries.size());
    std::unique_ptr<AttachedResources> attached;
    std::vector<Report> rows;
    for (const ResourceEntry &e : entries) {
        Report row;
        row.add("type", e.type.shown(true)).add("name", e.name.shown(false)).add("language", e.language).add("size", e.size);
        if (e.type.isText && e.type.text == kBitmapResourceType && !e.name.isText && e.size >= 8) {
            row.add("expanded", vek::u32(bytes.data(), e.offset));
            try {
                if (!attached) attached = std::make_unique<AttachedResources>(path, shownAs);
                const std::vector<uint8_t> image = attached->bitmap(e.name.number);
                const BitmapHeader h = readBitmapHeader(image, shownAs);
                row.add("image", std::to_string(h.width) + " x " + std::to_string(h.height) + ", " +
                                     std::to_string(h.bitCount) + " bits");
            } catch (const Failure &) {
                damaged = true;
                row.add("image", "damaged");
            }
        }
        rows.push_back(std::move(row));
    }
    return report.add("resources", std::move(rows));
}

Report describe(const std::string &path, const Options &o, bool &damaged)
{
    const std::string shownAs = inputName(path);
    const LocalFile local(path);
    const std::vector<uint8_t> bytes = readWholeFile(local.path());
    Report report;
    report.add("file", shownAs);
    switch (pictureType(bytes)) {
    case PictureType::Png: return describePng(bytes, report, shownAs);
    case PictureType::Bitmap: return describeBitmap(bytes, report, shownAs);
    default: break;
    }
    if (looksLikeMidi(bytes)) return describeMidi(bytes, report, shownAs);
    if (looksLikeResFile(bytes)) return describeResources(local.path(), bytes, report, shownAs, damaged);
    if (looksLikeFnt(bytes)) return describeFont(bytes, report, shownAs);
    if (o.layout.layout() || objectLayout(local.path())) return describeObjects(local.path(), report, shownAs, o, damaged);
    if (looksCompressed(bytes))
        return report.add("type", "compressed file (vektool lzss)")
            .add("expanded", vek::u32(bytes.data(), 0))
            .add("stored", bytes.size());
    throw Failure(shownAs, "not a file vektool knows");
}

}  // namespace

void addInfoCommand(CLI::App &app)
{
    auto o = std::make_shared<Options>();
    auto *command = app.add_subcommand("info", "Tell what files are and what they hold");
    command->add_option("files", o->files, "files to describe, - for standard input")->required();
    command->add_flag("--json", o->json, "print one JSON array, an object per file");
    addLayoutFlags(*command, o->layout);
    command->callback([o] {
        std::vector<Report> reports;
        bool failed = false;
        for (const std::string &path : o->files) {
            bool damaged = false;
            try {
                reports.push_back(describe(path, *o, damaged));
                if (damaged) {
                    std::fprintf(stderr, "vektool: %s: damaged: some of its contents do not load\n", path.c_str());
                    failed = true;
                }
            } catch (const Failure &f) {
                std::fprintf(stderr, "vektool: %s: %s\n", f.file().c_str(), f.what());
                reports.push_back(Report().add("file", f.file()).add("error", f.what()));
                failed = true;
                continue;
            }
            if (!o->json) std::fputs(reportAsText(reports.back()).c_str(), stdout);
        }
        if (o->json) std::fputs(reportsAsJson(reports).c_str(), stdout);
        if (failed) throw AlreadyReported{};
    });
}

}  // namespace vektool

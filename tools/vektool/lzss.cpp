// vektool lzss: the library's LZSS codec on plain files.
//   vektool lzss c IN OUT [--raw]
//   vektool lzss d IN OUT [--raw --size N]
//
// c writes a compressed file: the expanded size, the file size and the
// stream (the layout of the library's compressed bitmap resources), or with
// --raw the bare stream. d expands either; a bare stream does not tell how
// long it expands, so --raw needs --size. IN and OUT may be - for standard
// input and output.
#include "commands.h"
#include "failure.h"
#include "input_file.h"
#include "lzss_codec.h"
#include "output_file.h"
#include "shared_options.h"

#include <CLI/CLI.hpp>

#include <memory>

namespace vektool {
namespace {

struct Options {
    std::string mode, input, output;
    bool raw = false;
    std::optional<uint32_t> size;
};

void run(const Options &o)
{
    const std::string shownAs = inputName(o.input);
    if (o.size && !(o.mode == "d" && o.raw)) throw UsageError("lzss: --size goes with d --raw only");
    if (o.mode == "d" && o.raw && !o.size) throw UsageError("lzss: d --raw needs --size: a bare stream does not tell");
    const std::vector<uint8_t> input = readWholeFile(o.input);
    std::vector<uint8_t> output;
    if (o.mode == "c")
        output = o.raw ? lzssCompress(input, shownAs) : compressedFileOf(input, shownAs);
    else
        output = o.raw ? lzssExpand(input.data(), input.size(), *o.size, shownAs) : expandCompressedFile(input, shownAs);
    writeWholeFile(o.output, output);
}

}  // namespace

void addLzssCommand(CLI::App &app)
{
    auto o = std::make_shared<Options>();
    auto *command = app.add_subcommand("lzss", "Compress (c) or expand (d) a file with the library's LZSS codec");
    command->add_option("mode", o->mode, "c to compress, d to expand")->required()->check(CLI::IsMember({"c", "d"}));
    command->add_option("input", o->input, "file to read, - for standard input")->required();
    command->add_option("output", o->output, "file to write, - for standard output")->required();
    command->add_flag("--raw", o->raw, "a bare stream, without the 8-byte header of sizes");
    command->add_option("--size", o->size, "the expanded size of a bare stream (d --raw)");
    command->callback([o] { run(*o); });
}

}  // namespace vektool

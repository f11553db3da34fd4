// vektool unpack and pack: object files to and from a folder of objects.
//   vektool unpack FILE.obj [-o FOLDER] [--bare | --header]
//   vektool pack FILE|FOLDER... -o OUT.obj [--store METHOD | --bare]
//
// unpack writes each object as the file stores it (header and payload,
// still compressed; or the bare block) into NAME-NNN.obj, itself an object
// file of one object. pack joins the objects of object files, and of the
// files of folders in name order, into one file: as they are stored, or
// stored anew with --store (vekLoadObject, then vekSaveObject), or as bare
// objects with --bare. Packing an unpacked folder gives the file back byte
// for byte.
#include "commands.h"
#include "failure.h"
#include "input_file.h"
#include "object_file.h"
#include "output_file.h"
#include "progress.h"
#include "shared_options.h"
#include "store_method.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace vektool {
namespace {

struct UnpackOptions {
    std::string input, folder = ".";
    LayoutFlags layout;
};

struct PackOptions {
    std::vector<std::string> inputs;
    std::string output;
    std::optional<Store> store;
    bool bare = false;
};

void unpack(const UnpackOptions &o)
{
    const std::string shownAs = inputName(o.input);
    const LocalFile local(o.input);
    const ObjectFile file(local.path(), shownAs, o.layout.layout());
    OutputFolder folder(o.folder);
    const size_t count = file.objects().size();
    Progress progress("unpack", count);
    for (size_t i = 0; i < count; i++) {
        Block stored = file.loadStored(i);
        if (!stored) throw Failure(shownAs, "object " + std::to_string(i) + " cannot be read");
        // A stored object with header comes behind a size field of its own.
        const BYTE *begin = stored.get() + (file.layout() == Layout::Header ? 4 : 0);
        const BYTE *end = stored.get() + blockLength(stored.get());
        folder.write(objectName(stemOf(o.input), i, count, ".obj"), std::vector<uint8_t>(begin, end));
        progress.update(i + 1);
    }
    folder.keep();
}

// The files to pack: files as given, the files of folders in name order.
std::vector<std::string> packInputs(const std::vector<std::string> &inputs)
{
    std::vector<std::string> files;
    for (const std::string &input : inputs) {
        std::error_code error;
        if (!fs::is_directory(input, error)) {
            files.push_back(input);
            continue;
        }
        std::vector<std::string> inFolder;
        for (const fs::directory_entry &e : fs::directory_iterator(input, error))
            if (e.is_regular_file()) inFolder.push_back(e.path().string());
        if (error) throw Failure(input, error.message());
        std::sort(inFolder.begin(), inFolder.end());
        files.insert(files.end(), inFolder.begin(), inFolder.end());
    }
    return files;
}

void pack(const PackOptions &o)
{
    if (o.bare && o.store) throw UsageError("pack: --bare and --store do not go together: bare objects have no method");
    const std::vector<std::string> inputs = packInputs(o.inputs);
    OutputFile out(o.output);
    FileHandle target = FileHandle::create(out.path(), outputName(o.output));
    ObjectWriter writer;
    Progress progress("pack", inputs.size());
    for (size_t n = 0; n < inputs.size(); n++) {
        const std::string shownAs = inputName(inputs[n]);
        const LocalFile local(inputs[n]);
        const ObjectFile file(local.path(), shownAs);
        for (size_t i = 0; i < file.objects().size(); i++) {
            const std::string object = "object " + std::to_string(i);
            if (!o.bare && !o.store && file.layout() == Layout::Header) {
                Block stored = file.loadStored(i);
                if (!stored) throw Failure(shownAs, object + " cannot be read");
                vekSaveCompObject(target.get(), stored.get());
                continue;
            }
            Block block = file.load(i);
            if (!block) throw Failure(shownAs, object + " does not load");
            if (o.bare)
                vekSaveObject(target.get(), block.get(), 0, 0);
            else
                writer.write(target, block.get(), o.store.value_or(Store::None), shownAs);
        }
        progress.update(n + 1);
    }
    target.close(outputName(o.output));
    out.commit();
}

}  // namespace

void addPackCommands(CLI::App &app)
{
    auto u = std::make_shared<UnpackOptions>();
    auto *unpackCommand = app.add_subcommand("unpack", "Write each object of an object file, as stored, to a "
                                                       "file of its own");
    unpackCommand->add_option("file", u->input, "object file, - for standard input")->required();
    unpackCommand->add_option("-o,--output", u->folder, "folder to write into (made when missing)")
        ->capture_default_str();
    addLayoutFlags(*unpackCommand, u->layout);
    unpackCommand->callback([u] { unpack(*u); });

    auto p = std::make_shared<PackOptions>();
    auto *packCommand = app.add_subcommand("pack", "Join the objects of object files (and of folders of them) "
                                                   "into one object file");
    packCommand->add_option("inputs", p->inputs, "object files and folders of object files")->required();
    packCommand->add_option("-o,--output", p->output, "object file to write, - for standard output")->required();
    packCommand->add_option("--store", p->store, "store every object anew: auto, none, lzss, bits or bits4 "
                                                 "(default: as each is stored)")
        ->transform(CLI::CheckedTransformer(storeNames(), CLI::ignore_case))
        ->option_text("METHOD");
    packCommand->add_flag("--bare", p->bare, "write bare objects, without headers");
    packCommand->callback([p] { pack(*p); });
}

}  // namespace vektool

#include "output_file.h"

#include "failure.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <unistd.h>

namespace fs = std::filesystem;

namespace vektool {
namespace {

std::string systemError() { return std::strerror(errno); }

// The temporary file of a target: in the target's folder, so that the
// rename is one step of that file system; for standard output anywhere.
TemporaryFile temporaryFor(const std::string &target)
{
    if (target == "-") return TemporaryFile("vektool-out-", "standard output");
    const fs::path t(target);
    const std::string folder = t.has_parent_path() ? t.parent_path().string() : ".";
    return TemporaryFile(folder, "." + t.filename().string() + ".vektool-", target);
}

}  // namespace

OutputFile::OutputFile(std::string target) : target_(std::move(target)), temp_(temporaryFor(target_)) {}

void OutputFile::commit()
{
    if (target_ != "-") {
        if (std::rename(temp_.path().c_str(), target_.c_str()) != 0) throw Failure(target_, systemError());
        temp_.release();
        return;
    }
    std::FILE *in = std::fopen(temp_.path().c_str(), "rb");
    if (!in) throw Failure("standard output", systemError());
    char buffer[65536];
    size_t n;
    bool ok = true;
    while (ok && (n = std::fread(buffer, 1, sizeof buffer, in)) > 0) ok = std::fwrite(buffer, 1, n, stdout) == n;
    std::fclose(in);
    if (!ok || std::fflush(stdout) != 0) throw Failure("standard output", systemError());
}

OutputFolder::OutputFolder(std::string folder) : folder_(std::move(folder))
{
    std::error_code error;
    if (fs::is_directory(folder_, error)) return;
    if (!fs::create_directories(folder_, error)) throw Failure(folder_, "cannot make the folder: " + error.message());
    made_ = true;
}

OutputFolder::~OutputFolder()
{
    if (kept_) return;
    for (const std::string &file : written_) unlink(file.c_str());
    if (made_) rmdir(folder_.c_str());
}

std::string OutputFolder::pathOf(const std::string &name) const { return (fs::path(folder_) / name).string(); }

void OutputFolder::commit(OutputFile &file)
{
    file.commit();
    written_.push_back(file.target());
}

void OutputFolder::write(const std::string &name, const std::vector<uint8_t> &bytes)
{
    OutputFile out(pathOf(name));
    writeBytes(out.path(), out.target(), bytes);
    commit(out);
}

void writeBytes(const std::string &path, const std::string &shownAs, const std::vector<uint8_t> &bytes)
{
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) throw Failure(shownAs, systemError());
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok) throw Failure(shownAs, systemError());
}

void writeWholeFile(const std::string &target, const std::vector<uint8_t> &bytes)
{
    OutputFile out(target);
    writeBytes(out.path(), target, bytes);
    out.commit();
}

}  // namespace vektool

// Output that appears whole or not at all.
//
// An OutputFile is written to a temporary file beside its target (for "-",
// standard output, in the temporary folder) and moved into place by
// commit(); until then the target is untouched. A file that is never
// committed, because the command failed, threw or was interrupted, is
// removed. An OutputFolder gathers the files of a command that writes many:
// if the command does not finish, the files it moved in are removed again,
// and so is the folder when the command made it.
#pragma once

#include "temporary_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vektool {

class OutputFile {
public:
    explicit OutputFile(std::string target);
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Where to write until commit().
    const std::string &path() const { return temp_.path(); }
    const std::string &target() const { return target_; }
    // Moves the finished file into place, or copies it to standard output.
    void commit();

private:
    std::string target_;
    TemporaryFile temp_;
};

class OutputFolder {
public:
    explicit OutputFolder(std::string folder);
    ~OutputFolder();
    OutputFolder(const OutputFolder &) = delete;
    OutputFolder &operator=(const OutputFolder &) = delete;

    std::string pathOf(const std::string &name) const;
    // Commits file and remembers it as one of this folder's.
    void commit(OutputFile &file);
    // Writes the file name of this folder whole.
    void write(const std::string &name, const std::vector<uint8_t> &bytes);
    // The command has finished: what it wrote stays.
    void keep() { kept_ = true; }

private:
    std::string folder_;
    bool made_ = false, kept_ = false;
    std::vector<std::string> written_;
};

// Writes bytes to path (a temporary file of an OutputFile).
void writeBytes(const std::string &path, const std::string &shownAs, const std::vector<uint8_t> &bytes);

// Writes bytes to target whole: through an OutputFile, committed.
void writeWholeFile(const std::string &target, const std::vector<uint8_t> &bytes);

}  // namespace vektool

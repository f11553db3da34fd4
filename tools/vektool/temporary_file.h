// Temporary files: made empty under a unique name, removed when the object
// goes and, through removeTemporariesOnSignals(), when the process is
// interrupted, so that a failed or stopped command leaves none behind.
#pragma once

#include <string>

namespace vektool {

class TemporaryFile {
public:
    // A new empty file in folder, named prefix followed by six random
    // characters, with the permissions of a plain new file. Throws Failure
    // naming shownAs when it cannot be made.
    TemporaryFile(const std::string &folder, const std::string &prefix, const std::string &shownAs);
    // The same in the temporary folder ($TMPDIR, else /tmp).
    TemporaryFile(const std::string &prefix, const std::string &shownAs);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    const std::string &path() const { return path_; }
    // The file has been moved away (renamed): nothing is left to remove.
    void release();

private:
    std::string path_;
    bool released_ = false;
};

void removeTemporariesOnSignals();

}  // namespace vektool

// What several commands share on the command line: how "-" is named in
// messages, the object file layout flags, the names of extracted objects.
#pragma once

#include "object_file.h"

#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace vektool {

// A file argument as messages name it: "-" is standard input or output.
inline std::string inputName(const std::string &path) { return path == "-" ? "standard input" : path; }
inline std::string outputName(const std::string &path) { return path == "-" ? "standard output" : path; }

// --bare and --header: the layout of the object file read, found when
// neither is given.
struct LayoutFlags {
    bool bare = false, header = false;
    std::optional<Layout> layout() const;
};
void addLayoutFlags(CLI::App &command, LayoutFlags &flags);

// The file name of object index of count, from a file named stem:
// "stem-NNN" and the extension, NNN as many digits as the last index needs,
// at least 3.
std::string objectName(const std::string &stem, size_t index, size_t count, const std::string &extension);

// The name of an input file without folder and extension, "stdin" for "-".
std::string stemOf(const std::string &path);

}  // namespace vektool

// Object files read through the library: a sequence of objects, all bare or
// all under a 12-byte object header (total, stored, storage method). The
// file does not say which; the layout is found by walking the file both ways
// with the library's calls (vekLoadCompObject, vekSkipObject,
// vekSizeNextObject): the walk that ends exactly at the end of the file,
// over objects whose headers make sense, is the file's layout, and the
// header layout wins when both do.
#pragma once

#include "input_file.h"
#include "sprite_record.h"

#include <optional>
#include <string>
#include <vector>

namespace vektool {

enum class Layout { Header, Bare };

inline DWORD flagsOf(Layout layout) { return layout == Layout::Header ? STORE_WITH_HEADER : 0; }

struct StoredObject {
    LONG offset = 0;
    DWORD total = 0;   // length of the block in memory
    DWORD stored = 0;  // bytes in the file after the header (bare: total)
    DWORD method = STORE_RAW;
};

// The name of a storage method ("none", "lzss", "bits", ...).
std::string methodName(DWORD method);

class ObjectFile {
public:
    // Opens path (shownAs in failures) and finds its layout, or takes the one
    // given. Throws Failure when the file is not an object file of that
    // layout (or of either).
    ObjectFile(const std::string &path, const std::string &shownAs, std::optional<Layout> layout = std::nullopt);

    Layout layout() const { return layout_; }
    const std::vector<StoredObject> &objects() const { return objects_; }
    LONG length() const { return length_; }

    // The object expanded into its block (vekLoadObject); null when the
    // library refuses it.
    Block load(size_t index) const;
    // The object as the file stores it (vekLoadCompObject under a header: a
    // size field, the header and the payload; bare: the block itself).
    Block loadStored(size_t index) const;

private:
    FileHandle file_;
    Layout layout_ = Layout::Header;
    LONG length_ = 0;
    std::vector<StoredObject> objects_;
};

// The layout of the object file at path, or none when it is not one.
std::optional<Layout> objectLayout(const std::string &path);

}  // namespace vektool

// The compressed bitmap resources ("VORTLBMP") of a .res file, loaded the
// way a program loads its own: the file is attached to the program's module
// (vekhostAttachResources) and each bitmap comes through the library's
// resource loader (vekLoadSpriteData).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vektool {

inline constexpr char kBitmapResourceType[] = "VORTLBMP";

class AttachedResources {
public:
    // Throws Failure naming shownAs when the file cannot be attached.
    AttachedResources(const std::string &resFile, const std::string &shownAs);
    ~AttachedResources();
    AttachedResources(const AttachedResources &) = delete;
    AttachedResources &operator=(const AttachedResources &) = delete;

    // The bitmap file image of the resource with number id; throws Failure
    // when the library cannot load it.
    std::vector<uint8_t> bitmap(uint16_t id) const;

private:
    std::string shownAs_;
};

}  // namespace vektool

#include "bitmap_resources.h"

#include "failure.h"
#include "sprite_record.h"

#include <vekhost.h>

#include "common/le.h"

namespace vektool {

AttachedResources::AttachedResources(const std::string &resFile, const std::string &shownAs) : shownAs_(shownAs)
{
    if (!vekhostAttachResources(nullptr, resFile.c_str()))
        throw Failure(shownAs, GetLastError() == ERROR_BAD_FORMAT ? "damaged resource file" : "cannot open the file");
}

AttachedResources::~AttachedResources() { vekhostAttachResources(nullptr, nullptr); }

std::vector<uint8_t> AttachedResources::bitmap(uint16_t id) const
{
    // A record from a resource holds the image behind its length word.
    Block record = adopt(vekLoadSpriteData(nullptr, MAKEINTRESOURCEA(id), 0));
    if (!record) throw Failure(shownAs_, "bitmap resource " + std::to_string(id) + " does not load");
    const BYTE *image = record.get() + 4;
    return std::vector<uint8_t>(image, image + vek::u32(record.get(), 0));
}

}  // namespace vektool

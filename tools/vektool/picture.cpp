#include "picture.h"

#include "bitmap_file.h"
#include "failure.h"
#include "png_io.h"

#include <cstring>

namespace vektool {

PictureType pictureType(const std::vector<uint8_t> &bytes)
{
    static const uint8_t pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() >= 8 && std::memcmp(bytes.data(), pngSignature, 8) == 0) return PictureType::Png;
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return PictureType::Bitmap;
    return PictureType::Other;
}

Picture readPicture(const std::vector<uint8_t> &bytes, const std::string &shownAs)
{
    switch (pictureType(bytes)) {
    case PictureType::Png: return readPng(bytes, shownAs);
    case PictureType::Bitmap: return readBitmapFile(bytes, shownAs);
    default: throw Failure(shownAs, "neither a PNG nor a bitmap file");
    }
}

}  // namespace vektool

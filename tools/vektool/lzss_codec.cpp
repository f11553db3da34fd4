#include "lzss_codec.h"

#include "failure.h"
#include "input_file.h"
#include "output_file.h"
#include "sprite_record.h"
#include "temporary_file.h"

#include "record/layout.h"
#include "common/le.h"

#include <algorithm>
#include <cstring>

namespace vektool {
namespace {

namespace rec = vek::rec;

constexpr size_t kObjectHeader = 12, kFields = 20, kFileHeader = 8;
// The lowest pixel offset the library loads: just behind the index table.
constexpr uint32_t kLowestPixelOffset = rec::kColorTable + 512 - 4;
// The largest object the library loads.
constexpr uint64_t kMaxObject = 256u << 20;
// A stream byte expands to at most 9 bytes (a pair of 2 gives 18).
constexpr uint64_t kMaxGain = 9;

}  // namespace

std::vector<uint8_t> lzssCompress(const std::vector<uint8_t> &data, const std::string &shownAs)
{
    if (data.empty()) return {};
    // The object must never fall back to raw storage: its block is longer
    // than any stream of the data (at most one flag byte per 8 bytes more)
    // with the fields.
    const uint64_t pixelOffset = kLowestPixelOffset + data.size() / 8 + 64;
    const uint64_t total = 4 + pixelOffset + data.size();
    if (4 + kLowestPixelOffset + data.size() > kMaxObject)
        throw Failure(shownAs, "larger than 256 MiB, more than the library expands");
    std::vector<uint8_t> block(total);
    vek::put32(block.data(), 0, static_cast<uint32_t>(total - 4));
    vek::put32(block.data(), rec::kPixelOffset, static_cast<uint32_t>(pixelOffset));
    std::memcpy(block.data() + 4 + pixelOffset, data.data(), data.size());

    TemporaryFile temporary("vektool-lzss-", shownAs);
    {
        FileHandle file = FileHandle::create(temporary.path(), shownAs);
        vekSaveObject(file.get(), block.data(), STORE_WITH_HEADER | STORE_IMAGE_BITS, 0);
        file.close(shownAs);
    }
    const std::vector<uint8_t> object = readWholeFile(temporary.path());
    if (object.size() < kObjectHeader + kFields || vek::u32(object.data(), 8) != STORE_IMAGE_BITS)
        throw Failure(shownAs, "the library did not compress it");
    return std::vector<uint8_t>(object.begin() + kObjectHeader + kFields, object.end());
}

std::vector<uint8_t> lzssExpand(const uint8_t *stream, size_t length, uint32_t expandedSize, const std::string &shownAs)
{
    if (expandedSize == 0) {
        if (length) throw Failure(shownAs, "damaged: a stream for no bytes");
        return {};
    }
    const uint64_t total = 4 + uint64_t{kLowestPixelOffset} + expandedSize;
    if (total > kMaxObject) throw Failure(shownAs, "expands to more than 256 MiB");
    if (expandedSize > length * kMaxGain) throw Failure(shownAs, "damaged: the stream is too short");
    std::vector<uint8_t> object(kObjectHeader + kFields + length);
    vek::put32(object.data(), 0, static_cast<uint32_t>(total));
    vek::put32(object.data(), 4, static_cast<uint32_t>(kFields + length));
    vek::put32(object.data(), 8, STORE_IMAGE_BITS);
    vek::put32(object.data(), kObjectHeader, kLowestPixelOffset);
    std::memcpy(object.data() + kObjectHeader + kFields, stream, length);

    TemporaryFile temporary("vektool-lzss-", shownAs);
    writeBytes(temporary.path(), shownAs, object);
    FileHandle file = FileHandle::openRead(temporary.path(), shownAs);
    Block block = adopt(vekLoadObject(file.get(), STORE_WITH_HEADER, 0));
    if (!block) throw Failure(shownAs, "damaged: the stream does not expand to " + std::to_string(expandedSize) + " bytes");
    const uint8_t *data = block.get() + 4 + kLowestPixelOffset;
    return std::vector<uint8_t>(data, data + expandedSize);
}

std::vector<uint8_t> compressedFileOf(const std::vector<uint8_t> &data, const std::string &shownAs)
{
    const std::vector<uint8_t> stream = lzssCompress(data, shownAs);
    std::vector<uint8_t> file(kFileHeader + stream.size());
    vek::put32(file.data(), 0, static_cast<uint32_t>(data.size()));
    vek::put32(file.data(), 4, static_cast<uint32_t>(file.size()));
    std::copy(stream.begin(), stream.end(), file.begin() + kFileHeader);
    return file;
}

std::vector<uint8_t> expandCompressedFile(const std::vector<uint8_t> &file, const std::string &shownAs)
{
    if (file.size() < kFileHeader || vek::u32(file.data(), 4) < kFileHeader || vek::u32(file.data(), 4) > file.size())
        throw Failure(shownAs, "not a compressed file, or a damaged one");
    return lzssExpand(file.data() + kFileHeader, vek::u32(file.data(), 4) - kFileHeader, vek::u32(file.data(), 0),
                      shownAs);
}

bool looksCompressed(const std::vector<uint8_t> &bytes)
{
    return bytes.size() >= kFileHeader && vek::u32(bytes.data(), 4) == bytes.size() &&
           vek::u32(bytes.data(), 0) <= (bytes.size() - kFileHeader) * kMaxGain &&
           (vek::u32(bytes.data(), 0) == 0) == (bytes.size() == kFileHeader);
}

}  // namespace vektool

// The library's LZSS codec on plain bytes, and compressed files in the
// layout of the library's compressed bitmap resources:
//
//   0   u32   expanded size
//   4   u32   file size: these 8 bytes and the stream
//   8   ...   LZSS stream
//
// The library exports no call for bare streams. It reaches its codec
// through object files: the payload of an object of storage method 8 is five
// u32 fields and then the LZSS stream of the record's pixel bytes, nothing
// else. So a block whose pixel bytes are the data, saved with vekSaveObject,
// carries the data's stream, and an object of method 8 made around a stream
// expands it with vekLoadObject.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vektool {

// The LZSS stream of data (empty for no data).
std::vector<uint8_t> lzssCompress(const std::vector<uint8_t> &data, const std::string &shownAs);

// The bytes a stream expands to, which must be exactly expandedSize (at most
// 256 MiB); throws Failure naming shownAs for a damaged stream.
std::vector<uint8_t> lzssExpand(const uint8_t *stream, size_t length, uint32_t expandedSize,
                                const std::string &shownAs);

// Compressed files: the 8-byte header and the stream.
std::vector<uint8_t> compressedFileOf(const std::vector<uint8_t> &data, const std::string &shownAs);
std::vector<uint8_t> expandCompressedFile(const std::vector<uint8_t> &file, const std::string &shownAs);

// True when bytes start like a compressed file: a file size equal to their
// length and an expanded size the stream can give.
bool looksCompressed(const std::vector<uint8_t> &bytes);

}  // namespace vektool

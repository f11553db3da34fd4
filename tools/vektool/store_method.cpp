#include "store_method.h"

#include "failure.h"

#include "record/layout.h"
#include "common/le.h"

#include <cstring>
#include <vector>

namespace vektool {
namespace {

// The image methods keep the image flags only under method 32.
DWORD bitsMethod(const BYTE *block)
{
    return vek::u32(block, vek::rec::kFlags) ? STORE_IMAGE_BITS_FLAGS : STORE_IMAGE_BITS;
}

bool sameBlock(const BYTE *a, const BYTE *b)
{
    return blockLength(a) == blockLength(b) && std::memcmp(a, b, blockLength(a)) == 0;
}

}  // namespace

const std::map<std::string, Store> &storeNames()
{
    static const std::map<std::string, Store> names{{"auto", Store::Auto}, {"none", Store::None},
                                                    {"lzss", Store::Lzss}, {"bits", Store::Bits},
                                                    {"bits4", Store::Bits4}};
    return names;
}

ObjectWriter::ObjectWriter()
    : scratchFile_("vektool-scratch-", "a scratch file"),
      scratch_(FileHandle::create(scratchFile_.path(), "a scratch file"))
{
}

LONG ObjectWriter::trial(const BYTE *block, DWORD method)
{
    scratch_.seek(0);
    vekSaveObject(scratch_.get(), const_cast<BYTE *>(block), STORE_WITH_HEADER | method, 0);
    const LONG length = scratch_.position();
    scratch_.seek(0);
    Block back = adopt(vekLoadObject(scratch_.get(), STORE_WITH_HEADER, 0));
    if (!back || scratch_.position() != length) return 0;
    const RecordKind kind = inspectRecord(block, blockLength(block)).kind;
    const bool image = kind == RecordKind::RawImage || kind == RecordKind::RleImage;
    return (image ? sameImage(block, back.get()) : sameBlock(block, back.get())) ? length : 0;
}

void ObjectWriter::write(const FileHandle &out, const BYTE *block, Store store, const std::string &shownAs)
{
    const RecordKind kind = inspectRecord(block, blockLength(block)).kind;
    const bool image = kind == RecordKind::RawImage || kind == RecordKind::RleImage;
    std::vector<DWORD> methods;
    switch (store) {
    case Store::None: methods = {STORE_RAW}; break;
    case Store::Lzss: methods = {STORE_LZSS}; break;
    case Store::Bits: methods = {bitsMethod(block)}; break;
    case Store::Bits4: methods = {STORE_IMAGE_4BIT}; break;
    case Store::Auto:
        methods = {STORE_RAW, STORE_LZSS};
        if (image) methods.push_back(bitsMethod(block));
        if (kind == RecordKind::RawImage && !vek::u32(block, vek::rec::kFlags)) methods.push_back(STORE_IMAGE_4BIT);
        break;
    }
    if ((store == Store::Bits || store == Store::Bits4) && !image)
        throw Failure(shownAs, "not a sprite image: it cannot be stored as " + std::string(store == Store::Bits ? "bits" : "bits4"));
    DWORD best = methods.front();
    LONG bestLength = 0;
    for (DWORD method : methods) {
        const LONG length = trial(block, method);
        if (length > 0 && (bestLength == 0 || length < bestLength)) {
            best = method;
            bestLength = length;
        }
    }
    if (bestLength == 0) throw Failure(shownAs, "the library does not read the object back as it was stored");
    const LONG start = out.position();
    vekSaveObject(out.get(), const_cast<BYTE *>(block), STORE_WITH_HEADER | best, 0);
    // When compression does not pay, the library stores the block raw over
    // the longer stream it wrote first and leaves the stream's tail behind
    // the object; the next object, or this cut, removes it.
    out.seek(start + bestLength);
    out.truncate();
}

}  // namespace vektool

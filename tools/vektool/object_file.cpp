#include "object_file.h"

#include "failure.h"

#include "common/le.h"

namespace vektool {
namespace {

bool knownMethod(DWORD method)
{
    switch (method) {
    case STORE_RAW:
    case STORE_LZSS:
    case STORE_RESERVED_2:
    case STORE_PACKED_SOUND:
    case STORE_IMAGE_BITS:
    case STORE_IMAGE_4BIT:
    case STORE_IMAGE_BITS_FLAGS: return true;
    default: return false;
    }
}

// Walks the file from its start in the given layout; true with the objects
// when every step holds an object and the last ends at the end of the file.
bool walk(const FileHandle &file, LONG length, Layout layout, std::vector<StoredObject> &objects)
{
    objects.clear();
    file.seek(0);
    for (LONG at = 0; at < length;) {
        StoredObject o;
        o.offset = at;
        if (layout == Layout::Header) {
            Block stored = adopt(vekLoadCompObject(file.get()));
            if (!stored) return false;
            o.total = vek::u32(stored.get(), 4);
            o.stored = vek::u32(stored.get(), 8);
            o.method = vek::u32(stored.get(), 12);
            if (o.total < 4 || !knownMethod(o.method) || (o.method == STORE_RAW && o.stored != o.total)) return false;
        } else {
            const LONG left = length - at;
            const DWORD size = vekSizeNextObject(file.get(), 0);
            if (left < 4 || size > static_cast<DWORD>(left - 4)) return false;
            o.total = o.stored = size + 4;
        }
        const LONG next = vekSkipObject(file.get(), flagsOf(layout));
        if (next <= at || next > length) return false;
        objects.push_back(o);
        at = next;
    }
    return !objects.empty();
}

}  // namespace

std::string methodName(DWORD method)
{
    switch (method) {
    case STORE_RAW: return "none";
    case STORE_LZSS: return "lzss";
    case STORE_RESERVED_2: return "reserved";
    case STORE_PACKED_SOUND: return "sound";
    case STORE_IMAGE_BITS: return "bits";
    case STORE_IMAGE_4BIT: return "bits4";
    case STORE_IMAGE_BITS_FLAGS: return "bitsflags";
    default: return "unknown";
    }
}

ObjectFile::ObjectFile(const std::string &path, const std::string &shownAs, std::optional<Layout> layout)
    : file_(FileHandle::openRead(path, shownAs))
{
    length_ = file_.length();
    if (length_ <= 0) throw Failure(shownAs, "empty file: no objects");
    for (Layout l : {Layout::Header, Layout::Bare}) {
        if (layout && *layout != l) continue;
        if (walk(file_, length_, l, objects_)) {
            layout_ = l;
            return;
        }
    }
    throw Failure(shownAs, !layout                  ? "not an object file, or a damaged one"
                           : *layout == Layout::Bare ? "not an object file of bare objects, or a damaged one"
                                                     : "not an object file of objects with headers, or a damaged one");
}

Block ObjectFile::load(size_t index) const
{
    file_.seek(objects_.at(index).offset);
    return adopt(vekLoadObject(file_.get(), flagsOf(layout_), 0));
}

Block ObjectFile::loadStored(size_t index) const
{
    file_.seek(objects_.at(index).offset);
    return adopt(layout_ == Layout::Header ? vekLoadCompObject(file_.get()) : vekLoadObject(file_.get(), 0, 0));
}

std::optional<Layout> objectLayout(const std::string &path)
{
    try {
        return ObjectFile(path, path).layout();
    } catch (const Failure &) {
        return std::nullopt;
    }
}

}  // namespace vektool

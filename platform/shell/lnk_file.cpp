// Shell link files, in the published binary format (MS-SHLLINK), all fields
// little-endian:
//
//   ShellLinkHeader, 76 bytes
//     0  u32  HeaderSize = 0x4C
//     4  16   LinkCLSID {00021401-0000-0000-C000-000000000046}
//    20  u32  LinkFlags (below)
//    24  u32  FileAttributes of the target
//    28  3 x u64  creation, access and write times (FILETIME)
//    52  u32  FileSize
//    56  i32  IconIndex
//    60  u32  ShowCommand
//    64  u16  HotKey, then 10 reserved zero bytes
//   LinkTargetIDList (HasLinkTargetIDList): u16 size, then the items
//   LinkInfo (HasLinkInfo)
//     0  u32  LinkInfoSize       4  u32  LinkInfoHeaderSize (0x1C)
//     8  u32  LinkInfoFlags (1: VolumeID and LocalBasePath present)
//    12  u32  VolumeIDOffset    16  u32  LocalBasePathOffset
//    20  u32  CommonNetworkRelativeLinkOffset
//    24  u32  CommonPathSuffixOffset
//     then VolumeID (u32 size, u32 drive type, u32 serial, u32 label
//     offset, label), LocalBasePath and CommonPathSuffix as zero-terminated
//     ANSI strings; the target is LocalBasePath + CommonPathSuffix
//   StringData: NAME (HasName), RELATIVE_PATH, WORKING_DIR, ARGUMENTS,
//     ICON_LOCATION, each a u16 count of characters then the characters,
//     UTF-16 when IsUnicode is set, else ANSI
//   ExtraData: blocks of u32 size (at least 4) and u32 signature, ended by
//     a u32 below 4
//
// The writer gives no LinkTargetIDList (readers take the target from
// LinkInfo), a LinkInfo with a fixed-drive VolumeID, UTF-16 strings, and
// an empty ExtraData.
#include "shell/lnk_file.h"
#include "shared/little_endian.h"
#include "shell/utf16.h"

#include <algorithm>

namespace vek::host {

namespace {

constexpr DWORD kHeaderSize = 0x4C;
const BYTE kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                             0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

enum : DWORD {
    HasLinkTargetIDList = 0x1,
    HasLinkInfo = 0x2,
    HasName = 0x4,
    HasRelativePath = 0x8,
    HasWorkingDir = 0x10,
    HasArguments = 0x20,
    HasIconLocation = 0x40,
    IsUnicode = 0x80,
};

constexpr DWORD kLinkInfoHeaderSize = 0x1C;
constexpr DWORD kVolumeIdAndLocalBasePath = 0x1;
constexpr DWORD kDriveFixed = 3;

void putCountedString(std::vector<BYTE> &out, const std::string &text)
{
    std::u16string wide = utf16FromUtf8(text);
    if (wide.size() > 0xFFFF) wide.resize(0xFFFF);
    appendLe16(out, WORD(wide.size()));
    for (char16_t c : wide) appendLe16(out, WORD(c));
}

// A bounded reader over the file's bytes.
class Reader {
public:
    explicit Reader(const std::vector<BYTE> &bytes) : bytes_(bytes) {}
    bool has(size_t n) const { return n <= bytes_.size() - at_; }
    size_t at() const { return at_; }
    bool skip(size_t n)
    {
        if (!has(n)) return false;
        at_ += n;
        return true;
    }
    bool u16(WORD &value)
    {
        if (!has(2)) return false;
        value = le16(bytes_.data() + at_);
        at_ += 2;
        return true;
    }
    bool u32(DWORD &value)
    {
        if (!has(4)) return false;
        value = le32(bytes_.data() + at_);
        at_ += 4;
        return true;
    }
    bool countedString(bool unicode, std::string &out)
    {
        WORD count;
        if (!u16(count)) return false;
        size_t bytes = size_t(count) * (unicode ? 2 : 1);
        if (!has(bytes)) return false;
        const BYTE *p = bytes_.data() + at_;
        if (unicode) {
            std::u16string wide(count, u'\0');
            for (size_t i = 0; i < count; ++i) wide[i] = char16_t(le16(p + 2 * i));
            out = utf8FromUtf16(wide);
        } else {
            out.assign(reinterpret_cast<const char *>(p), count);
        }
        at_ += bytes;
        return true;
    }

private:
    const std::vector<BYTE> &bytes_;
    size_t at_ = 0;
};

// A zero-terminated string at offset of a block of size bytes; false when
// the offset is outside it or the string is not terminated inside it.
bool blockString(const BYTE *block, DWORD size, DWORD offset, std::string &out)
{
    if (offset >= size) return false;
    for (DWORD end = offset; end < size; ++end) {
        if (block[end] == 0) {
            out.assign(reinterpret_cast<const char *>(block + offset), end - offset);
            return true;
        }
    }
    return false;
}

bool decodeLinkInfo(const BYTE *block, DWORD size, std::string &path)
{
    if (size < kLinkInfoHeaderSize) return false;
    DWORD headerSize = le32(block + 4);
    DWORD flags = le32(block + 8);
    if (headerSize < kLinkInfoHeaderSize || headerSize > size) return false;
    if (!(flags & kVolumeIdAndLocalBasePath)) return true;  // a network link: no local path
    // The parts follow the header: offsets into it are damage.
    DWORD volumeOffset = le32(block + 12), baseOffset = le32(block + 16), suffixOffset = le32(block + 24);
    if (volumeOffset < headerSize || volumeOffset >= size || baseOffset < headerSize) return false;
    std::string base, suffix;
    if (!blockString(block, size, baseOffset, base)) return false;
    if (suffixOffset && (suffixOffset < headerSize || !blockString(block, size, suffixOffset, suffix))) return false;
    if (!suffix.empty() && !base.empty() && base.back() != '\\') base += '\\';
    path = base + suffix;
    return true;
}

}  // namespace

std::vector<BYTE> encodeShellLink(const ShellLinkData &link)
{
    DWORD flags = IsUnicode;
    if (!link.path.empty()) flags |= HasLinkInfo;
    if (!link.description.empty()) flags |= HasName;
    if (!link.relativePath.empty()) flags |= HasRelativePath;
    if (!link.workingDir.empty()) flags |= HasWorkingDir;
    if (!link.arguments.empty()) flags |= HasArguments;
    if (!link.iconLocation.empty()) flags |= HasIconLocation;

    std::vector<BYTE> out;
    appendLe32(out, kHeaderSize);
    out.insert(out.end(), kLinkClsid, kLinkClsid + 16);
    appendLe32(out, flags);
    appendLe32(out, link.attributes);
    out.resize(out.size() + 24);  // times: unknown
    appendLe32(out, link.fileSize);
    appendLe32(out, DWORD(link.iconIndex));
    appendLe32(out, link.showCommand);
    appendLe16(out, link.hotkey);
    out.resize(kHeaderSize);

    if (flags & HasLinkInfo) {
        constexpr DWORD volumeSize = 0x11;  // four fields and an empty label
        DWORD volumeOffset = kLinkInfoHeaderSize;
        DWORD baseOffset = volumeOffset + volumeSize;
        DWORD suffixOffset = baseOffset + DWORD(link.path.size()) + 1;
        DWORD infoSize = suffixOffset + 1;
        appendLe32(out, infoSize);
        appendLe32(out, kLinkInfoHeaderSize);
        appendLe32(out, kVolumeIdAndLocalBasePath);
        appendLe32(out, volumeOffset);
        appendLe32(out, baseOffset);
        appendLe32(out, 0);
        appendLe32(out, suffixOffset);
        appendLe32(out, volumeSize);
        appendLe32(out, kDriveFixed);
        appendLe32(out, 0);     // serial number
        appendLe32(out, 0x10);  // label offset: the empty label right after
        out.push_back(0);
        out.insert(out.end(), link.path.begin(), link.path.end());
        out.push_back(0);
        out.push_back(0);  // empty common path suffix
    }
    if (flags & HasName) putCountedString(out, link.description);
    if (flags & HasRelativePath) putCountedString(out, link.relativePath);
    if (flags & HasWorkingDir) putCountedString(out, link.workingDir);
    if (flags & HasArguments) putCountedString(out, link.arguments);
    if (flags & HasIconLocation) putCountedString(out, link.iconLocation);
    appendLe32(out, 0);  // terminal block
    return out;
}

bool decodeShellLink(const std::vector<BYTE> &bytes, ShellLinkData &link)
{
    Reader in(bytes);
    DWORD headerSize, flags;
    if (!in.u32(headerSize) || headerSize != kHeaderSize || !in.has(kHeaderSize - 4)) return false;
    if (!std::equal(kLinkClsid, kLinkClsid + 16, bytes.begin() + 4)) return false;
    ShellLinkData result;
    flags = le32(bytes.data() + 20);
    result.attributes = le32(bytes.data() + 24);
    result.fileSize = le32(bytes.data() + 52);
    result.iconIndex = int(le32(bytes.data() + 56));
    result.showCommand = le32(bytes.data() + 60);
    result.hotkey = le16(bytes.data() + 64);
    in.skip(kHeaderSize - 4);

    if (flags & HasLinkTargetIDList) {
        WORD listSize;
        if (!in.u16(listSize) || !in.skip(listSize)) return false;
    }
    if (flags & HasLinkInfo) {
        size_t start = in.at();
        DWORD infoSize;
        if (!in.u32(infoSize) || infoSize < 4 || !in.skip(infoSize - 4)) return false;
        if (!decodeLinkInfo(bytes.data() + start, infoSize, result.path)) return false;
    }
    bool unicode = flags & IsUnicode;
    const std::pair<DWORD, std::string *> strings[] = {
        {HasName, &result.description},    {HasRelativePath, &result.relativePath},
        {HasWorkingDir, &result.workingDir}, {HasArguments, &result.arguments},
        {HasIconLocation, &result.iconLocation},
    };
    for (const auto &[flag, field] : strings)
        if ((flags & flag) && !in.countedString(unicode, *field)) return false;
    // ExtraData carries nothing the object keeps; it is not read.
    link = std::move(result);
    return true;
}

}  // namespace vek::host

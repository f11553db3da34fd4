// vekLoadCel: reads an 8-bit bitmap file and makes a cel of it with the
// literal-run cel encoder, its colours mapped onto a sprite context's
// palette.
//
// The first 16000 bytes of the file are read into the file buffer, behind a
// 4-byte gap so that the buffer has the layout of a DI record and its fields
// sit at the record offsets; the headers and colour table are taken from
// there, so the pixel offset must lie inside it. The rows are then read one
// at a time into the same buffer. The file must hold every row: a file that
// ends early is refused as a damaged one.
#include <vekkit/image.h>
#include <vekkit/objfile.h>

#include <algorithm>
#include <cstring>

#include "common/file_io.h"
#include "image/literal_cel_encoder.h"
#include "image/work_block.h"

namespace {

class FileRows final : public vek::CelRowSource {
public:
    FileRows(HFILE file, BYTE *buffer, size_t stride) : file_(file), buffer_(buffer), stride_(stride) {}

    const BYTE *nextRow() override
    {
        const DWORD got = vek::readBytes(file_, buffer_, static_cast<DWORD>(stride_));
        if (got < stride_) std::memset(buffer_ + got, 0, stride_ - got);
        return buffer_;
    }

private:
    HFILE file_;
    BYTE *buffer_;
    size_t stride_;
};

struct FileCloser {
    HFILE file;
    ~FileCloser() { _lclose(file); }
};

}  // namespace

LONG_PTR VEKAPI vekLoadCel(LPVEKCONTEXT context, LPCSTR fileName, BOOL mirror)
{
    if (!fileName) return VEK_CEL_NO_FILE;
    const HFILE file = _lopen(fileName, OF_READ);
    if (file == HFILE_ERROR) return VEK_CEL_NO_FILE;
    const FileCloser closer{file};
    const LONG end = _llseek(file, 0, 2);
    const DWORD length = end > 0 ? static_cast<DWORD>(end) : 0;
    if (_llseek(file, 0, 0) != 0) return VEK_CEL_BAD_FORMAT;

    vek::WorkBlock buffer = vek::workBlock(4 + vek::kFileBufferBytes);
    if (!buffer) return VEK_CEL_NO_MEMORY;
    BYTE *image = buffer.get();
    vek::readBytes(file, image + 4, static_cast<DWORD>(std::min<size_t>(length, vek::kFileBufferBytes)));
    vek::CelInput input;
    if (vek::checkCelInput(image, length, input) != 0 || input.offset >= vek::kFileBufferBytes)
        return VEK_CEL_BAD_FORMAT;
    const BYTE key = image[4 + input.offset];

    // A row longer than the file buffer gets a buffer of its own.
    vek::WorkBlock wideRow;
    BYTE *rowBuffer = image + 4;
    if (input.stride > vek::kFileBufferBytes) {
        wideRow = vek::workBlock(input.stride);
        if (!wideRow) return VEK_CEL_NO_MEMORY;
        rowBuffer = wideRow.get();
    }
    const LONG_PTR memFile = _mcreat(length);
    if (!memFile) return VEK_CEL_NO_MEMORY;
    if (_llseek(file, static_cast<LONG>(input.offset), 0) != static_cast<LONG>(input.offset)) {
        if (void *block = _mclose(memFile)) vek::freeLocked(block);
        return VEK_CEL_BAD_FORMAT;
    }
    FileRows rows(file, rowBuffer, input.stride);
    const PALETTEENTRY *palette = context ? context->paletteEntries : nullptr;
    return vek::encodeLiteralCel(image, input, key, palette, mirror != 0, memFile, rows);
}

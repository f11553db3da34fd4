// File I/O on buffers of any length: vek_hread and vek_hwrite.
//
// They move the buffer in the pieces of common/file_io.h and report count
// whatever the file did; the library's own loaders use the counting helpers
// to tell a short file.
#include <vekkit/objfile.h>

#include "common/file_io.h"

DWORD VEKAPI vek_hread(HFILE file, LPVOID buffer, DWORD count)
{
    if (buffer) vek::readBytes(file, buffer, count);
    return count;
}

DWORD VEKAPI vek_hwrite(HFILE file, LPCVOID buffer, DWORD count)
{
    if (buffer) vek::writeBytes(file, buffer, count);
    return count;
}

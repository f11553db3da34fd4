// Copy and fill of memory areas of any length.
//
// The names keep their large-buffer heritage; on a flat address space they
// are the C runtime's copy and fill, which already move a machine word or
// more at a time. The copy tolerates overlapping areas instead of leaving
// their result to chance.
#include <vekkit/objfile.h>

#include <cstring>

void VEKAPI _hmemcpy(LPVOID destination, LPCVOID source, DWORD count)
{
    if (count) std::memmove(destination, source, count);
}

void VEKAPI _hmemset(LPVOID destination, BYTE value, DWORD count)
{
    if (count) std::memset(destination, value, count);
}

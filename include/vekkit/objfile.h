/*
 * vekkit object files and compression: packed sound, the memory file and the
 * large-buffer helpers.
 */
#ifndef VEKKIT_OBJFILE_H
#define VEKKIT_OBJFILE_H

#include <vekkit/records.h>

/* Packed sound. No packer is part of the library: both entry points exist
   for the applications that link them and do nothing; they return 0. */
VEKKIT_EXPORT DWORD VEKAPI vekPackSound(DWORD_PTR a, DWORD_PTR b, DWORD_PTR c, DWORD_PTR d);
VEKKIT_EXPORT DWORD VEKAPI vekUnpackSound(DWORD_PTR a, DWORD_PTR b);

/* Memory file: a growable file in memory with the shapes of the runtime's
   low-level file calls. The handle is the address of the file's control
   record as an integer (0 is never a valid handle). The data grows to exactly
   what a write or seek needs; pass the expected output length to _mcreat so
   that it rarely has to grow. Bytes between the old length and a position
   reached by seeking past the end read as 0. */

/* A new, empty memory file whose data block is initialSize bytes, at least
   4 (its first 4 bytes are kept for the size field). 0 when memory runs
   out. */
VEKKIT_EXPORT LONG_PTR VEKAPI _mcreat(DWORD initialSize);

/* Writes count bytes at the current position and moves past them. Returns
   count, or 0 when the data could not grow (the length has then already been
   raised to cover the write; the position has not moved) or the handle or
   buffer is null. */
VEKKIT_EXPORT WORD VEKAPI _mwrite(LONG_PTR handle, LPCVOID buffer, WORD count);

/* Moves the position: origin 0 from the start, 1 from the current position,
   2 from the length. Seeking past the length extends the file. Returns the new
   position, or -1 with nothing changed for a negative or unrepresentable
   position, an unknown origin, a null handle or when the data cannot grow. */
VEKKIT_EXPORT LONG VEKAPI _mlseek(LONG_PTR handle, LONG offset, SHORT origin);

/* The file's length: the highest position ever written to or sought to;
   -1 for a null handle. */
VEKKIT_EXPORT LONG VEKAPI _mfilelength(LONG_PTR handle);

/* Nothing to flush in memory: always 0. */
VEKKIT_EXPORT SHORT VEKAPI _mcommit(LONG_PTR handle);

/* Ends the memory file and releases its control record. Returns its data as
   a locked, size-prefixed block (the u32 length, then the length bytes) that
   the caller owns and frees like any library block; null when the file is
   empty (its data block is then released too) or the handle is null. */
VEKKIT_EXPORT LPVOID VEKAPI _mclose(LONG_PTR handle);

/* Copies count bytes, any count. Overlapping areas are copied as if through
   a temporary buffer. */
VEKKIT_EXPORT void VEKAPI _hmemcpy(LPVOID destination, LPCVOID source, DWORD count);

/* Writes value count times, any count. */
VEKKIT_EXPORT void VEKAPI _hmemset(LPVOID destination, BYTE value, DWORD count);

#endif

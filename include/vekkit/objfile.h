/*
 * vekkit object files and compression: object files, compressed objects and
 * packed sound, the memory file and the large-buffer helpers.
 */
#ifndef VEKKIT_OBJFILE_H
#define VEKKIT_OBJFILE_H

#include <vekkit/records.h>

/* Object files. An object is a size-prefixed block (a u32 size field, then
   that many bytes): sprite image records, sound objects, closed memory files.
   The application opens, positions and closes the file; every call starts at
   the current position. The flags word tells whether the object is stored
   under a 12-byte object header (STORE_WITH_HEADER) and, for vekSaveObject,
   the storage method (STORE_RAW, STORE_LZSS, STORE_IMAGE_BITS,
   STORE_IMAGE_4BIT, STORE_IMAGE_BITS_FLAGS in the low bits). Pass the same
   flags to the calls that read, skip or measure an object as to the one that
   wrote it. The image methods take the object to be an 8-bit DI record. */

/* Writes the object and leaves the position after it. Returns, bare, the
   block's length (size field + 4); under a header, the stored payload length
   when the payload is compressed (methods 1, 8, 16 and 32), and 0 when the
   object went out raw, which is a success as well (raw asked for, or
   compression did not pay: a record of more than 16 colours under method 16
   goes as method 8 or raw). 0 also for the methods that write a header alone
   (2, 4 and unknown ones), for a record without pixel bytes under 8 or 32,
   and when a header word cannot be written: under a header, 0 does not tell
   success from failure. A block shorter than an image record's header is
   stored raw under the image methods. reserved is ignored. */
VEKKIT_EXPORT DWORD VEKAPI vekSaveObject(HFILE file, LPVOID object, DWORD flags, DWORD reserved);

/* Reads the object into a new zero-filled block that the caller owns, and
   leaves the position after it. The block is a locked global block: free an
   image record with vekDeleteSpriteData, any other object with
   GlobalUnlock(GlobalHandle(p)) and then GlobalFree(GlobalHandle(p))
   (vekDeleteSpriteData would take a type word of 0xFEF0 at byte 4 for a DD
   record and delete its "bitmaps"). Image methods give an 8-bit DI record
   with identity palette indices as colour table. Null when memory runs out, for
   methods 2 and unknown ones (the position is then after the object), and
   for a damaged object: a short file, a total under 4 or over 256 MiB, a
   payload past the end of the file or one that does not expand to exactly
   the object its header names. reserved is ignored. */
VEKKIT_EXPORT LPVOID VEKAPI vekLoadObject(HFILE file, DWORD flags, DWORD reserved);

/* Reads an object stored raw or with method 8 or 32 into dest, which must
   hold the object's total length (vekSizeNextObject); a library block that is
   shorter is refused. Of an image only the fields the payload names, the
   first 512 bytes of the colour table and the pixels are written. Returns
   dest, or null for any other method (the position is then after the object)
   and for a damaged object; a damaged stream may leave part of an image in
   dest. */
VEKKIT_EXPORT LPVOID VEKAPI vekLoadObjectInto(HFILE file, DWORD flags, DWORD reserved, LPVOID dest);

/* Moves past the next object; returns the new position, or HFILE_ERROR for a
   short file or a length that cannot be a file offset. */
VEKKIT_EXPORT LONG VEKAPI vekSkipObject(HFILE file, DWORD flags);

/* The first u32 of the next object, the position left unchanged: under a
   header the total, the block length to allocate; bare, the size field,
   4 less. 0 at the end of the file. The flags are ignored. */
VEKKIT_EXPORT DWORD VEKAPI vekSizeNextObject(HFILE file, DWORD flags);

/* Compressed objects. vekLoadCompObject reads the object with header at the
   current position without expanding it, into a new block: a size field of
   stored + 12, the header and the payload as in the file. The position is
   put back to the start of the object. Null when memory runs out, for a
   short file and for a payload past the end of the file. */
VEKKIT_EXPORT LPVOID VEKAPI vekLoadCompObject(HFILE file);

/* Writes what follows the size field of a block from vekLoadCompObject (the
   header and payload) at the current position; returns the size field. */
VEKKIT_EXPORT DWORD VEKAPI vekSaveCompObject(HFILE file, LPVOID block);

/* For an object with header of method 4 (packed sound), a new block holding
   the packed payload as in the file (no size field of its own), and
   *storedOut = its length (set also when memory runs out). Null, with
   *storedOut untouched, for other methods, a short file or a payload past the
   end. The position is put back to the start of the object. */
VEKKIT_EXPORT LPVOID VEKAPI vekLoadCompSound(HFILE file, LPDWORD storedOut);

/* Writes an object header (total = the u32 at packed + 4, storedLength, the
   method) and storedLength bytes of packed; returns storedLength. Writes are
   not checked. */
VEKKIT_EXPORT DWORD VEKAPI vekSaveCompSound(HFILE file, LPVOID packed, DWORD storedLength, DWORD method);

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
   the caller owns and frees as a loaded object (GlobalUnlock, then
   GlobalFree, of GlobalHandle(block)); null when the file is empty (its data
   block is then released too) or the handle is null. */
VEKKIT_EXPORT LPVOID VEKAPI _mclose(LONG_PTR handle);

/* Reads or writes count bytes through a file handle, any count, in pieces
   that the handle-level calls accept. Both return count: a short transfer is
   not reported. */
VEKKIT_EXPORT DWORD VEKAPI vek_hread(HFILE file, LPVOID buffer, DWORD count);
VEKKIT_EXPORT DWORD VEKAPI vek_hwrite(HFILE file, LPCVOID buffer, DWORD count);

/* Copies count bytes, any count. Overlapping areas are copied as if through
   a temporary buffer. */
VEKKIT_EXPORT void VEKAPI _hmemcpy(LPVOID destination, LPCVOID source, DWORD count);

/* Writes value count times, any count. */
VEKKIT_EXPORT void VEKAPI _hmemset(LPVOID destination, BYTE value, DWORD count);

#endif

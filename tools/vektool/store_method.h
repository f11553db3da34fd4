// Storage methods: how vektool writes each object under its header, and the
// check that the library reads it back as it was.
#pragma once

#include "input_file.h"
#include "sprite_record.h"
#include "temporary_file.h"

#include <map>
#include <string>

namespace vektool {

// none: the block as it is; lzss: the whole block compressed; bits: an
// image's pixels compressed (with its image flags when it has any); bits4:
// an image of at most 16 colours in four bits per pixel, compressed. Auto
// takes, of those that suit the object, the one that gives the shortest
// object the library reads back as it was.
enum class Store { Auto, None, Lzss, Bits, Bits4 };

// The names above, for the command line.
const std::map<std::string, Store> &storeNames();

// Writes objects with headers through the library (vekSaveObject), trying
// each method in a scratch file first and loading it back (vekLoadObject).
class ObjectWriter {
public:
    ObjectWriter();
    // Writes block at the current position of out with the method store
    // names, or the best one for Auto. Throws Failure naming shownAs when
    // the method does not suit the block or the object does not load back.
    void write(const FileHandle &out, const BYTE *block, Store store, const std::string &shownAs);

private:
    // The length of the object block makes with method, or 0 when it does
    // not load back as it was.
    LONG trial(const BYTE *block, DWORD method);

    TemporaryFile scratchFile_;
    FileHandle scratch_;
};

}  // namespace vektool

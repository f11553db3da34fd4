// Fuzz target: the MCI sequencer's Standard MIDI File decoder on any bytes.
//
// The input is copied into a block of exactly its size, so a read past the
// end is caught; an accepted file has a finite, non-negative length.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "mci/midi_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::unique_ptr<uint8_t[]> exact(new uint8_t[size]);
    std::copy(data, data + size, exact.get());
    double length;
    if (!vek::mci::midiFileLength(exact.get(), size, length)) return 0;
    if (!std::isfinite(length) || length < 0) std::abort();
    return 0;
}

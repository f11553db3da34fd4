// Fuzz target: the MCI sequencer's Standard MIDI File decoder on any bytes.
//
// The input is copied into a block of exactly its size, so a read past the
// end is caught. An accepted file has a non-negative length and a schedule of
// channel messages in time order, none after the end, with 7-bit data.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "mci/midi_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::unique_ptr<uint8_t[]> exact(new uint8_t[size]);
    std::copy(data, data + size, exact.get());
    vek::mci::MidiSong song;
    if (!vek::mci::readMidiFile(exact.get(), size, song)) return 0;
    if (song.length.count() < 0 || song.events.size() > vek::mci::kMaxMidiEvents) std::abort();
    auto previous = std::chrono::microseconds(0);
    for (const vek::mci::MidiEvent &event : song.events) {
        if (event.time() < previous || event.time() > song.length) std::abort();
        if (event.status < 0x80 || event.status >= 0xF0 || event.data1 > 0x7F || event.data2 > 0x7F) std::abort();
        previous = event.time();
    }
    return 0;
}

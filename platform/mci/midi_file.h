// Standard MIDI Files, read into a schedule of channel messages.
#ifndef VEKHOST_MCI_MIDI_FILE_H
#define VEKHOST_MCI_MIDI_FILE_H

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vek::mci {

// One channel message at its time from the start of the file. status is
// 0x80-0xEF (message type in the high nibble, channel in the low one); the
// data bytes are 0-127, data2 is 0 for the one-byte messages (program change,
// channel pressure).
struct MidiEvent {
    std::chrono::microseconds time;
    uint8_t status, data1, data2;
};

struct MidiSong {
    // From the start to the last event of the longest track (its end-of-track
    // event).
    std::chrono::microseconds length{0};
    // The channel messages of every track, in time order; messages of equal
    // time keep the order of their tracks and, within a track, of the file.
    std::vector<MidiEvent> events;
};

// Reads a Standard MIDI File of format 0 or 1, with its tempo changes. False
// when the bytes are not such a file or it lasts longer than about 31 years
// (10^15 microseconds); the decoder never reads outside [data, data + size).
bool readMidiFile(const uint8_t *data, size_t size, MidiSong &song);

}  // namespace vek::mci

#endif

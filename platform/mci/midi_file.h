// Standard MIDI Files, read into a schedule of channel messages.
#ifndef VEKHOST_MCI_MIDI_FILE_H
#define VEKHOST_MCI_MIDI_FILE_H

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vek::mci {

// One channel message at its time from the start of the file, in 8 bytes.
// status is 0x80-0xEF (message type in the high nibble, channel in the low
// one); the data bytes are 0-127, data2 is 0 for the one-byte messages
// (program change, channel pressure).
struct MidiEvent {
    uint32_t timeLow;  // the time in microseconds: its low 32 bits
    uint8_t timeHigh;  // and the 8 above them
    uint8_t status, data1, data2;
    std::chrono::microseconds time() const
    {
        return std::chrono::microseconds(static_cast<int64_t>(timeHigh) << 32 | timeLow);
    }
};

// The most channel messages a file may hold: 4 Mi, 32 MiB of schedule.
constexpr size_t kMaxMidiEvents = size_t(1) << 22;

struct MidiSong {
    // From the start to the last event of the longest track (its end-of-track
    // event).
    std::chrono::microseconds length{0};
    // The channel messages of every track, in time order; messages of equal
    // time keep the order of their tracks and, within a track, of the file.
    std::vector<MidiEvent> events;
};

// Reads a Standard MIDI File of format 0 or 1, with its tempo changes. False
// when the bytes are not such a file, it holds more than kMaxMidiEvents
// channel messages, or it lasts 2^40 microseconds (about 12 days) or more;
// the decoder never reads outside [data, data + size). Time and memory grow
// with the size of the file and of the schedule, whatever the bytes: the
// file is scanned once to count and check before the schedule is made.
bool readMidiFile(const uint8_t *data, size_t size, MidiSong &song);

}  // namespace vek::mci

#endif

// Standard MIDI Files, read for their playing time.
#ifndef VEKHOST_MCI_MIDI_FILE_H
#define VEKHOST_MCI_MIDI_FILE_H

#include <cstddef>
#include <cstdint>

namespace vek::mci {

// The playing time of a Standard MIDI File of format 0 or 1: from its start
// to the last event of its longest track (the end-of-track event), in
// microseconds, through the file's tempo changes. False when the bytes are
// not such a file; the decoder never reads outside [data, data + size).
bool midiFileLength(const uint8_t *data, size_t size, double &microseconds);

}  // namespace vek::mci

#endif

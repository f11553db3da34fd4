// What vektool tells of a Standard MIDI File: its header (format, tracks,
// division) and how long it plays. The length comes from the hosted MCI's
// own decoder, compiled in, so that it is the length the sequencer plays.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vektool {

struct MidiInfo {
    unsigned format = 0, tracks = 0, division = 0;
    // Seconds from the start to the end of the longest track; none for a
    // file the sequencer does not play (format 2, damaged tracks).
    std::optional<double> seconds;
};

bool looksLikeMidi(const std::vector<uint8_t> &bytes);

// Throws Failure naming shownAs when the header is not a MIDI header.
MidiInfo readMidiInfo(const std::vector<uint8_t> &bytes, const std::string &shownAs);

}  // namespace vektool

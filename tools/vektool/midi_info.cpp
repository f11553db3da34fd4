#include "midi_info.h"

#include "failure.h"

#include "mci/midi_file.h"

#include <cstring>

namespace vektool {
namespace {

unsigned bigEndian16(const uint8_t *p) { return unsigned{p[0]} << 8 | p[1]; }

}  // namespace

bool looksLikeMidi(const std::vector<uint8_t> &bytes)
{
    return bytes.size() >= 14 && std::memcmp(bytes.data(), "MThd", 4) == 0;
}

MidiInfo readMidiInfo(const std::vector<uint8_t> &bytes, const std::string &shownAs)
{
    // "MThd", u32 length (6), u16 format, u16 tracks, u16 division; all
    // big-endian.
    if (!looksLikeMidi(bytes) || bigEndian16(bytes.data() + 4) != 0 || bigEndian16(bytes.data() + 6) < 6)
        throw Failure(shownAs, "not a MIDI file");
    MidiInfo info;
    info.format = bigEndian16(bytes.data() + 8);
    info.tracks = bigEndian16(bytes.data() + 10);
    info.division = bigEndian16(bytes.data() + 12);
    vek::mci::MidiSong song;
    if (vek::mci::readMidiFile(bytes.data(), bytes.size(), song))
        info.seconds = static_cast<double>(song.length.count()) / 1e6;
    return info;
}

}  // namespace vektool

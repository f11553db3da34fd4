// Standard MIDI File decoding.
//
// A file is a sequence of chunks, each a four-letter type and a big-endian
// u32 length followed by that many bytes. The first is the header "MThd":
// u16 format (0: one track; 1: tracks played together), u16 track count,
// u16 division (bit 15 clear: ticks per quarter note; set: the high byte is
// minus the SMPTE frame rate, 24, 25, 29 for 29.97 or 30, and the low byte
// the ticks per frame). Track chunks "MTrk" follow; chunks of other types
// are skipped.
//
// A track is a list of events, each preceded by its delta time in ticks, a
// variable-length quantity (7 bits a byte, most significant first, bit 7
// set on every byte but the last, at most 4 bytes). Events:
//   0x80-0xEF  channel messages, 2 data bytes (1 for 0xC0-0xDF); a first
//              byte below 0x80 repeats the last channel status ("running
//              status") and is the first data byte;
//   0xF0, 0xF7 system exclusive: a variable-length count, then the bytes;
//   0xFF       meta event: a type byte, a variable-length count, the bytes.
//              Type 0x51 (3 bytes) sets the tempo in microseconds per
//              quarter note (500000 until the first one); type 0x2F ends
//              the track.
// System exclusive and meta events cancel running status. Tempo events of
// any track apply to all tracks, from their tick on.
#include "mci/midi_file.h"

#include <algorithm>
#include <vector>

namespace vek::mci {

namespace {

class Reader {
public:
    Reader(const uint8_t *data, size_t size) : at_(data), end_(data + size) {}

    size_t left() const { return static_cast<size_t>(end_ - at_); }

    bool byte(uint8_t &out)
    {
        if (at_ == end_) return false;
        out = *at_++;
        return true;
    }

    bool skip(size_t n)
    {
        if (n > left()) return false;
        at_ += n;
        return true;
    }

    bool bigEndian(int bytes, uint32_t &out)
    {
        out = 0;
        for (uint8_t b; bytes-- > 0; out = out << 8 | b)
            if (!byte(b)) return false;
        return true;
    }

    bool variableLength(uint32_t &out)
    {
        out = 0;
        for (int i = 0; i < 4; i++) {
            uint8_t b;
            if (!byte(b)) return false;
            out = out << 7 | (b & 0x7F);
            if (!(b & 0x80)) return true;
        }
        return false;
    }

    const uint8_t *here() const { return at_; }

private:
    const uint8_t *at_;
    const uint8_t *end_;
};

struct TempoChange {
    uint64_t tick;
    uint32_t microsPerQuarter;
};

// Reads one track; its last tick goes to endTick, its tempo changes are
// added to tempi.
bool readTrack(Reader track, uint64_t &endTick, std::vector<TempoChange> &tempi)
{
    uint64_t tick = 0;
    uint8_t running = 0;
    while (track.left()) {
        uint32_t delta;
        uint8_t status;
        if (!track.variableLength(delta) || !track.byte(status)) return false;
        tick += delta;
        if (status < 0x80) {
            // Running status: this byte was the first data byte.
            if (!running) return false;
            const int more = (running & 0xE0) == 0xC0 ? 0 : 1;
            if (!track.skip(more)) return false;
        } else if (status < 0xF0) {
            running = status;
            if (!track.skip((status & 0xE0) == 0xC0 ? 1 : 2)) return false;
        } else if (status == 0xF0 || status == 0xF7) {
            running = 0;
            uint32_t length;
            if (!track.variableLength(length) || !track.skip(length)) return false;
        } else if (status == 0xFF) {
            running = 0;
            uint8_t type;
            uint32_t length;
            if (!track.byte(type) || !track.variableLength(length) || length > track.left()) return false;
            if (type == 0x51 && length == 3) {
                const uint8_t *p = track.here();
                const uint32_t tempo = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
                if (tempo) tempi.push_back({tick, tempo});
            }
            track.skip(length);
            if (type == 0x2F) break;
        } else {
            return false;  // real-time and common messages have no place in a file
        }
    }
    endTick = tick;
    return true;
}

}  // namespace

bool midiFileLength(const uint8_t *data, size_t size, double &microseconds)
{
    Reader file(data, size);
    uint32_t type, length, format, tracks, division;
    if (!file.bigEndian(4, type) || type != 0x4D546864 /* MThd */ || !file.bigEndian(4, length) || length < 6 ||
        length > file.left())
        return false;
    if (!file.bigEndian(2, format) || !file.bigEndian(2, tracks) || !file.bigEndian(2, division) ||
        !file.skip(length - 6))
        return false;
    if (format > 1 || tracks == 0 || (format == 0 && tracks != 1) || (division & 0x7FFF) == 0) return false;

    uint64_t endTick = 0;
    std::vector<TempoChange> tempi;
    uint32_t found = 0;
    while (found < tracks && file.left()) {
        if (!file.bigEndian(4, type) || !file.bigEndian(4, length) || length > file.left()) return false;
        if (type == 0x4D54726B /* MTrk */) {
            uint64_t trackEnd;
            if (!readTrack(Reader(file.here(), length), trackEnd, tempi)) return false;
            endTick = std::max(endTick, trackEnd);
            found++;
        }
        file.skip(length);
    }
    if (found < tracks) return false;

    if (division & 0x8000) {
        // SMPTE time: a fixed number of ticks a second, whatever the tempo.
        const int rate = -static_cast<int8_t>(division >> 8);
        if ((rate != 24 && rate != 25 && rate != 29 && rate != 30) || (division & 0xFF) == 0) return false;
        const double framesPerSecond = rate == 29 ? 30000.0 / 1001.0 : rate;
        microseconds = static_cast<double>(endTick) * 1e6 / (framesPerSecond * (division & 0xFF));
        return true;
    }
    std::stable_sort(tempi.begin(), tempi.end(),
                     [](const TempoChange &a, const TempoChange &b) { return a.tick < b.tick; });
    double total = 0;
    uint64_t at = 0;
    uint32_t tempo = 500000;
    for (const TempoChange &change : tempi) {
        if (change.tick >= endTick) break;
        total += static_cast<double>(change.tick - at) * tempo;
        at = change.tick;
        tempo = change.microsPerQuarter;
    }
    total += static_cast<double>(endTick - at) * tempo;
    microseconds = total / division;
    return true;
}

}  // namespace vek::mci

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
// any track apply to all tracks, from their tick on. The channel messages of
// all tracks are merged into one schedule in time order.
//
// Decoding takes two passes over the tracks: the first checks them, counts
// their channel messages and gathers the tempo map; the second merges the
// tracks message by message, in tick order, straight into a schedule of
// exactly the size counted.
#include "mci/midi_file.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <utility>

namespace vek::mci {

namespace {

// Files that last this many microseconds or more (about 12 days) are
// refused: every time then fits the 40 bits of an event.
constexpr double kLongest = static_cast<double>(int64_t(1) << 40);

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

// A channel message at its tick.
struct Message {
    uint64_t tick;
    uint8_t status, data1, data2;
};

// Reads one track's channel messages in turn.
class TrackReader {
public:
    explicit TrackReader(Reader track) : track_(track) {}

    // The next channel message; false at the end of the track or at a fault
    // (broken() tells which). Tempo changes on the way are added to tempi
    // when it is given.
    bool next(Message &out, std::vector<TempoChange> *tempi)
    {
        while (!done_ && track_.left()) {
            uint32_t delta;
            uint8_t status;
            if (!track_.variableLength(delta) || !track_.byte(status)) return fail();
            tick_ += delta;
            if (status < 0xF0) {
                uint8_t data[2] = {0, 0};
                if (status < 0x80) {
                    // Running status: this byte was the first data byte.
                    if (!running_) return fail();
                    data[0] = status;
                    status = running_;
                } else {
                    running_ = status;
                    if (!track_.byte(data[0])) return fail();
                }
                if ((status & 0xE0) != 0xC0 && !track_.byte(data[1])) return fail();
                // A stray bit 7 in a data byte is dropped rather than refused.
                out = {tick_, status, static_cast<uint8_t>(data[0] & 0x7F), static_cast<uint8_t>(data[1] & 0x7F)};
                return true;
            }
            if (status == 0xF0 || status == 0xF7) {
                running_ = 0;
                uint32_t length;
                if (!track_.variableLength(length) || !track_.skip(length)) return fail();
            } else if (status == 0xFF) {
                running_ = 0;
                uint8_t type;
                uint32_t length;
                if (!track_.byte(type) || !track_.variableLength(length) || length > track_.left()) return fail();
                if (type == 0x51 && length == 3 && tempi) {
                    const uint8_t *p = track_.here();
                    const uint32_t tempo = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
                    if (tempo) tempi->push_back({tick_, tempo});
                }
                track_.skip(length);
                if (type == 0x2F) done_ = true;
            } else {
                return fail();  // real-time and common messages have no place in a file
            }
        }
        done_ = true;
        return false;
    }

    bool broken() const { return broken_; }
    // The tick reached: the track's last once next has returned false.
    uint64_t tick() const { return tick_; }

private:
    bool fail()
    {
        broken_ = done_ = true;
        return false;
    }

    Reader track_;
    uint64_t tick_ = 0;
    uint8_t running_ = 0;
    bool done_ = false;
    bool broken_ = false;
};

// Turns ticks into microseconds from the start; asked for ticks in
// non-decreasing order.
class Clock {
public:
    // ticksPerSecond is 0 for metrical time, where division counts the ticks
    // of a quarter note and tempi (sorted by tick) give its duration.
    Clock(double ticksPerSecond, uint32_t division, const std::vector<TempoChange> &tempi)
        : ticksPerSecond_(ticksPerSecond), division_(division), next_(tempi.begin()), last_(tempi.end())
    {
    }

    double at(uint64_t tick)
    {
        if (ticksPerSecond_) return static_cast<double>(tick) * 1e6 / ticksPerSecond_;
        for (; next_ != last_ && next_->tick <= tick; ++next_) {
            elapsed_ += static_cast<double>(next_->tick - from_) * tempo_;
            from_ = next_->tick;
            tempo_ = next_->microsPerQuarter;
        }
        return (elapsed_ + static_cast<double>(tick - from_) * tempo_) / division_;
    }

private:
    const double ticksPerSecond_;
    const uint32_t division_;
    std::vector<TempoChange>::const_iterator next_, last_;
    double elapsed_ = 0;      // microseconds times ticks per quarter note, up to from_
    uint64_t from_ = 0;       // tick of the current tempo's start
    uint32_t tempo_ = 500000; // microseconds per quarter note until the first change
};

int64_t rounded(double microseconds)
{
    return static_cast<int64_t>(microseconds + 0.5);
}

}  // namespace

bool readMidiFile(const uint8_t *data, size_t size, MidiSong &song)
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

    double ticksPerSecond = 0;
    if (division & 0x8000) {
        // SMPTE time: a fixed number of ticks a second, whatever the tempo.
        const int rate = -static_cast<int8_t>(division >> 8);
        if ((rate != 24 && rate != 25 && rate != 29 && rate != 30) || (division & 0xFF) == 0) return false;
        ticksPerSecond = (rate == 29 ? 30000.0 / 1001.0 : rate) * (division & 0xFF);
    }

    // First pass: the tracks checked, their messages counted, the tempo map.
    std::vector<Reader> trackData;
    std::vector<TempoChange> tempi;
    uint64_t endTick = 0;
    size_t count = 0;
    while (trackData.size() < tracks && file.left()) {
        if (!file.bigEndian(4, type) || !file.bigEndian(4, length) || length > file.left()) return false;
        if (type == 0x4D54726B /* MTrk */) {
            trackData.emplace_back(file.here(), length);
            TrackReader track(trackData.back());
            for (Message message; track.next(message, &tempi);)
                if (++count > kMaxMidiEvents) return false;
            if (track.broken()) return false;
            endTick = std::max(endTick, track.tick());
        }
        file.skip(length);
    }
    if (trackData.size() < tracks) return false;

    std::stable_sort(tempi.begin(), tempi.end(),
                     [](const TempoChange &a, const TempoChange &b) { return a.tick < b.tick; });
    const double end = Clock(ticksPerSecond, division, tempi).at(endTick);
    if (!(end < kLongest)) return false;
    const int64_t songLength = rounded(end);

    // Second pass: the tracks merged in tick order, equal ticks in track
    // order, each message timed as it comes.
    std::vector<TrackReader> readers(trackData.begin(), trackData.end());
    std::vector<Message> pending(readers.size());
    using Due = std::pair<uint64_t, size_t>;  // tick, track
    std::priority_queue<Due, std::vector<Due>, std::greater<Due>> due;
    for (size_t i = 0; i < readers.size(); i++)
        if (readers[i].next(pending[i], nullptr)) due.push({pending[i].tick, i});
    std::vector<MidiEvent> events;
    events.reserve(count);
    Clock clock(ticksPerSecond, division, tempi);
    while (!due.empty()) {
        const size_t i = due.top().second;
        due.pop();
        // A track goes on as long as its messages come first.
        for (;;) {
            const Message &m = pending[i];
            const uint64_t time = static_cast<uint64_t>(std::min(rounded(clock.at(m.tick)), songLength));
            events.push_back(
                {static_cast<uint32_t>(time), static_cast<uint8_t>(time >> 32), m.status, m.data1, m.data2});
            if (!readers[i].next(pending[i], nullptr)) break;
            if (!due.empty() && due.top() < Due{pending[i].tick, i}) {
                due.push({pending[i].tick, i});
                break;
            }
        }
    }

    song.length = std::chrono::microseconds(songLength);
    song.events = std::move(events);
    return true;
}

}  // namespace vek::mci

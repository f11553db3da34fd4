// MIDI playback end to end on the hosted platform: the built-in MCI's
// Standard MIDI File reading (lengths, refused files), and the library's
// MIDI calls driven by a real message loop.
#include <vekkit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "mci/midi_file.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;
using SendString = MCIERROR(WINAPI *)(LPCSTR command, LPSTR returnString, UINT returnLength, HWND callback);
using GetErrorString = BOOL(WINAPI *)(MCIERROR error, LPSTR text, UINT length);

void appendBigEndian(Bytes &out, unsigned value, int bytes)
{
    while (bytes-- > 0) out.push_back(static_cast<unsigned char>(value >> (8 * bytes)));
}

// A track chunk of (delta, bytes) events and an end of track endDelta later.
Bytes track(const std::vector<std::pair<unsigned, Bytes>> &events, unsigned endDelta)
{
    Bytes body;
    auto delta = [&](unsigned v) {
        unsigned char groups[4];
        int n = 0;
        do groups[n++] = v & 0x7F, v >>= 7;
        while (v);
        while (n-- > 0) body.push_back(static_cast<unsigned char>(groups[n] | (n ? 0x80 : 0)));
    };
    for (const auto &[d, bytes] : events) {
        delta(d);
        body.insert(body.end(), bytes.begin(), bytes.end());
    }
    delta(endDelta);
    body.insert(body.end(), {0xFF, 0x2F, 0x00});
    Bytes chunk{'M', 'T', 'r', 'k'};
    appendBigEndian(chunk, static_cast<unsigned>(body.size()), 4);
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

Bytes smf(unsigned format, unsigned division, const std::vector<Bytes> &tracks)
{
    Bytes file{'M', 'T', 'h', 'd', 0, 0, 0, 6};
    appendBigEndian(file, format, 2);
    appendBigEndian(file, static_cast<unsigned>(tracks.size()), 2);
    appendBigEndian(file, division, 2);
    for (const Bytes &t : tracks) file.insert(file.end(), t.begin(), t.end());
    return file;
}

Bytes tempo(unsigned micros)
{
    return {0xFF, 0x51, 0x03, BYTE(micros >> 16), BYTE(micros >> 8), BYTE(micros)};
}

// One note of the given ticks at 480 a quarter note, its note off with
// running status (a note on of velocity 0).
Bytes noteFile(unsigned ticks, unsigned microsPerQuarter)
{
    return smf(0, 480, {track({{0, tempo(microsPerQuarter)}, {0, {0x90, 60, 100}}, {ticks, {60, 0}}}, 0)});
}

std::string writeFile(const std::string &name, const Bytes &bytes)
{
    const fs::path path = fs::temp_directory_path() / ("vekkit-midi-" + name);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    return path.string();
}

template <typename F>
F entry(const char *module, const char *name)
{
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA(module), name)));
}

std::string errorText(MCIERROR error)
{
    char text[MAXERRORLENGTH * 2];
    EXPECT_TRUE(entry<GetErrorString>("MMSYSTEM.DLL", "mciGetErrorString")(error, text, sizeof text));
    return text;
}

std::string send(const std::string &command, MCIERROR expected = 0)
{
    char answer[64] = "untouched";
    EXPECT_EQ(entry<SendString>("mmsystem", "mciSendString")(command.c_str(), answer, sizeof answer, nullptr), expected)
        << command;
    return answer;
}

// Dispatches messages until done() or timeoutMs; the MM_MCINOTIFY codes
// seen go to notifications.
template <class Done>
bool pumpUntil(Done done, DWORD timeoutMs, std::vector<WPARAM> *notifications = nullptr)
{
    for (const DWORD start = GetTickCount();; Sleep(2)) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == MM_MCINOTIFY && notifications) notifications->push_back(m.wParam);
            DispatchMessageA(&m);
        }
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
    }
}

// Every play sounds into an audio file rather than from the speakers.
class AudioToFile : public ::testing::Environment {
public:
    void SetUp() override
    {
        setenv("VEKHOST_AUDIO_FILE", (fs::temp_directory_path() / "vekkit-midi-playback.raw").c_str(), 0);
    }
};
const auto *const kAudioToFile = ::testing::AddGlobalTestEnvironment(new AudioToFile);

}  // namespace

TEST(MciSequencer, FilesAndTheirLengths)
{
    // 480 ticks at 0.5 s a quarter, then 960 at 0.25 s: 1 s. Format 1: the
    // tempo map in the first track, the longest track wins. SMPTE: 25
    // frames of 40 ticks a second.
    const struct {
        Bytes file;
        const char *length;
    } lengths[] = {
        {smf(0, 480, {track({{0, tempo(500000)}, {0, {0x90, 60, 90}}, {480, tempo(250000)}, {960, {0x80, 60, 0}}}, 0)}),
         "1000"},
        {smf(1, 96, {track({{0, tempo(1000000)}}, 0), track({{0, {0xC0, 5}}, {0, {0x90, 60, 1}}}, 48),
                     track({{0, {0x91, 64, 1}}, {192, {0x81, 64, 0}}}, 0)}),
         "2000"},
        {smf(0, 0xE728, {track({{0, tempo(100)}, {0, {0x90, 60, 1}}}, 1500)}), "1500"},
    };
    for (const auto &l : lengths) {
        send("open sequencer!" + writeFile("length.mid", l.file) + " alias Length");
        EXPECT_EQ(send("status length length"), l.length);
        EXPECT_EQ(send("status length mode"), "stopped");
        send("close LENGTH");
    }

    // Malformed files are invalid for the sequencer.
    const Bytes good = noteFile(480, 100000);
    std::vector<Bytes> bad;
    for (size_t cut : {size_t{13}, good.size() - 1}) bad.emplace_back(good.begin(), good.begin() + long(cut));
    bad.push_back(good);
    bad.back()[9] = 2;  // format 2
    bad.push_back(smf(0, 480, {track({{0, {60, 0}}}, 0)}));  // running status without a status
    bad.push_back(smf(0, 0, {track({}, 10)}));  // division 0
    bad.push_back(smf(1, 480, {track({}, 10)}));
    bad.back()[11] = 2;  // a track missing
    bad.push_back(smf(0, 480, {track({{0, {0xFF, 0x01, 0x7F, 'a'}}}, 0)}));  // a meta event past the end
    for (const Bytes &b : bad) send("open sequencer!" + writeFile("bad.mid", b) + " alias bad", MCIERR_INVALID_FILE);
    EXPECT_EQ(errorText(MCIERR_INVALID_FILE), "The specified file cannot be played on the specified MCI device. "
                                              "The file may be corrupt, or not in the correct format.");
}

TEST(MciSequencer, ScheduleMergesTracksThroughTheTempoMap)
{
    // 96 ticks a quarter note: 0.5 s a quarter, then 0.25 s from tick 96 on.
    // The second track uses running status, twice across a new status.
    const Bytes file = smf(1, 96,
                           {track({{0, tempo(500000)}, {96, tempo(250000)}, {0, {0x91, 70, 1}}}, 96),
                            track({{0, {0xC0, 5}},
                                   {0, {0x90, 60, 100}},
                                   {48, {64, 100}},
                                   {48, {60, 0}},
                                   {0, {0xB0, 7, 100}},
                                   {48, {10, 64}},
                                   {0, {0xE0, 0, 64}},
                                   {48, {0x80, 64, 0}}},
                                  0)});
    vek::mci::MidiSong song;
    ASSERT_TRUE(vek::mci::readMidiFile(file.data(), file.size(), song));
    EXPECT_EQ(song.length.count(), 750000);
    using Event = std::array<long long, 4>;  // microseconds, status, data bytes
    std::vector<Event> schedule;
    for (const vek::mci::MidiEvent &e : song.events)
        schedule.push_back({e.time().count(), e.status, e.data1, e.data2});
    // At tick 96 the first track's message comes first.
    EXPECT_EQ(schedule, (std::vector<Event>{{0, 0xC0, 5, 0},
                                            {0, 0x90, 60, 100},
                                            {250000, 0x90, 64, 100},
                                            {500000, 0x91, 70, 1},
                                            {500000, 0x90, 60, 0},
                                            {500000, 0xB0, 7, 100},
                                            {625000, 0xB0, 10, 64},
                                            {625000, 0xE0, 0, 64},
                                            {750000, 0x80, 64, 0}}));
}

class MidiPlayback : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(vekkitInit(), 1); }
    void TearDown() override
    {
        vekCloseMIDI(0);
        pumpUntil([] { return !vekIsMIDIPlaying("tune"); }, 2000);
        pumpUntil([] { return false; }, 50);  // late notifications
        EXPECT_EQ(vekkitCleanup(), 1);
    }
};

TEST_F(MidiPlayback, PlaysForTheFileDurationThenGoesIdle)
{
    // 0.4 s: 960 ticks at 0.2 s a quarter note.
    const std::string file = writeFile("tune.mid", noteFile(960, 200000));
    const DWORD start = GetTickCount();
    ASSERT_EQ(vekPlayMIDI(file.c_str(), "tune", FALSE), nullptr);
    EXPECT_TRUE(vekIsMIDIPlaying("TUNE")) << "aliases compare ignoring case";
    EXPECT_STREQ(vekPlayMIDI(file.c_str(), "other", FALSE), "Another file is playing.");
    EXPECT_EQ(send("status tune mode"), "playing") << "the first file plays on";
    std::vector<WPARAM> codes;
    ASSERT_TRUE(pumpUntil([] { return !vekIsMIDIPlaying("tune"); }, 5000, &codes));
    EXPECT_GE(GetTickCount() - start, 380u) << "the file lasts 400 ms";
    EXPECT_EQ(codes, std::vector<WPARAM>{MCI_NOTIFY_SUCCESSFUL});
    // Idle with the alias still current: a restart plays it again.
    ASSERT_EQ(vekRestartMIDI(0), nullptr);
    EXPECT_TRUE(vekIsMIDIPlaying("tune"));
    EXPECT_TRUE(pumpUntil([] { return !vekIsMIDIPlaying("tune"); }, 5000));
}

TEST_F(MidiPlayback, LoopingRestartsUntilClosed)
{
    const std::string file = writeFile("loop.mid", noteFile(480, 150000));  // 150 ms
    ASSERT_EQ(vekPlayMIDI(file.c_str(), "tune", TRUE), nullptr);
    std::vector<WPARAM> codes;
    const DWORD start = GetTickCount();
    pumpUntil([&] { return codes.size() >= 3; }, 5000, &codes);
    EXPECT_GE(GetTickCount() - start, 400u) << "three plays of 150 ms";
    EXPECT_EQ(codes, std::vector<WPARAM>(3, MCI_NOTIFY_SUCCESSFUL));
    EXPECT_TRUE(vekIsMIDIPlaying("tune")) << "each end starts the file again";
    vekCloseMIDI(0);
    EXPECT_FALSE(vekIsMIDIPlaying("tune")) << "the alias is gone at once";
    codes.clear();
    pumpUntil([] { return false; }, 400, &codes);
    EXPECT_EQ(codes, std::vector<WPARAM>{MCI_NOTIFY_ABORTED}) << "no restart after the close";
}

TEST_F(MidiPlayback, CloseIsIdleOnlyOnceItsNotificationArrives)
{
    const std::string file = writeFile("long.mid", noteFile(4800, 500000));  // 5 s
    ASSERT_EQ(vekPlayMIDI(file.c_str(), "tune", FALSE), nullptr);
    vekCloseMIDI(0);
    EXPECT_STREQ(vekPlayMIDI(file.c_str(), "tune", FALSE), "Another file is playing.");
    std::vector<WPARAM> codes;
    ASSERT_TRUE(pumpUntil([&] { return !codes.empty(); }, 2000, &codes));
    EXPECT_EQ(codes, std::vector<WPARAM>{MCI_NOTIFY_ABORTED});
    ASSERT_EQ(vekPlayMIDI(file.c_str(), "tune", FALSE), nullptr);
    // Any notification ends playing.
    EXPECT_EQ(fakewindowproc(nullptr, MM_MCINOTIFY, MCI_NOTIFY_FAILURE, 0), 0);
    EXPECT_FALSE(vekIsMIDIPlaying("tune"));
}

TEST_F(MidiPlayback, ErrorsComeBackAsText)
{
    const std::string missing = (fs::temp_directory_path() / "vekkit-midi-none.mid").string();
    EXPECT_STREQ(vekPlayMIDI(missing.c_str(), "tune", FALSE),
                 "Cannot find the specified file. Make sure the path and filename are correct.");
    const std::string broken = writeFile("broken.mid", Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0});
    EXPECT_STREQ(vekPlayMIDI(broken.c_str(), "tune", FALSE), errorText(MCIERR_INVALID_FILE).c_str());
    EXPECT_FALSE(vekIsMIDIPlaying("tune"));
    EXPECT_STREQ(vekPlayMIDI(broken.c_str(), std::string(128, 'a').c_str(), FALSE), errorText(MCIERR_OUTOFRANGE).c_str())
        << "an alias of 128 characters does not fit";
}

TEST(MidiLifecycle, LastCleanupDestroysTheWindow)
{
    const std::string file = writeFile("life.mid", noteFile(48, 100000));
    vekkitInit();
    vekkitInit();
    vekkitCleanup();
    ASSERT_EQ(vekPlayMIDI(file.c_str(), "life", FALSE), nullptr) << "one init is still open";
    vekCloseMIDI(0);
    vekkitCleanup();
    EXPECT_STREQ(vekPlayMIDI(file.c_str(), "life", FALSE), "DEDIVEZID has not been set up.");
}

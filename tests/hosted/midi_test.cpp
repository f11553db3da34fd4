// MIDI playback end to end on the hosted platform: the built-in MCI's
// command strings, its Standard MIDI File decoder and real-time sequencer,
// the sound it makes through FluidSynth, and the library's MIDI calls driven
// by a real message loop.
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

void appendVariableLength(Bytes &out, unsigned value)
{
    unsigned char groups[4];
    int n = 0;
    do {
        groups[n++] = value & 0x7F;
        value >>= 7;
    } while (value);
    while (n-- > 0) out.push_back(static_cast<unsigned char>(groups[n] | (n ? 0x80 : 0)));
}

void appendBigEndian(Bytes &out, unsigned value, int bytes)
{
    while (bytes-- > 0) out.push_back(static_cast<unsigned char>(value >> (8 * bytes)));
}

// A track chunk: events are (delta, bytes) pairs; an end-of-track event is
// added after the last, endDelta ticks later.
Bytes track(const std::vector<std::pair<unsigned, Bytes>> &events, unsigned endDelta)
{
    Bytes body;
    for (const auto &[delta, bytes] : events) {
        appendVariableLength(body, delta);
        body.insert(body.end(), bytes.begin(), bytes.end());
    }
    appendVariableLength(body, endDelta);
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

Bytes tempo(unsigned microsPerQuarter)
{
    return {0xFF, 0x51, 0x03, static_cast<unsigned char>(microsPerQuarter >> 16),
            static_cast<unsigned char>(microsPerQuarter >> 8), static_cast<unsigned char>(microsPerQuarter)};
}

// One note of the given ticks on channel 0 at 480 ticks a quarter note, the
// note off sent with running status (a note on of velocity 0).
Bytes noteFile(unsigned ticks, unsigned microsPerQuarter)
{
    return smf(0, 480, {track({{0, tempo(microsPerQuarter)}, {0, {0x90, 60, 100}}, {ticks, {60, 0}}}, 0)});
}

std::string writeFile(const std::string &name, const Bytes &bytes)
{
    const fs::path path = fs::temp_directory_path() / ("vekkit-midi-" + name);
    FILE *f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path.string();
}

SendString sendString()
{
    return reinterpret_cast<SendString>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("mmsystem"), "mciSendString")));
}

std::string errorText(MCIERROR error)
{
    auto get = reinterpret_cast<GetErrorString>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("MMSYSTEM.DLL"), "mciGetErrorString")));
    char text[MAXERRORLENGTH * 2];
    EXPECT_TRUE(get(error, text, sizeof text));
    return text;
}

std::string send(const std::string &command, MCIERROR expected = 0)
{
    char answer[64] = "untouched";
    EXPECT_EQ(sendString()(command.c_str(), answer, sizeof answer, nullptr), expected) << command;
    return answer;
}

// Dispatches this thread's messages until done() holds or timeoutMs pass;
// notifications are the MM_MCINOTIFY codes seen on the way.
template <class Done>
bool pumpUntil(Done done, DWORD timeoutMs, std::vector<WPARAM> *notifications = nullptr)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == MM_MCINOTIFY && notifications) notifications->push_back(m.wParam);
            DispatchMessageA(&m);
        }
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(2);
    }
}

// Plays a MIDI file to its end and exits; the caller's process is the
// child of a death test, run with VEKHOST_AUDIO_FILE set before its first play.
[[noreturn]] void playToTheEndAndExit(const std::string &midiFile, const std::string &audioFile)
{
    setenv("VEKHOST_AUDIO_FILE", audioFile.c_str(), 1);
    bool ended = false;
    if (sendString()(("open sequencer!" + midiFile + " alias sound").c_str(), nullptr, 0, nullptr) == 0 &&
        sendString()("play sound", nullptr, 0, nullptr) == 0) {
        char mode[16] = "";
        for (const DWORD start = GetTickCount(); !ended && GetTickCount() - start < 5000; Sleep(10))
            ended = sendString()("status sound mode", mode, sizeof mode, nullptr) == 0 && std::string(mode) == "stopped";
        sendString()("close sound", nullptr, 0, nullptr);
    }
    std::exit(ended ? 0 : 1);  // the exit completes the audio file
}

// Plays a MIDI file in a process of its own whose synthesizer writes raw
// 16-bit samples to a file; returns the largest sample magnitude there, or
// -1 when no audio file was made (no FluidSynth or no sound font). The child
// runs the calling test again up to this death test, so the test may hold
// only one.
int loudestSample(const std::string &midiFile, const std::string &name)
{
    const std::string audioFile = (fs::temp_directory_path() / ("vekkit-midi-" + name)).string();
    fs::remove(audioFile);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(playToTheEndAndExit(midiFile, audioFile), ::testing::ExitedWithCode(0), "");
    std::ifstream in(audioFile, std::ios::binary);
    if (!in) return -1;
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_GT(bytes.size(), 0u) << name;
    int loudest = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto sample = static_cast<int16_t>(static_cast<unsigned char>(bytes[i]) |
                                                 static_cast<unsigned char>(bytes[i + 1]) << 8);
        loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
    }
    return loudest;
}

// Every play of this program sounds into an audio file rather than from
// the speakers (a sound test's own process names another file): quiet on a
// developer's machine, and the synthesizer is driven where there is no
// sound device.
class AudioToFile : public ::testing::Environment {
public:
    void SetUp() override
    {
        setenv("VEKHOST_AUDIO_FILE", (fs::temp_directory_path() / "vekkit-midi-playback.raw").c_str(), 0);
    }
};

const auto *const kAudioToFile = ::testing::AddGlobalTestEnvironment(new AudioToFile);

}  // namespace

// Runs first: nothing of the library is initialised yet.
TEST(Midi, NothingPlaysBeforeInitialisation)
{
    EXPECT_STREQ(vekPlayMIDI("x.mid", "x", FALSE), "DEDIVEZID has not been set up.");
    EXPECT_FALSE(vekIsMIDIPlaying(""));
}

TEST(MciSequencer, LengthFollowsTempoChangesAndTracks)
{
    // 480 ticks at 0.5 s a quarter, then 960 ticks at 0.25 s: 1 s.
    const std::string changing = writeFile(
        "tempo.mid",
        smf(0, 480, {track({{0, tempo(500000)}, {0, {0x90, 60, 90}}, {480, tempo(250000)}, {960, {0x80, 60, 0}}}, 0)}));
    send("open sequencer!" + changing + " alias Tempo");
    EXPECT_EQ(send("status tempo length"), "1000");
    send("close TEMPO");

    // Format 1: the tempo map in the first track, the longest track wins.
    const std::string multi = writeFile(
        "multi.mid", smf(1, 96, {track({{0, tempo(1000000)}}, 0), track({{0, {0xC0, 5}}, {0, {0x90, 60, 1}}}, 48),
                                 track({{0, {0x91, 64, 1}}, {192, {0x81, 64, 0}}}, 0)}));
    send("open \"" + multi + "\" alias multi");
    EXPECT_EQ(send("status multi length"), "2000");
    EXPECT_EQ(send("status multi mode"), "stopped");
    send("close multi");

    // SMPTE division: 25 frames of 40 ticks a second.
    const std::string smpte =
        writeFile("smpte.mid", smf(0, 0xE728, {track({{0, tempo(100)}, {0, {0x90, 60, 1}}}, 1500)}));
    send("open sequencer!" + smpte + " alias s");
    EXPECT_EQ(send("status s length"), "1500");
    send("close s");
}

TEST(MciSequencer, CommandErrors)
{
    const std::string file = writeFile("short.mid", noteFile(480, 100000));
    EXPECT_EQ(send("", MCIERR_MISSING_COMMAND_STRING), "");
    send("rewind all", MCIERR_UNRECOGNIZED_COMMAND);
    send("play", MCIERR_MISSING_DEVICE_NAME);
    send("play nothing", MCIERR_INVALID_DEVICE_NAME);
    send("open sequencer!" + (fs::temp_directory_path() / "vekkit-midi-missing.mid").string() + " alias a",
         MCIERR_FILE_NOT_FOUND);
    send("open waveaudio!" + file + " alias a", MCIERR_INVALID_DEVICE_NAME);
    send("open " + file + ".txt alias a", MCIERR_EXTENSION_NOT_FOUND);
    send("open \"" + file, MCIERR_NO_CLOSING_QUOTE);

    send("open sequencer!" + file + " alias a");
    send("open sequencer!" + file + " alias A", MCIERR_DUPLICATE_ALIAS);
    send("play a from x", MCIERR_BAD_INTEGER);
    send("play a from 101", MCIERR_OUTOFRANGE);
    send("play a backwards", MCIERR_UNRECOGNIZED_KEYWORD);
    send("status a", MCIERR_MISSING_PARAMETER);
    char tiny[4];
    EXPECT_EQ(sendString()("status a mode", tiny, sizeof tiny, nullptr), MCIERR_PARAM_OVERFLOW);
    send("close a");
    send("close a", MCIERR_INVALID_DEVICE_NAME);
}

TEST(MciSequencer, MalformedFilesAreInvalid)
{
    const Bytes good = noteFile(480, 100000);
    std::vector<std::pair<std::string, Bytes>> bad;
    for (size_t cut : {size_t{4}, size_t{13}, size_t{20}, size_t{30}, good.size() - 1})
        bad.push_back({"cut" + std::to_string(cut), Bytes(good.begin(), good.begin() + static_cast<long>(cut))});
    Bytes format2 = good;
    format2[9] = 2;
    bad.push_back({"format2", format2});
    bad.push_back({"no-running-status", smf(0, 480, {track({{0, {60, 0}}}, 0)})});
    bad.push_back({"long-delta", smf(0, 480, {track({{0, {0x90, 60, 1}}}, 0)})});
    bad.back().second[22] = 0xFF;  // the first delta: five bytes with bit 7 set
    bad.back().second.insert(bad.back().second.begin() + 22, {0xFF, 0xFF, 0xFF, 0xFF});
    bad.push_back({"zero-division", smf(0, 0, {track({}, 10)})});
    bad.push_back({"missing-track", smf(1, 480, {track({}, 10)})});
    bad.back().second[11] = 2;
    bad.push_back({"real-time-byte", smf(0, 480, {track({{0, {0xF8}}}, 0)})});
    bad.push_back({"meta-past-end", smf(0, 480, {track({{0, {0xFF, 0x01, 0x7F, 'a'}}}, 0)})});
    for (const auto &[name, bytes] : bad) {
        const std::string file = writeFile("bad-" + name + ".mid", bytes);
        send("open sequencer!" + file + " alias bad", MCIERR_INVALID_FILE);
    }
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

// Each sound test has a process of its own, so one death test a test.
TEST(MciSequencer, NotesSoundThroughFluidSynth)
{
    const std::string note = writeFile("sound-note.mid", noteFile(480, 300000));  // 0.3 s of middle C
    const int loudest = loudestSample(note, "note.raw");
    if (loudest < 0) GTEST_SKIP() << "no FluidSynth or no General MIDI sound font on this machine";
    EXPECT_GT(loudest, 100);
}

TEST(MciSequencer, RestsAreSilent)
{
    const std::string rests =
        writeFile("sound-rests.mid", smf(0, 480, {track({{0, tempo(300000)}, {0, {0xC0, 0}}}, 480)}));
    const int loudest = loudestSample(rests, "rests.raw");
    if (loudest < 0) GTEST_SKIP() << "no FluidSynth or no General MIDI sound font on this machine";
    EXPECT_LE(loudest, 1) << "only the dither of the 16-bit samples";
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
    EXPECT_FALSE(vekIsMIDIPlaying("other"));
    EXPECT_STREQ(vekPlayMIDI(file.c_str(), "other", FALSE), "Another file is playing.");
    EXPECT_STREQ(vekRestartMIDI(0), "Another file is playing.");
    EXPECT_EQ(send("status tune mode"), "playing") << "the first file plays on";

    std::vector<WPARAM> codes;
    ASSERT_TRUE(pumpUntil([] { return !vekIsMIDIPlaying("tune"); }, 5000, &codes));
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 380u) << "the file lasts 400 ms";
    EXPECT_LT(elapsed, 3000u);
    EXPECT_EQ(codes, std::vector<WPARAM>{MCI_NOTIFY_SUCCESSFUL});
    EXPECT_EQ(send("status tune mode"), "stopped");

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
    send("status tune mode", MCIERR_INVALID_DEVICE_NAME);
    // Idle again: a new file may start.
    ASSERT_EQ(vekPlayMIDI(file.c_str(), "tune", FALSE), nullptr);
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

    // With no current alias, a second close is idle at once.
    vekCloseMIDI(0);
    vekCloseMIDI(0);
    EXPECT_EQ(vekPlayMIDI(file.c_str(), "tune", FALSE), nullptr);
}

TEST_F(MidiPlayback, ErrorsComeBackAsText)
{
    const std::string missing = (fs::temp_directory_path() / "vekkit-midi-none.mid").string();
    EXPECT_STREQ(vekPlayMIDI(missing.c_str(), "tune", FALSE),
                 "Cannot find the specified file. Make sure the path and filename are correct.");
    const std::string broken = writeFile("broken.mid", Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0});
    EXPECT_STREQ(vekPlayMIDI(broken.c_str(), "tune", FALSE), errorText(MCIERR_INVALID_FILE).c_str());
    EXPECT_FALSE(vekIsMIDIPlaying("tune"));

    // An alias of 128 characters does not fit.
    const std::string file = writeFile("ok.mid", noteFile(48, 100000));
    EXPECT_STREQ(vekPlayMIDI(file.c_str(), std::string(128, 'a').c_str(), FALSE),
                 errorText(MCIERR_OUTOFRANGE).c_str());
}

TEST_F(MidiPlayback, AnyNotificationEndsPlaying)
{
    const std::string file = writeFile("notified.mid", noteFile(4800, 500000));
    ASSERT_EQ(vekPlayMIDI(file.c_str(), "tune", FALSE), nullptr);
    EXPECT_EQ(fakewindowproc(nullptr, MM_MCINOTIFY, MCI_NOTIFY_FAILURE, 0), 0);
    EXPECT_FALSE(vekIsMIDIPlaying("tune"));
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

// vektool play: a MIDI file through the library's MIDI calls (vekPlayMIDI
// and the MCI sequencer), with the time counting on a terminal.
//   vektool play FILE.mid [--loop] [--seconds N]
//
// Plays to the end (for ever with --loop), for at most --seconds, or until
// interrupted; then closes the file.
#include "commands.h"
#include "failure.h"
#include "input_file.h"
#include "midi_info.h"
#include "shared_options.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>

#include <unistd.h>

namespace vektool {
namespace {

constexpr char kAlias[] = "vektool";

struct Options {
    std::string file;
    bool loop = false;
    double seconds = 0;
};

volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int) { interrupted = 1; }

std::string clock(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d:%04.1f", static_cast<int>(seconds) / 60,
                  seconds - 60 * (static_cast<int>(seconds) / 60));
    return text;
}

// The library's MIDI state, set up for the time of a play.
class MidiSession {
public:
    MidiSession() { vekkitInit(); }
    ~MidiSession()
    {
        vekCloseMIDI(0);
        vekkitCleanup();
    }
    MidiSession(const MidiSession &) = delete;
    MidiSession &operator=(const MidiSession &) = delete;
};

void run(const Options &o)
{
    const std::string shownAs = inputName(o.file);
    const LocalFile local(o.file);
    const MidiInfo info = readMidiInfo(readWholeFile(local.path()), shownAs);
    const std::string length = info.seconds ? " / " + clock(*info.seconds) : "";
    const bool terminal = isatty(STDERR_FILENO);

    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    const MidiSession session;
    if (LPSTR error = vekPlayMIDI(local.path().c_str(), kAlias, o.loop)) throw Failure(shownAs, error);
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    Clock::time_point shown{};
    while (!interrupted) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        const Clock::time_point now = Clock::now();
        const double played = std::chrono::duration<double>(now - start).count();
        if (!vekIsMIDIPlaying(kAlias) || (o.seconds > 0 && played >= o.seconds)) break;
        if (terminal && now - shown >= std::chrono::milliseconds(100)) {
            shown = now;
            // A looping file starts again at its end: the clock counts within it.
            const double within = info.seconds && *info.seconds > 0 && o.loop
                                      ? played - *info.seconds * static_cast<int>(played / *info.seconds)
                                      : played;
            std::fprintf(stderr, "\rvektool: playing %s %s%s \033[K", shownAs.c_str(), clock(within).c_str(),
                         length.c_str());
            std::fflush(stderr);
        }
        Sleep(10);
    }
    if (terminal) std::fprintf(stderr, "\r\033[K");
}

}  // namespace

void addPlayCommand(CLI::App &app)
{
    auto o = std::make_shared<Options>();
    auto *command = app.add_subcommand("play", "Play a MIDI file through the library's MIDI calls");
    command->add_option("file", o->file, "MIDI file, - for standard input")->required();
    command->add_flag("--loop", o->loop, "start again at the end, until interrupted");
    command->add_option("--seconds", o->seconds, "stop after this many seconds")->check(CLI::PositiveNumber);
    command->callback([o] { run(*o); });
}

}  // namespace vektool

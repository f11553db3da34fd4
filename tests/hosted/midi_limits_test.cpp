// How large a MIDI file's schedule may grow: it is made at the size its file
// needs, and a file of more channel messages than the sequencer keeps is
// refused by the MCI open.
#include <vekkit.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "mci/midi_file.h"

namespace {

// A format 0 file of n program changes at tick 0, all but the first in
// running status (two bytes each).
std::vector<uint8_t> programChanges(size_t n)
{
    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k', 0, 0, 0, 0};
    file.insert(file.end(), {0, 0xC0, 5});
    file.resize(file.size() + 2 * (n - 1), 5);
    for (size_t i = 25; i < file.size(); i += 2) file[i] = 0;
    file.insert(file.end(), {0, 0xFF, 0x2F, 0});
    const size_t length = file.size() - 22;
    for (int i = 0; i < 4; ++i) file[18 + i] = uint8_t(length >> (24 - 8 * i));
    return file;
}

}  // namespace

TEST(MidiLimits, ScheduleIsMadeAtItsSizeAndCapped)
{
    vek::mci::MidiSong song;
    std::vector<uint8_t> file = programChanges(1000);
    ASSERT_TRUE(vek::mci::readMidiFile(file.data(), file.size(), song));
    EXPECT_EQ(song.events.size(), 1000u);
    EXPECT_EQ(song.events.capacity(), 1000u);

    file = programChanges(vek::mci::kMaxMidiEvents + 1);
    const std::string name = std::string(std::getenv("VEKHOST_PREFIX")) + "/too-many.mid";
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char *>(file.data()), std::streamsize(file.size()));
    HMODULE mmsystem = GetModuleHandleA("MMSYSTEM");
    ASSERT_NE(mmsystem, nullptr);
    auto send = reinterpret_cast<MCIERROR(WINAPI *)(LPCSTR, LPSTR, UINT, HWND)>(
        reinterpret_cast<void (*)()>(GetProcAddress(mmsystem, "mciSendString")));
    ASSERT_NE(send, nullptr);
    EXPECT_EQ(send(("open sequencer!" + name + " alias big").c_str(), nullptr, 0, nullptr), MCIERR_INVALID_FILE);
}

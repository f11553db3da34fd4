// Sound objects as WAV files. A sound object is a u32 size field, a 44-byte
// header the library copies without reading, and 8-bit unsigned samples.
// When that header is a canonical WAV header (RIFF, WAVE, "fmt " at 12,
// "data" at 36) it is kept, with its lengths set to the samples; otherwise
// the samples get a header of their own: PCM, one channel, 8 bits, at rate.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace vektool {

// The size field and the header in front of a sound object's samples.
constexpr DWORD kSoundHeader = 48;

// True for a sound object: one stored as packed sound (method 4), or a
// block that is no sprite image and whose header is a RIFF WAVE header.
bool isSound(DWORD method, const BYTE *block, DWORD length);

std::vector<uint8_t> waveFileOf(const BYTE *sound, DWORD length, unsigned rate);

}  // namespace vektool

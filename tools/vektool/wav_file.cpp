#include "wav_file.h"

#include <vekkit.h>

#include "common/le.h"

#include <cstring>

namespace vektool {
namespace {

constexpr size_t kHeader = kSoundHeader - 4;

bool canonical(const uint8_t *h)
{
    return std::memcmp(h, "RIFF", 4) == 0 && std::memcmp(h + 8, "WAVEfmt ", 8) == 0 &&
           std::memcmp(h + 36, "data", 4) == 0;
}

}  // namespace

bool isSound(DWORD method, const BYTE *block, DWORD length)
{
    if (length < kSoundHeader) return false;
    return method == STORE_PACKED_SOUND || (std::memcmp(block + 4, "RIFF", 4) == 0 && std::memcmp(block + 12, "WAVE", 4) == 0);
}

std::vector<uint8_t> waveFileOf(const BYTE *sound, DWORD length, unsigned rate)
{
    const uint32_t samples = length - 4 - kHeader;
    std::vector<uint8_t> wave(sound + 4, sound + length);
    uint8_t *h = wave.data();
    if (!canonical(h)) {
        std::memset(h, 0, kHeader);
        std::memcpy(h, "RIFF", 4);
        std::memcpy(h + 8, "WAVEfmt ", 8);
        vek::put32(h, 16, 16);     // format chunk length
        vek::put16(h, 20, 1);      // PCM
        vek::put16(h, 22, 1);      // channels
        vek::put32(h, 24, rate);   // samples per second
        vek::put32(h, 28, rate);   // bytes per second
        vek::put16(h, 32, 1);      // bytes per sample frame
        vek::put16(h, 34, 8);      // bits per sample
        std::memcpy(h + 36, "data", 4);
    }
    vek::put32(h, 4, static_cast<uint32_t>(wave.size() - 8));
    vek::put32(h, 40, samples);
    return wave;
}

}  // namespace vektool

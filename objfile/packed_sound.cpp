// Packed sound: 8-bit samples coded as absolute values, runs and blocks of
// small steps.
//
// A packed payload starts with the sound object's first 48 bytes, unchanged
// (its size field and header), then:
//
//   48  u8  K, the block length: the number of samples a delta block counts
//   49  u8  the first sample
//   50      codes, one byte each, some followed by data bytes:
//
//   1xxxxxxx  the sample becomes xxxxxxx * 2 (0..254), output once; counts 1
//   01nnnnnn  the sample is output n times (0..63); counts n
//   00mmssss  a delta block with row s of the step table; counts K.
//             mm = 01: K/8 data bytes of 1-bit codes (code c adds step 7 + c)
//             mm = 10: K/4 data bytes of 2-bit codes (code c adds step 6 + c)
//             mm = 11: K/2 data bytes of 4-bit codes (code c adds step c)
//             mm = 00: no data bytes, nothing output
//
// Codes in a data byte run from the most significant bits down. Each code
// adds its step to the sample, which is then limited to 0..255 and output. A
// block outputs 8 * (K/8), 4 * (K/4) or 2 * (K/2) samples but counts K, so
// the count and the output part ways when K is not a multiple of 8. The
// decoder ends when the codes have counted exactly the number of samples
// asked for.
//
// Step table row s, entry k: (k - 8)(s + 1) for k < 8 and (k - 7)(s + 1) for
// k >= 8, limited to -127..127. There is no zero step.
#include "objfile/packed_sound.h"

#include <array>

namespace {

constexpr auto kSteps = [] {
    std::array<std::array<int, 16>, 16> table{};
    for (int s = 0; s < 16; s++) {
        for (int k = 0; k < 16; k++) {
            const int step = (k < 8 ? k - 8 : k - 7) * (s + 1);
            table[s][k] = step < -127 ? -127 : step > 127 ? 127 : step;
        }
    }
    return table;
}();

static_assert(kSteps[0][0] == -8 && kSteps[0][15] == 8 && kSteps[15][0] == -127 && kSteps[15][1] == -112);

}  // namespace

namespace vek {

DWORD DecodePackedSound(const BYTE *src, DWORD srcLength, BYTE *dst, DWORD count)
{
    if (count == 0 || srcLength < 2) return 0;
    const unsigned blockLength = src[0];
    int sample = src[1];
    const BYTE *in = src + 2;
    const BYTE *const inEnd = src + srcLength;
    BYTE *out = dst;
    BYTE *const outEnd = dst + count;
    *out++ = static_cast<BYTE>(sample);

    DWORD remaining = count - 1;
    while (remaining != 0 && in != inEnd) {
        const unsigned code = *in++;
        DWORD counted;
        if (code >= 0x80) {
            counted = 1;
            sample = static_cast<int>(code & 0x7F) * 2;
            *out++ = static_cast<BYTE>(sample);  // counted <= remaining: room is certain
        } else if (code >= 0x40) {
            counted = code & 0x3F;
            DWORD n = counted;
            if (n > static_cast<DWORD>(outEnd - out)) n = static_cast<DWORD>(outEnd - out);
            for (DWORD i = 0; i < n; i++) *out++ = static_cast<BYTE>(sample);
        } else {
            counted = blockLength;
            const unsigned mode = code >> 4;
            if (mode != 0) {
                const auto &row = kSteps[code & 0x0F];
                const unsigned bits = 1u << (mode - 1);  // 1, 2 or 4 bits a code
                const unsigned perByte = 8 / bits;
                const unsigned first = 8 - (1u << (bits - 1));  // step of code 0: 7, 6 or 0
                const unsigned mask = (1u << bits) - 1;
                DWORD dataBytes = blockLength / perByte;
                if (dataBytes > static_cast<DWORD>(inEnd - in)) dataBytes = static_cast<DWORD>(inEnd - in);
                DWORD n = dataBytes * perByte;
                if (n > static_cast<DWORD>(outEnd - out)) n = static_cast<DWORD>(outEnd - out);
                for (DWORD i = 0; i < n; i++) {
                    const unsigned shift = 8 - bits * (i % perByte + 1);
                    sample += row[first + ((in[i / perByte] >> shift) & mask)];
                    sample = sample < 0 ? 0 : sample > 255 ? 255 : sample;
                    *out++ = static_cast<BYTE>(sample);
                }
                in += dataBytes;
            }
        }
        // A code that counts past the end ends the stream.
        remaining = counted > remaining ? 0 : remaining - counted;
    }
    return static_cast<DWORD>(out - dst);
}

}  // namespace vek

// Packed sound, internally: the codes and the step table on known streams,
// the samples cut where the packed data or the output ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "objfile/packed_sound.h"

namespace {

using Bytes = std::vector<BYTE>;
constexpr BYTE U = 0xCC;  // a sample never written

// Decodes count samples into a buffer with guard bytes behind it; returns
// the samples, U where none was written, and the result in written.
Bytes decode(const Bytes &packed, DWORD count, DWORD *written = nullptr)
{
    Bytes out(count + 32, U);
    const DWORD n = vek::DecodePackedSound(packed.data(), static_cast<DWORD>(packed.size()), out.data(), count);
    EXPECT_LE(n, count);
    for (size_t i = n; i < out.size(); i++) EXPECT_EQ(out[i], U) << "written at " << i << " past the result " << n;
    out.resize(count);
    if (written) *written = n;
    return out;
}

}  // namespace

TEST(PackedSound, CodesAndSteps)
{
    const struct {
        const char *what;
        Bytes packed;
        DWORD count, written;
        Bytes samples;
    } cases[] = {
        {"the first sample alone", {8, 77, 0xFF, 0xFF}, 1, 1, {77}},
        // 0xFF sets 254, 0x81 sets 2; 0x43 repeats the sample 3 times; 0x40
        // outputs and counts nothing.
        {"absolute samples and runs", {8, 10, 0xFF, 0x40, 0x81, 0x43, 0x80}, 7, 7, {10, 254, 2, 2, 2, 2, 0}},
        // K = 2: one data byte of two 4-bit codes of row 15: -127, +127.
        {"4-bit steps of the last row are limited", {2, 100, 0x3F, 0x0F}, 3, 3, {100, 0, 127}},
        {"and the sample to 0..255", {2, 200, 0x3F, 0xF0}, 3, 3, {200, 255, 128}},
        {"1-bit steps of the first row", {8, 10, 0x10, 0xF0}, 9, 9, {10, 11, 12, 13, 14, 13, 12, 11, 10}},
        // Row 1 steps by 2: codes 0..3 add -4, -2, +2, +4.
        {"2-bit steps take the middle of the row", {4, 100, 0x21, 0x1B}, 5, 5, {100, 96, 94, 96, 100}},
        // K = 10 with 1-bit codes: one data byte (8 samples) but 10 counted;
        // the absolute code after it is the 10th sample written.
        {"blocks count K but output whole codes", {10, 50, 0x10, 0x00, 0x90}, 12, 10,
         {50, 49, 48, 47, 46, 45, 44, 43, 42, 32, U, U}},
        {"a block of mode 0 counts K and outputs nothing", {3, 9, 0x05, 0x82}, 5, 2, {9, 4, U, U, U}},
        {"a run past the count", {8, 5, 0x7F, 0x81}, 5, 5, {5, 5, 5, 5, 5}},
        {"a block past the count", {16, 5, 0x30, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99}, 4, 4, {5, 7, 9, 11}},
        {"too short for K and the first sample", {8}, 4, 0, {U, U, U, U}},
        {"a block whose data is cut", {16, 20, 0x10, 0x0F}, 12, 9, {20, 19, 18, 17, 16, 17, 18, 19, 20, U, U, U}},
    };
    for (const auto &c : cases) {
        DWORD written = 0;
        EXPECT_EQ(decode(c.packed, c.count, &written), c.samples) << c.what;
        EXPECT_EQ(written, c.written) << c.what;
    }
}

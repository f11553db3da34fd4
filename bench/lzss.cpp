// LZSS encode and decode speed, and the compression ratio, on a small corpus
// made here: text, an 8-bit sprite sheet and noise. The baseline is the
// classic tree encoder written the straightforward way; the library's encoder
// must give exactly its streams.
//
// Speeds are in bytes of uncompressed data per second for both directions;
// the counter "ratio" is stream bytes per input byte.
#include <windows.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/lzss_classic.h"
#include "objfile/lzss.h"

namespace {

using Bytes = std::vector<BYTE>;

// Pseudo-English: words of a small vocabulary with Zipf-like frequencies,
// punctuation and line breaks.
Bytes makeText(size_t length)
{
    static const char *const words[] = {"the", "of", "and", "a", "to", "in", "is", "sprite", "that", "it",
        "window", "for", "as", "with", "palette", "was", "on", "be", "image", "at", "by", "this", "frame", "from",
        "context", "rectangle", "background", "colour", "tile", "scroll", "mirror", "object", "file", "sound",
        "compression", "library", "application", "memory", "position", "length", "stream", "pixel", "row"};
    std::mt19937 rng(1);
    Bytes out;
    size_t line = 0;
    while (out.size() < length) {
        const size_t n = std::size(words);
        const size_t k = static_cast<size_t>(n * std::pow(std::generate_canonical<double, 32>(rng), 2.0));
        std::string w = words[k < n ? k : n - 1];
        if (line == 0) w[0] = static_cast<char>(w[0] - 'a' + 'A');
        out.insert(out.end(), w.begin(), w.end());
        line += w.size() + 1;
        const unsigned r = rng() % 20;
        if (r == 0) out.push_back('.');
        else if (r == 1) out.push_back(',');
        if (line > 70) {
            out.push_back('\n');
            line = 0;
        } else {
            out.push_back(' ');
        }
    }
    out.resize(length);
    return out;
}

// A 512 x 256 sheet of 32 x 32 cells, each a shaded ball or diamond with an
// outline on the transparent index 8, rows of the stride of an 8-bit DIB.
Bytes makeSpriteSheet()
{
    constexpr int width = 512, height = 256, cell = 32;
    Bytes out(static_cast<size_t>(width) * height, 8);
    std::mt19937 rng(2);
    for (int cy = 0; cy < height / cell; cy++) {
        for (int cx = 0; cx < width / cell; cx++) {
            const int base = 16 + static_cast<int>(rng() % 12) * 16;  // a 16-shade ramp
            const bool ball = rng() % 2;
            const int radius = 8 + static_cast<int>(rng() % 7);
            for (int y = 0; y < cell; y++) {
                for (int x = 0; x < cell; x++) {
                    const int dx = x - cell / 2, dy = y - cell / 2;
                    const int d = ball ? static_cast<int>(std::sqrt(dx * dx + dy * dy)) : std::abs(dx) + std::abs(dy);
                    if (d > radius) continue;
                    BYTE &p = out[static_cast<size_t>(cy * cell + y) * width + cx * cell + x];
                    p = d == radius ? 0 : static_cast<BYTE>(base + std::min(15, (d + (dx + dy) / 4 + 4) * 15 / radius));
                }
            }
        }
    }
    return out;
}

Bytes makeNoise(size_t length)
{
    std::mt19937 rng(3);
    Bytes out(length);
    for (auto &b : out) b = static_cast<BYTE>(rng());
    return out;
}

struct Sample {
    Bytes input;
    Bytes stream;  // the library's stream, checked against the classic one
    bool same = false;
};

Bytes encode(const Bytes &input)
{
    Bytes stream;
    stream.reserve(input.size() + input.size() / 8 + 2);
    vek::LzssEncode(input.data(), static_cast<DWORD>(input.size()),
        [](void *context, const BYTE *bytes, DWORD length) {
            auto *out = static_cast<Bytes *>(context);
            out->insert(out->end(), bytes, bytes + length);
        },
        &stream);
    return stream;
}

const Sample &sample(const std::string &name)
{
    static const auto make = [](Bytes input) {
        Sample s;
        s.input = std::move(input);
        s.stream = encode(s.input);
        auto classic = std::make_unique<classic::LzssEncoder>();
        Bytes back(s.input.size());
        s.same = classic->encode(s.input.data(), s.input.size()) == s.stream &&
                 vek::LzssDecode(s.stream.data(), static_cast<DWORD>(s.stream.size()), back.data(),
                     static_cast<DWORD>(back.size())) == back.size() &&
                 back == s.input;
        return s;
    };
    static const Sample text = make(makeText(256 * 1024));
    static const Sample sprites = make(makeSpriteSheet());
    static const Sample noise = make(makeNoise(128 * 1024));
    return name == "text" ? text : name == "sprites" ? sprites : noise;
}

bool ready(benchmark::State &state, const Sample &s)
{
    if (!s.same) state.SkipWithError("the stream differs from the classic encoder's or does not decode");
    state.counters["ratio"] = static_cast<double>(s.stream.size()) / static_cast<double>(s.input.size());
    return s.same;
}

void BM_Encode(benchmark::State &state, const std::string &name)
{
    const Sample &s = sample(name);
    if (!ready(state, s)) return;
    for (auto _ : state) benchmark::DoNotOptimize(encode(s.input));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.input.size()));
}

void BM_EncodeClassic(benchmark::State &state, const std::string &name)
{
    const Sample &s = sample(name);
    if (!ready(state, s)) return;
    auto encoder = std::make_unique<classic::LzssEncoder>();
    for (auto _ : state) benchmark::DoNotOptimize(encoder->encode(s.input.data(), s.input.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.input.size()));
}

void BM_Decode(benchmark::State &state, const std::string &name)
{
    const Sample &s = sample(name);
    if (!ready(state, s)) return;
    Bytes out(s.input.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(vek::LzssDecode(s.stream.data(), static_cast<DWORD>(s.stream.size()), out.data(),
            static_cast<DWORD>(out.size())));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.input.size()));
}

}  // namespace

BENCHMARK_CAPTURE(BM_Encode, text, std::string("text"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Encode, sprites, std::string("sprites"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Encode, noise, std::string("noise"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EncodeClassic, text, std::string("text"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EncodeClassic, sprites, std::string("sprites"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EncodeClassic, noise, std::string("noise"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, text, std::string("text"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Decode, sprites, std::string("sprites"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Decode, noise, std::string("noise"))->Unit(benchmark::kMicrosecond);

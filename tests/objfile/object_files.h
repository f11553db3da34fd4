// Helpers of the object file tests: a scratch file through the Win32 file
// calls, little-endian fields, and sprite image records to store.
#pragma once

#include <vekkit.h>

#include "support/bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace objtest {

using Bytes = std::vector<BYTE>;

using support::get16;
using support::get32;
using support::put16;
using support::put32;
inline void append32(Bytes &b, DWORD v)
{
    for (int i = 0; i < 4; i++) b.push_back(static_cast<BYTE>(v >> 8 * i));
}

// Record byte positions used by the tests.
constexpr size_t kFlags = 10, kReserved2 = 12, kPixelOffset = 14, kWidth = 22, kHeight = 26, kBitCount = 32,
                 kCompression = 34, kSizeImage = 38, kXPels = 42, kYPels = 46, kClrImportant = 54,
                 kColorTable = 58;

inline DWORD stride8(LONG width) { return (static_cast<DWORD>(width) + 3) & ~3u; }

// The length of a size-prefixed block in memory: its size field + 4.
inline DWORD totalOf(const void *block) { return get32(static_cast<const BYTE *>(block), 0) + 4; }

inline Bytes bytesOf(const void *block)
{
    const auto *b = static_cast<const BYTE *>(block);
    return Bytes(b, b + totalOf(block));
}

// Frees a locked library block.
inline void release(void *block)
{
    if (!block) return;
    HGLOBAL mem = GlobalHandle(block);
    GlobalUnlock(mem);
    GlobalFree(mem);
}

// A size-prefixed block of the given content, made through the memory file.
inline BYTE *blockOf(const Bytes &content)
{
    const LONG_PTR f = _mcreat(static_cast<DWORD>(content.size()) + 4);
    for (size_t at = 0; at < content.size(); at += 0x8000) {
        const size_t n = std::min<size_t>(0x8000, content.size() - at);
        _mwrite(f, content.data() + at, static_cast<WORD>(n));
    }
    return static_cast<BYTE *>(_mclose(f));
}

inline Bytes randomBytes(size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto &x : b) x = static_cast<BYTE>(rng());
    return b;
}

// A raw DI record (pixels at byte 572) whose pixel (x, y) in stored row
// order is pick(x, y); the padding bytes stay 0.
template <typename Pick>
BYTE *makeImage(LONG width, LONG height, Pick pick)
{
    auto *r = reinterpret_cast<BYTE *>(vekCreateSpriteDataObject(width, height));
    if (!r) return nullptr;
    BYTE *pixels = r + 4 + get32(r, kPixelOffset);
    for (LONG y = 0; y < height; y++)
        for (LONG x = 0; x < width; x++) pixels[y * stride8(width) + x] = pick(x, y);
    return r;
}

inline BYTE pixel(const BYTE *r, LONG x, LONG y)
{
    return r[4 + get32(r, kPixelOffset) + y * stride8(static_cast<LONG>(get32(r, kWidth))) + x];
}

// A scratch file in the temporary folder, open for reading and writing,
// deleted at the end of the test.
class ObjectFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        const DWORD n = GetTempPathA(MAX_PATH, temp);
        ASSERT_GT(n, 0u);
        ASSERT_LT(n, static_cast<DWORD>(MAX_PATH));
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::string(temp) + "vekobj-" + info->test_suite_name() + "-" + info->name() + ".bin";
        file_ = open(path_);
    }

    void TearDown() override
    {
        if (file_ != HFILE_ERROR) _lclose(file_);
        for (const auto &p : others_) DeleteFileA(p.c_str());
        DeleteFileA(path_.c_str());
    }

    // A new empty file; the fixture deletes it.
    HFILE open(const std::string &path)
    {
        DeleteFileA(path.c_str());
        const HFILE f = _lcreat(path.c_str(), 0);
        EXPECT_NE(f, HFILE_ERROR) << path;
        if (path != path_) others_.push_back(path);
        return f;
    }

    HFILE another(const std::string &suffix) { return open(path_ + suffix); }

    LONG position(HFILE f) const { return _llseek(f, 0, 1); }
    LONG position() const { return position(file_); }
    void rewind(HFILE f) const { _llseek(f, 0, 0); }
    void rewind() const { rewind(file_); }

    // The whole content of a file; the position is left where it was.
    Bytes contents(HFILE f) const
    {
        const LONG at = _llseek(f, 0, 1);
        const LONG end = _llseek(f, 0, 2);
        Bytes b(static_cast<size_t>(end));
        _llseek(f, 0, 0);
        if (end) {
            EXPECT_EQ(_lread(f, b.data(), static_cast<UINT>(end)), static_cast<UINT>(end));
        }
        _llseek(f, at, 0);
        return b;
    }
    Bytes contents() const { return contents(file_); }

    // Replaces the file's content.
    void setContents(const Bytes &bytes)
    {
        _lclose(file_);
        file_ = open(path_);
        if (!bytes.empty()) {
            ASSERT_EQ(_lwrite(file_, reinterpret_cast<LPCSTR>(bytes.data()), static_cast<UINT>(bytes.size())),
                bytes.size());
        }
        rewind();
    }

    HFILE file_ = HFILE_ERROR;
    std::string path_;
    std::vector<std::string> others_;
};

}  // namespace objtest

// The object file fuzz targets read their input as a file: a scratch file in
// the temporary folder, rewritten through the Win32 file calls for each
// input and deleted at exit.
#pragma once

#include <windows.h>

#include <cstdint>
#include <random>
#include <string>

class ScratchFile {
public:
    ScratchFile()
    {
        char temp[MAX_PATH];
        const DWORD n = GetTempPathA(MAX_PATH, temp);
        path_ = std::string(n && n < MAX_PATH ? temp : "") + "vekkit-fuzz-" + std::to_string(std::random_device{}()) +
                ".obj";
    }
    ~ScratchFile() { DeleteFileA(path_.c_str()); }

    // A handle open for reading and writing on exactly these bytes, at
    // position 0; HFILE_ERROR when the file cannot be made.
    HFILE holding(const uint8_t *data, size_t size) const
    {
        DeleteFileA(path_.c_str());
        const HFILE f = _lcreat(path_.c_str(), 0);
        if (f == HFILE_ERROR) return f;
        if (size) _lwrite(f, reinterpret_cast<LPCSTR>(data), static_cast<UINT>(size));
        _llseek(f, 0, 0);
        return f;
    }

    const std::string &path() const { return path_; }

private:
    std::string path_;
};

inline uint32_t inputWord(const uint8_t *data)
{
    return data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
}

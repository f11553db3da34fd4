// Input files: whole files read into memory, and files the library opens
// itself through a file handle.
#pragma once

#include "temporary_file.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vektool {

// The largest input read whole: far beyond any asset, short of what would
// exhaust memory.
constexpr uint64_t kMaxInput = 1ull << 30;

// The bytes of path ("-": standard input). Throws Failure when the file
// cannot be read or is larger than kMaxInput.
std::vector<uint8_t> readWholeFile(const std::string &path);

// A file name the library can open: path itself, or for "-" a temporary copy
// of standard input, removed again when this goes.
class LocalFile {
public:
    explicit LocalFile(const std::string &path);
    const std::string &path() const { return copy_ ? copy_->path() : path_; }

private:
    std::string path_;
    std::unique_ptr<TemporaryFile> copy_;
};

// A file handle of the _lopen family, closed when this goes.
class FileHandle {
public:
    // Opens path for reading; throws Failure (naming shownAs) when it cannot.
    static FileHandle openRead(const std::string &path, const std::string &shownAs);
    // Creates path, empty, for writing; throws Failure when it cannot.
    static FileHandle create(const std::string &path, const std::string &shownAs);
    FileHandle(FileHandle &&other) noexcept : file_(other.file_) { other.file_ = HFILE_ERROR; }
    ~FileHandle();
    FileHandle(const FileHandle &) = delete;
    FileHandle &operator=(const FileHandle &) = delete;

    HFILE get() const { return file_; }
    LONG position() const { return _llseek(file_, 0, 1); }
    LONG length() const;
    void seek(LONG position) const { _llseek(file_, position, 0); }
    // Ends the file at the current position (a write of nothing does).
    void truncate() const { _lwrite(file_, "", 0); }
    // Closes the file; throws Failure when the close reports an error.
    void close(const std::string &shownAs);

private:
    explicit FileHandle(HFILE file) : file_(file) {}
    HFILE file_;
};

}  // namespace vektool

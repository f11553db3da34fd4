#include "input_file.h"

#include "failure.h"
#include "output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vektool {

std::vector<uint8_t> readWholeFile(const std::string &path)
{
    const bool standardInput = path == "-";
    const std::string shownAs = standardInput ? "standard input" : path;
    std::FILE *f = standardInput ? stdin : std::fopen(path.c_str(), "rb");
    if (!f) throw Failure(shownAs, std::strerror(errno));
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        if (bytes.size() + n > kMaxInput) {
            if (!standardInput) std::fclose(f);
            throw Failure(shownAs, "larger than 1 GiB");
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    const bool failed = std::ferror(f);
    const int error = errno;
    if (!standardInput) std::fclose(f);
    if (failed) throw Failure(shownAs, std::strerror(error));
    return bytes;
}

LocalFile::LocalFile(const std::string &path) : path_(path)
{
    if (path != "-") return;
    copy_ = std::make_unique<TemporaryFile>("vektool-in-", "standard input");
    writeBytes(copy_->path(), "standard input", readWholeFile(path));
}

FileHandle FileHandle::openRead(const std::string &path, const std::string &shownAs)
{
    const HFILE file = _lopen(path.c_str(), OF_READ);
    if (file == HFILE_ERROR) throw Failure(shownAs, "cannot open the file");
    return FileHandle(file);
}

FileHandle FileHandle::create(const std::string &path, const std::string &shownAs)
{
    const HFILE file = _lcreat(path.c_str(), 0);
    if (file == HFILE_ERROR) throw Failure(shownAs, "cannot create the file");
    return FileHandle(file);
}

FileHandle::~FileHandle()
{
    if (file_ != HFILE_ERROR) _lclose(file_);
}

LONG FileHandle::length() const
{
    const LONG here = position();
    const LONG end = _llseek(file_, 0, 2);
    _llseek(file_, here, 0);
    return end;
}

void FileHandle::close(const std::string &shownAs)
{
    const HFILE file = file_;
    file_ = HFILE_ERROR;
    if (_lclose(file) == HFILE_ERROR) throw Failure(shownAs, "cannot write the file");
}

}  // namespace vektool

#include "temporary_file.h"

#include "failure.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace vektool {
namespace {

// The temporary files in use, for the signal handler, which may only read
// plain memory and call unlink. A command has a few open at a time.
constexpr int kSlots = 8;
char names[kSlots][4096];
volatile std::sig_atomic_t inUse[kSlots];

void remember(const std::string &path)
{
    for (int i = 0; i < kSlots; i++)
        if (!inUse[i] && path.size() < sizeof names[i]) {
            std::memcpy(names[i], path.c_str(), path.size() + 1);
            inUse[i] = 1;
            return;
        }
}

void forget(const std::string &path)
{
    for (int i = 0; i < kSlots; i++)
        if (inUse[i] && path == names[i]) inUse[i] = 0;
}

extern "C" void onSignal(int signal)
{
    for (int i = 0; i < kSlots; i++)
        if (inUse[i]) unlink(names[i]);
    _exit(128 + signal);
}

std::string temporaryFolder()
{
    const char *tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

}  // namespace

TemporaryFile::TemporaryFile(const std::string &folder, const std::string &prefix, const std::string &shownAs)
    : path_(folder + "/" + prefix + "XXXXXX")
{
    const int fd = mkstemp(path_.data());
    if (fd < 0) throw Failure(shownAs, std::string("cannot make a temporary file: ") + std::strerror(errno));
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    remember(path_);
}

TemporaryFile::TemporaryFile(const std::string &prefix, const std::string &shownAs)
    : TemporaryFile(temporaryFolder(), prefix, shownAs)
{
}

TemporaryFile::~TemporaryFile()
{
    if (!released_) unlink(path_.c_str());
    forget(path_);
}

void TemporaryFile::release()
{
    released_ = true;
    forget(path_);
}

void removeTemporariesOnSignals()
{
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) std::signal(s, onSignal);
}

}  // namespace vektool

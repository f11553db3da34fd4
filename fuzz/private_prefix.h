// A private folder for a fuzz target's files, which is also the hosted
// platform's prefix (VEKHOST_PREFIX): in /dev/shm when there is one, so that
// writes and syncs cost little, and removed at exit. Made on the first call,
// before any platform call that reads the prefix.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzz {

inline const std::filesystem::path &privatePrefix(const char *name)
{
    namespace fs = std::filesystem;
    static const fs::path folder = [name] {
        std::string pattern = (fs::is_directory("/dev/shm") ? std::string("/dev/shm") : fs::temp_directory_path().string()) +
                              "/vekkit-" + name + "-XXXXXX";
        if (!mkdtemp(pattern.data())) std::abort();
        setenv("VEKHOST_PREFIX", pattern.c_str(), 1);
        return fs::path(pattern);
    }();
    // Registered once the folder is made, so that it runs before the path's
    // destructor.
    static const bool removedAtExit = std::atexit([] { fs::remove_all(privatePrefix(nullptr)); }) == 0;
    (void)removedAtExit;
    return folder;
}

}  // namespace fuzz

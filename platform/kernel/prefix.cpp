// Where the hosted platform keeps its state.
#include "kernel/prefix.h"

#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vek::host {

namespace {

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

std::string homeFolder()
{
    std::string home = environment("HOME");
    if (!home.empty()) return home;
    if (const passwd *user = getpwuid(getuid()); user && user->pw_dir) return user->pw_dir;
    return "/";
}

std::string chosenPrefix()
{
    std::string prefix = environment("VEKHOST_PREFIX");
    if (prefix.empty()) {
        // XDG asks to ignore a relative XDG_DATA_HOME.
        std::string data = environment("XDG_DATA_HOME");
        if (data.empty() || data[0] != '/') data = homeFolder() + "/.local/share";
        prefix = data + "/vekhost";
    }
    if (prefix[0] != '/') {
        char cwd[PATH_MAX];
        if (getcwd(cwd, sizeof cwd)) prefix = std::string(cwd) + "/" + prefix;
    }
    while (prefix.size() > 1 && prefix.back() == '/') prefix.pop_back();
    return prefix;
}

// The path with the symbolic links of its longest existing part resolved, so
// that it compares equal with what getcwd reports inside it, before and after
// the missing rest is created.
std::string canonical(const std::string &path)
{
    for (size_t cut = path.size(); cut != std::string::npos && cut > 0; cut = path.rfind('/', cut - 1)) {
        std::string head = path.substr(0, cut);
        if (char *real = realpath(head.c_str(), nullptr)) {
            std::string result = real;
            std::free(real);
            if (result == "/") result.clear();
            return result + path.substr(cut);
        }
    }
    return path;
}

const std::string &prefixPath()
{
    static const std::string prefix = canonical(chosenPrefix());
    return prefix;
}

}  // namespace

bool makeFolders(const std::string &folder, mode_t mode)
{
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        std::string part = folder.substr(0, slash);
        if (!part.empty()) mkdir(part.c_str(), mode);
        if (slash == std::string::npos) break;
    }
    struct stat info;
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

const std::string &prefixFolder()
{
    static const bool made = makeFolders(prefixPath(), 0700);
    (void)made;
    return prefixPath();
}

const std::string &driveCPath()
{
    static const std::string drive = prefixPath() + "/drive_c";
    return drive;
}

const std::string &driveCFolder()
{
    static const bool made = makeFolders(prefixFolder() + "/drive_c", 0777);
    (void)made;
    return driveCPath();
}

}  // namespace vek::host

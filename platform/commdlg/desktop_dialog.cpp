// The default file dialog: the desktop's own, through zenity or kdialog.
//
// Used only when a display is present (DISPLAY or WAYLAND_DISPLAY) and one
// of the programs is on PATH; otherwise the dialog is cancelled. The program
// runs without a shell (arguments go straight to exec), its standard output
// is the path chosen, and a non-zero exit status is a cancel.
#include "kernel/paths.h"
#include "user/ui_hooks.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

bool onPath(const std::string &program)
{
    const char *path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    size_t at = 0;
    while (at <= folders.size()) {
        size_t end = folders.find(':', at);
        if (end == std::string::npos) end = folders.size();
        std::string candidate = folders.substr(at, end - at) + "/" + program;
        if (end > at && access(candidate.c_str(), X_OK) == 0) return true;
        at = end + 1;
    }
    return false;
}

// Runs argv and returns its first line of output; false on a failure or a
// non-zero exit.
bool runForLine(const std::vector<std::string> &argv, std::string &line)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return false;
    pid_t child = fork();
    if (child < 0) {
        close(pipeFds[0]);
        close(pipeFds[1]);
        return false;
    }
    if (child == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        std::vector<char *> args;
        for (const std::string &a : argv) args.push_back(const_cast<char *>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(pipeFds[1]);
    std::string output;
    char buffer[1024];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) output.append(buffer, size_t(n));
    close(pipeFds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
    line = output.substr(0, output.find('\n'));
    return !line.empty();
}

// The pairs of a double-zero filter list: description, patterns (';'-separated).
std::vector<std::pair<std::string, std::string>> filterPairs(LPCSTR list)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    while (list && *list) {
        std::string description = list;
        list += description.size() + 1;
        if (!*list) break;
        std::string patterns = list;
        list += patterns.size() + 1;
        for (char &c : patterns)
            if (c == ';') c = ' ';
        pairs.emplace_back(description, patterns);
    }
    return pairs;
}

// The starting point of the dialog as a host path: the proposed name inside
// the initial folder.
std::string startPath(LPOPENFILENAMEA ofn)
{
    std::string start;
    vek::host::HostPath host;
    if (ofn->lpstrInitialDir && *ofn->lpstrInitialDir && vek::host::toHostPath(ofn->lpstrInitialDir, host))
        start = host.path + "/";
    if (*ofn->lpstrFile) {
        if (vek::host::toHostPath(ofn->lpstrFile, host) && std::strpbrk(ofn->lpstrFile, "\\/:"))
            start = host.path;
        else
            start += ofn->lpstrFile;
    }
    return start;
}

}  // namespace

namespace vek::host {

BOOL desktopFileDialog(LPOPENFILENAMEA ofn, BOOL save)
{
    const char *x11 = std::getenv("DISPLAY");
    const char *wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!x11 || !*x11) && (!wayland || !*wayland)) return FALSE;
    std::vector<std::string> argv;
    std::string start = startPath(ofn);
    auto filters = filterPairs(ofn->lpstrFilter);
    if (onPath("zenity")) {
        argv = {"zenity", "--file-selection"};
        if (save) argv.insert(argv.end(), {"--save", "--confirm-overwrite"});
        if (ofn->lpstrTitle) argv.push_back(std::string("--title=") + ofn->lpstrTitle);
        if (!start.empty()) argv.push_back("--filename=" + start);
        for (const auto &[description, patterns] : filters)
            argv.push_back("--file-filter=" + description + " | " + patterns);
    } else if (onPath("kdialog")) {
        argv = {"kdialog", save ? "--getsavefilename" : "--getopenfilename", start.empty() ? "." : start};
        std::string filter;
        for (const auto &[description, patterns] : filters)
            filter += (filter.empty() ? "" : "\n") + patterns + "|" + description;
        if (!filter.empty()) argv.push_back(filter);
        if (ofn->lpstrTitle) argv.insert(argv.end(), {"--title", ofn->lpstrTitle});
    } else {
        return FALSE;
    }
    std::string chosen;
    if (!runForLine(argv, chosen) || chosen[0] != '/') return FALSE;
    std::string dos = toDosPath(chosen);
    if (dos.size() + 1 > kFileDialogRoom) return FALSE;
    std::memcpy(ofn->lpstrFile, dos.c_str(), dos.size() + 1);
    return TRUE;
}

}  // namespace vek::host

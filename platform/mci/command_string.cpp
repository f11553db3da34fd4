// mciSendString: the command-string interpreter of the built-in MCI.
//
// A command is a verb, a device name and keywords, separated by blanks; a
// word may be put in double quotes to hold blanks. Understood here:
//   open <device> [type <type>] [alias <name>] [shareable] [notify] [wait]
//        <device> is "sequencer!<file>", a file whose extension is .mid,
//        .midi or .rmi, or a file with "type sequencer";
//   play <name> [from <ms>] [notify] [wait]
//   status <name> mode|length [notify] [wait]   ("playing"/"stopped", ms)
//   close <name>|all [notify] [wait]
// "notify" posts MM_MCINOTIFY to the callback window when the command is
// done: at once for open, status and close, at the end of the file for play.
// "wait" is accepted; nothing here blocks. Device names and keywords are
// compared ignoring case. Failures give the MCI error code and change nothing.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "debug/channel.h"
#include "mci/midi_file.h"
#include "mci/entry_points.h"
#include "mci/sequencer.h"

namespace vek::mci {

namespace {

// Files larger than this are not taken for MIDI files.
constexpr LONG kMaxFileSize = 64 << 20;

struct Device {
    std::string name;  // alias, or the file name when opened without one
    MCIDEVICEID id;
    std::unique_ptr<Sequencer> sequencer;
};

struct Devices {
    std::mutex lock;
    std::vector<Device> open;
    MCIDEVICEID nextId = 1;
};

Devices &devices()
{
    static Devices *d = new Devices;  // never destroyed: timing threads may outlive statics
    return *d;
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same(const std::string &a, const char *b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; i++)
        if (lower(a[i]) != lower(b[i])) return false;
    return i == a.size() && !b[i];
}

bool endsWith(const std::string &s, const char *suffix)
{
    const size_t n = std::char_traits<char>::length(suffix);
    return s.size() >= n && same(s.substr(s.size() - n), suffix);
}

// Splits a command into words; quotes group blanks into a word.
MCIERROR split(const char *command, std::vector<std::string> &words)
{
    const char *p = command;
    for (;;) {
        while (*p == ' ' || *p == '\t') p++;
        if (!*p) return 0;
        std::string word;
        if (*p == '"') {
            const char *close = p + 1;
            while (*close && *close != '"') close++;
            if (!*close) return MCIERR_NO_CLOSING_QUOTE;
            word.assign(p + 1, close);
            p = close + 1;
            if (*p && *p != ' ' && *p != '\t') return MCIERR_EXTRA_CHARACTERS;
        } else {
            while (*p && *p != ' ' && *p != '\t') word += *p++;
        }
        words.push_back(word);
    }
}

// The keywords after a device name.
struct Options {
    bool notify = false;
    std::string type, alias;
    LONG from = 0;
    std::vector<std::string> items;  // status items
};

MCIERROR readInteger(const std::string &word, LONG &out)
{
    if (word.empty() || word.size() > 9 || !std::all_of(word.begin(), word.end(), [](char c) {
            return c >= '0' && c <= '9';
        }))
        return MCIERR_BAD_INTEGER;
    out = std::stol(word);
    return 0;
}

// Reads the keywords of a verb; allowed lists the ones it takes besides
// notify and wait.
MCIERROR readOptions(const std::vector<std::string> &words, size_t at, std::initializer_list<const char *> allowed,
                     Options &out)
{
    auto takes = [&](const std::string &word, const char *keyword) {
        return same(word, keyword) && std::any_of(allowed.begin(), allowed.end(), [&](const char *a) {
                   return std::string_view(a) == keyword;
               });
    };
    for (; at < words.size(); at++) {
        const std::string &w = words[at];
        const bool hasValue = at + 1 < words.size();
        if (same(w, "notify")) {
            out.notify = true;
        } else if (same(w, "wait") || takes(w, "shareable")) {
            // Accepted: commands finish at once here, and devices are not shared.
        } else if (takes(w, "alias") || takes(w, "type")) {
            if (!hasValue) return MCIERR_MISSING_STRING_ARGUMENT;
            (same(w, "alias") ? out.alias : out.type) = words[++at];
        } else if (takes(w, "from")) {
            if (!hasValue) return MCIERR_MISSING_PARAMETER;
            if (MCIERROR e = readInteger(words[++at], out.from)) return e;
        } else if (takes(w, "mode") || takes(w, "length")) {
            out.items.push_back(same(w, "mode") ? "mode" : "length");
        } else {
            return MCIERR_UNRECOGNIZED_KEYWORD;
        }
    }
    return 0;
}

// Copies a result into the caller's buffer.
MCIERROR answer(const std::string &text, LPSTR buffer, UINT size)
{
    if (!buffer || !size) return 0;
    if (text.size() >= size) return MCIERR_PARAM_OVERFLOW;
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = '\0';
    return 0;
}

void notifyDone(const Options &options, HWND callback, MCIDEVICEID id)
{
    if (options.notify && callback) PostMessageA(callback, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, static_cast<LPARAM>(id));
}

Device *findDevice(Devices &d, const std::string &name)
{
    for (Device &device : d.open)
        if (same(device.name, name.c_str())) return &device;
    return nullptr;
}

// Reads a MIDI file into its schedule.
MCIERROR loadFile(const std::string &file, MidiSong &song)
{
    HFILE handle = _lopen(file.c_str(), OF_READ);
    if (handle == HFILE_ERROR) return MCIERR_FILE_NOT_FOUND;
    const LONG size = _llseek(handle, 0, FILE_END);
    std::vector<uint8_t> bytes;
    bool read = false;
    if (size >= 0 && size <= kMaxFileSize && _llseek(handle, 0, FILE_BEGIN) == 0) {
        bytes.resize(static_cast<size_t>(size));
        read = _lread(handle, bytes.data(), static_cast<UINT>(size)) == static_cast<UINT>(size);
    }
    _lclose(handle);
    if (!read || !readMidiFile(bytes.data(), bytes.size(), song)) return MCIERR_INVALID_FILE;
    return 0;
}

MCIERROR open(const std::vector<std::string> &words, HWND callback)
{
    Options options;
    if (MCIERROR e = readOptions(words, 2, {"alias", "type", "shareable"}, options)) return e;
    std::string type = options.type, file = words[1];
    const size_t bang = file.find('!');
    if (bang != std::string::npos) {
        type = file.substr(0, bang);
        file = file.substr(bang + 1);
    } else if (type.empty()) {
        if (!endsWith(file, ".mid") && !endsWith(file, ".midi") && !endsWith(file, ".rmi"))
            return same(file, "sequencer") ? MCIERR_MISSING_PARAMETER : MCIERR_EXTENSION_NOT_FOUND;
        type = "sequencer";
    }
    if (!same(type, "sequencer")) return MCIERR_INVALID_DEVICE_NAME;
    if (file.empty()) return MCIERR_MISSING_PARAMETER;
    const std::string name = options.alias.empty() ? file : options.alias;

    Devices &d = devices();
    std::lock_guard<std::mutex> guard(d.lock);
    if (findDevice(d, name)) return options.alias.empty() ? MCIERR_DEVICE_OPEN : MCIERR_DUPLICATE_ALIAS;
    MidiSong song;
    if (MCIERROR e = loadFile(file, song)) return e;
    const MCIDEVICEID id = d.nextId++;
    d.open.push_back(Device{name, id, std::make_unique<Sequencer>(id, std::move(song))});
    notifyDone(options, callback, id);
    return 0;
}

MCIERROR play(const std::vector<std::string> &words, HWND callback)
{
    Options options;
    if (MCIERROR e = readOptions(words, 2, {"from"}, options)) return e;
    Devices &d = devices();
    std::lock_guard<std::mutex> guard(d.lock);
    Device *device = findDevice(d, words[1]);
    if (!device) return MCIERR_INVALID_DEVICE_NAME;
    const std::chrono::microseconds from = std::chrono::milliseconds(options.from);
    if (from > device->sequencer->length()) return MCIERR_OUTOFRANGE;
    device->sequencer->play(from, options.notify, callback);
    return 0;
}

MCIERROR status(const std::vector<std::string> &words, LPSTR buffer, UINT size, HWND callback)
{
    Options options;
    if (MCIERROR e = readOptions(words, 2, {"mode", "length"}, options)) return e;
    if (options.items.size() != 1) return MCIERR_MISSING_PARAMETER;
    Devices &d = devices();
    std::lock_guard<std::mutex> guard(d.lock);
    Device *device = findDevice(d, words[1]);
    if (!device) return MCIERR_INVALID_DEVICE_NAME;
    Sequencer &s = *device->sequencer;
    const std::string text =
        options.items[0] == "mode"
            ? (s.playing() ? "playing" : "stopped")
            : std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(s.length()).count());
    if (MCIERROR e = answer(text, buffer, size)) return e;
    notifyDone(options, callback, device->id);
    return 0;
}

MCIERROR close(const std::vector<std::string> &words, HWND callback)
{
    Options options;
    if (MCIERROR e = readOptions(words, 2, {}, options)) return e;
    std::vector<Device> closed;
    {
        Devices &d = devices();
        std::lock_guard<std::mutex> guard(d.lock);
        const bool all = same(words[1], "all");
        auto keep = std::stable_partition(d.open.begin(), d.open.end(), [&](const Device &device) {
            return !all && !same(device.name, words[1].c_str());
        });
        if (keep == d.open.end() && !all) return MCIERR_INVALID_DEVICE_NAME;
        std::move(keep, d.open.end(), std::back_inserter(closed));
        d.open.erase(keep, d.open.end());
    }
    // Stopping the timing threads happens outside the table's lock.
    const MCIDEVICEID id = closed.size() == 1 ? closed[0].id : 0;
    closed.clear();
    notifyDone(options, callback, id);
    return 0;
}

MCIERROR run(LPCSTR command, LPSTR returnString, UINT returnLength, HWND callback)
{
    if (!command) return MCIERR_MISSING_COMMAND_STRING;
    std::vector<std::string> words;
    if (MCIERROR e = split(command, words)) return e;
    if (words.empty()) return MCIERR_MISSING_COMMAND_STRING;
    const std::string &verb = words[0];
    const bool known = same(verb, "open") || same(verb, "play") || same(verb, "status") || same(verb, "close");
    if (!known) return MCIERR_UNRECOGNIZED_COMMAND;
    if (words.size() < 2) return MCIERR_MISSING_DEVICE_NAME;
    if (same(verb, "open")) return open(words, callback);
    if (same(verb, "play")) return play(words, callback);
    if (same(verb, "status")) return status(words, returnString, returnLength, callback);
    return close(words, callback);
}

}  // namespace

MCIERROR WINAPI sendString(LPCSTR command, LPSTR returnString, UINT returnLength, HWND callback)
{
    if (returnString && returnLength) returnString[0] = '\0';
    const MCIERROR error = run(command, returnString, returnLength, callback);
    if (error && debug::on(debug::Channel::mci)) {
        char reason[256];
        if (!getErrorString(error, reason, sizeof reason)) reason[0] = '\0';
        std::string call = "mciSendString(";
        debug::formatArguments(call, command, returnLength, callback);
        debug::print(debug::Channel::mci, nullptr, "%s) failed: MCI error %lu: %s", call.c_str(),
                     static_cast<unsigned long>(error), reason);
    }
    return error;
}

}  // namespace vek::mci

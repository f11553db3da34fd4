// The trace channels: reading VEKHOST_DEBUG, the failure lines and the
// recorded calls they name.
#include "debug/channel.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace vek::debug {

namespace detail {
std::atomic<unsigned> mask{kUnread};
}

namespace {

struct Name {
    const char *name;
    Channel channel;
};
constexpr Name kNames[] = {{"kernel", Channel::kernel},
                           {"gdi", Channel::gdi},
                           {"user", Channel::user},
                           {"registry", Channel::registry},
                           {"mci", Channel::mci}};

const char *nameOf(Channel c)
{
    for (const Name &n : kNames)
        if (n.channel == c) return n.name;
    return "?";
}

// VEKHOST_DEBUG as a mask: channel names separated by commas, "all" for
// every channel. Unknown names are reported once the known ones are set.
unsigned parse(const char *text)
{
    unsigned m = 0;
    std::string unknown;
    while (text && *text) {
        const char *end = std::strchr(text, ',');
        const size_t n = end ? static_cast<size_t>(end - text) : std::strlen(text);
        const std::string word(text, n);
        bool known = word.empty();
        if (word == "all") {
            m = ~detail::kUnread;
            known = true;
        }
        for (const Name &name : kNames)
            if (word == name.name) {
                m |= static_cast<unsigned>(name.channel);
                known = true;
            }
        if (!known) unknown += (unknown.empty() ? "" : ", ") + word;
        text = end ? end + 1 : nullptr;
    }
    if (!unknown.empty())
        std::fprintf(stderr,
                     "vekhost: VEKHOST_DEBUG: unknown channel %s (channels: kernel, gdi, user, registry, mci, all)\n",
                     unknown.c_str());
    return m;
}

const char *errorName(DWORD error)
{
    switch (error) {
#define NAME(e) \
    case e: return #e
        NAME(ERROR_INVALID_FUNCTION);
        NAME(ERROR_FILE_NOT_FOUND);
        NAME(ERROR_PATH_NOT_FOUND);
        NAME(ERROR_TOO_MANY_OPEN_FILES);
        NAME(ERROR_ACCESS_DENIED);
        NAME(ERROR_INVALID_HANDLE);
        NAME(ERROR_NOT_ENOUGH_MEMORY);
        NAME(ERROR_BAD_FORMAT);
        NAME(ERROR_OUTOFMEMORY);
        NAME(ERROR_SEEK_ON_DEVICE);
        NAME(ERROR_WRITE_FAULT);
        NAME(ERROR_GEN_FAILURE);
        NAME(ERROR_SHARING_VIOLATION);
        NAME(ERROR_BAD_NETPATH);
        NAME(ERROR_INVALID_PARAMETER);
        NAME(ERROR_DISK_FULL);
        NAME(ERROR_INSUFFICIENT_BUFFER);
        NAME(ERROR_INVALID_NAME);
        NAME(ERROR_MOD_NOT_FOUND);
        NAME(ERROR_PROC_NOT_FOUND);
        NAME(ERROR_DIR_NOT_EMPTY);
        NAME(ERROR_NEGATIVE_SEEK);
        NAME(ERROR_BAD_PATHNAME);
        NAME(ERROR_FILENAME_EXCED_RANGE);
        NAME(ERROR_ALREADY_EXISTS);
        NAME(ERROR_DIRECTORY);
        NAME(ERROR_MORE_DATA);
        NAME(ERROR_NOT_LOCKED);
        NAME(ERROR_NOACCESS);
        NAME(ERROR_INVALID_FLAGS);
        NAME(ERROR_KEY_DELETED);
        NAME(ERROR_NO_UNICODE_TRANSLATION);
        NAME(ERROR_INVALID_WINDOW_HANDLE);
        NAME(ERROR_INVALID_INDEX);
        NAME(ERROR_CLASS_ALREADY_EXISTS);
        NAME(ERROR_CLASS_DOES_NOT_EXIST);
        NAME(ERROR_CLASS_HAS_WINDOWS);
        NAME(ERROR_TLW_WITH_WSCHILD);
        NAME(ERROR_CANNOT_FIND_WND_CLASS);
        NAME(ERROR_RESOURCE_DATA_NOT_FOUND);
        NAME(ERROR_RESOURCE_TYPE_NOT_FOUND);
        NAME(ERROR_RESOURCE_NAME_NOT_FOUND);
#undef NAME
    default: return "error";
    }
}

// The calls recorded on this thread, innermost last.
struct Frame {
    const char *name;
    const void *format;
    void (*thunk)(const void *, std::string &);
};
thread_local std::vector<Frame> calls;

}  // namespace

namespace detail {

unsigned readMask()
{
    unsigned m = mask.load(std::memory_order_relaxed);
    if (m & kUnread) {
        m = parse(std::getenv("VEKHOST_DEBUG"));
        mask.store(m, std::memory_order_relaxed);
    }
    return m;
}

}  // namespace detail

void print(Channel c, const char *kind, const char *format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    // One call, so that lines of several threads do not interleave.
    std::fprintf(stderr, "vekhost:%s%s%s: %s\n", nameOf(c), kind ? ":" : "", kind ? kind : "", text);
}

void formatArgument(std::string &out, long long v)
{
    out += std::to_string(v);
}

void formatArgument(std::string &out, unsigned long long v)
{
    char text[24];
    std::snprintf(text, sizeof text, v < 10 ? "%llu" : "0x%llx", v);
    out += text;
}

void formatArgument(std::string &out, const char *s)
{
    if (!s) {
        out += "NULL";
        return;
    }
    // Small integers in place of names (MAKEINTRESOURCE) are not strings.
    if (reinterpret_cast<uintptr_t>(s) < 0x10000) {
        out += "#" + std::to_string(reinterpret_cast<uintptr_t>(s));
        return;
    }
    const size_t n = strnlen(s, 80);
    out += '"';
    out.append(s, n);
    out += n == 80 ? "\"..." : "\"";
}

void formatArgument(std::string &out, const void *p)
{
    if (!p) {
        out += "NULL";
        return;
    }
    char text[24];
    std::snprintf(text, sizeof text, "0x%" PRIxPTR, reinterpret_cast<uintptr_t>(p));
    out += text;
}

void formatArgument(std::string &out, const RECT *r)
{
    if (!r) {
        out += "NULL";
        return;
    }
    out += "(" + std::to_string(r->left) + ", " + std::to_string(r->top) + ")-(" + std::to_string(r->right) + ", " +
           std::to_string(r->bottom) + ")";
}

void formatArgument(std::string &out, RECT *r)
{
    formatArgument(out, static_cast<const void *>(r));
}

void CallScope::push(const char *name, const void *format, void (*thunk)(const void *, std::string &))
{
    calls.push_back(Frame{name, format, thunk});
    pushed_ = true;
}

void CallScope::pop()
{
    calls.pop_back();
}

void reportFailure(Channel c, DWORD error, const char *reason, CallSite where)
{
    std::string call;
    if (!calls.empty()) {
        const Frame &f = calls.back();
        call = std::string(f.name) + "(";
        f.thunk(f.format, call);
        call += ")";
    } else {
        call = where.function;
    }
    print(c, nullptr, "%s failed: %s (%lu)%s%s", call.c_str(), errorName(error), static_cast<unsigned long>(error),
          reason ? ": " : "", reason ? reason : "");
}

}  // namespace vek::debug

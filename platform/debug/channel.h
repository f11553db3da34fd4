// Trace channels of the hosted platform, in the style of Wine's debug
// channels.
//
// VEKHOST_DEBUG names the channels to print, separated by commas
// ("gdi,user", or "all"): kernel, gdi, user, registry, mci.
// A channel that is on prints, on stderr, every Win32 call of its part of
// the platform that fails (the call with its arguments, the error and the
// reason) and warnings of things that silently show nothing:
//   vekhost:gdi: BitBlt(0x2a, 0, 0, 64, 64, 0x31, 0, 0, 0xcc0020) failed: ERROR_INVALID_HANDLE (6): no such source DC
//   vekhost:user:warn: window 0x10001 "game" ...
//
// Off, which is the default, it costs one relaxed load and one predictable
// branch where a line could be printed (and, in a call that records its
// arguments, one more branch on leaving it), and formats nothing. The
// variable is read once, on the first check.
#ifndef VEKHOST_DEBUG_CHANNEL_H
#define VEKHOST_DEBUG_CHANNEL_H

#include <windows.h>

#include <atomic>
#include <string>
#include <type_traits>

#include "debug/call_site.h"

namespace vek::debug {

enum class Channel : unsigned {
    kernel = 1u << 0,
    gdi = 1u << 1,
    user = 1u << 2,
    registry = 1u << 3,
    mci = 1u << 4,
};

namespace detail {

// The channels that are on, or kUnread before VEKHOST_DEBUG has been read.
inline constexpr unsigned kUnread = 1u << 31;
extern std::atomic<unsigned> mask;

// Reads VEKHOST_DEBUG into mask (once) and returns the channels that are on.
unsigned readMask();

}  // namespace detail

// Whether VEKHOST_DEBUG turns channel c on.
inline bool on(Channel c)
{
    const unsigned bit = static_cast<unsigned>(c);
    const unsigned m = detail::mask.load(std::memory_order_relaxed);
    if (__builtin_expect((m & (bit | detail::kUnread)) == 0, 1)) return false;
    return ((m & detail::kUnread ? detail::readMask() : m) & bit) != 0;
}

// Prints one line, "vekhost:<channel>[:<kind>]: <text>", on stderr; kind
// may be null. Call it only when on(c).
void print(Channel c, const char *kind, const char *format, ...) __attribute__((format(printf, 3, 4)));

// The arguments of a call as text, for the failure lines: integers in
// decimal, unsigned ones in hex, strings quoted, handles and other pointers
// in hex, rectangles given to the call as (left, top)-(right, bottom); a
// writable rectangle is the call's output, shown as its address.
void formatArgument(std::string &out, long long v);
void formatArgument(std::string &out, unsigned long long v);
void formatArgument(std::string &out, const char *s);
void formatArgument(std::string &out, const void *p);
void formatArgument(std::string &out, const RECT *r);
void formatArgument(std::string &out, RECT *r);

template <class T>
void formatOne(std::string &out, const T &v)
{
    if constexpr (std::is_enum_v<T>)
        formatArgument(out, static_cast<unsigned long long>(v));
    else if constexpr (std::is_integral_v<T> && std::is_signed_v<T>)
        formatArgument(out, static_cast<long long>(v));
    else if constexpr (std::is_integral_v<T>)
        formatArgument(out, static_cast<unsigned long long>(v));
    else
        formatArgument(out, v);
}

template <class... A>
void formatArguments(std::string &out, const A &...args)
{
    const char *separator = "";
    ((out += separator, formatOne(out, args), separator = ", "), ...);
}

// The Win32 call running on this thread, recorded (with a way to print its
// arguments) only while its channel is on, so that a failure reported
// anywhere below it names the call. Scopes nest; the innermost one names the
// failure. Use it through VEKHOST_CALL.
class CallScope {
public:
    template <class Format>
    CallScope(Channel c, const char *name, const Format &format)
    {
        if (on(c)) push(name, &format, [](const void *f, std::string &out) { (*static_cast<const Format *>(f))(out); });
    }
    ~CallScope()
    {
        if (pushed_) pop();
    }
    CallScope(const CallScope &) = delete;
    CallScope &operator=(const CallScope &) = delete;

private:
    void push(const char *name, const void *format, void (*thunk)(const void *, std::string &));
    void pop();
    bool pushed_ = false;
};

// Reports a failed call on channel c (when c is on): the innermost recorded
// call with its arguments, else the function where it failed; the error by
// name and number; the reason, when there is one.
void reportFailure(Channel c, DWORD error, const char *reason, CallSite where);

// Reports a failed call on channel c, when c is on.
inline void report(Channel c, DWORD error, const char *reason = nullptr,
                   CallSite where = CallSite::here())
{
    if (on(c)) reportFailure(c, error, reason, where);
}

// Sets the last error to error, reports the failure and returns result:
// `return fail(Channel::gdi, ERROR_INVALID_HANDLE, FALSE, "no such DC");`.
// Each part of the platform wraps this in a fail() of its own channel.
template <class T>
T fail(Channel c, DWORD error, T result, const char *reason = nullptr,
       CallSite where = CallSite::here())
{
    SetLastError(error);
    if (on(c)) reportFailure(c, error, reason, where);
    return result;
}

}  // namespace vek::debug

// Records the running call and its arguments for the failure lines of the
// channel: VEKHOST_CALL(Channel::gdi, dc, x, y, width, height);
#define VEKHOST_CALL(channel, ...)                                                              \
    const auto vekhostFormatArguments = [&](std::string &out) {                                 \
        vek::debug::formatArguments(out __VA_OPT__(, ) __VA_ARGS__);                            \
    };                                                                                          \
    const vek::debug::CallScope vekhostCallScope(vek::debug::channel, __func__, vekhostFormatArguments)

// A warning on a channel: formatted and printed only when the channel is on.
#define VEKHOST_WARN(channel, ...)                                                              \
    do {                                                                                        \
        if (vek::debug::on(vek::debug::channel))                                                \
            vek::debug::print(vek::debug::channel, "warn", __VA_ARGS__);                        \
    } while (0)

#endif

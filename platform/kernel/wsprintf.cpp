// wsprintfA and wvsprintfA: Windows' own small printf.
//
// A conversion is %[flags][width][.precision][size]type with
//   flags      '-' left-aligns, '#' prefixes hexadecimal with 0x (0X for
//              %X, also for 0), '0' pads numbers with zeros up to the width
//   width      a decimal minimum width ('*' is not supported, as on Windows)
//   precision  the most bytes of a string, the fewest digits of a number
//   size       'h' (short numbers, ANSI %S and %C), 'l' or 'w' (wide %s and %c)
//   type       d i (signed), u (unsigned), x X (hexadecimal), c C (character),
//              s S (string; a null string prints "(null)")
// Numbers are 32-bit. There are no floating-point conversions. %% prints a
// percent sign; an unknown type character is printed as it is, taking no
// argument. Wide characters are UTF-16, written out in UTF-8 (the ANSI code
// page of the platform); unpaired surrogates become U+FFFD.
//
// Output stops at 1023 characters plus the terminator, Windows' fixed limit;
// the result is the number of characters written before the terminator.
#include <windows.h>

#include <cstring>

namespace {

constexpr size_t kLimit = 1023;  // characters; the buffer holds 1024 bytes

class Writer {
public:
    explicit Writer(LPSTR buffer) : buffer_(buffer) {}

    void put(char c)
    {
        if (length_ < kLimit) buffer_[length_++] = c;
    }
    void put(const char *s, size_t n)
    {
        for (size_t i = 0; i < n; i++) put(s[i]);
    }
    void pad(char c, size_t n)
    {
        for (size_t i = 0; i < n && length_ < kLimit; i++) put(c);
    }
    int finish()
    {
        buffer_[length_] = '\0';
        return static_cast<int>(length_);
    }

private:
    LPSTR buffer_;
    size_t length_ = 0;
};

struct Conversion {
    bool left = false;
    bool hexPrefix = false;
    bool zeroPad = false;
    size_t width = 0;
    size_t precision = 0;
    bool hasPrecision = false;
    char size = 0;  // 'h', 'l' or 'w'
};

// Parses the conversion after '%'; leaves p on its type character.
Conversion parse(const char *&p)
{
    Conversion conv;
    for (;; p++) {
        if (*p == '-')
            conv.left = true;
        else if (*p == '#')
            conv.hexPrefix = true;
        else if (*p == '0')
            conv.zeroPad = true;
        else
            break;
    }
    for (; *p >= '0' && *p <= '9'; p++) conv.width = conv.width * 10 + static_cast<size_t>(*p - '0');
    if (*p == '.') {
        conv.hasPrecision = true;
        for (p++; *p >= '0' && *p <= '9'; p++) conv.precision = conv.precision * 10 + static_cast<size_t>(*p - '0');
    }
    if (*p == 'h' || *p == 'l' || *p == 'w') conv.size = *p++;
    return conv;
}

// Writes text of n bytes padded with spaces to the width.
void field(Writer &out, const Conversion &conv, const char *text, size_t n)
{
    size_t padding = conv.width > n ? conv.width - n : 0;
    if (!conv.left) out.pad(' ', padding);
    out.put(text, n);
    if (conv.left) out.pad(' ', padding);
}

void number(Writer &out, const Conversion &conv, DWORD magnitude, bool negative, unsigned base, bool upper)
{
    const char *digitChars = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char digits[32];
    size_t count = 0;
    do {
        digits[count++] = digitChars[magnitude % base];
        magnitude /= base;
    } while (magnitude);

    const char *prefix = negative ? "-" : base == 16 && conv.hexPrefix ? (upper ? "0X" : "0x") : "";
    size_t prefixLength = std::strlen(prefix);
    size_t zeros = conv.precision > count ? conv.precision - count : 0;
    size_t length = prefixLength + zeros + count;
    if (conv.zeroPad && !conv.left && conv.width > length) {
        zeros += conv.width - length;
        length = conv.width;
    }
    size_t padding = conv.width > length ? conv.width - length : 0;
    if (!conv.left) out.pad(' ', padding);
    out.put(prefix, prefixLength);
    out.pad('0', zeros);
    while (count) out.put(digits[--count]);
    if (conv.left) out.pad(' ', padding);
}

// Encodes one UTF-16 character (a surrogate pair takes two units) as UTF-8
// into bytes; returns the bytes used and advances s past the units taken.
size_t encodeUtf8(const WCHAR *&s, char bytes[4])
{
    char32_t c = *s++;
    if (c >= 0xD800 && c <= 0xDBFF && *s >= 0xDC00 && *s <= 0xDFFF)
        c = 0x10000 + ((c - 0xD800) << 10) + (*s++ - 0xDC00);
    else if (c >= 0xD800 && c <= 0xDFFF)
        c = 0xFFFD;
    if (c < 0x80) {
        bytes[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        bytes[0] = static_cast<char>(0xC0 | c >> 6);
        bytes[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        bytes[0] = static_cast<char>(0xE0 | c >> 12);
        bytes[1] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
        bytes[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    bytes[0] = static_cast<char>(0xF0 | c >> 18);
    bytes[1] = static_cast<char>(0x80 | (c >> 12 & 0x3F));
    bytes[2] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
    bytes[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

// A wide string in UTF-8, cut after the last whole character that fits the
// precision (and the output limit).
void wideString(Writer &out, const Conversion &conv, const WCHAR *s)
{
    char text[kLimit + 4];
    size_t limit = conv.hasPrecision && conv.precision < kLimit ? conv.precision : kLimit;
    size_t n = 0;
    while (*s) {
        char bytes[4];
        size_t used = encodeUtf8(s, bytes);
        if (n + used > limit) break;
        std::memcpy(text + n, bytes, used);
        n += used;
    }
    field(out, conv, text, n);
}

void wideChar(Writer &out, const Conversion &conv, WCHAR c)
{
    const WCHAR units[2] = {c, 0};
    const WCHAR *s = units;
    char bytes[4];
    size_t n = encodeUtf8(s, bytes);
    field(out, conv, bytes, n);
}

}  // namespace

int WINAPI wvsprintfA(LPSTR buffer, LPCSTR format, va_list arguments)
{
    if (!buffer) return 0;
    Writer out(buffer);
    for (const char *p = format ? format : ""; *p; p++) {
        if (*p != '%') {
            out.put(*p);
            continue;
        }
        if (p[1] == '%') {
            out.put(*++p);
            continue;
        }
        p++;
        Conversion conv = parse(p);
        bool wide = conv.size == 'l' || conv.size == 'w';
        switch (*p) {
        case 'd':
        case 'i': {
            int value = va_arg(arguments, int);
            if (conv.size == 'h') value = static_cast<short>(value);
            DWORD magnitude = value < 0 ? 0u - static_cast<DWORD>(value) : static_cast<DWORD>(value);
            number(out, conv, magnitude, value < 0, 10, false);
            break;
        }
        case 'u':
        case 'x':
        case 'X': {
            auto value = static_cast<DWORD>(va_arg(arguments, unsigned));
            if (conv.size == 'h') value = static_cast<WORD>(value);
            number(out, conv, value, false, *p == 'u' ? 10 : 16, *p == 'X');
            break;
        }
        case 'c':
        case 'C': {
            int value = va_arg(arguments, int);
            if (*p == 'C' ? conv.size != 'h' : wide) {
                wideChar(out, conv, static_cast<WCHAR>(value));
            } else {
                char c = static_cast<char>(value);
                field(out, conv, &c, 1);
            }
            break;
        }
        case 's':
        case 'S':
            if (*p == 'S' ? conv.size != 'h' : wide) {
                const WCHAR *s = va_arg(arguments, const WCHAR *);
                static const WCHAR nullText[] = {'(', 'n', 'u', 'l', 'l', ')', 0};
                wideString(out, conv, s ? s : nullText);
            } else {
                const char *s = va_arg(arguments, const char *);
                if (!s) s = "(null)";
                size_t n = conv.hasPrecision ? strnlen(s, conv.precision) : std::strlen(s);
                field(out, conv, s, n);
            }
            break;
        case '\0':
            p--;  // a lone '%' at the end prints nothing
            break;
        default:
            out.put(*p);
            break;
        }
    }
    return out.finish();
}

int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    int length = wvsprintfA(buffer, format, arguments);
    va_end(arguments);
    return length;
}

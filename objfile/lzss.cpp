// LZSS with a 4096-byte ring, 12-bit ring positions and 4-bit match lengths.
//
// Stream format. Both sides keep a ring of 4096 bytes that starts filled with
// 0x20 (space). Every output byte, literal or copied, is also stored in the
// ring at position r, which starts at 4078 and advances by one (mod 4096)
// after each byte. The stream is a sequence of groups: one flag byte, then up
// to eight items described by its bits, bit 0 first:
//
//   flag bit 1: a literal, one byte that is the next output byte
//   flag bit 0: a pair of bytes b0 b1 naming ring position
//               b0 | (b1 & 0xF0) << 4 and length (b1 & 0x0F) + 3 (3 to 18);
//               its bytes are copied one at a time from that position on,
//               so a pair may repeat the bytes it is producing
//
// The last group may be short; its unused flag bits are 0. There is no end
// marker and no length: the stream ends with its bytes, and the reader knows
// the expanded length from elsewhere. Pairs name absolute ring positions, not
// distances back.
//
// The encoder finds its matches the classic way, with one binary search tree
// per first byte holding every string of 18 bytes that starts in the window,
// ordered by bytes 1 to 17. Which of several equally long matches a stream
// names depends on the shape of those trees, so the encoder keeps exactly the
// classic trees (insertion, replacement of an equal string, deletion with the
// predecessor) and makes the search itself cheap: the key is compared with a
// node eight bytes at a time and the branch direction is computed, not
// guessed.
#include "objfile/lzss.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

namespace {

constexpr unsigned kRing = 4096;                 // N: ring size; positions are 12-bit
constexpr unsigned kLongest = 18;                // F: longest match, length of the look-ahead
constexpr unsigned kThreshold = 2;               // a match must be longer to be coded as a pair
constexpr unsigned kStart = kRing - kLongest;    // 4078: ring position of the first byte
constexpr unsigned kNil = kRing;                 // no node
constexpr unsigned kRoots = kRing + 1;           // the tree of first byte c is rooted at kRoots + c
constexpr BYTE kFill = 0x20;                     // initial content of the ring
constexpr unsigned kMaxGroup = 1 + 8 * 2;        // flag byte and eight pairs
constexpr unsigned kMaxGroupOutput = 8 * kLongest;

// A tree node per ring position; kid[0] is the left child, kid[1] the right.
// Node kNil is scratch that absorbs the parent links written to a missing
// child; the roots use only their right child.
struct Node {
    uint16_t kid[2];
    uint16_t parent;
};

struct Encoder {
    // The ring, followed by a mirror of positions 0..16 so that the 18 bytes
    // of a string starting anywhere can be read without a wrap test.
    BYTE ring[kRing + kLongest - 1];
    Node node[kRoots + 256];
    // Whole groups gather here before they are handed to the writer.
    BYTE out[8192];
    unsigned matchPosition;
    unsigned matchLength;
};

// Bytes 1..16 of a string are compared as two big-endian words, so that the
// first differing byte is the highest differing bit and the word order is the
// byte order.
inline uint64_t loadBigEndian(const BYTE *p)
{
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return __builtin_bswap64(v);
}

// Puts the string at ring position r into its tree and leaves the longest
// match met on the way in matchPosition and matchLength (the first one met
// among equally long ones). A string equal to r in all 18 bytes is replaced
// by r, the newer position.
inline void insert(Encoder &e, unsigned r)
{
    const BYTE *ring = e.ring;
    Node *node = e.node;
    const BYTE *key = ring + r;
    const uint64_t key1 = loadBigEndian(key + 1);
    const uint64_t key9 = loadBigEndian(key + 9);
    const unsigned key17 = key[17];

    node[r].kid[0] = node[r].kid[1] = kNil;
    unsigned matchPosition = 0, matchLength = 0;
    unsigned p = kRoots + key[0];
    unsigned right = 1;  // the search starts to the right of the root
    for (;;) {
        const unsigned q = node[p].kid[right];
        if (q == kNil) {
            node[p].kid[right] = static_cast<uint16_t>(r);
            node[r].parent = static_cast<uint16_t>(p);
            e.matchPosition = matchPosition;
            e.matchLength = matchLength;
            return;
        }
        p = q;
        // i: index of the first byte that differs (18 when none does).
        const BYTE *s = ring + p;
        unsigned i;
        const uint64_t s1 = loadBigEndian(s + 1);
        if (key1 != s1) {
            i = 1 + std::countl_zero(key1 ^ s1) / 8;
            right = key1 > s1;
        } else {
            const uint64_t s9 = loadBigEndian(s + 9);
            if (key9 != s9) {
                i = 9 + std::countl_zero(key9 ^ s9) / 8;
                right = key9 > s9;
            } else if (key17 != s[17]) {
                i = 17;
                right = key17 > s[17];
            } else {
                i = kLongest;
            }
        }
        if (i > matchLength) {
            matchPosition = p;
            matchLength = i;
            if (i >= kLongest) break;
        }
    }
    // r takes the place of p, whose string it equals.
    const Node old = node[p];
    node[r] = old;
    node[old.kid[0]].parent = static_cast<uint16_t>(r);
    node[old.kid[1]].parent = static_cast<uint16_t>(r);
    Node &up = node[old.parent];
    up.kid[up.kid[1] == p] = static_cast<uint16_t>(r);
    node[p].parent = kNil;
    e.matchPosition = matchPosition;
    e.matchLength = matchLength;
}

// Takes the string at ring position p out of its tree; nothing when it is
// not in one. A node with two children is replaced by its predecessor.
inline void remove(Encoder &e, unsigned p)
{
    Node *node = e.node;
    if (node[p].parent == kNil) return;
    unsigned q;
    if (node[p].kid[1] == kNil) {
        q = node[p].kid[0];
    } else if (node[p].kid[0] == kNil) {
        q = node[p].kid[1];
    } else {
        q = node[p].kid[0];
        if (node[q].kid[1] != kNil) {
            do q = node[q].kid[1];
            while (node[q].kid[1] != kNil);
            node[node[q].parent].kid[1] = node[q].kid[0];
            node[node[q].kid[0]].parent = node[q].parent;
            node[q].kid[0] = node[p].kid[0];
            node[node[p].kid[0]].parent = static_cast<uint16_t>(q);
        }
        node[q].kid[1] = node[p].kid[1];
        node[node[p].kid[1]].parent = static_cast<uint16_t>(q);
    }
    node[q].parent = node[p].parent;
    Node &up = node[node[p].parent];
    up.kid[up.kid[1] == p] = static_cast<uint16_t>(q);
    node[p].parent = kNil;
}

// Copies len (3 to 18) bytes from at least 16 bytes back as two fixed-size
// moves that may overlap each other but never the bytes they read, and
// writes nothing past len.
inline void copyFar(BYTE *to, const BYTE *from, unsigned len)
{
    auto twice = [&](auto size) {
        constexpr unsigned n = decltype(size)::value;
        std::memcpy(to, from, n);
        std::memcpy(to + len - n, from + len - n, n);
    };
    if (len > 16) twice(std::integral_constant<unsigned, 16>{});
    else if (len >= 8) twice(std::integral_constant<unsigned, 8>{});
    else if (len >= 4) twice(std::integral_constant<unsigned, 4>{});
    else twice(std::integral_constant<unsigned, 2>{});
}

}  // namespace

namespace vek {

DWORD LzssEncode(const BYTE *src, DWORD count, LzssWriter write, void *context)
{
    if (count == 0) return 0;
    HGLOBAL mem = GlobalAlloc(GMEM_FIXED, sizeof(Encoder));
    if (!mem) return 0;
    auto &e = *new (mem) Encoder;

    // Positions before the start hold the fill; the look-ahead beyond a short
    // input and the mirror start as 0x00.
    std::memset(e.ring, kFill, kStart);
    std::memset(e.ring + kStart, 0, sizeof e.ring - kStart);
    for (unsigned i = 0; i < kRing; i++) e.node[i].parent = kNil;
    for (unsigned c = 0; c < 256; c++) e.node[kRoots + c].kid[1] = kNil;

    const BYTE *in = src;
    const BYTE *const end = src + count;
    unsigned s = 0, r = kStart;
    unsigned len = count < kLongest ? count : kLongest;
    std::memcpy(e.ring + r, in, len);
    in += len;
    // The strings that start in the fill before the first byte reach into
    // the input; they are in the trees from the start.
    for (unsigned i = 1; i <= kLongest; i++) insert(e, r - i);
    insert(e, r);

    DWORD written = 0;
    unsigned flagAt = 0, at = 1;  // the open group's flag byte and next item in e.out
    unsigned flags = 0, bit = 1;
    while (len > 0) {
        unsigned coded = e.matchLength > len ? len : e.matchLength;
        if (coded <= kThreshold) {
            coded = 1;
            flags |= bit;
            e.out[at++] = e.ring[r];
        } else {
            e.out[at++] = static_cast<BYTE>(e.matchPosition);
            e.out[at++] = static_cast<BYTE>(((e.matchPosition >> 4) & 0xF0) | (coded - (kThreshold + 1)));
        }
        bit <<= 1;
        if (bit == 0x100) {
            e.out[flagAt] = static_cast<BYTE>(flags);
            flags = 0;
            bit = 1;
            flagAt = at++;
            if (at + kMaxGroup > sizeof e.out) {
                write(context, e.out, flagAt);
                written += flagAt;
                flagAt = 0;
                at = 1;
            }
        }

        // Slide the window over the coded bytes: the oldest string leaves
        // its tree, the next input byte takes its ring position, and the
        // string at the new r goes in.
        unsigned i = 0;
        for (; i < coded && in < end; i++) {
            const BYTE c = *in++;
            remove(e, s);
            e.ring[s] = c;
            if (s < kLongest - 1) e.ring[s + kRing] = c;
            s = (s + 1) & (kRing - 1);
            r = (r + 1) & (kRing - 1);
            insert(e, r);
        }
        // Past the end of the input the look-ahead shrinks instead.
        for (; i < coded; i++) {
            remove(e, s);
            s = (s + 1) & (kRing - 1);
            r = (r + 1) & (kRing - 1);
            if (--len) insert(e, r);
        }
    }
    if (bit != 1) {
        e.out[flagAt] = static_cast<BYTE>(flags);
        flagAt = at;
    }
    if (flagAt) {
        write(context, e.out, flagAt);
        written += flagAt;
    }
    GlobalFree(mem);
    return written;
}

DWORD LzssDecode(const BYTE *stream, DWORD length, BYTE *dest, DWORD destLength)
{
    const BYTE *in = stream;
    const BYTE *const inEnd = stream + length;
    size_t o = 0;  // bytes written; the ring position of byte o is (kStart + o) mod 4096

    // Ring position pos was last written dist bytes back, or never (it then
    // holds the fill) when that lies before the start.
    auto distance = [&o](unsigned pos) -> size_t { return ((kStart + o - pos - 1) & (kRing - 1)) + 1; };
    auto copyNear = [dest, &o](size_t dist, unsigned len) {
        for (unsigned k = 0; k < len; k++, o++) dest[o] = o >= dist ? dest[o - dist] : kFill;
    };

    // Whole groups while both the longest group and its largest output fit:
    // no bounds tests inside.
    while (static_cast<size_t>(inEnd - in) >= kMaxGroup && destLength - o >= kMaxGroupOutput) {
        unsigned flags = *in++;
        if (flags == 0xFF) {
            std::memcpy(dest + o, in, 8);
            in += 8;
            o += 8;
            continue;
        }
        for (unsigned k = 0; k < 8; k++, flags >>= 1) {
            if (flags & 1) {
                dest[o++] = *in++;
                continue;
            }
            const unsigned pos = in[0] | (in[1] & 0xF0u) << 4;
            const unsigned len = (in[1] & 0x0Fu) + (kThreshold + 1);
            in += 2;
            const size_t dist = distance(pos);
            if (dist <= o && dist >= 16) {
                copyFar(dest + o, dest + o - dist, len);
                o += len;
            } else {
                copyNear(dist, len);
            }
        }
    }

    // The rest, item by item, against both ends.
    unsigned flags = 0;
    while (o < destLength) {
        flags >>= 1;
        if ((flags & 0xFF00) == 0) {
            if (in == inEnd) break;
            flags = *in++ | 0xFF00u;
        }
        if (flags & 1) {
            if (in == inEnd) break;
            dest[o++] = *in++;
            continue;
        }
        if (inEnd - in < 2) break;
        const unsigned pos = in[0] | (in[1] & 0xF0u) << 4;
        unsigned len = (in[1] & 0x0Fu) + (kThreshold + 1);
        in += 2;
        if (len > destLength - o) len = static_cast<unsigned>(destLength - o);
        copyNear(distance(pos), len);
    }
    return static_cast<DWORD>(o);
}

}  // namespace vek

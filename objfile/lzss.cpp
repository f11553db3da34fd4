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
// predecessor) and its streams equal the classic encoder's byte for byte. It
// gets its speed from doing the same tree work faster:
//
//   - a search step compares eight bytes at a time and computes the side to
//     take instead of guessing it with a branch;
//   - a string equal to a known successor of the last one's equal string is
//     put in its place without a search (runs, repeated rows);
//   - the window runs up to one byte ahead of the coder, so that two
//     searches in different trees can run side by side.
//
// Measured against a straightforward classic encoder in bench/lzss.cpp.
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

// The match trees. Node p is the string of 18 bytes at ring position p;
// kid[0] is its left child, kid[1] its right. A string's bytes do not change
// while it is in a tree: the byte that the window takes in next belongs to
// the oldest string, which leaves first, and to strings of the look-ahead,
// which are in no tree. Node kNil is scratch that absorbs the parent links
// written to a missing child; the roots use only their right child.
struct Node {
    uint16_t kid[2];
};

struct Encoder {
    // The ring, followed by a mirror of positions 0..16 so that the 18 bytes
    // of a string starting anywhere can be read without a wrap test.
    BYTE ring[kRing + kLongest - 1];
    Node node[kRoots + 256];
    uint16_t parent[kRoots + 256];  // kNil: not in a tree
    // The string inserted last and the one it was equal to in all 18 bytes
    // (kNil when none was), for the shortcut of insert().
    unsigned lastInserted, lastEqual;
    // Whole groups gather here before they are handed to the writer.
    BYTE out[8192];
};

// The longest match found for a string: the ring position it starts at and
// its length (0 to 18).
struct Match {
    unsigned position, length;
};

// The child on side right (0 or 1). Picked by a shift: the side a search
// takes is a toss-up that a branch would guess wrong half the time.
inline unsigned child(const Node &n, unsigned right)
{
    uint32_t kids;
    std::memcpy(&kids, n.kid, sizeof kids);
    return (kids >> (16 * right)) & 0xFFFF;
}

// Strings are compared as big-endian words, so that the first differing
// byte is the highest differing bit and the word order is the byte order.
inline uint64_t loadBigEndian(const BYTE *p)
{
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return __builtin_bswap64(v);
}

// The search that puts the string at ring position r into its tree. It
// starts to the right of the root; p is the node last compared, q the next
// one (kNil: r becomes p's child on side right). Along the way it keeps the
// longest match met, the first one among equally long ones. When a string
// equal in all 18 bytes is met, r takes its place and the search ends.
struct Insertion {
    unsigned r;
    uint64_t key1, key9;  // bytes 1..8 and 9..16 of r's string
    unsigned key17;
    unsigned p, q, right;
    Match match;
};

// Takes the match with node q of length i if it is longer than the one
// kept; ties keep the first. Written with a mask: whether a node on the way
// down gives a longer match is a toss-up that a branch would guess wrong.
[[gnu::always_inline]] inline void keepLonger(Match &m, unsigned q, unsigned i)
{
    const unsigned longer = 0u - (i > m.length);
    m.position ^= (m.position ^ q) & longer;
    m.length ^= (m.length ^ i) & longer;
}

// Starts the search for r's string: r's node has no children yet.
[[gnu::always_inline]] inline void begin(Encoder &e, Insertion &w, unsigned r)
{
    const BYTE *key = e.ring + r;
    w.r = r;
    w.key1 = loadBigEndian(key + 1);
    w.key9 = loadBigEndian(key + 9);
    w.key17 = key[17];
    w.p = kRoots + key[0];
    w.q = e.node[w.p].kid[1];
    w.right = 1;
    w.match = {0, 0};
    e.node[r].kid[0] = e.node[r].kid[1] = kNil;
}

// Compares with node q and goes on to its child. False when q's string
// equals r's in all 18 bytes (p is then q).
[[gnu::always_inline]] inline bool step(const Encoder &e, Insertion &w)
{
    const unsigned q = w.q;
    // Both children are read with the string, before the comparison picks
    // one, so that the next step waits for one load only.
    const Node n = e.node[q];
    const BYTE *s = e.ring + q;
    const uint64_t s1 = loadBigEndian(s + 1), s9 = loadBigEndian(s + 9);
    const unsigned s17 = s[17];
    const bool same1 = w.key1 == s1, same9 = w.key9 == s9;
    // i: index of the first byte that differs, 18 when none does.
    unsigned i = same1 ? 9 + std::countl_zero(w.key9 ^ s9) / 8 : 1 + std::countl_zero(w.key1 ^ s1) / 8;
    i += i == 17 && w.key17 == s17;
    w.p = q;
    if (i == kLongest) {
        w.match = {q, kLongest};
        return false;
    }
    keepLonger(w.match, q, i);
    w.right = same1 ? (same9 ? w.key17 > s17 : w.key9 > s9) : w.key1 > s1;
    w.q = child(n, w.right);
    return true;
}

// r takes the place in the tree of p, whose string equals r's.
[[gnu::always_inline]] inline void replace(Encoder &e, unsigned p, unsigned r)
{
    Node *node = e.node;
    uint16_t *parent = e.parent;
    node[r] = node[p];
    parent[r] = parent[p];
    parent[node[p].kid[0]] = static_cast<uint16_t>(r);
    parent[node[p].kid[1]] = static_cast<uint16_t>(r);
    Node &up = node[parent[p]];
    up.kid[up.kid[1] == p] = static_cast<uint16_t>(r);
    parent[p] = kNil;
}

// Links r in where the search ended; returns the match found.
[[gnu::always_inline]] inline Match finish(Encoder &e, const Insertion &w)
{
    if (w.match.length == kLongest) {
        replace(e, w.p, w.r);
    } else {
        e.node[w.p].kid[w.right] = static_cast<uint16_t>(w.r);
        e.parent[w.r] = static_cast<uint16_t>(w.p);
    }
    e.lastInserted = w.r;
    e.lastEqual = w.match.length == kLongest ? w.match.position : kNil;
    return w.match;
}

// Steps down until the search ends.
[[gnu::always_inline]] inline void walk(const Encoder &e, Insertion &w)
{
    while (w.q != kNil && step(e, w)) {
    }
}

// A string equal in all 18 bytes to the one inserted before it: when the
// string at r - 1 was equal to the one at x, the strings at r and x + 1 share
// bytes 0..16, and if byte 17 agrees too and x + 1 is in a tree, it is the
// one string there equal to r's: the search would end at it. Runs and
// repeated rows of sprite images insert this way without a search. (A byte
// taken in since can have changed none of x + 1's bytes: it would lie in the
// look-ahead, whose strings are in no tree.)
[[gnu::always_inline]] inline unsigned equalToLast(const Encoder &e, unsigned r)
{
    if (e.lastEqual == kNil || e.lastInserted != ((r - 1) & (kRing - 1))) return kNil;
    const unsigned p = (e.lastEqual + 1) & (kRing - 1);
    return e.parent[p] != kNil && e.ring[p + kLongest - 1] == e.ring[r + kLongest - 1] ? p : kNil;
}

// Puts the string at ring position r into its tree; returns the longest
// match it has with the strings there.
[[gnu::always_inline]] inline Match insert(Encoder &e, unsigned r)
{
    const unsigned equal = equalToLast(e, r);
    if (equal != kNil) {
        replace(e, equal, r);
        e.lastInserted = r;
        e.lastEqual = equal;
        return {equal, kLongest};
    }
    Insertion w;
    begin(e, w, r);
    walk(e, w);
    return finish(e, w);
}

// Takes the string at ring position p out of its tree; nothing when it is
// not in one. A node with two children is replaced by its predecessor.
[[gnu::always_inline]] inline void remove(Encoder &e, unsigned p)
{
    Node *node = e.node;
    uint16_t *parent = e.parent;
    const unsigned up = parent[p];
    if (up == kNil) return;
    const unsigned left = node[p].kid[0], right = node[p].kid[1];
    unsigned q;
    if (left == kNil || right == kNil) {
        // At most one child, which takes p's place.
        q = left == kNil ? right : left;
    } else {
        // The predecessor, the rightmost node of the left subtree.
        q = left;
        if (node[q].kid[1] != kNil) {
            do q = node[q].kid[1];
            while (node[q].kid[1] != kNil);
            node[parent[q]].kid[1] = node[q].kid[0];
            parent[node[q].kid[0]] = parent[q];
            node[q].kid[0] = static_cast<uint16_t>(left);
            parent[left] = static_cast<uint16_t>(q);
        }
        node[q].kid[1] = static_cast<uint16_t>(right);
        parent[right] = static_cast<uint16_t>(q);
    }
    parent[q] = static_cast<uint16_t>(up);
    node[up].kid[node[up].kid[1] == p] = static_cast<uint16_t>(q);
    parent[p] = kNil;
}

// Takes input byte c into the window: the oldest string leaves its tree and
// c takes its ring position.
[[gnu::always_inline]] inline void take(Encoder &e, unsigned s, BYTE c)
{
    remove(e, s);
    e.ring[s] = c;
    if (s < kLongest - 1) e.ring[s + kRing] = c;
}

// The window moves in slides. Slide t takes the window from input byte t to
// t + 1: the string at ring position t mod 4096 (the oldest) leaves its
// tree, input byte t + 18 (if any) takes that position, and the string of
// byte t + 1 (if any) goes into its tree. The slides do not depend on how
// the bytes are coded, so they may run ahead of the coder; it needs only the
// match of the string at the byte it codes.
inline unsigned ringPosition(size_t byte)
{
    return (kStart + static_cast<unsigned>(byte)) & (kRing - 1);
}

[[gnu::always_inline]] inline void slide(Encoder &e, const BYTE *src, size_t count, size_t t, Match *found)
{
    const unsigned s = ringPosition(t + kLongest);
    if (t + kLongest < count) take(e, s, src[t + kLongest]);
    else remove(e, s);
    if (t + 1 < count) found[(t + 1) & 1] = insert(e, ringPosition(t + 1));
}

// Slides t and t + 1, both with input bytes to take. When their two new
// strings go into different trees and the second string to leave is not in
// the first new one's tree, neither search can see the other's changes (nor
// the second byte taken in, which lies in the look-ahead of the first): both
// old strings leave first and the two searches run side by side, which keeps
// the processor busy while each waits for its next node. After an equal
// string the first insertion may take the shortcut instead, so the two go
// one after the other.
[[gnu::always_inline]] inline void slideTwo(Encoder &e, const BYTE *src, size_t t, Match *found)
{
    const unsigned s0 = ringPosition(t + kLongest), s1 = ringPosition(t + kLongest + 1);
    const unsigned ra = ringPosition(t + 1), rb = ringPosition(t + 2);
    const BYTE *ring = e.ring;
    if (ring[ra] == ring[rb] || (e.parent[s1] != kNil && ring[s1] == ring[ra]) || e.lastEqual != kNil) {
        take(e, s0, src[t + kLongest]);
        found[(t + 1) & 1] = insert(e, ra);
        take(e, s1, src[t + kLongest + 1]);
        found[t & 1] = insert(e, rb);
        return;
    }
    take(e, s0, src[t + kLongest]);
    take(e, s1, src[t + kLongest + 1]);
    Insertion a, b;
    begin(e, a, ra);
    begin(e, b, rb);
    while (a.q != kNil && b.q != kNil) {
        if (!step(e, a)) {
            a.q = kNil;
            break;
        }
        if (!step(e, b)) {
            b.q = kNil;
            break;
        }
    }
    walk(e, a);
    walk(e, b);
    found[(t + 1) & 1] = finish(e, a);
    found[t & 1] = finish(e, b);
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
    for (unsigned i = 0; i < kRing; i++) e.parent[i] = kNil;
    for (unsigned c = 0; c < 256; c++) e.node[kRoots + c].kid[1] = kNil;
    e.lastInserted = e.lastEqual = kNil;

    // The look-ahead of the first byte; the strings that start in the fill
    // before it reach into it and are in the trees from the start.
    std::memcpy(e.ring + kStart, src, count < kLongest ? count : kLongest);
    for (unsigned i = 1; i <= kLongest; i++) insert(e, kStart - i);
    Match found[2];  // the matches of the strings of the last two bytes slid to, by parity
    found[0] = insert(e, kStart);

    DWORD written = 0;
    unsigned flagAt = 0, at = 1;  // the open group's flag byte and next item in e.out
    unsigned flags = 0, bit = 1;
    size_t t = 0;  // the window's byte: slides 0 .. t - 1 are done
    for (size_t k = 0; k < count;) {
        // Code byte k: a match is cut to the input that is left and coded
        // as a pair when it is longer than the threshold.
        const Match m = found[k & 1];
        unsigned coded = count - k < m.length ? static_cast<unsigned>(count - k) : m.length;
        if (coded <= kThreshold) {
            coded = 1;
            flags |= bit;
            e.out[at++] = src[k];
        } else {
            e.out[at++] = static_cast<BYTE>(m.position);
            e.out[at++] = static_cast<BYTE>(((m.position >> 4) & 0xF0) | (coded - (kThreshold + 1)));
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
        // Slide the window over the coded bytes, two at a time while both
        // take input, possibly one byte beyond.
        k += coded;
        while (t < k) {
            if (t + kLongest + 1 < count) {
                slideTwo(e, src, t, found);
                t += 2;
            } else {
                slide(e, src, count, t, found);
                t += 1;
            }
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

DWORD LzssEncode(HFILE file, const BYTE *src, DWORD count)
{
    return LzssEncode(src, count,
        [](void *context, const BYTE *bytes, DWORD length) {
            _lwrite(*static_cast<HFILE *>(context), reinterpret_cast<LPCSTR>(bytes), length);
        },
        &file);
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

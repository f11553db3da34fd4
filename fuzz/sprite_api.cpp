// Fuzz target: hostile sprite image records and coordinates through the
// sprite engine's API.
//
// The input first describes up to four records: DI records (any header
// fields, the length word honest or short, pixels or a run-length stream
// from the input), DD records (real bitmaps, none, or any handle value) and
// composite records (any bounds and elements). A fifth record is a valid
// 64 x 48 canvas. Then a sprite context is made for a small window, with
// options, sizes, origin, background, tile map and world from the input, and
// the rest of the input is a list of calls: the blits, the blot, fills,
// mirroring, collision tests, the DIB blits, measuring and converting
// records, and the context's sprites, moves, origin, scrolls and updates,
// with coordinates that favour the ends of the 32-bit range.
//
// What the harness keeps to, as any caller must: records are blocks at least
// as long as their kind's header and their length word claims no more than
// the block holds; the image table and the tile map hold every entry their
// indices can name; sprites passed are live sprites of the context; sizes
// that would make the library allocate gigabytes are not asked for.
#include <vekkit.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/support/palette_window.h"

namespace {

constexpr int kRecords = 4;
constexpr int kCanvas = kRecords;  // index of the valid canvas
constexpr size_t kDIHeader = 58 + 512;
constexpr size_t kMaxBody = 4096;
constexpr size_t kTiles = 16;  // tile entries after the header
constexpr LONG kClient[2] = {64, 48};

// The input, read front to back; zeros once it is used up.
class Input {
public:
    Input(const uint8_t *data, size_t size) : p_(data), end_(data + size) {}

    bool empty() const { return p_ == end_; }
    uint8_t byte() { return p_ < end_ ? *p_++ : 0; }
    uint16_t u16()
    {
        const uint8_t low = byte();
        return static_cast<uint16_t>(low | byte() << 8);
    }
    uint32_t u32()
    {
        const uint16_t low = u16();
        return low | static_cast<uint32_t>(u16()) << 16;
    }

    // A coordinate: mostly small (one byte, zigzag: 0, -1, 1, -2, ...),
    // often at or near the ends of the range.
    LONG coord()
    {
        const uint8_t b = byte();
        if (b < 160) return b & 1 ? -(b + 1) / 2 : b / 2;
        switch (b >> 4) {
        case 10: return INT32_MAX - (b & 15);
        case 11: return INT32_MIN + (b & 15);
        case 12: return static_cast<int16_t>(u16());
        case 13: return static_cast<LONG>(u32());
        case 14: return 32767 + (b & 15) - 8;
        default: return -32768 + (b & 15) - 8;
        }
    }
    // A size: mostly 0 to 70, sometimes any coordinate.
    LONG side() { return byte() < 224 ? byte() % 71 : coord(); }

    // n bytes (fewer at the end of the input).
    const uint8_t *take(size_t &n)
    {
        const uint8_t *at = p_;
        n = std::min(n, static_cast<size_t>(end_ - p_));
        p_ += n;
        return at;
    }

private:
    const uint8_t *p_;
    const uint8_t *end_;
};

void put16(BYTE *b, size_t at, uint32_t v)
{
    b[at] = static_cast<BYTE>(v);
    b[at + 1] = static_cast<BYTE>(v >> 8);
}
void put32(BYTE *b, size_t at, uint32_t v)
{
    put16(b, at, v);
    put16(b, at + 2, v >> 16);
}

// A locked global block of exactly n bytes, zero-filled.
BYTE *block(size_t n)
{
    return static_cast<BYTE *>(GlobalLock(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, n)));
}
void release(const void *p)
{
    HGLOBAL mem = GlobalHandle(p);
    GlobalUnlock(mem);
    GlobalFree(mem);
}

// What every input shares: a window with a palette of its own, the palette
// entries for the conversions, the image table, the tile map and matrices.
struct Session {
    support::PaletteWindow win{kClient[0], kClient[1]};
    HWND window = win.window;
    HDC dc = win.dc;
    HPALETTE palette = win.palette;
    PALETTEENTRY entries[256]{};
    std::array<HSPRITEDATA, 32768> table{};  // every index an i16 can name
    VEKTILE tiles[1 + kTiles]{};
    VEKMATRIX matrices[2]{};

    Session()
    {
        for (int i = 0; i < 256; i++) entries[i] = PALETTEENTRY{BYTE(i), BYTE(i * 7), BYTE(~i), 0};
    }
};

// The records of one input and the bitmaps they own.
struct Records {
    std::array<HSPRITEDATA, kRecords + 1> at{};
    std::vector<HBITMAP> bitmaps;

    ~Records()
    {
        for (HSPRITEDATA r : at)
            if (r) release(r);
        for (HBITMAP b : bitmaps) DeleteObject(b);
    }
};

// The length word: honest, or short by what the input says.
uint32_t lengthWord(Input &in, size_t honest)
{
    const uint8_t b = in.byte();
    if (b < 192) return static_cast<uint32_t>(honest);
    if (b < 224) return static_cast<uint32_t>(honest) - std::min<uint32_t>(static_cast<uint32_t>(honest), in.u16());
    return static_cast<uint32_t>(honest * (b - 224) / 32);
}

HSPRITEDATA makeDI(Input &in)
{
    const LONG width = in.side(), height = in.side();
    const uint8_t bits = in.byte(), compression = in.byte(), flags = in.byte(), offset = in.byte();
    size_t n = in.u16() % kMaxBody;
    const uint8_t *body = in.take(n);
    const size_t honest = kDIHeader - 4 + n;
    const uint32_t length = lengthWord(in, honest);
    BYTE *r = block(std::max<size_t>(4 + length, 58));
    if (!r) return nullptr;
    put32(r, 0, length);
    put32(r, 14, offset < 240 ? static_cast<uint32_t>(kDIHeader - 4) : in.u32());
    put32(r, 18, 40);
    put32(r, 22, static_cast<uint32_t>(width));
    put32(r, 26, static_cast<uint32_t>(height));
    put16(r, 30, 1);
    put16(r, 32, bits < 224 ? 8 : bits);
    put32(r, 34, compression < 250 ? compression % 2 : compression % 4 == 0 ? in.u32() : compression % 4);
    put16(r, 10, flags < 240 ? flags & 3 : flags);
    if (4 + length >= kDIHeader) {
        for (unsigned i = 0; i < 256; i++) put16(r, 58 + 2 * i, i);
        std::memcpy(r + kDIHeader, body, std::min<size_t>(n, 4 + length - kDIHeader));
    }
    return r;
}

HBITMAP handle(Input &in, const Session &s, Records &recs)
{
    const uint8_t b = in.byte();
    if (b < 64) return nullptr;
    if (b < 224) {
        HBITMAP bm = CreateCompatibleBitmap(s.dc, 1 + in.byte() % 80, 1 + in.byte() % 80);
        if (bm) recs.bitmaps.push_back(bm);
        return bm;
    }
    return reinterpret_cast<HBITMAP>(static_cast<ULONG_PTR>(in.u32()));
}

HSPRITEDATA makeDD(Input &in, const Session &s, Records &recs)
{
    BYTE *r = block(in.byte() & 1 ? 18 : 14);
    if (!r) return nullptr;
    put16(r, 4, VEK_TYPE_DD);
    put32(r, 6, static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(handle(in, s, recs))));
    put32(r, 10, static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(handle(in, s, recs))));
    return r;
}

HSPRITEDATA makeComposite(Input &in)
{
    const uint8_t b = in.byte();
    const size_t count = b < 240 ? b % 9 : in.u16();
    const size_t elements = std::min<size_t>(count, 64);
    const size_t honest = 38 - 4 + 10 * elements;
    // A length word of 0 marks a record built by hand: then the block holds
    // every element its count names.
    const bool byHand = in.byte() < 64;
    const uint32_t length = byHand ? 0 : std::max<uint32_t>(1, lengthWord(in, honest));
    BYTE *r = block(byHand ? 38 + 10 * elements : std::max<size_t>(4 + length, 38));
    if (!r) return nullptr;
    put32(r, 0, length);
    put16(r, 4, VEK_TYPE_COMPOSITE);
    for (int i = 0; i < 4; i++) put32(r, 6 + 4 * i, static_cast<uint32_t>(in.coord()));
    put16(r, 36, byHand ? static_cast<uint32_t>(elements) : static_cast<uint32_t>(count));
    const size_t room = byHand ? elements : std::min<size_t>(elements, (std::max<size_t>(4 + length, 38) - 38) / 10);
    for (size_t i = 0; i < room; i++) {
        BYTE *e = r + 38 + 10 * i;
        put16(e, 0, static_cast<uint32_t>(in.coord()));
        put16(e, 2, static_cast<uint32_t>(in.coord()));
        put16(e, 4, in.u16());
        put16(e, 6, static_cast<uint32_t>(in.coord()));
        const uint8_t index = in.byte();
        put16(e, 8, index < 240 ? index % (kRecords + 2) : in.u16());
    }
    return r;
}

HSPRITEDATA makeRecord(Input &in, const Session &s, Records &recs)
{
    switch (in.byte() % 4) {
    case 0:
    case 1: return makeDI(in);
    case 2: return makeDD(in, s, recs);
    default: return makeComposite(in);
    }
}

// A copy of a record in a block of its own, for the calls that consume one.
HSPRITEDATA copyOf(HSPRITEDATA r)
{
    const size_t n = GlobalSize(GlobalHandle(r));
    BYTE *copy = block(n);
    if (copy) std::memcpy(copy, r, n);
    return copy;
}

bool isDD(HSPRITEDATA r) { return r[4] == (VEK_TYPE_DD & 0xFF) && r[5] == VEK_TYPE_DD >> 8; }

// A record whose width x height stays small enough to allocate again.
bool smallSize(HSPRITEDATA r)
{
    LONG w = 0, h = 0;
    vekGetSpriteDimensions(r, &w, &h);
    return w > 0 && h > 0 && int64_t{w} * h <= (1 << 20);
}

// The arguments of one call, read in a fixed order whatever the call uses,
// so that an input means the same calls under every compiler.
struct Args {
    HSPRITEDATA a, b;
    LONG c[8];
    uint8_t pick, flags;
};

struct Engine {
    Session &s;
    Input &in;
    Records &recs;
    LPVEKCONTEXT ctx = nullptr;
    std::vector<LPVEKSPRITE> sprites;

    HSPRITEDATA record()
    {
        const uint8_t b = in.byte();
        if (b == 255) return nullptr;
        if (b >= 250 && ctx) return ctx->offscreen;
        return recs.at[b % (kRecords + 1)];
    }
    Args args()
    {
        Args a;
        a.a = record();
        a.b = record();
        for (LONG &v : a.c) v = in.coord();
        a.pick = in.byte();
        a.flags = in.byte();
        return a;
    }
    LPVEKSPRITE sprite(uint8_t pick) { return sprites.empty() ? nullptr : sprites[pick % sprites.size()]; }
    LPVEKMATRIX transform()
    {
        const uint8_t b = in.byte();
        if (b < 128) return reinterpret_cast<LPVEKMATRIX>(static_cast<ULONG_PTR>(VEK_TRANSFORM_KEEP));
        if (b < 160) return nullptr;
        LPVEKMATRIX m = &s.matrices[b & 1];
        VEKFIXED v[8];
        for (VEKFIXED &f : v) f = static_cast<VEKFIXED>(in.u32());
        if (b < 224)
            vekBuildMatrix(m, v[0] | 0x100, v[1] | 0x100, v[2], v[3]);
        else
            std::memcpy(m->m, v, sizeof v);
        return m;
    }

    void makeContext()
    {
        VEKCONTEXTPARAMS p{};
        p.window = s.window;
        p.dc = s.dc;
        p.backgroundColor = in.byte() < 240 ? in.byte() : in.u32();
        p.backgroundImage = record();
        p.backgroundWidth = in.side();
        p.backgroundHeight = in.side();
        p.offscreenWidth = 8 + in.byte() % 57;
        p.offscreenHeight = 8 + in.byte() % 57;
        p.originX = in.coord();
        p.originY = in.coord();
        p.paletteEntries = s.entries;
        p.maxSprites = 1 + in.byte() % 12;
        p.options = in.byte() & 7;
        p.palette = in.byte() & 1 ? s.palette : nullptr;
        // The map holds as many tiles as its header names.
        auto *header = reinterpret_cast<VEKTILEMAPHEADER *>(&s.tiles[0]);
        const size_t count = in.byte() % (kTiles + 1);
        header->backgroundColor = static_cast<SHORT>(in.coord());
        header->lastTile = static_cast<SHORT>(count);
        header->skipCount = static_cast<SHORT>(in.coord());
        for (size_t i = 1; i <= kTiles; i++) {
            VEKTILE &t = s.tiles[i];
            t = VEKTILE{};
            if (i > count) continue;
            t.left = static_cast<SHORT>(in.coord());
            t.top = static_cast<SHORT>(in.coord());
            t.right = static_cast<SHORT>(in.coord());
            t.bottom = static_cast<SHORT>(in.coord());
            t.image = static_cast<SHORT>(in.byte() % 8);
        }
        p.tileMap = s.tiles;
        p.imageTable = s.table.data();
        p.worldWidth = in.coord();
        p.worldHeight = in.coord();
        ctx = vekCreateSpriteContextEx(&p);
    }

    void contextCall(uint8_t op, const Args &g)
    {
        const LONG *c = g.c;
        LPVEKSPRITE t = sprite(g.pick);
        HDC dc = g.flags & 1 ? s.dc : nullptr;
        switch (op % 16) {
        case 0:
            if (LPVEKSPRITE made = vekCreateSprite(ctx, g.a, c[0], c[1], c[2], c[3], g.flags)) sprites.push_back(made);
            break;
        case 1:
            if (t) vekAnimateSprite(ctx, t, g.a, c[0], c[1], c[2]);
            break;
        case 2:
            if (t) vekAnimateSpriteAbs(ctx, t, g.a, c[0], c[1], c[2]);
            break;
        case 3:
            if (t) vekAnimateSpriteAbsEx(ctx, t, g.a, c[0], c[1], c[2], transform());
            break;
        case 4:
            if (t) {
                vekDeleteSprite(ctx, t);
                // The next update releases the slot; the harness stops using it now.
                std::erase(sprites, t);
            }
            break;
        case 5:
            if (t) vekSetSpritePriority(ctx, t, c[0]);
            break;
        case 6: vekSetSpriteContextOrigin(ctx, c[0], c[1]); break;
        case 7: vekUpdateSpriteContext(ctx, s.dc); break;
        case 8: {
            RECT clip{c[0], c[1], c[2], c[3]};
            vekUpdateSpriteContextClipped(ctx, s.dc, &clip);
            break;
        }
        case 9: vekRedrawSpriteContext(ctx, s.dc); break;
        case 10: vekScrollSpriteContext(ctx, dc, c[0], c[1]); break;
        case 11: vekScrollSpriteContextAbs(ctx, dc, c[0], c[1]); break;
        case 12: vekSetSpriteContextBackground(ctx, g.a); break;
        case 13: {
            // A resize makes an off-screen image of the new size.
            const LONG w = c[0] & 0xFF, h = c[1] & 0xFF;
            vekSetSpriteContextBackgroundEx(ctx, g.a, w, h, (g.flags & 2) && w > 0 && h > 0);
            break;
        }
        case 14: vekSetSpriteContextBackgroundColor(ctx, static_cast<DWORD>(c[0])); break;
        case 15: vekSetSpriteContextRedraw(ctx, g.flags & 2); break;
        }
    }

    void call(uint8_t op)
    {
        const Args g = args();
        const LONG *c = g.c;
        const LONG mirror = g.flags & 1;
        switch (op % 16) {
        case 0: vekSpriteBlt(g.a, c[0], c[1], c[2], c[3], g.b, c[4], c[5]); break;
        case 1:
            vekSpriteBltEx(g.flags & 2 ? ctx : nullptr, g.a, c[0], c[1], c[2], c[3], g.b, c[4], c[5], mirror);
            break;
        case 2: vekSpriteBlot(ctx, g.a, c[0], c[1], c[2], c[3], g.b, c[4], c[5], mirror); break;
        case 3: vekSpriteFillEx(g.a, c[0], c[1], c[2], c[3], g.pick, mirror ? s.palette : nullptr); break;
        case 4:
            if (g.a) vekFlipSprite(g.a);
            break;
        case 5: {
            VEKSPRITE a{}, b{};
            a.image = g.a;
            b.image = g.b;
            a.target = RECT{c[0], c[1], c[2], c[3]};
            b.target = RECT{c[4], c[5], c[6], c[7]};
            b.priority = g.pick & 1;
            vekCheckCollide(g.flags & 2 ? ctx : nullptr, &a, &b, g.flags >> 2);
            break;
        }
        case 6:
            if (g.a) vekDIBBlt(s.dc, c[0], c[1], c[2], c[3], g.a, c[4], c[5]);
            break;
        case 7:
            if (g.a) vekDIBBltCM(ctx, s.dc, 0, 0, 0, 0, g.a, 0, 0);
            break;
        case 8:
            if (g.a) {
                LONG w, h;
                vekGetSpriteDimensions(g.a, &w, &h);
            }
            break;
        case 9:
            if (g.a && smallSize(g.a))
                if (HSPRITEDATA raw = vekRLESpriteToRGBSprite(g.a)) vekDeleteSpriteData(raw);
            break;
        case 10:
            // The conversion consumes its source and would delete a DD
            // record's bitmaps: DI and composite records only.
            if (g.a && smallSize(g.a) && !isDD(g.a))
                if (HSPRITEDATA dd = vekDISpriteToDDSprite(s.dc, copyOf(g.a), s.entries, mirror))
                    vekDeleteSpriteData(dd);
            break;
        default:
            if (ctx) contextCall(g.pick, g);
            break;
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Session *session = new Session;
    Session &s = *session;
    Input in(data, size);
    Records recs;
    for (int i = 0; i < kRecords; i++) recs.at[i] = makeRecord(in, s, recs);
    recs.at[kCanvas] = vekCreateSpriteDataObject(kClient[0], kClient[1]);
    for (int i = 0; i <= kRecords; i++) s.table[i] = recs.at[i];

    Engine engine{s, in, recs, nullptr, {}};
    engine.makeContext();
    for (int calls = 0; calls < 64 && !in.empty(); calls++) engine.call(in.byte());
    vekDeleteSpriteContext(engine.ctx);
    for (int i = 0; i <= kRecords; i++) s.table[i] = nullptr;
    return 0;
}

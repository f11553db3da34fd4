// Sprite image records, sprite contexts and sprites: the records' bytes,
// the context fields the setters change, the anchor rule, slots, the draw
// list's order and animation.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

#include "support/images.h"

using namespace support;

namespace {

using Box = std::array<LONG, 4>;
Box box(const RECT &r) { return {r.left, r.top, r.right, r.bottom}; }

// A context of maxSprites slots on a 640 x 480 playfield, without a window.
struct Playfield {
    LPVEKCONTEXT ctx;
    std::vector<Record> images;
    explicit Playfield(LONG maxSprites)
        : ctx(vekCreateSpriteContext(nullptr, nullptr, maxSprites, 64, 48, 0, nullptr, 640, 480))
    {
    }
    ~Playfield() { vekDeleteSpriteContext(ctx); }
    HSPRITEDATA image(LONG width, LONG height)
    {
        images.push_back(makeRaw(width, height));
        return images.back();
    }
    LPVEKSPRITE create(HSPRITEDATA image, LONG x, LONG y, LONG anchor = 0, LONG priority = 0, DWORD flags = 0)
    {
        return vekCreateSprite(ctx, image, x, y, anchor, priority, flags);
    }
    // The draw list as slot numbers.
    std::vector<int> order() const
    {
        std::vector<int> slots;
        for (LONG i = 0; i < ctx->spriteCount; i++) slots.push_back(static_cast<int>(ctx->drawList[i] - ctx->spriteSlots));
        return slots;
    }
    // Frees a deleted sprite's slot the way the frame update does, then
    // sorts (the priority setter sorts a pending sort even for it).
    void release(LPVEKSPRITE s)
    {
        s->inUse = 0;
        ctx->spriteCount--;
        ctx->updateFlags |= VEK_UPDATE_SORT;
        vekSetSpritePriority(ctx, s, 0);
    }
};

COLORREF brushColour(HBRUSH brush)
{
    LOGBRUSH lb{};
    GetObjectA(brush, sizeof lb, &lb);
    return lb.lbColor;
}

}  // namespace

TEST(SpriteImageRecord, LayoutsOfTheMakers)
{
    struct Case {
        const char *what;
        HSPRITEDATA record;
        size_t block;
        DWORD pixelOffset;
    } cases[] = {
        {"short table", vekCreateSpriteDataObject(5, 3), 596, 568},
        {"long table, a spare byte per row", vekCreateSpriteData(5, 3), 1084 + 9 * 3, 1080},
        {"rows of four bytes need no padding", vekCreateSpriteDataObject(8, 2), 572 + 16, 568},
        {"Ex without bit 0", reinterpret_cast<HSPRITEDATA>(vekCreateSpriteDataEx(nullptr, 5, 3, 2)), 596, 568},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Record r(c.record);
        ASSERT_NE(r.get(), nullptr);
        EXPECT_EQ(r.blockSize(), c.block);
        EXPECT_EQ(get32(r, 0), c.block - 4);
        EXPECT_EQ(get32(r, kPixelOffset), c.pixelOffset);
        EXPECT_EQ(GlobalFlags(GlobalHandle(r)) & GMEM_LOCKCOUNT, 1u) << "records stay locked";
        // bfType, bfSize, flags, biSize .. biClrImportant, then the identity table.
        const DWORD fields[][3] = {{4, 2, 0}, {6, 4, 0}, {10, 2, 0}, {18, 4, 40}, {30, 2, 1}, {32, 2, 8}, {34, 4, 0},
                                   {38, 4, 0}, {42, 4, 3800}, {46, 4, 3800}, {50, 4, 0}, {54, 4, 0}};
        for (const auto &f : fields) EXPECT_EQ(f[1] == 2 ? get16(r, f[0]) : get32(r, f[0]), f[2]) << "byte " << f[0];
        for (WORD i = 0; i < 256; i++) ASSERT_EQ(get16(r, 58 + 2 * i), i) << "identity entry " << i;
        for (size_t i = 570; i < c.block; i++) ASSERT_EQ(r.get()[i], 0) << "byte " << i;
    }
    EXPECT_EQ(vekCreateSpriteData(0, 10), nullptr);
    EXPECT_EQ(vekCreateSpriteData(10, -1), nullptr);
    EXPECT_EQ(vekCreateSpriteDataObject(32768, 1), nullptr);
    // A composite record measures by its bounds.
    LONG w = 0, h = 0;
    EXPECT_EQ(vekGetSpriteDimensions(compositeRecord({}, RECT{10, 20, 110, 70}).data(), &w, &h), (50u << 16) | 100u);
    EXPECT_EQ(w, 100);
}

TEST(SpriteImageRecord, DDRecordOwnsABitmapOfTheDisplayFormat)
{
    HDC screen = GetDC(nullptr);
    auto r = reinterpret_cast<HSPRITEDATA>(vekCreateSpriteDataEx(screen, 640, 480, 1));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(GlobalSize(GlobalHandle(r)), 14u);
    EXPECT_EQ(get16(r, kType), VEK_TYPE_DD);
    EXPECT_EQ(get32(r, 6), 0u) << "no mask";
    auto bitmap = reinterpret_cast<HBITMAP>(static_cast<ULONG_PTR>(get32(r, 10)));
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmBitsPixel, GetDeviceCaps(screen, BITSPIXEL));
    EXPECT_EQ(vekGetSpriteDimensions(r, nullptr, nullptr), 0x01E00280u);

    HBITMAP mask = CreateBitmap(8, 8, 1, 1, nullptr);
    put32(r, 6, static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(mask)));
    EXPECT_EQ(vekDeleteSpriteData(r), 1);
    EXPECT_EQ(GetObjectA(bitmap, sizeof bm, &bm), 0) << "the record owned its image";
    EXPECT_EQ(GetObjectA(mask, sizeof bm, &bm), 0) << "and its mask";
    ReleaseDC(nullptr, screen);
}

TEST(SpriteContext, CreationAndTheParameterRecord)
{
    LPVEKCONTEXT ctx = vekCreateSpriteContext(nullptr, nullptr, 10, 64, 48, 16, nullptr, 64, 48);
    ASSERT_NE(ctx, nullptr);
    EXPECT_EQ(ctx->updateFlags, VEK_UPDATE_BACKGROUND);
    EXPECT_EQ(brushColour(ctx->backgroundBrush), PALETTEINDEX(16));
    EXPECT_EQ(get32(ctx->offscreen, kPixelOffset), 1080u) << "long-table layout";
    vekDeleteSpriteContext(ctx);
    EXPECT_EQ(vekCreateSpriteContext(nullptr, nullptr, 0, 8, 8, 0, nullptr, 8, 8), nullptr) << "no slots";
    Record image = makeRaw(320, 200);
    ctx = vekCreateSpriteContext(nullptr, nullptr, 1, 32, 32, 0, image, 100, 0);
    EXPECT_EQ(ctx->backgroundWidth, 320) << "one missing side takes both from the image";
    EXPECT_EQ(ctx->backgroundHeight, 200);
    vekDeleteSpriteContext(ctx);

    VEKTILE map[2] = {};
    VEKCONTEXTPARAMS p{};
    p.offscreenWidth = 64;
    p.offscreenHeight = 48;
    p.maxSprites = 5000;
    p.tileMap = map;
    ctx = vekCreateSpriteContextEx(&p);
    ASSERT_NE(ctx, nullptr);
    EXPECT_EQ(ctx->maxSprites, 1000);
    EXPECT_EQ(p.maxSprites, 1000) << "the parameter record is corrected";
    EXPECT_EQ(get32(ctx->offscreen, kPixelOffset), 568u) << "short-table DI off-screen image";
    EXPECT_EQ(ctx->tileMap, nullptr) << "tile map read only with the tile map option";
    vekDeleteSpriteContext(ctx);
    HDC screen = GetDC(nullptr);
    p.dc = screen;
    p.options = VEK_OPTION_DD_OFFSCREEN;
    ctx = vekCreateSpriteContextEx(&p);
    ASSERT_NE(ctx, nullptr);
    EXPECT_EQ(get16(ctx->offscreen, kType), VEK_TYPE_DD);
    vekDeleteSpriteContext(ctx);
    ReleaseDC(nullptr, screen);
}

TEST(SpriteContext, SettersRecordTheChange)
{
    LPVEKCONTEXT ctx = vekCreateSpriteContext(nullptr, nullptr, 1, 16, 16, 1, nullptr, 16, 16);
    ctx->updateFlags = 0;
    vekSetSpriteContextBackgroundColor(ctx, 256);
    vekSetSpriteContextBackgroundColor(ctx, 0x00FFFFFF);
    vekSetSpriteContextOrigin(ctx, 0, 0);
    EXPECT_EQ(ctx->backgroundColor, 1u);
    EXPECT_EQ(ctx->updateFlags, 0) << "nothing changed";
    // Only the low 24 bits are tested: a high byte is kept as given.
    vekSetSpriteContextBackgroundColor(ctx, 0x7F000005);
    EXPECT_EQ(ctx->backgroundColor, 0x7F000005u);
    EXPECT_EQ(brushColour(ctx->backgroundBrush) & 0xFFFFFF, 5u);

    Record image = makeRaw(40, 30);
    HSPRITEDATA offscreen = ctx->offscreen;
    vekSetSpriteContextBackgroundEx(ctx, image, 40, 30, 0);
    EXPECT_EQ(box(RECT{ctx->backgroundWidth, ctx->backgroundHeight, ctx->offscreenWidth, 0}), (Box{40, 30, 16, 0}));
    EXPECT_EQ(ctx->offscreen, offscreen) << "no resize keeps the off-screen image";
    vekSetSpriteContextBackgroundEx(ctx, image, 40, 30, 1);
    EXPECT_EQ(vekGetSpriteDimensions(ctx->offscreen, nullptr, nullptr), (30u << 16) | 40u);

    VEKTILE map[1] = {};
    HSPRITEDATA table[1] = {image};
    ctx->scrollX = ctx->wrapY = 9;
    ctx->updateFlags = 0;
    vekSetSpriteContextBackgroundDef(ctx, map, 500, 400, table);
    EXPECT_EQ(box(RECT{ctx->worldWidth, ctx->worldHeight, ctx->scrollX, ctx->wrapY}), (Box{500, 400, 0, 0}));
    EXPECT_EQ(ctx->updateFlags, VEK_UPDATE_BACKGROUND);
    vekDeleteSpriteContext(ctx);
}

TEST(SpritePlacement, AnchorRule)
{
    // A 7 x 5 image at (100, 50): hw = 3, hh = 2. Horizontally L = left edge,
    // C = centre, R = right edge; vertically T = top, M = centre (one row
    // short), B = bottom.
    const LONG L[2] = {100, 107}, C[2] = {97, 104}, R[2] = {93, 100}, T[2] = {50, 55}, M[2] = {48, 52}, B[2] = {45, 50};
    auto rect = [](const LONG *h, const LONG *v) { return Box{h[0], v[0], h[1], v[1]}; };
    const std::pair<LONG, Box> cases[] = {
        {0x0000, rect(R, B)}, {0x0001, rect(L, B)}, {0x0002, rect(C, B)}, {0x0003, rect(L, B)},
        // Vertical centring, unless the left-edge bit is set as well.
        {0x2000, rect(R, M)}, {0x2001, rect(L, B)}, {0x2002, rect(C, M)}, {0x2003, rect(L, B)},
        {0x4000, rect(R, T)}, {0x4001, rect(L, T)}, {0x4002, rect(C, T)}, {0x4003, rect(L, T)},
        // The top edge wins over centring; other bits and the mirror bit do not place.
        {0x6000, rect(R, T)}, {0x6002, rect(C, T)}, {0x9FFC, rect(R, B)}, {0xFFFF, rect(L, T)}, {0x3FFE, rect(C, M)},
    };
    Playfield pf(2);
    HSPRITEDATA image = pf.image(7, 5);
    for (const auto &[anchor, want] : cases) {
        LPVEKSPRITE s = pf.create(image, 100, 50, anchor);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(box(s->target), want) << "anchor 0x" << std::hex << anchor;
        EXPECT_EQ(box(s->shown), want) << "creation shows it there";
        vekDeleteSprite(pf.ctx, s);
        pf.release(s);
    }
    // Odd sizes centred lose a row; hw = hh = 0 for 1 x 1.
    LPVEKSPRITE one = pf.create(pf.image(1, 1), 0, 0, 0x2002), three = pf.create(pf.image(3, 3), -10, -20, 0x2002);
    EXPECT_EQ(box(one->target), (Box{0, 0, 1, 0}));
    EXPECT_EQ(box(three->target), (Box{-11, -21, -8, -19}));

    // Composite records measure by their bounds, transformed sprites by the
    // bounding box of the transformed image (none at creation).
    Bytes composite = compositeRecord({}, RECT{10, 20, 110, 70});
    vekAnimateSpriteAbs(pf.ctx, one, composite.data(), 0, 0, 0x2002);
    EXPECT_EQ(box(one->target), (Box{-50, -25, 50, 25}));
    VEKMATRIX quarter, slant;
    vekBuildMatrix(&quarter, 0x10000, 0x10000, 90 * 0x10000, 0);
    vekBuildMatrix(&slant, 0x10000, 0x10000, 45 * 0x10000, 0);
    vekAnimateSpriteAbsEx(pf.ctx, three, pf.image(40, 20), 100, 50, 0x2002, &quarter);
    EXPECT_EQ(box(three->target), (Box{90, 30, 110, 70})) << "rotated: 20 x 40, centred";
    vekAnimateSpriteAbsEx(pf.ctx, three, pf.image(4, 3), 0, 0, 0, &slant);
    EXPECT_EQ(box(three->target), (Box{-5, -5, 0, 0})) << "4 x 3 turned by 45 degrees: 5 x 5";
}

TEST(Sprite, SlotsCreationAndDeletion)
{
    EXPECT_EQ(vekCreateSprite(nullptr, nullptr, 0, 0, 0, 0, 0), nullptr);
    Playfield pf(2);
    HSPRITEDATA image = pf.image(10, 6), other = pf.image(4, 4);
    LPVEKSPRITE s = pf.create(image, 100, 50, 0x18001, 0x10007, 0x30000);
    ASSERT_EQ(s, &pf.ctx->spriteSlots[0]);
    EXPECT_EQ(s->stateFlags, VEK_SPRITE_CHANGED) << "creation flags: low 16 bits";
    EXPECT_EQ(box(RECT{s->x, s->y, s->priority, s->anchorFlags}), (Box{100, 50, 7, 0x8001})) << "low 16 bits";
    LPVEKSPRITE t = pf.create(image, 0, 0, 0, 0, 0x0100);
    ASSERT_EQ(t, &pf.ctx->spriteSlots[1]);
    EXPECT_EQ(t->stateFlags, 0x0100 | VEK_SPRITE_CHANGED) << "other bits kept";
    EXPECT_EQ(pf.create(image, 0, 0), nullptr) << "full";

    // A deleted sprite keeps its slot and its place in the draw list until
    // the update releases it; its target goes back to where it is shown.
    vekAnimateSprite(pf.ctx, t, other, 50, 0, 0);
    t->stateFlags = 0;
    EXPECT_EQ(vekDeleteSprite(nullptr, t), 0);
    EXPECT_EQ(t->inUse, 1u);
    EXPECT_EQ(t->stateFlags, VEK_SPRITE_DELETED) << "the changed bit is not set";
    EXPECT_EQ(box(t->target), (Box{-10, -6, 0, 0}));
    EXPECT_EQ(t->image, nullptr);
    EXPECT_EQ(pf.create(image, 0, 0), nullptr) << "deleted, not yet released";
    // A deleted sprite's priority does not change.
    vekSetSpritePriority(pf.ctx, t, 9);
    vekSetSpritePriorityNosort(pf.ctx, t, 9);
    EXPECT_EQ(t->priority, 0);
    EXPECT_EQ(t->stateFlags, VEK_SPRITE_DELETED);
    pf.release(t);
    EXPECT_EQ(pf.order(), (std::vector<int>{0}));
    EXPECT_EQ(pf.create(image, 0, 0, 0, 9), t) << "the released slot is handed out again";
    EXPECT_EQ(t->stateFlags, VEK_SPRITE_CHANGED) << "the deleted bit is gone";
}

TEST(SpriteDrawList, PrioritiesSortNowOrAtTheNextSortingOperation)
{
    Playfield pf(6);
    HSPRITEDATA image = pf.image(4, 4);
    LPVEKSPRITE s[3];
    for (int i = 0; i < 3; i++) s[i] = pf.create(image, 0, 0, 0, 3 - i);
    ASSERT_EQ(pf.order(), (std::vector<int>{2, 1, 0}));
    for (LPVEKSPRITE x : s) x->stateFlags = 0;
    vekSetSpritePriority(pf.ctx, s[0], 0x10001);
    EXPECT_EQ(s[0]->stateFlags, VEK_SPRITE_CHANGED) << "compared as 32 bits, stored as 16";
    EXPECT_EQ(pf.order(), (std::vector<int>{0, 2, 1})) << "ties in slot order";
    s[0]->stateFlags = 0;
    vekSetSpritePriority(pf.ctx, s[0], 1);
    vekSetSpritePriorityNosort(pf.ctx, s[0], 1);
    EXPECT_EQ(s[0]->stateFlags, 0) << "unchanged priority";

    vekSetSpritePriorityNosort(pf.ctx, s[2], 10);
    vekSetSpritePriorityNosort(pf.ctx, s[0], -10);
    EXPECT_EQ(pf.order(), (std::vector<int>{0, 2, 1})) << "not sorted yet";
    LPVEKSPRITE late = pf.create(image, 0, 0, 0, -20, 0x0100);
    EXPECT_EQ(pf.order(), (std::vector<int>{0, 2, 1, 3})) << "creation with flags appends";
    // An unchanged priority still sorts when a sort is pending.
    late->stateFlags = 0;
    vekSetSpritePriority(pf.ctx, late, -20);
    EXPECT_EQ(late->stateFlags, VEK_SPRITE_CHANGED);
    EXPECT_EQ(pf.order(), (std::vector<int>{3, 0, 1, 2}));
    EXPECT_EQ(pf.ctx->updateFlags & VEK_UPDATE_SORT, 0);
    pf.create(image, 0, 0, 0, -30, 1);
    pf.create(image, 0, 0, 0, 0x18000);
    EXPECT_EQ(pf.order(), (std::vector<int>{5, 4, 3, 0, 1, 2})) << "creation without flags sorts; 0x8000 is the lowest";
}

TEST(SpriteDrawList, MatchesAStableSortOfTheSlots)
{
    // Many sprites with few distinct priorities over the whole signed range,
    // slots freed and reused: the draw list is the slots in use, stably
    // sorted by priority.
    std::mt19937 rng(1234);
    const SHORT levels[] = {-32768, -300, -256, -1, 0, 1, 255, 256, 32767};
    auto pick = [&] { return static_cast<LONG>(levels[rng() % 9]); };
    Playfield pf(1000);
    HSPRITEDATA image = pf.image(4, 4);
    std::vector<LPVEKSPRITE> live;
    for (int i = 0; i < 1000; i++) live.push_back(pf.create(image, 0, 0, 0, pick(), i & 1));
    for (int round = 0; round < 20; round++) {
        for (int k = 0; k < 30; k++) {
            const size_t at = rng() % live.size();
            vekDeleteSprite(pf.ctx, live[at]);
            pf.release(live[at]);
            live.erase(live.begin() + at);
        }
        for (int k = 0; k < 25; k++) live.push_back(pf.create(image, 0, 0, 0, pick(), k & 1));
        for (int k = 0; k < 50; k++) vekSetSpritePriorityNosort(pf.ctx, live[rng() % live.size()], pick());
        vekSetSpritePriority(pf.ctx, live[0], pick());
        std::vector<int> expected;
        for (int i = 0; i < pf.ctx->maxSprites; i++)
            if (pf.ctx->spriteSlots[i].inUse) expected.push_back(i);
        std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
            return pf.ctx->spriteSlots[a].priority < pf.ctx->spriteSlots[b].priority;
        });
        ASSERT_EQ(pf.order(), expected) << "round " << round;
    }
}

TEST(SpriteAnimate, MovesImagesAndTransforms)
{
    Playfield pf(1);
    HSPRITEDATA first = pf.image(10, 6), third = pf.image(4, 2);
    LPVEKSPRITE s = pf.create(first, 100, 50);
    const LPVEKMATRIX keep = reinterpret_cast<LPVEKMATRIX>(static_cast<ULONG_PTR>(VEK_TRANSFORM_KEEP));
    const LPVEKMATRIX keepAllOnes = reinterpret_cast<LPVEKMATRIX>(static_cast<LONG_PTR>(-1));
    auto changed = [&] {
        const bool c = s->stateFlags & VEK_SPRITE_CHANGED;
        s->stateFlags = 0;
        return c;
    };
    changed();
    // Calls that change nothing leave the sprite as it is.
    vekAnimateSprite(pf.ctx, s, first, 0, 0, 0);
    vekAnimateSpriteEx(pf.ctx, s, nullptr, 0, 0, 0, keep);
    vekAnimateSpriteAbsEx(pf.ctx, s, first, 100, 50, 0, keepAllOnes);
    EXPECT_FALSE(changed());

    vekAnimateSprite(pf.ctx, s, nullptr, 5, -7, 0);
    EXPECT_TRUE(changed());
    EXPECT_EQ(box(RECT{s->x, s->y, 0, 0}), (Box{105, 43, 0, 0}));
    EXPECT_EQ(box(s->target), (Box{95, 37, 105, 43}));
    EXPECT_EQ(box(s->shown), (Box{90, 44, 100, 50})) << "the shown rectangle waits for the update";
    vekAnimateSpriteAbs(nullptr, s, nullptr, -20, 30, 0x12002);
    EXPECT_EQ(box(s->target), (Box{-25, 27, -15, 33})) << "centred";
    EXPECT_EQ(s->anchorFlags, 0x2002) << "low 16 bits";
    EXPECT_TRUE(changed());
    vekAnimateSpriteAbs(pf.ctx, s, nullptr, -20, 30, 0x2003);
    EXPECT_TRUE(changed()) << "anchor";

    // The stored anchor reads back sign-extended: 0x8001 is the same anchor
    // only as 0xFFFF8001.
    vekAnimateSprite(pf.ctx, s, nullptr, 0, 0, VEK_ANCHOR_MIRROR | VEK_ANCHOR_LEFT);
    changed();
    vekAnimateSprite(pf.ctx, s, nullptr, 0, 0, static_cast<LONG>(0xFFFF8001));
    EXPECT_FALSE(changed());
    vekAnimateSprite(pf.ctx, s, nullptr, 0, 0, 0x8001);
    EXPECT_TRUE(changed());

    // A new image is measured at once (the frame tests check what is shown).
    vekAnimateSpriteAbs(pf.ctx, s, third, 100, 50, 0);
    EXPECT_EQ(box(s->target), (Box{96, 48, 100, 50}));

    // Transforms are kept, replaced or removed; the plain forms keep them.
    VEKMATRIX quarter, half;
    vekBuildMatrix(&quarter, 0x10000, 0x10000, 90 * 0x10000, 0);
    vekBuildMatrix(&half, 0x8000, 0x8000, 0, 0);
    vekAnimateSpriteAbsEx(pf.ctx, s, first, 100, 50, 0, &quarter);
    EXPECT_EQ(box(s->target), (Box{94, 40, 100, 50})) << "10 x 6 turned: 6 x 10";
    vekAnimateSpriteEx(pf.ctx, s, nullptr, 0, 0, VEK_ANCHOR_LEFT, keepAllOnes);
    EXPECT_EQ(s->transform, &quarter);
    EXPECT_EQ(box(s->target), (Box{100, 40, 106, 50}));
    vekAnimateSpriteAbsEx(pf.ctx, s, nullptr, 100, 50, 0, &half);
    EXPECT_EQ(box(s->target), (Box{95, 47, 100, 50})) << "half size";
    changed();
    vekAnimateSpriteEx(pf.ctx, s, nullptr, 0, 0, 0, nullptr);
    EXPECT_TRUE(changed()) << "a transform argument changes the sprite";
    EXPECT_EQ(s->transform, nullptr);
    EXPECT_EQ(box(s->target), (Box{90, 44, 100, 50})) << "untransformed again";
}

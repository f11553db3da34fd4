// Sprite contexts: one playfield shown in one window.
//
// A context is a VEKCONTEXT in its own locked movable block. A second block,
// the sprite memory, holds per slot a draw-list pointer, a VEKSPRITE and a
// sort mark, as three arrays in that order (72 bytes a slot on 32-bit
// targets). The context owns its off-screen image, its background brush and
// both blocks; everything else it points to belongs to the application.
#include <vekkit/sprite.h>

#include "common/memory.h"
#include "record/di_record.h"
#include "record/dimensions.h"

namespace {

constexpr LONG kMaxSprites = 1000;
constexpr SIZE_T kSlotBytes = sizeof(LPVEKSPRITE) + sizeof(VEKSPRITE) + sizeof(DWORD);

HBRUSH paletteBrush(DWORD colour)
{
    return CreateSolidBrush(colour | 0x01000000);
}

// Deletes the context's off-screen image. Where the context itself also
// names that image, as its background or as a sprite's image, the name goes
// with it: the context never draws from a record it has deleted.
void deleteOffscreen(LPVEKCONTEXT ctx)
{
    HSPRITEDATA gone = ctx->offscreen;
    if (!gone) return;
    if (ctx->backgroundImage == gone) ctx->backgroundImage = nullptr;
    for (LONG i = 0; i < ctx->maxSprites; i++) {
        VEKSPRITE &s = ctx->spriteSlots[i];
        if (!s.inUse) continue;
        if (s.image == gone) s.image = nullptr;
        if (s.shownImage == gone) s.shownImage = nullptr;
    }
    vekDeleteSpriteData(gone);
    ctx->offscreen = nullptr;
}

// What both constructors share once the off-screen image's maker is chosen.
struct Creation {
    HWND window;
    DWORD backgroundColor;
    HSPRITEDATA backgroundImage;
    LONG backgroundWidth, backgroundHeight;
    LONG offscreenWidth, offscreenHeight;
    LONG maxSprites;
};

// Makes the context, its brush and sprite memory and, through makeOffscreen,
// its off-screen image; on any failure releases what it made and gives null.
template <typename MakeOffscreen>
LPVEKCONTEXT create(const Creation &c, MakeOffscreen makeOffscreen)
{
    if (c.maxSprites < 1) return nullptr;
    auto *ctx = static_cast<LPVEKCONTEXT>(vek::allocLocked(sizeof(VEKCONTEXT)));
    if (!ctx) return nullptr;
    ctx->contextMemory = GlobalHandle(ctx);
    ctx->backgroundColor = c.backgroundColor;
    ctx->backgroundBrush = paletteBrush(c.backgroundColor);
    void *sprites = ctx->backgroundBrush ? vek::allocLocked(c.maxSprites * kSlotBytes) : nullptr;
    HSPRITEDATA offscreen = sprites ? makeOffscreen() : nullptr;
    if (!offscreen) {
        if (sprites) vek::freeLocked(sprites);
        if (ctx->backgroundBrush) DeleteObject(ctx->backgroundBrush);
        vek::freeLocked(ctx);
        return nullptr;
    }
    ctx->spriteMemory = GlobalHandle(sprites);
    ctx->drawList = static_cast<LPVEKSPRITE *>(sprites);
    ctx->spriteSlots = reinterpret_cast<LPVEKSPRITE>(ctx->drawList + c.maxSprites);
    ctx->sortMarks = reinterpret_cast<DWORD *>(ctx->spriteSlots + c.maxSprites);
    ctx->offscreen = offscreen;
    ctx->window = c.window;
    ctx->backgroundImage = c.backgroundImage;
    ctx->backgroundWidth = c.backgroundWidth;
    ctx->backgroundHeight = c.backgroundHeight;
    ctx->offscreenWidth = c.offscreenWidth;
    ctx->offscreenHeight = c.offscreenHeight;
    ctx->maxSprites = c.maxSprites;
    ctx->updateFlags = VEK_UPDATE_BACKGROUND;
    // A background image without a full size lends its dimensions.
    if (c.backgroundImage && (!c.backgroundWidth || !c.backgroundHeight))
        vek::spriteDimensions(c.backgroundImage, &ctx->backgroundWidth, &ctx->backgroundHeight);
    return ctx;
}

}  // namespace

LPVEKCONTEXT VEKAPI vekCreateSpriteContext(HWND window, HDC, LONG maxSprites, LONG width, LONG height,
                                           LONG backgroundColor, HSPRITEDATA backgroundImage,
                                           LONG backgroundWidth, LONG backgroundHeight)
{
    Creation c{window, static_cast<DWORD>(backgroundColor), backgroundImage, backgroundWidth,
               backgroundHeight, width, height, maxSprites > kMaxSprites ? kMaxSprites : maxSprites};
    return create(c, [&] { return vek::createDIRecord(width, height, true); });
}

LPVEKCONTEXT VEKAPI vekCreateSpriteContextEx(LPVEKCONTEXTPARAMS p)
{
    if (p->maxSprites > kMaxSprites) p->maxSprites = kMaxSprites;
    Creation c{p->window, p->backgroundColor, p->backgroundImage, p->backgroundWidth,
               p->backgroundHeight, p->offscreenWidth, p->offscreenHeight, p->maxSprites};
    LPVEKCONTEXT ctx = create(c, [&] {
        return reinterpret_cast<HSPRITEDATA>(
            vekCreateSpriteDataEx(p->dc, p->offscreenWidth, p->offscreenHeight, p->options));
    });
    if (!ctx) return nullptr;
    ctx->originX = p->originX;
    ctx->originY = p->originY;
    ctx->paletteEntries = p->paletteEntries;
    ctx->options = p->options;
    ctx->palette = p->palette;
    ctx->imageTable = p->imageTable;
    if (p->options & VEK_OPTION_TILEMAP) {
        ctx->tileMap = p->tileMap;
        ctx->worldWidth = p->worldWidth;
        ctx->worldHeight = p->worldHeight;
    }
    return ctx;
}

void VEKAPI vekDeleteSpriteContext(LPVEKCONTEXT ctx)
{
    if (!ctx) return;
    if (ctx->offscreen) vekDeleteSpriteData(ctx->offscreen);
    DeleteObject(ctx->backgroundBrush);
    vek::freeLocked(ctx->drawList);
    vek::freeLocked(ctx);
}

void VEKAPI vekSetSpriteContextBackground(LPVEKCONTEXT ctx, HSPRITEDATA image)
{
    if (!ctx) return;
    ctx->backgroundImage = image;
    ctx->updateFlags |= VEK_UPDATE_BACKGROUND;
}

void VEKAPI vekSetSpriteContextBackgroundEx(LPVEKCONTEXT ctx, HSPRITEDATA image, LONG width, LONG height,
                                            LONG resize)
{
    if (!ctx) return;
    ctx->backgroundImage = image;
    ctx->backgroundWidth = width;
    ctx->backgroundHeight = height;
    if (resize) {
        // A failed remake leaves the context without an off-screen image;
        // the frame update then composes nothing.
        deleteOffscreen(ctx);
        if (ctx->options & VEK_OPTION_DD_OFFSCREEN) {
            HDC dc = GetDC(ctx->window);
            ctx->offscreen = reinterpret_cast<HSPRITEDATA>(vekCreateSpriteDataEx(dc, width, height, ctx->options));
            ReleaseDC(ctx->window, dc);
        } else {
            ctx->offscreen = vekCreateSpriteData(width, height);
        }
        ctx->offscreenWidth = width;
        ctx->offscreenHeight = height;
    }
    ctx->updateFlags |= VEK_UPDATE_BACKGROUND;
}

void VEKAPI vekSetSpriteContextBackgroundDef(LPVEKCONTEXT ctx, LPVEKTILE tileMap, LONG worldWidth,
                                             LONG worldHeight, HSPRITEDATA *imageTable)
{
    if (!ctx) return;
    ctx->tileMap = tileMap;
    ctx->worldWidth = worldWidth;
    ctx->worldHeight = worldHeight;
    ctx->imageTable = imageTable;
    ctx->scrollX = ctx->scrollY = 0;
    ctx->wrapX = ctx->wrapY = 0;
    ctx->updateFlags |= VEK_UPDATE_BACKGROUND;
}

void VEKAPI vekSetSpriteContextBackgroundColor(LPVEKCONTEXT ctx, DWORD colour)
{
    if ((colour & 0xFFFFFF) >= 256) return;
    ctx->backgroundColor = colour;
    DeleteObject(ctx->backgroundBrush);
    ctx->backgroundBrush = paletteBrush(colour);
    ctx->updateFlags |= VEK_UPDATE_BACKGROUND;
}

void VEKAPI vekSetSpriteContextRedraw(LPVEKCONTEXT ctx, LONG enable)
{
    if (!ctx) return;
    ctx->redrawSuppressed = enable ? 0 : 1;
}

void VEKAPI vekSetSpriteContextOrigin(LPVEKCONTEXT ctx, LONG x, LONG y)
{
    if (ctx->originX == x && ctx->originY == y) return;
    ctx->originX = x;
    ctx->originY = y;
    ctx->updateFlags |= VEK_UPDATE_REPAINT;
}

void VEKAPI setpe(LPVEKCONTEXT ctx, PALETTEENTRY *paletteEntries)
{
    ctx->paletteEntries = paletteEntries;
}

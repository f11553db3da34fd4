// Sprite contexts: creation, the parameter record, deletion and the setters.
#include <vekkit.h>

#include <gtest/gtest.h>

#include "support/bytes.h"

namespace {

COLORREF brushColour(HBRUSH brush)
{
    LOGBRUSH lb{};
    GetObjectA(brush, sizeof lb, &lb);
    return lb.lbColor;
}

VEKCONTEXTPARAMS params(LONG maxSprites)
{
    VEKCONTEXTPARAMS p{};
    p.backgroundColor = 3;
    p.offscreenWidth = 64;
    p.offscreenHeight = 48;
    p.originX = 7;
    p.originY = -5;
    p.maxSprites = maxSprites;
    return p;
}

}  // namespace

TEST(SpriteContext, CreatedWithLongTableOffscreenAndFreshState)
{
    LPVEKCONTEXT ctx = vekCreateSpriteContext(nullptr, nullptr, 10, 64, 48, 16, nullptr, 64, 48);
    ASSERT_NE(ctx, nullptr);
    EXPECT_EQ(ctx->updateFlags, VEK_UPDATE_BACKGROUND);
    EXPECT_EQ(ctx->spriteCount, 0);
    EXPECT_EQ(ctx->maxSprites, 10);
    EXPECT_EQ(ctx->backgroundColor, 16u);
    EXPECT_EQ(brushColour(ctx->backgroundBrush), 0x01000010u) << "PALETTEINDEX(16)";
    ASSERT_NE(ctx->offscreen, nullptr);
    EXPECT_EQ(support::get32(ctx->offscreen, 14), 1080u) << "long-table layout";
    EXPECT_EQ(ctx->offscreenWidth, 64);
    EXPECT_EQ(ctx->originX, 0);
    EXPECT_EQ(ctx->options, 0);
    EXPECT_EQ(GlobalHandle(ctx), ctx->contextMemory);

    // One block: draw list, slots, sort marks.
    EXPECT_EQ(GlobalHandle(ctx->drawList), ctx->spriteMemory);
    EXPECT_EQ((void *)ctx->spriteSlots, (void *)(ctx->drawList + 10));
    EXPECT_EQ((void *)ctx->sortMarks, (void *)(ctx->spriteSlots + 10));
    EXPECT_EQ(GlobalSize(ctx->spriteMemory), 10 * (sizeof(LPVEKSPRITE) + sizeof(VEKSPRITE) + sizeof(DWORD)));
    vekDeleteSpriteContext(ctx);
    vekDeleteSpriteContext(nullptr);
}

TEST(SpriteContext, MaximumSpritesClampedAndWrittenBack)
{
    LPVEKCONTEXT ctx = vekCreateSpriteContext(nullptr, nullptr, 5000, 8, 8, 0, nullptr, 8, 8);
    ASSERT_NE(ctx, nullptr);
    EXPECT_EQ(ctx->maxSprites, 1000);
    vekDeleteSpriteContext(ctx);

    VEKCONTEXTPARAMS p = params(5000);
    ctx = vekCreateSpriteContextEx(&p);
    ASSERT_NE(ctx, nullptr);
    EXPECT_EQ(p.maxSprites, 1000) << "the parameter record is corrected";
    EXPECT_EQ(ctx->maxSprites, 1000);
    vekDeleteSpriteContext(ctx);

    EXPECT_EQ(vekCreateSpriteContext(nullptr, nullptr, 0, 8, 8, 0, nullptr, 8, 8), nullptr) << "no slots";
}

TEST(SpriteContext, BackgroundSizeTakenFromImage)
{
    HSPRITEDATA image = vekCreateSpriteDataObject(320, 200);
    LPVEKCONTEXT ctx = vekCreateSpriteContext(nullptr, nullptr, 1, 32, 32, 0, image, 0, 0);
    ASSERT_NE(ctx, nullptr);
    EXPECT_EQ(ctx->backgroundWidth, 320);
    EXPECT_EQ(ctx->backgroundHeight, 200);
    vekDeleteSpriteContext(ctx);

    ctx = vekCreateSpriteContext(nullptr, nullptr, 1, 32, 32, 0, image, 100, 0);
    ASSERT_NE(ctx, nullptr);
    EXPECT_EQ(ctx->backgroundWidth, 320) << "one missing side takes both from the image";
    EXPECT_EQ(ctx->backgroundHeight, 200);
    vekDeleteSpriteContext(ctx);
    vekDeleteSpriteData(image);
}

TEST(SpriteContext, ExtendedConstructorCopiesTheParameterRecord)
{
    PALETTEENTRY entries[256] = {};
    HSPRITEDATA table[1] = {};
    VEKTILE map[2] = {};
    VEKCONTEXTPARAMS p = params(4);
    p.paletteEntries = entries;
    p.imageTable = table;
    p.tileMap = map;
    p.worldWidth = 1000;
    p.worldHeight = 800;

    LPVEKCONTEXT ctx = vekCreateSpriteContextEx(&p);
    ASSERT_NE(ctx, nullptr);
    EXPECT_EQ(support::get32(ctx->offscreen, 14), 568u) << "short-table DI off-screen image";
    EXPECT_EQ(ctx->originX, 7);
    EXPECT_EQ(ctx->originY, -5);
    EXPECT_EQ(ctx->paletteEntries, entries);
    EXPECT_EQ(ctx->imageTable, table);
    EXPECT_EQ(ctx->tileMap, nullptr) << "tile map read only with the tile map option";
    EXPECT_EQ(ctx->worldWidth, 0);
    vekDeleteSpriteContext(ctx);

    p.options = VEK_OPTION_TILEMAP;
    ctx = vekCreateSpriteContextEx(&p);
    ASSERT_NE(ctx, nullptr);
    EXPECT_EQ(ctx->tileMap, map);
    EXPECT_EQ(ctx->worldWidth, 1000);
    EXPECT_EQ(ctx->worldHeight, 800);
    EXPECT_EQ(ctx->options, VEK_OPTION_TILEMAP);
    vekDeleteSpriteContext(ctx);
}

TEST(SpriteContext, DDOffscreenIsCompatibleWithTheGivenDC)
{
    HDC screen = GetDC(nullptr);
    VEKCONTEXTPARAMS p = params(2);
    p.dc = screen;
    p.options = VEK_OPTION_DD_OFFSCREEN;
    LPVEKCONTEXT ctx = vekCreateSpriteContextEx(&p);
    ASSERT_NE(ctx, nullptr);
    EXPECT_EQ(ctx->offscreen[4] | ctx->offscreen[5] << 8, VEK_TYPE_DD);
    EXPECT_EQ(vekGetSpriteDimensions(ctx->offscreen, nullptr, nullptr), (48u << 16) | 64u);
    vekDeleteSpriteContext(ctx);
    ReleaseDC(nullptr, screen);
}

TEST(SpriteContext, BackgroundColourSetter)
{
    LPVEKCONTEXT ctx = vekCreateSpriteContext(nullptr, nullptr, 1, 8, 8, 1, nullptr, 8, 8);
    ASSERT_NE(ctx, nullptr);
    ctx->updateFlags = 0;
    HBRUSH before = ctx->backgroundBrush;
    vekSetSpriteContextBackgroundColor(ctx, 256);
    vekSetSpriteContextBackgroundColor(ctx, 0x00FFFFFF);
    EXPECT_EQ(ctx->backgroundColor, 1u);
    EXPECT_EQ(ctx->backgroundBrush, before);
    EXPECT_EQ(ctx->updateFlags, 0);

    vekSetSpriteContextBackgroundColor(ctx, 16);
    EXPECT_EQ(ctx->backgroundColor, 16u);
    EXPECT_EQ(brushColour(ctx->backgroundBrush), 0x01000010u);
    EXPECT_EQ(ctx->updateFlags, VEK_UPDATE_BACKGROUND);

    // Only the low 24 bits are tested: a high byte is kept as given.
    vekSetSpriteContextBackgroundColor(ctx, 0x7F000005);
    EXPECT_EQ(ctx->backgroundColor, 0x7F000005u);
    EXPECT_EQ(brushColour(ctx->backgroundBrush) & 0xFFFFFF, 5u);
    vekDeleteSpriteContext(ctx);
}

TEST(SpriteContext, OriginRedrawAndPaletteEntrySetters)
{
    LPVEKCONTEXT ctx = vekCreateSpriteContext(nullptr, nullptr, 1, 8, 8, 0, nullptr, 8, 8);
    ASSERT_NE(ctx, nullptr);
    ctx->updateFlags = 0;
    vekSetSpriteContextOrigin(ctx, 0, 0);
    EXPECT_EQ(ctx->updateFlags, 0) << "the same origin changes nothing";
    vekSetSpriteContextOrigin(ctx, -3, 4);
    EXPECT_EQ(ctx->originX, -3);
    EXPECT_EQ(ctx->originY, 4);
    EXPECT_EQ(ctx->updateFlags, VEK_UPDATE_REPAINT);

    vekSetSpriteContextRedraw(ctx, 0);
    EXPECT_EQ(ctx->redrawSuppressed, 1u);
    vekSetSpriteContextRedraw(ctx, 5);
    EXPECT_EQ(ctx->redrawSuppressed, 0u);
    vekSetSpriteContextRedraw(nullptr, 0);

    PALETTEENTRY entries[256] = {};
    setpe(ctx, entries);
    EXPECT_EQ(ctx->paletteEntries, entries);
    vekDeleteSpriteContext(ctx);
}

TEST(SpriteContext, BackgroundImageSetters)
{
    LPVEKCONTEXT ctx = vekCreateSpriteContext(nullptr, nullptr, 1, 16, 16, 0, nullptr, 16, 16);
    ASSERT_NE(ctx, nullptr);
    HSPRITEDATA image = vekCreateSpriteDataObject(40, 30);
    HSPRITEDATA offscreen = ctx->offscreen;

    ctx->updateFlags = 0;
    vekSetSpriteContextBackground(ctx, image);
    EXPECT_EQ(ctx->backgroundImage, image);
    EXPECT_EQ(ctx->backgroundWidth, 16) << "sizes stay";
    EXPECT_EQ(ctx->updateFlags, VEK_UPDATE_BACKGROUND);

    vekSetSpriteContextBackgroundEx(ctx, image, 40, 30, 0);
    EXPECT_EQ(ctx->backgroundWidth, 40);
    EXPECT_EQ(ctx->backgroundHeight, 30);
    EXPECT_EQ(ctx->offscreen, offscreen) << "no resize keeps the off-screen image";
    EXPECT_EQ(ctx->offscreenWidth, 16);

    vekSetSpriteContextBackgroundEx(ctx, image, 40, 30, 1);
    ASSERT_NE(ctx->offscreen, nullptr);
    EXPECT_EQ(vekGetSpriteDimensions(ctx->offscreen, nullptr, nullptr), (30u << 16) | 40u);
    EXPECT_EQ(support::get32(ctx->offscreen, 14), 1080u);
    EXPECT_EQ(ctx->offscreenWidth, 40);
    EXPECT_EQ(ctx->offscreenHeight, 30);

    VEKTILE map[1] = {};
    HSPRITEDATA table[1] = {image};
    ctx->scrollX = ctx->wrapY = 9;
    ctx->updateFlags = 0;
    vekSetSpriteContextBackgroundDef(ctx, map, 500, 400, table);
    EXPECT_EQ(ctx->tileMap, map);
    EXPECT_EQ(ctx->imageTable, table);
    EXPECT_EQ(ctx->worldWidth, 500);
    EXPECT_EQ(ctx->scrollX, 0);
    EXPECT_EQ(ctx->wrapY, 0);
    EXPECT_EQ(ctx->options, 0) << "options never change";
    EXPECT_EQ(ctx->updateFlags, VEK_UPDATE_BACKGROUND);

    vekSetSpriteContextBackground(nullptr, image);
    vekSetSpriteContextBackgroundEx(nullptr, image, 1, 1, 1);
    vekSetSpriteContextBackgroundDef(nullptr, map, 1, 1, table);
    vekDeleteSpriteContext(ctx);
    vekDeleteSpriteData(image);
}

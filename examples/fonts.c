/*
 * fonts: text from a raster font file (FNT version 3.00) drawn into sprite
 * images: a title with a shadow, made transparent around its letters, over
 * a background image, and a counter line redrawn every frame. The last
 * frame is written as a PNG file.
 *   fonts [picture.png [font.fnt]]
 */
#include "example.h"

#include <stdio.h>

#ifndef EXAMPLE_FONT
#define EXAMPLE_FONT "vekdemo.fnt"
#endif

#define WIDTH 320
#define HEIGHT 120

/* The background: a raw image shaded from dark blue at the top to bright
   blue at the bottom. */
static HSPRITEDATA makeBackground(void)
{
    HSPRITEDATA image = vekCreateSpriteDataObject(WIDTH, HEIGHT);
    if (!image) return NULL;
    for (LONG y = 0; y < HEIGHT; y++)
        vekSpriteFill(image, 0, y, WIDTH, 1, exampleShade(EXAMPLE_BLUE, 8 + (int)y * 40 / HEIGHT));
    return image;
}

/* The title: white text with a dark shadow on a transparent ground. */
static HSPRITEDATA makeTitle(HGLOBAL font, const char *text)
{
    /* The extent packs the font's height (high 16 bits) and the text's
       width (low 16 bits). */
    const DWORD extent = gfxGetTextExtentFont(font, text, -1);
    const LONG width = LOWORD(extent) + 2, height = HIWORD(extent) + 2;
    HSPRITEDATA raw = vekCreateSpriteDataObject(width, height);
    if (!raw) return NULL;
    /* The new pixels are 0; the text leaves the bottom-left pixel alone, so
       0 is the key colour of the cel made below. */
    gfxTextOutToDIB(raw, font, exampleShade(EXAMPLE_GREY, 4), 0, 2, 1, text, -1);
    gfxTextOutToDIB(raw, font, exampleShade(EXAMPLE_GREY, 58), 0, 0, 0, text, -1);
    const LONG_PTR cel = vekPalDIBToCel(raw, FALSE, 0);
    vekDeleteSpriteData(raw);
    return cel > 0 ? (HSPRITEDATA)cel : NULL;
}

int main(int argc, char **argv)
{
    const char *png = argc > 1 ? argv[1] : "fonts.png";
    const char *fontFile = argc > 2 ? argv[2] : EXAMPLE_FONT;
    /* A font handle is a global memory handle (unlocked), not a pointer;
       it is ours until gfxFreeFont. */
    HGLOBAL font = gfxLoadFont(fontFile);
    if (!font) {
        fprintf(stderr, "cannot load the font %s\n", fontFile);
        return 1;
    }
    HWND window = exampleWindow("fonts", WIDTH, HEIGHT);
    if (!window) return 1;
    HDC dc = exampleDC(window);
    HSPRITEDATA background = makeBackground(), title = makeTitle(font, "Hello, vekkit!");
    /* The counter is redrawn in place. The update repaints only sprites
       marked changed, and drawing into an image marks nothing: the counter
       takes turns between two images so that each animate call names a new
       one. */
    HSPRITEDATA counter[2] = {vekCreateSpriteDataObject(WIDTH, 16), vekCreateSpriteDataObject(WIDTH, 16)};
    if (!background || !title || !counter[0] || !counter[1]) return 1;
    LPVEKCONTEXT context = vekCreateSpriteContext(window, NULL, 4, WIDTH, HEIGHT, 0, background, 0, 0);
    if (!context) return 1;
    exampleRedrawOnPaint(context);
    LPVEKSPRITE titleSprite = vekCreateSprite(context, title, WIDTH / 2, 40, VEK_ANCHOR_HCENTER | VEK_ANCHOR_TOP, 1, 0);
    LPVEKSPRITE counterSprite = vekCreateSprite(context, counter[0], 0, HEIGHT, VEK_ANCHOR_LEFT, 1, 0);
    if (!titleSprite || !counterSprite) return 1;

    for (int frame = 0; frame < 60; frame++) {
        char line[32];
        HSPRITEDATA image = counter[frame % 2];
        snprintf(line, sizeof line, "frame %d", frame);
        vekSpriteFill(image, 0, 0, WIDTH, 16, exampleShade(EXAMPLE_GREY, 10));
        gfxTextOutToDIB(image, font, exampleShade(EXAMPLE_RED, 58), 0, 4, 1, line, -1);
        vekAnimateSpriteAbs(context, counterSprite, image, 0, HEIGHT, VEK_ANCHOR_LEFT);
        vekUpdateSpriteContext(context, dc);
        exampleNextFrame();
    }

    const int status = exampleSave(window, png);
    vekDeleteSpriteContext(context);
    exampleClose(window, dc);
    gfxFreeFont(font);
    vekDeleteSpriteData(background);
    vekDeleteSpriteData(title);
    vekDeleteSpriteData(counter[0]);
    vekDeleteSpriteData(counter[1]);
    return status;
}

/*
 * hello-sprite: a window, the palette, a sprite context and two sprites
 * moving across it, a raw crate and an RLE ball; the last frame is written
 * as a PNG file.
 *   hello-sprite [picture.png]
 */
#include "example.h"

#define WIDTH 320
#define HEIGHT 200

/* A raw image: every pixel is drawn, none is transparent. */
static HSPRITEDATA makeCrate(void)
{
    HSPRITEDATA crate = vekCreateSpriteDataObject(24, 24);
    if (!crate) return NULL;
    vekSpriteFill(crate, 0, 0, 24, 24, exampleShade(EXAMPLE_RED, 20));
    vekSpriteFill(crate, 3, 3, 18, 18, exampleShade(EXAMPLE_RED, 45));
    for (LONG i = 3; i < 21; i++) *examplePixel(crate, i, i) = exampleShade(EXAMPLE_RED, 20);
    return crate;
}

int main(int argc, char **argv)
{
    const char *png = argc > 1 ? argv[1] : "hello-sprite.png";
    HWND window = exampleWindow("hello sprite", WIDTH, HEIGHT);
    if (!window) return 1;
    HDC dc = exampleDC(window);

    /* No background image: the background is a palette colour, and the
       background size (the last two arguments) says how much of the
       playfield it covers. A size of 0 x 0 would leave nothing to show. */
    LPVEKCONTEXT context = vekCreateSpriteContext(window, NULL, 10, WIDTH, HEIGHT, exampleShade(EXAMPLE_BLUE, 12),
                                                  NULL, WIDTH, HEIGHT);
    HSPRITEDATA crate = makeCrate(), ball = exampleDisc(32, EXAMPLE_GREY);
    if (!context || !crate || !ball) return 1;
    exampleRedrawOnPaint(context);

    /* The crate's position names its top-left corner, the ball's its centre. */
    LPVEKSPRITE crateSprite = vekCreateSprite(context, crate, 20, 40, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP, 0, 0);
    LPVEKSPRITE ballSprite =
        vekCreateSprite(context, ball, 40, 150, VEK_ANCHOR_HCENTER | VEK_ANCHOR_VCENTER, 1, 0);

    for (int frame = 0; frame < 100; frame++) {
        vekAnimateSprite(context, crateSprite, NULL, 2, 1, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP);
        vekAnimateSprite(context, ballSprite, NULL, 2, -1, VEK_ANCHOR_HCENTER | VEK_ANCHOR_VCENTER);
        vekUpdateSpriteContext(context, dc);
        exampleNextFrame();
    }

    /* The crate is now at (220, 140), the ball's centre at (240, 50). */
    const int status = exampleSave(window, png);
    vekDeleteSpriteContext(context);
    exampleClose(window, dc);
    vekDeleteSpriteData(crate);
    vekDeleteSpriteData(ball);
    return status;
}

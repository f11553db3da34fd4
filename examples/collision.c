/*
 * collision: two balls roll towards each other on slightly different rows.
 * Their rectangles meet some frames before the balls themselves do;
 * vekCheckCollide tells the two apart, and the balls turn red and stop when
 * their pixels touch. The last frame is written as a PNG file.
 *   collision [picture.png]
 */
#include "example.h"

#include <stdio.h>

#define WIDTH 320
#define HEIGHT 200
#define ANCHOR (VEK_ANCHOR_HCENTER | VEK_ANCHOR_VCENTER)

int main(int argc, char **argv)
{
    const char *png = argc > 1 ? argv[1] : "collision.png";
    HWND window = exampleWindow("collision", WIDTH, HEIGHT);
    if (!window) return 1;
    HDC dc = exampleDC(window);
    LPVEKCONTEXT context =
        vekCreateSpriteContext(window, NULL, 4, WIDTH, HEIGHT, exampleShade(EXAMPLE_GREEN, 10), NULL, WIDTH, HEIGHT);
    HSPRITEDATA blue = exampleDisc(40, EXAMPLE_BLUE), grey = exampleDisc(40, EXAMPLE_GREY);
    HSPRITEDATA red = exampleDisc(40, EXAMPLE_RED);
    if (!context || !blue || !grey || !red) return 1;
    exampleRedrawOnPaint(context);

    /* Sprites collide only at equal priorities unless the test is given
       VEK_COLLIDE_ANY_PRIORITY. */
    LPVEKSPRITE a = vekCreateSprite(context, blue, 40, 90, ANCHOR, 0, 0);
    LPVEKSPRITE b = vekCreateSprite(context, grey, 280, 120, ANCHOR, 0, 0);
    int rectanglesMet = -1, touched = -1;
    for (int frame = 0; frame < 100; frame++) {
        if (touched < 0) {
            vekAnimateSprite(context, a, NULL, 2, 0, ANCHOR);
            vekAnimateSprite(context, b, NULL, -2, 0, ANCHOR);
        }
        /* The tests read the target rectangles that the moves just set.
           VEK_COLLIDE_RECT compares the rectangles alone; without it, two
           RLE images are compared span by span. */
        if (rectanglesMet < 0 && vekCheckCollide(context, a, b, VEK_COLLIDE_RECT)) rectanglesMet = frame;
        if (touched < 0 && vekCheckCollide(context, a, b, 0)) {
            touched = frame;
            vekAnimateSprite(context, a, red, 0, 0, ANCHOR);
            vekAnimateSprite(context, b, red, 0, 0, ANCHOR);
        }
        vekUpdateSpriteContext(context, dc);
        exampleNextFrame();
    }
    printf("rectangles met at frame %d, the balls touched at frame %d\n", rectanglesMet, touched);

    const int status = exampleSave(window, png);
    vekDeleteSpriteContext(context);
    exampleClose(window, dc);
    vekDeleteSpriteData(blue);
    vekDeleteSpriteData(grey);
    vekDeleteSpriteData(red);
    return touched > rectanglesMet && rectanglesMet >= 0 ? status : 1;
}

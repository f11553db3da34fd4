/*
 * objects: images saved into an object file and loaded back. A raw image
 * is stored with STORE_IMAGE_BITS (its header fields and LZSS-compressed
 * pixels), an RLE ball with STORE_LZSS (the whole block compressed), and a
 * memory file's block bare. The two images read back are shown side by
 * side and the picture is written as a PNG file.
 *   objects [picture.png]
 */
#include "example.h"

#include <stdio.h>
#include <string.h>

#define WIDTH 200
#define HEIGHT 120

/* A raw image of 64 x 64 with a green gradient from left to right. */
static HSPRITEDATA makeGradient(void)
{
    HSPRITEDATA image = vekCreateSpriteDataObject(64, 64);
    if (!image) return NULL;
    for (LONG y = 0; y < 64; y++)
        for (LONG x = 0; x < 64; x++) *examplePixel(image, x, y) = exampleShade(EXAMPLE_GREEN, 10 + x * 3 / 4);
    return image;
}

/* Writes the three objects; 0 on success. */
static int save(const char *path, HSPRITEDATA gradient, HSPRITEDATA ball)
{
    HFILE file = _lcreat(path, 0);
    if (file == HFILE_ERROR) return 1;
    /* Under a header, vekSaveObject returns the compressed length, or 0 when
       the object went out uncompressed because compression did not pay:
       0 is not a failure here. Bare, it returns the block's length. */
    DWORD stored = vekSaveObject(file, gradient, STORE_WITH_HEADER | STORE_IMAGE_BITS, 0);
    printf("gradient: %lu bytes stored\n", (unsigned long)stored);
    stored = vekSaveObject(file, ball, STORE_WITH_HEADER | STORE_LZSS, 0);
    printf("ball: %lu bytes stored\n", (unsigned long)stored);

    /* A memory file collects bytes; _mclose hands its data over as a
       size-prefixed block that we own. */
    LONG_PTR memory = _mcreat(64);
    const char text[] = "two images";
    _mwrite(memory, text, sizeof text);
    LPVOID block = _mclose(memory);
    if (!block) return 1;
    stored = vekSaveObject(file, block, 0, 0);
    printf("text: %lu bytes stored\n", (unsigned long)stored);
    /* The block is a locked global block, not an image record: free it with
       GlobalUnlock and GlobalFree. (vekDeleteSpriteData reads the type word
       at byte 4 and would take 0xFEF0 there for a DD record.) */
    GlobalUnlock(GlobalHandle(block));
    GlobalFree(GlobalHandle(block));
    return _lclose(file) == HFILE_ERROR;
}

int main(int argc, char **argv)
{
    const char *png = argc > 1 ? argv[1] : "objects.png";
    char path[MAX_PATH];
    const DWORD folder = GetTempPathA(MAX_PATH - 20, path);
    if (!folder || folder >= MAX_PATH - 20) return 1;
    strcat(path, "vekkit-objects.obj");

    HSPRITEDATA gradient = makeGradient(), ball = exampleDisc(48, EXAMPLE_RED);
    if (!gradient || !ball || save(path, gradient, ball)) return 1;
    vekDeleteSpriteData(gradient);
    vekDeleteSpriteData(ball);

    /* Read back in the order written, with the flags used to write: whether
       an object has a header is not recorded in the file. Every object
       comes back in a new locked block that the caller owns. */
    HFILE file = _lopen(path, OF_READ);
    if (file == HFILE_ERROR) return 1;
    HSPRITEDATA gradientBack = vekLoadObject(file, STORE_WITH_HEADER, 0);
    HSPRITEDATA ballBack = vekLoadObject(file, STORE_WITH_HEADER, 0);
    const DWORD textSize = vekSizeNextObject(file, 0);
    BYTE *textBack = vekLoadObject(file, 0, 0);
    _lclose(file);
    DeleteFileA(path);
    if (!gradientBack || !ballBack || !textBack) return 1;
    printf("text: \"%s\" (%lu bytes)\n", (const char *)textBack + 4, (unsigned long)textSize);
    GlobalUnlock(GlobalHandle(textBack));
    GlobalFree(GlobalHandle(textBack));

    HWND window = exampleWindow("objects", WIDTH, HEIGHT);
    if (!window) return 1;
    HDC dc = exampleDC(window);
    LPVEKCONTEXT context =
        vekCreateSpriteContext(window, NULL, 4, WIDTH, HEIGHT, exampleShade(EXAMPLE_GREY, 8), NULL, WIDTH, HEIGHT);
    if (!context) return 1;
    exampleRedrawOnPaint(context);
    vekCreateSprite(context, gradientBack, 20, 28, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP, 0, 0);
    vekCreateSprite(context, ballBack, 124, 36, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP, 0, 0);
    vekUpdateSpriteContext(context, dc);

    const int status = exampleSave(window, png);
    vekDeleteSpriteContext(context);
    exampleClose(window, dc);
    /* Loaded images are sprite image records like any other. */
    vekDeleteSpriteData(gradientBack);
    vekDeleteSpriteData(ballBack);
    return status;
}

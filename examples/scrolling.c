/*
 * scrolling: a view of 320 x 240 pixels onto a tile-mapped world of
 * 1280 x 960, following a ball that rolls through it, with crates that stay
 * where they are in the world. The last frame is written as a PNG file.
 *   scrolling [picture.png]
 */
#include "example.h"

#define VIEW_W 320
#define VIEW_H 240
#define WORLD_W 1280
#define WORLD_H 960
#define TILE 32
#define COLUMNS (WORLD_W / TILE)
#define ROWS (WORLD_H / TILE)
#define CRATES 6

enum { DARK_GRASS, STONE, WATER, CRATE, IMAGES };

/* A tile map is an array of 12-byte entries: entry 0 is a header (the
   colour of the ground where no tile lies, the index of the last tile),
   then one entry per tile: its world rectangle and its image's index in
   the context's image table. Later tiles cover earlier ones. */
static VEKTILE map[1 + COLUMNS * ROWS];

static void makeMap(void)
{
    VEKTILEMAPHEADER *header = (VEKTILEMAPHEADER *)&map[0];
    int last = 0;
    for (int row = 0; row < ROWS; row++)
        for (int column = 0; column < COLUMNS; column++) {
            const int pond = (column / 6 + row / 6) % 3 == 0 && column % 6 > 1 && row % 6 > 1;
            SHORT image = row == 15 || column == 20 ? STONE : pond ? WATER : (column + row) % 2 ? DARK_GRASS : -1;
            if (image < 0) continue; /* plain grass: the header's colour */
            VEKTILE *tile = &map[++last];
            tile->left = (SHORT)(column * TILE);
            tile->top = (SHORT)(row * TILE);
            tile->right = (SHORT)(tile->left + TILE);
            tile->bottom = (SHORT)(tile->top + TILE);
            tile->image = image;
        }
    header->backgroundColor = exampleShade(EXAMPLE_GREEN, 24);
    header->lastTile = (SHORT)last;
    header->skipCount = 0;
}

/* A raw tile image of one colour with a darker edge of width edge. */
static HSPRITEDATA makeTile(BYTE colour, BYTE edgeColour, LONG edge)
{
    HSPRITEDATA tile = vekCreateSpriteDataObject(TILE, TILE);
    if (!tile) return NULL;
    vekSpriteFill(tile, 0, 0, TILE, TILE, edgeColour);
    vekSpriteFill(tile, edge, edge, TILE - 2 * edge, TILE - 2 * edge, colour);
    return tile;
}

static LONG clamp(LONG v, LONG low, LONG high)
{
    return v < low ? low : v > high ? high : v;
}

int main(int argc, char **argv)
{
    const char *png = argc > 1 ? argv[1] : "scrolling.png";
    HWND window = exampleWindow("scrolling", VIEW_W, VIEW_H);
    if (!window) return 1;
    HDC dc = exampleDC(window);

    HSPRITEDATA images[IMAGES];
    images[DARK_GRASS] = makeTile(exampleShade(EXAMPLE_GREEN, 20), exampleShade(EXAMPLE_GREEN, 20), 0);
    images[STONE] = makeTile(exampleShade(EXAMPLE_GREY, 30), exampleShade(EXAMPLE_GREY, 18), 2);
    images[WATER] = makeTile(exampleShade(EXAMPLE_BLUE, 40), exampleShade(EXAMPLE_BLUE, 40), 0);
    images[CRATE] = makeTile(exampleShade(EXAMPLE_RED, 40), exampleShade(EXAMPLE_RED, 20), 4);
    HSPRITEDATA ball = exampleDisc(28, EXAMPLE_GREY);
    /* The background image is the buffer the world is rendered into, the
       size of the view; it wraps around as the view moves. */
    HSPRITEDATA buffer = vekCreateSpriteDataObject(VIEW_W, VIEW_H);
    for (int i = 0; i < IMAGES; i++)
        if (!images[i]) return 1;
    if (!ball || !buffer) return 1;
    makeMap();

    VEKCONTEXTPARAMS params = {0};
    params.window = window;
    params.dc = dc;
    params.backgroundColor = exampleShade(EXAMPLE_GREEN, 24);
    params.backgroundImage = buffer;
    params.backgroundWidth = VIEW_W;
    params.backgroundHeight = VIEW_H;
    params.offscreenWidth = VIEW_W;
    params.offscreenHeight = VIEW_H;
    params.paletteEntries = exampleColours;
    params.maxSprites = 1 + CRATES;
    params.options = VEK_OPTION_TILEMAP;
    params.palette = examplePalette();
    params.tileMap = map;
    params.imageTable = images;
    params.worldWidth = WORLD_W;
    params.worldHeight = WORLD_H;
    LPVEKCONTEXT context = vekCreateSpriteContextEx(&params);
    if (!context) return 1;
    exampleRedrawOnPaint(context);

    /* Sprites are placed in view coordinates: world position - scroll. */
    LONG crateX[CRATES], crateY[CRATES];
    LPVEKSPRITE crates[CRATES];
    for (int i = 0; i < CRATES; i++) {
        crateX[i] = 260 + i * 140;
        crateY[i] = 200 + i * 90;
        crates[i] =
            vekCreateSprite(context, images[CRATE], crateX[i], crateY[i], VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP, 0, 0);
    }
    LONG x = 200, y = 150, dx = 5, dy = 3;
    LPVEKSPRITE player = vekCreateSprite(context, ball, x, y, VEK_ANCHOR_HCENTER | VEK_ANCHOR_VCENTER, 1, 0);

    for (int frame = 0; frame < 150; frame++) {
        if (x + dx < 20 || x + dx > WORLD_W - 20) dx = -dx;
        if (y + dy < 20 || y + dy > WORLD_H - 20) dy = -dy;
        x += dx;
        y += dy;
        /* The view keeps the ball in its middle, within the world. Small
           moves render only the strips that come into view (and move every
           sprite with the world); large ones render the view again. */
        vekScrollSpriteContextAbs(context, dc, clamp(x - VIEW_W / 2, 0, WORLD_W - VIEW_W),
                                  clamp(y - VIEW_H / 2, 0, WORLD_H - VIEW_H));
        /* Placing world-bound sprites from their world positions each frame
           keeps them right after either kind of scroll. */
        for (int i = 0; i < CRATES; i++)
            vekAnimateSpriteAbs(context, crates[i], NULL, crateX[i] - context->scrollX, crateY[i] - context->scrollY,
                                VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP);
        vekAnimateSpriteAbs(context, player, NULL, x - context->scrollX, y - context->scrollY,
                            VEK_ANCHOR_HCENTER | VEK_ANCHOR_VCENTER);
        vekUpdateSpriteContext(context, dc);
        exampleNextFrame();
    }

    const int status = exampleSave(window, png);
    vekDeleteSpriteContext(context);
    exampleClose(window, dc);
    for (int i = 0; i < IMAGES; i++) vekDeleteSpriteData(images[i]);
    vekDeleteSpriteData(ball);
    vekDeleteSpriteData(buffer);
    return status;
}

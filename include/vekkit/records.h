/*
 * vekkit: shared record layouts and constants.
 *
 * Sprite image records (DI, DD and composite) are byte blocks reached through
 * HSPRITEDATA; their fields sit at fixed, often unaligned, little-endian
 * offsets and are never read through a C struct. The structs below are the
 * records that applications fill or read directly. On 32-bit targets their
 * layout is byte-exact and checked below; on 64-bit hosts pointer fields
 * become pointer-sized and the order stays.
 */
#ifndef VEKKIT_RECORDS_H
#define VEKKIT_RECORDS_H

#include <stddef.h>
#include <windows.h>

#if defined(_WIN32) && !defined(_WIN64)
#define VEKAPI __stdcall
#else
#define VEKAPI
#endif

/* Exported functions: the DLL's export list names them on Windows; the
   hosted shared library is built with hidden visibility and exports these. */
#if defined(_WIN32)
#define VEKKIT_VISIBLE
#else
#define VEKKIT_VISIBLE __attribute__((visibility("default")))
#endif
#ifdef __cplusplus
#define VEKKIT_EXPORT extern "C" VEKKIT_VISIBLE
#else
#define VEKKIT_EXPORT extern VEKKIT_VISIBLE
#endif

typedef BYTE *HSPRITEDATA;  /* first byte of a sprite image record's locked block */
typedef LONG VEKFIXED;      /* 16.16 fixed point, 0x10000 = 1.0 */

typedef struct tagVEKMATRIX {           /* transform matrix, 32 bytes */
    VEKFIXED m[8];                      /* forward a b c d, inverse 4..7 */
} VEKMATRIX, *LPVEKMATRIX;

typedef struct tagVEKTILE {             /* tile map entry 1..last, 12 bytes */
    SHORT reserved;                     /* not read */
    SHORT left, top, right, bottom;     /* world rectangle, right/bottom exclusive */
    SHORT image;                        /* index into the context's image table */
} VEKTILE, *LPVEKTILE;

typedef struct tagVEKTILEMAPHEADER {    /* tile map entry 0, 12 bytes */
    SHORT backgroundColor;              /* 0..255, anything else: none */
    SHORT lastTile;                     /* index of the last tile entry */
    SHORT skipCount;                    /* tiles start at skipCount + 1 */
    SHORT reserved[3];
} VEKTILEMAPHEADER;
/* A tile map is a VEKTILE array whose entry 0 is read as a VEKTILEMAPHEADER;
   the API takes it as LPVEKTILE. */

typedef struct tagVEKCONTEXTPARAMS {    /* argument of vekCreateSpriteContextEx */
    HWND        window;
    HDC         dc;
    DWORD       backgroundColor;
    HSPRITEDATA backgroundImage;
    LONG        backgroundWidth, backgroundHeight;
    LONG        offscreenWidth, offscreenHeight;
    LONG        originX, originY;
    PALETTEENTRY *paletteEntries;
    LONG        maxSprites;
    WORD        options;
    WORD        reserved;
    HPALETTE    palette;
    LPVEKTILE   tileMap;
    HSPRITEDATA *imageTable;
    LONG        worldWidth, worldHeight;
} VEKCONTEXTPARAMS, *LPVEKCONTEXTPARAMS;

typedef struct tagVEKSPRITE {           /* one 64-byte sprite slot (ILP32) */
    DWORD       inUse;
    WORD        stateFlags;
    HSPRITEDATA image;
    LONG        x, y;
    RECT        shown;
    RECT        target;
    SHORT       priority;
    WORD        anchorFlags;
    HSPRITEDATA shownImage;
    LPVEKMATRIX transform;
} VEKSPRITE, *LPVEKSPRITE;

typedef struct tagVEKCONTEXT {          /* sprite context record, fields 1..31 in order */
    HWND        window;
    HBRUSH      backgroundBrush;
    DWORD       backgroundColor;
    HSPRITEDATA backgroundImage;
    LONG        backgroundWidth, backgroundHeight;
    HSPRITEDATA offscreen;
    LONG        offscreenWidth, offscreenHeight;
    LONG        originX, originY;
    WORD        updateFlags;
    LPVEKSPRITE *drawList;
    LPVEKSPRITE spriteSlots;
    DWORD       *sortMarks;
    PALETTEENTRY *paletteEntries;
    LONG        maxSprites;
    LONG        spriteCount;
    WORD        options;
    HPALETTE    palette;
    HGLOBAL     contextMemory;
    HGLOBAL     spriteMemory;
    LPVEKTILE   tileMap;
    HSPRITEDATA *imageTable;
    LONG        worldWidth, worldHeight;
    LONG        scrollX, scrollY;
    LONG        wrapX, wrapY;
    DWORD       redrawSuppressed;
} VEKCONTEXT, *LPVEKCONTEXT;

typedef struct tagVEKCOMPOSITEENTRY {   /* one entry of a composite entry list */
    HSPRITEDATA image;
    LONG        left, top, right, bottom;
} VEKCOMPOSITEENTRY;

typedef struct tagVEKCOMPOSITELIST {    /* argument of vekBuildCompositeSprite */
    SHORT       count;
    SHORT       unused;
    VEKCOMPOSITEENTRY entries[1];       /* count entries */
} VEKCOMPOSITELIST, *LPVEKCOMPOSITELIST;

/* Sprite image record kinds and flags. */
#define VEK_TYPE_DD                 0xFEF0
#define VEK_TYPE_COMPOSITE          0xFEF1
#define VEK_IMAGE_MIRRORABLE        0x0001
#define VEK_IMAGE_MIRRORED          0x0002

/* Sprite anchor flags. */
#define VEK_ANCHOR_LEFT             0x0001
#define VEK_ANCHOR_HCENTER          0x0002
#define VEK_ANCHOR_VCENTER          0x2000
#define VEK_ANCHOR_TOP              0x4000
#define VEK_ANCHOR_MIRROR           0x8000

/* Sprite state flags. */
#define VEK_SPRITE_CHANGED          0x0002
#define VEK_SPRITE_DELETED          0x0004

/* Context update flags. */
#define VEK_UPDATE_BACKGROUND       0x0001
#define VEK_UPDATE_REPAINT          0x0002
#define VEK_UPDATE_SCROLLED         0x0004
#define VEK_UPDATE_SORT             0x0008

/* Context options. */
#define VEK_OPTION_DD_OFFSCREEN     0x0001
#define VEK_OPTION_TILEMAP          0x0002
#define VEK_OPTION_FULL_RENDER      0x0004

/* Collision tests. */
#define VEK_COLLIDE_RECT            0x0001
#define VEK_COLLIDE_ANY_PRIORITY    0x0002

#define VEK_TRANSFORM_KEEP          0xFFFFFFFF

/* Results of the cel makers. */
#define VEK_CEL_BAD_FORMAT          (-1)
#define VEK_CEL_NO_MEMORY           (-2)
#define VEK_CEL_NO_FILE             (-3)

/* Object file flags and storage methods. */
#define STORE_WITH_HEADER           0x80000000
#define STORE_RAW                   0
#define STORE_LZSS                  1
#define STORE_RESERVED_2            2
#define STORE_PACKED_SOUND          4
#define STORE_IMAGE_BITS            8
#define STORE_IMAGE_4BIT            16
#define STORE_IMAGE_BITS_FLAGS      32

/* Layout checks: on 32-bit targets every record is byte-exact. */
#if defined(__cplusplus)
#define VEK_STATIC_ASSERT(e, m) static_assert(e, m)
#else
#define VEK_STATIC_ASSERT(e, m) _Static_assert(e, m)
#endif
#define VEK_CHECK_OFFSET(type, field, at) \
    VEK_STATIC_ASSERT(offsetof(type, field) == (at), #type "." #field " at byte " #at)

VEK_STATIC_ASSERT(sizeof(VEKMATRIX) == 32, "VEKMATRIX is 32 bytes");
VEK_STATIC_ASSERT(sizeof(VEKTILE) == 12, "VEKTILE is 12 bytes");
VEK_STATIC_ASSERT(sizeof(VEKTILEMAPHEADER) == 12, "VEKTILEMAPHEADER is 12 bytes");
VEK_CHECK_OFFSET(VEKTILE, image, 10);
VEK_CHECK_OFFSET(VEKTILEMAPHEADER, skipCount, 4);

#if defined(__SIZEOF_POINTER__) && __SIZEOF_POINTER__ == 4 || defined(_WIN32) && !defined(_WIN64)
VEK_CHECK_OFFSET(VEKCONTEXTPARAMS, window, 0);
VEK_CHECK_OFFSET(VEKCONTEXTPARAMS, dc, 4);
VEK_CHECK_OFFSET(VEKCONTEXTPARAMS, backgroundColor, 8);
VEK_CHECK_OFFSET(VEKCONTEXTPARAMS, backgroundImage, 12);
VEK_CHECK_OFFSET(VEKCONTEXTPARAMS, backgroundWidth, 16);
VEK_CHECK_OFFSET(VEKCONTEXTPARAMS, backgroundHeight, 20);
VEK_CHECK_OFFSET(VEKCONTEXTPARAMS, offscreenWidth, 24);
VEK_CHECK_OFFSET(VEKCONTEXTPARAMS, offscreenHeight, 28);
VEK_CHECK_OFFSET(VEKCONTEXTPARAMS, originX, 32);
VEK_CHECK_OFFSET(VEKCONTEXTPARAMS, originY, 36);
VEK_CHECK_OFFSET(VEKCONTEXTPARAMS, paletteEntries, 40);
VEK_CHECK_OFFSET(VEKCONTEXTPARAMS, maxSprites, 44);
VEK_CHECK_OFFSET(VEKCONTEXTPARAMS, options, 48);
VEK_CHECK_OFFSET(VEKCONTEXTPARAMS, reserved, 50);
VEK_CHECK_OFFSET(VEKCONTEXTPARAMS, palette, 52);
VEK_CHECK_OFFSET(VEKCONTEXTPARAMS, tileMap, 56);
VEK_CHECK_OFFSET(VEKCONTEXTPARAMS, imageTable, 60);
VEK_CHECK_OFFSET(VEKCONTEXTPARAMS, worldWidth, 64);
VEK_CHECK_OFFSET(VEKCONTEXTPARAMS, worldHeight, 68);
VEK_STATIC_ASSERT(sizeof(VEKCONTEXTPARAMS) == 72, "VEKCONTEXTPARAMS is 72 bytes");

VEK_CHECK_OFFSET(VEKSPRITE, inUse, 0);
VEK_CHECK_OFFSET(VEKSPRITE, stateFlags, 4);
VEK_CHECK_OFFSET(VEKSPRITE, image, 8);
VEK_CHECK_OFFSET(VEKSPRITE, x, 12);
VEK_CHECK_OFFSET(VEKSPRITE, y, 16);
VEK_CHECK_OFFSET(VEKSPRITE, shown, 20);
VEK_CHECK_OFFSET(VEKSPRITE, target, 36);
VEK_CHECK_OFFSET(VEKSPRITE, priority, 52);
VEK_CHECK_OFFSET(VEKSPRITE, anchorFlags, 54);
VEK_CHECK_OFFSET(VEKSPRITE, shownImage, 56);
VEK_CHECK_OFFSET(VEKSPRITE, transform, 60);
VEK_STATIC_ASSERT(sizeof(VEKSPRITE) == 64, "VEKSPRITE is 64 bytes");

/* Fields 1..31 of the context record, each 32 bits wide on ILP32. */
VEK_CHECK_OFFSET(VEKCONTEXT, window, 0);
VEK_CHECK_OFFSET(VEKCONTEXT, offscreen, 24);
VEK_CHECK_OFFSET(VEKCONTEXT, updateFlags, 44);
VEK_CHECK_OFFSET(VEKCONTEXT, drawList, 48);
VEK_CHECK_OFFSET(VEKCONTEXT, maxSprites, 64);
VEK_CHECK_OFFSET(VEKCONTEXT, options, 72);
VEK_CHECK_OFFSET(VEKCONTEXT, palette, 76);
VEK_CHECK_OFFSET(VEKCONTEXT, tileMap, 88);
VEK_CHECK_OFFSET(VEKCONTEXT, redrawSuppressed, 120);
VEK_STATIC_ASSERT(sizeof(VEKCONTEXT) == 124, "VEKCONTEXT holds 31 fields of 4 bytes");

VEK_CHECK_OFFSET(VEKCOMPOSITELIST, count, 0);
VEK_CHECK_OFFSET(VEKCOMPOSITELIST, entries, 4);
VEK_STATIC_ASSERT(sizeof(VEKCOMPOSITEENTRY) == 20, "composite entries are 20 bytes");
VEK_CHECK_OFFSET(VEKCOMPOSITEENTRY, left, 4);
VEK_CHECK_OFFSET(VEKCOMPOSITEENTRY, bottom, 16);
#endif

#endif

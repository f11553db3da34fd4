// GDI objects and the state that holds them.
//
// Every object (DC, bitmap, brush, pen, palette) lives in one handle table;
// its handle is the table's small integer. All GDI state is guarded by one
// lock: each exported function takes it on entry (Lock), and the internal
// functions below expect it held and never call exported functions.
//
// Ownership follows Win32: a DC counts the objects selected into it; deleting
// a selected object only marks it, and it goes when the last DC lets it go.
// Stock objects are never deleted.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "debug/channel.h"
#include "shared/handle_table.h"
#include "shared/state_lock.h"
#include "gdi/surface.h"

namespace vek::gdi {

enum class ObjType : uint8_t { DC = OBJ_DC, Bitmap = OBJ_BITMAP, Brush = OBJ_BRUSH, Pen = OBJ_PEN, Palette = OBJ_PAL };

struct Object {
    explicit Object(ObjType t) : type(t) {}
    virtual ~Object() = default;
    const ObjType type;
    bool stock = false;          // made by the platform; DeleteObject leaves it
    int selections = 0;          // DCs that have it selected
    bool deletePending = false;  // deleted while selected: goes when deselected
};

struct Brush : Object {
    static constexpr ObjType kType = ObjType::Brush;
    Brush() : Object(kType) {}
    UINT style = BS_SOLID;
    COLORREF color = 0;
};

struct Pen : Object {
    static constexpr ObjType kType = ObjType::Pen;
    Pen() : Object(kType) {}
    UINT style = PS_SOLID;
    int width = 0;
    COLORREF color = 0;
};

struct Palette : Object {
    static constexpr ObjType kType = ObjType::Palette;
    Palette() : Object(kType) {}
    std::vector<PALETTEENTRY> entries;
    std::vector<BYTE> mapping;  // system palette index of each entry, once realised
    bool realized = false;
    uint64_t mappingStamp = 0;  // new for every realisation: names the mapping it made
};

struct Bitmap : Object {
    static constexpr ObjType kType = ObjType::Bitmap;
    Bitmap() : Object(kType) {}
    std::shared_ptr<Surface> surface;
    bool dibSection = false;
    BITMAPINFOHEADER header{};  // DIB sections: the header they were made from
    uint32_t selectedInto = 0;  // the memory DC holding it, 0 when none
};

enum class DCKind { Memory, Window, Screen };

struct DC : Object {
    static constexpr ObjType kType = ObjType::DC;
    DC() : Object(kType) {}
    DCKind kind = DCKind::Memory;
    uintptr_t window = 0;              // window DCs: the HWND they draw into
    std::shared_ptr<Surface> surface;  // where drawing goes
    uint32_t bitmap = 0;               // memory DCs: the selected bitmap
    uint32_t brush = 0;
    uint32_t pen = 0;
    uint32_t palette = 0;
    const Palette *selectedPalette = nullptr;  // the object of `palette`, alive while selected
    COLORREF bkColor = RGB(255, 255, 255);
    COLORREF textColor = RGB(0, 0, 0);
    POINT brushOrigin{0, 0};
    int stretchMode = BLACKONWHITE;
};

// The display: its mode and, on a palette display, the system palette.
struct Display {
    int width = 640;
    int height = 480;
    int bitsPerPixel = 8;                   // as GetDeviceCaps reports it: 16 for 5-5-5 too
    const PixelFormat *format = &kFormat8;  // of its surfaces
    PALETTEENTRY system[256]{};  // colours; peFlags holds the kSys* flags below
    uint32_t foreground = 0;     // palette last selected for foreground use
    uint32_t lastRealized = 0;   // palette whose realisation is current
    bool lastForeground = false; // and whether it was realised for the foreground
};

// Flags of system palette entries.
constexpr BYTE kSysUsed = 0x01;      // holds a colour that logical palettes may map to
constexpr BYTE kSysReserved = 0x02;  // taken by a PC_RESERVED entry: never shared

constexpr int kStockObjects = DEFAULT_PALETTE + 1;

struct State {
    std::mutex lock;
    HandleTable<Object> objects;
    std::array<uint32_t, kStockObjects> stock{};  // handle of each stock object, 0 for none
    uint32_t defaultBitmap = 0;                   // the 1 x 1 monochrome bitmap of fresh memory DCs
    Display display;
    std::shared_ptr<Surface> screen;  // pixels of the screen DC
    int windowSurfaces = 0;           // window surfaces alive
    uint64_t lastMappingStamp = 0;    // the last stamp given to a palette mapping
};

// The GDI state, made with its stock objects on first use.
State &state();

using Lock = StateLock<State, state>;

// Handle value of a Win32 handle; values that cannot be ours become 0.
inline uint32_t handleValue(const void *h)
{
    auto v = reinterpret_cast<uintptr_t>(h);
    return v > 0xFFFFFFFFu ? 0 : static_cast<uint32_t>(v);
}

template <class H>
H toHandle(uint32_t value)
{
    return reinterpret_cast<H>(static_cast<uintptr_t>(value));
}

// The object of a handle if it has type T, else null.
template <class T>
T *find(const void *h)
{
    Object *o = state().objects.get(handleValue(h));
    return o && o->type == T::kType ? static_cast<T *>(o) : nullptr;
}

template <class T>
T *findValue(uint32_t value)
{
    Object *o = state().objects.get(value);
    return o && o->type == T::kType ? static_cast<T *>(o) : nullptr;
}

// Adds an object to the table; 0 (with ERROR_NOT_ENOUGH_MEMORY set) when full.
uint32_t addObject(std::unique_ptr<Object> obj);

// Selection bookkeeping of DCs: select counts a DC's use of an object,
// release ends it and carries out a deletion that was put off.
void retain(uint32_t handle);
void release(uint32_t handle);

// Deletes an object that no DC holds.
void destroyObject(uint32_t handle);

// The palette selected in a DC (the default palette until another is).
inline const Palette &dcPalette(const DC &dc) { return *dc.selectedPalette; }

// Sets the last error, reports the failure on the gdi trace channel and
// returns v: failure results read as `return fail(ERROR_X, nullptr);`.
template <class T>
T fail(DWORD error, T v, const char *reason = nullptr,
       debug::CallSite where = debug::CallSite::here())
{
    return debug::fail(debug::Channel::gdi, error, v, reason, where);
}

}  // namespace vek::gdi

// GDI object lifetime: the handle table, stock objects, selection counts,
// deletion, and the calls that work on any object.
#include "gdi/objects.h"

#include <algorithm>
#include <cstring>

#include "gdi/display.h"

namespace vek::gdi {
namespace {

uint32_t addStock(State &st, std::unique_ptr<Object> obj)
{
    obj->stock = true;
    return st.objects.add(std::move(obj));
}

uint32_t stockBrush(State &st, UINT style, COLORREF color)
{
    auto b = std::make_unique<Brush>();
    b->style = style;
    b->color = color;
    return addStock(st, std::move(b));
}

uint32_t stockPen(State &st, UINT style, COLORREF color)
{
    auto p = std::make_unique<Pen>();
    p->style = style;
    p->color = color;
    return addStock(st, std::move(p));
}

State *makeState()
{
    auto *st = new State;
    resetSystemPalette(st->display);
    st->stock[WHITE_BRUSH] = stockBrush(*st, BS_SOLID, RGB(255, 255, 255));
    st->stock[LTGRAY_BRUSH] = stockBrush(*st, BS_SOLID, RGB(192, 192, 192));
    st->stock[GRAY_BRUSH] = stockBrush(*st, BS_SOLID, RGB(128, 128, 128));
    st->stock[DKGRAY_BRUSH] = stockBrush(*st, BS_SOLID, RGB(64, 64, 64));
    st->stock[BLACK_BRUSH] = stockBrush(*st, BS_SOLID, RGB(0, 0, 0));
    st->stock[NULL_BRUSH] = stockBrush(*st, BS_NULL, 0);
    st->stock[WHITE_PEN] = stockPen(*st, PS_SOLID, RGB(255, 255, 255));
    st->stock[BLACK_PEN] = stockPen(*st, PS_SOLID, RGB(0, 0, 0));
    st->stock[NULL_PEN] = stockPen(*st, PS_NULL, 0);

    // The default palette: the static colours, always mapped to their entries.
    auto pal = std::make_unique<Palette>();
    pal->entries.assign(kStaticColors, kStaticColors + 20);
    for (int i = 0; i < 20; i++) pal->mapping.push_back(static_cast<BYTE>(staticEntry(i)));
    pal->realized = true;
    pal->mappingStamp = ++st->lastMappingStamp;
    st->stock[DEFAULT_PALETTE] = addStock(*st, std::move(pal));

    auto bmp = std::make_unique<Bitmap>();
    bmp->surface = makeDdb(1, 1, kFormat1, ColorKind::Mono);
    st->defaultBitmap = addStock(*st, std::move(bmp));
    return st;
}

}  // namespace

State &state()
{
    static State *st = makeState();  // never destroyed: objects may outlive statics
    return *st;
}

uint32_t addObject(std::unique_ptr<Object> obj)
{
    uint32_t h = state().objects.add(std::move(obj));
    if (!h) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return h;
}

void retain(uint32_t handle)
{
    if (Object *o = state().objects.get(handle)) o->selections++;
}

void release(uint32_t handle)
{
    Object *o = state().objects.get(handle);
    if (!o) return;
    if (--o->selections == 0 && o->deletePending) destroyObject(handle);
}

void destroyObject(uint32_t handle)
{
    State &st = state();
    if (st.display.foreground == handle) st.display.foreground = 0;
    if (st.display.lastRealized == handle) st.display.lastRealized = 0;
    st.objects.remove(handle);
}

}  // namespace vek::gdi

using namespace vek::gdi;

HGDIOBJ WINAPI GetStockObject(int index)
{
    Lock lock;
    if (index < 0 || index >= kStockObjects) return nullptr;
    return toHandle<HGDIOBJ>(state().stock[static_cast<size_t>(index)]);
}

BOOL WINAPI DeleteObject(HGDIOBJ object)
{
    Lock lock;
    Object *o = state().objects.get(handleValue(object));
    if (!o || o->type == ObjType::DC) return FALSE;
    if (o->stock) return TRUE;
    if (o->selections > 0) {
        o->deletePending = true;
        return TRUE;
    }
    destroyObject(handleValue(object));
    return TRUE;
}

DWORD WINAPI GetObjectType(HGDIOBJ object)
{
    Lock lock;
    Object *o = state().objects.get(handleValue(object));
    if (!o) return 0;
    if (o->type == ObjType::DC && static_cast<DC *>(o)->kind == DCKind::Memory) return OBJ_MEMDC;
    return static_cast<DWORD>(o->type);
}

namespace {

// Copies up to size bytes of a fixed-size description; the Win32 rule for
// brushes, pens and palettes.
int copyOut(const void *what, size_t whatSize, int size, void *buffer)
{
    if (!buffer) return static_cast<int>(whatSize);
    size_t n = std::min(whatSize, static_cast<size_t>(std::max(size, 0)));
    std::memcpy(buffer, what, n);
    return static_cast<int>(n);
}

BITMAP describe(const Bitmap &b)
{
    const Surface &s = *b.surface;
    BITMAP bm{};
    bm.bmWidth = s.width;
    bm.bmHeight = s.height;
    bm.bmWidthBytes = static_cast<LONG>(s.stride);
    bm.bmPlanes = 1;
    bm.bmBitsPixel = static_cast<WORD>(s.bitsPerPixel());
    // Only a DIB section's memory is the caller's to see: bmBits stays null
    // for device-dependent bitmaps, as on Windows.
    bm.bmBits = b.dibSection ? const_cast<BYTE *>(s.storage.data()) : nullptr;
    return bm;
}

}  // namespace

int WINAPI GetObjectA(HANDLE object, int size, LPVOID buffer)
{
    Lock lock;
    Object *o = state().objects.get(handleValue(object));
    if (!o) return 0;
    switch (o->type) {
    case ObjType::Bitmap: {
        const auto &b = static_cast<const Bitmap &>(*o);
        if (!buffer) return sizeof(BITMAP);
        if (b.dibSection && size >= static_cast<int>(sizeof(DIBSECTION))) {
            DIBSECTION ds{};
            ds.dsBm = describe(b);
            ds.dsBmih = b.header;
            std::memcpy(buffer, &ds, sizeof ds);
            return sizeof(DIBSECTION);
        }
        if (size < static_cast<int>(sizeof(BITMAP))) return 0;
        BITMAP bm = describe(b);
        std::memcpy(buffer, &bm, sizeof bm);
        return sizeof(BITMAP);
    }
    case ObjType::Brush: {
        const auto &b = static_cast<const Brush &>(*o);
        LOGBRUSH lb{b.style, b.color, 0};
        return copyOut(&lb, sizeof lb, size, buffer);
    }
    case ObjType::Pen: {
        const auto &p = static_cast<const Pen &>(*o);
        LOGPEN lp{p.style, POINT{p.width, 0}, p.color};
        return copyOut(&lp, sizeof lp, size, buffer);
    }
    case ObjType::Palette: {
        auto count = static_cast<WORD>(static_cast<const Palette &>(*o).entries.size());
        return copyOut(&count, sizeof count, size, buffer);
    }
    case ObjType::DC: break;
    }
    return 0;
}

BOOL WINAPI UnrealizeObject(HGDIOBJ object)
{
    Lock lock;
    uint32_t h = handleValue(object);
    Object *o = state().objects.get(h);
    if (!o) return FALSE;
    // A solid brush has no pattern to realign and other objects have nothing
    // to forget; a palette drops its mapping so that its next realisation
    // maps every entry again.
    if (o->type == ObjType::Palette && !o->stock) {
        static_cast<Palette *>(o)->realized = false;
        if (state().display.lastRealized == h) state().display.lastRealized = 0;
    }
    return TRUE;
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color)
{
    Lock lock;
    auto b = std::make_unique<Brush>();
    b->color = color;
    return toHandle<HBRUSH>(addObject(std::move(b)));
}

HPEN WINAPI CreatePen(int style, int width, COLORREF color)
{
    Lock lock;
    auto p = std::make_unique<Pen>();
    // Styles we do not know draw solid, as on Windows.
    p->style = style >= PS_SOLID && style <= PS_INSIDEFRAME ? static_cast<UINT>(style) : PS_SOLID;
    p->width = width;
    p->color = color;
    return toHandle<HPEN>(addObject(std::move(p)));
}

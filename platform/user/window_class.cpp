// Window classes: RegisterClassA, UnregisterClassA, GetClassInfoA.
//
// Class names compare without regard to case. A class is named by its
// string or by the atom RegisterClassA returned (MAKEINTATOM). Classes are
// shared by all modules of the process: the instance handle is kept for
// GetClassInfoA but does not tell classes apart.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "user/user_state.h"

namespace vek::user {

std::shared_ptr<WindowClass> findClass(LPCSTR name)
{
    if (!name) return nullptr;
    for (const auto &c : state().classes) {
        if (IS_INTRESOURCE(name) ? c->atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name))
                                 : sameName(c->name, name))
            return c;
    }
    return nullptr;
}

}  // namespace vek::user

using namespace vek::user;

ATOM WINAPI RegisterClassA(const WNDCLASSA *wndClass)
{
    VEKHOST_CALL(Channel::user, wndClass);
    Lock lock;
    if (!wndClass || !wndClass->lpszClassName || IS_INTRESOURCE(wndClass->lpszClassName) ||
        !wndClass->lpszClassName[0] || wndClass->cbClsExtra < 0 || wndClass->cbWndExtra < 0 ||
        wndClass->cbWndExtra > 0x10000)
        return fail(ERROR_INVALID_PARAMETER, ATOM{0});
    if (findClass(wndClass->lpszClassName)) return fail(ERROR_CLASS_ALREADY_EXISTS, ATOM{0});
    State &st = state();
    if (st.nextAtom == 0) return fail(ERROR_NOT_ENOUGH_MEMORY, ATOM{0});  // all string atoms used
    auto c = std::make_shared<WindowClass>();
    c->name = wndClass->lpszClassName;
    c->atom = st.nextAtom++;
    c->info = *wndClass;
    c->extra.assign(static_cast<size_t>(std::min(wndClass->cbClsExtra, 0x10000)), 0);
    if (wndClass->lpszMenuName && !IS_INTRESOURCE(wndClass->lpszMenuName)) {
        c->menuName = wndClass->lpszMenuName;
        c->info.lpszMenuName = c->menuName.c_str();
    }
    c->info.lpszClassName = c->name.c_str();
    st.classes.push_back(c);
    return c->atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE)
{
    VEKHOST_CALL(Channel::user, className);
    Lock lock;
    auto c = findClass(className);
    if (!c) return fail(ERROR_CLASS_DOES_NOT_EXIST, FALSE);
    if (c->windows > 0) return fail(ERROR_CLASS_HAS_WINDOWS, FALSE);
    auto &classes = state().classes;
    classes.erase(std::find(classes.begin(), classes.end(), c));
    return TRUE;
}

BOOL WINAPI GetClassInfoA(HINSTANCE, LPCSTR className, LPWNDCLASSA wndClass)
{
    VEKHOST_CALL(Channel::user, className, wndClass);
    Lock lock;
    auto c = findClass(className);
    if (!c) return fail(ERROR_CLASS_DOES_NOT_EXIST, FALSE);
    if (!wndClass) return fail(ERROR_INVALID_PARAMETER, FALSE);
    *wndClass = c->info;
    return c->atom;
}

// Class data: negative indices name the class's own fields, indices from 0
// up its extra bytes (cbClsExtra), which must hold the whole value.
namespace {

BYTE *classExtra(WindowClass &c, int index, size_t size)
{
    if (index < 0 || static_cast<size_t>(index) + size > c.extra.size()) return nullptr;
    return c.extra.data() + index;
}

// Reads (and, when value is given, replaces) one class value; the old value.
ULONG_PTR classValue(HWND window, int index, const LONG_PTR *value)
{
    Lock lock;
    Window *w = findWindow(window);
    if (!w) return fail(ERROR_INVALID_WINDOW_HANDLE, ULONG_PTR{0}, "no such window");
    WNDCLASSA &info = w->cls->info;
    auto swap = [&](auto &field) {
        using F = std::remove_reference_t<decltype(field)>;
        const auto old = reinterpret_cast<ULONG_PTR>(field);
        if (value) field = reinterpret_cast<F>(*value);
        return old;
    };
    switch (index) {
    case GCLP_HBRBACKGROUND: return swap(info.hbrBackground);
    case GCLP_HCURSOR: return swap(info.hCursor);
    case GCLP_HICON: return swap(info.hIcon);
    case GCLP_HMODULE: return swap(info.hInstance);
    case GCLP_WNDPROC: return swap(info.lpfnWndProc);
    case GCL_STYLE: {
        const ULONG_PTR old = info.style;
        if (value) info.style = static_cast<UINT>(*value);
        return old;
    }
    case GCL_CBWNDEXTRA: return static_cast<ULONG_PTR>(info.cbWndExtra);
    case GCL_CBCLSEXTRA: return static_cast<ULONG_PTR>(info.cbClsExtra);
    case GCW_ATOM: return w->cls->atom;
    default: break;
    }
    BYTE *at = classExtra(*w->cls, index, sizeof(LONG_PTR));
    if (!at) return fail(ERROR_INVALID_INDEX, ULONG_PTR{0});
    LONG_PTR old;
    std::memcpy(&old, at, sizeof old);
    if (value) std::memcpy(at, value, sizeof *value);
    return static_cast<ULONG_PTR>(old);
}

}  // namespace

ULONG_PTR WINAPI GetClassLongPtrA(HWND window, int index)
{
    return classValue(window, index, nullptr);
}

ULONG_PTR WINAPI SetClassLongPtrA(HWND window, int index, LONG_PTR value)
{
    return classValue(window, index, &value);
}

DWORD WINAPI GetClassLongA(HWND window, int index)
{
    return static_cast<DWORD>(classValue(window, index, nullptr));
}

DWORD WINAPI SetClassLongA(HWND window, int index, LONG value)
{
    const LONG_PTR wide = value;
    return static_cast<DWORD>(classValue(window, index, &wide));
}

// Word values: extra bytes, or (as Windows keeps for old programs) the
// class fields through their negative indices.
namespace {

WORD wordValue(HWND window, int index, const WORD *value)
{
    if (index < 0) {
        const LONG_PTR wide = value ? *value : 0;
        return static_cast<WORD>(classValue(window, index, value ? &wide : nullptr));
    }
    Lock lock;
    Window *w = findWindow(window);
    if (!w) return fail(ERROR_INVALID_WINDOW_HANDLE, WORD{0}, "no such window");
    BYTE *at = classExtra(*w->cls, index, sizeof(WORD));
    if (!at) return fail(ERROR_INVALID_INDEX, WORD{0});
    WORD old;
    std::memcpy(&old, at, sizeof old);
    if (value) std::memcpy(at, value, sizeof *value);
    return old;
}

}  // namespace

WORD WINAPI GetClassWord(HWND window, int index)
{
    return wordValue(window, index, nullptr);
}

WORD WINAPI SetClassWord(HWND window, int index, WORD value)
{
    return wordValue(window, index, &value);
}

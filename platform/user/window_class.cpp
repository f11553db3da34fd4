// Window classes: RegisterClassA, UnregisterClassA, GetClassInfoA.
//
// Class names compare without regard to case. A class is named by its
// string or by the atom RegisterClassA returned (MAKEINTATOM). Classes are
// shared by all modules of the process: the instance handle is kept for
// GetClassInfoA but does not tell classes apart.
#include <windows.h>

#include <algorithm>

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
    Lock lock;
    auto c = findClass(className);
    if (!c) return fail(ERROR_CLASS_DOES_NOT_EXIST, FALSE);
    if (!wndClass) return fail(ERROR_INVALID_PARAMETER, FALSE);
    *wndClass = c->info;
    return c->atom;
}

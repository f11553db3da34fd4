// The user-interface hooks and their defaults.
#include "user/ui_hooks.h"

#include <cstdio>
#include <mutex>

namespace {

int defaultMessageBox(HWND, LPCSTR text, LPCSTR caption, UINT)
{
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "Error", text ? text : "");
    return IDOK;
}

void defaultBeep(UINT) {}

const VEKHOSTUI kDefaults = {defaultMessageBox, defaultBeep, vek::host::desktopFileDialog};

struct Hooks {
    std::mutex lock;
    VEKHOSTUI ui = kDefaults;
};

Hooks &hooks()
{
    static Hooks *h = new Hooks;
    return *h;
}

}  // namespace

void vekhostSetUI(const VEKHOSTUI *ui)
{
    Hooks &h = hooks();
    std::lock_guard guard(h.lock);
    h.ui.messageBox = ui && ui->messageBox ? ui->messageBox : kDefaults.messageBox;
    h.ui.beep = ui && ui->beep ? ui->beep : kDefaults.beep;
    h.ui.fileDialog = ui && ui->fileDialog ? ui->fileDialog : kDefaults.fileDialog;
}

namespace vek::host {

VEKHOSTUI currentUI()
{
    Hooks &h = hooks();
    std::lock_guard guard(h.lock);
    return h.ui;
}

}  // namespace vek::host

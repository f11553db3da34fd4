// vekhostSaveWindowImage: a window's client pixels as a PNG file.
#include <vekhost.h>

#ifdef VEKHOST_PNG
#include <png.h>
#endif

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

#include "gdi/user_services.h"
#include "user/nothing_shown.h"
#include "user/user_state.h"

using namespace vek::user;

namespace {

#ifdef VEKHOST_PNG
DWORD errorOfErrno(int e)
{
    switch (e) {
    case ENOENT:
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return ERROR_ACCESS_DENIED;
    default: return ERROR_INVALID_FUNCTION;
    }
}

// Writes 8-bit RGB rows; false when libpng or the file fails.
bool writePng(FILE *file, int width, int height, const std::vector<BYTE> &rgb)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    // libpng reports errors by longjmp; nothing here needs unwinding.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; y++)
        png_write_row(png, rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(width) * 3);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}
#endif

}  // namespace

BOOL WINAPI vekhostSaveWindowImage(HWND window, LPCSTR pngFile)
{
    noteLastLook(window, "when its picture was saved");
    std::shared_ptr<vek::gdi::Surface> surface;
    {
        Lock lock;
        Window *w = findWindow(window);
        if (!w) return fail(ERROR_INVALID_WINDOW_HANDLE, FALSE, "no such window");
        surface = w->surface;
    }
    if (!pngFile || !pngFile[0]) return fail(ERROR_INVALID_PARAMETER, FALSE);
#ifndef VEKHOST_PNG
    // Built without libpng (the 32-bit Linux build on a host without the
    // i386 libpng): no image can be written.
    return fail(ERROR_NOT_SUPPORTED, FALSE);
#else
    // PNG images have at least one pixel: an empty client area cannot be written.
    int width, height;
    const std::vector<BYTE> rgb = vek::gdi::surfaceRgb(*surface, width, height);
    if (rgb.empty()) return fail(ERROR_INVALID_PARAMETER, FALSE);
    FILE *file = std::fopen(pngFile, "wb");
    if (!file) return fail(errorOfErrno(errno), FALSE);
    const bool written = writePng(file, width, height, rgb);
    if (std::fclose(file) != 0 || !written) {
        std::remove(pngFile);
        return fail(ERROR_WRITE_FAULT, FALSE);
    }
    return TRUE;
#endif
}

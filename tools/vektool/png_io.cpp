#include "png_io.h"

#include "failure.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace vektool {
namespace {

// libpng reports errors by longjmp. The functions that call it keep only
// plain locals: everything with a destructor lives in their callers.
struct PngState {
    const uint8_t *data = nullptr;
    size_t size = 0, position = 0;
    char message[256] = "";
    char warning[128] = "";  // the last warning, often the reason behind an error
};

extern "C" void onPngError(png_structp png, png_const_charp message)
{
    auto *state = static_cast<PngState *>(png_get_error_ptr(png));
    if (state->warning[0])
        std::snprintf(state->message, sizeof state->message, "%s (%s)", message, state->warning);
    else
        std::snprintf(state->message, sizeof state->message, "%s", message);
    png_longjmp(png, 1);
}

extern "C" void onPngWarning(png_structp png, png_const_charp message)
{
    auto *state = static_cast<PngState *>(png_get_error_ptr(png));
    std::snprintf(state->warning, sizeof state->warning, "%s", message);
}

extern "C" void readFromMemory(png_structp png, png_bytep out, size_t count)
{
    auto *state = static_cast<PngState *>(png_get_io_ptr(png));
    if (count > state->size - state->position) png_error(png, "the file ends early");
    std::memcpy(out, state->data + state->position, count);
    state->position += count;
}

// Reads the header into header and, unless picture is null, the pixels into
// picture, whose rows are reached through rows. False with state.message
// set for a damaged file.
bool decode(PngState &state, PngHeader &header, Picture *picture, std::vector<png_bytep> &rows)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, onPngError, onPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        std::snprintf(state.message, sizeof state.message, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &state, readFromMemory);
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_read_info(png, info);
    header.width = png_get_image_width(png, info);
    header.height = png_get_image_height(png, info);
    header.bitDepth = png_get_bit_depth(png, info);
    header.colourType = png_get_color_type(png, info);
    header.interlace = png_get_interlace_type(png, info);
    header.transparency = png_get_valid(png, info, PNG_INFO_tRNS);
    png_colorp plte = nullptr;
    int entries = 0;
    if (png_get_PLTE(png, info, &plte, &entries)) header.paletteSize = entries;
    if (picture) {
        if (uint64_t{header.width} * header.height > kMaxPixels) png_error(png, "more than 2^26 pixels");
        picture->width = static_cast<int>(header.width);
        picture->height = static_cast<int>(header.height);
        picture->indexed = header.colourType == PNG_COLOR_TYPE_PALETTE;
        picture->paletteAlpha.fill(255);
        if (picture->indexed) {
            for (int i = 0; i < entries && i < 256; i++) picture->palette[i] = Rgb{plte[i].red, plte[i].green, plte[i].blue};
            png_bytep alpha = nullptr;
            int alphas = 0;
            if (png_get_tRNS(png, info, &alpha, &alphas, nullptr))
                for (int i = 0; i < alphas && i < 256; i++) picture->paletteAlpha[i] = alpha[i];
            png_set_packing(png);
        } else {
            png_set_strip_16(png);
            png_set_expand(png);
            png_set_gray_to_rgb(png);
            png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
        }
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        const size_t rowBytes = picture->indexed ? header.width : 4 * size_t{header.width};
        if (png_get_rowbytes(png, info) != rowBytes) png_error(png, "unexpected row length");
        picture->pixels.resize(rowBytes * header.height);
        rows.resize(header.height);
        for (uint32_t y = 0; y < header.height; y++) rows[y] = picture->pixels.data() + y * rowBytes;
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

Picture readWhole(const std::vector<uint8_t> &bytes, const std::string &shownAs, PngHeader &header, bool pixels)
{
    PngState state;
    state.data = bytes.data();
    state.size = bytes.size();
    Picture picture;
    std::vector<png_bytep> rows;
    if (!decode(state, header, pixels ? &picture : nullptr, rows)) throw Failure(shownAs, state.message);
    return picture;
}

bool encode(PngState &state, std::FILE *file, const Picture &p, std::vector<png_bytep> &rows)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, onPngError, onPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        std::snprintf(state.message, sizeof state.message, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    const auto width = static_cast<png_uint_32>(p.width), height = static_cast<png_uint_32>(p.height);
    png_set_IHDR(png, info, width, height, 8, p.indexed ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (p.indexed) {
        png_color plte[256];
        for (int i = 0; i < 256; i++) plte[i] = png_color{p.palette[i].r, p.palette[i].g, p.palette[i].b};
        png_set_PLTE(png, info, plte, 256);
        // The transparency chunk ends at the last index that is not opaque.
        int alphas = 256;
        while (alphas > 0 && p.paletteAlpha[alphas - 1] == 255) alphas--;
        if (alphas) png_set_tRNS(png, info, const_cast<png_bytep>(p.paletteAlpha.data()), alphas, nullptr);
    }
    png_write_info(png, info);
    const size_t rowBytes = p.indexed ? width : 4 * size_t{width};
    for (png_uint_32 y = 0; y < height; y++) rows[y] = const_cast<png_bytep>(p.pixels.data() + y * rowBytes);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

Picture readPng(const std::vector<uint8_t> &bytes, const std::string &shownAs)
{
    PngHeader header;
    return readWhole(bytes, shownAs, header, true);
}

PngHeader readPngHeader(const std::vector<uint8_t> &bytes, const std::string &shownAs)
{
    PngHeader header;
    readWhole(bytes, shownAs, header, false);
    return header;
}

void writePng(const std::string &path, const std::string &shownAs, const Picture &picture)
{
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file) throw Failure(shownAs, std::strerror(errno));
    PngState state;
    std::vector<png_bytep> rows(static_cast<size_t>(picture.height));
    const bool ok = encode(state, file, picture, rows);
    const bool closed = std::fclose(file) == 0;
    if (!ok) throw Failure(shownAs, state.message);
    if (!closed) throw Failure(shownAs, std::strerror(errno));
}

}  // namespace vektool

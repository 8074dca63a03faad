// Uses libpng's simplified API: it reports errors through the image structure instead of a
// longjmp, so no C++ object has to live across a setjmp.
#include "platform/graphics/codecs/Png.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace kvb::codecs {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Refuses pictures whose pixels alone would take more than 1 GiB; no golden image comes close.
constexpr std::uint64_t kPngMaxPixels = std::uint64_t(1) << 28;

}  // namespace

void SavePngFile(const std::string& fileName, const std::uint32_t* pixels, Integer width, Integer height,
                 Integer stride) {
    if (width <= 0 || height <= 0) throw EInvalidGraphic("Cannot write an empty picture as PNG");
    std::vector<std::uint8_t> rgb(std::size_t(width) * std::size_t(height) * 3);
    for (Integer y = 0; y < height; ++y) {
        const std::uint32_t* src = pixels + std::size_t(y) * std::size_t(stride);
        std::uint8_t* dst = rgb.data() + std::size_t(y) * std::size_t(width) * 3;
        for (Integer x = 0; x < width; ++x) {
            dst[3 * x] = std::uint8_t(src[x] >> 16);
            dst[3 * x + 1] = std::uint8_t(src[x] >> 8);
            dst[3 * x + 2] = std::uint8_t(src[x]);
        }
    }
    File file(std::fopen(fileName.c_str(), "wb"));
    if (!file) throw EFOpenError("Cannot create file \"" + fileName + "\". " + std::strerror(errno));

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGB;
    const bool ok = png_image_write_to_stdio(&image, file.get(), 0, rgb.data(), png_int_32(width) * 3, nullptr) != 0;
    const std::string message = image.message;
    png_image_free(&image);
    const bool closed = std::fclose(file.release()) == 0;
    if (!ok) throw EWriteError("Cannot write PNG file \"" + fileName + "\": " + message);
    if (!closed) throw EWriteError("Cannot write PNG file \"" + fileName + "\"");
}

void LoadPNGFile(TBitmap& bitmap, const std::string& fileName) {
    File file(std::fopen(fileName.c_str(), "rb"));
    if (!file) throw EFOpenError("Cannot open file \"" + fileName + "\". " + std::strerror(errno));

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_stdio(&image, file.get()) == 0) {
        const std::string message = image.message;
        png_image_free(&image);
        throw EInvalidGraphic("Cannot read PNG file \"" + fileName + "\": " + message);
    }
    image.format = PNG_FORMAT_RGB;
    if (std::uint64_t(image.width) * image.height > kPngMaxPixels || image.width > 0x7FFFFFFF / 3) {
        png_image_free(&image);
        throw EInvalidGraphic("PNG file \"" + fileName + "\" is too large");
    }
    std::vector<std::uint8_t> rgb;
    try {
        rgb.resize(PNG_IMAGE_SIZE(image));
    } catch (const std::bad_alloc&) {
        png_image_free(&image);
        throw EOutOfMemory("Out of memory reading PNG file \"" + fileName + "\"");
    }
    if (png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) == 0) {
        const std::string message = image.message;
        png_image_free(&image);
        throw EInvalidGraphic("Cannot read PNG file \"" + fileName + "\": " + message);
    }
    const Integer width = Integer(image.width), height = Integer(image.height);
    png_image_free(&image);

    bitmap.SetSize(width, height);
    for (Integer y = 0; y < height; ++y) {
        const std::uint8_t* src = rgb.data() + std::size_t(y) * std::size_t(width) * 3;
        std::uint32_t* dst = bitmap.ScanLine(y);
        for (Integer x = 0; x < width; ++x)
            dst[x] = 0xFF000000u | std::uint32_t(src[3 * x]) << 16 | std::uint32_t(src[3 * x + 1]) << 8 | src[3 * x + 2];
    }
}

}  // namespace kvb::codecs

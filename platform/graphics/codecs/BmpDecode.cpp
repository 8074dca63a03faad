// The Windows bitmap decoder. Every number in the file is checked before it is used: offsets
// against the file size, dimensions against the pixel data the file can hold, palette indices
// against the palette, run-length codes against the row and the image. The picture is only
// allocated once the file has been shown to be able to fill it.
#include <algorithm>
#include <bit>
#include <climits>
#include <new>
#include <string>

#include "platform/graphics/codecs/Bmp.h"

namespace kvb::codecs {
namespace {

[[noreturn]] void Fail(const char* why) {
    throw EInvalidGraphic(std::string("Bitmap image is not valid: ") + why);
}

class FileBytes {
public:
    explicit FileBytes(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t Size() const noexcept { return bytes_.size(); }
    std::uint8_t U8(std::uint64_t offset) const {
        Need(offset, 1);
        return bytes_[offset];
    }
    std::uint16_t U16(std::uint64_t offset) const {
        Need(offset, 2);
        return std::uint16_t(bytes_[offset] | bytes_[offset + 1] << 8);
    }
    std::uint32_t U32(std::uint64_t offset) const {
        Need(offset, 4);
        return std::uint32_t(bytes_[offset]) | std::uint32_t(bytes_[offset + 1]) << 8 |
               std::uint32_t(bytes_[offset + 2]) << 16 | std::uint32_t(bytes_[offset + 3]) << 24;
    }
    std::int32_t I32(std::uint64_t offset) const { return std::int32_t(U32(offset)); }
    const std::uint8_t* At(std::uint64_t offset) const { return bytes_.data() + offset; }
    void Need(std::uint64_t offset, std::uint64_t count) const {
        if (offset > bytes_.size() || count > bytes_.size() - offset) Fail("the file is truncated");
    }

private:
    std::span<const std::uint8_t> bytes_;
};

// One colour channel of a bit-field pixel, scaled from its own width to 8 bits.
class Channel {
public:
    Channel() = default;
    Channel(std::uint32_t mask, int bitsPerPixel) : mask_(mask) {
        if (mask == 0) return;  // a missing channel reads as 0
        if (bitsPerPixel == 16 && mask > 0xFFFF) Fail("a bit-field mask lies outside the pixel");
        shift_ = std::countr_zero(mask);
        const std::uint64_t shifted = std::uint64_t(mask) >> shift_;
        if ((shifted & (shifted + 1)) != 0) Fail("a bit-field mask is not contiguous");
        max_ = shifted;
        // A division per channel and pixel would dominate decoding; channels of usual widths
        // look their values up instead.
        if (max_ < kTableLimit) {
            table_.resize(max_ + 1);
            for (std::uint64_t v = 0; v <= max_; ++v) table_[v] = std::uint8_t(Divide(v));
        }
    }
    std::uint32_t Scale(std::uint32_t pixel) const noexcept {
        if (max_ == 0) return 0;
        const std::uint64_t v = (pixel & mask_) >> shift_;
        return table_.empty() ? Divide(v) : table_[v];
    }

private:
    static constexpr std::uint64_t kTableLimit = 4096;
    std::uint32_t Divide(std::uint64_t v) const noexcept { return std::uint32_t((v * 255 + max_ / 2) / max_); }
    std::uint32_t mask_ = 0;
    int shift_ = 0;
    std::uint64_t max_ = 0;
    std::vector<std::uint8_t> table_;
};

struct Header {
    std::uint64_t offBits = 0;
    std::uint32_t headerSize = 0;
    std::int64_t width = 0, height = 0;
    bool topDown = false;
    int bitsPerPixel = 0;
    std::uint32_t compression = BI_RGB;
    std::uint32_t clrUsed = 0;
    std::uint32_t masks[3] = {0, 0, 0};
    std::uint64_t tableStart = 0;  // first byte after the headers and the masks
    bool core = false;
};

Header ReadHeader(const FileBytes& f) {
    Header h;
    f.Need(0, 18);
    if (f.U8(0) != 'B' || f.U8(1) != 'M') Fail("the file does not start with \"BM\"");
    h.offBits = f.U32(10);
    h.headerSize = f.U32(14);
    switch (h.headerSize) {
    case 12: case 40: case 52: case 56: case 108: case 124: break;
    default: Fail("unsupported info header size");
    }
    f.Need(14, h.headerSize);
    if (h.headerSize == 12) {
        h.core = true;
        h.width = f.U16(18);
        h.height = f.U16(20);
        h.bitsPerPixel = f.U16(24);
        if (h.bitsPerPixel != 1 && h.bitsPerPixel != 4 && h.bitsPerPixel != 8 && h.bitsPerPixel != 24)
            Fail("unsupported bit count");
        h.tableStart = 14 + 12;
        return h;
    }
    h.width = f.I32(18);
    h.height = f.I32(22);
    h.bitsPerPixel = f.U16(28);
    h.compression = f.U32(30);
    h.clrUsed = f.U32(46);
    if (h.width < 0) Fail("negative width");
    if (h.height < 0) {
        h.topDown = true;
        h.height = -h.height;  // an int64, so INT_MIN is no trap
    }
    h.tableStart = 14 + std::uint64_t(h.headerSize);
    if (h.compression == BI_BITFIELDS) {
        // Info headers of 40 bytes keep the masks after the header; the longer ones inside it.
        const std::uint64_t at = 14 + 40;
        if (h.headerSize == 40) h.tableStart += 12;
        for (int i = 0; i < 3; ++i) h.masks[i] = f.U32(at + 4 * std::uint64_t(i));
    }
    return h;
}

void CheckKind(const Header& h) {
    switch (h.bitsPerPixel) {
    case 1: if (h.compression != BI_RGB) Fail("unsupported compression for 1 bit per pixel"); break;
    case 4:
        if (h.compression != BI_RGB && h.compression != BI_RLE4) Fail("unsupported compression for 4 bits per pixel");
        break;
    case 8:
        if (h.compression != BI_RGB && h.compression != BI_RLE8) Fail("unsupported compression for 8 bits per pixel");
        break;
    case 16: case 32:
        if (h.compression != BI_RGB && h.compression != BI_BITFIELDS) Fail("unsupported compression");
        break;
    case 24: if (h.compression != BI_RGB) Fail("unsupported compression for 24 bits per pixel"); break;
    default: Fail("unsupported bit count");
    }
    if (h.topDown && (h.compression == BI_RLE4 || h.compression == BI_RLE8))
        Fail("a run-length encoded bitmap cannot be top-down");
    if (h.compression == BI_BITFIELDS)
        for (std::uint32_t mask : h.masks) (void)Channel(mask, h.bitsPerPixel);  // refuses unusable masks early
    if (h.width > kBmpMaxDimension || h.height > kBmpMaxDimension) Fail("the dimensions are too large");
    if (std::uint64_t(h.width) * std::uint64_t(h.height) > kBmpMaxPixels) Fail("the dimensions are too large");
}

std::vector<std::uint32_t> ReadPalette(const FileBytes& f, const Header& h) {
    if (h.bitsPerPixel > 8) return {};
    const std::uint32_t full = 1u << h.bitsPerPixel;
    // More entries than the depth can address would be unreachable; read only those it can.
    const std::uint32_t count = (h.clrUsed == 0 || h.clrUsed > full) ? full : h.clrUsed;
    const std::uint64_t entrySize = h.core ? 3 : 4;
    const std::uint64_t bytes = count * entrySize;
    if (h.tableStart + bytes > f.Size()) Fail("the palette extends past the end of the file");
    if (h.tableStart + bytes > h.offBits) Fail("the palette overlaps the pixel data");
    std::vector<std::uint32_t> palette(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* e = f.At(h.tableStart + i * entrySize);
        palette[i] = 0xFF000000u | std::uint32_t(e[2]) << 16 | std::uint32_t(e[1]) << 8 | e[0];
    }
    return palette;
}

class Picture {
public:
    Picture(BmpImage& image, const std::vector<std::uint32_t>& palette)
        : image_(image), palette_(palette) {}
    std::uint32_t Colour(std::uint32_t index) const {
        if (index >= palette_.size()) Fail("a palette index is out of range");
        return palette_[index];
    }
    std::uint32_t* Row(std::int64_t y) noexcept { return image_.Pixels.data() + y * image_.Width; }

private:
    BmpImage& image_;
    const std::vector<std::uint32_t>& palette_;
};

void DecodeUncompressed(const FileBytes& f, const Header& h, const std::vector<std::uint32_t>& palette,
                        BmpImage& image) {
    const std::uint64_t w = std::uint64_t(h.width);
    const std::uint64_t stride = (w * std::uint64_t(h.bitsPerPixel) + 31) / 32 * 4;
    Picture pic(image, palette);

    Channel red, green, blue;
    if (h.compression == BI_BITFIELDS) {
        red = Channel(h.masks[0], h.bitsPerPixel);
        green = Channel(h.masks[1], h.bitsPerPixel);
        blue = Channel(h.masks[2], h.bitsPerPixel);
    } else if (h.bitsPerPixel == 16) {
        red = Channel(0x7C00, 16);
        green = Channel(0x03E0, 16);
        blue = Channel(0x001F, 16);
    }

    for (std::int64_t r = 0; r < h.height; ++r) {
        const std::uint8_t* src = f.At(h.offBits + std::uint64_t(r) * stride);
        std::uint32_t* dst = pic.Row(h.topDown ? r : h.height - 1 - r);
        switch (h.bitsPerPixel) {
        case 1:
            for (std::uint64_t x = 0; x < w; ++x) dst[x] = pic.Colour((src[x >> 3] >> (7 - (x & 7))) & 1);
            break;
        case 4:
            for (std::uint64_t x = 0; x < w; ++x) dst[x] = pic.Colour((src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15);
            break;
        case 8:
            for (std::uint64_t x = 0; x < w; ++x) dst[x] = pic.Colour(src[x]);
            break;
        case 16:
            for (std::uint64_t x = 0; x < w; ++x) {
                const std::uint32_t v = src[2 * x] | std::uint32_t(src[2 * x + 1]) << 8;
                dst[x] = 0xFF000000u | red.Scale(v) << 16 | green.Scale(v) << 8 | blue.Scale(v);
            }
            break;
        case 24:
            for (std::uint64_t x = 0; x < w; ++x)
                dst[x] = 0xFF000000u | std::uint32_t(src[3 * x + 2]) << 16 | std::uint32_t(src[3 * x + 1]) << 8 |
                         src[3 * x];
            break;
        case 32:
            if (h.compression == BI_RGB) {
                for (std::uint64_t x = 0; x < w; ++x)
                    dst[x] = 0xFF000000u | std::uint32_t(src[4 * x + 2]) << 16 |
                             std::uint32_t(src[4 * x + 1]) << 8 | src[4 * x];
            } else {
                for (std::uint64_t x = 0; x < w; ++x) {
                    const std::uint32_t v = src[4 * x] | std::uint32_t(src[4 * x + 1]) << 8 |
                                            std::uint32_t(src[4 * x + 2]) << 16 |
                                            std::uint32_t(src[4 * x + 3]) << 24;
                    dst[x] = 0xFF000000u | red.Scale(v) << 16 | green.Scale(v) << 8 | blue.Scale(v);
                }
            }
            break;
        }
    }
}

// RLE8 and RLE4: pairs of (count, value), or an escape (0, code): 0 ends the row, 1 ends the
// picture, 2 moves right and up by the next two bytes, 3..255 starts a literal run padded to
// an even length. Rows run bottom-up; y counts from the bottom row.
void DecodeRle(const FileBytes& f, const Header& h, const std::vector<std::uint32_t>& palette, BmpImage& image) {
    const bool rle4 = h.compression == BI_RLE4;
    const std::int64_t w = h.width, height = h.height;
    Picture pic(image, palette);
    std::uint64_t pos = h.offBits;
    std::int64_t x = 0, y = 0;

    auto place = [&](std::int64_t count) -> std::uint32_t* {
        if (y >= height || count > w - x) Fail("a run-length code runs past the end of a row");
        std::uint32_t* dst = pic.Row(height - 1 - y) + x;
        x += count;
        return dst;
    };
    for (;;) {
        f.Need(pos, 2);
        const std::uint8_t count = f.U8(pos), value = f.U8(pos + 1);
        pos += 2;
        if (count > 0) {
            std::uint32_t* dst = place(count);
            if (rle4) {
                const std::uint32_t hi = pic.Colour(value >> 4), lo = pic.Colour(value & 15);
                for (int i = 0; i < count; ++i) dst[i] = (i & 1) ? lo : hi;
            } else {
                std::fill_n(dst, count, pic.Colour(value));
            }
            continue;
        }
        switch (value) {
        case 0:  // end of row
            x = 0;
            if (++y > height) Fail("an end-of-line code runs past the end of the picture");
            break;
        case 1:  // end of picture
            return;
        case 2: {  // delta
            f.Need(pos, 2);
            const std::int64_t dx = f.U8(pos), dy = f.U8(pos + 1);
            pos += 2;
            x += dx;
            y += dy;
            if (x > w || y >= height) Fail("a delta code moves past the end of the picture");
            break;
        }
        default: {  // literal run
            const std::uint64_t bytes = rle4 ? (value + 1u) / 2 : value;
            f.Need(pos, (bytes + 1) & ~std::uint64_t(1));
            const std::uint8_t* src = f.At(pos);
            pos += (bytes + 1) & ~std::uint64_t(1);
            std::uint32_t* dst = place(value);
            for (int i = 0; i < value; ++i)
                dst[i] = pic.Colour(rle4 ? (src[i >> 1] >> ((i & 1) ? 0 : 4)) & 15 : src[i]);
            break;
        }
        }
    }
}

}  // namespace

BmpImage DecodeBmp(std::span<const std::uint8_t> file) {
    const FileBytes f(file);
    const Header h = ReadHeader(f);
    CheckKind(h);
    if (h.offBits < h.tableStart) Fail("the pixel data offset points into the headers");
    const std::vector<std::uint32_t> palette = ReadPalette(f, h);
    if (h.offBits > f.Size()) Fail("the pixel data offset points past the end of the file");

    const std::uint64_t pixels = std::uint64_t(h.width) * std::uint64_t(h.height);
    const std::uint64_t dataBytes = f.Size() - h.offBits;
    const bool rle = h.compression == BI_RLE4 || h.compression == BI_RLE8;
    if (rle) {
        if (pixels > std::max(kBmpRleMinPixels, dataBytes * kBmpRlePixelsPerByte))
            Fail("the picture is larger than its run-length data can describe");
    } else if (pixels > 0) {
        // The last row may lack its padding; every row before it needs all of it.
        const std::uint64_t bits = std::uint64_t(h.width) * std::uint64_t(h.bitsPerPixel);
        const std::uint64_t stride = (bits + 31) / 32 * 4;
        const std::uint64_t need = stride * std::uint64_t(h.height - 1) + (bits + 7) / 8;
        if (need > dataBytes) Fail("the pixel data is truncated");
    }

    BmpImage image;
    try {
        // Pixels a run-length file leaves out show the first palette colour.
        image.Pixels.assign(pixels, palette.empty() ? 0xFF000000u : palette[0]);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory("Out of memory reading a bitmap of " + std::to_string(h.width) + " x " +
                           std::to_string(h.height) + " pixels");
    }
    // A picture without pixels is empty both ways, so that nobody walks 16 million empty rows.
    if (pixels == 0) return image;
    image.Width = Integer(h.width);
    image.Height = Integer(h.height);
    if (rle)
        DecodeRle(f, h, palette, image);
    else
        DecodeUncompressed(f, h, palette, image);
    return image;
}

}  // namespace kvb::codecs

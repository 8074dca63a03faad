// The Windows bitmap encoder: every depth, compression and header the decoder reads, so that
// each of them can be written by us and read back.
#include <bit>
#include <string>
#include <unordered_map>

#include "platform/graphics/codecs/Bmp.h"

namespace kvb::codecs {
namespace {

[[noreturn]] void Fail(const std::string& why) { throw EInvalidGraphic("Cannot write bitmap: " + why); }

class Out {
public:
    std::vector<std::uint8_t> bytes;
    void U8(std::uint32_t v) { bytes.push_back(std::uint8_t(v)); }
    void U16(std::uint32_t v) { U8(v); U8(v >> 8); }
    void U32(std::uint32_t v) { U16(v); U16(v >> 16); }
    void PadTo(std::size_t multiple) {
        while (bytes.size() % multiple != 0) U8(0);
    }
    void Put32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = std::uint8_t(v >> (8 * i));
    }
};

// Places an 8-bit channel value into a contiguous mask, rounding to the mask's width.
std::uint32_t Quantize(std::uint32_t channel, std::uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const std::uint64_t max = std::uint64_t(mask) >> shift;
    return std::uint32_t((channel * max + 127) / 255) << shift;
}

bool Contiguous(std::uint32_t mask) {
    if (mask == 0) return true;
    const std::uint64_t shifted = std::uint64_t(mask) >> std::countr_zero(mask);
    return (shifted & (shifted + 1)) == 0;
}

class RleWriter {
public:
    RleWriter(Out& out, bool rle4) : out_(out), rle4_(rle4) {}

    // Moves the decoder's cursor forward to (x, y), y counted from the bottom row.
    void MoveTo(Integer x, Integer y) {
        if (y > cy_ && x < cx_) {
            out_.U8(0); out_.U8(0);  // end of row
            cx_ = 0;
            ++cy_;
        }
        while (x > cx_ || y > cy_) {
            const Integer dx = std::min(255, x - cx_), dy = std::min(255, y - cy_);
            out_.U8(0); out_.U8(2); out_.U8(dx); out_.U8(dy);
            cx_ += dx;
            cy_ += dy;
        }
    }

    // Writes palette indices at the cursor: runs of one index as counted pairs, stretches of
    // differing indices as literal runs.
    void Write(const std::uint8_t* idx, Integer n) {
        Integer i = 0;
        while (i < n) {
            Integer run = 1;
            while (i + run < n && run < 255 && idx[i + run] == idx[i]) ++run;
            if (run >= 2) {
                Pair(run, idx[i]);
                i += run;
                continue;
            }
            Integer lit = 1;  // up to the next pair of equal indices
            while (i + lit < n && lit < 255 && !(i + lit + 1 < n && idx[i + lit] == idx[i + lit + 1])) ++lit;
            if (lit < 3) {
                for (Integer k = 0; k < lit; ++k) Pair(1, idx[i + k]);
            } else {
                out_.U8(0);
                out_.U8(lit);
                const std::size_t start = out_.bytes.size();
                if (rle4_) {
                    for (Integer k = 0; k < lit; k += 2)
                        out_.U8(idx[i + k] << 4 | (k + 1 < lit ? idx[i + k + 1] : 0));
                } else {
                    for (Integer k = 0; k < lit; ++k) out_.U8(idx[i + k]);
                }
                if ((out_.bytes.size() - start) % 2 != 0) out_.U8(0);
            }
            i += lit;
        }
        cx_ += n;
    }

    void End() { out_.U8(0); out_.U8(1); }

private:
    void Pair(Integer count, std::uint8_t index) {
        out_.U8(count);
        out_.U8(rle4_ ? (index << 4 | index) : index);
    }
    Out& out_;
    bool rle4_;
    Integer cx_ = 0, cy_ = 0;
};

}  // namespace

std::vector<std::uint8_t> EncodeBmp(const std::uint32_t* pixels, Integer width, Integer height, Integer stride,
                                    const BmpWriteOptions& o) {
    const int bpp = o.BitsPerPixel;
    if (width < 0 || height < 0) Fail("negative dimensions");
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) Fail("unsupported bit count");
    const bool rle = o.Compression == BI_RLE4 || o.Compression == BI_RLE8;
    if ((o.Compression == BI_RLE8 && bpp != 8) || (o.Compression == BI_RLE4 && bpp != 4) ||
        (o.Compression == BI_BITFIELDS && bpp != 16 && bpp != 32) || o.Compression > BI_BITFIELDS)
        Fail("compression does not fit the bit count");
    if (o.Header == bhCore) {
        if (bpp == 16 || bpp == 32 || o.Compression != BI_RGB || o.TopDown) Fail("not possible with a core header");
        if (width > 0xFFFF || height > 0xFFFF) Fail("too large for a core header");
    }
    if (o.TopDown && rle) Fail("run-length data is always bottom-up");

    std::uint32_t masks[3] = {o.RedMask, o.GreenMask, o.BlueMask};
    if (o.Compression == BI_BITFIELDS && masks[0] == 0 && masks[1] == 0 && masks[2] == 0) {
        if (bpp == 16) { masks[0] = 0xF800; masks[1] = 0x07E0; masks[2] = 0x001F; }
        else { masks[0] = 0xFF0000; masks[1] = 0xFF00; masks[2] = 0xFF; }
    } else if (o.Compression == BI_RGB && bpp == 16) {
        masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F;
    } else if (o.Compression == BI_RGB && bpp == 32) {
        masks[0] = 0xFF0000; masks[1] = 0xFF00; masks[2] = 0xFF;
    }
    for (std::uint32_t m : masks)
        if (!Contiguous(m) || (bpp == 16 && m > 0xFFFF)) Fail("unusable bit-field mask");

    // The palette and every pixel's index in it.
    std::vector<std::uint32_t> palette = o.Palette;
    std::vector<std::uint8_t> indices;
    if (bpp <= 8) {
        const std::size_t full = std::size_t(1) << bpp;
        std::unordered_map<std::uint32_t, std::uint8_t> lookup;
        for (std::size_t i = palette.size(); i-- > 0;) lookup[palette[i] | 0xFF000000u] = std::uint8_t(i);
        const bool collect = palette.empty();
        indices.resize(std::size_t(width) * std::size_t(height));
        for (Integer y = 0; y < height; ++y)
            for (Integer x = 0; x < width; ++x) {
                const std::uint32_t c = pixels[std::size_t(y) * std::size_t(stride) + std::size_t(x)] | 0xFF000000u;
                auto it = lookup.find(c);
                if (it == lookup.end()) {
                    if (!collect || palette.size() == full) Fail("a colour is missing from the palette");
                    it = lookup.emplace(c, std::uint8_t(palette.size())).first;
                    palette.push_back(c);
                }
                indices[std::size_t(y) * std::size_t(width) + std::size_t(x)] = it->second;
            }
        if (palette.empty()) palette.push_back(0xFF000000u);
        if (palette.size() > full) Fail("the palette has too many entries");
        // A core header has no colours-used field: its palette is always complete.
        if (!o.WriteClrUsed || o.Header == bhCore) palette.resize(full, 0xFF000000u);
    }
    const std::uint32_t headerSize = o.Header == bhCore ? 12 : o.Header == bhInfo ? 40 : o.Header == bhV4 ? 108 : 124;

    Out out;
    const std::size_t rowBytes = (std::size_t(width) * std::size_t(bpp) + 31) / 32 * 4;
    out.bytes.reserve(14 + 124 + 4 * palette.size() + rowBytes * std::size_t(height));
    out.U8('B'); out.U8('M');
    out.U32(0);  // file size, filled in at the end
    out.U32(0);
    out.U32(0);  // pixel data offset, filled in below
    out.U32(headerSize);
    std::size_t sizeImageAt = 0;
    if (o.Header == bhCore) {
        out.U16(width); out.U16(height); out.U16(1); out.U16(bpp);
    } else {
        out.U32(width);
        out.U32(o.TopDown ? std::uint32_t(-height) : std::uint32_t(height));
        out.U16(1);
        out.U16(bpp);
        out.U32(o.Compression);
        sizeImageAt = out.bytes.size();
        out.U32(0);
        out.U32(3780); out.U32(3780);  // 96 dots per inch
        out.U32(bpp <= 8 && o.WriteClrUsed ? std::uint32_t(palette.size()) : 0);
        out.U32(0);
        const bool fields = o.Compression == BI_BITFIELDS;
        if (o.Header == bhInfo) {
            if (fields) for (std::uint32_t m : masks) out.U32(m);
        } else {
            for (std::uint32_t m : masks) out.U32(fields ? m : 0);
            out.U32(0);                         // alpha mask
            out.U32(0x73524742);                // 'sRGB'
            for (int i = 0; i < 9 + 3; ++i) out.U32(0);  // end points, gamma
            if (o.Header == bhV5) {
                out.U32(4);  // LCS_GM_IMAGES
                out.U32(0); out.U32(0); out.U32(0);
            }
        }
    }
    for (std::uint32_t c : palette) {
        out.U8(c); out.U8(c >> 8); out.U8(c >> 16);
        if (o.Header != bhCore) out.U8(0);
    }
    const std::size_t offBits = out.bytes.size();
    out.Put32(10, std::uint32_t(offBits));

    if (rle) {
        RleWriter writer(out, o.Compression == BI_RLE4);
        for (Integer fy = 0; fy < height; ++fy) {  // fy counts from the bottom row
            const std::uint8_t* row = indices.data() + std::size_t(height - 1 - fy) * std::size_t(width);
            Integer x = 0;
            while (x < width) {
                Integer end = width;
                if (o.RleSkipBackground) {
                    while (x < width && row[x] == 0) ++x;
                    if (x == width) break;
                    end = x;
                    while (end < width && row[end] != 0) ++end;
                }
                writer.MoveTo(x, fy);
                writer.Write(row + x, end - x);
                x = end;
            }
        }
        writer.End();
    } else {
        for (Integer fy = 0; fy < height; ++fy) {
            const Integer y = o.TopDown ? fy : height - 1 - fy;
            const std::uint32_t* src = pixels + std::size_t(y) * std::size_t(stride);
            const std::uint8_t* idx = bpp <= 8 ? indices.data() + std::size_t(y) * std::size_t(width) : nullptr;
            const std::size_t rowStart = out.bytes.size();
            switch (bpp) {
            case 1: case 4: {
                const int perByte = 8 / bpp;
                for (Integer x = 0; x < width; x += perByte) {
                    std::uint32_t b = 0;
                    for (int k = 0; k < perByte; ++k)
                        b = b << bpp | (x + k < width ? idx[x + k] : 0);
                    out.U8(b);
                }
                break;
            }
            case 8:
                for (Integer x = 0; x < width; ++x) out.U8(idx[x]);
                break;
            case 24:
                for (Integer x = 0; x < width; ++x) { out.U8(src[x]); out.U8(src[x] >> 8); out.U8(src[x] >> 16); }
                break;
            case 16: case 32:
                for (Integer x = 0; x < width; ++x) {
                    const std::uint32_t c = src[x];
                    const std::uint32_t v = Quantize(c >> 16 & 0xFF, masks[0]) | Quantize(c >> 8 & 0xFF, masks[1]) |
                                            Quantize(c & 0xFF, masks[2]);
                    if (bpp == 16) out.U16(v); else out.U32(v);
                }
                break;
            }
            while ((out.bytes.size() - rowStart) % 4 != 0) out.U8(0);
        }
    }
    if (sizeImageAt != 0) out.Put32(sizeImageAt, std::uint32_t(out.bytes.size() - offBits));
    out.Put32(2, std::uint32_t(out.bytes.size()));
    return std::move(out.bytes);
}

}  // namespace kvb::codecs

// Windows bitmap files: the decoder behind TBitmap::LoadFromStream and an encoder for every
// depth and compression the decoder reads. Internal to the graphics library; the tests and the
// fuzz corpus use the encoder to make files of every kind.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/system/System.h"

namespace kvb::codecs {

// The compression field of the info header.
enum BmpCompression : std::uint32_t { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3 };

// Which info header a file carries: BITMAPCOREHEADER (12 bytes), BITMAPINFOHEADER (40),
// BITMAPV4HEADER (108) or BITMAPV5HEADER (124).
enum BmpHeaderKind : std::uint8_t { bhCore, bhInfo, bhV4, bhV5 };

// Limits the decoder enforces before it allocates anything.
inline constexpr std::uint64_t kBmpMaxPixels = std::uint64_t(1) << 28;  // 1 GiB of 32-bit pixels
inline constexpr std::int64_t kBmpMaxDimension = std::int64_t(1) << 24;
// Run-length data can describe many pixels with few bytes (an end-of-line or a delta skips
// whole rows), so its image size cannot be checked against the data size exactly. An RLE image
// may have at most this many pixels per byte of pixel data, and never less than
// kBmpRleMinPixels, so a tiny file cannot make the decoder allocate a huge picture.
inline constexpr std::uint64_t kBmpRlePixelsPerByte = 256;
inline constexpr std::uint64_t kBmpRleMinPixels = 65536;

// A decoded picture: 0xFFRRGGBB pixels, rows top first, Width pixels apart.
struct BmpImage {
    Integer Width = 0;
    Integer Height = 0;
    std::vector<std::uint32_t> Pixels;
};

// Decodes a whole Windows bitmap file held in memory. Raises EInvalidGraphic for anything
// malformed, inconsistent or unsupported, and EOutOfMemory if a picture within the limits
// above cannot be allocated. Pixels an RLE file leaves unwritten take palette entry 0. A file
// with a zero width or height gives a 0 x 0 picture.
BmpImage DecodeBmp(std::span<const std::uint8_t> file);

struct BmpWriteOptions {
    Integer BitsPerPixel = 24;  // 1, 4, 8, 16, 24 or 32 (the core header: 1, 4, 8, 24)
    BmpCompression Compression = BI_RGB;
    BmpHeaderKind Header = bhInfo;
    bool TopDown = false;  // negative height; not with the core header nor RLE
    // For 1, 4 and 8 bits: the colours (0xFFRRGGBB) in palette order, at most 2^bpp. Empty:
    // the picture's distinct colours in order of first appearance.
    std::vector<std::uint32_t> Palette;
    // Written as biClrUsed; 0 means "the whole 2^bpp palette" and then 2^bpp entries are written.
    bool WriteClrUsed = true;
    // For BI_BITFIELDS: contiguous channel masks; all zero picks 5-6-5 (16 bits) or 8-8-8 (32).
    std::uint32_t RedMask = 0, GreenMask = 0, BlueMask = 0;
    // RLE only: pixels of palette entry 0 are skipped with delta and end-of-line escapes
    // instead of being written, as the decoder fills unwritten pixels with entry 0.
    bool RleSkipBackground = false;
};

// Encodes rows of 0xFFRRGGBB pixels (top row first, stride in pixels). Raises EInvalidGraphic
// for options that do not form a valid file or a colour missing from the palette.
std::vector<std::uint8_t> EncodeBmp(const std::uint32_t* pixels, Integer width, Integer height,
                                    Integer stride, const BmpWriteOptions& options);

}  // namespace kvb::codecs

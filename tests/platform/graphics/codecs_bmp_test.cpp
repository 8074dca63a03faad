// Windows bitmap files: round trips through our encoder at every depth, hand-assembled files
// decoded to pixels worked out from the file format, and malformed files that must be refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <unistd.h>
#include <string>
#include <vector>

#include "platform/graphics/Graphics.h"
#include "platform/graphics/codecs/Bmp.h"

namespace kvb {
namespace {

using codecs::BmpImage;
using codecs::BmpWriteOptions;
using codecs::DecodeBmp;
using codecs::EncodeBmp;
using Bytes = std::vector<std::uint8_t>;

// A file assembled field by field, independent of the encoder under test.
struct BmpFile {
    std::uint32_t headerSize = 40;
    std::int32_t width = 1, height = 1;
    std::uint16_t bpp = 24;
    std::uint32_t compression = 0;
    std::uint32_t clrUsed = 0;
    std::vector<std::uint32_t> palette;  // 0xRRGGBB
    std::vector<std::uint32_t> masks;    // after a 40-byte header, inside longer ones
    Bytes data;
    std::int64_t offBitsDelta = 0;

    Bytes Build() const {
        Bytes b;
        auto u8 = [&](std::uint32_t v) { b.push_back(std::uint8_t(v)); };
        auto u16 = [&](std::uint32_t v) { u8(v); u8(v >> 8); };
        auto u32 = [&](std::uint32_t v) { u16(v); u16(v >> 16); };
        u8('B'); u8('M'); u32(0); u32(0); u32(0);
        u32(headerSize);
        if (headerSize == 12) {
            u16(width); u16(height); u16(1); u16(bpp);
        } else {
            u32(std::uint32_t(width)); u32(std::uint32_t(height)); u16(1); u16(bpp);
            u32(compression); u32(std::uint32_t(data.size())); u32(0); u32(0); u32(clrUsed); u32(0);
            if (headerSize > 40) {
                for (std::size_t i = 0; i < 3; ++i) u32(i < masks.size() ? masks[i] : 0);
                while (b.size() < 14 + headerSize) u8(0);
            } else {
                for (std::uint32_t m : masks) u32(m);
            }
        }
        for (std::uint32_t c : palette) {
            u8(c); u8(c >> 8); u8(c >> 16);
            if (headerSize != 12) u8(0);
        }
        const std::int64_t off = std::int64_t(b.size()) + offBitsDelta;
        for (int i = 0; i < 4; ++i) b[10 + i] = std::uint8_t(std::uint64_t(off) >> (8 * i));
        b.insert(b.end(), data.begin(), data.end());
        for (int i = 0; i < 4; ++i) b[2 + i] = std::uint8_t(b.size() >> (8 * i));
        return b;
    }
};

constexpr std::uint32_t kBg = 0xFF101010, kR = 0xFFFF0000, kG = 0xFF00FF00, kB = 0xFF0000FF, kW = 0xFFFFFFFF;
const std::vector<std::uint32_t> kPalette5 = {0x101010, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

BmpImage Decode(const Bytes& b) { return DecodeBmp(b); }

// ---------------------------------------------------------------------------------------
// Round trips

// 8-bit channel values that a channel of `bits` bits holds exactly.
std::uint32_t Level(std::uint32_t q, int bits) {
    const std::uint32_t max = (1u << bits) - 1;
    return ((q % (max + 1)) * 255 + max / 2) / max;
}

struct DepthCase {
    const char* name;
    int bpp;
    codecs::BmpCompression compression;
    codecs::BmpHeaderKind header;
    bool topDown;
    int redBits, greenBits, blueBits;  // for 16 and 32 bits: what the channels hold
    std::uint32_t r = 0, g = 0, b = 0;   // masks for bit fields
    bool skipBackground = false;
};

std::vector<std::uint32_t> PictureFor(const DepthCase& c, Integer w, Integer h) {
    std::vector<std::uint32_t> px(std::size_t(w) * std::size_t(h));
    for (Integer y = 0; y < h; ++y)
        for (Integer x = 0; x < w; ++x) {
            const std::uint32_t i = std::uint32_t(x * 7 + y * 13 + x * y);
            std::uint32_t colour;
            if (c.bpp <= 8) {
                // The palette colours are arbitrary; a depth holds 2^bpp of them. Long runs of
                // one colour and of entry 0 give the run-length encoder something to do.
                const std::uint32_t n = 1u << c.bpp;
                const std::uint32_t k = (x >= w / 2 && y % 3 == 0) ? 0 : (y % 2 ? (x / 3) : i) % n;
                colour = 0xFF000000u | ((k * 0x9E3779B1u) >> 8 & 0xFFFFFF);
            } else {
                colour = 0xFF000000u | Level(i * 5 + 1, c.redBits) << 16 | Level(i * 3 + 2, c.greenBits) << 8 |
                         Level(i * 11, c.blueBits);
            }
            px[std::size_t(y) * std::size_t(w) + std::size_t(x)] = colour;
        }
    return px;
}

TEST(BmpCodec, RoundTripAtEveryDepthCompressionAndHeader) {
    using namespace codecs;
    const DepthCase cases[] = {
        {"1 bit", 1, BI_RGB, bhInfo, false, 0, 0, 0},
        {"1 bit top-down", 1, BI_RGB, bhInfo, true, 0, 0, 0},
        {"1 bit core", 1, BI_RGB, bhCore, false, 0, 0, 0},
        {"4 bits", 4, BI_RGB, bhInfo, false, 0, 0, 0},
        {"4 bits core", 4, BI_RGB, bhCore, false, 0, 0, 0},
        {"4 bits RLE4", 4, BI_RLE4, bhInfo, false, 0, 0, 0},
        {"4 bits RLE4 with deltas", 4, BI_RLE4, bhInfo, false, 0, 0, 0, 0, 0, 0, true},
        {"8 bits", 8, BI_RGB, bhInfo, false, 0, 0, 0},
        {"8 bits top-down V5", 8, BI_RGB, bhV5, true, 0, 0, 0},
        {"8 bits core", 8, BI_RGB, bhCore, false, 0, 0, 0},
        {"8 bits RLE8", 8, BI_RLE8, bhInfo, false, 0, 0, 0},
        {"8 bits RLE8 with deltas", 8, BI_RLE8, bhV4, false, 0, 0, 0, 0, 0, 0, true},
        {"16 bits 5-5-5", 16, BI_RGB, bhInfo, false, 5, 5, 5},
        {"16 bits 5-5-5 top-down", 16, BI_RGB, bhInfo, true, 5, 5, 5},
        {"16 bits 5-6-5 fields", 16, BI_BITFIELDS, bhInfo, false, 5, 6, 5},
        {"16 bits 4-4-4 fields V4", 16, BI_BITFIELDS, bhV4, false, 4, 4, 4, 0x0F00, 0x00F0, 0x000F},
        {"16 bits 1-10-3 fields V5", 16, BI_BITFIELDS, bhV5, true, 1, 10, 3, 0x8000, 0x7FE0, 0x0007},
        {"24 bits", 24, BI_RGB, bhInfo, false, 8, 8, 8},
        {"24 bits top-down", 24, BI_RGB, bhInfo, true, 8, 8, 8},
        {"24 bits core", 24, BI_RGB, bhCore, false, 8, 8, 8},
        {"24 bits V5", 24, BI_RGB, bhV5, false, 8, 8, 8},
        {"32 bits", 32, BI_RGB, bhInfo, false, 8, 8, 8},
        {"32 bits fields", 32, BI_BITFIELDS, bhInfo, true, 8, 8, 8},
        {"32 bits 10-10-10 fields V5", 32, BI_BITFIELDS, bhV5, false, 8, 8, 8, 0x3FF00000, 0x000FFC00, 0x000003FF},
        {"32 bits 2-12-6 fields", 32, BI_BITFIELDS, bhInfo, false, 2, 8, 6, 0xC0000000, 0x00FFF000, 0x0000003F},
    };
    // Widths that leave every amount of row padding, and one beyond an RLE run.
    for (const DepthCase& c : cases)
        for (Integer w : {1, 2, 3, 5, 9, 300}) {
            SCOPED_TRACE(std::string(c.name) + ", width " + std::to_string(w));
            const Integer h = 7;
            const std::vector<std::uint32_t> px = PictureFor(c, w, h);
            BmpWriteOptions o;
            o.BitsPerPixel = c.bpp;
            o.Compression = c.compression;
            o.Header = c.header;
            o.TopDown = c.topDown;
            o.RedMask = c.r; o.GreenMask = c.g; o.BlueMask = c.b;
            o.RleSkipBackground = c.skipBackground;
            const Bytes file = EncodeBmp(px.data(), w, h, w, o);
            BmpImage img;
            ASSERT_NO_THROW(img = Decode(file));
            ASSERT_EQ(img.Width, w);
            ASSERT_EQ(img.Height, h);
            ASSERT_EQ(img.Pixels, px);
        }
}

TEST(BmpCodec, EncoderWritesTheHeaderItIsAskedFor) {
    using namespace codecs;
    const std::uint32_t px[4] = {kR, kG, kB, kW};
    auto u32 = [](const Bytes& b, std::size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24; };
    BmpWriteOptions o;
    o.TopDown = true;
    Bytes f = EncodeBmp(px, 2, 2, 2, o);
    EXPECT_EQ(u32(f, 14), 40u);
    EXPECT_EQ(std::int32_t(u32(f, 22)), -2);
    EXPECT_EQ(u32(f, 2), f.size());
    o = {};
    o.Header = bhV5;
    o.Compression = BI_RLE8;
    o.BitsPerPixel = 8;
    f = EncodeBmp(px, 2, 2, 2, o);
    EXPECT_EQ(u32(f, 14), 124u);
    EXPECT_EQ(u32(f, 30), std::uint32_t(BI_RLE8));
    EXPECT_EQ(u32(f, 46), 4u);  // four colours used
}

TEST(BmpCodec, EncoderRefusesWhatNoFileCanHold) {
    using namespace codecs;
    const std::uint32_t px[3] = {kR, kG, kB};
    auto refused = [&](BmpWriteOptions o) {
        EXPECT_THROW(EncodeBmp(px, 3, 1, 3, o), EInvalidGraphic);
    };
    BmpWriteOptions o;
    o.BitsPerPixel = 1;  // three colours in a two-colour palette
    refused(o);
    o = {}; o.BitsPerPixel = 8; o.Palette = {kR, kG};  // blue missing
    refused(o);
    o = {}; o.Compression = BI_RLE8;  // RLE8 at 24 bits
    refused(o);
    o = {}; o.BitsPerPixel = 8; o.Compression = BI_RLE8; o.TopDown = true;
    refused(o);
    o = {}; o.BitsPerPixel = 16; o.Header = bhCore;
    refused(o);
    o = {}; o.BitsPerPixel = 32; o.Compression = BI_BITFIELDS; o.RedMask = 0x00FF00FF;
    refused(o);
}

// ---------------------------------------------------------------------------------------
// Hand-assembled files

TEST(BmpCodec, TopDownAndBottomUpRowsLandInTheirPlaces) {
    // 2 x 2 at 24 bits: rows are 6 bytes plus 2 of padding; pixels are B, G, R.
    const Bytes rowRedGreen = {0, 0, 255, 0, 255, 0, 0, 0};
    const Bytes rowBlueWhite = {255, 0, 0, 255, 255, 255, 0, 0};
    BmpFile f;
    f.width = 2;
    f.height = 2;
    f.data = rowBlueWhite;
    f.data.insert(f.data.end(), rowRedGreen.begin(), rowRedGreen.end());
    const std::vector<std::uint32_t> expected = {kR, kG, kB, kW};
    EXPECT_EQ(Decode(f.Build()).Pixels, expected);  // bottom-up: the first row in the file is the bottom

    f.height = -2;
    f.data = rowRedGreen;
    f.data.insert(f.data.end(), rowBlueWhite.begin(), rowBlueWhite.end());
    EXPECT_EQ(Decode(f.Build()).Pixels, expected);
}

TEST(BmpCodec, PaletteDepthsPickBitsFromTheMostSignificantEnd) {
    BmpFile f;
    f.width = 10;
    f.height = 1;
    f.bpp = 1;
    f.palette = {0x101010, 0xFFFFFF};
    f.data = {0b10110000, 0b01000000, 0, 0};
    std::vector<std::uint32_t> expected = {kW, kBg, kW, kW, kBg, kBg, kBg, kBg, kBg, kW};
    EXPECT_EQ(Decode(f.Build()).Pixels, expected);

    f.bpp = 4;
    f.width = 3;
    f.palette = kPalette5;
    f.clrUsed = 5;
    f.data = {0x41, 0x30, 0, 0};
    expected = {kW, kR, kB};
    EXPECT_EQ(Decode(f.Build()).Pixels, expected);

    // A core header: RGB triples, no colours-used field, 16-bit dimensions.
    f = {};
    f.headerSize = 12;
    f.width = 3;
    f.height = 1;
    f.bpp = 8;
    f.palette.assign(256, 0);
    f.palette[7] = 0x00FF00;
    f.palette[200] = 0x0000FF;
    f.data = {7, 200, 0, 0};
    expected = {kG, kB, 0xFF000000};
    EXPECT_EQ(Decode(f.Build()).Pixels, expected);
}

TEST(BmpCodec, BitFieldMasksScaleEachChannelToEightBits) {
    struct Case {
        const char* name;
        std::uint16_t bpp;
        std::uint32_t compression;
        std::uint32_t headerSize;
        std::vector<std::uint32_t> masks;
        std::uint32_t pixel;
        std::uint32_t expected;
    };
    const Case cases[] = {
        // No masks at 16 bits: 5-5-5. 16 of 31 is 16 * 255 / 31 = 131.6, so 132.
        {"5-5-5 white", 16, 0, 40, {}, 0x7FFF, 0xFFFFFFFF},
        {"5-5-5 middle", 16, 0, 40, {}, 0x4210, 0xFF848484},
        {"5-5-5 ignores bit 15", 16, 0, 40, {}, 0x8000 | 0x7C00, 0xFFFF0000},
        // 5-6-5: green 32 of 63 is 129.5, rounded up to 130.
        {"5-6-5", 16, 3, 40, {0xF800, 0x07E0, 0x001F}, 0x8410, 0xFF848284},
        {"5-6-5 in a V4 header", 16, 3, 108, {0xF800, 0x07E0, 0x001F}, 0xF81F, 0xFFFF00FF},
        // 10-10-10: 512 of 1023 is 127.6, so 128.
        {"10-10-10", 32, 3, 40, {0x3FF00000, 0x000FFC00, 0x000003FF}, 0x3FF00200, 0xFFFF0080},
        // 2 bits of red (2 of 3 is 170), 12 of green (2048 of 4095 is 127.5, so 128), no blue.
        {"2-12-0", 32, 3, 124, {0xC0000000, 0x00FFF000, 0}, 0x80800FFF, 0xFFAA8000},
        {"plain 32 bits ignore the top byte", 32, 0, 40, {}, 0xAB123456, 0xFF123456},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BmpFile f;
        f.bpp = c.bpp;
        f.compression = c.compression;
        f.headerSize = c.headerSize;
        f.masks = c.masks;
        f.data = {std::uint8_t(c.pixel), std::uint8_t(c.pixel >> 8), std::uint8_t(c.pixel >> 16),
                  std::uint8_t(c.pixel >> 24)};
        EXPECT_EQ(Decode(f.Build()).Pixels, std::vector<std::uint32_t>{c.expected});
    }
}

TEST(BmpCodec, Rle8RunsLiteralsDeltasAndLineEnds) {
    BmpFile f;
    f.width = 6;
    f.height = 4;
    f.bpp = 8;
    f.compression = 1;
    f.palette = kPalette5;
    f.clrUsed = 5;
    f.data = {
        3, 1, 0, 3, 2, 3, 4, 0,  // bottom row: three red, then the literal green blue white (+ pad)
        0, 0,                    // end of row
        2, 4,                    // two white
        0, 2, 3, 1,              // move 3 right, 1 up: x 5 of the next row
        1, 3,                    // one blue
        0, 0,                    // end of row
        0, 2, 1, 0,              // move 1 right
        2, 2,                    // two green
        0, 1,                    // end of picture
    };
    const std::vector<std::uint32_t> expected = {
        kBg, kG, kG, kBg, kBg, kBg,  //
        kBg, kBg, kBg, kBg, kBg, kB,  //
        kW, kW, kBg, kBg, kBg, kBg,  //
        kR, kR, kR, kG, kB, kW,
    };
    EXPECT_EQ(Decode(f.Build()).Pixels, expected);
}

TEST(BmpCodec, Rle4AlternatesTheTwoNibblesOfARun) {
    BmpFile f;
    f.width = 7;
    f.height = 3;
    f.bpp = 4;
    f.compression = 2;
    f.palette = kPalette5;
    f.clrUsed = 5;
    f.data = {
        5, 0x12,                    // bottom row: red green red green red
        0, 0,                       // end of row
        0, 5, 0x31, 0x23, 0x40, 0,  // literal of five: blue red green blue white (+ pad)
        2, 0x44,                    // two white
        0, 0,                       // end of row
        0, 2, 3, 0,                 // move 3 right
        1, 0x20,                    // one green
        0, 1,                       // end of picture
    };
    const std::vector<std::uint32_t> expected = {
        kBg, kBg, kBg, kG, kBg, kBg, kBg,  //
        kB, kR, kG, kB, kW, kW, kW,        //
        kR, kG, kR, kG, kR, kBg, kBg,
    };
    EXPECT_EQ(Decode(f.Build()).Pixels, expected);
}

TEST(BmpCodec, RleMayEndEveryRowIncludingTheLast) {
    BmpFile f;
    f.width = 2;
    f.height = 2;
    f.bpp = 8;
    f.compression = 1;
    f.palette = kPalette5;
    f.clrUsed = 5;
    f.data = {2, 1, 0, 0, 2, 2, 0, 0, 0, 1};
    EXPECT_EQ(Decode(f.Build()).Pixels, (std::vector<std::uint32_t>{kG, kG, kR, kR}));
}

// ---------------------------------------------------------------------------------------
// Malformed files

BmpFile Valid8() {
    BmpFile f;
    f.width = 3;
    f.height = 2;
    f.bpp = 8;
    f.palette = kPalette5;
    f.clrUsed = 5;
    f.data = {1, 2, 3, 0, 4, 0, 1, 0};
    return f;
}

BmpFile ValidRle8() {
    BmpFile f = Valid8();
    f.compression = 1;
    f.data = {3, 1, 0, 0, 3, 2, 0, 1};
    return f;
}

Bytes WithByte(Bytes b, std::size_t at, std::uint8_t v) {
    b.at(at) = v;
    return b;
}

TEST(BmpCodec, MalformedFilesAreRefused) {
    struct Case {
        const char* name;
        std::function<Bytes()> make;
    };
    auto edit = [](std::function<void(BmpFile&)> change, BmpFile (*base)() = Valid8) {
        return [=] {
            BmpFile f = base();
            change(f);
            return f.Build();
        };
    };
    auto rle = [&](Bytes data) { return edit([data](BmpFile& f) { f.data = data; }, ValidRle8); };
    const Case cases[] = {
        {"empty", [] { return Bytes{}; }},
        {"only the magic", [] { return Bytes{'B', 'M'}; }},
        {"wrong magic", [] { return WithByte(Valid8().Build(), 0, 'X'); }},
        {"header cut short", [] { Bytes b = Valid8().Build(); b.resize(30); return b; }},
        {"unsupported header size 64", [] { return WithByte(Valid8().Build(), 14, 64); }},
        {"pixel data cut short", [] { Bytes b = Valid8().Build(); b.resize(b.size() - 4); return b; }},
        {"offset into the headers", edit([](BmpFile& f) { f.offBitsDelta = -30; })},
        {"offset into the palette", edit([](BmpFile& f) { f.offBitsDelta = -4; })},
        {"offset past the end", edit([](BmpFile& f) { f.offBitsDelta = 1000; })},
        {"offset near 4 GiB", edit([](BmpFile& f) { f.offBitsDelta = 0xFFFFFF00LL; })},
        {"negative width", edit([](BmpFile& f) { f.width = -3; })},
        {"height INT_MIN", edit([](BmpFile& f) { f.height = INT_MIN; })},
        {"100000 x 100000 at 24 bits", edit([](BmpFile& f) { f.bpp = 24; f.width = f.height = 100000; })},
        {"100000 x -100000 at 1 bit", edit([](BmpFile& f) { f.bpp = 1; f.width = 100000; f.height = -100000; })},
        {"10000 x 10000 at 24 bits with 8 bytes of pixels", edit([](BmpFile& f) { f.bpp = 24; f.width = f.height = 10000; })},
        {"4000 x 4000 RLE8 with one code",
         edit([](BmpFile& f) { f.width = f.height = 4000; f.compression = 1; f.data = {0, 1}; })},
        {"100000 x 100000 RLE8",
         edit([](BmpFile& f) { f.width = f.height = 100000; f.compression = 1; f.data = {0, 1}; })},
        {"2^31-1 wide RLE4",
         edit([](BmpFile& f) { f.width = INT_MAX; f.bpp = 4; f.compression = 2; f.data = {0, 1}; })},
        {"palette past the end of the file",
         edit([](BmpFile& f) { f.clrUsed = 200; f.offBitsDelta = 800; f.data.clear(); })},
        {"palette index out of range", edit([](BmpFile& f) { f.data[1] = 5; })},
        {"1-bit index beyond a one-entry palette",
         edit([](BmpFile& f) { f.bpp = 1; f.clrUsed = 1; f.palette = {0}; f.data = {0x80, 0, 0, 0, 0, 0, 0, 0}; })},
        {"2 bits per pixel", edit([](BmpFile& f) { f.bpp = 2; })},
        {"64 bits per pixel", edit([](BmpFile& f) { f.bpp = 64; })},
        {"JPEG compression", edit([](BmpFile& f) { f.compression = 4; })},
        {"RLE8 at 4 bits", edit([](BmpFile& f) { f.bpp = 4; f.compression = 1; })},
        {"bit fields at 24 bits",
         edit([](BmpFile& f) { f.bpp = 24; f.compression = 3; f.masks = {0xFF0000, 0xFF00, 0xFF}; })},
        {"bit fields with a broken mask",
         edit([](BmpFile& f) { f.bpp = 32; f.compression = 3; f.masks = {0xF0F00000, 0xFF00, 0xFF}; f.data.assign(24, 0); })},
        {"16-bit mask beyond 16 bits",
         edit([](BmpFile& f) { f.bpp = 16; f.compression = 3; f.masks = {0x1F0000, 0x7E0, 0x1F}; f.data.assign(16, 0); })},
        {"masks cut off by the end of the file",
         [] { BmpFile f = Valid8(); f.bpp = 32; f.compression = 3; Bytes b = f.Build(); b.resize(60); return b; }},
        {"top-down RLE", edit([](BmpFile& f) { f.height = -2; }, ValidRle8)},
        {"RLE run past the row", rle({4, 1, 0, 1})},
        {"RLE literal past the row", rle({2, 1, 0, 3, 1, 1, 1, 0, 0, 1})},
        {"RLE delta past the right edge", rle({0, 2, 4, 0, 0, 1})},
        {"RLE delta past the top", rle({0, 2, 0, 2, 0, 1})},
        {"RLE line ends past the top", rle({0, 0, 0, 0, 0, 0, 0, 1})},
        {"RLE pixels after the last row", rle({0, 0, 0, 0, 1, 1, 0, 1})},
        {"RLE escape cut off", rle({3, 1, 0})},
        {"RLE delta cut off", rle({0, 2, 1})},
        {"RLE literal cut off", rle({0, 3, 1, 2})},
        {"RLE without an end", rle({3, 1, 0, 0, 3, 2})},
        {"RLE index out of range", rle({3, 9, 0, 1})},
        {"RLE4 nibble out of range", [] {
             BmpFile f = ValidRle8();
             f.bpp = 4;
             f.compression = 2;
             f.data = {3, 0x19, 0, 1};
             return f.Build();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = c.make();
        EXPECT_THROW(DecodeBmp(file), EInvalidGraphic);
    }
    // The bases themselves are sound, so each case fails for its own change.
    EXPECT_NO_THROW(DecodeBmp(Valid8().Build()));
    EXPECT_NO_THROW(DecodeBmp(ValidRle8().Build()));
}

TEST(BmpCodec, EveryPrefixOfAFileIsRefusedOrDecodesTheSamePicture) {
    using namespace codecs;
    const DepthCase kinds[] = {
        {"8 bits", 8, BI_RGB, bhInfo, false, 0, 0, 0},
        {"4 bits RLE4", 4, BI_RLE4, bhInfo, false, 0, 0, 0},
        {"8 bits RLE8 with deltas", 8, BI_RLE8, bhV5, false, 0, 0, 0, 0, 0, 0, true},
        {"16 bits fields", 16, BI_BITFIELDS, bhInfo, false, 5, 6, 5},
        {"24 bits core", 24, BI_RGB, bhCore, false, 8, 8, 8},
    };
    for (const DepthCase& k : kinds) {
        SCOPED_TRACE(k.name);
        const std::vector<std::uint32_t> px = PictureFor(k, 5, 4);
        BmpWriteOptions o;
        o.BitsPerPixel = k.bpp;
        o.Compression = k.compression;
        o.Header = k.header;
        o.RleSkipBackground = k.skipBackground;
        const Bytes file = EncodeBmp(px.data(), 5, 4, 5, o);
        for (std::size_t n = 0; n < file.size(); ++n) {
            const Bytes prefix(file.begin(), file.begin() + std::ptrdiff_t(n));
            try {
                // Only the padding after the last row may go missing.
                EXPECT_EQ(DecodeBmp(prefix).Pixels, px) << "prefix of " << n << " bytes";
                EXPECT_FALSE(k.compression == BI_RLE4 || k.compression == BI_RLE8) << n;
            } catch (const EInvalidGraphic&) {
            }
        }
    }
}

// ---------------------------------------------------------------------------------------
// TBitmap's file operations

std::vector<std::uint32_t> PixelsOf(const TBitmap& b) {
    std::vector<std::uint32_t> px;
    for (Integer y = 0; y < b.Height(); ++y) px.insert(px.end(), b.ScanLine(y), b.ScanLine(y) + b.Width());
    return px;
}

void Paint(TBitmap& b, Integer w, Integer h) {
    b.SetSize(w, h);
    for (Integer y = 0; y < h; ++y)
        for (Integer x = 0; x < w; ++x) b.ScanLine(y)[x] = 0xFF000000u | std::uint32_t(x * 40) << 16 | std::uint32_t(y * 50) << 8 | std::uint32_t(x ^ y);
}

TEST(BitmapFiles, SaveWritesA24BitBottomUpFileThatLoadsBack) {
    TBitmap source;
    Paint(source, 5, 3);
    std::stringstream stream;
    source.SaveToStream(stream);
    const std::string bytes = stream.str();
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(std::uint8_t(bytes[10]), 54);  // pixels right after the 40-byte header, no palette
    EXPECT_EQ(std::uint8_t(bytes[28]), 24);
    EXPECT_EQ(std::uint8_t(bytes[22]), 3);   // positive height: bottom-up
    EXPECT_EQ(bytes.size(), 54u + 3 * 16);   // rows of 15 bytes padded to 16
    // The first row in the file is the bottom row; its first pixel is stored B, G, R.
    const std::uint32_t bottomLeft = source.ScanLine(2)[0];
    EXPECT_EQ(std::uint8_t(bytes[54]), bottomLeft & 0xFF);
    EXPECT_EQ(std::uint8_t(bytes[56]), bottomLeft >> 16 & 0xFF);

    TBitmap loaded;
    loaded.LoadFromStream(stream);
    EXPECT_EQ(loaded.Width(), 5);
    EXPECT_EQ(loaded.Height(), 3);
    EXPECT_EQ(PixelsOf(loaded), PixelsOf(source));
}

TEST(BitmapFiles, FilesRoundTripAndUnopenableFilesRaiseFOpenError) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("kvb-codecs-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    TBitmap source;
    Paint(source, 4, 4);
    const std::string name = (dir / "picture.bmp").string();
    source.SaveToFile(name);
    TBitmap loaded;
    loaded.LoadFromFile(name);
    EXPECT_EQ(PixelsOf(loaded), PixelsOf(source));

    EXPECT_THROW(loaded.LoadFromFile((dir / "missing.bmp").string()), EFOpenError);
    EXPECT_THROW(loaded.LoadFromFile(dir.string()), EFOpenError);
    EXPECT_THROW(source.SaveToFile((dir / "no-such-folder" / "x.bmp").string()), EFOpenError);
    EXPECT_EQ(PixelsOf(loaded), PixelsOf(source));
    std::filesystem::remove_all(dir);
}

TEST(BitmapFiles, AFailedLoadLeavesTheBitmapAsItWas) {
    TBitmap bitmap;
    Paint(bitmap, 3, 2);
    const std::vector<std::uint32_t> before = PixelsOf(bitmap);
    BmpFile bad = Valid8();
    bad.data[4] = 7;  // palette index out of range in the second row
    for (const Bytes& file : {bad.Build(), Bytes{'B', 'M', 1, 2}}) {
        std::istringstream in(std::string(file.begin(), file.end()));
        EXPECT_THROW(bitmap.LoadFromStream(in), EInvalidGraphic);
        EXPECT_EQ(bitmap.Width(), 3);
        EXPECT_EQ(bitmap.Height(), 2);
        EXPECT_EQ(PixelsOf(bitmap), before);
    }
}

// A stream that can only be read forward, a few bytes at a time, like a pipe.
class TrickleBuf : public std::streambuf {
public:
    explicit TrickleBuf(std::string bytes) : bytes_(std::move(bytes)) {}

protected:
    int_type underflow() override {
        if (pos_ >= bytes_.size()) return traits_type::eof();
        const std::size_t n = std::min<std::size_t>(3, bytes_.size() - pos_);
        std::memcpy(chunk_, bytes_.data() + pos_, n);
        pos_ += n;
        setg(chunk_, chunk_, chunk_ + n);
        return traits_type::to_int_type(chunk_[0]);
    }

private:
    std::string bytes_;
    std::size_t pos_ = 0;
    char chunk_[3];
};

TEST(BitmapFiles, LoadsFromUnseekableStreamsAndFromTheMiddleOfAStream) {
    TBitmap source;
    Paint(source, 70, 30);
    std::stringstream saved;
    source.SaveToStream(saved);
    const std::string file = saved.str();

    TrickleBuf trickle(file);
    std::istream pipe(&trickle);
    TBitmap fromPipe;
    fromPipe.LoadFromStream(pipe);
    EXPECT_EQ(PixelsOf(fromPipe), PixelsOf(source));

    // Offsets in the file count from where the bitmap starts, not from the start of the stream.
    std::istringstream embedded("leading bytes" + file);
    embedded.seekg(13);
    TBitmap fromMiddle;
    fromMiddle.LoadFromStream(embedded);
    EXPECT_EQ(PixelsOf(fromMiddle), PixelsOf(source));
}

TEST(BitmapFiles, AnEmptyBitmapSavesAndLoadsAsEmpty) {
    TBitmap empty;
    std::stringstream stream;
    empty.SaveToStream(stream);
    TBitmap loaded;
    Paint(loaded, 2, 2);
    loaded.LoadFromStream(stream);
    EXPECT_TRUE(loaded.Empty());
}

}  // namespace
}  // namespace kvb

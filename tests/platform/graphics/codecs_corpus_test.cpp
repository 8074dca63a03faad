// The fuzz seed corpus of the bitmap reader (fuzz/corpus/bmp_reader) is made by our own
// encoder: one small file for each kind of file the reader accepts. This test keeps the
// committed seeds in step with the encoder; KVB_UPDATE_CORPUS=1 rewrites them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/graphics/Graphics.h"
#include "platform/graphics/codecs/Bmp.h"

namespace kvb {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace codecs;

struct SeedKind {
    const char* name;
    int bpp;
    BmpCompression compression;
    BmpHeaderKind header;
    bool topDown = false;
    bool skipBackground = false;
    std::uint32_t r = 0, g = 0, b = 0;
};

std::vector<std::pair<std::string, Bytes>> Seeds() {
    const SeedKind kinds[] = {
        {"1bit", 1, BI_RGB, bhInfo},
        {"1bit-core", 1, BI_RGB, bhCore},
        {"4bit", 4, BI_RGB, bhInfo, true},
        {"4bit-core", 4, BI_RGB, bhCore},
        {"4bit-rle4", 4, BI_RLE4, bhInfo},
        {"4bit-rle4-delta", 4, BI_RLE4, bhV5, false, true},
        {"8bit", 8, BI_RGB, bhInfo},
        {"8bit-core", 8, BI_RGB, bhCore},
        {"8bit-topdown-v4", 8, BI_RGB, bhV4, true},
        {"8bit-rle8", 8, BI_RLE8, bhInfo},
        {"8bit-rle8-delta", 8, BI_RLE8, bhInfo, false, true},
        {"16bit-555", 16, BI_RGB, bhInfo},
        {"16bit-565-fields", 16, BI_BITFIELDS, bhInfo},
        {"16bit-444-fields-v4", 16, BI_BITFIELDS, bhV4, true, false, 0x0F00, 0x00F0, 0x000F},
        {"24bit", 24, BI_RGB, bhInfo},
        {"24bit-topdown", 24, BI_RGB, bhInfo, true},
        {"24bit-core", 24, BI_RGB, bhCore},
        {"32bit", 32, BI_RGB, bhInfo},
        {"32bit-fields-v5", 32, BI_BITFIELDS, bhV5, false, false, 0x3FF00000, 0x000FFC00, 0x000003FF},
    };
    // 7 x 5 leaves row padding at every depth; the colours repeat in runs, change at every pixel
    // in the top row and leave gaps of the first colour, so that the run-length seeds carry runs,
    // literals, deltas and line ends.
    const Integer w = 7, h = 5;
    std::vector<std::pair<std::string, Bytes>> seeds;
    for (const SeedKind& k : kinds) {
        const std::uint32_t colours = k.bpp == 1 ? 2 : k.bpp == 4 ? 6 : 9;
        std::vector<std::uint32_t> px(std::size_t(w) * h);
        for (Integer y = 0; y < h; ++y)
            for (Integer x = 0; x < w; ++x) {
                const std::uint32_t i = (y == 2 && x > 1) ? 0
                                      : std::uint32_t(y == 4 ? x + 1 : x / 2 + y * 3) % colours;
                px[std::size_t(y) * w + std::size_t(x)] = 0xFF000000u | (i * 0x3A7F1Du & 0xFFFFFF);
            }
        BmpWriteOptions o;
        o.BitsPerPixel = k.bpp;
        o.Compression = k.compression;
        o.Header = k.header;
        o.TopDown = k.topDown;
        o.RleSkipBackground = k.skipBackground;
        o.RedMask = k.r; o.GreenMask = k.g; o.BlueMask = k.b;
        seeds.emplace_back(k.name, EncodeBmp(px.data(), w, h, w, o));
    }
    const std::uint32_t none = 0;
    seeds.emplace_back("empty", EncodeBmp(&none, 0, 0, 0, {}));
    return seeds;
}

TEST(BmpSeedCorpus, IsWhatTheEncoderWritesAndDecodes) {
    const std::filesystem::path dir = std::filesystem::path(KVB_SOURCE_DIR) / "fuzz" / "corpus" / "bmp_reader";
    const char* update = std::getenv("KVB_UPDATE_CORPUS");
    const bool rewrite = update != nullptr && std::string(update) == "1";
    if (rewrite) std::filesystem::create_directories(dir);
    for (const auto& [name, bytes] : Seeds()) {
        SCOPED_TRACE(name);
        const std::filesystem::path file = dir / (name + ".bmp");
        if (rewrite) std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        std::ifstream in(file, std::ios::binary);
        ASSERT_TRUE(in.is_open()) << file << " is missing; run this test with KVB_UPDATE_CORPUS=1";
        const Bytes committed{std::istreambuf_iterator<char>(in), {}};
        EXPECT_EQ(committed, bytes) << file << " is out of date; run this test with KVB_UPDATE_CORPUS=1";
        std::istringstream stream(std::string(bytes.begin(), bytes.end()));
        TBitmap bitmap;
        EXPECT_NO_THROW(bitmap.LoadFromStream(stream));
    }
}

}  // namespace
}  // namespace kvb

// PNG export and reading, and the golden-image comparison the picture tests rely on.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/graphics/Graphics.h"
#include "platform/graphics/codecs/Png.h"
#include "support/Golden.h"

namespace kvb {
namespace {

namespace fs = std::filesystem;

class TempDir {
public:
    TempDir() : path_(fs::temp_directory_path() / ("kvb-png-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++))) {
        fs::create_directories(path_);
    }
    ~TempDir() { fs::remove_all(path_); }
    const fs::path& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    static inline int counter_ = 0;
    fs::path path_;
};

void Paint(TBitmap& b, Integer w, Integer h) {
    b.SetSize(w, h);
    for (Integer y = 0; y < h; ++y)
        for (Integer x = 0; x < w; ++x)
            b.ScanLine(y)[x] = 0xFF000000u | std::uint32_t(x * 37 % 256) << 16 | std::uint32_t(y * 91 % 256) << 8 |
                               std::uint32_t((x * y + 5) % 256);
}

std::vector<std::uint32_t> PixelsOf(const TBitmap& b) {
    std::vector<std::uint32_t> px;
    for (Integer y = 0; y < b.Height(); ++y) px.insert(px.end(), b.ScanLine(y), b.ScanLine(y) + b.Width());
    return px;
}

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(PngFiles, ExportIsEightBitRgbAndReadsBackExactly) {
    TempDir dir;
    TBitmap source;
    Paint(source, 13, 7);
    source.SaveToPNGFile(dir / "p.png");
    const std::string bytes = ReadFile(dir / "p.png");
    ASSERT_GT(bytes.size(), 33u);
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
    EXPECT_EQ(bytes.substr(12, 4), "IHDR");
    EXPECT_EQ(std::uint8_t(bytes[19]), 13);  // width, big-endian
    EXPECT_EQ(std::uint8_t(bytes[23]), 7);   // height
    EXPECT_EQ(std::uint8_t(bytes[24]), 8);   // bit depth
    EXPECT_EQ(std::uint8_t(bytes[25]), 2);   // colour type: RGB

    TBitmap loaded;
    codecs::LoadPNGFile(loaded, dir / "p.png");
    EXPECT_EQ(loaded.Width(), 13);
    EXPECT_EQ(loaded.Height(), 7);
    EXPECT_EQ(PixelsOf(loaded), PixelsOf(source));
}

TEST(PngFiles, FailuresRaiseAndLeaveTheBitmapAlone) {
    TempDir dir;
    TBitmap empty;
    EXPECT_THROW(empty.SaveToPNGFile(dir / "empty.png"), EInvalidGraphic);
    TBitmap source;
    Paint(source, 3, 3);
    EXPECT_THROW(source.SaveToPNGFile(dir / "missing/x.png"), EFOpenError);

    TBitmap target;
    Paint(target, 2, 2);
    const std::vector<std::uint32_t> before = PixelsOf(target);
    EXPECT_THROW(codecs::LoadPNGFile(target, dir / "none.png"), EFOpenError);
    source.SaveToFile(dir / "bitmap.bmp");
    EXPECT_THROW(codecs::LoadPNGFile(target, dir / "bitmap.bmp"), EInvalidGraphic);
    source.SaveToPNGFile(dir / "cut.png");
    const std::string whole = ReadFile(dir / "cut.png");
    std::ofstream(dir / "cut.png", std::ios::binary) << whole.substr(0, whole.size() / 2);
    EXPECT_THROW(codecs::LoadPNGFile(target, dir / "cut.png"), EInvalidGraphic);
    EXPECT_EQ(PixelsOf(target), before);
}

TEST(GoldenImages, UpdateWritesOnlyChangedPicturesAndComparisonIsExact) {
    TempDir golden, out;
    TBitmap picture;
    Paint(picture, 6, 4);
    EXPECT_TRUE(test::CompareWithGolden(picture, "shape", golden.Path(), out.Path(), /*update=*/true));
    ASSERT_TRUE(fs::exists(golden / "shape.png"));
    const auto written = fs::last_write_time(golden / "shape.png");
    fs::last_write_time(golden / "shape.png", written - std::chrono::hours(1));
    EXPECT_TRUE(test::CompareWithGolden(picture, "shape", golden.Path(), out.Path(), true));
    EXPECT_EQ(fs::last_write_time(golden / "shape.png"), written - std::chrono::hours(1));

    EXPECT_TRUE(test::CompareWithGolden(picture, "shape", golden.Path(), out.Path(), false));
    EXPECT_FALSE(fs::exists(out / "shape.actual.png"));
}

TEST(GoldenImages, AMismatchWritesActualAndDiffPicturesAndNamesThem) {
    TempDir golden, out;
    TBitmap picture;
    Paint(picture, 6, 4);
    ASSERT_TRUE(test::CompareWithGolden(picture, "shape", golden.Path(), out.Path(), true));
    picture.ScanLine(2)[5] ^= 0x000001;  // one pixel, one step of blue

    const ::testing::AssertionResult result = test::CompareWithGolden(picture, "shape", golden.Path(), out.Path(), false);
    ASSERT_FALSE(result);
    const std::string message = result.message();
    EXPECT_NE(message.find(out / "shape.actual.png"), std::string::npos) << message;
    EXPECT_NE(message.find(out / "shape.diff.png"), std::string::npos) << message;
    EXPECT_NE(message.find("1 pixels differ, first at (5, 2)"), std::string::npos) << message;

    TBitmap actual, diff;
    codecs::LoadPNGFile(actual, out / "shape.actual.png");
    EXPECT_EQ(PixelsOf(actual), PixelsOf(picture));
    codecs::LoadPNGFile(diff, out / "shape.diff.png");
    for (Integer y = 0; y < 4; ++y)
        for (Integer x = 0; x < 6; ++x)
            EXPECT_EQ(diff.ScanLine(y)[x] == 0xFFFF0000u, x == 5 && y == 2) << x << ", " << y;

    TBitmap wider;
    Paint(wider, 7, 4);
    const ::testing::AssertionResult sized = test::CompareWithGolden(wider, "shape", golden.Path(), out.Path(), false);
    ASSERT_FALSE(sized);
    EXPECT_NE(std::string(sized.message()).find("size: golden 6 x 4, actual 7 x 4"), std::string::npos);
    codecs::LoadPNGFile(diff, out / "shape.diff.png");
    EXPECT_EQ(diff.Width(), 7);
    EXPECT_EQ(diff.ScanLine(0)[6], 0xFFFF00FFu);
}

TEST(GoldenImages, AMissingGoldenFailsAndKeepsThePictureForReview) {
    TempDir golden, out;
    TBitmap picture;
    Paint(picture, 3, 3);
    const ::testing::AssertionResult result = test::CompareWithGolden(picture, "new", golden.Path(), out.Path(), false);
    ASSERT_FALSE(result);
    EXPECT_NE(std::string(result.message()).find("no golden image"), std::string::npos);
    EXPECT_TRUE(fs::exists(out / "new.actual.png"));
    EXPECT_FALSE(fs::exists(golden / "new.png"));
}

}  // namespace
}  // namespace kvb

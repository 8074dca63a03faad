// Compares a composed picture with its golden image, tests/golden/<name>.png, pixel for pixel.
//
//   EXPECT_GOLDEN(bitmap, "scale_bottom_axis");
//
// On a mismatch the actual picture and a difference picture are written to
// <build>/golden-out/<name>.actual.png and <name>.diff.png and the failure names both. In the
// difference picture matching pixels are a pale grey version of the golden image, differing
// pixels are red and pixels only one of the two pictures has are magenta. With the environment
// variable KVB_UPDATE_GOLDEN=1 the golden image is (re)written instead (scripts/update-golden);
// an unchanged picture leaves its file untouched.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/graphics/Graphics.h"
#include "platform/graphics/codecs/Png.h"

namespace kvb::test {

inline std::filesystem::path GoldenDir() {
#ifdef KVB_SOURCE_DIR
    return std::filesystem::path(KVB_SOURCE_DIR) / "tests" / "golden";
#else
    const char* source = std::getenv("KVB_SOURCE_DIR");
    return std::filesystem::path(source ? source : ".") / "tests" / "golden";
#endif
}

inline std::filesystem::path GoldenOutDir() {
#ifdef KVB_BINARY_DIR
    return std::filesystem::path(KVB_BINARY_DIR) / "golden-out";
#else
    return std::filesystem::current_path() / "golden-out";
#endif
}

inline bool UpdatingGoldens() {
    const char* update = std::getenv("KVB_UPDATE_GOLDEN");
    return update != nullptr && std::string(update) == "1";
}

namespace detail {

inline std::string Hex(std::uint32_t pixel) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", unsigned(pixel & 0xFFFFFF));
    return text;
}

// Compares colours only: a PNG keeps no alpha, so neither does the comparison.
inline bool SamePicture(const TBitmap& a, const TBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (Integer y = 0; y < a.Height(); ++y)
        if (!std::equal(a.ScanLine(y), a.ScanLine(y) + a.Width(), b.ScanLine(y),
                        [](std::uint32_t p, std::uint32_t q) { return ((p ^ q) & 0xFFFFFF) == 0; }))
            return false;
    return true;
}

inline void WritePicture(const TBitmap& picture, const std::filesystem::path& file) {
    std::filesystem::create_directories(file.parent_path());
    picture.SaveToPNGFile(file.string());
}

}  // namespace detail

// The comparison itself, with its folders given; MatchesGolden supplies the project's.
inline ::testing::AssertionResult CompareWithGolden(const TBitmap& actual, const std::string& name,
                                                    const std::filesystem::path& goldenDir,
                                                    const std::filesystem::path& outDir, bool update) {
    if (actual.Empty()) return ::testing::AssertionFailure() << "picture '" << name << "' is empty";
    const std::filesystem::path golden = goldenDir / (name + ".png");
    const std::filesystem::path actualFile = outDir / (name + ".actual.png");
    const std::filesystem::path diffFile = outDir / (name + ".diff.png");

    TBitmap expected;
    std::string loadError;
    const bool haveGolden = std::filesystem::exists(golden);
    if (haveGolden) {
        try {
            codecs::LoadPNGFile(expected, golden.string());
        } catch (const Exception& e) {
            loadError = e.Message();
        }
    }
    try {
        if (update) {
            if (!haveGolden || !loadError.empty() || !detail::SamePicture(expected, actual)) {
                detail::WritePicture(actual, golden);
                std::printf("golden: wrote %s\n", golden.string().c_str());
            }
            return ::testing::AssertionSuccess();
        }
        if (!haveGolden || !loadError.empty()) {
            detail::WritePicture(actual, actualFile);
            return ::testing::AssertionFailure()
                   << (haveGolden ? "cannot read golden image " + golden.string() + ": " + loadError
                                  : "no golden image " + golden.string())
                   << "\n  actual: " << actualFile.string()
                   << "\n  accept it with scripts/update-golden after looking at it";
        }
        if (detail::SamePicture(expected, actual)) return ::testing::AssertionSuccess();

        const Integer w = std::max(expected.Width(), actual.Width());
        const Integer h = std::max(expected.Height(), actual.Height());
        TBitmap diff;
        diff.SetSize(w, h);
        std::uint64_t differing = 0;
        std::string first;
        for (Integer y = 0; y < h; ++y)
            for (Integer x = 0; x < w; ++x) {
                const bool inE = x < expected.Width() && y < expected.Height();
                const bool inA = x < actual.Width() && y < actual.Height();
                std::uint32_t& out = diff.ScanLine(y)[x];
                if (!inE || !inA) {
                    out = 0xFFFF00FFu;
                    continue;
                }
                const std::uint32_t e = expected.ScanLine(y)[x], a = actual.ScanLine(y)[x];
                if ((e & 0xFFFFFF) == (a & 0xFFFFFF)) {
                    const std::uint32_t luma = ((e >> 16 & 0xFF) * 3 + (e >> 8 & 0xFF) * 6 + (e & 0xFF)) / 10;
                    const std::uint32_t grey = 192 + luma / 4;
                    out = 0xFF000000u | grey << 16 | grey << 8 | grey;
                } else {
                    out = 0xFFFF0000u;
                    if (differing++ == 0)
                        first = "first at (" + std::to_string(x) + ", " + std::to_string(y) + "): golden " +
                                detail::Hex(e) + ", actual " + detail::Hex(a);
                }
            }
        detail::WritePicture(actual, actualFile);
        detail::WritePicture(diff, diffFile);
        auto result = ::testing::AssertionFailure() << "picture differs from golden image " << golden.string();
        if (expected.Width() != actual.Width() || expected.Height() != actual.Height())
            result << "\n  size: golden " << expected.Width() << " x " << expected.Height() << ", actual "
                   << actual.Width() << " x " << actual.Height();
        if (differing > 0) result << "\n  " << differing << " pixels differ, " << first;
        return result << "\n  actual: " << actualFile.string() << "\n  diff:   " << diffFile.string();
    } catch (const Exception& e) {
        return ::testing::AssertionFailure() << "golden image " << golden.string() << ": " << e.Message();
    } catch (const std::filesystem::filesystem_error& e) {
        return ::testing::AssertionFailure() << "golden image " << golden.string() << ": " << e.what();
    }
}

inline ::testing::AssertionResult MatchesGolden(const TBitmap& actual, const std::string& name) {
    return CompareWithGolden(actual, name, GoldenDir(), GoldenOutDir(), UpdatingGoldens());
}

}  // namespace kvb::test

#define EXPECT_GOLDEN(bitmap, name) EXPECT_TRUE(::kvb::test::MatchesGolden((bitmap), (name)))
#define ASSERT_GOLDEN(bitmap, name) ASSERT_TRUE(::kvb::test::MatchesGolden((bitmap), (name)))

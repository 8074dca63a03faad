// Helpers for exact pixel tests: pictures written as text, one character per pixel.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/graphics/Graphics.h"

namespace kvb::testing {

// A bitmap of the given size filled with one colour, drawn on with a black pen and no brush
// unless the test says otherwise.
inline std::unique_ptr<TBitmap> MakeBitmap(Integer w, Integer h, TColor fill = clWhite) {
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(w, h);
    bmp->Canvas()->Brush()->SetColor(fill);
    bmp->Canvas()->FillRect(Rect(0, 0, w, h));
    bmp->Canvas()->Pen()->SetColor(clBlack);
    bmp->Canvas()->Brush()->SetStyle(bsClear);
    return bmp;
}

// The picture of a bitmap as text rows, a character per pixel taken from the legend
// (colour -> character); colours not in the legend show as '?'.
inline std::vector<std::string> Picture(const TBitmap& bmp, const std::map<TColor, char>& legend) {
    std::vector<std::string> rows;
    for (Integer y = 0; y < bmp.Height(); ++y) {
        std::string row;
        for (Integer x = 0; x < bmp.Width(); ++x) {
            const auto it = legend.find(bmp.Canvas()->Pixels(x, y));
            row += it == legend.end() ? '?' : it->second;
        }
        rows.push_back(row);
    }
    return rows;
}

// Black on white, the usual case.
inline std::vector<std::string> Picture(const TBitmap& bmp) {
    return Picture(bmp, {{clWhite, '.'}, {clBlack, '#'}, {clRed, 'r'}, {clBlue, 'b'}, {clLime, 'g'}});
}

inline std::string Join(const std::vector<std::string>& rows) {
    std::string s = "\n";
    for (const auto& r : rows) s += r + "\n";
    return s;
}

// Compares whole pictures and prints both on a mismatch.
#define EXPECT_PICTURE(bmp, ...)                                                               \
    EXPECT_EQ(::kvb::testing::Join(::kvb::testing::Picture(bmp)),                              \
              ::kvb::testing::Join(std::vector<std::string>(__VA_ARGS__)))

}  // namespace kvb::testing

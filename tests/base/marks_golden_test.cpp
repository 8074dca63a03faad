// All 256 mark codes on one sheet, enlarged four times for review by eye: symbols 0..51 in
// the first rows, then the characters of the canvas font (200..209 as the digits).
#include <gtest/gtest.h>

#include <memory>

#include "base/KVB_kvbbase.h"
#include "support/Golden.h"

namespace kvb {
namespace {

constexpr Integer kCell = 20, kZoom = 4, kSide = 16 * kCell;

std::unique_ptr<TBitmap> MarkSheet() {
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(kSide, kSide);
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetColor(clWhite);
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(Rect(0, 0, kSide, kSide));
    // A faint grid shows each code's cell; the mark sits on the cell's centre pixel.
    c->Pen()->SetColor(RGB(0xE0, 0xE0, 0xE0));
    for (Integer i = 0; i <= 16; ++i) {
        c->MoveTo(i * kCell, 0);
        c->LineTo(i * kCell, kSide);
        c->MoveTo(0, i * kCell);
        c->LineTo(kSide, i * kCell);
    }
    c->Font()->SetName("DejaVu Sans");
    for (int code = 0; code < 256; ++code) {
        const Integer X = (code % 16) * kCell + kCell / 2, Y = (code / 16) * kCell + kCell / 2;
        // Alternate the pen colour, and the caller's brush, to show both are honoured.
        c->Pen()->SetColor(code % 2 == 0 ? clNavy : clMaroon);
        c->Brush()->SetColor(clYellow);
        c->Brush()->SetStyle(bsSolid);
        DrawMark(c, static_cast<Byte>(code), X, Y);
    }
    return bmp;
}

std::unique_ptr<TBitmap> Enlarged(const TBitmap& src, Integer zoom) {
    auto big = std::make_unique<TBitmap>();
    big->SetSize(src.Width() * zoom, src.Height() * zoom);
    for (Integer y = 0; y < big->Height(); ++y) {
        const std::uint32_t* from = src.ScanLine(y / zoom);
        std::uint32_t* to = big->ScanLine(y);
        for (Integer x = 0; x < big->Width(); ++x) to[x] = from[x / zoom];
    }
    return big;
}

TEST(DrawMarkGolden, AllCodesAtFourTimes) {
    auto sheet = MarkSheet();
    auto big = Enlarged(*sheet, kZoom);
    EXPECT_GOLDEN(*big, "marks_all_codes_4x");
}

}  // namespace
}  // namespace kvb

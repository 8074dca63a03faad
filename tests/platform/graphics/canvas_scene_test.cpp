// A composed picture of every primitive, compared with its golden image.
#include <cmath>

#include "support/Golden.h"

namespace kvb {
namespace {

TEST(CanvasScene, EveryPrimitiveTogether) {
    TBitmap bmp;
    bmp.SetSize(320, 200);
    TCanvas* c = bmp.Canvas();
    c->Brush()->SetColor(clSilver);
    c->FillRect(Rect(0, 0, 320, 200));
    c->Brush()->SetColor(clWhite);  // the gaps of the styled lines
    for (int i = 0; i < 5; ++i) {
        c->Pen()->SetStyle(static_cast<TPenStyle>(i));
        c->MoveTo(10, 10 + i * 8);
        c->LineTo(150, 10 + i * 8);
    }
    c->Pen()->SetStyle(psSolid);
    for (Integer w = 1; w <= 6; ++w) {
        c->Pen()->SetWidth(w);
        c->MoveTo(10 + w * 20, 60);
        c->LineTo(30 + w * 20, 110);
    }
    c->Pen()->SetWidth(1);
    c->Brush()->SetColor(clYellow);
    c->Ellipse(160, 10, 310, 90);
    c->Brush()->SetColor(clAqua);
    TPoint star[5];
    for (int i = 0; i < 5; ++i) {
        const double a = -M_PI / 2 + i * 4 * M_PI / 5;
        star[i] = {static_cast<Integer>(std::lround(235 + 60 * std::cos(a))),
                   static_cast<Integer>(std::lround(150 + 45 * std::sin(a)))};
    }
    c->Polygon(star);
    c->Pen()->SetColor(clRed);
    c->Pen()->SetWidth(3);
    c->Arc(20, 120, 140, 190, 140, 120, 20, 190);
    c->Pen()->SetWidth(1);
    c->Pen()->SetColor(clBlue);
    for (Integer i = 0; i < 8; ++i) c->Ellipse(160 + i * 12, 100, 164 + i * 13, 104 + i);
    c->Pen()->SetMode(pmXor);
    c->Pen()->SetColor(clWhite);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(100, 20, 220, 130);
    EXPECT_GOLDEN(bmp, "raster_scene");
}

}  // namespace
}  // namespace kvb

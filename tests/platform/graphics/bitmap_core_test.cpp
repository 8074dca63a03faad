// Bitmap sizes and memory, copies, pens and brushes as published objects, the printer.
#include <climits>

#include "raster_test_util.h"

namespace kvb {
namespace {

using testing::MakeBitmap;

TEST(BitmapCore, SetSizeKeepsPixelsAndWhitensNewOnes) {
    auto bmp = MakeBitmap(3, 2, clRed);
    bmp->SetSize(4, 3);
    EXPECT_PICTURE(*bmp, {"rrr.", "rrr.", "...."});
    bmp->SetWidth(2);
    EXPECT_PICTURE(*bmp, {"rr", "rr", ".."});
    EXPECT_EQ(bmp->Bits()[0], 0xFFFF0000u) << "red is stored as 0xFFRRGGBB";
}

TEST(BitmapCore, TooLargeSizeRaisesAndKeepsTheBitmap) {
    auto bmp = MakeBitmap(3, 2, clRed);
    for (auto [w, h] : {std::pair{100000, 100000}, {INT_MAX, INT_MAX}, {1 << 15, 1 << 14}}) {
        EXPECT_THROW(bmp->SetSize(w, h), EOutOfMemory);
        EXPECT_EQ(bmp->Width(), 3);
        EXPECT_EQ(bmp->Height(), 2);
        EXPECT_PICTURE(*bmp, {"rrr", "rrr"});
        EXPECT_EQ(bmp->Canvas()->ClipRect(), Rect(0, 0, 3, 2));
    }
}

TEST(BitmapCore, AssignCopiesPixelsAndRefusesOtherClasses) {
    auto a = MakeBitmap(2, 2, clBlue);
    TBitmap b;
    b.Assign(a.get());
    EXPECT_PICTURE(b, {"bb", "bb"});
    b.Canvas()->SetPixels(0, 0, clRed);
    EXPECT_EQ(a->Canvas()->Pixels(0, 0), clBlue) << "the copy has pixels of its own";
    TPen pen;
    EXPECT_THROW(b.Assign(&pen), EConvertError);
    EXPECT_THROW(b.Assign(nullptr), EConvertError);
}

TEST(BitmapCore, PenAndBrushPublishTheirPropertiesInOrder) {
    auto names = [](const TClassInfo& info) {
        std::vector<std::string> n;
        for (const TPropInfo* p : info.AllProps()) n.push_back(p->Name);
        return n;
    };
    EXPECT_EQ(names(TPen::StaticClassInfo()), (std::vector<std::string>{"Color", "Mode", "Style", "Width"}));
    EXPECT_EQ(names(TBrush::StaticClassInfo()), (std::vector<std::string>{"Color", "Style"}));
    EXPECT_TRUE(TPen::StaticClassInfo().InheritsFrom(TGraphicsObject::StaticClassInfo()));
    EXPECT_EQ(FindClass("TPen"), &TPen::StaticClassInfo());
}

TEST(BitmapCore, PenSettersNotifyAndConvertTheColourOnce) {
    TPen pen;
    int changes = 0;
    pen.SetOnChange([&](TObject* sender) {
        EXPECT_EQ(sender, &pen);
        ++changes;
    });
    pen.SetColor(clBtnFace);
    EXPECT_EQ(pen.Pixel(), 0xFFF0F0F0u);
    pen.SetColor(clBtnFace);  // unchanged: no notice
    pen.SetWidth(0);
    EXPECT_EQ(pen.Width(), 1);
    pen.SetWidth(4);
    pen.SetStyle(psDot);
    pen.SetMode(pmXor);
    EXPECT_EQ(changes, 4);
    TPen copy;
    copy.Assign(&pen);
    EXPECT_EQ(copy.Pixel(), pen.Pixel());
    EXPECT_EQ(copy.Width(), 4);
    EXPECT_EQ(copy.Style(), psDot);
    EXPECT_EQ(copy.Mode(), pmXor);
    TBrush brush;
    brush.SetColor(RGB(1, 2, 3));
    EXPECT_EQ(brush.Pixel(), 0xFF010203u);
}

TEST(BitmapCore, PrinterCanvasIsNotTheScreens) {
    TBitmap screen;
    ASSERT_NE(Printer(), nullptr);
    EXPECT_EQ(Printer(), Printer());
    EXPECT_NE(Printer()->Canvas(), screen.Canvas());
    EXPECT_EQ(GetDeviceCaps(Printer()->Canvas(), LOGPIXELSY), 600);
    EXPECT_EQ(GetDeviceCaps(screen.Canvas(), LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(nullptr, LOGPIXELSX), ScreenPixelsPerInch());
    Printer()->Canvas()->Rectangle(0, 0, 100, 100);  // nothing prints, nothing breaks
}

}  // namespace
}  // namespace kvb

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

TEST(BitmapCore, PixelsReadAndWriteColoursRedInTheLowByte) {
    // The framework's colour constants, from their red, green and blue parts, and the system
    // colours by their index in the desktop's colour table.
    EXPECT_EQ(clMaroon, RGB(128, 0, 0));
    EXPECT_EQ(clNavy, RGB(0, 0, 128));
    EXPECT_EQ(clGray, RGB(128, 128, 128));
    EXPECT_EQ(clSilver, RGB(192, 192, 192));
    EXPECT_EQ(clRed, RGB(255, 0, 0));
    EXPECT_EQ(clBlue, RGB(0, 0, 255));
    EXPECT_EQ(clWindowText, 0xFF000008u);
    EXPECT_EQ(clBtnFace, 0xFF00000Fu);
    EXPECT_EQ(clBtnShadow, 0xFF000010u);
    EXPECT_EQ(clGrayText, 0xFF000011u);
    EXPECT_EQ(clBtnHighlight, 0xFF000014u);

    auto bmp = MakeBitmap(4, 1);
    auto* c = bmp->Canvas();
    c->SetPixels(0, 0, RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(c->Pixels(0, 0), 0x563412u);
    EXPECT_EQ(bmp->Bits()[0], 0xFF123456u);
    // A system colour is stored as the colour it stands for, and reads back as that colour.
    c->SetPixels(1, 0, clBtnShadow);
    EXPECT_EQ(c->Pixels(1, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(bmp->Bits()[1], ColorToPixel(ColorToRGB(clBtnShadow)));
    // Pen and brush resolve it through the same table.
    c->Pen()->SetColor(clBtnShadow);
    c->MoveTo(2, 0);
    c->LineTo(3, 0);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnShadow);
    c->FillRect(Rect(3, 0, 4, 1));
    EXPECT_EQ(c->Pixels(2, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(c->Pixels(3, 0), ColorToRGB(clBtnShadow));
    EXPECT_NE(ColorToRGB(clBtnShadow), ColorToRGB(clBtnFace));
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

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/graphics/Graphics.h"
#include "platform/graphics/text/FontFace.h"

namespace kvb {
namespace {

using text::Pitch;

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

TEST(FontResolution, FrameworkAndUnknownNamesMapToInstalledFamilies) {
    struct Case { const char* name; Pitch pitch; const char* family; } cases[] = {
        {"MS Sans Serif", Pitch::Default, "DejaVu Sans"},
        {"Arial", Pitch::Default, "DejaVu Sans"},
        {"Tahoma", Pitch::Default, "DejaVu Sans"},
        {"ms sans serif", Pitch::Default, "DejaVu Sans"},
        {"", Pitch::Default, "DejaVu Sans"},
        {"No Such Family 4711", Pitch::Default, "DejaVu Sans"},
        {"No Such Family 4711", Pitch::Fixed, "DejaVu Sans Mono"},
        {"Courier New", Pitch::Default, "DejaVu Sans Mono"},
        {"Times New Roman", Pitch::Default, "DejaVu Serif"},
        {"DejaVu Serif", Pitch::Default, "DejaVu Serif"},
    };
    for (const auto& c : cases) {
        const text::FontSource s = text::ResolveFont(c.name, false, false, c.pitch);
        EXPECT_EQ(s.Family, c.family) << c.name;
        EXPECT_FALSE(s.SyntheticBold || s.SyntheticItalic) << c.name;
    }
    EXPECT_EQ(BaseName(text::ResolveFont("MS Sans Serif", false, false, Pitch::Default).File), "DejaVuSans.ttf");
}

TEST(FontResolution, RealStyledFacesWhenInstalledSyntheticOtherwise) {
    EXPECT_EQ(BaseName(text::ResolveFont("Arial", true, false, Pitch::Default).File), "DejaVuSans-Bold.ttf");
    EXPECT_EQ(BaseName(text::ResolveFont("Arial", false, true, Pitch::Default).File), "DejaVuSans-Oblique.ttf");
    EXPECT_EQ(BaseName(text::ResolveFont("Arial", true, true, Pitch::Default).File), "DejaVuSans-BoldOblique.ttf");
    // This family is installed in one style only.
    const text::FontSource math = text::ResolveFont("DejaVu Math TeX Gyre", true, true, Pitch::Default);
    EXPECT_EQ(math.Family, "DejaVu Math TeX Gyre");
    EXPECT_TRUE(math.SyntheticBold);
    EXPECT_TRUE(math.SyntheticItalic);
    const text::Glyph& regular = text::FindFace("DejaVu Math TeX Gyre", -20, false, false, Pitch::Default).CharGlyph('H');
    const text::Glyph& bold = text::FindFace("DejaVu Math TeX Gyre", -20, true, false, Pitch::Default).CharGlyph('H');
    const text::Glyph& slanted = text::FindFace("DejaVu Math TeX Gyre", -20, false, true, Pitch::Default).CharGlyph('H');
    EXPECT_GT(bold.Width, regular.Width);
    EXPECT_GT(slanted.Width, regular.Width);
    EXPECT_EQ(slanted.Advance, regular.Advance);
}

TEST(FontResolution, Windows1252Characters) {
    EXPECT_EQ(text::Cp1252ToUnicode('A'), 0x41u);
    EXPECT_EQ(text::Cp1252ToUnicode(0x80), 0x20ACu);  // euro sign
    EXPECT_EQ(text::Cp1252ToUnicode(0x96), 0x2013u);  // en dash
    EXPECT_EQ(text::Cp1252ToUnicode(0x9F), 0x0178u);
    EXPECT_EQ(text::Cp1252ToUnicode(0x81), 0x81u);    // unassigned: kept
    EXPECT_EQ(text::Cp1252ToUnicode(0xE9), 0xE9u);
    // The euro sign has a real glyph; the unassigned code falls to the missing-glyph box.
    const text::FontFace& f = text::FindFace("Arial", -20, false, false, Pitch::Default);
    const text::Glyph& euro = f.CharGlyph(0x80);
    const text::Glyph& e = f.CharGlyph('e');
    EXPECT_GT(euro.Width, 0);
    EXPECT_NE(euro.Coverage, f.CharGlyph(0x81).Coverage);
    EXPECT_NE(euro.Coverage, e.Coverage);
}

TEST(FontFaceMetrics, HeightSignSelectsEmOrCell) {
    const text::FontFace& em13 = text::FindFace("MS Sans Serif", -13, false, false, Pitch::Default);
    EXPECT_EQ(em13.PixelSize(), 13);
    // DejaVu Sans: Windows ascent 1901 and descent 483 of 2048 units.
    EXPECT_EQ(em13.Ascent(), 12);
    EXPECT_EQ(em13.CellHeight(), 15);
    for (Integer cell : {1, 7, 15, 20, 33, 100}) {
        const text::FontFace& f = text::FindFace("MS Sans Serif", cell, false, false, Pitch::Default);
        EXPECT_EQ(f.CellHeight(), cell);
    }
    // Zero asks for the default size; absurd sizes are clamped, not allocated.
    EXPECT_EQ(text::FindFace("Arial", 0, false, false, Pitch::Default).PixelSize(), 11);
    EXPECT_EQ(text::FindFace("Arial", -2000000000, false, false, Pitch::Default).PixelSize(), 1000);
    const text::FontFace& f = text::FindFace("Arial", -13, false, false, Pitch::Default);
    EXPECT_GE(f.UnderlinePosition(), 0);
    EXPECT_LE(f.UnderlinePosition() + f.LineThickness(), f.Descent());
    EXPECT_GT(f.StrikeOutPosition(), 0);
    EXPECT_LT(f.StrikeOutPosition(), f.Ascent());
}

TEST(FontFaceMetrics, TextWidthIsTheSumOfAdvancesAndGlyphsAreCachedOnce) {
    const text::FontFace& f = text::FindFace("Tahoma", -17, false, false, Pitch::Default);
    const std::string s = "Ticks 12.5";
    Integer sum = 0;
    for (char c : s) sum += f.CharGlyph(static_cast<unsigned char>(c)).Advance;
    EXPECT_EQ(f.TextWidth(s), sum);
    EXPECT_EQ(f.TextWidth(""), 0);
    const std::size_t rasterised = f.RasterisedCount();
    EXPECT_EQ(f.TextWidth(s + s), 2 * sum);
    EXPECT_EQ(f.RasterisedCount(), rasterised);
    // Same family, size and style through another name: the same face and cache.
    EXPECT_EQ(&text::FindFace("Arial", -17, false, false, Pitch::Default), &f);
}

TEST(TFontProperties, DefaultsSizeAndHeight) {
    TFont font;
    EXPECT_EQ(font.Name(), "MS Sans Serif");
    EXPECT_EQ(font.Height(), -11);
    EXPECT_EQ(font.Size(), 8);  // 11 × 72 / 96 = 8.25
    font.SetSize(10);
    EXPECT_EQ(font.Height(), -13);  // 10 × 96 / 72 = 13.33
    font.SetPixelsPerInch(120);
    EXPECT_EQ(font.Height(), -13);
    EXPECT_EQ(font.Size(), 8);  // 13 × 72 / 120 = 7.8
    font.SetSize(9);
    EXPECT_EQ(font.Height(), -15);
    font.SetPixelsPerInch(0);
    EXPECT_EQ(font.PixelsPerInch(), 120);
    font.SetHeight(20);
    EXPECT_EQ(font.Size(), -12);  // a cell height reads as a negative size
    font.SetSize(2000000000);
    EXPECT_EQ(font.Height(), std::numeric_limits<Integer>::min());
    EXPECT_EQ(font.Face().PixelSize(), 1000);
}

TEST(TFontProperties, ChangesNotifyAndTheFaceFollows) {
    TFont font;
    int changes = 0;
    font.SetOnChange([&](TObject*) { ++changes; });
    const text::FontFace* regular = &font.Face();
    font.SetStyle({fsBold});
    EXPECT_EQ(changes, 1);
    EXPECT_NE(&font.Face(), regular);
    EXPECT_EQ(BaseName(font.Face().Source().File), "DejaVuSans-Bold.ttf");
    font.SetStyle({fsBold});
    font.SetName("MS Sans Serif");
    font.SetHeight(-11);
    font.SetColor(clWindowText);
    EXPECT_EQ(changes, 1);  // nothing changed
    font.SetColor(clRed);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(font.Pixel(), 0xFFFF0000u);
    font.SetHeight(-30);
    EXPECT_EQ(font.Face().PixelSize(), 30);
    EXPECT_EQ(changes, 3);
}

TEST(TFontProperties, AssignCopiesEverythingAndNotifiesOnce) {
    TFont a, b;
    a.SetName("Courier New");
    a.SetHeight(-17);
    a.SetPixelsPerInch(120);
    a.SetColor(clBlue);
    a.SetStyle({fsItalic, fsUnderline});
    a.SetPitch(fpFixed);
    int changes = 0;
    b.SetOnChange([&](TObject*) { ++changes; });
    b.Assign(&a);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(b.Name(), "Courier New");
    EXPECT_EQ(b.Height(), -17);
    EXPECT_EQ(b.PixelsPerInch(), 120);
    EXPECT_EQ(b.Color(), clBlue);
    EXPECT_EQ(b.Pixel(), a.Pixel());
    EXPECT_EQ(b.Style(), (TFontStyles{fsItalic, fsUnderline}));
    EXPECT_EQ(b.Pitch(), fpFixed);
    EXPECT_EQ(&b.Face(), &a.Face());
    TPen pen;
    EXPECT_THROW(b.Assign(&pen), EConvertError);
}

TEST(TFontProperties, PublishedInLayoutOrder) {
    std::vector<std::string> names;
    for (const TPropInfo& p : TFont::StaticClassInfo().OwnProps) names.push_back(p.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"Color", "Height", "Name", "Pitch", "Size", "Style"}));
    // Size after Height in a layout: the later one wins.
    TFont font;
    const TClassInfo& info = TFont::StaticClassInfo();
    info.FindProp("Height")->SetOrd(&font, -20);
    info.FindProp("Size")->SetOrd(&font, 12);
    EXPECT_EQ(font.Height(), -16);
    // A layout written with both: the size the height already reads as keeps the height.
    info.FindProp("Height")->SetOrd(&font, -14);
    info.FindProp("Size")->SetOrd(&font, info.FindProp("Size")->GetOrd(&font));
    EXPECT_EQ(font.Height(), -14);
    info.FindProp("Style")->SetOrd(&font, static_cast<Int64>(TFontStyles{fsBold, fsStrikeOut}.Bits()));
    EXPECT_EQ(font.Style(), (TFontStyles{fsBold, fsStrikeOut}));
    EXPECT_EQ(info.FindProp("Name")->GetStr(&font), "MS Sans Serif");
}

// A machine without fonts: an empty configuration in a child process, so that the rest of the
// program keeps its fonts.
TEST(FontResolutionDeathTest, NoUsableFontNamesThePackage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            char path[] = "/tmp/kvb_empty_fonts_XXXXXX";
            const int fd = mkstemp(path);
            FILE* f = fdopen(fd, "w");
            std::fputs("<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n", f);
            std::fclose(f);
            setenv("FONTCONFIG_FILE", path, 1);
            text::ReloadFontConfigurationForTesting();
            int code = 3;
            try {
                TFont font;
                font.SetName("Arial");
                font.Face();
                code = 1;
            } catch (const EFontError& e) {
                std::fprintf(stderr, "%s\n", e.Message().c_str());
                code = e.Message().find("fonts-dejavu-core") != std::string::npos ? 0 : 2;
            }
            std::remove(path);
            std::exit(code);
        },
        ::testing::ExitedWithCode(0), "install the Debian package fonts-dejavu-core");
}

}  // namespace
}  // namespace kvb

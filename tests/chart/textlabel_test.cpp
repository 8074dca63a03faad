// The chart's text label settings object: defaults, setter rules, caption sanitising, the
// owned font, published order and the copy protocol across the settings classes.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/KVB_kvbbase.h"
#include "chart/TextLabel.h"
#include "platform/classes/Layout.h"

namespace kvb {
namespace {

struct Counter {
    int calls = 0;
    TNotifyEvent Handler(TObject* expected) {
        return [this, expected](TObject* sender) {
            ++calls;
            EXPECT_EQ(sender, expected);
        };
    }
};

TEST(TTextLabel, ConstructorDefaults) {
    TTextLabel t;
    EXPECT_EQ(t.PosX(), 100.0);
    EXPECT_EQ(t.PosY(), 10.0);
    EXPECT_EQ(t.Layer(), 1);
    EXPECT_EQ(t.ShadowDx(), 0);
    EXPECT_EQ(t.ShadowDy(), 0);
    EXPECT_EQ(t.ColorShadow(), clGray);
    EXPECT_EQ(t.Alignment(), taCenter);
    EXPECT_EQ(t.VerticalAlignment(), vaBottom);
    EXPECT_EQ(t.AttachToData(), tlamNone);
    EXPECT_EQ(t.ColorBkg(), clSilver);
    EXPECT_EQ(t.ColorBorder(), clBlack);
    EXPECT_FALSE(t.Transparent());
    EXPECT_EQ(t.Caption(), "");
    EXPECT_EQ(t.Mode(), tlsimple);
    EXPECT_TRUE(t.Visible());
    EXPECT_FALSE(t.OnChange());
    ASSERT_NE(t.Font(), nullptr);
    TFont platformDefault;
    EXPECT_EQ(t.Font()->Name(), platformDefault.Name());
    EXPECT_EQ(t.Font()->Height(), platformDefault.Height());
    EXPECT_EQ(t.Font()->Color(), platformDefault.Color());
}

TEST(TTextLabel, EverySetterStoresAndNotifies) {
    TTextLabel t;
    Counter n;
    t.SetOnChange(n.Handler(&t));
    TFont f;
    f.SetColor(clGreen);
    f.SetHeight(-20);
    struct Step { const char* name; std::function<void()> set; std::function<bool()> check; } steps[] = {
        {"PosX", [&] { t.SetPosX(-3.5); }, [&] { return t.PosX() == -3.5; }},
        {"PosY", [&] { t.SetPosY(1e9); }, [&] { return t.PosY() == 1e9; }},
        {"AttachToData", [&] { t.SetAttachToData(tlamYOnly); }, [&] { return t.AttachToData() == tlamYOnly; }},
        {"Alignment", [&] { t.SetAlignment(taRightJustify); }, [&] { return t.Alignment() == taRightJustify; }},
        {"VerticalAlignment", [&] { t.SetVerticalAlignment(vaTop); }, [&] { return t.VerticalAlignment() == vaTop; }},
        {"ColorBkg", [&] { t.SetColorBkg(clBtnFace); }, [&] { return t.ColorBkg() == clBtnFace; }},
        {"ColorBorder", [&] { t.SetColorBorder(clNavy); }, [&] { return t.ColorBorder() == clNavy; }},
        {"ColorShadow", [&] { t.SetColorShadow(clMaroon); }, [&] { return t.ColorShadow() == clMaroon; }},
        {"ShadowDx", [&] { t.SetShadowDx(-4); }, [&] { return t.ShadowDx() == -4; }},
        {"ShadowDy", [&] { t.SetShadowDy(7); }, [&] { return t.ShadowDy() == 7; }},
        {"Visible", [&] { t.SetVisible(false); }, [&] { return !t.Visible(); }},
        {"Visible same", [&] { t.SetVisible(false); }, [&] { return !t.Visible(); }},
        {"Transparent", [&] { t.SetTransparent(true); }, [&] { return t.Transparent(); }},
        {"Mode", [&] { t.SetMode(tlShadow); }, [&] { return t.Mode() == tlShadow; }},
        {"Layer", [&] { t.SetLayer(16); }, [&] { return t.Layer() == 16; }},
        {"Font", [&] { t.SetFont(&f); },
         [&] { return t.Font() != &f && t.Font()->Color() == clGreen && t.Font()->Height() == -20; }},
        {"Caption", [&] { t.SetCaption("x"); }, [&] { return t.Caption() == "x"; }},
    };
    int expected = 0;
    for (const auto& s : steps) {
        s.set();
        EXPECT_TRUE(s.check()) << s.name;
        EXPECT_EQ(n.calls, ++expected) << s.name;
    }
}

TEST(TTextLabel, LayerOutsideOneToSixteenIsIgnored) {
    struct Case { Integer in; Integer after; bool notifies; } cases[] = {
        {5, 5, true}, {0, 5, false}, {17, 5, false}, {-1, 5, false},
        {-2147483647 - 1, 5, false}, {2147483647, 5, false}, {1, 1, true}, {16, 16, true},
    };
    TTextLabel t;
    Counter n;
    t.SetOnChange(n.Handler(&t));
    for (const auto& k : cases) {
        const int before = n.calls;
        t.SetLayer(k.in);
        EXPECT_EQ(t.Layer(), k.after) << k.in;
        EXPECT_EQ(n.calls - before, k.notifies ? 1 : 0) << k.in;
    }
}

TEST(TTextLabel, CaptionControlCharactersBecomeBlanks) {
    struct Case { std::string in, out; } cases[] = {
        {std::string("A\tB\r\nC"), std::string("A B \nC")},
        {std::string("\x01\x1F\x20\x7F", 4), std::string("  \x20\x7F", 4)},
        {std::string("a\0b", 3), std::string("a b")},
        {std::string("\n\n"), std::string("\n\n")},
        // Bytes above 127 are characters of the 8-bit set, kept as they are.
        {std::string("\x80\xE9\xFF"), std::string("\x80\xE9\xFF")},
        {"", ""},
    };
    for (const auto& k : cases) {
        TTextLabel t;
        t.SetCaption(k.in);
        EXPECT_EQ(t.Caption(), k.out);
    }
    // Every byte value at once.
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    TTextLabel t;
    t.SetCaption(all);
    ASSERT_EQ(t.Caption().size(), 256u);
    for (int b = 0; b < 256; ++b) {
        const unsigned char got = static_cast<unsigned char>(t.Caption()[b]);
        EXPECT_EQ(got, (b < 32 && b != 10) ? 32 : b) << b;
    }
}

TEST(TTextLabel, PublishedInLayoutOrder) {
    std::vector<std::string> names;
    for (const TPropInfo* p : TTextLabel::StaticClassInfo().AllProps()) names.push_back(p->Name);
    EXPECT_EQ(names, (std::vector<std::string>{
                         "PosX", "PosY", "Layer", "AttachToData", "ColorBkg", "ColorBorder",
                         "ColorShadow", "ShadowDx", "ShadowDy", "Transparent", "Alignment",
                         "VerticalAlignment", "Font", "Mode", "Caption", "Visible", "OnChange"}));
    const TPropInfo* font = TTextLabel::StaticClassInfo().FindProp("Font");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->Kind, TPropKind::Object);
    TTextLabel t;
    EXPECT_EQ(font->GetObj(&t), t.Font());
    const TPropInfo* mode = TTextLabel::StaticClassInfo().FindProp("Mode");
    mode->SetOrd(&t, EnumInfo<TTxtLblMode>().IndexOf("tlsimple"));
    EXPECT_EQ(t.Mode(), tlsimple);
    TTextLabel::StaticClassInfo().FindProp("Caption")->SetStr(&t, "a\tb");
    EXPECT_EQ(t.Caption(), "a b");
}

TEST(TTextLabel, AssignCopiesEverythingAndTellsNobody) {
    TTextLabel a, b;
    a.SetPosX(1.25);
    a.SetPosY(-7.0);
    a.SetLayer(12);
    a.SetAttachToData(tlamBoth);
    a.SetColorBkg(clWhite);
    a.SetColorBorder(clRed);
    a.SetColorShadow(clBlue);
    a.SetShadowDx(3);
    a.SetShadowDy(-3);
    a.SetTransparent(true);
    a.SetAlignment(taLeftJustify);
    a.SetVerticalAlignment(vaCenter);
    a.Font()->SetName("DejaVu Sans");
    a.Font()->SetHeight(-17);
    a.Font()->SetColor(clPurple);
    a.Font()->SetStyle({fsBold, fsItalic});
    a.SetMode(tlBox);
    a.SetCaption("two\nlines");
    a.SetVisible(false);
    Counter na;
    a.SetOnChange(na.Handler(&a));
    b.SetOnChange([](TObject*) { FAIL() << "notified during Assign"; });
    b.Assign(&a);
    EXPECT_EQ(b.PosX(), 1.25);
    EXPECT_EQ(b.PosY(), -7.0);
    EXPECT_EQ(b.Layer(), 12);
    EXPECT_EQ(b.AttachToData(), tlamBoth);
    EXPECT_EQ(b.ColorBkg(), clWhite);
    EXPECT_EQ(b.ColorBorder(), clRed);
    EXPECT_EQ(b.ColorShadow(), clBlue);
    EXPECT_EQ(b.ShadowDx(), 3);
    EXPECT_EQ(b.ShadowDy(), -3);
    EXPECT_TRUE(b.Transparent());
    EXPECT_EQ(b.Alignment(), taLeftJustify);
    EXPECT_EQ(b.VerticalAlignment(), vaCenter);
    EXPECT_EQ(b.Mode(), tlBox);
    EXPECT_EQ(b.Caption(), "two\nlines");
    EXPECT_FALSE(b.Visible());
    // The font's attributes are copied into b's own font.
    ASSERT_NE(b.Font(), a.Font());
    EXPECT_EQ(b.Font()->Name(), "DejaVu Sans");
    EXPECT_EQ(b.Font()->Height(), -17);
    EXPECT_EQ(b.Font()->Color(), clPurple);
    EXPECT_EQ(b.Font()->Style(), (TFontStyles{fsBold, fsItalic}));
    a.Font()->SetColor(clOlive);
    EXPECT_EQ(b.Font()->Color(), clPurple);
    // b keeps its own handler; a's owner hears nothing of b.
    Counter nb;
    b.SetOnChange(nb.Handler(&b));
    b.SetPosX(0);
    EXPECT_EQ(nb.calls, 1);
    EXPECT_EQ(na.calls, 0);
    // Self-assignment leaves everything as it was.
    b.Assign(&b);
    EXPECT_EQ(b.Caption(), "two\nlines");
}

TEST(TTextLabel, AssignAcrossTheLabelClasses) {
    TCustomTextLabel custom;
    TTextLabel published;
    custom.SetCaption("from custom");
    published.Assign(&custom);
    EXPECT_EQ(published.Caption(), "from custom");
    published.SetCaption("from published");
    custom.Assign(&published);
    EXPECT_EQ(custom.Caption(), "from published");
    // AssignTo hands a descendant over to its ancestor, but not the other way round.
    published.SetLayer(3);
    published.AssignTo(&custom);
    EXPECT_EQ(custom.Layer(), 3);
    EXPECT_THROW(custom.AssignTo(&published), EConvertError);
}

TEST(TTextLabel, ImpossibleAssignAcrossTheSettingsClasses) {
    TTextLabel t;
    TDTLabel d;
    TCrossHair c;
    TFont f;
    TPersistent plain;
    t.SetCaption("kept");
    EXPECT_THROW(t.Assign(&d), EConvertError);
    EXPECT_THROW(t.Assign(&c), EConvertError);
    EXPECT_THROW(d.Assign(&t), EConvertError);
    EXPECT_THROW(c.Assign(&t), EConvertError);
    EXPECT_THROW(t.AssignTo(&c), EConvertError);
    EXPECT_THROW(t.AssignTo(&plain), EConvertError);
    EXPECT_THROW(t.Assign(nullptr), EConvertError);
    // A font is not a label, nor the other way round (SetFont is the way to copy a font in).
    EXPECT_THROW(t.Assign(&f), EConvertError);
    EXPECT_THROW(f.Assign(&t), EConvertError);
    EXPECT_EQ(t.Caption(), "kept");
    try {
        d.Assign(&t);
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TTextLabel to a TDTLabel");
    }
}

TEST(TTextLabel, OwnsItsFontForItsWholeLife) {
    // Many labels created and destroyed the way a chart does: the sanitizer build reports a
    // leak or a double release if the font's ownership is wrong.
    std::vector<std::unique_ptr<TTextLabel>> labels;
    TFont chartFont;
    chartFont.SetHeight(-13);
    for (int i = 0; i < 50; ++i) {
        labels.push_back(std::make_unique<TTextLabel>());
        labels.back()->SetFont(&chartFont);
    }
    EXPECT_EQ(labels[49]->Font()->Height(), -13);
    EXPECT_NE(labels[0]->Font(), labels[1]->Font());
    labels.clear();
}

}  // namespace
}  // namespace kvb

namespace kvb {
namespace {

TEST(TTextLabel, SettingsReadAsALayoutWritesThem) {
    TTextLabel t;
    Counter n;
    t.SetOnChange(n.Handler(&t));
    SetPropText(&t, "Mode", "tlsimple");
    SetPropText(&t, "AttachToData", "tlamXOnly");
    SetPropText(&t, "ColorBkg", "clBtnFace");
    SetPropText(&t, "Alignment", "taRightJustify");
    SetPropText(&t, "Layer", "40");  // ignored like any out-of-range layer
    SetPropText(&t, "Caption", "'a'#9'b'#10'c'");
    SetPropText(&t, "Font.Color", "clRed");
    SetPropText(&t, "Font.Style", "[fsBold]");
    EXPECT_EQ(t.Mode(), tlsimple);
    EXPECT_EQ(t.AttachToData(), tlamXOnly);
    EXPECT_EQ(t.ColorBkg(), clBtnFace);
    EXPECT_EQ(t.Alignment(), taRightJustify);
    EXPECT_EQ(t.Layer(), 1);
    EXPECT_EQ(t.Caption(), "a b\nc");
    EXPECT_EQ(t.Font()->Color(), clRed);
    EXPECT_EQ(t.Font()->Style(), TFontStyles{fsBold});
    EXPECT_EQ(GetPropText(&t, "Mode"), "tlsimple");
    EXPECT_EQ(n.calls, 5);  // the label's own setters; the font's attributes are its own

    TDTLabel d;
    SetPropText(&d, "DateSeparator", "'/'");
    SetPropText(&d, "TimeFormat", "tfAMPM");
    EXPECT_EQ(d.DateSeparator(), '/');
    EXPECT_EQ(d.TimeFormat(), tfAMPM);
    TCrossHair c;
    SetPropText(&c, "LineType", "psDashDotDot");
    SetPropText(&c, "Layer", "0");
    EXPECT_EQ(c.LineType(), psDashDotDot);
    EXPECT_EQ(c.Layer(), 1);
}

}  // namespace
}  // namespace kvb

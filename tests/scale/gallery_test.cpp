// Golden pictures of stand-alone scales, each painted through its off-screen bitmap and copied
// into a gallery picture at its place.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "scale/KVB_Scale.h"
#include "support/Golden.h"

namespace kvb {
namespace {

class Gallery {
public:
    Gallery(Integer w, Integer h) {
        picture_.SetSize(w, h);
        picture_.Canvas()->Brush()->SetColor(clWhite);
        picture_.Canvas()->FillRect(Rect(0, 0, w, h));
    }
    // Paints a scale of the given bounds at (x, y) of the gallery after Setup has configured it.
    void Place(Integer x, Integer y, Integer w, Integer h, const std::function<void(TScale&)>& Setup) {
        TScale s(nullptr);
        s.SetBounds(0, 0, w, h);
        s.SetTargetCanvas(picture_.Canvas(), x, y);
        Setup(s);
        s.PaintNow();
    }
    const TBitmap& Picture() const { return picture_; }

private:
    TBitmap picture_;
};

void Horizontal(TScale& s, double lo, double hi) {
    s.SetMarginTop(4);
    s.SetMarginBottom(8);
    s.SetMarginLeft(16);
    s.SetMarginRight(16);
    s.SetRange(lo, hi);
}

void Vertical(TScale& s, double lo, double hi, TScaleType type) {
    s.SetScaleType(type);
    s.SetMarginTop(12);
    s.SetMarginBottom(12);
    s.SetMarginLeft(6);
    s.SetMarginRight(6);
    s.SetRange(lo, hi);
}

TEST(ScaleGallery, TypesAndCaptions) {
    Gallery g(460, 300);
    g.Place(10, 10, 300, 50, [](TScale& s) { Horizontal(s, 0, 100); s.SetCaption("sctXB"); s.SetCaptionPosY(-40); });
    g.Place(10, 70, 300, 50, [](TScale& s) {
        Horizontal(s, 0, 100);
        s.SetScaleType(sctXT);
        s.SetCaption("sctXT");
        s.SetCaptionPosY(28);
    });
    g.Place(320, 10, 60, 280, [](TScale& s) { Vertical(s, -7, 7, sctYL); s.SetCaption("YL"); s.SetCaptionAlignment(taLeftJustify); s.SetCaptionPosY(-12); });
    g.Place(390, 10, 60, 280, [](TScale& s) { Vertical(s, -7, 7, sctYR); s.SetCaption("YR"); s.SetCaptionAlignment(taRightJustify); s.SetCaptionPosY(-12); });
    // Caption anchors (rows) by alignments (columns); a caption that runs past the control's
    // edge is cut there.
    const TScaleUnitAnchor anchors[] = {uaSclTopLft, uaSclCenter, uaSclBotRgt};
    const TAlignment aligns[] = {taLeftJustify, taCenter, taRightJustify};
    for (int a = 0; a < 3; ++a)
        for (int c = 0; c < 3; ++c)
            g.Place(10 + c * 100, 130 + a * 55, 98, 50, [&](TScale& s) {
                Horizontal(s, 0, 1);
                s.SetMarginLeft(10);
                s.SetMarginRight(10);
                s.SetLabelType(ftNoFigs);
                s.SetShortTicks(false);
                s.SetCaption(a == 0 ? "Top" : a == 1 ? "Mid" : "End");
                s.SetCaptionAnchor(anchors[a]);
                s.SetCaptionAlignment(aligns[c]);
                s.SetCaptionPosX(0);
                s.SetCaptionPosY(-36);
            });
    EXPECT_GOLDEN(g.Picture(), "scale_types_captions");
}

TEST(ScaleGallery, NumbersAndLogarithms) {
    Gallery g(320, 606);
    const struct { double lo, hi; Integer dec, minTicks; bool log; const char* inscript; const char* user; } rows[] = {
        {0, 100, -2, 3, false, "", ""},        {100, 0, -2, 3, false, "", ""},
        {1, 10000, -2, 3, true, "", ""},       {1, 100, -2, 5, true, "", ""},
        {1, 1e6, -3, 3, true, "10^&", ""},     {0, 2000000, -2, 3, false, "", ""},
        {-7, 7, -2, 3, false, "", ""},         {0, 1, -1, 3, false, "", ""},
        {0, 1, 0, 3, false, "", ""},           {0, 1, 3, 3, false, "", ""},
        {0, 100, 0, 3, false, "&%", ""},       {0, 100, -2, 3, false, "", "low|mid|high"},
        // −3 on a linear axis: automatic decimals, like −2.
        {0, 1, -3, 3, false, "", ""},
    };
    Integer y = 5;
    for (const auto& r : rows) {
        g.Place(5, y, 310, 42, [&](TScale& s) {
            Horizontal(s, r.lo, r.hi);
            s.SetDecPlaces(r.dec);
            s.SetMinTicks(r.minTicks);
            s.SetLogarithmic(r.log);
            s.SetScaleInscript(r.inscript);
            if (*r.user) {
                s.SetLabelType(ftUserText);
                s.SetUserTickText(r.user);
            }
            s.SetFrameStyle(fsSimple);
        });
        y += 46;
    }
    EXPECT_GOLDEN(g.Picture(), "scale_numbers");
}

TEST(ScaleGallery, TimesAndDates) {
    Gallery g(420, 520);
    const double jan5 = EncodeDate(2024, 1, 5);
    struct Row { double lo, hi; TFigType type; TDateForTime dft; };
    const Row rows[] = {
        {0, 3600, ftTime, dtNone},                        {0, 1, ftTime, dtNone},
        {jan5, jan5 + 1, ftDateTime, dtNone},             {jan5, jan5 + 1, ftDateTime, dtOnePerChart},
        {jan5 + 0.75, jan5 + 1.75, ftDateTime, dtOnePerDay}, {jan5, jan5 + 1, ftDateTime, dtAllTicks},
        {jan5, jan5 + 0.02, ftDateTime, dtOnePerDay},     {jan5, jan5 + 10, ftDateTime, dtNone},
        {jan5, jan5 + 730, ftDateTime, dtNone},           {jan5, jan5 + 50 * 365.25, ftDateTime, dtNone},
    };
    Integer y = 5;
    for (const auto& r : rows) {
        g.Place(5, y, 410, 48, [&](TScale& s) {
            Horizontal(s, r.lo, r.hi);
            s.SetMarginLeft(30);
            s.SetMarginRight(30);
            s.SetLabelType(r.type);
            s.DateFormat()->SetDateForTime(r.dft);
            s.SetFrameStyle(fsSimple);
        });
        y += 51;
    }
    EXPECT_GOLDEN(g.Picture(), "scale_datetime");
}

TEST(ScaleGallery, VerticalDatesAndMessages) {
    Gallery g(470, 260);
    const double jan5 = EncodeDate(2024, 1, 5);
    g.Place(5, 5, 110, 250, [&](TScale& s) {
        Vertical(s, jan5, jan5 + 1, sctYL);
        s.SetLabelType(ftDateTime);
    });
    g.Place(120, 5, 110, 250, [&](TScale& s) {
        Vertical(s, jan5 + 0.5, jan5 + 0.5 + 2.0 / 86400, sctYR);
        s.SetLabelType(ftDateTime);
        s.DateFormat()->SetDateForTime(dtNone);
    });
    g.Place(235, 5, 110, 120, [&](TScale& s) {
        Vertical(s, 10, 5, sctYL);
        s.SetLabelType(ftDateTime);
    });
    g.Place(350, 5, 110, 120, [&](TScale& s) {
        Vertical(s, jan5, jan5 + 0.02 / 86400, sctYL);
        s.SetLabelType(ftDateTime);
    });
    g.Place(235, 135, 230, 55, [&](TScale& s) {
        Horizontal(s, 10, 5);
        s.SetMarginBottom(30);
        s.SetLabelType(ftDateTime);
    });
    g.Place(235, 198, 230, 55, [&](TScale& s) {
        Horizontal(s, jan5, jan5 + 2.0 / 86400);
        s.SetScaleType(sctXT);
        s.SetMarginTop(8);
        s.SetLabelType(ftDateTime);
    });
    EXPECT_GOLDEN(g.Picture(), "scale_messages");
}

TEST(ScaleGallery, FramesAndSchemes) {
    Gallery g(420, 290);
    const TFrameStyle styles[] = {fsNone, fsSimple, fsLowered, fsRaised, fsEmbossed, fsEngraved};
    for (int scheme = 0; scheme < 2; ++scheme)
        for (int i = 0; i < 6; ++i)
            g.Place(5 + scheme * 208, 5 + i * 47, 204, 44, [&](TScale& s) {
                Horizontal(s, 0, 10);
                s.SetFrameStyle(styles[i]);
                s.SetColorScheme(scheme == 0 ? csBWG : csSystem);
                s.SetColorBackGnd(scheme == 0 ? clBtnFace : clCream);
                s.SetColorScale(scheme == 0 ? clBlack : clNavy);
            });
    EXPECT_GOLDEN(g.Picture(), "scale_frames");
}

}  // namespace
}  // namespace kvb

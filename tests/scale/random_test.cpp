// Seeded random settings, each followed by a paint and a few drags: every paint must end, the
// range must stay finite with distinct ends, and the tick list within its 250 entries.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "scale/KVB_Scale.h"

namespace kvb {
namespace {

class RandomSettings {
public:
    explicit RandomSettings(std::uint64_t seed) : rng_(seed) {}

    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool Chance(int percent) { return Int(0, 99) < percent; }

    double Number() {
        static const double special[] = {
            0.0, -0.0, 1.0, -1.0, 100.0, 1e300, -1e300, 5e-324, -5e-324, 2.2e-308,
            std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
            std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
            -std::numeric_limits<double>::infinity(), -693593.0, 2958465.0, 3000000.0, 45296.5,
        };
        switch (Int(0, 3)) {
        case 0: return special[Int(0, int(std::size(special)) - 1)];
        case 1: return std::uniform_real_distribution<double>(-1e6, 1e6)(rng_);
        case 2: return (Chance(50) ? 1 : -1) * std::pow(10.0, Int(-320, 308));
        default: return std::uniform_real_distribution<double>(40000, 50000)(rng_);  // dates
        }
    }

    std::string Text() {
        static const char* texts[] = {"", "a|b|c", "||", "&%", "$", "10^&", "&&&", "x|", "\t\"'"};
        return texts[Int(0, int(std::size(texts)) - 1)];
    }

    char Separator() {
        static const char seps[] = {'\0', '-', ':', '"', '\'', '/', ' ', 'h'};
        return seps[Int(0, int(std::size(seps)) - 1)];
    }

    void Apply(TScale& s) {
        if (Chance(10)) {
            s.SetLoading(true);
            s.Loaded();  // ends the defaults phase
        }
        const double a = Number();
        switch (Int(0, 4)) {
        case 0: s.SetRange(a, Number()); break;
        case 1: s.SetRange(a, a); break;
        case 2: s.SetRangeLow(a); s.SetRangeHigh(Number()); break;
        case 3: s.SetRangeHigh(a); s.SetRangeLow(a); break;
        default: s.SetRange(a, -a); break;
        }
        s.SetMinTicks(Int(-5, 15));
        s.SetDecPlaces(Int(-10, 20));
        s.SetLabelType(static_cast<TFigType>(Int(0, 4)));
        s.SetLogarithmic(Chance(30));
        s.SetShortTicks(Chance(60));
        s.SetScaleType(static_cast<TScaleType>(Int(0, 3)));
        s.SetMarginLeft(Int(-10, 150));
        s.SetMarginRight(Int(-10, 150));
        s.SetMarginTop(Int(-10, 150));
        s.SetMarginBottom(Int(-10, 150));
        s.SetShowBaseLine(Chance(80));
        s.SetFrameStyle(static_cast<TFrameStyle>(Int(0, 5)));
        s.SetColorScheme(static_cast<TColorScheme>(Int(0, 1)));
        s.SetUserTickText(Text());
        s.SetScaleInscript(Text());
        s.SetCaption(Text());
        s.SetCaptionAnchor(static_cast<TScaleUnitAnchor>(Int(0, 2)));
        s.SetCaptionAlignment(static_cast<TAlignment>(Int(0, 2)));
        s.SetCaptionPosX(Int(-100, 100));
        s.SetCaptionPosY(Int(-100, 100));
        s.SetMouseAction(static_cast<TMouseActMode>(Int(0, 18)));
        TDTLabel* f = s.DateFormat();
        f->SetTimeFormat(static_cast<TTimeFormat>(Int(0, 2)));
        f->SetDateSeparator(Separator());
        f->SetTimeSeparator(Separator());
        f->SetYearLength(static_cast<TYearLength>(Int(0, 2)));
        f->SetMonthName(Chance(50));
        f->SetDateOrder(static_cast<TDateOrder>(Int(0, 2)));
        f->SetDateForTime(static_cast<TDateForTime>(Int(0, 3)));
        // Mostly small controls; now and then an extreme one on the transparent path, which
        // draws straight onto the target and makes no bitmap of the control's size.
        const bool extreme = Chance(3);
        s.SetTransparent(extreme || Chance(50));
        s.SetEmbedded(extreme || Chance(70));
        if (extreme)
            s.SetBounds(Int(-100, 100), 0, Chance(50) ? 2000000 : Int(0, 3), Chance(50) ? 2000000 : Int(0, 3));
        else
            s.SetBounds(0, 0, Int(0, 260), Int(0, 260));
        s.SetTargetCanvas(nullptr, 0, 0);
    }

private:
    std::mt19937_64 rng_;
};

void ExpectSound(const TScale& s) {
    ASSERT_TRUE(std::isfinite(s.RangeLow()));
    ASSERT_TRUE(std::isfinite(s.RangeHigh()));
    ASSERT_NE(s.RangeLow(), s.RangeHigh());
    ASSERT_GE(s.NumTicks(), 0);
    ASSERT_LE(s.NumTicks(), 250);
}

TEST(ScaleRandom, TenThousandSettingsPaintAndDrag) {
    RandomSettings r(20240105);
    TBitmap target;
    target.SetSize(240, 240);
    for (int round = 0; round < 10000; ++round) {
        SCOPED_TRACE(round);
        TScale s(nullptr);
        r.Apply(s);
        s.SetTargetCanvas(target.Canvas(), r.Int(-300, 300), r.Int(-300, 300));
        s.PaintNow();
        ExpectSound(s);
        const Integer w = std::max<Integer>(s.Width(), 1), h = std::max<Integer>(s.Height(), 1);
        for (int drag = 0; drag < 3; ++drag) {
            for (int move = 0; move < 3; ++move)
                s.MouseMove(TShiftState{ssLeft}, r.Int(-5, std::min(w, 5000) + 5), r.Int(-5, std::min(h, 5000) + 5));
            s.PaintNow();
            ExpectSound(s);
            s.MouseUp(mbLeft, TShiftState{}, 0, 0);
            if (r.Chance(20)) s.DblClick();
        }
        if (HasFatalFailure()) return;
    }
}

}  // namespace
}  // namespace kvb

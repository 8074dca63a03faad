// Seeded random attributes and adding operations of every kind, with NaN, infinite and extreme
// coordinates and long texts, on a chart shown on the headless host and painted now and then:
// counts stay within capacities, every item carries attributes within their ranges, and
// nothing crashes. Then random text labels, copied between each other.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>
#include <string>

#include "chart/KVB_plotix.h"
#include "chart/TextLabel.h"
#include "platform/hosts/headless/Headless.h"

namespace kvb {
namespace {

class RandomInput {
public:
    explicit RandomInput(std::uint32_t seed) : rng_(seed) {}

    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool Chance(int percent) { return Int(0, 99) < percent; }
    double D() {
        static const double values[] = {
            0.0, -0.0, 1e308, -1e308, 5e-324, 1e-310, std::numeric_limits<double>::max(),
            std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
            -std::numeric_limits<double>::infinity()};
        return Chance(40) ? values[Int(0, int(std::size(values)) - 1)]
                          : std::uniform_real_distribution<double>(-1e4, 1e4)(rng_);
    }
    Integer I() {
        static const Integer values[] = {0, 1, -1, 255, 256, std::numeric_limits<Integer>::min(),
                                         std::numeric_limits<Integer>::max()};
        return Chance(30) ? values[Int(0, int(std::size(values)) - 1)] : Int(-500, 500);
    }
    TColor Color() { return static_cast<TColor>(std::uniform_int_distribution<std::uint32_t>()(rng_)); }
    template <class E>
    E Enum() { return static_cast<E>(Int(0, 255)); }
    // Short, long, with line breaks and control bytes, and now and then one of a few repeated
    // long texts so that the long-text tables both reuse entries and fill up.
    std::string Text() {
        if (Chance(20)) return "a repeated text, longer than seventeen #" + std::to_string(Int(0, 3));
        std::string s(Chance(50) ? Int(0, 17) : Int(18, 300), ' ');
        for (char& c : s) c = static_cast<char>(Int(-128, 127));
        return s;
    }

private:
    std::mt19937 rng_;
};

void RandomAttributes(TPlotix& c, RandomInput& r) {
    static const Integer allocSizes[] = {0, -1, 1, 2, 7, 1000, 1000000, 1000001, std::numeric_limits<Integer>::min(),
                                         std::numeric_limits<Integer>::max()};
    c.SetAllocSize(allocSizes[r.Int(0, int(std::size(allocSizes)) - 1)]);
    c.SetClassDefault(static_cast<Byte>(r.Int(0, 255)));
    c.SetActiveLayer(r.I() % 20);
    c.SetDataTag(r.I());
    c.SetAnnotationMode(r.Chance(40));
    c.SetDataColor(r.Color());
    if (r.Chance(50)) c.SetFillColor(r.Color()); else c.SetTextBkColor(r.Color());
    c.SetPenStyle(r.Enum<TPenStyle>());
    c.SetLineWidth(static_cast<Byte>(r.Int(0, 255)));
}

void RandomItem(TPlotix& c, RandomInput& r) {
    const TFrameStyle fs = r.Enum<TFrameStyle>();
    const TAlignment al = r.Enum<TAlignment>();
    switch (r.Int(0, 47)) {
    case 0: c.MovePenTo(r.I(), r.I()); break;
    case 1: c.MovePenTo(r.D(), r.D()); break;
    case 2: c.MovePenTo(r.I(), r.D()); break;
    case 3: c.MovePenTo(r.D(), r.I()); break;
    case 4: c.DrawPenTo(r.I(), r.D()); break;
    case 5: c.DrawPenTo(r.D(), r.D()); break;
    case 6: c.DrawPenTo(r.I(), r.I()); break;
    case 7: c.DrawPenTo(r.D(), r.I()); break;
    case 8: c.MovePenRel(r.I(), r.I()); break;
    case 9: c.DrawPenRel(r.I(), r.I()); break;
    case 10: c.PixelVector(r.D(), r.D(), r.I(), r.I()); break;
    case 11: c.MarkAt(r.D(), r.D(), r.I()); break;
    case 12: c.MarkAt(r.I(), r.I(), r.I()); break;
    case 13: c.ErrorBarMark(r.D(), r.D(), r.D(), r.D(), r.I(), r.Chance(50)); break;
    case 14: c.PlusMark(r.D(), r.D(), r.D(), r.D()); break;
    case 15: c.PlusMark(r.I(), r.I(), r.I(), r.I()); break;
    case 16: c.PlusMark(r.D(), r.D(), r.I(), r.I()); break;
    case 17: c.Line(r.D(), r.D(), r.D(), r.D()); break;
    case 18: c.Line(r.I(), r.I(), r.I(), r.I()); break;
    case 19: c.Line(r.D(), r.D(), r.I(), r.I()); break;
    case 20: c.Line(r.I(), r.I(), r.D(), r.D()); break;
    case 21: c.ShiftedLine(r.D(), r.D(), r.D(), r.D(), r.I(), r.I()); break;
    case 22: c.VertLine(r.D()); break;
    case 23: c.VertLine(r.I()); break;
    case 24: c.HorizLine(r.D()); break;
    case 25: c.HorizLine(r.I()); break;
    case 26: c.Arrow(r.D(), r.D(), r.D(), r.D(), r.I(), r.Chance(50)); break;
    case 27: c.Arrow(r.I(), r.I(), r.I(), r.I(), r.I(), r.Chance(50)); break;
    case 28: c.Arrow(r.D(), r.D(), r.I(), r.I(), r.I()); break;
    case 29: c.Arrow(r.I(), r.I(), r.D(), r.D(), r.I()); break;
    case 30: c.Arrow(r.I(), r.D(), r.I(), r.D(), r.I()); break;
    case 31: c.Arrow(r.D(), r.I(), r.D(), r.I(), r.I()); break;
    case 32: c.DoubleArrow(r.D(), r.D(), r.D(), r.D(), r.I(), r.Chance(50)); break;
    case 33: c.DoubleArrow(r.I(), r.I(), r.I(), r.I(), r.I()); break;
    case 34: c.DoubleArrow(r.D(), r.D(), r.I(), r.I(), r.I()); break;
    case 35: c.DoubleArrow(r.I(), r.I(), r.D(), r.D(), r.I()); break;
    case 36: c.DoubleArrow(r.I(), r.D(), r.I(), r.D(), r.I()); break;
    case 37: c.DoubleArrow(r.D(), r.I(), r.D(), r.I(), r.I(), true); break;
    case 38: c.Rectangle(r.D(), r.D(), r.D(), r.D(), r.Chance(50)); break;
    case 39: c.Rectangle(r.I(), r.I(), r.I(), r.I(), r.Chance(50)); break;
    case 40: c.Rectangle(r.D(), r.D(), r.I(), r.I()); break;
    case 41: c.Rectangle(r.I(), r.I(), r.D(), r.D()); break;
    case 42: c.FramedBox(r.D(), r.D(), r.D(), r.D(), fs, r.Color(), r.Color()); break;
    case 43:
        switch (r.Int(0, 2)) {
        case 0: c.FramedBox(r.I(), r.I(), r.I(), r.I(), fs, r.Color(), r.Color()); break;
        case 1: c.FramedBox(r.D(), r.D(), r.I(), r.I(), fs, r.Color(), r.Color()); break;
        default: c.FramedBox(r.I(), r.I(), r.D(), r.D(), fs, r.Color(), r.Color()); break;
        }
        break;
    case 44: c.Bar3D(r.D(), r.D(), r.D(), r.D(), r.I(), r.I()); break;
    case 45:
        if (r.Chance(50)) c.EllipseAt(r.D(), r.D(), r.D(), r.D(), r.Chance(50));
        else c.ArcAt(r.D(), r.D(), r.D(), r.D(), r.D(), r.D());
        break;
    case 46: c.PixelBox(r.D(), r.D(), r.I(), r.I(), r.Chance(50)); break;
    default:
        switch (r.Int(0, 4)) {
        case 0: c.TextAt(r.D(), r.D(), r.Text(), r.I(), al, r.I()); break;
        case 1: c.TextAt(r.I(), r.I(), r.Text(), r.I(), al, r.I()); break;
        case 2: c.TextAt(r.I(), r.D(), r.Text(), r.I(), al, r.I()); break;
        case 3: c.TextAt(r.D(), r.I(), r.Text(), r.I(), al, r.I()); break;
        default: c.OffsetText(r.D(), r.D(), r.I(), r.I(), r.Text(), r.I(), al, r.I()); break;
        }
        break;
    }
}

void ExpectSoundAttributes(const TPlotix& c) {
    ASSERT_GE(c.AllocSize(), 1);
    ASSERT_LE(c.AllocSize(), TCustomPlotix::MaxAllocSize);
    ASSERT_NE(c.ClassDefault(), 255);
    ASSERT_GE(c.ActiveLayer(), 1);
    ASSERT_LE(c.ActiveLayer(), TCustomPlotix::LayerCount);
    ASSERT_EQ(c.FillColor(), c.TextBkColor());
}

// The newest item of a container against the attributes it was added with.
void ExpectSoundItem(const TPlotix& c, const TqxChartItem& it, bool annotation) {
    ASSERT_GE(it.ItemKind, ikMark);
    ASSERT_LE(it.ItemKind, ikPlusMark);
    ASSERT_EQ(it.Layer, c.ActiveLayer());
    ASSERT_EQ(it.ItemClass, c.ClassDefault());
    ASSERT_EQ(it.DataTag, c.DataTag());
    ASSERT_EQ(it.Color, c.DataColor());
    if (annotation)
        ASSERT_LE(it.CoordMode, qcmWorldXPixelY);
    else
        ASSERT_EQ(it.CoordMode, qcmWorld) << "data items are always in world coordinates";
    if (it.ItemKind == ikText || it.ItemKind == ikOffsetText) {
        const Integer count = annotation ? c.AnnotTextCount() : c.DataTextCount();
        ASSERT_GE(it.LineWidth, 0);
        ASSERT_LE(it.LineWidth, count);
        ASSERT_LE(it.ShortText.Length, TqxShortText::MaxLength);
    }
}

TEST(ChartRandom, AttributesItemsClearsAndPaints) {
    THeadlessHost host;
    TForm* form = Application()->CreateForm<TForm>();
    form->SetBounds(0, 0, 260, 200);
    auto* chart = new TPlotix(form);
    chart->SetParent(form);
    chart->SetBounds(4, 4, 240, 180);
    form->Show();
    Application()->ProcessMessages();

    RandomInput r(20261211);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        RandomAttributes(*chart, r);
        ASSERT_NO_FATAL_FAILURE(ExpectSoundAttributes(*chart));
        if (r.Chance(10)) chart->SetDataTextCount(r.I());
        if (r.Chance(10)) chart->SetAnnotTextCount(r.I());
        if (r.Chance(5)) chart->SetDataText(r.I() % 60, r.Text());
        ASSERT_LE(chart->DataTextCount(), TCustomPlotix::LongTextCount);
        ASSERT_GE(chart->DataTextCount(), 0);
        ASSERT_LE(chart->AnnotTextCount(), TCustomPlotix::LongTextCount);
        ASSERT_GE(chart->AnnotTextCount(), 0);

        for (int op = r.Int(0, 30); op > 0; --op) {
            const bool annotation = chart->AnnotationMode();
            const TQxItemContainer& target = annotation ? chart->AnnotationItems() : chart->DataItems();
            const TQxItemContainer& other = annotation ? chart->DataItems() : chart->AnnotationItems();
            const Integer count = target.Count(), capacity = target.Capacity();
            const Integer otherCount = other.Count(), otherCapacity = other.Capacity();
            RandomItem(*chart, r);
            ASSERT_EQ(target.Count(), count + 1);
            // A full container grows by exactly the current step, a container with room not at all.
            ASSERT_EQ(target.Capacity(), count == capacity ? capacity + chart->AllocSize() : capacity);
            ASSERT_LE(target.Count(), target.Capacity());
            ASSERT_EQ(other.Count(), otherCount);
            ASSERT_EQ(other.Capacity(), otherCapacity);
            ASSERT_NO_FATAL_FAILURE(ExpectSoundItem(*chart, *target.Item(count), annotation));
        }

        if (r.Chance(15)) {
            const Integer annotations = chart->AnnotationCount();
            chart->ClearItems();
            ASSERT_EQ(chart->ItemCount(), 0);
            ASSERT_EQ(chart->ItemCapacity(), 0);
            ASSERT_EQ(chart->AnnotationCount(), annotations);
        }
        if (r.Chance(10)) {
            chart->ClearAnnotations();
            ASSERT_EQ(chart->AnnotationCount(), 0);
            ASSERT_EQ(chart->AnnotationCapacity(), 0);
        }
        if (r.Chance(10)) {
            chart->ShowItems();
            Application()->ProcessMessages();
        }
        ASSERT_NO_FATAL_FAILURE(ExpectSoundAttributes(*chart));
    }
    chart->ShowItems();
    Application()->ProcessMessages();
    EXPECT_GT(host.PaintCount(chart), 0) << "the chart was never painted";
}

// ---- text labels ----------------------------------------------------------------------------

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void Randomise(TTextLabel& l, RandomInput& r) {
    switch (r.Int(0, 17)) {
    case 0: l.SetPosX(r.D()); break;
    case 1: l.SetPosY(r.D()); break;
    case 2: l.SetLayer(r.I()); break;
    case 3: l.SetAttachToData(r.Enum<TTxtLblAttachMode>()); break;
    case 4: l.SetColorBkg(r.Color()); break;
    case 5: l.SetColorBorder(r.Color()); break;
    case 6: l.SetColorShadow(r.Color()); break;
    case 7: l.SetShadowDx(r.I()); break;
    case 8: l.SetShadowDy(r.I()); break;
    case 9: l.SetTransparent(r.Chance(50)); break;
    case 10: l.SetAlignment(r.Enum<TAlignment>()); break;
    case 11: l.SetVerticalAlignment(r.Enum<TVerticalAlignment>()); break;
    case 12: l.SetMode(r.Enum<TTxtLblMode>()); break;
    case 13: l.SetVisible(r.Chance(50)); break;
    case 14: l.Font()->SetColor(r.Color()); break;
    case 15: l.Font()->SetSize(r.Int(-200, 200)); break;
    case 16: {
        TFont font;
        font.SetSize(r.Int(1, 72));
        font.SetColor(r.Color());
        l.SetFont(&font);
        break;
    }
    default: l.SetCaption(r.Text()); break;
    }
}

void ExpectSameLabel(const TTextLabel& a, const TTextLabel& b) {
    EXPECT_TRUE(SameBits(a.PosX(), b.PosX()));
    EXPECT_TRUE(SameBits(a.PosY(), b.PosY()));
    EXPECT_EQ(a.Layer(), b.Layer());
    EXPECT_EQ(a.AttachToData(), b.AttachToData());
    EXPECT_EQ(a.ColorBkg(), b.ColorBkg());
    EXPECT_EQ(a.ColorBorder(), b.ColorBorder());
    EXPECT_EQ(a.ColorShadow(), b.ColorShadow());
    EXPECT_EQ(a.ShadowDx(), b.ShadowDx());
    EXPECT_EQ(a.ShadowDy(), b.ShadowDy());
    EXPECT_EQ(a.Transparent(), b.Transparent());
    EXPECT_EQ(a.Alignment(), b.Alignment());
    EXPECT_EQ(a.VerticalAlignment(), b.VerticalAlignment());
    EXPECT_EQ(a.Mode(), b.Mode());
    EXPECT_EQ(a.Visible(), b.Visible());
    EXPECT_EQ(a.Caption(), b.Caption());
    EXPECT_EQ(a.Font()->Size(), b.Font()->Size());
    EXPECT_EQ(a.Font()->Color(), b.Font()->Color());
    EXPECT_NE(a.Font(), b.Font()) << "every label keeps a font of its own";
}

void ExpectSoundLabel(const TTextLabel& l) {
    ASSERT_GE(l.Layer(), 1);
    ASSERT_LE(l.Layer(), 16);
    for (char ch : l.Caption())
        ASSERT_FALSE(static_cast<unsigned char>(ch) < 32 && ch != '\n') << int(ch);
}

TEST(TextLabelRandom, SettingsStayInRangeAndCopyQuietly) {
    RandomInput r(77);
    constexpr int kCount = 4;
    TTextLabel labels[kCount];
    int heard[kCount] = {};
    for (int i = 0; i < kCount; ++i)
        labels[i].SetOnChange([&heard, &labels, i](TObject* sender) {
            EXPECT_EQ(sender, &labels[i]) << "a handler heard about another label";
            ++heard[i];
        });
    for (int round = 0; round < 3000; ++round) {
        SCOPED_TRACE(round);
        TTextLabel& target = labels[r.Int(0, kCount - 1)];
        for (int w = r.Int(0, 4); w > 0; --w) Randomise(target, r);
        ASSERT_NO_FATAL_FAILURE(ExpectSoundLabel(target));

        TTextLabel& dest = labels[r.Int(0, kCount - 1)];
        TTextLabel& src = labels[r.Int(0, kCount - 1)];
        int before[kCount];
        std::copy(std::begin(heard), std::end(heard), before);
        if (r.Chance(50)) dest.Assign(&src); else src.AssignTo(&dest);
        if (&dest != &src) ExpectSameLabel(dest, src);
        ASSERT_NO_FATAL_FAILURE(ExpectSoundLabel(dest));
        for (int i = 0; i < kCount; ++i) ASSERT_EQ(heard[i], before[i]) << "a copy notified " << i;
        if (HasFailure()) return;
    }
}

}  // namespace
}  // namespace kvb

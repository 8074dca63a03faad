#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <vector>
#include <iterator>
#include <limits>
#include <string>

#include "chart/KVB_plotix.h"

namespace kvb {
namespace {

class ItemStore : public ::testing::Test {
protected:
    TPlotix chart{nullptr};
    const TqxChartItem& Data(Integer i) const { return *chart.DataItems().Item(i); }
    const TqxChartItem& Annot(Integer i) const { return *chart.AnnotationItems().Item(i); }
};

TEST_F(ItemStore, Defaults) {
    EXPECT_EQ(chart.ItemCount(), 0);
    EXPECT_EQ(chart.ItemCapacity(), 0);
    EXPECT_EQ(chart.AnnotationCount(), 0);
    EXPECT_EQ(chart.AnnotationCapacity(), 0);
    EXPECT_EQ(chart.AllocSize(), 1000);
    EXPECT_FALSE(chart.AnnotationMode());
    EXPECT_EQ(chart.DataColor(), clBlack);
    EXPECT_EQ(chart.FillColor(), 12632256u);
    EXPECT_EQ(chart.TextBkColor(), clSilver);
    EXPECT_EQ(chart.PenStyle(), psSolid);
    EXPECT_EQ(chart.LineWidth(), 1);
    EXPECT_EQ(chart.ClassDefault(), 0);
    EXPECT_EQ(chart.ActiveLayer(), 1);
    EXPECT_EQ(chart.DataTag(), 0);
    EXPECT_EQ(chart.DataTextCount(), 0);
    EXPECT_EQ(chart.AnnotTextCount(), 0);
    for (Integer i = 1; i <= 50; ++i) EXPECT_EQ(chart.DataText(i), "");
}

TEST_F(ItemStore, DataItemsCarryTheCurrentAttributes) {
    chart.SetDataColor(clRed);
    chart.SetFillColor(clYellow);
    chart.SetPenStyle(psDot);
    chart.SetLineWidth(3);
    chart.SetClassDefault(7);
    chart.SetActiveLayer(5);
    chart.SetDataTag(-42);
    chart.MovePenTo(3, 4);
    chart.DrawPenTo(5, 0.25);
    ASSERT_EQ(chart.ItemCount(), 2);

    const TqxChartItem& move = Data(0);
    EXPECT_EQ(move.ItemKind, ikMoveTo);
    EXPECT_EQ(move.X, 3.0);
    EXPECT_EQ(move.Y, 4.0);
    EXPECT_EQ(move.FillColor, 0u) << "a move stores no fill colour";
    const TqxChartItem& line = Data(1);
    EXPECT_EQ(line.ItemKind, ikLineTo);
    EXPECT_EQ(line.X, 5.0);
    EXPECT_EQ(line.Y, 0.25);
    EXPECT_EQ(line.FillColor, clYellow);
    for (const TqxChartItem* it : {&move, &line}) {
        EXPECT_EQ(it->Color, clRed);
        EXPECT_EQ(it->PenStyle, psDot);
        EXPECT_EQ(it->LineWidth, 3);
        EXPECT_EQ(it->ItemClass, 7);
        EXPECT_EQ(it->Layer, 5);
        EXPECT_EQ(it->DataTag, -42);
        EXPECT_EQ(it->CoordMode, qcmWorld);
        EXPECT_EQ(it->X2, 0.0);
        EXPECT_EQ(it->IntParam1, 0);
        EXPECT_EQ(it->ShortText.Length, 0);
    }
}

TEST_F(ItemStore, ColourChangeBetweenCallsAffectsOnlyLaterItems) {
    chart.SetDataColor(clBlue);
    chart.DrawPenTo(1, 1.0);
    chart.SetDataColor(clRed);
    chart.DrawPenTo(2, 2.0);
    EXPECT_EQ(Data(0).Color, clBlue);
    EXPECT_EQ(Data(1).Color, clRed);
}

TEST_F(ItemStore, GrowsByAllocSize) {
    chart.DrawPenTo(0, 0.0);
    EXPECT_EQ(chart.ItemCapacity(), 1000);
    for (int i = 1; i < 1000; ++i) chart.DrawPenTo(i, 1.0 * i);
    EXPECT_EQ(chart.ItemCapacity(), 1000);
    chart.DrawPenTo(1000, 1000.0);
    EXPECT_EQ(chart.ItemCount(), 1001);
    EXPECT_EQ(chart.ItemCapacity(), 2000);
    // Items survive the growth.
    for (int i = 0; i <= 1000; ++i) ASSERT_EQ(Data(i).Y, 1.0 * i);
    // A changed step applies at the next growth.
    chart.SetAllocSize(7);
    EXPECT_EQ(chart.ItemCapacity(), 2000);
    for (int i = 1001; i <= 2000; ++i) chart.DrawPenTo(i, 0.0);
    EXPECT_EQ(chart.ItemCapacity(), 2007);
}

TEST_F(ItemStore, AllocSizeAndClassDefaultRefusals) {
    struct Case { Integer value; Integer expect; };
    for (Case c : {Case{0, 1000}, Case{-5, 1000}, Case{1000001, 1000},
                   Case{std::numeric_limits<Integer>::max(), 1000}, Case{1000000, 1000000},
                   Case{1, 1}}) {
        chart.SetAllocSize(1000);
        chart.SetAllocSize(c.value);
        EXPECT_EQ(chart.AllocSize(), c.expect) << c.value;
    }
    chart.SetClassDefault(12);
    chart.SetClassDefault(255);
    EXPECT_EQ(chart.ClassDefault(), 12);
    chart.SetClassDefault(254);
    EXPECT_EQ(chart.ClassDefault(), 254);
    for (Integer layer : {0, 17, -1}) {
        chart.SetActiveLayer(layer);
        EXPECT_EQ(chart.ActiveLayer(), 1);
    }
    chart.SetActiveLayer(16);
    EXPECT_EQ(chart.ActiveLayer(), 16);
}

TEST_F(ItemStore, ClearItemsKeepsAnnotationsTextsAndAttributes) {
    chart.SetDataColor(clGreen);
    chart.SetAnnotationMode(true);
    chart.MovePenTo(1, 2);
    chart.TextAt(1, 2, "a caption longer than seventeen");
    chart.SetAnnotationMode(false);
    chart.TextAt(1.0, 2.0, "another text longer than seventeen");
    chart.DrawPenTo(3, 4.0);
    chart.ClearItems();
    EXPECT_EQ(chart.ItemCount(), 0);
    EXPECT_EQ(chart.ItemCapacity(), 0);
    EXPECT_EQ(chart.AnnotationCount(), 2);
    EXPECT_EQ(chart.DataColor(), clGreen);
    EXPECT_EQ(chart.DataTextCount(), 1);
    EXPECT_EQ(chart.AnnotTextCount(), 1);
    EXPECT_EQ(chart.DataText(1), "another text longer than seventeen");
    // The next item allocates a fresh block of AllocSize entries.
    chart.DrawPenTo(1, 1.0);
    EXPECT_EQ(chart.ItemCapacity(), 1000);
    chart.ClearAnnotations();
    EXPECT_EQ(chart.AnnotationCount(), 0);
    EXPECT_EQ(chart.AnnotationCapacity(), 0);
}

TEST_F(ItemStore, AnnotationModeUsesPixelModesAndLeavesDataAlone) {
    chart.DrawPenTo(1, 1.0);
    chart.SetAnnotationMode(true);
    chart.MovePenTo(10, 20);
    chart.DrawPenTo(10, 0.5);
    EXPECT_EQ(chart.ItemCount(), 1);
    ASSERT_EQ(chart.AnnotationCount(), 2);
    EXPECT_EQ(chart.AnnotationCapacity(), 1000);
    EXPECT_EQ(Annot(0).ItemKind, ikMoveTo);
    EXPECT_EQ(Annot(0).CoordMode, qcmPixel);
    EXPECT_EQ(Annot(0).X, 10.0);
    EXPECT_EQ(Annot(0).Y, 20.0);
    EXPECT_EQ(Annot(1).ItemKind, ikLineTo);
    EXPECT_EQ(Annot(1).CoordMode, qcmPixelXWorldY);
    EXPECT_EQ(Annot(1).Y, 0.5);
}

// Every adding operation: kind, coordinate mode in annotation mode, and the fields it stores.
TEST_F(ItemStore, AddingOperationsStoreTheirKindModeAndFields) {
    chart.SetAnnotationMode(true);
    chart.SetFillColor(clAqua);
    struct Expect { Byte kind; Byte mode; };
    std::vector<Expect> want;
    auto add = [&](Byte kind, Byte mode) { want.push_back({kind, mode}); };

    chart.MovePenTo(1.5, 2.5);                add(ikMoveTo, qcmWorld);
    chart.MovePenTo(1.5, 2);                  add(ikMoveTo, qcmWorldXPixelY);
    chart.DrawPenTo(1, 2);                    add(ikLineTo, qcmPixel);
    chart.DrawPenTo(1.5, 2);                  add(ikLineTo, qcmWorldXPixelY);
    chart.MovePenRel(3, -4);                  add(ikMoveRelative, qcmPixel);
    chart.DrawPenRel(-3, 4);                  add(ikLineRelative, qcmPixel);
    chart.PixelVector(1.0, 2.0, 5, 6);        add(ikPixelVector, qcmWorld);
    chart.MarkAt(1.0, 2.0, 4);                add(ikMark, qcmWorld);
    chart.MarkAt(1, 2, 4);                    add(ikMark, qcmPixel);
    chart.ErrorBarMark(1.0, 2.0, -0.5, 0.7, 3, true); add(ikErrorBarMark, qcmWorld);
    chart.PlusMark(1.0, 2.0, 0.5, 0.5);       add(ikPlusMark, qcmWorld);
    chart.PlusMark(1, 2, 3, 4);               add(ikPlusMark, qcmPixel);
    chart.PlusMark(1.0, 2.0, 3, 4);           add(ikPlusMark, qcmWorldPixel);
    chart.Line(1.0, 2.0, 3.0, 4.0);           add(ikLine, qcmWorld);
    chart.Line(1, 2, 3, 4);                   add(ikLine, qcmPixel);
    chart.Line(1.0, 2.0, 3, 4);               add(ikLine, qcmWorldPixel);
    chart.Line(1, 2, 3.0, 4.0);               add(ikLine, qcmPixelWorld);
    chart.ShiftedLine(1, 2, 3, 4, 5, 6);      add(ikShiftedLine, qcmWorld);
    chart.VertLine(2.5);                      add(ikVertLine, qcmWorld);
    chart.VertLine(25);                       add(ikVertLine, qcmPixel);
    chart.HorizLine(2.5);                     add(ikHorizLine, qcmWorld);
    chart.HorizLine(25);                      add(ikHorizLine, qcmPixel);
    chart.Arrow(1.0, 2.0, 3.0, 4.0, 8);       add(ikArrow, qcmWorld);
    chart.Arrow(1, 2.0, 3, 4.0, 8);           add(ikArrow, qcmPixelXWorldY);
    chart.Arrow(1.0, 2, 3.0, 4, 8, true);     add(ikArrow, qcmWorldXPixelY);
    chart.DoubleArrow(1, 2, 3, 4, 8);         add(ikDoubleArrow, qcmPixel);
    chart.Rectangle(1.0, 2.0, 3.0, 4.0, true); add(ikRectangle, qcmWorld);
    chart.Rectangle(1, 2, 3.0, 4.0);          add(ikRectangle, qcmPixelWorld);
    chart.FramedBox(1, 2, 3, 4, fsRaised, clWhite, clGray); add(ikFramedBox, qcmPixel);
    chart.Bar3D(1, 2, 3, 4, 30, 6);           add(ikBar3D, qcmWorld);
    chart.EllipseAt(1, 2, 3, 4, true);        add(ikEllipse, qcmWorld);
    chart.ArcAt(1, 2, 3, 4, 0.5, -1.25);      add(ikArc, qcmWorld);
    chart.PixelBox(1, 2, 3, 4);               add(ikPixelBox, qcmWorld);
    chart.TextAt(1, 2.5, "x", 12, taCenter, 1); add(ikText, qcmPixelXWorldY);
    chart.OffsetText(1, 2, 3, 4, "y");        add(ikOffsetText, qcmWorld);

    ASSERT_EQ(chart.AnnotationCount(), static_cast<Integer>(want.size()));
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(Annot(i).ItemKind, want[i].kind) << i;
        EXPECT_EQ(Annot(i).CoordMode, want[i].mode) << i;
    }
    auto find = [&](Byte kind) -> const TqxChartItem& {
        for (const TqxChartItem& it : chart.AnnotationItems().Items())
            if (it.ItemKind == kind) return it;
        throw std::runtime_error("kind missing");
    };
    EXPECT_EQ(find(ikErrorBarMark).X2, -0.5);
    EXPECT_EQ(find(ikErrorBarMark).IntParam1, 1);
    EXPECT_EQ(find(ikErrorBarMark).IntParam3, 3);
    EXPECT_EQ(find(ikShiftedLine).IntParam2, 6);
    EXPECT_EQ(find(ikBar3D).IntParam1, 30);
    EXPECT_EQ(find(ikBar3D).IntParam2, 6);
    EXPECT_EQ(find(ikArc).IntParam1, 50000000);
    EXPECT_EQ(find(ikArc).IntParam2, -125000000);
    EXPECT_TRUE(find(ikEllipse).Hollow);
    EXPECT_EQ(find(ikFramedBox).FrameStyle, fsRaised);
    EXPECT_EQ(find(ikFramedBox).FrameColor1, clWhite);
    EXPECT_EQ(find(ikFramedBox).FrameColor2, clGray);
    EXPECT_EQ(find(ikFramedBox).FillColor, clAqua);
    EXPECT_EQ(find(ikPixelBox).IntParam2, 4);
    EXPECT_EQ(find(ikArrow).IntParam1, 8);
    const TqxChartItem& text = find(ikText);
    EXPECT_EQ(text.LineWidth, 0);
    EXPECT_EQ(text.ShortText.Str(), "x");
    EXPECT_EQ(text.IntParam1, 12);
    EXPECT_EQ(text.IntParam2, 1);
    EXPECT_EQ(text.IntParam3, taCenter);
    EXPECT_EQ(find(ikOffsetText).X2, 3.0);
    EXPECT_EQ(find(ikOffsetText).Y2, 4.0);
}

TEST_F(ItemStore, TextsGoToShortTextOrTheLongTextTable) {
    const std::string exact17(17, 'a');
    const std::string long1 = "first line\nsecond line";
    chart.TextAt(0.0, 0.0, exact17);
    EXPECT_EQ(Data(0).LineWidth, 0);
    EXPECT_EQ(Data(0).ShortText.Str(), exact17);
    chart.TextAt(0.0, 0.0, long1);
    EXPECT_EQ(Data(1).LineWidth, 1);
    EXPECT_EQ(chart.DataText(1), long1);
    chart.TextAt(0.0, 0.0, long1);  // an identical text reuses its entry
    EXPECT_EQ(Data(2).LineWidth, 1);
    EXPECT_EQ(chart.DataTextCount(), 1);
    for (int i = 2; i <= 50; ++i) chart.TextAt(0.0, 0.0, "a long text number " + std::to_string(i));
    EXPECT_EQ(chart.DataTextCount(), 50);
    // Full table: the text is kept cut to 17 characters rather than lost.
    chart.TextAt(0.0, 0.0, "one more long text that does not fit");
    const TqxChartItem& last = Data(chart.ItemCount() - 1);
    EXPECT_EQ(last.LineWidth, 0);
    EXPECT_EQ(last.ShortText.Str(), "one more long tex");
    // Explicit table access, with indices out of range absorbed.
    chart.SetDataText(3, "replaced");
    EXPECT_EQ(chart.DataText(3), "replaced");
    chart.SetDataText(0, "x");
    chart.SetDataText(51, "x");
    EXPECT_EQ(chart.DataText(0), "");
    EXPECT_EQ(chart.DataText(51), "");
    chart.SetDataTextCount(60);
    EXPECT_EQ(chart.DataTextCount(), 50);
    chart.SetAnnotTextCount(-1);
    EXPECT_EQ(chart.AnnotTextCount(), 0);
}

TEST_F(ItemStore, FailedGrowthLeavesContainerConsistent) {
    chart.SetAllocSize(2);
    chart.DrawPenTo(1, 1.0);
    chart.DrawPenTo(2, 2.0);
    ASSERT_EQ(chart.ItemCapacity(), 2);
    plotix_testing::FailAllocationAfter(0);
    EXPECT_THROW(chart.DrawPenTo(3, 3.0), EOutOfMemory);
    EXPECT_EQ(chart.ItemCount(), 2);
    EXPECT_EQ(chart.ItemCapacity(), 2);
    EXPECT_EQ(Data(1).Y, 2.0);
    // The next attempt succeeds and the store goes on normally.
    chart.DrawPenTo(3, 3.0);
    EXPECT_EQ(chart.ItemCount(), 3);
    EXPECT_EQ(chart.ItemCapacity(), 4);
    // Annotations fail the same way.
    chart.SetAnnotationMode(true);
    plotix_testing::FailAllocationAfter(0);
    EXPECT_THROW(chart.MovePenTo(1, 1), EOutOfMemory);
    EXPECT_EQ(chart.AnnotationCount(), 0);
    EXPECT_EQ(chart.AnnotationCapacity(), 0);
    plotix_testing::FailAllocationAfter(-1);
}

// Large containers move from the heap into a page mapping of their own as they grow; the items
// must come along, a refused growth must leave the container as it was, and clearing must
// start afresh.
TEST_F(ItemStore, LargeContainersKeepTheirItemsThroughGrowth) {
    constexpr int kItems = 120000;  // well past the size that leaves the heap
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < kItems; ++i) chart.DrawPenTo(i, 0.5 * i);
        ASSERT_EQ(chart.ItemCount(), kItems);
        EXPECT_EQ(chart.ItemCapacity(), 120000);
        for (int i = 0; i < kItems; ++i) {
            const TqxChartItem& it = Data(i);
            ASSERT_EQ(it.X, i);
            ASSERT_EQ(it.Y, 0.5 * i);
            ASSERT_EQ(it.ItemKind, ikLineTo);
            ASSERT_EQ(it.IntParam1, 0);
        }
        chart.SetAllocSize(TCustomPlotix::MaxAllocSize);
        plotix_testing::FailAllocationAfter(0);
        EXPECT_THROW(chart.DrawPenTo(-1, -1.0), EOutOfMemory);
        plotix_testing::FailAllocationAfter(-1);
        EXPECT_EQ(chart.ItemCount(), kItems);
        EXPECT_EQ(chart.ItemCapacity(), 120000);
        EXPECT_EQ(Data(kItems - 1).Y, 0.5 * (kItems - 1));
        chart.DrawPenTo(kItems, 1.0);
        EXPECT_EQ(chart.ItemCapacity(), 1120000);
        EXPECT_EQ(Data(kItems).X, kItems);
        chart.SetAllocSize(1000);
        chart.ClearItems();
        EXPECT_EQ(chart.ItemCount(), 0);
        EXPECT_EQ(chart.ItemCapacity(), 0);
    }
}

TEST_F(ItemStore, ValuesAreStoredUnvalidated) {
    chart.DrawPenTo(std::numeric_limits<Integer>::max(), std::numeric_limits<double>::quiet_NaN());
    chart.MovePenTo(std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::min());
    chart.ArcAt(0, 0, 1, 1, 1e300, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(Data(0).X, 2147483647.0);
    EXPECT_TRUE(std::isnan(Data(0).Y));
    EXPECT_EQ(Data(1).Y, -2147483648.0);
    EXPECT_EQ(Data(2).IntParam1, std::numeric_limits<Integer>::max());
    EXPECT_EQ(Data(2).IntParam2, 0);
}

TEST_F(ItemStore, ItemsOfAnInvisibleChartAreStored) {
    chart.SetVisible(false);
    chart.DrawPenTo(1, 1.0);
    chart.ShowItems();
    EXPECT_EQ(chart.ItemCount(), 1);
}

TEST(ItemRecord, FieldOrderFollowsTheInterface) {
    // Every field after the one before it, in the order the item event's handlers rely on.
    const std::size_t offsets[] = {
        offsetof(TqxChartItem, X),           offsetof(TqxChartItem, Y),
        offsetof(TqxChartItem, X2),          offsetof(TqxChartItem, Y2),
        offsetof(TqxChartItem, Color),       offsetof(TqxChartItem, FillColor),
        offsetof(TqxChartItem, FrameColor1), offsetof(TqxChartItem, FrameColor2),
        offsetof(TqxChartItem, PenStyle),    offsetof(TqxChartItem, DataTag),
        offsetof(TqxChartItem, LineWidth),   offsetof(TqxChartItem, ItemClass),
        offsetof(TqxChartItem, ItemKind),    offsetof(TqxChartItem, Layer),
        offsetof(TqxChartItem, Hollow),      offsetof(TqxChartItem, FrameStyle),
        offsetof(TqxChartItem, ShortText),   offsetof(TqxChartItem, IntParam1),
        offsetof(TqxChartItem, IntParam2),   offsetof(TqxChartItem, IntParam3),
        offsetof(TqxChartItem, CoordMode)};
    for (std::size_t i = 1; i < std::size(offsets); ++i) EXPECT_LT(offsets[i - 1], offsets[i]) << i;
    EXPECT_EQ(offsets[0], 0u);
    // The widths the record promises: 64-bit coordinates, 32-bit colours and integers, bytes.
    TqxChartItem it;
    EXPECT_EQ(sizeof(it.X), 8u);
    EXPECT_EQ(sizeof(it.Color), 4u);
    EXPECT_EQ(sizeof(it.PenStyle), 1u);
    EXPECT_EQ(sizeof(it.DataTag), 4u);
    EXPECT_EQ(sizeof(it.LineWidth), 4u);
    EXPECT_EQ(sizeof(it.ItemClass), 1u);
    EXPECT_EQ(sizeof(it.ItemKind), 1u);
    EXPECT_EQ(sizeof(it.Layer), 4u);
    EXPECT_EQ(sizeof(it.Hollow), 1u);
    EXPECT_EQ(sizeof(it.FrameStyle), 1u);
    EXPECT_EQ(sizeof(it.IntParam1), 4u);
    EXPECT_EQ(sizeof(it.CoordMode), 1u);
    EXPECT_EQ(sizeof(TqxShortText), 18u);
}

TEST(PlotixClass, PublishedItemStoreProperties) {
    const TClassInfo* info = FindClass("TPlotix");
    ASSERT_NE(info, nullptr);
    ASSERT_TRUE(info->Create);
    for (const char* name : {"AllocSize", "DataColor", "FillColor", "TextBkColor", "PenStyle",
                             "LineWidth", "ClassDefault", "Left", "Width"})
        EXPECT_NE(info->FindProp(name), nullptr) << name;
}

}  // namespace
}  // namespace kvb

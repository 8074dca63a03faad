#include "ControlsFixture.h"

namespace kvb::test {
namespace {

class ScrollBarTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        bar = new TScrollBar(form);
        bar->SetParent(form);
        bar->SetBounds(0, 60, 121, 17);  // arrows 17 wide, track 17..104
        bar->SetParams(5, 0, 10);
        bar->SetOnChange([this](TObject*) { positions.push_back(bar->Position()); });
        ShowForm();
    }
    // Form coordinates of a point along the bar.
    Integer Y() const { return 68; }

    TScrollBar* bar = nullptr;
    std::vector<Integer> positions;
};

TEST_F(ScrollBarTest, ArrowsMoveBySmallChangeAndFireOnceEach) {
    bar->SetSmallChange(2);
    host->Click(form, mbLeft, 5, Y());
    host->Click(form, mbLeft, 5, Y());
    host->Click(form, mbLeft, 5, Y());
    host->Click(form, mbLeft, 5, Y());  // already at Min: nothing changes, nothing fires
    host->Click(form, mbLeft, 115, Y());
    // A double click on an arrow is two presses: two steps, one change each.
    host->DoubleClick(form, mbLeft, 115, Y());
    EXPECT_EQ(positions, (std::vector<Integer>{3, 1, 0, 2, 4, 6}));
}

TEST_F(ScrollBarTest, PagingMovesByLargeChange) {
    bar->SetLargeChange(4);
    const TRect thumb = bar->Geometry().Thumb;
    host->Click(form, mbLeft, thumb.Right + 3, Y());
    host->Click(form, mbLeft, bar->Geometry().Thumb.Right + 3, Y());
    host->Click(form, mbLeft, 20, Y());
    EXPECT_EQ(positions, (std::vector<Integer>{9, 10, 6}));
}

TEST_F(ScrollBarTest, DraggingTheThumbFiresOncePerNewPosition) {
    bar->SetPosition(0);
    positions.clear();
    const TRect t = bar->Geometry().Thumb;
    const Integer room = bar->Geometry().Track.Width() - t.Width();
    const Integer grab = t.Left + 2;
    host->MouseDown(form, mbLeft, grab, Y());
    // Small steps: several moves land on the same position and fire nothing.
    for (Integer dx = 1; dx <= room; ++dx) host->MouseMove(form, grab + dx, Y());
    host->MouseMove(form, grab + room + 50, Y());  // beyond the end: stays at Max
    host->MouseUp(form, mbLeft, grab + room + 50, Y());
    std::vector<Integer> expected;
    for (Integer p = 1; p <= 10; ++p) expected.push_back(p);
    EXPECT_EQ(positions, expected);
}

TEST_F(ScrollBarTest, ProgrammaticChangesFireOnlyWhenThePositionMoves) {
    bar->SetPosition(7);
    bar->SetPosition(7);
    bar->SetPosition(99);  // clamped to Max
    bar->SetMax(8);        // pulls the position in
    EXPECT_EQ(positions, (std::vector<Integer>{7, 10, 8}));
    EXPECT_EQ(bar->Position(), 8);
}

TEST_F(ScrollBarTest, PageSizeLimitsThePosition) {
    bar->SetPageSize(3);
    EXPECT_EQ(bar->MaxPosition(), 8);
    bar->SetPosition(10);
    EXPECT_EQ(bar->Position(), 8);
    EXPECT_THROW(bar->SetPageSize(12), EInvalidOperation);
}

TEST_F(ScrollBarTest, InvalidRangeIsRefused) {
    try {
        bar->SetParams(0, 5, 4);
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Scroll bar property out of range");
    }
    EXPECT_EQ(bar->Min(), 0);
    EXPECT_EQ(bar->Max(), 10);
}

TEST_F(ScrollBarTest, OnScrollSeesTheCodeAndMayAdjustThePosition) {
    std::vector<TScrollCode> codes;
    bar->SetOnScroll([&](TObject*, TScrollCode code, Integer& pos) {
        codes.push_back(code);
        if (code == scLineDown) pos = 9;
    });
    host->Click(form, mbLeft, 115, Y());
    EXPECT_EQ(codes, (std::vector<TScrollCode>{scLineDown, scEndScroll}));
    EXPECT_EQ(positions, (std::vector<Integer>{9}));
}

TEST_F(ScrollBarTest, ExceptionInOnChangeIsShownAndTheBarStillWorks) {
    bar->SetOnChange([this](TObject*) {
        positions.push_back(bar->Position());
        if (positions.size() == 1) throw EConvertError("first change fails");
    });
    host->Click(form, mbLeft, 115, Y());
    host->Click(form, mbLeft, 115, Y());
    EXPECT_EQ(positions, (std::vector<Integer>{6, 7}));
    ASSERT_EQ(host->Messages().size(), 1u);
    EXPECT_EQ(host->Messages()[0].Text, "first change fails.");
}

TEST_F(ScrollBarTest, KindSwapsTheSides) {
    bar->SetKind(sbVertical);
    EXPECT_EQ(bar->Width(), 17);
    EXPECT_EQ(bar->Height(), 121);
}

}  // namespace
}  // namespace kvb::test

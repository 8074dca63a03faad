#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "TestComponents.h"
#include "platform/classes/Layout.h"

namespace kvb::test {
namespace {

const char* const kLayout = R"(object Form1: TTestForm
  Title = 'It''s'#9'tabbed'
  OnShow = FormShow
  Main = Second
  object First: TTestItem
    Count = -5
    Ratio = 0.1
    Caption = 'caf'#233#0
    Kind = tkThird
    Styles = [tsItalic, tsBold]
    Color = 14540253
    Sub.Color = clBtnFace
    Sub.Inner.Value = -7.000000000000000000
    Buddy = Second
    OnClick = ItemClick
    object Nested: TTestItem
      Letter = #10
      Sub.OnChange = ItemClick
    end
  end
  object Second: TTestItem
    Color = $FF00FFFF
  end
end
)";

TEST(LayoutWriter, WritesTheFormatTheReaderReads) {
    TTestForm form;
    ReadLayout(kLayout, &form);
    const std::string text = WriteLayout(&form);
    // One block per component, nested as read, properties in published order.
    const std::vector<std::string> inOrder = {
        "object Form1: TTestForm\n  Title = 'It''s'#9'tabbed'\n  Main = Second\n  OnShow = FormShow\n",
        "  object First: TTestItem\n    Count = -5\n    Small = 0\n    Ratio = 0.1\n    Precise = 0\n"
        "    Caption = 'caf'#233#0\n    Letter = 'x'\n    Kind = tkThird\n    Styles = [tsBold, tsItalic]\n"
        "    Color = 14540253\n    Enabled = True\n    Sub.Color = clBtnFace\n    Sub.Size = 8\n    Sub.Style = []\n"
        "    Sub.Inner.Value = -7\n    Sub.Inner.Single = 0\n    Buddy = Second\n    OnClick = ItemClick\n",
        "    object Nested: TTestItem\n",
        "      Letter = #10\n",
        "      Sub.OnChange = ItemClick\n",
        "    end\n  end\n  object Second: TTestItem\n",
        "    Color = $FF00FFFF\n",
        "  end\nend\n"};
    std::size_t at = 0;
    for (const std::string& part : inOrder) {
        const std::size_t found = text.find(part, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order:\n" << part << "\nin:\n" << text;
        at = found + part.size();
    }
    EXPECT_EQ(at, text.size());

    TTestForm again;
    ReadLayout(text, &again);
    EXPECT_EQ(WriteLayout(&again), text);
    auto* first = dynamic_cast<TTestItem*>(again.FindComponent("First"));
    auto* nested = dynamic_cast<TTestItem*>(again.FindComponent("Nested"));
    ASSERT_TRUE(first && nested);
    EXPECT_EQ(nested->GetParentComponent(), first);
    EXPECT_EQ(first->Caption(), std::string("caf\xE9\0", 5));
    EXPECT_EQ(again.Main(), again.FindComponent("Second"));
    ASSERT_TRUE(nested->Sub()->OnChange());
    nested->Sub()->OnChange()(nested);
    EXPECT_EQ(again.clicks, std::vector<TObject*>{nested});
}

TEST(LayoutWriter, FloatsReadBackExactly) {
    const double doubles[] = {0.1, 1.0 / 3, -0.0, 4.9e-324, 2.2250738585072014e-308, 1.7976931348623157e308,
                              123456789.125, 1e-10, -7, 9007199254740993.0};
    const long double extendeds[] = {1.0L / 3, 0.1L, 3.6451995318824746025e-4951L, 1.18973149535723176502e+4932L,
                                     -2.5L, std::numeric_limits<long double>::epsilon()};
    const float singles[] = {0.1f, 1e-45f, 3.4028235e38f, 16777217.0f};
    for (std::size_t i = 0; i < std::size(doubles); ++i) {
        TTestForm form;
        auto* item = new TTestItem(&form);
        item->SetName("A");
        item->SetRatio(doubles[i]);
        item->SetPrecise(extendeds[i % std::size(extendeds)]);
        item->Sub()->Inner()->SetSingle(singles[i % std::size(singles)]);
        TTestForm back;
        ReadLayout(WriteLayout(&form), &back);
        auto* b = dynamic_cast<TTestItem*>(back.FindComponent("A"));
        EXPECT_EQ(std::memcmp(&doubles[i], &(const double&)b->Ratio(), sizeof(double)), 0) << doubles[i];
        EXPECT_EQ(b->Precise(), item->Precise()) << static_cast<double>(item->Precise());
        EXPECT_EQ(b->Sub()->Inner()->Single(), item->Sub()->Inner()->Single());
    }
    // Values no number can spell.
    TTestForm form;
    auto* item = new TTestItem(&form);
    item->SetName("A");
    item->SetRatio(std::numeric_limits<double>::quiet_NaN());
    item->SetPrecise(-std::numeric_limits<long double>::infinity());
    const std::string text = WriteLayout(&form);
    EXPECT_NE(text.find("Ratio = NAN\n"), std::string::npos);
    EXPECT_NE(text.find("Precise = -INF\n"), std::string::npos);
    TTestForm back;
    ReadLayout(text, &back);
    auto* b = dynamic_cast<TTestItem*>(back.FindComponent("A"));
    EXPECT_TRUE(std::isnan(b->Ratio()));
    EXPECT_TRUE(std::isinf(b->Precise()) && b->Precise() < 0);
}

TEST(LayoutWriter, StringsOfEveryByteReadBack) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    TTestForm form;
    form.SetTitle(all + "''" + all);
    const std::string text = WriteLayout(&form);
    for (const char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        EXPECT_TRUE(b == '\n' || (b >= 32 && b < 127)) << "byte " << int(b) << " written raw";
    }
    TTestForm back;
    ReadLayout(text, &back);
    EXPECT_EQ(back.Title(), form.Title());
}

TEST(LayoutWriter, LeavesOutWhatCannotBeReadBack) {
    TTestForm form;
    TTestForm stranger;
    auto* outside = new TTestItem(&stranger);
    outside->SetName("Outside");
    auto* a = new TTestItem(&form);
    a->SetName("A");
    a->SetBuddy(outside);                       // not among the root's components
    a->SetOnClick([](TObject*) {});             // a handler set in code has no method name
    auto* unnamed = new TTestItem(&form);       // a component without a name
    unnamed->SetCount(3);
    const std::string text = WriteLayout(&form);
    EXPECT_EQ(text.find("Buddy"), std::string::npos) << text;
    EXPECT_EQ(text.find("OnClick"), std::string::npos) << text;
    EXPECT_NE(text.find("  object TTestItem\n    Count = 3\n"), std::string::npos) << text;
    TTestForm back;
    ReadLayout(text, &back);
    EXPECT_EQ(back.ComponentCount(), 2);
    delete a;  // a refers to a component of another owner: free it before that owner goes
}

}  // namespace
}  // namespace kvb::test

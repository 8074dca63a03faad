#include <gtest/gtest.h>

#include "TestComponents.h"
#include "platform/classes/Layout.h"

namespace kvb::test {
namespace {

TEST(PropertyPath, GetsAndSetsEachKind) {
    TTestForm form;
    auto* item = new TTestItem(&form);
    auto* other = new TTestOther(&form);
    SetOrdProp(item, "Count", -12);
    SetOrdProp(item, "sub.size", 9);
    SetOrdProp(item, "Styles", 0b101);
    SetFloatProp(item, "Sub.Inner.Value", 2.25);
    SetStrProp(item, "Caption", "hi");
    SetStrProp(item, "Letter", "z");
    SetEnumProp(item, "Kind", "tkFirst");
    SetEnumProp(item, "Enabled", "false");
    SetComponentProp(item, "Buddy", item);
    EXPECT_EQ(item->Count(), -12);
    EXPECT_EQ(item->Sub()->Size(), 9);
    EXPECT_EQ(item->Styles(), (TTestStyles{tsBold, tsUnderline}));
    EXPECT_EQ(GetFloatProp(item, "Sub.Inner.Value"), 2.25);
    EXPECT_EQ(GetStrProp(item, "Caption"), "hi");
    EXPECT_EQ(GetStrProp(item, "Letter"), "z");
    EXPECT_EQ(GetEnumProp(item, "Kind"), "tkFirst");
    EXPECT_EQ(GetEnumProp(item, "Enabled"), "False");
    EXPECT_EQ(GetComponentProp(item, "Buddy"), item);
    EXPECT_EQ(GetObjectProp(item, "Sub"), item->Sub());
    EXPECT_EQ(GetOrdProp(item, "Sub.Size"), 9);

    SetPropText(item, "Color", "clRed");
    SetPropText(item, "Sub.Style", "[tsItalic]");
    SetPropText(item, "Caption", "'a'#13'b'");
    SetPropText(item, "Ratio", "-1.5e3");
    EXPECT_EQ(item->Color(), clRed);
    EXPECT_EQ(GetPropText(item, "Sub.Style"), "[tsItalic]");
    EXPECT_EQ(GetPropText(item, "Caption"), "'a'#13'b'");
    EXPECT_EQ(GetPropText(item, "Ratio"), "-1500");
    EXPECT_THROW(GetPropText(item, "Buddy"), EConvertError);  // no name to write
    item->SetName("Me");
    EXPECT_EQ(GetPropText(item, "Buddy"), "Me");

    bool called = false;
    SetEventProp(item, "OnClick", std::any(TNotifyEvent([&](TObject*) { called = true; })));
    item->OnClick()(item);
    EXPECT_TRUE(called);
    (void)other;
}

TEST(PropertyPath, RefusesWrongKindsNamesAndRanges) {
    TTestForm form;
    auto* item = new TTestItem(&form);
    auto* other = new TTestOther(&form);
    const auto convertError = [](auto&& f) {
        try {
            f();
        } catch (const EConvertError& e) {
            return e.Message();
        }
        return std::string("no EConvertError");
    };
    EXPECT_EQ(convertError([&] { SetOrdProp(item, "Missing", 1); }), "Property Missing does not exist in TTestItem");
    EXPECT_EQ(convertError([&] { SetOrdProp(item, "Count.X", 1); }), "Property Count is not an object");
    EXPECT_EQ(convertError([&] { SetOrdProp(item, "", 1); }), "Property  does not exist in TTestItem");
    EXPECT_EQ(convertError([&] { SetOrdProp(item, "Small", 256); }), "Value 256 out of range for property Small (0..255)");
    EXPECT_EQ(convertError([&] { SetOrdProp(item, "Kind", 4); }), "Value 4 out of range for property Kind (0..3)");
    EXPECT_EQ(convertError([&] { SetOrdProp(item, "Styles", 8); }), "Value out of range for property Styles");
    EXPECT_EQ(convertError([&] { SetOrdProp(item, "Ratio", 1); }), "Property Ratio is not an ordinal property");
    EXPECT_EQ(convertError([&] { SetFloatProp(item, "Count", 1); }), "Property Count is not a floating-point property");
    EXPECT_EQ(convertError([&] { SetStrProp(item, "Count", "1"); }), "Property Count is not a string property");
    EXPECT_EQ(convertError([&] { SetStrProp(item, "Letter", "ab"); }), "Property Letter takes one character");
    EXPECT_EQ(convertError([&] { SetEnumProp(item, "Kind", "tkNope"); }), "'tkNope' is not a value of TTestKind");
    EXPECT_EQ(convertError([&] { SetComponentProp(item, "Buddy", other); }),
              "Property Buddy takes a TTestItem, not a TTestOther");
    EXPECT_EQ(convertError([&] { SetEventProp(item, "OnClick", std::any(42)); }),
              "Handler of the wrong type for event OnClick");
    EXPECT_EQ(convertError([&] { SetPropText(item, "Count", "'x'"); }),
              "Invalid value for property Count: an integer expected but a string found");
    EXPECT_EQ(convertError([&] { SetPropText(item, "Count", "1 2"); }), "End of value expected but number 2 found");
    EXPECT_EQ(convertError([&] { SetPropText(item, "Buddy", "Me"); }), "Property Buddy cannot be set from a value here");
    EXPECT_EQ(convertError([&] { GetPropText(item, "OnClick"); }), "Property OnClick has no value a layout can hold");
    EXPECT_EQ(item->Count(), 0);
}

}  // namespace
}  // namespace kvb::test

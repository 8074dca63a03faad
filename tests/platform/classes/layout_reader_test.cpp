#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "TestComponents.h"
#include "platform/classes/Layout.h"

namespace kvb::test {
namespace {

const char* const kLayout = R"(object Form1: TTestForm
  Title = 'It''s a '#13#10'test' +
    ' continued'
  OnShow = FormShow
  Main = Second
  object First: TTestItem
    Count = 5
    Small = 255
    Ratio = -7.000000000000000000
    Precise = 1e-10
    Caption = 'caf'#233
    Letter = 'q'
    Kind = tkSecond
    Styles = [tsBold, tsUnderline]
    Color = clBtnFace
    Enabled = False
    Sub.Color = $00FF00
    Sub.Size = -3
    Sub.Style = [tsItalic]
    Sub.Inner.Value = 1.5
    Buddy = Second
    OnClick = ItemClick
    object Nested: TTestItem
      Count = $1F
      Color = -16777201
    end
  end
  object Second: TTestItem
    Count = 7
    Buddy = First
  end
end
)";

TTestItem* Item(TComponent* form, const char* name) {
    return dynamic_cast<TTestItem*>(form->FindComponent(name));
}

TEST(LayoutReader, LoadsEveryKindOfValue) {
    TTestForm form;
    ReadLayout(kLayout, &form);
    EXPECT_EQ(form.Name(), "Form1");
    EXPECT_EQ(form.Title(), "It's a \r\ntest continued");
    ASSERT_EQ(form.ComponentCount(), 3);
    TTestItem* first = Item(&form, "First");
    TTestItem* nested = Item(&form, "nested");  // names are found regardless of case
    TTestItem* second = Item(&form, "Second");
    ASSERT_TRUE(first && nested && second);
    EXPECT_EQ(first->Count(), 5);
    EXPECT_EQ(first->Small(), 255);
    EXPECT_EQ(first->Ratio(), -7.0);
    EXPECT_EQ(first->Precise(), 1e-10L);
    EXPECT_EQ(first->Caption(), "caf\xE9");
    EXPECT_EQ(first->Letter(), 'q');
    EXPECT_EQ(first->Kind(), tkSecond);
    EXPECT_EQ(first->Styles(), (TTestStyles{tsBold, tsUnderline}));
    EXPECT_EQ(first->Color(), clBtnFace);
    EXPECT_FALSE(first->Enabled());
    EXPECT_EQ(first->Sub()->Color(), 0x00FF00u);
    EXPECT_EQ(first->Sub()->Size(), -3);
    EXPECT_EQ(first->Sub()->Style(), TTestStyles{tsItalic});
    EXPECT_EQ(first->Sub()->Inner()->Value(), 1.5);
    EXPECT_EQ(nested->Count(), 31);
    EXPECT_EQ(nested->Color(), clBtnFace);  // a negative number is the colour's 32 bits
    // References, including one to a component further down the text.
    EXPECT_EQ(form.Main(), second);
    EXPECT_EQ(first->Buddy(), second);
    EXPECT_EQ(second->Buddy(), first);
    // Nesting goes through SetParentComponent; everything is owned by the root.
    EXPECT_EQ(first->GetParentComponent(), &form);
    EXPECT_EQ(nested->GetParentComponent(), first);
    EXPECT_EQ(nested->Owner(), &form);
    // Events are bound to the root's methods and remembered by name.
    ASSERT_TRUE(first->OnClick());
    first->OnClick()(first);
    EXPECT_EQ(form.clicks, std::vector<TObject*>{first});
    ASSERT_TRUE(form.OnShow());
    form.OnShow()(&form);
    EXPECT_EQ(form.shows, 1);
    EXPECT_EQ(first->EventBindings(), (std::vector<std::pair<std::string, std::string>>{{"OnClick", "ItemClick"}}));
    for (TComponent* c : {static_cast<TComponent*>(&form), static_cast<TComponent*>(first),
                          static_cast<TComponent*>(nested), static_cast<TComponent*>(second)})
        EXPECT_FALSE(c->ComponentState().Contains(csLoading)) << c->Name();
}

TEST(LayoutReader, AppliesInFileOrderWhileLoadingThenLoadedInCreationOrder) {
    Log().clear();
    {
        TTestForm form;
        ReadLayout(kLayout, &form);
        std::vector<std::string> seen;
        std::copy_if(Log().begin(), Log().end(), std::back_inserter(seen),
                     [](const std::string& s) { return s.find("Destroy") == std::string::npos; });
        const std::vector<std::string> expected = {
            "Form1.Title loading", "First.Count=5 loading", "First.Caption loading", "Sub.Color",
            "Inner.Value", "Nested.Count=31 loading", "Second.Count=7 loading",
            // References once the whole text is read, in the order they were written.
            "Form1.Main=Second loading", "First.Buddy=Second loading", "Second.Buddy=First loading",
            "Loaded Form1", "Loaded First", "Loaded Nested", "Loaded Second"};
        EXPECT_EQ(seen, expected);
        Log().clear();
    }
    // The form frees what it owns, the last created first.
    EXPECT_EQ(Log(), (std::vector<std::string>{"Destroy Second", "Destroy Nested", "Destroy First"}));
}

TEST(LayoutReader, AcceptsVariantsOfTheSyntax) {
    TTestDerivedForm form;
    // Keywords and names in any case, CR LF line ends, an unnamed component, the root class
    // named by an ancestor, a method found in the parent class, the inherited keyword.
    ReadLayout("OBJECT F: TTestForm\r\n  title = ''\r\n  object TTestOther\r\n  Tag = 1\r\n  END\r\n"
               "  Object A: ttestitem\r\n    onclick = ItemClick\r\n    Sub.OnChange = Extra\r\n"
               "    Precise = -INF\r\n    Ratio = NAN\r\n    Buddy = nil\r\n  end\r\nEnd\r\n",
               &form);
    ASSERT_EQ(form.ComponentCount(), 2);
    EXPECT_EQ(form.Components(0)->Name(), "");
    EXPECT_EQ(dynamic_cast<TTestOther*>(form.Components(0))->Tag(), 1);
    TTestItem* a = Item(&form, "A");
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->OnClick());
    EXPECT_TRUE(a->Sub()->OnChange());
    EXPECT_TRUE(std::isinf(a->Precise()) && a->Precise() < 0);
    EXPECT_TRUE(std::isnan(a->Ratio()));
    ReadLayout("inherited F: TTestDerivedForm\n  inherited A: TTestItem\n    Count = 3\n  end\nend", &form);
    EXPECT_EQ(a->Count(), 3);
    EXPECT_EQ(form.ComponentCount(), 2);
}

TEST(LayoutReader, SkipsOnlyTheIgnoredPaths) {
    TTestForm form;
    TLayoutOptions options;
    options.IgnoredProperties = {"TTestItem.Sub.Missing", "TComponent.Unknown"};
    ReadLayout("object F: TTestForm\n  Unknown = 1\n  object A: TTestItem\n    Sub.Missing = [x]\n"
               "    Count = 2\n  end\nend",
               &form, options);
    EXPECT_EQ(Item(&form, "A")->Count(), 2);
    TTestForm other;
    EXPECT_THROW(ReadLayout("object F: TTestForm\n  object A: TTestItem\n    Sub.Size.Missing = 1\n  end\nend",
                            &other, options),
                 EReadError);
}

struct BadLayout {
    const char* name;
    std::string text;
    int line, column;
    const char* fragment;  // part of the message
};

TEST(LayoutReader, ReportsEveryFaultWithLineAndColumn) {
    const std::string head = "object F: TTestForm\n  object A: TTestItem\n";
    const std::vector<BadLayout> cases = {
        {"unknown class", "object F: TTestForm\n  object A: TNoSuchClass\n  end\nend", 2, 13, "Class TNoSuchClass not found"},
        {"class not creatable", "object F: TTestForm\n  object A: TComponent\n  end\nend", 2, 13, "cannot be created"},
        {"wrong root class", "object F: TTestItem\nend", 1, 11, "does not match"},
        {"unknown property", head + "    Cont = 1\n  end\nend", 3, 5, "Property Cont does not exist in TTestItem"},
        {"unknown sub-property", head + "    Sub.Inner.Nope = 1\n  end\nend", 3, 15, "Property Nope does not exist in TTestInner"},
        {"path through a value", head + "    Count.X = 1\n  end\nend", 3, 5, "not an object"},
        {"object set directly", head + "    Sub = 1\n  end\nend", 3, 11, "is an object"},
        {"unknown identifier", head + "    Kind = tkFourth\n  end\nend", 3, 12, "'tkFourth' is not a value of TTestKind"},
        {"unknown set member", head + "    Styles = [tsBold, tsWide]\n  end\nend", 3, 23, "'tsWide'"},
        {"unknown colour", head + "    Color = clMauve\n  end\nend", 3, 13, "not a colour"},
        {"enum by number", head + "    Kind = 1\n  end\nend", 3, 12, "an enumeration value expected"},
        {"string for integer", head + "    Count = '5'\n  end\nend", 3, 13, "an integer expected"},
        {"float for integer", head + "    Count = 1.5\n  end\nend", 3, 13, "an integer expected"},
        {"integer for string", head + "    Caption = 5\n  end\nend", 3, 15, "a string expected"},
        {"number for boolean", head + "    Enabled = 1\n  end\nend", 3, 15, "True or False"},
        {"two characters", head + "    Letter = 'ab'\n  end\nend", 3, 14, "one character"},
        {"out of range", head + "    Small = 256\n  end\nend", 3, 13, "Value 256 out of range for property Small (0..255)"},
        {"below range", head + "    Count = -2147483649\n  end\nend", 3, 13, "out of range"},
        {"integer too large", head + "    Count = 99999999999999999999\n  end\nend", 3, 13, "Integer too large"},
        {"float overflow", head + "    Ratio = 1e400\n  end\nend", 3, 13, "out of range"},
        {"unterminated string", head + "    Caption = 'abc\n  end\nend", 3, 15, "Unterminated string"},
        {"unterminated at end", head + "    Caption = 'abc", 3, 15, "Unterminated string"},
        {"character code too big", head + "    Caption = #256\n  end\nend", 3, 15, "Character code out of range"},
        {"missing end", head + "    Count = 1\n  end\n", 5, 1, "'end' expected but end of text found"},
        {"missing value", head + "    Count =\n  end\nend", 4, 3, "an integer expected but an identifier found"},
        {"value missing at the end", head + "    Count = ", 3, 13, "Value expected but end of text found"},
        {"missing equals", head + "    Count 1\n  end\nend", 3, 11, "'=' expected"},
        {"trailing junk", "object F: TTestForm\nend\nobject", 3, 1, "End of text expected"},
        {"not a layout", "hello", 1, 1, "'object' expected"},
        {"empty text", "", 1, 1, "'object' expected but end of text found"},
        {"stray symbol", head + "    ] = 1\n  end\nend", 3, 5, "Property name or 'end' expected"},
        {"invalid character", head + "    Count = 1 @\n  end\nend", 3, 15, "Invalid character"},
        {"bad number", head + "    Count = 12ab\n  end\nend", 3, 13, "Invalid number"},
        {"unknown reference", head + "    Buddy = Nobody\n  end\nend", 3, 13, "Component Nobody not found"},
        {"reference of wrong class", head + "  end\n  object O: TTestOther\n  end\n  Main = O\nend", 6, 10, "O is a TTestOther, not a TTestItem"},
        {"unknown method", head + "    OnClick = NoHandler\n  end\nend", 3, 15, "Method NoHandler not found in TTestForm"},
        {"duplicate name", head + "  end\n  object a: TTestItem\n  end\nend", 4, 10, "A component named a already exists"},
        {"invalid set syntax", head + "    Styles = [tsBold tsItalic]\n  end\nend", 3, 22, "',' or ']' expected"},
    };
    for (const BadLayout& c : cases) {
        TTestForm form;
        try {
            ReadLayout(c.text, &form);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const EReadError& e) {
            const std::string where = "line " + std::to_string(c.line) + ", column " + std::to_string(c.column);
            EXPECT_NE(e.Message().find(where), std::string::npos) << c.name << ": " << e.Message();
            EXPECT_NE(e.Message().find(c.fragment), std::string::npos) << c.name << ": " << e.Message();
        }
        // Whatever the reader created is gone again; the root is out of the loading state.
        EXPECT_EQ(form.ComponentCount(), 0) << c.name;
        EXPECT_FALSE(form.ComponentState().Contains(csLoading)) << c.name;
    }
}

TEST(LayoutReader, EventOfTheWrongSignatureIsRefused) {
    TTestDerivedForm form;
    try {
        ReadLayout("object F: TTestDerivedForm\n  OnShow = WrongSignature\nend", &form);
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_NE(e.Message().find("line 2, column 12"), std::string::npos) << e.Message();
    }
}

TEST(LayoutReader, LimitsNestingAndSurvivesHugeInput) {
    std::string deep;
    for (int i = 0; i < 10000; ++i) deep += "object A" + std::to_string(i) + ": TTestItem\n";
    deep.replace(0, deep.find(':'), "object F");
    deep.replace(deep.find("TTestItem"), 9, "TTestForm");
    for (int i = 0; i < 10000; ++i) deep += "end\n";
    TTestForm form;
    try {
        ReadLayout(deep, &form);
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_NE(e.Message().find("nested more than 64 levels deep at line 65, column 1"), std::string::npos)
            << e.Message();
    }
    EXPECT_EQ(form.ComponentCount(), 0);

    // 10 MB of noise: one fault, reported where it is.
    std::string noise(10 * 1024 * 1024, '\0');
    std::uint32_t state = 12345;
    for (char& ch : noise) {
        state = state * 134775813u + 1;
        ch = static_cast<char>(state >> 24);
    }
    try {
        ReadLayout(noise, &form);
        FAIL();
    } catch (const EReadError& e) {
        // The first bytes already fail; the message still says where.
        EXPECT_NE(e.Message().find(" at line 1, column "), std::string::npos) << e.Message();
    }
    EXPECT_EQ(form.ComponentCount(), 0);
    // A huge but well-formed layout that fails at its very end frees its many components.
    std::string many = "object F: TTestForm\n";
    for (int i = 0; i < 20000; ++i) many += "  object C" + std::to_string(i) + ": TTestOther\n  end\n";
    many += "  Bogus = 1\nend\n";
    try {
        ReadLayout(many, &form);
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_NE(e.Message().find("line 40002, column 3"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(form.ComponentCount(), 0);
}

TEST(LayoutReader, FailingLoadedFreesTheNewComponents) {
    TTestForm form;
    TTestItem::failLoaded = true;
    try {
        ReadLayout("object F: TTestForm\n  object A: TTestItem\n  end\nend", &form);
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_NE(e.Message().find("Loaded failed at line 2, column 3"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(form.ComponentCount(), 0);
    EXPECT_FALSE(form.ComponentState().Contains(csLoading));
}

}  // namespace
}  // namespace kvb::test

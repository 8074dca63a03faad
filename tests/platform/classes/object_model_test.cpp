#include <gtest/gtest.h>

#include "TestComponents.h"

namespace kvb::test {
namespace {

template <class F>
std::string MessageOf(F&& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "no exception";
}

TEST(Persistent, AssignFollowsTheProtocol) {
    TTestSub a, b;
    a.SetSize(42);
    a.Inner()->SetValue(2.5);
    b.Assign(&a);
    EXPECT_EQ(b.Size(), 42);
    EXPECT_EQ(b.Inner()->Value(), 2.5);
    TTestInner inner;
    EXPECT_EQ(MessageOf([&] { b.Assign(&inner); }), "Cannot assign a TTestInner to a TTestSub");
    EXPECT_EQ(MessageOf([&] { b.Assign(nullptr); }), "Cannot assign a nil to a TTestSub");
    EXPECT_THROW(b.Assign(&inner), EConvertError);
    TPersistent plain;
    EXPECT_EQ(MessageOf([&] { plain.Assign(&a); }), "Cannot assign a TTestSub to a TPersistent");
}

TEST(Component, OwnerFreesWhatItOwnsLastFirst) {
    Log().clear();
    auto* form = new TTestForm;
    auto* a = new TTestItem(form);
    a->SetName("A");
    auto* b = new TTestItem(form);
    b->SetName("B");
    auto* c = new TTestItem(a);  // owned by a, freed with it
    c->SetName("C");
    auto* d = new TTestItem(form);
    d->SetName("D");
    EXPECT_EQ(form->ComponentCount(), 3);
    delete b;  // leaves its owner's list
    EXPECT_EQ(form->ComponentCount(), 2);
    EXPECT_EQ(form->Components(1), d);
    EXPECT_EQ(form->FindComponent("b"), nullptr);
    EXPECT_THROW(form->Components(2), EInvalidOperation);
    Log().clear();
    delete form;
    EXPECT_EQ(Log(), (std::vector<std::string>{"Destroy D", "Destroy A", "Destroy C"}));
}

TEST(Component, NamesAreIdentifiersUniqueAmongSiblings) {
    TTestForm form;
    TTestItem a(nullptr), b(nullptr);
    form.InsertComponent(&a);
    form.InsertComponent(&b);
    for (const char* bad : {"1abc", "a b", "a-b", "é", " a"})
        EXPECT_EQ(MessageOf([&] { a.SetName(bad); }), "'" + std::string(bad) + "' is not a valid component name");
    a.SetName("_Item1");
    EXPECT_EQ(form.FindComponent("_ITEM1"), &a);
    EXPECT_EQ(MessageOf([&] { b.SetName("_item1"); }), "A component named _item1 already exists");
    EXPECT_THROW(b.SetName("_item1"), EComponentError);
    a.SetName("Renamed");
    EXPECT_EQ(form.FindComponent("_Item1"), nullptr);
    b.SetName("_Item1");
    EXPECT_EQ(form.FindComponent("_item1"), &b);
    a.SetName("");
    EXPECT_EQ(form.FindComponent("Renamed"), nullptr);
    // Without an owner names need not be unique; a clash is caught when one is inserted.
    TTestItem loose(nullptr);
    loose.SetName("_Item1");
    EXPECT_THROW(form.InsertComponent(&loose), EComponentError);
    EXPECT_EQ(loose.Owner(), nullptr);
    form.RemoveComponent(&a);
    form.RemoveComponent(&b);
}

TEST(Component, OwnershipMovesAndStatePropagates) {
    TTestForm one, two;
    auto* item = new TTestItem(&one);
    item->SetName("X");
    two.SetDesigning(true);
    two.InsertComponent(item);
    EXPECT_EQ(item->Owner(), &two);
    EXPECT_EQ(one.ComponentCount(), 0);
    EXPECT_EQ(two.FindComponent("X"), item);
    EXPECT_TRUE(item->ComponentState().Contains(csDesigning));
    two.SetDesigning(false);
    EXPECT_FALSE(item->ComponentState().Contains(csDesigning));
    item->SetLoading(true);
    EXPECT_TRUE(item->ComponentState().Contains(csLoading));
    item->Loaded();
    EXPECT_FALSE(item->ComponentState().Contains(csLoading));
    // Ownership cannot loop back.
    auto* inner = new TTestItem(item);
    EXPECT_THROW(inner->InsertComponent(item), EComponentError);
    EXPECT_THROW(item->InsertComponent(item), EComponentError);
    EXPECT_EQ(item->Owner(), &two);
    item->Destroying();
    EXPECT_TRUE(item->ComponentState().Contains(csDestroying));
}

TEST(Component, FreeNotificationClearsReferencesBothWays) {
    auto* form = new TTestForm;
    auto* a = new TTestItem(form);
    auto* b = new TTestItem(nullptr);  // not owned: only free notification links the two
    a->SetBuddy(b);
    b->SetBuddy(a);
    form->SetMain(a);
    delete b;
    EXPECT_EQ(a->Buddy(), nullptr);
    delete a;
    EXPECT_EQ(form->Main(), nullptr);

    // The link goes both ways: whichever side dies first, the other forgets it.
    auto* c = new TTestItem(nullptr);
    auto* d = new TTestItem(nullptr);
    c->SetBuddy(d);
    delete c;  // d must not keep c in its list, or deleting d would touch freed memory
    delete d;
    // Two components that refer to each other: one letting go keeps the other informed.
    auto* g = new TTestItem(nullptr);
    auto* h = new TTestItem(nullptr);
    g->SetBuddy(h);
    h->SetBuddy(g);
    h->SetBuddy(nullptr);
    delete h;
    EXPECT_EQ(g->Buddy(), nullptr);
    delete g;
    delete form;
}

TEST(Component, DefaultChildrenFollowParentComponents) {
    TTestForm form;
    auto* a = new TTestItem(&form);
    auto* b = new TTestItem(&form);
    auto* c = new TTestOther(&form);
    b->SetParentComponent(a);
    std::vector<TComponent*> top, underA;
    form.GetChildren([&](TComponent* k) { top.push_back(k); }, &form);
    a->GetChildren([&](TComponent* k) { underA.push_back(k); }, &form);
    EXPECT_EQ(top, (std::vector<TComponent*>{a, c}));
    EXPECT_EQ(underA, std::vector<TComponent*>{b});
    delete a;  // b's parent link is cleared, so b now counts as a child of the form
    top.clear();
    form.GetChildren([&](TComponent* k) { top.push_back(k); }, &form);
    EXPECT_EQ(top, (std::vector<TComponent*>{b, c}));
}

TEST(ClassRegistry, FindsClassesPropertiesAndMethods) {
    EXPECT_EQ(FindClass("ttestitem"), &TTestItem::StaticClassInfo());
    EXPECT_EQ(FindClass("TComponent"), &TComponent::StaticClassInfo());
    EXPECT_EQ(FindClass("TNoSuchThing"), nullptr);
    const TClassInfo& derived = TTestDerivedForm::StaticClassInfo();
    EXPECT_TRUE(derived.InheritsFrom(TComponent::StaticClassInfo()));
    EXPECT_FALSE(TComponent::StaticClassInfo().InheritsFrom(derived));
    std::vector<std::string> names;
    for (const TPropInfo* p : TTestItem::StaticClassInfo().AllProps()) names.push_back(p->Name);
    EXPECT_EQ(names, (std::vector<std::string>{"Count", "Small", "Ratio", "Precise", "Caption", "Letter", "Kind",
                                               "Styles", "Color", "Enabled", "Sub", "Buddy", "OnClick"}));
    names.clear();
    for (const TPropInfo* p : derived.AllProps()) names.push_back(p->Name);
    EXPECT_EQ(names, (std::vector<std::string>{"Title", "Main", "OnShow"}));  // inherited ones first
    EXPECT_EQ(derived.FindProp("TITLE"), TTestForm::StaticClassInfo().FindProp("Title"));
    ASSERT_NE(derived.FindMethod("itemclick"), nullptr);  // found in the parent
    EXPECT_NE(derived.FindMethod("Extra"), nullptr);
    EXPECT_EQ(TTestForm::StaticClassInfo().FindMethod("Extra"), nullptr);
    const TPropInfo* small = TTestItem::StaticClassInfo().FindProp("Small");
    EXPECT_EQ(small->MinValue, 0);
    EXPECT_EQ(small->MaxValue, 255);
    EXPECT_EQ(TTestItem::StaticClassInfo().FindProp("Buddy")->ReferenceClass(), &TTestItem::StaticClassInfo());
    EXPECT_EQ(EnumInfo<TTestKind>().IndexOf("TKTHIRD"), 3);
    EXPECT_EQ(EnumInfo<TTestKind>().IndexOf("tkFourth"), -1);
    EXPECT_EQ(EnumInfo<TComponentStateItem>().IndexOf("csDesigning"), 4);
}

TEST(ClassRegistry, BoundMethodsCallTheirObject) {
    TTestForm form;
    std::any handler = TTestForm::StaticClassInfo().FindMethod("ItemClick")->Bind(&form);
    ASSERT_NE(std::any_cast<TNotifyEvent>(&handler), nullptr);
    std::any_cast<TNotifyEvent>(handler)(&form);
    EXPECT_EQ(form.clicks, std::vector<TObject*>{&form});
}

}  // namespace
}  // namespace kvb::test

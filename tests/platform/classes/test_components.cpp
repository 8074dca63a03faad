#include "TestComponents.h"

namespace kvb::test {

std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}

namespace {
std::string Loading(const TComponent* c) {
    return c->ComponentState().Contains(csLoading) ? " loading" : "";
}
}  // namespace

const TClassInfo& TTestInner::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TTestInner>("TTestInner", &TPersistent::StaticClassInfo())
            .Float("Value", &TTestInner::Value, &TTestInner::SetValue)
            .Float("Single", &TTestInner::Single, &TTestInner::SetSingle)
            .Build());
    return info;
}

void TTestInner::SetValue(double v) {
    value_ = v;
    Log().push_back("Inner.Value");
}

void TTestInner::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TTestInner*>(Source)) {
        value_ = s->value_;
        single_ = s->single_;
        return;
    }
    TPersistent::Assign(Source);
}

const TClassInfo& TTestSub::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TTestSub>("TTestSub", &TPersistent::StaticClassInfo())
            .Color("Color", &TTestSub::Color, &TTestSub::SetColor)
            .Int("Size", &TTestSub::Size, &TTestSub::SetSize)
            .Set("Style", &TTestSub::Style, &TTestSub::SetStyle)
            .Object("Inner", &TTestSub::Inner)
            .Event("OnChange", &TTestSub::OnChange, &TTestSub::SetOnChange)
            .Build());
    return info;
}

TTestSub::TTestSub() : inner_(std::make_unique<TTestInner>()) {}

void TTestSub::SetColor(TColor v) {
    color_ = v;
    Log().push_back("Sub.Color");
}

void TTestSub::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TTestSub*>(Source)) {
        color_ = s->color_;
        size_ = s->size_;
        style_ = s->style_;
        inner_->Assign(s->inner_.get());
        return;
    }
    TPersistent::Assign(Source);
}

const TClassInfo& TTestItem::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TTestItem>("TTestItem", &TComponent::StaticClassInfo())
            .Creatable()
            .Int("Count", &TTestItem::Count, &TTestItem::SetCount)
            .Int("Small", &TTestItem::Small, &TTestItem::SetSmall)
            .Float("Ratio", &TTestItem::Ratio, &TTestItem::SetRatio)
            .Float("Precise", &TTestItem::Precise, &TTestItem::SetPrecise)
            .Str("Caption", &TTestItem::Caption, &TTestItem::SetCaption)
            .Char("Letter", &TTestItem::Letter, &TTestItem::SetLetter)
            .Enum("Kind", &TTestItem::Kind, &TTestItem::SetKind)
            .Set("Styles", &TTestItem::Styles, &TTestItem::SetStyles)
            .Color("Color", &TTestItem::Color, &TTestItem::SetColor)
            .Bool("Enabled", &TTestItem::Enabled, &TTestItem::SetEnabled)
            .Object("Sub", &TTestItem::Sub)
            .Component("Buddy", &TTestItem::Buddy, &TTestItem::SetBuddy)
            .Event("OnClick", &TTestItem::OnClick, &TTestItem::SetOnClick)
            .Build());
    return info;
}
KVB_REGISTER_CLASS(TTestItem);

TTestItem::TTestItem(TComponent* owner) : TComponent(owner), sub_(std::make_unique<TTestSub>()) {}

TTestItem::~TTestItem() { Log().push_back("Destroy " + Name()); }

void TTestItem::SetCount(Integer v) {
    count_ = v;
    Log().push_back(Name() + ".Count=" + std::to_string(v) + Loading(this));
}

void TTestItem::SetCaption(const std::string& v) {
    caption_ = v;
    Log().push_back(Name() + ".Caption" + Loading(this));
}

void TTestItem::SetBuddy(TTestItem* v) {
    if (buddy_ != nullptr) RemoveFreeNotification(buddy_);
    buddy_ = v;
    if (buddy_ != nullptr) FreeNotification(buddy_);
    Log().push_back(Name() + ".Buddy=" + (v ? v->Name() : "nil") + Loading(this));
}

void TTestItem::SetParentComponent(TComponent* parent) {
    if (parent_ != nullptr) RemoveFreeNotification(parent_);
    parent_ = parent;
    if (parent_ != nullptr) FreeNotification(parent_);
}

void TTestItem::Loaded() {
    TComponent::Loaded();
    Log().push_back("Loaded " + Name());
    if (failLoaded) {
        failLoaded = false;
        throw EInvalidOperation("Loaded failed");
    }
}

void TTestItem::Notification(TComponent* c, TOperation op) {
    TComponent::Notification(c, op);
    if (op == opRemove) {
        if (c == buddy_) buddy_ = nullptr;
        if (c == parent_) parent_ = nullptr;
    }
}

const TClassInfo& TTestOther::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TTestOther>("TTestOther", &TComponent::StaticClassInfo())
            .Creatable()
            .Int("Tag", &TTestOther::Tag, &TTestOther::SetTag)
            .Build());
    return info;
}
KVB_REGISTER_CLASS(TTestOther);

const TClassInfo& TTestForm::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TTestForm>("TTestForm", &TComponent::StaticClassInfo())
            .Str("Title", &TTestForm::Title, &TTestForm::SetTitle)
            .Component("Main", &TTestForm::Main, &TTestForm::SetMain)
            .Event("OnShow", &TTestForm::OnShow, &TTestForm::SetOnShow)
            .Method("ItemClick", &TTestForm::ItemClick)
            .Method("FormShow", &TTestForm::FormShow)
            .Build());
    return info;
}
KVB_REGISTER_CLASS(TTestForm);

TTestForm::~TTestForm() {
    // Owned components go while this form is still a TTestForm, as a real form does it.
    Destroying();
    DestroyComponents();
}

void TTestForm::SetTitle(const std::string& v) {
    title_ = v;
    Log().push_back(Name() + ".Title" + Loading(this));
}

void TTestForm::SetMain(TTestItem* v) {
    if (main_ != nullptr) RemoveFreeNotification(main_);
    main_ = v;
    if (main_ != nullptr) FreeNotification(main_);
    Log().push_back(Name() + ".Main=" + (v ? v->Name() : "nil") + Loading(this));
}

void TTestForm::Loaded() {
    TComponent::Loaded();
    Log().push_back("Loaded " + Name());
}

void TTestForm::Notification(TComponent* c, TOperation op) {
    TComponent::Notification(c, op);
    if (op == opRemove && c == main_) main_ = nullptr;
}

const TClassInfo& TTestDerivedForm::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TTestDerivedForm>("TTestDerivedForm", &TTestForm::StaticClassInfo())
            .Creatable()
            .Method("Extra", &TTestDerivedForm::Extra)
            .Method("WrongSignature", &TTestDerivedForm::WrongSignature)
            .Build());
    return info;
}
KVB_REGISTER_CLASS(TTestDerivedForm);

}  // namespace kvb::test

// Small components for the object-model and layout tests: every property kind, a two-level
// sub-object, a parent link like a control's, and a log of what setters and Loaded saw.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Classes.h"
#include "platform/graphics/Color.h"

namespace kvb::test {

enum TTestKind : std::uint8_t { tkNone, tkFirst, tkSecond, tkThird };
KVB_ENUM_NAMES(TTestKind, "tkNone", "tkFirst", "tkSecond", "tkThird")
enum TTestStyle : std::uint8_t { tsBold, tsItalic, tsUnderline };
KVB_ENUM_NAMES(TTestStyle, "tsBold", "tsItalic", "tsUnderline")
using TTestStyles = TSet<TTestStyle>;

// What the setters saw: "Item1.Count=5 loading" and "Loaded Item1".
std::vector<std::string>& Log();

class TTestInner : public TPersistent {
    KVB_CLASS_INFO()
public:
    double Value() const { return value_; }
    void SetValue(double v);
    float Single() const { return single_; }
    void SetSingle(float v) { single_ = v; }
    void Assign(TPersistent* Source) override;

private:
    double value_ = 0;
    float single_ = 0;
};

class TTestSub : public TPersistent {
    KVB_CLASS_INFO()
public:
    TTestSub();
    TColor Color() const { return color_; }
    void SetColor(TColor v);
    Integer Size() const { return size_; }
    void SetSize(Integer v) { size_ = v; }
    TTestStyles Style() const { return style_; }
    void SetStyle(TTestStyles v) { style_ = v; }
    TTestInner* Inner() const { return inner_.get(); }
    const TNotifyEvent& OnChange() const { return onChange_; }
    void SetOnChange(TNotifyEvent h) { onChange_ = std::move(h); }
    void Assign(TPersistent* Source) override;

private:
    TColor color_ = clBlack;
    Integer size_ = 8;
    TTestStyles style_;
    std::unique_ptr<TTestInner> inner_;
    TNotifyEvent onChange_;
};

class TTestItem : public TComponent {
    KVB_CLASS_INFO()
public:
    explicit TTestItem(TComponent* owner);
    ~TTestItem() override;

    Integer Count() const { return count_; }
    void SetCount(Integer v);
    std::uint8_t Small() const { return small_; }
    void SetSmall(std::uint8_t v) { small_ = v; }
    double Ratio() const { return ratio_; }
    void SetRatio(double v) { ratio_ = v; }
    Extended Precise() const { return precise_; }
    void SetPrecise(Extended v) { precise_ = v; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& v);
    char Letter() const { return letter_; }
    void SetLetter(char v) { letter_ = v; }
    TTestKind Kind() const { return kind_; }
    void SetKind(TTestKind v) { kind_ = v; }
    TTestStyles Styles() const { return styles_; }
    void SetStyles(TTestStyles v) { styles_ = v; }
    TColor Color() const { return color_; }
    void SetColor(TColor v) { color_ = v; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }
    TTestSub* Sub() const { return sub_.get(); }
    TTestItem* Buddy() const { return buddy_; }
    void SetBuddy(TTestItem* v);
    const TNotifyEvent& OnClick() const { return onClick_; }
    void SetOnClick(TNotifyEvent h) { onClick_ = std::move(h); }

    void SetParentComponent(TComponent* parent) override;
    TComponent* GetParentComponent() const override { return parent_; }
    void Loaded() override;
    void Notification(TComponent* c, TOperation op) override;

    // Set to make the next Loaded throw.
    static inline bool failLoaded = false;

private:
    Integer count_ = 0;
    std::uint8_t small_ = 0;
    double ratio_ = 0;
    Extended precise_ = 0;
    std::string caption_;
    char letter_ = 'x';
    TTestKind kind_ = tkNone;
    TTestStyles styles_;
    TColor color_ = clBlack;
    bool enabled_ = true;
    std::unique_ptr<TTestSub> sub_;
    TTestItem* buddy_ = nullptr;
    TComponent* parent_ = nullptr;
    TNotifyEvent onClick_;
};

// A second creatable class, to check reference classes.
class TTestOther : public TComponent {
    KVB_CLASS_INFO()
public:
    using TComponent::TComponent;
    Integer Tag() const { return tag_; }
    void SetTag(Integer v) { tag_ = v; }

private:
    Integer tag_ = 0;
};

class TTestForm : public TComponent {
    KVB_CLASS_INFO()
public:
    explicit TTestForm(TComponent* owner = nullptr) : TComponent(owner) {}
    ~TTestForm() override;
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& v);
    TTestItem* Main() const { return main_; }
    void SetMain(TTestItem* v);
    const TNotifyEvent& OnShow() const { return onShow_; }
    void SetOnShow(TNotifyEvent h) { onShow_ = std::move(h); }

    void ItemClick(TObject* sender) { clicks.push_back(sender); }
    void FormShow(TObject* sender) { ++shows; }
    void Loaded() override;
    void Notification(TComponent* c, TOperation op) override;

    std::vector<TObject*> clicks;
    int shows = 0;

private:
    std::string title_;
    TTestItem* main_ = nullptr;
    TNotifyEvent onShow_;
};

// Derives from the form to check published methods found through parents.
class TTestDerivedForm : public TTestForm {
    KVB_CLASS_INFO()
public:
    using TTestForm::TTestForm;
    void Extra(TObject*) {}
    // An event handler of the wrong signature for TNotifyEvent properties.
    void WrongSignature(int) {}
};

}  // namespace kvb::test

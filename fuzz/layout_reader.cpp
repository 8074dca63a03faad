// Feeds arbitrary text to the stored-layout reader. Whatever the input, the reader must raise
// kvb::Exception or succeed, without a crash, leak or hang; and what it accepted must survive a
// write and a second read unchanged.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "platform/classes/Layout.h"
#include "platform/graphics/Color.h"

namespace kvb::fuzz {

enum TFuzzMode : std::uint8_t { fmOff, fmOn, fmAuto };
KVB_ENUM_NAMES(TFuzzMode, "fmOff", "fmOn", "fmAuto")
using TFuzzModes = TSet<TFuzzMode>;

class TFuzzSub : public TPersistent {
    KVB_CLASS_INFO()
public:
    TColor Color() const { return color_; }
    void SetColor(TColor v) { color_ = v; }
    float Scale() const { return scale_; }
    void SetScale(float v) { scale_ = v; }
    TFuzzModes Modes() const { return modes_; }
    void SetModes(TFuzzModes v) { modes_ = v; }
    const TNotifyEvent& OnChange() const { return onChange_; }
    void SetOnChange(TNotifyEvent h) { onChange_ = std::move(h); }

private:
    TColor color_ = clBlack;
    float scale_ = 1;
    TFuzzModes modes_;
    TNotifyEvent onChange_;
};

class TFuzzItem : public TComponent {
    KVB_CLASS_INFO()
public:
    explicit TFuzzItem(TComponent* owner) : TComponent(owner), sub_(std::make_unique<TFuzzSub>()) {}
    ~TFuzzItem() override { SetLink(nullptr); }
    Integer Count() const { return count_; }
    void SetCount(Integer v) { count_ = v; }
    std::int16_t Small() const { return small_; }
    void SetSmall(std::int16_t v) { small_ = v; }
    double Value() const { return value_; }
    void SetValue(double v) { value_ = v; }
    Extended Wide() const { return wide_; }
    void SetWide(Extended v) { wide_ = v; }
    const std::string& Text() const { return text_; }
    void SetText(const std::string& v) { text_ = v; }
    char Key() const { return key_; }
    void SetKey(char v) { key_ = v; }
    TFuzzMode Mode() const { return mode_; }
    void SetMode(TFuzzMode v) { mode_ = v; }
    bool Active() const { return active_; }
    void SetActive(bool v) { active_ = v; }
    TFuzzSub* Sub() const { return sub_.get(); }
    TFuzzItem* Link() const { return link_; }
    void SetLink(TFuzzItem* v) {
        if (link_ != nullptr) RemoveFreeNotification(link_);
        link_ = v;
        if (link_ != nullptr) FreeNotification(link_);
    }
    const TNotifyEvent& OnFire() const { return onFire_; }
    void SetOnFire(TNotifyEvent h) { onFire_ = std::move(h); }

    void SetParentComponent(TComponent* parent) override {
        if (parent_ != nullptr) RemoveFreeNotification(parent_);
        parent_ = parent;
        if (parent_ != nullptr) FreeNotification(parent_);
    }
    TComponent* GetParentComponent() const override { return parent_; }
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == opRemove && c == link_) link_ = nullptr;
        if (op == opRemove && c == parent_) parent_ = nullptr;
    }

private:
    Integer count_ = 0;
    std::int16_t small_ = 0;
    double value_ = 0;
    Extended wide_ = 0;
    std::string text_;
    char key_ = 'a';
    TFuzzMode mode_ = fmOff;
    bool active_ = false;
    std::unique_ptr<TFuzzSub> sub_;
    TFuzzItem* link_ = nullptr;
    TComponent* parent_ = nullptr;
    TNotifyEvent onFire_;
};

class TFuzzRoot : public TComponent {
    KVB_CLASS_INFO()
public:
    TFuzzRoot() : TComponent(nullptr) {}
    ~TFuzzRoot() override {
        Destroying();
        DestroyComponents();
    }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& v) { caption_ = v; }
    void Clicked(TObject*) {}
    void Changed(TObject*) {}

private:
    std::string caption_;
};

const TClassInfo& TFuzzSub::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TFuzzSub>("TFuzzSub", &TPersistent::StaticClassInfo())
            .Color("Color", &TFuzzSub::Color, &TFuzzSub::SetColor)
            .Float("Scale", &TFuzzSub::Scale, &TFuzzSub::SetScale)
            .Set("Modes", &TFuzzSub::Modes, &TFuzzSub::SetModes)
            .Event("OnChange", &TFuzzSub::OnChange, &TFuzzSub::SetOnChange)
            .Build());
    return info;
}

const TClassInfo& TFuzzItem::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TFuzzItem>("TFuzzItem", &TComponent::StaticClassInfo())
            .Creatable()
            .Int("Count", &TFuzzItem::Count, &TFuzzItem::SetCount)
            .Int("Small", &TFuzzItem::Small, &TFuzzItem::SetSmall)
            .Float("Value", &TFuzzItem::Value, &TFuzzItem::SetValue)
            .Float("Wide", &TFuzzItem::Wide, &TFuzzItem::SetWide)
            .Str("Text", &TFuzzItem::Text, &TFuzzItem::SetText)
            .Char("Key", &TFuzzItem::Key, &TFuzzItem::SetKey)
            .Enum("Mode", &TFuzzItem::Mode, &TFuzzItem::SetMode)
            .Bool("Active", &TFuzzItem::Active, &TFuzzItem::SetActive)
            .Object("Sub", &TFuzzItem::Sub)
            .Component("Link", &TFuzzItem::Link, &TFuzzItem::SetLink)
            .Event("OnFire", &TFuzzItem::OnFire, &TFuzzItem::SetOnFire)
            .Build());
    return info;
}
KVB_REGISTER_CLASS(TFuzzItem);

const TClassInfo& TFuzzRoot::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TFuzzRoot>("TFuzzRoot", &TComponent::StaticClassInfo())
            .Str("Caption", &TFuzzRoot::Caption, &TFuzzRoot::SetCaption)
            .Method("Clicked", &TFuzzRoot::Clicked)
            .Method("Changed", &TFuzzRoot::Changed)
            .Build());
    return info;
}
KVB_REGISTER_CLASS(TFuzzRoot);

}  // namespace kvb::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kvb;
    using namespace kvb::fuzz;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string written;
    {
        TFuzzRoot root;
        try {
            ReadLayout(text, &root);
        } catch (const Exception&) {
            return 0;
        }
        written = WriteLayout(&root);
    }
    // What was accepted is written in full; reading that back must give the same text.
    TFuzzRoot again;
    try {
        ReadLayout(written, &again);
    } catch (const Exception&) {
        std::abort();
    }
    if (WriteLayout(&again) != written) std::abort();
    return 0;
}

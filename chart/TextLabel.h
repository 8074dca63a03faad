// One movable text label of a chart: position, look, font and caption. The chart owns 50 of
// them, draws them and moves them with the mouse; the label itself only holds settings and
// reports every change through OnChange.
#pragma once

#include <memory>
#include <string>

#include "base/KVB_kvbbase.h"
#include "platform/controls/Controls.h"
#include "platform/graphics/Graphics.h"

namespace kvb {

class TCustomTextLabel : public TPersistent {
    KVB_CLASS_INFO()
public:
    TCustomTextLabel();
    ~TCustomTextLabel() override;
    TCustomTextLabel(const TCustomTextLabel&) = delete;
    TCustomTextLabel& operator=(const TCustomTextLabel&) = delete;

    double PosX() const noexcept { return posX_; }
    void SetPosX(double value);
    double PosY() const noexcept { return posY_; }
    void SetPosY(double value);
    // 1..16; any other value is ignored.
    Integer Layer() const noexcept { return layer_; }
    void SetLayer(Integer value);
    TTxtLblAttachMode AttachToData() const noexcept { return attachToData_; }
    void SetAttachToData(TTxtLblAttachMode value);
    TColor ColorBkg() const noexcept { return colorBkg_; }
    void SetColorBkg(TColor value);
    TColor ColorBorder() const noexcept { return colorBorder_; }
    void SetColorBorder(TColor value);
    TColor ColorShadow() const noexcept { return colorShadow_; }
    void SetColorShadow(TColor value);
    Integer ShadowDx() const noexcept { return shadowDx_; }
    void SetShadowDx(Integer value);
    Integer ShadowDy() const noexcept { return shadowDy_; }
    void SetShadowDy(Integer value);
    bool Transparent() const noexcept { return transparent_; }
    void SetTransparent(bool value);
    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment value);
    TVerticalAlignment VerticalAlignment() const noexcept { return verticalAlignment_; }
    void SetVerticalAlignment(TVerticalAlignment value);
    // The label's own font. The label owns it and frees it with itself, so no owner frees it
    // and it cannot be freed twice or left behind. The setter copies the given attributes.
    TFont* Font() const noexcept { return font_.get(); }
    void SetFont(TFont* value);
    TTxtLblMode Mode() const noexcept { return mode_; }
    void SetMode(TTxtLblMode value);
    // Control characters other than the line feed become blanks.
    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(const std::string& value);
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool value);
    const TNotifyEvent& OnChange() const noexcept { return onChange_; }
    void SetOnChange(TNotifyEvent handler) { onChange_ = std::move(handler); }

    // Copies every setting, the font's attributes and the caption, telling nobody. The
    // receiver keeps its own OnChange: its owner installed it to hear about this object, and
    // a handler taken from another label's owner could outlive that owner.
    void Assign(TPersistent* Source) override;
    void AssignTo(TPersistent* Dest) override;

private:
    void Changed();
    double posX_ = 100.0;
    double posY_ = 10.0;
    Integer layer_ = 1;
    Integer shadowDx_ = 0;
    Integer shadowDy_ = 0;
    TColor colorShadow_ = clGray;
    TAlignment alignment_ = taCenter;
    TVerticalAlignment verticalAlignment_ = vaBottom;
    TTxtLblAttachMode attachToData_ = tlamNone;
    TColor colorBkg_ = clSilver;
    TColor colorBorder_ = clBlack;
    bool transparent_ = false;
    std::unique_ptr<TFont> font_;
    std::string caption_;
    TTxtLblMode mode_ = tlsimple;
    TNotifyEvent onChange_;
    bool visible_ = true;
};

// The published text label: the same settings, registered for stored layouts.
class TTextLabel : public TCustomTextLabel {
    KVB_CLASS_INFO()
public:
    TTextLabel() = default;
};

}  // namespace kvb

// The chart's text label settings object.
#include "chart/TextLabel.h"

namespace kvb {

const TClassInfo& TCustomTextLabel::StaticClassInfo() {
    static const TClassInfo& info =
        DefineClass(TClassBuilder<TCustomTextLabel>("TCustomTextLabel", &TPersistent::StaticClassInfo()).Build());
    return info;
}
KVB_REGISTER_CLASS(TCustomTextLabel);

const TClassInfo& TTextLabel::StaticClassInfo() {
    using L = TCustomTextLabel;
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TTextLabel>("TTextLabel", &TCustomTextLabel::StaticClassInfo())
            .Float("PosX", &L::PosX, &L::SetPosX)
            .Float("PosY", &L::PosY, &L::SetPosY)
            .Int("Layer", &L::Layer, &L::SetLayer)
            .Enum("AttachToData", &L::AttachToData, &L::SetAttachToData)
            .Color("ColorBkg", &L::ColorBkg, &L::SetColorBkg)
            .Color("ColorBorder", &L::ColorBorder, &L::SetColorBorder)
            .Color("ColorShadow", &L::ColorShadow, &L::SetColorShadow)
            .Int("ShadowDx", &L::ShadowDx, &L::SetShadowDx)
            .Int("ShadowDy", &L::ShadowDy, &L::SetShadowDy)
            .Bool("Transparent", &L::Transparent, &L::SetTransparent)
            .Enum("Alignment", &L::Alignment, &L::SetAlignment)
            .Enum("VerticalAlignment", &L::VerticalAlignment, &L::SetVerticalAlignment)
            .Object("Font", &L::Font)
            .Enum("Mode", &L::Mode, &L::SetMode)
            .Str("Caption", &L::Caption, &L::SetCaption)
            .Bool("Visible", &L::Visible, &L::SetVisible)
            .Event("OnChange", &L::OnChange, &L::SetOnChange)
            .Build());
    return info;
}
KVB_REGISTER_CLASS(TTextLabel);

TCustomTextLabel::TCustomTextLabel() : font_(std::make_unique<TFont>()) {}

TCustomTextLabel::~TCustomTextLabel() = default;

void TCustomTextLabel::Changed() {
    if (onChange_)
        onChange_(this);
}

void TCustomTextLabel::SetPosX(double value) {
    posX_ = value;
    Changed();
}

void TCustomTextLabel::SetPosY(double value) {
    posY_ = value;
    Changed();
}

void TCustomTextLabel::SetLayer(Integer value) {
    if (value < 1 || value > 16)
        return;
    layer_ = value;
    Changed();
}

void TCustomTextLabel::SetAttachToData(TTxtLblAttachMode value) {
    attachToData_ = value;
    Changed();
}

void TCustomTextLabel::SetColorBkg(TColor value) {
    colorBkg_ = value;
    Changed();
}

void TCustomTextLabel::SetColorBorder(TColor value) {
    colorBorder_ = value;
    Changed();
}

void TCustomTextLabel::SetColorShadow(TColor value) {
    colorShadow_ = value;
    Changed();
}

void TCustomTextLabel::SetShadowDx(Integer value) {
    shadowDx_ = value;
    Changed();
}

void TCustomTextLabel::SetShadowDy(Integer value) {
    shadowDy_ = value;
    Changed();
}

void TCustomTextLabel::SetTransparent(bool value) {
    transparent_ = value;
    Changed();
}

void TCustomTextLabel::SetAlignment(TAlignment value) {
    alignment_ = value;
    Changed();
}

void TCustomTextLabel::SetVerticalAlignment(TVerticalAlignment value) {
    verticalAlignment_ = value;
    Changed();
}

void TCustomTextLabel::SetFont(TFont* value) {
    if (value != nullptr && value != font_.get())
        font_->Assign(value);
    Changed();
}

void TCustomTextLabel::SetMode(TTxtLblMode value) {
    mode_ = value;
    Changed();
}

void TCustomTextLabel::SetCaption(const std::string& value) {
    caption_ = value;
    for (char& ch : caption_)
        if (static_cast<unsigned char>(ch) < 32 && ch != '\n')
            ch = ' ';
    Changed();
}

void TCustomTextLabel::SetVisible(bool value) {
    visible_ = value;
    Changed();
}

void TCustomTextLabel::Assign(TPersistent* Source) {
    const auto* src = dynamic_cast<const TCustomTextLabel*>(Source);
    if (src == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (src == this)
        return;
    posX_ = src->posX_;
    posY_ = src->posY_;
    layer_ = src->layer_;
    shadowDx_ = src->shadowDx_;
    shadowDy_ = src->shadowDy_;
    colorShadow_ = src->colorShadow_;
    alignment_ = src->alignment_;
    verticalAlignment_ = src->verticalAlignment_;
    attachToData_ = src->attachToData_;
    colorBkg_ = src->colorBkg_;
    colorBorder_ = src->colorBorder_;
    transparent_ = src->transparent_;
    font_->Assign(src->font_.get());
    caption_ = src->caption_;
    mode_ = src->mode_;
    visible_ = src->visible_;
}

// Hands over only to a label whose class this one is, or descends from; any other
// destination would bounce the request straight back.
void TCustomTextLabel::AssignTo(TPersistent* Dest) {
    if (dynamic_cast<TCustomTextLabel*>(Dest) != nullptr && InheritsFrom(Dest->ClassInfo())) {
        Dest->Assign(this);
        return;
    }
    TPersistent::AssignTo(Dest);
}

}  // namespace kvb

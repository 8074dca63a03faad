// TFont: the font description a canvas draws text with; the face itself comes from the font
// cache and is looked up again only after the description changed.
#include <algorithm>
#include <limits>

#include "platform/graphics/Graphics.h"
#include "platform/graphics/text/FontFace.h"

namespace kvb {

// Size is a view of Height (Height = -Size × PixelsPerInch / 72), not a value of its own. A
// layout that holds both applies them in published order. Setting the size the height already
// reads as keeps the exact height (Height -14 reads as Size 10, which alone would give -13), so
// a layout written with both reads back unchanged; when the two disagree, Size, the later one,
// wins.
const TClassInfo& TFont::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TFont>("TFont", &TGraphicsObject::StaticClassInfo())
            .Color("Color", &TFont::Color, &TFont::SetColor)
            .Int("Height", &TFont::Height, &TFont::SetHeight)
            .Str("Name", &TFont::Name, &TFont::SetName)
            .Enum("Pitch", &TFont::Pitch, &TFont::SetPitch)
            .Int("Size", &TFont::Size, &TFont::SetSize)
            .Set("Style", &TFont::Style, &TFont::SetStyle)
            .Build());
    return info;
}
KVB_REGISTER_CLASS(TFont);

TFont::TFont() = default;
TFont::~TFont() = default;

void TFont::SetName(const std::string& value) {
    if (value == name_) return;
    name_ = value;
    FaceChanged();
}

void TFont::SetHeight(Integer value) {
    if (value == height_) return;
    height_ = value;
    FaceChanged();
}

Integer TFont::Size() const {
    return static_cast<Integer>(Round(-static_cast<Extended>(height_) * 72 / pixelsPerInch_));
}

void TFont::SetSize(Integer value) {
    if (value == Size()) return;
    const Int64 height = -Round(static_cast<Extended>(value) * pixelsPerInch_ / 72);
    // Sizes beyond what an Integer height can hold are clamped rather than wrapped.
    SetHeight(static_cast<Integer>(std::clamp<Int64>(height, std::numeric_limits<Integer>::min(),
                                                      std::numeric_limits<Integer>::max())));
}

// The height stays what it is; only the size it is reported as changes.
void TFont::SetPixelsPerInch(Integer value) {
    if (value < 1 || value == pixelsPerInch_) return;
    pixelsPerInch_ = value;
    Changed();
}

void TFont::SetColor(TColor value) {
    if (value == color_) return;
    color_ = value;
    pixel_ = ColorToPixel(value);
    Changed();
}

void TFont::SetStyle(TFontStyles value) {
    if (value == style_) return;
    style_ = value;
    FaceChanged();
}

void TFont::SetPitch(TFontPitch value) {
    if (value == pitch_) return;
    pitch_ = value;
    FaceChanged();
}

// Like the framework's font, an assignment notifies once, so that whoever shows the font
// repaints with it.
void TFont::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TFont*>(Source)) {
        if (src == this) return;
        name_ = src->name_;
        height_ = src->height_;
        pixelsPerInch_ = src->pixelsPerInch_;
        color_ = src->color_;
        pixel_ = src->pixel_;
        style_ = src->style_;
        pitch_ = src->pitch_;
        // Same description, same face: the source's resolution (or its absence) carries over.
        face_ = src->face_;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

const text::FontFace& TFont::Face() const {
    if (face_ == nullptr) {
        const text::Pitch pitch = pitch_ == fpFixed      ? text::Pitch::Fixed
                                  : pitch_ == fpVariable ? text::Pitch::Variable
                                                         : text::Pitch::Default;
        face_ = &text::FindFace(name_, height_, style_.Contains(fsBold), style_.Contains(fsItalic), pitch);
    }
    return *face_;
}

void TFont::FaceChanged() {
    face_ = nullptr;
    Changed();
}

}  // namespace kvb

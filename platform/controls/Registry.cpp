// The published properties of the framework's controls, in the order a stored layout
// applies them.
#include "platform/controls/ControlsInternal.h"

namespace kvb {

const TClassInfo& TSizeConstraints::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TSizeConstraints>("TSizeConstraints", &TPersistent::StaticClassInfo())
            .Int("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight)
            .Int("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth)
            .Int("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight)
            .Int("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth)
            .Build());
    return info;
}

// Position and size are published by every control; the rest each class publishes itself.
const TClassInfo& TControl::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TControl>("TControl", &TComponent::StaticClassInfo())
            .Int("Left", &TControl::Left, &TControl::SetLeft)
            .Int("Top", &TControl::Top, &TControl::SetTop)
            .Int("Width", &TControl::Width, &TControl::SetWidth)
            .Int("Height", &TControl::Height, &TControl::SetHeight)
            .Build());
    return info;
}

const TClassInfo& TWinControl::StaticClassInfo() {
    static const TClassInfo& info =
        DefineClass(TClassBuilder<TWinControl>("TWinControl", &TControl::StaticClassInfo()).Build());
    return info;
}

const TClassInfo& TCustomControl::StaticClassInfo() {
    static const TClassInfo& info =
        DefineClass(TClassBuilder<TCustomControl>("TCustomControl", &TWinControl::StaticClassInfo()).Build());
    return info;
}

const TClassInfo& TScrollBar::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TScrollBar>("TScrollBar", &TWinControl::StaticClassInfo())
            .Creatable()
            .Enum("Align", &TControl::Align, &TControl::SetAlign)
            .Set("Anchors", &TControl::Anchors, &TControl::SetAnchors)
            .Object("Constraints", &TControl::Constraints)
            .Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled)
            .Enum("Kind", &TScrollBar::Kind, &TScrollBar::SetKind)
            .Int("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange)
            .Int("Max", &TScrollBar::Max, &TScrollBar::SetMax)
            .Int("Min", &TScrollBar::Min, &TScrollBar::SetMin)
            .Int("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize)
            .Bool("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint)
            .Component("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
            .Int("Position", &TScrollBar::Position, &TScrollBar::SetPosition)
            .Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
            .Int("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange)
            .Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
            .Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop)
            .Bool("Visible", &TControl::Visible, &TControl::SetVisible)
            .Event("OnChange", &TScrollBar::OnChange, &TScrollBar::SetOnChange)
            .Event("OnEnter", &TWinControl::OnEnter, &TWinControl::SetOnEnter)
            .Event("OnExit", &TWinControl::OnExit, &TWinControl::SetOnExit)
            .Event("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::SetOnKeyDown)
            .Event("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::SetOnKeyPress)
            .Event("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::SetOnKeyUp)
            .Event("OnScroll", &TScrollBar::OnScroll, &TScrollBar::SetOnScroll)
            .Build());
    return info;
}
KVB_REGISTER_CLASS(TScrollBar);

const TClassInfo& TLabel::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TLabel>("TLabel", &TControl::StaticClassInfo())
            .Creatable()
            .Enum("Align", &TControl::Align, &TControl::SetAlign)
            .Enum("Alignment", &TLabel::Alignment, &TLabel::SetAlignment)
            .Set("Anchors", &TControl::Anchors, &TControl::SetAnchors)
            .Bool("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize)
            .Str("Caption", &TControl::Caption, &TControl::SetCaption)
            .Color("Color", &TControl::Color, &TControl::SetColor)
            .Object("Constraints", &TControl::Constraints)
            .Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled)
            .Object("Font", &TControl::Font)
            .Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor)
            .Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont)
            .Bool("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint)
            .Component("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
            .Bool("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar)
            .Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
            .Bool("Transparent", &TLabel::Transparent, &TLabel::SetTransparent)
            .Bool("Visible", &TControl::Visible, &TControl::SetVisible)
            .Event("OnClick", &TControl::OnClick, &TControl::SetOnClick)
            .Event("OnDblClick", &TControl::OnDblClick, &TControl::SetOnDblClick)
            .Event("OnMouseDown", &TControl::OnMouseDown, &TControl::SetOnMouseDown)
            .Event("OnMouseEnter", &TControl::OnMouseEnter, &TControl::SetOnMouseEnter)
            .Event("OnMouseLeave", &TControl::OnMouseLeave, &TControl::SetOnMouseLeave)
            .Event("OnMouseMove", &TControl::OnMouseMove, &TControl::SetOnMouseMove)
            .Event("OnMouseUp", &TControl::OnMouseUp, &TControl::SetOnMouseUp)
            .Build());
    return info;
}
KVB_REGISTER_CLASS(TLabel);

const TClassInfo& TMenuItem::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TMenuItem>("TMenuItem", &TComponent::StaticClassInfo())
            .Creatable()
            .Str("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
            .Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked)
            .Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled)
            .Int("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut)
            .Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible)
            .Event("OnClick", &TMenuItem::OnClick, &TMenuItem::SetOnClick)
            .Build());
    return info;
}
KVB_REGISTER_CLASS(TMenuItem);

const TClassInfo& TMenu::StaticClassInfo() {
    static const TClassInfo& info =
        DefineClass(TClassBuilder<TMenu>("TMenu", &TComponent::StaticClassInfo()).Build());
    return info;
}

const TClassInfo& TMainMenu::StaticClassInfo() {
    static const TClassInfo& info =
        DefineClass(TClassBuilder<TMainMenu>("TMainMenu", &TMenu::StaticClassInfo()).Creatable().Build());
    return info;
}
KVB_REGISTER_CLASS(TMainMenu);

const TClassInfo& TPopupMenu::StaticClassInfo() {
    static const TClassInfo& info =
        DefineClass(TClassBuilder<TPopupMenu>("TPopupMenu", &TMenu::StaticClassInfo()).Creatable().Build());
    return info;
}
KVB_REGISTER_CLASS(TPopupMenu);

// ClientWidth and ClientHeight after Width and Height, so a layout that stores both ends
// with the client size; PixelsPerInch and TextHeight come last, as the designer writes them.
const TClassInfo& TForm::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TForm>("TForm", &TWinControl::StaticClassInfo())
            .Creatable()
            .Enum("BorderStyle", &TForm::BorderStyle, &TForm::SetBorderStyle)
            .Str("Caption", &TControl::Caption, &TControl::SetCaption)
            .Int("ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight)
            .Int("ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth)
            .Color("Color", &TControl::Color, &TControl::SetColor)
            .Object("Constraints", &TControl::Constraints)
            .Object("Font", &TControl::Font)
            .Component("Menu", &TForm::Menu, &TForm::SetMenu)
            .Enum("Position", &TForm::Position, &TForm::SetPosition)
            .Bool("Scaled", &TForm::Scaled, &TForm::SetScaled)
            .Bool("Visible", &TControl::Visible, &TControl::SetVisible)
            .Event("OnClick", &TControl::OnClick, &TControl::SetOnClick)
            .Event("OnClose", &TForm::OnClose, &TForm::SetOnClose)
            .Event("OnCloseQuery", &TForm::OnCloseQuery, &TForm::SetOnCloseQuery)
            .Event("OnCreate", &TForm::OnCreate, &TForm::SetOnCreate)
            .Event("OnDblClick", &TControl::OnDblClick, &TControl::SetOnDblClick)
            .Event("OnHide", &TForm::OnHide, &TForm::SetOnHide)
            .Event("OnMouseDown", &TControl::OnMouseDown, &TControl::SetOnMouseDown)
            .Event("OnMouseMove", &TControl::OnMouseMove, &TControl::SetOnMouseMove)
            .Event("OnMouseUp", &TControl::OnMouseUp, &TControl::SetOnMouseUp)
            .Event("OnPaint", &TForm::OnPaint, &TForm::SetOnPaint)
            .Event("OnResize", &TControl::OnResize, &TControl::SetOnResize)
            .Event("OnShow", &TForm::OnShow, &TForm::SetOnShow)
            .Int("PixelsPerInch", &TForm::PixelsPerInch, &TForm::SetPixelsPerInch)
            .Int("TextHeight", &TForm::TextHeight, &TForm::SetTextHeight)
            .Build());
    return info;
}
KVB_REGISTER_CLASS(TForm);

const TClassInfo& TApplication::StaticClassInfo() {
    static const TClassInfo& info =
        DefineClass(TClassBuilder<TApplication>("TApplication", &TComponent::StaticClassInfo()).Build());
    return info;
}

const TClassInfo& TScreen::StaticClassInfo() {
    static const TClassInfo& info =
        DefineClass(TClassBuilder<TScreen>("TScreen", &TComponent::StaticClassInfo()).Build());
    return info;
}

}  // namespace kvb

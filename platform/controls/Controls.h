// Controls, forms, menus, the application object and the screen.
//
// The framework never talks to a window system directly: every native counterpart of a
// control (a window, a scroll bar, a label, a menu bar) is a TControlPeer made by the installed
// THost. The headless host keeps windows as in-memory surfaces; the Qt host makes widgets.
// A windowed custom control draws on a pixel surface its peer owns; its Canvas is bound to it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Classes.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Graphics.h"
#include "platform/system/Sets.h"
#include "platform/system/System.h"

namespace kvb {

class TControl;
class TWinControl;
class TCustomControl;
class TForm;
class TScrollBar;
class TLabel;
class TMenu;
class TMainMenu;
class TPopupMenu;
class TMenuItem;
class TApplication;
class TScreen;
class THost;
struct TLayoutOptions;

// ---------------------------------------------------------------------------------------
// Enumerations and sets of the control framework

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
KVB_ENUM_NAMES(TAlignment, "taLeftJustify", "taRightJustify", "taCenter")

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };
KVB_ENUM_NAMES(TMouseButton, "mbLeft", "mbRight", "mbMiddle")

enum TShiftStateItem : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
KVB_ENUM_NAMES(TShiftStateItem, "ssShift", "ssAlt", "ssCtrl", "ssLeft", "ssRight", "ssMiddle",
               "ssDouble")
using TShiftState = TSet<TShiftStateItem>;

enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
KVB_ENUM_NAMES(TAlign, "alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom")

enum TAnchorKind : std::uint8_t { akLeft, akTop, akRight, akBottom };
KVB_ENUM_NAMES(TAnchorKind, "akLeft", "akTop", "akRight", "akBottom")
using TAnchors = TSet<TAnchorKind>;

enum TDragKind : std::uint8_t { dkDrag, dkDock };
KVB_ENUM_NAMES(TDragKind, "dkDrag", "dkDock")
enum TDragMode : std::uint8_t { dmManual, dmAutomatic };
KVB_ENUM_NAMES(TDragMode, "dmManual", "dmAutomatic")
enum TDragState : std::uint8_t { dsDragEnter, dsDragLeave, dsDragMove };
KVB_ENUM_NAMES(TDragState, "dsDragEnter", "dsDragLeave", "dsDragMove")

enum TScrollBarKind : std::uint8_t { sbHorizontal, sbVertical };
KVB_ENUM_NAMES(TScrollBarKind, "sbHorizontal", "sbVertical")

enum TScrollCode : std::uint8_t {
    scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll
};
KVB_ENUM_NAMES(TScrollCode, "scLineUp", "scLineDown", "scPageUp", "scPageDown", "scPosition",
               "scTrack", "scTop", "scBottom", "scEndScroll")

enum TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
KVB_ENUM_NAMES(TFormBorderStyle, "bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow",
               "bsSizeToolWin")

enum TPosition : std::uint8_t {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
    poMainFormCenter, poOwnerFormCenter
};
KVB_ENUM_NAMES(TPosition, "poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
               "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter")

enum TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };
KVB_ENUM_NAMES(TCloseAction, "caNone", "caHide", "caFree", "caMinimize")

enum TMsgDlgType : std::uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
KVB_ENUM_NAMES(TMsgDlgType, "mtWarning", "mtError", "mtInformation", "mtConfirmation", "mtCustom")

enum TMsgDlgBtn : std::uint8_t {
    mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp
};
KVB_ENUM_NAMES(TMsgDlgBtn, "mbYes", "mbNo", "mbOK", "mbCancel", "mbAbort", "mbRetry", "mbIgnore",
               "mbAll", "mbNoToAll", "mbYesToAll", "mbHelp")
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

// Modal results, as MessageDlg answers them.
constexpr Integer mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                  mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

// Wheel notches are reported in multiples of this, as the platform does.
constexpr Integer WHEEL_DELTA = 120;

// ---------------------------------------------------------------------------------------
// Cursors. Built-in cursors have the platform's negative numbers; an application registers
// its own under positive numbers with TScreen::SetCursors.

using TCursor = std::int16_t;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9,
                  crUpArrow = -10, crHourGlass = -11, crDrag = -12, crNoDrop = -13,
                  crHSplit = -14, crVSplit = -15, crMultiDrag = -16, crSQLWait = -17, crNo = -18,
                  crAppStart = -19, crHelp = -20, crHandPoint = -21, crSizeAll = -22;
constexpr TCursor crSize = crSizeAll;

// A two-colour cursor image, 32 x 32 pixels. Each pixel is transparent, black, white or the
// inverted screen (shown as black where a host cannot invert).
struct TCursorImage {
    enum TPixel : std::uint8_t { Transparent, Black, White, Inverted };
    static constexpr Integer Size = 32;
    Integer Width = Size, Height = Size;
    std::vector<TPixel> Pixels;  // Width * Height, rows top to bottom
    Integer HotX = 0, HotY = 0;

    // Builds an image from rows of text: '.' or ' ' transparent, '#' or 'X' black, 'o' or 'O'
    // white, '~' inverted. Raises EInvalidGraphic unless there are 32 rows of 32 characters,
    // the hot spot lies inside, and every character is one of these.
    static TCursorImage FromText(const std::vector<std::string>& rows, Integer hotX, Integer hotY);
    // Raises EInvalidGraphic "Cursor image must be 32 x 32 pixels, not W x H" (and the like
    // for a hot spot outside or a pixel count that does not match).
    void Validate() const;
    TPixel At(Integer x, Integer y) const { return Pixels[std::size_t(y) * std::size_t(Width) + std::size_t(x)]; }
};

// ---------------------------------------------------------------------------------------
// Events

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, Integer X, Integer Y)>;
// MousePos is in the control's client coordinates.
using TMouseWheelEvent = std::function<void(TObject* Sender, TShiftState Shift, Integer WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, Integer X, Integer Y)>;
using TDragOverEvent = std::function<void(TObject* Sender, TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, Integer X, Integer Y)>;
using TStartDragEvent = std::function<void(TObject* Sender, TObject*& DragObject)>;
using TCanResizeEvent = std::function<void(TObject* Sender, Integer& NewWidth, Integer& NewHeight, bool& Resize)>;
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, Integer& ScrollPos)>;
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

// ---------------------------------------------------------------------------------------
// The host seam

// A control's native counterpart. The control owns it; the host makes it when the control's
// form is shown (or when the control joins a shown form) and the framework tells it what
// changed. A host implements only what it supports: every notification has a no-op default.
class TControlPeer {
public:
    virtual ~TControlPeer() = default;
    // Position or size changed; a surface peer reallocates its surface (see Surface).
    virtual void BoundsChanged() {}
    // Anything else the native side shows changed: visibility, caption, colour, font,
    // enabled state, scroll bar range and position, alignment, the form's menu.
    virtual void PropertiesChanged() {}
    // The control's picture is out of date: paint it (call TControl::HostPaint) soon.
    virtual void Invalidate() {}
    // Paint now if a paint is pending.
    virtual void Update() {}
    // The pixels a windowed control draws on; empty for controls that have none.
    virtual TSurface Surface() { return {}; }
    // The control's own cursor changed (TControl::Cursor).
    virtual void CursorChanged() {}
    // Windows (forms) only.
    virtual void Show() {}
    virtual void Hide() {}
};

// One message box the application showed (or, in the headless host, recorded).
struct TMessageRecord {
    std::string Text;
    TMsgDlgType Type = mtInformation;
    TMsgDlgButtons Buttons;
};

// The window system seen from the framework.
class THost {
public:
    virtual ~THost() = default;
    // The native counterpart of a control on a form that is being shown.
    virtual std::unique_ptr<TControlPeer> CreatePeer(TControl* control) = 0;
    // Runs the event loop until Quit; returns at once when there is nothing to wait for.
    virtual void Run() = 0;
    virtual void Quit() = 0;
    // Handles what is pending (paints, queued work) and returns.
    virtual void ProcessMessages() = 0;
    // A modal message box; answers the modal result of the button pressed.
    virtual Integer MessageBox(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) = 0;
    // The message of an exception the application caught. A host may queue it (a modal box
    // must not open inside a paint) but shows every one.
    virtual void ShowException(const std::string& text) { MessageBox(text, mtError, {mbOK}); }
    // The application-wide cursor changed (TScreen::Cursor); crDefault hands control back to
    // each control's own cursor. Custom numbers are resolved through Screen()->CursorImage.
    virtual void ScreenCursorChanged(TCursor cursor) {}
    // Pixels per inch of the screen.
    virtual Integer PixelsPerInch() { return 96; }
};

// ---------------------------------------------------------------------------------------
// Size limits of a control; 0 means no limit.
class TSizeConstraints : public TPersistent {
    KVB_CLASS_INFO()
public:
    Integer MinWidth() const noexcept { return minWidth_; }
    void SetMinWidth(Integer value) { minWidth_ = value < 0 ? 0 : value; }
    Integer MinHeight() const noexcept { return minHeight_; }
    void SetMinHeight(Integer value) { minHeight_ = value < 0 ? 0 : value; }
    Integer MaxWidth() const noexcept { return maxWidth_; }
    void SetMaxWidth(Integer value) { maxWidth_ = value < 0 ? 0 : value; }
    Integer MaxHeight() const noexcept { return maxHeight_; }
    void SetMaxHeight(Integer value) { maxHeight_ = value < 0 ? 0 : value; }
    void Assign(TPersistent* Source) override;
    // Width and height brought inside the limits.
    void Apply(Integer& width, Integer& height) const noexcept;

private:
    Integer minWidth_ = 0, minHeight_ = 0, maxWidth_ = 0, maxHeight_ = 0;
};

// ---------------------------------------------------------------------------------------

class TControl : public TComponent {
    KVB_CLASS_INFO()
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const noexcept { return parent_; }
    virtual void SetParent(TWinControl* value);
    // The form the control sits on (itself for a form), or nullptr.
    TForm* ParentForm() const noexcept;

    Integer Left() const noexcept { return left_; }
    void SetLeft(Integer value) { SetBounds(value, top_, width_, height_); }
    Integer Top() const noexcept { return top_; }
    void SetTop(Integer value) { SetBounds(left_, value, width_, height_); }
    Integer Width() const noexcept { return width_; }
    void SetWidth(Integer value) { SetBounds(left_, top_, value, height_); }
    Integer Height() const noexcept { return height_; }
    void SetHeight(Integer value) { SetBounds(left_, top_, width_, value); }
    // Every change of position or size goes through here; negative sizes count as 0.
    virtual void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight);
    TRect BoundsRect() const noexcept { return Rect(left_, top_, left_ + width_, top_ + height_); }
    virtual Integer ClientWidth() const noexcept { return width_; }
    virtual Integer ClientHeight() const noexcept { return height_; }
    TRect ClientRect() const noexcept { return Rect(0, 0, ClientWidth(), ClientHeight()); }
    // Client coordinates of this control to those of its form's client area.
    TPoint ClientToForm(TPoint p) const noexcept;

    bool Visible() const noexcept { return visible_; }
    virtual void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and so are all its parents up to a shown form.
    bool Showing() const noexcept;
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool value);

    TFont* Font() const noexcept { return font_.get(); }
    void SetFont(TFont* value) { font_->Assign(value); }
    bool ParentFont() const noexcept { return parentFont_; }
    void SetParentFont(bool value);
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor value);
    bool ParentColor() const noexcept { return parentColor_; }
    void SetParentColor(bool value);
    TCursor Cursor() const noexcept { return cursor_; }
    void SetCursor(TCursor value);
    const std::string& Hint() const noexcept { return hint_; }
    void SetHint(const std::string& value) { hint_ = value; }
    bool ShowHint() const noexcept { return showHint_; }
    void SetShowHint(bool value) {
        if (value == showHint_) return;
        showHint_ = value;
        parentShowHint_ = false;
    }
    bool ParentShowHint() const noexcept { return parentShowHint_; }
    void SetParentShowHint(bool value) { parentShowHint_ = value; }
    TAlign Align() const noexcept { return align_; }
    void SetAlign(TAlign value);
    TAnchors Anchors() const noexcept { return anchors_; }
    void SetAnchors(TAnchors value) { anchors_ = value; }
    TSizeConstraints* Constraints() const noexcept { return constraints_.get(); }
    void SetConstraints(TSizeConstraints* value);
    TDragKind DragKind() const noexcept { return dragKind_; }
    void SetDragKind(TDragKind value) { dragKind_ = value; }
    TDragMode DragMode() const noexcept { return dragMode_; }
    void SetDragMode(TDragMode value) { dragMode_ = value; }
    TCursor DragCursor() const noexcept { return dragCursor_; }
    void SetDragCursor(TCursor value) { dragCursor_ = value; }
    TPopupMenu* PopupMenu() const noexcept { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* value);
    // The text of captioned controls (label, form, …); others keep it without showing it.
    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(const std::string& value);
    Integer Tag() const noexcept { return tag_; }
    void SetTag(Integer value) { tag_ = value; }

    // Asks for a repaint; a windowed control's peer schedules it.
    virtual void Invalidate();
    // Paints now what is pending.
    virtual void Update();
    void Repaint() { Invalidate(); Update(); }

    // Deletes the control once the event being handled has finished (it may be one of the
    // control's own handlers); nothing is delivered to it in between.
    void Release();

    const TNotifyEvent& OnClick() const noexcept { return onClick_; }
    void SetOnClick(TNotifyEvent h) { onClick_ = std::move(h); }
    const TNotifyEvent& OnDblClick() const noexcept { return onDblClick_; }
    void SetOnDblClick(TNotifyEvent h) { onDblClick_ = std::move(h); }
    const TMouseEvent& OnMouseDown() const noexcept { return onMouseDown_; }
    void SetOnMouseDown(TMouseEvent h) { onMouseDown_ = std::move(h); }
    const TMouseMoveEvent& OnMouseMove() const noexcept { return onMouseMove_; }
    void SetOnMouseMove(TMouseMoveEvent h) { onMouseMove_ = std::move(h); }
    const TMouseEvent& OnMouseUp() const noexcept { return onMouseUp_; }
    void SetOnMouseUp(TMouseEvent h) { onMouseUp_ = std::move(h); }
    const TNotifyEvent& OnMouseEnter() const noexcept { return onMouseEnter_; }
    void SetOnMouseEnter(TNotifyEvent h) { onMouseEnter_ = std::move(h); }
    const TNotifyEvent& OnMouseLeave() const noexcept { return onMouseLeave_; }
    void SetOnMouseLeave(TNotifyEvent h) { onMouseLeave_ = std::move(h); }
    const TMouseWheelEvent& OnMouseWheel() const noexcept { return onMouseWheel_; }
    void SetOnMouseWheel(TMouseWheelEvent h) { onMouseWheel_ = std::move(h); }
    const TMouseWheelUpDownEvent& OnMouseWheelUp() const noexcept { return onMouseWheelUp_; }
    void SetOnMouseWheelUp(TMouseWheelUpDownEvent h) { onMouseWheelUp_ = std::move(h); }
    const TMouseWheelUpDownEvent& OnMouseWheelDown() const noexcept { return onMouseWheelDown_; }
    void SetOnMouseWheelDown(TMouseWheelUpDownEvent h) { onMouseWheelDown_ = std::move(h); }
    const TNotifyEvent& OnResize() const noexcept { return onResize_; }
    void SetOnResize(TNotifyEvent h) { onResize_ = std::move(h); }
    const TCanResizeEvent& OnCanResize() const noexcept { return onCanResize_; }
    void SetOnCanResize(TCanResizeEvent h) { onCanResize_ = std::move(h); }
    const TContextPopupEvent& OnContextPopup() const noexcept { return onContextPopup_; }
    void SetOnContextPopup(TContextPopupEvent h) { onContextPopup_ = std::move(h); }
    const TDragDropEvent& OnDragDrop() const noexcept { return onDragDrop_; }
    void SetOnDragDrop(TDragDropEvent h) { onDragDrop_ = std::move(h); }
    const TDragOverEvent& OnDragOver() const noexcept { return onDragOver_; }
    void SetOnDragOver(TDragOverEvent h) { onDragOver_ = std::move(h); }
    const TEndDragEvent& OnEndDrag() const noexcept { return onEndDrag_; }
    void SetOnEndDrag(TEndDragEvent h) { onEndDrag_ = std::move(h); }
    const TStartDragEvent& OnStartDrag() const noexcept { return onStartDrag_; }
    void SetOnStartDrag(TStartDragEvent h) { onStartDrag_ = std::move(h); }

    // ---- host side ----------------------------------------------------------------
    // Hosts deliver input here, already routed to this control, in its client coordinates.
    // Each call catches whatever a handler throws and hands it to the application; none
    // propagates. A button-down of a double click arrives as HostDblClick (the platform's
    // order is down, up, double click, up), which runs DblClick and then MouseDown with
    // ssDouble added to Shift.
    void HostMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
    void HostMouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
    void HostMouseMove(TShiftState Shift, Integer X, Integer Y);
    void HostDblClick(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
    void HostMouseEnter();
    void HostMouseLeave();
    // Answers whether a handler took the wheel turn.
    bool HostMouseWheel(TShiftState Shift, Integer WheelDelta, Integer X, Integer Y);
    // Paints the control onto its surface (windowed controls), handling exceptions.
    void HostPaint();
    TControlPeer* Peer() const noexcept { return peer_.get(); }
    // True while a host is delivering an event to this control or to one of its handlers.
    bool InDispatch() const noexcept { return dispatchDepth_ > 0; }
    // Turns false when the control is destroyed; lets a caller notice that a handler it ran
    // deleted the control.
    std::shared_ptr<const bool> AliveFlag() const noexcept { return alive_; }
    // Release was called: the control gets no more input and goes soon.
    bool Released() const noexcept { return released_; }
    // Makes or drops the native counterpart; the framework calls these as forms show.
    virtual void CreatePeer();
    virtual void DestroyPeer();

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // A layout nests controls in windowed controls: the enclosing block becomes the Parent.
    void SetParentComponent(TComponent* parent) override;
    TComponent* GetParentComponent() const override;

protected:
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
    virtual void MouseMove(TShiftState Shift, Integer X, Integer Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    // Fires OnMouseWheel, then OnMouseWheelDown/Up when nobody handled it; answers Handled.
    virtual bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos);
    virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
    virtual bool CanResize(Integer& NewWidth, Integer& NewHeight);
    virtual void Resize();
    // A property the native side shows changed.
    void PeerPropertiesChanged();
    // Caption changed.
    virtual void TextChanged();
    // The font changed (including through ParentFont); repaints by default.
    virtual void FontChanged();
    // Called on the parent's font and colour changes for ParentFont/ParentColor children.
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    void SetPeer(std::unique_ptr<TControlPeer> peer);

    // Runs f as the delivery of a host event to this control: exceptions go to the
    // application, and the control may be deleted inside f.
    template <class F> void Dispatch(F&& f);

private:
    friend class TWinControl;
    class DispatchScope;

    TWinControl* parent_ = nullptr;
    Integer left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    TColor color_ = clWindow;
    bool parentColor_ = false;
    TCursor cursor_ = crDefault;
    std::string hint_;
    bool showHint_ = false, parentShowHint_ = true;
    TAlign align_ = alNone;
    TAnchors anchors_{akLeft, akTop};
    std::unique_ptr<TSizeConstraints> constraints_;
    TDragKind dragKind_ = dkDrag;
    TDragMode dragMode_ = dmManual;
    TCursor dragCursor_ = crDrag;
    TPopupMenu* popupMenu_ = nullptr;
    std::string caption_;
    Integer tag_ = 0;
    bool clicked_ = false;  // a left button went down on the control and is still held
    bool updatingFont_ = false;
    bool released_ = false;
    int dispatchDepth_ = 0;
    std::shared_ptr<bool> alive_;
    std::unique_ptr<TControlPeer> peer_;

    TNotifyEvent onClick_, onDblClick_, onMouseEnter_, onMouseLeave_, onResize_;
    TMouseEvent onMouseDown_, onMouseUp_;
    TMouseMoveEvent onMouseMove_;
    TMouseWheelEvent onMouseWheel_;
    TMouseWheelUpDownEvent onMouseWheelUp_, onMouseWheelDown_;
    TCanResizeEvent onCanResize_;
    TContextPopupEvent onContextPopup_;
    TDragDropEvent onDragDrop_;
    TDragOverEvent onDragOver_;
    TEndDragEvent onEndDrag_;
    TStartDragEvent onStartDrag_;
};

// A control that can hold other controls and has a native window once its form is shown.
class TWinControl : public TControl {
    KVB_CLASS_INFO()
public:
    explicit TWinControl(TComponent* AOwner);
    // Destroys the child controls first, as the framework does.
    ~TWinControl() override;

    int ControlCount() const noexcept { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const;
    // The topmost visible, enabled child under a client point, or nullptr.
    TControl* ControlAtPos(TPoint p) const noexcept;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);

    Integer TabOrder() const noexcept { return tabOrder_; }
    void SetTabOrder(Integer value) { tabOrder_ = value; }
    bool TabStop() const noexcept { return tabStop_; }
    void SetTabStop(bool value) { tabStop_ = value; }

    // The native window exists (the form has been shown).
    bool HandleAllocated() const noexcept { return handleAllocated_; }
    // Creates the window now if the control sits on a shown form.
    void HandleNeeded();

    const TKeyEvent& OnKeyDown() const noexcept { return onKeyDown_; }
    void SetOnKeyDown(TKeyEvent h) { onKeyDown_ = std::move(h); }
    const TKeyEvent& OnKeyUp() const noexcept { return onKeyUp_; }
    void SetOnKeyUp(TKeyEvent h) { onKeyUp_ = std::move(h); }
    const TKeyPressEvent& OnKeyPress() const noexcept { return onKeyPress_; }
    void SetOnKeyPress(TKeyPressEvent h) { onKeyPress_ = std::move(h); }
    const TNotifyEvent& OnEnter() const noexcept { return onEnter_; }
    void SetOnEnter(TNotifyEvent h) { onEnter_ = std::move(h); }
    const TNotifyEvent& OnExit() const noexcept { return onExit_; }
    void SetOnExit(TNotifyEvent h) { onExit_ = std::move(h); }

    void CreatePeer() override;
    void DestroyPeer() override;

protected:
    // Makes the native window (through the host); overrides call the inherited one first.
    virtual void CreateWnd();
    virtual void DestroyWnd();
    void ParentFontChanged() override;
    void FontChanged() override;
    void SetColorChildren();

private:
    friend class TControl;
    std::vector<TControl*> controls_;
    Integer tabOrder_ = -1;
    bool tabStop_ = false;
    bool handleAllocated_ = false;
    TKeyEvent onKeyDown_, onKeyUp_;
    TKeyPressEvent onKeyPress_;
    TNotifyEvent onEnter_, onExit_;
};

// A windowed control that paints itself: its Canvas draws on the window surface the host
// owns. Before the window exists the canvas has no surface and drawing does nothing.
class TCustomControl : public TWinControl {
    KVB_CLASS_INFO()
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;

    TCanvas* Canvas() const noexcept { return canvas_.get(); }
    void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
    // The peer moved or reallocated the surface; rebinds the canvas.
    void SurfaceChanged();

protected:
    friend class TControl;
    // Draws the control; the default fills the client area with Color.
    virtual void Paint();
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    std::unique_ptr<TCanvas> canvas_;
};

// ---------------------------------------------------------------------------------------

class TScrollBar : public TWinControl {
    KVB_CLASS_INFO()
public:
    explicit TScrollBar(TComponent* AOwner);

    TScrollBarKind Kind() const noexcept { return kind_; }
    // Turning the bar swaps width and height, as the framework does.
    void SetKind(TScrollBarKind value);
    Integer Min() const noexcept { return min_; }
    void SetMin(Integer value) { SetParams(position_, value, max_); }
    Integer Max() const noexcept { return max_; }
    void SetMax(Integer value) { SetParams(position_, min_, value); }
    // The thumb's share of Max − Min + 1; 0 draws a plain thumb. The position can go up to
    // Max − PageSize + 1.
    Integer PageSize() const noexcept { return pageSize_; }
    void SetPageSize(Integer value);
    Integer Position() const noexcept { return position_; }
    void SetPosition(Integer value) { SetParams(value, min_, max_); }
    Integer SmallChange() const noexcept { return smallChange_; }
    void SetSmallChange(Integer value) { smallChange_ = value; }
    Integer LargeChange() const noexcept { return largeChange_; }
    void SetLargeChange(Integer value) { largeChange_ = value; }
    // Sets range and position at once. Raises EInvalidOperation "Scroll bar property out of
    // range" when AMax < AMin or the page does not fit; the position is clamped. OnChange
    // fires once when the position changed (not while loading).
    void SetParams(Integer APosition, Integer AMin, Integer AMax);
    // The highest position the thumb can reach.
    Integer MaxPosition() const noexcept;

    const TNotifyEvent& OnChange() const noexcept { return onChange_; }
    void SetOnChange(TNotifyEvent h) { onChange_ = std::move(h); }
    const TScrollEvent& OnScroll() const noexcept { return onScroll_; }
    void SetOnScroll(TScrollEvent h) { onScroll_ = std::move(h); }

    // Host side: the user scrolled (arrow, page, thumb). Computes the new position from the
    // code (ScrollPos is used by scPosition and scTrack), lets OnScroll adjust it and moves
    // there; handler exceptions go to the application.
    void HostScroll(TScrollCode code, Integer ScrollPos = 0);

    // The plain look the headless host draws and hit-tests: arrow buttons at both ends, the
    // thumb between them.
    struct TGeometry {
        TRect ArrowLow, ArrowHigh, Track, Thumb;
    };
    TGeometry Geometry() const noexcept;

    void Loaded() override;

protected:
    virtual void Change();

private:
    void Normalize();
    TScrollBarKind kind_ = sbHorizontal;
    Integer min_ = 0, max_ = 100, pageSize_ = 0, position_ = 0;
    Integer smallChange_ = 1, largeChange_ = 1;
    TNotifyEvent onChange_;
    TScrollEvent onScroll_;
};

class TLabel : public TControl {
    KVB_CLASS_INFO()
public:
    explicit TLabel(TComponent* AOwner);

    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment value);
    // Fits the size to the caption whenever caption or font change.
    bool AutoSize() const noexcept { return autoSize_; }
    void SetAutoSize(bool value);
    bool Transparent() const noexcept { return transparent_; }
    void SetTransparent(bool value);
    bool ShowAccelChar() const noexcept { return showAccelChar_; }
    void SetShowAccelChar(bool value);
    // The caption as shown: '&' marks are dropped ("&&" shows one '&') when ShowAccelChar.
    std::string DisplayText() const;
    void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
    void Loaded() override;
    // Draws the label plainly onto a canvas at (x, y) (used when a host composes a form).
    void DrawTo(TCanvas* canvas, Integer x, Integer y) const;

protected:
    void FontChanged() override;
    void TextChanged() override;

private:
    void AdjustSize();
    TAlignment alignment_ = taLeftJustify;
    bool autoSize_ = true;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    bool adjusting_ = false;
};

// ---------------------------------------------------------------------------------------
// Menus

class TMenuItem : public TComponent {
    KVB_CLASS_INFO()
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    // "&File": the character after '&' is the accelerator; "-" is a separator line.
    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(const std::string& value);
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool value);
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool value);
    bool Checked() const noexcept { return checked_; }
    void SetChecked(bool value);
    // The platform's shortcut code (virtual key plus modifier bits); stored only.
    Integer ShortCut() const noexcept { return shortCut_; }
    void SetShortCut(Integer value) { shortCut_ = value; }
    const TNotifyEvent& OnClick() const noexcept { return onClick_; }
    void SetOnClick(TNotifyEvent h) { onClick_ = std::move(h); }

    int Count() const noexcept { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const;
    TMenuItem* Parent() const noexcept { return parent_; }
    // The menu the item belongs to (through its parents), or nullptr.
    TMenu* GetParentMenu() const noexcept;
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    int IndexOf(const TMenuItem* item) const noexcept;
    // The sub-item whose caption, without '&' marks, matches (case-insensitive), or nullptr.
    TMenuItem* Find(std::string_view caption) const noexcept;
    bool IsLine() const noexcept { return caption_ == "-"; }

    // Fires OnClick for an enabled item; hosts call it when the user chooses the item.
    // Handler exceptions go to the application.
    virtual void Click();

    // A layout nests items in a menu or in another item.
    void SetParentComponent(TComponent* parent) override;
    TComponent* GetParentComponent() const override;

private:
    friend class TMenu;
    void Changed();
    std::string caption_;
    bool enabled_ = true, visible_ = true, checked_ = false;
    Integer shortCut_ = 0;
    TNotifyEvent onClick_;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr;  // set on a menu's root item
    std::vector<TMenuItem*> items_;
};

class TMenu : public TComponent {
    KVB_CLASS_INFO()
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    // The root item; its sub-items are the menu's entries.
    TMenuItem* Items() const noexcept { return items_.get(); }
    // Finds an item by a path of captions without '&' marks: "File|Exit".
    TMenuItem* FindItemByPath(std::string_view path) const noexcept;

    // Someone (a form) wants to hear about every change of the menu tree.
    void AddChangeListener(const void* key, std::function<void()> listener);
    void RemoveChangeListener(const void* key);

private:
    friend class TMenuItem;
    void Changed();
    std::unique_ptr<TMenuItem> items_;
    std::vector<std::pair<const void*, std::function<void()>>> listeners_;
};

class TMainMenu : public TMenu {
    KVB_CLASS_INFO()
public:
    explicit TMainMenu(TComponent* AOwner);
};

// Kept for controls that publish PopupMenu; no host shows it yet.
class TPopupMenu : public TMenu {
    KVB_CLASS_INFO()
public:
    explicit TPopupMenu(TComponent* AOwner);
};

// The caption without '&' marks ("&&" stands for one '&').
std::string StripHotkey(std::string_view caption);

// ---------------------------------------------------------------------------------------

class TForm : public TWinControl {
    KVB_CLASS_INFO()
public:
    explicit TForm(TComponent* AOwner);
    ~TForm() override;

    TFormBorderStyle BorderStyle() const noexcept { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle value);
    // The client area is the whole form below the menu bar: ClientWidth and ClientHeight set
    // the form's size, and child coordinates are client coordinates.
    Integer ClientWidth() const noexcept override { return Width(); }
    void SetClientWidth(Integer value) { SetWidth(value); }
    Integer ClientHeight() const noexcept override { return Height(); }
    void SetClientHeight(Integer value) { SetHeight(value); }
    // When Scaled and PixelsPerInch differ from the screen's, Loaded scales positions, sizes
    // and font heights by Screen PixelsPerInch / PixelsPerInch.
    bool Scaled() const noexcept { return scaled_; }
    void SetScaled(bool value) { scaled_ = value; }
    Integer PixelsPerInch() const noexcept { return pixelsPerInch_; }
    void SetPixelsPerInch(Integer value) { if (value > 0) pixelsPerInch_ = value; }
    // Stored by the designer next to PixelsPerInch; kept, not used.
    Integer TextHeight() const noexcept { return textHeight_; }
    void SetTextHeight(Integer value) { textHeight_ = value; }
    TPosition Position() const noexcept { return position_; }
    void SetPosition(TPosition value) { position_ = value; }
    TMainMenu* Menu() const noexcept { return menu_; }
    void SetMenu(TMainMenu* value);

    const TNotifyEvent& OnCreate() const noexcept { return onCreate_; }
    void SetOnCreate(TNotifyEvent h) { onCreate_ = std::move(h); }
    const TNotifyEvent& OnShow() const noexcept { return onShow_; }
    void SetOnShow(TNotifyEvent h) { onShow_ = std::move(h); }
    const TNotifyEvent& OnHide() const noexcept { return onHide_; }
    void SetOnHide(TNotifyEvent h) { onHide_ = std::move(h); }
    const TNotifyEvent& OnPaint() const noexcept { return onPaint_; }
    void SetOnPaint(TNotifyEvent h) { onPaint_ = std::move(h); }
    const TCloseEvent& OnClose() const noexcept { return onClose_; }
    void SetOnClose(TCloseEvent h) { onClose_ = std::move(h); }
    const TCloseQueryEvent& OnCloseQuery() const noexcept { return onCloseQuery_; }
    void SetOnCloseQuery(TCloseQueryEvent h) { onCloseQuery_ = std::move(h); }

    // Showing makes the windows of the form and its controls (CreateWnd runs), fires OnShow
    // and shows the window; hiding keeps the windows.
    void SetVisible(bool value) override;
    // OnCloseQuery, OnClose, then hides the form; closing the main form ends the program.
    void Close();

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Host side: the user asked the window to close.
    void HostCloseRequest();

protected:
    // Reads a stored layout into this form (the form is the layout's root), then fires
    // OnCreate. Derived forms call it from their constructor.
    void LoadLayout(std::string_view text);
    void LoadLayout(std::string_view text, const TLayoutOptions& options);
    virtual void DoCreate();
    virtual void DoShow();
    // Multiplies positions, sizes and font heights of the form and its controls by M / D.
    void ScaleBy(Integer M, Integer D);

private:
    void MenuChanged();
    TFormBorderStyle borderStyle_ = bsSizeable;
    bool scaled_ = true;
    Integer pixelsPerInch_ = 96;
    Integer textHeight_ = 0;
    TPosition position_ = poDesigned;
    TMainMenu* menu_ = nullptr;
    bool showing_ = false;
    TNotifyEvent onCreate_, onShow_, onHide_, onPaint_;
    TCloseEvent onClose_;
    TCloseQueryEvent onCloseQuery_;
};

// ---------------------------------------------------------------------------------------

class TApplication : public TComponent {
    KVB_CLASS_INFO()
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    // The window system; the headless host and the Qt host install themselves here.
    THost* Host() const noexcept { return host_; }
    // Raises EInvalidOperation "No window host is installed" when there is none.
    THost& RequireHost() const;
    void SetHost(THost* host) noexcept;

    void Initialize();
    // Creates a form owned by the application; the first one becomes the main form.
    template <class F>
    F* CreateForm() {
        F* form = new F(this);
        if (mainForm_ == nullptr) SetMainForm(form);
        return form;
    }
    template <class F>
    void CreateForm(F*& reference) { reference = CreateForm<F>(); }
    TForm* MainForm() const noexcept { return mainForm_; }
    void SetMainForm(TForm* form);
    // Shows the main form and runs the host's loop until Terminate.
    void Run();
    void Terminate();
    bool Terminated() const noexcept { return terminated_; }
    // Handles what is pending: paints, then deferred releases.
    void ProcessMessages();
    const std::string& Title() const noexcept { return title_; }
    void SetTitle(const std::string& value) { title_ = value; }

    // An exception escaped a handler or a paint: OnException if set, otherwise the message in
    // a box. Exceptions thrown by OnException itself are swallowed, so nothing escapes.
    void HandleException(TObject* Sender, const std::exception& E);
    // The same for something that is not a std::exception.
    void HandleUnknownException(TObject* Sender);
    const TExceptionEvent& OnException() const noexcept { return onException_; }
    void SetOnException(TExceptionEvent h) { onException_ = std::move(h); }

    // Deletes a component once no event is being dispatched to it (see TControl::Release).
    void ReleaseLater(TComponent* component);
    // Deletes what was released and is no longer in use.
    void FreeReleased();
    bool ReleasePending() const noexcept { return !released_.empty(); }

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    THost* host_ = nullptr;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    std::string title_;
    TExceptionEvent onException_;
    std::vector<TComponent*> released_;
};
TApplication* Application();

// The screen: pixels per inch, the cursor table and the application-wide cursor.
class TScreen : public TComponent {
    KVB_CLASS_INFO()
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    // The application-wide cursor: anything but crDefault overrides every control's own.
    TCursor Cursor() const noexcept { return cursor_; }
    void SetCursor(TCursor value);
    // Registers a custom cursor under a number (replacing an earlier one). Raises
    // EInvalidGraphic for an image that is not 32 x 32 or whose hot spot lies outside, and
    // EInvalidOperation for a number of a built-in cursor (0 and below).
    void SetCursors(TCursor index, const TCursorImage& image);
    // The registered image of a custom cursor, or nullptr (built-in cursors have none).
    const TCursorImage* CursorImage(TCursor index) const noexcept;
    // Whether a cursor number is built in or registered.
    bool HasCursor(TCursor index) const noexcept;
    // Bumped whenever a custom cursor is (re)registered, so hosts can refresh their caches.
    Integer CursorGeneration() const noexcept { return cursorGeneration_; }

    Integer PixelsPerInch() const noexcept;
    Integer Width() const noexcept { return width_; }
    Integer Height() const noexcept { return height_; }
    void SetSize(Integer width, Integer height) noexcept { width_ = width; height_ = height; }
    int FormCount() const noexcept;
    TForm* Forms(int index) const;

private:
    TCursor cursor_ = crDefault;
    std::vector<std::pair<TCursor, TCursorImage>> cursors_;
    Integer cursorGeneration_ = 0;
    Integer width_ = 1280, height_ = 1024;
};
TScreen* Screen();

// A modal message box; answers the modal result (mrOk, …). Without a host the message goes
// to stderr and the first button's result is answered.
Integer MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer HelpCtx);
void ShowMessage(const std::string& Msg);

// The program's cursor resources by name; the chart registers them with TScreen::SetCursors.
// Raises EInvalidOperation for an unknown name.
void RegisterCursorResource(const std::string& name, const TCursorImage& image);
const TCursorImage& LoadCursorResource(const std::string& name);

}  // namespace kvb

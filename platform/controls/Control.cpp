// TControl, TWinControl and TCustomControl: bounds, parents, fonts and colours, peers, and
// the delivery of host input to the handlers.
#include <algorithm>

#include "platform/controls/ControlsInternal.h"

namespace kvb {

namespace {
int gDispatchDepth = 0;
}

TDispatchGuard::TDispatchGuard() noexcept { ++gDispatchDepth; }

TDispatchGuard::~TDispatchGuard() {
    if (--gDispatchDepth == 0 && Application()->ReleasePending()) Application()->FreeReleased();
}

bool InOuterDispatch() noexcept { return gDispatchDepth > 0; }

// ---------------------------------------------------------------------------------------
// Controls that have a peer, so that a host going away can drop them all.

namespace {
std::vector<TControl*>& PeeredControls() {
    static std::vector<TControl*> list;
    return list;
}
}

void DropAllPeers() {
    // Children first: a window's peer may own its children's native parts.
    while (!PeeredControls().empty()) PeeredControls().back()->DestroyPeer();
}

// ---------------------------------------------------------------------------------------

void TSizeConstraints::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TSizeConstraints*>(Source)) {
        minWidth_ = s->minWidth_;
        minHeight_ = s->minHeight_;
        maxWidth_ = s->maxWidth_;
        maxHeight_ = s->maxHeight_;
        return;
    }
    TPersistent::Assign(Source);
}

void TSizeConstraints::Apply(Integer& width, Integer& height) const noexcept {
    if (maxWidth_ > 0 && width > maxWidth_) width = maxWidth_;
    if (maxHeight_ > 0 && height > maxHeight_) height = maxHeight_;
    if (width < minWidth_) width = minWidth_;
    if (height < minHeight_) height = minHeight_;
}

// ---------------------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner),
      font_(std::make_unique<TFont>()),
      constraints_(std::make_unique<TSizeConstraints>()),
      alive_(std::make_shared<bool>(true)) {
    font_->SetPixelsPerInch(ScreenPixelsPerInch());
    font_->SetOnChange([this](TObject*) { FontChanged(); });
}

TControl::~TControl() {
    Destroying();
    *alive_ = false;
    DestroyPeer();
    if (parent_ != nullptr) parent_->RemoveControl(this);
    font_->SetOnChange(nullptr);
}

TForm* TControl::ParentForm() const noexcept {
    const TControl* c = this;
    while (c != nullptr) {
        if (auto* f = dynamic_cast<const TForm*>(c)) return const_cast<TForm*>(f);
        c = c->parent_;
    }
    return nullptr;
}

void TControl::SetParent(TWinControl* value) {
    if (value == parent_) return;
    for (TWinControl* p = value; p != nullptr; p = p->Parent())
        if (p == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (parent_ != nullptr) parent_->RemoveControl(this);
    if (value != nullptr) value->InsertControl(this);
}

void TControl::SetParentComponent(TComponent* parent) {
    if (auto* w = dynamic_cast<TWinControl*>(parent)) SetParent(w);
}

TComponent* TControl::GetParentComponent() const { return parent_; }

TPoint TControl::ClientToForm(TPoint p) const noexcept {
    const TControl* c = this;
    while (c != nullptr && dynamic_cast<const TForm*>(c) == nullptr) {
        p.X += c->left_;
        p.Y += c->top_;
        c = c->parent_;
    }
    return p;
}

void TControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
    AWidth = std::max<Integer>(AWidth, 0);
    AHeight = std::max<Integer>(AHeight, 0);
    if (AWidth != width_ || AHeight != height_) {
        constraints_->Apply(AWidth, AHeight);
        if ((AWidth != width_ || AHeight != height_) && !CanResize(AWidth, AHeight)) {
            AWidth = width_;
            AHeight = height_;
        }
    }
    if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
    const bool resized = AWidth != width_ || AHeight != height_;
    left_ = ALeft;
    top_ = ATop;
    width_ = AWidth;
    height_ = AHeight;
    if (peer_) peer_->BoundsChanged();
    if (resized && !ComponentState().Contains(csLoading)) Resize();
}

bool TControl::CanResize(Integer& NewWidth, Integer& NewHeight) {
    bool resize = true;
    if (onCanResize_) {
        TCanResizeEvent h = onCanResize_;
        h(this, NewWidth, NewHeight, resize);
    }
    NewWidth = std::max<Integer>(NewWidth, 0);
    NewHeight = std::max<Integer>(NewHeight, 0);
    return resize;
}

void TControl::Resize() {
    if (onResize_) {
        TNotifyEvent h = onResize_;
        h(this);
    }
}

bool TControl::Showing() const noexcept {
    const TControl* c = this;
    while (c != nullptr) {
        if (!c->visible_) return false;
        if (auto* f = dynamic_cast<const TForm*>(c)) return f->HandleAllocated();
        c = c->parent_;
    }
    return false;
}

void TControl::SetVisible(bool value) {
    if (value == visible_) return;
    visible_ = value;
    PeerPropertiesChanged();
    if (parent_ != nullptr) parent_->Invalidate();
}

void TControl::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    PeerPropertiesChanged();
    Invalidate();
}

void TControl::SetParentFont(bool value) {
    if (value == parentFont_) return;
    parentFont_ = value;
    if (value && parent_ != nullptr) ParentFontChanged();
}

void TControl::FontChanged() {
    if (!updatingFont_) parentFont_ = false;
    PeerPropertiesChanged();
    Invalidate();
}

void TControl::ParentFontChanged() {
    if (!parentFont_ || parent_ == nullptr) return;
    updatingFont_ = true;
    try {
        font_->Assign(parent_->Font());
        // Assign may or may not report the change; make sure the control hears of it.
        FontChanged();
    } catch (...) {
        updatingFont_ = false;
        throw;
    }
    updatingFont_ = false;
}

void TControl::SetColor(TColor value) {
    parentColor_ = false;
    if (value == color_) return;
    color_ = value;
    PeerPropertiesChanged();
    Invalidate();
    if (auto* w = dynamic_cast<TWinControl*>(this)) w->SetColorChildren();
}

void TControl::SetParentColor(bool value) {
    if (value == parentColor_) return;
    parentColor_ = value;
    if (value) ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (!parentColor_ || parent_ == nullptr) return;
    const TColor c = parent_->Color();
    if (c == color_) return;
    color_ = c;
    PeerPropertiesChanged();
    Invalidate();
    if (auto* w = dynamic_cast<TWinControl*>(this)) w->SetColorChildren();
}

void TControl::SetCursor(TCursor value) {
    if (value == cursor_) return;
    cursor_ = value;
    if (peer_) peer_->CursorChanged();
}

void TControl::SetAlign(TAlign value) { align_ = value; }

void TControl::SetConstraints(TSizeConstraints* value) { constraints_->Assign(value); }

void TControl::SetPopupMenu(TPopupMenu* value) {
    if (value == popupMenu_) return;
    if (popupMenu_ != nullptr) popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = value;
    if (popupMenu_ != nullptr) popupMenu_->FreeNotification(this);
}

void TControl::SetCaption(const std::string& value) {
    if (value == caption_) return;
    caption_ = value;
    TextChanged();
}

void TControl::TextChanged() {
    PeerPropertiesChanged();
    Invalidate();
}

void TControl::Invalidate() {
    if (peer_) peer_->Invalidate();
}

void TControl::Update() {
    if (peer_) peer_->Update();
}

void TControl::Release() {
    if (released_) return;
    released_ = true;
    Application()->ReleaseLater(this);
    if (!InOuterDispatch()) Application()->FreeReleased();
}

void TControl::Loaded() { TComponent::Loaded(); }

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == popupMenu_) popupMenu_ = nullptr;
}

void TControl::PeerPropertiesChanged() {
    if (peer_) peer_->PropertiesChanged();
}

void TControl::SetPeer(std::unique_ptr<TControlPeer> peer) {
    auto& list = PeeredControls();
    if (peer_ && !peer) list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (!peer_ && peer) list.push_back(this);
    peer_ = std::move(peer);
}

void TControl::CreatePeer() {
    if (peer_) return;
    THost* host = Application()->Host();
    if (host == nullptr) return;
    SetPeer(host->CreatePeer(this));
}

void TControl::DestroyPeer() {
    if (!peer_) return;
    std::unique_ptr<TControlPeer> old = std::move(peer_);
    auto& list = PeeredControls();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    old.reset();
}

// ---- mouse ------------------------------------------------------------------------------

void TControl::Click() {
    if (onClick_) {
        TNotifyEvent h = onClick_;
        h(this);
    }
}

void TControl::DblClick() {
    if (onDblClick_) {
        TNotifyEvent h = onDblClick_;
        h(this);
    }
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
    if (onMouseDown_) {
        TMouseEvent h = onMouseDown_;
        h(this, Button, Shift, X, Y);
    }
}

void TControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
    if (onMouseMove_) {
        TMouseMoveEvent h = onMouseMove_;
        h(this, Shift, X, Y);
    }
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
    if (onMouseUp_) {
        TMouseEvent h = onMouseUp_;
        h(this, Button, Shift, X, Y);
    }
}

void TControl::MouseEnter() {
    if (onMouseEnter_) {
        TNotifyEvent h = onMouseEnter_;
        h(this);
    }
}

void TControl::MouseLeave() {
    if (onMouseLeave_) {
        TNotifyEvent h = onMouseLeave_;
        h(this);
    }
}

bool TControl::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
    bool handled = false;
    if (onMouseWheel_) {
        TMouseWheelEvent h = onMouseWheel_;
        h(this, Shift, WheelDelta, MousePos, handled);
    }
    if (!handled) handled = WheelDelta < 0 ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
    return handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (onMouseWheelDown_) {
        TMouseWheelUpDownEvent h = onMouseWheelDown_;
        h(this, Shift, MousePos, handled);
    }
    return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (onMouseWheelUp_) {
        TMouseWheelUpDownEvent h = onMouseWheelUp_;
        h(this, Shift, MousePos, handled);
    }
    return handled;
}

void TControl::HostMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
    Dispatch([&] {
        if (Button == mbLeft) clicked_ = true;
        MouseDown(Button, Shift, X, Y);
    });
}

void TControl::HostDblClick(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
    Dispatch([&] {
        // The button-down that completes a double click: no click follows its release.
        clicked_ = false;
        std::shared_ptr<bool> alive = alive_;
        if (Button == mbLeft) DblClick();
        if (*alive && !released_) MouseDown(Button, Shift + ssDouble, X, Y);
    });
}

void TControl::HostMouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
    Dispatch([&] {
        const bool click = Button == mbLeft && clicked_ && X >= 0 && Y >= 0 && X < width_ && Y < height_;
        if (Button == mbLeft) clicked_ = false;
        std::shared_ptr<bool> alive = alive_;
        if (click) Click();
        if (*alive && !released_) MouseUp(Button, Shift, X, Y);
    });
}

void TControl::HostMouseMove(TShiftState Shift, Integer X, Integer Y) {
    Dispatch([&] { MouseMove(Shift, X, Y); });
}

void TControl::HostMouseEnter() {
    Dispatch([&] { MouseEnter(); });
}

void TControl::HostMouseLeave() {
    Dispatch([&] { MouseLeave(); });
}

bool TControl::HostMouseWheel(TShiftState Shift, Integer WheelDelta, Integer X, Integer Y) {
    bool handled = false;
    Dispatch([&] { handled = DoMouseWheel(Shift, WheelDelta, Point(X, Y)); });
    return handled;
}

void TControl::HostPaint() {
    Dispatch([&] {
        if (auto* c = dynamic_cast<TCustomControl*>(this)) {
            c->SurfaceChanged();
            c->Paint();
        } else if (auto* f = dynamic_cast<TForm*>(this)) {
            if (f->OnPaint()) {
                TNotifyEvent h = f->OnPaint();
                h(f);
            }
        }
    });
}

// ---------------------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    Destroying();
    DestroyPeer();
    // Children go with their parent, the last one first.
    while (!controls_.empty()) {
        TControl* c = controls_.back();
        RemoveControl(c);
        delete c;
    }
}

TControl* TWinControl::Controls(int index) const {
    if (index < 0 || index >= ControlCount())
        throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
    return controls_[static_cast<std::size_t>(index)];
}

TControl* TWinControl::ControlAtPos(TPoint p) const noexcept {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        if (!c->Visible() || !c->Enabled()) continue;
        if (p.X >= c->Left() && p.Y >= c->Top() && p.X < c->Left() + c->Width() && p.Y < c->Top() + c->Height())
            return c;
    }
    return nullptr;
}

void TWinControl::InsertControl(TControl* control) {
    if (control == nullptr || control->parent_ == this) return;
    if (control->parent_ != nullptr) control->parent_->RemoveControl(control);
    controls_.push_back(control);
    control->parent_ = this;
    if (control->parentFont_) control->ParentFontChanged();
    if (control->parentColor_) control->ParentColorChanged();
    if (handleAllocated_) control->CreatePeer();
    Invalidate();
}

void TWinControl::RemoveControl(TControl* control) {
    if (control == nullptr || control->parent_ != this) return;
    control->DestroyPeer();
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    control->parent_ = nullptr;
    Invalidate();
}

void TWinControl::HandleNeeded() {
    if (handleAllocated_) return;
    if (dynamic_cast<TForm*>(this) == nullptr && (Parent() == nullptr || !Parent()->HandleAllocated()))
        return;
    CreatePeer();
}

void TWinControl::CreatePeer() {
    if (handleAllocated_) return;
    CreateWnd();
    for (TControl* c : std::vector<TControl*>(controls_)) c->CreatePeer();
}

void TWinControl::DestroyPeer() {
    if (!handleAllocated_ && !Peer()) return;
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) (*it)->DestroyPeer();
    DestroyWnd();
}

void TWinControl::CreateWnd() {
    if (handleAllocated_) return;
    TControl::CreatePeer();
    handleAllocated_ = Peer() != nullptr;
}

void TWinControl::DestroyWnd() {
    handleAllocated_ = false;
    TControl::DestroyPeer();
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    for (TControl* c : controls_) c->ParentFontChanged();
}

void TWinControl::ParentFontChanged() { TControl::ParentFontChanged(); }

void TWinControl::SetColorChildren() {
    for (TControl* c : controls_) c->ParentColorChanged();
}

// ---------------------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), canvas_(std::make_unique<TCanvas>()) {
    canvas_->SetPixelsPerInch(ScreenPixelsPerInch());
}

TCustomControl::~TCustomControl() {
    Destroying();
    DestroyPeer();
}

void TCustomControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
    const bool resized = std::max<Integer>(AWidth, 0) != Width() || std::max<Integer>(AHeight, 0) != Height();
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (resized && Peer() != nullptr) {
        SurfaceChanged();
        Invalidate();
    }
}

void TCustomControl::SurfaceChanged() {
    TSurface s = Peer() != nullptr ? Peer()->Surface() : TSurface{};
    const TSurface& now = canvas_->Surface();
    if (s.Bits != now.Bits || s.Width != now.Width || s.Height != now.Height || s.Stride != now.Stride)
        canvas_->SetSurface(s);
}

void TCustomControl::Paint() {
    TBrush* b = canvas_->Brush();
    const TColor oldColor = b->Color();
    const TBrushStyle oldStyle = b->Style();
    b->SetColor(Color());
    b->SetStyle(bsSolid);
    canvas_->FillRect(ClientRect());
    b->SetColor(oldColor);
    b->SetStyle(oldStyle);
}

void TCustomControl::CreateWnd() {
    TWinControl::CreateWnd();
    SurfaceChanged();
    Invalidate();
}

void TCustomControl::DestroyWnd() {
    TWinControl::DestroyWnd();
    canvas_->SetSurface(TSurface{});
}

}  // namespace kvb

// The headless host. Surfaces are plain pixel vectors; paints run when the application
// processes messages, as a window system delivers its paint messages after the input.
#include "platform/hosts/headless/Headless.h"

#include <algorithm>
#include <cstring>

#include "platform/controls/ControlsInternal.h"

namespace kvb {

class THeadlessPeer : public TControlPeer {
public:
    THeadlessPeer(THeadlessHost* host, TControl* control) : host_(host), control_(control) {
        hasSurface_ = dynamic_cast<TCustomControl*>(control) != nullptr;
        host_->peers_.push_back(this);
        BoundsChanged();
    }
    ~THeadlessPeer() override {
        host_->Unpend(this);
        auto& p = host_->peers_;
        p.erase(std::remove(p.begin(), p.end(), this), p.end());
    }

    void BoundsChanged() override {
        if (!hasSurface_) return;
        const Integer w = control_->Width(), h = control_->Height();
        if (w == width_ && h == height_) return;
        width_ = w;
        height_ = h;
        pixels_.assign(std::size_t(w) * std::size_t(h), 0xFFFFFFFFu);
    }
    void Invalidate() override {
        if (pending_) return;
        pending_ = true;
        host_->pending_.push_back(this);
    }
    void Update() override {
        if (pending_) Paint();
    }
    TSurface Surface() override {
        if (!hasSurface_ || pixels_.empty()) return {};
        return TSurface{pixels_.data(), width_, height_, width_};
    }
    void Show() override { shown_ = true; }
    void Hide() override { shown_ = false; }

    void Paint() {
        host_->Unpend(this);
        ++paintCount_;
        control_->HostPaint();
    }

    THeadlessHost* host_;
    TControl* control_;
    bool hasSurface_ = false;
    bool pending_ = false;
    bool shown_ = false;
    int paintCount_ = 0;
    Integer width_ = -1, height_ = -1;
    std::vector<std::uint32_t> pixels_;
};

// ---------------------------------------------------------------------------------------

THeadlessHost::THeadlessHost() {
    Application()->SetHost(this);
    Application()->Initialize();
}

THeadlessHost::~THeadlessHost() {
    if (Application()->Host() == this) {
        Application()->DestroyComponents();
        Application()->SetHost(nullptr);
    }
    // Peers of controls that outlive the host (owned elsewhere) were dropped by SetHost.
}

void THeadlessHost::SetPixelsPerInch(Integer value) noexcept {
    if (value <= 0) return;
    pixelsPerInch_ = value;
    if (Application()->Host() == this) SetScreenPixelsPerInch(value);
}

std::unique_ptr<TControlPeer> THeadlessHost::CreatePeer(TControl* control) {
    return std::make_unique<THeadlessPeer>(this, control);
}

void THeadlessHost::Unpend(THeadlessPeer* peer) noexcept {
    peer->pending_ = false;
    pending_.erase(std::remove(pending_.begin(), pending_.end(), peer), pending_.end());
}

void THeadlessHost::Run() {
    quit_ = false;
    while (!quit_ && !pending_.empty()) ProcessMessages();
}

void THeadlessHost::Quit() {
    quit_ = true;
    ++quitCount_;
}

void THeadlessHost::ProcessMessages() {
    // A paint that keeps invalidating itself must not hang the loop.
    for (int round = 0; round < 16 && !pending_.empty(); ++round) {
        std::vector<THeadlessPeer*> batch = pending_;
        for (THeadlessPeer* p : batch) {
            // An earlier paint may have destroyed this peer or painted it already.
            if (std::find(pending_.begin(), pending_.end(), p) == pending_.end()) continue;
            p->Paint();
        }
    }
}

Integer THeadlessHost::MessageBox(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
    messages_.push_back(TMessageRecord{text, type, buttons});
    return answer_ != mrNone ? answer_ : DefaultMessageResult(buttons);
}

void THeadlessHost::ShowException(const std::string& text) {
    messages_.push_back(TMessageRecord{text, mtError, {mbOK}});
}

void THeadlessHost::ScreenCursorChanged(TCursor) {}

bool THeadlessHost::IsShown(const TForm* form) const noexcept {
    auto* p = dynamic_cast<THeadlessPeer*>(form != nullptr ? form->Peer() : nullptr);
    return p != nullptr && p->shown_ && form->Visible();
}

int THeadlessHost::PaintCount(const TControl* control) const noexcept {
    auto* p = dynamic_cast<THeadlessPeer*>(control != nullptr ? control->Peer() : nullptr);
    return p != nullptr ? p->paintCount_ : 0;
}

bool THeadlessHost::PaintPending(const TControl* control) const noexcept {
    auto* p = dynamic_cast<THeadlessPeer*>(control != nullptr ? control->Peer() : nullptr);
    return p != nullptr && p->pending_;
}

TCursor THeadlessHost::EffectiveCursor() const noexcept {
    if (Screen()->Cursor() != crDefault) return Screen()->Cursor();
    for (const TControl* c = hover_.Get(); c != nullptr; c = c->Parent())
        if (c->Cursor() != crDefault) return c->Cursor();
    return crDefault;
}

TControl* THeadlessHost::CaptureControl() const noexcept { return capture_.Get(); }
TControl* THeadlessHost::HoverControl() const noexcept { return hover_.Get(); }

// ---- routing ------------------------------------------------------------------------

TControl* THeadlessHost::Target(TForm* form, Integer x, Integer y) const noexcept {
    if (form == nullptr || !form->HandleAllocated()) return nullptr;
    if (x < 0 || y < 0 || x >= form->ClientWidth() || y >= form->ClientHeight()) return nullptr;
    TControl* hit = form;
    TPoint p{x, y};
    while (auto* w = dynamic_cast<TWinControl*>(hit)) {
        TControl* child = w->ControlAtPos(p);
        if (child == nullptr) break;
        p.X -= child->Left();
        p.Y -= child->Top();
        hit = child;
    }
    return hit;
}

TPoint THeadlessHost::ToClient(TForm*, TControl* c, Integer x, Integer y) const noexcept {
    const TPoint origin = c->ClientToForm(Point(0, 0));
    return Point(x - origin.X, y - origin.Y);
}

TShiftState THeadlessHost::Held(TShiftState keys) const noexcept {
    return (keys - TShiftState{ssLeft, ssRight, ssMiddle, ssDouble}) + buttons_;
}

namespace {
TShiftStateItem ButtonState(TMouseButton b) {
    return b == mbLeft ? ssLeft : b == mbRight ? ssRight : ssMiddle;
}
}  // namespace

void THeadlessHost::UpdateHover(TForm* form, Integer x, Integer y) {
    TControl* now = Target(form, x, y);
    TControl* was = hover_.Get();
    if (now == was) return;
    hover_.Set(now);
    if (was != nullptr) was->HostMouseLeave();
    // The leave handler may have destroyed the new control.
    if (TControl* c = hover_.Get()) c->HostMouseEnter();
}

void THeadlessHost::MouseDown(TForm* form, TMouseButton button, Integer x, Integer y, TShiftState keys) {
    if (!capture_.Get()) UpdateHover(form, x, y);
    TControl* target = capture_.Get();
    if (target == nullptr) target = Target(form, x, y);
    if (target == nullptr) return;
    buttons_.Include(ButtonState(button));
    capture_.Set(target);
    const TPoint p = ToClient(form, target, x, y);
    if (auto* bar = dynamic_cast<TScrollBar*>(target)) {
        if (button == mbLeft) ScrollBarDown(bar, p);
        return;
    }
    target->HostMouseDown(button, Held(keys), p.X, p.Y);
}

void THeadlessHost::DblClick(TForm* form, TMouseButton button, Integer x, Integer y, TShiftState keys) {
    if (!capture_.Get()) UpdateHover(form, x, y);
    TControl* target = capture_.Get();
    if (target == nullptr) target = Target(form, x, y);
    if (target == nullptr) return;
    buttons_.Include(ButtonState(button));
    capture_.Set(target);
    const TPoint p = ToClient(form, target, x, y);
    if (auto* bar = dynamic_cast<TScrollBar*>(target)) {
        // A native scroll bar takes the second press as one more press.
        if (button == mbLeft) ScrollBarDown(bar, p);
        return;
    }
    target->HostDblClick(button, Held(keys), p.X, p.Y);
}

void THeadlessHost::MouseUp(TForm* form, TMouseButton button, Integer x, Integer y, TShiftState keys) {
    TControl* target = capture_.Get();
    if (target == nullptr) target = Target(form, x, y);
    buttons_.Exclude(ButtonState(button));
    if (buttons_.Empty()) capture_.Set(nullptr);
    if (target != nullptr) {
        const TPoint p = ToClient(form, target, x, y);
        if (auto* bar = dynamic_cast<TScrollBar*>(target)) {
            if (button == mbLeft) ScrollBarUp(bar);
        } else {
            target->HostMouseUp(button, Held(keys), p.X, p.Y);
        }
    }
    if (buttons_.Empty()) UpdateHover(form, x, y);
}

void THeadlessHost::MouseMove(TForm* form, Integer x, Integer y, TShiftState keys) {
    TControl* target = capture_.Get();
    if (target == nullptr) {
        UpdateHover(form, x, y);
        target = hover_.Get();
    }
    if (target == nullptr) return;
    const TPoint p = ToClient(form, target, x, y);
    if (auto* bar = dynamic_cast<TScrollBar*>(target)) {
        if (thumbDrag_) ScrollBarMove(bar, p);
        return;
    }
    target->HostMouseMove(Held(keys), p.X, p.Y);
}

void THeadlessHost::Click(TForm* form, TMouseButton button, Integer x, Integer y, TShiftState keys) {
    MouseDown(form, button, x, y, keys);
    MouseUp(form, button, x, y, keys);
}

void THeadlessHost::DoubleClick(TForm* form, TMouseButton button, Integer x, Integer y, TShiftState keys) {
    MouseDown(form, button, x, y, keys);
    MouseUp(form, button, x, y, keys);
    DblClick(form, button, x, y, keys);
    MouseUp(form, button, x, y, keys);
}

bool THeadlessHost::Wheel(TForm* form, Integer delta, Integer x, Integer y, TShiftState keys) {
    TControl* target = capture_.Get();
    if (target == nullptr) target = Target(form, x, y);
    if (target == nullptr) return false;
    const TPoint p = ToClient(form, target, x, y);
    if (auto* bar = dynamic_cast<TScrollBar*>(target)) {
        // One line per notch, as native scroll bars do.
        const int notches = std::max(1, std::abs(delta) / WHEEL_DELTA);
        for (int i = 0; i < notches; ++i) bar->HostScroll(delta > 0 ? scLineUp : scLineDown);
        bar->HostScroll(scEndScroll);
        return true;
    }
    return target->HostMouseWheel(Held(keys), delta, p.X, p.Y);
}

void THeadlessHost::MouseExit(TForm*) {
    if (capture_.Get()) return;
    if (TControl* was = hover_.Get()) {
        hover_.Set(nullptr);
        was->HostMouseLeave();
    }
}

bool THeadlessHost::ChooseMenu(TForm* form, std::string_view path) {
    if (form == nullptr || form->Menu() == nullptr) return false;
    TMenuItem* item = form->Menu()->FindItemByPath(path);
    if (item == nullptr || !item->Enabled() || !item->Visible()) return false;
    item->Click();
    return true;
}

void THeadlessHost::CloseWindow(TForm* form) {
    if (form != nullptr) form->HostCloseRequest();
}

// ---- scroll bars --------------------------------------------------------------------

namespace {
bool Inside(const TRect& r, TPoint p) {
    return p.X >= r.Left && p.Y >= r.Top && p.X < r.Right && p.Y < r.Bottom;
}
}  // namespace

bool THeadlessHost::ScrollBarDown(TScrollBar* bar, TPoint p) {
    const TScrollBar::TGeometry g = bar->Geometry();
    const bool horz = bar->Kind() == sbHorizontal;
    const Integer along = horz ? p.X : p.Y;
    scrollActive_ = true;
    thumbDrag_ = false;
    if (Inside(g.ArrowLow, p)) {
        bar->HostScroll(scLineUp);
    } else if (Inside(g.ArrowHigh, p)) {
        bar->HostScroll(scLineDown);
    } else if (Inside(g.Thumb, p)) {
        thumbDrag_ = true;
        thumbGrab_ = along - (horz ? g.Thumb.Left : g.Thumb.Top);
    } else if (Inside(g.Track, p)) {
        bar->HostScroll(along < (horz ? g.Thumb.Left : g.Thumb.Top) ? scPageUp : scPageDown);
    } else {
        scrollActive_ = false;
    }
    return scrollActive_;
}

void THeadlessHost::ScrollBarMove(TScrollBar* bar, TPoint p) {
    const TScrollBar::TGeometry g = bar->Geometry();
    const bool horz = bar->Kind() == sbHorizontal;
    const Integer trackStart = horz ? g.Track.Left : g.Track.Top;
    const Integer room = (horz ? g.Track.Width() - g.Thumb.Width() : g.Track.Height() - g.Thumb.Height());
    const Int64 range = Int64{bar->MaxPosition()} - bar->Min();
    if (room <= 0 || range <= 0) return;
    const Int64 offset = std::clamp<Int64>((horz ? p.X : p.Y) - thumbGrab_ - trackStart, 0, room);
    const Integer pos = static_cast<Integer>(bar->Min() + Round(static_cast<Extended>(offset) * range / room));
    bar->HostScroll(scTrack, pos);
}

void THeadlessHost::ScrollBarUp(TScrollBar* bar) {
    if (!scrollActive_) return;
    if (thumbDrag_) bar->HostScroll(scPosition, bar->Position());
    bar->HostScroll(scEndScroll);
    thumbDrag_ = false;
    scrollActive_ = false;
}

// ---- pixels -------------------------------------------------------------------------

TSurface THeadlessHost::SurfaceOf(const TControl* control) const noexcept {
    auto* p = dynamic_cast<THeadlessPeer*>(control != nullptr ? control->Peer() : nullptr);
    return p != nullptr ? p->Surface() : TSurface{};
}

namespace {

void BlitSurface(TBitmap& dest, const TSurface& s, Integer x, Integer y, const TRect& clip) {
    const Integer l = std::max(x, clip.Left), t = std::max(y, clip.Top);
    const Integer r = std::min<Int64>(Int64{x} + s.Width, clip.Right), b = std::min<Int64>(Int64{y} + s.Height, clip.Bottom);
    if (l >= r || t >= b) return;
    for (Integer row = t; row < b; ++row)
        std::memcpy(dest.ScanLine(row) + l, s.Bits + std::size_t(row - y) * std::size_t(s.Stride) + (l - x),
                    std::size_t(r - l) * sizeof(std::uint32_t));
}

void DrawArrow(TCanvas* c, const TRect& r, bool horz, bool low) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->Pen()->SetColor(clBtnShadow);
    c->Rectangle(r);
    const Integer cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
    const Integer s = std::max<Integer>(2, std::min(r.Width(), r.Height()) / 4);
    TPoint tri[3];
    if (horz) {
        const Integer d = low ? -1 : 1;
        tri[0] = Point(cx + d * s, cy);
        tri[1] = Point(cx - d * s, cy - s);
        tri[2] = Point(cx - d * s, cy + s);
    } else {
        const Integer d = low ? -1 : 1;
        tri[0] = Point(cx, cy + d * s);
        tri[1] = Point(cx - s, cy - d * s);
        tri[2] = Point(cx + s, cy - d * s);
    }
    c->Brush()->SetColor(clBtnText);
    c->Pen()->SetColor(clBtnText);
    c->Polygon(tri);
}

void DrawScrollBar(TCanvas* c, const TScrollBar* bar, Integer x, Integer y) {
    TScrollBar::TGeometry g = bar->Geometry();
    auto shift = [&](TRect r) { return Rect(r.Left + x, r.Top + y, r.Right + x, r.Bottom + y); };
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetMode(pmCopy);
    c->Pen()->SetWidth(1);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clScrollBar);
    c->FillRect(shift(Rect(0, 0, bar->Width(), bar->Height())));
    const bool horz = bar->Kind() == sbHorizontal;
    DrawArrow(c, shift(g.ArrowLow), horz, true);
    DrawArrow(c, shift(g.ArrowHigh), horz, false);
    if (g.Thumb.Width() > 0 && g.Thumb.Height() > 0) {
        c->Brush()->SetColor(clBtnFace);
        c->Pen()->SetColor(clBtnShadow);
        c->Rectangle(shift(g.Thumb));
    }
}

void ComposeChildren(TBitmap& bmp, const TWinControl* parent, Integer ox, Integer oy, const TRect& clip) {
    TCanvas* c = bmp.Canvas();
    for (int i = 0; i < parent->ControlCount(); ++i) {
        const TControl* ctl = parent->Controls(i);
        if (!ctl->Visible()) continue;
        const Integer x = ox + ctl->Left(), y = oy + ctl->Top();
        const TRect r = Rect(std::max(x, clip.Left), std::max(y, clip.Top),
                             std::min<Int64>(Int64{x} + ctl->Width(), clip.Right),
                             std::min<Int64>(Int64{y} + ctl->Height(), clip.Bottom));
        if (r.Left >= r.Right || r.Top >= r.Bottom) continue;
        c->SetClipRect(r);
        if (auto* bar = dynamic_cast<const TScrollBar*>(ctl)) {
            DrawScrollBar(c, bar, x, y);
        } else if (auto* label = dynamic_cast<const TLabel*>(ctl)) {
            label->DrawTo(c, x, y);
        } else if (auto* w = dynamic_cast<const TWinControl*>(ctl)) {
            TSurface s = ctl->Peer() != nullptr ? ctl->Peer()->Surface() : TSurface{};
            if (s.Bits != nullptr) {
                BlitSurface(bmp, s, x, y, r);
            } else {
                c->Brush()->SetStyle(bsSolid);
                c->Brush()->SetColor(ctl->Color());
                c->FillRect(r);
            }
            ComposeChildren(bmp, w, x, y, r);
        }
        c->SetClipRect(clip);
    }
}

}  // namespace

std::unique_ptr<TBitmap> THeadlessHost::ComposeForm(const TForm* form) const {
    auto bmp = std::make_unique<TBitmap>();
    if (form == nullptr) return bmp;
    bmp->SetSize(form->ClientWidth(), form->ClientHeight());
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(form->Color());
    const TRect all = Rect(0, 0, bmp->Width(), bmp->Height());
    c->FillRect(all);
    c->SetClipRect(all);
    ComposeChildren(*bmp, form, 0, 0, all);
    c->ResetClipRect();
    return bmp;
}

}  // namespace kvb

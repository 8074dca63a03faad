// The headless host: windows are in-memory surfaces, input is injected by tests and routed as
// the window system would route it, message boxes are recorded, and a whole form can be
// composed into one bitmap.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "platform/controls/Controls.h"

namespace kvb {

class THeadlessPeer;

class THeadlessHost : public THost {
public:
    // Installs itself as the application's host (and starts a fresh application state).
    THeadlessHost();
    // Frees the forms the application owns, drops every peer and uninstalls itself.
    ~THeadlessHost() override;
    THeadlessHost(const THeadlessHost&) = delete;
    THeadlessHost& operator=(const THeadlessHost&) = delete;

    // ---- THost ----------------------------------------------------------------------
    std::unique_ptr<TControlPeer> CreatePeer(TControl* control) override;
    // There is no outside input: the loop handles what is pending and returns once idle or
    // when Quit was called.
    void Run() override;
    void Quit() override;
    // Paints every control whose paint is pending, in the order they were invalidated.
    // Invalidate during a paint schedules another round; paints settle after a few rounds.
    void ProcessMessages() override;
    // Recorded; answers SetMessageAnswer's result, or that of the first button.
    Integer MessageBox(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override;
    void ShowException(const std::string& text) override;
    void ScreenCursorChanged(TCursor cursor) override;
    Integer PixelsPerInch() override { return pixelsPerInch_; }
    // The installed host's value is the screen's at once (Screen, GetDeviceCaps); forms and
    // fonts made earlier keep the value they were made with.
    void SetPixelsPerInch(Integer value) noexcept;

    // ---- what happened --------------------------------------------------------------
    const std::vector<TMessageRecord>& Messages() const noexcept { return messages_; }
    void ClearMessages() noexcept { messages_.clear(); }
    // The modal result the next message boxes answer; mrNone restores the default.
    void SetMessageAnswer(Integer result) noexcept { answer_ = result; }
    int QuitCount() const noexcept { return quitCount_; }
    bool IsShown(const TForm* form) const noexcept;
    // How often a control was painted since its window was made.
    int PaintCount(const TControl* control) const noexcept;
    bool PaintPending(const TControl* control) const noexcept;
    // The cursor the pointer shows now: the screen's, or else that of the control under
    // the pointer (or of its nearest parent that sets one).
    TCursor EffectiveCursor() const noexcept;
    // The control that receives mouse input while a button is held, or nullptr.
    TControl* CaptureControl() const noexcept;
    // The control the pointer is over (the last one that was told of the entry), or nullptr.
    TControl* HoverControl() const noexcept;

    // ---- input, in the form's client coordinates ------------------------------------
    // Keys are ssShift, ssAlt, ssCtrl; the host adds the buttons held, as the platform does.
    void MouseDown(TForm* form, TMouseButton button, Integer x, Integer y, TShiftState keys = {});
    void MouseUp(TForm* form, TMouseButton button, Integer x, Integer y, TShiftState keys = {});
    void MouseMove(TForm* form, Integer x, Integer y, TShiftState keys = {});
    // The button-down that completes a double click.
    void DblClick(TForm* form, TMouseButton button, Integer x, Integer y, TShiftState keys = {});
    // Down and up.
    void Click(TForm* form, TMouseButton button, Integer x, Integer y, TShiftState keys = {});
    // Down, up, double click, up: the platform's order.
    void DoubleClick(TForm* form, TMouseButton button, Integer x, Integer y, TShiftState keys = {});
    // Answers whether a handler took it.
    bool Wheel(TForm* form, Integer delta, Integer x, Integer y, TShiftState keys = {});
    // The pointer leaves the window.
    void MouseExit(TForm* form);
    // Chooses a menu entry by its captions without '&' ("File|Exit"); false when there is
    // no such enabled entry.
    bool ChooseMenu(TForm* form, std::string_view path);
    // The user closes the window.
    void CloseWindow(TForm* form);

    // ---- pixels ---------------------------------------------------------------------
    // A windowed control's surface (empty when it has no window).
    TSurface SurfaceOf(const TControl* control) const noexcept;
    // The form's client area as one picture: the form's colour, custom controls' surfaces,
    // scroll bars and labels drawn plainly, in their stacking order.
    std::unique_ptr<TBitmap> ComposeForm(const TForm* form) const;

private:
    friend class THeadlessPeer;
    struct TTracked {
        TControl* Control = nullptr;
        std::shared_ptr<const bool> Alive;
        TControl* Get() const noexcept { return Control != nullptr && Alive && *Alive ? Control : nullptr; }
        void Set(TControl* c) { Control = c; Alive = c != nullptr ? c->AliveFlag() : nullptr; }
    };
    TControl* Target(TForm* form, Integer x, Integer y) const noexcept;
    TPoint ToClient(TForm* form, TControl* c, Integer x, Integer y) const noexcept;
    void UpdateHover(TForm* form, Integer x, Integer y);
    TShiftState Held(TShiftState keys) const noexcept;
    bool ScrollBarDown(TScrollBar* bar, TPoint p);
    void ScrollBarMove(TScrollBar* bar, TPoint p);
    void ScrollBarUp(TScrollBar* bar);
    void Unpend(THeadlessPeer* peer) noexcept;

    std::vector<THeadlessPeer*> peers_;
    std::vector<THeadlessPeer*> pending_;
    std::vector<TMessageRecord> messages_;
    Integer answer_ = mrNone;
    Integer pixelsPerInch_ = 96;
    int quitCount_ = 0;
    bool quit_ = false;
    TShiftState buttons_;
    TTracked capture_, hover_;
    bool thumbDrag_ = false;
    Integer thumbGrab_ = 0;
    bool scrollActive_ = false;
};

}  // namespace kvb

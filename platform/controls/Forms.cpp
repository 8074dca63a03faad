// TForm, TApplication, TScreen with its cursor table, and message boxes.
#include <algorithm>
#include <cstdio>
#include <map>

#include "platform/classes/Layout.h"
#include "platform/controls/ControlsInternal.h"

namespace kvb {

namespace {
std::vector<TForm*>& FormList() {
    static std::vector<TForm*> list;
    return list;
}

Integer MulDiv(Integer value, Integer m, Integer d) {
    return static_cast<Integer>(Round(static_cast<Extended>(value) * m / d));
}
}  // namespace

const std::vector<TForm*>& AllForms() noexcept { return FormList(); }

// ---------------------------------------------------------------------------------------

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
    TControl::SetVisible(false);
    SetColor(clBtnFace);
    SetBounds(0, 0, 320, 240);
    FormList().push_back(this);
}

TForm::~TForm() {
    Destroying();
    if (menu_ != nullptr) menu_->RemoveChangeListener(this);
    auto& list = FormList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    // The owned components (controls, menus) go while the form is still whole, the native
    // children before the native window.
    DestroyComponents();
    DestroyPeer();
}

void TForm::SetBorderStyle(TFormBorderStyle value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    PeerPropertiesChanged();
}

void TForm::SetMenu(TMainMenu* value) {
    if (value == menu_) return;
    if (menu_ != nullptr) {
        menu_->RemoveChangeListener(this);
        menu_->RemoveFreeNotification(this);
    }
    menu_ = value;
    if (menu_ != nullptr) {
        menu_->FreeNotification(this);
        menu_->AddChangeListener(this, [this] { MenuChanged(); });
    }
    MenuChanged();
}

void TForm::MenuChanged() {
    if (ComponentState().Contains(csDestroying)) return;
    PeerPropertiesChanged();
}

void TForm::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == menu_) {
        menu_ = nullptr;
        MenuChanged();
    }
}

void TForm::SetVisible(bool value) {
    const TComponentState state = ComponentState();
    if (state.Contains(csLoading) || state.Contains(csDesigning) || state.Contains(csDestroying)) {
        TControl::SetVisible(value);
        return;
    }
    if (value) {
        if (Visible() && HandleAllocated()) return;
        Application()->RequireHost();
        TControl::SetVisible(true);
        CreatePeer();
        std::shared_ptr<const bool> alive = AliveFlag();
        DoShow();
        if (!*alive || !Visible()) return;
        if (Peer() != nullptr) Peer()->Show();
    } else {
        if (!Visible()) return;
        TControl::SetVisible(false);
        if (onHide_) {
            TNotifyEvent h = onHide_;
            Dispatch([&] { h(this); });
        }
        if (Peer() != nullptr) Peer()->Hide();
    }
}

void TForm::DoShow() {
    if (!onShow_) return;
    TNotifyEvent h = onShow_;
    Dispatch([&] { h(this); });
}

void TForm::DoCreate() {
    if (!onCreate_) return;
    TNotifyEvent h = onCreate_;
    Dispatch([&] { h(this); });
}

void TForm::Close() {
    bool canClose = true;
    if (onCloseQuery_) {
        TCloseQueryEvent h = onCloseQuery_;
        h(this, canClose);
    }
    if (!canClose) return;
    TCloseAction action = caHide;
    if (onClose_) {
        TCloseEvent h = onClose_;
        h(this, action);
    }
    if (action == caNone) return;
    if (Application()->MainForm() == this) {
        Application()->Terminate();
    } else if (action == caFree) {
        Release();
    } else {
        Hide();
    }
}

void TForm::HostCloseRequest() {
    Dispatch([&] { Close(); });
}

void TForm::LoadLayout(std::string_view text) { LoadLayout(text, TLayoutOptions{}); }

void TForm::LoadLayout(std::string_view text, const TLayoutOptions& options) {
    ReadLayout(text, this, options);
    DoCreate();
}

void TForm::Loaded() {
    TWinControl::Loaded();
    const Integer screenPpi = Screen()->PixelsPerInch();
    if (scaled_ && pixelsPerInch_ != screenPpi) {
        ScaleBy(screenPpi, pixelsPerInch_);
        pixelsPerInch_ = screenPpi;
    }
}

void TForm::ScaleBy(Integer M, Integer D) {
    if (M <= 0 || D <= 0 || M == D) return;
    // Fonts that follow their parent's change with it.
    std::function<void(TWinControl*)> scale = [&](TWinControl* w) {
        for (int i = 0; i < w->ControlCount(); ++i) {
            TControl* child = w->Controls(i);
            if (!child->ParentFont()) child->Font()->SetHeight(MulDiv(child->Font()->Height(), M, D));
            child->SetBounds(MulDiv(child->Left(), M, D), MulDiv(child->Top(), M, D),
                             MulDiv(child->Width(), M, D), MulDiv(child->Height(), M, D));
            if (auto* cw = dynamic_cast<TWinControl*>(child)) scale(cw);
        }
    };
    Font()->SetHeight(MulDiv(Font()->Height(), M, D));
    SetBounds(Left(), Top(), MulDiv(Width(), M, D), MulDiv(Height(), M, D));
    scale(this);
}

// ---------------------------------------------------------------------------------------

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() {
    Destroying();
    DestroyComponents();
}

THost& TApplication::RequireHost() const {
    if (host_ == nullptr) throw EInvalidOperation("No window host is installed");
    return *host_;
}

void TApplication::SetHost(THost* host) noexcept {
    if (host == host_) return;
    if (host_ != nullptr) DropAllPeers();
    host_ = host;
    if (host_ != nullptr) SetScreenPixelsPerInch(host_->PixelsPerInch());
}

void TApplication::Initialize() { terminated_ = false; }

void TApplication::SetMainForm(TForm* form) {
    if (form == mainForm_) return;
    if (mainForm_ != nullptr) mainForm_->RemoveFreeNotification(this);
    mainForm_ = form;
    if (mainForm_ != nullptr) mainForm_->FreeNotification(this);
}

void TApplication::Run() {
    if (terminated_) return;
    THost& host = RequireHost();
    if (mainForm_ != nullptr && !mainForm_->Visible()) {
        TForm* form = mainForm_;
        DispatchEvent(form, [&] { form->Show(); });
    }
    if (terminated_) return;
    host.Run();
}

void TApplication::Terminate() {
    terminated_ = true;
    if (host_ != nullptr) host_->Quit();
}

void TApplication::ProcessMessages() {
    if (host_ != nullptr) host_->ProcessMessages();
    if (!InOuterDispatch()) FreeReleased();
}

void TApplication::HandleException(TObject* Sender, const std::exception& E) {
    try {
        if (onException_) {
            TExceptionEvent h = onException_;
            h(Sender, E);
            return;
        }
        std::string msg = E.what();
        // The platform ends the shown message with a full stop.
        if (!msg.empty() && static_cast<unsigned char>(msg.back()) > '.') msg += '.';
        if (host_ != nullptr)
            host_->ShowException(msg);
        else
            std::fprintf(stderr, "%s\n", msg.c_str());
    } catch (...) {
        // Nothing may escape towards the window system; a failing error report is dropped.
    }
}

void TApplication::HandleUnknownException(TObject* Sender) {
    const Exception e("Unknown exception");
    HandleException(Sender, e);
}

void TApplication::ReleaseLater(TComponent* component) {
    if (component == nullptr) return;
    if (std::find(released_.begin(), released_.end(), component) != released_.end()) return;
    released_.push_back(component);
    component->FreeNotification(this);
}

void TApplication::FreeReleased() {
    while (!released_.empty() && !InOuterDispatch()) {
        TComponent* c = released_.front();
        released_.erase(released_.begin());
        RemoveFreeNotification(c);
        delete c;
    }
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    released_.erase(std::remove(released_.begin(), released_.end(), AComponent), released_.end());
    if (AComponent == mainForm_) mainForm_ = nullptr;
}

TApplication* Application() {
    // Never destroyed: the hosts free the forms while the window system still exists, and
    // nothing may run in static destruction after fonts and caches are gone.
    static TApplication* app = new TApplication(nullptr);
    return app;
}

// ---------------------------------------------------------------------------------------

void TCursorImage::Validate() const {
    if (Width != Size || Height != Size)
        throw EInvalidGraphic("Cursor image must be 32 x 32 pixels, not " + std::to_string(Width) +
                              " x " + std::to_string(Height));
    if (Pixels.size() != std::size_t(Size) * Size)
        throw EInvalidGraphic("Cursor image must hold 1024 pixels, not " + std::to_string(Pixels.size()));
    if (HotX < 0 || HotY < 0 || HotX >= Size || HotY >= Size)
        throw EInvalidGraphic("Cursor hot spot (" + std::to_string(HotX) + ", " + std::to_string(HotY) +
                              ") lies outside the 32 x 32 image");
}

TCursorImage TCursorImage::FromText(const std::vector<std::string>& rows, Integer hotX, Integer hotY) {
    TCursorImage img;
    img.Height = static_cast<Integer>(rows.size());
    img.Width = rows.empty() ? 0 : static_cast<Integer>(rows.front().size());
    for (const std::string& r : rows)
        if (static_cast<Integer>(r.size()) != img.Width)
            throw EInvalidGraphic("Cursor image rows must all be 32 characters long");
    img.HotX = hotX;
    img.HotY = hotY;
    if (img.Width != Size || img.Height != Size) img.Validate();
    img.Pixels.reserve(std::size_t(Size) * Size);
    for (const std::string& r : rows)
        for (char ch : r) {
            switch (ch) {
                case '.': case ' ': img.Pixels.push_back(Transparent); break;
                case '#': case 'X': img.Pixels.push_back(Black); break;
                case 'o': case 'O': img.Pixels.push_back(White); break;
                case '~': img.Pixels.push_back(Inverted); break;
                default:
                    throw EInvalidGraphic(std::string("Cursor image has an unknown pixel character '") + ch + "'");
            }
        }
    img.Validate();
    return img;
}

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}
TScreen::~TScreen() = default;

void TScreen::SetCursor(TCursor value) {
    if (value == cursor_) return;
    cursor_ = value;
    if (THost* h = Application()->Host()) h->ScreenCursorChanged(value);
}

void TScreen::SetCursors(TCursor index, const TCursorImage& image) {
    if (index <= 0)
        throw EInvalidOperation("Cursor number " + std::to_string(index) + " belongs to a built-in cursor");
    image.Validate();
    auto it = std::find_if(cursors_.begin(), cursors_.end(), [&](const auto& c) { return c.first == index; });
    if (it != cursors_.end())
        it->second = image;
    else
        cursors_.emplace_back(index, image);
    ++cursorGeneration_;
    if (cursor_ == index)
        if (THost* h = Application()->Host()) h->ScreenCursorChanged(cursor_);
}

const TCursorImage* TScreen::CursorImage(TCursor index) const noexcept {
    for (const auto& c : cursors_)
        if (c.first == index) return &c.second;
    return nullptr;
}

bool TScreen::HasCursor(TCursor index) const noexcept {
    return (index <= crDefault && index >= crSizeAll) || CursorImage(index) != nullptr;
}

Integer TScreen::PixelsPerInch() const noexcept { return ScreenPixelsPerInch(); }

int TScreen::FormCount() const noexcept { return static_cast<int>(FormList().size()); }

TForm* TScreen::Forms(int index) const {
    if (index < 0 || index >= FormCount())
        throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
    return FormList()[static_cast<std::size_t>(index)];
}

TScreen* Screen() {
    static TScreen* screen = new TScreen(nullptr);
    return screen;
}

// ---------------------------------------------------------------------------------------

namespace {
std::map<std::string, TCursorImage>& CursorResources() {
    static std::map<std::string, TCursorImage> table;
    return table;
}

Integer ResultOf(TMsgDlgBtn b) {
    switch (b) {
        case mbYes: return mrYes;
        case mbNo: return mrNo;
        case mbOK: return mrOk;
        case mbCancel: return mrCancel;
        case mbAbort: return mrAbort;
        case mbRetry: return mrRetry;
        case mbIgnore: return mrIgnore;
        case mbAll: return mrAll;
        case mbNoToAll: return mrNoToAll;
        case mbYesToAll: return mrYesToAll;
        case mbHelp: return mrNone;
    }
    return mrNone;
}
}  // namespace

Integer DefaultMessageResult(TMsgDlgButtons buttons) {
    for (int b = mbYes; b <= mbHelp; ++b)
        if (buttons.Contains(static_cast<TMsgDlgBtn>(b))) return ResultOf(static_cast<TMsgDlgBtn>(b));
    return mrOk;
}

Integer MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer) {
    if (Buttons.Empty()) Buttons = {mbOK};
    if (THost* h = Application()->Host()) return h->MessageBox(Msg, DlgType, Buttons);
    std::fprintf(stderr, "%s\n", Msg.c_str());
    return DefaultMessageResult(Buttons);
}

void ShowMessage(const std::string& Msg) { MessageDlg(Msg, mtCustom, {mbOK}, 0); }

void RegisterCursorResource(const std::string& name, const TCursorImage& image) {
    image.Validate();
    CursorResources()[name] = image;
}

const TCursorImage& LoadCursorResource(const std::string& name) {
    auto it = CursorResources().find(name);
    if (it == CursorResources().end()) throw EInvalidOperation("Cursor resource " + name + " not found");
    return it->second;
}

}  // namespace kvb

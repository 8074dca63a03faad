// The Qt 6 host. Each peer owns one widget; widgets call back into the framework only through
// the host-side entry points of the controls, which catch every exception, so nothing the
// framework throws reaches Qt.
#include "platform/hosts/qt/QtHost.h"

#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QEnterEvent>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <map>

#include "platform/controls/ControlsInternal.h"

namespace kvb {

struct TQtHost::TImpl {
    std::unique_ptr<QApplication> app;
    std::vector<QWidget*> surfaces;  // every custom control's widget, for PresentAll
    std::function<void()> onFirstPresent;
    bool firstPresented = false;
    bool overrideCursor = false;
    std::map<TCursor, QCursor> customCursors;
    Integer cursorGeneration = -1;
    std::deque<std::string> pendingErrors;
    bool showingError = false;
};

namespace {

TQtHost* gHost = nullptr;
TQtHost::TImpl* gImpl = nullptr;
// Depth of Qt events being forwarded into the framework; a widget whose control goes away
// inside one is deleted later, never under its own event handler.
int gEventDepth = 0;

// Forwards one Qt event into the framework, then lets drawing done outside Paint show.
template <class F>
void Forward(F&& f) {
    ++gEventDepth;
    f();
    --gEventDepth;
    if (gEventDepth == 0 && gHost != nullptr) gHost->PresentAll();
}

void DisposeWidget(QWidget* w) {
    if (w == nullptr) return;
    if (gEventDepth > 0) {
        w->hide();
        w->deleteLater();
    } else {
        delete w;
    }
}

QColor ToQColor(TColor c) {
    const std::uint32_t px = ColorToPixel(c);
    return QColor::fromRgb(px & 0xFFFFFFu);
}

TShiftState Keys(Qt::KeyboardModifiers m) {
    TShiftState s;
    if (m & Qt::ShiftModifier) s.Include(ssShift);
    if (m & Qt::ControlModifier) s.Include(ssCtrl);
    if (m & Qt::AltModifier) s.Include(ssAlt);
    return s;
}

TShiftState Shift(Qt::KeyboardModifiers m, Qt::MouseButtons b) {
    TShiftState s = Keys(m);
    if (b & Qt::LeftButton) s.Include(ssLeft);
    if (b & Qt::RightButton) s.Include(ssRight);
    if (b & Qt::MiddleButton) s.Include(ssMiddle);
    return s;
}

bool Button(Qt::MouseButton qb, TMouseButton& b) {
    switch (qb) {
        case Qt::LeftButton: b = mbLeft; return true;
        case Qt::RightButton: b = mbRight; return true;
        case Qt::MiddleButton: b = mbMiddle; return true;
        default: return false;
    }
}

QCursor CustomCursor(TCursor c) {
    const TCursorImage* img = Screen()->CursorImage(c);
    if (img == nullptr) return QCursor(Qt::ArrowCursor);
    if (gImpl->cursorGeneration != Screen()->CursorGeneration()) {
        gImpl->customCursors.clear();
        gImpl->cursorGeneration = Screen()->CursorGeneration();
    }
    auto it = gImpl->customCursors.find(c);
    if (it != gImpl->customCursors.end()) return it->second;
    QImage bits(TCursorImage::Size, TCursorImage::Size, QImage::Format_Mono);
    QImage mask(TCursorImage::Size, TCursorImage::Size, QImage::Format_Mono);
    // A new mono image maps index 0 to black, which QBitmap::fromImage would invert; with
    // Qt's own bitmap colours (0 white, 1 black) a set index stays a set bit.
    for (QImage* image : {&bits, &mask}) {
        image->setColor(0, qRgb(255, 255, 255));
        image->setColor(1, qRgb(0, 0, 0));
        image->fill(0);
    }
    for (int y = 0; y < TCursorImage::Size; ++y)
        for (int x = 0; x < TCursorImage::Size; ++x) {
            // Qt's two bitmaps: black is set in both, white only in the mask; an inverting
            // pixel (set, unmasked) is shown where the window system supports it.
            switch (img->At(x, y)) {
                case TCursorImage::Black: bits.setPixel(x, y, 1); mask.setPixel(x, y, 1); break;
                case TCursorImage::White: mask.setPixel(x, y, 1); break;
                case TCursorImage::Inverted: bits.setPixel(x, y, 1); break;
                case TCursorImage::Transparent: break;
            }
        }
    QCursor cursor(QBitmap::fromImage(bits), QBitmap::fromImage(mask), img->HotX, img->HotY);
    gImpl->customCursors.emplace(c, cursor);
    return cursor;
}

QCursor ToQCursor(TCursor c) {
    switch (c) {
        case crDefault: case crArrow: return QCursor(Qt::ArrowCursor);
        case crNone: return QCursor(Qt::BlankCursor);
        case crCross: return QCursor(Qt::CrossCursor);
        case crIBeam: return QCursor(Qt::IBeamCursor);
        case crSizeNESW: return QCursor(Qt::SizeBDiagCursor);
        case crSizeNS: return QCursor(Qt::SizeVerCursor);
        case crSizeNWSE: return QCursor(Qt::SizeFDiagCursor);
        case crSizeWE: return QCursor(Qt::SizeHorCursor);
        case crUpArrow: return QCursor(Qt::UpArrowCursor);
        case crHourGlass: case crSQLWait: return QCursor(Qt::WaitCursor);
        case crDrag: return QCursor(Qt::DragMoveCursor);
        case crMultiDrag: return QCursor(Qt::DragCopyCursor);
        case crNoDrop: case crNo: return QCursor(Qt::ForbiddenCursor);
        case crHSplit: return QCursor(Qt::SplitHCursor);
        case crVSplit: return QCursor(Qt::SplitVCursor);
        case crAppStart: return QCursor(Qt::BusyCursor);
        case crHelp: return QCursor(Qt::WhatsThisCursor);
        case crHandPoint: return QCursor(Qt::PointingHandCursor);
        case crSizeAll: return QCursor(Qt::SizeAllCursor);
        default: return CustomCursor(c);
    }
}

QFont ToQFont(const TFont* f) {
    QFont q(QString::fromStdString(f->Name()));
    // Negative heights are character heights, positive ones cell heights; Qt's pixel size is
    // the character height, which is the closer match for both.
    q.setPixelSize(std::max<Integer>(1, std::abs(f->Height())));
    const TFontStyles s = f->Style();
    q.setBold(s.Contains(fsBold));
    q.setItalic(s.Contains(fsItalic));
    q.setUnderline(s.Contains(fsUnderline));
    q.setStrikeOut(s.Contains(fsStrikeOut));
    return q;
}

// ---------------------------------------------------------------------------------------
// Widgets that forward mouse input to a control.

template <class Base>
class TForwardingWidget : public Base {
public:
    template <class... A>
    explicit TForwardingWidget(TControl* control, A&&... args) : Base(std::forward<A>(args)...), control_(control) {
        this->setMouseTracking(true);
    }
    void Detach() noexcept { control_ = nullptr; }
    TControl* Control() const noexcept { return control_; }

protected:
    void mousePressEvent(QMouseEvent* e) override {
        TMouseButton b;
        if (control_ == nullptr || !Button(e->button(), b)) return;
        const QPoint p = e->position().toPoint();
        TControl* c = control_;
        Forward([&] { c->HostMouseDown(b, Shift(e->modifiers(), e->buttons()), p.x(), p.y()); });
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        TMouseButton b;
        if (control_ == nullptr || !Button(e->button(), b)) return;
        const QPoint p = e->position().toPoint();
        TControl* c = control_;
        Forward([&] { c->HostDblClick(b, Shift(e->modifiers(), e->buttons()), p.x(), p.y()); });
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        TMouseButton b;
        if (control_ == nullptr || !Button(e->button(), b)) return;
        const QPoint p = e->position().toPoint();
        TControl* c = control_;
        Forward([&] { c->HostMouseUp(b, Shift(e->modifiers(), e->buttons()), p.x(), p.y()); });
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (control_ == nullptr) return;
        const QPoint p = e->position().toPoint();
        TControl* c = control_;
        Forward([&] { c->HostMouseMove(Shift(e->modifiers(), e->buttons()), p.x(), p.y()); });
    }
    void enterEvent(QEnterEvent*) override {
        if (control_ == nullptr) return;
        TControl* c = control_;
        Forward([&] { c->HostMouseEnter(); });
    }
    void leaveEvent(QEvent*) override {
        if (control_ == nullptr) return;
        TControl* c = control_;
        Forward([&] { c->HostMouseLeave(); });
    }
    void wheelEvent(QWheelEvent* e) override {
        if (control_ == nullptr) return;
        const QPoint p = e->position().toPoint();
        const int delta = e->angleDelta().y();
        if (delta == 0) return;
        TControl* c = control_;
        bool handled = false;
        Forward([&] { handled = c->HostMouseWheel(Shift(e->modifiers(), e->buttons()), delta, p.x(), p.y()); });
        e->setAccepted(handled);
    }

    TControl* control_;
};

// A custom control's window: shows the surface it owns, painting it first when asked to.
class TSurfaceWidget : public TForwardingWidget<QWidget> {
public:
    TSurfaceWidget(TControl* control, QWidget* parent) : TForwardingWidget<QWidget>(control, parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        gImpl->surfaces.push_back(this);
    }
    ~TSurfaceWidget() override {
        auto& s = gImpl->surfaces;
        s.erase(std::remove(s.begin(), s.end(), this), s.end());
    }
    void Resize(int w, int h) {
        if (w == image_.width() && h == image_.height()) return;
        image_ = w > 0 && h > 0 ? QImage(w, h, QImage::Format_RGB32) : QImage();
        if (!image_.isNull()) image_.fill(Qt::white);
    }
    TSurface Surface() {
        if (image_.isNull()) return {};
        return TSurface{reinterpret_cast<std::uint32_t*>(image_.bits()), image_.width(), image_.height(),
                        static_cast<Integer>(image_.bytesPerLine() / 4)};
    }
    void NeedPaint() {
        needsPaint_ = true;
        update();
    }
    bool PaintPending() const noexcept { return needsPaint_; }
    void PaintNow() {
        if (needsPaint_) repaint();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (needsPaint_ && control_ != nullptr) {
            needsPaint_ = false;
            TControl* c = control_;
            ++gEventDepth;
            c->HostPaint();
            --gEventDepth;
        }
        QPainter p(this);
        // No smoothing: at a device pixel ratio of 2 every surface pixel becomes a sharp block.
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        if (!image_.isNull()) p.drawImage(QPoint(0, 0), image_);
        if (!gImpl->firstPresented) {
            gImpl->firstPresented = true;
            if (gImpl->onFirstPresent) gImpl->onFirstPresent();
        }
    }

private:
    QImage image_;
    bool needsPaint_ = true;
};

// The client area of a form: the form's colour, its controls, and the form's own mouse input.
class TClientArea : public TForwardingWidget<QWidget> {
public:
    TClientArea(TControl* control, QWidget* parent) : TForwardingWidget<QWidget>(control, parent) {
        setAutoFillBackground(true);
    }
};

class TFormWindow : public QWidget {
public:
    explicit TFormWindow(TForm* form) : form_(form) {
        client = new TClientArea(form, this);
    }
    void Detach() noexcept {
        form_ = nullptr;
        client->Detach();
    }
    TClientArea* client;
    QPointer<QMenuBar> menuBar;
    std::string menuSignature;

protected:
    void closeEvent(QCloseEvent* e) override {
        // The form decides: it hides itself, or ends the program when it is the main form.
        e->ignore();
        if (form_ == nullptr) return;
        TForm* f = form_;
        Forward([&] { f->HostCloseRequest(); });
    }

private:
    TForm* form_;
};

// ---------------------------------------------------------------------------------------
// Peers

class TQtPeer : public TControlPeer {
public:
    explicit TQtPeer(TControl* control) : control_(control) {}
    ~TQtPeer() override { DisposeWidget(widget_.data()); }
    // Where child controls' widgets go.
    virtual QWidget* Container() const { return widget_.data(); }
    static QWidget* ParentWidget(TControl* control) {
        TWinControl* p = control->Parent();
        auto* peer = p != nullptr ? dynamic_cast<TQtPeer*>(p->Peer()) : nullptr;
        return peer != nullptr ? peer->Container() : nullptr;
    }
    void BoundsChanged() override {
        if (widget_) widget_->setGeometry(control_->Left(), control_->Top(), control_->Width(), control_->Height());
    }
    void PropertiesChanged() override {
        if (!widget_) return;
        widget_->setVisible(control_->Visible());
        widget_->setEnabled(control_->Enabled());
    }
    void CursorChanged() override {
        if (widget_) widget_->setCursor(ToQCursor(control_->Cursor()));
    }

protected:
    void Adopt(QWidget* w) {
        widget_ = w;
        BoundsChanged();
        CursorChanged();
    }
    TControl* control_;
    QPointer<QWidget> widget_;
};

class TSurfacePeer : public TQtPeer {
public:
    explicit TSurfacePeer(TControl* control) : TQtPeer(control) {
        surface_ = new TSurfaceWidget(control, ParentWidget(control));
        Adopt(surface_);
        surface_->Resize(control->Width(), control->Height());
        PropertiesChanged();
    }
    ~TSurfacePeer() override {
        if (widget_) surface_->Detach();
    }
    void BoundsChanged() override {
        TQtPeer::BoundsChanged();
        if (widget_) surface_->Resize(control_->Width(), control_->Height());
    }
    void Invalidate() override {
        if (widget_) surface_->NeedPaint();
    }
    void Update() override {
        if (widget_) surface_->PaintNow();
    }
    TSurface Surface() override { return widget_ ? surface_->Surface() : TSurface{}; }

private:
    TSurfaceWidget* surface_;
};

class TPlainPeer : public TQtPeer {
public:
    explicit TPlainPeer(TControl* control) : TQtPeer(control) {
        auto* w = new TForwardingWidget<QWidget>(control, ParentWidget(control));
        w->setAutoFillBackground(true);
        Adopt(w);
        PropertiesChanged();
    }
    ~TPlainPeer() override {
        if (widget_) static_cast<TForwardingWidget<QWidget>*>(widget_.data())->Detach();
    }
    void PropertiesChanged() override {
        TQtPeer::PropertiesChanged();
        if (!widget_) return;
        QPalette pal = widget_->palette();
        pal.setColor(QPalette::Window, ToQColor(control_->Color()));
        widget_->setPalette(pal);
    }
};

class TLabelPeer : public TQtPeer {
public:
    explicit TLabelPeer(TLabel* label) : TQtPeer(label), label_(label) {
        auto* w = new TForwardingWidget<QLabel>(label, ParentWidget(label));
        w->setTextFormat(Qt::PlainText);
        Adopt(w);
        PropertiesChanged();
    }
    ~TLabelPeer() override {
        if (widget_) static_cast<TForwardingWidget<QLabel>*>(widget_.data())->Detach();
    }
    void PropertiesChanged() override {
        TQtPeer::PropertiesChanged();
        auto* w = static_cast<QLabel*>(widget_.data());
        if (w == nullptr) return;
        w->setText(QString::fromLatin1(label_->DisplayText().c_str()));
        Qt::Alignment a = Qt::AlignTop;
        a |= label_->Alignment() == taRightJustify ? Qt::AlignRight
             : label_->Alignment() == taCenter    ? Qt::AlignHCenter
                                                  : Qt::AlignLeft;
        w->setAlignment(a);
        w->setFont(ToQFont(label_->Font()));
        QPalette pal = w->palette();
        pal.setColor(QPalette::WindowText, ToQColor(label_->Font()->Color()));
        pal.setColor(QPalette::Window, ToQColor(label_->Color()));
        w->setPalette(pal);
        w->setAutoFillBackground(!label_->Transparent());
    }

private:
    TLabel* label_;
};

class TScrollBarPeer : public TQtPeer {
public:
    explicit TScrollBarPeer(TScrollBar* bar) : TQtPeer(bar), bar_(bar) {
        sb_ = new QScrollBar(ParentWidget(bar));
        Adopt(sb_);
        PropertiesChanged();
        // Every user action (arrow, page, thumb, keys, wheel) becomes one scroll of the
        // framework's bar, which fires OnChange once if the position moved. Qt then sets its
        // value from the slider position, which is made the framework's first; programmatic
        // changes reach Qt with signals blocked, so nothing is counted twice.
        QObject::connect(sb_, &QAbstractSlider::actionTriggered, sb_, [this](int action) {
            TScrollCode code;
            switch (action) {
                case QAbstractSlider::SliderSingleStepAdd: code = scLineDown; break;
                case QAbstractSlider::SliderSingleStepSub: code = scLineUp; break;
                case QAbstractSlider::SliderPageStepAdd: code = scPageDown; break;
                case QAbstractSlider::SliderPageStepSub: code = scPageUp; break;
                case QAbstractSlider::SliderToMinimum: code = scTop; break;
                case QAbstractSlider::SliderToMaximum: code = scBottom; break;
                case QAbstractSlider::SliderMove: code = scTrack; break;
                default: return;
            }
            const int target = sb_->sliderPosition();
            QPointer<QScrollBar> alive = sb_;
            std::shared_ptr<const bool> barAlive = bar_->AliveFlag();
            TScrollBar* bar = bar_;
            Forward([&] { bar->HostScroll(code, target); });
            if (alive && *barAlive) sb_->setSliderPosition(bar->Position());
        });
        QObject::connect(sb_, &QAbstractSlider::sliderReleased, sb_, [this] {
            TScrollBar* bar = bar_;
            std::shared_ptr<const bool> barAlive = bar->AliveFlag();
            Forward([&] {
                bar->HostScroll(scPosition, bar->Position());
                if (*barAlive) bar->HostScroll(scEndScroll);
            });
        });
    }
    void PropertiesChanged() override {
        TQtPeer::PropertiesChanged();
        if (!widget_) return;
        const QSignalBlocker block(sb_);
        sb_->setOrientation(bar_->Kind() == sbHorizontal ? Qt::Horizontal : Qt::Vertical);
        sb_->setRange(bar_->Min(), bar_->MaxPosition());
        sb_->setSingleStep(std::max<Integer>(1, bar_->SmallChange()));
        sb_->setPageStep(std::max<Integer>(1, bar_->LargeChange()));
        sb_->setValue(bar_->Position());
    }

private:
    TScrollBar* bar_;
    QScrollBar* sb_;
};

class TFormPeer : public TQtPeer {
public:
    explicit TFormPeer(TForm* form) : TQtPeer(form), form_(form) {
        window_ = new TFormWindow(form);
        widget_ = window_;
        PropertiesChanged();
        CursorChanged();
    }
    ~TFormPeer() override {
        if (widget_) window_->Detach();
    }
    QWidget* Container() const override { return widget_ ? window_->client : nullptr; }
    QWidget* Window() const { return widget_.data(); }

    void BoundsChanged() override { Layout(); }
    void PropertiesChanged() override {
        if (!widget_) return;
        window_->setWindowTitle(QString::fromLatin1(form_->Caption().c_str()));
        QPalette pal = window_->client->palette();
        pal.setColor(QPalette::Window, ToQColor(form_->Color()));
        window_->client->setPalette(pal);
        RebuildMenu();
        Layout();
    }
    void CursorChanged() override {
        if (widget_) window_->client->setCursor(ToQCursor(form_->Cursor()));
    }
    void Show() override {
        if (!widget_) return;
        Layout();
        window_->show();
    }
    void Hide() override {
        if (widget_) window_->hide();
    }

private:
    void Layout() {
        if (!widget_) return;
        const int w = form_->ClientWidth(), h = form_->ClientHeight();
        int menuH = 0;
        if (window_->menuBar) {
            menuH = window_->menuBar->heightForWidth(w);
            if (menuH < 0) menuH = window_->menuBar->sizeHint().height();
            window_->menuBar->setGeometry(0, 0, w, menuH);
        }
        window_->client->setGeometry(0, menuH, w, h);
        const bool sizeable = form_->BorderStyle() == bsSizeable || form_->BorderStyle() == bsSizeToolWin;
        if (sizeable) {
            window_->setMinimumSize(0, 0);
            window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            window_->resize(w, h + menuH);
        } else {
            window_->setFixedSize(w, h + menuH);
        }
        window_->move(form_->Left(), form_->Top());
    }

    static void Signature(const TMenuItem* item, std::string& out) {
        out += item->Caption();
        out += item->Enabled() ? '1' : '0';
        out += item->Visible() ? '1' : '0';
        out += item->Checked() ? '1' : '0';
        out += '(';
        for (int i = 0; i < item->Count(); ++i) Signature(item->Items(i), out);
        out += ')';
    }

    void AddItems(QWidget* parentMenu, const TMenuItem* item, std::vector<int> path) {
        for (int i = 0; i < item->Count(); ++i) {
            const TMenuItem* sub = item->Items(i);
            if (!sub->Visible()) continue;
            std::vector<int> subPath = path;
            subPath.push_back(i);
            const QString caption = QString::fromLatin1(sub->Caption().c_str());
            auto* bar = qobject_cast<QMenuBar*>(parentMenu);
            auto* menu = qobject_cast<QMenu*>(parentMenu);
            if (sub->IsLine() && menu != nullptr) {
                menu->addSeparator();
                continue;
            }
            if (sub->Count() > 0) {
                QMenu* m = bar != nullptr ? bar->addMenu(caption) : menu->addMenu(caption);
                m->setEnabled(sub->Enabled());
                AddItems(m, sub, subPath);
                continue;
            }
            QAction* a = bar != nullptr ? bar->addAction(caption) : menu->addAction(caption);
            a->setEnabled(sub->Enabled());
            a->setCheckable(sub->Checked());
            a->setChecked(sub->Checked());
            TForm* form = form_;
            // The item is found again by its place when chosen: the tree may have changed.
            QObject::connect(a, &QAction::triggered, a, [form, subPath] {
                Forward([&] {
                    if (form->Menu() == nullptr) return;
                    TMenuItem* it = form->Menu()->Items();
                    for (int k : subPath) {
                        if (k >= it->Count()) return;
                        it = it->Items(k);
                    }
                    it->Click();
                });
            });
        }
    }

    void RebuildMenu() {
        std::string sig;
        if (form_->Menu() != nullptr) Signature(form_->Menu()->Items(), sig);
        if (sig == window_->menuSignature && (sig.empty() == (window_->menuBar == nullptr))) return;
        window_->menuSignature = sig;
        // A menu may be rebuilt from inside one of its own actions: the old bar goes later.
        if (window_->menuBar) {
            window_->menuBar->hide();
            window_->menuBar->deleteLater();
            window_->menuBar = nullptr;
        }
        if (form_->Menu() == nullptr) return;
        auto* bar = new QMenuBar(window_);
        bar->setNativeMenuBar(false);
        AddItems(bar, form_->Menu()->Items(), {});
        window_->menuBar = bar;
        bar->show();
    }

    TForm* form_;
    TFormWindow* window_;
};

Integer ResultOf(QMessageBox::StandardButton b) {
    switch (b) {
        case QMessageBox::Ok: return mrOk;
        case QMessageBox::Cancel: return mrCancel;
        case QMessageBox::Yes: return mrYes;
        case QMessageBox::No: return mrNo;
        case QMessageBox::Abort: return mrAbort;
        case QMessageBox::Retry: return mrRetry;
        case QMessageBox::Ignore: return mrIgnore;
        case QMessageBox::YesToAll: return mrYesToAll;
        case QMessageBox::NoToAll: return mrNoToAll;
        default: return mrCancel;
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------

TQtHost::TQtHost(int& argc, char** argv) : impl_(std::make_unique<TImpl>()) {
    gImpl = impl_.get();
    gHost = this;
    impl_->app = std::make_unique<QApplication>(argc, argv);
    Application()->SetHost(this);
    Application()->Initialize();
}

TQtHost::~TQtHost() {
    if (Application()->Host() == this) {
        Application()->DestroyComponents();
        Application()->SetHost(nullptr);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (impl_->overrideCursor) QGuiApplication::restoreOverrideCursor();
    impl_->app.reset();
    gHost = nullptr;
    gImpl = nullptr;
}

std::unique_ptr<TControlPeer> TQtHost::CreatePeer(TControl* control) {
    if (auto* f = dynamic_cast<TForm*>(control)) return std::make_unique<TFormPeer>(f);
    if (auto* s = dynamic_cast<TScrollBar*>(control)) return std::make_unique<TScrollBarPeer>(s);
    if (auto* l = dynamic_cast<TLabel*>(control)) return std::make_unique<TLabelPeer>(l);
    if (dynamic_cast<TCustomControl*>(control) != nullptr) return std::make_unique<TSurfacePeer>(control);
    if (dynamic_cast<TWinControl*>(control) != nullptr) return std::make_unique<TPlainPeer>(control);
    return nullptr;
}

void TQtHost::Run() { QApplication::exec(); }

void TQtHost::Quit() { QCoreApplication::quit(); }

void TQtHost::ProcessMessages() { QCoreApplication::processEvents(); }

Integer TQtHost::MessageBox(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (type) {
        case mtWarning: icon = QMessageBox::Warning; break;
        case mtError: icon = QMessageBox::Critical; break;
        case mtInformation: icon = QMessageBox::Information; break;
        case mtConfirmation: icon = QMessageBox::Question; break;
        case mtCustom: break;
    }
    QMessageBox::StandardButtons qb;
    if (buttons.Contains(mbOK)) qb |= QMessageBox::Ok;
    if (buttons.Contains(mbCancel)) qb |= QMessageBox::Cancel;
    if (buttons.Contains(mbYes)) qb |= QMessageBox::Yes;
    if (buttons.Contains(mbNo)) qb |= QMessageBox::No;
    if (buttons.Contains(mbAbort)) qb |= QMessageBox::Abort;
    if (buttons.Contains(mbRetry)) qb |= QMessageBox::Retry;
    if (buttons.Contains(mbIgnore)) qb |= QMessageBox::Ignore;
    if (buttons.Contains(mbYesToAll)) qb |= QMessageBox::YesToAll;
    if (buttons.Contains(mbNoToAll)) qb |= QMessageBox::NoToAll;
    if (qb == QMessageBox::NoButton) qb = QMessageBox::Ok;
    QWidget* parent = QApplication::activeWindow();
    QMessageBox box(icon, QString::fromStdString(Application()->Title()), QString::fromLatin1(text.c_str()), qb, parent);
    ++gEventDepth;
    const int r = box.exec();
    --gEventDepth;
    return ResultOf(static_cast<QMessageBox::StandardButton>(r));
}

void TQtHost::ShowException(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    impl_->pendingErrors.push_back(text);
    if (impl_->showingError) return;
    QTimer::singleShot(0, impl_->app.get(), [this] {
        if (impl_->showingError) return;
        impl_->showingError = true;
        while (!impl_->pendingErrors.empty()) {
            const std::string msg = impl_->pendingErrors.front();
            impl_->pendingErrors.pop_front();
            MessageBox(msg, mtError, {mbOK});
        }
        impl_->showingError = false;
    });
}

void TQtHost::ScreenCursorChanged(TCursor cursor) {
    if (cursor == crDefault) {
        if (impl_->overrideCursor) QGuiApplication::restoreOverrideCursor();
        impl_->overrideCursor = false;
        return;
    }
    if (impl_->overrideCursor)
        QGuiApplication::changeOverrideCursor(ToQCursor(cursor));
    else
        QGuiApplication::setOverrideCursor(ToQCursor(cursor));
    impl_->overrideCursor = true;
}

void TQtHost::PresentAll() {
    for (QWidget* w : impl_->surfaces) w->update();
}

void TQtHost::SetOnFirstPresent(std::function<void()> handler) { impl_->onFirstPresent = std::move(handler); }

double TQtHost::DevicePixelRatio() const { return impl_->app ? impl_->app->devicePixelRatio() : 1.0; }

bool TQtHost::SaveScreenshot(TForm* form, const std::string& fileName) {
    auto* peer = form != nullptr ? dynamic_cast<TFormPeer*>(form->Peer()) : nullptr;
    if (peer == nullptr || peer->Window() == nullptr) {
        std::fprintf(stderr, "screenshot: the form has no window (is it shown?)\n");
        return false;
    }
    // Let pending paints and layout settle before grabbing.
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    const QPixmap shot = peer->Window()->grab();
    if (!shot.save(QString::fromStdString(fileName), "PNG")) {
        std::fprintf(stderr, "screenshot: cannot write %s\n", fileName.c_str());
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------

std::string TakeScreenshotArgument(int& argc, char** argv) {
    std::string file;
    int out = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0) {
            if (i + 1 < argc) {
                file = argv[++i];
            } else {
                file = "-";
            }
            continue;
        }
        if (std::strncmp(argv[i], "--screenshot=", 13) == 0) {
            file = argv[i] + 13;
            if (file.empty()) file = "-";
            continue;
        }
        argv[out++] = argv[i];
    }
    if (out < argc) argv[out] = nullptr;
    argc = out;
    return file;
}

bool DisplayAvailable(const char* program) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && (std::strncmp(platform, "offscreen", 9) == 0 || std::strncmp(platform, "minimal", 7) == 0 ||
                                std::strncmp(platform, "vnc", 3) == 0))
        return true;
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland != nullptr && *wayland != '\0') return true;
    const char* display = std::getenv("DISPLAY");
    if (display != nullptr && *display != '\0') {
        // A local display whose socket is gone would make Qt abort; say so instead.
        if (display[0] == ':') {
            const std::string number(display + 1, display + 1 + std::strcspn(display + 1, "."));
            const std::filesystem::path socket = "/tmp/.X11-unix/X" + number;
            std::error_code ec;
            if (!std::filesystem::exists(socket, ec)) {
                std::fprintf(stderr, "%s: cannot reach the display %s (no X server socket %s)\n", program, display,
                             socket.c_str());
                return false;
            }
        }
        return true;
    }
    std::fprintf(stderr,
                 "%s: no display: set DISPLAY or WAYLAND_DISPLAY, or use --screenshot FILE to render the window "
                 "off screen\n",
                 program);
    return false;
}

int RunQtApplication(int& argc, char** argv, const std::function<void()>& createForms) {
    const char* program = argc > 0 ? argv[0] : "program";
    const std::string shot = TakeScreenshotArgument(argc, argv);
    if (shot == "-") {
        std::fprintf(stderr, "%s: --screenshot needs a file name\n", program);
        return 1;
    }
    // The platform must be chosen before QApplication exists.
    if (!shot.empty()) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!DisplayAvailable(program)) return 2;
    TQtHost host(argc, argv);
    try {
        createForms();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", program, e.what());
        return 1;
    }
    TForm* main = Application()->MainForm();
    if (!shot.empty()) {
        if (main == nullptr) {
            std::fprintf(stderr, "%s: no main form to render\n", program);
            return 1;
        }
        DispatchEvent(main, [&] { main->Show(); });
        return host.SaveScreenshot(main, shot) ? 0 : 1;
    }
    Application()->Run();
    return 0;
}

}  // namespace kvb

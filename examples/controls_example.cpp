// The controls example: a wave whose frequency follows the scroll bar, and marks where the
// user clicks on it.
//
//   KVB_EXAMPLE_TRACE=1    prints one line per scroll bar change and per mouse event on the
//                          wave, for the end-to-end test
//   KVB_EXAMPLE_STARTUP=1  prints "first-frame <ns since the epoch>" once the wave has been
//                          shown for the first time, and ends (start-up timing)
//   --screenshot FILE      renders the window off screen into FILE and ends
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/hosts/qt/QtHost.h"
#include "platform/system/Trace.h"

namespace kvb {
namespace {

const TTestTrace& Trace() {
    static const TTestTrace trace("KVB_EXAMPLE_TRACE");
    return trace;
}


const char* ButtonName(TMouseButton b) { return b == mbLeft ? "left" : b == mbRight ? "right" : "middle"; }

class TWave : public TCustomControl {
    KVB_CLASS_INFO()
public:
    explicit TWave(TComponent* owner) : TCustomControl(owner) {}
    Integer Cycles() const noexcept { return cycles_; }
    void SetCycles(Integer value) {
        if (value == cycles_) return;
        cycles_ = value;
        Invalidate();
    }

protected:
    void Paint() override {
        TCanvas* c = Canvas();
        c->Brush()->SetColor(clWhite);
        c->Pen()->SetColor(clGray);
        c->Rectangle(ClientRect());
        const Integer w = Width(), h = Height(), mid = h / 2;
        c->Pen()->SetColor(clSilver);
        c->MoveTo(1, mid);
        c->LineTo(w - 1, mid);
        std::vector<TPoint> pts;
        const double k = 2.0 * 3.14159265358979 * (1.0 + cycles_ / 16.0) / std::max<Integer>(w - 2, 1);
        for (Integer x = 1; x < w - 1; ++x)
            pts.push_back(Point(x, mid - static_cast<Integer>(Round((mid - 6) * std::sin(k * (x - 1))))));
        c->Pen()->SetColor(clBlue);
        c->Polyline(pts);
        c->Brush()->SetColor(clRed);
        c->Pen()->SetColor(clMaroon);
        for (const TPoint& m : marks_) c->Ellipse(m.X - 3, m.Y - 3, m.X + 4, m.Y + 4);
    }
    void MouseDown(TMouseButton b, TShiftState s, Integer x, Integer y) override {
        Trace().Line(std::string("down ") + ButtonName(b) + " " + std::to_string(x) + " " + std::to_string(y) +
              (s.Contains(ssDouble) ? " double" : ""));
        if (b == mbLeft) {
            marks_.push_back(Point(x, y));
            Invalidate();
        }
        TCustomControl::MouseDown(b, s, x, y);
    }
    void MouseUp(TMouseButton b, TShiftState s, Integer x, Integer y) override {
        Trace().Line(std::string("up ") + ButtonName(b) + " " + std::to_string(x) + " " + std::to_string(y));
        TCustomControl::MouseUp(b, s, x, y);
    }
    void Click() override {
        Trace().Line("click");
        TCustomControl::Click();
    }
    void DblClick() override {
        Trace().Line("dblclick");
        marks_.clear();
        Invalidate();
        TCustomControl::DblClick();
    }

private:
    Integer cycles_ = 0;
    std::vector<TPoint> marks_;
};

const TClassInfo& TWave::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(TClassBuilder<TWave>("TWave", &TCustomControl::StaticClassInfo())
                                                    .Creatable()
                                                    .Int("Cycles", &TWave::Cycles, &TWave::SetCycles)
                                                    .Build());
    return info;
}
KVB_REGISTER_CLASS(TWave);

const char* const kLayout = R"(object ExampleForm: TExampleForm
  Left = 40
  Top = 40
  BorderStyle = bsSingle
  Caption = 'Controls example'
  ClientHeight = 214
  ClientWidth = 443
  Color = clBtnFace
  Font.Color = clWindowText
  Font.Height = -13
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Menu = MainMenu1
  Scaled = False
  OnShow = FormShow
  PixelsPerInch = 96
  object Wave: TWave
    Left = 16
    Top = 8
    Width = 417
    Height = 169
    Cycles = 128
  end
  object Label1: TLabel
    Left = 0
    Top = 186
    Width = 129
    Height = 16
    Alignment = taRightJustify
    AutoSize = False
    Caption = 'frequency'
  end
  object ScrollBar1: TScrollBar
    Left = 136
    Top = 184
    Width = 289
    Height = 21
    LargeChange = 16
    Max = 256
    PageSize = 0
    Position = 128
    SmallChange = 1
    TabOrder = 0
    OnChange = ScrollBar1Change
  end
  object MainMenu1: TMainMenu
    object File1: TMenuItem
      Caption = '&File'
      object Exit1: TMenuItem
        Caption = 'E&xit'
        OnClick = Exit1Click
      end
    end
  end
end
)";

class TExampleForm : public TForm {
    KVB_CLASS_INFO()
public:
    explicit TExampleForm(TComponent* owner) : TForm(owner) { LoadLayout(kLayout); }

    void FormShow(TObject*) { Trace().Line("shown"); }
    void ScrollBar1Change(TObject*) {
        auto* bar = static_cast<TScrollBar*>(FindComponent("ScrollBar1"));
        static_cast<TWave*>(FindComponent("Wave"))->SetCycles(bar->Position());
        Trace().Line("change " + std::to_string(bar->Position()));
    }
    void Exit1Click(TObject*) {
        Trace().Line("exit");
        Close();
    }
};

const TClassInfo& TExampleForm::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TExampleForm>("TExampleForm", &TForm::StaticClassInfo())
            .Method("FormShow", &TExampleForm::FormShow)
            .Method("ScrollBar1Change", &TExampleForm::ScrollBar1Change)
            .Method("Exit1Click", &TExampleForm::Exit1Click)
            .Build());
    return info;
}

}  // namespace
}  // namespace kvb

int main(int argc, char** argv) {
    using namespace kvb;
    const char* startup = std::getenv("KVB_EXAMPLE_STARTUP");
    const bool timing = startup != nullptr && *startup == '1';
    return RunQtApplication(argc, argv, [timing] {
        Application()->Initialize();
        Application()->SetTitle("Controls example");
        Application()->CreateForm<TExampleForm>();
        if (timing)
            if (auto* qt = dynamic_cast<TQtHost*>(Application()->Host()))
                qt->SetOnFirstPresent([] {
                    const auto now = std::chrono::system_clock::now().time_since_epoch();
                    std::printf("first-frame %lld\n",
                                static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
                    std::fflush(stdout);
                    Application()->Terminate();
                });
    });
}

// The scale demo: one stand-alone TScale on a form, read from a stored layout. Dragging along
// the axis with the left button pans it; a double click switches to zooming and back.
//
//   KVB_SCALE_TRACE=1   prints "shown", one "range <low> <high>" line per pan or zoom step and
//                       one "action <maPan|maZoom>" line per double click, for the
//                       end-to-end test
//   --screenshot FILE   renders the window off screen into FILE and ends
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/controls/Controls.h"
#include "platform/hosts/qt/QtHost.h"
#include "platform/system/Trace.h"
#include "scale/KVB_Scale.h"

namespace kvb {
namespace {

const TTestTrace& Trace() {
    static const TTestTrace trace("KVB_SCALE_TRACE");
    return trace;
}


const char* const kLayout = R"(object ScaleForm: TScaleForm
  Left = 40
  Top = 40
  BorderStyle = bsSingle
  Caption = 'Scale demo'
  ClientHeight = 120
  ClientWidth = 440
  Color = clBtnFace
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Scaled = False
  OnShow = FormShow
  PixelsPerInch = 96
  object Scale1: TScale
    Left = 20
    Top = 20
    Width = 400
    Height = 80
    Caption = 'drag to pan, double-click to zoom'
    CaptionPosX = 0
    CaptionPosY = -56
    CaptionAlignment = taCenter
    CaptionAnchor = uaSclCenter
    DecPlaces = -2
    MarginTop = 10
    MarginBottom = 14
    MarginLeft = 20
    MarginRight = 20
    MinTicks = 5
    MouseAction = maPan
    RangeLow = 0.000000000000000000
    RangeHigh = 100.000000000000000000
    ShortTicks = True
    ScaleType = sctXB
    OnZoomPan = Scale1ZoomPan
    OnDblClick = Scale1DblClick
  end
end
)";

class TScaleForm : public TForm {
    KVB_CLASS_INFO()
public:
    explicit TScaleForm(TComponent* owner) : TForm(owner) { LoadLayout(kLayout); }

    void FormShow(TObject*) { Trace().Line("shown"); }
    void Scale1ZoomPan(TObject* Sender) {
        auto* s = static_cast<TScale*>(Sender);
        char line[96];
        std::snprintf(line, sizeof line, "range %.6g %.6g", s->RangeLow(), s->RangeHigh());
        Trace().Line(line);
    }
    void Scale1DblClick(TObject* Sender) {
        Trace().Line(std::string("action ") + std::string(EnumInfo<TMouseActMode>().Names[static_cast<TScale*>(Sender)->MouseAction()]));
    }
};

const TClassInfo& TScaleForm::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TScaleForm>("TScaleForm", &TForm::StaticClassInfo())
            .Method("FormShow", &TScaleForm::FormShow)
            .Method("Scale1ZoomPan", &TScaleForm::Scale1ZoomPan)
            .Method("Scale1DblClick", &TScaleForm::Scale1DblClick)
            .Build());
    return info;
}

}  // namespace
}  // namespace kvb

int main(int argc, char** argv) {
    using namespace kvb;
    // The scale registers itself for layouts when its unit is linked in; make sure it is.
    TScale::StaticClassInfo();
    return RunQtApplication(argc, argv, [] {
        Application()->Initialize();
        Application()->SetTitle("Scale demo");
        Application()->CreateForm<TScaleForm>();
    });
}

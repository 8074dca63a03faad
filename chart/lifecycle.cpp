#include "chart/KVB_plotix.h"

namespace kvb {

const TClassInfo& TCustomPlotix::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TCustomPlotix>("TCustomPlotix", &TCustomControl::StaticClassInfo()).Build());
    return info;
}

const TClassInfo& TPlotix::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TPlotix>("TPlotix", &TCustomPlotix::StaticClassInfo())
            .Creatable()
            .Int("AllocSize", &TPlotix::AllocSize, &TPlotix::SetAllocSize)
            .Int("ClassDefault", &TPlotix::ClassDefault, &TPlotix::SetClassDefault)
            .Color("DataColor", &TPlotix::DataColor, &TPlotix::SetDataColor)
            .Enum("PenStyle", &TPlotix::PenStyle, &TPlotix::SetPenStyle)
            .Color("FillColor", &TPlotix::FillColor, &TPlotix::SetFillColor)
            .Int("LineWidth", &TPlotix::LineWidth, &TPlotix::SetLineWidth)
            .Color("TextBkColor", &TPlotix::TextBkColor, &TPlotix::SetTextBkColor)
            .Build());
    return info;
}
KVB_REGISTER_CLASS(TPlotix);

TCustomPlotix::TCustomPlotix(TComponent* AOwner)
    : TCustomControl(AOwner),
      data_(std::make_shared<TQxItemContainer>()),
      annotations_(std::make_shared<TQxItemContainer>()),
      dataTexts_(std::make_unique<std::string[]>(LongTextCount)),
      annotTexts_(std::make_unique<std::string[]>(LongTextCount)) {}

TCustomPlotix::~TCustomPlotix() = default;

void TCustomPlotix::ShowItems() { Repaint(); }

}  // namespace kvb

// The date/time label format and the crosshair settings objects.
#include "base/KVB_kvbbase.h"

namespace kvb {

// ---------------------------------------------------------------------------------------
// TDTLabel

const TClassInfo& TDTLabel::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TDTLabel>("TDTLabel", &TPersistent::StaticClassInfo())
            .Enum("TimeFormat", &TDTLabel::TimeFormat, &TDTLabel::SetTimeFormat)
            .Char("DateSeparator", &TDTLabel::DateSeparator, &TDTLabel::SetDateSeparator)
            .Char("TimeSeparator", &TDTLabel::TimeSeparator, &TDTLabel::SetTimeSeparator)
            .Enum("YearLength", &TDTLabel::YearLength, &TDTLabel::SetYearLength)
            .Bool("MonthName", &TDTLabel::MonthName, &TDTLabel::SetMonthName)
            .Enum("DateOrder", &TDTLabel::DateOrder, &TDTLabel::SetDateOrder)
            .Enum("DateForTime", &TDTLabel::DateForTime, &TDTLabel::SetDateForTime)
            .Event("OnChange", &TDTLabel::OnChange, &TDTLabel::SetOnChange)
            .Build());
    return info;
}
KVB_REGISTER_CLASS(TDTLabel);

TDTLabel::~TDTLabel() { onChange_ = nullptr; }

void TDTLabel::Changed() {
    if (onChange_)
        onChange_(this);
}

// The time format and the date order notify on every write, even of the value they already
// hold; the other fields only on a change. Owners see exactly these notifications.
void TDTLabel::SetTimeFormat(TTimeFormat value) {
    timeFormat_ = value;
    Changed();
}

void TDTLabel::SetDateOrder(TDateOrder value) {
    dateOrder_ = value;
    Changed();
}

void TDTLabel::SetDateSeparator(char value) {
    if (value == dateSeparator_)
        return;
    dateSeparator_ = value;
    Changed();
}

void TDTLabel::SetTimeSeparator(char value) {
    if (value == timeSeparator_)
        return;
    timeSeparator_ = value;
    Changed();
}

void TDTLabel::SetYearLength(TYearLength value) {
    if (value == yearLength_)
        return;
    yearLength_ = value;
    Changed();
}

void TDTLabel::SetMonthName(bool value) {
    if (value == monthName_)
        return;
    monthName_ = value;
    Changed();
}

void TDTLabel::SetDateForTime(TDateForTime value) {
    if (value == dateForTime_)
        return;
    dateForTime_ = value;
    Changed();
}

void TDTLabel::SetOwnerDefaults() {
    SetTimeFormat(tfHHMMSS);
    SetDateSeparator('-');
    SetTimeSeparator(':');
    SetYearLength(ylYYYY);
    SetMonthName(true);
    SetDateForTime(dtOnePerDay);
    SetDateOrder(doDDMMYY);
}

void TDTLabel::Assign(TPersistent* Source) {
    const auto* src = dynamic_cast<const TDTLabel*>(Source);
    if (src == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    timeFormat_ = src->timeFormat_;
    dateSeparator_ = src->dateSeparator_;
    timeSeparator_ = src->timeSeparator_;
    yearLength_ = src->yearLength_;
    monthName_ = src->monthName_;
    dateOrder_ = src->dateOrder_;
    dateForTime_ = src->dateForTime_;
}

// Hands over only to a destination of this family whose class this object is, or descends
// from; asking any other destination to Assign would bounce straight back here.
void TDTLabel::AssignTo(TPersistent* Dest) {
    if (dynamic_cast<TDTLabel*>(Dest) != nullptr && InheritsFrom(Dest->ClassInfo())) {
        Dest->Assign(this);
        return;
    }
    TPersistent::AssignTo(Dest);
}

// ---------------------------------------------------------------------------------------
// TCrossHair

const TClassInfo& TCrossHair::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TCrossHair>("TCrossHair", &TPersistent::StaticClassInfo())
            .Float("PosX", &TCrossHair::PosX, &TCrossHair::SetPosX)
            .Float("PosY", &TCrossHair::PosY, &TCrossHair::SetPosY)
            .Color("Color", &TCrossHair::Color, &TCrossHair::SetColor)
            .Int("Layer", &TCrossHair::Layer, &TCrossHair::SetLayer)
            .Enum("Mode", &TCrossHair::Mode, &TCrossHair::SetMode)
            .Enum("LineType", &TCrossHair::LineType, &TCrossHair::SetLineType)
            .Int("LineWid", &TCrossHair::LineWid, &TCrossHair::SetLineWid)
            .Event("OnChange", &TCrossHair::OnChange, &TCrossHair::SetOnChange)
            .Build());
    return info;
}
KVB_REGISTER_CLASS(TCrossHair);

void TCrossHair::Changed() {
    if (onChange_)
        onChange_(this);
}

void TCrossHair::SetPosX(double value) {
    posX_ = value;
    Changed();
}

void TCrossHair::SetPosY(double value) {
    posY_ = value;
    Changed();
}

void TCrossHair::SetColor(TColor value) {
    color_ = value;
    Changed();
}

void TCrossHair::SetMode(TCrossHMode value) {
    mode_ = value;
    Changed();
}

void TCrossHair::SetLineType(TPenStyle value) {
    lineType_ = value;
    Changed();
}

void TCrossHair::SetLineWid(Integer value) {
    lineWid_ = value;
    Changed();
}

void TCrossHair::SetLayer(Integer value) {
    layer_ = value < 1 ? 1 : value > 16 ? 16 : value;
    Changed();
}

void TCrossHair::Assign(TPersistent* Source) {
    const auto* src = dynamic_cast<const TCrossHair*>(Source);
    if (src == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    posX_ = src->posX_;
    posY_ = src->posY_;
    color_ = src->color_;
    mode_ = src->mode_;
    lineType_ = src->lineType_;
    lineWid_ = src->lineWid_;
    layer_ = src->layer_;
}

void TCrossHair::AssignTo(TPersistent* Dest) {
    if (dynamic_cast<TCrossHair*>(Dest) != nullptr && InheritsFrom(Dest->ClassInfo())) {
        Dest->Assign(this);
        return;
    }
    TPersistent::AssignTo(Dest);
}

}  // namespace kvb

// Shared enumerations, error classes, settings objects and drawing helpers of the components.
#pragma once

#include <string>

#include "platform/classes/Classes.h"
#include "platform/graphics/Graphics.h"
#include "platform/system/System.h"

namespace kvb {

// ---------------------------------------------------------------------------------------
// Enumerations of the components' published properties. Layouts store the value names as
// written here, so they are part of the interface (note the lower-case s of tlsimple).

enum TBkgFill : std::uint8_t { bfSimple, bfStretch, bfTile };
KVB_ENUM_NAMES(TBkgFill, "bfSimple", "bfStretch", "bfTile")

enum TColorScheme : std::uint8_t { csBWG, csSystem };
KVB_ENUM_NAMES(TColorScheme, "csBWG", "csSystem")

enum TFigType : std::uint8_t { ftNoFigs, ftNum, ftTime, ftDateTime, ftUserText };
KVB_ENUM_NAMES(TFigType, "ftNoFigs", "ftNum", "ftTime", "ftDateTime", "ftUserText")

enum TScaleType : std::uint8_t { sctXB, sctXT, sctYL, sctYR };
KVB_ENUM_NAMES(TScaleType, "sctXB", "sctXT", "sctYL", "sctYR")

enum TVerticalAlignment : std::uint8_t { vaTop, vaCenter, vaBottom };
KVB_ENUM_NAMES(TVerticalAlignment, "vaTop", "vaCenter", "vaBottom")

enum TYearLength : std::uint8_t { ylNone, ylYY, ylYYYY };
KVB_ENUM_NAMES(TYearLength, "ylNone", "ylYY", "ylYYYY")

enum TDateOrder : std::uint8_t { doMMDDYY, doDDMMYY, doYYMMDD };
KVB_ENUM_NAMES(TDateOrder, "doMMDDYY", "doDDMMYY", "doYYMMDD")

enum TDateForTime : std::uint8_t { dtNone, dtOnePerChart, dtOnePerDay, dtAllTicks };
KVB_ENUM_NAMES(TDateForTime, "dtNone", "dtOnePerChart", "dtOnePerDay", "dtAllTicks")

enum TTimeFormat : std::uint8_t { tfHHMMSS, tfHHhMM, tfAMPM };
KVB_ENUM_NAMES(TTimeFormat, "tfHHMMSS", "tfHHhMM", "tfAMPM")

enum TShadowStyle : std::uint8_t { ssFlying, ssBox };
KVB_ENUM_NAMES(TShadowStyle, "ssFlying", "ssBox")

enum TFrameStyle : std::uint8_t { fsNone, fsSimple, fsLowered, fsRaised, fsEmbossed, fsEngraved };
KVB_ENUM_NAMES(TFrameStyle, "fsNone", "fsSimple", "fsLowered", "fsRaised", "fsEmbossed", "fsEngraved")

enum TCrossHMode : std::uint8_t { chOff, chHoriz, chVert, chBoth, chCrossBox, chBox };
KVB_ENUM_NAMES(TCrossHMode, "chOff", "chHoriz", "chVert", "chBoth", "chCrossBox", "chBox")

enum TTxtLblAttachMode : std::uint8_t { tlamNone, tlamXOnly, tlamYOnly, tlamBoth };
KVB_ENUM_NAMES(TTxtLblAttachMode, "tlamNone", "tlamXOnly", "tlamYOnly", "tlamBoth")

enum TTxtLblMode : std::uint8_t { tlOff, tlsimple, tlBox, tlUnderline, tlShadow };
KVB_ENUM_NAMES(TTxtLblMode, "tlOff", "tlsimple", "tlBox", "tlUnderline", "tlShadow")

enum TMouseActMode : std::uint8_t {
    maNone, maPan, maPanHoriz, maPanVert, maPanGrid, maRubberBand, maZoom, maZoomWind,
    maZoomWindPos, maZoomDrag, maDragCrossH, maDragLabel, maRotate, maRotAndZoom, maRotXOnly,
    maRotZOnly, maSelectRect, maDrawMTrace, maZoomPanColors
};
KVB_ENUM_NAMES(TMouseActMode, "maNone", "maPan", "maPanHoriz", "maPanVert", "maPanGrid",
               "maRubberBand", "maZoom", "maZoomWind", "maZoomWindPos", "maZoomDrag",
               "maDragCrossH", "maDragLabel", "maRotate", "maRotAndZoom", "maRotXOnly",
               "maRotZOnly", "maSelectRect", "maDrawMTrace", "maZoomPanColors")

// ---------------------------------------------------------------------------------------
// Errors. Each carries one message and nothing else.

// The components' common exception class.
class EKVBError : public Exception {
public:
    using Exception::Exception;
};
class EKVBFourierError : public EKVBError {
public:
    using EKVBError::EKVBError;
};
class EKVBPlotixError : public EKVBError {
public:
    using EKVBError::EKVBError;
};

// ---------------------------------------------------------------------------------------
// Small helpers

// Frames the area Left..Right by Top..Bottom (right and bottom inclusive). fsSimple draws a
// one-pixel outline in SimpleColor; the bevelled styles draw two rings from the four 3-D
// colours. The pen keeps the last colour used; fsNone touches nothing.
void DrawFrame(TCanvas* Canvas, TFrameStyle Style, Integer Left, Integer Top, Integer Right,
               Integer Bottom, TColor Highlight, TColor Light, TColor Shadow, TColor DarkShadow,
               TColor SimpleColor);

// 0.3 red + 0.59 green + 0.11 blue, rounded with halves to even, from the bytes as they stand
// (a system colour is not resolved first).
Integer GrayLevel(TColor Color) noexcept;
// Black on light colours (gray level 140 and above), white on dark ones.
TColor ContrastColor(TColor Color) noexcept;
// The largest integer not above X, for X within the Integer range. Values beyond it saturate
// and NaN gives 0, so a caller's slip cannot wrap around.
Integer FloorToInt(double X) noexcept;

void ExchangeInt(Integer& A, Integer& B) noexcept;
void ExchangeDouble(double& A, double& B) noexcept;
void ExchangeExtended(Extended& A, Extended& B) noexcept;

// Draws mark symbol Code centred on (X, Y) in the pen colour: codes 0..51 are geometric
// symbols, every other code one character of the canvas font (200..209 give the digits).
// Symbols restore the brush colour; hollow symbols leave the brush style bsSolid, characters
// leave it bsClear and the font colour set to the pen colour.
void DrawMark(TCanvas* Canvas, Byte Code, Integer X, Integer Y);

// ---------------------------------------------------------------------------------------
// Settings objects. Each tells its owner about changes through OnChange and copies itself
// with Assign without telling anybody.
//
// Assign does not hand over the source's OnChange: every owner installs its own handler when
// it creates these objects and relies on hearing about its own objects only, and a handler
// copied from another owner could outlive that owner and be called after it is destroyed.

// How date and time tick labels are formatted.
class TDTLabel : public TPersistent {
    KVB_CLASS_INFO()
public:
    TDTLabel() = default;
    ~TDTLabel() override;
    TDTLabel(const TDTLabel&) = delete;
    TDTLabel& operator=(const TDTLabel&) = delete;

    TTimeFormat TimeFormat() const noexcept { return timeFormat_; }
    void SetTimeFormat(TTimeFormat value);
    char DateSeparator() const noexcept { return dateSeparator_; }
    void SetDateSeparator(char value);
    char TimeSeparator() const noexcept { return timeSeparator_; }
    void SetTimeSeparator(char value);
    TYearLength YearLength() const noexcept { return yearLength_; }
    void SetYearLength(TYearLength value);
    bool MonthName() const noexcept { return monthName_; }
    void SetMonthName(bool value);
    TDateOrder DateOrder() const noexcept { return dateOrder_; }
    void SetDateOrder(TDateOrder value);
    TDateForTime DateForTime() const noexcept { return dateForTime_; }
    void SetDateForTime(TDateForTime value);
    const TNotifyEvent& OnChange() const noexcept { return onChange_; }
    void SetOnChange(TNotifyEvent handler) { onChange_ = std::move(handler); }

    // The defaults every owner puts in right after creating the object, through the setters
    // and in the owners' order, so that an installed handler hears each of them.
    void SetOwnerDefaults();

    void Assign(TPersistent* Source) override;
    void AssignTo(TPersistent* Dest) override;

private:
    void Changed();
    TTimeFormat timeFormat_ = tfHHMMSS;
    char dateSeparator_ = '\0';
    char timeSeparator_ = '\0';
    TYearLength yearLength_ = ylNone;
    bool monthName_ = false;
    TDateOrder dateOrder_ = doMMDDYY;
    TDateForTime dateForTime_ = dtNone;
    TNotifyEvent onChange_;
};

// One crosshair of a chart. A new one is all zero (layer 0 included) until its chart puts in
// its own defaults.
class TCrossHair : public TPersistent {
    KVB_CLASS_INFO()
public:
    TCrossHair() = default;
    TCrossHair(const TCrossHair&) = delete;
    TCrossHair& operator=(const TCrossHair&) = delete;

    double PosX() const noexcept { return posX_; }
    void SetPosX(double value);
    double PosY() const noexcept { return posY_; }
    void SetPosY(double value);
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor value);
    TCrossHMode Mode() const noexcept { return mode_; }
    void SetMode(TCrossHMode value);
    TPenStyle LineType() const noexcept { return lineType_; }
    void SetLineType(TPenStyle value);
    Integer LineWid() const noexcept { return lineWid_; }
    void SetLineWid(Integer value);
    // Clamped to 1..16.
    Integer Layer() const noexcept { return layer_; }
    void SetLayer(Integer value);
    const TNotifyEvent& OnChange() const noexcept { return onChange_; }
    void SetOnChange(TNotifyEvent handler) { onChange_ = std::move(handler); }

    void Assign(TPersistent* Source) override;
    void AssignTo(TPersistent* Dest) override;

private:
    void Changed();
    double posX_ = 0.0;
    double posY_ = 0.0;
    TColor color_ = clBlack;
    TCrossHMode mode_ = chOff;
    TPenStyle lineType_ = psSolid;
    Integer lineWid_ = 0;
    Integer layer_ = 0;
    TNotifyEvent onChange_;
};

}  // namespace kvb

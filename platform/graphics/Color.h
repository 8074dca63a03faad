// Colours: 0x00BBGGRR values, system colours 0xFF0000nn, and their identifiers.
// Header-only so that the layout reader can name colours without linking the device.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kvb {

using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                 clLtGray = 0xC0C0C0, clDkGray = 0x808080, clMoneyGreen = 0xC0DCC0,
                 clSkyBlue = 0xF0CAA6, clCream = 0xF0FBFF, clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;

constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clScrollBar = 0xFF000000, clBackground = 0xFF000001, clActiveCaption = 0xFF000002,
                 clInactiveCaption = 0xFF000003, clMenu = 0xFF000004, clWindow = 0xFF000005,
                 clWindowFrame = 0xFF000006, clMenuText = 0xFF000007, clWindowText = 0xFF000008,
                 clCaptionText = 0xFF000009, clActiveBorder = 0xFF00000A, clInactiveBorder = 0xFF00000B,
                 clAppWorkSpace = 0xFF00000C, clHighlight = 0xFF00000D, clHighlightText = 0xFF00000E,
                 clBtnFace = 0xFF00000F, clBtnShadow = 0xFF000010, clGrayText = 0xFF000011,
                 clBtnText = 0xFF000012, clInactiveCaptionText = 0xFF000013, clBtnHighlight = 0xFF000014,
                 cl3DDkShadow = 0xFF000015, cl3DLight = 0xFF000016, clInfoText = 0xFF000017,
                 clInfoBk = 0xFF000018;

namespace detail {
// The classic light desktop scheme; one table for every system colour.
inline constexpr TColor kSystemColors[] = {
    0xC8C8C8,  // clScrollBar
    0x000000,  // clBackground
    0xD1B499,  // clActiveCaption
    0xDBCDBF,  // clInactiveCaption
    0xF0F0F0,  // clMenu
    0xFFFFFF,  // clWindow
    0x646464,  // clWindowFrame
    0x000000,  // clMenuText
    0x000000,  // clWindowText
    0x000000,  // clCaptionText
    0xB4B4B4,  // clActiveBorder
    0xFCF7F4,  // clInactiveBorder
    0xABABAB,  // clAppWorkSpace
    0xFF9933,  // clHighlight
    0xFFFFFF,  // clHighlightText
    0xF0F0F0,  // clBtnFace
    0xA0A0A0,  // clBtnShadow
    0x6D6D6D,  // clGrayText
    0x000000,  // clBtnText
    0x000000,  // clInactiveCaptionText
    0xFFFFFF,  // clBtnHighlight
    0x696969,  // cl3DDkShadow
    0xE3E3E3,  // cl3DLight
    0x000000,  // clInfoText
    0xE1FFFF,  // clInfoBk
};

struct ColorIdent { TColor value; std::string_view name; };
inline constexpr ColorIdent kColorIdents[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"},
    {clMedGray, "clMedGray"}, {clNone, "clNone"}, {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"}, {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"}, {clWindow, "clWindow"}, {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"}, {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"}, {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"}, {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"}, {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"}, {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    // Aliases read from layouts; the writer uses the first name of a value.
    {clLtGray, "clLtGray"}, {clDkGray, "clDkGray"},
};
}  // namespace detail

// A system colour becomes the RGB value the table gives it; anything else keeps its low 24 bits.
constexpr TColor ColorToRGB(TColor color) noexcept {
    if ((color & 0xFF000000u) == clSystemColor) {
        const std::uint32_t index = color & 0xFFu;
        return index < std::size(detail::kSystemColors) ? detail::kSystemColors[index] : 0u;
    }
    return color & 0x00FFFFFFu;
}

// The stored pixel layout, 0xFFRRGGBB, which Qt (Format_RGB32) and X11 show as they are.
constexpr std::uint32_t ColorToPixel(TColor color) noexcept {
    const TColor c = ColorToRGB(color);
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr TColor PixelToColor(std::uint32_t pixel) noexcept {
    return ((pixel >> 16) & 0xFFu) | (pixel & 0xFF00u) | ((pixel & 0xFFu) << 16);
}

constexpr std::uint8_t GetRValue(TColor c) noexcept { return c & 0xFF; }
constexpr std::uint8_t GetGValue(TColor c) noexcept { return (c >> 8) & 0xFF; }
constexpr std::uint8_t GetBValue(TColor c) noexcept { return (c >> 16) & 0xFF; }
constexpr TColor RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b) noexcept {
    return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}

inline std::optional<TColor> IdentToColor(std::string_view ident) noexcept {
    for (const auto& e : detail::kColorIdents)
        if (e.name.size() == ident.size()) {
            bool same = true;
            for (std::size_t i = 0; i < ident.size() && same; ++i)
                same = (e.name[i] | 0x20) == (ident[i] | 0x20);
            if (same) return e.value;
        }
    return std::nullopt;
}
inline std::optional<std::string_view> ColorToIdent(TColor color) noexcept {
    for (const auto& e : detail::kColorIdents)
        if (e.value == color) return e.name;
    return std::nullopt;
}

}  // namespace kvb

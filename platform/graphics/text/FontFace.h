// The text engine behind TFont and the canvas's text operations: font names resolved through
// fontconfig, FreeType faces at one pixel size and style, and their rasterised glyphs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/system/System.h"

namespace kvb::text {

// One rasterised glyph: 8-bit coverage, Width × Height, rows top to bottom. Left and Top place
// the bitmap relative to the pen position on the baseline (Top counts rows upwards).
struct Glyph {
    Integer Left = 0, Top = 0;
    Integer Width = 0, Height = 0;
    Integer Advance = 0;  // whole pixels (hinted advance, rounded)
    std::vector<std::uint8_t> Coverage;
};

// What a request for a family and style resolved to.
struct FontSource {
    std::string File;
    Integer Index = 0;        // face index inside the file
    std::string Family;       // the family the file declares
    bool SyntheticBold = false;    // no bold face installed: FreeType emboldens the outlines
    bool SyntheticItalic = false;  // no italic face installed: FreeType slants the outlines
};

// A face at one pixel size with its cell metrics and a cache of its glyphs. Faces live in the
// process-wide font cache until the process ends, so pointers to them stay valid.
class FontFace {
public:
    FontFace(const FontSource& source, Integer height);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const FontSource& Source() const noexcept { return source_; }
    Integer PixelSize() const noexcept { return ppem_; }
    Integer Ascent() const noexcept { return ascent_; }
    Integer Descent() const noexcept { return descent_; }
    Integer CellHeight() const noexcept { return ascent_ + descent_; }
    // Rows below the baseline where the underline starts, and its thickness.
    Integer UnderlinePosition() const noexcept { return underlinePos_; }
    Integer LineThickness() const noexcept { return lineThickness_; }
    // Rows above the baseline where the strike-out line starts (it extends downwards).
    Integer StrikeOutPosition() const noexcept { return strikePos_; }

    // The glyph of an 8-bit character (codes 128–255 read as Windows-1252). Rasterised on first
    // use, then served from the cache.
    const Glyph& CharGlyph(unsigned char c) const {
        const Glyph* g = byChar_[c];
        return g != nullptr ? *g : LoadChar(c);
    }
    // Sum of the advances, saturated to the Integer range.
    Integer TextWidth(std::string_view text) const;
    // How many times a glyph has been rasterised (tests check the cache is used).
    std::size_t RasterisedCount() const noexcept { return rasterised_; }

private:
    struct Impl;
    const Glyph& LoadChar(unsigned char c) const;

    FontSource source_;
    std::unique_ptr<Impl> impl_;
    Integer ppem_ = 0;
    Integer ascent_ = 0, descent_ = 0;
    Integer underlinePos_ = 0, lineThickness_ = 1, strikePos_ = 0;
    mutable const Glyph* byChar_[256] = {};
    mutable std::unordered_map<std::uint32_t, Glyph> byIndex_;  // keyed by glyph index
    mutable std::size_t rasterised_ = 0;
};

enum class Pitch : std::uint8_t { Default, Variable, Fixed };

// The face for a family name, a TFont Height (negative: character height, positive: cell
// height) and a style. Framework family names ("MS Sans Serif", "Arial", "Courier New", …) map
// to the installed sans, serif or monospace family; an unknown family falls back to the default
// sans, DejaVu Sans when it is installed. Raises EFontError when no font is usable at all.
const FontFace& FindFace(std::string_view name, Integer height, bool bold, bool italic, Pitch pitch);

// The source a family name and style resolve to (no face is opened at a size).
FontSource ResolveFont(std::string_view name, bool bold, bool italic, Pitch pitch);

// Unicode code point of an 8-bit character read as Windows-1252.
std::uint32_t Cp1252ToUnicode(unsigned char c) noexcept;

// Forgets the fontconfig configuration and every name resolution, so that the next request
// reads the configuration again (FONTCONFIG_FILE included). Faces already handed out stay
// valid. For tests only.
void ReloadFontConfigurationForTesting();

}  // namespace kvb::text

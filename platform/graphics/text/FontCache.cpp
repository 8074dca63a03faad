// Font resolution through fontconfig and the process-wide cache of FreeType faces.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <optional>

#include "platform/graphics/text/FontFace.h"

namespace kvb::text {

namespace {

// The message names the package, so that whoever sees it knows the one command that helps.
constexpr const char* kNoFontMessage =
    "No usable font found: install the Debian package fonts-dejavu-core "
    "(apt-get install fonts-dejavu-core)";

// Larger requests are clamped: a glyph's coverage grows with the square of the size, and no
// screen or the 600 dpi printer canvas needs more than this.
constexpr Integer kMaxPixelSize = 1000;
// Height 0 asks for the default size.
constexpr Integer kDefaultHeight = -11;

std::string Lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) throw EFontError("FreeType cannot be initialised");
        return lib;
    }();
    return library;
}

enum class Kind : std::uint8_t { Other, Sans, Serif, Mono };

// Families that stored layouts of the original platform name, and the kind of family that
// stands in for each.
Kind KindOf(const std::string& lowered) {
    static const std::map<std::string, Kind, std::less<>> kKnown = {
        {"", Kind::Sans}, {"default", Kind::Sans}, {"system", Kind::Sans},
        {"ms sans serif", Kind::Sans}, {"microsoft sans serif", Kind::Sans},
        {"ms shell dlg", Kind::Sans}, {"ms shell dlg 2", Kind::Sans}, {"arial", Kind::Sans},
        {"tahoma", Kind::Sans}, {"verdana", Kind::Sans}, {"segoe ui", Kind::Sans},
        {"helvetica", Kind::Sans}, {"small fonts", Kind::Sans}, {"calibri", Kind::Sans},
        {"trebuchet ms", Kind::Sans}, {"lucida sans unicode", Kind::Sans},
        {"sans", Kind::Sans}, {"sans-serif", Kind::Sans},
        {"times new roman", Kind::Serif}, {"times", Kind::Serif}, {"ms serif", Kind::Serif},
        {"georgia", Kind::Serif}, {"cambria", Kind::Serif}, {"serif", Kind::Serif},
        {"courier new", Kind::Mono}, {"courier", Kind::Mono}, {"fixedsys", Kind::Mono},
        {"terminal", Kind::Mono}, {"lucida console", Kind::Mono}, {"consolas", Kind::Mono},
        {"monospace", Kind::Mono}, {"mono", Kind::Mono},
    };
    const auto it = kKnown.find(lowered);
    return it == kKnown.end() ? Kind::Other : it->second;
}

struct Candidate {
    std::string family;
    bool exact;  // the match must declare this family; otherwise fontconfig may substitute
};

// The DejaVu family of each kind comes first and must match exactly, so that the choice does
// not depend on what else is installed or on the order of the machine's fontconfig rules.
void AppendChain(std::vector<Candidate>& out, Kind kind) {
    switch (kind) {
        case Kind::Serif:
            out.push_back({"DejaVu Serif", true});
            out.push_back({"serif", false});
            break;
        case Kind::Mono:
            out.push_back({"DejaVu Sans Mono", true});
            out.push_back({"monospace", false});
            break;
        default:
            break;
    }
    out.push_back({"DejaVu Sans", true});
    out.push_back({"sans-serif", false});
}

class FontSystem {
public:
    static FontSystem& Instance() {
        static FontSystem* instance = new FontSystem;  // lives to the end of the process
        return *instance;
    }

    void ReleaseConfig() {
        if (config_ != nullptr) FcConfigDestroy(config_);
        config_ = nullptr;
    }

    void Reload() {
        ReleaseConfig();
        resolved_.clear();
        lookup_.clear();
    }

    FontSource Resolve(std::string_view name, bool bold, bool italic, Pitch pitch) {
        std::string key = Lowered(name);
        key += '\0';
        key += static_cast<char>('0' + (bold ? 1 : 0) + (italic ? 2 : 0) + 4 * static_cast<int>(pitch));
        if (const auto it = resolved_.find(key); it != resolved_.end()) return it->second;

        const std::string lowered = Lowered(name);
        const Kind kind = KindOf(lowered);
        std::vector<Candidate> chain;
        if (kind == Kind::Other) {
            chain.push_back({std::string(name), true});
            AppendChain(chain, pitch == Pitch::Fixed ? Kind::Mono : Kind::Sans);
        } else {
            AppendChain(chain, kind);
        }
        for (const Candidate& c : chain) {
            if (auto source = Match(c, bold, italic)) {
                resolved_.emplace(key, *source);
                return *source;
            }
        }
        throw EFontError(kNoFontMessage);
    }

    const FontFace& Find(std::string_view name, Integer height, bool bold, bool italic, Pitch pitch) {
        if (height == 0) height = kDefaultHeight;
        height = std::clamp(height, -kMaxPixelSize, kMaxPixelSize);
        std::string key = Lowered(name);
        key += '\0';
        key += static_cast<char>('0' + (bold ? 1 : 0) + (italic ? 2 : 0) + 4 * static_cast<int>(pitch));
        key += std::to_string(height);
        if (const auto it = lookup_.find(key); it != lookup_.end()) return *it->second;

        const FontSource source = Resolve(name, bold, italic, pitch);
        std::string faceKey = source.File;
        faceKey += '\0' + std::to_string(source.Index) + '/' + (source.SyntheticBold ? 'b' : '-') +
                   (source.SyntheticItalic ? 'i' : '-') + std::to_string(height);
        auto found = faces_.find(faceKey);
        if (found == faces_.end())
            found = faces_.emplace(faceKey, std::make_unique<FontFace>(source, height)).first;
        lookup_.emplace(std::move(key), found->second.get());
        return *found->second;
    }

private:
    FcConfig* Config() {
        if (config_ == nullptr) {
            config_ = FcInitLoadConfigAndFonts();
            if (config_ == nullptr) throw EFontError(kNoFontMessage);
            // fontconfig frees part of what loading allocated only with the configuration;
            // releasing it at exit keeps leak checkers quiet about memory nobody could reach.
            static const bool registered = (std::atexit([] { Instance().ReleaseConfig(); }), true);
            (void)registered;
        }
        return config_;
    }

    std::optional<FontSource> Match(const Candidate& c, bool bold, bool italic) {
        FcConfig* config = Config();
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(c.family.c_str()));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        FcPatternDestroy(pattern);
        if (match == nullptr) return std::nullopt;

        std::optional<FontSource> source;
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
            FontSource s;
            s.File = reinterpret_cast<const char*>(file);
            int index = 0;
            if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) s.Index = index;
            bool familyOk = !c.exact;
            const std::string wanted = Lowered(c.family);
            FcChar8* family = nullptr;
            for (int k = 0; FcPatternGetString(match, FC_FAMILY, k, &family) == FcResultMatch; ++k) {
                const std::string declared = reinterpret_cast<const char*>(family);
                if (k == 0) s.Family = declared;
                if (Lowered(declared) == wanted) {
                    familyOk = true;
                    s.Family = declared;
                    break;
                }
            }
            if (familyOk && Inspect(s, bold, italic)) source = std::move(s);
        }
        FcPatternDestroy(match);
        return source;
    }

    // Opens the file the match names (fontconfig's cache can name a file that has gone or that
    // FreeType cannot read) and asks the face itself whether it is bold or italic: what
    // fontconfig reports for a match mixes in the values of the request.
    static bool Inspect(FontSource& s, bool bold, bool italic) {
        FT_Face face = nullptr;
        if (FT_New_Face(Library(), s.File.c_str(), s.Index, &face) != 0) return false;
        const bool scalable = FT_IS_SCALABLE(face);
        bool isBold = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
        const bool isItalic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
        if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
            os2 != nullptr && os2->version != 0xFFFF && os2->usWeightClass >= 600)
            isBold = true;
        FT_Done_Face(face);
        s.SyntheticBold = bold && !isBold;
        s.SyntheticItalic = italic && !isItalic;
        return scalable;
    }

    FcConfig* config_ = nullptr;
    std::unordered_map<std::string, FontSource> resolved_;
    std::unordered_map<std::string, const FontFace*> lookup_;
    std::unordered_map<std::string, std::unique_ptr<FontFace>> faces_;
};

Integer ScaleRound(long units, Integer ppem, long unitsPerEm) {
    return static_cast<Integer>(Round(static_cast<Extended>(units) * ppem / unitsPerEm));
}

}  // namespace

struct FontFace::Impl {
    FT_Face face = nullptr;
};

FontFace::FontFace(const FontSource& source, Integer height) : source_(source), impl_(std::make_unique<Impl>()) {
    if (FT_New_Face(Library(), source.File.c_str(), source.Index, &impl_->face) != 0)
        throw EFontError(kNoFontMessage);
    FT_Face face = impl_->face;
    const long upem = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    // The Windows metrics of the OS/2 table give the cell the original platform measures;
    // fonts without them use the horizontal header.
    long asc = face->ascender, desc = -face->descender;
    long strikePos = upem * 3 / 10, strikeSize = face->underline_thickness;
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        os2 != nullptr && os2->version != 0xFFFF) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            asc = os2->usWinAscent;
            desc = os2->usWinDescent;
        }
        if (os2->yStrikeoutSize > 0) {
            strikePos = os2->yStrikeoutPosition;
            strikeSize = os2->yStrikeoutSize;
        }
    }
    if (asc + desc <= 0) {
        asc = upem * 4 / 5;
        desc = upem - asc;
    }
    if (height < 0) {
        ppem_ = -height;
        ascent_ = ScaleRound(asc, ppem_, upem);
        descent_ = std::max(0, ScaleRound(asc + desc, ppem_, upem) - ascent_);
    } else {
        // A positive height is the cell: the em follows from the font's proportions, and the
        // cell keeps exactly the height asked for.
        ppem_ = std::max(1, static_cast<Integer>(Round(static_cast<Extended>(height) * upem / (asc + desc))));
        ascent_ = static_cast<Integer>(Round(static_cast<Extended>(height) * asc / (asc + desc)));
        descent_ = height - ascent_;
    }
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem_)) != 0) {
        FT_Done_Face(face);
        impl_->face = nullptr;
        throw EFontError(kNoFontMessage);
    }
    const Integer cell = ascent_ + descent_;
    lineThickness_ = std::clamp(ScaleRound(face->underline_thickness, ppem_, upem), 1, std::max(1, cell));
    // Underline: centred on the font's underline position, kept inside the cell.
    underlinePos_ = ScaleRound(-face->underline_position, ppem_, upem) - lineThickness_ / 2;
    underlinePos_ = std::clamp(underlinePos_, 0, std::max(0, descent_ - lineThickness_));
    strikePos_ = ScaleRound(strikePos, ppem_, upem) + (ScaleRound(strikeSize, ppem_, upem) - lineThickness_) / 2;
    strikePos_ = std::clamp(strikePos_, lineThickness_, std::max(lineThickness_, ascent_));
}

FontFace::~FontFace() {
    if (impl_ && impl_->face != nullptr) FT_Done_Face(impl_->face);
}

const Glyph& FontFace::LoadChar(unsigned char c) const {
    FT_Face face = impl_->face;
    const FT_UInt index = FT_Get_Char_Index(face, Cp1252ToUnicode(c));
    auto it = byIndex_.find(index);
    if (it == byIndex_.end()) {
        Glyph g;
        if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) == 0) {
            FT_GlyphSlot slot = face->glyph;
            if (source_.SyntheticBold) FT_GlyphSlot_Embolden(slot);
            if (source_.SyntheticItalic) FT_GlyphSlot_Oblique(slot);
            g.Advance = static_cast<Integer>((slot->advance.x + 32) >> 6);
            if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0) {
                const FT_Bitmap& bm = slot->bitmap;
                g.Left = slot->bitmap_left;
                g.Top = slot->bitmap_top;
                g.Width = static_cast<Integer>(bm.width);
                g.Height = static_cast<Integer>(bm.rows);
                g.Coverage.resize(std::size_t(g.Width) * std::size_t(g.Height));
                for (Integer row = 0; row < g.Height; ++row) {
                    const unsigned char* src = bm.pitch >= 0
                                                   ? bm.buffer + std::ptrdiff_t(row) * bm.pitch
                                                   : bm.buffer + std::ptrdiff_t(g.Height - 1 - row) * -bm.pitch;
                    std::copy_n(src, g.Width, g.Coverage.begin() + std::ptrdiff_t(row) * g.Width);
                }
            }
        }
        ++rasterised_;
        it = byIndex_.emplace(index, std::move(g)).first;
    }
    byChar_[c] = &it->second;
    return it->second;
}

Integer FontFace::TextWidth(std::string_view text) const {
    Int64 width = 0;
    for (const char ch : text) width += CharGlyph(static_cast<unsigned char>(ch)).Advance;
    return static_cast<Integer>(std::clamp<Int64>(width, 0, std::numeric_limits<Integer>::max()));
}

const FontFace& FindFace(std::string_view name, Integer height, bool bold, bool italic, Pitch pitch) {
    return FontSystem::Instance().Find(name, height, bold, italic, pitch);
}

FontSource ResolveFont(std::string_view name, bool bold, bool italic, Pitch pitch) {
    return FontSystem::Instance().Resolve(name, bold, italic, pitch);
}

void ReloadFontConfigurationForTesting() { FontSystem::Instance().Reload(); }

std::uint32_t Cp1252ToUnicode(unsigned char c) noexcept {
    // 0x80–0x9F hold the typographic characters; the five unassigned codes stay as they are.
    static constexpr std::uint16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    return (c >= 0x80 && c < 0xA0) ? kHigh[c - 0x80] : c;
}

}  // namespace kvb::text

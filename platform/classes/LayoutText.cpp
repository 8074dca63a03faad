#include "platform/classes/LayoutText.h"

#include <locale.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "platform/graphics/Color.h"

namespace kvb::layout {

namespace {

bool IsAlpha(char c) noexcept { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }
bool IsHex(char c) noexcept {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int HexValue(char c) noexcept {
    return IsDigit(c) ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : c - 'A' + 10;
}

// strtold follows the process locale; layouts always use a point.
locale_t CLocale() {
    static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

}  // namespace

bool SameText(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

std::string Shorten(std::string_view s) {
    constexpr std::size_t kMax = 40;
    return s.size() <= kMax ? std::string(s) : std::string(s.substr(0, kMax)) + "...";
}

std::string Describe(const Token& t) {
    switch (t.Kind) {
    case TokKind::EndOfText: return "end of text";
    case TokKind::Ident: return "'" + Shorten(t.Text) + "'";
    case TokKind::Integer:
    case TokKind::Float: return "number " + Shorten(t.Text);
    case TokKind::String: return "string";
    case TokKind::Symbol: return std::string("'") + t.Sym + "'";
    }
    return "?";
}

void Fail(const TextPos& pos, std::string message) { throw LayoutError{std::move(message), pos}; }

// ---------------------------------------------------------------------------------------
// Tokenizer

void Lexer::Advance() noexcept {
    const char c = text_[at_++];
    if (c == '\n' || (c == '\r' && Peek() != '\n')) {
        ++line_;
        column_ = 1;
    } else if (c != '\r') {
        ++column_;
    }
}

void Lexer::SkipSpace() noexcept {
    while (!AtEnd()) {
        const char c = Peek();
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') break;
        Advance();
    }
}

Token Lexer::Next() {
    SkipSpace();
    Token t;
    t.Pos = Pos();
    if (AtEnd()) return t;
    const std::size_t start = at_;
    const char c = Peek();
    if (IsAlpha(c)) {
        while (!AtEnd() && (IsAlpha(Peek()) || IsDigit(Peek()))) Advance();
        t.Kind = TokKind::Ident;
        t.Text = text_.substr(start, at_ - start);
    } else if (IsDigit(c) || c == '$') {
        ReadNumber(t);
        t.Text = text_.substr(start, at_ - start);
    } else if (c == '\'' || c == '#') {
        ReadString(t);
    } else if (std::string_view("=:.,[]+-()<>{};").find(c) != std::string_view::npos) {
        Advance();
        t.Kind = TokKind::Symbol;
        t.Sym = c;
        t.Text = text_.substr(start, 1);
    } else {
        Fail(t.Pos, "Invalid character #" + std::to_string(static_cast<unsigned char>(c)));
    }
    return t;
}

void Lexer::ReadNumber(Token& t) {
    t.Kind = TokKind::Integer;
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    bool overflow = false;
    std::uint64_t v = 0;
    if (Peek() == '$') {
        Advance();
        if (!IsHex(Peek())) Fail(Pos(), "Hexadecimal digit expected");
        while (IsHex(Peek())) {
            if (v > (kMax >> 4)) overflow = true;
            v = (v << 4) | static_cast<std::uint64_t>(HexValue(Peek()));
            Advance();
        }
    } else {
        while (IsDigit(Peek())) {
            const auto d = static_cast<std::uint64_t>(Peek() - '0');
            if (v > (kMax - d) / 10) overflow = true;
            v = v * 10 + d;
            Advance();
        }
        if (Peek() == '.') {
            Advance();
            if (!IsDigit(Peek())) Fail(Pos(), "Digit expected after the decimal point");
            while (IsDigit(Peek())) Advance();
            t.Kind = TokKind::Float;
        }
        if (Peek() == 'e' || Peek() == 'E') {
            Advance();
            if (Peek() == '+' || Peek() == '-') Advance();
            if (!IsDigit(Peek())) Fail(Pos(), "Digit expected in the exponent");
            while (IsDigit(Peek())) Advance();
            t.Kind = TokKind::Float;
        }
    }
    if (IsAlpha(Peek()) || IsDigit(Peek()) || Peek() == '.') Fail(t.Pos, "Invalid number");
    if (overflow && t.Kind == TokKind::Integer) Fail(t.Pos, "Integer too large");
    t.IntValue = v;
}

void Lexer::ReadString(Token& t) {
    t.Kind = TokKind::String;
    // Quoted parts and #nn codes follow each other without space: 'a'#13#10'b'.
    for (;;) {
        if (Peek() == '\'') {
            const TextPos open = Pos();
            Advance();
            for (;;) {
                if (AtEnd() || Peek() == '\n' || Peek() == '\r') Fail(open, "Unterminated string");
                if (Peek() == '\'') {
                    Advance();
                    if (Peek() != '\'') break;
                }
                t.Str.push_back(Peek());
                Advance();
            }
        } else if (Peek() == '#') {
            const TextPos at = Pos();
            Advance();
            unsigned code = 0;
            bool any = false;
            if (Peek() == '$') {
                Advance();
                while (IsHex(Peek())) {
                    code = std::min(code * 16 + static_cast<unsigned>(HexValue(Peek())), 0x10000u);
                    any = true;
                    Advance();
                }
            } else {
                while (IsDigit(Peek())) {
                    code = std::min(code * 10 + static_cast<unsigned>(Peek() - '0'), 0x10000u);
                    any = true;
                    Advance();
                }
            }
            if (!any) Fail(at, "Character code expected after #");
            if (code > 255) Fail(at, "Character code out of range (0..255)");
            t.Str.push_back(static_cast<char>(code));
        } else {
            break;
        }
    }
}

// ---------------------------------------------------------------------------------------
// Values

Value ParseValue(Lexer& lexer, Token& t) {
    Value v;
    v.Pos = t.Pos;
    if (t.Kind == TokKind::Symbol && t.Sym == '-') {
        v.Negative = true;
        t = lexer.Next();
        if (t.Kind != TokKind::Integer && t.Kind != TokKind::Float && t.Kind != TokKind::Ident)
            Fail(t.Pos, "Number expected but " + Describe(t) + " found");
    }
    switch (t.Kind) {
    case TokKind::Integer:
        v.Kind = Value::Integer;
        v.Magnitude = t.IntValue;
        v.Text = std::string(t.Text);
        t = lexer.Next();
        return v;
    case TokKind::Float:
        v.Kind = Value::Float;
        v.Text = std::string(t.Text);
        t = lexer.Next();
        return v;
    case TokKind::Ident:
        v.Kind = Value::Ident;
        v.Text = std::string(t.Text);
        t = lexer.Next();
        // A component of another root would be written Root.Name; keep the whole path.
        while (!v.Negative && t.Kind == TokKind::Symbol && t.Sym == '.') {
            t = lexer.Next();
            if (t.Kind != TokKind::Ident) Fail(t.Pos, "Identifier expected but " + Describe(t) + " found");
            v.Text += '.';
            v.Text += t.Text;
            t = lexer.Next();
        }
        return v;
    case TokKind::String:
        v.Kind = Value::String;
        v.Text = std::move(t.Str);
        t = lexer.Next();
        // Long strings are split over lines: 'first part' + 'second part'.
        while (t.Kind == TokKind::Symbol && t.Sym == '+') {
            t = lexer.Next();
            if (t.Kind != TokKind::String) Fail(t.Pos, "String expected but " + Describe(t) + " found");
            v.Text += t.Str;
            t = lexer.Next();
        }
        return v;
    case TokKind::Symbol:
        if (t.Sym == '[') {
            v.Kind = Value::Set;
            t = lexer.Next();
            if (t.Kind == TokKind::Symbol && t.Sym == ']') {
                t = lexer.Next();
                return v;
            }
            for (;;) {
                if (t.Kind != TokKind::Ident) Fail(t.Pos, "Identifier expected but " + Describe(t) + " found");
                v.Items.push_back({std::string(t.Text), t.Pos});
                t = lexer.Next();
                if (t.Kind == TokKind::Symbol && t.Sym == ']') break;
                if (t.Kind != TokKind::Symbol || t.Sym != ',')
                    Fail(t.Pos, "',' or ']' expected but " + Describe(t) + " found");
                t = lexer.Next();
            }
            t = lexer.Next();
            return v;
        }
        break;
    case TokKind::EndOfText: break;
    }
    Fail(t.Pos, "Value expected but " + Describe(t) + " found");
}

namespace {

const char* KindName(Value::ValueKind k) {
    switch (k) {
    case Value::Integer: return "an integer";
    case Value::Float: return "a floating-point number";
    case Value::String: return "a string";
    case Value::Ident: return "an identifier";
    case Value::Set: return "a set";
    }
    return "a value";
}

[[noreturn]] void WrongKind(const TPropInfo& p, const Value& v, const char* expected) {
    Fail(v.Pos, "Invalid value for property " + p.Name + ": " + expected + " expected but " +
                    KindName(v.Kind) + " found");
}

Int64 SignedValue(const TPropInfo& p, const Value& v) {
    constexpr std::uint64_t kTop = std::uint64_t{1} << 63;
    if (v.Negative) {
        if (v.Magnitude > kTop) Fail(v.Pos, "Value out of range for property " + p.Name);
        return v.Magnitude == kTop ? std::numeric_limits<Int64>::min() : -static_cast<Int64>(v.Magnitude);
    }
    if (v.Magnitude >= kTop) Fail(v.Pos, "Value out of range for property " + p.Name);
    return static_cast<Int64>(v.Magnitude);
}

Int64 RangeChecked(const TPropInfo& p, const Value& v, Int64 x) {
    if (x < p.MinValue || x > p.MaxValue)
        Fail(v.Pos, "Value " + std::to_string(x) + " out of range for property " + p.Name + " (" +
                        std::to_string(p.MinValue) + ".." + std::to_string(p.MaxValue) + ")");
    return x;
}

// Parses the digits in the property's own width, so that the value is rounded once.
Extended ParseFloat(const TPropInfo& p, const Value& v) {
    const std::string& s = v.Text;
    Extended x = 0;
    bool ok = false;
    if (!s.empty() && s[0] == '$') {
        x = static_cast<Extended>(v.Magnitude);
        ok = true;
    } else if (p.FloatBits == 32) {
        float f = 0;
        auto r = std::from_chars(s.data(), s.data() + s.size(), f);
        ok = r.ec == std::errc() && r.ptr == s.data() + s.size();
        x = f;
    } else if (p.FloatBits == 64) {
        double d = 0;
        auto r = std::from_chars(s.data(), s.data() + s.size(), d);
        ok = r.ec == std::errc() && r.ptr == s.data() + s.size();
        x = d;
    } else {
        char* end = nullptr;
        x = strtold_l(s.c_str(), &end, CLocale());
        // Subnormal results are values like any other; only overflow is refused.
        ok = end == s.c_str() + s.size() && !std::isinf(x);
    }
    if (!ok) Fail(v.Pos, "Floating-point value out of range for property " + p.Name);
    return v.Negative ? -x : x;
}

template <class F>
void CallSetter(const Value& v, F&& set) {
    try {
        set();
    } catch (const LayoutError&) {
        throw;
    } catch (const std::exception& e) {
        Fail(v.Pos, e.what());
    }
}

}  // namespace

void AssignValue(TPersistent* instance, const TPropInfo& p, const Value& v) {
    switch (p.Kind) {
    case TPropKind::Integer: {
        if (v.Kind != Value::Integer) WrongKind(p, v, "an integer");
        const Int64 x = RangeChecked(p, v, SignedValue(p, v));
        CallSetter(v, [&] { p.SetOrd(instance, x); });
        return;
    }
    case TPropKind::Float: {
        Extended x = 0;
        if (v.Kind == Value::Integer || v.Kind == Value::Float) {
            x = ParseFloat(p, v);
        } else if (v.Kind == Value::Ident && SameText(v.Text, "INF")) {
            x = v.Negative ? -std::numeric_limits<Extended>::infinity() : std::numeric_limits<Extended>::infinity();
        } else if (v.Kind == Value::Ident && !v.Negative && SameText(v.Text, "NAN")) {
            x = std::numeric_limits<Extended>::quiet_NaN();
        } else {
            WrongKind(p, v, "a number");
        }
        CallSetter(v, [&] { p.SetFloat(instance, x); });
        return;
    }
    case TPropKind::Boolean: {
        if (v.Kind != Value::Ident || v.Negative) WrongKind(p, v, "True or False");
        Int64 x = 0;
        if (SameText(v.Text, "True"))
            x = 1;
        else if (!SameText(v.Text, "False"))
            Fail(v.Pos, "Invalid value for property " + p.Name + ": True or False expected but '" +
                            Shorten(v.Text) + "' found");
        CallSetter(v, [&] { p.SetOrd(instance, x); });
        return;
    }
    case TPropKind::String:
        if (v.Kind != Value::String) WrongKind(p, v, "a string");
        CallSetter(v, [&] { p.SetStr(instance, v.Text); });
        return;
    case TPropKind::Char: {
        if (v.Kind != Value::String) WrongKind(p, v, "a character");
        if (v.Text.size() != 1)
            Fail(v.Pos, "Invalid value for property " + p.Name + ": one character expected");
        const Int64 x = static_cast<unsigned char>(v.Text[0]);
        CallSetter(v, [&] { p.SetOrd(instance, x); });
        return;
    }
    case TPropKind::Enum: {
        if (v.Kind != Value::Ident || v.Negative) WrongKind(p, v, "an enumeration value");
        const int x = p.Enum->IndexOf(v.Text);
        if (x < 0)
            Fail(v.Pos, "Invalid value for property " + p.Name + ": '" + Shorten(v.Text) +
                            "' is not a value of " + std::string(p.Enum->TypeName));
        CallSetter(v, [&] { p.SetOrd(instance, x); });
        return;
    }
    case TPropKind::Set: {
        if (v.Kind != Value::Set) WrongKind(p, v, "a set");
        std::uint64_t bits = 0;
        for (const Value::Item& item : v.Items) {
            const int x = p.Enum->IndexOf(item.Name);
            if (x < 0 || x >= 64)
                Fail(item.Pos, "Invalid value for property " + p.Name + ": '" + Shorten(item.Name) +
                                   "' is not a value of " + std::string(p.Enum->TypeName));
            bits |= std::uint64_t{1} << x;
        }
        CallSetter(v, [&] { p.SetOrd(instance, static_cast<Int64>(bits)); });
        return;
    }
    case TPropKind::Color: {
        Int64 x = 0;
        if (v.Kind == Value::Ident && !v.Negative) {
            const auto c = IdentToColor(v.Text);
            if (!c) Fail(v.Pos, "Invalid value for property " + p.Name + ": '" + Shorten(v.Text) +
                                    "' is not a colour");
            x = static_cast<Int64>(*c);
        } else if (v.Kind == Value::Integer) {
            x = RangeChecked(p, v, SignedValue(p, v));
        } else {
            WrongKind(p, v, "a colour");
        }
        CallSetter(v, [&] { p.SetOrd(instance, x); });
        return;
    }
    case TPropKind::Object:
        Fail(v.Pos, "Property " + p.Name + " is an object: set its properties as " + p.Name + ".Name = value");
    case TPropKind::Component:
    case TPropKind::Event:
        Fail(v.Pos, "Property " + p.Name + " cannot be set from a value here");
    }
    Fail(v.Pos, "Property " + p.Name + " cannot be set");
}

// ---------------------------------------------------------------------------------------
// Writing values

std::string QuoteString(std::string_view s) {
    if (s.empty()) return "''";
    std::string out;
    bool quoted = false;
    for (const char ch : s) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 32 && b < 127) {
            if (!quoted) out += '\'';
            quoted = true;
            out += ch;
            if (ch == '\'') out += '\'';
        } else {
            if (quoted) out += '\'';
            quoted = false;
            out += '#';
            out += std::to_string(b);
        }
    }
    if (quoted) out += '\'';
    return out;
}

std::string FormatFloat(Extended value, int bits) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    char buf[128];
    std::to_chars_result r{};
    // The shortest text that reads back to the same value in the property's own width.
    if (bits == 32)
        r = std::to_chars(buf, buf + sizeof buf, static_cast<float>(value));
    else if (bits == 64)
        r = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value));
    else
        r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

bool FormatValue(const TPersistent* instance, const TPropInfo& p, std::string& out) {
    switch (p.Kind) {
    case TPropKind::Integer:
        out = std::to_string(p.GetOrd(instance));
        return true;
    case TPropKind::Float:
        out = FormatFloat(p.GetFloat(instance), p.FloatBits);
        return true;
    case TPropKind::Boolean:
        out = p.GetOrd(instance) != 0 ? "True" : "False";
        return true;
    case TPropKind::String:
        out = QuoteString(p.GetStr(instance));
        return true;
    case TPropKind::Char:
        out = QuoteString(std::string(1, static_cast<char>(p.GetOrd(instance))));
        return true;
    case TPropKind::Enum: {
        const Int64 x = p.GetOrd(instance);
        if (x < 0 || x >= static_cast<Int64>(p.Enum->Names.size())) return false;
        out = std::string(p.Enum->Names[static_cast<std::size_t>(x)]);
        return true;
    }
    case TPropKind::Set: {
        const auto bits = static_cast<std::uint64_t>(p.GetOrd(instance));
        out = "[";
        for (std::size_t i = 0; i < p.Enum->Names.size() && i < 64; ++i)
            if (bits & (std::uint64_t{1} << i)) {
                if (out.size() > 1) out += ", ";
                out += p.Enum->Names[i];
            }
        out += "]";
        return true;
    }
    case TPropKind::Color: {
        const Int64 x = p.GetOrd(instance);
        if (x >= 0 && x <= 0xFFFFFFFF) {
            if (const auto ident = ColorToIdent(static_cast<TColor>(x))) {
                out = std::string(*ident);
                return true;
            }
        }
        if (x > std::numeric_limits<std::int32_t>::max()) {
            // System colours and the like read better in hexadecimal.
            char buf[24];
            std::snprintf(buf, sizeof buf, "$%08llX", static_cast<unsigned long long>(x));
            out = buf;
        } else {
            out = std::to_string(x);
        }
        return true;
    }
    case TPropKind::Component: {
        const TPersistent* ref = p.GetObj(instance);
        const auto* c = dynamic_cast<const TComponent*>(ref);
        out = c == nullptr ? "nil" : c->Name();
        return c == nullptr || !c->Name().empty();
    }
    case TPropKind::Object:
    case TPropKind::Event: return false;
    }
    return false;
}

}  // namespace kvb::layout

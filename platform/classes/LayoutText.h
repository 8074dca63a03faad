// Internals shared by the layout reader, the writer and the property helpers: the tokenizer,
// parsed values, and the conversions between values and published properties.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Classes.h"

namespace kvb::layout {

struct TextPos {
    int Line = 1, Column = 1;
};

// A fault found while reading, with the place it was found; the reader turns it into
// EReadError, the property helpers into EConvertError.
struct LayoutError {
    std::string Message;
    TextPos Pos;
};

enum class TokKind : std::uint8_t { EndOfText, Ident, Integer, Float, String, Symbol };

struct Token {
    TokKind Kind = TokKind::EndOfText;
    TextPos Pos;
    std::string_view Text;   // the token as written (Ident, Integer, Float, Symbol)
    std::uint64_t IntValue = 0;  // Integer: the magnitude
    std::string Str;         // String: the characters, quotes and #nn codes resolved
    char Sym = 0;            // Symbol
};

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}
    Token Next();
    TextPos Pos() const noexcept { return {line_, column_}; }

private:
    char Peek(std::size_t ahead = 0) const noexcept {
        return at_ + ahead < text_.size() ? text_[at_ + ahead] : '\0';
    }
    bool AtEnd() const noexcept { return at_ >= text_.size(); }
    void Advance() noexcept;
    void SkipSpace() noexcept;
    void ReadNumber(Token& t);
    void ReadString(Token& t);

    std::string_view text_;
    std::size_t at_ = 0;
    int line_ = 1, column_ = 1;
};

// A value as written after "Prop =".
struct Value {
    enum ValueKind : std::uint8_t { Integer, Float, String, Ident, Set };
    ValueKind Kind = Integer;
    TextPos Pos;
    bool Negative = false;         // Integer and Float (a leading minus)
    std::uint64_t Magnitude = 0;   // Integer
    std::string Text;              // Float: the digits as written; String: characters; Ident: name
    struct Item {
        std::string Name;
        TextPos Pos;
    };
    std::vector<Item> Items;       // Set
};

// Parses one value starting at T and leaves T at the token after it.
Value ParseValue(Lexer& lexer, Token& t);

// Gives the value to the property through its setter. References and events are the reader's
// business; here they are faults.
void AssignValue(TPersistent* instance, const TPropInfo& prop, const Value& value);

// The property's current value as a layout writes it, or false when it has none that a layout
// can hold (an Object, an Event, an enumeration ordinal without a name).
bool FormatValue(const TPersistent* instance, const TPropInfo& prop, std::string& out);

std::string QuoteString(std::string_view s);
std::string FormatFloat(Extended value, int bits);
bool SameText(std::string_view a, std::string_view b) noexcept;
// A name or token for a message, cut short if long.
std::string Describe(const Token& t);
std::string Shorten(std::string_view s);
[[noreturn]] void Fail(const TextPos& pos, std::string message);

}  // namespace kvb::layout

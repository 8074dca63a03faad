// Stored layouts: the text form of a component tree (one "object Name: TClass ... end" block per
// component, "Prop = value" and "Sub.Prop = value" lines), its reader and its writer, and the
// access to published properties by dotted path that both are built on.
#pragma once

#include <any>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Classes.h"

namespace kvb {

struct TLayoutOptions {
    // Property lines the reader skips without a word, each written "TClassName.Prop.Path" with
    // the class of the component whose block holds the line (or one of its ancestors). Meant for
    // a layout that still carries properties a component does not have; keep the list short.
    std::vector<std::string> IgnoredProperties;
};

// Objects may nest this deep (the root counts as the first level).
constexpr int MaxLayoutDepth = 64;

// Reads a layout into Root, whose class (or an ancestor's) must be the class of the top block.
// The components of the nested blocks are created with Root as their owner, named, and handed
// their enclosing block's component through SetParentComponent. All of them stay in csLoading
// while the properties are applied in the order of the text through their setters; references
// to components are resolved once the whole text is read (they may name later components);
// events are bound to Root's published methods. Then Loaded runs once on every component, Root
// first, in creation order.
// Every fault raises EReadError whose message ends in "at line L, column C"; the components the
// reader created by then are freed again (Root keeps the property values already applied).
void ReadLayout(std::string_view text, TComponent* root, const TLayoutOptions& options = {});

// Writes Root and the components it owns as a layout: properties in published order, sub-object
// properties as dotted paths, events under the method names they were bound to from a layout,
// and nested blocks as GetChildren gives them. Reading the text back gives the same values.
std::string WriteLayout(TComponent* root);

// ---------------------------------------------------------------------------------------
// Published properties by dotted path ("Font.Color", "Scale1X.DateFormat.TimeFormat"); a name
// that is not published, a step through a property that is not an owned sub-object, or a value
// of the wrong kind or out of the property's range raises EConvertError.

struct TPropRef {
    TPersistent* Instance = nullptr;   // the object that holds the last property of the path
    const TPropInfo* Info = nullptr;
};
TPropRef FindPropPath(const TPersistent* instance, std::string_view path);

// Integer, Boolean (0/1), Char, Enum (ordinal), Set (bits) and Color.
Int64 GetOrdProp(const TPersistent* instance, std::string_view path);
void SetOrdProp(TPersistent* instance, std::string_view path, Int64 value);
// Float.
Extended GetFloatProp(const TPersistent* instance, std::string_view path);
void SetFloatProp(TPersistent* instance, std::string_view path, Extended value);
// String (and Char, as a one-character string).
std::string GetStrProp(const TPersistent* instance, std::string_view path);
void SetStrProp(TPersistent* instance, std::string_view path, const std::string& value);
// Enum and Boolean by value name.
std::string GetEnumProp(const TPersistent* instance, std::string_view path);
void SetEnumProp(TPersistent* instance, std::string_view path, std::string_view name);
// Object: the owned sub-object.
TPersistent* GetObjectProp(const TPersistent* instance, std::string_view path);
// Component: the referenced component, which must be of the property's class (or nullptr).
TComponent* GetComponentProp(const TPersistent* instance, std::string_view path);
void SetComponentProp(TPersistent* instance, std::string_view path, TComponent* value);
// Event: Handler holds exactly the event's std::function type.
void SetEventProp(TPersistent* instance, std::string_view path, const std::any& handler);

// A value as a layout writes it ("clBtnFace", "[fsBold]", "'a'#13'b'", "1.5"), for every kind
// but Object and Event; a Component is its name, or "nil".
std::string GetPropText(const TPersistent* instance, std::string_view path);
// Sets a value written as in a layout, for every kind but Object, Component and Event.
void SetPropText(TPersistent* instance, std::string_view path, std::string_view text);

}  // namespace kvb

#include <limits>

#include "platform/classes/Layout.h"
#include "platform/classes/LayoutText.h"

namespace kvb {

using namespace layout;

namespace {

[[noreturn]] void NotOfKind(const TPropInfo& p, const char* what) {
    throw EConvertError("Property " + p.Name + " is not " + what);
}

void CheckRange(const TPropInfo& p, Int64 value) {
    if (value < p.MinValue || value > p.MaxValue)
        throw EConvertError("Value " + std::to_string(value) + " out of range for property " + p.Name +
                            " (" + std::to_string(p.MinValue) + ".." + std::to_string(p.MaxValue) + ")");
}

}  // namespace

TPropRef FindPropPath(const TPersistent* instance, std::string_view path) {
    if (instance == nullptr) throw EConvertError("No object to find property " + Shorten(path) + " in");
    auto* current = const_cast<TPersistent*>(instance);
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = path.find('.', start);
        const std::string_view name = path.substr(start, dot == std::string_view::npos ? path.npos : dot - start);
        const TPropInfo* p = name.empty() ? nullptr : current->ClassInfo().FindProp(name);
        if (p == nullptr)
            throw EConvertError("Property " + Shorten(name) + " does not exist in " + current->ClassName());
        if (dot == std::string_view::npos) return {current, p};
        if (p->Kind != TPropKind::Object) throw EConvertError("Property " + p->Name + " is not an object");
        TPersistent* sub = p->GetObj(current);
        if (sub == nullptr) throw EConvertError("Property " + p->Name + " holds no object");
        current = sub;
        start = dot + 1;
    }
}

static bool IsOrdinal(TPropKind k) {
    return k == TPropKind::Integer || k == TPropKind::Boolean || k == TPropKind::Char ||
           k == TPropKind::Enum || k == TPropKind::Set || k == TPropKind::Color;
}

Int64 GetOrdProp(const TPersistent* instance, std::string_view path) {
    const TPropRef r = FindPropPath(instance, path);
    if (!IsOrdinal(r.Info->Kind)) NotOfKind(*r.Info, "an ordinal property");
    return r.Info->GetOrd(r.Instance);
}

void SetOrdProp(TPersistent* instance, std::string_view path, Int64 value) {
    const TPropRef r = FindPropPath(instance, path);
    const TPropInfo& p = *r.Info;
    if (!IsOrdinal(p.Kind)) NotOfKind(p, "an ordinal property");
    if (p.Kind == TPropKind::Set) {
        const std::size_t n = p.Enum->Names.size();
        const std::uint64_t allowed = n >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1;
        if ((static_cast<std::uint64_t>(value) & ~allowed) != 0)
            throw EConvertError("Value out of range for property " + p.Name);
    } else {
        CheckRange(p, value);
    }
    p.SetOrd(r.Instance, value);
}

Extended GetFloatProp(const TPersistent* instance, std::string_view path) {
    const TPropRef r = FindPropPath(instance, path);
    if (r.Info->Kind != TPropKind::Float) NotOfKind(*r.Info, "a floating-point property");
    return r.Info->GetFloat(r.Instance);
}

void SetFloatProp(TPersistent* instance, std::string_view path, Extended value) {
    const TPropRef r = FindPropPath(instance, path);
    if (r.Info->Kind != TPropKind::Float) NotOfKind(*r.Info, "a floating-point property");
    r.Info->SetFloat(r.Instance, value);
}

std::string GetStrProp(const TPersistent* instance, std::string_view path) {
    const TPropRef r = FindPropPath(instance, path);
    if (r.Info->Kind == TPropKind::Char) return std::string(1, static_cast<char>(r.Info->GetOrd(r.Instance)));
    if (r.Info->Kind != TPropKind::String) NotOfKind(*r.Info, "a string property");
    return r.Info->GetStr(r.Instance);
}

void SetStrProp(TPersistent* instance, std::string_view path, const std::string& value) {
    const TPropRef r = FindPropPath(instance, path);
    if (r.Info->Kind == TPropKind::Char) {
        if (value.size() != 1) throw EConvertError("Property " + r.Info->Name + " takes one character");
        r.Info->SetOrd(r.Instance, static_cast<unsigned char>(value[0]));
        return;
    }
    if (r.Info->Kind != TPropKind::String) NotOfKind(*r.Info, "a string property");
    r.Info->SetStr(r.Instance, value);
}

std::string GetEnumProp(const TPersistent* instance, std::string_view path) {
    const TPropRef r = FindPropPath(instance, path);
    const TPropInfo& p = *r.Info;
    if (p.Kind == TPropKind::Boolean) return p.GetOrd(r.Instance) != 0 ? "True" : "False";
    if (p.Kind != TPropKind::Enum) NotOfKind(p, "an enumeration property");
    const Int64 x = p.GetOrd(r.Instance);
    if (x < 0 || x >= static_cast<Int64>(p.Enum->Names.size()))
        throw EConvertError("Property " + p.Name + " holds no value of " + std::string(p.Enum->TypeName));
    return std::string(p.Enum->Names[static_cast<std::size_t>(x)]);
}

void SetEnumProp(TPersistent* instance, std::string_view path, std::string_view name) {
    const TPropRef r = FindPropPath(instance, path);
    const TPropInfo& p = *r.Info;
    if (p.Kind == TPropKind::Boolean) {
        if (!SameText(name, "True") && !SameText(name, "False"))
            throw EConvertError("'" + Shorten(name) + "' is not True or False");
        p.SetOrd(r.Instance, SameText(name, "True") ? 1 : 0);
        return;
    }
    if (p.Kind != TPropKind::Enum) NotOfKind(p, "an enumeration property");
    const int x = p.Enum->IndexOf(name);
    if (x < 0) throw EConvertError("'" + Shorten(name) + "' is not a value of " + std::string(p.Enum->TypeName));
    p.SetOrd(r.Instance, x);
}

TPersistent* GetObjectProp(const TPersistent* instance, std::string_view path) {
    const TPropRef r = FindPropPath(instance, path);
    if (r.Info->Kind != TPropKind::Object) NotOfKind(*r.Info, "an object property");
    return r.Info->GetObj(r.Instance);
}

TComponent* GetComponentProp(const TPersistent* instance, std::string_view path) {
    const TPropRef r = FindPropPath(instance, path);
    if (r.Info->Kind != TPropKind::Component) NotOfKind(*r.Info, "a component reference");
    return dynamic_cast<TComponent*>(r.Info->GetObj(r.Instance));
}

void SetComponentProp(TPersistent* instance, std::string_view path, TComponent* value) {
    const TPropRef r = FindPropPath(instance, path);
    const TPropInfo& p = *r.Info;
    if (p.Kind != TPropKind::Component) NotOfKind(p, "a component reference");
    if (value != nullptr && p.ReferenceClass() != nullptr && !value->InheritsFrom(*p.ReferenceClass()))
        throw EConvertError("Property " + p.Name + " takes a " + p.ReferenceClass()->Name + ", not a " + value->ClassName());
    p.SetObj(r.Instance, value);
}

void SetEventProp(TPersistent* instance, std::string_view path, const std::any& handler) {
    const TPropRef r = FindPropPath(instance, path);
    if (r.Info->Kind != TPropKind::Event) NotOfKind(*r.Info, "an event");
    r.Info->SetEvent(r.Instance, handler);
}

std::string GetPropText(const TPersistent* instance, std::string_view path) {
    const TPropRef r = FindPropPath(instance, path);
    std::string out;
    if (!FormatValue(r.Instance, *r.Info, out))
        throw EConvertError("Property " + r.Info->Name + " has no value a layout can hold");
    return out;
}

void SetPropText(TPersistent* instance, std::string_view path, std::string_view text) {
    const TPropRef r = FindPropPath(instance, path);
    try {
        Lexer lexer(text);
        Token t = lexer.Next();
        const Value v = ParseValue(lexer, t);
        if (t.Kind != TokKind::EndOfText) Fail(t.Pos, "End of value expected but " + Describe(t) + " found");
        AssignValue(r.Instance, *r.Info, v);
    } catch (const LayoutError& e) {
        throw EConvertError(e.Message);
    }
}

}  // namespace kvb

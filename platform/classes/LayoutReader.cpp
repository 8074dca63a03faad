#include <algorithm>
#include <unordered_set>

#include "platform/classes/Layout.h"
#include "platform/classes/LayoutText.h"

namespace kvb {

using namespace layout;

namespace {

// Runs F, turning whatever a constructor, a setter or a name check throws into a fault at Pos.
template <class F>
void Guard(const TextPos& pos, F&& f) {
    try {
        f();
    } catch (const LayoutError&) {
        throw;
    } catch (const std::exception& e) {
        Fail(pos, e.what());
    }
}

bool IsObjectKeyword(const Token& t) {
    return t.Kind == TokKind::Ident &&
           (SameText(t.Text, "object") || SameText(t.Text, "inherited") || SameText(t.Text, "inline"));
}

bool NamesClass(const TClassInfo& info, std::string_view name) {
    for (const TClassInfo* c = &info; c != nullptr; c = c->Parent)
        if (SameText(c->Name, name)) return true;
    return false;
}

struct Header {
    bool Inherited = false;
    std::string Name, Class;
    TextPos Pos, NamePos, ClassPos;
};

struct Segment {
    std::string_view Name;
    TextPos Pos;
};

struct Fixup {
    TPersistent* Instance;
    const TPropInfo* Prop;
    std::string Name;
    TextPos Pos;
};

class Reader {
public:
    Reader(std::string_view text, TComponent* root, const TLayoutOptions& options)
        : lexer_(text), root_(root) {
        for (const std::string& entry : options.IgnoredProperties) {
            const auto dot = entry.find('.');
            if (dot != std::string::npos) ignored_.push_back({entry.substr(0, dot), entry.substr(dot + 1)});
        }
    }

    void Read();
    void CallLoaded();
    void Abandon() noexcept;

private:
    struct Frame {
        TComponent* Component;
        Header Head;
    };
    struct IgnoredPath {
        std::string Class, Path;
    };

    void Next() { t_ = lexer_.Next(); }
    Header ReadHeader();
    void BeginChild(const Header& h);
    void ReadProperty();
    bool IsIgnored(const TComponent* c, const std::vector<Segment>& path) const;
    void Apply(TComponent* c, const std::vector<Segment>& path, const Value& v);
    void ResolveReferences();

    Lexer lexer_;
    Token t_;
    TComponent* root_;
    std::vector<IgnoredPath> ignored_;
    std::vector<Frame> stack_;
    std::vector<TComponent*> created_;  // by this reader, in creation order
    std::vector<std::pair<TComponent*, TextPos>> loading_;  // Root first, then in creation order
    std::vector<Fixup> fixups_;
    bool rootWasLoading_ = false;
};

Header Reader::ReadHeader() {
    Header h;
    h.Pos = t_.Pos;
    h.Inherited = SameText(t_.Text, "inherited");
    Next();
    if (t_.Kind != TokKind::Ident) Fail(t_.Pos, "Component name expected but " + Describe(t_) + " found");
    Token first = t_;
    Next();
    if (t_.Kind == TokKind::Symbol && t_.Sym == ':') {
        Next();
        if (t_.Kind != TokKind::Ident) Fail(t_.Pos, "Class name expected but " + Describe(t_) + " found");
        h.Name = std::string(first.Text);
        h.NamePos = first.Pos;
        h.Class = std::string(t_.Text);
        h.ClassPos = t_.Pos;
        Next();
    } else {
        // "object TClass": a component without a name.
        h.Class = std::string(first.Text);
        h.ClassPos = h.NamePos = first.Pos;
    }
    return h;
}

void Reader::Read() {
    rootWasLoading_ = root_->ComponentState().Contains(csLoading);
    Next();
    if (!IsObjectKeyword(t_)) Fail(t_.Pos, "'object' expected but " + Describe(t_) + " found");
    Header h = ReadHeader();
    if (!NamesClass(root_->ClassInfo(), h.Class))
        Fail(h.ClassPos, "Class " + Shorten(h.Class) + " does not match the root class " + root_->ClassName());
    if (!h.Name.empty()) Guard(h.NamePos, [&] { root_->SetName(h.Name); });
    root_->SetLoading(true);
    loading_.emplace_back(root_, h.Pos);
    stack_.push_back({root_, std::move(h)});

    while (!stack_.empty()) {
        if (t_.Kind == TokKind::Ident) {
            if (SameText(t_.Text, "end")) {
                stack_.pop_back();
                Next();
            } else if (IsObjectKeyword(t_)) {
                if (static_cast<int>(stack_.size()) >= MaxLayoutDepth)
                    Fail(t_.Pos, "Objects nested more than " + std::to_string(MaxLayoutDepth) + " levels deep");
                BeginChild(ReadHeader());
            } else {
                ReadProperty();
            }
        } else if (t_.Kind == TokKind::EndOfText) {
            const Header& open = stack_.back().Head;
            Fail(t_.Pos, "'end' expected but end of text found (object " +
                             Shorten(open.Name.empty() ? open.Class : open.Name) + " begins at line " +
                             std::to_string(open.Pos.Line) + ")");
        } else {
            Fail(t_.Pos, "Property name or 'end' expected but " + Describe(t_) + " found");
        }
    }
    if (t_.Kind != TokKind::EndOfText) Fail(t_.Pos, "End of text expected but " + Describe(t_) + " found");
    ResolveReferences();
}

void Reader::BeginChild(const Header& h) {
    TComponent* parent = stack_.back().Component;
    TComponent* c = nullptr;
    if (h.Inherited) {
        // The component exists already (an ancestor made it); the block only sets properties.
        c = h.Name.empty() ? nullptr : root_->FindComponent(h.Name);
        if (c == nullptr) Fail(h.NamePos, "Inherited component " + Shorten(h.Name) + " not found");
        if (!NamesClass(c->ClassInfo(), h.Class))
            Fail(h.ClassPos, "Component " + c->Name() + " is a " + c->ClassName() + ", not a " + Shorten(h.Class));
        if (std::any_of(loading_.begin(), loading_.end(), [&](const auto& e) { return e.first == c; }))
            Fail(h.NamePos, "Component " + c->Name() + " appears twice");
    } else {
        const TClassInfo* info = FindClass(h.Class);
        if (info == nullptr) Fail(h.ClassPos, "Class " + Shorten(h.Class) + " not found");
        if (!info->Create) Fail(h.ClassPos, "Class " + info->Name + " cannot be created from a layout");
        Guard(h.ClassPos, [&] { c = info->Create(root_); });
        if (c == nullptr) Fail(h.ClassPos, "Class " + info->Name + " cannot be created from a layout");
        created_.push_back(c);
    }
    c->SetLoading(true);
    loading_.emplace_back(c, h.Pos);
    Guard(h.NamePos, [&] {
        if (!h.Inherited) c->SetName(h.Name);
        c->SetParentComponent(parent);
    });
    stack_.push_back({c, h});
}

void Reader::ReadProperty() {
    std::vector<Segment> path{{t_.Text, t_.Pos}};
    Next();
    while (t_.Kind == TokKind::Symbol && t_.Sym == '.') {
        Next();
        if (t_.Kind != TokKind::Ident) Fail(t_.Pos, "Property name expected but " + Describe(t_) + " found");
        path.push_back({t_.Text, t_.Pos});
        Next();
    }
    if (t_.Kind != TokKind::Symbol || t_.Sym != '=') Fail(t_.Pos, "'=' expected but " + Describe(t_) + " found");
    Next();
    const Value v = ParseValue(lexer_, t_);
    TComponent* c = stack_.back().Component;
    if (!IsIgnored(c, path)) Apply(c, path, v);
}

bool Reader::IsIgnored(const TComponent* c, const std::vector<Segment>& path) const {
    if (ignored_.empty()) return false;
    std::string joined;
    for (const Segment& s : path) {
        if (!joined.empty()) joined += '.';
        joined += s.Name;
    }
    for (const IgnoredPath& entry : ignored_)
        if (SameText(entry.Path, joined) && NamesClass(c->ClassInfo(), entry.Class)) return true;
    return false;
}

void Reader::Apply(TComponent* c, const std::vector<Segment>& path, const Value& v) {
    TPersistent* instance = c;
    std::string canonical;  // the path in the names the registry spells
    for (std::size_t i = 0; i < path.size(); ++i) {
        const Segment& s = path[i];
        const TPropInfo* p = instance->ClassInfo().FindProp(s.Name);
        if (p == nullptr)
            Fail(s.Pos, "Property " + Shorten(s.Name) + " does not exist in " + instance->ClassName());
        if (!canonical.empty()) canonical += '.';
        canonical += p->Name;
        if (i + 1 < path.size()) {
            if (p->Kind != TPropKind::Object) Fail(s.Pos, "Property " + canonical + " is not an object");
            TPersistent* sub = p->GetObj(instance);
            if (sub == nullptr) Fail(s.Pos, "Property " + canonical + " holds no object");
            instance = sub;
            continue;
        }
        if (p->Kind == TPropKind::Component) {
            if (v.Kind != Value::Ident || v.Negative)
                Fail(v.Pos, "Invalid value for property " + p->Name + ": a component name expected");
            if (SameText(v.Text, "nil"))
                Guard(v.Pos, [&] { p->SetObj(instance, nullptr); });
            else
                fixups_.push_back({instance, p, v.Text, v.Pos});
        } else if (p->Kind == TPropKind::Event) {
            if (v.Kind != Value::Ident || v.Negative)
                Fail(v.Pos, "Invalid value for property " + p->Name + ": a method name expected");
            const TMethodInfo* m = root_->ClassInfo().FindMethod(v.Text);
            if (m == nullptr) Fail(v.Pos, "Method " + Shorten(v.Text) + " not found in " + root_->ClassName());
            Guard(v.Pos, [&] { p->SetEvent(instance, m->Bind(root_)); });
            c->RecordEventBinding(canonical, m->Name);
        } else {
            AssignValue(instance, *p, v);
        }
    }
}

void Reader::ResolveReferences() {
    for (const Fixup& f : fixups_) {
        TComponent* target = root_->FindComponent(f.Name);
        if (target == nullptr && !root_->Name().empty() && SameText(f.Name, root_->Name())) target = root_;
        if (target == nullptr) Fail(f.Pos, "Component " + Shorten(f.Name) + " not found");
        if (f.Prop->ReferenceClass() != nullptr && !target->InheritsFrom(*f.Prop->ReferenceClass()))
            Fail(f.Pos, "Invalid value for property " + f.Prop->Name + ": " + target->Name() + " is a " +
                            target->ClassName() + ", not a " + f.Prop->ReferenceClass()->Name);
        Guard(f.Pos, [&] { f.Prop->SetObj(f.Instance, target); });
    }
}

void Reader::CallLoaded() {
    for (std::size_t i = 0; i < loading_.size(); ++i) {
        try {
            loading_[i].first->Loaded();
        } catch (const std::exception& e) {
            for (std::size_t j = i; j < loading_.size(); ++j) loading_[j].first->SetLoading(false);
            throw LayoutError{e.what(), loading_[i].second};
        }
    }
}

void Reader::Abandon() noexcept {
    // Components that outlive the failed read leave the loading state first, while every
    // pointer in the list is still good.
    std::unordered_set<TComponent*> mine(created_.begin(), created_.end());
    for (const auto& entry : loading_)
        if (mine.count(entry.first) == 0) entry.first->SetLoading(entry.first == root_ && rootWasLoading_);
    // Free what this reader made, last made first. Root's list is walked rather than the
    // reader's own, because a destructor may free others (a parent its children) and a pointer
    // to a freed component must not be followed; the set is only compared against.
    int i = root_->ComponentCount() - 1;
    while (i >= 0 && !mine.empty()) {
        TComponent* c = root_->Components(i);
        if (mine.erase(c) != 0) {
            delete c;
            i = root_->ComponentCount() - 1;
        } else {
            --i;
        }
    }
}

std::string AtPos(const LayoutError& e) {
    return e.Message + " at line " + std::to_string(e.Pos.Line) + ", column " + std::to_string(e.Pos.Column);
}

}  // namespace

void ReadLayout(std::string_view text, TComponent* root, const TLayoutOptions& options) {
    if (root == nullptr) throw EReadError("No component to read the layout into");
    Reader reader(text, root, options);
    try {
        reader.Read();
        reader.CallLoaded();
    } catch (const LayoutError& e) {
        reader.Abandon();
        throw EReadError(AtPos(e));
    } catch (...) {
        reader.Abandon();
        throw;
    }
}

}  // namespace kvb

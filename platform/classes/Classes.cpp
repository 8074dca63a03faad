#include "platform/classes/Classes.h"

#include <algorithm>
#include <deque>
#include <mutex>
#include <unordered_map>

namespace kvb {

namespace {

char Lower(char c) noexcept { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool SameText(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

std::string LowerCopy(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = Lower(c);
    return r;
}

bool IsIdent(std::string_view s) noexcept {
    if (s.empty()) return false;
    auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!alpha(s[0])) return false;
    return std::all_of(s.begin() + 1, s.end(), [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

// Class information lives as long as the process; a deque keeps every entry where it was put.
struct Registry {
    std::mutex mutex;
    std::deque<TClassInfo> infos;
    std::unordered_map<std::string, const TClassInfo*> byName;  // lower-case names
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

}  // namespace

// ---------------------------------------------------------------------------------------

int TEnumInfo::IndexOf(std::string_view name) const noexcept {
    for (std::size_t i = 0; i < Names.size(); ++i)
        if (SameText(Names[i], name)) return static_cast<int>(i);
    return -1;
}

bool TClassInfo::InheritsFrom(const TClassInfo& other) const noexcept {
    for (const TClassInfo* c = this; c != nullptr; c = c->Parent)
        if (c == &other) return true;
    return false;
}

const TPropInfo* TClassInfo::FindProp(std::string_view name) const noexcept {
    // The most derived declaration wins, so a class may republish a property of its parent.
    for (const TClassInfo* c = this; c != nullptr; c = c->Parent)
        for (const TPropInfo& p : c->OwnProps)
            if (SameText(p.Name, name)) return &p;
    return nullptr;
}

std::vector<const TPropInfo*> TClassInfo::AllProps() const {
    std::vector<const TClassInfo*> chain;
    for (const TClassInfo* c = this; c != nullptr; c = c->Parent) chain.push_back(c);
    std::vector<const TPropInfo*> result;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (const TPropInfo& p : (*it)->OwnProps)
            if (FindProp(p.Name) == &p) result.push_back(&p);
    return result;
}

const TMethodInfo* TClassInfo::FindMethod(std::string_view name) const noexcept {
    for (const TClassInfo* c = this; c != nullptr; c = c->Parent)
        for (const TMethodInfo& m : c->OwnMethods)
            if (SameText(m.Name, name)) return &m;
    return nullptr;
}

const TClassInfo& DefineClass(TClassInfo info) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    const TClassInfo& stored = r.infos.emplace_back(std::move(info));
    // The first class of a name keeps it, so a later namesake cannot take over what layouts
    // already create.
    r.byName.emplace(LowerCopy(stored.Name), &stored);
    return stored;
}

const TClassInfo* FindClass(std::string_view name) noexcept {
    Registry& r = TheRegistry();
    std::string key;
    try {
        key = LowerCopy(name);
    } catch (...) {
        return nullptr;
    }
    std::lock_guard lock(r.mutex);
    auto it = r.byName.find(key);
    return it == r.byName.end() ? nullptr : it->second;
}

// ---------------------------------------------------------------------------------------

const TClassInfo& TObject::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(TClassInfo{"TObject", nullptr, {}, {}, {}});
    return info;
}

const TClassInfo& TPersistent::StaticClassInfo() {
    static const TClassInfo& info =
        DefineClass(TClassBuilder<TPersistent>("TPersistent", &TObject::StaticClassInfo()).Build());
    return info;
}

void TPersistent::Assign(TPersistent* Source) {
    if (Source == nullptr)
        throw EConvertError("Cannot assign a nil to a " + ClassName());
    Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) {
    throw EConvertError("Cannot assign a " + ClassName() + " to a " +
                        (Dest != nullptr ? Dest->ClassName() : std::string("nil")));
}

// ---------------------------------------------------------------------------------------

const TClassInfo& TComponent::StaticClassInfo() {
    static const TClassInfo& info =
        DefineClass(TClassBuilder<TComponent>("TComponent", &TPersistent::StaticClassInfo()).Build());
    return info;
}

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // Partners first, while this component is still in its owner's list.
    // One at a time from the live list: a partner told of this may free another partner, whose
    // destructor then takes its own link out of this list.
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back().Other;
        freeNotifies_.pop_back();
        other->DropLink(this);
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (owner_ != nullptr) owner_->RemoveComponent(this);
}

void TComponent::Destroying() noexcept { state_.Include(csDestroying); }

void TComponent::DestroyComponents() noexcept {
    while (!components_.empty()) {
        TComponent* c = components_.back();
        // Taken out quietly: the owner is going, and partners hear of it from c itself.
        components_.pop_back();
        if (!c->name_.empty()) byName_.erase(LowerCopy(c->name_));
        c->owner_ = nullptr;
        delete c;
    }
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount())
        throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
    return components_[static_cast<std::size_t>(index)];
}

TComponent* TComponent::FindComponent(std::string_view name) const noexcept {
    if (name.empty()) return nullptr;
    try {
        auto it = byName_.find(LowerCopy(name));
        return it == byName_.end() ? nullptr : it->second;
    } catch (...) {
        return nullptr;
    }
}

void TComponent::SetName(const std::string& value) {
    if (value == name_) return;
    if (!value.empty() && !IsIdent(value))
        throw EComponentError("'" + value + "' is not a valid component name");
    if (owner_ != nullptr && !value.empty()) {
        TComponent* other = owner_->FindComponent(value);
        if (other != nullptr && other != this)
            throw EComponentError("A component named " + value + " already exists");
    }
    if (owner_ != nullptr) {
        if (!value.empty()) owner_->byName_[LowerCopy(value)] = this;
        if (!name_.empty() && !SameText(name_, value)) owner_->byName_.erase(LowerCopy(name_));
    }
    name_ = value;
}

void TComponent::InsertComponent(TComponent* component) {
    if (component == nullptr || component->owner_ == this) return;
    // An ownership cycle would have each destructor free the other.
    for (const TComponent* o = this; o != nullptr; o = o->owner_)
        if (o == component) throw EComponentError("A component cannot own itself or its owner");
    if (!component->name_.empty() && FindComponent(component->name_) != nullptr)
        throw EComponentError("A component named " + component->name_ + " already exists");
    if (component->owner_ != nullptr) component->owner_->RemoveComponent(component);
    if (!component->name_.empty()) byName_[LowerCopy(component->name_)] = component;
    components_.push_back(component);
    component->owner_ = this;
    if (state_.Contains(csDesigning)) component->SetDesigning(true);
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    if (component == nullptr || component->owner_ != this) return;
    Notification(component, opRemove);
    // Usually the last one goes (reverse creation order), so search from the back.
    auto it = std::find(components_.rbegin(), components_.rend(), component);
    if (it != components_.rend()) components_.erase(std::next(it).base());
    if (!component->name_.empty()) byName_.erase(LowerCopy(component->name_));
    component->owner_ = nullptr;
}

void TComponent::SetDesigning(bool value) {
    if (value)
        state_.Include(csDesigning);
    else
        state_.Exclude(csDesigning);
    for (TComponent* c : components_) c->SetDesigning(value);
}

void TComponent::SetLoading(bool value) noexcept {
    if (value)
        state_.Include(csLoading);
    else
        state_.Exclude(csLoading);
}

TComponent::TFreeLink* TComponent::FindLink(const TComponent* other) noexcept {
    for (TFreeLink& link : freeNotifies_)
        if (link.Other == other) return &link;
    return nullptr;
}

void TComponent::DropLink(const TComponent* other) noexcept {
    freeNotifies_.erase(std::remove_if(freeNotifies_.begin(), freeNotifies_.end(),
                                       [&](const TFreeLink& l) { return l.Other == other; }),
                        freeNotifies_.end());
}

void TComponent::FreeNotification(TComponent* component) {
    if (component == nullptr || component == this) return;
    if (TFreeLink* mine = FindLink(component)) {
        mine->Mine = true;
        component->FindLink(this)->Theirs = true;
    } else {
        freeNotifies_.push_back({component, true, false});
        component->freeNotifies_.push_back({this, false, true});
    }
    state_.Include(csFreeNotification);
    component->state_.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (component == nullptr) return;
    TFreeLink* mine = FindLink(component);
    if (mine == nullptr) return;
    mine->Mine = false;
    TFreeLink* theirs = component->FindLink(this);
    theirs->Theirs = false;
    if (!mine->Theirs) {
        DropLink(component);
        component->DropLink(this);
    }
}

void TComponent::Loaded() { state_.Exclude(csLoading); }

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    // Links are dropped when a partner is destroyed (before this is called) or withdrawn by
    // RemoveFreeNotification; a component merely leaving this owner keeps its links.
}

void TComponent::SetParentComponent(TComponent*) {}

TComponent* TComponent::GetParentComponent() const { return nullptr; }

void TComponent::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    if (root == nullptr) return;
    // A copy, so that proc may do what it likes with the list.
    const std::vector<TComponent*> owned = root->components_;
    for (TComponent* c : owned) {
        TComponent* parent = c->GetParentComponent();
        if (parent == this || (parent == nullptr && this == root)) proc(c);
    }
}

void TComponent::RecordEventBinding(const std::string& property, const std::string& method) {
    for (auto& [prop, meth] : eventBindings_)
        if (SameText(prop, property)) {
            meth = method;
            return;
        }
    eventBindings_.emplace_back(property, method);
}

}  // namespace kvb

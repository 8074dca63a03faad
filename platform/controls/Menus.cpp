// Menus: a tree of TMenuItem under a TMenu's root item. Hosts rebuild their native menus
// whenever the tree changes.
#include <algorithm>
#include <cctype>

#include "platform/controls/ControlsInternal.h"

namespace kvb {

std::string StripHotkey(std::string_view caption) {
    std::string out;
    out.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += caption[i];
    }
    return out;
}

namespace {
bool SameCaption(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}
}  // namespace

// ---------------------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    Destroying();
    // Sub-items go with their item, as the framework does; each leaves its owner on the way.
    while (!items_.empty()) {
        TMenuItem* child = items_.back();
        items_.pop_back();
        child->parent_ = nullptr;
        delete child;
    }
    if (parent_ != nullptr) parent_->Remove(this);
}

void TMenuItem::SetCaption(const std::string& value) {
    if (value == caption_) return;
    caption_ = value;
    Changed();
}

void TMenuItem::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    Changed();
}

void TMenuItem::SetVisible(bool value) {
    if (value == visible_) return;
    visible_ = value;
    Changed();
}

void TMenuItem::SetChecked(bool value) {
    if (value == checked_) return;
    checked_ = value;
    Changed();
}

TMenuItem* TMenuItem::Items(int index) const {
    if (index < 0 || index >= Count())
        throw EInvalidOperation("Menu index out of range (" + std::to_string(index) + ")");
    return items_[static_cast<std::size_t>(index)];
}

TMenu* TMenuItem::GetParentMenu() const noexcept {
    const TMenuItem* i = this;
    while (i->parent_ != nullptr) i = i->parent_;
    return i->menu_;
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (item == nullptr) return;
    for (const TMenuItem* p = this; p != nullptr; p = p->parent_)
        if (p == item) throw EInvalidOperation("A menu item cannot contain itself");
    if (item->parent_ != nullptr) item->parent_->Remove(item);
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parent_ = nullptr;
    if (!ComponentState().Contains(csDestroying)) Changed();
}

int TMenuItem::IndexOf(const TMenuItem* item) const noexcept {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenuItem* TMenuItem::Find(std::string_view caption) const noexcept {
    const std::string wanted = StripHotkey(caption);
    for (TMenuItem* i : items_)
        if (SameCaption(StripHotkey(i->caption_), wanted)) return i;
    return nullptr;
}

void TMenuItem::Click() {
    if (!enabled_ || !onClick_) return;
    TNotifyEvent h = onClick_;
    DispatchEvent(this, [&] { h(this); });
}

void TMenuItem::SetParentComponent(TComponent* parent) {
    if (auto* m = dynamic_cast<TMenu*>(parent)) m->Items()->Add(this);
    else if (auto* i = dynamic_cast<TMenuItem*>(parent)) i->Add(this);
}

TComponent* TMenuItem::GetParentComponent() const {
    if (parent_ == nullptr) return nullptr;
    if (parent_->menu_ != nullptr) return parent_->menu_;
    return parent_;
}

void TMenuItem::Changed() {
    if (TMenu* m = GetParentMenu()) m->Changed();
}

// ---------------------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), items_(std::make_unique<TMenuItem>(nullptr)) {
    items_->menu_ = this;
}

TMenu::~TMenu() {
    Destroying();
    listeners_.clear();
    items_.reset();
}

TMenuItem* TMenu::FindItemByPath(std::string_view path) const noexcept {
    const TMenuItem* item = items_.get();
    while (item != nullptr) {
        const std::size_t bar = path.find('|');
        item = item->Find(path.substr(0, bar));
        if (bar == std::string_view::npos) break;
        path.remove_prefix(bar + 1);
    }
    return const_cast<TMenuItem*>(item);
}

void TMenu::AddChangeListener(const void* key, std::function<void()> listener) {
    RemoveChangeListener(key);
    listeners_.emplace_back(key, std::move(listener));
}

void TMenu::RemoveChangeListener(const void* key) {
    listeners_.erase(std::remove_if(listeners_.begin(), listeners_.end(),
                                    [key](const auto& l) { return l.first == key; }),
                     listeners_.end());
}

void TMenu::Changed() {
    if (ComponentState().Contains(csDestroying)) return;
    auto copy = listeners_;
    for (auto& l : copy) l.second();
}

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

}  // namespace kvb

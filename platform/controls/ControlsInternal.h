// What the control sources share among themselves and with the hosts; not for applications.
#pragma once

#include <memory>

#include "platform/controls/Controls.h"

namespace kvb {

// Some host event is being delivered right now (released components must wait).
bool InOuterDispatch() noexcept;
// Drops the peer of every control; TApplication::SetHost calls it before a host goes away.
void DropAllPeers();
// The modal result of the first button of a set (what an unattended message box answers).
Integer DefaultMessageResult(TMsgDlgButtons buttons);
// Every form alive, in creation order.
const std::vector<TForm*>& AllForms() noexcept;

// Marks the delivery of one host event; when the outermost one ends, the components released
// meanwhile are freed.
class TDispatchGuard {
public:
    TDispatchGuard() noexcept;
    ~TDispatchGuard();
    TDispatchGuard(const TDispatchGuard&) = delete;
    TDispatchGuard& operator=(const TDispatchGuard&) = delete;
};

// Runs an event handler on behalf of the host: whatever it throws goes to the application.
template <class F>
void DispatchEvent(TObject* sender, F&& f) {
    TDispatchGuard guard;
    try {
        f();
    } catch (const std::exception& e) {
        Application()->HandleException(sender, e);
    } catch (...) {
        Application()->HandleUnknownException(sender);
    }
}

// A handler may delete the control it runs for (directly or through Release); the scope
// notices through the shared liveness flag and stops touching the control.
class TControl::DispatchScope {
public:
    explicit DispatchScope(TControl* c) : control_(c), alive_(c->alive_) { ++control_->dispatchDepth_; }
    ~DispatchScope() {
        if (*alive_) --control_->dispatchDepth_;
    }
    bool Alive() const noexcept { return *alive_; }

private:
    TDispatchGuard guard_;
    TControl* control_;
    std::shared_ptr<bool> alive_;
};

template <class F>
void TControl::Dispatch(F&& f) {
    if (released_) return;
    // The scope must outlive the handler and die before the guard frees released components,
    // so the freeing happens in the scope's own guard, after the depth bookkeeping.
    DispatchScope scope(this);
    try {
        f();
    } catch (const std::exception& e) {
        Application()->HandleException(scope.Alive() ? this : nullptr, e);
    } catch (...) {
        Application()->HandleUnknownException(scope.Alive() ? this : nullptr);
    }
}

}  // namespace kvb

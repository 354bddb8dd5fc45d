// Shared application and screen events (unit Ryxapp): any number of components listen to one event of Application or Screen.
#pragma once

#include <memory>
#include <vector>

#include "host/app/app.h"

namespace ryx {

// The handlers registered for one event, in registration order. Removal marks
// the entry and drops it from the list; a dispatch walks a snapshot of the list
// taken when it starts and skips entries removed meanwhile, so a handler that
// unregisters itself or another, or registers a new one, never makes the
// dispatch skip a handler or read past the end. Handlers registered during a
// dispatch are called from the next one on.
template <class E>
class TryxHandlerList {
public:
    bool Exists() const { return FExists; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // Appends Handler (the list comes into existence with its first addition).
    void Add(const E& Handler) {
        FExists = true;
        FItems.push_back(std::make_shared<TItem>(TItem{Handler, false}));
    }
    // Removes the last registration equal to Handler; false when there is none.
    bool Remove(const E& Handler) {
        for (size_t i = FItems.size(); i-- > 0;)
            if (FItems[i]->Handler == Handler) {
                FItems[i]->Removed = true;
                FItems.erase(FItems.begin() + static_cast<long>(i));
                return true;
            }
        return false;
    }
    void Clear() {
        for (auto& item : FItems) item->Removed = true;
        FItems.clear();
    }
    // Calls every handler with the same arguments, first to last.
    template <class... A>
    void Dispatch(A&... Args) const {
        auto snapshot = FItems;
        for (auto& item : snapshot)
            if (!item->Removed) item->Handler(Args...);
    }
    // Calls handlers in order while Result is false; each called handler's result
    // becomes Result (help requests).
    template <class... A>
    void DispatchUntilTrue(bool& Result, A&... Args) const {
        Result = false;
        auto snapshot = FItems;
        for (auto& item : snapshot) {
            if (item->Removed) continue;
            bool r = false;
            item->Handler(Args..., r);
            Result = r;
            if (Result) break;
        }
    }

private:
    struct TItem {
        E Handler;
        bool Removed;
    };
    std::vector<std::shared_ptr<TItem>> FItems;
    bool FExists = false;
};

// While true (set by a designer host), registering and unregistering do nothing.
extern bool ryxDesigning;

// The thirteen events of the application object, shared.
class TryxApplicationEvents : public host::TObject {
    HOST_CLASS(TryxApplicationEvents, host::TObject)
public:
    TryxApplicationEvents() = default;
    // Frees every list and writes every saved handler back into Application.
    ~TryxApplicationEvents() override;

    void RegisterOnActionExecute(const host::TActionEvent& Handler);
    void UnRegisterOnActionExecute(const host::TActionEvent& Handler);
    void RegisterOnActionUpdate(const host::TActionEvent& Handler);
    void UnRegisterOnActionUpdate(const host::TActionEvent& Handler);
    void RegisterOnShortCut(const host::TShortCutEvent& Handler);
    void UnRegisterOnShortCut(const host::TShortCutEvent& Handler);
    void RegisterOnMinimize(const host::TNotifyEvent& Handler);
    void UnRegisterOnMinimize(const host::TNotifyEvent& Handler);
    void RegisterOnRestore(const host::TNotifyEvent& Handler);
    void UnRegisterOnRestore(const host::TNotifyEvent& Handler);
    void RegisterOnActivate(const host::TNotifyEvent& Handler);
    void UnRegisterOnActivate(const host::TNotifyEvent& Handler);
    void RegisterOnDeactivate(const host::TNotifyEvent& Handler);
    void UnRegisterOnDeactivate(const host::TNotifyEvent& Handler);
    void RegisterOnException(const host::TExceptionEvent& Handler);
    void UnRegisterOnException(const host::TExceptionEvent& Handler);
    void RegisterOnHelp(const host::THelpEvent& Handler);
    void UnRegisterOnHelp(const host::THelpEvent& Handler);
    void RegisterOnHint(const host::TNotifyEvent& Handler);
    void UnRegisterOnHint(const host::TNotifyEvent& Handler);
    void RegisterOnShowHint(const host::TShowHintEvent& Handler);
    void UnRegisterOnShowHint(const host::TShowHintEvent& Handler);
    void RegisterOnIdle(const host::TIdleEvent& Handler);
    void UnRegisterOnIdle(const host::TIdleEvent& Handler);
    void RegisterOnMessage(const host::TMessageEvent& Handler);
    void UnRegisterOnMessage(const host::TMessageEvent& Handler);

    // The dispatchers installed in Application.
    void AppOnActionExecute(host::TBasicAction* Action, bool& Handled);
    void AppOnActionUpdate(host::TBasicAction* Action, bool& Handled);
    void AppOnShortCut(host::TWMKey& Msg, bool& Handled);
    void AppOnMinimize(host::TObject* Sender);
    void AppOnRestore(host::TObject* Sender);
    void AppOnActivate(host::TObject* Sender);
    void AppOnDeactivate(host::TObject* Sender);
    void AppOnException(host::TObject* Sender, host::Exception& E);
    void AppOnHelp(uint16_t Command, intptr_t Data, bool& CallHelp, bool& Result);
    void AppOnHint(host::TObject* Sender);
    void AppOnShowHint(std::string& HintStr, bool& CanShow, host::THintInfo& HintInfo);
    void AppOnIdle(host::TObject* Sender, bool& Done);
    void AppOnMessage(host::MSG& Msg, bool& Handled);

private:
    host::TActionEvent FSavedActionExecute, FSavedActionUpdate;
    host::TShortCutEvent FSavedShortCut;
    host::TNotifyEvent FSavedMinimize, FSavedRestore, FSavedActivate, FSavedDeactivate, FSavedHint;
    host::TExceptionEvent FSavedException;
    host::THelpEvent FSavedHelp;
    host::TShowHintEvent FSavedShowHint;
    host::TIdleEvent FSavedIdle;
    host::TMessageEvent FSavedMessage;

    TryxHandlerList<host::TActionEvent> FOnActionExecute, FOnActionUpdate;
    TryxHandlerList<host::TShortCutEvent> FOnShortCut;
    TryxHandlerList<host::TNotifyEvent> FOnMinimize, FOnRestore, FOnActivate, FOnDeactivate, FOnHint;
    TryxHandlerList<host::TExceptionEvent> FOnException;
    TryxHandlerList<host::THelpEvent> FOnHelp;
    TryxHandlerList<host::TShowHintEvent> FOnShowHint;
    TryxHandlerList<host::TIdleEvent> FOnIdle;
    TryxHandlerList<host::TMessageEvent> FOnMessage;
};

// The two events of the screen object, shared.
class TryxScreenEvents : public host::TObject {
    HOST_CLASS(TryxScreenEvents, host::TObject)
public:
    TryxScreenEvents() = default;
    ~TryxScreenEvents() override;

    void RegisterOnActiveControlChange(const host::TNotifyEvent& Handler);
    void UnRegisterOnActiveControlChange(const host::TNotifyEvent& Handler);
    void RegisterOnActiveFormChange(const host::TNotifyEvent& Handler);
    void UnRegisterOnActiveFormChange(const host::TNotifyEvent& Handler);

    void AppOnActiveControlChange(host::TObject* Sender);
    void AppOnActiveFormChange(host::TObject* Sender);

private:
    host::TNotifyEvent FSavedActiveControlChange, FSavedActiveFormChange;
    TryxHandlerList<host::TNotifyEvent> FOnActiveControlChange, FOnActiveFormChange;
};

// The instances, made on the first call.
TryxApplicationEvents* ryxApplicationEvents();
TryxScreenEvents* ryxScreenEvents();
// The instances if they exist, never making one: components unregister through
// these, so that a component destroyed after the unit's finalization does not
// bring a new instance to life.
TryxApplicationEvents* ryxFindApplicationEvents();
TryxScreenEvents* ryxFindScreenEvents();
// The unit's finalization: frees the application events, then the screen events
// (runs at shut-down; tests call it to start afresh).
void ryxAppFinalization();

}  // namespace ryx

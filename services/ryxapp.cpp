// Shared application and screen events: per-event handler lists, the dispatchers installed in Application and Screen, and the unit's instances.
#include "services/ryxapp.h"

namespace ryx {

using namespace host;

bool ryxDesigning = false;

namespace {

// First registration of an event: keep the handler the framework object had (it
// becomes the first item), then install the dispatcher. Later ones append.
template <class E>
void Hook(TryxHandlerList<E>& List, E& Saved, E* Slot, const E& Dispatcher, const E& Handler) {
    if (ryxDesigning) return;
    if (!List.Exists()) {
        Saved = Slot != nullptr ? *Slot : E();
        if (Saved.Assigned()) List.Add(Saved);
        if (Slot != nullptr) *Slot = Dispatcher;
    }
    List.Add(Handler);
}

template <class E>
void Unhook(TryxHandlerList<E>& List, const E& Handler) {
    if (ryxDesigning || !List.Exists()) return;
    List.Remove(Handler);
}

// Finalization of one event: frees its list and puts the saved handler back —
// only for an event that was hooked and whose slot still holds the dispatcher, so
// that neither an application handler of an event nobody hooked nor one the
// application installed later is wiped out.
template <class E>
void Restore(TryxHandlerList<E>& List, const E& Saved, E* Slot, const E& Dispatcher) {
    bool hooked = List.Exists();
    List.Clear();
    if (hooked && Slot != nullptr && *Slot == Dispatcher) *Slot = Saved;
}

template <class T>
T* Member(T TApplication::*Field) {
    return Application != nullptr ? &(Application->*Field) : nullptr;
}
template <class T>
T* ScreenMember(T TScreen::*Field) {
    return Screen != nullptr ? &(Screen->*Field) : nullptr;
}

// The unit's instances (declared before the finalization object, which outlives neither).
std::unique_ptr<TryxApplicationEvents> gApplicationEvents;
std::unique_ptr<TryxScreenEvents> gScreenEvents;

// Runs the unit's finalization at shut-down.
struct TFinalization {
    ~TFinalization() { ryxAppFinalization(); }
} gFinalization;

}  // namespace

// ---- TryxApplicationEvents ----

#define RYX_APP_EVENT(Event, Type)                                                                        \
    void TryxApplicationEvents::RegisterOn##Event(const Type& Handler) {                                  \
        Hook(FOn##Event, FSaved##Event, Member(&TApplication::On##Event),                                  \
             Type(this, &TryxApplicationEvents::AppOn##Event), Handler);                                   \
    }                                                                                                     \
    void TryxApplicationEvents::UnRegisterOn##Event(const Type& Handler) { Unhook(FOn##Event, Handler); }

RYX_APP_EVENT(ActionExecute, TActionEvent)
RYX_APP_EVENT(ActionUpdate, TActionEvent)
RYX_APP_EVENT(ShortCut, TShortCutEvent)
RYX_APP_EVENT(Minimize, TNotifyEvent)
RYX_APP_EVENT(Restore, TNotifyEvent)
RYX_APP_EVENT(Activate, TNotifyEvent)
RYX_APP_EVENT(Deactivate, TNotifyEvent)
RYX_APP_EVENT(Exception, TExceptionEvent)
RYX_APP_EVENT(Help, THelpEvent)
RYX_APP_EVENT(Hint, TNotifyEvent)
RYX_APP_EVENT(ShowHint, TShowHintEvent)
RYX_APP_EVENT(Idle, TIdleEvent)
RYX_APP_EVENT(Message, TMessageEvent)
#undef RYX_APP_EVENT

TryxApplicationEvents::~TryxApplicationEvents() {
#define RYX_RESTORE(Event, Type) \
    Restore(FOn##Event, FSaved##Event, Member(&TApplication::On##Event), Type(this, &TryxApplicationEvents::AppOn##Event));
    RYX_RESTORE(ActionExecute, TActionEvent)
    RYX_RESTORE(ActionUpdate, TActionEvent)
    RYX_RESTORE(ShortCut, TShortCutEvent)
    RYX_RESTORE(Minimize, TNotifyEvent)
    RYX_RESTORE(Restore, TNotifyEvent)
    RYX_RESTORE(Activate, TNotifyEvent)
    RYX_RESTORE(Deactivate, TNotifyEvent)
    RYX_RESTORE(Exception, TExceptionEvent)
    RYX_RESTORE(Help, THelpEvent)
    RYX_RESTORE(Hint, TNotifyEvent)
    RYX_RESTORE(ShowHint, TShowHintEvent)
    RYX_RESTORE(Idle, TIdleEvent)
    RYX_RESTORE(Message, TMessageEvent)
#undef RYX_RESTORE
}

void TryxApplicationEvents::AppOnActionExecute(TBasicAction* Action, bool& Handled) {
    FOnActionExecute.Dispatch(Action, Handled);
}
void TryxApplicationEvents::AppOnActionUpdate(TBasicAction* Action, bool& Handled) {
    FOnActionUpdate.Dispatch(Action, Handled);
}
void TryxApplicationEvents::AppOnShortCut(TWMKey& Msg, bool& Handled) { FOnShortCut.Dispatch(Msg, Handled); }
void TryxApplicationEvents::AppOnMinimize(TObject* Sender) { FOnMinimize.Dispatch(Sender); }
void TryxApplicationEvents::AppOnRestore(TObject* Sender) { FOnRestore.Dispatch(Sender); }
void TryxApplicationEvents::AppOnActivate(TObject* Sender) { FOnActivate.Dispatch(Sender); }
void TryxApplicationEvents::AppOnDeactivate(TObject* Sender) { FOnDeactivate.Dispatch(Sender); }
void TryxApplicationEvents::AppOnException(TObject* Sender, Exception& E) { FOnException.Dispatch(Sender, E); }
void TryxApplicationEvents::AppOnHelp(uint16_t Command, intptr_t Data, bool& CallHelp, bool& Result) {
    FOnHelp.DispatchUntilTrue(Result, Command, Data, CallHelp);
}
void TryxApplicationEvents::AppOnHint(TObject* Sender) { FOnHint.Dispatch(Sender); }
void TryxApplicationEvents::AppOnShowHint(std::string& HintStr, bool& CanShow, THintInfo& HintInfo) {
    FOnShowHint.Dispatch(HintStr, CanShow, HintInfo);
}
void TryxApplicationEvents::AppOnIdle(TObject* Sender, bool& Done) { FOnIdle.Dispatch(Sender, Done); }
void TryxApplicationEvents::AppOnMessage(MSG& Msg, bool& Handled) { FOnMessage.Dispatch(Msg, Handled); }

// ---- TryxScreenEvents ----

void TryxScreenEvents::RegisterOnActiveControlChange(const TNotifyEvent& Handler) {
    Hook(FOnActiveControlChange, FSavedActiveControlChange, ScreenMember(&TScreen::OnActiveControlChange),
         TNotifyEvent(this, &TryxScreenEvents::AppOnActiveControlChange), Handler);
}
void TryxScreenEvents::UnRegisterOnActiveControlChange(const TNotifyEvent& Handler) {
    Unhook(FOnActiveControlChange, Handler);
}
void TryxScreenEvents::RegisterOnActiveFormChange(const TNotifyEvent& Handler) {
    Hook(FOnActiveFormChange, FSavedActiveFormChange, ScreenMember(&TScreen::OnActiveFormChange),
         TNotifyEvent(this, &TryxScreenEvents::AppOnActiveFormChange), Handler);
}
void TryxScreenEvents::UnRegisterOnActiveFormChange(const TNotifyEvent& Handler) {
    Unhook(FOnActiveFormChange, Handler);
}

TryxScreenEvents::~TryxScreenEvents() {
    Restore(FOnActiveControlChange, FSavedActiveControlChange, ScreenMember(&TScreen::OnActiveControlChange),
            TNotifyEvent(this, &TryxScreenEvents::AppOnActiveControlChange));
    Restore(FOnActiveFormChange, FSavedActiveFormChange, ScreenMember(&TScreen::OnActiveFormChange),
            TNotifyEvent(this, &TryxScreenEvents::AppOnActiveFormChange));
}

void TryxScreenEvents::AppOnActiveControlChange(TObject* Sender) { FOnActiveControlChange.Dispatch(Sender); }
void TryxScreenEvents::AppOnActiveFormChange(TObject* Sender) { FOnActiveFormChange.Dispatch(Sender); }

// ---- instances ----

TryxApplicationEvents* ryxApplicationEvents() {
    if (!gApplicationEvents) gApplicationEvents = std::make_unique<TryxApplicationEvents>();
    return gApplicationEvents.get();
}

TryxScreenEvents* ryxScreenEvents() {
    if (!gScreenEvents) gScreenEvents = std::make_unique<TryxScreenEvents>();
    return gScreenEvents.get();
}

TryxApplicationEvents* ryxFindApplicationEvents() { return gApplicationEvents.get(); }
TryxScreenEvents* ryxFindScreenEvents() { return gScreenEvents.get(); }

void ryxAppFinalization() {
    gApplicationEvents.reset();
    gScreenEvents.reset();
}

}  // namespace ryx

// Actions and action lists: TBasicAction, TContainedAction, TCustomAction, TAction, TCustomActionList, TActionList and the action links of controls.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/rtl/component.h"
#include "host/rtl/events.h"

namespace host {

class TBasicAction;
class TCustomActionList;
class TControl;

using TShortCut = uint16_t;
// The shortcut bits: a virtual key in the low byte plus these modifier bits.
inline constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;

using TActionEvent = TEvent<TBasicAction*, bool&>;
using THintEvent = TEvent<std::string&, bool&>;

// The link between an action and one client (a control, a menu item): the action
// tells its links when a property changes; the link passes it on to the client.
class TBasicActionLink : public TObject {
    HOST_CLASS(TBasicActionLink, TObject)
public:
    explicit TBasicActionLink(TObject* AClient);
    ~TBasicActionLink() override;
    TBasicAction* Action() const { return FAction; }
    void SetAction(TBasicAction* Value);
    // Runs the action for the client (true when it ran).
    virtual bool Execute(TComponent* Target = nullptr);
    virtual bool Update();
    TNotifyEvent OnChange;

protected:
    friend class TBasicAction;
    friend class TCustomAction;
    virtual void Change();
    TObject* FClient;

private:
    TBasicAction* FAction = nullptr;
};

// An action: a command with an OnExecute and an OnUpdate, shared by its clients.
class TBasicAction : public TComponent {
    HOST_CLASS(TBasicAction, TComponent)
public:
    explicit TBasicAction(TComponent* AOwner);
    ~TBasicAction() override;
    // OnExecute (through the action list and the application first); true when handled.
    virtual bool Execute();
    // OnUpdate (through the action list and the application first); true when handled.
    virtual bool Update();
    virtual bool HandlesTarget(TObject* Target) { (void)Target; return false; }
    virtual void ExecuteTarget(TObject* Target) { (void)Target; }
    virtual void UpdateTarget(TObject* Target) { (void)Target; }
    TComponent* ActionComponent() const { return FActionComponent; }
    void SetActionComponent(TComponent* Value);
    int ClientCount() const { return static_cast<int>(FClients.size()); }
    TBasicActionLink* Clients(int Index) const { return FClients[Index]; }

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;
    TNotifyEvent OnChange;

protected:
    friend class TBasicActionLink;
    virtual void Change();
    void RegisterChanges(TBasicActionLink* Value);
    void UnRegisterChanges(TBasicActionLink* Value);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    std::vector<TBasicActionLink*> FClients;

private:
    TComponent* FActionComponent = nullptr;
};

// An action kept in an action list, with a category.
class TContainedAction : public TBasicAction {
    HOST_CLASS(TContainedAction, TBasicAction)
public:
    explicit TContainedAction(TComponent* AOwner);
    ~TContainedAction() override;
    TCustomActionList* ActionList() const { return FActionList; }
    void SetActionList(TCustomActionList* Value);
    int Index() const;
    void SetIndex(int Value);
    const std::string& Category() const { return FCategory; }
    void SetCategory(const std::string& Value);
    bool Execute() override;
    bool Update() override;

    bool HasParent() const override { return FActionList != nullptr; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

private:
    friend class TCustomActionList;
    TCustomActionList* FActionList = nullptr;
    std::string FCategory;
    HOST_PUBLISHED(prop("Category", &TContainedAction::FCategory, &TContainedAction::SetCategory).def(std::string()))
};

// An action with the properties its clients take over: caption, checked, enabled,
// help context, hint, image index, shortcut, visible.
class TCustomAction : public TContainedAction {
    HOST_CLASS(TCustomAction, TContainedAction)
public:
    explicit TCustomAction(TComponent* AOwner);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // An action with neither OnExecute nor a handler of its list is disabled on
    // update when DisableIfNoHandler.
    bool DisableIfNoHandler() const { return FDisableIfNoHandler; }
    void SetDisableIfNoHandler(bool Value) { FDisableIfNoHandler = Value; }
    bool Execute() override;
    bool Update() override;

    THintEvent OnHint;

private:
    std::string FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    int FHelpContext = 0;
    std::string FHint;
    int FImageIndex = -1;
    TShortCut FShortCut = 0;
    bool FVisible = true;
    bool FDisableIfNoHandler = true;
    bool FChecking = false;
    template <class V>
    void Set(V& Field, const V& Value);
};

class TAction : public TCustomAction {
    HOST_CLASS(TAction, TCustomAction)
public:
    explicit TAction(TComponent* AOwner);

private:
    HOST_PUBLISHED(prop("Caption", &TCustomAction::Caption, &TCustomAction::SetCaption).def(std::string()),
                   prop("Checked", &TCustomAction::Checked, &TCustomAction::SetChecked).def(false),
                   prop("Enabled", &TCustomAction::Enabled, &TCustomAction::SetEnabled).def(true),
                   prop("HelpContext", &TCustomAction::HelpContext, &TCustomAction::SetHelpContext).def(0),
                   prop("Hint", &TCustomAction::Hint, &TCustomAction::SetHint).def(std::string()),
                   prop("ImageIndex", &TCustomAction::ImageIndex, &TCustomAction::SetImageIndex).def(-1),
                   prop("ShortCut", &TCustomAction::ShortCut, &TCustomAction::SetShortCut).def(0),
                   prop("Visible", &TCustomAction::Visible, &TCustomAction::SetVisible).def(true),
                   prop("OnExecute", &TBasicAction::OnExecute, &TBasicAction::OnExecute),
                   prop("OnHint", &TCustomAction::OnHint, &TCustomAction::OnHint),
                   prop("OnUpdate", &TBasicAction::OnUpdate, &TBasicAction::OnUpdate))
};

// A list of actions; its OnExecute/OnUpdate see every action's first.
class TCustomActionList : public TComponent {
    HOST_CLASS(TCustomActionList, TComponent)
public:
    explicit TCustomActionList(TComponent* AOwner);
    ~TCustomActionList() override;
    int ActionCount() const { return static_cast<int>(FActions.size()); }
    TContainedAction* Actions(int Index) const;
    // True when OnExecute handled the action (Handled set).
    virtual bool ExecuteAction(TBasicAction* Action);
    virtual bool UpdateAction(TBasicAction* Action);
    // Runs the action whose ShortCut is Key; true when one did.
    bool IsShortCut(TShortCut Key);
    // The component that owns the images of the actions (an image list), if any.
    TComponent* Images() const { return FImages; }
    void SetImages(TComponent* Value);

    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void SetChildOrder(TComponent* Child, int Order) override;

    TActionEvent OnExecute;
    TActionEvent OnUpdate;
    TNotifyEvent OnChange;

protected:
    friend class TContainedAction;
    void AddAction(TContainedAction* Action);
    void RemoveAction(TContainedAction* Action);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void Change();

private:
    std::vector<TContainedAction*> FActions;
    TComponent* FImages = nullptr;
};

class TActionList : public TCustomActionList {
    HOST_CLASS(TActionList, TCustomActionList)
public:
    explicit TActionList(TComponent* AOwner) : TCustomActionList(AOwner) {}

private:
    HOST_PUBLISHED(prop("OnExecute", &TCustomActionList::OnExecute, &TCustomActionList::OnExecute),
                   prop("OnUpdate", &TCustomActionList::OnUpdate, &TCustomActionList::OnUpdate),
                   prop("OnChange", &TCustomActionList::OnChange, &TCustomActionList::OnChange))
};

// An action link of a control: copies Caption, Enabled, Hint, Visible, HelpContext
// and the OnExecute as OnClick from the action to the control while the control's
// own value is still the one the action gave it.
class TActionLink : public TBasicActionLink {
    HOST_CLASS(TActionLink, TBasicActionLink)
public:
    using TBasicActionLink::TBasicActionLink;
    virtual bool IsCaptionLinked() const;
    virtual bool IsCheckedLinked() const;
    virtual bool IsEnabledLinked() const;
    virtual bool IsHelpContextLinked() const;
    virtual bool IsHintLinked() const;
    virtual bool IsVisibleLinked() const;
    virtual bool IsOnExecuteLinked() const;
    virtual void SetCaption(const std::string&) {}
    virtual void SetChecked(bool) {}
    virtual void SetEnabled(bool) {}
    virtual void SetHelpContext(int) {}
    virtual void SetHint(const std::string&) {}
    virtual void SetVisible(bool) {}
    virtual void SetOnExecute(const TNotifyEvent&) {}
};

class TControlActionLink : public TActionLink {
    HOST_CLASS(TControlActionLink, TActionLink)
public:
    explicit TControlActionLink(TControl* AClient);
    bool IsCaptionLinked() const override;
    bool IsEnabledLinked() const override;
    bool IsHelpContextLinked() const override;
    bool IsHintLinked() const override;
    bool IsVisibleLinked() const override;
    bool IsOnExecuteLinked() const override;
    void SetCaption(const std::string& Value) override;
    void SetEnabled(bool Value) override;
    void SetHelpContext(int Value) override;
    void SetHint(const std::string& Value) override;
    void SetVisible(bool Value) override;
    void SetOnExecute(const TNotifyEvent& Value) override;

protected:
    TControl* Control() const;
};

// A shortcut from a key and a shift state, and back; text as "Ctrl+S".
TShortCut ShortCut(uint16_t Key, bool Shift, bool Ctrl, bool Alt);
std::string ShortCutToText(TShortCut ShortCut);
TShortCut TextToShortCut(const std::string& Text);

}  // namespace host

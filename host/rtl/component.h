// TComponent: ownership, names, removal notices, component state and the hooks of streaming.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "host/rtl/persistent.h"
#include "host/rtl/sets.h"
#include "host/rtl/typinfo.h"

namespace host {

class TReader;
class TWriter;
class TComponent;

HOST_ENUM(TOperation, opInsert, opRemove);
HOST_ENUM(TComponentStateItem, csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor, csUpdating,
          csFixups, csFreeNotification, csInline, csDesignInstance);
using TComponentState = TSet<TComponentStateItem>;
HOST_ENUM(TComponentStyleItem, csInheritable, csCheckPropAvail, csSubComponent, csTransient);
using TComponentStyle = TSet<TComponentStyleItem>;

using TGetChildProc = std::function<void(TComponent* Child)>;

class TComponent : public TPersistent {
    HOST_CLASS(TComponent, TPersistent)
public:
    // Components are constructed with their owner, through class references too.
    using HostCreateArgs = std::tuple<TComponent*>;

    explicit TComponent(TComponent* AOwner);
    // Tells every component that asked for it, frees the owned components (last
    // first) and leaves the owner.
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    // Raises EListError for an index out of range.
    TComponent* Components(int Index) const;
    int ComponentIndex() const;
    void SetComponentIndex(int Value);

    const std::string& Name() const { return FName; }
    // Renames the component: the name must be empty or a valid identifier, and
    // unique among the owner's components (case-insensitive); EComponentError otherwise.
    virtual void SetName(const std::string& NewName);

    intptr_t Tag() const { return FTag; }
    void SetTag(intptr_t Value) { FTag = Value; }
    TComponentState ComponentState() const { return FComponentState; }
    TComponentStyle ComponentStyle() const { return FComponentStyle; }

    // The owned component of that name (case-insensitive), or nullptr.
    TComponent* FindComponent(const std::string& AName) const;
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    void DestroyComponents();
    // Marks this component and all it owns as being destroyed.
    void Destroying();

    // Asks to be told (Notification with opRemove) when AComponent is destroyed,
    // and tells AComponent the same of this one.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Streaming hooks.
    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent* Value) { (void)Value; }
    // Calls Proc for each child that a writer stores inside this component.
    virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);
    virtual TComponent* GetChildOwner() { return nullptr; }
    virtual TComponent* GetChildParent() { return this; }
    virtual void SetChildOrder(TComponent* Child, int Order);
    virtual void ReadState(TReader* Reader);
    virtual void WriteState(TWriter* Writer);
    std::string GetNamePath() const override;

    // Called once for every component read from a form file, after all references
    // were fixed up. Clears csLoading.
    virtual void Loaded();
    // Told of components inserted into this one (opInsert) and of components being
    // destroyed (opRemove). The base forgets a removed component's free notice and
    // passes opRemove on to every owned component, so that components of one owner
    // clear their references to a sibling that goes. opInsert goes to the owner
    // alone: passing every insertion to every sibling would make loading a form
    // quadratic in its size.
    virtual void Notification(TComponent* AComponent, TOperation Operation);

    // Sets or clears csDesigning, and by default on every owned component too.
    void SetDesigning(bool Value, bool SetChildren = true);
    void SetAncestor(bool Value);
    void SetInline(bool Value);
    void Updating() { FComponentState.Include(csUpdating); }
    void Updated() { FComponentState.Exclude(csUpdating); }

protected:
    virtual void ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName);
    virtual void ValidateContainer(TComponent* AComponent);
    virtual void ValidateInsert(TComponent* AComponent) { (void)AComponent; }
    void SetComponentStyle(TComponentStyle Value) { FComponentStyle = Value; }
    void ChangeName(const std::string& NewName);

private:
    friend class TReader;
    friend class TWriter;

    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void IndexName(TComponent* AComponent);
    void UnindexName(TComponent* AComponent);
    void RemoveNotification(TComponent* AComponent);

    TComponent* FOwner = nullptr;
    std::string FName;
    intptr_t FTag = 0;
    std::vector<TComponent*> FComponents;
    // Folded name -> owned component, kept once a component owns several.
    std::unique_ptr<struct TComponentNameIndex> FNameIndex;
    // The components to tell when this one goes; made on the first FreeNotification.
    std::unique_ptr<std::vector<TComponent*>> FFreeNotifies;
    TComponentState FComponentState;
    TComponentStyle FComponentStyle{csInheritable};

    HOST_PUBLISHED(prop("Name", &TComponent::FName, &TComponent::SetName).stored(false),
                   prop("Tag", &TComponent::FTag, &TComponent::SetTag).def(0))
};

using TComponentClass = TClass;

// Finding components of other roots (forms, data modules) by name, for references
// that cross roots in form files. The windowing layer registers a finder over its
// forms; tests may register their own.
using TFindGlobalComponent = std::function<TComponent*(const std::string& Name)>;
int RegisterFindGlobalComponentProc(TFindGlobalComponent Proc);
void UnregisterFindGlobalComponentProc(int Cookie);
TComponent* FindGlobalComponent(const std::string& Name);

// True when Ident is a valid identifier (a letter or underscore, then letters,
// digits and underscores; ASCII).
bool IsValidComponentName(const std::string& Ident);

}  // namespace host

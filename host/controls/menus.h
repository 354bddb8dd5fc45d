// Menus: TMenuItem, TMenu, TMainMenu, TPopupMenu, their action link, the shortcut routines and the helpers that build menus in code.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "host/controls/actnlist.h"
#include "host/controls/controls.h"
#include "host/graphics/imglist.h"
#include "host/rtl/exceptions.h"
#include "host/windows/menu.h"

namespace host {

class TMenu;
class TMenuItem;
class TPopupMenu;

HOST_ENUM(TMenuBreak, mbNone, mbBreak, mbBarBreak);
HOST_ENUM(TFindItemKind, fkCommand, fkHandle, fkShortCut);
HOST_ENUM(TPopupAlignment, paLeft, paRight, paCenter);
HOST_ENUM(TTrackButton, tbRightButton, tbLeftButton);

// Misuse of a menu's item tree (an item inserted twice, an index out of range, an
// item that is not a child) raises EMenuError (host/rtl/exceptions.h).

// A shortcut from a key and a shift state (only Shift, Ctrl and Alt count), and back.
TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift);
// ShortCutToText and TextToShortCut ("Ctrl+S", "Shift+Del", "F5") are in actnlist.h.

// The link between a menu item and its action: Caption, Checked, Enabled, Hint,
// Visible, ShortCut, ImageIndex and OnExecute (as OnClick) follow the action while
// the item's own value is still the one the action gave it.
class TMenuActionLink : public TActionLink {
    HOST_CLASS(TMenuActionLink, TActionLink)
public:
    explicit TMenuActionLink(TMenuItem* AClient);
    bool IsCaptionLinked() const override;
    bool IsCheckedLinked() const override;
    bool IsEnabledLinked() const override;
    bool IsHelpContextLinked() const override;
    bool IsHintLinked() const override;
    bool IsVisibleLinked() const override;
    bool IsOnExecuteLinked() const override;
    void SetCaption(const std::string& Value) override;
    void SetChecked(bool Value) override;
    void SetEnabled(bool Value) override;
    void SetHelpContext(int Value) override;
    void SetHint(const std::string& Value) override;
    void SetVisible(bool Value) override;
    void SetOnExecute(const TNotifyEvent& Value) override;

private:
    TMenuItem* Item() const;
};

// One entry of a menu: a command, a separator ("-") or a submenu (an item with
// items). Items are components owned by the form; a form file stores them inside
// their menu, nested as the tree is.
class TMenuItem : public TComponent {
    HOST_CLASS(TMenuItem, TComponent)
public:
    explicit TMenuItem(TComponent* AOwner);
    // Leaves the parent item and frees the child items.
    ~TMenuItem() override;

    // --- the tree ---
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EMenuError for an index out of range.
    TMenuItem* Items(int Index) const;
    TMenuItem* Item(int Index) const { return Items(Index); }
    TMenuItem* Parent() const { return FParent; }
    // The menu whose item tree holds this item (nullptr when none).
    TMenu* GetParentMenu() const;
    // Appends Item (EMenuError when it already has a parent).
    void Add(TMenuItem* Item);
    void Add(std::initializer_list<TMenuItem*> AItems);
    // Inserts Item at Index (0..Count).
    void Insert(int Index, TMenuItem* Item);
    // Takes the item at Index out of the tree without freeing it.
    void Delete(int Index);
    // Takes Item out of the tree without freeing it (EMenuError when not a child).
    void Remove(TMenuItem* Item);
    // Frees every child item.
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    // The child whose caption is ACaption, ignoring '&' and case; nullptr when none.
    TMenuItem* Find(const std::string& ACaption) const;
    int MenuIndex() const;
    void SetMenuIndex(int Value);
    // True for a separator (Caption "-").
    bool IsLine() const { return FCaption == "-"; }

    // --- properties ---
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    bool Checked() const { return FChecked; }
    // Checking a radio item unchecks the other radio items of its group.
    void SetChecked(bool Value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    uint8_t GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(uint8_t Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    TMenuBreak Break() const { return FBreak; }
    void SetBreak(TMenuBreak Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // A picture drawn beside the caption when the menu has no image for the item.
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* Value);
    bool HasBitmap() const { return FBitmap != nullptr; }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }
    // The command number WM_COMMAND carries for this item (unique in the process).
    WORD Command() const { return FCommand; }
    // The pop-up menu of an item with children (made on demand), else nullptr.
    HMENU Handle();

    // --- actions ---
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);
    TMenuActionLink* ActionLink() const { return FActionLink.get(); }
    virtual void InitiateAction();

    // Runs the item: the action when linked (and OnClick is the action's), else OnClick.
    virtual void Click();

    // --- streaming ---
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void SetChildOrder(TComponent* Child, int Order) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TNotifyEvent OnClick;

protected:
    friend class TMenu;
    friend class TMenuActionLink;
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);
    // Something shown changed: the menu rebuilds its handles.
    void MenuChanged(bool Rebuild);

private:
    std::string FCaption;
    TShortCut FShortCut = 0;
    bool FChecked = false;
    bool FRadioItem = false;
    uint8_t FGroupIndex = 0;
    bool FEnabled = true;
    bool FVisible = true;
    bool FDefault = false;
    TMenuBreak FBreak = mbNone;
    int FImageIndex = -1;
    std::unique_ptr<TBitmap> FBitmap;
    HBITMAP FGlyph = nullptr;  // the picture drawn beside the caption (owned; a copy the menu handle shows)
    std::string FHint;
    int FHelpContext = 0;
    WORD FCommand = 0;
    HMENU FHandle = nullptr;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;  // set on the root item of a menu
    std::vector<TMenuItem*> FItems;
    std::unique_ptr<TMenuActionLink> FActionLink;

    void DoActionChange(TObject* Sender);
    void TurnSiblingsOff();
    void DestroyHandles();
    void AppendTo(HMENU Menu, bool ARightToLeft);
    bool IsCaptionStored() const;
    bool IsCheckedStored() const;
    bool IsEnabledStored() const;
    bool IsHintStored() const;
    bool IsShortCutStored() const;
    bool IsVisibleStored() const;
    bool IsOnClickStored() const;
    bool IsBitmapStored() const { return FBitmap != nullptr; }
    TBitmap* BitmapForStream() const { return FBitmap.get(); }
    TBasicAction* ActionForStream() const { return Action(); }
    void SetActionForStream(TBasicAction* Value) { SetAction(Value); }
    TNotifyEvent OnClickForStream() const { return OnClick; }
    void SetOnClickForStream(TNotifyEvent Value) { OnClick = Value; }

    HOST_PUBLISHED(prop("Action", &TMenuItem::ActionForStream, &TMenuItem::SetActionForStream),
                   prop("Bitmap", &TMenuItem::BitmapForStream, &TMenuItem::SetBitmap).stored(&TMenuItem::IsBitmapStored),
                   prop("Break", &TMenuItem::Break, &TMenuItem::SetBreak).def(mbNone),
                   prop("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption).stored(&TMenuItem::IsCaptionStored),
                   prop("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).stored(&TMenuItem::IsCheckedStored).def(false),
                   prop("Default", &TMenuItem::Default, &TMenuItem::SetDefault).def(false),
                   prop("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).stored(&TMenuItem::IsEnabledStored).def(true),
                   prop("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).def(0),
                   prop("HelpContext", &TMenuItem::HelpContext, &TMenuItem::SetHelpContext).def(0),
                   prop("Hint", &TMenuItem::Hint, &TMenuItem::SetHint).stored(&TMenuItem::IsHintStored),
                   prop("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).def(-1),
                   prop("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).def(false),
                   prop("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut).stored(&TMenuItem::IsShortCutStored).def(0),
                   prop("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).stored(&TMenuItem::IsVisibleStored).def(true),
                   prop("OnClick", &TMenuItem::OnClickForStream, &TMenuItem::SetOnClickForStream).stored(&TMenuItem::IsOnClickStored))
};

// A menu: the root of an item tree and the menu handle built from it.
class TMenu : public TComponent {
    HOST_CLASS(TMenu, TComponent)
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    // The root item; its children are the menu's entries.
    TMenuItem* Items() const { return FItems.get(); }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value);
    // The menu handle (a menu bar for a main menu, a pop-up menu otherwise), built on
    // first use and rebuilt after a change.
    HMENU Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    // The window that receives the menu's messages (the form of a main menu; nullptr
    // when none).
    virtual HWND WindowHandle() const { return FWindowHandle; }
    void SetWindowHandle(HWND Value);

    // The item with that command number, submenu handle or shortcut; nullptr when none.
    TMenuItem* FindItem(uintptr_t Value, TFindItemKind Kind) const;
    // Runs the enabled, visible item whose shortcut the key is; true when one ran.
    bool IsShortCut(TWMKey& Message);
    // Clicks the item with that command number; true when there was one.
    bool DispatchCommand(WORD ACommand);
    // Opens a submenu: fires its item's OnClick (so a menu can fill itself); true
    // when the handle belongs to this menu.
    bool DispatchPopup(HMENU AMenuHandle);
    // The hint of the item a WM_MENUSELECT names goes to Application->Hint.
    void MenuSelect(WPARAM WParam, LPARAM LParam);

    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void SetChildOrder(TComponent* Child, int Order) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;

    TNotifyEvent OnChange;

protected:
    friend class TMenuItem;
    // Makes the empty menu handle of this kind (CreateMenu / CreatePopupMenu).
    virtual HMENU CreateMenuHandle();
    // The item tree changed; Rebuild when the handle must be made again.
    virtual void MenuChanged(TMenuItem* Source, bool Rebuild);
    void DestroyMenuHandle();

private:
    std::unique_ptr<TMenuItem> FItems;
    TCustomImageList* FImages = nullptr;
    bool FOwnerDraw = false;
    HMENU FHandle = nullptr;
    HWND FWindowHandle = nullptr;
    bool FDirty = true;

    HOST_PUBLISHED(prop("Images", &TMenu::Images, &TMenu::SetImages),
                   prop("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw).def(false))
};

// The menu bar of a form (set as the form's Menu).
class TMainMenu : public TMenu {
    HOST_CLASS(TMainMenu, TMenu)
public:
    explicit TMainMenu(TComponent* AOwner);
    bool AutoMerge() const { return FAutoMerge; }
    void SetAutoMerge(bool Value) { FAutoMerge = Value; }

protected:
    HMENU CreateMenuHandle() override;
    void MenuChanged(TMenuItem* Source, bool Rebuild) override;

private:
    bool FAutoMerge = false;
    HOST_PUBLISHED(prop("AutoMerge", &TMainMenu::AutoMerge, &TMainMenu::SetAutoMerge).def(false),
                   prop("OnChange", &TMenu::OnChange, &TMenu::OnChange))
};

// A context menu: shown by Popup, or by a right click on a control whose PopupMenu
// it is when AutoPopup.
class TPopupMenu : public TMenu {
    HOST_CLASS(TPopupMenu, TMenu)
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    // Shows the menu at the screen point (aligned as Alignment says) and runs its
    // loop until an item is chosen or the menu is cancelled; the chosen item is
    // clicked before Popup returns. A test's responder is offered the menu first
    // (dkPopupMenu) and may choose an item by caption.
    virtual void Popup(int X, int Y);
    TPopupAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    TTrackButton TrackButton() const { return FTrackButton; }
    void SetTrackButton(TTrackButton Value) { FTrackButton = Value; }
    // The control (or other component) the menu was last opened for.
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value);
    // Where the menu was last opened (screen coordinates).
    TPoint PopupPoint() const { return FPopupPoint; }
    HWND WindowHandle() const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TNotifyEvent OnPopup;

protected:
    HMENU CreateMenuHandle() override;
    virtual void DoPopup(TObject* Sender);

private:
    TPopupAlignment FAlignment = paLeft;
    bool FAutoPopup = true;
    TTrackButton FTrackButton = tbRightButton;
    TComponent* FPopupComponent = nullptr;
    TPoint FPopupPoint{};

    HOST_PUBLISHED(prop("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment).def(paLeft),
                   prop("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).def(true),
                   prop("TrackButton", &TPopupMenu::TrackButton, &TPopupMenu::SetTrackButton).def(tbRightButton),
                   prop("OnChange", &TMenu::OnChange, &TMenu::OnChange),
                   prop("OnPopup", &TPopupMenu::OnPopup, &TPopupMenu::OnPopup))
};

// Menus built in code. The returned objects belong to Owner (the items given to
// NewMenu/NewPopupMenu/NewSubMenu become children of the new menu or item).
TMainMenu* NewMenu(TComponent* Owner, const std::string& AName, std::initializer_list<TMenuItem*> Items);
TPopupMenu* NewPopupMenu(TComponent* Owner, const std::string& AName, TPopupAlignment Alignment, bool AutoPopup,
                         std::initializer_list<TMenuItem*> Items);
TMenuItem* NewSubMenu(TComponent* Owner, const std::string& ACaption, int HelpContext, const std::string& AName,
                      std::initializer_list<TMenuItem*> Items, bool AEnabled = true);
TMenuItem* NewItem(TComponent* Owner, const std::string& ACaption, TShortCut AShortCut, bool AChecked, bool AEnabled,
                   TNotifyEvent AOnClick, int HelpContext, const std::string& AName);
TMenuItem* NewLine(TComponent* Owner);

// StripHotkey and GetHotkey (a caption without its '&' marks, its accelerator
// character) are in host/windows/menu.h.

// A control's context menu: OnContextPopup first; then, when the control has a
// PopupMenu with AutoPopup, the menu opens at the screen point (MousePos is in
// client coordinates; (-1, -1) from the keyboard opens it at the control's centre).
// True when the menu was shown or the event handled it. The controls call it on
// WM_CONTEXTMENU.
bool DoControlContextPopup(TControl* Control, TPoint MousePos);
// A key of a control (CN_KEYDOWN/CN_SYSKEYDOWN): the popup menus of the control and
// its parents, then its form's IsShortCut. True when a menu item ran.
bool IsMenuKey(TControl* Control, TWMKey& Message);

// The keys that enter a form's menu bar, seen by a windowed control after it handled
// them: Alt pressed and released alone or F10 (the bar with its first title selected),
// Alt with a title's accelerator letter (that title's menu opens).
void MenuBarKeyMessage(TWinControl* Control, const TMessage& Message);

// Registers the menu classes for form files (once).
void RegisterMenuClasses();

}  // namespace host

// Component classes shared by the object-model and form-file tests.
#pragma once

#include <string>
#include <vector>

#include "host/rtl/collection.h"
#include "host/rtl/component.h"
#include "host/rtl/filer.h"
#include "host/rtl/lists.h"
#include "host/rtl/streams.h"

namespace rtltest {

using namespace host;

HOST_ENUM(TTestShape, tsCircle, tsSquare, tsTriangle);
HOST_ENUM(TTestOption, toBold, toItalic, toUnderline, toStrike);
using TTestOptions = TSet<TTestOption>;

// Everything that happened, in order: Loaded calls and removal notices.
std::vector<std::string>& Log();

class TTestFont : public TPersistent {
    HOST_CLASS(TTestFont, TPersistent)
public:
    TTestFont() = default;
    std::string FName = "Sans";
    int FSize = 8;
    TTestOptions FStyle;
    void Assign(TPersistent* Source) override;
    HOST_PUBLISHED(prop("Name", &TTestFont::FName, &TTestFont::FName).def("Sans"),
                   prop("Size", &TTestFont::FSize, &TTestFont::FSize).def(8),
                   prop("Style", &TTestFont::FStyle, &TTestFont::FStyle).def({}))
};

class TTestItem : public TCollectionItem {
    HOST_CLASS(TTestItem, TCollectionItem)
public:
    explicit TTestItem(TCollection* C) : TCollectionItem(C) {}
    int FWidth = 64;
    std::string FTitle;
    void Assign(TPersistent* Source) override;
    HOST_PUBLISHED(prop("Width", &TTestItem::FWidth, &TTestItem::FWidth).def(64),
                   prop("Title", &TTestItem::FTitle, &TTestItem::FTitle))
};

// A root that, like a data module, stores the components it owns that have no parent.
class TTestRoot : public TComponent {
    HOST_CLASS(TTestRoot, TComponent)
public:
    explicit TTestRoot(TComponent* AOwner) : TComponent(AOwner) {}
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void Loaded() override;
    void ThingClick(TObject* Sender);
    void OtherClick(TObject* Sender);
    int Clicks = 0;
    HOST_PUBLISHED(method("ThingClick", &TTestRoot::ThingClick), method("OtherClick", &TTestRoot::OtherClick))
};

// A component with a parent relation and one property of every kind.
class TTestWidget : public TComponent {
    HOST_CLASS(TTestWidget, TComponent)
public:
    explicit TTestWidget(TComponent* AOwner);
    ~TTestWidget() override;

    TTestWidget* ParentWidget() const { return FParent; }
    void SetParentWidget(TTestWidget* Value);
    const std::vector<TTestWidget*>& ChildWidgets() const { return FChildren; }

    bool HasParent() const override { return FParent != nullptr; }
    TComponent* GetParentComponent() const override { return FParent; }
    void SetParentComponent(TComponent* Value) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void DefineProperties(TFiler* Filer) override;

    int Left() const { return FLeft; }
    void SetLeft(int Value) { FLeft = Value; }
    TTestWidget* Buddy() const { return FBuddy; }
    void SetBuddy(TTestWidget* Value);
    TTestFont* Font() const { return FFont.get(); }
    void SetFont(TTestFont* Value) { FFont->Assign(Value); }
    TCollection* Items() const { return FItems.get(); }
    void SetItems(TCollection* Value) { FItems->Assign(Value); }
    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value) { FLines->Assign(Value); }
    bool IsCaptionStored() const { return !FAutoCaption; }

    int FLeft = 0;
    bool FVisible = true;
    bool FAutoCaption = false;
    TTestShape FShape = tsCircle;
    TTestOptions FOptions;
    std::string FCaption;
    double FRatio = 0;
    int64_t FBig = 0;
    Currency FPrice;
    double FWhen = 0;
    TNotifyEvent FOnClick;
    std::string FData;  // streamed as a binary property
    bool FFlag = false;  // streamed as a defined Boolean property

private:
    TTestWidget* FParent = nullptr;
    std::vector<TTestWidget*> FChildren;
    TTestWidget* FBuddy = nullptr;
    std::unique_ptr<TTestFont> FFont = std::make_unique<TTestFont>();
    std::unique_ptr<TCollection> FItems = std::make_unique<TCollection>(TTestItem::StaticClass());
    std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();

    HOST_PUBLISHED(prop("Left", &TTestWidget::Left, &TTestWidget::SetLeft).def(0),
                   prop("Visible", &TTestWidget::FVisible, &TTestWidget::FVisible).def(true),
                   prop("AutoCaption", &TTestWidget::FAutoCaption, &TTestWidget::FAutoCaption).def(false),
                   prop("Caption", &TTestWidget::FCaption, &TTestWidget::FCaption)
                       .stored(&TTestWidget::IsCaptionStored),
                   prop("Shape", &TTestWidget::FShape, &TTestWidget::FShape).def(tsCircle),
                   prop("Options", &TTestWidget::FOptions, &TTestWidget::FOptions).def({toBold}),
                   prop("Ratio", &TTestWidget::FRatio, &TTestWidget::FRatio),
                   prop("Big", &TTestWidget::FBig, &TTestWidget::FBig).def(0),
                   prop("Price", &TTestWidget::FPrice, &TTestWidget::FPrice),
                   prop("When", &TTestWidget::FWhen, &TTestWidget::FWhen).type(TypeInfoDateTime()),
                   prop("Buddy", &TTestWidget::Buddy, &TTestWidget::SetBuddy),
                   prop("Font", &TTestWidget::Font, &TTestWidget::SetFont),
                   prop("Items", &TTestWidget::Items, &TTestWidget::SetItems),
                   prop("Lines", &TTestWidget::Lines, &TTestWidget::SetLines),
                   prop("OnClick", &TTestWidget::FOnClick, &TTestWidget::FOnClick))
};

// Registers the test classes with the streaming system (idempotent).
void RegisterTestClasses();

}  // namespace rtltest

// The shared test components: parent relations, streaming hooks and logging.
#include "test_components.h"

#include <algorithm>

namespace rtltest {

std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}

void TTestFont::Assign(TPersistent* Source) {
    if (Source && Source->Is<TTestFont>()) {
        auto* s = static_cast<TTestFont*>(Source);
        FName = s->FName;
        FSize = s->FSize;
        FStyle = s->FStyle;
        return;
    }
    TPersistent::Assign(Source);
}

void TTestItem::Assign(TPersistent* Source) {
    if (Source && Source->Is<TTestItem>()) {
        FWidth = static_cast<TTestItem*>(Source)->FWidth;
        FTitle = static_cast<TTestItem*>(Source)->FTitle;
        return;
    }
    TCollectionItem::Assign(Source);
}

void TTestRoot::GetChildren(const TGetChildProc& Proc, TComponent*) {
    for (int i = 0; i < ComponentCount(); ++i)
        if (!Components(i)->HasParent()) Proc(Components(i));
}

void TTestRoot::Loaded() {
    TComponent::Loaded();
    Log().push_back("Loaded " + Name());
}

void TTestRoot::ThingClick(TObject*) { ++Clicks; }
void TTestRoot::OtherClick(TObject*) { Clicks += 100; }

TTestWidget::TTestWidget(TComponent* AOwner) : TComponent(AOwner) {}

TTestWidget::~TTestWidget() {
    SetParentWidget(nullptr);
    for (TTestWidget* c : FChildren) c->FParent = nullptr;
}

void TTestWidget::SetParentWidget(TTestWidget* Value) {
    if (FParent == Value) return;
    if (FParent) {
        auto& v = FParent->FChildren;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    FParent = Value;
    if (FParent) FParent->FChildren.push_back(this);
}

void TTestWidget::SetParentComponent(TComponent* Value) {
    SetParentWidget(Value && Value->Is<TTestWidget>() ? static_cast<TTestWidget*>(Value) : nullptr);
}

void TTestWidget::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (TTestWidget* c : FChildren)
        if (c->Owner() == Root) Proc(c);
}

void TTestWidget::Loaded() {
    TComponent::Loaded();
    Log().push_back("Loaded " + Name());
}

void TTestWidget::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FBuddy) {
        FBuddy = nullptr;
        Log().push_back(Name() + " lost buddy");
    }
}

void TTestWidget::SetBuddy(TTestWidget* Value) {
    if (FBuddy == Value) return;
    if (FBuddy) FBuddy->RemoveFreeNotification(this);
    FBuddy = Value;
    if (FBuddy) FBuddy->FreeNotification(this);
}

void TTestWidget::DefineProperties(TFiler* Filer) {
    TComponent::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        "Data",
        TStreamProc([this](TStream* S) {
            FData.assign(static_cast<size_t>(S->Size()), '\0');
            S->ReadBuffer(FData.data(), S->Size());
        }),
        TStreamProc([this](TStream* S) { S->WriteBuffer(FData.data(), static_cast<int64_t>(FData.size())); }),
        // Written when there is data, unless an ancestor holds the same.
        Filer->Ancestor() && Filer->Ancestor()->Is<TTestWidget>()
            ? static_cast<TTestWidget*>(Filer->Ancestor())->FData != FData
            : !FData.empty());
    Filer->DefineProperty(
        "Flag", TReaderProc([this](TReader* R) { FFlag = R->ReadBoolean(); }),
        TWriterProc([](TWriter* W) { W->WriteBoolean(true); }), FFlag && Filer->Ancestor() == nullptr);
}

void RegisterTestClasses() { RegisterClasses({TTestRoot::StaticClass(), TTestWidget::StaticClass()}); }

}  // namespace rtltest

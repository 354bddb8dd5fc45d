// Fuzz target: the binary form-file reader. Any input must either load a component
// tree or raise a filer error; nothing may crash, leak or hang.
#include <cstdint>
#include <memory>
#include <string>

#include "host/rtl/collection.h"
#include "host/rtl/component.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/filer.h"
#include "host/rtl/lists.h"
#include "host/rtl/streams.h"

namespace {

using namespace host;

HOST_ENUM(TFuzzKind, fkOne, fkTwo, fkThree);
using TFuzzKinds = TSet<TFuzzKind>;

class TFuzzItem : public TCollectionItem {
    HOST_CLASS(TFuzzItem, TCollectionItem)
public:
    explicit TFuzzItem(TCollection* C) : TCollectionItem(C) {}
    int FValue = 0;
    HOST_PUBLISHED(prop("Value", &TFuzzItem::FValue, &TFuzzItem::FValue).def(0))
};

class TFuzzNode : public TComponent {
    HOST_CLASS(TFuzzNode, TComponent)
public:
    explicit TFuzzNode(TComponent* AOwner) : TComponent(AOwner) {}
    ~TFuzzNode() override { SetRef(nullptr); }
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override {
        for (int i = 0; i < ComponentCount(); ++i) Proc(Components(i));
        (void)Root;
    }
    TComponent* GetChildOwner() override { return this; }
    TComponent* Ref() const { return FRef; }
    void SetRef(TComponent* V) {
        if (FRef) FRef->RemoveFreeNotification(this);
        FRef = V;
        if (FRef) FRef->FreeNotification(this);
    }
    void Notification(TComponent* C, TOperation Op) override {
        TComponent::Notification(C, Op);
        if (Op == opRemove && C == FRef) FRef = nullptr;
    }
    void DefineProperties(TFiler* Filer) override {
        Filer->DefineBinaryProperty(
            "Blob", TStreamProc([this](TStream* S) { FBlob.resize(static_cast<size_t>(S->Size())); S->ReadBuffer(FBlob.data(), S->Size()); }),
            TStreamProc([this](TStream* S) { S->WriteBuffer(FBlob.data(), static_cast<int64_t>(FBlob.size())); }),
            !FBlob.empty());
    }
    TCollection* Items() const { return FItems.get(); }
    void SetItems(TCollection* V) { FItems->Assign(V); }
    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* V) { FLines->Assign(V); }
    void Clicked(TObject*) {}

    int FInt = 0;
    int64_t FBig = 0;
    bool FFlag = false;
    TFuzzKind FKind = fkOne;
    TFuzzKinds FKinds;
    double FReal = 0;
    std::string FText;
    TNotifyEvent FOnClick;
    std::string FBlob;

private:
    TComponent* FRef = nullptr;
    std::unique_ptr<TCollection> FItems = std::make_unique<TCollection>(TFuzzItem::StaticClass());
    std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
    HOST_PUBLISHED(prop("Int", &TFuzzNode::FInt, &TFuzzNode::FInt).def(0),
                   prop("Big", &TFuzzNode::FBig, &TFuzzNode::FBig).def(0),
                   prop("Flag", &TFuzzNode::FFlag, &TFuzzNode::FFlag).def(false),
                   prop("Kind", &TFuzzNode::FKind, &TFuzzNode::FKind).def(fkOne),
                   prop("Kinds", &TFuzzNode::FKinds, &TFuzzNode::FKinds).def({}),
                   prop("Real", &TFuzzNode::FReal, &TFuzzNode::FReal),
                   prop("Text", &TFuzzNode::FText, &TFuzzNode::FText),
                   prop("Ref", &TFuzzNode::Ref, &TFuzzNode::SetRef),
                   prop("Items", &TFuzzNode::Items, &TFuzzNode::SetItems),
                   prop("Lines", &TFuzzNode::Lines, &TFuzzNode::SetLines),
                   prop("OnClick", &TFuzzNode::FOnClick, &TFuzzNode::FOnClick),
                   method("Clicked", &TFuzzNode::Clicked))
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool registered = [] {
        RegisterClasses({TFuzzNode::StaticClass(), TComponent::StaticClass()});
        return true;
    }();
    (void)registered;
    TMemoryStream in;
    in.WriteBuffer(data, static_cast<int64_t>(size));
    in.SetPosition(0);
    try {
        std::unique_ptr<TComponent> root(in.ReadComponent(nullptr));
        // What was read must write again and read back to the same bytes.
        TMemoryStream out;
        out.WriteComponent(root.get());
        out.SetPosition(0);
        std::unique_ptr<TComponent> again(out.ReadComponent(nullptr));
        TMemoryStream out2;
        out2.WriteComponent(again.get());
        if (out2.Size() != out.Size() ||
            std::string(static_cast<const char*>(out.Memory()), static_cast<size_t>(out.Size())) !=
                std::string(static_cast<const char*>(out2.Memory()), static_cast<size_t>(out2.Size())))
            __builtin_trap();
    } catch (const EFilerError&) {
    } catch (const EComponentError&) {
    }
    return 0;
}

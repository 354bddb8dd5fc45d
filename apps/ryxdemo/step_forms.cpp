// Tour step "forms": a component tree written as a binary form file and as text,
// read back, and its published properties listed.
#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "host/rtl/collection.h"
#include "host/rtl/component.h"
#include "host/rtl/filer.h"
#include "host/rtl/formtext.h"
#include "host/rtl/lists.h"
#include "host/rtl/streams.h"
#include "tour.h"

namespace {

using namespace host;

HOST_ENUM(TDemoAlign, daNone, daTop, daBottom, daClient);

class TDemoColumn : public TCollectionItem {
    HOST_CLASS(TDemoColumn, TCollectionItem)
public:
    explicit TDemoColumn(TCollection* C) : TCollectionItem(C) {}
    std::string FTitle;
    int FWidth = 64;
    void Assign(TPersistent* Source) override {
        if (Source && Source->Is<TDemoColumn>()) {
            FTitle = static_cast<TDemoColumn*>(Source)->FTitle;
            FWidth = static_cast<TDemoColumn*>(Source)->FWidth;
            return;
        }
        TCollectionItem::Assign(Source);
    }
    HOST_PUBLISHED(prop("Title", &TDemoColumn::FTitle, &TDemoColumn::FTitle),
                   prop("Width", &TDemoColumn::FWidth, &TDemoColumn::FWidth).def(64))
};

// A stand-in for a grid on a form: a source reference, columns and a list of strings.
class TDemoGrid : public TComponent {
    HOST_CLASS(TDemoGrid, TComponent)
public:
    explicit TDemoGrid(TComponent* AOwner) : TComponent(AOwner) {}
    TDemoAlign FAlign = daNone;
    TComponent* FSource = nullptr;
    TCollection* Columns() const { return FColumns.get(); }
    void SetColumns(TCollection* V) { FColumns->Assign(V); }
    TStrings* Notes() const { return FNotes.get(); }
    void SetNotes(TStrings* V) { FNotes->Assign(V); }
    TComponent* Source() const { return FSource; }
    void SetSource(TComponent* V) {
        if (FSource) FSource->RemoveFreeNotification(this);
        FSource = V;
        if (FSource) FSource->FreeNotification(this);
    }
    void Notification(TComponent* C, TOperation Op) override {
        TComponent::Notification(C, Op);
        if (Op == opRemove && C == FSource) FSource = nullptr;
    }

private:
    std::unique_ptr<TCollection> FColumns = std::make_unique<TCollection>(TDemoColumn::StaticClass());
    std::unique_ptr<TStringList> FNotes = std::make_unique<TStringList>();
    HOST_PUBLISHED(prop("Align", &TDemoGrid::FAlign, &TDemoGrid::FAlign).def(daNone),
                   prop("Source", &TDemoGrid::Source, &TDemoGrid::SetSource),
                   prop("Columns", &TDemoGrid::Columns, &TDemoGrid::SetColumns),
                   prop("Notes", &TDemoGrid::Notes, &TDemoGrid::SetNotes))
};

class TDemoModule : public TComponent {
    HOST_CLASS(TDemoModule, TComponent)
public:
    explicit TDemoModule(TComponent* AOwner) : TComponent(AOwner) {}
    void GetChildren(const TGetChildProc& Proc, TComponent*) override {
        for (int i = 0; i < ComponentCount(); ++i) Proc(Components(i));
    }
};

void RunForms(ryxdemo::TTourContext& ctx) {
    RegisterClasses({TDemoModule::StaticClass(), TDemoGrid::StaticClass()});
    TDemoModule module(nullptr);
    module.SetName("CustomersModule");
    auto* source = new TComponent(&module);
    source->SetName("CustomerSource");
    auto* grid = new TDemoGrid(&module);
    grid->SetName("CustomerGrid");
    grid->FAlign = daClient;
    grid->SetSource(source);
    const char* titles[] = {"Number", "Company", "City"};
    for (const char* t : titles) static_cast<TDemoColumn*>(grid->Columns()->Add())->FTitle = t;
    grid->Notes()->Add("Customers by company");
    grid->Notes()->Add("Double-click a row to edit it");

    TMemoryStream binary;
    binary.WriteComponent(&module);
    binary.SaveToFile(ctx.OutputFile("forms/customers.dfm").string());
    binary.SetPosition(0);
    TStringStream text("");
    ObjectBinaryToText(&binary, &text);
    {
        std::ofstream out(ctx.OutputFile("forms/customers.txt"));
        out << text.DataString();
    }
    // Read the text form back and check that it writes the same bytes.
    RegisterClass(TComponent::StaticClass());
    text.SetPosition(0);
    TMemoryStream again;
    ObjectTextToBinary(&text, &again);
    again.SetPosition(0);
    std::unique_ptr<TComponent> copy(again.ReadComponent(nullptr));
    TMemoryStream rewritten;
    rewritten.WriteComponent(copy.get());
    bool same = rewritten.Size() == binary.Size() &&
                std::memcmp(rewritten.Memory(), binary.Memory(), static_cast<size_t>(binary.Size())) == 0;
    if (!same) throw std::runtime_error("the form read back does not write the same bytes");

    std::ofstream props(ctx.OutputFile("forms/published.txt"));
    for (TClass cls : {TDemoGrid::StaticClass(), TDemoColumn::StaticClass()}) {
        props << cls->Name << " (" << cls->Parent->Name << ")\n";
        for (const TPropInfo* p : GetPropList(cls))
            props << "  " << p->Name << ": " << p->PropType->Name << "\n";
    }
    ctx.Log("form file of " + std::to_string(module.ComponentCount()) + " components, " +
            std::to_string(binary.Size()) + " bytes, read back identical");
}

const ryxdemo::TTourStepRegistration reg(10, "forms", "a component tree as a binary form file and as text, read back",
                                         &RunForms);

}  // namespace

// Form files: writing and reading forms of 10,000 and 100,000 components, against
// plain stream calls that move the same fields, and the growth from one to the other.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench.h"
#include "host/rtl/component.h"
#include "host/rtl/filer.h"
#include "host/rtl/streams.h"

namespace {

using namespace host;

HOST_ENUM(TBenchKind, bkPlain, bkBold, bkFramed);

class TBenchItem : public TComponent {
    HOST_CLASS(TBenchItem, TComponent)
public:
    explicit TBenchItem(TComponent* AOwner) : TComponent(AOwner) {}
    int FLeft = 0, FTop = 0;
    bool FVisible = true;
    TBenchKind FKind = bkPlain;
    std::string FCaption;
    HOST_PUBLISHED(prop("Left", &TBenchItem::FLeft, &TBenchItem::FLeft).def(0),
                   prop("Top", &TBenchItem::FTop, &TBenchItem::FTop).def(0),
                   prop("Visible", &TBenchItem::FVisible, &TBenchItem::FVisible).def(true),
                   prop("Kind", &TBenchItem::FKind, &TBenchItem::FKind).def(bkPlain),
                   prop("Caption", &TBenchItem::FCaption, &TBenchItem::FCaption))
};

class TBenchRoot : public TComponent {
    HOST_CLASS(TBenchRoot, TComponent)
public:
    explicit TBenchRoot(TComponent* AOwner) : TComponent(AOwner) {}
    void GetChildren(const TGetChildProc& Proc, TComponent*) override {
        for (int i = 0; i < ComponentCount(); ++i) Proc(Components(i));
    }
};

std::unique_ptr<TBenchRoot> MakeForm(int n) {
    RegisterClasses({TBenchRoot::StaticClass(), TBenchItem::StaticClass()});
    auto root = std::make_unique<TBenchRoot>(nullptr);
    root->SetName("BenchForm");
    for (int i = 0; i < n; ++i) {
        auto* item = new TBenchItem(root.get());
        item->SetName("Item" + std::to_string(i));
        item->FLeft = i % 1000;
        item->FTop = i / 1000;
        item->FVisible = (i % 7) != 0;
        item->FKind = static_cast<TBenchKind>(i % 3);
        item->FCaption = "Caption " + std::to_string(i);
    }
    return root;
}

// Writes the form to memory and reads it back into a new tree.
void RoundTrip(TBenchRoot* form) {
    TMemoryStream s;
    s.WriteComponent(form);
    s.SetPosition(0);
    std::unique_ptr<TComponent> copy(s.ReadComponent(nullptr));
    bench::DoNotOptimize(copy.get());
}

// The same fields moved with plain stream calls into plain records.
struct TPlain {
    std::string Name, Caption;
    int Left, Top;
    bool Visible;
    uint8_t Kind;
};
void PlainRoundTrip(TBenchRoot* form) {
    TMemoryStream s;
    auto writeStr = [&s](const std::string& v) {
        uint32_t n = static_cast<uint32_t>(v.size());
        s.WriteBuffer(&n, 4);
        s.WriteBuffer(v.data(), n);
    };
    int count = form->ComponentCount();
    s.WriteBuffer(&count, 4);
    for (int i = 0; i < count; ++i) {
        auto* item = static_cast<TBenchItem*>(form->Components(i));
        writeStr(item->ClassName());
        writeStr(item->Name());
        s.WriteBuffer(&item->FLeft, 4);
        s.WriteBuffer(&item->FTop, 4);
        s.WriteBuffer(&item->FVisible, 1);
        uint8_t kind = static_cast<uint8_t>(item->FKind);
        s.WriteBuffer(&kind, 1);
        writeStr(item->FCaption);
    }
    s.SetPosition(0);
    auto readStr = [&s](std::string& v) {
        uint32_t n;
        s.ReadBuffer(&n, 4);
        v.resize(n);
        s.ReadBuffer(v.data(), n);
    };
    s.ReadBuffer(&count, 4);
    std::vector<std::unique_ptr<TPlain>> out;
    std::string cls;
    for (int i = 0; i < count; ++i) {
        auto p = std::make_unique<TPlain>();
        readStr(cls);
        readStr(p->Name);
        s.ReadBuffer(&p->Left, 4);
        s.ReadBuffer(&p->Top, 4);
        s.ReadBuffer(&p->Visible, 1);
        s.ReadBuffer(&p->Kind, 1);
        readStr(p->Caption);
        out.push_back(std::move(p));
    }
    bench::DoNotOptimize(out.data());
}

}  // namespace

RYX_BENCH("rtl.form_roundtrip_10k", c) {
    auto form = MakeForm(10000);
    c.Compare([&] { RoundTrip(form.get()); }, [&] { PlainRoundTrip(form.get()); });
}

RYX_BENCH("rtl.form_roundtrip_100k", c) {
    auto small = MakeForm(10000);
    auto big = MakeForm(100000);
    c.Compare([&] { RoundTrip(big.get()); }, [&] { PlainRoundTrip(big.get()); });
    // Linear cost: the 100,000-component form takes at most 11 times the 10,000 one.
    c.Ratio("growth", c.Measure([&] { RoundTrip(big.get()); }), c.Measure([&] { RoundTrip(small.get()); }));
}

// Form files: writing, reading, text conversion, fix-up, Loaded order and corrupt input.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "host/rtl/exceptions.h"
#include "host/rtl/formtext.h"
#include "host/rtl/resources.h"
#include "test_components.h"

using namespace host;
using namespace rtltest;

namespace {

std::string Bytes(TMemoryStream& s) { return std::string(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size())); }

std::string WriteToString(TComponent* root) {
    TMemoryStream s;
    s.WriteComponent(root);
    return Bytes(s);
}

std::unique_ptr<TComponent> ReadFromString(const std::string& bytes, TComponent* into = nullptr) {
    TMemoryStream s;
    s.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    s.SetPosition(0);
    TComponent* c = s.ReadComponent(into);
    if (into) return nullptr;
    return std::unique_ptr<TComponent>(c);
}

// Roots that other roots can refer to by name while they live.
struct TGlobalRoots {
    std::vector<TComponent*> roots;
    int cookie;
    TGlobalRoots() {
        cookie = RegisterFindGlobalComponentProc([this](const std::string& name) -> TComponent* {
            for (TComponent* r : roots)
                if (r->Name() == name) return r;
            return nullptr;
        });
    }
    ~TGlobalRoots() { UnregisterFindGlobalComponentProc(cookie); }
};

// Root "Form1" with a panel holding two widgets, a free widget, and values of every kind.
std::unique_ptr<TTestRoot> MakeSample() {
    RegisterTestClasses();
    auto root = std::make_unique<TTestRoot>(nullptr);
    root->SetName("Form1");
    auto* panel = new TTestWidget(root.get());
    panel->SetName("Panel1");
    panel->SetLeft(8);
    panel->FCaption = "Panel 'one'";
    panel->Font()->FName = "Arial";
    panel->Font()->FStyle = {toBold, toUnderline};
    auto* edit = new TTestWidget(root.get());
    edit->SetName("Edit1");
    edit->SetParentWidget(panel);
    edit->SetLeft(-300);
    edit->FVisible = false;
    edit->FShape = tsSquare;
    edit->FRatio = 0.1;
    edit->FBig = int64_t(1) << 40;
    edit->FPrice = Currency::FromScaled(123456);
    edit->FWhen = 46000.5;
    edit->FOnClick = TNotifyEvent(root.get(), &TTestRoot::ThingClick);
    edit->FData = std::string("\x01\x02\x00\xFF\x05", 5);
    edit->FFlag = true;
    edit->Lines()->Add("first line");
    edit->Lines()->Add("");
    edit->Lines()->Add(std::string(300, 'x'));
    auto* item = static_cast<TTestItem*>(edit->Items()->Add());
    item->FTitle = "Col A";
    static_cast<TTestItem*>(edit->Items()->Add())->FWidth = 100000;
    auto* label = new TTestWidget(root.get());
    label->SetName("Label1");
    label->SetParentWidget(panel);
    label->FAutoCaption = true;
    label->FCaption = "not stored";
    auto* free = new TTestWidget(root.get());
    free->SetName("Free1");
    // A reference to a component written later in the file, and one backwards.
    panel->SetBuddy(free);
    free->SetBuddy(edit);
    return root;
}

}  // namespace

TEST(FormFiles, RoundTripThroughTextIsByteIdentical) {
    auto root = MakeSample();
    std::string binary = WriteToString(root.get());
    ASSERT_EQ(binary.compare(0, 4, "TPF0"), 0);
    std::string text = ObjectBinaryToTextString(binary);
    EXPECT_NE(text.find("object Form1: TTestRoot"), std::string::npos) << text;
    EXPECT_NE(text.find("object Edit1: TTestWidget"), std::string::npos) << text;
    EXPECT_NE(text.find("Font.Name = 'Arial'"), std::string::npos) << text;
    EXPECT_NE(text.find("OnClick = ThingClick"), std::string::npos) << text;
    EXPECT_NE(text.find("Buddy = Free1"), std::string::npos) << text;
    EXPECT_NE(text.find("Options = []"), std::string::npos) << text;
    EXPECT_EQ(text.find("not stored"), std::string::npos) << text;
    EXPECT_EQ(ObjectTextToBinaryString(text), binary);

    Log().clear();
    auto copy = ReadFromString(binary);
    ASSERT_EQ(copy->ClassType(), TTestRoot::StaticClass());
    // The copy writes the same bytes: every value came back.
    EXPECT_EQ(WriteToString(copy.get()), binary);
    auto* edit = static_cast<TTestWidget*>(copy->FindComponent("Edit1"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->ParentWidget(), copy->FindComponent("Panel1"));
    EXPECT_EQ(edit->Left(), -300);
    EXPECT_FALSE(edit->FVisible);
    EXPECT_EQ(edit->FShape, tsSquare);
    EXPECT_EQ(edit->FRatio, 0.1);
    EXPECT_EQ(edit->FBig, int64_t(1) << 40);
    EXPECT_EQ(edit->FPrice.Value, 123456);
    EXPECT_EQ(edit->FWhen, 46000.5);
    EXPECT_EQ(edit->FData, std::string("\x01\x02\x00\xFF\x05", 5));
    EXPECT_TRUE(edit->FFlag);
    ASSERT_EQ(edit->Lines()->Count(), 3);
    EXPECT_EQ(edit->Lines()->Strings(2), std::string(300, 'x'));
    ASSERT_EQ(edit->Items()->Count(), 2);
    EXPECT_EQ(static_cast<TTestItem*>(edit->Items()->Items(0))->FTitle, "Col A");
    EXPECT_EQ(static_cast<TTestItem*>(edit->Items()->Items(1))->FWidth, 100000);
    auto* panel = static_cast<TTestWidget*>(copy->FindComponent("Panel1"));
    EXPECT_EQ(panel->Font()->FName, "Arial");
    EXPECT_TRUE(panel->Font()->FStyle.Contains(toUnderline));
    EXPECT_EQ(panel->FCaption, "Panel 'one'");
    EXPECT_EQ(panel->Buddy(), copy->FindComponent("Free1"));
    EXPECT_EQ(static_cast<TTestWidget*>(copy->FindComponent("Free1"))->Buddy(), edit);
    EXPECT_EQ(static_cast<TTestWidget*>(copy->FindComponent("Label1"))->FCaption, "");
    // The event is bound to the new root's method.
    edit->FOnClick(edit);
    EXPECT_EQ(static_cast<TTestRoot*>(copy.get())->Clicks, 1);
    // Loaded once each, root first, then in reading order, after the fix-up.
    EXPECT_EQ(Log(), (std::vector<std::string>{"Loaded Form1", "Loaded Panel1", "Loaded Edit1", "Loaded Label1",
                                               "Loaded Free1"}));
    EXPECT_FALSE(edit->ComponentState().Contains(csLoading));
}

TEST(FormFiles, BinaryPropertyAndStringLayout) {
    RegisterTestClasses();
    TTestRoot root(nullptr);
    root.SetName("R");
    auto* w = new TTestWidget(&root);
    w->SetName("W");
    w->FData = "ABCDE";
    std::string bin = WriteToString(&root);
    // "Data" then vaBinary, a 4-byte size and the bytes.
    std::string expect = std::string("\x04" "Data", 5) + char(vaBinary) + std::string("\x05\x00\x00\x00", 4) + "ABCDE";
    EXPECT_NE(bin.find(expect), std::string::npos);

    // Strings: vaString with a 1-byte length up to 255 bytes, vaLString beyond.
    for (size_t len : {255u, 300u}) {
        TMemoryStream s;
        {
            TWriter writer(&s, 1024);
            writer.WriteString(std::string(len, 'q'));
        }  // the writer flushes when freed
        std::string b = Bytes(s);
        if (len <= 255) {
            ASSERT_EQ(b.size(), len + 2);
            EXPECT_EQ(uint8_t(b[0]), vaString);
            EXPECT_EQ(uint8_t(b[1]), len);
        } else {
            ASSERT_EQ(b.size(), len + 5);
            EXPECT_EQ(uint8_t(b[0]), vaLString);
            uint32_t n;
            std::memcpy(&n, b.data() + 1, 4);
            EXPECT_EQ(n, len);
        }
    }
}

TEST(FormFiles, ReaderLeavesStreamJustAfterItsValue) {
    TMemoryStream s;
    {
        TWriter writer(&s, 1024);
        writer.WriteString("first");
        writer.WriteInteger(70000);
    }
    s.WriteBuffer("tail", 4);
    s.SetPosition(0);
    {
        TReader reader(&s, 1024);
        EXPECT_EQ(reader.ReadString(), "first");
    }
    EXPECT_EQ(s.Position(), 7);
    {
        TReader reader(&s, 1024);
        EXPECT_EQ(reader.ReadInteger(), 70000);
    }
    char tail[4];
    s.ReadBuffer(tail, 4);
    EXPECT_EQ(std::string(tail, 4), "tail");
}

TEST(FormFiles, UnresolvedReferenceFreesEverything) {
    auto root = MakeSample();
    std::string text = ObjectBinaryToTextString(WriteToString(root.get()));
    size_t at = text.find("Buddy = Free1");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 13, "Buddy = Nowhere1");
    std::string bad = ObjectTextToBinaryString(text);
    try {
        ReadFromString(bad);
        FAIL() << "an unresolved reference must raise";
    } catch (const EReadError& e) {
        EXPECT_NE(e.Message().find("Nowhere1"), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find("offset"), std::string::npos) << e.Message();
    }
    // Reading into an existing root frees what the failed read created.
    TTestRoot target(nullptr);
    auto* keep = new TTestWidget(&target);
    keep->SetName("Keep");
    EXPECT_THROW(ReadFromString(bad, &target), EReadError);
    EXPECT_EQ(target.ComponentCount(), 1);
    EXPECT_EQ(target.Components(0), keep);
}

TEST(FormFiles, ReferencesAcrossRootsWaitForTheOtherRoot) {
    RegisterTestClasses();
    TGlobalRoots globals;
    std::string formA, formB;
    {
        TTestRoot a(nullptr), b(nullptr);
        a.SetName("FormA");
        b.SetName("FormB");
        auto* user = new TTestWidget(&a);
        user->SetName("User");
        auto* target = new TTestWidget(&b);
        target->SetName("Target");
        user->SetBuddy(target);
        formA = WriteToString(&a);
        formB = WriteToString(&b);
        delete user;
    }
    EXPECT_NE(ObjectBinaryToTextString(formA).find("Buddy = FormB.Target"), std::string::npos);

    auto a = ReadFromString(formA);
    globals.roots.push_back(a.get());
    auto* user = static_cast<TTestWidget*>(a->FindComponent("User"));
    EXPECT_EQ(user->Buddy(), nullptr);
    EXPECT_EQ(GetFixupReferenceNames(a.get()), std::vector<std::string>{"FormB"});
    auto b = ReadFromString(formB);
    globals.roots.push_back(b.get());
    GlobalFixupReferences();
    EXPECT_EQ(user->Buddy(), b->FindComponent("Target"));
    EXPECT_TRUE(GetFixupReferenceNames(a.get()).empty());
    // The reference is live: freeing the target clears it.
    delete b->FindComponent("Target");
    EXPECT_EQ(user->Buddy(), nullptr);
    globals.roots.clear();

    // A root freed while it waits leaves nothing behind that a later load could reach.
    auto a2 = ReadFromString(formA);
    a2.reset();
    auto b2 = ReadFromString(formB);
    globals.roots.push_back(b2.get());
    GlobalFixupReferences();
    globals.roots.clear();
}

TEST(FormFiles, ComponentResourceStreams) {
    auto root = MakeSample();
    TMemoryStream s;
    s.WriteComponentRes("TTestRoot", root.get());
    s.SetPosition(0);
    uint8_t head[3];
    s.ReadBuffer(head, 3);
    EXPECT_EQ(head[0], 0xFF);
    EXPECT_EQ(head[1], 10);
    s.SetPosition(0);
    std::unique_ptr<TComponent> copy(s.ReadComponentRes(nullptr));
    EXPECT_EQ(WriteToString(copy.get()), WriteToString(root.get()));
    EXPECT_EQ(s.Position(), s.Size());
}

TEST(FormFiles, AncestorLeavesOutInheritedValues) {
    auto ancestor = MakeSample();
    auto derived = MakeSample();
    static_cast<TTestWidget*>(derived->FindComponent("Edit1"))->SetLeft(77);
    TMemoryStream s;
    {
        TWriter writer(&s, 1024);
        writer.WriteDescendent(derived.get(), ancestor.get());
    }
    std::string text = ObjectBinaryToTextString(Bytes(s));
    EXPECT_NE(text.find("inherited Edit1: TTestWidget"), std::string::npos) << text;
    EXPECT_NE(text.find("Left = 77"), std::string::npos) << text;
    EXPECT_EQ(text.find("Font.Name"), std::string::npos) << text;
    EXPECT_EQ(text.find("Data = {"), std::string::npos) << text;
}

// Corrupt input: every truncation of a valid file, and specific broken values, raise
// a filer error naming the problem, and leak nothing (checked by the sanitizer build).
TEST(FormFiles, TruncatedAtEveryByteRaises) {
    auto root = MakeSample();
    std::string binary = WriteToString(root.get());
    for (size_t len = 0; len < binary.size(); ++len) {
        try {
            ReadFromString(binary.substr(0, len));
            ADD_FAILURE() << "a file cut at " << len << " bytes was accepted";
        } catch (const EFilerError&) {
        }
    }
}

TEST(FormFiles, CorruptValuesRaiseWithPosition) {
    RegisterTestClasses();
    auto expectError = [](const std::string& bytes, const std::string& needle) {
        try {
            ReadFromString(bytes);
            ADD_FAILURE() << "accepted: " << needle;
        } catch (const EFilerError& e) {
            EXPECT_NE(e.Message().find(needle), std::string::npos) << e.Message();
        }
    };
    auto header = [](const std::string& cls, const std::string& name) {
        return std::string("TPF0") + char(cls.size()) + cls + char(name.size()) + name;
    };
    expectError("TPX0" + header("TTestRoot", "R").substr(4) + std::string(2, '\0'), "signature");
    expectError(header("TNoSuchRoot", "R") + std::string(2, '\0'), "TNoSuchRoot");
    // An unknown value type.
    expectError(header("TTestRoot", "R") + "\x03Tag" + char(42) + std::string(2, '\0'), "value type 42");
    // A string length larger than what remains.
    expectError(header("TTestRoot", "R") + "\x04Name" + char(vaLString) + std::string("\xFF\xFF\xFF\x7F", 4) + "ab",
                "length");
    // An unknown property.
    expectError(header("TTestRoot", "R") + "\x05" "Bogus" + char(vaInt8) + char(1) + std::string(2, '\0'),
                "Property Bogus does not exist");
    // A property value of the wrong kind.
    expectError(header("TTestRoot", "R") + "\x03Tag" + char(vaString) + "\x01x" + std::string(2, '\0'), "integer");
    // An unknown child class.
    expectError(header("TTestRoot", "R") + std::string(1, '\0') + "\x06TGhost\x02G1" + std::string(4, '\0'), "TGhost");
    // Nesting far too deep.
    std::string deep = header("TTestRoot", "R") + std::string(1, '\0');
    for (int i = 0; i < 5000; ++i) deep += std::string("\x0BTTestWidget\x00", 13) + std::string(1, '\0');
    expectError(deep, "nested too deeply");
    // A duplicate component name.
    std::string dup = header("TTestRoot", "R") + std::string(1, '\0');
    for (int i = 0; i < 2; ++i) dup += std::string("\x0BTTestWidget\x01W", 14) + std::string(2, '\0');
    expectError(dup + std::string(1, '\0'), "already exists");
}

TEST(FormFiles, LargeFormsReadAndWrite) {
    RegisterTestClasses();
    TTestRoot root(nullptr);
    root.SetName("Big");
    for (int i = 0; i < 5000; ++i) {
        auto* w = new TTestWidget(&root);
        w->SetName("W" + std::to_string(i));
        w->SetLeft(i);
    }
    std::string bin = WriteToString(&root);
    auto copy = ReadFromString(bin);
    EXPECT_EQ(copy->ComponentCount(), 5000);
    EXPECT_EQ(static_cast<TTestWidget*>(copy->FindComponent("W4999"))->Left(), 4999);
}

namespace {
// A resource module holding form files in their text form, as an application's own
// resources would.
class TFormModule : public TResourceModule {
public:
    std::map<std::string, std::string> Forms;  // upper-case name -> text
    bool Find(const std::string& Type, const std::string& Name, TResourceBlob& Out) const override {
        if (Type != "RCDATA") return false;
        auto it = Forms.find(Name);
        if (it == Forms.end()) return false;
        Out.Data = reinterpret_cast<const unsigned char*>(it->second.data());
        Out.Size = it->second.size();
        return true;
    }
};

class TInheritedRoot : public TTestRoot {
    HOST_CLASS(TInheritedRoot, TTestRoot)
public:
    explicit TInheritedRoot(TComponent* AOwner) : TTestRoot(AOwner) {}
};
}  // namespace

TEST(FormFiles, InheritedFormsLoadFromResources) {
    RegisterTestClasses();
    auto module = std::make_unique<TFormModule>();
    module->Forms["TTESTROOT"] =
        "object Base: TTestRoot\n"
        "  object Panel1: TTestWidget\n"
        "    Left = 10\n"
        "    Caption = 'from the ancestor'\n"
        "  end\n"
        "end\n";
    module->Forms["TINHERITEDROOT"] =
        "inherited Derived: TInheritedRoot\n"
        "  inherited Panel1: TTestWidget\n"
        "    Left = 20\n"
        "  end\n"
        "  object Extra: TTestWidget\n"
        "    Buddy = Panel1\n"
        "  end\n"
        "end\n";
    HMODULE h = RegisterResourceModule(std::move(module));
    TInheritedRoot form(nullptr);
    EXPECT_TRUE(InitInheritedComponent(&form, TComponent::StaticClass(), h));
    ASSERT_EQ(form.ComponentCount(), 2);
    auto* panel = static_cast<TTestWidget*>(form.FindComponent("Panel1"));
    EXPECT_EQ(panel->Left(), 20);
    EXPECT_EQ(panel->FCaption, "from the ancestor");
    EXPECT_EQ(static_cast<TTestWidget*>(form.FindComponent("Extra"))->Buddy(), panel);
    EXPECT_EQ(form.Name(), "Derived");
    EXPECT_FALSE(ReadComponentResource(&form, "TNOFORM", h));
    UnregisterResourceModule(h);
}

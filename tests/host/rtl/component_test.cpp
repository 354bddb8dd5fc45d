// Class objects, the registry, virtual construction, ownership, names, notices and RTTI.
#include <gtest/gtest.h>

#include "host/rtl/exceptions.h"
#include "test_components.h"

using namespace host;
using namespace rtltest;

namespace {

// A second family with its own constructor arguments, as an adapter built on a dataset.
class TSubject : public TObject {
    HOST_CLASS(TSubject, TObject)
public:
    int Value = 7;
};
class TAdapter : public TObject {
    HOST_CLASS(TAdapter, TObject)
public:
    using HostCreateArgs = std::tuple<TSubject*>;
    explicit TAdapter(TSubject* S) : Subject(S) {}
    TSubject* Subject;
};
class TAbstractAdapter : public TAdapter {
    HOST_CLASS(TAbstractAdapter, TAdapter)
public:
    using TAdapter::TAdapter;
    virtual int Kind() = 0;
};
class TBetterAdapter : public TAdapter {
    HOST_CLASS(TBetterAdapter, TAdapter)
public:
    explicit TBetterAdapter(TSubject* S) : TAdapter(S) { Subject->Value = 42; }
};

namespace other {
// A class with the same name as one above, in another namespace.
class TSubject : public host::TObject {
    HOST_CLASS(TSubject, host::TObject)
};
}  // namespace other

}  // namespace

TEST(ClassObjects, IdentityInheritanceAndNames) {
    TClass c = TBetterAdapter::StaticClass();
    EXPECT_STREQ(c->ClassName(), "TBetterAdapter");
    EXPECT_EQ(c->ClassParent(), TAdapter::StaticClass());
    EXPECT_TRUE(c->InheritsFrom(c));
    EXPECT_TRUE(c->InheritsFrom(TObject::StaticClass()));
    EXPECT_FALSE(TAdapter::StaticClass()->InheritsFrom(c));
    // Two classes may share a name: identity is the class object, not the name.
    EXPECT_NE(TSubject::StaticClass(), other::TSubject::StaticClass());
    EXPECT_TRUE(TSubject::StaticClass()->ClassNameIs("tsubject"));
    TSubject s;
    TBetterAdapter a(&s);
    TObject* o = &a;
    EXPECT_EQ(o->ClassType(), c);
    EXPECT_EQ(o->ClassName(), "TBetterAdapter");
    EXPECT_TRUE(o->Is<TAdapter>());
    EXPECT_FALSE(o->Is<TSubject>());
    EXPECT_EQ(As<TAdapter>(o), &a);
    EXPECT_THROW(As<TSubject>(o), EInvalidCast);
}

TEST(ClassObjects, VirtualConstructionByFamily) {
    TSubject s;
    // Constructing through the class reference runs the most derived constructor.
    TClass cls = TBetterAdapter::StaticClass();
    std::unique_ptr<TAdapter> a(cls->Create<TAdapter>(&s));
    EXPECT_EQ(a->ClassType(), cls);
    EXPECT_EQ(s.Value, 42);
    // Wrong arguments for the family, and abstract classes, refuse clearly.
    EXPECT_THROW(cls->Create<TAdapter>(), EInvalidOperation);
    EXPECT_THROW(TAbstractAdapter::StaticClass()->Create<TAdapter>(&s), EInvalidOperation);
    // Components construct with their owner.
    TTestRoot root(nullptr);
    TComponent* w = TTestWidget::StaticClass()->Create<TComponent>(static_cast<TComponent*>(&root));
    EXPECT_EQ(w->Owner(), &root);
    EXPECT_EQ(root.ComponentCount(), 1);
    // Asking for a result class the object is not raises and frees the object.
    EXPECT_THROW(TTestRoot::StaticClass()->Create<TTestWidget>(static_cast<TComponent*>(&root)), EInvalidCast);
    EXPECT_EQ(root.ComponentCount(), 1);
}

TEST(ClassRegistry, RegisterFindAndUnregister) {
    RegisterClass(TTestWidget::StaticClass());
    EXPECT_EQ(FindClass("ttestwidget"), TTestWidget::StaticClass());
    // Ancestors are registered with it.
    EXPECT_EQ(GetClass("TComponent"), TComponent::StaticClass());
    RegisterClass(TTestWidget::StaticClass());  // again: nothing happens
    EXPECT_THROW(FindClass("TNoSuchClass"), EClassNotFound);
    try {
        FindClass("TNoSuchClass");
    } catch (const EClassNotFound& e) {
        EXPECT_EQ(e.Message(), "Class TNoSuchClass not found");
        EXPECT_TRUE(e.InheritsFrom("EFilerError"));
    }
    RegisterClass(TSubject::StaticClass());
    EXPECT_THROW(RegisterClass(other::TSubject::StaticClass()), EFilerError);
    UnRegisterClass(other::TSubject::StaticClass());  // not the registered one: no effect
    EXPECT_EQ(GetClass("TSubject"), TSubject::StaticClass());
    UnRegisterClass(TSubject::StaticClass());
    EXPECT_EQ(GetClass("TSubject"), nullptr);
    RegisterClass(other::TSubject::StaticClass());
    EXPECT_EQ(GetClass("TSubject"), other::TSubject::StaticClass());
    UnRegisterClass(other::TSubject::StaticClass());
}

TEST(Components, OwnershipNamesAndIndex) {
    auto root = std::make_unique<TTestRoot>(nullptr);
    auto* a = new TTestWidget(root.get());
    auto* b = new TTestWidget(root.get());
    a->SetName("Alpha");
    b->SetName("Beta");
    EXPECT_EQ(root->FindComponent("ALPHA"), a);
    EXPECT_EQ(root->FindComponent("gamma"), nullptr);
    EXPECT_THROW(b->SetName("alpha"), EComponentError);
    try {
        b->SetName("alpha");
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), "A component named alpha already exists");
    }
    EXPECT_EQ(b->Name(), "Beta");
    EXPECT_THROW(b->SetName("9lives"), EComponentError);
    EXPECT_THROW(b->SetName("has space"), EComponentError);
    a->SetName("ALPHA");  // the same name in other case is a rename of itself
    EXPECT_EQ(a->Name(), "ALPHA");
    b->SetName("");  // unnamed components are allowed, and never found
    EXPECT_EQ(root->FindComponent(""), nullptr);

    EXPECT_EQ(a->ComponentIndex(), 0);
    b->SetComponentIndex(0);
    EXPECT_EQ(root->Components(0), b);
    EXPECT_THROW(root->Components(2), EListError);

    // Moving a component to another owner.
    TTestRoot other(nullptr);
    root->RemoveComponent(a);
    other.InsertComponent(a);
    EXPECT_EQ(a->Owner(), &other);
    EXPECT_EQ(root->FindComponent("ALPHA"), nullptr);
    EXPECT_EQ(other.FindComponent("alpha"), a);
    // A name that exists in the new owner is refused on insertion.
    auto* c = new TTestWidget(root.get());
    c->SetName("Alpha");
    root->RemoveComponent(c);
    EXPECT_THROW(other.InsertComponent(c), EComponentError);
    delete c;
}

TEST(Components, LargeOwnersFindByName) {
    TTestRoot root(nullptr);
    for (int i = 0; i < 200; ++i) (new TTestWidget(&root))->SetName("W" + std::to_string(i));
    EXPECT_EQ(root.FindComponent("w150")->Name(), "W150");
    root.FindComponent("W150")->SetName("Renamed");
    EXPECT_EQ(root.FindComponent("W150"), nullptr);
    EXPECT_EQ(root.FindComponent("renamed")->ComponentIndex(), 150);
    delete root.FindComponent("W10");
    EXPECT_EQ(root.FindComponent("W10"), nullptr);
    EXPECT_EQ(root.ComponentCount(), 199);
    EXPECT_THROW((new TTestWidget(&root))->SetName("W11"), EComponentError);
}

TEST(Components, RemovalNoticesClearReferences) {
    Log().clear();
    TTestRoot form1(nullptr), form2(nullptr);
    auto* user = new TTestWidget(&form1);
    user->SetName("User");
    auto* target = new TTestWidget(&form2);
    target->SetName("Target");
    user->SetBuddy(target);
    delete target;  // another owner: the free notice clears the reference
    EXPECT_EQ(user->Buddy(), nullptr);
    EXPECT_EQ(Log(), std::vector<std::string>{"User lost buddy"});

    // Siblings: destroying the owner destroys the target first (last created)
    // and the user must never reach it afterwards.
    Log().clear();
    {
        TTestRoot form(nullptr);
        auto* u = new TTestWidget(&form);
        u->SetName("U");
        auto* t = new TTestWidget(&form);
        t->SetName("T");
        u->SetBuddy(t);
        delete t;
        EXPECT_EQ(u->Buddy(), nullptr);
        auto* t2 = new TTestWidget(&form);
        u->SetBuddy(t2);
    }
    EXPECT_EQ(Log().size(), 2u);

    // A notice asked for and then withdrawn is not given.
    Log().clear();
    auto* t3 = new TTestWidget(&form2);
    t3->SetName("T3");
    user->SetBuddy(t3);
    user->SetBuddy(nullptr);
    delete t3;
    EXPECT_TRUE(Log().empty());
}

TEST(Components, DestroyingMarksTheWholeTree) {
    struct TProbe : public TComponent {
        using TComponent::TComponent;
        bool* seen = nullptr;
        ~TProbe() override {
            if (seen) *seen = ComponentState().Contains(csDestroying) && Owner() == nullptr;
        }
    };
    bool seen = false;
    {
        TTestRoot root(nullptr);
        auto* p = new TProbe(&root);
        p->seen = &seen;
    }
    EXPECT_TRUE(seen);
}

TEST(Rtti, PropertyTableDefaultsAndAccess) {
    TTestRoot root(nullptr);
    TTestWidget w(&root);
    const auto& props = GetPropList(TTestWidget::StaticClass());
    ASSERT_GE(props.size(), 3u);
    // Ancestors' properties come first.
    EXPECT_EQ(props[0]->Name, "Name");
    EXPECT_EQ(props[1]->Name, "Tag");
    EXPECT_EQ(props[2]->Name, "Left");
    EXPECT_EQ(PropType(&w, "shape"), tkEnumeration);
    EXPECT_EQ(PropType(&w, "Options"), tkSet);
    EXPECT_EQ(PropType(&w, "Buddy"), tkClass);
    EXPECT_EQ(PropType(&w, "OnClick"), tkMethod);
    EXPECT_EQ(PropType(&w, "Big"), tkInt64);

    SetOrdProp(&w, "Left", 12);
    EXPECT_EQ(w.Left(), 12);
    SetEnumProp(&w, "Shape", "tsTriangle");
    EXPECT_EQ(w.FShape, tsTriangle);
    EXPECT_EQ(GetEnumProp(&w, "Shape"), "tsTriangle");
    EXPECT_THROW(SetEnumProp(&w, "Shape", "tsHexagon"), EPropertyConvertError);
    EXPECT_THROW(SetOrdProp(&w, "Shape", 9), ERangeError);
    SetSetProp(&w, "Options", "[toItalic, toStrike]");
    EXPECT_TRUE(w.FOptions.Contains(toItalic) && w.FOptions.Contains(toStrike) && !w.FOptions.Contains(toBold));
    EXPECT_EQ(GetSetProp(&w, "Options", true), "[toItalic,toStrike]");
    EXPECT_THROW(SetSetProp(&w, "Options", "toNothing"), EPropertyConvertError);
    SetStrProp(&w, "Caption", "Hello");
    EXPECT_EQ(GetStrProp(&w, "CAPTION"), "Hello");
    SetFloatProp(&w, "Ratio", 2.5);
    EXPECT_EQ(w.FRatio, 2.5);
    SetFloatProp(&w, "Price", 1.23456);
    EXPECT_EQ(w.FPrice.Value, 12346);
    EXPECT_THROW(GetStrProp(&w, "Left"), EPropertyConvertError);
    EXPECT_THROW(GetOrdProp(&w, "NoSuchProp"), EPropertyError);

    TTestWidget buddy(&root);
    SetObjectProp(&w, "Buddy", &buddy);
    EXPECT_EQ(w.Buddy(), &buddy);
    EXPECT_EQ(GetObjectProp(&w, "Buddy", TTestWidget::StaticClass()), &buddy);
    EXPECT_EQ(GetObjectProp(&w, "Buddy", TTestRoot::StaticClass()), nullptr);
    EXPECT_THROW(SetObjectProp(&w, "Buddy", &root), EInvalidCast);
    SetObjectProp(&w, "Buddy", nullptr);

    // Defaults and stored predicates decide what a writer leaves out.
    const TPropInfo* left = GetPropInfo(&w, "Left");
    SetOrdProp(&w, "Left", 0);
    EXPECT_TRUE(left->IsDefault(&w));
    const TPropInfo* caption = GetPropInfo(&w, "Caption");
    EXPECT_TRUE(IsStoredProp(&w, caption));
    w.FAutoCaption = true;
    EXPECT_FALSE(IsStoredProp(&w, caption));
    EXPECT_FALSE(IsStoredProp(&w, GetPropInfo(&w, "Name")));
    const TPropInfo* options = GetPropInfo(&w, "Options");
    w.FOptions = {toBold};
    EXPECT_TRUE(options->IsDefault(&w));
}

TEST(Rtti, MethodsByNameAndEvents) {
    TTestRoot root(nullptr);
    TTestWidget w(&root);
    const TMethodCode* code = root.MethodAddress("thingclick");
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(root.MethodName(*code), "ThingClick");
    EXPECT_EQ(root.MethodAddress("Missing"), nullptr);
    SetMethodProp(&w, "OnClick", TMethod{&root, *code, "ThingClick"});
    w.FOnClick(&w);
    EXPECT_EQ(root.Clicks, 1);
    TMethod m = GetMethodProp(&w, "OnClick");
    EXPECT_EQ(m.Data, &root);
    EXPECT_TRUE(w.FOnClick == TNotifyEvent(&root, &TTestRoot::ThingClick));
    EXPECT_FALSE(w.FOnClick == TNotifyEvent(&root, &TTestRoot::OtherClick));
    // A method of another signature cannot be assigned.
    TMethod wrong{&root, TEvent<TObject*, bool&>([](TObject*, bool&) {}).Method().Code, "Wrong"};
    EXPECT_THROW(SetMethodProp(&w, "OnClick", wrong), EPropertyConvertError);
    // Unassigned events do nothing when called.
    w.FOnClick = nullptr;
    w.FOnClick(&w);
    EXPECT_EQ(root.Clicks, 1);
    int calls = 0;
    w.FOnClick = [&calls](TObject*) { ++calls; };
    w.FOnClick(&w);
    EXPECT_EQ(calls, 1);
}

TEST(Persistent, AssignErrorsNameBothClasses) {
    TTestFont f;
    TTestItem* none = nullptr;
    (void)none;
    TCollection c(TTestItem::StaticClass());
    try {
        f.Assign(&c);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TCollection to a TTestFont");
    }
    try {
        f.Assign(nullptr);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a nil to a TTestFont");
    }
}

TEST(Collections, ItemsOrderIdsAndAssign) {
    struct TWatched : public TCollection {
        using TCollection::TCollection;
        int updates = 0;
        void Update(TCollectionItem*) override { ++updates; }
    };
    TWatched c(TTestItem::StaticClass());
    auto* a = static_cast<TTestItem*>(c.Add());
    auto* b = static_cast<TTestItem*>(c.Add());
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(a->ID(), 0);
    EXPECT_EQ(b->ID(), 1);
    b->SetIndex(0);
    EXPECT_EQ(c.Items(0), b);
    EXPECT_EQ(c.FindItemID(0), a);
    int before = c.updates;
    c.BeginUpdate();
    c.Add();
    c.Add();
    EXPECT_EQ(c.updates, before);
    c.EndUpdate();
    EXPECT_EQ(c.updates, before + 1);
    delete a;  // an item freed leaves its collection
    EXPECT_EQ(c.Count(), 3);
    EXPECT_THROW(c.Items(3), EListError);
    b->FTitle = "copy me";
    TCollection copy(TTestItem::StaticClass());
    copy.Assign(&c);
    ASSERT_EQ(copy.Count(), 3);
    EXPECT_EQ(static_cast<TTestItem*>(copy.Items(0))->FTitle, "copy me");
    EXPECT_THROW(TCollection{TTestRoot::StaticClass()}, EInvalidOperation);
}

// TObject, class objects (TClass), virtual construction and the class registry.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <tuple>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <vector>

namespace host {

class TObject;
class TPublishedTable;
struct TClassInfo;
struct TMessageTable;

// A class reference: the framework's "class of TObject". Each class has exactly one
// class object, so two references denote the same class when the pointers are equal.
using TClass = const TClassInfo*;

using TGenericFn = void (*)();

struct TClassInfo {
    const char* Name;          // the class name as written in form files
    TClass Parent;             // nullptr for TObject
    // The virtual constructor: a function TObject*(Args...) whose arguments are
    // those of the class family (an owner for components). Null when the class is
    // abstract or has no constructor with those arguments.
    const std::type_info* CreateArgs;
    TGenericFn Creator;
    // Published properties and methods declared by this class itself (not its
    // ancestors); nullptr when it declares none.
    const TPublishedTable* (*OwnPublished)();
    // Message handlers declared by this class itself (HOST_MESSAGES); nullptr when
    // it declares none.
    const TMessageTable* (*OwnMessages)();

    const char* ClassName() const { return Name; }
    TClass ClassParent() const { return Parent; }
    // True when this class is Other or derives from it.
    bool InheritsFrom(TClass Other) const;
    // True when the class names are equal (case-insensitive), the framework's ClassNameIs.
    bool ClassNameIs(const std::string& AName) const;

    // Constructs an instance through the virtual constructor. The arguments must be
    // those of the family (for components: the owner). Raises EInvalidOperation
    // when the class cannot be constructed this way.
    template <class R = TObject, class... A>
    R* Create(A... args) const;

private:
    TObject* CheckedCast(TObject* obj, TClass want) const;
    [[noreturn]] void RaiseCannotCreate(const std::type_info& given) const;
};

namespace detail {
template <class T, class... A>
TObject* CreateThunk(A... args) {
    T* obj = new T(args...);
    try {
        obj->AfterConstruction();
    } catch (...) {
        delete obj;
        throw;
    }
    return obj;
}
template <class T, class Tuple>
struct CreatorFor;
template <class T, class... A>
struct CreatorFor<T, std::tuple<A...>> {
    static TGenericFn Get() {
        if constexpr (!std::is_abstract_v<T> && std::is_constructible_v<T, A...>)
            return reinterpret_cast<TGenericFn>(&CreateThunk<T, A...>);
        else
            return nullptr;
    }
};

template <class T>
const TPublishedTable* (*OwnPublishedOf())() {
    if constexpr (requires { &T::HostPublishedTable; }) {
        if constexpr (requires { &T::inherited::HostPublishedTable; }) {
            if (&T::HostPublishedTable == &T::inherited::HostPublishedTable) return nullptr;
        }
        return &T::HostPublishedTable;
    } else {
        return nullptr;
    }
}

template <class T>
const TMessageTable* (*OwnMessagesOf())() {
    if constexpr (requires { &T::HostMessageTable; }) {
        if constexpr (requires { &T::inherited::HostMessageTable; }) {
            if (&T::HostMessageTable == &T::inherited::HostMessageTable) return nullptr;
        }
        return &T::HostMessageTable;
    } else {
        return nullptr;
    }
}

template <class T>
TClass ClassInfoOf(const char* name, TClass parent) {
    static const TClassInfo info{name, parent, &typeid(typename T::HostCreateArgs),
                                 CreatorFor<T, typename T::HostCreateArgs>::Get(), OwnPublishedOf<T>(),
                                 OwnMessagesOf<T>()};
    return &info;
}
}  // namespace detail

// Declares the class object of T, whose parent class is Base. Put it first in the
// class body: it opens a public section, defines StaticClass() and overrides
// ClassType(), and returns to private access. Inherited(Message), called from a
// message handler of T, passes the message to the handler an ancestor of T
// declares for its number (or to DefaultHandler when none does).
#define HOST_CLASS(T, Base)                                                               \
public:                                                                                   \
    using inherited = Base;                                                               \
    using ThisClass = T;                                                                  \
    static ::host::TClass StaticClass() {                                                 \
        return ::host::detail::ClassInfoOf<T>(#T, Base::StaticClass());                   \
    }                                                                                     \
    ::host::TClass ClassType() const override { return StaticClass(); }                   \
    template <class HostMsg>                                                              \
    void Inherited(HostMsg& Message) {                                                    \
        this->DispatchFrom(StaticClass()->Parent, &Message);                              \
    }                                                                                     \
                                                                                          \
private:

// The root of every class of the framework.
class TObject {
public:
    // The virtual constructor of the TObject family takes no arguments; a family
    // root (TComponent, TCollectionItem, ...) declares its own.
    using HostCreateArgs = std::tuple<>;

    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    static TClass StaticClass();
    virtual TClass ClassType() const { return StaticClass(); }

    std::string ClassName() const { return ClassType()->Name; }
    bool ClassNameIs(const std::string& AName) const { return ClassType()->ClassNameIs(AName); }
    TClass ClassParent() const { return ClassType()->Parent; }
    bool InheritsFrom(TClass AClass) const { return ClassType()->InheritsFrom(AClass); }
    // The framework's "is": true when this object's class is T or derives from it.
    template <class T>
    bool Is() const {
        return InheritsFrom(T::StaticClass());
    }

    // Called once the most derived constructor has finished, by construction through
    // a class reference (TClassInfo::Create) and by code that makes objects whose
    // class needs it (forms read their form file here).
    virtual void AfterConstruction() {}

    // Published-method lookup (the framework's MethodAddress/MethodName), see typinfo.h.
    const struct TMethodCode* MethodAddress(const std::string& Name) const;
    std::string MethodName(const struct TMethodCode& Code) const;

    // Message dispatch by number: Message points at a record whose first field is
    // the message number (an unsigned 32-bit value, as TMessage::Msg). Calls the
    // handler that this object's class or its nearest ancestor declares for that
    // number (HOST_MESSAGES), or DefaultHandler when none does.
    virtual void Dispatch(void* Message);
    // What happens to a message no handler takes; the base does nothing.
    virtual void DefaultHandler(void* Message) { (void)Message; }
    // Dispatches starting with the handlers of From and its ancestors (From may be
    // nullptr: then straight to DefaultHandler). Inherited(Message) uses it.
    void DispatchFrom(TClass From, void* Message);
    // True when this object's class or an ancestor handles the message number.
    bool HandlesMessage(unsigned Msg) const;
};

// One class's message handlers, sorted by number.
struct TMessageEntry {
    unsigned Msg;
    void (*Invoke)(TObject* Obj, void* Message, const void* Fn);
    alignas(void*) unsigned char Fn[2 * sizeof(void*)];  // the member-function pointer
};
struct TMessageTable {
    std::vector<TMessageEntry> Entries;
    // The entry for Msg, or nullptr.
    const TMessageEntry* Find(unsigned Msg) const;
};

namespace messages {
template <class C, class M>
void InvokeHandler(TObject* obj, void* msg, const void* fn) {
    void (C::*pm)(M&);
    __builtin_memcpy(&pm, fn, sizeof pm);
    (static_cast<C*>(obj)->*pm)(*static_cast<M*>(msg));
}
// One handler: the message number and a method taking the message record by
// reference (TMessage&, TWMPaint&, ... any record whose first field is the number).
template <class C, class M>
TMessageEntry on(unsigned Msg, void (C::*Fn)(M&)) {
    static_assert(std::is_base_of_v<TObject, C>, "message handlers are methods of framework objects");
    static_assert(sizeof Fn <= 2 * sizeof(void*), "member-function pointer too large");
    TMessageEntry e{Msg, &InvokeHandler<C, M>, {}};
    __builtin_memcpy(e.Fn, &Fn, sizeof Fn);
    return e;
}
TMessageTable MakeMessageTable(std::initializer_list<TMessageEntry> Entries);
}  // namespace messages

// Declares the message handlers of the class, inside its body (after HOST_CLASS):
//   void WMPaint(TWMPaint& Message);
//   void CMEnabledChanged(TMessage& Message);
//   HOST_MESSAGES(on(WM_PAINT, &TMyControl::WMPaint),
//                 on(CM_ENABLEDCHANGED, &TMyControl::CMEnabledChanged))
// A handler calls Inherited(Message) to pass the message on to its ancestors.
#define HOST_MESSAGES(...)                                                                  \
public:                                                                                     \
    static const ::host::TMessageTable* HostMessageTable() {                                \
        using namespace ::host::messages;                                                   \
        static const ::host::TMessageTable table = MakeMessageTable({__VA_ARGS__});         \
        return &table;                                                                      \
    }                                                                                       \
                                                                                            \
private:

// The framework's "as": raises EInvalidCast when Obj is not a T.
template <class T>
T* As(TObject* Obj);

// Deletes the object and clears the pointer (the framework's FreeAndNil).
template <class T>
void FreeAndNil(T*& Obj) {
    T* tmp = Obj;
    Obj = nullptr;
    delete tmp;
}

// The class registry of the streaming system. Names are compared without regard to
// case. Registering a class also registers its ancestors; a different class with a
// name already registered raises EFilerError.
void RegisterClass(TClass AClass);
void RegisterClasses(std::initializer_list<TClass> Classes);
void UnRegisterClass(TClass AClass);
void UnRegisterClasses(std::initializer_list<TClass> Classes);
// The registered class of that name, or nullptr.
TClass GetClass(const std::string& ClassName);
// The registered class of that name; raises EClassNotFound when there is none.
TClass FindClass(const std::string& ClassName);

[[noreturn]] void RaiseInvalidCast(TObject* Obj, TClass Want);

template <class T>
T* As(TObject* Obj) {
    if (Obj == nullptr) return nullptr;
    if (!Obj->InheritsFrom(T::StaticClass())) RaiseInvalidCast(Obj, T::StaticClass());
    return static_cast<T*>(Obj);
}

template <class R, class... A>
R* TClassInfo::Create(A... args) const {
    using Args = std::tuple<A...>;
    if (Creator == nullptr || *CreateArgs != typeid(Args)) RaiseCannotCreate(typeid(Args));
    auto fn = reinterpret_cast<TObject* (*)(A...)>(Creator);
    TObject* obj = fn(args...);
    if constexpr (std::is_same_v<R, TObject>)
        return obj;
    else
        return static_cast<R*>(CheckedCast(obj, R::StaticClass()));
}

}  // namespace host

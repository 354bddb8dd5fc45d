// Run-time type information: type descriptions, published property and method tables,
// and property access by name.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "host/rtl/currency.h"
#include "host/rtl/events.h"
#include "host/rtl/object.h"
#include "host/rtl/sets.h"

namespace host {

enum TTypeKind {
    tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod,
    tkWChar, tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface, tkInt64, tkDynArray
};
enum TOrdType { otSByte, otUByte, otSWord, otUWord, otSLong, otULong };
enum TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };

// The description of a type that a published property can have.
struct TTypeInfo {
    TTypeKind Kind = tkUnknown;
    std::string Name;
    TOrdType OrdType = otSLong;
    int64_t MinValue = 0, MaxValue = 0;
    std::vector<std::string> EnumNames;      // enumerations (Boolean: False, True)
    const TTypeInfo* CompType = nullptr;     // sets: the element type
    TFloatType FloatType = ftDouble;
    bool IsDateTime = false;                 // a TDateTime float (streamed as a date)
    TClass ClassType = nullptr;              // classes
    const std::type_info* MethodSig = nullptr;  // methods: typeid(void(Args...))
    // Integers with identifiers (colours, cursors): both null when there are none.
    bool (*IntToIdent)(int64_t Value, std::string& Ident) = nullptr;
    bool (*IdentToInt)(const std::string& Ident, int64_t& Value) = nullptr;

    bool IsBoolean() const { return Kind == tkEnumeration && Name == "Boolean"; }
    bool IsOrdinal() const {
        return Kind == tkInteger || Kind == tkChar || Kind == tkEnumeration || Kind == tkSet || Kind == tkInt64 ||
               Kind == tkWChar;
    }
};

// The name of an enumeration value ("" when out of range) and the value of a name
// (-1 when unknown; case-insensitive).
std::string GetEnumName(const TTypeInfo* TypeInfo, int64_t Value);
int GetEnumValue(const TTypeInfo* TypeInfo, const std::string& Name);
// A set's members as "a,b" (with Brackets: "[a,b]"), and back; an unknown member
// name raises EPropertyConvertError.
std::string SetToString(const TTypeInfo* SetType, uint64_t Value, bool Brackets = false);
uint64_t StringToSet(const TTypeInfo* SetType, const std::string& Value);

namespace detail {
const TTypeInfo* MakeEnumTypeInfo(const char* name, const char* commaSeparatedNames);
const TTypeInfo* BuiltinTypeInfo(int which);
const TTypeInfo* ClassTypeInfo(TClass cls);
const TTypeInfo* MethodTypeInfo(const std::type_info& sig);
const TTypeInfo* SetTypeInfo(const TTypeInfo* elem);
}  // namespace detail

// Declares an enumeration whose value names are known at run time, so that it can
// be a published property and appear in form files by name:
//   HOST_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient);
#define HOST_ENUM(Name, ...)                                                                    \
    enum Name { __VA_ARGS__ };                                                                  \
    [[maybe_unused]] constexpr int HostEnumCount(const Name*) {                                 \
        return ::host::detail::CountEnumNames(#__VA_ARGS__);                                    \
    }                                                                                           \
    [[maybe_unused]] inline const ::host::TTypeInfo* HostTypeInfo(const Name*) {                \
        static const ::host::TTypeInfo* info = ::host::detail::MakeEnumTypeInfo(#Name, #__VA_ARGS__); \
        return info;                                                                            \
    }

template <class E>
const TTypeInfo* HostTypeInfo(const TSet<E>*);
template <class T>
    requires std::is_base_of_v<TObject, T>
const TTypeInfo* HostTypeInfo(T* const*) {
    return detail::ClassTypeInfo(T::StaticClass());
}
template <class... Args>
const TTypeInfo* HostTypeInfo(const TEvent<Args...>*) {
    return detail::MethodTypeInfo(typeid(void(Args...)));
}

// The type description of V: built-in for bool, integers, floats, strings and
// Currency; HostTypeInfo(const V*) found by argument-dependent lookup otherwise.
template <class V>
const TTypeInfo* TypeInfoOf() {
    if constexpr (std::is_same_v<V, bool>) return detail::BuiltinTypeInfo(0);
    else if constexpr (std::is_same_v<V, char>) return detail::BuiltinTypeInfo(1);
    else if constexpr (std::is_same_v<V, int8_t>) return detail::BuiltinTypeInfo(2);
    else if constexpr (std::is_same_v<V, uint8_t>) return detail::BuiltinTypeInfo(3);
    else if constexpr (std::is_same_v<V, int16_t>) return detail::BuiltinTypeInfo(4);
    else if constexpr (std::is_same_v<V, uint16_t>) return detail::BuiltinTypeInfo(5);
    else if constexpr (std::is_same_v<V, int32_t>) return detail::BuiltinTypeInfo(6);
    else if constexpr (std::is_same_v<V, uint32_t>) return detail::BuiltinTypeInfo(7);
    else if constexpr (std::is_integral_v<V>) return detail::BuiltinTypeInfo(8);  // 64-bit
    else if constexpr (std::is_same_v<V, float>) return detail::BuiltinTypeInfo(9);
    else if constexpr (std::is_same_v<V, double>) return detail::BuiltinTypeInfo(10);
    else if constexpr (std::is_same_v<V, Currency>) return detail::BuiltinTypeInfo(11);
    else if constexpr (std::is_same_v<V, std::string>) return detail::BuiltinTypeInfo(12);
    else return HostTypeInfo(static_cast<const V*>(nullptr));
}
template <class E>
const TTypeInfo* HostTypeInfo(const TSet<E>*) {
    static const TTypeInfo* info = detail::SetTypeInfo(TypeInfoOf<E>());
    return info;
}
// The float type that is streamed as a date.
const TTypeInfo* TypeInfoDateTime();

// A published property: name, type, default, stored predicate and access.
class TPropInfo {
public:
    virtual ~TPropInfo() = default;
    std::string Name;
    const TTypeInfo* PropType = nullptr;
    bool Readable = true, Writable = true;
    bool HasDefault = false;
    int64_t OrdDefault = 0;
    double FloatDefault = 0;
    std::string StrDefault;

    virtual int64_t GetOrd(const TObject* Instance) const;
    virtual void SetOrd(TObject* Instance, int64_t Value) const;
    virtual double GetFloat(const TObject* Instance) const;
    virtual void SetFloat(TObject* Instance, double Value) const;
    virtual std::string GetStr(const TObject* Instance) const;
    virtual void SetStr(TObject* Instance, const std::string& Value) const;
    virtual TObject* GetObj(const TObject* Instance) const;
    virtual void SetObj(TObject* Instance, TObject* Value) const;
    virtual TMethod GetMethod(const TObject* Instance) const;
    virtual void SetMethod(TObject* Instance, const TMethod& Value) const;
    // The stored predicate (true unless declared otherwise).
    virtual bool IsStored(const TObject* Instance) const;
    // True when the property holds its default, so that a writer leaves it out.
    bool IsDefault(const TObject* Instance) const;

protected:
    [[noreturn]] void RaiseKind(const char* wanted) const;
    [[noreturn]] void RaiseReadOnly() const;
};

// The published properties and methods that one class declares.
class TPublishedTable {
public:
    std::vector<std::unique_ptr<TPropInfo>> Props;
    std::vector<std::pair<std::string, TMethodCode>> Methods;
};

// The published properties of a class, its ancestors' first; a property that a
// descendant declares again (to publish it with another default) keeps its place.
const std::vector<const TPropInfo*>& GetPropList(TClass AClass);
// The property of that name (case-insensitive), or nullptr.
const TPropInfo* GetPropInfo(TClass AClass, const std::string& PropName);
const TPropInfo* GetPropInfo(const TObject* Instance, const std::string& PropName);
bool IsPublishedProp(const TObject* Instance, const std::string& PropName);
TTypeKind PropType(const TObject* Instance, const std::string& PropName);
bool IsStoredProp(const TObject* Instance, const TPropInfo* PropInfo);

// Access by name; an unknown name raises EPropertyError, a property of another kind
// EPropertyConvertError, writing a read-only property EPropReadOnly.
int64_t GetOrdProp(const TObject* Instance, const std::string& PropName);
void SetOrdProp(TObject* Instance, const std::string& PropName, int64_t Value);
std::string GetEnumProp(const TObject* Instance, const std::string& PropName);
void SetEnumProp(TObject* Instance, const std::string& PropName, const std::string& Value);
std::string GetSetProp(const TObject* Instance, const std::string& PropName, bool Brackets = false);
void SetSetProp(TObject* Instance, const std::string& PropName, const std::string& Value);
std::string GetStrProp(const TObject* Instance, const std::string& PropName);
void SetStrProp(TObject* Instance, const std::string& PropName, const std::string& Value);
double GetFloatProp(const TObject* Instance, const std::string& PropName);
void SetFloatProp(TObject* Instance, const std::string& PropName, double Value);
int64_t GetInt64Prop(const TObject* Instance, const std::string& PropName);
void SetInt64Prop(TObject* Instance, const std::string& PropName, int64_t Value);
TObject* GetObjectProp(const TObject* Instance, const std::string& PropName, TClass MinClass = nullptr);
void SetObjectProp(TObject* Instance, const std::string& PropName, TObject* Value);
TMethod GetMethodProp(const TObject* Instance, const std::string& PropName);
void SetMethodProp(TObject* Instance, const std::string& PropName, const TMethod& Value);

// The published methods: by name (nullptr when absent) and the name of a code.
const TMethodCode* FindPublishedMethod(TClass AClass, const std::string& Name);
std::string FindPublishedMethodName(TClass AClass, const TMethodCode& Code);

// ---- the declaration language of HOST_PUBLISHED ----
namespace published {

template <class C, class V>
struct FieldGet {
    V C::*m;
    V operator()(const TObject* o) const { return static_cast<const C*>(o)->*m; }
};
template <class C, class R>
struct MethodGet {
    R (C::*f)() const;
    std::remove_cvref_t<R> operator()(const TObject* o) const { return (static_cast<const C*>(o)->*f)(); }
};
template <class C, class R>
struct MutMethodGet {
    R (C::*f)();
    std::remove_cvref_t<R> operator()(const TObject* o) const {
        return (const_cast<C*>(static_cast<const C*>(o))->*f)();
    }
};
template <class C, class V>
struct FieldSet {
    V C::*m;
    void operator()(TObject* o, V v) const { static_cast<C*>(o)->*m = std::move(v); }
};
template <class C, class A>
struct MethodSet {
    void (C::*f)(A);
    void operator()(TObject* o, std::remove_cvref_t<A> v) const { (static_cast<C*>(o)->*f)(std::move(v)); }
};
struct NoSet {};

template <class G>
struct GetTraits;
template <class C, class V>
struct GetTraits<V C::*> {
    using Value = V;
    static FieldGet<C, V> Make(V C::*m) { return {m}; }
};
template <class C, class R>
struct GetTraits<R (C::*)() const> {
    using Value = std::remove_cvref_t<R>;
    static MethodGet<C, R> Make(R (C::*f)() const) { return {f}; }
};
template <class C, class R>
struct GetTraits<R (C::*)()> {
    using Value = std::remove_cvref_t<R>;
    static MutMethodGet<C, R> Make(R (C::*f)()) { return {f}; }
};
template <class S>
struct SetTraits;
template <class C, class V>
struct SetTraits<V C::*> {
    using Value = V;
    static FieldSet<C, V> Make(V C::*m) { return {m}; }
};
template <class C, class A>
struct SetTraits<void (C::*)(A)> {
    using Value = std::remove_cvref_t<A>;
    static MethodSet<C, A> Make(void (C::*f)(A)) { return {f}; }
};

// A property declaration; finished by the chain .def(v), .nodefault(), .stored(...).
template <class V, class G, class S>
struct PropDecl {
    const char* Name;
    G Get;
    S Set;
    bool HasDefault = false;
    V Default{};
    std::function<bool(const TObject*)> Stored;
    const TTypeInfo* Type = nullptr;

    PropDecl def(V v) && {
        HasDefault = true;
        Default = std::move(v);
        return std::move(*this);
    }
    PropDecl nodefault() && {
        HasDefault = false;
        return std::move(*this);
    }
    PropDecl stored(bool b) && {
        Stored = [b](const TObject*) { return b; };
        return std::move(*this);
    }
    template <class C>
    PropDecl stored(bool (C::*pred)() const) && {
        Stored = [pred](const TObject* o) { return (static_cast<const C*>(o)->*pred)(); };
        return std::move(*this);
    }
    // Gives the property another type description of the same representation
    // (a date for a double, colour identifiers for an integer).
    PropDecl type(const TTypeInfo* t) && {
        Type = t;
        return std::move(*this);
    }
};

template <class G, class S>
auto prop(const char* name, G get, S set) {
    using V = typename GetTraits<G>::Value;
    static_assert(std::is_same_v<V, typename SetTraits<S>::Value>,
                  "the getter and the setter of a property must have the same type");
    using GA = decltype(GetTraits<G>::Make(get));
    using SA = decltype(SetTraits<S>::Make(set));
    return PropDecl<V, GA, SA>{name, GetTraits<G>::Make(get), SetTraits<S>::Make(set), false, V{}, {}, nullptr};
}
template <class G>
auto prop(const char* name, G get) {
    using V = typename GetTraits<G>::Value;
    using GA = decltype(GetTraits<G>::Make(get));
    return PropDecl<V, GA, NoSet>{name, GetTraits<G>::Make(get), NoSet{}, false, V{}, {}, nullptr};
}

struct MethodDecl {
    const char* Name;
    TMethodCode Code;
};
template <class C, class... Args>
MethodDecl method(const char* name, void (C::*fn)(Args...)) {
    return MethodDecl{name, ::host::detail::MakeMemberCode(fn)};
}

template <class V>
constexpr bool IsOrdinalValue =
    std::is_integral_v<V> || std::is_enum_v<V> || requires(V v) { v.Bits(); };
template <class V>
int64_t ToOrd(const V& v) {
    if constexpr (requires { v.Bits(); }) return static_cast<int64_t>(v.Bits());
    else return static_cast<int64_t>(v);
}
template <class V>
V FromOrd(int64_t x) {
    if constexpr (requires { V::FromBits(0); }) return V::FromBits(static_cast<uint64_t>(x));
    else return static_cast<V>(x);
}
void CheckOrdRange(const TPropInfo& p, int64_t value);

template <class V, class G, class S>
class PropImpl final : public TPropInfo {
public:
    explicit PropImpl(PropDecl<V, G, S>&& d) : FGet(d.Get), FSet(d.Set), FStored(std::move(d.Stored)) {
        Name = d.Name;
        PropType = d.Type ? d.Type : TypeInfoOf<V>();
        Writable = !std::is_same_v<S, NoSet>;
        HasDefault = d.HasDefault;
        if constexpr (IsOrdinalValue<V>) OrdDefault = ToOrd(d.Default);
        else if constexpr (std::is_same_v<V, Currency>) FloatDefault = d.Default.ToDouble();
        else if constexpr (std::is_floating_point_v<V>) FloatDefault = d.Default;
        else if constexpr (std::is_same_v<V, std::string>) StrDefault = d.Default;
    }
    int64_t GetOrd(const TObject* o) const override {
        if constexpr (IsOrdinalValue<V>) return ToOrd(FGet(o));
        else return TPropInfo::GetOrd(o);
    }
    void SetOrd(TObject* o, int64_t x) const override {
        if constexpr (IsOrdinalValue<V>) {
            if constexpr (std::is_same_v<S, NoSet>) RaiseReadOnly();
            else {
                CheckOrdRange(*this, x);
                FSet(o, FromOrd<V>(x));
            }
        } else {
            TPropInfo::SetOrd(o, x);
        }
    }
    double GetFloat(const TObject* o) const override {
        if constexpr (std::is_floating_point_v<V>) return FGet(o);
        else if constexpr (std::is_same_v<V, Currency>) return FGet(o).ToDouble();
        else return TPropInfo::GetFloat(o);
    }
    void SetFloat(TObject* o, double x) const override {
        if constexpr (std::is_floating_point_v<V> || std::is_same_v<V, Currency>) {
            if constexpr (std::is_same_v<S, NoSet>) RaiseReadOnly();
            else if constexpr (std::is_same_v<V, Currency>) FSet(o, Currency::FromDouble(x));
            else FSet(o, static_cast<V>(x));
        } else {
            TPropInfo::SetFloat(o, x);
        }
    }
    std::string GetStr(const TObject* o) const override {
        if constexpr (std::is_same_v<V, std::string>) return FGet(o);
        else return TPropInfo::GetStr(o);
    }
    void SetStr(TObject* o, const std::string& x) const override {
        if constexpr (std::is_same_v<V, std::string>) {
            if constexpr (std::is_same_v<S, NoSet>) RaiseReadOnly();
            else FSet(o, x);
        } else {
            TPropInfo::SetStr(o, x);
        }
    }
    TObject* GetObj(const TObject* o) const override {
        if constexpr (std::is_pointer_v<V>) return FGet(o);
        else return TPropInfo::GetObj(o);
    }
    void SetObj(TObject* o, TObject* x) const override {
        if constexpr (std::is_pointer_v<V>) {
            if constexpr (std::is_same_v<S, NoSet>) RaiseReadOnly();
            else FSet(o, As<std::remove_pointer_t<V>>(x));
        } else {
            TPropInfo::SetObj(o, x);
        }
    }
    TMethod GetMethod(const TObject* o) const override {
        if constexpr (requires(V v) { v.Method(); }) return FGet(o).Method();
        else return TPropInfo::GetMethod(o);
    }
    void SetMethod(TObject* o, const TMethod& m) const override {
        if constexpr (requires(V v) { v.Method(); }) {
            if constexpr (std::is_same_v<S, NoSet>) RaiseReadOnly();
            else FSet(o, V::FromMethod(m));
        } else {
            TPropInfo::SetMethod(o, m);
        }
    }
    bool IsStored(const TObject* o) const override { return FStored ? FStored(o) : true; }

private:
    G FGet;
    S FSet;
    std::function<bool(const TObject*)> FStored;
};

inline void AddToTable(TPublishedTable& t, MethodDecl&& m) { t.Methods.emplace_back(m.Name, std::move(m.Code)); }
template <class V, class G, class S>
void AddToTable(TPublishedTable& t, PropDecl<V, G, S>&& d) {
    t.Props.push_back(std::make_unique<PropImpl<V, G, S>>(std::move(d)));
}
template <class... D>
TPublishedTable MakeTable(D&&... decls) {
    TPublishedTable t;
    (AddToTable(t, std::move(decls)), ...);
    return t;
}
}  // namespace published

// Declares the published properties and methods of the class, one entry each:
//   HOST_PUBLISHED(
//       prop("Blank", &TryxToolbarSep::FBlank, &TryxToolbarSep::SetBlank).def(false),
//       prop("SizeHorz", &TryxToolbarSep::FSizeHorz, &TryxToolbarSep::SetSizeHorz).def(6),
//       method("ButtonClick", &TryxToolbarSep::ButtonClick))
#define HOST_PUBLISHED(...)                                                     \
public:                                                                         \
    static const ::host::TPublishedTable* HostPublishedTable() {                \
        using namespace ::host::published;                                      \
        static const ::host::TPublishedTable table = MakeTable(__VA_ARGS__);    \
        return &table;                                                          \
    }                                                                           \
                                                                                \
private:

}  // namespace host

// Type descriptions, merged published-property lists per class, and access by name.
#include "host/rtl/typinfo.h"

#include <map>
#include <mutex>
#include <unordered_map>

#include "host/rtl/exceptions.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace {
std::mutex& TableLock() {
    static std::mutex m;
    return m;
}

struct TClassProps {
    std::vector<const TPropInfo*> list;
    std::unordered_map<std::string, const TPropInfo*> byName;  // folded name
};
}  // namespace

std::string GetEnumName(const TTypeInfo* TypeInfo, int64_t Value) {
    if (TypeInfo == nullptr || Value < 0 || Value >= static_cast<int64_t>(TypeInfo->EnumNames.size())) return "";
    return TypeInfo->EnumNames[static_cast<size_t>(Value)];
}

int GetEnumValue(const TTypeInfo* TypeInfo, const std::string& Name) {
    if (TypeInfo == nullptr) return -1;
    for (size_t i = 0; i < TypeInfo->EnumNames.size(); ++i)
        if (SameText(TypeInfo->EnumNames[i], Name)) return static_cast<int>(i);
    return -1;
}

std::string SetToString(const TTypeInfo* SetType, uint64_t Value, bool Brackets) {
    std::string r;
    const TTypeInfo* elem = SetType ? SetType->CompType : nullptr;
    for (int i = 0; i < 64; ++i) {
        if (!((Value >> i) & 1u)) continue;
        if (!r.empty()) r += ',';
        std::string name = GetEnumName(elem, i);
        r += name.empty() ? std::to_string(i) : name;
    }
    return Brackets ? "[" + r + "]" : r;
}

uint64_t StringToSet(const TTypeInfo* SetType, const std::string& Value) {
    std::string s = Trim(Value);
    if (!s.empty() && s.front() == '[') {
        if (s.back() != ']') throw EPropertyConvertError("Invalid set value: " + Value);
        s = s.substr(1, s.size() - 2);
    }
    uint64_t bits = 0;
    size_t pos = 0;
    while (pos <= s.size()) {
        size_t comma = s.find(',', pos);
        std::string item = Trim(s.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos));
        if (!item.empty()) {
            int v = GetEnumValue(SetType ? SetType->CompType : nullptr, item);
            if (v < 0 || v >= 64) throw EPropertyConvertError("Invalid set member '" + item + "'");
            bits |= uint64_t(1) << v;
        } else if (comma != std::string::npos) {
            throw EPropertyConvertError("Invalid set value: " + Value);
        }
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    return bits;
}

namespace detail {

const TTypeInfo* MakeEnumTypeInfo(const char* name, const char* names) {
    auto* t = new TTypeInfo;  // one per enumeration type, for the life of the process
    t->Kind = tkEnumeration;
    t->Name = name;
    std::string all(names);
    size_t pos = 0;
    while (pos <= all.size()) {
        size_t comma = all.find(',', pos);
        std::string item = Trim(all.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos));
        if (!item.empty()) t->EnumNames.push_back(item);
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    t->MinValue = 0;
    t->MaxValue = static_cast<int64_t>(t->EnumNames.size()) - 1;
    t->OrdType = t->EnumNames.size() <= 256 ? otUByte : otUWord;
    return t;
}

const TTypeInfo* BuiltinTypeInfo(int which) {
    static const TTypeInfo* table[13] = {};
    static std::once_flag once;
    std::call_once(once, [] {
        auto ord = [](TTypeKind k, const char* n, TOrdType ot, int64_t lo, int64_t hi) {
            auto* t = new TTypeInfo;
            t->Kind = k;
            t->Name = n;
            t->OrdType = ot;
            t->MinValue = lo;
            t->MaxValue = hi;
            return t;
        };
        auto* b = ord(tkEnumeration, "Boolean", otUByte, 0, 1);
        b->EnumNames = {"False", "True"};
        table[0] = b;
        table[1] = ord(tkChar, "Char", otUByte, 0, 255);
        table[2] = ord(tkInteger, "ShortInt", otSByte, INT8_MIN, INT8_MAX);
        table[3] = ord(tkInteger, "Byte", otUByte, 0, UINT8_MAX);
        table[4] = ord(tkInteger, "SmallInt", otSWord, INT16_MIN, INT16_MAX);
        table[5] = ord(tkInteger, "Word", otUWord, 0, UINT16_MAX);
        table[6] = ord(tkInteger, "Integer", otSLong, INT32_MIN, INT32_MAX);
        table[7] = ord(tkInteger, "Cardinal", otULong, 0, UINT32_MAX);
        table[8] = ord(tkInt64, "Int64", otSLong, INT64_MIN, INT64_MAX);
        auto flt = [](const char* n, TFloatType ft) {
            auto* t = new TTypeInfo;
            t->Kind = tkFloat;
            t->Name = n;
            t->FloatType = ft;
            return t;
        };
        table[9] = flt("Single", ftSingle);
        table[10] = flt("Double", ftDouble);
        table[11] = flt("Currency", ftCurr);
        auto* s = new TTypeInfo;
        s->Kind = tkLString;
        s->Name = "string";
        table[12] = s;
    });
    return table[which];
}

const TTypeInfo* ClassTypeInfo(TClass cls) {
    static std::map<TClass, TTypeInfo> infos;
    std::lock_guard<std::mutex> g(TableLock());
    auto it = infos.find(cls);
    if (it == infos.end()) {
        TTypeInfo t;
        t.Kind = tkClass;
        t.Name = cls->Name;
        t.ClassType = cls;
        it = infos.emplace(cls, std::move(t)).first;
    }
    return &it->second;
}

const TTypeInfo* MethodTypeInfo(const std::type_info& sig) {
    static std::map<std::string, TTypeInfo> infos;
    std::lock_guard<std::mutex> g(TableLock());
    auto it = infos.find(sig.name());
    if (it == infos.end()) {
        TTypeInfo t;
        t.Kind = tkMethod;
        t.Name = "TMethod";
        t.MethodSig = &sig;
        it = infos.emplace(sig.name(), std::move(t)).first;
    }
    return &it->second;
}

const TTypeInfo* SetTypeInfo(const TTypeInfo* elem) {
    auto* t = new TTypeInfo;  // one per set type, for the life of the process
    t->Kind = tkSet;
    t->Name = "set of " + (elem ? elem->Name : std::string("?"));
    t->CompType = elem;
    t->OrdType = otULong;
    return t;
}

void RaiseIncompatibleMethod(const TMethod& m, const std::type_info&) {
    throw EPropertyConvertError("Method " + (m.Name.empty() ? std::string("(unnamed)") : m.Name) +
                                " is incompatible with the event's signature");
}

}  // namespace detail

const TTypeInfo* TypeInfoDateTime() {
    static const TTypeInfo info = [] {
        TTypeInfo t;
        t.Kind = tkFloat;
        t.Name = "TDateTime";
        t.FloatType = ftDouble;
        t.IsDateTime = true;
        return t;
    }();
    return &info;
}

// ---- TPropInfo ----

void TPropInfo::RaiseKind(const char* wanted) const {
    throw EPropertyConvertError("Invalid property type: " + Name + " is not " + wanted);
}
void TPropInfo::RaiseReadOnly() const { throw EPropReadOnly("Property " + Name + " is read-only"); }
int64_t TPropInfo::GetOrd(const TObject*) const { RaiseKind("an ordinal"); }
void TPropInfo::SetOrd(TObject*, int64_t) const { RaiseKind("an ordinal"); }
double TPropInfo::GetFloat(const TObject*) const { RaiseKind("a float"); }
void TPropInfo::SetFloat(TObject*, double) const { RaiseKind("a float"); }
std::string TPropInfo::GetStr(const TObject*) const { RaiseKind("a string"); }
void TPropInfo::SetStr(TObject*, const std::string&) const { RaiseKind("a string"); }
TObject* TPropInfo::GetObj(const TObject*) const { RaiseKind("an object"); }
void TPropInfo::SetObj(TObject*, TObject*) const { RaiseKind("an object"); }
TMethod TPropInfo::GetMethod(const TObject*) const { RaiseKind("a method"); }
void TPropInfo::SetMethod(TObject*, const TMethod&) const { RaiseKind("a method"); }
bool TPropInfo::IsStored(const TObject*) const { return true; }

bool TPropInfo::IsDefault(const TObject* Instance) const {
    switch (PropType->Kind) {
        case tkInteger: case tkChar: case tkEnumeration: case tkSet: case tkInt64: case tkWChar:
            return HasDefault && GetOrd(Instance) == OrdDefault;
        case tkFloat:
            return GetFloat(Instance) == FloatDefault;
        case tkString: case tkLString: case tkWString:
            return GetStr(Instance) == StrDefault;
        case tkMethod:
            return !GetMethod(Instance).Assigned();
        case tkClass:
            return GetObj(Instance) == nullptr;
        default:
            return false;
    }
}

namespace published {
void CheckOrdRange(const TPropInfo& p, int64_t value) {
    const TTypeInfo* t = p.PropType;
    if ((t->Kind == tkEnumeration || t->Kind == tkInteger || t->Kind == tkChar) &&
        (value < t->MinValue || value > t->MaxValue))
        throw ERangeError("Value " + std::to_string(value) + " is out of range for property " + p.Name);
}
}  // namespace published

// ---- property lists ----

namespace {
const TClassProps& PropsOf(TClass AClass) {
    static std::unordered_map<TClass, std::unique_ptr<TClassProps>> cache;
    {
        std::lock_guard<std::mutex> g(TableLock());
        auto it = cache.find(AClass);
        if (it != cache.end()) return *it->second;
    }
    auto props = std::make_unique<TClassProps>();
    if (AClass->Parent) props->list = PropsOf(AClass->Parent).list;
    if (AClass->OwnPublished) {
        for (auto& p : AClass->OwnPublished()->Props) {
            bool replaced = false;
            for (auto& q : props->list)
                if (SameText(q->Name, p->Name)) {
                    q = p.get();
                    replaced = true;
                    break;
                }
            if (!replaced) props->list.push_back(p.get());
        }
    }
    for (auto* p : props->list) props->byName.emplace(LowerCase(p->Name), p);
    std::lock_guard<std::mutex> g(TableLock());
    auto& slot = cache[AClass];
    if (!slot) slot = std::move(props);
    return *slot;
}
}  // namespace

const std::vector<const TPropInfo*>& GetPropList(TClass AClass) { return PropsOf(AClass).list; }

const TPropInfo* GetPropInfo(TClass AClass, const std::string& PropName) {
    const TClassProps& props = PropsOf(AClass);
    auto it = props.byName.find(LowerCase(PropName));
    return it == props.byName.end() ? nullptr : it->second;
}

const TPropInfo* GetPropInfo(const TObject* Instance, const std::string& PropName) {
    return Instance ? GetPropInfo(Instance->ClassType(), PropName) : nullptr;
}

bool IsPublishedProp(const TObject* Instance, const std::string& PropName) {
    return GetPropInfo(Instance, PropName) != nullptr;
}

namespace {
const TPropInfo* Need(const TObject* Instance, const std::string& PropName) {
    const TPropInfo* p = GetPropInfo(Instance, PropName);
    if (p == nullptr) throw EPropertyError("Property " + PropName + " does not exist");
    return p;
}
}  // namespace

TTypeKind PropType(const TObject* Instance, const std::string& PropName) { return Need(Instance, PropName)->PropType->Kind; }

bool IsStoredProp(const TObject* Instance, const TPropInfo* PropInfo) { return PropInfo->IsStored(Instance); }

int64_t GetOrdProp(const TObject* Instance, const std::string& PropName) { return Need(Instance, PropName)->GetOrd(Instance); }
void SetOrdProp(TObject* Instance, const std::string& PropName, int64_t Value) {
    Need(Instance, PropName)->SetOrd(Instance, Value);
}

std::string GetEnumProp(const TObject* Instance, const std::string& PropName) {
    const TPropInfo* p = Need(Instance, PropName);
    return GetEnumName(p->PropType, p->GetOrd(Instance));
}
void SetEnumProp(TObject* Instance, const std::string& PropName, const std::string& Value) {
    const TPropInfo* p = Need(Instance, PropName);
    int v = GetEnumValue(p->PropType, Value);
    if (v < 0) throw EPropertyConvertError("Invalid enumeration value '" + Value + "' for property " + p->Name);
    p->SetOrd(Instance, v);
}

std::string GetSetProp(const TObject* Instance, const std::string& PropName, bool Brackets) {
    const TPropInfo* p = Need(Instance, PropName);
    if (p->PropType->Kind != tkSet) throw EPropertyConvertError("Invalid property type: " + p->Name + " is not a set");
    return SetToString(p->PropType, static_cast<uint64_t>(p->GetOrd(Instance)), Brackets);
}
void SetSetProp(TObject* Instance, const std::string& PropName, const std::string& Value) {
    const TPropInfo* p = Need(Instance, PropName);
    if (p->PropType->Kind != tkSet) throw EPropertyConvertError("Invalid property type: " + p->Name + " is not a set");
    p->SetOrd(Instance, static_cast<int64_t>(StringToSet(p->PropType, Value)));
}

std::string GetStrProp(const TObject* Instance, const std::string& PropName) { return Need(Instance, PropName)->GetStr(Instance); }
void SetStrProp(TObject* Instance, const std::string& PropName, const std::string& Value) {
    Need(Instance, PropName)->SetStr(Instance, Value);
}
double GetFloatProp(const TObject* Instance, const std::string& PropName) { return Need(Instance, PropName)->GetFloat(Instance); }
void SetFloatProp(TObject* Instance, const std::string& PropName, double Value) {
    Need(Instance, PropName)->SetFloat(Instance, Value);
}
int64_t GetInt64Prop(const TObject* Instance, const std::string& PropName) { return Need(Instance, PropName)->GetOrd(Instance); }
void SetInt64Prop(TObject* Instance, const std::string& PropName, int64_t Value) {
    Need(Instance, PropName)->SetOrd(Instance, Value);
}

TObject* GetObjectProp(const TObject* Instance, const std::string& PropName, TClass MinClass) {
    TObject* o = Need(Instance, PropName)->GetObj(Instance);
    if (o != nullptr && MinClass != nullptr && !o->InheritsFrom(MinClass)) return nullptr;
    return o;
}
void SetObjectProp(TObject* Instance, const std::string& PropName, TObject* Value) {
    Need(Instance, PropName)->SetObj(Instance, Value);
}
TMethod GetMethodProp(const TObject* Instance, const std::string& PropName) {
    return Need(Instance, PropName)->GetMethod(Instance);
}
void SetMethodProp(TObject* Instance, const std::string& PropName, const TMethod& Value) {
    Need(Instance, PropName)->SetMethod(Instance, Value);
}

// ---- published methods ----

const TMethodCode* FindPublishedMethod(TClass AClass, const std::string& Name) {
    for (TClass c = AClass; c != nullptr; c = c->Parent) {
        if (!c->OwnPublished) continue;
        for (auto& [n, code] : c->OwnPublished()->Methods)
            if (SameText(n, Name)) return &code;
    }
    return nullptr;
}

std::string FindPublishedMethodName(TClass AClass, const TMethodCode& Code) {
    for (TClass c = AClass; c != nullptr; c = c->Parent) {
        if (!c->OwnPublished) continue;
        for (auto& [n, code] : c->OwnPublished()->Methods)
            if (code == Code) return n;
    }
    return "";
}

const TMethodCode* TObject::MethodAddress(const std::string& Name) const { return FindPublishedMethod(ClassType(), Name); }
std::string TObject::MethodName(const TMethodCode& Code) const { return FindPublishedMethodName(ClassType(), Code); }

}  // namespace host

// TObject's class object, class identity tests and the streaming system's class registry.
#include "host/rtl/object.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>

#include "host/rtl/exceptions.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace {
struct TClassRegistry {
    std::unordered_map<std::string, TClass> byName;  // folded name -> class
};

TClassRegistry& Registry() {
    static TClassRegistry r;
    return r;
}

bool IsStreamingRoot(TClass c) { return c->Parent == nullptr || std::string(c->Name) == "TPersistent"; }
}  // namespace

TClass TObject::StaticClass() {
    static const TClassInfo info{"TObject", nullptr, &typeid(HostCreateArgs),
                                 detail::CreatorFor<TObject, HostCreateArgs>::Get(), nullptr, nullptr};
    return &info;
}

const TMessageEntry* TMessageTable::Find(unsigned Msg) const {
    auto it = std::lower_bound(Entries.begin(), Entries.end(), Msg,
                               [](const TMessageEntry& e, unsigned m) { return e.Msg < m; });
    return it != Entries.end() && it->Msg == Msg ? &*it : nullptr;
}

TMessageTable messages::MakeMessageTable(std::initializer_list<TMessageEntry> Entries) {
    TMessageTable t;
    t.Entries.assign(Entries.begin(), Entries.end());
    // A number declared twice keeps its last handler, as a later declaration wins.
    std::stable_sort(t.Entries.begin(), t.Entries.end(),
                     [](const TMessageEntry& a, const TMessageEntry& b) { return a.Msg < b.Msg; });
    std::vector<TMessageEntry> unique;
    for (const auto& e : t.Entries) {
        if (!unique.empty() && unique.back().Msg == e.Msg) unique.back() = e;
        else unique.push_back(e);
    }
    t.Entries = std::move(unique);
    return t;
}

namespace {
const TMessageEntry* FindHandler(TClass From, unsigned Msg) {
    for (TClass c = From; c != nullptr; c = c->Parent) {
        if (c->OwnMessages == nullptr) continue;
        if (const TMessageEntry* e = c->OwnMessages()->Find(Msg)) return e;
    }
    return nullptr;
}
}  // namespace

void TObject::Dispatch(void* Message) { DispatchFrom(ClassType(), Message); }

void TObject::DispatchFrom(TClass From, void* Message) {
    if (Message == nullptr) return;
    unsigned msg;
    std::memcpy(&msg, Message, sizeof msg);
    if (const TMessageEntry* e = FindHandler(From, msg)) e->Invoke(this, Message, e->Fn);
    else DefaultHandler(Message);
}

bool TObject::HandlesMessage(unsigned Msg) const { return FindHandler(ClassType(), Msg) != nullptr; }

bool TClassInfo::InheritsFrom(TClass Other) const {
    for (TClass c = this; c != nullptr; c = c->Parent)
        if (c == Other) return true;
    return false;
}

bool TClassInfo::ClassNameIs(const std::string& AName) const { return LowerCase(Name) == LowerCase(AName); }

TObject* TClassInfo::CheckedCast(TObject* obj, TClass want) const {
    if (obj != nullptr && !obj->InheritsFrom(want)) {
        delete obj;
        throw EInvalidCast(std::string("Invalid class typecast: ") + Name + " is not a " + want->Name);
    }
    return obj;
}

void TClassInfo::RaiseCannotCreate(const std::type_info&) const {
    if (Creator == nullptr)
        throw EInvalidOperation(std::string("Cannot create an instance of abstract class ") + Name);
    throw EInvalidOperation(std::string("Cannot create an instance of ") + Name +
                            ": wrong constructor arguments for its class family");
}

void RaiseInvalidCast(TObject* Obj, TClass Want) {
    throw EInvalidCast("Invalid class typecast: " + Obj->ClassName() + " is not a " + Want->Name);
}

void RegisterClass(TClass AClass) {
    auto& reg = Registry().byName;
    // Register the class and its ancestors up to the first one already registered
    // (or the root of the streaming hierarchy).
    for (TClass c = AClass; c != nullptr; c = c->Parent) {
        auto key = LowerCase(c->Name);
        auto it = reg.find(key);
        if (it != reg.end()) {
            if (it->second == c) return;
            throw EFilerError(std::string("A class named ") + c->Name + " already exists");
        }
        reg.emplace(std::move(key), c);
        if (IsStreamingRoot(c)) return;
    }
}

void RegisterClasses(std::initializer_list<TClass> Classes) {
    for (TClass c : Classes) RegisterClass(c);
}

void UnRegisterClass(TClass AClass) {
    auto& reg = Registry().byName;
    auto it = reg.find(LowerCase(AClass->Name));
    if (it != reg.end() && it->second == AClass) reg.erase(it);
}

void UnRegisterClasses(std::initializer_list<TClass> Classes) {
    for (TClass c : Classes) UnRegisterClass(c);
}

TClass GetClass(const std::string& ClassName) {
    auto& reg = Registry().byName;
    auto it = reg.find(LowerCase(ClassName));
    return it == reg.end() ? nullptr : it->second;
}

TClass FindClass(const std::string& ClassName) {
    TClass c = GetClass(ClassName);
    if (c == nullptr) throw EClassNotFound("Class " + ClassName + " not found");
    return c;
}

}  // namespace host

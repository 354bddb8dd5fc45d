// Method pointers as values: TMethodCode, TMethod and the event template TEvent<Args...>.
#pragma once

#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <typeinfo>

#include "host/rtl/object.h"

namespace host {

// The code half of a method pointer: which member function of which signature.
// Two codes are equal when they call the same function (or the same callable).
struct TMethodCode {
    std::array<unsigned char, 2 * sizeof(void*)> Bytes{};  // the member-function pointer
    TGenericFn Invoker = nullptr;                          // calls it with the event's arguments
    const std::type_info* Signature = nullptr;             // typeid(void(Args...))
    std::shared_ptr<void> Callable;                        // a plain callable instead of a member

    bool Assigned() const { return Invoker != nullptr; }
    bool operator==(const TMethodCode& o) const {
        if (Invoker != o.Invoker || Callable != o.Callable) return false;
        if ((Signature == nullptr) != (o.Signature == nullptr)) return false;
        if (Signature && *Signature != *o.Signature) return false;
        return Bytes == o.Bytes;
    }
};

// A method pointer: an object and a method of it. Name is the method's name when
// the pointer came from a form file (or was found by name).
struct TMethod {
    TObject* Data = nullptr;
    TMethodCode Code;
    std::string Name;

    bool Assigned() const { return Code.Assigned(); }
    bool operator==(const TMethod& o) const { return Data == o.Data && Code == o.Code; }
};

namespace detail {
template <class C, class... Args>
void InvokeMember(TObject* obj, const TMethodCode& code, Args... args) {
    void (C::*pm)(Args...);
    std::memcpy(&pm, code.Bytes.data(), sizeof pm);
    (static_cast<C*>(obj)->*pm)(std::forward<Args>(args)...);
}
template <class... Args>
void InvokeCallable(TObject*, const TMethodCode& code, Args... args) {
    (*static_cast<std::function<void(Args...)>*>(code.Callable.get()))(std::forward<Args>(args)...);
}
template <class C, class... Args>
TMethodCode MakeMemberCode(void (C::*fn)(Args...)) {
    static_assert(std::is_base_of_v<TObject, C>, "event handlers are methods of framework objects");
    static_assert(sizeof fn <= sizeof(TMethodCode::Bytes), "member-function pointer too large");
    TMethodCode code;
    std::memcpy(code.Bytes.data(), &fn, sizeof fn);
    code.Invoker = reinterpret_cast<TGenericFn>(&InvokeMember<C, Args...>);
    code.Signature = &typeid(void(Args...));
    return code;
}
[[noreturn]] void RaiseIncompatibleMethod(const TMethod& m, const std::type_info& want);
}  // namespace detail

// An event: unassigned, a method of an object, or a plain callable (handy in
// applications and tests). Calling an unassigned event does nothing. Events are
// compared as method pointers: same object and same method.
template <class... Args>
class TEvent {
public:
    using Signature = void(Args...);

    TEvent() = default;
    TEvent(std::nullptr_t) {}
    template <class O, class C>
        requires std::is_base_of_v<C, O>
    TEvent(O* obj, void (C::*fn)(Args...)) {
        FMethod.Data = static_cast<TObject*>(static_cast<C*>(obj));
        FMethod.Code = detail::MakeMemberCode(fn);
    }
    template <class F>
        requires(!std::is_same_v<std::decay_t<F>, TEvent> && !std::is_same_v<std::decay_t<F>, std::nullptr_t> &&
                 std::is_invocable_v<F&, Args...>)
    TEvent(F&& f) {
        FMethod.Code.Callable = std::make_shared<std::function<void(Args...)>>(std::forward<F>(f));
        FMethod.Code.Invoker = reinterpret_cast<TGenericFn>(&detail::InvokeCallable<Args...>);
        FMethod.Code.Signature = &typeid(void(Args...));
    }

    // An event from a generic method pointer; raises EPropertyError when the
    // method's signature is not this event's.
    static TEvent FromMethod(const TMethod& m) {
        TEvent e;
        if (!m.Assigned()) return e;
        if (m.Code.Signature == nullptr || *m.Code.Signature != typeid(void(Args...)))
            detail::RaiseIncompatibleMethod(m, typeid(void(Args...)));
        e.FMethod = m;
        return e;
    }
    const TMethod& Method() const { return FMethod; }

    bool Assigned() const { return FMethod.Assigned(); }
    explicit operator bool() const { return Assigned(); }
    TObject* Data() const { return FMethod.Data; }

    void operator()(Args... args) const {
        if (!FMethod.Assigned()) return;
        auto fn = reinterpret_cast<void (*)(TObject*, const TMethodCode&, Args...)>(FMethod.Code.Invoker);
        fn(FMethod.Data, FMethod.Code, std::forward<Args>(args)...);
    }

    bool operator==(const TEvent& o) const { return FMethod == o.FMethod; }
    bool operator==(std::nullptr_t) const { return !Assigned(); }

private:
    TMethod FMethod;
};

using TNotifyEvent = TEvent<TObject*>;

// A method pointer for Obj's member Fn, as the framework's "Obj.Method" expression.
template <class O, class C, class... Args>
TEvent<Args...> MakeEvent(O* obj, void (C::*fn)(Args...)) {
    return TEvent<Args...>(obj, fn);
}

}  // namespace host

// Unit Ryxfact: the form factory through which the package creates its dialogs, so that an application can replace any of them with a form class of its own.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/rtl/object.h"

namespace host {
class TComponent;
class TCustomForm;
}  // namespace host

namespace ryx {

// Form classes registered under the class names of the base form classes they
// stand in for. The look-up is by class name (ASCII case ignored), not by class
// identity, so two classes of the same name share one entry.
class TryxFormFactory : public host::TObject {
    HOST_CLASS(TryxFormFactory, host::TObject)
public:
    TryxFormFactory() = default;
    ~TryxFormFactory() override;

    // FormClass must be BaseClass or derive from it, else raises Exception
    // "Form Factory error: <form class> does not inherit from <base class>".
    // Replaces an earlier registration for BaseClass and registers FormClass with
    // the streaming system.
    void RegisterFormClass(host::TClass BaseClass, host::TClass FormClass);
    void RegisterBaseFormClass(host::TClass BaseClass) { RegisterFormClass(BaseClass, BaseClass); }
    // Removes the entry of BaseClass and unregisters its form class from the
    // streaming system; nothing when absent.
    void UnRegisterFormClass(host::TClass BaseClass);
    // The form class registered for BaseClass's name, or nullptr.
    host::TClass GetFormClass(host::TClass BaseClass) const;
    // An instance of GetFormClass(BaseClass) made through its virtual constructor
    // with Owner, or nullptr when nothing is registered.
    host::TCustomForm* CreateFormOfClass(host::TClass BaseClass, host::TComponent* Owner) const;

    int Count() const { return int(FList.size()); }

private:
    // Sorted by base class name, ASCII case ignored.
    std::vector<std::pair<std::string, host::TClass>> FList;

    int IndexOf(const std::string& BaseName) const;
};

// The one form factory, made on the first call; freed by the unit's
// finalisation, after which a call makes a new one.
TryxFormFactory* ryxFormFactory();
void ryxFreeFormFactory();

}  // namespace ryx

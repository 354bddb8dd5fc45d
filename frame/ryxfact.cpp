// Unit Ryxfact: the form factory and its process-wide instance.
#include "frame/ryxfact.h"

#include <algorithm>

#include "host/controls/forms.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/sysutils.h"

namespace ryx {

using namespace host;

namespace {
TryxFormFactory* Instance = nullptr;

bool NameLess(const std::string& A, const std::string& B) { return CompareText(A, B) < 0; }
}  // namespace

TryxFormFactory::~TryxFormFactory() {
    if (Instance == this) Instance = nullptr;
}

int TryxFormFactory::IndexOf(const std::string& BaseName) const {
    auto it = std::lower_bound(FList.begin(), FList.end(), BaseName,
                               [](const auto& Entry, const std::string& Name) { return NameLess(Entry.first, Name); });
    return it != FList.end() && SameText(it->first, BaseName) ? int(it - FList.begin()) : -1;
}

void TryxFormFactory::RegisterFormClass(TClass BaseClass, TClass FormClass) {
    if (!BaseClass || !FormClass || !FormClass->InheritsFrom(BaseClass))
        throw Exception(std::string("Form Factory error: ") + (FormClass ? FormClass->ClassName() : "nil") +
                        " does not inherit from " + (BaseClass ? BaseClass->ClassName() : "nil"));
    UnRegisterFormClass(BaseClass);
    RegisterClass(FormClass);
    std::string name = BaseClass->ClassName();
    auto at = std::lower_bound(FList.begin(), FList.end(), name,
                               [](const auto& Entry, const std::string& Name) { return NameLess(Entry.first, Name); });
    FList.insert(at, {name, FormClass});
}

void TryxFormFactory::UnRegisterFormClass(TClass BaseClass) {
    if (!BaseClass) return;
    int k = IndexOf(BaseClass->ClassName());
    if (k < 0) return;
    TClass form = FList[size_t(k)].second;
    FList.erase(FList.begin() + k);
    UnRegisterClass(form);
}

TClass TryxFormFactory::GetFormClass(TClass BaseClass) const {
    if (!BaseClass) return nullptr;
    int k = IndexOf(BaseClass->ClassName());
    return k < 0 ? nullptr : FList[size_t(k)].second;
}

TCustomForm* TryxFormFactory::CreateFormOfClass(TClass BaseClass, TComponent* Owner) const {
    TClass form = GetFormClass(BaseClass);
    return form ? form->Create<TCustomForm>(Owner) : nullptr;
}

TryxFormFactory* ryxFormFactory() {
    if (!Instance) Instance = new TryxFormFactory;
    return Instance;
}

void ryxFreeFormFactory() { delete Instance; }

}  // namespace ryx

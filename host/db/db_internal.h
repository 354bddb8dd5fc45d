// Helpers shared by the dataset framework's sources: name lists and value arrays.
#pragma once

#include <string>
#include <vector>

#include "host/rtl/variants.h"

namespace host::detail {

// The names of a ';'-separated list, blanks around each dropped, empty ones left out.
std::vector<std::string> SplitNames(const std::string& Names);

// The values of several fields or parameters: one value, or a variant array for several.
template <class T>
TVariant ValuesOf(const std::vector<T*>& Items) {
    if (Items.size() == 1) return Items[0]->Value();
    TVariant arr = VarArrayCreate({0, static_cast<int>(Items.size()) - 1}, varVariant);
    for (size_t i = 0; i < Items.size(); ++i) arr.Put(static_cast<int>(i), Items[i]->Value());
    return arr;
}

// Sets them from one value or from the elements of an array, in order.
template <class T>
void SetValuesOf(const std::vector<T*>& Items, const TVariant& Value) {
    if (Items.size() == 1 && !VarIsArray(Value)) {
        Items[0]->SetValue(Value);
        return;
    }
    for (size_t i = 0; i < Items.size(); ++i) Items[i]->SetValue(Value[static_cast<int>(i)]);
}

}  // namespace host::detail

// Conversions shared by the engine datasets: field types, native values, variants and parameter values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/db/db.h"
#include "host/db/dbiengine.h"

namespace host::dbtables {

// The framework field type of an engine field, and its size as TFieldDef::Size.
TFieldType FieldTypeOf(const FLDDesc& Fld);
int FieldSizeOf(const FLDDesc& Fld);
// The engine field for a field definition (type, subtype, units, required).
FLDDesc FldDescOf(const std::string& Name, TFieldType Type, int Size, int Precision, bool Required);

// Value in the engine's native layout of Fld (Native must hold Fld.iLen bytes).
// Raises EConvertError when the value is not one of the field's type.
void VariantToNative(const FLDDesc& Fld, const Variant& Value, void* Native);
Variant NativeToVariant(const FLDDesc& Fld, const void* Native);

// Parameter values to and from the engine.
DBIValue ParamToValue(const TParam* Param);
void ValueToParam(const DBIValue& Value, TParam* Param);
STMTParamType ParamTypeToEngine(TParamType Type);
TParamType ParamTypeFromEngine(STMTParamType Type);
TFieldType FieldTypeOfEngine(uint16_t FldType, uint16_t SubType);

// Names of a ';'-separated list, trimmed, empty ones dropped.
std::vector<std::string> SplitNames(const std::string& List);

// An element of a key-values variant: the value itself when Count is 1.
Variant KeyValue(const Variant& Values, int Index, int Count);

}  // namespace host::dbtables

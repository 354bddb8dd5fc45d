// Integer limits and ceiling, and conversions between the framework's tagged argument records and variants.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace host {
class TVarRec;
class TVariant;
}  // namespace host

namespace ryx {

// Clamps Value to limits of which Default means "no limit": Min when
// Value < Min and Min != Default; else Value when Value <= Max; else Max when
// Max != Default; else Value.
int ryxMinMaxNotDefault(int Value, int Min, int Max, int Default);
// Min when Value < Min; else the smaller of Value and Max.
int ryxMinMax(int Value, int Min, int Max);
int ryxMin(int A, int B);
int ryxMax(int A, int B);
// The smallest and largest element; an empty array raises ERangeError.
int ryxMinArray(std::span<const int> Values);
int ryxMaxArray(std::span<const int> Values);
// Trunc(X) + 1 when X has a positive fraction, else Trunc(X)
// (so -2.5 gives -2). Raises ERangeError when X does not fit 64 bits.
int64_t ryxCeil(long double X);

// A variant holding the value of one argument record: integers, Boolean,
// floating point, currency and strings keep their kind (a character becomes a
// one-character string); a nil pointer becomes Null. Any other pointer raises
// EVariantError.
host::TVariant ryxVarRecToVariant(const host::TVarRec& Rec);
// A one-dimensional variant array (bounds 0..n-1, elements of type Variant).
host::TVariant ryxConstArrayToVariantArray(std::span<const host::TVarRec> Recs);
// The argument record for a variant's value; Empty and Null become a nil
// pointer. Arrays raise EVariantError.
host::TVarRec ryxVariantToVarRec(const host::TVariant& V);
// The records of the elements of a one-dimensional variant array, low bound
// first; a variant that is not an array gives one record.
std::vector<host::TVarRec> ryxVariantToVarRecArray(const host::TVariant& V);

}  // namespace ryx

// The value types of the framework's binary object stream (form files), and its
// conversions between double and the 10-byte extended float.
#pragma once

#include <cstdint>

namespace host {

enum TValueType : uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
};
constexpr uint8_t vaLastValueType = vaInt64;

// Filer flags of a component's prefix byte (0xF0 | flags).
enum TFilerFlag : uint8_t { ffInherited = 1, ffChildPos = 2, ffInline = 4 };

// The signature that opens a binary object stream.
constexpr char FilerSignature[4] = {'T', 'P', 'F', '0'};

// Little-endian 80-bit extended precision, as stored after vaExtended. The
// conversion is exact from double to extended; extended to double rounds to nearest.
void DoubleToExtended(double Value, uint8_t Out[10]);
double ExtendedToDouble(const uint8_t In[10]);

}  // namespace host

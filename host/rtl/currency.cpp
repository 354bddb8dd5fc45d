// Currency: conversion from floating point with banker's rounding and range checks.
#include "host/rtl/currency.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "host/rtl/exceptions.h"

namespace host {

Currency Currency::FromDouble(double d) {
    if (std::isnan(d)) throw EInvalidOp("Invalid floating point operation: NaN cannot be converted to Currency");
    // The product in extended precision keeps the 64-bit range exact; nearbyint
    // rounds halves to even under the default rounding mode.
    long double scaled = std::nearbyint(static_cast<long double>(d) * 10000.0L);
    if (!(scaled >= -9223372036854775808.0L && scaled < 9223372036854775808.0L)) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15g", d);
        throw EOverflow(std::string("Floating point overflow: ") + buf + " is outside the Currency range");
    }
    return Currency{static_cast<int64_t>(scaled)};
}

}  // namespace host

// Currency: the framework's fixed-point money type, an integer count of ten-thousandths.
#pragma once

#include <compare>
#include <cstdint>

namespace host {

struct Currency {
    int64_t Value = 0;  // the amount times 10,000

    static constexpr Currency FromScaled(int64_t scaled) { return Currency{scaled}; }
    // Rounds to the nearest ten-thousandth, halves to even, as the framework's
    // conversion from floating point does. Raises EOverflow outside the range.
    static Currency FromDouble(double d);
    double ToDouble() const { return static_cast<double>(Value) / 10000.0; }

    constexpr Currency operator+(Currency o) const { return Currency{Value + o.Value}; }
    constexpr Currency operator-(Currency o) const { return Currency{Value - o.Value}; }
    constexpr Currency operator-() const { return Currency{-Value}; }
    constexpr auto operator<=>(const Currency&) const = default;
};

}  // namespace host

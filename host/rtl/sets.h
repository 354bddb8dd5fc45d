// TSet<E>: the framework's "set of" type over an enumeration (or char), up to 256 members.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace host {

template <class E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> items) {
        for (E e : items) Include(e);
    }
    // A set from its ordinal image: bit i stands for the member of ordinal i
    // (how published sets of up to 32 members are read and written as integers).
    static constexpr TSet FromBits(uint64_t bits) {
        TSet s;
        s.FWords[0] = bits;
        return s;
    }
    constexpr uint64_t Bits() const { return FWords[0]; }

    constexpr bool Contains(E e) const {
        unsigned i = Index(e);
        return (FWords[i >> 6] >> (i & 63)) & 1u;
    }
    constexpr TSet& Include(E e) {
        unsigned i = Index(e);
        FWords[i >> 6] |= uint64_t(1) << (i & 63);
        return *this;
    }
    constexpr TSet& Exclude(E e) {
        unsigned i = Index(e);
        FWords[i >> 6] &= ~(uint64_t(1) << (i & 63));
        return *this;
    }
    constexpr bool Empty() const { return (FWords[0] | FWords[1] | FWords[2] | FWords[3]) == 0; }

    constexpr TSet operator+(const TSet& o) const { return Combine(o, [](uint64_t a, uint64_t b) { return a | b; }); }
    constexpr TSet operator*(const TSet& o) const { return Combine(o, [](uint64_t a, uint64_t b) { return a & b; }); }
    constexpr TSet operator-(const TSet& o) const { return Combine(o, [](uint64_t a, uint64_t b) { return a & ~b; }); }
    constexpr TSet& operator+=(const TSet& o) { return *this = *this + o; }
    constexpr TSet& operator*=(const TSet& o) { return *this = *this * o; }
    constexpr TSet& operator-=(const TSet& o) { return *this = *this - o; }
    constexpr TSet operator+(E e) const { return TSet(*this).Include(e); }
    constexpr TSet operator-(E e) const { return TSet(*this).Exclude(e); }
    constexpr TSet& operator<<(E e) { return Include(e); }
    constexpr TSet& operator>>(E e) { return Exclude(e); }
    // Subset and superset, as the framework's <= and >= on sets.
    constexpr bool operator<=(const TSet& o) const { return (*this - o).Empty(); }
    constexpr bool operator>=(const TSet& o) const { return (o - *this).Empty(); }
    constexpr bool operator==(const TSet& o) const = default;

private:
    static constexpr unsigned Index(E e) { return static_cast<unsigned>(static_cast<uint8_t>(e)); }
    template <class F>
    constexpr TSet Combine(const TSet& o, F f) const {
        TSet r;
        for (int i = 0; i < 4; ++i) r.FWords[i] = f(FWords[i], o.FWords[i]);
        return r;
    }
    uint64_t FWords[4] = {0, 0, 0, 0};
};

}  // namespace host

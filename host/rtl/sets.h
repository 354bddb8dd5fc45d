// TSet<E>: the framework's "set of" type over an enumeration (or char), up to 256 members.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace host {

namespace detail {
// The number of names in a HOST_ENUM declaration's value list, at compile time.
constexpr int CountEnumNames(const char* s) {
    int n = 0;
    bool inName = false;
    for (; *s; ++s) {
        if (*s == ',') {
            inName = false;
        } else if (*s != ' ' && *s != '\t' && *s != '\n' && !inName) {
            inName = true;
            ++n;
        }
    }
    return n;
}
// Words of 64 bits a set of E needs: enumerations declared with HOST_ENUM know
// their size; anything else (char, plain enums) gets room for 256 members.
template <class E>
constexpr int SetWords() {
    if constexpr (requires { HostEnumCount(static_cast<const E*>(nullptr)); })
        return HostEnumCount(static_cast<const E*>(nullptr)) > 64 ? (HostEnumCount(static_cast<const E*>(nullptr)) + 63) / 64 : 1;
    else
        return 4;
}
}  // namespace detail

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
        return (i >> 6) < kWords && ((FWords[i >> 6] >> (i & 63)) & 1u);
    }
    // Members beyond the set's type are ignored, as they cannot be values of it.
    constexpr TSet& Include(E e) {
        unsigned i = Index(e);
        if ((i >> 6) < kWords) FWords[i >> 6] |= uint64_t(1) << (i & 63);
        return *this;
    }
    constexpr TSet& Exclude(E e) {
        unsigned i = Index(e);
        if ((i >> 6) < kWords) FWords[i >> 6] &= ~(uint64_t(1) << (i & 63));
        return *this;
    }
    constexpr bool Empty() const {
        for (int i = 0; i < kWords; ++i)
            if (FWords[i] != 0) return false;
        return true;
    }

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
        for (int i = 0; i < kWords; ++i) r.FWords[i] = f(FWords[i], o.FWords[i]);
        return r;
    }
    static constexpr int kWords = detail::SetWords<E>();
    uint64_t FWords[kWords] = {};
};

}  // namespace host

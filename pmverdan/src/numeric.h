// Small numeric helpers shared by the model's routines.
#pragma once

#include <cstdint>

namespace pmverdan {

// a - b when a exceeds b, else 0 (0 as well when either is NaN).
inline double positiveDifference(double a, double b) {
    return a > b ? a - b : 0.0;
}

// x truncated toward zero and clamped to [lo, hi]; NaN gives lo. Used wherever a real
// number becomes an index, so that no conversion can overflow or leave an array.
inline int32_t truncateInto(double x, int32_t lo, int32_t hi) {
    if (!(x > lo)) {
        return lo;
    }
    if (x >= hi) {
        return hi;
    }
    return static_cast<int32_t>(x);
}

// The larger and the smaller of two values, taken by value: the records are packed, so their
// fields may be misaligned and must not be bound to references (std::max takes references).
template <typename T> constexpr T maxOf(T a, T b) {
    return a < b ? b : a;
}
template <typename T> constexpr T minOf(T a, T b) {
    return b < a ? b : a;
}

// Raises the error indicator to at least the given level.
inline void raiseError(int32_t& kwx, int32_t level) {
    if (kwx < level) {
        kwx = level;
    }
}

} // namespace pmverdan

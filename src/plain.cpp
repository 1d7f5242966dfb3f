// Plain kernels: scalar x86-64 baseline code, one element at a time, in increasing order.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

#include "orvex/orvex.h"
#include "table_exp.h"

namespace NOrvex {
namespace {

// e^x in double. The table is built on the first argument strictly inside the limits, once
// per process; arguments at or beyond the limits need no table. The kernels keep NaN away.
inline double TableExp(double x) {
    if (x <= NDetail::kExpLowerLimit) {
        return 0.0;
    }
    if (x >= NDetail::kExpUpperLimit) {
        return std::numeric_limits<double>::infinity();
    }
    static const NDetail::ExpTable expTable;
    return NDetail::TableExpCore(expTable, x);
}

// NaN results are set explicitly instead of being left to the arithmetic: which of two NaN
// operands an operation returns (x's, or the one TableExp's scale word forms from some payloads)
// and whether a negation of x reaches the result depend on how the compiler orders and folds
// the operations, so GCC and Clang, optimised or not, would disagree.
// The input NaN quieted (the top fraction bit set), sign and payload kept; with Negate, its sign
// flipped too, as the sigmoid's formula negates x.
template <bool Negate = false, class T>
inline T QuietNaN(T x) {
    using U = std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>;
    constexpr U kSign = U{1} << (8 * sizeof(T) - 1);
    constexpr U kQuiet = U{1} << (std::numeric_limits<T>::digits - 2);
    U bits;
    std::memcpy(&bits, &x, sizeof bits);
    bits |= kQuiet;
    if constexpr (Negate) {
        bits ^= kSign;
    }
    std::memcpy(&x, &bits, sizeof x);
    return x;
}
template <class T>
inline T NegatedQuietNaN(T x) {
    return QuietNaN<true>(x);
}

}  // namespace

void ExpPlain(const double* src, size_t count, double* dst) {
    for (size_t i = 0; i < count; ++i) {
        const double x = src[i];
        dst[i] = std::isnan(x) ? QuietNaN(x) : TableExp(x);
    }
}

void ExpPlain(const float* src, size_t count, float* dst) {
    for (size_t i = 0; i < count; ++i) {
        const float x = src[i];
        dst[i] = std::isnan(x) ? QuietNaN(x) : static_cast<float>(TableExp(static_cast<double>(x)));
    }
}

void LogPlain(const double* src, size_t count, double* dst) {
    for (size_t i = 0; i < count; ++i) {
        dst[i] = std::log(src[i]);
    }
}

void LogPlain(const float* src, size_t count, float* dst) {
    for (size_t i = 0; i < count; ++i) {
        dst[i] = static_cast<float>(std::log(static_cast<double>(src[i])));
    }
}

// TableExp's limits applied to -x give e = 0 (result 1) and e = +inf (result 0).
void SigmoidPlain(const double* src, size_t count, double* dst) {
    for (size_t i = 0; i < count; ++i) {
        const double x = src[i];
        if (std::isnan(x)) {
            dst[i] = NegatedQuietNaN(x);
            continue;
        }
        const double e = TableExp(-x);
        dst[i] = 1.0 / (e + 1.0);
    }
}

void SigmoidPlain(const float* src, size_t count, float* dst) {
    for (size_t i = 0; i < count; ++i) {
        const float x = src[i];
        if (std::isnan(x)) {
            dst[i] = NegatedQuietNaN(x);
            continue;
        }
        const float a = -x;
        const float e = static_cast<float>(TableExp(static_cast<double>(a)));
        dst[i] = 1.0f / (e + 1.0f);
    }
}

void TanhPlain(const double* src, size_t count, double* dst) {
    for (size_t i = 0; i < count; ++i) {
        const double x = src[i];
        if (std::isnan(x)) {
            dst[i] = QuietNaN(x);
            continue;
        }
        const double e = TableExp(-2.0 * x);
        dst[i] = 2.0 / (e + 1.0) - 1.0;
    }
}

// -2x is formed in single precision, so it overflows to +-inf for huge |x|.
void TanhPlain(const float* src, size_t count, float* dst) {
    for (size_t i = 0; i < count; ++i) {
        const float x = src[i];
        if (std::isnan(x)) {
            dst[i] = QuietNaN(x);
            continue;
        }
        const float a = -2.0f * x;
        const float e = static_cast<float>(TableExp(static_cast<double>(a)));
        dst[i] = 2.0f / (e + 1.0f) - 1.0f;
    }
}

}  // namespace NOrvex

// Plain kernels: scalar x86-64 baseline code, one element at a time, in increasing order.
#include <cmath>
#include <limits>

#include "orvex/orvex.h"
#include "table_exp.h"

namespace NOrvex {
namespace {

// e^x in double. The table is built on the first argument strictly inside the limits, once
// per process; arguments at or beyond the limits (and NaN handling) need no table.
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

}  // namespace

void ExpPlain(const double* src, size_t count, double* dst) {
    for (size_t i = 0; i < count; ++i) {
        dst[i] = TableExp(src[i]);
    }
}

void ExpPlain(const float* src, size_t count, float* dst) {
    for (size_t i = 0; i < count; ++i) {
        dst[i] = static_cast<float>(TableExp(static_cast<double>(src[i])));
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
        const double e = TableExp(-src[i]);
        dst[i] = 1.0 / (e + 1.0);
    }
}

void SigmoidPlain(const float* src, size_t count, float* dst) {
    for (size_t i = 0; i < count; ++i) {
        const float a = -src[i];
        const float e = static_cast<float>(TableExp(static_cast<double>(a)));
        dst[i] = 1.0f / (e + 1.0f);
    }
}

void TanhPlain(const double* src, size_t count, double* dst) {
    for (size_t i = 0; i < count; ++i) {
        const double e = TableExp(-2.0 * src[i]);
        dst[i] = 2.0 / (e + 1.0) - 1.0;
    }
}

// -2x is formed in single precision, so it overflows to +-inf for huge |x|.
void TanhPlain(const float* src, size_t count, float* dst) {
    for (size_t i = 0; i < count; ++i) {
        const float a = -2.0f * src[i];
        const float e = static_cast<float>(TableExp(static_cast<double>(a)));
        dst[i] = 2.0f / (e + 1.0f) - 1.0f;
    }
}

}  // namespace NOrvex

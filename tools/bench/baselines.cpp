// Reference implementations of the benchmark (see baselines.h). Compiled for the x86-64
// baseline: the vector forms use SSE2 only. Every step is a separate IEEE operation in the order
// written (the project builds with -ffp-contract=off).
#include "baselines.h"

#include <emmintrin.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "table_exp.h"

namespace NOrvexBench {

// ---- Slow references: the system library's double functions, one element at a time. ----

void SlowExp(const float* src, size_t count, float* dst) {
    for (size_t i = 0; i < count; ++i) {
        dst[i] = static_cast<float>(std::exp(static_cast<double>(src[i])));
    }
}

void SlowExp(const double* src, size_t count, double* dst) {
    for (size_t i = 0; i < count; ++i) {
        dst[i] = std::exp(src[i]);
    }
}

void SlowLog(const float* src, size_t count, float* dst) {
    for (size_t i = 0; i < count; ++i) {
        dst[i] = static_cast<float>(std::log(static_cast<double>(src[i])));
    }
}

void SlowLog(const double* src, size_t count, double* dst) {
    for (size_t i = 0; i < count; ++i) {
        dst[i] = std::log(src[i]);
    }
}

void SlowSigmoid(const float* src, size_t count, float* dst) {
    for (size_t i = 0; i < count; ++i) {
        const float negated = -src[i];  // negated as a float, then widened
        dst[i] = static_cast<float>(1.0 / (std::exp(static_cast<double>(negated)) + 1.0));
    }
}

void SlowSigmoid(const double* src, size_t count, double* dst) {
    for (size_t i = 0; i < count; ++i) {
        dst[i] = 1.0 / (std::exp(-src[i]) + 1.0);
    }
}

void SlowTanh(const float* src, size_t count, float* dst) {
    for (size_t i = 0; i < count; ++i) {
        dst[i] = static_cast<float>(std::tanh(static_cast<double>(src[i])));
    }
}

void SlowTanh(const double* src, size_t count, double* dst) {
    for (size_t i = 0; i < count; ++i) {
        dst[i] = std::tanh(src[i]);
    }
}

namespace {

float FloatFromBits(std::uint32_t bits) {
    float x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

std::uint32_t BitsOfFloat(float x) {
    std::uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

// ---- float exponential: e^x = 2^(r/1024) * (1 + remainder), r = round(x * 1024 / ln 2). ----

// Each constant is held as eight equal lanes; the four-lane code reads the first four.
struct alignas(32) FmathExpFloatTable {
    float lowerClamp[8];
    float upperClamp[8];
    float a[8];
    float b[8];
    float one[8];
    std::int32_t expBias[8];
    std::int32_t indexMask[8];
    std::int32_t absMask[8];
    std::uint32_t table[1024];

    FmathExpFloatTable() {
        for (int lane = 0; lane < 8; ++lane) {
            lowerClamp[lane] = FloatFromBits(0xC2B00000);  // -88.0
            upperClamp[lane] = FloatFromBits(0x42B00000);  // 88.0
            a[lane] = FloatFromBits(0x44B8AA3B);           // 1477.3197, 1024 / ln 2
            b[lane] = FloatFromBits(0x3A317218);           // 0.000676901545, ln 2 / 1024
            one[lane] = 1.0f;
            expBias[lane] = 0x1FC00;  // 127 * 1024
            indexMask[lane] = 0x3FF;
            absMask[lane] = 0x7FFFFFFF;
        }
        for (int i = 0; i < 1024; ++i) {
            const float exponent = static_cast<float>(i) * 0.0009765625f;  // i / 1024, exact
            const float power = static_cast<float>(std::pow(2.0, static_cast<double>(exponent)));
            table[i] = BitsOfFloat(power) & 0x7FFFFF;
        }
    }
};

const FmathExpFloatTable& GetFmathExpFloatTable() {
    static const FmathExpFloatTable table;
    return table;
}

__m128 FmathExpBlock(const FmathExpFloatTable& tab, __m128 x) {
    const __m128i absMask = _mm_load_si128(reinterpret_cast<const __m128i*>(tab.absMask));
    const __m128 upper = _mm_load_ps(tab.upperClamp);
    // A lane beyond +-88, infinite or NaN clamps the whole block. The clamp is the second
    // operand of min and max, which is what they return for a NaN lane.
    const __m128i magnitude = _mm_and_si128(_mm_castps_si128(x), absMask);
    const __m128i beyond = _mm_cmpgt_epi32(magnitude, _mm_castps_si128(upper));
    if (_mm_movemask_epi8(beyond) != 0) {
        x = _mm_min_ps(x, upper);
        x = _mm_max_ps(x, _mm_load_ps(tab.lowerClamp));
    }
    const __m128i r = _mm_cvtps_epi32(_mm_mul_ps(x, _mm_load_ps(tab.a)));
    const __m128 rb = _mm_mul_ps(_mm_cvtepi32_ps(r), _mm_load_ps(tab.b));
    const __m128 t = _mm_add_ps(_mm_sub_ps(x, rb), _mm_load_ps(tab.one));
    const __m128i v = _mm_and_si128(r, _mm_load_si128(reinterpret_cast<const __m128i*>(tab.indexMask)));
    const __m128i biased = _mm_add_epi32(r, _mm_load_si128(reinterpret_cast<const __m128i*>(tab.expBias)));
    const __m128i u = _mm_slli_epi32(_mm_srli_epi32(biased, 10), 23);
    alignas(16) std::int32_t index[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(index), v);
    const __m128i mantissa = _mm_set_epi32(static_cast<int>(tab.table[index[3]]), static_cast<int>(tab.table[index[2]]),
                                           static_cast<int>(tab.table[index[1]]), static_cast<int>(tab.table[index[0]]));
    const __m128 f = _mm_castsi128_ps(_mm_or_si128(u, mantissa));
    return _mm_mul_ps(t, f);
}

// ---- double exponential: the scalar table exponential on two lanes, clamped instead of tested. ----

const NOrvex::NDetail::ExpTable& GetFmathExpDoubleTable() {
    static const NOrvex::NDetail::ExpTable table;
    return table;
}

constexpr double kPairUpperClamp = 0x1.62e4305b03696p+9;  // 0x40862E4305B03696, 709.78272569338401
constexpr double kPairLowerClamp = -0x1.6232bdd7abcd2p+9;  // 0xC086232BDD7ABCD2, -708.39641853226408

__m128d FmathExpPair(const NOrvex::NDetail::ExpTable& tab, __m128d x) {
    // The bound is the second operand of min, so a NaN lane takes it.
    x = _mm_min_pd(x, _mm_set1_pd(kPairUpperClamp));
    x = _mm_max_pd(x, _mm_set1_pd(kPairLowerClamp));
    const __m128d d = _mm_add_pd(_mm_mul_pd(x, _mm_set1_pd(tab.scale)), _mm_set1_pd(NOrvex::NDetail::kExpRound));
    const __m128i dBits = _mm_castpd_si128(d);
    alignas(16) std::uint64_t index[2];
    _mm_store_si128(reinterpret_cast<__m128i*>(index), _mm_and_si128(dBits, _mm_set1_epi64x(0x7FF)));
    const __m128d t = _mm_sub_pd(
        _mm_mul_pd(_mm_add_pd(d, _mm_set1_pd(-NOrvex::NDetail::kExpRound)), _mm_set1_pd(tab.invScale)), x);
    // d holds 3 * 2^51 + k, so its pattern is 0x4338000000000000 + k: adding the bias offset and
    // shifting leaves floor(k / 2048) + 1023 in the exponent field, as in the scalar form.
    const __m128i exponent = _mm_slli_epi64(
        _mm_srli_epi64(_mm_add_epi64(dBits, _mm_set1_epi64x(static_cast<long long>(NOrvex::NDetail::kExpBiasOffset))),
                       11),
        52);
    const __m128i mantissa = _mm_set_epi64x(static_cast<long long>(tab.mantissa[index[1]]),
                                            static_cast<long long>(tab.mantissa[index[0]]));
    const __m128d scale = _mm_castsi128_pd(_mm_or_si128(exponent, mantissa));
    __m128d y = _mm_mul_pd(t, t);
    y = _mm_mul_pd(y, _mm_sub_pd(_mm_loadu_pd(tab.three), t));
    y = _mm_mul_pd(y, _mm_loadu_pd(tab.sixth));
    y = _mm_sub_pd(y, t);
    y = _mm_add_pd(y, _mm_loadu_pd(tab.one));
    return _mm_mul_pd(scale, y);
}

double FmathExpSingle(const NOrvex::NDetail::ExpTable& tab, double x) {
    if (x <= NOrvex::NDetail::kExpLowerLimit) {
        return 0.0;
    }
    if (x >= NOrvex::NDetail::kExpUpperLimit) {
        return HUGE_VAL;
    }
    return NOrvex::NDetail::TableExpCore(tab, x);
}

// ---- logarithm: exponent field times ln 2, plus a linear interpolation in 2048 intervals. ----

struct FmathLogTable {
    struct Entry {
        float value;
        float slope;
    };
    Entry table[2048];
    float c;

    FmathLogTable() {
        for (int i = 0; i < 2048; ++i) {
            const double x = static_cast<double>(i) * 0.00048828125 + 1.0;  // 1 + i / 2048
            table[i].value = static_cast<float>(std::log(x));
            if (i < 2047) {
                // Slope per unit of the 12 low mantissa bits: (1/2048 - 2^-24) * 2^23 = 4095.5.
                const double next = std::log((0.00048828125 + x) - 0x1p-24);
                table[i].slope = static_cast<float>((next - std::log(x)) / 4095.5);
            } else {
                table[i].slope = static_cast<float>(1.0 / (x * 8388608.0));
            }
        }
        c = FloatFromBits(0x33B17218);  // 8.26295832e-08, ln 2 / 2^23
    }
};

const FmathLogTable& GetFmathLogTable() {
    static const FmathLogTable table;
    return table;
}

float FmathLogOne(const FmathLogTable& tab, float x) {
    const std::uint32_t w = BitsOfFloat(x);
    const float e = static_cast<float>(static_cast<std::int32_t>((w & 0x7F800000u) - 0x3F800000u));
    const std::uint32_t i = (w >> 12) & 0x7FF;
    const float m = static_cast<float>(w & 0xFFF);
    const float base = e * tab.c + tab.table[i].value;
    return base + m * tab.table[i].slope;
}

}  // namespace

void FmathExp(const float* src, size_t count, float* dst) {
    const FmathExpFloatTable& tab = GetFmathExpFloatTable();
    const size_t blocks = count - count % 4;
    for (size_t i = 0; i < blocks; i += 4) {
        _mm_store_ps(dst + i, FmathExpBlock(tab, _mm_load_ps(src + i)));
    }
}

void FmathExp(const double* src, size_t count, double* dst) {
    if (count != 0 && src != dst) {
        std::memcpy(dst, src, count * sizeof(double));
    }
    const NOrvex::NDetail::ExpTable& tab = GetFmathExpDoubleTable();
    const size_t pairs = count - count % 2;
    for (size_t i = 0; i < pairs; i += 2) {
        _mm_storeu_pd(dst + i, FmathExpPair(tab, _mm_loadu_pd(dst + i)));
    }
    if (count % 2 != 0) {
        dst[count - 1] = FmathExpSingle(tab, dst[count - 1]);
    }
}

void FmathLog(const float* src, size_t count, float* dst) {
    const FmathLogTable& tab = GetFmathLogTable();
    for (size_t i = 0; i < count; ++i) {
        dst[i] = FmathLogOne(tab, src[i]);
    }
}

void FmathLog(const double* src, size_t count, double* dst) {
    const FmathLogTable& tab = GetFmathLogTable();
    for (size_t i = 0; i < count; ++i) {
        dst[i] = static_cast<double>(FmathLogOne(tab, static_cast<float>(src[i])));
    }
}

}  // namespace NOrvexBench

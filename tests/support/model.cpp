#include "support/model.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace NOrvexTest {

namespace {

// ---------------------------------------------------------------------------------------------
// Lane primitives. Integer steps work on unsigned bit patterns, so every shift and addition wraps
// like the vector instructions and nothing is undefined.

template <class T> struct Layout;
template <> struct Layout<float> {
    using U = std::uint32_t;
    static constexpr int kFracBits = 23;
    static constexpr U kSignBit = 0x80000000u;
    static constexpr U kQuietBit = 0x00400000u;
};
template <> struct Layout<double> {
    using U = std::uint64_t;
    static constexpr int kFracBits = 52;
    // The exponent fields serve the fused multiply-add on integers, which only double needs.
    static constexpr int kBias = 1023;
    static constexpr int kMaxBiased = 2047;
    static constexpr U kSignBit = 0x8000000000000000ull;
    static constexpr U kQuietBit = 0x0008000000000000ull;
};

template <class T> using UOf = typename Layout<T>::U;

template <class T> UOf<T> ToU(T x) {
    UOf<T> b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}
template <class T> T FromU(UOf<T> b) {
    T x;
    std::memcpy(&x, &b, sizeof x);
    return x;
}

template <class T> bool IsNaN(T x) { return !(x == x); }

// x86 NaN propagation: an operation with a NaN operand returns the first NaN operand with its
// quiet bit set (payload and sign kept). Used where a NaN can reach the arithmetic; everywhere
// else the operands are never NaN and the plain operators are the same thing.
template <class T> T Quiet(T x) { return FromU<T>(ToU(x) | Layout<T>::kQuietBit); }
template <class T> T Add(T a, T b) {
    if (IsNaN(a)) return Quiet(a);
    if (IsNaN(b)) return Quiet(b);
    return a + b;
}
template <class T> T Mul(T a, T b) {
    if (IsNaN(a)) return Quiet(a);
    if (IsNaN(b)) return Quiet(b);
    return a * b;
}
template <class T> T Div(T a, T b) {
    if (IsNaN(a)) return Quiet(a);
    if (IsNaN(b)) return Quiet(b);
    return a / b;
}

// ---------------------------------------------------------------------------------------------
// Fused multiply-add. The C library's software fma relies on the inexact flag of the
// floating-point environment, which emulators do not always keep, so the fused steps are done
// here with plain round-to-nearest arithmetic and integers only. The general path: a*b + c as an
// integer significand with a sticky bit, rounded once to nearest-even.

using U128 = unsigned __int128;

int Msb(U128 v) {
    const std::uint64_t hi = static_cast<std::uint64_t>(v >> 64);
    return hi != 0 ? 127 - __builtin_clzll(hi) : 63 - __builtin_clzll(static_cast<std::uint64_t>(v));
}

// value = (neg ? -1 : 1) * mant * 2^exp, for a finite nonzero x.
struct Unpacked {
    bool neg;
    U128 mant;
    int exp;
};

template <class T> Unpacked Unpack(T x) {
    using L = Layout<T>;
    const UOf<T> b = ToU(x);
    const int biased = static_cast<int>((b >> L::kFracBits) & static_cast<UOf<T>>(L::kMaxBiased));
    const UOf<T> frac = b & ((UOf<T>{1} << L::kFracBits) - 1);
    Unpacked u;
    u.neg = (b & L::kSignBit) != 0;
    if (biased == 0) {
        u.mant = frac;
        u.exp = 1 - L::kBias - L::kFracBits;
    } else {
        u.mant = frac | (UOf<T>{1} << L::kFracBits);
        u.exp = biased - L::kBias - L::kFracBits;
    }
    return u;
}

// Shifts the significand so that its top bit is bit 125, leaving room for the carry of a sum.
void Normalize(Unpacked& u) {
    const int shift = 125 - Msb(u.mant);
    u.mant <<= shift;
    u.exp -= shift;
}

template <class T> T Pack(bool neg, U128 mant, int exp) {
    using L = Layout<T>;
    using U = UOf<T>;
    const U sign = neg ? L::kSignBit : U{0};
    // Position of the last kept bit: full precision, or the subnormal grid.
    const int minLsb = 1 - L::kBias - L::kFracBits;
    const int top = Msb(mant) + exp;
    const int lsb = top - L::kFracBits > minLsb ? top - L::kFracBits : minLsb;
    const int shift = lsb - exp;
    U128 q;
    if (shift <= 0) {
        q = mant << -shift;
    } else if (shift >= 128) {
        q = 0;  // mant < 2^127 <= half of the last place
    } else {
        q = mant >> shift;
        const U128 rem = mant - (q << shift);
        const U128 half = U128{1} << (shift - 1);
        if (rem > half || (rem == half && (q & 1) != 0)) {
            ++q;
        }
    }
    int lsbExp = lsb;
    if (q == (U128{1} << (L::kFracBits + 1))) {
        q >>= 1;
        ++lsbExp;
    }
    if (q < (U128{1} << L::kFracBits)) {
        return FromU<T>(sign | static_cast<U>(q));  // subnormal or zero
    }
    const int biased = lsbExp - minLsb + 1;
    if (biased >= L::kMaxBiased) {
        return FromU<T>(sign | (static_cast<U>(L::kMaxBiased) << L::kFracBits));  // overflow: inf
    }
    const U frac = static_cast<U>(q) & ((U{1} << L::kFracBits) - 1);
    return FromU<T>(sign | (static_cast<U>(biased) << L::kFracBits) | frac);
}

// a*b + c on integers; any finite operands.
template <class T> T FusedMulAddOnIntegers(T a, T b, T c) {
    if (a == T(0) || b == T(0)) {
        return a * b + c;  // the product is an exact zero
    }
    if (c == T(0)) {
        return a * b;  // one rounding, the sign of the exact product
    }
    const Unpacked ua = Unpack(a);
    const Unpacked ub = Unpack(b);
    Unpacked x{ua.neg != ub.neg, ua.mant * ub.mant, ua.exp + ub.exp};
    Unpacked y = Unpack(c);
    Normalize(x);
    Normalize(y);
    if (y.exp > x.exp) {
        const Unpacked t = x;
        x = y;
        y = t;
    }
    // Align the smaller operand; bits shifted out leave a sticky bit.
    const int d = x.exp - y.exp;
    if (d >= 128) {
        y.mant = 1;
    } else if (d > 0) {
        const bool sticky = (y.mant & ((U128{1} << d) - 1)) != 0;
        y.mant = (y.mant >> d) | (sticky ? 1 : 0);
    }
    if (x.neg == y.neg) {
        return Pack<T>(x.neg, x.mant + y.mant, x.exp);
    }
    if (x.mant == y.mant) {
        return T(0);  // exact cancellation gives +0
    }
    return x.mant > y.mant ? Pack<T>(x.neg, x.mant - y.mant, x.exp) : Pack<T>(y.neg, y.mant - x.mant, x.exp);
}

// The faster exact paths: error-free transformations in round-to-nearest, and rounding to odd
// emulated from the exact error of a sum.
double TwoSumError(double x, double y, double s) {
    const double yv = s - x;
    const double xv = s - yv;
    return (x - xv) + (y - yv);
}

// x + y rounded to odd (truncated, last bit set when inexact); finite x + y.
double AddRoundToOdd(double x, double y) {
    const double s = x + y;
    const double err = TwoSumError(x, y, s);
    // Inexact with an even last bit: step to the odd neighbour on the side of the exact sum.
    const std::uint64_t b = ToU(s);
    const bool step = err != 0 && (b & 1) == 0;
    const std::uint64_t delta = (err > 0) == (s > 0) ? 1 : ~std::uint64_t{0};
    return FromU<double>(b + (step ? delta : 0));
}

bool InRange(double v, double lo, double hi) {
    const double m = std::fabs(v);
    return m >= lo && m <= hi;
}

}  // namespace

float FusedMulAdd(float a, float b, float c) {
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c)) {
        return static_cast<float>(static_cast<double>(a) * b + c);  // nothing to round
    }
    // The product is exact in double; rounding the sum to odd in 53 bits and then to nearest in
    // 24 is the same as rounding it to nearest once.
    const double p = static_cast<double>(a) * static_cast<double>(b);
    return static_cast<float>(AddRoundToOdd(p, c));
}

double FusedMulAdd(double a, double b, double c) {
    if (!std::isfinite(a) || !std::isfinite(b)) {
        return a * b + c;  // the product is exactly infinite or NaN
    }
    if (!std::isfinite(c)) {
        return c + 0.0;  // a finite product does not change an infinite or NaN c
    }
    const double lo = 0x1p-450;
    const double hi = 0x1p450;
    if (!InRange(a, lo, hi) || !InRange(b, lo, hi) || !InRange(c, 0x1p-900, 0x1p900)) {
        return FusedMulAddOnIntegers(a, b, c);  // zeros, and where the steps below could underflow
    }
    // Exact product uh + ul (Veltkamp split, Dekker product), exact sum th + tl = c + uh, then
    // th + (tl + ul) with the inner sum rounded to odd: correctly rounded without underflow.
    const double split = 134217729.0;  // 2^27 + 1
    const double uh = a * b;
    const double sa = split * a;
    const double ah = sa - (sa - a);
    const double al = a - ah;
    const double sb = split * b;
    const double bh = sb - (sb - b);
    const double bl = b - bh;
    const double ul = (((ah * bh - uh) + ah * bl) + al * bh) + al * bl;
    const double th = c + uh;
    const double tl = TwoSumError(c, uh, th);
    return th + AddRoundToOdd(tl, ul);
}

namespace {

// MINPS/MAXPS: the first operand if the comparison holds, otherwise the second, so a NaN first
// operand yields the second (the constant).
template <class T> T Min(T a, T c) { return a < c ? a : c; }
template <class T> T Max(T a, T c) { return a > c ? a : c; }

// a*b + c and a*b - c: one rounding on AVX2 (FMA3), a rounded product and a rounded sum on AVX.
// Each AVX sequence of the kernels was checked step by step to be exactly the unfused form of its
// AVX2 twin (same operands, same pairing; products and sums commute exactly), so one sequence
// written with these two models both tiers.
template <class T> T MulAdd(Tier tier, T a, T b, T c) {
    if (tier == Tier::Avx2) return FusedMulAdd(a, b, c);
    const T p = a * b;
    return p + c;
}
template <class T> T MulSub(Tier tier, T a, T b, T c) {
    if (tier == Tier::Avx2) return FusedMulAdd(a, b, -c);
    const T p = a * b;
    return p - c;
}

// Arithmetic right shift of a 32-bit lane, written on unsigned values.
std::uint32_t ShiftRightArith32(std::uint32_t v, int n) {
    const std::uint32_t fill = (v & 0x80000000u) != 0 ? ~(0xFFFFFFFFu >> n) : 0u;
    return (v >> n) | fill;
}

// ---------------------------------------------------------------------------------------------
// Base-2 exponential core.

template <class T> struct ExpConstants;

template <> struct ExpConstants<float> {
    static constexpr std::uint32_t kLog2e = 0x3FB8AA3B;          // 1.44269502
    static constexpr std::uint32_t kNegLog2e = 0xBFB8AA3B;       // -1.44269502 (sigmoid)
    static constexpr std::uint32_t kNeg2Log2e = 0xC038AA3B;      // -2.88539004 (tanh)
    static constexpr std::uint32_t kUpper = 0x43000000;          // 128.0
    static constexpr std::uint32_t kLowerFast = 0xC2FE0000;      // -127.0
    static constexpr std::uint32_t kLowerExact = 0xC3160000;     // -150.0
    static constexpr std::uint32_t kFast[3] = {
        0xBE9D2AE5,  // p0 = -0.306967884
        0xBD865310,  // p1 = -0.0655881166
        0xBC5E18ED,  // p2 = -0.0135557475
    };
    static constexpr std::uint32_t kExact[5] = {
        0xBE9D1BD5,  // p0 = -0.306852967
        0xBD8871E1,  // p1 = -0.0666234568
        0xBC36819E,  // p2 = -0.0111393016
        0xBABF8703,  // p3 = -0.00146123802
        0xB963B2D4,  // p4 = -0.000217150257
    };
    static constexpr std::uint32_t kOne = 0x3F800000;            // 1.0
    static constexpr std::uint32_t kTwo = 0x40000000;            // 2.0
    static constexpr std::uint32_t kMinusOne = 0xBF800000;       // -1.0
    static constexpr std::int32_t kSubnormalThreshold = -126;
    static constexpr std::int32_t kScaleOffset = 253;
};

template <> struct ExpConstants<double> {
    static constexpr std::uint64_t kLog2e = 0x3FF71547652B82FE;      // 1.4426950408889634
    static constexpr std::uint64_t kNegLog2e = 0xBFF71547652B82FE;   // -1.4426950408889634
    static constexpr std::uint64_t kNeg2Log2e = 0xC0071547652B82FE;  // -2.8853900817779268
    static constexpr std::uint64_t kUpper = 0x4090000000000000;      // 1024.0
    static constexpr std::uint64_t kLowerFast = 0xC08FF80000000000;  // -1023.0
    static constexpr std::uint64_t kLowerExact = 0xC090CC0000000000; // -1075.0
    static constexpr std::uint64_t kRound = 0x4338000000000000;      // 6755399441055744.0 = 1.5*2^52
    static constexpr std::uint64_t kFast[3] = {
        0xBFD3A55C9A802161,  // p0 = -0.30696787918033946
        0xBFB0CA61FE455FFA,  // p1 = -0.065588116243247813
        0xBF8BC31D985EF88C,  // p2 = -0.013555747234814917
    };
    static constexpr std::uint64_t kExact[7] = {
        0xBFD3A37A022642B8,  // p0 = -0.30685281953723686
        0xBFB10E6BFB76C4EF,  // p1 = -0.066626309292377547
        0xBF86C74189B0F4BF,  // p2 = -0.011122238173010833
        0xBF58A3D428B7B3D9,  // p3 = -0.0015039035669090954
        0xBF266F525BDEDC90,  // p4 = -0.0001711643253068146
        0xBEF0D7A8F6FF10AA,  // p5 = -1.6062185238544545e-05
        0xBEBF454369A1AF4E,  // p6 = -1.8638706138730086e-06
    };
    static constexpr std::uint64_t kOne = 0x3FF0000000000000;        // 1.0
    static constexpr std::uint64_t kTwo = 0x4000000000000000;        // 2.0
    static constexpr std::uint64_t kMinusOne = 0xBFF0000000000000;   // -1.0
    static constexpr std::int64_t kSubnormalThreshold = -1022;
    static constexpr std::int64_t kScaleOffset = 2045;
};

// The sigmoid and tanh scales are the exponential's scale negated, and negated and doubled.
template <class T> constexpr bool ScalesAreDerived() {
    using C = ExpConstants<T>;
    using U = UOf<T>;
    return C::kNegLog2e == (C::kLog2e ^ Layout<T>::kSignBit) &&
           C::kNeg2Log2e == ((C::kLog2e + (U{1} << Layout<T>::kFracBits)) ^ Layout<T>::kSignBit);
}
static_assert(ScalesAreDerived<float>() && ScalesAreDerived<double>(), "scale constants");

template <class T> T ExpConst(std::uint64_t bits) { return FromU<T>(static_cast<UOf<T>>(bits)); }

// Floored value (an integer of magnitude at most 1075) to a lane integer, as a bit pattern.
std::uint32_t FloorToInt(float n) { return static_cast<std::uint32_t>(static_cast<std::int32_t>(n)); }
// Double: through the rounding constant; the sum is exact and its low bits hold n.
std::uint64_t FloorToInt(double n) {
    const std::uint64_t round = ExpConstants<double>::kRound;
    return ToU(n + FromU<double>(round)) - round;
}

// q of m = q*d + f: degree 2, the same shape in both precisions.
template <class T> T ExpPolyFast(Tier tier, T f, T f2) {
    const auto& p = ExpConstants<T>::kFast;
    T q = MulAdd(tier, ExpConst<T>(p[1]), f, ExpConst<T>(p[0]));
    q = MulAdd(tier, ExpConst<T>(p[2]), f2, q);
    return q;
}

// Float, degree 4 in two halves.
float ExpPolyExact(Tier tier, float f, float f2) {
    const auto& p = ExpConstants<float>::kExact;
    const float a = MulAdd(tier, ExpConst<float>(p[2]), f, ExpConst<float>(p[1]));
    float b = MulAdd(tier, ExpConst<float>(p[4]), f, ExpConst<float>(p[3]));
    b = MulAdd(tier, b, f2, a);
    b = MulAdd(tier, b, f, ExpConst<float>(p[0]));
    return b;
}

// Double, degree 6 in three pieces joined with f2 and f4.
double ExpPolyExact(Tier tier, double f, double f2) {
    const auto& p = ExpConstants<double>::kExact;
    const double f4 = f2 * f2;
    const double u = MulAdd(tier, ExpConst<double>(p[1]), f, ExpConst<double>(p[0]));
    const double v = MulAdd(tier, ExpConst<double>(p[3]), f, ExpConst<double>(p[2]));
    double w = MulAdd(tier, ExpConst<double>(p[6]), f, ExpConst<double>(p[5]));
    const double z = MulAdd(tier, v, f2, u);
    w = MulAdd(tier, w, f, ExpConst<double>(p[4]));
    return MulAdd(tier, f4, w, z);
}

// 2^y0 for an already scaled y0.
template <class T> T Exp2Core(Tier tier, bool exact, T y0) {
    using C = ExpConstants<T>;
    using U = UOf<T>;
    constexpr int kShift = Layout<T>::kFracBits;

    T y = Min(y0, ExpConst<T>(C::kUpper));
    y = Max(y, ExpConst<T>(exact ? C::kLowerExact : C::kLowerFast));
    const T n = std::floor(y);
    const T f = y - n;
    const U i = FloorToInt(n);
    const T f2 = f * f;
    const T d = f - f2;
    const T q = exact ? ExpPolyExact(tier, f, f2) : ExpPolyFast(tier, f, f2);
    T m = MulAdd(tier, q, d, f);
    m = m + ExpConst<T>(C::kOne);

    if (!exact) {
        return FromU<T>(ToU(m) + (i << kShift));
    }
    // Lanes below the normal range take the fix-up; the others get the same value either way
    // (the fix-up multiplies them by 1.0), so the branch is decided per lane here.
    T result;
    const U t = i - static_cast<U>(C::kSubnormalThreshold);
    if ((t & Layout<T>::kSignBit) == 0) {
        result = FromU<T>(ToU(m) + (i << kShift));
    } else {
        const U e = static_cast<U>(C::kSubnormalThreshold);
        const T scale = FromU<T>((i + static_cast<U>(C::kScaleOffset)) << kShift);  // 2^(i+126), 2^(i+1022)
        result = FromU<T>(ToU(m) + (e << kShift)) * scale;
    }
    if (!(y0 == y0)) {
        result = y0;
    }
    return result;
}

template <class T> T ExpModel(Tier tier, bool exact, T x) {
    return Exp2Core(tier, exact, Mul(x, ExpConst<T>(ExpConstants<T>::kLog2e)));
}

template <class T> T SigmoidModel(Tier tier, bool exact, T x) {
    using C = ExpConstants<T>;
    const T one = ExpConst<T>(C::kOne);
    const T e = Exp2Core(tier, exact, Mul(x, ExpConst<T>(C::kNegLog2e)));
    const T s = Add(one, e);
    return Div(one, s);
}

template <class T> T TanhModel(Tier tier, bool exact, T x) {
    using C = ExpConstants<T>;
    const T e = Exp2Core(tier, exact, Mul(x, ExpConst<T>(C::kNeg2Log2e)));
    const T s = Add(ExpConst<T>(C::kOne), e);
    const T w = Div(ExpConst<T>(C::kTwo), s);
    return Add(w, ExpConst<T>(C::kMinusOne));
}

// ---------------------------------------------------------------------------------------------
// Natural logarithm.

template <class T> struct LogConstants;

template <> struct LogConstants<float> {
    static constexpr std::uint32_t kFracMask = 0x007FFFFF;
    static constexpr std::uint32_t kBias = 127;
    static constexpr std::uint32_t kHalf = 0x3F000000;        // 0.5
    static constexpr std::uint32_t kThreshold = 0x3F3504F3;   // 0.707106769
    static constexpr std::uint32_t kOne = 0x3F800000;         // 1.0
    static constexpr std::uint32_t kMinusOne = 0xBF800000;    // -1.0
    static constexpr std::uint32_t kC = 0xBDF876CD;           // -0.121320345
    static constexpr std::uint32_t kL1 = 0x3EFAF233;          // 0.490129083
    static constexpr std::uint32_t kL0 = 0x3F851592;          // 1.03972077
    static constexpr std::uint32_t kLn2 = 0x3F317218;         // 0.693147182
    static constexpr std::uint32_t kPosInf = 0x7F800000;
    static constexpr std::uint32_t kNegInf = 0xFF800000;
    static constexpr std::uint32_t kSignMask = 0x80000000;    // -0.0
    static constexpr int kSignShift = 9;                      // sign mask -> 0xFFC00000
    static constexpr std::uint32_t kFast[4] = {
        0xBE1392C4,  // a3 = -0.144114554
        0x3E520093,  // a2 = 0.205080315
        0xBE7CDBEB,  // a1 = -0.24693267
        0x3EA79B27,  // a0 = 0.327355593
    };
    static constexpr std::uint32_t kExact[6] = {
        0xBDD0650B,  // b5 = -0.101755224
        0x3E1AAEDD,  // b4 = 0.151057675
        0xBE2AC6EB,  // b3 = -0.166774437
        0x3E49B253,  // b2 = 0.196969315
        0xBE7BE973,  // b1 = -0.246007726
        0x3EA7A194,  // b0 = 0.327404618
    };
    static constexpr std::uint32_t kPrescale = 0x4B000000;     // 8388608.0 = 2^23
    static constexpr std::uint32_t kPrescaleAdj = 0xC1B80000;  // -23.0
};

template <> struct LogConstants<double> {
    static constexpr std::uint64_t kFracMask = 0x000FFFFFFFFFFFFF;
    static constexpr std::uint64_t kBias = 0x3FF;                      // 1023
    static constexpr std::uint64_t kIntOffset = 0x4338000000000000;    // 6755399441055744.0
    static constexpr std::uint64_t kNegIntOffset = 0xC338000000000000; // -6755399441055744.0
    static constexpr std::uint64_t kHalf = 0x3FE0000000000000;         // 0.5
    static constexpr std::uint64_t kThreshold = 0x3FE6A09E667F3BCD;    // 0.70710678118654757
    static constexpr std::uint64_t kOne = 0x3FF0000000000000;          // 1.0
    static constexpr std::uint64_t kMinusOne = 0xBFF0000000000000;     // -1.0
    static constexpr std::uint64_t kC = 0xBFBF0ED99BED9B2E;            // -0.12132034355964258
    static constexpr std::uint64_t kL1 = 0x3FDF5E46537AB907;           // 0.49012907173427361
    static constexpr std::uint64_t kL0 = 0x3FF0A2B23F3BAB73;           // 1.0397207708399179
    static constexpr std::uint64_t kLn2 = 0x3FE62E42FEFA39EF;          // 0.69314718055994529
    static constexpr std::uint64_t kPosInf = 0x7FF0000000000000;
    static constexpr std::uint64_t kNegInf = 0xFFF0000000000000;
    static constexpr std::uint64_t kSignMask = 0x8000000000000000;     // -0.0
    static constexpr int kSignShift = 12;  // per 32-bit half: sign mask -> 0xFFF8000000000000
    static constexpr std::uint64_t kFast[4] = {
        0xBFC272588C0CE8DA,  // a3 = -0.14411455953979307
        0x3FCA40125D219C31,  // a2 = 0.20508031413484809
        0xBFCF9B7D6A9CF9D9,  // a1 = -0.24693267541620292
        0x3FD4F364D7DAA3C1,  // a0 = 0.32735558585642016
    };
    static constexpr std::uint64_t kExact[8] = {
        0xBFB39F38ED19069B,  // b7 = -0.076648290524668303
        0x3FBEDAE584C40F39,  // b6 = 0.12052759639123857
        0xBFC04C1D2D6A4F64,  // b5 = -0.12732281415503188
        0x3FC208BDC68E75B6,  // b4 = 0.14089176364079287
        0xBFC50B54872F04AC,  // b3 = -0.16440826988949675
        0x3FC93CE29474C15A,  // b2 = 0.19717056511718561
        0xBFCF7E53039468C8,  // b1 = -0.24604261088172152
        0x3FD4F43014AFF194,  // b0 = 0.32740404148332769
    };
    static constexpr std::uint64_t kPrescale = 0x4330000000000000;     // 4503599627370496.0 = 2^52
    static constexpr std::uint64_t kPrescaleAdj = 0xC04A000000000000;  // -52.0
};

template <class T> T LogConst(std::uint64_t bits) { return FromU<T>(static_cast<UOf<T>>(bits)); }

// Unbiased exponent k - bias as a lane value (k is the shifted bit pattern, sign bit included).
float LogExponent(std::uint32_t k) {
    return static_cast<float>(static_cast<std::int32_t>(k - LogConstants<float>::kBias));
}
// Double: no packed 64-bit conversion; k - 1023 is added to the pattern of 1.5*2^52 and the
// offset subtracted again, which is exact.
double LogExponent(std::uint64_t k) {
    using C = LogConstants<double>;
    return FromU<double>(C::kIntOffset + (k - C::kBias)) + FromU<double>(C::kNegIntOffset);
}

// The sign bits of x smeared by an arithmetic shift (per 32-bit lane): a negative quiet NaN for
// a negative x, +0.0 otherwise.
float LogSignNaN(std::uint32_t b) {
    return FromU<float>(ShiftRightArith32(b & LogConstants<float>::kSignMask, LogConstants<float>::kSignShift));
}
double LogSignNaN(std::uint64_t b) {
    using C = LogConstants<double>;
    const std::uint64_t sign = b & C::kSignMask;
    const std::uint64_t hi = ShiftRightArith32(static_cast<std::uint32_t>(sign >> 32), C::kSignShift);
    const std::uint64_t lo = ShiftRightArith32(static_cast<std::uint32_t>(sign), C::kSignShift);
    return FromU<double>((hi << 32) | lo);
}

template <class T> T LogPolyFast(Tier tier, T f, T f2) {
    const auto& a = LogConstants<T>::kFast;  // a3, a2, a1, a0
    const T p1 = MulAdd(tier, LogConst<T>(a[0]), f, LogConst<T>(a[1]));
    const T p2 = MulAdd(tier, LogConst<T>(a[2]), f, LogConst<T>(a[3]));
    return MulAdd(tier, p1, f2, p2);
}

float LogPolyExact(Tier tier, float f, float f2) {
    const auto& b = LogConstants<float>::kExact;  // b5 .. b0
    const float p1 = MulAdd(tier, LogConst<float>(b[0]), f, LogConst<float>(b[1]));
    const float p2 = MulAdd(tier, LogConst<float>(b[2]), f, LogConst<float>(b[3]));
    const float p3 = MulAdd(tier, LogConst<float>(b[4]), f, LogConst<float>(b[5]));
    const float h = MulAdd(tier, p1, f2, p2);
    return MulAdd(tier, h, f2, p3);
}

double LogPolyExact(Tier tier, double f, double f2) {
    const auto& b = LogConstants<double>::kExact;  // b7 .. b0
    const double q1 = MulAdd(tier, LogConst<double>(b[0]), f, LogConst<double>(b[1]));
    const double q2 = MulAdd(tier, LogConst<double>(b[2]), f, LogConst<double>(b[3]));
    const double q3 = MulAdd(tier, LogConst<double>(b[4]), f, LogConst<double>(b[5]));
    const double q4 = MulAdd(tier, LogConst<double>(b[6]), f, LogConst<double>(b[7]));
    const double f4 = f2 * f2;
    const double h = MulAdd(tier, q1, f2, q2);
    const double l = MulAdd(tier, q3, f2, q4);
    return MulAdd(tier, h, f4, l);
}

template <class T> T LogModel(Tier tier, bool exact, T x) {
    using C = LogConstants<T>;
    using U = UOf<T>;
    constexpr int kShift = Layout<T>::kFracBits;
    const U bx = ToU(x);

    // +0 and positive subnormals are brought into the normal range (exact only). Other lanes of
    // such a vector are multiplied by 1.0, which changes none of the values they use.
    T scaled = x;
    T adj = T(0);
    if (exact && (bx >> kShift) == 0) {
        scaled = x * LogConst<T>(C::kPrescale);
        adj = LogConst<T>(C::kPrescaleAdj);
    }
    const U b = ToU(scaled);

    T e = LogExponent(b >> kShift);
    if (exact) {
        e = adj + e;
    }
    const T m = FromU<T>((b & C::kFracMask) | C::kHalf);
    const bool big = m > LogConst<T>(C::kThreshold);
    const T mp = m + (big ? T(0) : m);
    const T ep = e + (big ? LogConst<T>(C::kOne) : T(0));
    const T f = mp + LogConst<T>(C::kMinusOne);

    const T f2 = f * f;
    const T poly = exact ? LogPolyExact(tier, f, f2) : LogPolyFast(tier, f, f2);
    const T t = MulAdd(tier, mp, LogConst<T>(C::kC), f2);
    const T u = f * LogConst<T>(C::kL1);
    const T v = MulSub(tier, poly, t, u);
    const T w = v + LogConst<T>(C::kL0);
    const T g = ep * LogConst<T>(C::kLn2);
    const T r = MulAdd(tier, w, f, g);

    // Special values, tested on the unscaled input.
    const bool ordinary = x > T(0) && bx != C::kPosInf;
    if (ordinary) {
        return r;
    }
    if (x == T(0)) {
        return LogConst<T>(C::kNegInf);
    }
    if (bx == C::kPosInf) {
        return LogConst<T>(C::kPosInf);
    }
    if (IsNaN(x)) {
        return x;  // bit for bit, a signalling NaN stays signalling
    }
    return Add(r, LogSignNaN(bx));  // r is finite: the negative quiet NaN
}

template <class T> T Eval(Func func, Tier tier, bool exact, T x) {
    switch (func) {
    case Func::Exp:
        return ExpModel(tier, exact, x);
    case Func::Log:
        return LogModel(tier, exact, x);
    case Func::Sigmoid:
        return SigmoidModel(tier, exact, x);
    case Func::Tanh:
        return TanhModel(tier, exact, x);
    }
    return x;
}

}  // namespace

float ModelEval(Func f, Tier tier, bool exact, float x) { return Eval(f, tier, exact, x); }
double ModelEval(Func f, Tier tier, bool exact, double x) { return Eval(f, tier, exact, x); }

}  // namespace NOrvexTest

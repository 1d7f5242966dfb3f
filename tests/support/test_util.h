// Helpers shared by the tests: bit patterns, the processor the run expects, kernel pointers.
#ifndef ORVEX_TESTS_TEST_UTIL_H
#define ORVEX_TESTS_TEST_UTIL_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace NOrvexTest {

inline std::uint32_t Bits(float x) {
    std::uint32_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}
inline std::uint64_t Bits(double x) {
    std::uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}
inline float F32(std::uint32_t b) {
    float x;
    std::memcpy(&x, &b, sizeof x);
    return x;
}
inline double F64(std::uint64_t b) {
    double x;
    std::memcpy(&x, &b, sizeof x);
    return x;
}

// Bits of a type: uint32_t for float, uint64_t for double.
template <class T> struct BitsOf;
template <> struct BitsOf<float> { using Type = std::uint32_t; };
template <> struct BitsOf<double> { using Type = std::uint64_t; };
template <class T> inline T FromBits(typename BitsOf<T>::Type b) {
    T x;
    std::memcpy(&x, &b, sizeof x);
    return x;
}

// Hex text of a bit pattern, for readable failure messages.
std::string Hex(std::uint64_t bits);

// What the processor of this run offers. Emulated runs say so in ORVEX_EXPECT_CPU
// ("haswell": AVX2 and FMA but no AVX-512, "sandybridge": AVX only, "nehalem": none of them);
// otherwise /proc/cpuinfo tells.
struct CpuExpectation {
    bool avx;
    bool avx2;
    bool avx512;
    bool emulated;
};
CpuExpectation ExpectedCpu();

// Emulated runs use smaller random samples: the emulator is some fifty times slower.
std::size_t SampleSize(std::size_t hostSize);

template <class T> using KernelFn = void (*)(const T*, std::size_t, T*);

}  // namespace NOrvexTest

#endif  // ORVEX_TESTS_TEST_UTIL_H

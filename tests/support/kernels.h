// One table of every vector kernel and every public entry point, so that a test over "all
// kernels" is one loop and a new kernel is one row.
#ifndef ORVEX_TESTS_KERNELS_H
#define ORVEX_TESTS_KERNELS_H

#include <string>
#include <vector>

#include "support/model.h"
#include "support/test_util.h"

namespace NOrvexTest {


enum class Level { Avx, Avx2, Avx512, Dispatch };

const char* FuncName(Func fn);

struct KernelRow {
    Func fn;
    Level level;
    bool exact;
    bool aligned;
    KernelFn<float> f32;
    KernelFn<double> f64;
    KernelFn<float> plain32;   // the plain kernel of the same function
    KernelFn<double> plain64;
    std::string name;          // e.g. "ExpAvx2_exact_aligned"
    int vectorsPerPass;        // 4, or 2 for the logarithm
    int vectorBytes;           // 32, or 64 for the AVX-512 kernels
};

// The 48 AVX, AVX2 and AVX-512 kernel templates' instantiations per element type (96 in all) ...
const std::vector<KernelRow>& VectorKernels();
// ... and the 16 public templates' instantiations per element type (32 in all).
const std::vector<KernelRow>& Dispatchers();

// The vector kernel with the same function, tier and variant.
const KernelRow& FindKernel(Func fn, Level level, bool exact, bool aligned);

// Whether this processor can run the row's instructions.
bool Runnable(const KernelRow& row);

// The tier of the scalar model that a vector kernel must match: the AVX-512 kernels give the AVX2
// kernels' bits.
Tier ModelTier(Level level);

template <class T> KernelFn<T> Pick(const KernelRow& row);
template <> inline KernelFn<float> Pick<float>(const KernelRow& row) { return row.f32; }
template <> inline KernelFn<double> Pick<double>(const KernelRow& row) { return row.f64; }
template <class T> KernelFn<T> PickPlain(const KernelRow& row);
template <> inline KernelFn<float> PickPlain<float>(const KernelRow& row) { return row.plain32; }
template <> inline KernelFn<double> PickPlain<double>(const KernelRow& row) { return row.plain64; }

}  // namespace NOrvexTest

#endif  // ORVEX_TESTS_KERNELS_H

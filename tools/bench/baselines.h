// Reference implementations the benchmark measures the library against. They are not part of
// the library. Each has the library's calling shape (src, count, dst).
//
//   Slow*      one call of the system mathematics library (double precision) per element.
//   FmathExp   table-driven exponential. float: 1024-entry table, blocks of four lanes with
//              16-byte aligned loads and stores; only the first count - count % 4 elements are
//              written, and a block holding any lane beyond +-88 (or NaN) is clamped whole.
//              double: copies src to dst, then transforms dst in place two lanes at a time with
//              a 2048-entry table; an odd last element goes through the scalar table exponential.
//   FmathLog   table-driven logarithm over the float bit pattern, 2048 (value, slope) pairs; the
//              sign bit is ignored and zero, denormals, infinities and NaN get no special case.
//              The double form rounds each element to float and widens the result.
//
// Every table is built on first use under thread-safe static initialisation and never freed.
#ifndef ORVEX_TOOLS_BENCH_BASELINES_H
#define ORVEX_TOOLS_BENCH_BASELINES_H

#include <cstddef>

namespace NOrvexBench {

void SlowExp(const float* src, size_t count, float* dst);
void SlowExp(const double* src, size_t count, double* dst);
void SlowLog(const float* src, size_t count, float* dst);
void SlowLog(const double* src, size_t count, double* dst);
void SlowSigmoid(const float* src, size_t count, float* dst);
void SlowSigmoid(const double* src, size_t count, double* dst);
void SlowTanh(const float* src, size_t count, float* dst);
void SlowTanh(const double* src, size_t count, double* dst);

// float: src and dst must be 16-byte aligned.
void FmathExp(const float* src, size_t count, float* dst);
void FmathExp(const double* src, size_t count, double* dst);

void FmathLog(const float* src, size_t count, float* dst);
void FmathLog(const double* src, size_t count, double* dst);

}  // namespace NOrvexBench

#endif  // ORVEX_TOOLS_BENCH_BASELINES_H

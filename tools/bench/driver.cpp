#include "driver.h"

#include <sys/sysinfo.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <limits>
#include <new>
#include <stdexcept>

#include "baselines.h"
#include "orvex/orvex.h"

namespace NOrvexBench {

std::uint64_t HalfTries(std::uint64_t iters) {
    // iters * 0.5 rounded half away from zero; in integers so that no count loses precision.
    return iters / 2 + iters % 2;
}

double UniformOf(std::uint64_t draw) {
    const double u = static_cast<double>(draw) * 0x1p-64;
    return u < 1.0 ? u : 0x1.fffffffffffffp-1;
}

template <class T> void FillInputs(std::mt19937_64& generator, EFunction function, T* dst, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const double v = DrawUniform(generator) * 100.0 - 50.0;
        T x = static_cast<T>(v);
        if (function == EFunction::Log) {
            x = static_cast<T>(std::exp(static_cast<double>(x)));
        } else if (function == EFunction::Sigm || function == EFunction::Tanh) {
            x = x / static_cast<T>(10);
        }
        dst[i] = x;
    }
}

template void FillInputs<float>(std::mt19937_64&, EFunction, float*, size_t);
template void FillInputs<double>(std::mt19937_64&, EFunction, double*, size_t);

namespace {

using Buffer = std::vector<unsigned char>;

constexpr std::uint64_t kSpareBytes = 32;
// What each buffer costs besides its bytes: its vector object, its vector pointer and the
// allocator's header.
constexpr std::uint64_t kBufferBookkeeping = sizeof(Buffer) + sizeof(void*) + 16;

// Physical memory plus swap: zero-filled buffers beyond that can never be held.
std::uint64_t MemoryLimit() {
    struct sysinfo info;
    if (sysinfo(&info) != 0) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    std::uint64_t units;
    std::uint64_t bytes;
    if (__builtin_add_overflow(static_cast<std::uint64_t>(info.totalram), static_cast<std::uint64_t>(info.totalswap),
                               &units) ||
        __builtin_mul_overflow(units, static_cast<std::uint64_t>(info.mem_unit), &bytes)) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    return bytes;
}

// First address at or after start whose remainder modulo 32 is alignment.
template <class T> T* VectorStart(Buffer& buffer, std::uint64_t alignment) {
    const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(buffer.data());
    const std::uintptr_t offset = (alignment + 32 - address % 32) % 32;
    return reinterpret_cast<T*>(buffer.data() + offset);
}

enum class ETries { One, Half, Full };

std::uint64_t TriesOf(ETries tries, std::uint64_t iters) {
    switch (tries) {
    case ETries::One:
        return 1;
    case ETries::Half:
        return HalfTries(iters);
    case ETries::Full:
        break;
    }
    return iters;
}

template <class T> struct Row {
    const char* label;
    ETries tries;
    Operation<T> operation;
    bool enabled;
};

// The rows of one function in report order; a disabled row is skipped without output.
template <class T> std::vector<Row<T>> RowsOf(EFunction function, std::uint64_t size, std::uint64_t alignment) {
    using namespace NOrvex;
    switch (function) {
    case EFunction::Exp: {
        // The float baseline needs 16-byte aligned blocks of four.
        const bool fmath = size % 4 == 0 && (alignment == 0 || alignment == 16);
        const bool avx2 = HaveAvx2();
        return {
            {"slow exp", ETries::One, SlowExp, true},
            {"plain fast exp", ETries::Half, ExpPlain, true},
            {"fmath exp", ETries::Full, FmathExp, fmath},
            {"avx fast exp", ETries::Full, ExpAvx<false, false>, true},
            {"avx fast exact exp", ETries::Full, ExpAvx<true, false>, true},
            {"dispatched fast exp", ETries::Full, Exp<false, false>, true},
            {"avx2 fast exp", ETries::Full, ExpAvx2<false, false>, avx2},
            {"avx2 fast exact exp", ETries::Full, ExpAvx2<true, false>, avx2},
        };
    }
    case EFunction::Log: {
        const bool fmath = size % 4 == 0;
        const bool avx2 = HaveAvx2();
        return {
            {"slow log", ETries::One, SlowLog, true},
            {"plain fast log", ETries::Half, LogPlain, true},
            {"fmath log", ETries::Full, FmathLog, fmath},
            {"avx fast log", ETries::Full, LogAvx<false, false>, true},
            {"dispatched fast log", ETries::Full, Log<false, false>, true},
            {"avx fast exact log", ETries::Full, LogAvx<true, false>, true},
            {"avx2 fast log", ETries::Full, LogAvx2<false, false>, avx2},
            {"avx2 fast exact log", ETries::Full, LogAvx2<true, false>, avx2},
        };
    }
    case EFunction::Sigm: {
        const bool avx2 = HaveAvx2();
        return {
            {"slow sigmoid", ETries::One, SlowSigmoid, true},
            {"plain fast sigmoid", ETries::Half, SigmoidPlain, true},
            {"avx fast sigmoid", ETries::Full, SigmoidAvx<false, false>, true},
            {"avx fast exact sigmoid", ETries::Full, SigmoidAvx<true, false>, true},
            {"dispatched fast sigmoid", ETries::Full, Sigmoid<false, false>, true},
            {"avx2 fast sigmoid", ETries::Full, SigmoidAvx2<false, false>, avx2},
            {"avx2 fast exact sigmoid", ETries::Full, SigmoidAvx2<true, false>, avx2},
        };
    }
    case EFunction::Tanh:
        break;
    }
    const bool avx2 = HaveAvx2();
    return {
        {"slow tanh", ETries::One, SlowTanh, true},
        {"plain fast tanh", ETries::Half, TanhPlain, true},
        {"avx fast tanh", ETries::Full, TanhAvx<false, false>, true},
        {"avx fast exact tanh", ETries::Full, TanhAvx<true, false>, true},
        {"dispatched fast tanh", ETries::Full, Tanh<false, false>, true},
        {"avx2 fast tanh", ETries::Full, TanhAvx2<false, false>, avx2},
        {"avx2 fast exact tanh", ETries::Full, TanhAvx2<true, false>, avx2},
    };
}

bool FunctionOf(const std::string& name, EFunction* function) {
    if (name == "exp") {
        *function = EFunction::Exp;
    } else if (name == "log") {
        *function = EFunction::Log;
    } else if (name == "sigm") {
        *function = EFunction::Sigm;
    } else if (name == "tanh") {
        *function = EFunction::Tanh;
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool PlanBuffers(std::uint64_t vecs, std::uint64_t size, std::size_t elementSize, BufferPlan* plan) {
    std::uint64_t bufferBytes;
    std::uint64_t perVector;
    std::uint64_t total;
    if (__builtin_mul_overflow(size, static_cast<std::uint64_t>(elementSize), &bufferBytes) ||
        __builtin_add_overflow(bufferBytes, kSpareBytes, &bufferBytes) ||
        __builtin_add_overflow(bufferBytes, kBufferBookkeeping, &perVector) ||
        __builtin_mul_overflow(perVector, vecs, &total) || __builtin_mul_overflow(total, std::uint64_t{2}, &total)) {
        return false;
    }
    plan->bufferBytes = bufferBytes;
    plan->totalBytes = total;
    return true;
}

template <class T>
void MeasureRun(const std::vector<T*>& inputs, const std::vector<T*>& outputs, size_t count, std::uint64_t tries,
                const std::string& label, Operation<T> operation) {
    if (tries == 0) {
        std::cerr << label << ": no tries" << std::endl;
        return;
    }
    const T sentinel = static_cast<T>(43432432);
    // Only the best try is reported, so only the best is kept.
    double best = std::numeric_limits<double>::infinity();
    for (std::uint64_t attempt = 0; attempt < tries; ++attempt) {
        const auto start = std::chrono::steady_clock::now();
        for (size_t j = 0; j < inputs.size(); ++j) {
            operation(inputs[j], count, outputs[j]);
            if (outputs[j][0] == sentinel) {
                throw std::runtime_error("requirement outV[0] != 43432432 failed");
            }
        }
        const auto stop = std::chrono::steady_clock::now();
        const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(stop - start).count();
        const double seconds = static_cast<double>(nanoseconds) / 1000000000.0;
        if (seconds < best) {
            best = seconds;
        }
    }
    std::cerr << label << ": " << best << std::endl;
}

template void MeasureRun<float>(const std::vector<float*>&, const std::vector<float*>&, size_t, std::uint64_t,
                                const std::string&, Operation<float>);
template void MeasureRun<double>(const std::vector<double*>&, const std::vector<double*>&, size_t, std::uint64_t,
                                 const std::string&, Operation<double>);

template <class T> int RunBenchmarks(const BenchOptions& options) {
    EFunction function;
    if (!FunctionOf(options.func, &function)) {
        std::cerr << "requirement isExp || isLog || isSigm || isTanh failed" << std::endl;
        return 1;
    }
    std::cerr << "Preparing data. Vector size: " << options.size << "\tnumber of vectors: " << options.vecs
              << "\tnumber of tries: " << options.iters << std::endl;
    std::mt19937_64 generator(15);
    if (options.alignment > 31) {
        std::cerr << "requirement alignment < 32 failed" << std::endl;
        return 1;
    }
    if (options.alignment % sizeof(T) != 0) {
        std::cerr << "requirement on natural alignment failed: alignment should be multiple of " << sizeof(T)
                  << std::endl;
        return 1;
    }

    // Everything is allocated, and the impossible refused, before the first input is drawn.
    BufferPlan plan;
    if (!PlanBuffers(options.vecs, options.size, sizeof(T), &plan)) {
        std::cerr << "cannot allocate the buffers: 2 x " << options.vecs << " buffers of " << options.size
                  << " elements overflow a 64-bit byte count" << std::endl;
        return 1;
    }
    const std::uint64_t limit = MemoryLimit();
    if (plan.totalBytes > limit) {
        std::cerr << "cannot allocate the buffers: " << plan.totalBytes << " bytes needed, more than the " << limit
                  << " bytes of memory and swap" << std::endl;
        return 1;
    }
    std::vector<Buffer> inputBuffers;
    std::vector<Buffer> outputBuffers;
    std::vector<T*> inputs;
    std::vector<T*> outputs;
    try {
        inputBuffers.resize(options.vecs);
        outputBuffers.resize(options.vecs);
        inputs.reserve(options.vecs);
        outputs.reserve(options.vecs);
        for (std::uint64_t i = 0; i < options.vecs; ++i) {
            inputBuffers[i].assign(plan.bufferBytes, 0);
            outputBuffers[i].assign(plan.bufferBytes, 0);
            inputs.push_back(VectorStart<T>(inputBuffers[i], options.alignment));
            outputs.push_back(VectorStart<T>(outputBuffers[i], options.alignment));
        }
    } catch (const std::bad_alloc&) {
        std::cerr << "cannot allocate the buffers: " << plan.totalBytes << " bytes needed" << std::endl;
        return 1;
    } catch (const std::length_error&) {
        std::cerr << "cannot allocate the buffers: " << plan.totalBytes << " bytes needed" << std::endl;
        return 1;
    }
    for (T* input : inputs) {
        FillInputs<T>(generator, function, input, options.size);
    }

    std::cerr << "Running" << std::endl;
    for (const Row<T>& row : RowsOf<T>(function, options.size, options.alignment)) {
        if (row.enabled) {
            MeasureRun<T>(inputs, outputs, options.size, TriesOf(row.tries, options.iters), row.label, row.operation);
        }
    }
    return 0;
}

template int RunBenchmarks<float>(const BenchOptions&);
template int RunBenchmarks<double>(const BenchOptions&);

int RunGuarded(const std::function<int()>& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        std::cerr << "cannot allocate memory" << std::endl;
    } catch (const std::exception& error) {
        std::cerr << error.what() << std::endl;
    }
    return 1;
}

}  // namespace NOrvexBench

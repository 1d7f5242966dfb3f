// Differential fuzz target of every vector kernel and every public entry point.
//
// An input is decoded as
//   byte 0     the row: index into VectorKernels() followed by Dispatchers(), modulo their number;
//              a row this processor cannot run is skipped
//   byte 1     bit 0: double instead of float; bit 1: evaluate in place (dst == src);
//              bits 2-4: elements between the end of the source and its unreadable page;
//              bits 5-7: the same for the destination
//   bytes 2-3  the element count, little-endian, below kMaxCount
//   the rest   the input values as raw bit patterns, element i taking bytes i*S .. i*S+S-1 of
//              the rest, wrapped around, so that a short input still fills any count
//
// Source and destination each lie in their own guarded region, against an unreadable page (an
// AlignedOutput destination as close to it as 32-byte alignment allows), so reads and writes
// past the end fault. Every result bit is compared with the scalar model (the vector kernels) or
// with the kernel this processor's dispatch picks (the public entry points, which are also
// compared with the model when that kernel is a vector kernel), and with the same element
// evaluated alone; the source must be unchanged and every byte around the destination too. Any
// difference is printed and aborts, which libFuzzer reports as a crash with its input saved.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "orvex/orvex.h"
#include "support/guarded.h"
#include "support/kernels.h"
#include "support/model.h"
#include "support/test_util.h"

namespace {

using namespace NOrvexTest;

constexpr std::size_t kHeader = 4;
// Dozens of main-loop passes and every combination of tails: every path of the frame, and still
// small enough for a thousand runs a second and more under the sanitizers.
constexpr std::size_t kMaxCount = 1024;

const std::vector<const KernelRow*>& Rows() {
    static const std::vector<const KernelRow*> rows = [] {
        std::vector<const KernelRow*> all;
        for (const KernelRow& row : VectorKernels()) all.push_back(&row);
        for (const KernelRow& row : Dispatchers()) all.push_back(&row);
        return all;
    }();
    return rows;
}

[[noreturn]] void Fail(const KernelRow& row, bool isDouble, std::size_t count, const std::string& what) {
    std::fprintf(stderr, "kernel_fuzz: %s<%s> count %zu: %s\n", row.name.c_str(), isDouble ? "double" : "float", count,
                 what.c_str());
    std::abort();
}

std::size_t RoundUp32(std::size_t bytes) { return (bytes + 31) / 32 * 32; }

// What a public entry point must compute on this processor: the kernel its dispatch picks, and
// the model's tier when that is a vector kernel.
struct Reference {
    const KernelRow* vector;  // null when the plain kernel is picked
    Tier tier;
};

Reference DispatchTarget(const KernelRow& row) {
    if (NOrvex::HaveAvx512()) return {&FindKernel(row.fn, Level::Avx512, row.exact, row.aligned), Tier::Avx2};
    if (NOrvex::HaveAvx2()) return {&FindKernel(row.fn, Level::Avx2, row.exact, row.aligned), Tier::Avx2};
    if (NOrvex::HaveAvx()) return {&FindKernel(row.fn, Level::Avx, row.exact, row.aligned), Tier::Avx};
    return {nullptr, Tier::Avx};
}

template <class T> struct Case {
    const KernelRow& row;
    std::size_t count;
    bool inPlace;
    std::size_t srcGap;  // elements
    std::size_t dstGap;
};

template <class T> void Check(const Case<T>& c, const std::uint8_t* values, std::size_t valueBytes) {
    using U = typename BitsOf<T>::Type;
    constexpr std::size_t S = sizeof(T);
    const KernelRow& row = c.row;
    const bool isDouble = S == 8;
    const KernelFn<T> kernel = Pick<T>(row);
    const std::size_t bytes = c.count * S;

    std::vector<T> input(c.count);
    for (std::size_t i = 0; i < c.count; ++i) {
        unsigned char b[S];
        for (std::size_t k = 0; k < S; ++k) b[k] = valueBytes == 0 ? 0 : values[(i * S + k) % valueBytes];
        std::memcpy(&input[i], b, S);
    }

    GuardedRegion srcRegion(bytes + 8 * S + 32);
    const bool alignSrc = c.inPlace && row.aligned;
    T* src = static_cast<T*>(srcRegion.AtEnd(alignSrc ? RoundUp32(bytes + c.srcGap * S) : bytes + c.srcGap * S));
    if (bytes != 0) std::memcpy(src, input.data(), bytes);
    GuardedRegion dstRegion(c.inPlace ? 0 : bytes + 8 * S + 32);
    T* dst = src;
    if (!c.inPlace) {
        const std::size_t room = bytes + c.dstGap * S;
        dst = static_cast<T*>(dstRegion.AtEnd(row.aligned ? RoundUp32(room) : room));
    }

    kernel(src, c.count, dst);

    if (!c.inPlace && (!srcRegion.UntouchedOutside(src, bytes) || (bytes != 0 && std::memcmp(src, input.data(), bytes) != 0))) {
        Fail(row, isDouble, c.count, "the source or the bytes around it changed");
    }
    if (!(c.inPlace ? srcRegion : dstRegion).UntouchedOutside(dst, bytes)) {
        Fail(row, isDouble, c.count, "a byte outside the destination changed");
    }

    // The public entry points: the whole array again through the kernel the dispatch picks.
    std::vector<T> picked;
    Reference ref{&row, ModelTier(row.level)};
    if (row.level == Level::Dispatch) {
        ref = DispatchTarget(row);
        std::vector<T> out(c.count + 8);
        T* aligned = out.data();
        while (reinterpret_cast<std::uintptr_t>(aligned) % 32 != 0) ++aligned;
        (ref.vector != nullptr ? Pick<T>(*ref.vector) : PickPlain<T>(row))(input.data(), c.count, aligned);
        picked.assign(aligned, aligned + c.count);
    }

    // One element alone: its source against an unreadable page, its destination at a 32-byte
    // boundary with pattern bytes behind it that must stay.
    static GuardedRegion oneSrcRegion(64);
    T* oneSrc = static_cast<T*>(oneSrcRegion.AtEnd(S));
    alignas(32) unsigned char window[64];

    for (std::size_t i = 0; i < c.count; ++i) {
        const T x = input[i];
        const U got = Bits(dst[i]);
        const auto mismatch = [&](const char* against, U want) {
            Fail(row, isDouble, c.count,
                 "element " + std::to_string(i) + " input " + Hex(Bits(x)) + " gave " + Hex(got) + ", " + against +
                     " " + Hex(want));
        };
        if (ref.vector != nullptr) {
            const U model = Bits(ModelEval(row.fn, ref.tier, row.exact, x));
            if (got != model) mismatch("the model", model);
        }
        if (row.level == Level::Dispatch && got != Bits(picked[i])) {
            mismatch(ref.vector != nullptr ? ref.vector->name.c_str() : "the plain kernel", Bits(picked[i]));
        }

        std::memcpy(oneSrc, &x, S);
        std::memset(window, GuardedRegion::kPattern, sizeof window);
        kernel(oneSrc, 1, reinterpret_cast<T*>(window));
        U alone;
        std::memcpy(&alone, window, S);
        if (got != alone) mismatch("alone", alone);
        for (std::size_t k = S; k < sizeof window; ++k) {
            if (window[k] != GuardedRegion::kPattern) Fail(row, isDouble, 1, "wrote past its one element");
        }
        if (Bits(*oneSrc) != Bits(x)) Fail(row, isDouble, 1, "changed its source");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kHeader) return 0;
    const std::vector<const KernelRow*>& rows = Rows();
    const KernelRow& row = *rows[data[0] % rows.size()];
    if (!Runnable(row)) return 0;
    const std::uint8_t flags = data[1];
    const std::size_t count = (static_cast<std::size_t>(data[2]) | static_cast<std::size_t>(data[3]) << 8) % kMaxCount;
    const bool inPlace = (flags & 2) != 0;
    const std::size_t srcGap = (flags >> 2) & 7;
    const std::size_t dstGap = (flags >> 5) & 7;
    if (flags & 1) {
        Check<double>(Case<double>{row, count, inPlace, srcGap, dstGap}, data + kHeader, size - kHeader);
    } else {
        Check<float>(Case<float>{row, count, inPlace, srcGap, dstGap}, data + kHeader, size - kHeader);
    }
    return 0;
}

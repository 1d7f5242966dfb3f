// The block-and-tail frame, for every vector kernel: every count that reaches every combination
// of tails, nothing read past the source or written outside the destination, unaligned sources,
// in place, aligned stores, and lanes that do not disturb each other.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "support/guarded.h"
#include "support/inputs.h"
#include "support/kernels.h"

namespace {

using namespace NOrvexTest;

class Frame : public ::testing::TestWithParam<KernelRow> {
protected:
    void SetUp() override {
        if (!Runnable(GetParam())) {
            GTEST_SKIP() << "this processor lacks the kernel's instruction set";
        }
    }
};

template <class T> T Single(KernelFn<T> kernel, T x) {
    T y;
    kernel(&x, 1, &y);
    return y;
}

// Every count from 0 to 2 * (elements per pass) + 1: a source ending at an unreadable page
// (so its alignment varies with the count), a destination ending there too (or, for the aligned
// variants, starting on a 64-byte boundary), and each element compared with a call on it alone.
// The inputs mix special values into every vector.
template <class T> void CheckAllCounts(const KernelRow& row) {
    const KernelFn<T> kernel = Pick<T>(row);
    const size_t lanes = row.vectorBytes / sizeof(T);
    const size_t maxCount = 2 * row.vectorsPerPass * lanes + 1;
    for (size_t count = 0; count <= maxCount; ++count) {
        SCOPED_TRACE(testing::Message() << "count " << count);
        const std::vector<T> input = MixedInputs<T>(row.fn, count, 1000 + count, 3);
        const size_t bytes = count * sizeof(T);
        GuardedRegion srcRegion(bytes), dstRegion(bytes);
        T* src = static_cast<T*>(srcRegion.AtEnd(bytes));
        if (count > 0) std::memcpy(src, input.data(), bytes);
        T* dst = static_cast<T*>(row.aligned ? dstRegion.AtStart(0) : dstRegion.AtEnd(bytes));
        kernel(src, count, dst);
        ASSERT_TRUE(dstRegion.UntouchedOutside(dst, bytes)) << "write outside dst[0, count)";
        ASSERT_TRUE(count == 0 || std::memcmp(src, input.data(), bytes) == 0) << "source modified";
        for (size_t i = 0; i < count; ++i) {
            ASSERT_EQ(Hex(Bits(dst[i])), Hex(Bits(Single(kernel, input[i])))) << "element " << i << " input "
                                                                             << Hex(Bits(input[i]));
        }
        // In place, in the same (aligned where needed) destination, gives the same bits.
        const std::vector<T> separate(dst, dst + count);
        if (count > 0) std::memcpy(dst, input.data(), bytes);
        kernel(dst, count, dst);
        ASSERT_TRUE(count == 0 || std::memcmp(separate.data(), dst, bytes) == 0) << "in place differs";
    }
}

TEST_P(Frame, EveryCountMatchesElementAlone) {
    CheckAllCounts<float>(GetParam());
    CheckAllCounts<double>(GetParam());
}

// A source at every offset from a 32-byte boundary, and the aligned twin: same bits. The aligned
// variants write to a destination that is 32- but not 64-byte aligned, all the promise asks.
template <class T> void CheckOffsetsAndTwin(const KernelRow& row) {
    const KernelFn<T> kernel = Pick<T>(row);
    const KernelFn<T> unaligned = Pick<T>(FindKernel(row.fn, row.level, row.exact, false));
    constexpr size_t kCount = 77;
    const std::vector<T> input = MixedInputs<T>(row.fn, kCount, 5, 2);
    std::vector<T> expected(kCount);
    for (size_t i = 0; i < kCount; ++i) expected[i] = Single(unaligned, input[i]);
    for (size_t offset = 0; offset < 32; offset += sizeof(T)) {
        SCOPED_TRACE(testing::Message() << "source offset " << offset);
        GuardedRegion srcRegion(kCount * sizeof(T)), dstRegion(kCount * sizeof(T));
        T* src = static_cast<T*>(srcRegion.AtStart(offset));
        std::memcpy(src, input.data(), kCount * sizeof(T));
        T* dst = static_cast<T*>(dstRegion.AtStart(row.aligned ? 32 : offset));
        kernel(src, kCount, dst);
        ASSERT_TRUE(dstRegion.UntouchedOutside(dst, kCount * sizeof(T)));
        for (size_t i = 0; i < kCount; ++i) {
            ASSERT_EQ(Hex(Bits(dst[i])), Hex(Bits(expected[i]))) << "element " << i;
        }
    }
}

TEST_P(Frame, UnalignedSourceAndAlignedTwin) {
    CheckOffsetsAndTwin<float>(GetParam());
    CheckOffsetsAndTwin<double>(GetParam());
}

std::string RowName(const testing::TestParamInfo<KernelRow>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Kernels, Frame, testing::ValuesIn(VectorKernels()), RowName);

}  // namespace

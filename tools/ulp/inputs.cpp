// The input sets: every float, generated samples, given lists.
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "measure.h"

namespace NOrvexUlp {

namespace {

std::uint64_t SplitMix64(std::uint64_t z) {
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

template <class T> T FromBits(std::uint64_t bits) {
    T x;
    if constexpr (sizeof(T) == sizeof(std::uint32_t)) {
        const auto narrow = static_cast<std::uint32_t>(bits);
        std::memcpy(&x, &narrow, sizeof x);
    } else {
        std::memcpy(&x, &bits, sizeof x);
    }
    return x;
}

// Where each function changes regime, in both precisions (a value of the other precision does no
// harm): overflow, the last normal and the last nonzero result of exp, their mirror images and
// the saturation of the sigmoid, the saturation and the zero window of tanh, the neighbourhood of
// 1 for log.
std::vector<double> Boundaries(EFunction f) {
    switch (f) {
        case EFunction::Exp:
            return {88.72283905733, -87.33654475, -88.02969193, -103.2789299, -103.9720771, 709.782712893384,
                    -708.3964185322641, -744.4400719213812, -745.1332191019411, 1e-8, -1e-8, 1e-17, -1e-17};
        case EFunction::Log:
            return {1.0, 2.718281828459045, 0.36787944117144233, 1.0 + 1e-7, 1.0 - 1e-7, 1.0 + 1e-16,
                    1.0 - 1e-16, 0.7071067811865476, 1.4142135623730951};
        case EFunction::Sigmoid:
            return {-88.72283905733, 87.33654475, 88.02969193, 103.2789299, 103.9720771, -709.782712893384,
                    708.3964185322641, 744.4400719213812, 745.1332191019411, 16.63553237915039, 36.7368005696771,
                    -16.63553237915039, -36.7368005696771};
        case EFunction::Tanh:
            break;
    }
    return {8.317766189575195, -9.010913848876953, 3.0986093690899e-08, -8.942181040083597e-08,
            -8.940698137394065e-08, 19.061547465398498, -19.061547465398498, 1e-4, -1e-4, 1e-17, -1e-17};
}

// The useful range of f for uniform values: where the result is neither saturated nor zero, with
// a margin; for log the interval around 1 where its relative error is hardest.
std::pair<double, double> UsefulRange(EFunction f, bool isDouble) {
    switch (f) {
        case EFunction::Exp: return isDouble ? std::pair{-746.0, 710.0} : std::pair{-104.0, 89.0};
        case EFunction::Log: return {0.0, 4.0};
        case EFunction::Sigmoid: return isDouble ? std::pair{-746.0, 37.0} : std::pair{-104.0, 17.0};
        case EFunction::Tanh: break;
    }
    return isDouble ? std::pair{-20.0, 20.0} : std::pair{-10.0, 10.0};
}

}  // namespace

InputSet<float> AllFloats() {
    InputSet<float> set;
    set.count = std::uint64_t{1} << 32;
    set.fill = [](std::uint64_t first, std::size_t n, float* out) {
        for (std::size_t i = 0; i < n; ++i) out[i] = FromBits<float>(first + i);
    };
    return set;
}

template <class T> std::vector<T> SpecialInputs(EFunction f) {
    using Limits = std::numeric_limits<T>;
    const T largestSubnormal = std::nextafter(Limits::min(), T(0));
    std::vector<T> finite = {T(0), Limits::denorm_min(), largestSubnormal, Limits::min(), Limits::max(),
                             T(1), T(0.5), T(2)};
    for (double b : Boundaries(f)) finite.push_back(static_cast<T>(b));
    std::vector<T> inputs = {Limits::infinity(), -Limits::infinity(), Limits::quiet_NaN(), -Limits::quiet_NaN(),
                             Limits::signaling_NaN()};
    for (T v : finite) {
        for (T x : {v, -v}) {
            inputs.push_back(x);
            inputs.push_back(std::nextafter(x, -Limits::infinity()));
            inputs.push_back(std::nextafter(x, Limits::infinity()));
        }
    }
    return inputs;
}

template <class T> InputSet<T> Samples(EFunction f, std::uint64_t n) {
    const std::vector<T> special = SpecialInputs<T>(f);
    const auto [lo, hi] = UsefulRange(f, sizeof(T) == sizeof(double));
    const std::uint64_t seed = 0x6F7276657855ull + static_cast<std::uint64_t>(f);
    InputSet<T> set;
    set.count = n;
    set.fill = [special, lo = lo, hi = hi, seed](std::uint64_t first, std::size_t count, T* out) {
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint64_t index = first + i;
            if (index < special.size()) {
                out[i] = special[index];
                continue;
            }
            const std::uint64_t k = index - special.size();
            const std::uint64_t h = SplitMix64(seed ^ SplitMix64(k));
            if (k % 2 == 0) {
                out[i] = FromBits<T>(h);
            } else {
                const double u = static_cast<double>(h >> 11) * 0x1p-53;  // uniform in [0, 1)
                out[i] = static_cast<T>(lo + (hi - lo) * u);
            }
        }
    };
    return set;
}

template <class T> InputSet<T> Listed(std::vector<T> inputs) {
    InputSet<T> set;
    set.count = inputs.size();
    set.fill = [inputs = std::move(inputs)](std::uint64_t first, std::size_t n, T* out) {
        std::memcpy(out, inputs.data() + first, n * sizeof(T));
    };
    return set;
}

template std::vector<float> SpecialInputs<float>(EFunction);
template std::vector<double> SpecialInputs<double>(EFunction);
template InputSet<float> Samples<float>(EFunction, std::uint64_t);
template InputSet<double> Samples<double>(EFunction, std::uint64_t);
template InputSet<float> Listed<float>(std::vector<float>);
template InputSet<double> Listed<double>(std::vector<double>);

}  // namespace NOrvexUlp

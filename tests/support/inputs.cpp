#include "support/inputs.h"

#include <cmath>
#include <limits>
#include <random>

namespace NOrvexTest {

namespace {

template <class T> std::vector<T> Specials(Func fn) {
    using L = std::numeric_limits<T>;
    std::vector<T> v = {T(0), -T(0), L::infinity(), -L::infinity(), L::quiet_NaN(), -L::quiet_NaN(),
                        L::signaling_NaN(), L::denorm_min(), -L::denorm_min(), L::min(), L::min() / 2,
                        L::max(), -L::max(), T(1), T(-1), T(2), T(0.5)};
    const bool f32 = sizeof(T) == 4;
    switch (fn) {
        case Func::Exp:
            for (double x : {f32 ? -88.0 : -709.0, f32 ? -100.0 : -745.0, f32 ? -87.5 : -708.7,
                             f32 ? 88.72283935546875 : 709.782712893384, f32 ? 88.7228317 : 709.7827128933839,
                             f32 ? -103.97 : -745.13, f32 ? -150.0 : -800.0}) {
                v.push_back(static_cast<T>(x));
            }
            break;
        case Func::Log:
            v.push_back(static_cast<T>(0.70710678118654757));
            v.push_back(static_cast<T>(2.718281828459045));
            break;
        case Func::Sigmoid:
            for (double x : {-88.72283935546875, -87.3365478515625, 16.63553237915039, -709.782712893384, 36.7368005696771,
                             87.5, 708.5}) {
                v.push_back(static_cast<T>(x));
            }
            break;
        case Func::Tanh:
            for (double x : {-9.010913848876953, 8.317766189575195, -19.061547465398498, 18.36840028483855, 44.0, 355.0}) {
                v.push_back(static_cast<T>(x));
            }
            break;
    }
    return v;
}

template <class T> T Ordinary(Func fn, std::mt19937_64& rng) {
    const bool f32 = sizeof(T) == 4;
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double u = unit(rng);
    switch (fn) {
        case Func::Exp: return static_cast<T>(f32 ? -110.0 + 200.0 * u : -760.0 + 1470.0 * u);
        case Func::Log: return static_cast<T>(std::exp2(f32 ? -150.0 + 278.0 * u : -1080.0 + 2104.0 * u));
        case Func::Sigmoid: return static_cast<T>(f32 ? -100.0 + 200.0 * u : -750.0 + 1500.0 * u);
        case Func::Tanh: return static_cast<T>(f32 ? -50.0 + 100.0 * u : -400.0 + 800.0 * u);
    }
    return T(0);
}

}  // namespace

template <class T> std::vector<T> MixedInputs(Func fn, std::size_t n, std::uint64_t seed, int specialsInEight) {
    std::mt19937_64 rng(seed);
    const std::vector<T> specials = Specials<T>(fn);
    std::vector<T> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (static_cast<int>(rng() % 8) < specialsInEight) {
            out[i] = specials[rng() % specials.size()];
        } else {
            out[i] = Ordinary<T>(fn, rng);
        }
    }
    return out;
}

template <class T> std::vector<T> RandomBitPatterns(std::size_t n, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::vector<T> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = FromBits<T>(static_cast<typename BitsOf<T>::Type>(rng()));
    }
    return out;
}

template std::vector<float> MixedInputs<float>(Func, std::size_t, std::uint64_t, int);
template std::vector<double> MixedInputs<double>(Func, std::size_t, std::uint64_t, int);
template std::vector<float> RandomBitPatterns<float>(std::size_t, std::uint64_t);
template std::vector<double> RandomBitPatterns<double>(std::size_t, std::uint64_t);

}  // namespace NOrvexTest

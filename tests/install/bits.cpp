// Prints the result bits of every public C++ entry point on the inputs of inputs.h, one line per
// entry point, named after its C function: the same lines as bits.c.
#include <orvex/orvex.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "inputs.h"

namespace {

template <class T> using Fn = void (*)(const T*, size_t, T*);

// The element type's inputs and bit-pattern width.
template <class T> struct Kind;
template <> struct Kind<float> {
    using Bits = std::uint32_t;
    static const Bits* Inputs() { return orvexInputs32; }
};
template <> struct Kind<double> {
    using Bits = std::uint64_t;
    static const Bits* Inputs() { return orvexInputs64; }
};

template <class T> void Print(const char* name, Fn<T> fn) {
    T x[ORVEX_INPUT_COUNT];
    alignas(32) static T dst[ORVEX_INPUT_COUNT];  // the _aligned entry points promise 32 bytes
    std::memcpy(x, Kind<T>::Inputs(), sizeof x);
    fn(x, ORVEX_INPUT_COUNT, dst);
    std::printf("%s", name);
    for (T y : dst) {
        typename Kind<T>::Bits bits;
        std::memcpy(&bits, &y, sizeof bits);
        std::printf(" %0*" PRIX64, static_cast<int>(2 * sizeof bits), static_cast<std::uint64_t>(bits));
    }
    std::printf("\n");
}

#define PRINT_FUNC(func, Func)                                                                     \
    Print("orvex_" #func "_f32", Fn<float>(NOrvex::Func<false, false>));                          \
    Print("orvex_" #func "_f32_aligned", Fn<float>(NOrvex::Func<false, true>));                   \
    Print("orvex_" #func "_exact_f32", Fn<float>(NOrvex::Func<true, false>));                     \
    Print("orvex_" #func "_exact_f32_aligned", Fn<float>(NOrvex::Func<true, true>));              \
    Print("orvex_" #func "_f64", Fn<double>(NOrvex::Func<false, false>));                         \
    Print("orvex_" #func "_f64_aligned", Fn<double>(NOrvex::Func<false, true>));                  \
    Print("orvex_" #func "_exact_f64", Fn<double>(NOrvex::Func<true, false>));                    \
    Print("orvex_" #func "_exact_f64_aligned", Fn<double>(NOrvex::Func<true, true>))

}  // namespace

int main() {
    PRINT_FUNC(exp, Exp);
    PRINT_FUNC(log, Log);
    PRINT_FUNC(sigmoid, Sigmoid);
    PRINT_FUNC(tanh, Tanh);
    return 0;
}

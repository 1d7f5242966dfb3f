// Prints the result bits of every public C++ entry point on the inputs of inputs.h, one line per
// entry point, named after its C function: the same lines as bits.c.
#include <orvex/orvex.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "inputs.h"

namespace {

alignas(32) float dst32[ORVEX_INPUT_COUNT];
alignas(32) double dst64[ORVEX_INPUT_COUNT];

void Print(const char* name, void (*fn)(const float*, size_t, float*)) {
    float x[ORVEX_INPUT_COUNT];
    std::memcpy(x, orvexInputs32, sizeof x);
    fn(x, ORVEX_INPUT_COUNT, dst32);
    std::printf("%s", name);
    for (float y : dst32) {
        std::uint32_t bits;
        std::memcpy(&bits, &y, sizeof bits);
        std::printf(" %08" PRIX32, bits);
    }
    std::printf("\n");
}

void Print(const char* name, void (*fn)(const double*, size_t, double*)) {
    double x[ORVEX_INPUT_COUNT];
    std::memcpy(x, orvexInputs64, sizeof x);
    fn(x, ORVEX_INPUT_COUNT, dst64);
    std::printf("%s", name);
    for (double y : dst64) {
        std::uint64_t bits;
        std::memcpy(&bits, &y, sizeof bits);
        std::printf(" %016" PRIX64, bits);
    }
    std::printf("\n");
}

template <class T> using Fn = void (*)(const T*, size_t, T*);

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

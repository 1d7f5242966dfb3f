/* Prints the result bits of every function of the C interface on the inputs of inputs.h, one line
   per function; bits.cpp prints the same lines from the C++ entry points. */
#include <orvex/orvex_c.h>

#include <inttypes.h>
#include <stdio.h>
#include <string.h>

#include "inputs.h"

/* The _aligned functions promise a 32-byte aligned destination. */
static float buffer32[ORVEX_INPUT_COUNT + 8];
static double buffer64[ORVEX_INPUT_COUNT + 4];

static void Print32(const char* name, void (*fn)(const float*, size_t, float*)) {
    float x[ORVEX_INPUT_COUNT];
    float* y = (float*)(((uintptr_t)buffer32 + 31) & ~(uintptr_t)31);
    uint32_t bits;
    size_t i;
    memcpy(x, orvexInputs32, sizeof x);
    fn(x, ORVEX_INPUT_COUNT, y);
    printf("%s", name);
    for (i = 0; i < ORVEX_INPUT_COUNT; ++i) {
        memcpy(&bits, &y[i], sizeof bits);
        printf(" %08" PRIX32, bits);
    }
    printf("\n");
}

static void Print64(const char* name, void (*fn)(const double*, size_t, double*)) {
    double x[ORVEX_INPUT_COUNT];
    double* y = (double*)(((uintptr_t)buffer64 + 31) & ~(uintptr_t)31);
    uint64_t bits;
    size_t i;
    memcpy(x, orvexInputs64, sizeof x);
    fn(x, ORVEX_INPUT_COUNT, y);
    printf("%s", name);
    for (i = 0; i < ORVEX_INPUT_COUNT; ++i) {
        memcpy(&bits, &y[i], sizeof bits);
        printf(" %016" PRIX64, bits);
    }
    printf("\n");
}

#define PRINT_FUNC(func)                                                                          \
    Print32("orvex_" #func "_f32", orvex_##func##_f32);                                            \
    Print32("orvex_" #func "_f32_aligned", orvex_##func##_f32_aligned);                            \
    Print32("orvex_" #func "_exact_f32", orvex_##func##_exact_f32);                                \
    Print32("orvex_" #func "_exact_f32_aligned", orvex_##func##_exact_f32_aligned);                \
    Print64("orvex_" #func "_f64", orvex_##func##_f64);                                            \
    Print64("orvex_" #func "_f64_aligned", orvex_##func##_f64_aligned);                            \
    Print64("orvex_" #func "_exact_f64", orvex_##func##_exact_f64);                                \
    Print64("orvex_" #func "_exact_f64_aligned", orvex_##func##_exact_f64_aligned)

int main(void) {
    PRINT_FUNC(exp);
    PRINT_FUNC(log);
    PRINT_FUNC(sigmoid);
    PRINT_FUNC(tanh);
    return 0;
}

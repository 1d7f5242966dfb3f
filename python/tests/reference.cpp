// The library's public entry points behind a C interface, for the module's tests (ctypes): the
// tests compute every case both ways and compare the bits.
#include <orvex/orvex.h>

#include <cstddef>

namespace {

template <bool Exact, class T> void Call(int function, const T* src, size_t count, T* dst) {
    switch (function) {
        case 0: return NOrvex::Exp<Exact, false>(src, count, dst);
        case 1: return NOrvex::Log<Exact, false>(src, count, dst);
        case 2: return NOrvex::Sigmoid<Exact, false>(src, count, dst);
        case 3: return NOrvex::Tanh<Exact, false>(src, count, dst);
    }
}

}  // namespace

// function: 0 exp, 1 log, 2 sigmoid, 3 tanh.
extern "C" void orvex_reference_float(int function, int exact, const float* src, size_t count, float* dst) {
    exact ? Call<true>(function, src, count, dst) : Call<false>(function, src, count, dst);
}

extern "C" void orvex_reference_double(int function, int exact, const double* src, size_t count, double* dst) {
    exact ? Call<true>(function, src, count, dst) : Call<false>(function, src, count, dst);
}

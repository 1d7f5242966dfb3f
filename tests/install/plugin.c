/* A shared object with the static orvex linked into it, the shape of every language binding and
   plugin: loader.c loads it with dlopen and calls it. */
#include <orvex/orvex_c.h>

void PluginSigmoid(const float* src, size_t count, float* dst) {
    orvex_sigmoid_f32(src, count, dst);
}

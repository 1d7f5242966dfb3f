/* Loads the shared object named on the command line, calls its PluginSigmoid and prints what the
   example under examples/sigmoid prints. Exits 1 if the object cannot be loaded. */
#include <dlfcn.h>
#include <stddef.h>
#include <stdio.h>

typedef void (*SigmoidFn)(const float*, size_t, float*);

int main(int argc, char** argv) {
    const float x[] = {-6.0f, -2.0f, -1.0f, -0.5f, 0.0f, 0.5f, 1.0f, 2.0f, 6.0f};
    float y[sizeof x / sizeof x[0]];
    const size_t count = sizeof x / sizeof x[0];
    void* object;
    void* symbol;
    SigmoidFn sigmoid;
    size_t i;

    if (argc != 2) {
        fprintf(stderr, "usage: loader SHARED_OBJECT\n");
        return 1;
    }
    object = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (object == NULL) {
        fprintf(stderr, "loader: %s\n", dlerror());
        return 1;
    }
    symbol = dlsym(object, "PluginSigmoid");
    if (symbol == NULL) {
        fprintf(stderr, "loader: %s\n", dlerror());
        return 1;
    }
    *(void**)&sigmoid = symbol;
    sigmoid(x, count, y);
    for (i = 0; i < count; ++i) {
        printf("sigmoid(%+.1f) = %.4f\n", x[i], y[i]);
    }
    dlclose(object);
    return 0;
}

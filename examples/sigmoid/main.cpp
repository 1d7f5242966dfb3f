// Applies the logistic sigmoid to an array through the installed orvex package.
#include <orvex/orvex.h>

#include <cstdio>

int main() {
    const float x[] = {-6.0f, -2.0f, -1.0f, -0.5f, 0.0f, 0.5f, 1.0f, 2.0f, 6.0f};
    const size_t count = sizeof(x) / sizeof(x[0]);
    float y[count];
    NOrvex::Sigmoid(x, count, y);  // fast variant, any destination alignment
    for (size_t i = 0; i < count; ++i) {
        std::printf("sigmoid(%+.1f) = %.4f\n", x[i], y[i]);
    }
    return 0;
}

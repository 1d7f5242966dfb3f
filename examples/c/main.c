/* Applies the logistic sigmoid to an array from C, through the installed orvex package. */
#include <orvex/orvex_c.h>

#include <stdio.h>

int main(void) {
    const float x[] = {-6.0f, -2.0f, -1.0f, -0.5f, 0.0f, 0.5f, 1.0f, 2.0f, 6.0f};
    float y[sizeof x / sizeof x[0]];
    const size_t count = sizeof x / sizeof x[0];
    size_t i;

    orvex_sigmoid_f32(x, count, y); /* fast variant, any destination alignment */
    printf("orvex %s, tier %s\n", orvex_version(), orvex_tier());
    for (i = 0; i < count; ++i) {
        printf("sigmoid(%+.1f) = %.4f\n", x[i], y[i]);
    }
    return 0;
}

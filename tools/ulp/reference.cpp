// The references of float and double inputs.
#include "reference.h"

#include <cmath>

namespace NOrvexUlp {

const char* FunctionName(EFunction f) {
    switch (f) {
        case EFunction::Exp: return "exp";
        case EFunction::Log: return "log";
        case EFunction::Sigmoid: return "sigm";
        case EFunction::Tanh: break;
    }
    return "tanh";
}

bool FunctionOf(const std::string& name, EFunction& f) {
    for (EFunction g : {EFunction::Exp, EFunction::Log, EFunction::Sigmoid, EFunction::Tanh}) {
        if (name == FunctionName(g)) {
            f = g;
            return true;
        }
    }
    return false;
}

double FloatReference(EFunction f, float x) {
    const double w = x;
    switch (f) {
        case EFunction::Exp: return std::exp(w);
        case EFunction::Log: return std::log(w);
        case EFunction::Sigmoid: return 1.0 / (1.0 + std::exp(-w));
        case EFunction::Tanh: break;
    }
    return std::tanh(w);
}

void DoubleReference(EFunction f, double x, mpfr_t r, mpfr_t scratch) {
    switch (f) {
        case EFunction::Exp:
            mpfr_set_d(scratch, x, MPFR_RNDN);
            mpfr_exp(r, scratch, MPFR_RNDN);
            return;
        case EFunction::Log:
            mpfr_set_d(scratch, x, MPFR_RNDN);
            mpfr_log(r, scratch, MPFR_RNDN);  // NaN below 0, -infinity at +-0
            return;
        case EFunction::Sigmoid:
            mpfr_set_d(scratch, -x, MPFR_RNDN);
            mpfr_exp(scratch, scratch, MPFR_RNDN);  // +infinity beyond MPFR's range: the sigmoid is then 0
            mpfr_add_ui(scratch, scratch, 1, MPFR_RNDN);
            mpfr_ui_div(r, 1, scratch, MPFR_RNDN);
            return;
        case EFunction::Tanh:
            break;
    }
    mpfr_set_d(scratch, x, MPFR_RNDN);
    mpfr_tanh(r, scratch, MPFR_RNDN);
}

}  // namespace NOrvexUlp

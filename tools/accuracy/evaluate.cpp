// The evaluation pass: points, references, the kernel call, relative errors, the report.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "accuracy.h"
#include "orvex/orvex.h"

namespace {

using namespace NOrvex;

template <class T> using Kernel = void (*)(const T* src, std::size_t count, T* dst);

enum class Function { Exp, Log, Sigm, Tanh };

Function FunctionOf(const std::string& func) {
    if (func == "exp") return Function::Exp;
    if (func == "log") return Function::Log;
    if (func == "sigm") return Function::Sigm;
    return Function::Tanh;
}

template <class T> Kernel<T> Pick(Function f, Kernel<T> exp, Kernel<T> log, Kernel<T> sigm, Kernel<T> tanh) {
    switch (f) {
        case Function::Exp: return exp;
        case Function::Log: return log;
        case Function::Sigm: return sigm;
        case Function::Tanh: break;
    }
    return tanh;
}

template <class T> Kernel<T> ChooseKernel(Function f, const std::string& arch, bool exact) {
    if (arch == "plain") return Pick<T>(f, ExpPlain, LogPlain, SigmoidPlain, TanhPlain);
    if (arch == "avx") {
        return exact ? Pick<T>(f, ExpAvx<true, false>, LogAvx<true, false>, SigmoidAvx<true, false>,
                               TanhAvx<true, false>)
                     : Pick<T>(f, ExpAvx<false, false>, LogAvx<false, false>, SigmoidAvx<false, false>,
                               TanhAvx<false, false>);
    }
    return exact ? Pick<T>(f, ExpAvx2<true, false>, LogAvx2<true, false>, SigmoidAvx2<true, false>,
                           TanhAvx2<true, false>)
                 : Pick<T>(f, ExpAvx2<false, false>, LogAvx2<false, false>, SigmoidAvx2<false, false>,
                           TanhAvx2<false, false>);
}

// The system library's value at the (widened) input, in double precision.
double Reference(Function f, double x) {
    switch (f) {
        case Function::Exp: return std::exp(x);
        case Function::Log: return std::log(x);
        case Function::Sigm: return 1.0 / (std::exp(-x) + 1.0);
        case Function::Tanh: break;
    }
    return std::tanh(x);
}

template <class T> void Run(const AccuracyOptions& options, std::ostream& out) {
    const Function f = FunctionOf(options.func);
    const Kernel<T> kernel = ChooseKernel<T>(f, options.arch, options.exact);
    const float d = options.max - options.min;
    double maxError = 0.0;
    // count + 1 points; wraps to none at all for count = 2^64 - 1.
    for (std::uint64_t i = 0; i < options.count + 1; ++i) {
        // The step is rounded to float before the division; count = 0 gives 0 / 0, a NaN.
        const float s = static_cast<float>(i) * d;
        const double p = static_cast<double>(s) / static_cast<double>(options.count) + static_cast<double>(options.min);
        const T point = static_cast<T>(p);
        const T x = f == Function::Log ? static_cast<T>(std::exp(static_cast<double>(point))) : point;
        // For sigm the negation is applied to x itself (exact, so the same in either precision).
        const T t = static_cast<T>(Reference(f, static_cast<double>(x)));
        T a;
        kernel(&x, 1, &a);
        const double r =
            std::fabs(static_cast<double>(a) - static_cast<double>(t)) / (std::fabs(static_cast<double>(t)) + 1e-100);
        if (r > maxError) maxError = r;  // a NaN error never wins
        if (options.print) {
            out << static_cast<double>(x) << '\t' << static_cast<double>(t) << '\t' << static_cast<double>(a) << '\t'
                << r << '\n';
        }
    }
    out << "Maximum relative error: " << maxError << '\n';
}

}  // namespace

void Evaluate(const AccuracyOptions& options, std::ostream& out) {
    if (options.print) out << "input\ttrue\tapprox\n";
    if (options.doublePrecision) {
        Run<double>(options, out);
    } else {
        Run<float>(options, out);
    }
}

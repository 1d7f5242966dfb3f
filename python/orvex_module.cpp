// The Python module `orvex`: the library's four functions over numpy arrays, in the manner of
// numpy's own functions. Every element goes through the public entry point of its precision, so a
// result is bit for bit what the C++ call gives for that element.
//
// The hot path (a float32 or float64 array the kernels can read directly) asks numpy's C interface
// only for flags and one allocation; everything else is converted or copied first, so that the
// kernels always see one dense, aligned, native-endian block.
#include <pybind11/pybind11.h>

#define NPY_NO_DEPRECATED_API NPY_1_7_API_VERSION
#include <numpy/arrayobject.h>

#include <orvex/orvex.h>
#include <orvex/orvex_c.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace py = pybind11;

namespace {

using TKernelF = void (*)(const float*, size_t, float*);
using TKernelD = void (*)(const double*, size_t, double*);

struct TFunction {
    const char* Name;
    TKernelF Float[2];  // indexed by exact
    TKernelD Double[2];
};

const TFunction kExp{"exp", {NOrvex::Exp<false, false>, NOrvex::Exp<true, false>},
                     {NOrvex::Exp<false, false>, NOrvex::Exp<true, false>}};
const TFunction kLog{"log", {NOrvex::Log<false, false>, NOrvex::Log<true, false>},
                     {NOrvex::Log<false, false>, NOrvex::Log<true, false>}};
const TFunction kSigmoid{"sigmoid", {NOrvex::Sigmoid<false, false>, NOrvex::Sigmoid<true, false>},
                         {NOrvex::Sigmoid<false, false>, NOrvex::Sigmoid<true, false>}};
const TFunction kTanh{"tanh", {NOrvex::Tanh<false, false>, NOrvex::Tanh<true, false>},
                      {NOrvex::Tanh<false, false>, NOrvex::Tanh<true, false>}};

// Below this many elements the kernel takes less time than handing the interpreter lock to another
// thread and back, so small calls keep it.
constexpr npy_intp kReleaseLockFrom = 4096;

PyArrayObject* AsArray(const py::handle& h) {
    return reinterpret_cast<PyArrayObject*>(h.ptr());
}

py::object Steal(PyObject* p) {
    if (p == nullptr) {
        throw py::error_already_set();
    }
    return py::reinterpret_steal<py::object>(p);
}

std::string Prefix(const TFunction& f) {
    return std::string("orvex.") + f.Name + ": ";
}

std::string ShapeText(PyArrayObject* a) {
    const int ndim = PyArray_NDIM(a);
    std::string text = "(";
    for (int i = 0; i < ndim; ++i) {
        text += std::to_string(PyArray_DIM(a, i));
        text += ndim == 1 ? "," : i + 1 < ndim ? ", " : "";
    }
    return text + ")";
}

std::string DtypeText(PyArrayObject* a) {
    return py::str(reinterpret_cast<PyObject*>(PyArray_DESCR(a)));
}

// The input as an array of float32 or float64 that the kernels can read in place. `Fresh` says
// that the array was made here and nobody else holds it, so the result may overwrite it.
struct TInput {
    py::object Array;
    bool Fresh;
};

TInput PrepareInput(const TFunction& f, py::handle x) {
    py::object array;
    bool fresh;
    if (PyArray_Check(x.ptr())) {
        array = py::reinterpret_borrow<py::object>(x);
        fresh = false;
    } else {
        array = Steal(PyArray_FromAny(x.ptr(), nullptr, 0, 0, 0, nullptr));
        // Numbers and sequences always become new arrays; other objects (buffers, __array__)
        // may hand out memory someone else still uses.
        fresh = PyFloat_Check(x.ptr()) || PyLong_Check(x.ptr()) || PyList_Check(x.ptr()) ||
                PyTuple_Check(x.ptr()) || PyArray_IsScalar(x.ptr(), Generic);
    }
    PyArrayObject* a = AsArray(array);
    const int type = PyArray_TYPE(a);
    const bool precise = type == NPY_FLOAT || type == NPY_DOUBLE;
    if (precise && PyArray_ISNOTSWAPPED(a) && PyArray_ISALIGNED(a)) {
        return {array, fresh};
    }
    if (!precise && !PyTypeNum_ISBOOL(type) && !PyTypeNum_ISINTEGER(type) && !PyTypeNum_ISFLOAT(type)) {
        throw py::type_error(Prefix(f) + "unsupported input of dtype " + DtypeText(a) +
                             "; accepted are float32 and float64 arrays, computed in their own "
                             "precision, and real numbers, sequences of them and integer, boolean "
                             "or other floating-point arrays, converted to float64");
    }
    // Byte-swapped or misaligned float32/float64 keep their precision; the rest becomes float64
    // by numpy's own conversion.
    PyArray_Descr* target = PyArray_DescrFromType(precise ? type : NPY_DOUBLE);
    return {Steal(PyArray_CastToType(a, target, PyArray_ISFORTRAN(a))), true};
}

// Whether element i of both arrays sits at byte i * itemsize of each: both dense in the same order.
bool SameDenseOrder(PyArrayObject* a, PyArrayObject* b) {
    return (PyArray_IS_C_CONTIGUOUS(a) && PyArray_IS_C_CONTIGUOUS(b)) ||
           (PyArray_IS_F_CONTIGUOUS(a) && PyArray_IS_F_CONTIGUOUS(b));
}

bool IsDense(PyArrayObject* a) {
    return PyArray_IS_C_CONTIGUOUS(a) || PyArray_IS_F_CONTIGUOUS(a);
}

// For two dense arrays of the same size and type.
bool Overlap(PyArrayObject* a, PyArrayObject* b) {
    const auto lo = [](PyArrayObject* p) { return reinterpret_cast<std::uintptr_t>(PyArray_DATA(p)); };
    const std::uintptr_t bytes = static_cast<std::uintptr_t>(PyArray_NBYTES(a));
    return lo(a) < lo(b) + bytes && lo(b) < lo(a) + bytes;
}

void Run(const TFunction& f, bool exact, int type, const void* src, void* dst, npy_intp count) {
    if (count == 0) {
        return;
    }
    const size_t n = static_cast<size_t>(count);
    const auto call = [&] {
        if (type == NPY_FLOAT) {
            f.Float[exact](static_cast<const float*>(src), n, static_cast<float*>(dst));
        } else {
            f.Double[exact](static_cast<const double*>(src), n, static_cast<double*>(dst));
        }
    };
    if (count >= kReleaseLockFrom) {
        py::gil_scoped_release unlocked;
        call();
    } else {
        call();
    }
}

void RunInPlace(const TFunction& f, bool exact, PyArrayObject* a) {
    Run(f, exact, PyArray_TYPE(a), PyArray_DATA(a), PyArray_DATA(a), PyArray_SIZE(a));
}

// A new result: a 0-d array becomes a numpy scalar, as numpy's functions return them.
py::object Result(py::object array) {
    if (PyArray_NDIM(AsArray(array)) == 0) {
        return Steal(PyArray_Return(reinterpret_cast<PyArrayObject*>(array.release().ptr())));
    }
    return array;
}

void CheckOut(const TFunction& f, py::handle out, PyArrayObject* src) {
    if (!PyArray_Check(out.ptr())) {
        throw py::type_error(Prefix(f) + "out must be a numpy.ndarray, not " +
                             Py_TYPE(out.ptr())->tp_name);
    }
    PyArrayObject* o = AsArray(out);
    if (!PyArray_SAMESHAPE(o, src)) {
        throw py::value_error(Prefix(f) + "out has shape " + ShapeText(o) + ", the input " +
                              ShapeText(src));
    }
    if (PyArray_TYPE(o) != PyArray_TYPE(src) || !PyArray_ISNOTSWAPPED(o)) {
        throw py::type_error(Prefix(f) + "out has dtype " + DtypeText(o) + ", the result " +
                             DtypeText(src));
    }
    if (!PyArray_ISWRITEABLE(o)) {
        throw py::value_error(Prefix(f) + "out is read-only");
    }
}

py::object Apply(const TFunction& f, py::handle x, bool exact, py::handle out) {
    TInput input = PrepareInput(f, x);
    PyArrayObject* src = AsArray(input.Array);
    if (out.is_none()) {
        if (input.Fresh) {
            RunInPlace(f, exact, src);
            return Result(std::move(input.Array));
        }
        if (IsDense(src)) {
            py::object result = Steal(PyArray_NewLikeArray(src, NPY_KEEPORDER, nullptr, 0));
            PyArrayObject* dst = AsArray(result);
            if (SameDenseOrder(src, dst)) {
                Run(f, exact, PyArray_TYPE(src), PyArray_DATA(src), PyArray_DATA(dst), PyArray_SIZE(src));
                return Result(std::move(result));
            }
        }
        py::object copy = Steal(PyArray_NewCopy(src, NPY_KEEPORDER));
        RunInPlace(f, exact, AsArray(copy));
        return Result(std::move(copy));
    }

    CheckOut(f, out, src);
    PyArrayObject* dst = AsArray(out);
    if (PyArray_ISALIGNED(dst) && SameDenseOrder(src, dst) &&
        (PyArray_DATA(src) == PyArray_DATA(dst) || !Overlap(src, dst))) {
        Run(f, exact, PyArray_TYPE(src), PyArray_DATA(src), PyArray_DATA(dst), PyArray_SIZE(src));
        return py::reinterpret_borrow<py::object>(out);
    }
    // Strided, misaligned or partly overlapping: compute densely, then let numpy scatter.
    py::object scratch = input.Fresh ? std::move(input.Array) : Steal(PyArray_NewCopy(src, NPY_KEEPORDER));
    RunInPlace(f, exact, AsArray(scratch));
    if (PyArray_CopyInto(dst, AsArray(scratch)) < 0) {
        throw py::error_already_set();
    }
    return py::reinterpret_borrow<py::object>(out);
}

const char* const kModuleDoc = R"(Vectorised exp, log, logistic sigmoid and tanh over numpy arrays.

Each function takes an array, a number or a sequence and returns the result in the
input's shape. float32 and float64 arrays are computed in their own precision; other
real input (Python numbers, sequences, integer, boolean and other floating-point
arrays) is converted to float64 first. A scalar input gives a numpy scalar. Every
result is bit for bit what the C++ library's public entry point gives for that
element on this processor (see tier()); results are reproducible, the AVX and AVX2
tiers of a function may differ in the last bit, and the AVX-512 tier gives the AVX2
tier's bits.

Every function takes the keyword arguments
  exact=False  the more accurate, slower variant when true;
  out=None     a writable array of the input's shape and the result's dtype to fill
               and return; out=x works in place.
)";

const char* const kExpDoc = R"(exp(x, /, *, exact=False, out=None)

e**x, elementwise.

Fast: relative error about 3.4e-6 near 0, up to 7e-6 (float32) / 3.3e-6 (float64);
results below 2**-126 (float32) / 2**-1022 (float64) are crude, below half that +0.
Exact: about 1.1e-7 for |x| <= 1, growing to 3.8e-6 near |x| = 88 (float32);
about 9e-13 (float64); correctly rounded subnormal results.
Special values: +inf gives +inf, -inf gives +0, +-0 give exactly 1; NaN gives +inf
(fast) or the NaN, quieted (exact).
)";

const char* const kLogDoc = R"(log(x, /, *, exact=False, out=None)

Natural logarithm, elementwise.

Fast: relative error about 9.3e-6 (float32) / 9.2e-6 (float64).
Exact: about 3e-7 (float32) / 4.6e-9 (float64); subnormal inputs accurate.
Special values: +-0 give -inf, +inf gives +inf, 1 gives exactly +0, every NaN is
returned bit for bit (a signalling NaN is not quieted), negative inputs give the
negative quiet NaN (0xFFC00000 / 0xFFF8000000000000).
)";

const char* const kSigmoidDoc = R"(sigmoid(x, /, *, exact=False, out=None)

Logistic sigmoid 1 / (1 + e**-x), elementwise, with a true IEEE division.

Fast: within 1e-5 of the true sigmoid. Exact: within 2e-6 (float32) / 2e-12 (float64).
Special values: saturates to exactly 1 from x = 16.64 (float32) / 36.74 (float64), to
+0 below -88.72 / -709.78; NaN gives +0 (fast) or the NaN, quieted (exact).
)";

const char* const kTanhDoc = R"(tanh(x, /, *, exact=False, out=None)

Hyperbolic tangent as 2 / (1 + e**-2x) - 1, elementwise: an absolute, not a relative,
error, and not odd-symmetric in the last bits.

Fast: within 2.5e-6 absolute. Exact: within 3e-7 (float32) / 1e-12 (float64) absolute.
Special values: tiny inputs give +0, never -0; NaN gives -1 (fast) or the NaN, quieted
(exact).
)";

const char* const kTierDoc = R"(tier()

The instruction-set tier the functions run on in this process: "avx512" (AVX-512 F, CD,
BW, DQ and VL), "avx2" (AVX2 and FMA3), "avx" or "plain" (the x86-64 baseline), chosen
once from the processor and the operating system. "avx512" and "avx2" give the same bits.
)";

template <const TFunction& F> void Define(py::module_& m, const char* doc) {
    m.def(
        F.Name, [](const py::object& x, bool exact, const py::object& out) { return Apply(F, x, exact, out); },
        py::arg("x"), py::pos_only(), py::kw_only(), py::arg("exact") = false, py::arg("out") = py::none(), doc);
}

}  // namespace

PYBIND11_MODULE(orvex, m) {
    if (_import_array() < 0) {
        throw py::error_already_set();
    }
    // The docstrings carry numpy-style signatures of their own.
    py::options options;
    options.disable_function_signatures();
    m.doc() = kModuleDoc;
    m.attr("__version__") = orvex_version();
    Define<kExp>(m, kExpDoc);
    Define<kLog>(m, kLogDoc);
    Define<kSigmoid>(m, kSigmoidDoc);
    Define<kTanh>(m, kTanhDoc);
    m.def("tier", &orvex_tier, kTierDoc);
}

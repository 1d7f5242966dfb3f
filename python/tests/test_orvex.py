"""The module against the C++ entry points: bits, shapes, strides, scalars, out=, errors, threads."""
import os
import re
import threading

import numpy as np
import pytest

import orvex
from conftest import DTYPES, FUNCTIONS

UINT = {np.dtype(np.float32): np.uint32, np.dtype(np.float64): np.uint64}
HERE = os.path.dirname(os.path.abspath(__file__))


def assert_same_bits(got, want):
    assert isinstance(got, np.ndarray) and isinstance(want, np.ndarray)
    assert got.dtype == want.dtype and got.shape == want.shape
    uint = UINT[got.dtype]
    np.testing.assert_array_equal(np.ascontiguousarray(got).view(uint), np.ascontiguousarray(want).view(uint))


def bits(dtype, patterns):
    return np.array(patterns, dtype=UINT[np.dtype(dtype)]).view(dtype)


def special_values(dtype):
    """Zeros, infinities, NaNs of both signs and kinds with payloads, subnormals, the extremes and
    the points where the functions saturate, under- or overflow."""
    if dtype is np.float32:
        patterns = [0x00000000, 0x80000000, 0x7F800000, 0xFF800000, 0x7FC00000, 0xFFC00000,
                    0x7F800001, 0x7FA12345, 0xFFC12345, 0xFF800001, 0x00000001, 0x80000001,
                    0x007FFFFF, 0x807FFFFF, 0x00800000, 0x80800000, 0x7F7FFFFF, 0xFF7FFFFF]
        decimals = [1, -1, 0.5, 2, 88.72, -88.72, 88.73, -87.34, -103.9, -104, 16.63, 16.64, 16.65,
                    9.01, -9.01, 1e-8, -1e-8, 3e-39, 0.693147]
    else:
        patterns = [0x0000000000000000, 0x8000000000000000, 0x7FF0000000000000, 0xFFF0000000000000,
                    0x7FF8000000000000, 0xFFF8000000000000, 0x7FF0000000000001, 0x7FF4000000012345,
                    0xFFF8000000012345, 0x0000000000000001, 0x8000000000000001, 0x000FFFFFFFFFFFFF,
                    0x0010000000000000, 0x8010000000000000, 0x7FEFFFFFFFFFFFFF, 0xFFEFFFFFFFFFFFFF]
        decimals = [1, -1, 0.5, 2, 709.78, 709.79, -709.78, -708.4, -745.13, -745.14, -746, 36.73,
                    36.74, 36.75, 19.06, -19.06, 1e-300, -1e-17, 1e-17, 0.693147180559945]
    values = np.concatenate([bits(dtype, patterns), np.array(decimals, dtype=dtype)])
    return np.concatenate([values, -values])


def random_values(dtype, function, seed):
    """Random bit patterns over the whole type, and random values where the function is neither
    saturated nor out of range. An odd count, so that the kernels' tails run as well."""
    rng = np.random.default_rng(seed)
    uint = UINT[np.dtype(dtype)]
    raw = rng.integers(0, np.iinfo(uint).max, size=3001, dtype=uint, endpoint=True).view(dtype)
    limit = 90.0 if dtype is np.float32 else 710.0
    if function == "log":
        ordinary = np.exp(rng.uniform(-limit, limit - 2, 3001)).astype(dtype)
    else:
        ordinary = rng.uniform(-limit, limit, 3001).astype(dtype)
    near = rng.uniform(-20, 20, 3001).astype(dtype)
    return np.concatenate([raw, ordinary, near])


@pytest.mark.parametrize("function", FUNCTIONS)
@pytest.mark.parametrize("dtype", DTYPES)
@pytest.mark.parametrize("exact", [False, True])
def test_bits_equal_the_cpp_entry_points(reference, function, dtype, exact):
    for x in (special_values(dtype), random_values(dtype, function, FUNCTIONS.index(function))):
        before = x.copy()
        got = getattr(orvex, function)(x, exact=exact)
        assert_same_bits(got, reference(function, x, exact))
        assert_same_bits(x, before)
        # A single element gives the same bits alone as inside an array.
        for i in (0, 7, len(x) - 1):
            assert_same_bits(np.asarray(getattr(orvex, function)(x[i], exact=exact)).reshape(1), got[i:i + 1])


def views(dtype):
    """Strided, reversed, transposed, zero-stride, empty and 0-d views of one array."""
    base = np.random.default_rng(5).uniform(-3, 3, (6, 7, 5)).astype(dtype)
    return [
        base,
        base.T,
        base[::2, :, ::-1],
        base[:, 3],
        base[..., ::3],
        base[1:, 2:, 1:].transpose(2, 0, 1),
        np.broadcast_to(base[0, 0], (4, 5)),
        base[2, 3, 4, ...],
        base[:0],
        base[:, :0, 1],
        np.asfortranarray(base),
    ]


@pytest.mark.parametrize("dtype", DTYPES)
@pytest.mark.parametrize("function", FUNCTIONS)
def test_any_shape_and_strides(reference, dtype, function):
    call = getattr(orvex, function)
    for x in views(dtype):
        want = reference(function, np.ascontiguousarray(x)).reshape(x.shape)
        got = call(x)
        assert isinstance(got, np.ndarray if x.ndim else np.generic)
        assert_same_bits(np.asarray(got), want)
        # Into an out of every layout as well.
        for out in (np.empty_like(x), np.zeros(x.shape + (2,), dtype)[..., 1], np.empty(x.shape, dtype, order="F")):
            assert call(x, out=out) is out
            assert_same_bits(out, want)


@pytest.mark.parametrize("dtype", DTYPES)
def test_in_place(reference, dtype):
    base = np.random.default_rng(6).uniform(0.1, 5, 101).astype(dtype)
    for select in (np.s_[:], np.s_[::3], np.s_[::-1]):
        for function in FUNCTIONS:
            data = base.copy()
            x = data[select]
            want = reference(function, x)
            assert getattr(orvex, function)(x, out=x) is x
            assert_same_bits(x, want)
            assert_same_bits(np.delete(data, np.arange(101)[select]), np.delete(base, np.arange(101)[select]))


@pytest.mark.parametrize("dtype", DTYPES)
def test_out_overlapping_the_input(reference, dtype):
    """Partly overlapping arrays, which the kernels themselves do not allow, read every input
    element before its place is overwritten, as numpy's functions do."""
    base = np.random.default_rng(7).uniform(-2, 2, 64).astype(dtype)
    parts = [(lambda d: d[:-1], lambda d: d[1:]), (lambda d: d[1:], lambda d: d[:-1]),
             (lambda d: d[:-8], lambda d: d[8:]), (lambda d: d[::2], lambda d: d[1::2]),
             (lambda d: d[:40], lambda d: d[-40:][::-1]), (lambda d: d[:40][::-1], lambda d: d[-40:])]
    for x_part, out_part in parts:
        data = base.copy()
        want = reference("tanh", x_part(base))
        orvex.tanh(x_part(data), out=out_part(data))
        assert_same_bits(out_part(data), want)


def test_scalars_give_numpy_scalars(reference):
    cases = [(0.5, np.float64), (2, np.float64), (True, np.float64), (np.float32(0.5), np.float32),
             (np.float64(0.5), np.float64), (np.array(0.5, np.float32), np.float32), (np.int8(3), np.float64),
             (np.float16(0.5), np.float64)]
    for x, dtype in cases:
        for function in FUNCTIONS:
            got = getattr(orvex, function)(x)
            assert type(got) is dtype, (x, function)
            assert_same_bits(np.asarray(got).reshape(1), reference(function, np.array([x], dtype)))
    # With out=, the 0-d array itself comes back, as from numpy.
    out = np.zeros((), np.float32)
    assert orvex.exp(np.float32(1), out=out) is out and out == orvex.exp(np.float32(1))


def test_other_real_input_is_converted_to_float64(reference):
    numbers = [[-3, 0, 1, 2, 7]] * 2
    cases = [numbers, tuple(numbers[0]), [0.5, 1, True], np.array(numbers, np.int8), np.array(numbers[0][1:], np.uint64),
             np.array(numbers, np.int64), np.array(numbers, bool), np.array(numbers, np.float16),
             np.array(numbers, np.longdouble) / 3]
    for x in cases:
        want64 = np.array(x).astype(np.float64)
        for function in FUNCTIONS:
            got = getattr(orvex, function)(x)
            assert_same_bits(got, reference(function, want64).reshape(want64.shape))


@pytest.mark.parametrize("dtype", DTYPES)
def test_byte_swapped_and_misaligned_input(reference, dtype):
    values = np.random.default_rng(8).uniform(-5, 5, 33).astype(dtype)
    swapped = values.astype(np.dtype(dtype).newbyteorder())
    got = orvex.exp(swapped)
    assert got.dtype == np.dtype(dtype)
    assert_same_bits(got, reference("exp", values))
    raw = bytearray(values.nbytes + 1)
    misaligned = np.frombuffer(raw, dtype, count=values.size, offset=1)
    misaligned[...] = values
    assert not misaligned.flags.aligned
    assert_same_bits(orvex.log(misaligned), reference("log", values))
    out = np.frombuffer(bytearray(values.nbytes + 3), dtype, count=values.size, offset=3)
    assert orvex.log(values, out=out) is out
    assert_same_bits(out, reference("log", values))


def test_shared_buffers_are_not_overwritten(reference):
    """An input that merely shares memory with its owner (here a memoryview) stays unchanged."""
    data = np.linspace(-1, 1, 9)
    view = memoryview(data)
    got = orvex.exp(view)
    assert_same_bits(got, reference("exp", data))
    assert_same_bits(data, np.linspace(-1, 1, 9))


def test_empty_arrays():
    for shape in ((0,), (3, 0), (0, 4, 2)):
        for dtype in DTYPES:
            x = np.empty(shape, dtype)
            got = orvex.sigmoid(x)
            assert got.shape == shape and got.dtype == np.dtype(dtype)
            out = np.empty(shape, dtype)
            assert orvex.sigmoid(x, out=out, exact=True) is out
    assert orvex.exp([]).dtype == np.float64


ERRORS = [
    # (description, x, keyword arguments, exception, text of the message)
    ("complex array", np.ones(3, np.complex64), {}, TypeError, "float32 and float64"),
    ("complex number", 1j, {}, TypeError, "complex128"),
    ("object array", np.array([1.0, None]), {}, TypeError, "float32 and float64"),
    ("strings", ["1.0", "2.0"], {}, TypeError, "float32 and float64"),
    ("datetimes", np.array(["2024-01-01"], "datetime64[D]"), {}, TypeError, "float32 and float64"),
    ("out a list", np.ones(3), {"out": [0.0, 0.0, 0.0]}, TypeError, "out must be a numpy.ndarray, not list"),
    ("out of another shape", np.ones(3), {"out": np.zeros(4)}, ValueError, "out has shape (4,), the input (3,)"),
    ("out of another rank", np.ones((2, 3)), {"out": np.zeros(6)}, ValueError, "out has shape (6,), the input (2, 3)"),
    ("out float32 for float64", np.ones(3), {"out": np.zeros(3, np.float32)}, TypeError,
     "out has dtype float32, the result float64"),
    ("out float64 for float32", np.ones(3, np.float32), {"out": np.zeros(3)}, TypeError,
     "out has dtype float64, the result float32"),
    ("out float64 for integers", np.ones(3, np.int32), {"out": np.zeros(3, np.int32)}, TypeError,
     "out has dtype int32, the result float64"),
    ("out byte-swapped", np.ones(3), {"out": np.zeros(3, ">f8")}, TypeError, "out has dtype >f8, the result float64"),
    ("out read-only", np.ones(3), {"out": np.broadcast_to(np.zeros(1), (3,))}, ValueError, "out is read-only"),
    ("unknown keyword", np.ones(3), {"where": True}, TypeError, "incompatible function arguments"),
    ("exact not a truth value", np.ones(3), {"exact": "yes"}, TypeError, "incompatible function arguments"),
]


@pytest.mark.parametrize("function", FUNCTIONS)
@pytest.mark.parametrize("case", ERRORS, ids=[case[0] for case in ERRORS])
def test_errors_leave_out_untouched(function, case):
    _, x, kwargs, error, text = case
    out = kwargs.get("out")
    before = out.copy() if isinstance(out, np.ndarray) else None
    with pytest.raises(error, match=re.escape(text)) as raised:
        getattr(orvex, function)(x, **kwargs)
    if "incompatible" not in text:
        assert str(raised.value).startswith(f"orvex.{function}: ")
    if before is not None:
        assert out.tobytes() == before.tobytes()
    # A valid out is not written when the input is refused either.
    if "out" not in kwargs and error is TypeError and "incompatible" not in text:
        valid = np.full(np.shape(x), 7.0)
        with pytest.raises(TypeError):
            getattr(orvex, function)(x, out=valid)
        assert (valid == 7.0).all()


def test_positional_and_keyword_use():
    x = np.ones(3)
    with pytest.raises(TypeError):
        orvex.exp(x, True)  # exact and out are keyword-only
    with pytest.raises(TypeError):
        orvex.exp(x=x)  # x is positional-only, as in numpy's functions
    with pytest.raises(TypeError):
        orvex.exp()


def test_threads_compute_at_once(reference):
    """Several threads, each on arrays large enough that the interpreter lock is released while the
    kernel runs, all get the C++ bits."""
    threads_count, rounds = 6, 20
    rng = np.random.default_rng(9)
    inputs = [rng.uniform(-30, 30, 100_003).astype(DTYPES[i % 2]) for i in range(threads_count)]
    wants = [{(f, exact): reference(f, x, exact) for f in FUNCTIONS for exact in (False, True)} for x in inputs]
    start = threading.Barrier(threads_count)
    failures = []

    def work(i):
        x = inputs[i]
        out = np.empty_like(x)
        start.wait()
        for r in range(rounds):
            function = FUNCTIONS[(i + r) % 4]
            exact = r % 3 == 0
            got = getattr(orvex, function)(x, exact=exact, out=out if r % 2 else None)
            if not np.array_equal(got.view(UINT[x.dtype]), wants[i][function, exact].view(UINT[x.dtype])):
                failures.append((i, r, function, exact))

    threads = [threading.Thread(target=work, args=(i,)) for i in range(threads_count)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert not failures


def test_tier_is_the_best_the_processor_has():
    """Checked against the flags the operating system reports (it hides AVX when it does not save
    the AVX registers): the tier's instructions are there, and no better tier is. An emulated processor, whose flags /proc/cpuinfo does not show, names its tier in
    ORVEX_EXPECT_TIER."""
    if os.environ.get("ORVEX_EXPECT_TIER"):
        assert orvex.tier() == os.environ["ORVEX_EXPECT_TIER"]
        return
    with open("/proc/cpuinfo") as f:
        flags = set(next(line for line in f if line.startswith("flags")).split())
    avx2 = {"avx", "avx2", "fma"}
    needs = {"plain": set(), "avx": {"avx"}, "avx2": avx2,
             "avx512": avx2 | {"avx512f", "avx512cd", "avx512bw", "avx512dq", "avx512vl"}}
    order = list(needs)
    tier = orvex.tier()
    assert tier in needs and needs[tier] <= flags
    best_known = max((t for t in order if needs[t] <= flags), key=order.index)
    assert order.index(tier) >= order.index(best_known)


def test_version_is_the_projects():
    with open(os.path.join(HERE, "..", "..", "CMakeLists.txt")) as f:
        version = re.search(r"project\(orvex VERSION (\S+)", f.read()).group(1)
    assert orvex.__version__ == version

"""Fixtures of the module's tests: the C++ entry points to compare with.

ORVEX_REFERENCE names the shared library built from tests/reference.cpp (ctest sets it, and
PYTHONPATH to the built module).
"""
import ctypes
import os

import numpy as np
import pytest

FUNCTIONS = ["exp", "log", "sigmoid", "tanh"]
DTYPES = [np.float32, np.float64]


class Reference:
    """The public C++ entry points, called on a dense native copy of the input."""

    def __init__(self, path):
        lib = ctypes.CDLL(path)
        self._calls = {np.float32: lib.orvex_reference_float, np.float64: lib.orvex_reference_double}
        for call, ctype in ((lib.orvex_reference_float, ctypes.c_float),
                            (lib.orvex_reference_double, ctypes.c_double)):
            pointer = ctypes.POINTER(ctype)
            call.argtypes = [ctypes.c_int, ctypes.c_int, pointer, ctypes.c_size_t, pointer]
            call.restype = None

    def __call__(self, function, x, exact=False):
        """The C++ result for every element of x, which must be float32 or float64."""
        dtype = np.dtype(x.dtype).newbyteorder("=").type
        src = np.ascontiguousarray(x, dtype=dtype)
        dst = np.empty_like(src)
        ctype = ctypes.POINTER(ctypes.c_float if dtype is np.float32 else ctypes.c_double)
        self._calls[dtype](FUNCTIONS.index(function), int(exact), src.ctypes.data_as(ctype), src.size,
                           dst.ctypes.data_as(ctype))
        return dst


@pytest.fixture(scope="session")
def reference():
    path = os.environ.get("ORVEX_REFERENCE")
    if not path:
        pytest.fail("ORVEX_REFERENCE must name the reference library (ctest -L python sets it)")
    return Reference(path)

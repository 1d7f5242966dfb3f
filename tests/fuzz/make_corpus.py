#!/usr/bin/env python3
"""Writes the seed corpus of kernel_fuzz into tests/fuzz/corpus/: for each function and element
type, the values that take the kernels' special paths (NaNs with payloads, signalling NaNs,
infinities, zeros, subnormals, the clamp, saturation and threshold edges with their neighbours),
laid out in the input format described at the top of kernel_fuzz.cpp, in a few rows, counts and
placements each. Run it again after changing that format."""
import math
import os
import struct

FUNCS = ["exp", "log", "sigm", "tanh"]


def f32(x):
    return struct.unpack("<I", struct.pack("<f", x))[0]


def f64(x):
    return struct.unpack("<Q", struct.pack("<d", x))[0]


def around(bits):
    """An edge and the patterns one unit in the last place on either side of it."""
    return [bits - 1, bits, bits + 1]


COMMON32 = [0x00000000, 0x80000000, 0x7F800000, 0xFF800000, 0x7FC00000, 0xFFC00000, 0x7FC12345,
            0xFFC00001, 0x7F800001, 0x7FA00000, 0xFF800001, 0x00000001, 0x007FFFFF, 0x80000001,
            0x00800000, 0x7F7FFFFF, 0xFF7FFFFF, 0x3F800000, 0xBF800000]
COMMON64 = [0x0000000000000000, 0x8000000000000000, 0x7FF0000000000000, 0xFFF0000000000000,
            0x7FF8000000000000, 0xFFF8000000000000, 0x7FF8000000012345, 0xFFF8000000000001,
            0x7FF0000000000001, 0x7FF4000000000000, 0xFFF0000000000001, 0x0000000000000001,
            0x000FFFFFFFFFFFFF, 0x8000000000000001, 0x0010000000000000, 0x7FEFFFFFFFFFFFFF,
            0xFFEFFFFFFFFFFFFF, 0x3FF0000000000000, 0xBFF0000000000000]

LOG2E = math.log2(math.e)
EDGES = {
    # exp: the clamps of the base-2 core (128, -127 fast, -150 exact), the subnormal threshold -126
    ("exp", 4): [f32(128 / LOG2E), f32(-127 / LOG2E), f32(-126 / LOG2E), f32(-150 / LOG2E),
                 f32(-88.0), f32(-100.0), f32(1.0) ^ 0x80000000],
    ("exp", 8): [0x40862E42FEFA39EF, 0xC086232BDD7ABCD2, f64(-1023 / LOG2E), f64(-1075 / LOG2E),
                 f64(-745.0), f64(-745.2), 0xC0874385446D71C3],
    # log: the reduction threshold sqrt(1/2), one, e, two and a half
    ("log", 4): [0x3F3504F3, 0x3F800000, 0x402DF854, 0x40000000, 0x3F000000],
    ("log", 8): [0x3FE6A09E667F3BCD, 0x3FF0000000000000, 0x4005BF0A8B145769, 0x3FFCB7AD61695F82,
                 0x3FE3792B3F87AD3C, f64(3.0), f64(10.0)],
    # sigmoid: saturation to 0 and 1, the smallest normal result, the window of 0.5 results
    ("sigm", 4): [0xC2B17218, 0xC2AEAC50, 0x41851592, 0x33851592, 0xB4400829, f32(-3.0), f32(-20.0)],
    ("sigm", 8): [0xC0862E42FEFA39EF, 0xC086232BDD7ABCD2, 0x40425E4F7B2737FA, 0x3CA0A2B23F3BAB73,
                  0xBCB8010521F635F4, 0xC011A3D70A3D70A4, 0xC0050A3D70A3D70A],
    # tanh: saturation to -1 and 1, the window of zero results
    ("tanh", 4): [0xC1102CB4, 0x41051592, 0x33051592, 0xB3C00829, 0xBF828F5C, 0xBEFAE148],
    ("tanh", 8): [0xC0330FC1931F09CA, 0x40325E4F7B2737FA, 0x3C90A2B23F3BAB73, 0xBCA8010521F635F4,
                  0x3FB999999999999A, 0xBFD0A3D70A3D70A4],
}


def row(func, level, exact, aligned):
    """Index of a row: the 32 vector kernels (function, tier Avx/Avx2, variant), then the 16
    public entry points (function, variant)."""
    f = FUNCS.index(func)
    variant = 2 * exact + aligned
    if level == "dispatch":
        return 32 + 4 * f + variant
    return 8 * f + 4 * (level == "avx2") + variant


def header(index, is_double, in_place, src_gap, dst_gap, count):
    flags = int(is_double) | int(in_place) << 1 | src_gap << 2 | dst_gap << 5
    return bytes([index, flags, count & 0xFF, count >> 8])


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
    os.makedirs(out, exist_ok=True)
    for name in os.listdir(out):
        os.remove(os.path.join(out, name))
    for func in FUNCS:
        for size in (4, 8):
            pattern = "<I" if size == 4 else "<Q"
            mask = (1 << (8 * size)) - 1
            values = list(COMMON32 if size == 4 else COMMON64)
            for edge in EDGES[(func, size)]:
                values += [v & mask for v in around(edge)]
            data = b"".join(struct.pack(pattern, v) for v in values)
            n = len(values)
            # (tier, exact, aligned, in place, source gap, destination gap, count)
            layouts = [
                ("avx2", 1, 0, False, 0, 0, n),           # each value once, both arrays at their pages
                ("avx", 0, 1, False, 3, 5, 2 * n + 3),    # wrapped twice, a misaligned source
                ("dispatch", 1, 1, True, 1, 0, 37),       # in place: a pass, then the 4- and 1-tails
                ("dispatch", 0, 0, False, 7, 2, 15),      # tails only
            ]
            for level, exact, aligned, in_place, sg, dg, count in layouts:
                seed = header(row(func, level, exact, aligned), size == 8, in_place, sg, dg, count) + data
                label = "%s_%s_%s%s%s_%d" % (func, "f64" if size == 8 else "f32", level,
                                             "_exact" if exact else "_fast", "_aligned" if aligned else "", count)
                with open(os.path.join(out, label), "wb") as f:
                    f.write(seed)


if __name__ == "__main__":
    main()

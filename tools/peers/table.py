#!/usr/bin/env python3
"""Prints the peer benchmark's JSON output as a compact table.

For each function, type and size: every implementation's elements per nanosecond, its ratio to
Highway's (the reference within one run) and, at the largest size, its ratio to a memcpy of the
same bytes. Then the dispatch overhead: the public entry point against the kernel it calls.
With repetitions the median is used.

usage: table.py peers.json
"""
import json
import sys


FUNCTIONS = ["exp", "log", "sigmoid", "tanh"]
IMPLEMENTATIONS = ["orvex_avx512_fast", "orvex_avx512_exact", "orvex_avx2_fast", "orvex_avx2_exact",
                   "orvex_avx_fast", "orvex_avx_exact", "orvex_dispatch_fast", "orvex_dispatch_exact",
                   "hwy", "hwy_avx512", "eigen", "eigen_avx512", "glibc_scalar", "libmvec_avx2",
                   "libmvec_avx512", "sleef_u10", "sleef_u10_avx512", "sleef_u35", "sleef_u35_avx512"]


def order(known, name):
    return known.index(name) if name in known else len(known)


def load(path):
    with open(path) as f:
        data = json.load(f)
    rates = {}
    for b in data["benchmarks"]:
        if b.get("error_occurred"):
            continue
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        # function/type/implementation/count, perhaps followed by "/min_time:..."
        parts = [p for p in b["run_name"].split("/") if not p.startswith("min_time:")]
        if len(parts) != 4 or "elem_per_ns" not in b:
            continue
        fn, ty, impl, count = parts
        # Without repetitions there is one run per name; with them the median replaces it.
        if b.get("run_type") == "aggregate" or (fn, ty, impl, int(count)) not in rates:
            rates[(fn, ty, impl, int(count))] = b["elem_per_ns"]
    return data.get("context", {}), rates


def ratio(a, b):
    return f"{a / b:5.2f}x" if a is not None and b else "     -"


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: table.py peers.json")
    context, rates = load(sys.argv[1])
    # Benchmarks may have run in random order: sort functions and implementations.
    sizes = sorted({k[3] for k in rates if k[0] not in ("memcpy", "dispatch")})
    functions = sorted({(k[0], k[1]) for k in rates if k[0] not in ("memcpy", "dispatch")},
                       key=lambda f: (order(FUNCTIONS, f[0]), f[1]))
    big = sizes[-1] if sizes else None

    print(f"peer benchmark, {context.get('date', '?')}, load {context.get('load_avg', '?')}")
    print("elements per ns (median of the repetitions); xhwy: ratio to Highway; xmemcpy: ratio to memcpy")
    for fn, ty in functions:
        impls = sorted({k[2] for k in rates if k[0] == fn and k[1] == ty},
                       key=lambda i: (order(IMPLEMENTATIONS, i), i))
        header = "\n" + f"{fn} {ty}".ljust(24)
        for n in sizes:
            header += f" | {str(n) + ' el/ns':>14} {'xhwy':>6}" + ("  xmemcpy" if n == big else "")
        print(header)
        for impl in impls:
            line = f"  {impl:<22}"
            for n in sizes:
                r = rates.get((fn, ty, impl, n))
                hwy = rates.get((fn, ty, "hwy", n))
                line += f" | {r:14.3f} {ratio(r, hwy)}" if r is not None else f" | {'-':>14} {'-':>6}"
                if n == big:
                    line += f"   {ratio(r, rates.get(('memcpy', ty, 'glibc', n)))}"
            print(line)
    memcpy = [(ty, n, r) for (fn, ty, impl, n), r in rates.items() if fn == "memcpy"]
    if memcpy:
        print("\nmemcpy of the same bytes: " +
              ", ".join(f"{ty}/{n}: {r:.3f}" for ty, n, r in sorted(memcpy)))
    counts = sorted({k[3] for k in rates if k[0] == "dispatch"})
    if counts:
        print("\ndispatch overhead, f32 fast exp (el/ns)")
        for n in counts:
            public = rates.get(("dispatch", "f32", "public_exp_fast", n))
            direct = rates.get(("dispatch", "f32", "direct_exp_fast", n))
            if public and direct:
                print(f"  count {n:>4}: public {public:7.3f}  direct kernel {direct:7.3f}"
                      f"  public costs {100.0 * (direct / public - 1.0):+6.1f}%")


if __name__ == "__main__":
    main()

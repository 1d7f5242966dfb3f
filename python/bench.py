#!/usr/bin/env python3
"""Times the Python module against numpy's own functions on the same arrays.

  bench.py run [--json FILE] [--rounds N]
  bench.py publish --json FILE --build DIR --out DIR --readme FILE --command TEXT

run: orvex.exp, log, sigmoid and tanh (fast and exact) against np.exp, np.log, np.tanh and
scipy.special.expit at 8 and 2^20 elements in float32 and float64, every call writing into a
preallocated out; at 8 elements also each returning a new array. The candidates of one cell are
timed in turn, round after round in a shuffled order, in one process, so that a drift of the
machine's speed reaches all of them alike; each figure is the best of the rounds, the one least
disturbed by other work on the machine. It prints
the tables and writes the JSON. The module must be importable (PYTHONPATH=<build>/python).
publish: draws the speed-ups as a PNG and writes the tables into README.md between the markers
<!-- figures:python:begin --> and <!-- figures:python:end -->, with tools/figures/figures.py's
helpers and gnuplot.
"""
import argparse
import datetime
import json
import os
import random
import sys
import timeit

SIZES = [8, 1 << 20]
DTYPES = ["float32", "float64"]
FUNCTIONS = ["exp", "log", "sigmoid", "tanh"]
NUMPY_NAMES = {"exp": "np.exp", "log": "np.log", "sigmoid": "scipy.special.expit", "tanh": "np.tanh"}
# The speed-ups asked of the fast variant at 2^20 elements, numpy's time over orvex's.
TARGETS = {("sigmoid", "float32"): 8, ("sigmoid", "float64"): 8, ("exp", "float32"): 1.5, ("exp", "float64"): 1.4,
           ("tanh", "float32"): 1.2, ("tanh", "float64"): 3, ("log", "float32"): 1.2, ("log", "float64"): 1.1}
# At 8 elements a call may take at most this many times numpy's.
SMALL_LIMIT = 2.0
CALL_SECONDS = 0.002  # roughly the time of one sample of one candidate


def inputs(np, function, dtype, n):
    """The ranges of the peer benchmark: exp where its result is finite and normal, log over
    positive normals across the exponent range, sigmoid and tanh where they are not saturated."""
    rng = np.random.default_rng(20240611 + FUNCTIONS.index(function))
    limit = 80.0 if dtype == "float32" else 700.0
    if function == "exp":
        x = rng.uniform(-limit, limit, n)
    elif function == "log":
        x = np.exp(rng.uniform(-limit, limit, n))
    else:
        x = rng.uniform(-10, 10, n)
    return x.astype(dtype)


def candidates(np, orvex, expit, function, with_out):
    theirs = {"exp": np.exp, "log": np.log, "sigmoid": expit, "tanh": np.tanh}[function]
    ours = getattr(orvex, function)
    if with_out:
        return {"numpy": lambda x, o: theirs(x, out=o),
                "orvex fast": lambda x, o: ours(x, out=o),
                "orvex exact": lambda x, o: ours(x, exact=True, out=o)}
    return {"numpy": lambda x, o: theirs(x), "orvex fast": lambda x, o: ours(x)}


def time_cell(calls, x, out, rounds):
    """The best seconds per call of each candidate, sampled in turn."""
    per_sample = {}
    for name, call in calls.items():
        call(x, out)  # warm up, fault the pages in
        once = timeit.Timer(lambda: call(x, out)).timeit(3) / 3
        per_sample[name] = max(1, int(CALL_SECONDS / max(once, 1e-9)))
    samples = {name: [] for name in calls}
    names = list(calls)
    for _ in range(rounds):
        random.shuffle(names)
        for name in names:
            call, number = calls[name], per_sample[name]
            samples[name].append(timeit.Timer(lambda: call(x, out)).timeit(number) / number)
    return {name: min(values) for name, values in samples.items()}


def run(args):
    import numpy as np
    import scipy.special
    import orvex
    cells = []
    started = datetime.datetime.now(datetime.timezone.utc)
    load = os.getloadavg()[0]
    for n in SIZES:
        for dtype in DTYPES:
            for function in FUNCTIONS:
                x = inputs(np, function, dtype, n)
                out = np.empty_like(x)
                modes = [True, False] if n < 1024 else [True]
                for with_out in modes:
                    seconds = time_cell(candidates(np, orvex, scipy.special.expit, function, with_out), x, out,
                                        args.rounds)
                    cells.append({"function": function, "dtype": dtype, "n": n, "out": with_out, "seconds": seconds})
                    print(f"bench.py: {function} {dtype} {n} {'out' if with_out else 'new'}: " +
                          ", ".join(f"{k} {v * 1e9:.0f} ns" for k, v in seconds.items()), file=sys.stderr)
    result = {"date": started.isoformat(), "load_avg": load, "tier": orvex.tier(), "version": orvex.__version__,
              "numpy": np.__version__, "scipy": scipy.__version__, "python": sys.version.split()[0],
              "rounds": args.rounds, "cells": cells}
    if args.json:
        with open(args.json, "w") as f:
            json.dump(result, f, indent=1)
    print(tables(result))


def find(result, function, dtype, n, with_out):
    for cell in result["cells"]:
        if (cell["function"], cell["dtype"], cell["n"], cell["out"]) == (function, dtype, n, with_out):
            return cell["seconds"]
    return None


def tables(result):
    big, small = SIZES[1], SIZES[0]
    count = f"{big:,}".replace(",", " ")
    lines = [f"At {count} elements into a preallocated out, elements per nanosecond (higher is better) and",
             "numpy's time over orvex's:",
             "",
             "| function | dtype | numpy's | numpy | orvex fast | orvex exact | speed-up fast | asked | speed-up exact |",
             "|---|---|---|---:|---:|---:|---:|---:|---:|"]
    for function in FUNCTIONS:
        for dtype in DTYPES:
            s = find(result, function, dtype, big, True)
            if s is None:
                continue
            rate = {k: big / v / 1e9 for k, v in s.items()}
            fast, exact = s["numpy"] / s["orvex fast"], s["numpy"] / s["orvex exact"]
            target = TARGETS[(function, dtype)]
            mark = "" if fast >= target else " (missed)"
            lines.append(f"| {function} | {dtype} | `{NUMPY_NAMES[function]}` | {rate['numpy']:.2f} | {rate['orvex fast']:.2f} "
                         f"| {rate['orvex exact']:.2f} | **{fast:.2f}x**{mark} | {target:g}x | {exact:.2f}x |")
    lines += ["",
              f"At {small} elements, nanoseconds per call (lower is better) into a preallocated out and returning a",
              f"new array, and orvex's time over numpy's (asked: at most {SMALL_LIMIT:g}):",
              "",
              "| function | dtype | numpy, out | orvex fast, out | ratio | numpy, new | orvex fast, new | ratio |",
              "|---|---|---:|---:|---:|---:|---:|---:|"]
    for function in FUNCTIONS:
        for dtype in DTYPES:
            into, new = find(result, function, dtype, small, True), find(result, function, dtype, small, False)
            if into is None or new is None:
                continue
            lines.append(f"| {function} | {dtype} | {into['numpy'] * 1e9:.0f} | {into['orvex fast'] * 1e9:.0f} "
                         f"| {into['orvex fast'] / into['numpy']:.2f} | {new['numpy'] * 1e9:.0f} "
                         f"| {new['orvex fast'] * 1e9:.0f} | {new['orvex fast'] / new['numpy']:.2f} |")
    return "\n".join(lines)


def load_figures_helpers():
    """tools/figures/figures.py, for the machine line, the README splice and gnuplot."""
    sys.dont_write_bytecode = True
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "figures"))
    import figures
    return figures


def publish(args):
    figures = load_figures_helpers()
    with open(args.json) as f:
        result = json.load(f)
    os.makedirs(args.out, exist_ok=True)
    data = os.path.splitext(args.json)[0] + ".dat"
    big, small = SIZES[1], SIZES[0]
    with open(data, "w") as f:
        f.write("# label\tfast_big\texact_big\tfast_small_out\tfast_small_new\n")
        for function in FUNCTIONS:
            for dtype in DTYPES:
                b, so, sn = (find(result, function, dtype, big, True), find(result, function, dtype, small, True),
                             find(result, function, dtype, small, False))
                f.write(f"\"{function} {dtype.replace('float', 'f')}\"\t{b['numpy'] / b['orvex fast']:.4f}\t"
                        f"{b['numpy'] / b['orvex exact']:.4f}\t{so['numpy'] / so['orvex fast']:.4f}\t"
                        f"{sn['numpy'] / sn['orvex fast']:.4f}\n")
    png = os.path.join(args.out, "python-speedup.png")
    script = f"""
set terminal pngcairo size 900,520 font 'DejaVu Sans,10' noenhanced
set output {figures.quote(png)}
set title "Python module: numpy's time over orvex's on the same array (higher is better; 1 = as fast)"
set ylabel "speed-up over numpy / scipy (logarithmic)"
set logscale y
set yrange [0.5:30]
set ytics ('0.5' 0.5, '1' 1, '2' 2, '5' 5, '10' 10, '20' 20)
set style data histogram
set style histogram cluster gap 1
set style fill solid 0.85 noborder
set boxwidth 0.9
set grid ytics lc rgb '#dddddd'
set key below horizontal
set border 3
set tics nomirror
set xtics scale 0
plot {figures.quote(data)} using 2:xtic(1) title '2^20 elements, fast' lc rgb '#1f5fbf', \\
     '' using 3 title '2^20 elements, exact' lc rgb '#7fa8e0', \\
     '' using 4 title '8 elements into out, fast' lc rgb '#ff9f40', \\
     '' using 5 title '8 elements, new array, fast' lc rgb '#ffd19a', \\
     1 with lines lc rgb '#222222' dt 2 notitle
"""
    figures.gnuplot(script, png)
    when = datetime.datetime.fromisoformat(result["date"])
    machine = figures.machine_line(args.build, when, result["load_avg"])
    body = f"""
Regenerate with `{args.command}`.
{machine}
`python/bench.py`: orvex {result['version']} (tier {result['tier']}) against numpy {result['numpy']} and scipy
{result['scipy']} on Python {result['python']}; the best of {result['rounds']} rounds per figure, the candidates
of a cell timed in turn in one process.

{tables(result)}

![Python module: speed-up over numpy](""" + os.path.relpath(png, os.path.dirname(os.path.abspath(args.readme))) + ")"
    figures.splice(args.readme, "python", body)
    print(body)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    sub = parser.add_subparsers(dest="command_name", required=True)
    r = sub.add_parser("run")
    r.add_argument("--json", help="where to write the results")
    r.add_argument("--rounds", type=int, default=25, help="samples per candidate (default 25)")
    p = sub.add_parser("publish")
    p.add_argument("--json", required=True)
    p.add_argument("--build", required=True, help="the build directory (for the compiler's name)")
    p.add_argument("--out", required=True, help="directory of the PNG")
    p.add_argument("--readme", required=True)
    p.add_argument("--command", required=True, help="the command line that regenerates the table")
    args = parser.parse_args()
    if args.command_name == "run":
        if args.rounds < 1:
            parser.error("--rounds must be at least 1")
        run(args)
    else:
        publish(args)


if __name__ == "__main__":
    main()

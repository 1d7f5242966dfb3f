#!/usr/bin/env python3
"""Draws the published figures and writes the measured tables into README.md.

  figures.py accuracy   --tool PATH --data DIR --out DIR --readme FILE --command TEXT
  figures.py throughput --json FILE --data DIR --out DIR --readme FILE --command TEXT
  figures.py ulp        --tool PATH --json FILE --data DIR --out DIR --readme FILE --command TEXT
                        [--float-samples N] [--double-samples N]

accuracy: runs the accuracy program for every function, precision and kernel, draws the relative
error against x (one PNG per function and precision) and writes the table of maximal errors.
throughput: reads the peer benchmark's JSON (Google Benchmark format), draws elements per
nanosecond at the L1 size (one PNG per function and precision) and writes the table of all sizes.
ulp: runs ulp_all (every orvex kernel and every peer over the same inputs) for every function and
precision, writes the table of maximal errors in ulps with their worst inputs, and draws per
function the speed at 1024 elements from the peer benchmark's JSON against the maximal error.
Each table goes between its own pair of marker comments in README.md, the rest of the file is left
as it is. gnuplot draws the PNGs; nothing else beyond the standard library is needed.
"""
import argparse
import datetime
import json
import math
import os
import platform
import re
import struct
import subprocess
import sys

SECTION_TITLE = "## Measured accuracy and speed"
SECTION_INTRO = ("Everything between the marker comments below is written by `tools/figures.sh` from runs\n"
                 "on the machine it names; no figure is typed by hand.")

FUNCTIONS = ["exp", "log", "sigm", "tanh"]
FUNCTION_TITLES = {"exp": "exp", "log": "log", "sigm": "logistic sigmoid", "tanh": "tanh"}
PRECISIONS = [("f32", False), ("f64", True)]
PRECISION_TITLES = {"f32": "single precision", "f64": "double precision"}

# The kernels the accuracy program can call: (label, --arch, --exact). The plain kernels have no
# variants, so they are measured once.
KERNELS = [
    ("avx2 fast", "avx2", False),
    ("avx2 exact", "avx2", True),
    ("avx fast", "avx", False),
    ("avx exact", "avx", True),
    ("plain", "plain", False),
]
# Points rather than lines: neighbouring bins may jump between 0 and an ulp. The AVX tier is drawn
# as rings around the AVX2 dots, so where the two agree both show.
KERNEL_STYLES = {
    "avx2 fast": "pt 7 ps 0.5 lc rgb '#d62728'",
    "avx2 exact": "pt 7 ps 0.5 lc rgb '#1f5fbf'",
    "avx fast": "pt 6 ps 0.8 lc rgb '#ff9f40'",
    "avx exact": "pt 6 ps 0.8 lc rgb '#5fb8ff'",
    "plain": "pt 1 ps 0.5 lc rgb '#222222'",
}

# The measured intervals of --min/--max. For exp, sigm and tanh they are intervals of x; the log
# kernel is evaluated at x = exp(p) for p in the interval. Each interval keeps every result (for log
# every input) a normal number of its precision, so that the maximum describes the kernel on its
# ordinary inputs, not its underflow; the second table covers the tool's default interval, which
# does reach underflow, subnormals and overflow. The tool divides by |t| + 1e-100, which turns its
# measure into an absolute error for double results below about 1e-100 (exp(x) for x < -230), so
# double exp starts at -200.
INTERVALS = {
    ("exp", "f32"): (-87, 88), ("exp", "f64"): (-200, 709),
    ("log", "f32"): (-87, 88), ("log", "f64"): (-708, 709),
    ("sigm", "f32"): (-20, 20), ("sigm", "f64"): (-20, 20),
    ("tanh", "f32"): (-10, 10), ("tanh", "f64"): (-10, 10),
}
DEFAULT_INTERVAL = (-100, 100)
# tanh is 2 / (1 + e^-2x) - 1: near 0 its absolute error is that of a value near 1, so its relative
# error grows as x approaches 0, closer than the grid of INTERVALS comes.
NEAR_ZERO = ("tanh", (-0.001, 0.001))
COUNT = 200000        # steps per run: COUNT + 1 points
POINTS_PER_BIN = 500  # the plots draw the maximum of each run of this many neighbouring points
# Where an error of exactly 0 is drawn on the logarithmic axis, below any non-zero error of the
# precision (half an ulp is at least 2^-25 resp. 2^-54 relative).
FLOORS = {"f32": 1e-9, "f64": 1e-18}

THROUGHPUT_FUNCTIONS = ["exp", "log", "sigmoid", "tanh"]
IMPLEMENTATIONS = [
    "orvex_avx512_fast", "orvex_avx512_exact", "orvex_avx2_fast", "orvex_avx2_exact",
    "orvex_avx_fast", "orvex_avx_exact", "orvex_dispatch_fast", "orvex_dispatch_exact",
    "hwy", "hwy_avx512", "eigen", "eigen_avx512", "glibc_scalar", "libmvec_avx2", "libmvec_avx512",
    "sleef_u10", "sleef_u10_avx512", "sleef_u35", "sleef_u35_avx512",
]
SIZES = [(1024, "1024"), (32768, "32Ki"), (16777216, "16Mi")]
CHART_SIZE = 1024


def fail(message):
    sys.exit(f"figures.py: {message}")


# ---- machine and README --------------------------------------------------------------------

def cpu_model():
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or "unknown CPU"


def compiler(cache_dir):
    """The C++ compiler of the build, from its CMake cache."""
    try:
        with open(os.path.join(cache_dir, "CMakeCache.txt")) as f:
            for line in f:
                if line.startswith("CMAKE_CXX_COMPILER:"):
                    path = line.split("=", 1)[1].strip()
                    out = subprocess.run([path, "--version"], capture_output=True, text=True).stdout
                    return out.splitlines()[0] if out else os.path.basename(path)
    except OSError:
        pass
    return "unknown compiler"


def machine_line(build_dir, when=None, load=None):
    """When and where: the date (now unless given), CPU, load average, compiler and kernel."""
    if when is None:
        when = datetime.datetime.now(datetime.timezone.utc)
    if load is None:
        load = os.getloadavg()[0]
    stamp = when.astimezone(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
    return (f"Measured {stamp} on {cpu_model()} ({os.cpu_count()} logical CPUs, load average "
            f"{load:.1f} at the start; the machine is shared), built by {compiler(build_dir)}, "
            f"Linux {platform.release()}.")


def markers(name):
    return f"<!-- figures:{name}:begin -->", f"<!-- figures:{name}:end -->"


def splice(readme, name, body):
    """Replaces what lies between the markers of `name`; appends the section (once) if missing."""
    with open(readme) as f:
        text = f.read()
    begin, end = markers(name)
    if begin not in text or end not in text:
        if SECTION_TITLE not in text:
            text = text.rstrip("\n") + f"\n\n{SECTION_TITLE}\n\n{SECTION_INTRO}\n"
        headings = {"accuracy": "### Accuracy", "throughput": "### Throughput beside other libraries",
                    "ulp": "### Accuracy in ulps beside other libraries"}
        text = text.rstrip("\n") + f"\n\n{headings[name]}\n\n{begin}\n{end}\n"
    head, rest = text.split(begin, 1)
    _, tail = rest.split(end, 1)
    text = f"{head}{begin}\n{body.strip()}\n{end}{tail}"
    tmp = readme + ".figures-tmp"
    with open(tmp, "w") as f:
        f.write(text)
    os.replace(tmp, readme)


def gnuplot(script, output):
    result = subprocess.run(["gnuplot"], input=script, text=True, capture_output=True)
    if result.returncode != 0 or not os.path.exists(output):
        fail(f"gnuplot failed for {output}:\n{result.stderr}")


def quote(path):
    return "'" + path.replace("'", "''") + "'"


# ---- accuracy ------------------------------------------------------------------------------

def accuracy_arguments(tool, func, precision, kernel, interval, print_rows):
    _, arch, exact = kernel
    args = [tool, "--func", func, "--min", str(interval[0]), "--max", str(interval[1]), "--count", str(COUNT),
            "--arch", arch]
    if exact:
        args.append("--exact")
    if precision == "f64":
        args.append("--double")
    if print_rows:
        args.append("--print")
    return args


MAXIMUM = re.compile(r"^Maximum relative error: (\S+)$")


def run_accuracy(args):
    """Runs the tool; returns (maximum, rows) or None when the tool refuses the tier."""
    result = subprocess.run(args, capture_output=True, text=True)
    if result.returncode == 1 and result.stderr.startswith("requirement"):
        return None
    if result.returncode != 0:
        fail(f"{' '.join(args)} exited with {result.returncode}: {result.stderr.strip()}")
    lines = result.stdout.splitlines()
    match = MAXIMUM.match(lines[-1]) if lines else None
    if not match:
        fail(f"{' '.join(args)}: no result line")
    return float(match.group(1)), lines[1:-1] if "--print" in args else []


def bin_maxima(rows, floor):
    """Per bin of neighbouring points: the point of the largest error (NaN errors left out)."""
    points = []
    best = None
    for i, row in enumerate(rows):
        x, _, _, r = (float(v) for v in row.split("\t"))
        if not math.isnan(r) and (best is None or r > best[1]):
            best = (x, r)
        if (i + 1) % POINTS_PER_BIN == 0 or i + 1 == len(rows):
            if best is not None:
                points.append((best[0], max(best[1], floor)))
            best = None
    return points


def format_error(value):
    if value is None:
        return "n/a"
    if value == 0:
        return "0"
    return f"{value:.2e}".replace("e-0", "e-").replace("e+0", "e+")


def interval_text(func, interval):
    lo, hi = interval
    return f"x = e<sup>p</sup>, p ∈ [{lo}, {hi}]" if func == "log" else f"[{lo}, {hi}]"


def accuracy_plot(func, precision, curves, out_dir, data_dir):
    """One PNG: the binned relative error of every kernel against x."""
    name = f"accuracy-{func}-{precision}"
    data = os.path.join(data_dir, name + ".dat")
    with open(data, "w") as f:
        for label, points in curves:
            f.write(f"# {label}\n")
            f.writelines(f"{x:.9g}\t{r:.6g}\n" for x, r in points)
            f.write("\n\n")
    floor = FLOORS[precision]
    top = max((r for _, points in curves for _, r in points), default=1.0)
    top_exponent = math.ceil(math.log10(max(top, floor * 10))) + 1
    png = os.path.join(out_dir, name + ".png")
    lo, hi = INTERVALS[(func, precision)]
    plots = ", ".join(
        f"{quote(data)} index {i} using 1:2 with points {KERNEL_STYLES[label]} title '{label}'"
        for i, (label, _) in enumerate(curves))
    xlabel = "input x = e^p (logarithmic)" if func == "log" else "input x"
    script = f"""
set terminal pngcairo size 800,500 font 'DejaVu Sans,10' noenhanced
set output {quote(png)}
set title "{FUNCTION_TITLES[func]}, {PRECISION_TITLES[precision]}: relative error against the system library"
set xlabel "{xlabel}"
set ylabel "relative error (maximum per {POINTS_PER_BIN} neighbouring points)"
set logscale y
set yrange [{floor / 3:g}:1e{top_exponent}]
set format y '1e%T'
set ytics add ('0' {floor:g})
set grid ytics xtics lc rgb '#dddddd'
set key outside right top vertical
set border 3
set tics nomirror
{"set logscale x" if func == "log" else f"set xrange [{lo}:{hi}]"}
{"set format x '1e%T'; set mxtics 1" if func == "log" else ""}
plot {plots}
"""
    gnuplot(script, png)
    return png


def accuracy(args):
    os.makedirs(args.out, exist_ok=True)
    os.makedirs(args.data, exist_ok=True)
    machine = machine_line(args.build)
    measured = {}   # (func, precision, kernel label) -> max on INTERVALS
    wide = {}       # the same on DEFAULT_INTERVAL
    near = {}       # (precision, kernel label) -> max of NEAR_ZERO's function on its interval
    pngs = []
    for func in FUNCTIONS:
        for precision, _ in PRECISIONS:
            curves = []
            for kernel in KERNELS:
                label = kernel[0]
                run = run_accuracy(accuracy_arguments(args.tool, func, precision, kernel,
                                                      INTERVALS[(func, precision)], True))
                if run is None:
                    measured[(func, precision, label)] = None
                    wide[(func, precision, label)] = None
                    near[(precision, label)] = None
                    continue
                measured[(func, precision, label)] = run[0]
                curves.append((label, bin_maxima(run[1], FLOORS[precision])))
                run = run_accuracy(accuracy_arguments(args.tool, func, precision, kernel, DEFAULT_INTERVAL, False))
                wide[(func, precision, label)] = run[0]
                if func == NEAR_ZERO[0]:
                    run = run_accuracy(accuracy_arguments(args.tool, func, precision, kernel, NEAR_ZERO[1], False))
                    near[(precision, label)] = run[0]
            pngs.append((func, precision, accuracy_plot(func, precision, curves, args.out, args.data)))
            print(f"figures.py: {pngs[-1][2]}", file=sys.stderr)

    columns = [(func, precision) for func in FUNCTIONS for precision, _ in PRECISIONS]

    def table(values, header_of, columns=columns):
        lines = ["| kernel | " + " | ".join(header_of(f, p) for f, p in columns) + " |",
                 "|---|" + "---:|" * len(columns)]
        for label, _, _ in KERNELS:
            lines.append(f"| {label} | " + " | ".join(format_error(values[(f, p, label)]) for f, p in columns) + " |")
        return "\n".join(lines)

    near_func, near_interval = NEAR_ZERO
    near_columns = [(near_func, precision) for precision, _ in PRECISIONS]
    near_values = {(near_func, p, label): v for (p, label), v in near.items()}

    points = f"{COUNT + 1:,}".replace(",", " ")
    exp_lo = INTERVALS[("exp", "f64")][0]
    near_step = min((hi - lo) / COUNT for (f, _), (lo, hi) in INTERVALS.items() if f == near_func)
    lo, hi = DEFAULT_INTERVAL
    body = f"""
Regenerate with `{args.command}`.
{machine}

Maximal relative error |a − t| / |t| of each kernel against the system library's double-precision
function t, from `accuracy --print --count {COUNT}` ({points} evenly spaced points per interval; the
header names the interval). In single precision the input and the reference are rounded to float
first, so 0 means every result was the float nearest to the reference. Each interval keeps every
result (for log every input) a normal number, so this is the error on ordinary inputs. The tool
divides by |t| + 1e-100, an absolute error for double results below about 1e-100, so double exp is
measured from {exp_lo} (e<sup>{exp_lo}</sup> ≈ {math.exp(exp_lo):.1e}) on. The plain log calls the system
library's log, hence its 0:

{table(measured, lambda f, p: f"{f} {p}<br>{interval_text(f, INTERVALS[(f, p)])}")}

The same kernels over the tool's default interval [{lo}, {hi}] ({points} points), which also reaches
results that underflow to subnormals or zero, subnormal inputs of log, and overflow (a NaN error, such
as ∞ against ∞, does not count):

{table(wide, lambda f, p: f"{f} {p}<br>{interval_text(f, DEFAULT_INTERVAL)}")}

{near_func} close to 0: it is computed as 2 / (1 + e<sup>−2x</sup>) − 1, so its absolute error there is
that of a value near 1 and its relative error grows as x approaches 0 (the grid above comes no
closer to 0 than {near_step:g}):

{table(near_values, lambda f, p: f"{f} {p}<br>{interval_text(f, near_interval)}", near_columns)}

The plots draw, for every run of {POINTS_PER_BIN} neighbouring points of the first table's runs, the
largest relative error; an error of exactly 0 is drawn at the line marked 0.

""" + "\n\n".join(f"![{FUNCTION_TITLES[f]}, {PRECISION_TITLES[p]}: relative error against x]"
                  f"({os.path.relpath(png, os.path.dirname(os.path.abspath(args.readme)))})"
                  for f, p, png in pngs)
    splice(args.readme, "accuracy", body)
    print(body)


# ---- throughput ----------------------------------------------------------------------------

def load_rates(path):
    """elem_per_ns per (function, type, implementation, count), the median of the repetitions."""
    with open(path) as f:
        data = json.load(f)
    rates = {}
    for b in data.get("benchmarks", []):
        if b.get("error_occurred") or "elem_per_ns" not in b:
            continue
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        parts = [p for p in b.get("run_name", b["name"]).split("/") if not p.startswith("min_time:")]
        if len(parts) != 4 or not parts[3].isdigit():
            continue
        key = (parts[0], parts[1], parts[2], int(parts[3]))
        if b.get("run_type") == "aggregate" or key not in rates:
            rates[key] = b["elem_per_ns"]
    return data.get("context", {}), rates


def order(name):
    return (IMPLEMENTATIONS.index(name) if name in IMPLEMENTATIONS else len(IMPLEMENTATIONS), name)


def throughput_chart(fn, ty, rows, out_dir, data_dir):
    name = f"throughput-{fn}-{ty}"
    data = os.path.join(data_dir, name + ".dat")
    # Top to bottom in the order of the table: the first row gets the highest y.
    with open(data, "w") as f:
        for i, (impl, rate) in enumerate(rows):
            colour = (0x999999 if not impl.startswith("orvex") else 0x7FA8E0 if impl.endswith("exact")
                      else 0x1F5FBF)
            f.write(f"{len(rows) - i}\t{rate:.6g}\t{colour}\t{impl}\n")
    top = max(rate for _, rate in rows)
    png = os.path.join(out_dir, name + ".png")
    height = max(500, 80 + 26 * len(rows))  # a readable bar and label per row, however many
    script = f"""
set terminal pngcairo size 800,{height} font 'DejaVu Sans,10' noenhanced
set output {quote(png)}
set title "{fn}, {PRECISION_TITLES[ty]}, {CHART_SIZE} elements (L1): elements per nanosecond, higher is better"
set xlabel "elements per nanosecond (median of the repetitions)"
set xrange [0:{top * 1.18:.6g}]
set yrange [0.3:{len(rows) + 0.7}]
set ytics scale 0
set grid xtics lc rgb '#dddddd'
set border 1
set xtics nomirror
unset key
plot {quote(data)} using ($2/2):1:($2/2):(0.38):3:ytic(4) with boxxyerror fill solid 0.85 noborder lc rgb variable, \\
     '' using 2:1:(sprintf(' %.2f', $2)) with labels left
"""
    gnuplot(script, png)
    return png


def throughput(args):
    os.makedirs(args.out, exist_ok=True)
    os.makedirs(args.data, exist_ok=True)
    context, rates = load_rates(args.json)
    if not rates:
        fail(f"{args.json} holds no elem_per_ns results")
    try:
        when = datetime.datetime.fromisoformat(context["date"])
    except (KeyError, ValueError):
        when = datetime.datetime.fromtimestamp(os.path.getmtime(args.json), datetime.timezone.utc)
    load = context.get("load_avg")
    machine = machine_line(args.build, when, load[0] if load else None)
    pngs = []
    tables = []
    for ty, _ in PRECISIONS:
        functions = [fn for fn in THROUGHPUT_FUNCTIONS if any(k[0] == fn and k[1] == ty for k in rates)]
        impls = sorted({k[2] for k in rates if k[1] == ty and k[0] in functions}, key=order)
        for fn in functions:
            rows = [(impl, rates[(fn, ty, impl, CHART_SIZE)]) for impl in impls if (fn, ty, impl, CHART_SIZE) in rates]
            if rows:
                pngs.append((fn, ty, throughput_chart(fn, ty, rows, args.out, args.data)))
                print(f"figures.py: {pngs[-1][2]}", file=sys.stderr)
        columns = [(fn, n, text) for fn in functions for n, text in SIZES]
        best = {}
        for fn, n, _ in columns:
            values = [rates[(fn, ty, impl, n)] for impl in impls if (fn, ty, impl, n) in rates]
            best[(fn, n)] = max(values) if values else None
        lines = [f"| {ty} | " + " | ".join(f"{fn} {text}" for fn, _, text in columns) + " |",
                 "|---|" + "---:|" * len(columns)]
        for impl in impls:
            cells = []
            for fn, n, _ in columns:
                r = rates.get((fn, ty, impl, n))
                cells.append("–" if r is None else (f"**{r:.2f}**" if r == best[(fn, n)] else f"{r:.2f}"))
            lines.append(f"| {impl} | " + " | ".join(cells) + " |")
        copy = [rates.get(("memcpy", ty, "glibc", n)) for _, n, _ in columns]
        if any(r is not None for r in copy):
            lines.append("| *memcpy, same bytes* | " +
                         " | ".join("–" if r is None else f"*{r:.2f}*" for r in copy) + " |")
        tables.append("\n".join(lines))

    peers = context.get("peers", "")
    tier = context.get("orvex_tier")
    noise = ("" if tier not in ("avx", "avx2", "avx512") else
             f" On this processor\n`orvex_dispatch_*` runs the same code as `orvex_{tier}_*`, so the gap between those"
             f" two rows shows\nhow much one figure moves between runs on the machine as it was.")
    body = f"""
Regenerate with `{args.command}`.
{machine}
Peer benchmark `tools/peers` (Google Benchmark; orvex tier {context.get('orvex_tier', '?')}; peers built
in: {peers or '?'}).

Elements per nanosecond, higher is better, at {", ".join(text if text == str(n) else f"{text} = {n:,}".replace(",", " ") for n, text in SIZES)}
elements: L1-, L2- and memory-resident arrays. Each figure is the median of the repetitions, run in random
order; the fastest of each column is bold. `orvex_dispatch_*` are the public entry points, the
other orvex rows call a tier's kernel directly; `glibc_scalar` is one libm call per element (the
sigmoid as 1 / (1 + exp(−x)), as are libmvec's and SLEEF's with their vector exp); rows ending in
`_avx512` are a peer's AVX-512 build, present where the processor has AVX-512; the last row copies
as many bytes with memcpy.{noise}

{(chr(10) * 2).join(tables)}

""" + "\n\n".join(f"![{fn}, {PRECISION_TITLES[ty]}: elements per nanosecond at {CHART_SIZE} elements]"
                  f"({os.path.relpath(png, os.path.dirname(os.path.abspath(args.readme)))})"
                  for fn, ty, png in pngs)
    splice(args.readme, "throughput", body)
    print(body)


# ---- ulp ------------------------------------------------------------------------------------

ULP_FUNCTIONS = [("exp", "exp"), ("log", "log"), ("sigm", "sigmoid"), ("tanh", "tanh")]  # (ulp, peers)
ULP_FLOOR = 0.1  # where an error of 0 ulp is drawn on the logarithmic axis


def run_ulp_all(tool, func, precision, samples):
    args = [tool, "--func", func]
    if precision == "f64":
        args.append("--double")
    if samples is not None:
        args += ["--samples", str(samples)]
    # The progress bar goes to the terminal.
    result = subprocess.run(args, stdout=subprocess.PIPE, text=True)
    if result.returncode != 0:
        fail(f"{' '.join(args)} exited with {result.returncode}")
    rows = [json.loads(line) for line in result.stdout.splitlines() if line.strip()]
    if not rows:
        fail(f"{' '.join(args)}: no result")
    return rows


def format_ulp(value):
    if value is None:
        return "–"
    if value == 0:
        return "0"
    if value < 1e4:
        return f"{value:.3g}"
    return f"{value:.2e}".replace("e+0", "e+").replace("e-0", "e-")


def format_input(pattern, precision):
    """The worst input as a short decimal and its bit pattern."""
    if pattern is None:
        return "–"
    bits = int(pattern, 16)
    if precision == "f32":
        value = struct.unpack("<f", struct.pack("<I", bits))[0]
    else:
        value = struct.unpack("<d", struct.pack("<Q", bits))[0]
    return f"{value:.7g} <sub>{pattern}</sub>"


def ulp_chart(func, title, results, rates, peer_func, out_dir, data_dir):
    """Two panels, float and double: elements/ns at 1024 elements against the maximal ulp error of
    the normal range, one labelled point per implementation that the peer benchmark timed."""
    name = f"ulp-speed-{func}"
    panels = []
    for precision, _ in PRECISIONS:
        points = []
        for row in results.get(precision, []):
            rate = rates.get((peer_func, precision, row["impl"], CHART_SIZE))
            if rate is None:
                continue
            points.append((max(row["max_ulp_normal"], ULP_FLOOR), rate, row["impl"]))
        panels.append((precision, points))
    png = os.path.join(out_dir, name + ".png")
    plots = []
    for precision, points in panels:
        data = os.path.join(data_dir, f"{name}-{precision}.dat")
        with open(data, "w") as f:
            # Three blocks: orvex's fast kernels, its exact kernels, the peers.
            for group in ("fast", "exact", "peer"):
                for ulp_value, rate, impl in points:
                    kind = "peer" if not impl.startswith("orvex") else "exact" if impl.endswith("exact") else "fast"
                    if kind == group:
                        f.write(f"{ulp_value:.6g}\t{rate:.6g}\t{impl}\n")
                f.write("\n\n")
        plots.append((precision, data, points))
    if not any(points for _, _, points in plots):
        return None
    script = f"""
set terminal pngcairo size 1200,520 font 'DejaVu Sans,9' noenhanced
set output {quote(png)}
set multiplot layout 1,2 title "{title}: speed against accuracy (up and to the left is better)"
set logscale x
set format x '1e%T'
set grid xtics ytics lc rgb '#dddddd'
set key below horizontal
set border 3
set tics nomirror
set offsets graph 0.05, graph 0.15, graph 0.1, 0
"""
    for precision, data, points in plots:
        if not points:
            script += f"set title '{PRECISION_TITLES[precision]}: no timed implementation'\nunset key\nplot 0 notitle\n"
            continue
        script += f"""
set title "{PRECISION_TITLES[precision]}"
set xlabel "maximal error in ulps over normal results (log scale; {ULP_FLOOR:g} stands for 0)"
set ylabel "elements per nanosecond at {CHART_SIZE} elements"
set yrange [0:*]
plot {quote(data)} index 0 using 1:2 with points pt 7 ps 1.2 lc rgb '#1f5fbf' title 'orvex fast', \\
     '' index 1 using 1:2 with points pt 5 ps 1.1 lc rgb '#7fa8e0' title 'orvex exact', \\
     '' index 2 using 1:2 with points pt 9 ps 1.2 lc rgb '#888888' title 'peers', \\
     '' index 0 using 1:2:3 with labels left offset 0.6,0.4 font ',7' notitle, \\
     '' index 1 using 1:2:3 with labels left offset 0.6,-0.4 font ',7' notitle, \\
     '' index 2 using 1:2:3 with labels left offset 0.6,0 font ',7' tc rgb '#555555' notitle
"""
    script += "unset multiplot\n"
    gnuplot(script, png)
    return png


def ulp(args):
    os.makedirs(args.out, exist_ok=True)
    os.makedirs(args.data, exist_ok=True)
    machine = machine_line(args.build)
    _, rates = load_rates(args.json) if args.json and os.path.exists(args.json) else ({}, {})
    samples = {"f32": args.float_samples, "f64": args.double_samples}
    results = {}  # func -> precision -> rows
    for func, _ in ULP_FUNCTIONS:
        results[func] = {}
        for precision, _ in PRECISIONS:
            saved = os.path.join(args.data, f"ulp-{func}-{precision}.jsonl")
            if args.reuse:
                with open(saved) as f:
                    rows = [json.loads(line) for line in f if line.strip()]
            else:
                rows = run_ulp_all(args.tool, func, precision, samples[precision])
                with open(saved, "w") as f:
                    f.writelines(json.dumps(r) + "\n" for r in rows)
            results[func][precision] = rows
            print(f"figures.py: ulp {func} {precision}: {len(rows)} implementations", file=sys.stderr)

    inputs = {p: results["exp"][p][0]["inputs"] for p, _ in PRECISIONS}
    float_text = ("every one of the 2<sup>32</sup> floats" if inputs["f32"] == 1 << 32
                  else f"{inputs['f32']:,} sampled floats".replace(",", " "))
    double_text = f"{inputs['f64']:,} sampled doubles".replace(",", " ")

    tables = []
    pngs = []
    for func, peer_func in ULP_FUNCTIONS:
        title = FUNCTION_TITLES[func]
        impls = []
        for precision, _ in PRECISIONS:
            for row in results[func][precision]:
                if row["impl"] not in impls:
                    impls.append(row["impl"])
        by = {(p, r["impl"]): r for p, _ in PRECISIONS for r in results[func][p]}
        with_abs = func == "tanh"
        header = ["implementation", "f32 max ulp", "f32 worst input", "f32 normal results", "f64 max ulp",
                  "f64 worst input", "f64 normal results"]
        if with_abs:
            header += ["f32 max abs. error", "f64 max abs. error"]
        lines = ["| " + " | ".join(header) + " |", "|---|" + "---:|" * (len(header) - 1)]
        notes = []
        for impl in impls:
            cells = [f"`{impl}`"]
            for precision, _ in PRECISIONS:
                r = by.get((precision, impl))
                cells += ([format_ulp(r["max_ulp"]), format_input(r["worst_input"], precision),
                           format_ulp(r["max_ulp_normal"])] if r else ["–", "–", "–"])
                if r and r["nonfinite_mismatches"]:
                    notes.append(f"`{impl}` {precision}: {r['nonfinite_mismatches']}")
            if with_abs:
                for precision, _ in PRECISIONS:
                    r = by.get((precision, impl))
                    cells.append(format_error(r["max_abs"]) if r else "–")
            lines.append("| " + " | ".join(cells) + " |")
        table = f"**{title}**\n\n" + "\n".join(lines)
        if notes:
            table += ("\n\nNon-finite results where the exact result is finite (left out of the maxima): "
                      + ", ".join(notes) + ".")
        tables.append(table)
        png = ulp_chart(func, title, results[func], rates, peer_func, args.out, args.data)
        if png:
            pngs.append((func, png))
            print(f"figures.py: {png}", file=sys.stderr)

    charts = "\n\n".join(f"![{FUNCTION_TITLES[f]}: elements per nanosecond at {CHART_SIZE} elements against the "
                         f"maximal error in ulps]({os.path.relpath(png, os.path.dirname(os.path.abspath(args.readme)))})"
                         for f, png in pngs)
    speed_note = ("" if rates else "\n\nNo peer benchmark results were found, so there are no speed charts.")
    body = f"""
Regenerate with `{args.command}`.
{machine}

The largest error in units in the last place (ulp) of every orvex kernel and of the peers built
into `tools/peers`, measured by `ulp_all` (the `ulp` tool's measurement for all of them at once)
over {float_text} and {double_text} (the special and boundary values, then uniform bit patterns and
uniform values of the useful range). The error of a result y is |y − r| / ulp(r) for the exact
value r, ulp(r) = 2<sup>max(e, emin) − p + 1</sup> with e = ⌊log2 |r|⌋; r is the system library's
double-precision function for float inputs (far more precise than a float ulp) and MPFR's
correctly rounded 128-bit value for double inputs. NaN inputs and results that are undefined or
overflow are left out. "worst input" is the first input of the largest error in bit-pattern
order; "normal results" is the largest error where the exact result is a normal number, which
leaves out the underflow range, where a crude result is many ulps of a tiny subnormal ulp away.
The tanh kernels are accurate in absolute terms (2 / (1 + e<sup>−2x</sup>) − 1), so near 0 their
error in ulps is large and their absolute error is the figure to read. The sigmoid of glibc,
libmvec and SLEEF is 1 / (1 + exp(−x)) with their own exp; orvex's AVX-512 kernels give the AVX2
kernels' bits.

{(chr(10) * 2).join(tables)}

The charts set each implementation's speed (elements per nanosecond at {CHART_SIZE} elements, from
the peer benchmark's JSON) against its largest error over normal results; implementations without
a timing there (`orvex_plain`) are left out.{speed_note}

{charts}
"""
    splice(args.readme, "ulp", body)
    print(body)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    sub = parser.add_subparsers(dest="part", required=True)
    a = sub.add_parser("accuracy")
    a.add_argument("--tool", required=True)
    t = sub.add_parser("throughput")
    t.add_argument("--json", required=True)
    u = sub.add_parser("ulp")
    u.add_argument("--tool", required=True, help="the ulp_all program")
    u.add_argument("--json", help="the peer benchmark's JSON, for the speed axis of the charts")
    u.add_argument("--float-samples", type=int, help="sampled floats instead of all 2^32")
    u.add_argument("--double-samples", type=int, help="sampled doubles (default: the tool's own)")
    u.add_argument("--reuse", action="store_true",
                   help="take the measurements of the last run from --data instead of measuring again "
                        "(to redraw the charts with the speeds of a newer peer benchmark run)")
    for p in (a, t, u):
        p.add_argument("--build", required=True, help="the build directory (for the compiler's name)")
        p.add_argument("--data", required=True, help="directory for the intermediate data files")
        p.add_argument("--out", required=True, help="directory of the PNGs")
        p.add_argument("--readme", required=True)
        p.add_argument("--command", required=True, help="the command line that regenerates the table")
    args = parser.parse_args()
    if not os.path.isfile(args.readme):
        fail(f"{args.readme} does not exist")
    if args.part == "accuracy":
        accuracy(args)
    elif args.part == "ulp":
        ulp(args)
    else:
        throughput(args)


if __name__ == "__main__":
    main()

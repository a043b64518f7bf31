#!/usr/bin/env python3
"""Measures shapecalc against its baselines and prints a table of ratios.

- Instructions of one run (valgrind's callgrind, user space, ld.so included)
  against an empty main built with the same compiler and flags.
- Wall time of a loop of runs against the same loop of the empty main.
- Time and peak resident memory for bulk input against a program doing the
  same reads with the C library's scanf.

It prints and never fails on a figure: machines are noisy, so budgets are
for people to read, not for CI to enforce.
"""
import argparse
import os
import platform
import re
import shutil
import statistics
import subprocess
import sys
import tempfile

BUDGET_INSTRUCTIONS = 1.10
BUDGET_STATIC = 0.40
BUDGET_LOOP = 1.10
BUDGET_BULK = 0.5
BUDGET_RSS_KIB = 4 * 1024


def measured(measure, argv, stdin_path):
    """Runs argv through the small launcher, which sees its true peak RSS.
    Returns (seconds, peak RSS in KiB, exit status)."""
    with tempfile.NamedTemporaryFile(mode="r") as report, \
            open(stdin_path, "rb") as stdin:
        subprocess.run([measure, report.name] + argv, stdin=stdin,
                       stdout=subprocess.DEVNULL, check=False)
        seconds, rss, status = report.read().split()
    return float(seconds), int(rss), int(status)


def instructions(argv, stdin_path):
    out = subprocess.run(
        ["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null"] + argv,
        stdin=open(stdin_path, "rb"), stdout=subprocess.DEVNULL,
        stderr=subprocess.PIPE, text=True, check=False).stderr
    match = re.search(r"Collected : (\d+)", out)
    return int(match.group(1)) if match else None


def write_file(path, parts):
    with open(path, "wb") as f:
        for part, count in parts:
            chunk = part * (1 << 20)
            for _ in range(count >> 20):
                f.write(chunk)
            f.write(part * (count & ((1 << 20) - 1)))


def verdict(ok):
    return "within budget" if ok else "OVER BUDGET"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--shapecalc", required=True)
    ap.add_argument("--empty", required=True)
    ap.add_argument("--scanf", required=True)
    ap.add_argument("--measure", required=True)
    ap.add_argument("--loop", required=True)
    ap.add_argument("--static", help="shapecalc linked fully statically")
    ap.add_argument("--micro")
    ap.add_argument("--compiler", default="")
    ap.add_argument("--runs", type=int, default=200)
    ap.add_argument("--rounds", type=int, default=31)
    args = ap.parse_args()

    cpu = platform.processor() or platform.machine()
    try:
        with open("/proc/cpuinfo") as f:
            cpu = re.search(r"model name\s*:\s*(.*)", f.read()).group(1)
    except (OSError, AttributeError):
        pass
    print(f"machine: {cpu}, {os.cpu_count()} cores, {platform.system()} "
          f"{platform.release()}; compiler: {args.compiler}")
    print()

    rows = []
    with tempfile.TemporaryDirectory(prefix="shapecalc-bench-") as tmp:
        dialogue = os.path.join(tmp, "dialogue.txt")
        write_file(dialogue, [(b"circle area 2\n", 1)])

        # One run.
        if shutil.which("valgrind"):
            base = instructions([args.empty], dialogue)
            ours = instructions([args.shapecalc], dialogue)
            if base and ours:
                ratio = ours / base
                rows.append(("one run: instructions", f"{ours:,}", f"{base:,}",
                             f"{ratio:.3f}", f"<= {BUDGET_INSTRUCTIONS}",
                             verdict(ratio <= BUDGET_INSTRUCTIONS)))
            # The static build against the same dynamic empty program:
            # what a script that starts it thousands of times saves.
            static = instructions([args.static], dialogue) if args.static else None
            if base and static:
                ratio = static / base
                rows.append(("one run, static build: instructions", f"{static:,}",
                             f"{base:,}", f"{ratio:.3f}", f"<= {BUDGET_STATIC}",
                             verdict(ratio <= BUDGET_STATIC)))
        else:
            print("valgrind not found: instruction counts skipped")

        # Rounds taken in turns (bench/run_loop.cpp). Each round's ratio
        # compares two loops run back to back, so drift of the machine
        # cancels; the median of the ratios ignores rounds a burst of other
        # work disturbed.
        out = subprocess.run([args.loop, str(args.rounds), str(args.runs), dialogue,
                              args.empty, args.shapecalc],
                             stdout=subprocess.PIPE, text=True, check=True).stdout
        pairs = [tuple(float(x) for x in line.split()) for line in out.splitlines()]
        ratio = statistics.median(ours / base for base, ours in pairs)
        base_t = statistics.median(base for base, _ in pairs)
        ours_t = statistics.median(ours for _, ours in pairs)
        rows.append((f"{args.runs} runs: wall time (median of {args.rounds})",
                     f"{ours_t * 1000:.0f} ms", f"{base_t * 1000:.0f} ms",
                     f"{ratio:.3f}", f"<= {BUDGET_LOOP}", verdict(ratio <= BUDGET_LOOP)))

        # Bulk input.
        bulk = [
            ("200 MiB of white space, then a word", "space",
             [(b" ", 200 << 20), (b"circle area 2\n", 1)]),
            ("a 50 MiB number", "number",
             [(b"square perimeter 1.", 1), (b"2", 50 << 20), (b"\n", 1)]),
            ("a 100 MiB word", "word", [(b"w", 100 << 20), (b" area\n", 1)]),
        ]
        for label, mode, parts in bulk:
            path = os.path.join(tmp, mode + ".txt")
            write_file(path, parts)
            ours = min((measured(args.measure, [args.shapecalc], path)
                        for _ in range(3)), key=lambda r: r[0])
            base = min((measured(args.measure, [args.scanf, mode], path)
                        for _ in range(3)), key=lambda r: r[0])
            os.remove(path)
            ratio = ours[0] / base[0]
            rows.append((f"{label}: time", f"{ours[0] * 1000:.0f} ms",
                         f"{base[0] * 1000:.0f} ms", f"{ratio:.3f}",
                         f"<= {BUDGET_BULK}", verdict(ratio <= BUDGET_BULK)))
            rows.append((f"{label}: peak RSS", f"{ours[1]:,} KiB", f"{base[1]:,} KiB",
                         f"{ours[1] / base[1]:.3f}", f"<= {BUDGET_RSS_KIB:,} KiB",
                         verdict(ours[1] <= BUDGET_RSS_KIB)))

    header = ("measure", "shapecalc", "baseline", "ratio", "budget", "")
    widths = [max(len(str(r[i])) for r in rows + [header]) for i in range(len(header))]
    print("| " + " | ".join(h.ljust(w) for h, w in zip(header, widths)) + " |")
    print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
    for r in rows:
        print("| " + " | ".join(str(c).ljust(w) for c, w in zip(r, widths)) + " |")
    print()
    print("baselines: one run and the loop against an empty main() built with the same")
    print("compiler and flags; bulk input against bench/scanf_baseline.cpp (scanf \"%255s\",")
    print("\"%255s%*s\" and \"%255s%255s%f\").")

    if args.micro and os.path.exists(args.micro):
        print()
        sys.stdout.flush()
        subprocess.run([args.micro, "--benchmark_min_time=0.2"], check=False)
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env bash
# Builds the host benchmarks in Release (preset "bench"), runs them and prints a Markdown table:
# each operation against its floor, the cost of 10,000 items against 1,000, and the peak heap
# of export and import for a 1 MB and a 10 MB key-definition file.
#
# With --win32 it also builds the Win32 benchmark (build/bench-win32) and runs it under Wine in
# a prefix of its own, for a second table: the same operations against Wine's registry and
# against reg.exe, interleaved round by round.
#
#   scripts/bench.sh                 # host table on stdout
#   scripts/bench.sh --win32         # and the Wine table after it
#   REPETITIONS=9 scripts/bench.sh   # more repetitions or Wine rounds (default 7)
#   DUNVATEL_BENCH_WARM=1 scripts/bench.sh   # leave the caches warm between host runs
set -euo pipefail

cd "$(dirname "$0")/.."
repetitions=${REPETITIONS:-7}
win32=no
for argument in "$@"; do
    case "$argument" in
    --win32) win32=yes ;;
    *)
        echo "usage: $0 [--win32]" >&2
        exit 2
        ;;
    esac
done

cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null

bench=build/bench/bench/dunvatel_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Ours and its floor run interleaved in random order, so that drift in the machine's speed
# falls on both alike.
"$bench" --benchmark_filter='^(Export|Import|CopyTree)[A-Za-z]*/' \
    --benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true \
    --benchmark_out="$work/timed.json" --benchmark_out_format=json >"$work/timed.txt" 2>&1
"$bench" --benchmark_filter='^HeapPeak/' \
    --benchmark_out="$work/heap.json" --benchmark_out_format=json >"$work/heap.txt" 2>&1

compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' build/bench/CMakeCache.txt)
compiler_version=$("${compiler:-c++}" --version | head -n 1)

python3 - "$work/timed.json" "$work/heap.json" "$compiler_version" <<'EOF'
import json
import os
import sys

timed_path, heap_path, compiler = sys.argv[1:4]
timed = json.load(open(timed_path))
heap = json.load(open(heap_path))

# The fastest repetition of each benchmark, in ms, by (name, size). On a shared or virtual
# machine the same run varies by a third from one repetition to the next; the fastest is the
# one least disturbed, and the scaling and ratios are judged on it.
runs = {}
for entry in timed["benchmarks"]:
    if entry.get("run_type") != "iteration" or entry.get("error_occurred"):
        continue
    name, size = entry["run_name"].split("/")[:2]
    unit = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[entry["time_unit"]]
    runs.setdefault((name, int(size)), []).append(entry["real_time"] * unit)
fastest = {key: min(times) for key, times in runs.items()}

failed = [e["run_name"] for e in timed["benchmarks"] + heap["benchmarks"]
          if e.get("error_occurred")]

def ms(value):
    return f"{value:.3g} ms" if value >= 0.1 else f"{value * 1000:.3g} µs"

rows = [
    ("Export: `SaveKeyFile`, a whole file put in place", "Export",
     "bare `RegEnumValueW` loop", "ExportFloor"),
    ("Export's walk to a file without its judgement", "ExportUnjudged",
     "bare `RegEnumValueW` loop", "ExportFloor"),
    ("Import: `ReadKeyDefinitions` of that file", "Import",
     "bare `RegSetValueExW` loop", "ImportFloor"),
    ("Import's first reading alone: `SurveyKeyFile`", "ImportSurvey",
     "bare `RegSetValueExW` loop", "ImportFloor"),
    ("Copy: `CopyKeyTree` of a tree of N keys", "CopyTree",
     "bare walk: open, maxima, enumerate", "CopyTreeFloor"),
    ("Copy, against the calls a copy cannot avoid", "CopyTree",
     "the bare walk plus `RegCreateKeyExW` and `RegSetValueExW`", "CopyTreeCallsFloor"),
]

warm = os.environ.get("DUNVATEL_BENCH_WARM") == "1"
print(f"Machine: {os.cpu_count()} cores, {os.uname().machine}, {compiler}, Release "
      f"(preset `bench`), host stand-in for the platform; fastest of "
      f"{len(next(iter(runs.values()), []))} interleaved repetitions, caches "
      f"{'warm' if warm else 'emptied before every timed run'}.")
print()
print("| Operation (N = 1,000 / 10,000) | ours 1k | floor 1k | ours/floor 1k "
      "| ours 10k | floor 10k | ours/floor 10k | ours 10k/1k | floor 10k/1k |")
print("|---|---:|---:|---:|---:|---:|---:|---:|---:|")
nonlinear = []
for label, ours, floor_label, floor in rows:
    try:
        o1, o10 = fastest[(ours, 1000)], fastest[(ours, 10000)]
        f1, f10 = fastest[(floor, 1000)], fastest[(floor, 10000)]
    except KeyError:
        print(f"| {label} | (missing) |||||||")
        continue
    scale = o10 / o1
    if scale > 11 and ours not in nonlinear:
        nonlinear.append(ours)
    print(f"| {label} (floor: {floor_label}) | {ms(o1)} | {ms(f1)} | {o1 / f1:.2f}× "
          f"| {ms(o10)} | {ms(f10)} | {o10 / f10:.2f}× | {scale:.1f}× | {f10 / f1:.1f}× |")

print()
print("| Peak C heap | 1 MB file | 10 MB file |")
print("|---|---:|---:|")
peaks = {}
for entry in heap["benchmarks"]:
    if entry.get("error_occurred"):
        continue
    size = int(entry["run_name"].split("/")[1])
    peaks[size] = entry
if 1 in peaks and 10 in peaks:
    small, large = peaks[1], peaks[10]
    def kb(value):
        return f"{value / 1024:.1f} KB"
    print(f"| key-definition file | {small['file_bytes'] / 2**20:.2f} MB, "
          f"{int(small['values']):,} values | {large['file_bytes'] / 2**20:.2f} MB, "
          f"{int(large['values']):,} values |")
    print(f"| export (`SaveKeyFile`) | {kb(small['export_peak_heap'])} "
          f"| {kb(large['export_peak_heap'])} |")
    print(f"| import (`ReadKeyDefinitions`) | {kb(small['import_peak_heap'])} "
          f"| {kb(large['import_peak_heap'])} |")
    grew = (large["export_peak_heap"] > small["export_peak_heap"] * 1.05 or
            large["import_peak_heap"] > small["import_peak_heap"] * 1.05)
else:
    grew = True
    print("| (missing) | | |")

print()
print(f"Linear (10× items at most 11× time): {'no: ' + ', '.join(nonlinear) if nonlinear else 'yes'}."
      f" Peak heap independent of file size: {'no' if grew else 'yes'}.")
if failed:
    print(f"Failed: {', '.join(failed)}")
    sys.exit(1)
EOF

if [ "$win32" = yes ]; then
    cmake --preset bench-win32 >/dev/null
    cmake --build --preset bench-win32 >/dev/null
    prefix=build/bench-win32/wineprefix
    sh scripts/wine-prefix.sh start "$prefix"
    status=0
    sh scripts/wine-prefix.sh run "$prefix" build/bench-win32/bench/dunvatel_win32_bench.exe \
        "$repetitions" >"$work/win32.txt" 2>&1 || status=$?
    sh scripts/wine-prefix.sh stop "$prefix"
    wine_version=$(wine --version 2>/dev/null || echo "wine")
    echo
    echo "Under $wine_version (its registry and reg.exe), Win32 build with" \
        "$(x86_64-w64-mingw32-g++-posix --version | head -n 1), Release:"
    echo
    tr -d '\r' <"$work/win32.txt"
    exit "$status"
fi

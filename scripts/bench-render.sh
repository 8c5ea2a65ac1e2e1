#!/usr/bin/env bash
# Times `quillory render` on fixed views with the reference loop and with the
# fast engine, side by side in one run, checks that both wrote the same
# picture, and prints one table.
# Each time is the best of several runs: REPEATS (default 5) for the fast
# engine, REFERENCE_REPEATS (default 1; the view inside the set takes minutes)
# for the reference. Run it on a quiet machine; the load is printed.
#   BUILD_DIR=build REPEATS=5 REFERENCE_REPEATS=1 scripts/bench-render.sh
set -euo pipefail

cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
REPEATS=${REPEATS:-5}
REFERENCE_REPEATS=${REFERENCE_REPEATS:-1}

if [[ ! -f "$BUILD_DIR/build.ninja" ]] || ! grep -q '^QUILLORY_BUILD_BENCH:BOOL=ON' "$BUILD_DIR/CMakeCache.txt"; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLORY_BUILD_BENCH=ON >/dev/null
fi
cmake --build "$BUILD_DIR" --target quillory render_work >/dev/null

QUILLORY="$BUILD_DIR/quillory"
WORK="$BUILD_DIR/bench/render_work"
SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT

# name, width, height, centre x, centre y, view width, cap
VIEWS=(
  "start 1920 1080 0 0 4 256"
  "seahorse 960 540 -0.7436438870371587 0.1318259042053119 1e-9 4096"
  "inside 640 360 -0.1 0 0.5 16384"
)

# Best wall time in milliseconds of `runs` renders with one engine.
time_render() {
  local engine=$1 runs=$2 width=$3 height=$4 x=$5 y=$6 viewWidth=$7 cap=$8
  local best=""
  for ((run = 0; run < runs; run++)); do
    local start end elapsed
    start=$(date +%s%N)
    "$QUILLORY" render --engine "$engine" --size "${width}x${height}" --center "$x,$y" --view-width "$viewWidth" \
      --max-iter "$cap" --out "$SCRATCH/$engine.bmp"
    end=$(date +%s%N)
    elapsed=$(((end - start) / 1000))
    if [[ -z "$best" || $elapsed -lt $best ]]; then best=$elapsed; fi
  done
  awk -v us="$best" 'BEGIN { printf "%.1f", us / 1000 }'
}

load() { cut -d' ' -f1 /proc/loadavg; }
echo "Processor: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) threads"
echo "Best of $REFERENCE_REPEATS reference and $REPEATS fast runs; load average at start $(load)"
printf '%-9s %-10s %6s %13s %11s %9s %15s %15s\n' view size cap "reference ms" "fast ms" speed-up "ref iter/s" "fast iter/s"
for view in "${VIEWS[@]}"; do
  read -r name width height x y viewWidth cap <<<"$view"
  reference=$(time_render reference "$REFERENCE_REPEATS" "$width" "$height" "$x" "$y" "$viewWidth" "$cap")
  fast=$(time_render fast "$REPEATS" "$width" "$height" "$x" "$y" "$viewWidth" "$cap")
  if ! cmp -s "$SCRATCH/reference.bmp" "$SCRATCH/fast.bmp"; then
    echo "$name: the fast engine drew a different picture from the reference" >&2
    exit 1
  fi
  iterations=$("$WORK" "$width" "$height" "$x" "$y" "$viewWidth" "$cap")
  awk -v name="$name" -v size="${width}x${height}" -v cap="$cap" -v ref="$reference" -v fast="$fast" \
    -v iterations="$iterations" 'BEGIN {
      printf "%-9s %-10s %6d %13.1f %11.1f %8.1fx %15.3g %15.3g\n",
        name, size, cap, ref, fast, ref / fast, iterations / (ref / 1000), iterations / (fast / 1000)
    }'
done
echo "Load average at end $(load)"

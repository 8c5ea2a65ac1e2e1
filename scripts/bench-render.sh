#!/usr/bin/env bash
# Times whole-process `quillory render` on fixed views with the reference
# loop and with the fast engine, and the same views rendered by XaoS when it
# is installed (`make dev-tools`), side by side in one run; checks that both
# engines wrote the same picture, and prints one table.
# Each time is the best of several runs: REPEATS (default 5) for the fast
# engine and XaoS, REFERENCE_REPEATS (default 1; the view inside the set
# takes minutes) for the reference; REFERENCE_REPEATS=0 skips the reference
# and the picture check. "cpu/wall" is the fast run's processor seconds (user
# + system, all threads) per second of wall time. Run it on a quiet machine;
# the load is printed. BEFORE_BUILD_DIR names the build of an earlier version
# to time alongside, view by view, for a before/after comparison in one run.
#   BUILD_DIR=build REPEATS=5 REFERENCE_REPEATS=1 scripts/bench-render.sh
set -euo pipefail

cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
REPEATS=${REPEATS:-5}
REFERENCE_REPEATS=${REFERENCE_REPEATS:-1}
BEFORE_BUILD_DIR=${BEFORE_BUILD_DIR:-}

if [[ ! -f "$BUILD_DIR/build.ninja" ]] || ! grep -q '^QUILLORY_BUILD_BENCH:BOOL=ON' "$BUILD_DIR/CMakeCache.txt"; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLORY_BUILD_BENCH=ON >/dev/null
fi
cmake --build "$BUILD_DIR" --target quillory render_work >/dev/null

QUILLORY="$BUILD_DIR/quillory"
WORK="$BUILD_DIR/bench/render_work"
XAOS=$(command -v xaos || true)
SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT

# name, width, height, centre x, centre y, view width, cap
VIEWS=(
  "start 1920 1080 0 0 4 256"
  "seahorse 960 540 -0.7436438870371587 0.1318259042053119 1e-9 4096"
  "inside 640 360 -0.1 0 0.5 16384"
  "start 7680 4320 0 0 4 256"
)

# Runs a command `runs` times; prints the best wall time in milliseconds and
# the CPU seconds per wall second of that run.
best_of() {
  local runs=$1
  shift
  local best="" ratio="" TIMEFORMAT='%3R %3U %3S'
  for ((run = 0; run < runs; run++)); do
    { time "$@" >/dev/null 2>&1; } 2>"$SCRATCH/time"
    read -r wall user system <"$SCRATCH/time"
    if [[ -z "$best" ]] || awk -v a="$wall" -v b="$best" 'BEGIN { exit !(a < b) }'; then
      best=$wall
      ratio=$(awk -v w="$wall" -v u="$user" -v s="$system" 'BEGIN { printf "%.2f", (w > 0 ? (u + s) / w : 0) }')
    fi
  done
  awk -v seconds="$best" -v ratio="$ratio" 'BEGIN { printf "%.1f %s", seconds * 1000, ratio }'
}

render() {
  render_with "$QUILLORY" "$@"
}

render_with() {
  local program=$1 engine=$2 width=$3 height=$4 x=$5 y=$6 viewWidth=$7 cap=$8
  "$program" render --engine "$engine" --size "${width}x${height}" --center "$x,$y" --view-width "$viewWidth" \
    --max-iter "$cap" --out "$SCRATCH/$engine.bmp"
}

xaos_render() {
  local width=$1 height=$2 x=$3 y=$4 viewWidth=$5 cap=$6
  local viewHeight
  viewHeight=$(awk -v w="$viewWidth" -v W="$width" -v H="$height" 'BEGIN { printf "%.17g", w * H / W }')
  printf "(initstate) (formula 'mandel) (maxiter %s) (view %s %s %s %s)\n" "$cap" "$x" "$y" "$viewWidth" \
    "$viewHeight" >"$SCRATCH/view.xaf"
  QT_QPA_PLATFORM=offscreen "$XAOS" -render "$SCRATCH/view.xaf" -size "${width}x${height}" -basename "$SCRATCH/xaos"
}

load() { cut -d' ' -f1 /proc/loadavg; }
echo "Processor: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) threads"
echo "Best of $REFERENCE_REPEATS reference and $REPEATS fast and XaoS runs; load average at start $(load)"
printf '%-9s %-10s %6s %13s %9s %9s %9s %14s %9s %9s %10s\n' view size cap "reference ms" "before ms" "fast ms" \
  speed-up "fast iter/s" cpu/wall "xaos ms" "xaos/fast"
for view in "${VIEWS[@]}"; do
  read -r name width height x y viewWidth cap <<<"$view"
  reference="-"
  if ((REFERENCE_REPEATS > 0)); then
    read -r reference _ <<<"$(best_of "$REFERENCE_REPEATS" render reference "$width" "$height" "$x" "$y" "$viewWidth" "$cap")"
  fi
  before="-"
  if [[ -n "$BEFORE_BUILD_DIR" ]]; then
    read -r before _ <<<"$(best_of "$REPEATS" render_with "$BEFORE_BUILD_DIR/quillory" fast "$width" "$height" "$x" "$y" \
      "$viewWidth" "$cap")"
  fi
  read -r fast ratio <<<"$(best_of "$REPEATS" render fast "$width" "$height" "$x" "$y" "$viewWidth" "$cap")"
  if ((REFERENCE_REPEATS > 0)) && ! cmp -s "$SCRATCH/reference.bmp" "$SCRATCH/fast.bmp"; then
    echo "$name: the fast engine drew a different picture from the reference" >&2
    exit 1
  fi
  xaos="-"
  if [[ -n "$XAOS" ]]; then
    read -r xaos _ <<<"$(best_of "$REPEATS" xaos_render "$width" "$height" "$x" "$y" "$viewWidth" "$cap")"
  fi
  iterations=$("$WORK" "$width" "$height" "$x" "$y" "$viewWidth" "$cap")
  awk -v name="$name" -v size="${width}x${height}" -v cap="$cap" -v ref="$reference" -v before="$before" -v fast="$fast" \
    -v ratio="$ratio" -v xaos="$xaos" -v iterations="$iterations" 'BEGIN {
      speedUp = ref == "-" ? "-" : sprintf("%.1fx", ref / fast)
      versus = xaos == "-" ? "-" : sprintf("%.1fx", xaos / fast)
      printf "%-9s %-10s %6d %13s %9s %9.1f %9s %14.3g %9s %9s %10s\n",
        name, size, cap, ref, before, fast, speedUp, iterations / (fast / 1000), ratio, xaos, versus
    }'
done
echo "Load average at end $(load)"

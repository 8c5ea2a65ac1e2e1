#!/usr/bin/env bash
# Fuzzes one parser with libFuzzer on one core, at the lowest priority.
#   scripts/fuzz.sh TARGET [SECONDS] [-- extra libFuzzer flags]   (default 600 s)
# TARGET is one of: midi-reader midi-open typed-numbers command-arguments
# bookmark-rows. New crashers land in fuzz/TARGET-crashers/, which the
# fuzz_replay tests of the ordinary suite replay; the growing corpus stays
# in build-fuzz/corpus-TARGET.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: scripts/fuzz.sh TARGET [SECONDS]}
seconds=${2:-600}
shift $(( $# < 2 ? $# : 2 ))
[ "${1:-}" = "--" ] && shift
case "$target" in
  midi-reader) executable=fuzz_midi_file_reader ;;
  midi-open) executable=fuzz_midi_file_open ;;
  typed-numbers) executable=fuzz_typed_numbers ;;
  command-arguments) executable=fuzz_command_arguments ;;
  bookmark-rows) executable=fuzz_bookmark_rows ;;
  *) echo "unknown fuzz target '$target'" >&2; exit 2 ;;
esac
out=build-fuzz
if [ ! -f "$out/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLORY_BUILD_FUZZ=ON -DQUILLORY_BUILD_TESTS=OFF >/dev/null
fi
nice -n 19 cmake --build "$out" -j 2 --target "$executable"
mkdir -p "$out/corpus-$target" "fuzz/$target-crashers"
seeds=()
[ -d "fuzz/$target-seeds" ] && seeds=("fuzz/$target-seeds")
# The MIDI open target starts from the reader's seeds: the same files.
[ "$target" = midi-open ] && seeds=(fuzz/midi-reader-seeds)
export QT_QPA_PLATFORM=offscreen
# The targets' scratch files go to memory where there is some: on a disk the
# file system, not the parser, sets the pace.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=${TMPDIR:-/dev/shm}
exec nice -n 19 "$out/fuzz/$executable" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
  -artifact_prefix="fuzz/$target-crashers/" -print_final_stats=1 "$@" \
  "$out/corpus-$target" "${seeds[@]}"

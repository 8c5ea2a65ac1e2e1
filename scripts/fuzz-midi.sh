#!/usr/bin/env bash
# Fuzzes the MIDI file reader with libFuzzer on one core.
#   scripts/fuzz-midi.sh [seconds]     (default 600)
# New crashers land in fuzz/midi-reader-crashers/, which the reader's
# GoogleTest suite replays; the growing corpus stays in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
out=build-fuzz
mkdir -p "$out/corpus" fuzz/midi-reader-crashers
clang++ -std=c++20 -O1 -g -ffp-contract=off -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -Isrc/midi fuzz/MidiFileReaderFuzzer.cpp src/midi/MidiFileReader.cpp -o "$out/fuzz_midi_file_reader"
"$out/fuzz_midi_file_reader" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=1024 -max_len=4096 \
  -artifact_prefix=fuzz/midi-reader-crashers/ -print_final_stats=1 \
  "$out/corpus" fuzz/midi-reader-seeds

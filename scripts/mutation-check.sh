#!/usr/bin/env bash
# Mutation check of the core libraries: do their tests notice small faults?
#   scripts/mutation-check.sh [--fresh] [library...]
# Libraries are folders of src/ with a test folder of the same name (default:
# engine midi music bookmarks explorer). Each mutant flips a comparison,
# moves an integer constant by one, swaps && and ||, or removes a statement;
# it is built in its own copy of a prepared build folder, where only the
# mutated library and its own test programs are rebuilt, and that library's
# tests judge it. The sample is fixed: scripts/mutation/sample.tsv holds it,
# so runs before and after a change of the tests judge the same mutants;
# libraries missing from it get a seeded sample added (--fresh redraws all).
# QUILLORY_MUTANT_SAMPLE names another sample file, and QUILLORY_MUTANT_SEED
# seeds what is drawn into it: a second sample measures code rewritten after
# the first one was drawn, whose mutants the first can only report as gone.
# Prints the kill rate per library and every surviving mutant. CPU-heavy:
# runs under nice -n 19 with two jobs; QUILLORY_MUTANT_JOBS,
# QUILLORY_MUTANT_BUILD_SECONDS and QUILLORY_MUTANT_TEST_SECONDS tune it.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
seed=${QUILLORY_MUTANT_SEED:-12}
per_library=45
sample=${QUILLORY_MUTANT_SAMPLE:-$repo/scripts/mutation/sample.tsv}
work=$repo/build-mutation

fresh=no
if [[ ${1:-} == --fresh ]]; then fresh=yes; shift; fi
libraries=("$@")
if [[ ${#libraries[@]} -eq 0 ]]; then
  for library in engine midi music bookmarks explorer; do
    [[ -d src/$library && -d tests/$library ]] && libraries+=("$library")
  done
fi

[[ $fresh == yes ]] && rm -f "$sample"
touch "$sample"
for library in "${libraries[@]}"; do
  if ! cut -f1 "$sample" | grep -qx "$library"; then
    echo "Drawing $per_library mutants of $library (seed $seed)"
    python3 scripts/mutation/mutants.py list . "$seed" "$per_library" "$library" >> "$sample"
  fi
done

# A private copy of the sources, so the working tree is never mutated and
# stays free for editing while the check runs.
rm -rf "$work"
mkdir -p "$work/source"
cp -a CMakeLists.txt cmake src tests data fuzz "$work/source/"
targets=()
for library in "${libraries[@]}"; do
  targets+=($(grep -o 'quillory_add_test([a-z_]*' "tests/$library/CMakeLists.txt" | cut -d'(' -f2))
done
echo "Preparing the base build (${targets[*]})"
nice -n 19 cmake -S "$work/source" -B "$work/base" -G Ninja -DCMAKE_BUILD_TYPE=Release > "$work/configure.log"
nice -n 19 ninja -C "$work/base" -j "${QUILLORY_MUTANT_JOBS:-2}" "${targets[@]}" > "$work/build.log"
for target in "${targets[@]}"; do
  if ! (cd "$(dirname "$(find "$work/base/tests" -name "$target" -type f)")" && "./$target" > /dev/null 2>&1); then
    echo "The unmutated tests fail ($target); fix them first." >&2
    exit 1
  fi
done

nice -n 19 python3 scripts/mutation/mutants.py run "$work/source" "$work/base" "$work" "$sample" "${libraries[@]}" \
  | tee "$work/report.txt"

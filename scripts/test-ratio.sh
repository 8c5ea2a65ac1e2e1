#!/usr/bin/env bash
# The house count: non-blank, non-comment lines of C++ (.cpp and .h) in
# tests/ against src/, and their ratio. Lines that hold only a // comment
# count as comments; everything else, braces included, counts as code.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
  find "$1" \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 cat | grep -v '^\s*$' | grep -cv '^\s*//'
}
tests=$(count tests)
code=$(count src)
echo "tests: $tests lines, src: $code lines, ratio: $(( 1000 * tests / code / 10 )).$(( 1000 * tests / code % 10 )) %"

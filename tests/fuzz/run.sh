#!/usr/bin/env bash
# Runs the fuzz targets of a sanitizer build, one after the other, each for the given time,
# on its corpus (kept in the build folder) and the seeds from the game's files. A finding
# leaves crash-* / leak-* / timeout-* files in the current folder and ends with status 1.
# Usage: tests/fuzz/run.sh [seconds per target] [build folder] [target names...]
set -euo pipefail
seconds=${1:-60}
build=$(cd "${2:-$(dirname "$0")/../../build-asan}" && pwd)
shift $(($# > 2 ? 2 : $#))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(settings level mesh image)

fuzz=$build/tests/fuzz
for name in "${targets[@]}"; do
  echo "== fuzz_$name for ${seconds}s"
  "$fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=20 -print_final_stats=1 \
    "$fuzz/corpus/$name" "$fuzz/seeds/$name" 2>&1 | grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done)|ERROR|SUMMARY|Test unit written'
done

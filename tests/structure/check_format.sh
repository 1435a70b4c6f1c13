#!/usr/bin/env bash
# Every C++ file of the project is formatted as .clang-format says.
set -uo pipefail
cd "${1:-$(dirname "$0")/../..}" || exit 2
command -v clang-format >/dev/null || { echo "clang-format is not installed"; exit 2; }
files=$(git ls-files '*.cpp' '*.h' '*.c' 2>/dev/null || find . -name '*.cpp' -o -name '*.h' -o -name '*.c')
unformatted=()
for file in $files; do
  clang-format --dry-run -Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "not formatted (run clang-format -i on them):"
  printf '  %s\n' "${unformatted[@]}"
  exit 1
fi
echo "formatted: $(echo "$files" | wc -w) files"

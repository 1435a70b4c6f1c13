#!/usr/bin/env bash
# The code's folders are layers, each using only those below it:
#   gl < assets < scene < game < render < app
# Fails on an include of a header from a higher layer, and on any GL or GLFW header or call in
# assets/, scene/ and game/: the simulation runs without a window.
set -uo pipefail
cd "${1:-$(dirname "$0")/../..}" || exit 2

rank() {
  case "$1" in
    gl/*) echo 1 ;; assets/*) echo 2 ;; scene/*) echo 3 ;; game/*) echo 4 ;;
    render/*) echo 5 ;; app/*) echo 6 ;; *) echo 0 ;;
  esac
}

faults=0
files=$(find gl assets scene game render app -name '*.h' -o -name '*.cpp' | sort)
[ -n "$files" ] || { echo "no sources found under $(pwd)"; exit 2; }
for file in $files; do
  own=$(rank "$file")
  while read -r header; do
    [ -e "$header" ] || continue
    if [ "$(rank "$header")" -gt "$own" ]; then
      echo "$file includes $header, a layer above its own"
      faults=$((faults + 1))
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done

# Calls look like glSomething( or glfwSomething(; headers like <GL/...> or <GLFW/...>, or gl/.
gl=$(grep -nE '\b(gl|glfw|glew)[A-Z][A-Za-z0-9_]*[[:space:]]*\(|#[[:space:]]*include[[:space:]]*[<"](GL|GLFW|gl)/' \
  assets/* scene/* game/* || true)
if [ -n "$gl" ]; then
  echo "assets/, scene/ or game/ use GL or GLFW:"
  echo "$gl"
  faults=$((faults + 1))
fi

[ "$faults" -eq 0 ] && echo "layers hold: $(echo "$files" | wc -l) files"
exit $((faults > 0))

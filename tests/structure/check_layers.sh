#!/usr/bin/env bash
# The code's folders are layers, each using only those below it:
#   render/gl < assets < scene < game < render < app
# Fails on an include of a header from a higher layer, and on any GL or GLFW call in game/
# (the rules run without a window; GLFW's key constants are all they take from it).
set -uo pipefail
cd "${1:-$(dirname "$0")/../..}" || exit 2

rank() {
  case "$1" in
    render/gl/*) echo 1 ;; assets/*) echo 2 ;; scene/*) echo 3 ;; game/*) echo 4 ;;
    render/*) echo 5 ;; app/*) echo 6 ;; *) echo 0 ;;
  esac
}

faults=0
files=$(find app game scene render assets -name '*.h' -o -name '*.cpp' | sort)
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

# Calls look like glSomething( or glfwSomething(; GLFW_KEY_... constants are not calls.
calls=$(grep -nE '\b(gl|glfw|glew)[A-Z][A-Za-z0-9_]*[[:space:]]*\(|#[[:space:]]*include[[:space:]]*<GL/' game/* || true)
if [ -n "$calls" ]; then
  echo "game/ calls GL or GLFW:"
  echo "$calls"
  faults=$((faults + 1))
fi

[ "$faults" -eq 0 ] && echo "layers hold: $(echo "$files" | wc -l) files" 
exit $((faults > 0))

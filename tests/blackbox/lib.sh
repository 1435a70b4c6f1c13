# Shared helpers for the black-box tests: a private copy of the run folder, the game started
# in the background with its console captured, and its window found by title.
set -euo pipefail

RUN_DIR=$(cd "$1" && pwd)
WORK=$(mktemp -d)
GAME_PID=""
trap cleanup EXIT

cleanup() {
  if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then
    kill "$GAME_PID" 2>/dev/null || true
    wait "$GAME_PID" 2>/dev/null || true
  fi
  rm -rf "$WORK"
}

fail() { echo "FAIL: $*" >&2; [ -f "$WORK/out.txt" ] && { echo "--- game output:"; cat "$WORK/out.txt"; } >&2; exit 1; }
pass() { echo "ok: $*"; }

# A fresh copy of the run folder at $WORK/run, so a test may change its files.
copy_run_folder() {
  cp -r "$RUN_DIR" "$WORK/run"
}

# Starts the game from $WORK/run with stdin not a terminal; console goes to $WORK/out.txt.
start_game() {
  (cd "$WORK/run" && exec ./tindral </dev/null >"$WORK/out.txt" 2>"$WORK/err.txt") &
  GAME_PID=$!
}

# Waits up to $1 seconds for the game's window and prints its id.
find_window() {
  local limit=$1 id=""
  for _ in $(seq $((limit * 5))); do
    id=$(xdotool search --name '^Tindral$' 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$GAME_PID" 2>/dev/null || return 1
    sleep 0.2
  done
  return 1
}

# Waits up to $1 seconds for a line matching $2 in the game's console.
wait_for_output() {
  local limit=$1 pattern=$2
  for _ in $(seq $((limit * 5))); do
    grep -qE "$pattern" "$WORK/out.txt" 2>/dev/null && return 0
    sleep 0.2
  done
  return 1
}

# Waits up to $1 seconds for the game to end and sets EXIT_STATUS. Not to be called in a
# command substitution: only this shell can collect the game's status.
wait_for_exit() {
  local limit=$1
  for _ in $(seq $((limit * 5))); do
    if ! kill -0 "$GAME_PID" 2>/dev/null; then
      EXIT_STATUS=0
      wait "$GAME_PID" || EXIT_STATUS=$?
      GAME_PID=""
      return 0
    fi
    sleep 0.2
  done
  return 1
}

window_size() {
  xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: \([0-9]*x[0-9]*\).*/\1/p'
}

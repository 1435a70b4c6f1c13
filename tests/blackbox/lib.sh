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
  [ -n "${KEEP_WORK:-}" ] && echo "kept $WORK" || rm -rf "$WORK"
}

fail() { echo "FAIL: $*" >&2; [ -f "$WORK/out.txt" ] && { echo "--- game output:"; cat "$WORK/out.txt"; } >&2; exit 1; }
pass() { echo "ok: $*"; }

# A fresh copy of the run folder at $WORK/run, so a test may change its files.
copy_run_folder() {
  cp -r "$RUN_DIR" "$WORK/run"
}

# Runs a command ($2...) in folder $1 in the background as the game, with stdin not a
# terminal; its console goes to $WORK/out.txt and $WORK/err.txt.
run_in_background() {
  local folder=$1
  shift
  (cd "$folder" && exec "$@" </dev/null >"$WORK/out.txt" 2>"$WORK/err.txt") &
  GAME_PID=$!
}

# Starts the game from $WORK/run.
start_game() {
  run_in_background "$WORK/run" ./tindral
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

# Saves a screenshot of window $1 as $WORK/$2.png.
screenshot() {
  import -window "$1" "$WORK/$2.png"
}

# Takes screenshots of the game's window as $WORK/$1.png until the function $2 accepts one,
# for up to $3 seconds (60 unless given). Frames come as fast as the machine allows, so a test
# waits for the picture it checks, never for a time. The function sets WHY when it refuses.
screenshot_until() {
  local name=$1 check=$2 deadline=$((SECONDS + ${3:-60}))
  WHY="the game ended"
  while kill -0 "$GAME_PID" 2>/dev/null; do
    screenshot "$WINDOW_ID" "$name"
    "$check" && return 0
    [ "$SECONDS" -lt "$deadline" ] || return 1
  done
  return 1
}

# Mean brightness (0..1) of a region of a screenshot: name, width, height, x, y.
region_mean() {
  convert "$WORK/$1.png" -crop "$2x$3+$4+$5" +repage -colorspace Gray -format '%[fx:mean]' info:
}

# Share (0..1) of a region's pixels brighter than a percentage: name, w, h, x, y, percent.
region_lit_share() {
  convert "$WORK/$1.png" -crop "$2x$3+$4+$5" +repage -colorspace Gray -threshold "$6%" \
    -format '%[fx:mean]' info:
}

# Share of a region's pixels that are clearly red: name, w, h, x, y.
region_red_share() {
  convert "$WORK/$1.png" -crop "$2x$3+$4+$5" +repage \
    -fx 'r > 0.6 && g < 0.35 && b < 0.35 ? 1 : 0' -format '%[fx:mean]' info:
}

# Share of a region's pixels that are clearly blue.
region_blue_share() {
  convert "$WORK/$1.png" -crop "$2x$3+$4+$5" +repage \
    -fx 'b > 0.6 && r < 0.5 && b > g + 0.2 ? 1 : 0' -format '%[fx:mean]' info:
}

# Share of a region's pixels in the flame's warm white-orange (r > 0.95, g > 0.6, b < 0.75):
# one mask per channel and their minimum, which takes a tenth of the time -fx takes over a
# whole frame.
region_warm_share() {
  convert "$WORK/$1.png" -crop "$2x$3+$4+$5" +repage \
    \( -clone 0 -channel R -separate +channel -threshold 95% \) \
    \( -clone 0 -channel G -separate +channel -threshold 60% \) \
    \( -clone 0 -channel B -separate +channel -threshold 75% -negate \) \
    -delete 0 -evaluate-sequence min -format '%[fx:mean]' info:
}

# Mean absolute difference (0..1) between two screenshots.
image_difference() {
  # compare exits 1 when the images differ, which is the answer here, not a failure.
  { compare -metric MAE "$WORK/$1.png" "$WORK/$2.png" null: 2>&1 || true; } | sed -n 's/.*(\(.*\)).*/\1/p'
}

# Compares two decimals: true when $1 > $2.
greater() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# Waits for the started game's window and its first level; sets WINDOW_ID.
wait_for_first_level() {
  WINDOW_ID=$(find_window 60) || fail "no game window"
  wait_for_output 60 '^InvisCubes: ' || fail "level 1 was not built"
}

# Starts the game, waits for its window and its first level; sets WINDOW_ID.
start_game_and_wait() {
  start_game
  wait_for_first_level
}

press() { xdotool key --window "$WINDOW_ID" "$@"; }
hold() { xdotool keydown --window "$WINDOW_ID" "$1"; sleep "$2"; xdotool keyup --window "$WINDOW_ID" "$1"; }

# Ends the game with Escape and checks it leaves with status 0.
quit_with_escape() {
  press Escape
  wait_for_exit 30 || fail "game still running after Escape"
  [ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after Escape, want 0"
}

no_gl_errors() {
  ! grep -q '^GL: ' "$WORK/err.txt"
}

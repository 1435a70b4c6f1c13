# Shared helpers for the black-box tests: a private copy of the run folder, the game started
# in the background with its console captured, and its window found by title.
set -euo pipefail

RUN_DIR=$(cd "$1" && pwd)
WORK=$(mktemp -d)
GAME_PID=""
HELPER_PIDS=() # X servers and window managers a test started for itself
trap cleanup EXIT

cleanup() {
  if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then
    kill -CONT "$GAME_PID" 2>/dev/null || true
    kill "$GAME_PID" 2>/dev/null || true
    wait "$GAME_PID" 2>/dev/null || true
  fi
  local pid
  for pid in ${HELPER_PIDS[@]+"${HELPER_PIDS[@]}"}; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  [ -n "${KEEP_WORK:-}" ] && echo "kept $WORK" || rm -rf "$WORK"
}

fail() {
  echo "FAIL: $*" >&2
  [ -f "$WORK/out.txt" ] && { echo "--- game output:"; cat "$WORK/out.txt"; } >&2
  [ -s "$WORK/err.txt" ] && { echo "--- game errors:"; cat "$WORK/err.txt"; } >&2
  exit 1
}
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

# Waits up to $1 seconds until the X server of $DISPLAY accepts connections: a loaded machine
# may still be starting it when the test begins. (Under a server started without -noreset this
# very check could make it regenerate; the test command's server is started with it.)
wait_for_x_server() {
  local limit=$1
  for _ in $(seq $((limit * 5))); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  return 1
}

# Starts an X server of its own with one screen of $1 (say 1024x768) and points DISPLAY at it,
# for a test that needs a screen of a given size or a window manager.
start_private_display() {
  local number_file="$WORK/display-number"
  # -noreset: a server that regenerates when its last client leaves refuses the next one meanwhile.
  Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp -noreset 3>"$number_file" >"$WORK/xvfb.log" 2>&1 &
  HELPER_PIDS+=($!)
  for _ in $(seq 300); do
    [ -s "$number_file" ] && break
    sleep 0.1
  done
  [ -s "$number_file" ] || fail "Xvfb did not start"
  export DISPLAY=":$(head -n 1 "$number_file")"
  wait_for_x_server 30 || fail "Xvfb on $DISPLAY does not accept connections"
}

# Starts openbox, a small window manager, on $DISPLAY and waits until it manages the screen.
start_window_manager() {
  openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
  HELPER_PIDS+=($!)
  for _ in $(seq 150); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.2
  done
  fail "openbox did not take over the screen: $(cat "$WORK/openbox.log")"
}

# Starts the game from $WORK/run.
start_game() {
  wait_for_x_server 60 || fail "the X server at '${DISPLAY:-}' does not accept connections"
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

# The flame's warm light in screenshot $1 as a black and white mask, $WORK/$1-warm.png.
warm_mask() {
  convert "$WORK/$1.png" \
    \( -clone 0 -channel R -separate +channel -threshold 95% \) \
    \( -clone 0 -channel G -separate +channel -threshold 60% \) \
    \( -clone 0 -channel B -separate +channel -threshold 75% -negate \) \
    -delete 0 -evaluate-sequence min "$WORK/$1-warm.png"
}

# Whether screenshot $1 shows the flame's glow whole: warm light that fades out on every side,
# not a patch cut off by a straight edge (the screen's own edges aside). Sets WHY when not.
glow_is_whole() {
  warm_mask "$1"
  local mask="$WORK/$1-warm.png" box width height w h x y
  read -r width height < <(identify -format '%w %h' "$mask")
  box=$(convert "$mask" -format '%@' info:)
  IFS='x+' read -r w h x y <<<"$box"
  [ "$w" -gt 4 ] && [ "$h" -gt 4 ] || { WHY="no glow"; return 1; }
  # The mask's share of each side of the box around it: a round glow touches its box at a few
  # pixels, a cut one all along the cut.
  local side share
  for side in "1x$h+$x+$y" "1x$h+$((x + w - 1))+$y" "${w}x1+$x+$y" "${w}x1+$x+$((y + h - 1))"; do
    IFS='x+' read -r sw sh sx sy <<<"$side"
    [ "$sx" -eq 0 ] && [ "$sw" -eq 1 ] && continue
    [ "$sy" -eq 0 ] && [ "$sh" -eq 1 ] && continue
    [ $((sx + sw)) -eq "$width" ] && [ "$sw" -eq 1 ] && continue
    [ $((sy + sh)) -eq "$height" ] && [ "$sh" -eq 1 ] && continue
    share=$(convert "$mask" -crop "$side" +repage -format '%[fx:mean]' info:)
    greater 0.5 "$share" || { WHY="the glow ($box) is cut off along $side (share $share)"; return 1; }
  done
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

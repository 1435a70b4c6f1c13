# Shared helpers for the black-box tests: a private copy of the run folder, the game started
# in the background with its console captured, and its window found by title.
set -euo pipefail

RUN_DIR=$(cd "$1" && pwd)
WORK=$(mktemp -d)
source "$(dirname "${BASH_SOURCE[0]}")/game.sh"
GAME_PID=""
HELPER_PIDS=() # X servers and window managers a test started for itself
CONSOLE_PIDS=() # what reads the game's console into out.txt and err.txt, where that is not the game
trap cleanup EXIT

cleanup() {
  if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then
    kill -CONT "$GAME_PID" 2>/dev/null || true
    kill "$GAME_PID" 2>/dev/null || true
    wait "$GAME_PID" 2>/dev/null || true
  fi
  local pid
  for pid in ${CONSOLE_PIDS[@]+"${CONSOLE_PIDS[@]}"} ${HELPER_PIDS[@]+"${HELPER_PIDS[@]}"}; do
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

# Fails with message $1 and says whether the game still runs or with which status it ended.
fail_with_status() {
  kill -0 "$GAME_PID" 2>/dev/null && fail "$1 (the game still runs)"
  local status=0
  wait "$GAME_PID" || status=$?
  GAME_PID=""
  collect_console
  fail "$1 (the game ended with status $status)"
}

# A fresh copy of the run folder at $WORK/run, so a test may change its files.
copy_run_folder() {
  cp -r "$RUN_DIR" "$WORK/run"
}

# Runs a command ($2...) in folder $1 in the background as the game, with stdin not a
# terminal; its console goes to $WORK/out.txt and $WORK/err.txt.
run_in_background() {
  local folder=$1
  shift
  if [ -n "${TINDRAL_WINE:-}" ]; then
    # The game's own process must stay $! (for signals and its status): its console goes
    # through FIFOs to the readers that make plain lines of it.
    rm -f "$WORK/console.fifo" "$WORK/errors.fifo"
    mkfifo "$WORK/console.fifo" "$WORK/errors.fifo"
    console_lines <"$WORK/console.fifo" >"$WORK/out.txt" &
    CONSOLE_PIDS+=($!)
    console_lines <"$WORK/errors.fifo" >"$WORK/err.txt" &
    CONSOLE_PIDS+=($!)
    (cd "$folder" && exec "$@" </dev/null >"$WORK/console.fifo" 2>"$WORK/errors.fifo") &
  else
    (cd "$folder" && exec "$@" </dev/null >"$WORK/out.txt" 2>"$WORK/err.txt") &
  fi
  GAME_PID=$!
}

# Once the game has ended: waits until all it printed is in out.txt and err.txt.
collect_console() {
  local pid
  for pid in ${CONSOLE_PIDS[@]+"${CONSOLE_PIDS[@]}"}; do
    wait "$pid" 2>/dev/null || true
  done
  CONSOLE_PIDS=()
}

# Runs the command $2... every fifth of a second until it succeeds, for up to $1 seconds; a
# condition given as `eval '...'` is tested anew each time.
wait_until() {
  local limit=$1
  shift
  for _ in $(seq $((limit * 5))); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}

# Waits up to $1 seconds until the X server of $DISPLAY accepts connections: a loaded machine
# may still be starting it when the test begins. (Under a server started without -noreset this
# very check could make it regenerate; the test command's server is started with it.)
wait_for_x_server() { wait_until "$1" xdpyinfo >/dev/null 2>&1; }

# Starts an X server of its own with one screen of $1 (say 1024x768) and points DISPLAY at it,
# for a test that needs a screen of a given size or a window manager.
start_private_display() {
  local number_file="$WORK/display-number"
  # -noreset: a server that regenerates when its last client leaves refuses the next one meanwhile.
  Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp -noreset 3>"$number_file" >"$WORK/xvfb.log" 2>&1 &
  HELPER_PIDS+=($!)
  wait_until 30 test -s "$number_file" || fail "Xvfb did not start"
  export DISPLAY=":$(head -n 1 "$number_file")"
  wait_for_x_server 30 || fail "Xvfb on $DISPLAY does not accept connections"
}

# Starts openbox, a small window manager, on $DISPLAY and waits until it manages the screen.
start_window_manager() {
  openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
  HELPER_PIDS+=($!)
  wait_until 30 sh -c "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'" ||
    fail "openbox did not take over the screen: $(cat "$WORK/openbox.log")"
  WINDOW_MANAGER=openbox
}

# Starts the game from $WORK/run.
start_game() {
  wait_for_x_server 60 || fail "the X server at '${DISPLAY:-}' does not accept connections"
  run_in_background "$WORK/run" "${GAME[@]}"
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
wait_for_output() { wait_until "$1" grep -sqE "$2" "$WORK/out.txt"; }

# Waits up to $1 seconds for the game to end and sets EXIT_STATUS. Not to be called in a
# command substitution: only this shell can collect the game's status.
wait_for_exit() {
  wait_until "$1" eval '! kill -0 "$GAME_PID" 2>/dev/null' || return 1
  EXIT_STATUS=0
  wait "$GAME_PID" || EXIT_STATUS=$?
  GAME_PID=""
  collect_console
}

window_size() {
  xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: \([0-9]*x[0-9]*\).*/\1/p'
}

# Takes screenshots of the game's window as $WORK/$1.png until the function $2 accepts one,
# for up to $3 seconds (60 unless given). Frames come as fast as the machine allows, so a test
# waits for the picture it checks, never for a time. The function sets WHY when it refuses.
screenshot_until() {
  local name=$1 check=$2 deadline=$((SECONDS + ${3:-60}))
  WHY="the game ended"
  while kill -0 "$GAME_PID" 2>/dev/null; do
    import -window "$WINDOW_ID" "$WORK/$name.png"
    "$check" && return 0
    [ "$SECONDS" -lt "$deadline" ] || return 1
  done
  return 1
}

# The flame's warm white-orange (r > 0.95, g > 0.6, b < 0.75) as a white mask: one mask per
# channel and their minimum, which takes a tenth of the time -fx takes over a whole frame.
WARM_MASK=(\( -clone 0 -channel R -separate +channel -threshold 95% \)
  \( -clone 0 -channel G -separate +channel -threshold 60% \)
  \( -clone 0 -channel B -separate +channel -threshold 75% -negate \) -delete 0 -evaluate-sequence min)

# The mean (0..1) of a region of a screenshot seen through a filter: name, width, height, x, y,
# then the filter: gray (its brightness), lit N (the share brighter than N percent), or red,
# blue or warm (the share of clearly red, clearly blue or warm pixels).
region_share() {
  local filter=(-colorspace Gray)
  case $6 in
    lit) filter+=(-threshold "$7%") ;;
    red) filter=(-fx 'r > 0.6 && g < 0.35 && b < 0.35 ? 1 : 0') ;;
    blue) filter=(-fx 'b > 0.6 && r < 0.5 && b > g + 0.2 ? 1 : 0') ;;
    warm) filter=("${WARM_MASK[@]}") ;;
  esac
  convert "$WORK/$1.png" -crop "$2x$3+$4+$5" +repage "${filter[@]}" -format '%[fx:mean]' info:
}

# Whether screenshot $1 shows the stone around the hero lit by the flame. Sets WHY when not.
stone_lit() {
  around_hero=$(region_share "$1" 300 200 250 200 gray)
  greater "$around_hero" 0.08 || { WHY="the stone around the hero is not lit (mean $around_hero)"; return 1; }
}

# Whether screenshot $1 shows the flame's glow whole: warm light that fades out on every side,
# not a patch cut off by a straight edge (the screen's own edges aside). Sets WHY when not.
glow_is_whole() {
  local mask="$WORK/$1-warm.png" box width height w h x y
  convert "$WORK/$1.png" "${WARM_MASK[@]}" "$mask"
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

# Faces of the lit column fill most of this region of screenshot "filled"; drawn as lines
# (F3), in screenshot "wireframe", only a few pixels stay lit. Each sets WHY when it refuses.
filled_scene() {
  filled=$(region_share filled 300 200 250 300 lit 6)
  greater "$filled" 0.5 || { WHY="the filled scene is not lit where expected ($filled)"; return 1; }
}
wireframe_scene() {
  lines=$(region_share wireframe 300 200 250 300 lit 6)
  greater "$lines" 0.01 || { WHY="nothing drawn in wireframe ($lines)"; return 1; }
  greater "$(awk -v f="$filled" 'BEGIN { print f / 2 }')" "$lines" || { WHY="wireframe still looks filled ($lines vs $filled)"; return 1; }
}

# Waits for the started game's window and its first level; sets WINDOW_ID.
wait_for_first_level() {
  WINDOW_ID=$(find_window 60) || fail "no game window"
  wait_for_output 60 '^InvisCubes: ' || fail "level 1 was not built"
  # Under a window manager keys reach the window that has the focus, and a window that maps
  # while the manager is busy may not get it (Wine's windows then drop the keys struck).
  if [ -n "${WINDOW_MANAGER:-}" ]; then
    wait_until 30 eval '[ "$(xdotool getactivewindow 2>/dev/null)" = "$WINDOW_ID" ] || { xdotool windowactivate "$WINDOW_ID" 2>/dev/null; false; }' ||
      fail "the window manager does not give the game's window the focus"
  fi
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

# The frame-time line comes after every second of frames played (F2 on): it counts them.
frametime_lines() { grep -c '^Frametime: ' "$WORK/out.txt" || true; }
# Waits up to a minute for $1 frame-time lines in all.
wait_for_frametime_lines() { wait_until 60 eval '[ "$(frametime_lines)" -ge '"$1"' ]'; }

no_gl_errors() {
  ! grep -q '^GL: ' "$WORK/err.txt"
}

# The game opens an 800x600 window titled "Tindral", keeps it at that size when resized by
# hand, ends with status 0 when the window is closed, and ends on SIGTERM or SIGINT, but not
# when the reader of its console goes away.
source "$(dirname "$0")/lib.sh"
copy_run_folder
start_game

id=$(find_window 60) || fail "no window titled Tindral appeared"
[ "$(window_size "$id")" = "800x600" ] || fail "window is $(window_size "$id"), want 800x600"
wait_for_output 30 'ShaderManager: DONE' || fail "the game did not build its shaders"
head -n 1 "$WORK/out.txt" | grep -qE '^[0-9]+\.[0-9]+' || fail "first line is not the GL version"
pass "800x600 window, GL version first"

# Hold the game still while resizing, so the resize is seen before the game undoes it.
kill -STOP "$GAME_PID"
xdotool windowsize --sync "$id" 400 300 || true
held=$(window_size "$id")
kill -CONT "$GAME_PID"
[ "$held" = "400x300" ] || fail "the resize by hand did not take (window $held)"
wait_until 10 eval '[ "$(window_size "$id")" = "800x600" ]' || fail "window stayed at $(window_size "$id") after a resize"
pass "resize snaps back"

"$TINDRAL_XCLOSE" "$id"
wait_for_exit 30 || fail "game still running after its window was closed"
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after closing the window, want 0"
pass "closing the window ends the game with status 0"

# SIGTERM (kill) and SIGINT (Ctrl+C) end the game like any program, the sound running.
for signal in TERM INT; do
  start_game_and_wait
  grep -qx ' play Ambient' "$WORK/out.txt" || fail "no sound device opened, so nothing could catch the signal"
  kill -s "$signal" "$GAME_PID"
  wait_for_exit 30 || fail "game still running after SIG$signal"
  # Wine ends a Windows program on SIGINT as Windows does on Ctrl+C, with a status of its own.
  [ -n "${TINDRAL_WINE:-}" ] && [ "$signal" = INT ] && continue
  [ "$EXIT_STATUS" -eq $((128 + $(kill -l "$signal"))) ] || fail "exit status $EXIT_STATUS after SIG$signal"
done
pass "SIGTERM and SIGINT end the game"

# `./tindral | head -1`: once head has its line it is gone, and every later console line goes
# to a pipe nobody reads. The game plays on without its console: it draws, F3 (whose report
# is such a line) still switches the view, and Escape ends it with status 0.
rm -f "$WORK/out.txt" # this start has no console of its own to show
mkfifo "$WORK/console"
(cd "$WORK/run" && exec "${GAME[@]}" </dev/null >"$WORK/console" 2>"$WORK/err.txt") &
GAME_PID=$!
head -n 1 <"$WORK/console" >"$WORK/head.txt"
grep -qE '^[0-9]+\.[0-9]+' "$WORK/head.txt" || fail "head did not get the GL version line: $(cat "$WORK/head.txt")"
WINDOW_ID=$(find_window 60) || fail_with_status "no window after the console reader went"
screenshot_until filled filled_scene || fail_with_status "no frame drawn after the console reader went: $WHY"
press F3
screenshot_until wireframe wireframe_scene || fail_with_status "F3 did not switch to wireframe: $WHY"
quit_with_escape
pass "the game plays on, and quits with 0, when its console reader goes away"

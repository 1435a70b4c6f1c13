# Real key events on the real game: walking, the camera swing, dying off the edge, quitting.
source "$(dirname "$0")/lib.sh"
copy_run_folder
# At the slowest speed the flame takes three times as long to reach a hero that stands while
# the screenshots are taken, however slow the machine.
sed -i 's/^difficulty=.*/difficulty=0/' "$WORK/run/settings.conf"
start_game_and_wait

level_drawn() { stone_lit before; }
screenshot_until before level_drawn || fail "$WHY"

# Sideways, so that the distance to the flame and with it the meters stay as they are; from
# the middle column the hero stays on the level. The key is held until the view has changed,
# however late a busy machine shows it, and not much longer.
walked() {
  moved=$(image_difference before after)
  greater "$moved" 0.02 || { WHY="the view did not change while walking (difference $moved)"; return 1; }
}
xdotool keydown --window "$WINDOW_ID" a
walking=0
screenshot_until after walked || walking=$?
xdotool keyup --window "$WINDOW_ID" a
[ "$walking" -eq 0 ] || fail "$WHY"
! grep -q 'hero died' "$WORK/out.txt" || fail "the hero died while walking on the level"
pass "walking moves the hero and the flame follows (difference $moved)"

press Return
wait_for_output 30 '^change site isLeft: 0$' || fail "Enter did not swing the camera"
pass "Enter swings the camera"

xdotool keydown --window "$WINDOW_ID" a
wait_for_output 60 '^hero died$' || fail "walking off the edge did not kill the hero"
wait_for_output 60 '^3 lives left$' || fail "no '3 lives left' after the first death"
xdotool keyup --window "$WINDOW_ID" a
pass "falling off the level costs a life"

# Both keys' events arrive in the same poll; the Escape among them must still be acted on.
xdotool key --delay 0 --window "$WINDOW_ID" Escape a
wait_for_exit 30 || fail "game still running after Escape followed by another key"
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after Escape, want 0"
pass "Escape followed by another key quits with status 0"

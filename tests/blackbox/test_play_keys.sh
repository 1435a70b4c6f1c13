# Real key events on the real game: the camera swing, walking, dying off the edge, quitting.
source "$(dirname "$0")/lib.sh"
copy_run_folder
start_game_and_wait

press Return
wait_for_output 10 '^change site isLeft: 0$' || fail "Enter did not swing the camera"
pass "Enter swings the camera"

# Let the flame close in to the safe band, then run forward for a moment.
sleep 1.5
screenshot "$WINDOW_ID" before
hold w 0.8
sleep 0.3
screenshot "$WINDOW_ID" after
! grep -q 'hero died' "$WORK/out.txt" || fail "the hero died while walking on the level"
moved=$(image_difference before after)
greater "$moved" 0.02 || fail "the view did not change while walking (difference $moved)"
glow=$(region_warm_share after 800 600 0 0)
greater "$glow" 0.001 || fail "the flame's glow is gone after walking (share $glow)"
pass "walking moves the hero and the flame follows (difference $moved)"

xdotool keydown --window "$WINDOW_ID" a
wait_for_output 10 '^hero died$' || fail "walking off the edge did not kill the hero"
wait_for_output 10 '^3 lives left$' || fail "no '3 lives left' after the first death"
xdotool keyup --window "$WINDOW_ID" a
pass "falling off the level costs a life"

quit_with_escape
pass "Escape quits with status 0"

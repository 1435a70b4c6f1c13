# A laptop suspended, a debugger attached, a machine that stalls the game for eight seconds:
# the time it stood still is not played, so the hero standing at the start keeps its lives.
source "$(dirname "$0")/lib.sh"
copy_run_folder
# Game time runs at half speed: a standing hero lives some twelve seconds of real time, plenty
# for the checks below however slow the machine is. An eight-second step would end it at once.
sed -i 's/^difficulty=.*/difficulty=0/' "$WORK/run/settings.conf"
start_game_and_wait

press F2
wait_for_output 60 '^Frametime: ' || fail "no frame-time line after F2"

kill -STOP "$GAME_PID"
sleep 8
kill -CONT "$GAME_PID"
after_stall=$(frametime_lines)
# Two more lines: the stalled frame's, then at least a second of frames played after it.
wait_for_frametime_lines $((after_stall + 2)) || fail "the game did not go on after the stall"
! grep -q '^hero died$' "$WORK/out.txt" || fail "the stall cost the standing hero a life"
pass "an 8 s stall costs no life"

quit_with_escape

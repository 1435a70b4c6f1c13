# A gamecontrollerdb.txt in the game's folder that GLFW cannot read gives one line of the game's
# own (none of GLFW's), and the game plays on with the built-in mappings. No pad is attached:
# the machines these tests run on have no input devices.
source "$(dirname "$0")/lib.sh"
copy_run_folder
# Time stands still, so the hero cannot lose its lives and end the game before Escape does.
sed -i 's/^difficulty=.*/difficulty=-1/' "$WORK/run/settings.conf"
printf '%s\n' '# my pad' '03000000c82d00000000000000000000 8BitDo a:b0' >"$WORK/run/gamecontrollerdb.txt"
refused="^Gamepad mappings in 'gamecontrollerdb.txt' refused; the built-in ones are used$"
start_game_and_wait
wait_for_output 30 "$refused" || fail "no line about the refused mappings"
quit_with_escape
[ "$(grep -cE "$refused" "$WORK/out.txt")" -eq 1 ] || fail "the refusal was not said once"
! grep -q '^GLFW: ' "$WORK/err.txt" || fail "GLFW's own message reached the console: $(cat "$WORK/err.txt")"
pass "a broken gamecontrollerdb.txt: level 1 is built, one line says so, Escape quits with 0"

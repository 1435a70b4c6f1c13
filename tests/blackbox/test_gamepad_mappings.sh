# The player's gamecontrollerdb.txt in the game's folder. A file GLFW cannot read gives one line
# of the game's own (none of GLFW's) and the game plays on with the built-in mappings; a valid
# line for a made-up pad is read; without the file nothing is said. No pad is attached: the
# machines these tests run on have no input devices.
source "$(dirname "$0")/lib.sh"
copy_run_folder
# Time stands still, so the hero cannot lose its lives and end the game before Escape does.
sed -i 's/^difficulty=.*/difficulty=-1/' "$WORK/run/settings.conf"
mappings="$WORK/run/gamecontrollerdb.txt"

refused="^Gamepad mappings in 'gamecontrollerdb.txt' refused; the built-in ones are used$"
read_line="^Gamepad mappings read from 'gamecontrollerdb.txt'$"

count_lines() { grep -cE "$1" "$WORK/out.txt" || true; }

printf '%s\n' '# my pad' '03000000c82d00000000000000000000 8BitDo a:b0' >"$mappings"
start_game_and_wait
wait_for_output 30 "$refused" || fail "no line about the refused mappings"
quit_with_escape
[ "$(count_lines "$refused")" -eq 1 ] || fail "the refusal was said $(count_lines "$refused") times"
[ "$(count_lines "$read_line")" -eq 0 ] || fail "a refused file was reported read"
! grep -q '^GLFW: ' "$WORK/err.txt" || fail "GLFW's own message reached the console: $(cat "$WORK/err.txt")"
pass "a broken gamecontrollerdb.txt: level 1 is built, one line says so, Escape quits with 0"

printf '%s\n' '03000000de000000ad00000000000000,Made-up Pad,a:b0,b:b1,x:b2,y:b3,back:b6,start:b7,leftx:a0,lefty:a1,platform:Linux,' >"$mappings"
start_game_and_wait
wait_for_output 30 "$read_line" || fail "the valid mapping was not reported read"
quit_with_escape
[ "$(count_lines "$refused")" -eq 0 ] || fail "a valid mapping was refused"
pass "a valid mapping for a made-up pad is read"

rm "$mappings"
start_game_and_wait
quit_with_escape
! grep -q 'Gamepad' "$WORK/out.txt" || fail "without a mappings file (and a pad) the game spoke of them: $(grep Gamepad "$WORK/out.txt")"
pass "without gamecontrollerdb.txt nothing is said"

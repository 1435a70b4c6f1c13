# A missing image or model is reported where an object that needs it is made, as often as one
# is: at the start for the objects every level is copied from, and at every level's build for
# what is made anew there (each finish cube, the glow's quad, the two meters). The whole
# console of a game played through three levels is compared, line by line.
source "$(dirname "$0")/lib.sh"
copy_run_folder
run="$WORK/run"
rm "$run/Tindral/3DModels/cube/cube_norm.jpg" "$run/Tindral/3DModels/bar/bar.obj"
# Whatever the audio device does, the console is the same: no music, so no " play Ambient".
sed -i 's/^music=.*/music=false/' "$run/settings.conf"
# Each finish lies to the right of its start: holding D walks through all three levels.
# Level 2 has an invisible cube before its finish in the file and two after it; level 3 has
# two finish cells, of which the last counts.
printf '1S1Z1x1x1x\n1x1x1x1x1x\n' >"$run/Tindral/Levels/1.lvl"
printf '1x1x1x1x12\n1S1Z12121x\n' >"$run/Tindral/Levels/2.lvl"
printf '1Z1S1Z1x1x\n1x1x1x1x1x\n' >"$run/Tindral/Levels/3.lvl"

norm='couldnt load texture: Tindral/3DModels/cube/cube_norm.jpg
1290'
bar='Unable to open file "Tindral/3DModels/bar/bar.obj".'
# After the shader lines and the sound: the hero, the flame, the cube and the invisible cube
# (made from the cube's files), the propeller, then the model of the life bars.
start="ShaderManager: initializing ...
ShaderManager: DONE
playsound - ambient 
$norm
$norm
$bar"
# A level's build: its heading, what its cells printed as they were read (each finish cube,
# each invisible cube's place), the count of invisible cubes, then the glow's quad and the near
# and far meters. Arguments: the level's number, its count of invisible cubes, the cells' lines.
level_build() {
  local number=$1 count=$2
  shift 2
  printf 'Current Level %s\nLADE das LEVEL: %s\n' "$number" "$number"
  printf 'File Opened successfully!!!. Reading data from file into array\n'
  printf '%s\n' "$@" "InvisCubes: $count" "$bar" "$bar"
}
won="you won
you WON"
expected="$start
$(level_build 1 0 "$norm")
$won
$(level_build 2 3 "4 1 0" "$norm" "2 1 -1" "3 1 -1")
$won
$(level_build 3 0 "$norm" "$norm")
$won"

start_game_and_wait
xdotool keydown --window "$WINDOW_ID" d
wait_for_exit 60 || fail "the game did not end after the third level"
xdotool keyup --window "$WINDOW_ID" d 2>/dev/null || true
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after the last level, want 0"
head -n 1 "$WORK/out.txt" | grep -qE '^[0-9]+\.[0-9]+' || fail "the console does not start with the GL version"
actual=$(tail -n +2 "$WORK/out.txt")
[ "$actual" = "$expected" ] ||
  fail "the console after the GL version differs from what is expected:
$(diff <(echo "$expected") <(echo "$actual"))"
no_gl_errors || fail "GL errors: $(cat "$WORK/err.txt")"
pass "each missing file is reported where and as often as an object needing it is made"

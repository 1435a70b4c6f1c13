# The first frames of level 1: stone lit by the flame around the hero, darkness far from it,
# the HUD bars at the bottom, and no GL error.
source "$(dirname "$0")/lib.sh"
copy_run_folder
# The flame glows warm only while it is between about 2 and 3.5 units behind the hero: at the
# slowest speed it stays there for more than three seconds, long enough for any machine to
# take a screenshot in that time.
sed -i 's/^difficulty=.*/difficulty=0/' "$WORK/run/settings.conf"
start_game_and_wait

expected="ShaderManager: initializing ...
ShaderManager: DONE
playsound - ambient 
Current Level 1
LADE das LEVEL: 1
File Opened successfully!!!. Reading data from file into array"
# " play Ambient" follows only where an audio device opened.
[ "$(grep -v '^ play Ambient$' "$WORK/out.txt" | sed -n 2,7p)" = "$expected" ] || fail "start-up lines out of order"
pass "start-up lines"

level_in_view() {
  stone_lit start || return 1
  far_corner=$(region_share start 160 100 640 0 gray)
  greater 0.03 "$far_corner" || { WHY="the dark far from the flame is not dark (mean $far_corner)"; return 1; }
  # Four lives: four small red bars at the bottom left, none where a fifth would be.
  for x in 40 80 120 160; do
    share=$(region_share start 12 16 $((x + 2)) 578 red)
    greater "$share" 0.5 || { WHY="no life bar at x=$x (red share $share)"; return 1; }
  done
  fifth=$(region_share start 12 16 202 578 red)
  greater 0.1 "$fifth" || { WHY="a fifth life bar is drawn"; return 1; }
  glow=$(region_share start 800 600 0 0 warm)
  greater "$glow" 0.002 || { WHY="no warm glow of the flame (share $glow)"; return 1; }
  # The hero starts five cells ahead of the flame, so the far meter is already filling.
  far_bar=$(region_share start 400 24 400 558 blue)
  greater "$far_bar" 0.02 || { WHY="no far bar (blue share $far_bar)"; return 1; }
}
screenshot_until start level_in_view || fail "$WHY"
pass "lit around the hero ($around_hero), dark far away ($far_corner); HUD: four life bars and the far bar"

no_gl_errors || fail "GL error: $(cat "$WORK/err.txt")"
quit_with_escape
pass "no GL error"

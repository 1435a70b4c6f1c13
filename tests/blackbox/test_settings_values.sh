# A number in settings.conf beyond what the game's whole numbers hold is no number the player
# wrote: the key keeps its default, with a line naming key and value. Within range a number
# reads as always (blanks before it, letters after it), and the last line of a key counts.
source "$(dirname "$0")/lib.sh"
copy_run_folder

cat >"$WORK/run/settings.conf" <<'SETTINGS'
width=2147483648
width= 640px
height=-2147483649
framerate=99999999999999999999
difficulty=4294967294
difficulty=4294967295
difficulty=-2147483649
SETTINGS
start_game_and_wait
range=" is out of range (-2147483648 to 2147483647); using"
expected="settings.conf: width=2147483648$range 800
settings.conf: height=-2147483649$range 600
settings.conf: framerate=99999999999999999999$range 60
settings.conf: difficulty=4294967294$range 2
settings.conf: difficulty=4294967295$range 2
settings.conf: difficulty=-2147483649$range 2"
refused=$(grep '^settings\.conf: ' "$WORK/out.txt" || true)
[ "$refused" = "$expected" ] || fail "the refused values printed:
$refused"
[ "$(window_size "$WINDOW_ID")" = "640x600" ] || fail "window is $(window_size "$WINDOW_ID"), want 640x600"
quit_with_escape
pass "numbers beyond an int keep their defaults, one line each; ' 640px' still reads as 640"

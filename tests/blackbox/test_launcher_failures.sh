# When the launcher cannot give the player a folder to run the game in, it says what could
# not be done, where, and what to do, in one line starting "tindral:", and ends with status 1
# without starting the game: no HOME, a file or an unwritable folder in the folder's place, a
# full disk, a settings.conf link that leads nowhere. Nobody reads standard error when the
# desktop's menu starts it: the line then comes as a desktop notification too.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/installed_tree.sh"

keep_install_manifest

# Spaces in every path the launcher handles.
PREFIX="$WORK/game prefix"
install_into "$PREFIX"
# The launcher is under test, not the game: a stand-in notes that it was started.
printf '#!/bin/sh\n: >"$STARTED"\n' >"$PREFIX/libexec/tindral/tindral"
# A player other than root, whom folders without write permission stop, can reach it all and
# leave notes in $NOTES.
chmod 755 "$WORK"
NOTES="$WORK/notes"
mkdir -m 777 "$NOTES"

# Stand-ins that go first on PATH: notify-send notes each notification it is asked for; ln
# and cp, where a test asks, fail as on a full disk.
STAND_INS="$WORK/stand-ins"
mkdir -p "$STAND_INS"
printf '#!/bin/sh\nfor line; do :; done\necho "$line" >>%q\n' "$NOTES/notifications" >"$STAND_INS/notify-send"
chmod 755 "$STAND_INS/notify-send"
full_disk() {
  printf '#!/bin/sh\nfor target; do :; done\necho "%s: failed to write '\''$target'\'': No space left on device" >&2\nexit 1\n' \
    "$1" >"$STAND_INS/$1"
  chmod 755 "$STAND_INS/$1"
}

# Runs the launcher with the environment given as arguments (NAME=value, or -u NAME), its
# standard error in $WORK/err.txt; sets STATUS. As root, the player is nobody.
launch() {
  rm -f "$NOTES/started"
  local player=()
  [ "$(id -u)" -ne 0 ] || player=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
  STATUS=0
  "${player[@]}" env -u XDG_CONFIG_HOME "$@" PATH="$STAND_INS:$PATH" STARTED="$NOTES/started" "$PREFIX/bin/tindral" \
    </dev/null >/dev/null 2>"$WORK/err.txt" || STATUS=$?
}

# The launcher ended with status 1 and the one line $1 (a pattern), and started no game.
refused_with() {
  [ "$STATUS" -eq 1 ] || fail "$2: status $STATUS, want 1: $(cat "$WORK/err.txt")"
  [ "$(wc -l <"$WORK/err.txt")" -eq 1 ] && grep -qxF -- "$1" "$WORK/err.txt" ||
    fail "$2: want the one line
  $1
got:
$(cat "$WORK/err.txt")"
  [ ! -e "$NOTES/started" ] || fail "$2: the game was started"
}

launch -u HOME
refused_with "tindral: HOME is not set, so there is no place for your folder ~/.config/tindral; set HOME to your home folder (or XDG_CONFIG_HOME to a full path) and start again" "no HOME"
pass "no HOME: $(cat "$WORK/err.txt")"
# Arguments are a mistake of their own, with the usage status, HOME or not.
STATUS=0
env -u HOME -u XDG_CONFIG_HOME "$PREFIX/bin/tindral" --fullscreen 2>"$WORK/err.txt" || STATUS=$?
[ "$STATUS" -eq 2 ] && grep -qx 'Takes no arguments; the settings are in ~/.config/tindral/settings.conf.' "$WORK/err.txt" ||
  fail "arguments without HOME: status $STATUS: $(cat "$WORK/err.txt")"

xdg="$WORK/config file"
: >"$xdg"
launch XDG_CONFIG_HOME="$xdg"
refused_with "tindral: could not make your folder $xdg/tindral: $xdg is a file, not a folder; move it away, or set XDG_CONFIG_HOME to another folder, and start again" "XDG_CONFIG_HOME a file"
pass "XDG_CONFIG_HOME a file: $(cat "$WORK/err.txt")"

for kind in XDG_CONFIG_HOME HOME; do
  locked="$WORK/read-only $kind"
  mkdir -p "$locked"
  chmod 555 "$locked"
  folder="$locked/tindral"
  [ "$kind" = XDG_CONFIG_HOME ] || folder="$locked/.config/tindral"
  launch "$kind=$locked"
  refused_with "tindral: could not make your folder $folder (Permission denied); make $locked writable (chmod u+w), or set XDG_CONFIG_HOME to a folder you can write to, and start again" "a read-only $kind"
  pass "a read-only $kind: $(cat "$WORK/err.txt")"
done

# A full disk, where the link to the game's data is made: nothing half-made stays, and the
# next start, with room again, makes the link.
home="$WORK/player home"
mkdir -p "$home"
chmod 777 "$home"
full_disk ln
launch HOME="$home"
refused_with "tindral: could not link the game's data into your folder as $home/.config/tindral/Tindral (No space left on device); make room on its disk, or set XDG_CONFIG_HOME to a folder on another one, and start again" "a full disk"
refusal=$(cat "$WORK/err.txt")
[ "$(cd "$home/.config/tindral" && find . -mindepth 1)" = "./settings.conf" ] || fail "a full disk left behind: $(cd "$home/.config/tindral" && find . -mindepth 1)"
rm "$STAND_INS/ln"
launch HOME="$home"
[ "$STATUS" -eq 0 ] && [ -e "$NOTES/started" ] && [ -L "$home/.config/tindral/Tindral" ] || fail "the start after a full disk: status $STATUS: $(cat "$WORK/err.txt")"
pass "a full disk: $refusal"

# settings.conf a link to settings that are gone: named before the game starts; deleting the
# link, as the line says, brings the defaults back.
settings="$home/.config/tindral/settings.conf"
rm "$settings"
ln -s "$WORK/gone/settings.conf" "$settings"
launch HOME="$home"
refused_with "tindral: your settings $settings are a link to $WORK/gone/settings.conf, which is not there; put that file back, or delete the link to get the default settings on the next start" "a dangling settings.conf"
rm "$settings"
launch HOME="$home"
[ "$STATUS" -eq 0 ] && cmp -s "$settings" "$PREFIX/share/tindral/settings.conf" || fail "after deleting the link: status $STATUS, no default settings"
pass "a dangling settings.conf link is named, and deleting it brings the defaults back"

# From a terminal the line is on the screen, and no notification comes; started without one
# (as every launch above), the same line comes as a notification too.
notified() { [ -s "$NOTES/notifications" ]; }
wait_until 30 notified || fail "no notification of a failure without a terminal"
rm -f "$NOTES/notifications"
script -qec "env -u HOME -u XDG_CONFIG_HOME PATH='$STAND_INS:$PATH' '$PREFIX/bin/tindral'" /dev/null >"$WORK/terminal.txt" || true
grep -q "^tindral: HOME is not set" "$WORK/terminal.txt" || fail "from a terminal: $(cat "$WORK/terminal.txt")"
launch XDG_CONFIG_HOME="$xdg"
wait_until 30 notified || fail "no notification of a failure without a terminal"
[ "$(cat "$NOTES/notifications")" = "$(cat "$WORK/err.txt")" ] ||
  fail "the notifications are not the one line from the start without a terminal: $(cat "$NOTES/notifications")"
pass "without a terminal the line comes as a notification too; from a terminal it does not"

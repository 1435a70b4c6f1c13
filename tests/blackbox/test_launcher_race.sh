# Two launchers started at the same moment, as a double click starts them, both run the game
# in the player's folder, on a first start and after the installation moved, and write
# nothing outside that folder. A copy of the default settings that fails (a full disk) is
# reported and leaves nothing half-made behind; the player's own settings and data stay.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/installed_tree.sh"

keep_install_manifest

# Spaces in every path the launcher handles.
PREFIX="$WORK/game prefix"
install_into "$PREFIX"
DEFAULT_SETTINGS="$PREFIX/share/tindral/settings.conf"
DATA=$(cd "$PREFIX/share/tindral/Tindral" && pwd -P)

# The launcher is under test, not the game: in its place a stand-in notes the folder it was
# started in and ends, so no window is needed.
printf '#!/bin/sh\npwd -P >"$STARTED_IN"\n' >"$PREFIX/libexec/tindral/tindral"

prefix_listing() { (cd "$PREFIX" && find . | LC_ALL=C sort); }
prefix_listing >"$WORK/prefix.before"

# Everything under player home $1, the folders included, on one line.
home_listing() { (cd "$1" && find . -mindepth 1 | LC_ALL=C sort | tr '\n' ' '); }
ONLY_PLAYER_FOLDER="./.config ./.config/tindral ./.config/tindral/Tindral ./.config/tindral/settings.conf "

# Runs launcher $1 as player home $2, with any further arguments as variables, and sets
# STATUS[$1]; its stderr goes to $WORK/err.$1, the folder its game was started in to
# $WORK/started.$1.
declare -A STATUS
launch() {
  rm -f "$WORK/started.$1"
  STATUS[$1]=0
  env -u XDG_CONFIG_HOME HOME="$2" STARTED_IN="$WORK/started.$1" "${@:3}" "$PREFIX/bin/tindral" 3<&- \
    >/dev/null 2>"$WORK/err.$1" || STATUS[$1]=$?
}

# Starts two launchers as player home $1 the moment both are ready, waits for both and sets
# STATUS[a] and STATUS[b].
start_two_launchers() {
  local gate="$WORK/gate" who
  local -A pid
  rm -f "$gate" "$WORK"/ready.*
  mkfifo "$gate"
  # Read and write, so opening it never blocks and both wait in `read` for their byte.
  exec 3<>"$gate"
  for who in a b; do
    (
      : >"$WORK/ready.$who"
      read -r -n 1 _ <&3
      launch "$who" "$1"
      exit "${STATUS[$who]}"
    ) &
    pid[$who]=$!
  done
  for _ in $(seq 3000); do
    [ -e "$WORK/ready.a" ] && [ -e "$WORK/ready.b" ] && break
    sleep 0.01
  done
  printf 'gg' >&3
  exec 3>&-
  for who in a b; do
    STATUS[$who]=0
    wait "${pid[$who]}" || STATUS[$who]=$?
  done
}

# What is wrong with player home $1 after a start, with the player's settings expected to
# equal file $2 and the launchers named $3...; empty when nothing is. Stray entries in the
# installed tree are removed again, so that each round stands on its own.
faults_after_start() {
  local home=$1 settings=$2 folder="$1/.config/tindral" who stray
  for who in "${@:3}"; do
    [ "${STATUS[$who]}" -eq 0 ] || echo "launcher $who ended with ${STATUS[$who]}: $(cat "$WORK/err.$who")"
    [ "$(cat "$WORK/started.$who" 2>/dev/null)" = "$folder" ] || echo "launcher $who did not start the game in $folder"
  done
  stray=$(LC_ALL=C comm -13 "$WORK/prefix.before" <(prefix_listing))
  if [ -n "$stray" ]; then
    echo "written into the installation:" $stray
    (cd "$PREFIX" && xargs -d '\n' rm -rf -- <<<"$stray")
  fi
  [ "$(home_listing "$home")" = "$ONLY_PLAYER_FOLDER" ] || echo "player home holds: $(home_listing "$home")"
  cmp -s "$folder/settings.conf" "$settings" || echo "settings.conf is not what it should be"
  [ "$(readlink -- "$folder/Tindral")" = "$DATA" ] || echo "Tindral is not a link to $DATA"
}

# Runs $2 rounds of kind $1 (first-start or moved): each a fresh player home, two launchers
# at once. Counts the failed rounds in FAILED_ROUNDS and describes them.
FAILED_ROUNDS=0
run_rounds() {
  local kind=$1 round faults home settings=$DEFAULT_SETTINGS
  for round in $(seq "$2"); do
    home="$WORK/player home $kind $round"
    mkdir -p "$home"
    if [ "$kind" = moved ]; then
      # A player who edited the settings, with the data link of an earlier installation.
      settings="$WORK/edited.conf"
      sed 's/^width=.*/width=640/' "$DEFAULT_SETTINGS" >"$settings"
      mkdir -p "$home/.config/tindral"
      cp "$settings" "$home/.config/tindral/settings.conf"
      ln -s "$WORK/old prefix/share/tindral/Tindral" "$home/.config/tindral/Tindral"
    fi
    start_two_launchers "$home"
    faults=$(faults_after_start "$home" "$settings" a b)
    if [ -n "$faults" ]; then
      FAILED_ROUNDS=$((FAILED_ROUNDS + 1))
      printf '%s round %s:\n%s\n' "$kind" "$round" "$(sed 's/^/  /' <<<"$faults")" >&2
    fi
  done
}

run_rounds first-start 50
run_rounds moved 20
[ "$FAILED_ROUNDS" -eq 0 ] || fail "$FAILED_ROUNDS of 70 double starts failed (see above)"
pass "50 double first starts and 20 double starts after a move: both launchers run the game, only the player's folder is written"

# ---- a settings copy that goes wrong ----------------------------------------------------------

# Puts a cp first on PATH for the launcher: the real cp (as $real_cp), then shell line $1;
# starts the launcher once with it as player home $2.
launch_with_cp() {
  mkdir -p "$WORK/cp stand-in" "$2"
  printf '#!/bin/sh\nreal_cp=%q\nfor target; do :; done\n%s\n' "$(command -v cp)" "$1" >"$WORK/cp stand-in/cp"
  chmod +x "$WORK/cp stand-in/cp"
  launch once "$2" PATH="$WORK/cp stand-in:$PATH"
}

# A full disk: the target is made, nothing fits in it.
home="$WORK/player home full disk"
launch_with_cp ': >"$target"; echo "cp: error writing '\''$target'\'': No space left on device" >&2; exit 1' "$home"
[ "${STATUS[once]}" -eq 1 ] || fail "a failed settings copy gave status ${STATUS[once]}, want 1"
grep -qF "tindral: could not copy the default settings to $home/.config/tindral/settings.conf" "$WORK/err.once" ||
  fail "no clear message on a failed settings copy: $(cat "$WORK/err.once")"
[ ! -e "$WORK/started.once" ] || fail "the game was started without settings"
[ -z "$(cd "$home/.config/tindral" && find . -mindepth 1)" ] || fail "a failed settings copy left files behind"
pass "a failed settings copy is reported with status 1 and leaves no file behind"

# The disk has room again: the next start is a whole first start.
launch once "$home"
faults=$(faults_after_start "$home" "$DEFAULT_SETTINGS" once)
[ -z "$faults" ] || fail "the start after a failed copy: $faults"
pass "the next start, with room on the disk, gives the default settings and the data link"

# While this launcher copies, a settings.conf turns up (another launcher's, or the player's):
# it is kept, and this launcher's copy goes.
home="$WORK/player home settings in between"
launch_with_cp '"$real_cp" "$@" || exit; echo width=1024 >"${target%/*}/settings.conf"' "$home"
echo width=1024 >"$WORK/in-between.conf"
faults=$(faults_after_start "$home" "$WORK/in-between.conf" once)
[ -z "$faults" ] || fail "a settings.conf made during the copy: $faults"
pass "a settings.conf that turns up during the copy is kept; the copy leaves nothing behind"

# A real folder where the link would be is the player's own data: it stays as it is.
folder="$WORK/player home own data/.config/tindral"
mkdir -p "$folder/Tindral/Levels"
echo 1x1S1x1x1x >"$folder/Tindral/Levels/1.lvl"
launch once "$WORK/player home own data"
[ "${STATUS[once]}" -eq 0 ] || fail "the start with the player's own data folder failed: $(cat "$WORK/err.once")"
[ "$(cd "$folder/Tindral" && find . | LC_ALL=C sort | tr '\n' ' ')" = ". ./Levels ./Levels/1.lvl " ] ||
  fail "the player's own Tindral folder was changed"
pass "a real Tindral folder in the player's folder is left alone"

[ "$(prefix_listing)" = "$(cat "$WORK/prefix.before")" ] || fail "the installed tree changed"

# Two launchers started at the same moment, as a double click starts them, both run the game
# in the player's folder, on a first start and after the installation moved, and write
# nothing outside that folder. A copy of the default settings that fails (a full disk) is
# reported and leaves nothing half-made behind; the player's own settings and data stay.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/installed_tree.sh"

keep_install_manifest

FIRST_START_ROUNDS=50
MOVED_ROUNDS=20

# Spaces in every path the launcher handles.
PREFIX="$WORK/game prefix"
install_into "$PREFIX"
DEFAULT_SETTINGS="$PREFIX/share/tindral/settings.conf"
DATA=$(cd "$PREFIX/share/tindral/Tindral" && pwd -P)

# The launcher is under test, not the game: in its place a stand-in notes the folder it was
# started in and ends, so no window is needed.
cat >"$PREFIX/libexec/tindral/tindral" <<'EOF'
#!/bin/sh
pwd -P >"$STARTED_IN"
EOF

prefix_listing() { (cd "$PREFIX" && find . | LC_ALL=C sort); }
prefix_listing >"$WORK/prefix.before"

# Everything under player home $1, the folders included, on one line.
home_listing() { (cd "$1" && find . -mindepth 1 | LC_ALL=C sort | tr '\n' ' '); }
# What a player home holds after a start: the player's folder with the settings and the link.
ONLY_PLAYER_FOLDER="./.config ./.config/tindral ./.config/tindral/Tindral ./.config/tindral/settings.conf "

# Starts two launchers as player home $1 the moment both are ready, waits for both and sets
# STATUS_a and STATUS_b. Each one's stderr goes to $WORK/err.<who>, the folder its game was
# started in to $WORK/started.<who>.
start_two_launchers() {
  local home=$1 gate="$WORK/gate" who
  local -A pid
  rm -f "$gate" "$WORK"/ready.* "$WORK"/started.*
  mkfifo "$gate"
  # Read and write, so opening it never blocks and both wait in `read` for their byte.
  exec 3<>"$gate"
  for who in a b; do
    (
      : >"$WORK/ready.$who"
      read -r -n 1 _ <&3
      exec env -u XDG_CONFIG_HOME HOME="$home" STARTED_IN="$WORK/started.$who" \
        "$PREFIX/bin/tindral" 3<&- >/dev/null 2>"$WORK/err.$who"
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
    local status=0
    wait "${pid[$who]}" || status=$?
    printf -v "STATUS_$who" '%s' "$status"
  done
}

# What is wrong with player home $1 after two launchers ran in it, with the player's
# settings expected to equal file $2; empty when nothing is. Stray entries in the installed
# tree are removed again, so that each round stands on its own.
faults_after_round() {
  local home=$1 settings=$2 folder="$1/.config/tindral" who stray
  for who in a b; do
    local status_name="STATUS_$who"
    [ "${!status_name}" -eq 0 ] || echo "launcher $who ended with ${!status_name}: $(cat "$WORK/err.$who")"
    [ "$(cat "$WORK/started.$who" 2>/dev/null)" = "$folder" ] || echo "launcher $who did not start the game in $folder"
  done
  stray=$(LC_ALL=C comm -13 "$WORK/prefix.before" <(prefix_listing))
  if [ -n "$stray" ]; then
    echo "written into the installation:" $stray
    (cd "$PREFIX" && xargs -d '\n' rm -rf -- <<<"$stray")
  fi
  local listing
  listing=$(home_listing "$home")
  [ "$listing" = "$ONLY_PLAYER_FOLDER" ] || echo "player home holds: $listing"
  cmp -s "$folder/settings.conf" "$settings" || echo "settings.conf is not what it should be"
  [ -L "$folder/Tindral" ] && [ "$(readlink -- "$folder/Tindral")" = "$DATA" ] ||
    echo "Tindral is not a link to $DATA"
}

# Runs rounds $2.. of kind $1 (first-start or moved): each a fresh player home, two
# launchers at once. Counts the failed rounds in FAILED_ROUNDS and describes them.
FAILED_ROUNDS=0
run_rounds() {
  local kind=$1 round faults home settings
  for round in $(seq "$2"); do
    home="$WORK/player home $kind $round"
    settings=$DEFAULT_SETTINGS
    if [ "$kind" = moved ]; then
      # A player who edited the settings, with the data link of an earlier installation.
      mkdir -p "$home/.config/tindral"
      sed 's/^width=.*/width=640/' "$DEFAULT_SETTINGS" >"$home/.config/tindral/settings.conf"
      settings="$WORK/edited.conf"
      cp "$home/.config/tindral/settings.conf" "$settings"
      ln -s "$WORK/old prefix/share/tindral/Tindral" "$home/.config/tindral/Tindral"
    else
      mkdir -p "$home"
    fi
    start_two_launchers "$home"
    faults=$(faults_after_round "$home" "$settings")
    if [ -n "$faults" ]; then
      FAILED_ROUNDS=$((FAILED_ROUNDS + 1))
      echo "$kind round $round:" >&2
      sed 's/^/  /' <<<"$faults" >&2
    fi
  done
}

run_rounds first-start "$FIRST_START_ROUNDS"
run_rounds moved "$MOVED_ROUNDS"
[ "$FAILED_ROUNDS" -eq 0 ] ||
  fail "$FAILED_ROUNDS of $((FIRST_START_ROUNDS + MOVED_ROUNDS)) double starts failed (see above)"
pass "$FIRST_START_ROUNDS double first starts and $MOVED_ROUNDS double starts after a move: both launchers run the game, only the player's folder is written"

# ---- a settings copy that goes wrong ----------------------------------------------------------

# Puts a cp first on PATH for the launcher: the real cp (as $real_cp), then shell line $1.
REAL_CP=$(command -v cp)
CP_FOLDER="$WORK/cp stand-in"
mkdir -p "$CP_FOLDER"
cp_that() {
  printf '#!/bin/sh\nreal_cp=%q\nfor target; do :; done\n%s\n' "$REAL_CP" "$1" >"$CP_FOLDER/cp"
  chmod +x "$CP_FOLDER/cp"
}

# Starts the launcher once as player home $1, with the cp stand-in; sets STATUS.
start_launcher_with_cp() {
  mkdir -p "$1"
  rm -f "$WORK/started.once"
  STATUS=0
  env -u XDG_CONFIG_HOME HOME="$1" PATH="$CP_FOLDER:$PATH" STARTED_IN="$WORK/started.once" \
    "$PREFIX/bin/tindral" >/dev/null 2>"$WORK/err.once" || STATUS=$?
}

# A full disk: the target is made, nothing fits in it.
cp_that ': >"$target"; echo "cp: error writing '\''$target'\'': No space left on device" >&2; exit 1'
home="$WORK/player home full disk"
folder="$home/.config/tindral"
start_launcher_with_cp "$home"
[ "$STATUS" -eq 1 ] || fail "a failed settings copy gave status $STATUS, want 1"
grep -qF "tindral: could not copy the default settings to $folder/settings.conf" "$WORK/err.once" ||
  fail "no clear message on a failed settings copy: $(cat "$WORK/err.once")"
[ ! -e "$WORK/started.once" ] || fail "the game was started without settings"
left=$(cd "$folder" && find . -mindepth 1)
[ -z "$left" ] || fail "a failed settings copy left behind: $left"
pass "a failed settings copy is reported with status 1 and leaves no file behind"

# The disk has room again: the next start is a whole first start.
env -u XDG_CONFIG_HOME HOME="$home" STARTED_IN="$WORK/started.once" "$PREFIX/bin/tindral" 2>"$WORK/err.once" ||
  fail "the start after a failed copy failed: $(cat "$WORK/err.once")"
cmp -s "$folder/settings.conf" "$DEFAULT_SETTINGS" && [ "$(readlink -- "$folder/Tindral")" = "$DATA" ] ||
  fail "the start after a failed copy did not give the default settings and the data link"
pass "the next start, with room on the disk, gives the default settings and the data link"

# While this launcher copies, a settings.conf turns up (another launcher's, or the player's):
# it is kept, and this launcher's copy goes.
cp_that '"$real_cp" "$@" || exit; echo width=1024 >"${target%/*}/settings.conf"'
home="$WORK/player home settings in between"
folder="$home/.config/tindral"
start_launcher_with_cp "$home"
[ "$STATUS" -eq 0 ] || fail "a settings.conf made during the copy gave status $STATUS: $(cat "$WORK/err.once")"
[ "$(cat "$folder/settings.conf")" = width=1024 ] || fail "a settings.conf made during the copy was replaced"
[ "$(home_listing "$home")" = "$ONLY_PLAYER_FOLDER" ] ||
  fail "the player's home holds more than settings and link: $(home_listing "$home")"
pass "a settings.conf that turns up during the copy is kept; the copy leaves nothing behind"

# ---- the player's own data -------------------------------------------------------------------

# A real folder where the link would be is the player's own data: it stays as it is.
home="$WORK/player home own data"
folder="$home/.config/tindral"
mkdir -p "$folder/Tindral/Levels"
echo 1x1S1x1x1x >"$folder/Tindral/Levels/1.lvl"
env -u XDG_CONFIG_HOME HOME="$home" STARTED_IN="$WORK/started.once" "$PREFIX/bin/tindral" 2>"$WORK/err.once" ||
  fail "the start with the player's own data folder failed: $(cat "$WORK/err.once")"
[ ! -L "$folder/Tindral" ] && [ "$(cd "$folder/Tindral" && find . | LC_ALL=C sort | tr '\n' ' ')" = ". ./Levels ./Levels/1.lvl " ] ||
  fail "the player's own Tindral folder was changed"
pass "a real Tindral folder in the player's folder is left alone"

[ "$(prefix_listing)" = "$(cat "$WORK/prefix.before")" ] || fail "the installed tree changed"

# `cmake --install` into a fresh prefix gives a complete, valid tree; its launcher makes the
# player's folder on the first start, runs the game there, keeps edited settings, renews the
# data link, and says clearly when the installed data is missing.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/installed_tree.sh"

keep_install_manifest

# Spaces in every path the launcher handles.
PREFIX="$WORK/game prefix"
PLAYER_HOME="$WORK/player home"
mkdir -p "$PLAYER_HOME"

# ---- the installed tree ---------------------------------------------------------------------

install_into "$PREFIX"
holds_expected_files "$PREFIX"
nothing_from_build_tree "$PREFIX"
# Each icon: a PNG of its size, a rounded tile (clear corner, solid middle) showing the red
# tunic and the flame's warm glow.
for size in 64 128 256; do
  icon="$PREFIX/share/icons/hicolor/${size}x$size/apps/tindral.png"
  [ "$(identify -format '%m %wx%h' "$icon")" = "PNG ${size}x$size" ] || fail "icon $icon is not a $size pixel PNG"
  [ "$(convert "$icon" -format '%[fx:p{0,0}.a] %[fx:p{w/2,h/2}.a]' info:)" = "0 1" ] || fail "icon $size has no clear corners or no solid middle"
  cp "$icon" "$WORK/icon$size.png"
  red=$(region_share "icon$size" "$size" "$size" 0 0 red)
  warm=$(region_share "icon$size" "$size" "$size" 0 0 warm)
  greater "$red" 0.01 && greater "$warm" 0.01 || fail "icon $size lacks the red hero or the flame (red $red, warm $warm)"
done
pass "install holds the game, data, settings, launcher, desktop entry, icons, metainfo, manual"

desktop="$PREFIX/share/applications/tindral.desktop"
metainfo="$PREFIX/share/metainfo/io.github.tindral.tindral.metainfo.xml"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
appstreamcli validate --no-net "$metainfo" >"$WORK/appstream.txt" 2>&1 || fail "appstreamcli: $(cat "$WORK/appstream.txt")"
appstreamcli validate-tree --no-net "$PREFIX" >"$WORK/appstream.txt" 2>&1 || fail "appstreamcli tree: $(cat "$WORK/appstream.txt")"
# The menu entry starts the installed launcher and shows the installed icon; the metadata
# launches that entry.
exec_name=$(sed -n 's/^Exec=//p' "$desktop")
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
[ -x "$PREFIX/bin/$exec_name" ] || fail "the desktop entry runs '$exec_name', which is not installed in bin/"
[ "$(find "$PREFIX/share/icons/hicolor" -name "$icon_name.png" | wc -l)" -eq 3 ] || fail "icon '$icon_name' not installed in 3 sizes"
launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
[ -f "$PREFIX/share/applications/$launchable" ] || fail "the metainfo launches '$launchable', which is not installed"
pass "desktop entry and AppStream metadata validate and point at what is installed"

manual="$PREFIX/share/man/man6/tindral.6.gz"
MANWIDTH=100 man --warnings -E UTF-8 -l "$manual" >"$WORK/manual.txt" 2>"$WORK/manual-warnings.txt" || fail "man cannot render $manual"
[ ! -s "$WORK/manual-warnings.txt" ] || fail "manual page warnings: $(cat "$WORK/manual-warnings.txt")"
# Every setting the default file holds, and every debug key the README lists, is explained.
for key in $(sed -n 's/^\([A-Za-z]*\)=.*/\1/p' "$PREFIX/share/tindral/settings.conf"); do
  grep -q "^ *$key=" "$WORK/manual.txt" || fail "the manual page does not explain the setting $key"
done
for key in $(sed -n 's/^| \(F[0-9]*\) |.*/\1/p' "$SOURCE_DIR/README.md"); do
  grep -q "^ *$key " "$WORK/manual.txt" || fail "the manual page does not explain the key $key"
done
grep -q '\.config/tindral/settings\.conf' "$WORK/manual.txt" || fail "the manual page does not say where the settings live"
pass "manual page renders cleanly and explains every setting and debug key"

# ---- the launcher ---------------------------------------------------------------------------

# Starts the installed launcher as a player whose HOME is $PLAYER_HOME; extra variables
# (such as XDG_CONFIG_HOME=...) come as arguments.
start_launcher() {
  run_in_background "$WORK" env -u XDG_CONFIG_HOME HOME="$PLAYER_HOME" "$@" "$PREFIX/bin/tindral"
}

frame_drawn() { stone_lit frame; }

data="$(cd "$PREFIX/share/tindral/Tindral" && pwd -P)"
folder="$PLAYER_HOME/.config/tindral"

start_launcher
wait_for_first_level
screenshot_until frame frame_drawn || fail "$WHY"
quit_with_escape
cmp -s "$folder/settings.conf" "$PREFIX/share/tindral/settings.conf" || fail "the player's settings.conf is not the default"
[ -L "$folder/Tindral" ] && [ "$(readlink -f "$folder/Tindral")" = "$data" ] || fail "$folder/Tindral is not a link to $data"
pass "first start makes ~/.config/tindral with the default settings and a data link; the game draws and quits with 0"

# The player edits the settings, and the data link points at an old install.
sed -i 's/^width=.*/width=640/' "$folder/settings.conf"
cp "$folder/settings.conf" "$WORK/edited.conf"
ln -sfn "$WORK/old prefix/share/tindral/Tindral" "$folder/Tindral"
# The player's own gamepad mappings go beside the settings.
echo '03000000de000000ad00000000000000,Made-up Pad,a:b0,platform:Linux,' >"$folder/gamecontrollerdb.txt"
start_launcher
wait_for_first_level
size=$(window_size "$WINDOW_ID")
wait_for_output 30 "^Gamepad mappings read from 'gamecontrollerdb.txt'$" || fail "the player's gamecontrollerdb.txt was not read"
quit_with_escape
[ "${size%x*}" = 640 ] || fail "window is $size after setting width=640"
cmp -s "$folder/settings.conf" "$WORK/edited.conf" || fail "the edited settings.conf was changed"
[ "$(readlink -f "$folder/Tindral")" = "$data" ] || fail "the old data link was not renewed"
pass "second start keeps the edited settings (window $size), renews the data link and reads the player's gamepad mappings"

xdg="$WORK/xdg config"
start_launcher XDG_CONFIG_HOME="$xdg"
wait_for_first_level
quit_with_escape
[ -f "$xdg/tindral/settings.conf" ] && [ -L "$xdg/tindral/Tindral" ] || fail "no player folder in \$XDG_CONFIG_HOME/tindral"
pass "XDG_CONFIG_HOME moves the player's folder"

# ---- failures the launcher reports ----------------------------------------------------------

status=0
HOME="$PLAYER_HOME" "$PREFIX/bin/tindral" --fullscreen >/dev/null 2>"$WORK/usage.txt" || status=$?
[ "$status" -eq 2 ] && grep -q 'usage: tindral' "$WORK/usage.txt" || fail "arguments gave status $status: $(cat "$WORK/usage.txt")"

broken="$WORK/broken prefix"
install_into "$broken"
rm -r "$broken/share/tindral/Tindral"
empty_home="$WORK/empty home"
mkdir -p "$empty_home"
status=0
env -u XDG_CONFIG_HOME HOME="$empty_home" "$broken/bin/tindral" >/dev/null 2>"$WORK/missing.txt" || status=$?
[ "$status" -eq 1 ] || fail "missing data gave status $status, want 1"
grep -qF "$broken/share/tindral/Tindral is missing" "$WORK/missing.txt" || fail "unclear message: $(cat "$WORK/missing.txt")"
[ ! -e "$empty_home/.config" ] || fail "a player folder was made although the data is missing"
pass "arguments are refused; missing data is reported on stderr with status 1"

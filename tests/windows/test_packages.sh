#!/usr/bin/env bash
# The Windows packages as a player uses them, under Wine:
#   test_packages.sh <zip> <installer> <wine.sh>
# The zip, unpacked into a folder whose name holds a non-ASCII letter and a space, starts and
# plays. The installer, run silently, installs for the user with a Start-menu entry and an entry
# in the list of installed programs; the installed game starts from its folder and plays level 1;
# a second install keeps the player's edited settings.conf; the silent uninstall removes
# everything but that file.
source "$(dirname "$0")/../blackbox/lib.sh" "$(dirname "$1")"
ZIP=$1
INSTALLER=$2
WINE=$3

# Plays level 1 in folder $1: the window, the level, a few steps, and Escape with status 0.
play_in() {
  run_in_background "$1" "$WINE" tindral.exe
  wait_for_first_level
  hold w 1
  grep -q '^InvisCubes: 0' "$WORK/out.txt" || fail "level 1 is not what $1 played"
  quit_with_escape
}

# --- the zip ---------------------------------------------------------------------------------
unpacked="$WORK/Spiele Ä"
mkdir -p "$unpacked"
unzip -q "$ZIP" -d "$unpacked"
game_dir="$unpacked/$(basename "$ZIP" .zip)"
[ -f "$game_dir/tindral.exe" ] || fail "the zip holds no $(basename "$ZIP" .zip)/tindral.exe"
for file in settings.conf tindral-level.exe LICENSE.txt README.txt Tindral/Levels/1.lvl \
  Tindral/3DModels/cube/cube.obj Tindral/Audio/Ambient/ambient1.mp3 SDL2.dll libstdc++-6.dll; do
  [ -f "$game_dir/$file" ] || fail "the zip has no $file"
done
version=$(basename "$ZIP" | sed -n 's/^tindral-\(.*\)-windows-x64\.zip$/\1/p')
for program in tindral tindral-level; do
  sizes=$(wrestool -x -t14 "$game_dir/$program.exe" | identify -format '%w ' ico:- 2>/dev/null || true)
  [ "$sizes" = "16 24 32 48 64 128 256 " ] || fail "$program.exe carries no icon of the seven sizes: '$sizes'"
  about=$(wrestool -x --raw -t16 "$game_dir/$program.exe" | strings -el | paste -sd' ')
  [[ "$about" == *"ProductVersion $version"* && "$about" == *"OriginalFilename $program.exe"* ]] ||
    fail "$program.exe carries no version resource of $version: '$about'"
done
pass "the programs carry the icon and the version $version"

play_in "$game_dir"
pass "the zip unpacked into '$unpacked' starts and plays"

# --- the installer, in a Wine prefix of the test's own -----------------------------------------
export WINEPREFIX="$WORK/wine"
"$WINE" "$INSTALLER" /S || fail "the installer failed"
prefix=$("$WINE" --prefix)
WINEPREFIX=$prefix wineserver --wait
installed=$(find "$prefix/drive_c/users" -path '*/AppData/Local/Programs/Tindral' | head -1)
[ -n "$installed" ] && [ -f "$installed/tindral.exe" ] || fail "nothing installed into %LOCALAPPDATA%\\Programs\\Tindral"
diff -r "$game_dir" "$installed" -x Uninstall.exe >/dev/null ||
  fail "the installer installs other files than the zip holds: $(diff -rq "$game_dir" "$installed" -x Uninstall.exe)"
shortcut=$(find "$prefix/drive_c/users" -path '*/Start Menu/Programs/Tindral.lnk' | head -1)
[ -n "$shortcut" ] || fail "no Start-menu entry"
# A shortcut keeps its working folder as a string of its own, in 8- or 16-bit characters: the
# game's folder, without tindral.exe after it.
{ strings -a "$shortcut"; strings -a -el "$shortcut"; } | grep -q 'AppData\\Local\\Programs\\Tindral$' ||
  fail "the Start-menu entry does not start the game in its folder"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tindral'
"$WINE" reg query "$key" /v UninstallString >/dev/null 2>&1 || fail "no entry in the list of installed programs"
pass "the installer installs the zip's files with a Start-menu entry and an uninstall entry"

play_in "$installed"
pass "the installed game starts from its folder and plays level 1"

echo "difficulty=1" >>"$installed/settings.conf"
edited=$(cat "$installed/settings.conf")
echo "my pad" >"$installed/gamecontrollerdb.txt"
"$WINE" "$INSTALLER" /S || fail "the second install failed"
WINEPREFIX=$prefix wineserver --wait
[ "$(cat "$installed/settings.conf")" = "$edited" ] || fail "a new install overwrote the edited settings.conf"
pass "a new install keeps the edited settings.conf"

"$WINE" "$installed/Uninstall.exe" /S || fail "the uninstaller failed"
# The uninstaller runs from a copy of itself, which goes on after the first one ends.
WINEPREFIX=$prefix wineserver --wait
left=$(cd "$installed" && find . -type f | sort | tr '\n' ' ')
[ "$left" = "./gamecontrollerdb.txt ./settings.conf " ] || fail "the uninstall left '$left', want only the player's files"
[ "$(cat "$installed/settings.conf")" = "$edited" ] || fail "the uninstall changed the edited settings.conf"
[ ! -e "$shortcut" ] || fail "the Start-menu entry stayed"
! "$WINE" reg query "$key" >/dev/null 2>&1 || fail "the uninstall entry stayed"
pass "the uninstall removes everything but the player's settings and pad mappings"

# Not edited, the settings go with the rest.
rm "$installed/gamecontrollerdb.txt"
"$WINE" "$INSTALLER" /S && WINEPREFIX=$prefix wineserver --wait
cp "$game_dir/settings.conf" "$installed/settings.conf"
"$WINE" "$installed/Uninstall.exe" /S && WINEPREFIX=$prefix wineserver --wait
[ ! -e "$installed" ] || fail "an uninstall with default settings left $(find "$installed")"
pass "with the default settings the uninstall leaves no folder behind"

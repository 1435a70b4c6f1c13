#!/usr/bin/env bash
# A start-up failure of the Windows game keeps its console readable: at a console it says why,
# runs "PAUSE" and waits for a key before it ends with status 255; without one (a pipe, a file,
# a test) it ends at once with the same line and status. A pseudo-terminal stands in for the
# console: Wine gives the game a console on it.
#   test_console_pause.sh <Windows run folder> <wine.sh>
source "$(dirname "$0")/../blackbox/lib.sh" "$1"
WINE=$2
copy_run_folder
rm "$WORK/run/settings.conf"

status=0
output=$(cd "$WORK/run" && timeout 60 "$WINE" tindral.exe </dev/null) || status=$?
[ "$status" -eq 255 ] || fail "without a console: status $status, want 255"
[[ "$output" == *"Can't load 'settings.conf'"* ]] || fail "without a console: '$output'"
[[ "$output" != *"Press any key"* ]] || fail "without a console the game paused"
pass "without a console the failure is told and the game ends at once with 255"

# What the console shows, without the terminal's control sequences.
console_text() { sed -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' "$WORK/console.log" | tr -d '\r'; }

mkfifo "$WORK/keys"
(cd "$WORK/run" && exec script -qefc "$WINE tindral.exe" "$WORK/console.log" <"$WORK/keys" >/dev/null) &
GAME_PID=$!
exec 7>"$WORK/keys"
wait_until 60 eval 'console_text | grep -q "Press any key"' || fail "no pause at the console: $(console_text)"
console_text | grep -q "settings.conf" || fail "the console does not say what failed: $(console_text)"
kill -0 "$GAME_PID" 2>/dev/null || fail "the game did not wait at the pause"
printf 'x' >&7
wait_for_exit 30 || fail "a key did not end the pause"
exec 7>&-
[ "$EXIT_STATUS" -eq 255 ] || fail "after the pause: status $EXIT_STATUS, want 255"
pass "at a console the failure is told, PAUSE waits for a key, and the game ends with 255"

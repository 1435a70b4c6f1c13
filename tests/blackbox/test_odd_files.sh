# Files as other systems leave them. A FIFO or a folder where level 1 should be is a missing
# level: the game says so, plays the empty level and ends with status 0 (a FIFO used to hang
# the start with the window open). A level saved with a UTF-8 byte-order mark is built as
# without it.
source "$(dirname "$0")/lib.sh"
copy_run_folder
levels="$WORK/run/Tindral/Levels"
cp "$levels/2.lvl" "$WORK/level2.lvl"

# What the game printed from level 1's heading to its count of invisible cubes.
level_one_lines() { sed -n '/^LADE das LEVEL: 1$/,/^InvisCubes: /p' "$WORK/out.txt"; }

# Escape ends the game with status 0. An empty level may have ended it already: nothing holds
# the hero, who falls four times within a few seconds, and the game is over, with status 0 too.
end_with_escape() {
  press Escape 2>/dev/null || true
  wait_for_exit 30 || fail "$1: the game still runs after Escape"
  [ "$EXIT_STATUS" -eq 0 ] || fail "$1: exit status $EXIT_STATUS, want 0"
}

missing_level=$(printf 'LADE das LEVEL: 1\nFile could not be opened.\nInvisCubes: 0')
odd_cases=(folder)
has_fifos && odd_cases+=(FIFO)
for odd in "${odd_cases[@]}"; do
  rm -rf "$levels/1.lvl"
  if [ "$odd" = FIFO ]; then mkfifo "$levels/1.lvl"; else mkdir "$levels/1.lvl"; fi
  start_game
  wait_for_first_level
  [ "$(level_one_lines)" = "$missing_level" ] || fail "a $odd as level 1 printed: $(level_one_lines)"
  end_with_escape "a $odd as level 1"
  pass "a $odd as level 1 is a missing level, and the game ends with status 0"
done

# Level 1 has no invisible cubes, so an empty level would print the same lines as it does;
# level 2, saved as level 1, prints where each of its invisible cubes stands.
rm -rf "$levels/1.lvl"
cp "$WORK/level2.lvl" "$levels/1.lvl"
start_game_and_wait
plain=$(level_one_lines)
end_with_escape "level 2 as level 1"
grep -q '^InvisCubes: [1-9]' <<<"$plain" || fail "the level to compare has no invisible cubes: $plain"
{ printf '\xEF\xBB\xBF'; cat "$WORK/level2.lvl"; } >"$levels/1.lvl"
start_game_and_wait
[ "$(level_one_lines)" = "$plain" ] || fail "with a byte-order mark the level printed $(level_one_lines), want $plain"
end_with_escape "level 2 as level 1 with a byte-order mark"
pass "a level saved with a byte-order mark is built as without it ($(tail -n 1 <<<"$plain"))"

# The benchmark runs briefly, plays through the real frame loop and reports every figure on
# its last line as JSON. No timing is judged: only that each figure is there and sensible.
# The game's console lines stay out of the report: they go to the file asked for, or nowhere.
source "$(dirname "$0")/lib.sh"
copy_run_folder
cd "$WORK/run"
./tindral-bench --width 320 --height 240 --max-frames 90 --floor-frames 30 >"$WORK/out.txt" 2>"$WORK/err.txt" ||
  fail "tindral-bench failed: $(cat "$WORK/err.txt")"
last=$(tail -n 1 "$WORK/out.txt")
[[ $last == \{*\} ]] || fail "the last line is not a JSON object: $last"
for key in width height game_median_ms game_p95_ms floor_median_ms floor_p95_ms startup_ms update_median_us \
  level_build_ms peak_rss_mb; do
  value=$(sed -n "s/.*\"$key\": \([0-9.e+-]*\).*/\1/p" <<<"$last")
  [ -n "$value" ] || fail "no $key in: $last"
  greater "$value" 0 || fail "$key is $value"
done
grep -q '"width": 320, "height": 240' <<<"$last" || fail "the window size is not reported as asked: $last"
grep -q '"game_frames": 90' <<<"$last" || fail "not 90 frames of play: $last"
grep -q 'level 1: ' "$WORK/out.txt" || fail "no level was played"
pass "the benchmark's figures: $last"

# Lines of the shader programs, the sound, the game and a debug key (F5, struck by the run
# below), each from a different part of the game.
console_lines=("ShaderManager: initializing ..." "ShaderManager: DONE" "playsound - ambient " " play Ambient"
  "Current Level 1" "status MipMap: 1")
for line in "${console_lines[@]}"; do
  ! grep -qFx -- "$line" "$WORK/out.txt" || fail "the game's line '$line' is in the report, asked for no console"
done
./tindral-bench --width 320 --height 240 --max-frames 20 --floor-frames 1 --keys 10:F5 --console "$WORK/console.txt" \
  >"$WORK/out.txt" 2>"$WORK/err.txt" || fail "tindral-bench --console failed: $(cat "$WORK/err.txt")"
for line in "${console_lines[@]}"; do
  grep -qFx -- "$line" "$WORK/console.txt" || fail "no '$line' in the console file: $(cat "$WORK/console.txt")"
  ! grep -qFx -- "$line" "$WORK/out.txt" || fail "the game's line '$line' is in the report, not only in the console file"
done
pass "the game's console lines go to the console file, or nowhere, and never into the report"

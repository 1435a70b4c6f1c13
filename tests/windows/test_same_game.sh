#!/usr/bin/env bash
# The same game on both systems: the scripted player plays the three levels at a fixed frame
# time in the Linux build's benchmark and in the Windows build's under Wine. Both must print the
# very same console transcript and draw the very same frames.
#   test_same_game.sh <Linux run folder> <Windows run folder> <wine.sh>
source "$(dirname "$0")/../blackbox/lib.sh" "$2"
LINUX_RUN=$(cd "$1" && pwd)
WINE=$3
[ -x "$LINUX_RUN/tindral-bench" ] || fail "no Linux benchmark in $LINUX_RUN"
wait_for_x_server 60 || fail "the X server at '${DISPLAY:-}' does not accept connections"

# A small window: the picture is the same at any size, and the play is quicker.
play=(--width 320 --height 240 --floor-frames 1 --frame-every 1000)
mkdir -p "$WORK/linux" "$WORK/windows"
(cd "$LINUX_RUN" && ./tindral-bench "${play[@]}" --console "$WORK/linux/console.txt" --frames "$WORK/linux" \
  >"$WORK/linux/report.txt" 2>&1) &
linux=$!
(cd "$RUN_DIR" && "$WINE" tindral-bench.exe "${play[@]}" --console "$("$WINE" winepath -w "$WORK/windows/console.txt")" \
  --frames "$("$WINE" winepath -w "$WORK/windows")" >"$WORK/windows/report.txt" 2>&1) &
windows=$!
wait "$linux" || fail "the Linux benchmark failed: $(cat "$WORK/linux/report.txt")"
wait "$windows" || fail "the Windows benchmark failed: $(cat "$WORK/windows/report.txt")"

for system in linux windows; do
  [ "$(grep -c ' won after ' "$WORK/$system/report.txt")" -eq 3 ] ||
    fail "the $system build's player did not win the three levels: $(grep 'level ' "$WORK/$system/report.txt")"
done
diff "$WORK/linux/console.txt" "$WORK/windows/console.txt" >"$WORK/transcripts.diff" ||
  fail "the transcripts differ: $(head -20 "$WORK/transcripts.diff")"
pass "the transcripts of the three levels are the same ($(wc -l <"$WORK/linux/console.txt") lines)"

largest=0
frames=0
for frame in "$WORK"/linux/frame-*.ppm; do
  name=$(basename "$frame")
  [ -f "$WORK/windows/$name" ] || fail "the Windows build drew no $name"
  # The largest difference of one channel of one pixel, 0..255.
  difference=$({ compare -metric PAE "$frame" "$WORK/windows/$name" null: 2>&1 || true; } | sed 's/ .*//')
  [ "$difference" -gt "$largest" ] && largest=$difference
  frames=$((frames + 1))
done
[ "$frames" -ge 7 ] || fail "only $frames frames to compare"
[ "$largest" -eq 0 ] || fail "the frames differ by up to $largest of 255"
pass "$frames frames, one every thousand, are the same to the pixel (largest difference $largest)"

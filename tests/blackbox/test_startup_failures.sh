# Start-up failures end the game at once with status 255 and the right message, without
# waiting for a key when nobody is at a terminal.
source "$(dirname "$0")/lib.sh"
copy_run_folder
cd "$WORK/run"

# A settings.conf missing, a folder, or a FIFO (which used to hang the start): none can be loaded.
odd_cases=(missing folder)
has_fifos && odd_cases+=(FIFO)
for odd in "${odd_cases[@]}"; do
  rm -rf settings.conf
  case $odd in folder) mkdir settings.conf ;; FIFO) mkfifo settings.conf ;; esac
  status=0
  timeout 20 "${GAME[@]}" </dev/null | console_lines >"$WORK/out.txt" || status=$?
  [ "$status" -eq 255 ] || fail "$odd settings.conf: exit status $status, want 255 (124: it hung)"
  cmp -s "$WORK/out.txt" <(printf "Can't load 'settings.conf'\n\n") || fail "$odd settings.conf: message and empty line expected"
done
pass "a settings.conf ${odd_cases[*]}"

rm -rf settings.conf
cp "$RUN_DIR/settings.conf" .
# Windows always has a display; Wine without one gives a window that cannot draw, which no
# player meets.
if [ -z "${TINDRAL_WINE:-}" ]; then
  status=0
  output=$(env -u DISPLAY timeout 20 ./tindral </dev/null) || status=$?
  [ "$status" -eq 255 ] || fail "no display: exit status $status, want 255"
  [ "$output" = "Failed to initialize glew!" ] || fail "no display printed: $output"
  pass "no X display"
fi

# Sizes of 0 or less, and sizes larger than X or the driver can give (llvmpipe draws at most
# 16384 a side). After "Failed to open window" a line on the error stream names the setting
# and why.
needs_a_pixel=": a window needs at least 1 pixel a side"
beyond_driver=" is more than the [0-9]+ pixels a side the graphics driver can draw"
for case in "0x600 width=0 is zero$needs_a_pixel" "-5x600 width=-5 is negative$needs_a_pixel" \
  "800x-5 height=-5 is negative$needs_a_pixel" "-2147483648x600 width=-2147483648 is negative$needs_a_pixel" \
  "0x0 width=0 is zero$needs_a_pixel; height=0 is zero$needs_a_pixel" "16385x600 width=16385$beyond_driver" \
  "100000x100000 width=100000$beyond_driver; height=100000$beyond_driver" \
  "800x2147483647 height=2147483647$beyond_driver"; do
  size=${case%% *}
  reason="settings.conf: ${case#* }"
  printf 'width=%s\nheight=%s\n' "${size%x*}" "${size#*x}" > settings.conf
  status=0
  output=$(timeout 20 "${GAME[@]}" </dev/null 2>"$WORK/errors" | console_lines) || status=$?
  console_lines <"$WORK/errors" >"$WORK/err.txt"
  [ "$status" -eq 255 ] || fail "window $size: exit status $status, want 255 ($(head -c 300 "$WORK/err.txt"))"
  [ "$output" = "Failed to open window" ] || fail "window $size printed: $output"
  grep -qxE "$reason" "$WORK/err.txt" || fail "window $size: no line '$reason' on the error stream: $(cat "$WORK/err.txt")"
done
pass "windows that cannot open, each with the setting that stops it"

# Start-up failures end the game at once with status 255 and the right message, without
# waiting for a key when nobody is at a terminal.
source "$(dirname "$0")/lib.sh"
copy_run_folder
cd "$WORK/run"

# A settings.conf missing, a folder, or a FIFO (which used to hang the start): none can be loaded.
for odd in missing folder FIFO; do
  rm -rf settings.conf
  case $odd in folder) mkdir settings.conf ;; FIFO) mkfifo settings.conf ;; esac
  status=0
  timeout 20 ./tindral </dev/null >"$WORK/out.txt" || status=$?
  [ "$status" -eq 255 ] || fail "$odd settings.conf: exit status $status, want 255 (124: it hung)"
  cmp -s "$WORK/out.txt" <(printf "Can't load 'settings.conf'\n\n") || fail "$odd settings.conf: message and empty line expected"
done
pass "a settings.conf missing, a folder or a FIFO"

rm settings.conf
cp "$RUN_DIR/settings.conf" .
status=0
output=$(env -u DISPLAY timeout 20 ./tindral </dev/null) || status=$?
[ "$status" -eq 255 ] || fail "no display: exit status $status, want 255"
[ "$output" = "Failed to initialize glew!" ] || fail "no display printed: $output"
pass "no X display"

# Sizes of 0 or less, and sizes larger than X or the driver can give (llvmpipe draws at most
# 16384 a side).
for size in 0x600 -5x600 800x-5 -2147483648x600 16385x600 100000x100000 2147483647x2147483647; do
  printf 'width=%s\nheight=%s\n' "${size%x*}" "${size#*x}" > settings.conf
  status=0
  output=$(timeout 20 ./tindral </dev/null 2>"$WORK/err.txt") || status=$?
  [ "$status" -eq 255 ] || fail "window $size: exit status $status, want 255 ($(head -c 300 "$WORK/err.txt"))"
  [ "$output" = "Failed to open window" ] || fail "window $size printed: $output"
done
pass "windows that cannot open"

# Start-up failures end the game at once with status 255 and the right message, without
# waiting for a key when nobody is at a terminal.
source "$(dirname "$0")/lib.sh"
copy_run_folder
cd "$WORK/run"

rm settings.conf
status=0
output=$(timeout 20 ./tindral </dev/null) || status=$?
[ "$status" -eq 255 ] || fail "missing settings.conf: exit status $status, want 255"
[ "$output" = "Can't load 'settings.conf'" ] || fail "missing settings.conf printed: $output"
[ "$(timeout 20 ./tindral </dev/null | wc -l)" -eq 2 ] || fail "missing settings.conf: message and empty line expected"
pass "missing settings.conf"

cp "$RUN_DIR/settings.conf" .
status=0
output=$(env -u DISPLAY timeout 20 ./tindral </dev/null) || status=$?
[ "$status" -eq 255 ] || fail "no display: exit status $status, want 255"
[ "$output" = "Failed to initialize glew!" ] || fail "no display printed: $output"
pass "no X display"

printf 'width=0\nheight=600\n' > settings.conf
status=0
output=$(timeout 20 ./tindral </dev/null 2>/dev/null) || status=$?
[ "$status" -eq 255 ] || fail "zero width: exit status $status, want 255"
[ "$output" = "Failed to open window" ] || fail "zero width printed: $output"
pass "window that cannot open"

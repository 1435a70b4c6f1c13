#!/usr/bin/env bash
# Without a display the GL tests cannot have a context: each must fail with the reason, and the
# test program must end as a program whose tests failed, not crash.
# Usage: check_gl_fixture.sh GL_TEST_PROGRAM (run from the run folder)
set -uo pipefail
program=${1:?usage: $0 GL_TEST_PROGRAM}
output=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --gtest_filter='FrameTest.*:LitSceneTest.*:ModelLibraryTest.*:GamepadMappings.*:TextureTest.*' 2>&1)
status=$?
if [ "$status" -ne 1 ]; then
  echo "FAIL: exit status $status, want 1 (a crash is 128 or more)"
  echo "$output" | tail -n 20
  exit 1
fi
reasons=$(grep -c 'no GL 3.3 context' <<<"$output")
failed=$(grep -c '^\[  FAILED  \] .*ms)$' <<<"$output")
if [ "$reasons" -eq 0 ] || [ "$reasons" -lt "$failed" ]; then
  echo "FAIL: $failed tests failed, $reasons said why"
  exit 1
fi
echo "ok: $failed GL tests failed cleanly without a display, each with its reason"

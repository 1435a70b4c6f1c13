#!/usr/bin/env bash
# A broken shader set must stop the game at start-up with its message and exit status 255:
# a missing file, a shader that does not compile, a program that does not link. An intact
# set builds all programs and the game runs on.
# Usage: bash test_shader_failures.sh RUN_DIR
set -u
run_dir=$(cd "${1:?usage: $0 RUN_DIR}" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
source "$(dirname "$0")/game.sh"

if [ -n "${DISPLAY:-}" ]; then
  launcher=()
else
  launcher=(xvfb-run -a -s "-screen 0 1024x768x24 -noreset")
fi

failures=0
fail() { echo "FAIL ($case_name): $*"; failures=$((failures + 1)); }

# Runs a copy of the run folder for at most $2 seconds, after the command $3 changed the copy's
# shader folder (stdin not a terminal, so nothing waits for a key); sets output and status.
run_case() {
  case_name=$1
  local game_dir="$scratch/$1"
  cp -r "$run_dir" "$game_dir"
  (cd "$game_dir/Tindral/Shader" && eval "$3")
  output=$(cd "$game_dir" && "${launcher[@]}" timeout "$2" "${GAME[@]}" </dev/null 2>&1 | console_lines; exit "${PIPESTATUS[0]}")
  status=$?
}

expect_status() { [ "$status" -eq "$1" ] || fail "exit status $status, expected $1; output:"$'\n'"$output"; }
expect_line() { grep -qxF -- "$1" <<<"$output" || fail "no line '$1' in:"$'\n'"$output"; }
expect_no_line() { ! grep -qxF -- "$1" <<<"$output" || fail "unexpected line '$1'"; }
# The line after the given one must be non-empty: the driver's log.
expect_log_after() {
  local next
  next=$(grep -A1 -xF -- "$1" <<<"$output" | sed -n 2p)
  [ -n "$next" ] || fail "no driver log after '$1' in:"$'\n'"$output"
}

# The game stopped at start-up, with none of its programs built.
expect_refused() {
  expect_status 255
  expect_no_line "ShaderManager: DONE"
}

run_case missing_file 60 'rm flameShader.frag'
expect_refused
expect_line "ShaderManager: initializing ..."
expect_line "Failed to open file Tindral/Shader/flameShader.frag"

# A folder where a shader file should be opens like a file but cannot be read.
run_case folder_for_file 60 'rm basicShader.vert && mkdir basicShader.vert'
expect_refused
expect_line "Failed to open file Tindral/Shader/basicShader.vert"

run_case compile_error 60 "printf '#version 330 core\nvoid main()\n{\n    gl_Position = undeclaredThing;\n}\n' >depthShader.vert"
expect_refused
expect_line "Failed to compile shader"
expect_log_after "Failed to compile shader"

# A vertex shader without main compiles but cannot link. The glow program is built after the
# HUD program, so its missing file is never reached.
run_case link_error 60 "printf '#version 330 core\nuniform mat4 modelMatrix;\n' >hudShader.vert && rm glowShader.frag"
expect_refused
expect_line "Failed to link shader program"
expect_log_after "Failed to link shader program"
expect_no_line "Failed to open file Tindral/Shader/glowShader.frag"

# Intact shaders: all programs build after the GL version line and the game keeps running
# (stopped by the timeout) without GL errors. At the slowest speed no game is over within the
# time, however long a busy machine takes to start it.
run_case intact 15 "sed -i 's/^difficulty=.*/difficulty=0/' ../../settings.conf"
[ "$status" -eq 124 ] || fail "the game ended with status $status instead of running on:"$'\n'"$output"
expect_line "ShaderManager: DONE"
before_init=$(grep -B1 -xF "ShaderManager: initializing ..." <<<"$output" | head -n1)
[ -n "$before_init" ] && [ "$before_init" != "ShaderManager: initializing ..." ] ||
  fail "no GL version line before the shader manager"
! grep -q '^GL: ' <<<"$output" || fail "GL errors while running:"$'\n'"$(grep '^GL: ' <<<"$output" | sort | uniq -c)"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all shader start-up cases behave"

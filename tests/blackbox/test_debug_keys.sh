# F3 switches the scene to wireframe and prints the switch report.
source "$(dirname "$0")/lib.sh"
copy_run_folder
start_game_and_wait

screenshot_until filled filled_scene || fail "$WHY"

press F3
wait_for_output 30 '^draw Wireframe: 1$' || fail "F3 printed no report with wireframe on"
screenshot_until wireframe wireframe_scene || fail "$WHY"
pass "wireframe draws lines ($lines lit) instead of faces ($filled lit)"

quit_with_escape

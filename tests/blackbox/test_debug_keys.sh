# F3 switches the scene to wireframe and prints the switch report.
source "$(dirname "$0")/lib.sh"
copy_run_folder
start_game_and_wait

# Faces of the lit column fill most of this region; as lines only a few pixels stay lit.
filled_scene() {
  filled=$(region_share filled 300 200 250 300 lit 6)
  greater "$filled" 0.5 || { WHY="the filled scene is not lit where expected ($filled)"; return 1; }
}
screenshot_until filled filled_scene || fail "$WHY"

press F3
wait_for_output 30 '^draw Wireframe: 1$' || fail "F3 printed no report with wireframe on"

wireframe_scene() {
  lines=$(region_share wireframe 300 200 250 300 lit 6)
  greater "$lines" 0.01 || { WHY="nothing drawn in wireframe ($lines)"; return 1; }
  greater "$(awk -v f="$filled" 'BEGIN { print f / 2 }')" "$lines" || { WHY="wireframe still looks filled ($lines vs $filled)"; return 1; }
}
screenshot_until wireframe wireframe_scene || fail "$WHY"
pass "wireframe draws lines ($lines lit) instead of faces ($filled lit)"

quit_with_escape

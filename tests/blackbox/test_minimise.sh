# Minimised under a window manager, the game stands still: it draws nothing, plays nothing, sleeps
# instead of spinning, and the time away is not played when the window comes back.
source "$(dirname "$0")/lib.sh"
copy_run_folder
start_private_display 1024x768
start_window_manager
# Half speed: the standing hero has some twelve seconds of play before the flame gets it.
sed -i 's/^difficulty=.*/difficulty=0/' "$WORK/run/settings.conf"
# What the game plays goes to a file, in real time.
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/sound.raw"
start_game_and_wait

# Seconds of processor time the game has used, all its threads together.
processor_seconds() { awk '{ printf "%.2f", ($14 + $15) / 100 }' "/proc/$GAME_PID/stat"; }
iconic() { xprop -id "$WINDOW_ID" WM_STATE | grep -q 'Iconic'; }
# Whether the last half second the game played (16-bit stereo at 44.1 kHz) was silent.
silent() {
  [ "$(stat -c %s "$SDL_DISKAUDIOFILE" 2>/dev/null || echo 0)" -ge $((44100 * 2)) ] || return 1
  local rms
  rms=$(tail -c $((44100 * 2)) "$SDL_DISKAUDIOFILE" |
    sox -t raw -r 44100 -e signed -b 16 -c 2 - -n stat 2>&1 | awk '/RMS +amplitude/ { print $3 }')
  greater 0.001 "$rms"
}

press F2
wait_for_frametime_lines 1 || fail "no frame-time line after F2"

xdotool windowminimize "$WINDOW_ID"
wait_until 30 iconic || fail "the window manager did not minimise the window"
wait_until 30 silent || fail "the game still plays its music and fire while minimised"
lines=$(frametime_lines)
used=$(processor_seconds)
sleep 6 # the time the player is away
away_lines=$(( $(frametime_lines) - lines ))
away_processor=$(awk -v a="$(processor_seconds)" -v b="$used" 'BEGIN { printf "%.2f", a - b }')
# One line may have been on its way when the window went.
[ "$away_lines" -le 1 ] || fail "$away_lines seconds of frames played while minimised"
greater 0.5 "$away_processor" || fail "the minimised game used $away_processor s of processor time in 6 s"
pass "minimised, no frames are played, nothing is heard and the game sleeps ($away_processor s of processor time in 6 s)"

wmctrl -i -a "$WINDOW_ID"
wait_until 30 eval '! iconic' || fail "the window did not come back"
wait_until 30 eval '! silent' || fail "the music and fire did not come back with the window"
back=$(frametime_lines)
wait_for_frametime_lines $((back + 2)) || fail "the game did not go on after the window came back"
longest=$(sed -n 's/^Frametime: \([0-9.e+-]*\) .*/\1/p' "$WORK/out.txt" | tail -n +$((back + 1)) | sort -g | tail -n 1)
greater 2 "$longest" || fail "a frame after the window came back stood for $longest s: the time away was played"
! grep -q '^hero died$' "$WORK/out.txt" || fail "the hero died while the window was minimised"
pass "back from the taskbar, the game goes on where it was (longest frame $longest s)"

quit_with_escape

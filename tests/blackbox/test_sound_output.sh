# What the game plays, recorded through SDL's disk audio driver: the ambient music and the
# flame's fire from the start, and only the fire when music is switched off.
source "$(dirname "$0")/lib.sh"
copy_run_folder
export SDL_AUDIODRIVER=disk

# RMS level of a recording (44.1 kHz, 16-bit stereo, as the game opens the device).
recording_rms() {
  sox -t raw -r 44100 -e signed -b 16 -c 2 "$1" -n stat 2>&1 | awk '/RMS +amplitude/ { print $3 }'
}

# Three seconds of sound as the disk driver writes it, however long the machine takes.
record_run() {
  export SDL_DISKAUDIOFILE="$WORK/$1.raw"
  start_game_and_wait
  wait_until 60 eval '[ "$(stat -c %s "$SDL_DISKAUDIOFILE" 2>/dev/null || echo 0)" -ge $((3 * 44100 * 4)) ]' ||
    fail "less than three seconds of sound recorded in a minute"
  quit_with_escape
}

record_run with_music
grep -qx ' play Ambient' "$WORK/out.txt" || fail "the ambient track was not requested"
music_rms=$(recording_rms "$WORK/with_music.raw")
greater "$music_rms" 0.01 || fail "the recording with music is silent (RMS $music_rms)"
pass "music and fire are heard (RMS $music_rms)"

sed -i 's/^music=true$/music=false/' "$WORK/run/settings.conf"
record_run without_music
! grep -q 'play Ambient' "$WORK/out.txt" || fail "ambient requested with music off"
fire_rms=$(recording_rms "$WORK/without_music.raw")
greater "$fire_rms" 0.001 || fail "the flame's fire is not heard with music off (RMS $fire_rms)"
greater "$music_rms" "$fire_rms" || fail "switching music off did not make the game quieter"
pass "with music off only the effects play (RMS $fire_rms)"

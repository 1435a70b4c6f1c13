# The command that starts the game from its run folder, as GAME. The Windows build's run folder
# holds tindral.exe, started through the Wine runner that TINDRAL_WINE names; the same scripts
# then test it.
if [ -n "${TINDRAL_WINE:-}" ]; then
  GAME=("$TINDRAL_WINE" ./tindral.exe)
else
  GAME=(./tindral)
fi
# Windows has no FIFOs: a case with one there is the missing-file case beside it.
has_fifos() { [ -z "${TINDRAL_WINE:-}" ]; }
# Windows programs end their console lines with CR LF; the checks read them as lines.
console_lines() {
  if [ -n "${TINDRAL_WINE:-}" ]; then sed -u 's/\r$//'; else cat; fi
}

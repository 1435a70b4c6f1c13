#!/usr/bin/env bash
# Runs a program of the Windows build under Wine: CTest's emulator for the cross build, and the
# way to start the Windows game here by hand:
#   tests/windows/wine.sh build-windows/run/tindral.exe
# Wine's own files (its C: drive and registry, the "prefix") are made on the first run and kept
# in the cache folder, or in WINEPREFIX when that is set. Wine's debugging chatter is off, and a
# crashing program ends with its status instead of waiting in a crash dialog.
set -euo pipefail

export WINEPREFIX=${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/tindral/wine}
export WINEDEBUG=${WINEDEBUG:--all}
# No .NET or browser engine: Wine would offer to download them, and nothing here needs them.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree=;mshtml=}

make_prefix() {
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  env -u DISPLAY wineboot --init >/dev/null 2>&1
  env -u DISPLAY wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver --wait
  touch "$WINEPREFIX/.tindral-ready"
}

# Tests run side by side: the first makes the prefix, the others wait for it.
if [ ! -f "$WINEPREFIX/.tindral-ready" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec 9>"$WINEPREFIX.lock"
  flock 9
  [ -f "$WINEPREFIX/.tindral-ready" ] || make_prefix
  flock -u 9
  exec 9>&-
fi

exec wine "$@"

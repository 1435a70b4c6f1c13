#!/usr/bin/env bash
# Runs a program of the Windows build under Wine: CTest's emulator for the cross build, and the
# way to start the Windows game here by hand:
#   tests/windows/wine.sh build-windows/run/tindral.exe
# `wine.sh --prefix` prints the prefix its programs run in (for wineserver, or to find what an
# installer installed).
# Wine's own files (its C: drive and registry, the "prefix") are made on the first run and kept
# in the cache folder, or in WINEPREFIX when that is set. Wine's debugging chatter is off, and a
# crashing program ends with its status instead of waiting in a crash dialog.
set -euo pipefail

base=${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/tindral/wine}
# Wine's own diagnostics stay on: without them a program Wine cannot give a display to ends
# with status 1 and not a word.
export WINEDEBUG=${WINEDEBUG:--all,err+winediag}
# No .NET or browser engine: Wine would offer to download them, and nothing here needs them.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree=;mshtml=}

make_prefix() {
  rm -rf "$base"
  mkdir -p "$base"
  env -u DISPLAY WINEPREFIX="$base" wineboot --init >/dev/null 2>&1
  env -u DISPLAY WINEPREFIX="$base" wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
    /t REG_DWORD /d 0 /f >/dev/null 2>&1
  WINEPREFIX="$base" wineserver --wait
  touch "$base/.tindral-ready"
}

# All programs of one prefix share one Wine session, and a session draws on the X server its
# first program found: a program started for another X server (a test's own screen) gets no
# window. So each X server has a prefix of its own, made from the first one. Wine's programs
# and libraries, nearly all of its 700 MB, are only ever read and are shared as hard links;
# everything else (the registry, .ini files, the temporary folder) is a copy of its own.
make_session() {
  rm -rf "$session"
  cp -al "$base" "$session"
  find "$session" -type f ! \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.drv' -o -iname '*.sys' \
    -o -iname '*.ocx' -o -iname '*.acm' -o -iname '*.cpl' -o -iname '*.tlb' -o -iname '*.ttf' \) \
    -exec sh -c 'for file; do cp -p "$file" "$file.own" && mv "$file.own" "$file"; done' sh {} +
  touch "$session/.tindral-ready"
}

# Tests run side by side: the first makes what is missing, the others wait for it.
ready() { [ -f "$1/.tindral-ready" ] && [ ! "$base/.tindral-ready" -nt "$1/.tindral-ready" ]; }
display=${DISPLAY:-none}
session=$base-sessions/${display//[^A-Za-z0-9.]/_}
if ! ready "$base" || ! ready "$session"; then
  mkdir -p "$(dirname "$base")" "$base-sessions"
  exec 9>"$base.lock"
  flock 9
  [ -f "$base/.tindral-ready" ] || make_prefix
  ready "$session" || make_session
  flock -u 9
  exec 9>&-
fi

export WINEPREFIX=$session
if [ "${1:-}" = --prefix ]; then
  echo "$session"
  exit 0
fi
exec wine "$@"

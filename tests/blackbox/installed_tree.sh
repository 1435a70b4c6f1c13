# Shared by the install and package tests: what an installed Tindral holds. Needs lib.sh.

BUILD_DIR=$(cd "$RUN_DIR/.." && pwd)
SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# Every file and link an install holds, relative to its prefix, sorted. The data is
# whatever the run folder holds, so it follows the game.
expected_installed_files() {
  {
    printf '%s\n' bin/tindral libexec/tindral/tindral share/tindral/settings.conf \
      share/applications/tindral.desktop share/metainfo/io.github.tindral.tindral.metainfo.xml \
      share/man/man6/tindral.6.gz share/doc/tindral/copyright share/doc/tindral/changelog.gz
    for size in 64 128 256; do echo "share/icons/hicolor/${size}x$size/apps/tindral.png"; done
    (cd "$RUN_DIR" && find Tindral -type f | sed 's|^|share/tindral/|')
  } | LC_ALL=C sort
}

# The files and links under folder $1, relative to it, sorted.
files_under() {
  (cd "$1" && find . -type f -o -type l) | sed 's|^\./||' | LC_ALL=C sort
}

# Fails when a file under $1 names the build tree, as a path left in a script or binary would.
nothing_from_build_tree() {
  local found
  found=$(grep -rlF "$BUILD_DIR" "$1" || true)
  [ -z "$found" ] || fail "installed files name the build tree $BUILD_DIR: $found"
}

# Fails unless the tree under prefix $1 holds exactly the expected files.
holds_expected_files() {
  local unexpected
  unexpected=$(diff <(expected_installed_files) <(files_under "$1") || true)
  [ -z "$unexpected" ] || fail "installed tree differs from the expected files (< missing, > extra):
$unexpected"
}

# The build's install_manifest.txt is the player's record for uninstalling (see README); a
# test's own installs must not replace it. Called once, before the first install_into.
keep_install_manifest() {
  MANIFEST="$BUILD_DIR/install_manifest.txt"
  [ -f "$MANIFEST" ] && cp "$MANIFEST" "$WORK/manifest.kept"
  trap 'restore_manifest; cleanup' EXIT
}

restore_manifest() {
  if [ -f "$WORK/manifest.kept" ]; then cp "$WORK/manifest.kept" "$MANIFEST"; else rm -f "$MANIFEST"; fi
}

# Installs the build into prefix $1.
install_into() {
  cmake --install "$BUILD_DIR" --prefix "$1" >"$WORK/install.txt" 2>&1 || fail "cmake --install failed: $(cat "$WORK/install.txt")"
}

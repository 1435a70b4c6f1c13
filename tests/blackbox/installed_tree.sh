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

#!/usr/bin/env bash
# Cross-builds the third-party libraries of the Windows build (x86_64-w64-mingw32) from the
# Debian source packages pinned in dependencies.txt and installs them into one prefix:
#   prefix=$(dist/windows/build-deps.sh | tail -1)
# The prefix lives in the cache under a short hash of the recipe (dependencies.txt, patches/,
# this script, the toolchain file and the compilers), so an unchanged recipe is reused at once
# and a changed one is built anew beside it. Progress goes to stderr; the prefix is the last line
# of stdout. Needs the packages in packages.txt and no root: apt gets its own source list and
# lists folder in the cache for the downloads, and the machine's apt setup is left as it is.
set -euo pipefail
shopt -s inherit_errexit

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
recipe=$here/dependencies.txt
toolchain=$(cd "$here/../.." && pwd)/cmake/mingw-w64-x86_64.cmake
triplet=x86_64-w64-mingw32
cc=$triplet-gcc-posix
cxx=$triplet-g++-posix
jobs=$(nproc)
cache=${TINDRAL_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/tindral}/windows-deps

# Progress goes to the caller's stderr (kept as fd 3) even while a step's output goes to its log.
exec 3>&2
log() { echo "build-deps: $*" >&3; }
die() {
  log "error: $*"
  exit 1
}

# --- The recipe --------------------------------------------------------------------------------

# "name version" for every dependency, in build order; notes and "why:" lines are for people.
recipe_entries() { awk '/^[^#[:space:]]/ { print $1, $2 }' "$recipe"; }

pinned_version() {
  local version
  version=$(recipe_entries | awk -v name="$1" '$1 == name { print $2 }')
  [ -n "$version" ] || die "$1 is not in $recipe"
  echo "$version"
}

# Everything that decides what ends up in the prefix.
recipe_key() {
  {
    cat "$recipe" "${BASH_SOURCE[0]}" "$toolchain"
    (cd "$here" && find patches -type f 2>/dev/null | LC_ALL=C sort | xargs -r sha256sum)
    "$cc" --version | head -1
    "$cxx" --version | head -1
    dpkg-query -W -f='${Package} ${Version}\n' gcc-mingw-w64-x86-64-posix \
      g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 2>/dev/null || true
  } | sha256sum | cut -c1-12
}

# --- Sources from Debian's archive ------------------------------------------------------------

apt_dir=$cache/apt
sources_dir=$cache/sources
apt_opts=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
  -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache")
# As root apt would hand the download to its _apt user, who may not write into a user's cache.
[ "$(id -u)" -ne 0 ] || apt_opts+=(-o APT::Sandbox::User=root)

# The machine's own source list has only binary (deb) lines; this one, used for these calls
# alone, adds the matching deb-src lines. Read once a build, and only if a source is missing.
apt_update_once() {
  [ ! -f "$scratch/apt-updated" ] || return 0
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  local keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  cat >"$apt_dir/sources.list" <<EOF
deb-src [signed-by=$keyring] http://deb.debian.org/debian bookworm main
deb-src [signed-by=$keyring] http://deb.debian.org/debian bookworm-updates main
deb-src [signed-by=$keyring] http://deb.debian.org/debian-security bookworm-security main
EOF
  log "reading the archive's source index"
  apt-get "${apt_opts[@]}" -qq update >&2
  touch "$scratch/apt-updated"
}

# Downloads the pinned source package once; later builds take it from the cache. The download
# lands beside the cache and the .dsc moves in last, so one that was cut off is fetched again.
# Prints the .dsc. With "unsigned": for a source whose upstream signature (.asc) the mirror
# lacks, which makes apt-get source fail, every other file the .dsc lists is checked against
# its SHA-256 sums instead.
fetch_source() {
  local name=$1 signature=${2:-signed} version dsc download=$sources_dir/.download-$1 sum size file
  version=$(pinned_version "$name")
  dsc=$sources_dir/${name}_${version#*:}.dsc
  if [ ! -f "$dsc" ]; then
    apt_update_once
    log "downloading $name $version"
    rm -rf "$download"
    mkdir -p "$download"
    if [ "$signature" = signed ]; then
      (cd "$download" && apt-get "${apt_opts[@]}" -qq source --download-only --only-source "$name=$version") >&2
    else
      (cd "$download" && apt-get "${apt_opts[@]}" -qq source --download-only --only-source "$name=$version") >&2 || true
      [ -f "$download/${dsc##*/}" ] || die "$name $version: no .dsc in the archive"
      while read -r sum size file; do
        [[ $file == *.asc ]] && continue
        echo "$sum  $download/$file" | sha256sum --quiet -c - >&2 || die "$name: $file is missing or damaged"
      done < <(sed -n '/^Checksums-Sha256:/,/^[^ ]/{/^ /p}' "$download/${dsc##*/}")
    fi
    find "$download" -maxdepth 1 -type f ! -name '*.dsc' -exec mv -t "$sources_dir" {} +
    mv "$download/${dsc##*/}" "$dsc"
    rm -rf "$download"
  fi
  echo "$dsc"
}

# Unpacks a source package with Debian's patches applied, then ours from patches/<name>/.
# Prints the source folder.
unpack_source() {
  local name=$1 dsc dir=$scratch/src/$1 patch
  dsc=$(fetch_source "$name")
  rm -rf "$dir"
  mkdir -p "$scratch/src"
  dpkg-source -q -x "$dsc" "$dir" >&2
  install_license "$name" "$dir/debian/copyright"
  for patch in "$here/patches/$name"/*.patch; do
    [ -f "$patch" ] || continue
    log "patching $name: $(head -1 "$patch")"
    patch -s -d "$dir" -p1 <"$patch" >&2
  done
  echo "$dir"
}

# --- Building ----------------------------------------------------------------------------------

# Configures, builds and installs one CMake project into the prefix with the game's own toolchain
# file, so each library finds the ones built before it there and nothing from the build machine.
cmake_install() {
  local name=$1 src=$2 build=$scratch/build/$1
  shift 2
  cmake -S "$src" -B "$build" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DTINDRAL_WINDOWS_DEPS="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=ON "$@"
  cmake --build "$build" -j "$jobs"
  cmake --install "$build"
}

# A Windows release ships these libraries, and with them the notices their licences ask for.
install_license() {
  mkdir -p "$prefix/share/licenses/$1"
  cp "$2" "$prefix/share/licenses/$1/copyright"
}

require_installed() {
  local package=$1 version=$2 installed
  installed=$(dpkg-query -W -f='${Version}' "$package" 2>/dev/null) ||
    die "$package is not installed: install dist/windows/packages.txt"
  [ "$installed" = "$version" ] || die "$package is $installed, the recipe wants $version"
}

# --- One function a dependency, named after its line in dependencies.txt -----------------------

dep_libz_mingw_w64_dev() {
  local version sysroot=/usr/$triplet
  version=$(pinned_version libz-mingw-w64-dev)
  require_installed libz-mingw-w64-dev "$version"
  require_installed libz-mingw-w64 "$version"
  mkdir -p "$prefix/include" "$prefix/lib/pkgconfig" "$prefix/bin"
  cp "$sysroot/include/zlib.h" "$sysroot/include/zconf.h" "$prefix/include/"
  # The import library only, so everything links zlib1.dll rather than a static copy.
  cp "$sysroot/lib/libz.dll.a" "$prefix/lib/"
  cp "$sysroot/lib/zlib1.dll" "$prefix/bin/"
  install_license libz-mingw-w64-dev /usr/share/doc/libz-mingw-w64-dev/copyright
  cat >"$prefix/lib/pkgconfig/zlib.pc" <<EOF
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: zlib
Description: zlib compression library
Version: ${version%%+*}
Libs: -L\${libdir} -lz
Cflags: -I\${includedir}
EOF
}

dep_zlib() {
  # Kept unpacked in the scratch folder for Assimp, which compiles minizip into its DLL.
  unpack_source zlib >/dev/null
}

dep_glfw3() {
  local src
  src=$(unpack_source glfw3)
  cmake_install glfw3 "$src" \
    -DGLFW_BUILD_EXAMPLES=OFF -DGLFW_BUILD_TESTS=OFF -DGLFW_BUILD_DOCS=OFF
}

dep_glew() {
  local src
  src=$(unpack_source glew)
  cmake_install glew "$src/build/cmake" -DBUILD_UTILS=OFF
}

dep_glm() {
  local src
  src=$(unpack_source glm)
  cmake_install glm "$src" -DGLM_TEST_ENABLE=OFF
}

dep_libsdl2() {
  local src
  src=$(unpack_source libsdl2)
  cmake_install libsdl2 "$src" \
    -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=ON
}

dep_mpg123() {
  local dsc src=$scratch/src/mpg123 patch
  dsc=$(fetch_source mpg123 unsigned)
  rm -rf "$src"
  mkdir -p "$src"
  tar -xf "$sources_dir/$(sed -n 's/^ [0-9a-f]\{64\} [0-9]* \(.*\.orig\.tar\.[a-z0-9]*\)$/\1/p' "$dsc")" \
    -C "$src" --strip-components=1
  tar -xf "$sources_dir/$(sed -n 's/^ [0-9a-f]\{64\} [0-9]* \(.*\.debian\.tar\.[a-z0-9]*\)$/\1/p' "$dsc")" -C "$src"
  while read -r patch; do
    patch -s -d "$src" -p1 <"$src/debian/patches/$patch" >&2
  done < <(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$src/debian/patches/series")
  install_license mpg123 "$src/debian/copyright"
  cmake_install mpg123 "$src/ports/cmake" -DBUILD_PROGRAMS=OFF -DBUILD_LIBOUT123=OFF -DNETWORK=OFF
}

dep_libsdl2_mixer() {
  local src off=() format
  for format in CMD FLAC MOD MIDI OPUS VORBIS WAVE; do off+=("-DSDL2MIXER_$format=OFF"); done
  src=$(unpack_source libsdl2-mixer)
  cmake_install libsdl2-mixer "$src" "${off[@]}" \
    -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF \
    -DSDL2MIXER_MP3=ON -DSDL2MIXER_MP3_DRMP3=OFF -DSDL2MIXER_MP3_MPG123=ON -DSDL2MIXER_MP3_MPG123_SHARED=OFF \
    -DCMAKE_C_FLAGS=-D_FILE_OFFSET_BITS=64
}

dep_libjpeg_turbo() {
  local src
  src=$(unpack_source libjpeg-turbo)
  cmake_install libjpeg-turbo "$src" \
    -DWITH_SIMD=OFF -DENABLE_SHARED=ON -DENABLE_STATIC=OFF -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF
  rm -f "$prefix"/bin/{cjpeg,djpeg,jpegtran,rdjpgcom,wrjpgcom}.exe
}

dep_assimp() {
  local src minizip=$scratch/src/zlib/contrib/minizip headers=$scratch/assimp-headers
  src=$(unpack_source assimp)
  log "assimp: reverting Debian's use-system-libdraco.patch"
  patch -s -R -d "$src" -p1 <"$src/debian/patches/use-system-libdraco.patch" >&2
  mkdir -p "$src/contrib/unzip"
  cp "$minizip"/{crypt.h,ioapi.c,ioapi.h,unzip.c,unzip.h} "$src/contrib/unzip/"
  # Debian's patches include these from the system's headers; the cross build must not see
  # /usr/include, so they get a folder of their own.
  mkdir -p "$headers/stb"
  cp -r /usr/include/utf8cpp/. "$headers/"
  cp /usr/include/stb/stb_image.h "$headers/stb/"
  cmake_install assimp "$src" \
    -DCMAKE_C_FLAGS="-isystem $headers" -DCMAKE_CXX_FLAGS="-isystem $headers" \
    -DASSIMP_BUILD_ALL_IMPORTERS_BY_DEFAULT=OFF -DASSIMP_BUILD_OBJ_IMPORTER=ON \
    -DASSIMP_BUILD_ALL_EXPORTERS_BY_DEFAULT=OFF -DASSIMP_NO_EXPORT=ON \
    -DASSIMP_BUILD_TESTS=OFF -DASSIMP_BUILD_ASSIMP_TOOLS=OFF -DASSIMP_BUILD_SAMPLES=OFF \
    -DASSIMP_BUILD_ZLIB=OFF -DASSIMP_BUILD_DRACO=OFF -DASSIMP_INSTALL_PDB=OFF \
    -DASSIMP_WARNINGS_AS_ERRORS=OFF -DASSIMP_IGNORE_GIT_HASH=ON
}

dep_googletest() {
  # Static: only the test executables link it.
  local src
  src=$(unpack_source googletest)
  cmake_install googletest "$src" -DBUILD_SHARED_LIBS=OFF
}

# --- Main --------------------------------------------------------------------------------------

# All in one function, so bash has read the whole script before it runs any of it: a checkout
# that changes this file during a build cannot derail the build.
main() {
  for tool in "$cc" "$cxx" $triplet-windres $triplet-strip cmake ninja dpkg-source apt-get patch; do
    command -v "$tool" >/dev/null || die "$tool is missing: install dist/windows/packages.txt"
  done

  key=$(recipe_key)
  prefix=$cache/$key
  stamp=$prefix/.complete
  scratch=$cache/build-$key

  if [ ! -f "$stamp" ]; then
    mkdir -p "$cache"
    # A second run of the same recipe (another worktree, say) waits here and then reuses the prefix.
    exec 9>"$cache/$key.lock"
    flock 9
  fi
  if [ -f "$stamp" ]; then
    log "reusing $prefix"
    echo "$prefix"
    exit 0
  fi

  # A build that was stopped goes on where it left off: a dependency counts as done only once its
  # install has finished, and the prefix as complete only once all of them have.
  mkdir -p "$prefix" "$scratch/logs"
  started=$SECONDS
  while read -r name version; do
    if [ -f "$scratch/$name.done" ]; then
      log "$name $version: done already"
      continue
    fi
    log "$name $version: building (log: $scratch/logs/$name.log)"
    step_started=$SECONDS
    # Not under "if" or "||": bash would switch off errexit inside the function there.
    set +e
    (set -e && "dep_${name//-/_}") </dev/null >"$scratch/logs/$name.log" 2>&1
    status=$?
    set -e
    if [ "$status" -ne 0 ]; then
      tail -n 40 "$scratch/logs/$name.log" >&2
      die "$name failed; its log is $scratch/logs/$name.log"
    fi
    touch "$scratch/$name.done"
    log "$name: $((SECONDS - step_started)) s"
  done < <(recipe_entries)

  # Only the runtime libraries ship; their symbols are for nobody.
  $triplet-strip --strip-unneeded "$prefix"/bin/*.dll
  find "$prefix/bin" -name '*.dll' -printf 'build-deps: %10s %f\n' | sort -k3 >&2
  touch "$stamp"
  rm -rf "$scratch"
  log "built in $((SECONDS - started)) s"
  echo "$prefix"
}

main "$@"

# `cpack -G DEB` makes the package tindral: it holds exactly what an install under /usr holds,
# nothing from the build tree, and depends on the packages of every library the game links.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/installed_tree.sh"

(cd "$BUILD_DIR" && cpack -G DEB -B "$WORK/package" >"$WORK/cpack.txt" 2>&1) || fail "cpack failed: $(cat "$WORK/cpack.txt")"
debs=("$WORK"/package/tindral_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single tindral_*.deb: ${debs[*]}"
deb=${debs[0]}

[ "$(dpkg-deb -f "$deb" Package)" = tindral ] && [ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "package name or section wrong"
# Started from the menu, the launcher tells its failures as desktop notifications.
[ "$(dpkg-deb -f "$deb" Recommends)" = libnotify-bin ] || fail "the package does not recommend libnotify-bin"
pass "package $(basename "$deb")"

# ---- what it holds --------------------------------------------------------------------------

dpkg-deb -x "$deb" "$WORK/unpacked"
holds_expected_files "$WORK/unpacked/usr"
[ "$(files_under "$WORK/unpacked")" = "$(files_under "$WORK/unpacked/usr" | sed 's|^|usr/|')" ] || fail "package holds files outside /usr"
nothing_from_build_tree "$WORK/unpacked"
# Listed as dpkg will install them: root's, plain files and folders, readable by all.
bad_entries=$(dpkg-deb -c "$deb" | awk '$2 != "root/root" || $1 !~ /^[-d]r.xr-xr-x$|^-rw-r--r--$/')
[ -z "$bad_entries" ] || fail "entries with other owners or modes: $bad_entries"
pass "package holds exactly the installed tree, owned by root, nothing from the build tree"

# ---- its dependencies -----------------------------------------------------------------------

depends=$(dpkg-deb -f "$deb" Depends)
[ -n "$depends" ] || fail "the package has no Depends line"
game="$WORK/unpacked/usr/libexec/tindral/tindral"
needed_libraries() { readelf -d "$game" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'; }
library_path() { ldd "$game" | awk -v soname="$1" '$1 == soname { print $3 }'; }
# dpkg knows a library by the path its package ships, which may be the link or its target.
owning_package() {
  { dpkg -S "$1" 2>/dev/null || dpkg -S "$(readlink -f "$1")"; } | head -n 1 | cut -d: -f1
}
# The package names in Depends, alternatives included, without versions.
depended_packages() { tr ',|' '\n\n' <<<"$depends" | sed 's/^ *//; s/[ (].*//'; }
for soname in $(needed_libraries); do
  path=$(library_path "$soname")
  [ -n "$path" ] || fail "the game's library $soname is not found"
  owner=$(owning_package "$path")
  [ -n "$owner" ] || fail "no package owns $path"
  depended_packages | grep -qxF "$owner" || fail "Depends lacks $owner (for $soname): $depends"
done
pass "Depends covers every library the game links: $depends"

# apt can resolve the dependencies from what is installed or available.
apt-get install --simulate "$deb" >"$WORK/apt.txt" 2>&1 || fail "apt cannot install the package: $(cat "$WORK/apt.txt")"
grep -q '^Inst tindral ' "$WORK/apt.txt" || fail "apt would not install tindral: $(cat "$WORK/apt.txt")"
pass "apt would install it"

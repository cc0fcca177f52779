#!/usr/bin/env bash
# Builds the .deb with CPack into OUT_DIR (emptied first, so the build tree's
# own files stay as they are) and reads it back with dpkg-deb: the packages
# it depends on, and the files, owners and modes inside.
# Then what a Debian maintainer runs before accepting a package: lintian,
# pedantic, and hardening-check on the program.
#   deb.sh BUILD_DIR OUT_DIR VERSION
set -u  # no pipefail: grep -q may end a pipe early, and only its answer counts
build=$1 out=$2 version=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/dpkg_paths.sh"

rm -rf "$out"
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! cpack --config "$build/CPackConfig.cmake" -B "$out" > "$tmp/cpack.log" 2>&1; then
  cat "$tmp/cpack.log"
  echo "FAIL: cpack failed"
  exit 1
fi
rm -rf "$out/_CPack_Packages"  # CPack's staging tree; the .deb holds it all

arch=$(dpkg --print-architecture)
deb=$out/vorarid_${version}_$arch.deb
[ -f "$deb" ] || { ls -l "$out"; echo "FAIL: no $(basename "$deb")"; exit 1; }
dpkg-deb -I "$deb" > "$tmp/info" || { echo "FAIL: dpkg-deb cannot read the package"; exit 1; }
cat "$tmp/info"

field() { dpkg-deb -f "$deb" "$1"; }

# Depends: the package of each library the program links, as
# dpkg-shlibdeps finds them (libqt6gui6 also brings the X11 platform
# plugin), and the Hangul font. The packages come from the libraries, not
# from a list: their names change between releases (libqt6core6 became
# libqt6core6t64 with 64-bit time_t).
# Package names only, one a line: "a (>= 1), b | c" gives a, b, c.
names() { tr ',|' '\n\n' | sed 's/(.*//; s/[[:space:]]//g' | grep -v '^$'; }
depends=$(field Depends)
ldd "$build/vorarid" > "$tmp/ldd" || fail "ldd $build/vorarid"
for lib in $(objdump -p "$build/vorarid" | awk '$1 == "NEEDED" { print $2 }'); do
  path=$(awk -v lib="$lib" '$1 == lib && $2 == "=>" { print $3 }' "$tmp/ldd")
  owners=$(packages_owning "$path")
  [ -n "$owners" ] || { fail "no package owns $lib ($path)"; continue; }
  names <<< "$depends" | grep -qxFf <(echo "$owners") ||
    fail "Depends lacks the package of $lib ($(echo $owners)): $depends"
done
names <<< "$depends" | grep -qxF fonts-nanum || fail "Depends lacks fonts-nanum: $depends"
names <<< "$(field Recommends)" | grep -qxF qt6-translations-l10n ||
  fail "Recommends lacks qt6-translations-l10n: $(field Recommends)"

# Files: the same list as `cmake --install`, owned by root, with plain modes.
dpkg-deb -c "$deb" > "$tmp/contents" || fail "dpkg-deb -c"
grep -v '^#' "$here/installed-files.txt" | sed 's|^|usr/|' | LC_ALL=C sort > "$tmp/expected"
awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' "$tmp/contents" | LC_ALL=C sort > "$tmp/files"
if ! diff -u "$tmp/expected" "$tmp/files" > "$tmp/diff"; then
  fail "package files differ from installed-files.txt (- missing, + unexpected):"
  sed -n '3,$p' "$tmp/diff" | grep '^[-+]'
fi
awk '$2 != "root/root" { print "  " $0 }' "$tmp/contents" > "$tmp/owners"
[ -s "$tmp/owners" ] && { fail "entries not owned by root:"; cat "$tmp/owners"; }
awk '{ mode = $1; path = $6
       want = (mode ~ /^d/ || path == "./usr/games/vorarid") ? "rwxr-xr-x" : "rw-r--r--"
       if (substr(mode, 2) != want) print "  " mode " " path }' "$tmp/contents" > "$tmp/modes"
[ -s "$tmp/modes" ] && { fail "entries with unusual modes:"; cat "$tmp/modes"; }

# The packaged program is stripped; debug information stays in the build tree.
dpkg-deb -x "$deb" "$tmp/x"
program=$tmp/x/usr/games/vorarid
file -b "$program" | grep -q ', stripped' ||
  fail "the packaged program is not stripped: $(file -b "$program")"

# lintian, as pedantic as it gets: no error and no warning. The infos it
# still gives are known (spelling in the embedded picture data, say) and
# shown here.
lintian --pedantic --display-info --tag-display-limit 0 --fail-on error,warning "$deb" > "$tmp/lintian" 2>&1
status=$?
grep -v 'running with root privileges' "$tmp/lintian" | sed 's/^/  lintian: /'
case $status in
  0) ;;
  1) fail "lintian has errors or warnings" ;;
  *) fail "lintian could not check the package (exit status $status)" ;;
esac

# Hardening: each defence that hardening-check can see in a program this
# size (stack clash protection and CET it cannot).
hardening-check "$program" > "$tmp/hardening" 2>&1
sed 's/^/  /' "$tmp/hardening"
for feature in 'Position Independent Executable' 'Stack protected' 'Fortify Source functions' \
               'Read-only relocations' 'Immediate binding'; do
  grep -q "^ $feature: yes" "$tmp/hardening" || fail "hardening-check: '$feature' is not yes"
done

[ "$failures" = 0 ] || exit 1
echo "PASS: $(basename "$deb"), $(stat -c %s "$deb") bytes, $(wc -l < "$tmp/files") files"
echo "Depends: $depends"

#!/usr/bin/env bash
# `cmake --install` into a scratch DESTDIR, as a distribution's packaging
# would run it, then the installed tree looked at from outside: the files,
# and whether they fit together (the desktop entry starts an installed
# program and names an installed icon, the metainfo names the desktop entry,
# the man page renders).
# GAMEDIR is where the build installs the program below the prefix (games
# unless configured otherwise).
#   install_tree.sh BUILD_DIR SOURCE_DIR VERSION GAMEDIR
set -u  # no pipefail: grep -q may end a pipe early, and only its answer counts
build=$1 source=$2 version=$3 gamedir=$4
here=$(cd "$(dirname "$0")" && pwd)
id=io.github.vorarid.Vorarid

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
root=$tmp/root
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! DESTDIR=$root cmake --install "$build" --prefix /usr > "$tmp/install.log" 2>&1; then
  cat "$tmp/install.log"
  echo "FAIL: cmake --install failed"
  exit 1
fi

# Exactly the expected files, all below /usr.
grep -v '^#' "$here/installed-files.txt" | sed "s|^games/|$gamedir/|; s|^|usr/|" | LC_ALL=C sort > "$tmp/expected"
(cd "$root" && find . -type f -o -type l) | sed 's|^\./||' | LC_ALL=C sort > "$tmp/actual"
if ! diff -u "$tmp/expected" "$tmp/actual" > "$tmp/diff"; then
  fail "installed files differ from installed-files.txt (- missing, + unexpected):"
  sed -n '3,$p' "$tmp/diff" | grep '^[-+]'
fi
usr=$root/usr

# The program: an executable that finds its libraries without the build tree.
bin=$usr/$gamedir/vorarid
if [ -f "$bin" ]; then
  [ -x "$bin" ] || fail "$gamedir/vorarid is not executable"
  file -b "$bin" | grep -q '^ELF .*executable' || fail "$gamedir/vorarid is not an ELF program: $(file -b "$bin")"
  if readelf -d "$bin" | grep -E 'R(UN)?PATH' | grep -qF "$(cd "$build" && pwd)"; then
    fail "$gamedir/vorarid still looks for libraries in the build tree: $(readelf -d "$bin" | grep -E 'R(UN)?PATH')"
  fi
fi

# Icons: each PNG as large as the folder it is in says.
for png in "$usr"/share/icons/hicolor/*/apps/$id.png; do
  [ -f "$png" ] || continue
  size=$(basename "$(dirname "$(dirname "$png")")")  # e.g. 48x48
  file -b "$png" | grep -q "^PNG image data, ${size%x*} x ${size#*x}," ||
    fail "icon in $size is $(file -b "$png")"
done
svg=$usr/share/icons/hicolor/scalable/apps/$id.svg
[ -f "$svg" ] && ! file -b "$svg" | grep -q '^SVG' && fail "scalable icon is not SVG: $(file -b "$svg")"

# The desktop entry points at what was installed.
desktop=$usr/share/applications/$id.desktop
if [ -f "$desktop" ]; then
  exec_line=$(sed -n 's/^Exec=//p' "$desktop")
  program=${exec_line%% *}
  [ -x "$usr/$gamedir/$program" ] || fail "Exec=$exec_line: no $program in $gamedir/"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [ "$icon" = "$id" ] || fail "Icon=$icon, not the application id $id"
  ls "$usr"/share/icons/hicolor/*/apps/"$icon".* > /dev/null 2>&1 || fail "Icon=$icon: no such icon installed"
fi
# The metainfo with its desktop entry and icons, as software centres read them.
"$here/validate.sh" tree "$root" > "$tmp/tree.log" 2>&1 || { cat "$tmp/tree.log"; fail "appstreamcli validate-tree"; }
grep -q "<binary>vorarid</binary>" "$usr/share/metainfo/$id.metainfo.xml" 2> /dev/null &&
  [ ! -x "$usr/$gamedir/vorarid" ] && fail "the metainfo provides a binary vorarid that is not installed"

# Whoever raises the project's version raises it everywhere a user reads it.
newest=$(grep -o '<release version="[^"]*"' "$usr/share/metainfo/$id.metainfo.xml" 2> /dev/null | head -n1 | cut -d'"' -f2)
[ "$newest" = "$version" ] || fail "the metainfo's newest release is '$newest', the project is $version"
changelog=$usr/share/doc/vorarid/changelog.gz
if [ -f "$changelog" ]; then
  newest=$(zcat "$changelog" | dpkg-parsechangelog -l - -S Version 2>&1)
  [ "$newest" = "$version" ] || fail "the changelog's newest entry is '$newest', the project is $version"
fi

# The man page: renders without a single warning, Korean included, and has a
# NAME line that whatis/apropos can index.
man=$usr/share/man/man6/vorarid.6.gz
if [ -f "$man" ]; then
  LANG=C.UTF-8 LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$man" > "$tmp/man.txt" 2> "$tmp/man.err"
  if [ -s "$tmp/man.err" ]; then fail "man -l warns:"; cat "$tmp/man.err"; fi
  grep -q '^VORARID(6)' "$tmp/man.txt" || fail "the man page does not render as VORARID(6)"
  grep -q "^Vorarid $version " "$tmp/man.txt" || fail "the man page's footer is not for Vorarid $version"
  grep -q '슬라이딩' "$tmp/man.txt" || fail "the man page's Korean line does not render"
  whatis=$(lexgrog "$man" 2>&1)
  grep -q ': "vorarid - ' <<< "$whatis" || fail "lexgrog finds no NAME line: $whatis"
fi

# The licence texts are the ones in the source tree.
doc=$usr/share/doc/vorarid
for pair in "LICENSES.pictures.txt:src/assets/LICENSES.pictures.txt" \
             "README.pictures.md:src/assets/README.md" "copyright:packaging/copyright"; do
  [ -f "$doc/${pair%%:*}" ] && ! cmp -s "$doc/${pair%%:*}" "$source/${pair#*:}" &&
    fail "doc/vorarid/${pair%%:*} is not ${pair#*:}"
done
grep -q 'CC BY 4.0' "$doc/LICENSES.pictures.txt" 2> /dev/null || fail "no CC BY 4.0 attribution shipped"
# A licence that /usr/share/common-licenses lacks is in the copyright file in
# full (Debian Policy 12.5): the code's MIT licence word for word as LICENSE
# has it, CC BY 4.0 from its heading to its last section.
licence() {  # the stand-alone paragraph "License: $1", as plain text
  awk -v name="$1" '/^License: / { inside = !files && $2 == name } /^Files: / { files = 1 }
                    /^$/ { inside = 0; files = 0 } inside && !/^License: / { sub(/^ /, ""); sub(/^\.$/, ""); print }' \
    "$doc/copyright" 2> /dev/null
}
licence MIT | cmp -s - <(sed -n '/^Permission/,$p' "$source/LICENSE") ||
  fail "the MIT licence in the copyright file is not the text of LICENSE"
for heading in 'Creative Commons Attribution 4.0 International Public License' 'Section 8 -- Interpretation.'; do
  licence CC-BY-4.0 | grep -qxF "$heading" ||
    fail "the copyright file's CC BY 4.0 licence lacks '$heading'"
done

[ "$failures" = 0 ] || exit 1
echo "PASS: $(wc -l < "$tmp/actual") files installed, all in place and consistent"

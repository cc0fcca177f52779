#!/usr/bin/env bash
# Builds the project again from a fresh copy of its sources elsewhere,
# minutes later, with the same SOURCE_DATE_EPOCH (as two clean clones of one
# commit do), and compares each FILE of the first build with the second's of
# its name (for a .deb, made by cpack) byte for byte; one that differs is
# kept in OUT_DIR, for diffoscope. --qt first unpacks static-qt's Qt for
# TARGET into the second tree's qt/; @TREE@ in an option is the second tree.
#   reproducible.sh [--qt TARGET] SOURCE_DIR OUT_DIR EPOCH FILE... -- CMAKE_OPTION...
set -u
qt=
[ "$1" = --qt ] && { qt=$2; shift 2; }
source=$1 out=$2 epoch=$3
shift 3
files=()
while [ "$1" != -- ]; do files+=("$1"); shift; done
shift
tmp=$(mktemp -d /tmp/vorarid-second-build.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$out" && mkdir -p "$out" "$tmp/source"

# What Git tracks or would track, as it is on disk now, uncommitted changes
# included. tar -m gives each file the time it is copied at, as a checkout does.
(cd "$source" && git ls-files -z --cached --others --exclude-standard |
   tar --null --verbatim-files-from -T - --ignore-failed-read -cf - 2> /dev/null) |
  tar -xmf - -C "$tmp/source" || fail "copying the sources"

[ -z "$qt" ] || "$tmp/source/scripts/static-qt" "$qt" "$tmp/build/qt" || fail "unpacking the Qt for $qt"
SOURCE_DATE_EPOCH=$epoch cmake -S "$tmp/source" -B "$tmp/build" "${@//@TREE@/$tmp/build}" > "$tmp/configure.log" 2>&1 ||
  { cat "$tmp/configure.log"; fail "configuring the second tree"; }
cmake --build "$tmp/build" -j 2 > "$tmp/build.log" 2>&1 ||  # the machine is shared with other builds
  { tail -n 50 "$tmp/build.log"; fail "building the second tree"; }

differ=0
for first in "${files[@]}"; do
  second=$tmp/build/$(basename "$first")
  if [[ $first == *.deb ]]; then
    cpack --config "$tmp/build/CPackConfig.cmake" -B "$tmp/deb" > "$tmp/cpack.log" 2>&1 ||
      { cat "$tmp/cpack.log"; fail "cpack in the second tree"; }
    second=$tmp/deb/$(basename "$first")
  fi
  if [ -f "$first" ] && cmp -s "$first" "$second"; then
    echo "ok  $(basename "$first"): the same $(stat -c %s "$first") bytes, sha256 $(sha256sum < "$first" | cut -d' ' -f1)"
  else
    echo "FAIL: $(basename "$first") differs (or is missing); the second build's is in $out"
    cp "$second" "$out/" 2> /dev/null
    differ=1
  fi
done
[ "$differ" -eq 0 ] && echo passed || {
  echo "  (A build tree whose generated files predate its SOURCE_DATE_EPOCH $epoch, one built before the" \
       "tree had one, say, differs until it is built anew: make clean.)"
  exit 1; }

#!/usr/bin/env bash
# Builds the package a second time and compares the two .deb files byte for
# byte. The second tree is a fresh copy of the same sources in a temporary
# directory of its own, so every path and every file time differs from the
# first build's, and it is built minutes after it: none of that may show.
# Both builds take their time from the same SOURCE_DATE_EPOCH, as two clean
# clones of one commit do. On a difference the members that differ are
# named, and the second package is kept in OUT_DIR for diffoscope.
#   reproducible.sh SOURCE_DIR FIRST_DIR OUT_DIR VERSION EPOCH CMAKE_OPTION...
set -u  # no pipefail: grep -q may end a pipe early, and only its answer counts
source=$1 first_dir=$2 out=$3 version=$4 epoch=$5
shift 5
name=vorarid_${version}_$(dpkg --print-architecture).deb
first=$first_dir/$name
[ -f "$first" ] || { echo "FAIL: no $first (the packaging.deb test makes it)"; exit 1; }

tmp=$(mktemp -d /tmp/vorarid-second-build.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$out"
mkdir -p "$out" "$tmp/source"

# The same sources as the first tree: what Git tracks or would track, as it
# is on disk now, uncommitted changes included; the whole tree less its
# builds where there is no Git. tar -m gives each file the time it is
# copied at, as a checkout does.
if git -C "$source" rev-parse --show-toplevel > /dev/null 2>&1; then
  (cd "$source" && git ls-files -z --cached --others --exclude-standard |
     tar --null --verbatim-files-from -T - --ignore-failed-read -cf - 2> /dev/null) |
    tar -xmf - -C "$tmp/source" || fail "copying the sources"
else
  tar -C "$source" --exclude='./build*' -cf - . | tar -xmf - -C "$tmp/source" || fail "copying the sources"
fi

jobs=$(nproc)
[ "$jobs" -gt 2 ] && jobs=2  # the machine is shared with other builds
SOURCE_DATE_EPOCH=$epoch cmake -S "$tmp/source" -B "$tmp/build" "$@" > "$tmp/configure.log" 2>&1 ||
  { cat "$tmp/configure.log"; fail "configuring the second tree"; }
cmake --build "$tmp/build" -j "$jobs" > "$tmp/build.log" 2>&1 ||
  { tail -n 50 "$tmp/build.log"; fail "building the second tree"; }
cpack --config "$tmp/build/CPackConfig.cmake" -B "$tmp/deb" > "$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log"; fail "cpack in the second tree"; }
second=$tmp/deb/$name
[ -f "$second" ] || { ls -l "$tmp/deb"; fail "the second tree made no $name"; }

if cmp -s "$first" "$second"; then
  echo "PASS: $name is the same from $(dirname "$first_dir") and from a copy in $tmp," \
       "$(stat -c %s "$first") bytes, sha256 $(sha256sum < "$first" | cut -d' ' -f1)"
  exit 0
fi

# Which members differ: the ar members, then inside each tar member the
# entries, by content and by the listing (mode, owner, size, time).
cp "$second" "$out/"
echo "FAIL: the two packages differ: $first and $out/$name"
for which in first second; do
  mkdir -p "$tmp/$which" && (cd "$tmp/$which" && ar x "${!which}")
done
for member in $( (ar t "$first"; ar t "$second") | sort -u); do
  cmp -s "$tmp/first/$member" "$tmp/second/$member" && continue
  echo "  $member differs"
  case $member in
    *.tar*)
      for which in first second; do
        mkdir -p "$tmp/$which.$member"
        tar -xf "$tmp/$which/$member" -C "$tmp/$which.$member" 2> /dev/null
        tar -tvf "$tmp/$which/$member" 2> /dev/null > "$tmp/$which.$member.list"
      done
      diff -rq "$tmp/first.$member" "$tmp/second.$member" 2>&1 |
        sed -n "s|^Files $tmp/first.$member/\(.*\) and .* differ\$|    \1|p; s|^Only in $tmp/\([a-z]*\)\.$member/*|    only in the \1 package: |p"
      diff "$tmp/first.$member.list" "$tmp/second.$member.list" | grep '^[<>]' | sed 's/^/    /'
      ;;
  esac
done
command -v diffoscope > /dev/null && echo "  diffoscope $first $out/$name shows how"
echo "  (A build tree whose generated files predate its SOURCE_DATE_EPOCH $epoch, one" \
     "built before the tree had one, say, differs until it is built anew: make clean.)"
exit 1

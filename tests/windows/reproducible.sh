#!/usr/bin/env bash
# Builds the Windows download a second time and compares the program, the
# zip and the installer byte for byte with the first build's. The second
# tree is a fresh copy of the same sources in a temporary directory of its
# own, with the Windows Qt unpacked into it anew, built minutes after the
# first: no path and no time may show. Both take their time from the same
# SOURCE_DATE_EPOCH, as two clean clones of one commit do. A file that
# differs is kept in OUT_DIR, for diffoscope.
#   reproducible.sh SOURCE_DIR FIRST_DIR OUT_DIR EPOCH FILE...
set -u
source=$1 first=$2 out=$3 epoch=$4
shift 4
tmp=$(mktemp -d /tmp/vorarid-second-windows-build.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$out"
mkdir -p "$out" "$tmp/source"

# What Git tracks or would track, as it is on disk now.
(cd "$source" && git ls-files -z --cached --others --exclude-standard |
   tar --null --verbatim-files-from -T - --ignore-failed-read -cf - 2> /dev/null) |
  tar -xmf - -C "$tmp/source" || fail "copying the sources"

"$tmp/source/scripts/static-qt" windows "$tmp/build/qt" || fail "unpacking the Windows Qt"
SOURCE_DATE_EPOCH=$epoch cmake -S "$tmp/source" -B "$tmp/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  --toolchain "$tmp/source/cmake/windows-x86_64.toolchain.cmake" \
  -DCMAKE_PREFIX_PATH="$tmp/build/qt" -DCMAKE_FIND_ROOT_PATH="$tmp/build/qt" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
  -DBUILD_TESTING=OFF > "$tmp/configure.log" 2>&1 || { cat "$tmp/configure.log"; fail "configuring the second tree"; }
cmake --build "$tmp/build" -j 2 > "$tmp/build.log" 2>&1 || { tail -n 50 "$tmp/build.log"; fail "building the second tree"; }

differ=0
for file in "$@"; do
  if cmp -s "$first/$file" "$tmp/build/$file"; then
    echo "ok  $file: the same $(stat -c %s "$first/$file") bytes"
  else
    echo "FAIL: $file differs"
    cp "$tmp/build/$file" "$out/"
    differ=1
  fi
done
[ "$differ" -eq 0 ] && echo passed || { echo "the second build's files are in $out"; exit 1; }

#!/usr/bin/env bash
# The two package lists hold what they say. A player's `make run` installs
# the first one alone, so it must bring every Debian package the built game
# needs at run time: those of the libraries ldd names (the game's and the X11
# platform plugin's), of the plugin itself, of a Hangul font and of Qt's
# Korean texts, itself or through their dependencies; and those of the
# tools the build runs. And it must hold nothing that only the tests use:
# each of its packages has a file that the build uses or that the game
# needs. Whatever else the tests want goes in the second list, which adds
# to the first and repeats none of it.
#   package_lists.sh GAME USES RUN_LIST TEST_LIST
# USES has one "build FILE" or "run FILE" a line; FILE is a path or a
# program on PATH.
set -u  # no pipefail: grep -q may end a pipe early, and only its answer counts
game=$1 uses=$2 run_list=$3 test_list=$4
. "$(dirname "$0")/dpkg_paths.sh"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
entries() { sed 's/#.*//; s/[[:space:]]//g; /^$/d' "$1"; }

# "WHY<tab>FILE" lines in, "WHY<tab>PACKAGE" lines out, one a package that
# owns some spelling of FILE; FILE that no package owns gives "WHY<tab>".
owners() {
  local why file
  : > "$tmp/spellings"
  while IFS=$'\t' read -r why file; do
    spellings "$file" | sed "s|^|$why\t$file\t|" >> "$tmp/spellings"
  done
  cut -f3 "$tmp/spellings" | sort -u | xargs -r dpkg-query -S 2> /dev/null |
    grep -v '^diversion ' | sed 's/: /\t/' > "$tmp/owned"  # "pkg:arch, pkg2<tab>path"
  awk -F'\t' 'NR == FNR { split($1, p, ", "); for (i in p) { sub(/:.*/, "", p[i]); owner[$2] = owner[$2] " " p[i] } next }
              { key = $1 "\t" $2; if (!(key in seen)) seen[key] = ""
                n = split(owner[$3], p, " "); for (i = 1; i <= n; i++) seen[key] = seen[key] " " p[i] }
              END { for (key in seen) { split(key, k, "\t"); n = split(seen[key], p, " ")
                                        if (n == 0) print k[1] "\t"; for (i = 1; i <= n; i++) print k[1] "\t" p[i] } }' \
    "$tmp/owned" "$tmp/spellings" | sort -u
}

# What the game needs at run time, and why.
: > "$tmp/run-files"
plugin=''
while read -r kind file; do
  [ -n "$file" ] || continue
  case $file in /*) ;; *) file=$(command -v "$file") || { fail "$kind program $file is not installed"; continue; } ;; esac
  [ -e "$file" ] || { fail "$kind file $file does not exist"; continue; }
  printf '%s\t%s\n' "$kind" "$file" >> "$tmp/uses"
  [ "$kind" = run ] && printf 'the game loads %s\t%s\n' "$file" "$file" >> "$tmp/run-files"
  case $file in */platforms/*.so) plugin=$file ;; esac
done < "$uses"
[ -n "$plugin" ] || fail "$uses names no platform plugin"
for elf in "$game" $plugin; do
  ldd "$elf" > "$tmp/ldd" || { fail "ldd $elf"; continue; }
  grep 'not found' "$tmp/ldd" && fail "$elf lacks libraries"
  awk -v who="$(basename "$elf")" '$2 == "=>" && $3 ~ /^\// { print who " links " $1 "\t" $3 }' "$tmp/ldd" >> "$tmp/run-files"
done
owners < "$tmp/run-files" > "$tmp/run-needs"
awk -F'\t' '$2 == "" { print "FAIL: no package owns what " $1 }' "$tmp/run-needs" | tee "$tmp/unowned"
[ -s "$tmp/unowned" ] && failures=$((failures + 1))
fc-list :lang=ko file | sed 's/: *$//' | sed 's/^/a Hangul font\t/' | owners | awk -F'\t' '$2 != ""' > "$tmp/fonts"
[ -s "$tmp/fonts" ] || fail "no installed package has a Hangul font (fc-list :lang=ko)"

# The first list with all it brings along.
entries "$run_list" > "$tmp/run-list"
entries "$test_list" > "$tmp/test-list"
xargs apt-cache depends --recurse --installed --no-recommends --no-suggests --no-conflicts \
      --no-breaks --no-replaces --no-enhances < "$tmp/run-list" 2> "$tmp/apt.err" |
  grep -v '^[[:space:]<]' | sed 's/:.*//' | sort -u > "$tmp/brought"
[ -s "$tmp/brought" ] || { cat "$tmp/apt.err"; fail "apt-cache depends lists nothing for $run_list"; }

# Every file the build uses or the game needs comes with one of them.
owners < <(awk '$1 == "build" { print "the build uses " $2 "\t" $2 }' "$tmp/uses") > "$tmp/build-needs"
awk -F'\t' 'NR == FNR { brought[$1] = 1; next }
            $2 != "" { owners[$1] = owners[$1] (owners[$1] == "" ? "" : " or ") $2; if ($2 in brought) ok[$1] = 1 }
            END { for (why in owners) if (!(why in ok) && !shown[owners[why]]++) print "  " owners[why] " (" why ")" }' \
  "$tmp/brought" "$tmp/run-needs" "$tmp/build-needs" | sort > "$tmp/missing"
if [ -s "$tmp/missing" ]; then
  fail "what building or playing needs that $(basename "$run_list") does not bring:"
  cat "$tmp/missing"
fi
cut -f2 "$tmp/fonts" | grep -qxFf - "$tmp/brought" ||
  fail "$(basename "$run_list") brings no Hangul font; installed ones are in: $(cut -f2 "$tmp/fonts" | sort -u | xargs)"

# Each package of the first list is there for the build or for the game.
cut -f2 "$tmp/build-needs" "$tmp/run-needs" "$tmp/fonts" | sort -u > "$tmp/needed"
while read -r pkg; do
  grep -qxF "$pkg" "$tmp/needed" ||
    fail "$pkg is in $(basename "$run_list"), but neither building nor playing uses it (tests only? then $(basename "$test_list"))"
done < "$tmp/run-list"
while read -r pkg; do
  grep -qxF "$pkg" "$tmp/run-list" && fail "$pkg is in both lists; $(basename "$test_list") only adds"
done < "$tmp/test-list"

[ "$failures" = 0 ] || exit 1
echo "PASS: $(basename "$run_list") ($(wc -l < "$tmp/run-list") packages, $(wc -l < "$tmp/brought") with what they bring)" \
     "brings the tools the build runs, all $(cut -f2 "$tmp/run-needs" | sort -u | wc -l) packages the game needs at run time" \
     "and a Hangul font ($(cut -f2 "$tmp/fonts" | sort -u | xargs)), and holds nothing only the tests use"

#!/usr/bin/env bash
# The Windows download holds what Windows and its player expect of it.
#   program.sh EXE ZIP MSI
# The program, as its header says: a 64-bit GUI program that needs no DLL
# beyond Windows' own, with ASLR over the whole 64-bit range and data that
# is never run (NX), no link time, and its manifest. The zip: the program,
# the read-me and the licences. The installer: for the current user with
# no administrator asked for, the Start menu shortcut, the installed apps'
# icon and size, and the package code it was given.
set -u  # no pipefail: grep -q may end a pipe early, and only its answer counts
exe=$1 zip=$2 msi=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok  $*"; }

header=$(x86_64-w64-mingw32-objdump -p "$exe")
field() { awk -v name="$1" '$1 == name { print $2; exit }' <<< "$header"; }
[ "$(field Magic)" = 020b ] && ok "PE32+: a 64-bit program" || fail "not PE32+: Magic $(field Magic)"
[ "$(field Subsystem)" = 00000002 ] && ok "Windows GUI subsystem" || fail "subsystem $(field Subsystem)"
for flag in DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT; do
  grep -qw "$flag" <<< "$header" && ok "DllCharacteristics has $flag" || fail "no $flag in DllCharacteristics"
done
grep -q 'Time/Date[[:space:]]*Thu Jan  1 00:00:00 1970' <<< "$header" && ok "no link time" ||
  fail "a link time: $(grep 'Time/Date' <<< "$header" | head -1)"

# Windows' own DLLs: the system's and its API sets, none of a compiler or of Qt.
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<< "$header" | tr 'A-Z' 'a-z' | sort -u)
foreign=$(grep -vxE 'advapi32|authz|comdlg32|d3d9|d3d11|dwmapi|dxgi|gdi32|imm32|kernel32|msvcrt|netapi32|ole32|oleaut32|shcore|shell32|shlwapi|user32|userenv|uxtheme|version|winmm|ws2_32|wtsapi32|api-ms-win-[a-z0-9-]+' \
          <<< "$(sed 's/\.dll$//' <<< "$dlls")")
[ -z "$foreign" ] && ok "imports $(wc -l <<< "$dlls") DLLs, all Windows' own" || fail "imports other DLLs: $foreign"

# The manifest, as its resource holds it.
manifest=$(strings -n 8 "$exe" | sed -n '/<assembly/,/<\/assembly>/p')
for needle in 'level="asInvoker"' '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}' 'PerMonitorV2' '>UTF-8<'; do
  grep -qF "$needle" <<< "$manifest" && ok "manifest: $needle" || fail "manifest lacks $needle"
done

listing=$(unzip -Z1 "$zip")
for file in vorarid.exe README.txt LICENSES/MIT.txt LICENSES/pictures.txt LICENSES/CC-BY-4.0.txt \
            LICENSES/Qt/LGPL-3.0-only.txt LICENSES/Qt/GPL-3.0-only.txt LICENSES/Qt/copyright.txt LICENSES/Qt/SOURCE.txt; do
  grep -qxF "$file" <<< "$listing" && ok "zip holds $file" || fail "zip lacks $file"
done
unzip -p "$zip" vorarid.exe | cmp -s - "$exe" && ok "zip's vorarid.exe is the program" || fail "zip's vorarid.exe differs"
grep -q "Attribution 4.0 International" <(unzip -p "$zip" LICENSES/CC-BY-4.0.txt) &&
  ok "CC BY 4.0 in full" || fail "LICENSES/CC-BY-4.0.txt is not CC BY 4.0"
[ "$(unzip -p "$zip" README.txt | head -c 1000 | grep -c $'\r$')" -gt 0 ] &&
  ok "texts end their lines with CR LF" || fail "README.txt has Unix line ends"

summary=$(msiinfo suminfo "$msi")
# Word count bit 3: no elevated privileges needed.
source=$(sed -n 's/^Source: \([0-9]*\).*/\1/p' <<< "$summary")
(( source & 8 )) && ok "installs without an administrator (word count $source)" || fail "word count $source"
properties=$(msiinfo export "$msi" Property)
grep -qP '^ALLUSERS\t' <<< "$properties" && fail "ALLUSERS set: not for the current user only" ||
  ok "for the current user only (no ALLUSERS)"
for property in ARPPRODUCTICON ARPSIZE Manufacturer ProductVersion UpgradeCode; do
  grep -qP "^$property\t." <<< "$properties" && ok "property $property" || fail "no property $property"
done
grep -qP '\tProgramMenuFolder\tVorarid\t' <(msiinfo export "$msi" Shortcut) && ok "Start menu shortcut Vorarid" ||
  fail "no Start menu shortcut"
grep -q '^Revision number (UUID): {[0-9A-F-]*}' <<< "$summary" && ok "package code $(sed -n 's/^Revision number (UUID): //p' <<< "$summary")" ||
  fail "no package code"

[ "$failures" -eq 0 ] && echo "passed" || { echo "$failures failures"; exit 1; }

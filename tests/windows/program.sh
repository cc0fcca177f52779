#!/usr/bin/env bash
# What a Windows player would meet before the game runs.
#   program.sh EXE ZIP
# The program: a 64-bit GUI program (a console program opens a console
# window beside the game), with ASLR over the whole 64-bit range and data
# that is never run (NX), that needs no DLL beyond Windows' own (a missing
# DLL stops it before its first window), with its icon at every size. The zip: that very program, and a
# read-me that Notepad shows line by line (CR LF).
set -u  # no pipefail: grep -q may end a pipe early, and only its answer counts
exe=$1 zip=$2
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

# Windows' own DLLs: the system's and its API sets, none of a compiler or of Qt.
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<< "$header" | tr 'A-Z' 'a-z' | sort -u)
foreign=$(grep -vxE 'advapi32|authz|comdlg32|d3d9|d3d11|dwmapi|dxgi|gdi32|imm32|kernel32|msvcrt|netapi32|ole32|oleaut32|shcore|shell32|shlwapi|user32|userenv|uxtheme|version|winmm|ws2_32|wtsapi32|api-ms-win-[a-z0-9-]+' \
          <<< "$(sed 's/\.dll$//' <<< "$dlls")")
[ -z "$foreign" ] && ok "imports $(wc -l <<< "$dlls") DLLs, all Windows' own" || fail "imports other DLLs: $foreign"

# Its icon, at every size Windows shows it: else Windows scales a smaller one up.
sizes=$(wrestool -x -t 14 "$exe" | icotool -l - | sed -n 's/.*--width=\([0-9]*\).*--bit-depth=32.*/\1/p' | sort -n | xargs)
[ "$sizes" = "16 20 24 32 40 48 64 96 128 256" ] && ok "icon in 32 bits at $sizes px" || fail "icon sizes: $sizes"

unzip -p "$zip" vorarid.exe | cmp -s - "$exe" && ok "zip's vorarid.exe is the program" || fail "zip's vorarid.exe differs"
[ "$(unzip -p "$zip" README.txt | head -c 1000 | grep -c $'\r$')" -gt 0 ] &&
  ok "README.txt ends its lines with CR LF" || fail "README.txt has Unix line ends"

[ "$failures" -eq 0 ] && echo "passed" || { echo "$failures failures"; exit 1; }

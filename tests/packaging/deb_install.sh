#!/usr/bin/env bash
# Installs the .deb that deb.sh built with apt, as a user would, starts the
# game as the desktop's menu would, from the desktop entry's Exec line on a
# player's PATH, under a private X server until its main window shows, and
# purges the package again, so the machine is left as it was.
# Needs root; skips (exit 77) otherwise, and when vorarid is installed
# already, which this test must not replace.
#   deb_install.sh DEB_DIR VERSION
set -u  # no pipefail: grep -q may end a pipe early, and only its answer counts
dir=$1 version=$2
skip() { echo "SKIP: $*"; exit 77; }
installed() { [ "$(dpkg-query -W -f='${Status}' vorarid 2> /dev/null)" = "install ok installed" ]; }

[ "$(id -u)" = 0 ] || skip "installing a package needs root"
installed && skip "vorarid is installed on this machine already; not replacing it"
deb=$(cd "$dir" && pwd)/vorarid_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "FAIL: no $deb (the packaging.deb test makes it)"; exit 1; }

export DEBIAN_FRONTEND=noninteractive
apt=(apt-get -q -y -o DPkg::Lock::Timeout=120)
tmp=$(mktemp -d)
chmod 755 "$tmp"
did_install=no game_pid='' xvfb_pid=''
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2> /dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2> /dev/null
  if [ "$did_install" = yes ] && installed; then
    timeout 300 "${apt[@]}" purge vorarid > "$tmp/purge.log" 2>&1 || cat "$tmp/purge.log"
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
fail() { echo "FAIL: $*"; exit 1; }

# Everything the package needs is in scripts/debian-packages.txt (what
# playing needs), so apt must not have to fetch anything: were it to, the
# purge at the end would leave those packages behind.
timeout 120 "${apt[@]}" -s install "$deb" > "$tmp/simulate.log" 2>&1 ||
  { cat "$tmp/simulate.log"; fail "apt-get cannot install the package"; }
others=$(sed -n 's/^Inst \([^ ]*\).*/\1/p' "$tmp/simulate.log" | grep -vx vorarid)
[ -z "$others" ] || fail "installing vorarid would pull in packages missing from scripts/debian-packages.txt: $others"

did_install=yes
timeout 300 "${apt[@]}" install "$deb" > "$tmp/install.log" 2>&1 ||
  { cat "$tmp/install.log"; fail "apt-get install"; }
installed || fail "dpkg does not list vorarid as installed"
program=/usr/games/vorarid
[ -x "$program" ] || fail "no $program"
missing=$(ldd "$program" | grep 'not found')
[ -z "$missing" ] || fail "libraries not found: $missing"

# The PATH a player logs in with (root's has no games directory), and on it
# the program that the desktop entry's Exec line names.
player_path=$(sed -n 's/^ENV_PATH[[:space:]]*PATH=//p' /etc/login.defs)
[ -n "$player_path" ] || fail "/etc/login.defs gives players no PATH (ENV_PATH)"
entry=/usr/share/applications/io.github.vorarid.Vorarid.desktop
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[ -n "$exec_line" ] || fail "$entry has no Exec line"
read -r -a command <<< "$exec_line"
found=$(PATH=$player_path command -v "${command[0]}")
[ "$found" = "$program" ] || fail "Exec=$exec_line finds '$found' on the player's PATH ($player_path), not $program"

# A private X server on a display Xvfb picks itself.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> "$tmp/display" 2> "$tmp/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
[ -s "$tmp/display" ] || { cat "$tmp/xvfb.log"; fail "Xvfb did not start"; }
export DISPLAY=":$(head -n1 "$tmp/display")"
export XDG_RUNTIME_DIR=$tmp/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

env PATH="$player_path" "${command[@]}" > "$tmp/game.log" 2>&1 &
game_pid=$!
window=$(timeout 30 xdotool search --sync --name '^Vorarid  $' 2> /dev/null | head -n1)
[ -n "$window" ] || { cat "$tmp/game.log"; fail "no window named 'Vorarid  ' within 30 s"; }
[ "$(readlink "/proc/$game_pid/exe")" = "$program" ] || fail "the window is not from $program"

# Desktops match windows to their launcher by WM_CLASS.
wm_class=$(xprop -id "$window" WM_CLASS | sed -n 's/.*= "[^"]*", "\([^"]*\)"$/\1/p')
startup_class=$(sed -n 's/^StartupWMClass=//p' /usr/share/applications/io.github.vorarid.Vorarid.desktop)
[ "$wm_class" = "$startup_class" ] || fail "the window's WM_CLASS is '$wm_class', the desktop entry says '$startup_class'"
# The font the package depends on is the one the game finds.
grep -q 'no Hangul font' "$tmp/game.log" && { cat "$tmp/game.log"; fail "the game finds no Hangul font"; }

kill "$game_pid"
wait "$game_pid" 2> /dev/null
game_pid=''

timeout 300 "${apt[@]}" purge vorarid > "$tmp/purge.log" 2>&1 || { cat "$tmp/purge.log"; fail "apt-get purge"; }
installed && fail "vorarid is still installed after the purge"
[ -e "$program" ] && fail "$program is still there after the purge"
echo "PASS: installed with apt, Exec=$exec_line started $program, window 'Vorarid  ' ($wm_class), purged again"

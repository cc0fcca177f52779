#!/usr/bin/env bash
# The real program in a real X server: the main window appears at its place
# with its size, and 끝내기 ends the program with exit code 0.
#   real_window.sh VORARID [openbox]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/x-session.sh"
game=$1
start_x_session "${2:-}" || exit 1

"$game" 2> "$X_TMP/game.log" &
GAME_PID=$!
id=$(wait_for_window '^Vorarid  $') || fail "no window named 'Vorarid  '"
sleep 0.5  # let a window manager finish framing it
read -r x y w h < <(outer_geometry "$id")
echo "window $id: outer top-left $x,$y; client ${w}x$h"
[ "$x,$y" = "267,133" ] || fail "outer top-left is $x,$y, not 267,133 (4000, 2000 twips)"
[ "$w" = 242 ] || fail "client width is $w, not 242"
# The client area is 289 px below a menu bar of the style's height.
[ "$h" -gt 289 ] && [ "$h" -lt 330 ] || fail "client height $h is not 289 plus a menu bar"

# 끝내기 is the last item of the first menu: open 시작 by a click, wrap up to it, choose it.
read -r cx cy < <(xwininfo -id "$id" | sed -n 's/.*Absolute upper-left [XY]: *//p' | tr '\n' ' ')
xdotool mousemove $((cx + 15)) $((cy + 9)) click 1
sleep 0.5
xdotool key Up Return
wait_for_exit "$GAME_PID" || fail "the program is still running after 끝내기"
[ "$EXIT_STATUS" = 0 ] || fail "exit code $EXIT_STATUS after 끝내기"
echo "PASS: window placed and sized, 끝내기 ended the program with exit code 0"

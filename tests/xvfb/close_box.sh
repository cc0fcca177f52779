#!/usr/bin/env bash
# Closing the main window with the window manager's close command ends the
# whole program, the open help window with it, with exit code 0.
#   close_box.sh VORARID
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/x-session.sh"
start_x_session openbox || exit 1

"$1" 2> "$X_TMP/game.log" &
GAME_PID=$!
main=$(wait_for_window '^Vorarid  $') || fail "no main window"
sleep 0.5
read -r cx cy < <(xwininfo -id "$main" | sed -n 's/.*Absolute upper-left [XY]: *//p' | tr '\n' ' ')
xdotool mousemove $((cx + 50)) $((cy + 9)) click 1   # the 도움말 menu
sleep 0.5
xdotool key Down Return
wait_for_window '^도움말$' > /dev/null || fail "the help window did not open"

xdotool windowactivate --sync "$main"
xdotool key alt+F4   # openbox's close command for the active window
wait_for_exit "$GAME_PID" || fail "the program is still running after its main window was closed"
[ "$EXIT_STATUS" = 0 ] || fail "exit code $EXIT_STATUS"
echo "PASS: closing the main window ended the program (exit code 0), help window and all"

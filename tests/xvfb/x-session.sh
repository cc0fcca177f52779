# Sourced by the tests that need a real X server: starts a private Xvfb (and
# a window manager when asked) and cleans up on exit.
#   start_x_session [openbox]
# sets DISPLAY and XDG_RUNTIME_DIR for the rest of the script.

x_session_cleanup() {
    [ -n "${X_WM_PID:-}" ] && kill "$X_WM_PID" 2>/dev/null
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
    [ -n "${X_TMP:-}" ] && rm -rf "$X_TMP"
    return 0
}

start_x_session() {
    X_TMP=$(mktemp -d)
    trap 'x_session_cleanup' EXIT
    # -displayfd: Xvfb picks a free display itself, so parallel tests never race.
    Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp > "$X_TMP/display" 2> "$X_TMP/xvfb.log" &
    XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$X_TMP/display" ] && break
        sleep 0.1
    done
    [ -s "$X_TMP/display" ] || { echo "Xvfb did not start"; cat "$X_TMP/xvfb.log"; return 1; }
    export DISPLAY=":$(head -n1 "$X_TMP/display")"
    export XDG_RUNTIME_DIR="$X_TMP/runtime"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM
    if [ "${1:-}" = openbox ]; then
        openbox > "$X_TMP/openbox.log" 2>&1 &
        X_WM_PID=$!
        # The window manager is up once it owns the screen's selection.
        for _ in $(seq 50); do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
            sleep 0.1
        done
    fi
}

# Waits (up to 30 s, for a loaded machine) for a window whose name matches
# the regular expression; prints its id.
wait_for_window() {
    local pattern=$1 id
    for _ in $(seq 300); do
        id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# The outer top-left corner of a window (its frame's, when a window manager
# frames it) and its client size: "x y width height".
outer_geometry() {
    local id=$1 info left top right bottom
    info=$(xwininfo -id "$id")
    local x y w h
    x=$(sed -n 's/.*Absolute upper-left X: *//p' <<< "$info")
    y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<< "$info")
    w=$(sed -n 's/.*Width: *//p' <<< "$info")
    h=$(sed -n 's/.*Height: *//p' <<< "$info")
    read -r left right top bottom < <(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null |
        sed -n 's/.*= *//p' | tr -d ',') || true
    echo "$((x - ${left:-0})) $((y - ${top:-0})) $w $h"
}

# Waits up to five seconds for a child process to end and sets EXIT_STATUS;
# fails while it is still running.
wait_for_exit() {
    local pid=$1
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && return 1
    wait "$pid"
    EXIT_STATUS=$?
}

# Ends a test: says why, shows what the program (GAME_PID, writing to
# $X_TMP/game.log) printed, and stops it.
fail() {
    echo "FAIL: $*"
    echo "--- the program's stderr:"; cat "$X_TMP/game.log" 2>/dev/null
    [ -n "${GAME_PID:-}" ] && kill "$GAME_PID" 2>/dev/null
    exit 1
}

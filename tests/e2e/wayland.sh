#!/usr/bin/env bash
# In a Wayland session the program runs through XWayland where the session offers it, so that it
# can still place itself at the top edge; without XWayland it runs as a Wayland window. The
# session is a headless weston with XWayland. Where the X11 window lands is up to the
# compositor's window management (weston's own places new windows itself, under load at least),
# so this checks that the program is an X11 client at its design size, not its position.
source "$(dirname "$0")/lib.sh" "$@"

export XDG_RUNTIME_DIR="$DIR/xdg"
mkdir -p "$XDG_RUNTIME_DIR"
chmod 0700 "$XDG_RUNTIME_DIR"
weston --backend=headless-backend.so --xwayland --socket=wayland-zentavo --idle-time=0 \
    --width=1280 --height=800 >"$DIR/weston.log" 2>&1 &
WM_PID=$!
weston_ready() { grep -q 'xserver listening on display' "$DIR/weston.log"; }
expect_within 20 "weston did not start" weston_ready
export WAYLAND_DISPLAY=wayland-zentavo
DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$DIR/weston.log" | head -n1)
export DISPLAY
[[ -n $DISPLAY ]] || fail "weston named no X display"

create_database
cp "$E2E_PROGRAM" "$APP/zentavo"

# With XWayland: an X11 window, at its design size.
(cd "$APP" && exec env -u QT_QPA_PLATFORM ./zentavo >/dev/null 2>"$DIR/zentavo.stderr") &
APP_PID=$!
ids=$(timeout 20 xdotool search --sync --onlyvisible --name '^Zentavo 1.0$' 2>/dev/null) ||
    fail "no X11 window 'Zentavo 1.0' appeared through XWayland"
WIN=$(head -n1 <<<"$ids")

assert_eq 353 "$(window_width)" "window width through XWayland"
assert_eq 17 "$(window_height)" "window height through XWayland"
kill_pid "$APP_PID"

# Without XWayland: still runs, as a Wayland client.
(cd "$APP" && exec env -u QT_QPA_PLATFORM -u DISPLAY ./zentavo >/dev/null \
    2>"$DIR/zentavo.stderr") &
APP_PID=$!
sleep 2 # nothing to wait for: the check is that it keeps running
app_running || fail "without XWayland the program did not keep running: $(cat "$DIR/zentavo.stderr")"
if grep -qi 'could not connect\|no qt platform plugin' "$DIR/zentavo.stderr"; then
    fail "without XWayland: $(cat "$DIR/zentavo.stderr")"
fi
exit 0

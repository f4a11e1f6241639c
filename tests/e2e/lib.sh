# shellcheck shell=bash
# The layout constants and APP_STATUS are read by the scripts that source this file.
# shellcheck disable=SC2034
# Shared helpers for the end-to-end tests. Each test script sources this file with the paths of
# zentavo and zentavo-newdb as its two arguments:
#
#   source "$(dirname "$0")/lib.sh" "$@"
#
# Every test runs in a private folder holding a copy of the program beside its own memo.mdb, on
# its own X server with a real window manager, so several tests can run side by side. All it
# starts is stopped again when the script exits, whatever the outcome.
#
# Helpers print nothing unless something goes wrong; a failure prints what was expected to
# stderr and ends the script with status 1.

set -euo pipefail
# A command of the test script that fails where no check expects it still says which one it was.
trap 'echo "FAIL [${E2E_NAME:-e2e}]: line $LINENO: \"$BASH_COMMAND\" failed" >&2' ERR
# Text is handled as UTF-8 characters, whatever the caller's locale.
export LC_ALL=C.UTF-8

if [[ $# -lt 2 || ! -x $1 || ! -x $2 ]]; then
    echo "usage: $0 PATH/TO/zentavo PATH/TO/zentavo-newdb" >&2
    exit 2
fi

E2E_NAME=$(basename "$0" .sh)
E2E_PROGRAM=$(realpath "$1")
E2E_NEWDB=$(realpath "$2")

DIR=$(mktemp -d "${TMPDIR:-/tmp}/zentavo-e2e.XXXXXX")
APP="$DIR/app"     # the program's own folder: the copied executable and its memo.mdb
DB="$APP/memo.mdb"
mkdir -p "$APP"
# The person's state folder, where the program keeps the drafts of unsaved notes: the test's own.
export XDG_STATE_HOME="$DIR/state"

XVFB_PID=""
WM_PID=""
APP_PID=""
WIN=""             # the main window's X id, set by start_zentavo
APP_STATUS=""      # exit status of the program once it has ended, set by wait_for_exit
SCALE=1            # device pixels per design pixel: 2 on a 192 dpi screen
APP_STDERR=""      # what the program last started wrote to stderr
APP_RUNS=0

# Screen size of the private X server. Wide enough that (900, 600) lies far off the window.
SCREEN_W=1280
SCREEN_H=1024

# ---------------------------------------------------------------------------------------------
# Cleanup

kill_pid() {
    local pid=$1
    [[ -n $pid ]] || return 0
    kill "$pid" 2>/dev/null || return 0
    local i
    for ((i = 0; i < 50; i++)); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    return 0
}

e2e_cleanup() {
    local status=$?
    # Background helpers of the scripts (a lock holder, say) register themselves here.
    local pid
    for pid in ${E2E_EXTRA_PIDS:-}; do
        kill_pid "$pid"
    done
    kill_pid "$APP_PID"
    kill_pid "$WM_PID"
    kill_pid "$XVFB_PID"
    # Folders the scripts mounted (register_mount) go before the folder that holds them.
    local mount_point
    for mount_point in ${E2E_MOUNTS:-}; do
        umount -l "$mount_point" 2>/dev/null || true
    done
    rm -rf "$DIR"
    exit "$status"
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM

# Registers a background process to be killed on exit.
E2E_EXTRA_PIDS=""
track_pid() {
    E2E_EXTRA_PIDS="$E2E_EXTRA_PIDS $1"
}

# Registers a mount point under $DIR to be unmounted on exit.
E2E_MOUNTS=""
register_mount() {
    E2E_MOUNTS="$E2E_MOUNTS $1"
}

# ---------------------------------------------------------------------------------------------
# Failing and asserting

fail() {
    {
        echo "FAIL [$E2E_NAME]: $*"
        if [[ -n $APP_STDERR && -s $APP_STDERR ]]; then
            echo "--- zentavo stderr ---"
            cat "$APP_STDERR"
        fi
    } >&2
    exit 1
}

assert_eq() { # expected actual what
    [[ $1 == "$2" ]] || fail "$3: expected '$1', got '$2'"
}

assert_ne() { # unexpected actual what
    [[ $1 != "$2" ]] || fail "$3: did not expect '$2'"
}

assert_contains() { # haystack needle what
    [[ $1 == *"$2"* ]] || fail "$3: '$2' not found in '$1'"
}

assert_not_contains() { # haystack needle what
    [[ $1 != *"$2"* ]] || fail "$3: '$2' unexpectedly found in '$1'"
}

# wait_until SECONDS COMMAND...: polls COMMAND until it succeeds; false once SECONDS have passed.
wait_until() {
    local seconds=$1
    shift
    local limit
    limit=$(($(date +%s%N) / 1000000 + seconds * 1000))
    while true; do
        "$@" && return 0
        (($(date +%s%N) / 1000000 >= limit)) && break
        sleep 0.05
    done
    "$@"
}

# expect_within SECONDS MESSAGE COMMAND...: wait_until, failing with MESSAGE on timeout.
expect_within() {
    local seconds=$1 message=$2
    shift 2
    wait_until "$seconds" "$@" || fail "$message (waited ${seconds} s)"
}

# ---------------------------------------------------------------------------------------------
# The note database

# Quotes a value as an SQL string literal.
sql_quote() {
    local value=${1//\'/\'\'}
    printf "'%s'" "$value"
}

sql() {
    sqlite3 -batch "$DB" "$@"
}

create_database() {
    "$E2E_NEWDB" "$DB" || fail "zentavo-newdb could not create $DB"
}

# add_note TITLE TEXT: inserts a row and prints its ID.
add_note() {
    sql "INSERT INTO Memo (Titel, Text) VALUES ($(sql_quote "$1"), $(sql_quote "$2"));
         SELECT last_insert_rowid();"
}

# ---------------------------------------------------------------------------------------------
# X server, window manager, program

start_display() {
    local fifo_file="$DIR/displayfd"
    : >"$fifo_file"
    Xvfb -displayfd 3 -nolisten tcp -screen 0 "${SCREEN_W}x${SCREEN_H}x24" \
        3>"$fifo_file" >"$DIR/xvfb.log" 2>&1 &
    XVFB_PID=$!
    display_number_written() { grep -q '^[0-9][0-9]*$' "$fifo_file"; }
    wait_until 20 display_number_written || {
        cat "$DIR/xvfb.log" >&2
        fail "Xvfb did not report a display number"
    }
    DISPLAY=":$(head -n1 "$fifo_file")"
    export DISPLAY

    export XDG_RUNTIME_DIR="$DIR/xdg"
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 0700 "$XDG_RUNTIME_DIR"

    # The stock openbox configuration without its key and mouse bindings. openbox grabs keys and
    # buttons afresh whenever the keyboard map changes, which xdotool does for every letter
    # missing from it; a press that arrives meanwhile is lost or ends in a binding. The program
    # needs none of them: it moves itself by asking the window manager.
    sed -e '/<keyboard>/,/<\/keyboard>/c\  <keyboard><chainQuitKey>C-g</chainQuitKey></keyboard>' \
        -e '/<mouse>/,/<\/mouse>/c\  <mouse></mouse>' \
        /etc/xdg/openbox/rc.xml >"$DIR/openbox-rc.xml" || fail "cannot write the openbox configuration"
    # openbox runs its start-up command once it manages the screen; no window is opened before.
    # (A display started again after the last one went away waits for its own openbox.)
    rm -f "$DIR/READY"
    openbox --config-file "$DIR/openbox-rc.xml" --startup "touch $DIR/READY" \
        >"$DIR/openbox.log" 2>&1 &
    WM_PID=$!
    expect_within 20 "openbox did not start on $DISPLAY" test -e "$DIR/READY"
    # Only now: the server undoes a change to the keyboard map when its last client goes.
    give_letters_keys
}

# The letters the tests type that the server's US keyboard map lacks get keys of their own, for as
# long as the display runs, before anything connects to it. Otherwise xdotool binds a spare key to
# such a letter only while it sends it: a program too busy to look the key up before the binding
# is undone loses the letter.
EXTRA_LETTERS=(aring adiaeresis odiaeresis eacute udiaeresis)
give_letters_keys() {
    local free letter i=0 assignments=()
    mapfile -t free < <(xmodmap -pke | awk 'NF == 3 { print $2 }' | tail -n "${#EXTRA_LETTERS[@]}")
    [[ ${#free[@]} == "${#EXTRA_LETTERS[@]}" ]] ||
        fail "the keyboard map of $DISPLAY has no ${#EXTRA_LETTERS[@]} free keys: $(xmodmap -pke | head -n 5)"
    for letter in "${EXTRA_LETTERS[@]}"; do
        # The capital's keysym is the name capitalised: aring, Aring.
        assignments+=(-e "keycode ${free[i++]} = $letter ${letter^}")
    done
    xmodmap "${assignments[@]}" || fail "xmodmap could not give ${EXTRA_LETTERS[*]} keys"
}

# Copies the program into the private folder and starts it there; sets APP_PID. The window is
# not waited for: see find_main_window.
launch_zentavo() {
    # Put in place by a rename, so that a copy already running on it is left alone.
    if ! cmp -s "$E2E_PROGRAM" "$APP/zentavo"; then
        if ! cp "$E2E_PROGRAM" "$APP/zentavo.new" || ! mv -f "$APP/zentavo.new" "$APP/zentavo"; then
            fail "cannot put the program into $APP"
        fi
    fi
    APP_RUNS=$((APP_RUNS + 1))
    APP_STDERR="$DIR/zentavo-$APP_RUNS.stderr"
    (
        cd "$APP" || exit 1
        # The real X11 platform, whatever the calling environment asks for.
        unset QT_QPA_PLATFORM
        exec env QT_QPA_PLATFORM=xcb QT_LOGGING_RULES='*.debug=false' \
            ./zentavo >/dev/null 2>"$APP_STDERR"
    ) &
    APP_PID=$!
}

# Sets WIN to the visible main window. When a message box titled like the window is open too,
# the main window is the one at the program's fixed width (353 px at 96 dpi; SCALE times that on
# a screen scaled by SCALE).
find_main_window() {
    local ids id
    ids=$(timeout 10 xdotool search --sync --onlyvisible --name '^Zentavo 1.0$' 2>/dev/null) ||
        fail "no visible window named 'Zentavo 1.0' appeared within 10 s"
    for id in $ids; do
        if [[ $(window_width "$id") == $((353 * SCALE)) ]]; then
            WIN=$id
            return 0
        fi
    done
    fail "none of the windows named 'Zentavo 1.0' is $((353 * SCALE)) px wide"
}

start_zentavo() {
    launch_zentavo
    find_main_window
    # Openbox places the window a moment after mapping it; wait for the design position.
    expect_within 10 "the window did not settle at x=$((433 * SCALE)), y=0" window_at $((433 * SCALE)) 0
}

app_running() {
    kill -0 "$APP_PID" 2>/dev/null
}

# Waits up to SECONDS for the program to end and sets APP_STATUS to its exit status.
wait_for_exit() {
    local seconds=$1
    app_not_running() { ! app_running; }
    wait_until "$seconds" app_not_running || fail "the program is still running after ${seconds} s"
    APP_STATUS=0
    wait "$APP_PID" || APP_STATUS=$?
    APP_PID=""
}

# ---------------------------------------------------------------------------------------------
# Monitors: RandR monitors on the one X screen, as a desktop with several screens declares them,
# each MONITOR_W pixels wide, SCREEN_H high, at 96 dpi. The X screen's one output belongs to the
# monitor at x 0, so that the output makes no monitor of its own over the whole X screen: the
# program sees exactly the monitors declared.

MONITOR_W=1280

# Millimetres of a length in pixels at 96 dpi, rounded.
mm_at_96dpi() { echo $((($1 * 254 + 480) / 960)); }

add_monitor() { # NAME X [primary]
    local name=$1 output=none
    [[ ${3:-} == primary ]] && name="*$1"
    (($2 == 0)) && output=screen
    xrandr --setmonitor "$name" \
        "$MONITOR_W/$(mm_at_96dpi "$MONITOR_W")x$SCREEN_H/$(mm_at_96dpi "$SCREEN_H")+$2+0" "$output" \
        >/dev/null || fail "xrandr could not add the monitor $1 at x $2"
}

remove_monitor() { # NAME
    xrandr --delmonitor "$1" >/dev/null || fail "xrandr could not remove the monitor $1"
}

# Makes a monitor the primary one: RandR changes a monitor only by declaring it anew.
make_primary() { # NAME X
    remove_monitor "$1"
    add_monitor "$1" "$2" primary
}

monitors_are() { # COUNT
    [[ $(xrandr --listmonitors 2>/dev/null | head -n1) == "Monitors: $1" ]]
}

# ---------------------------------------------------------------------------------------------
# Window state

# window_info [ID]: xwininfo of the window (default: the main window).
window_info() {
    xwininfo -id "${1:-$WIN}" 2>/dev/null
}

window_field() { # ID FIELD
    window_info "$1" | sed -n "s/^ *$2: *\(-\{0,1\}[0-9]*\).*/\1/p"
}

window_x() { window_field "${1:-$WIN}" 'Absolute upper-left X'; }
window_y() { window_field "${1:-$WIN}" 'Absolute upper-left Y'; }
window_width() { window_field "${1:-$WIN}" 'Width'; }
window_height() { window_field "${1:-$WIN}" 'Height'; }

# Prints "X Y" of the window's top-left corner on the screen.
window_origin() { # [ID]
    window_info "${1:-$WIN}" | sed -n '
        s/^ *Absolute upper-left X: *\(-\{0,1\}[0-9]*\).*/\1/; t x
        s/^ *Absolute upper-left Y: *\(-\{0,1\}[0-9]*\).*/\1/; t y
        d
        :x
        h; d
        :y
        H; x; s/\n/ /p'
}

window_at() { # X Y
    [[ $(window_origin) == "$1 $2" ]]
}

window_near() { # X Y TOLERANCE
    local x y
    read -r x y < <(window_origin) || return 1
    ((x >= $1 - $3 && x <= $1 + $3 && y >= $2 - $3 && y <= $2 + $3))
}

window_height_is() { # HEIGHT
    [[ $(window_height) == "$1" ]]
}

window_size_is() { # WIDTH HEIGHT
    [[ $(window_width)x$(window_height) == "$1x$2" ]]
}

window_moved_from() { # X Y: true once the window is somewhere else
    ! window_at "$1" "$2"
}

wm_state() {
    xprop -id "$WIN" _NET_WM_STATE 2>/dev/null
}

# Window ids of the visible windows named 'Zentavo 1.0' other than the main window.
other_windows() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Zentavo 1.0$' 2>/dev/null); do
        [[ $id == "$WIN" ]] || echo "$id"
    done
}

has_other_window() {
    [[ -n $(other_windows) ]]
}

no_other_window() {
    [[ -z $(other_windows) ]]
}

# ---------------------------------------------------------------------------------------------
# Pointer and keyboard

pointer_location() {
    xdotool getmouselocation 2>/dev/null | sed -n 's/^x:\([0-9-]*\) y:\([0-9-]*\).*/\1 \2/p'
}

# Moves the pointer to screen coordinates and waits until the server has it there. (xdotool's
# own --sync waits for a motion, which never comes when the pointer is already in place.)
pointer_to_screen() { # X Y
    [[ $(pointer_location) == "$1 $2" ]] && return 0
    xdotool mousemove "$1" "$2" || fail "could not move the pointer to ($1, $2) on the screen"
    pointer_is_at() { [[ $(pointer_location) == "$1 $2" ]]; }
    expect_within 5 "the pointer did not arrive at ($1, $2)" pointer_is_at "$1" "$2"
}

# Moves the pointer to window-relative pixel coordinates.
pointer_to() { # X Y
    local wx wy
    read -r wx wy < <(window_origin) || fail "the window's position cannot be read"
    pointer_to_screen $((wx + $1)) $((wy + $2))
}

click_at() { # X Y [BUTTON]
    pointer_to "$1" "$2"
    xdotool click "${3:-1}" || fail "click at ($1, $2) failed"
}

double_click_at() { # X Y
    pointer_to "$1" "$2"
    xdotool click --repeat 2 --delay 60 1 || fail "double-click at ($1, $2) failed"
}

key() {
    xdotool key --clearmodifiers "$@" || fail "xdotool key $* failed"
}

# The X server time of the last key or button press the program has handled; it sets it on its
# window as it handles each press.
user_time() {
    xprop -id "$WIN" _NET_WM_USER_TIME 2>/dev/null | sed -n 's/.* = \([0-9][0-9]*\)$/\1/p'
}

# Sends one key with xdotool (COMMAND: key or type, then its arguments) and waits until the
# program has handled the press.
send_key() {
    local before
    before=$(user_time)
    xdotool "$@" || fail "xdotool $* failed"
    user_time_past() { local now; now=$(user_time); [[ -n $now && (-z $1 || $now -gt $1) ]]; }
    expect_within 5 "the program did not handle the key press of 'xdotool $*'" user_time_past "$before"
}

# Types text into the focused box of the main window, one key at a time, each once the program
# has handled the one before; each newline is sent as the Return key.
type_text() {
    local text=$1 i ch
    for ((i = 0; i < ${#text}; i++)); do
        ch=${text:i:1}
        case $ch in
        $'\n') send_key key Return ;;
        ' ') send_key key space ;;
        å) send_key key aring ;;
        Å) send_key key Aring ;;
        ä) send_key key adiaeresis ;;
        Ä) send_key key Adiaeresis ;;
        ö) send_key key odiaeresis ;;
        Ö) send_key key Odiaeresis ;;
        é) send_key key eacute ;;
        É) send_key key Eacute ;;
        ü) send_key key udiaeresis ;;
        Ü) send_key key Udiaeresis ;;
        [[:print:]]) send_key type -- "$ch" ;;
        *) fail "type_text: no key for '$ch'" ;;
        esac
    done
}

# Drags from window point (X, Y) by (DX, DY): press, a first motion of one pixel (as a hand
# makes), then several larger motion steps with the button held, and release.
drag_by() { # X Y DX DY
    local x0=$1 y0=$2 dx=$3 dy=$4
    local sx sy step
    read -r sx sy < <(window_origin)
    sx=$((sx + x0))
    sy=$((sy + y0))
    pointer_to_screen "$sx" "$sy"
    xdotool mousedown 1 || fail "mousedown failed"
    pointer_to_screen $((sx + 1)) $((sy + 1))
    for step in 1 2 3 4 5; do
        pointer_to_screen $((sx + dx * step / 5)) $((sy + dy * step / 5))
    done
    xdotool mouseup 1 || fail "mouseup failed"
}

# ---------------------------------------------------------------------------------------------
# Screen contents

# Prints the colour of one window pixel as rrggbb.
pixel_at() { # X Y
    import -silent -window "$WIN" -crop "1x1+$1+$2" +repage -depth 8 txt:- 2>/dev/null |
        sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | head -n1 | tr 'A-F' 'a-f'
}

# Whether a window pixel is dark (each channel below 0x60): text, borders.
pixel_dark() { # X Y
    local rgb
    rgb=$(pixel_at "$1" "$2")
    [[ -n $rgb ]] || return 1
    ((16#${rgb:0:2} < 0x60 && 16#${rgb:2:2} < 0x60 && 16#${rgb:4:2} < 0x60))
}

# Prints the colours of a vertical run of window pixels, one rrggbb per line, top first.
pixel_column() { # X Y HEIGHT
    import -silent -window "$WIN" -crop "1x$3+$1+$2" +repage -depth 8 txt:- 2>/dev/null |
        sed -n 's/^0,\([0-9]*\):.*#\([0-9A-Fa-f]\{6\}\).*/\2/p' | tr 'A-F' 'a-f'
}

screenshot() { # FILE
    import -silent -window "$WIN" "$1" 2>/dev/null || fail "could not take a screenshot of the window"
}

# ---------------------------------------------------------------------------------------------
# Window layout, in window pixels (twips / 15; children of a panel add the panel's position)

STRIP_X=150; STRIP_Y=8              # caption area of the title strip titleStrip
AUTOHIDE_X=302; AUTOHIDE_Y=8        # autoHideBox, 296..313
MOVEABLE_X=319; MOVEABLE_Y=8        # lockBox, 312..329 (its left px lie under autoHideBox)
ARROW_X=337; ARROW_Y=8              # the arrow image, 328..343
LIST_NARROW_X=14                    # noteList, 8..21 narrow, 8..188 wide; y 24..280
LIST_WIDE_RIGHT=187                 # the widened list's right border line
NOTE_X=260; NOTE_Y=120              # noteText, 24..344 x 24..280, right of the widened list
M_X=336; M_Y=272                    # menuButton "M", 328..344 x 264..280
NY_X=232; NY_Y=200                  # newButton "Ny", 144..320 x 192..208
RADERA_X=232; RADERA_Y=217          # deleteButton "Radera", 208..224
SPARA_X=232; SPARA_Y=233            # saveButton "Spara", 224..240
AVSLUTA_X=232; AVSLUTA_Y=256        # exitButton "Avsluta", 248..264
TITEL_X=176; TITEL_Y=121            # titleEdit, 72..280 x 112..130
FIND_X=176; FIND_Y=121              # findEdit, where titleEdit is
OK_X=244; OK_Y=152                  # saveOkButton "OK", 208..280 x 144..160
JA_X=148; JA_Y=144                  # deleteYesButton "Ja", 120..176 x 136..152
NEJ_X=212; NEJ_Y=144                # deleteNoButton "Nej", 184..240 x 136..152

ROLLED_UP_HEIGHT=17
UNROLLED_HEIGHT=289

# Unrolls the rolled-up window by a double-click on the strip (the drag lock must be set).
unroll() {
    window_height_is "$ROLLED_UP_HEIGHT" || fail "unroll: the window is not rolled up ($(window_height) px high)"
    double_click_at "$STRIP_X" "$STRIP_Y"
    expect_within 5 "the window did not unroll to $UNROLLED_HEIGHT px" window_height_is "$UNROLLED_HEIGHT"
}

# The widened list's right border is a dark vertical line; narrow, the note's white area is
# there. Left of it titles and the scroll bar come and go, and lower down the panels cover it,
# so only that column between the header and the panels tells.
list_is_wide() {
    pixel_dark "$LIST_WIDE_RIGHT" 50 && pixel_dark "$LIST_WIDE_RIGHT" 70 &&
        pixel_dark "$LIST_WIDE_RIGHT" 85
}

list_is_narrow() {
    ! pixel_dark "$LIST_WIDE_RIGHT" 50 && ! pixel_dark "$LIST_WIDE_RIGHT" 70 &&
        ! pixel_dark "$LIST_WIDE_RIGHT" 85
}

# Rests the pointer on the narrow list and waits until it has slid out.
widen_list() {
    pointer_to "$LIST_NARROW_X" 150
    expect_within 5 "the list did not slide out when the pointer rested on it" list_is_wide
}

# Prints the window y of the middle of the list's first item row: the rows start right below the
# column header, a band more than a few pixels high whose background is a shade off white.
first_row_y() {
    local y=24 colour run=0
    while read -r colour; do
        if [[ $colour != ffffff ]]; then
            run=$((run + 1))
        elif ((run > 5)); then
            echo $((y + 5))
            return 0
        else
            run=0
        fi
        y=$((y + 1))
    done < <(pixel_column 100 24 40)
    return 1
}

#!/usr/bin/env bash
# The Debian package as a user meets it: built from the source with scripts/package.sh, clean
# under lintian, installed with apt-get on this machine, and used by two ordinary users, each
# with a fresh home. The first starts zentavo under Xvfb: the window appears and the user's own
# memo.mdb is made in their data folder and nowhere else, private whatever the umask; a note
# saved with zentavo-notes is listed. The second can neither list that note nor read the file.
# Purging the package leaves both users' notes as they were. The package, the users and every
# process started are removed at the end, whatever happens.
#
# Needs root (apt-get, useradd): run as root, or where sudo needs no password; skipped (77)
# otherwise, and when a zentavo package is installed already (it would be purged).
# Usage: package.sh SOURCE_DIR
set -euo pipefail
export LC_ALL=C.UTF-8
# A command that fails where no check expects it still says which one it was.
trap 'echo "FAIL [package]: line $LINENO: \"$BASH_COMMAND\" failed" >&2' ERR

source_dir=$(realpath "$1")
readonly SKIP=77

fail() {
    echo "FAIL [package]: $*" >&2
    exit 1
}

skip() {
    echo "SKIP [package]: $*" >&2
    exit "$SKIP"
}

if [[ $(id -u) -ne 0 ]]; then
    if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
        exec sudo -n bash "$0" "$@"
    fi
    skip "installs a package and adds users: run it as root, or where sudo needs no password"
fi

# One run at a time on a machine: two would install and purge the same package.
lock_dir=/run/lock
[[ -d $lock_dir ]] || lock_dir=/tmp
exec 9>"$lock_dir/zentavo-package-test.lock"
flock -w 1200 9 || fail "another run of this test held its lock for 20 minutes"

if dpkg-query -W -f='${Status}' zentavo 2>/dev/null | grep -q 'install ok installed'; then
    skip "a zentavo package is installed on this machine; this test would purge it"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/zentavo-package.XXXXXX")
# The users' homes are inside: they must be able to reach them.
chmod 0755 "$work"
installed=no
users=()
pids=()
xvfb_pid=""

kill_pid() {
    kill "$1" 2>/dev/null || return 0
    local i
    for ((i = 0; i < 50; i++)); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.05
    done
    kill -9 "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

cleanup() {
    local status=$? pid user
    for pid in "${pids[@]}" $xvfb_pid; do
        kill_pid "$pid"
    done
    if [[ $installed == yes ]]; then
        apt-get purge -y -q zentavo >>"$work/apt.log" 2>&1 ||
            echo "package test: could not purge zentavo" >&2
    fi
    for user in "${users[@]}"; do
        userdel "$user" 2>/dev/null || echo "package test: could not remove user $user" >&2
    done
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

wait_until() { # SECONDS COMMAND...: polls COMMAND until it succeeds; false once SECONDS passed
    local limit=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < limit)) || return 1
        sleep 0.1
    done
}

apt_get() {
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -y -q "$@" \
        >>"$work/apt.log" 2>&1 || fail "apt-get $*: $(tail -n 20 "$work/apt.log")"
}

# --- Build and lint -------------------------------------------------------------------------

# At a lower priority, so that tests running beside it keep their pace.
nice -n 10 "$source_dir/scripts/package.sh" "$work/out" >"$work/package.log" 2>&1 ||
    fail "scripts/package.sh: $(tail -n 40 "$work/package.log")"
deb="$work/out/zentavo_1.0-1_amd64.deb"
[[ -s $deb ]] || fail "no $deb after scripts/package.sh"
if dpkg-deb -c "$deb" | grep -q 'memo\.mdb'; then
    fail "the package holds a memo.mdb: $(dpkg-deb -c "$deb" | grep 'memo\.mdb')"
fi

# Everything but errors and warnings is hidden; lintian's remark on running as root is no finding.
lint=$(lintian --fail-on error,warning "$work/out/zentavo_1.0-1_amd64.changes" 2>&1) ||
    fail "lintian: $lint"
lint=$(grep -v '^running with root privileges' <<<"$lint" || true)
[[ -z $lint ]] || fail "lintian: $lint"

# --- Install --------------------------------------------------------------------------------

# apt's download user may not read the file where it is; a copy it can read spares a warning.
cp "$deb" "$work/zentavo_1.0-1_amd64.deb"
chmod 0644 "$work/zentavo_1.0-1_amd64.deb"
installed=yes
(cd "$work" && apt_get install ./zentavo_1.0-1_amd64.deb)
for program in zentavo zentavo-notes zentavo-newdb; do
    [[ -x /usr/bin/$program ]] || fail "/usr/bin/$program is not installed"
    [[ -s /usr/share/man/man1/$program.1.gz ]] || fail "no manual page for $program"
done
[[ ! -e /usr/bin/memo.mdb ]] || fail "a memo.mdb beside the installed programs"
grep -qx 'Exec=/usr/bin/zentavo' /usr/share/applications/zentavo.desktop ||
    fail "the launcher does not start /usr/bin/zentavo"
out=$(desktop-file-validate /usr/share/applications/zentavo.desktop 2>&1) ||
    fail "desktop-file-validate: $out"
[[ -z $out ]] || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net /usr/share/metainfo/se.zentavo.Zentavo.metainfo.xml 2>&1) ||
    fail "appstreamcli validate: $out"
[[ $out != *[IWE]:* ]] || fail "appstreamcli validate: $out"

# --- Two ordinary users, each with a fresh home ---------------------------------------------

add_user() { # NAME
    useradd --create-home --home-dir "$work/home-$1" --shell /bin/sh --user-group "$1" ||
        fail "useradd $1"
    users+=("$1")
    install -d -m 0700 -o "$1" -g "$1" "$work/run-$1"
}

# as_user NAME UMASK COMMAND...: runs COMMAND as the user, in their home, with only the
# environment a desktop session gives (and the test's display).
as_user() {
    local user=$1 mask=$2
    shift 2
    (
        umask "$mask"
        cd "$work/home-$user"
        exec setpriv --reuid="$user" --regid="$user" --init-groups \
            env -i HOME="$work/home-$user" USER="$user" LOGNAME="$user" PATH=/usr/bin:/bin \
            LANG=C.UTF-8 XDG_RUNTIME_DIR="$work/run-$user" DISPLAY="${DISPLAY:-}" \
            QT_QPA_PLATFORM=xcb QT_LOGGING_RULES='*.debug=false' "$@"
    )
}

mode_owner() { stat -c '%a %U' "$1"; }

# An X server and a window manager, as root, that both users' programs connect to.
fifo="$work/displayfd"
: >"$fifo"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$fifo" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
display_number_written() { grep -q '^[0-9][0-9]*$' "$fifo"; }
wait_until 20 display_number_written || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
DISPLAY=":$(head -n1 "$fifo")"
export DISPLAY
openbox --startup "touch $work/openbox-ready" >"$work/openbox.log" 2>&1 &
pids+=($!)
wait_until 20 test -e "$work/openbox-ready" || fail "openbox did not start on $DISPLAY"

# Starts zentavo as the user and waits for its window; sets zentavo_pid.
start_zentavo() { # USER UMASK
    as_user "$1" "$2" zentavo >/dev/null 2>"$work/zentavo-$1.stderr" &
    zentavo_pid=$!
    pids+=("$zentavo_pid")
    timeout 20 xdotool search --sync --onlyvisible --name '^Zentavo 1.0$' >/dev/null 2>&1 ||
        fail "no window of $1's zentavo appeared: $(cat "$work/zentavo-$1.stderr")"
}

stop_zentavo() {
    kill_pid "$zentavo_pid"
}

a=zva$$
b=zvb$$
add_user "$a"
add_user "$b"
home_a="$work/home-$a"
home_b="$work/home-$b"
db_a="$home_a/.local/share/zentavo/memo.mdb"
db_b="$home_b/.local/share/zentavo/memo.mdb"

# --- The first user --------------------------------------------------------------------------

help=$(as_user "$a" 022 zentavo --help) || fail "zentavo --help as $a"
[[ $help == *"Anteckningsdatabasen: $db_a (finns inte än"* ]] ||
    fail "zentavo --help does not name $db_a: $help"
[[ ! -e $home_a/.local/share/zentavo ]] || fail "zentavo --help made the data folder"

start_zentavo "$a" 022
[[ -f $db_a ]] || fail "no $db_a once the window is there"
assert_private() { # FOLDER FILE USER
    [[ $(mode_owner "$1") == "700 $3" ]] || fail "$1 is $(mode_owner "$1"), not 700 $3"
    [[ $(mode_owner "$2") == "600 $3" ]] || fail "$2 is $(mode_owner "$2"), not 600 $3"
}
assert_private "$home_a/.local/share/zentavo" "$db_a" "$a"
notice="zentavo: Dina anteckningar sparas i $db_a"
[[ $(grep -c "$notice" "$work/zentavo-$a.stderr") == 1 ]] ||
    fail "zentavo did not say once where the notes are: $(cat "$work/zentavo-$a.stderr")"
# Other tests make and remove files while this runs: an entry that vanishes under find's feet is
# no finding, any other error is.
if ! made=$(find / \( -path /proc -o -path /sys -o -path /dev \) -prune -o \
    -user "$a" -name 'memo.mdb*' -print 2>"$work/find.stderr"); then
    grep -v 'No such file or directory$' "$work/find.stderr" >"$work/find.other" || true
    [[ ! -s $work/find.other ]] || fail "find / looking for $a's databases: $(cat "$work/find.other")"
fi
[[ $made == "$db_a" ]] || fail "the databases $a has are not just $db_a: $made"

as_user "$a" 022 sh -c 'printf "Kod till cykellåset: 4711\n" >Cykellås.txt'
out=$(as_user "$a" 022 zentavo-notes import "$home_a/Cykellås.txt" 2>"$work/import.stderr") ||
    fail "zentavo-notes import as $a: $(cat "$work/import.stderr")"
[[ $out == $'1\tCykellås' ]] || fail "zentavo-notes import printed '$out'"
[[ ! -s $work/import.stderr ]] || fail "zentavo-notes import said: $(cat "$work/import.stderr")"
[[ $(as_user "$a" 022 zentavo-notes list) == $'1\tCykellås' ]] ||
    fail "zentavo-notes list as $a does not list the note"
[[ $(as_user "$a" 022 zentavo-notes show 1) == 'Kod till cykellåset: 4711' ]] ||
    fail "zentavo-notes show 1 as $a does not show the note"
stop_zentavo

# --- The second user, with a umask that would let everyone read new files --------------------

out=$(as_user "$b" 000 zentavo-notes list 2>"$work/list-b.stderr") ||
    fail "zentavo-notes list as $b: $(cat "$work/list-b.stderr")"
[[ -z $out ]] || fail "$b's zentavo-notes lists notes: $out"
grep -q "zentavo-notes: Dina anteckningar sparas i $db_b" "$work/list-b.stderr" ||
    fail "zentavo-notes did not say where $b's notes are: $(cat "$work/list-b.stderr")"
assert_private "$home_b/.local/share/zentavo" "$db_b" "$b"

status=0
out=$(as_user "$b" 000 zentavo-notes --db "$db_a" list 2>&1) || status=$?
[[ $status == 2 && $out != *Cykellås* ]] ||
    fail "$b's zentavo-notes --db $db_a: status $status, '$out'"
if as_user "$b" 000 cat "$db_a" >/dev/null 2>&1; then
    fail "$b can read $db_a"
fi
if as_user "$b" 000 ls "$home_a/.local/share/zentavo" >/dev/null 2>&1; then
    fail "$b can list $a's data folder"
fi

start_zentavo "$b" 000
if grep -q 'Dina anteckningar sparas' "$work/zentavo-$b.stderr"; then
    fail "zentavo said a second time where $b's notes are"
fi
stop_zentavo
[[ $(sqlite3 "$db_b" 'SELECT count(*) FROM Memo') == 0 ]] || fail "$b's database holds notes"

# --- Reinstalling and purging leave the notes ------------------------------------------------

snapshot() {
    local file
    for file in "$home_a/.local/share/zentavo" "$db_a" "$home_b/.local/share/zentavo" "$db_b"; do
        echo "$file $(mode_owner "$file")"
    done
    md5sum "$db_a" "$db_b"
}
before=$(snapshot)
(cd "$work" && apt_get install --reinstall ./zentavo_1.0-1_amd64.deb)
[[ $(snapshot) == "$before" ]] || fail "reinstalling changed the notes: $(snapshot)"
apt_get purge zentavo
installed=no
[[ ! -e /usr/bin/zentavo ]] || fail "/usr/bin/zentavo is still there after the purge"
[[ $(snapshot) == "$before" ]] || fail "purging changed the notes: $(snapshot)"
[[ $(sqlite3 "$db_a" 'SELECT Titel FROM Memo') == 'Cykellås' ]] ||
    fail "$a's note is gone after the purge"
exit 0

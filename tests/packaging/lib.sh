# Helpers for the packaging tests; each test script sources this file first.
# CTest marks a test that exits with 77 as skipped.
set -Eeuo pipefail
# A command that fails outside a check still says where.
trap 'echo "FAIL: ${BASH_SOURCE[0]}:$LINENO: $BASH_COMMAND" >&2' ERR

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
skip() {
    echo "SKIP: $*"
    exit 77
}
note() { echo "-- $*"; }

# A fresh folder of the test's own, removed when the script ends.
WORK=$(mktemp -d "${TMPDIR:-/tmp}/odolink-packaging.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

expect_file() { [ -f "$1" ] || fail "missing file $1"; }
expect_executable() { [ -f "$1" ] && [ -x "$1" ] || fail "missing executable $1"; }
expect_mode() {
    local mode
    mode=$(stat -c %a "$1")
    [ "$mode" = "$2" ] || fail "$1 has mode $mode, expected $2"
}
# expect_line FILE LINE: FILE has a line that is exactly LINE.
expect_line() { grep -qxF -- "$2" "$1" || fail "$1 has no line '$2'"; }

# cmake --install of the build folder into PREFIX, as an admin would do it.
install_into() {
    local build=$1 prefix=$2
    cmake --install "$build" --prefix "$prefix" >"$WORK/install.out" 2>&1 ||
        { cat "$WORK/install.out" >&2; fail "cmake --install into $prefix failed"; }
}

# write_ini DIR KEY=VALUE...: DIR/Odolink.ini with these keys in section Configurari, CR LF ends.
write_ini() {
    local dir=$1
    shift
    printf '[Configurari]\r\n' >"$dir/Odolink.ini"
    printf '%s\r\n' "$@" >>"$dir/Odolink.ini"
}

# run_odolink BINARY WORKDIR: runs the program the way a scheduler starts it, with no display and
# no platform chosen, and fails the test unless it ends by itself with exit code 0.
run_odolink() {
    local bin=$1 cwd=$2 rc=0
    (cd "$cwd" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 60 "$bin") \
        >"$WORK/odolink.out" 2>&1 || rc=$?
    if [ "$rc" != 0 ]; then
        cat "$WORK/odolink.out" >&2
        [ "$rc" = 124 ] && fail "$bin did not end within 60 s"
        fail "$bin exited with $rc, expected 0"
    fi
}

# run_log DIR: prints the one run log in DIR with its "[hh:nn:ss] " stamps removed (CR LF kept).
run_log() {
    local dir=$1 logs
    logs=$(find "$dir" -maxdepth 1 -name 'TrackGPS_*.log')
    [ -n "$logs" ] || fail "no run log in $dir"
    [ "$(printf '%s\n' "$logs" | wc -l)" = 1 ] || fail "more than one run log in $dir: $logs"
    [[ $(basename "$logs") =~ ^TrackGPS_[0-9]{8}_[0-9]{2}_[0-9]{2}_[0-9]{2}\.log$ ]] ||
        fail "run log named $(basename "$logs")"
    sed -E 's/^\[[0-9]{2}:[0-9]{2}:[0-9]{2}\] //' "$logs"
}

# expect_log DIR LINE...: the run log in DIR holds exactly these messages, in order.
expect_log() {
    local dir=$1 expected actual
    shift
    expected=$(printf '%s\r\n' "$@")
    actual=$(run_log "$dir")
    [ "$actual" = "$expected" ] || {
        echo "expected:" >&2
        printf '%s' "$expected" | cat -A >&2
        echo "actual:" >&2
        printf '%s' "$actual" | cat -A >&2
        fail "unexpected run log in $dir"
    }
}

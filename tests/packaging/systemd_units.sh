#!/usr/bin/env bash
# systemd accepts the installed service and timer units.
# Usage: systemd_units.sh BUILD_DIR
source "$(dirname "$0")/lib.sh"
build=$1

command -v systemd-analyze >/dev/null || skip "systemd-analyze not found (Debian package systemd)"

# verify wants the program named by ExecStart to exist: check the units of an installed tree.
prefix=$WORK/prefix
install_into "$build" "$prefix"
units=$prefix/lib/systemd/system

rc=0
systemd-analyze verify "$units/odolink.timer" "$units/odolink.service" >"$WORK/verify.out" 2>&1 || rc=$?
cat "$WORK/verify.out"
# A bad setting is often only a warning ("..., ignoring") with exit code 0: any line about our
# units fails the test, lines about the system's own units do not.
[ "$rc" = 0 ] || fail "systemd-analyze verify exited with $rc"
if grep -q 'odolink' "$WORK/verify.out"; then
    fail "systemd-analyze verify complained about the units"
fi

echo "systemd units: ok"

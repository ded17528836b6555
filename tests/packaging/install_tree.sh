#!/usr/bin/env bash
# cmake --install lays out the expected tree, with the install prefix in the files that name it,
# and never overwrites a configured Odolink.ini.
# Usage: install_tree.sh BUILD_DIR WITH_SIM(0|1)
source "$(dirname "$0")/lib.sh"
build=$1 with_sim=$2
prefix=$WORK/prefix

install_into "$build" "$prefix"

expected="bin/Odolink.ini
bin/odolink
lib/systemd/system/odolink.service
lib/systemd/system/odolink.timer
share/doc/odolink/Odolink.ini.example
share/doc/odolink/README.md
share/odolink/cron.d/odolink"
[ "$with_sim" = 1 ] && expected+=$'\nbin/trackgps-sim'
expected+=$'\nbin/odolink-fleetdb'
expected=$(sort <<<"$expected")
actual=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort)
[ "$actual" = "$expected" ] || {
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    fail "installed tree differs from the expected one (< expected, > installed)"
}

expect_executable "$prefix/bin/odolink"
[ "$with_sim" = 1 ] && expect_executable "$prefix/bin/trackgps-sim"
# It holds the service password.
expect_mode "$prefix/bin/Odolink.ini" 640
cmp -s "$prefix/bin/Odolink.ini" "$prefix/share/doc/odolink/Odolink.ini.example" ||
    fail "the installed Odolink.ini is not the example"

# Every key the program reads is shown, set or commented out.
for key in OraDbName NumeFirma TrackGPSUser TrackGPSParola DriverID TrackGPSUrl TrackGPSCaFile; do
    grep -qE "^;?$key=" "$prefix/bin/Odolink.ini" || fail "the example Odolink.ini does not show $key"
done
grep -q '@' "$prefix/bin/Odolink.ini" "$prefix/lib/systemd/system/odolink.service" \
    "$prefix/share/odolink/cron.d/odolink" && fail "an unreplaced @VARIABLE@ was installed"

# The unit and the cron line start the installed program.
expect_line "$prefix/lib/systemd/system/odolink.service" "ExecStart=$prefix/bin/odolink"
grep -qF " $prefix/bin/odolink " "$prefix/share/odolink/cron.d/odolink" ||
    fail "the cron line does not start $prefix/bin/odolink"

note "a second install keeps the admin's Odolink.ini"
write_ini "$prefix/bin" NumeFirma=FIRMA1
cp "$prefix/bin/Odolink.ini" "$WORK/configured.ini"
install_into "$build" "$prefix"
cmp -s "$prefix/bin/Odolink.ini" "$WORK/configured.ini" || fail "a second install overwrote the configured Odolink.ini"

echo "install tree: ok"

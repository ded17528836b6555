#!/usr/bin/env bash
# The installed cron line runs the program each night, and skips a run while another holds the lock.
# Usage: cron_line.sh BUILD_DIR
source "$(dirname "$0")/lib.sh"
build=$1
command -v flock >/dev/null || skip "flock not found (Debian package util-linux)"

prefix=$WORK/prefix
install_into "$build" "$prefix"
cron=$prefix/share/odolink/cron.d/odolink

# One entry of /etc/cron.d form: minute hour day month weekday, the user, then the command.
entries=$(grep -vE '^[[:space:]]*(#|$)' "$cron")
[ "$(wc -l <<<"$entries")" = 1 ] || fail "$cron should hold exactly one entry"
read -r minute hour day month weekday user command <<<"$entries"
[ "$minute $hour $day $month $weekday" = "30 2 * * *" ] || fail "not once a night at 02:30: $entries"
[ "$user" = odolink ] || fail "the entry runs as '$user', expected odolink"

# The command as cron would run it, with the working folder and syslog moved into the test's own.
state=$WORK/state
mkdir "$state"
command=${command//\/var\/lib\/odolink/$state}
command=${command//logger -t odolink/cat >>$WORK/syslog}
[[ $command == *"$state"* ]] || fail "the cron command does not work in /var/lib/odolink: $command"
# cron's bare environment; the sanitizers' settings pass through for a sanitizer build.
run_cron() {
    (cd / && timeout 90 env -i PATH=/usr/bin:/bin HOME="$state" SHELL=/bin/sh \
        ${ASAN_OPTIONS:+ASAN_OPTIONS=$ASAN_OPTIONS} ${LSAN_OPTIONS:+LSAN_OPTIONS=$LSAN_OPTIONS} \
        ${UBSAN_OPTIONS:+UBSAN_OPTIONS=$UBSAN_OPTIONS} /bin/sh -c "$command")
}

note "a run while another holds the lock does nothing"
exec 9>"$state/odolink.lock"
flock 9
run_cron 9>&- || fail "the cron command failed or waited while the lock was held"
exec 9>&-
if compgen -G "$prefix/bin/TrackGPS_*.log" >/dev/null; then
    fail "the program ran although the lock was held"
fi

note "a run on its own writes its log"
write_ini "$prefix/bin" OraDbName=ZeltDB2 NumeFirma=
run_cron || fail "the cron command failed"
expect_log "$prefix/bin" "Nu ai setat in configurari parametrul NumeFirma" "Eroare la conectare la Oracle "

echo "cron line: ok"

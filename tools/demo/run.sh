#!/usr/bin/env bash
# One real pass of Odolink on a demo fleet: an embedded database beside the program, the substitute
# TrackGPS service on loopback, the real 32-second pacing. Leaves nothing running.
set -euo pipefail

build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "$build/bin" && pwd)
fleet="$bin/demo-fleet"
work=$(mktemp -d)
sim_pid=

cleanup() {
    if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then
        kill -TERM "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

ago() { date -d "$1" '+%Y-%m-%d %H:%M:00'; }

# The fleet: two tracked vehicles with recent readings, one whose last reading is too old, one
# without a GPS device, one with an undated reading.
cat > "$work/fleet.json" <<JSON
{"company": "ACME",
 "vehicles": [
  {"key": 17, "nrinreg": "B-17-ODO", "imei": "358240051111110",
   "readings": [{"date": "$(ago '-3 days')", "km": 1000}]},
  {"key": 18, "nrinreg": "B-18-ODO", "imei": "358240052222220",
   "readings": [{"date": "$(ago '-10 days')", "km": 5000}, {"date": "$(ago '-2 days')", "km": 5200}]},
  {"key": 19, "nrinreg": "B-19-OLD", "imei": "358240053333330",
   "readings": [{"date": "$(ago '-45 days')", "km": 80000}]},
  {"key": 20, "nrinreg": "B-20-NOGPS", "imei": null,
   "readings": [{"date": "$(ago '-1 days')", "km": 42000}]},
  {"key": 21, "nrinreg": "B-21-UNDATED", "imei": "358240054444440",
   "readings": [{"date": "$(ago '-1 days')", "km": 900}, {"date": null, "km": 950}]}
 ]}
JSON
rm -rf "$fleet"
"$bin/odolink-fleetdb" "$work/fleet.json" "$fleet"

"$bin/trackgps-sim" --listen 127.0.0.1:0 --data "$here/sim-data.json" --journal "$work/journal.jsonl" \
    > "$work/sim.out" 2> "$work/sim.err" &
sim_pid=$!
url=
for _ in $(seq 1 100); do
    url=$(sed -n 's/^LISTENING //p' "$work/sim.out")
    [ -n "$url" ] && break
    kill -0 "$sim_pid" 2>/dev/null || { cat "$work/sim.err" >&2; echo "trackgps-sim did not start" >&2; exit 1; }
    sleep 0.1
done
[ -n "$url" ] || { echo "trackgps-sim did not say where it listens" >&2; exit 1; }

cat > "$bin/Odolink.ini" <<INI
; Written by make demo: the embedded demo fleet and the substitute service on loopback.
[Configurari]
DriverID=SQLite
OraDbName=demo-fleet
NumeFirma=ACME
TrackGPSUser=demo
TrackGPSParola=demo-password
TrackGPSUrl=$url
INI

readings() {
    sqlite3 -header -column "$fleet/ACME.sqlite" \
        "SELECT P.NRINREG, P.CODEXTERN, R.CODNPARC0, R.DATABORD, R.KMBORD, R.AN, R.LUNA
           FROM NPARC0 R JOIN NPARCAUT P ON P.CODNPARCAUT = R.CODNPARCAUT
          ORDER BY P.CODNPARCAUT, R.CODNPARC0"
}

echo "== Readings before the pass"
readings
echo
echo "== Running odolink (service at $url)"
rm -f "$bin"/TrackGPS_*.log
start=$(date +%s)
( cd "$work" && "$bin/odolink" )
echo "odolink ended with exit code $? after $(( $(date +%s) - start )) s"
echo
echo "== Run log"
log=$(ls -t "$bin"/TrackGPS_*.log | head -n 1)
echo "$log"
tr -d '\r' < "$log"
echo
echo "== Readings after the pass"
readings

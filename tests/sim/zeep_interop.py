"""trackgps-sim called through zeep, a SOAP toolkit written elsewhere, from its own ?wsdl.

Usage: zeep_interop.py PATH-TO-trackgps-sim. Exits 77 (skipped) when zeep is not installed.
"""
import datetime
import json
import os
import signal
import subprocess
import sys
import tempfile

try:
    import zeep
    from zeep.exceptions import Fault
except ImportError:
    print("SKIP: python3-zeep is not installed for /usr/bin/python3 (apt-get install python3-zeep)")
    sys.exit(77)

FLEET = {
    "accounts": {"interop": "zeep-pass"},
    "devices": {"356000000000001": {"kmPerHour": 40, "carrierId": 31}},
    "carriers": {
        "31": {"CarrierCode": "IF-31-ZEP", "CarrierName": "Interop van", "Latitude": 45.75, "Longitude": 21.23,
               "GPSDate": "2024-05-02T08:15:00+03:00", "Speed": 12.5},
        "32": {"CarrierCode": "IF-32-ZEP", "CarrierName": "Second van"},
    },
}

failures = []


def check(what, actual, expected):
    if actual != expected:
        failures.append("%s: expected %r, got %r" % (what, expected, actual))
    else:
        print("ok   %s" % what)


def main():
    simulator = sys.argv[1]
    with tempfile.TemporaryDirectory() as tmp:
        data = os.path.join(tmp, "fleet.json")
        with open(data, "w") as f:
            json.dump(FLEET, f)
        proc = subprocess.Popen([simulator, "--data", data], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                text=True)
        try:
            line = proc.stdout.readline().strip()
            if not line.startswith("LISTENING "):
                print("trackgps-sim did not start: %r %s" % (line, proc.stderr.read()))
                return 1
            url = line[len("LISTENING "):]
            service = zeep.Client(url + "?wsdl").service

            start = datetime.datetime(2024, 5, 1, 8, 0, tzinfo=datetime.timezone(datetime.timedelta(hours=3)))
            end = start + datetime.timedelta(hours=3)
            check("GetDistanceByIMEI", service.GetDistanceByIMEI("interop", "zeep-pass", "356000000000001", start, end),
                  120.0)

            location = service.GetCarrierLocation("interop", "zeep-pass", 31)
            check("GetCarrierLocation CarrierCode", location.CarrierCode, "IF-31-ZEP")
            check("GetCarrierLocation Speed", location.Speed, 12.5)
            check("GetCarrierLocation CarrierID", location.CarrierID, 31)
            check("GetCarrierLocation GPSDate", location.GPSDate,
                  datetime.datetime(2024, 5, 2, 5, 15, tzinfo=datetime.timezone.utc))

            cars = service.GetUserCars("interop", "zeep-pass")
            check("GetUserCars", [(c.CarrierId, c.CarrierCode, c.CarrierName) for c in cars],
                  [(31, "IF-31-ZEP", "Interop van"), (32, "IF-32-ZEP", "Second van")])

            try:
                service.GetDistanceByIMEI("interop", "wrong", "356000000000001", start, end)
                failures.append("a wrong password raised no Fault")
            except Fault as fault:
                check("Fault reason for a wrong password", fault.message, "Invalid user name or password.")
        finally:
            proc.send_signal(signal.SIGTERM)
            code = proc.wait(timeout=30)
            check("exit code after SIGTERM", code, 0)
    for failure in failures:
        print("FAIL %s" % failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

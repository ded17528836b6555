#!/usr/bin/python3
"""Load on trackgps-sim: N clients at once for S seconds, each posting GetDistanceByIMEI as the
program writes it, one request after another. Reports errors and latency percentiles."""
import http.client
import os
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

CLIENTS = int(sys.argv[1]) if len(sys.argv) > 1 else 50
SECONDS = float(sys.argv[2]) if len(sys.argv) > 2 else 30

ACTION = "http://tempuri.org/ITrackGPS/GetDistanceByIMEI"
BODY = "\r\n".join([
    '<s:Envelope xmlns:a="http://www.w3.org/2005/08/addressing" xmlns:s="http://www.w3.org/2003/05/soap-envelope">',
    "<s:Header>",
    f'<a:Action s:mustUnderstand="1">{ACTION}</a:Action>',
    "<a:MessageID>urn:uuid:f5dacb04-c862-4a05-9291-d59fde6212ea</a:MessageID>",
    "<a:ReplyTo>", "<a:Address>http://www.w3.org/2005/08/addressing/anonymous</a:Address>", "</a:ReplyTo>",
    "</s:Header>", "<s:Body>", '<GetDistanceByIMEI xmlns="http://tempuri.org/">',
    "<username>u</username>", "<password>p</password>", "<imei>111</imei>",
    "<startDate>2025-03-04T14:07:00.000+02:00</startDate>", "<endDate>2025-03-05T14:07:09.500+02:00</endDate>",
    "</GetDistanceByIMEI>", "</s:Body>", "</s:Envelope>", ""]).encode()
HEADERS = {"Content-Type": f'application/soap+xml; charset=utf-8;action="{ACTION}"'}


def client(host, port, path, deadline, latencies, errors):
    conn = http.client.HTTPConnection(host, port, timeout=10)
    while time.monotonic() < deadline:
        start = time.monotonic()
        try:
            conn.request("POST", path, BODY, HEADERS)
            reply = conn.getresponse()
            data = reply.read()
            if reply.status != 200 or b"<GetDistanceByIMEIResult>12.5<" not in data:
                errors.append(f"status {reply.status}")
        except Exception as e:  # noqa: BLE001 - every failure counts
            errors.append(repr(e))
            conn.close()
            conn = http.client.HTTPConnection(host, port, timeout=10)
            continue
        latencies.append(time.monotonic() - start)
    conn.close()


def main():
    sim = os.path.join(os.environ.get("ODOLINK_BIN_DIR", "build/bin"), "trackgps-sim")
    with tempfile.TemporaryDirectory() as tmp:
        data = os.path.join(tmp, "data.json")
        with open(data, "w") as f:
            f.write('{"accounts": {"u": "p"}, "devices": {"111": {"distanceKm": 12.5}}}')
        proc = subprocess.Popen([sim, "--listen", "127.0.0.1:0", "--data", data], stdout=subprocess.PIPE, text=True)
        try:
            line = proc.stdout.readline()
            if not line.startswith("LISTENING "):
                print("trackgps-sim did not start:", line)
                return 1
            url = urllib.parse.urlparse(line.split(" ", 1)[1].strip())
            deadline = time.monotonic() + SECONDS
            latencies, errors = [], []
            threads = [threading.Thread(target=client, args=(url.hostname, url.port, url.path, deadline,
                                                             latencies, errors)) for _ in range(CLIENTS)]
            for t in threads:
                t.start()
            for t in threads:
                t.join()
        finally:
            proc.terminate()
            proc.wait(10)
    latencies.sort()

    def pct(p):
        return 1000 * latencies[min(len(latencies) - 1, int(p / 100 * len(latencies)))] if latencies else 0

    print(f"{CLIENTS} clients for {SECONDS:.0f} s: {len(latencies)} answers, {len(errors)} errors, "
          f"{len(latencies) / SECONDS:.0f} answers/s")
    print(f"latency ms: p50 {pct(50):.2f}, p90 {pct(90):.2f}, p99 {pct(99):.2f}, max {pct(100):.2f}")
    for e in errors[:5]:
        print("error:", e)
    return 1 if errors or not latencies else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Writes what a run of the benchmarks, the fault tests or the fuzzers measured into a Markdown file.

    measured.py bench  <ctest junit xml> <markdown file>
    measured.py faults <ctest junit xml> <markdown file>
    measured.py fuzz   <fuzz build folder: logs/fuzz_<target>.log, crashes/<target>/> <markdown file>

Each kind owns one block of the file, between "<!-- measured:KIND begin -->" and
"<!-- measured:KIND end -->"; the block is replaced, the hand-written text around it is kept. A file
without the block gets it at its end.
"""

import datetime
import os
import platform
import re
import sys
import xml.etree.ElementTree as ET

# Lines every Qt program may print that say nothing about the measurement.
NOISE = re.compile(r"^(QStandardPaths: |This plugin does not support|qt\.|QWARN  : .*This plugin does not support)")
QTEST_ROW = re.compile(r"^(PASS   |FAIL!  |SKIP   |XFAIL  |XPASS  |BPASS  |BFAIL  ): (\w+)::(\w+)\((.*)$")


def qtest_row(line):
    """(result, function, data tag, message) of a Qt Test result line, or None."""
    m = QTEST_ROW.match(line)
    if not m:
        return None
    # The tag ends at the parenthesis that closes the one after the function name; a message follows.
    rest, depth = m.group(4), 1
    for i, c in enumerate(rest):
        depth += {"(": 1, ")": -1}.get(c, 0)
        if depth == 0:
            return m.group(1).strip().rstrip("!").lower(), m.group(3), rest[:i], rest[i + 1:].strip()
    return m.group(1).strip().rstrip("!").lower(), m.group(3), rest, ""


def machine():
    cpu = ""
    try:
        with open("/proc/cpuinfo", encoding="utf-8", errors="replace") as f:
            for line in f:
                if line.startswith("model name"):
                    cpu = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    system = platform.system()
    try:
        with open("/etc/os-release", encoding="utf-8") as f:
            fields = dict(l.rstrip("\n").split("=", 1) for l in f if "=" in l)
            system = fields.get("PRETTY_NAME", system).strip('"')
    except OSError:
        pass
    user = "root" if os.geteuid() == 0 else "an ordinary user"
    return f"{os.cpu_count()} cores ({cpu or platform.machine()}), {system}, run as {user}"


def stamp(command):
    now = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
    return f"Written by `{command}` on {now}; {machine()}."


def junit_tests(path):
    """(name, status, seconds, output lines) for every test of a ctest junit file."""
    root = ET.parse(path).getroot()
    tests = []
    for case in root.iter("testcase"):
        status = {"run": "passed", "fail": "failed"}.get(case.get("status"), "not run")
        if case.find("failure") is not None:
            status = "failed"
        out = case.findtext("system-out") or ""
        tests.append((case.get("name"), status, float(case.get("time") or 0), out.splitlines()))
    return tests


def bench_block(tests):
    lines = [stamp("make bench"), ""]
    for name, status, seconds, out in tests:
        lines.append(f"### {name} ({status}, {seconds:.1f} s)")
        lines.append("")
        lines.append("```")
        lines.extend(l for l in out if l.strip() and not NOISE.match(l))
        lines.append("```")
        lines.append("")
    return lines


def faults_block(tests):
    lines = [stamp("make faults"), ""]
    for name, status, seconds, out in tests:
        rows = [r for r in (qtest_row(l) for l in out) if r and r[1] not in ("initTestCase", "cleanupTestCase")]
        counts = {}
        for r in rows:
            counts[r[0]] = counts.get(r[0], 0) + 1
        summary = ", ".join(f"{n} {k}" for k, n in sorted(counts.items()))
        lines.append(f"### {name}: {status}, {seconds:.1f} s" + (f" ({summary})" if summary else ""))
        lines.append("")
        if rows:
            lines.append("| Case | Result |")
            lines.append("|---|---|")
            for result, function, tag, why in rows:
                case = function + (f": {tag}" if tag else "")
                lines.append(f"| {case.replace('|', '/')} | {result}{' — ' + why if why else ''} |")
            lines.append("")
    return lines


FUZZ_STATS = re.compile(r"^#(\d+)\s+\w+\s+cov: (\d+) ft: (\d+) corp: (\d+)/(\S+)")
FUZZ_DONE = re.compile(r"^Done (\d+) runs in (\d+) second")


def fuzz_block(folder):
    lines = [stamp("make fuzz"), "",
             "| Target | Seconds | Runs | Runs/s | Coverage (edges) | Features | Corpus | Crashes |",
             "|---|---|---|---|---|---|---|---|"]
    logs = os.path.join(folder, "logs")
    for log in sorted(f for f in os.listdir(logs) if f.endswith(".log")):
        target = log[:-4]
        stats, done, crashes = None, None, 0
        with open(os.path.join(logs, log), encoding="utf-8", errors="replace") as f:
            for line in f:
                if m := FUZZ_STATS.match(line):
                    stats = m
                elif m := FUZZ_DONE.match(line):
                    done = m
                elif line.startswith("SUMMARY: "):
                    crashes += 1
        crash_dir = os.path.join(folder, "crashes", target.removeprefix("fuzz_"))
        if os.path.isdir(crash_dir):
            crashes = max(crashes, len(os.listdir(crash_dir)))
        if not stats:
            lines.append(f"| {target} | — | — | — | — | — | — | no run recorded |")
            continue
        runs, secs = (int(done.group(1)), int(done.group(2))) if done else (int(stats.group(1)), 0)
        rate = f"{runs // secs:,}" if secs else "—"
        lines.append(f"| {target} | {secs or 'stopped early'} | {runs:,} | {rate} | {stats.group(2)} | "
                     f"{stats.group(3)} | {stats.group(4)} inputs ({stats.group(5)}) | "
                     f"{crashes if crashes else 'none'} |")
    lines.append("")
    return lines


def replace_block(markdown, kind, block):
    begin, end = f"<!-- measured:{kind} begin -->", f"<!-- measured:{kind} end -->"
    try:
        with open(markdown, encoding="utf-8") as f:
            text = f.read()
    except FileNotFoundError:
        text = ""
    body = "\n".join([begin, *block, end])
    if begin in text and end in text:
        head, rest = text.split(begin, 1)
        tail = rest.split(end, 1)[1]
        text = head + body + tail
    else:
        text = text.rstrip("\n") + "\n\n" + body + "\n"
    with open(markdown, "w", encoding="utf-8") as f:
        f.write(text)


def main(argv):
    if len(argv) != 4 or argv[1] not in ("bench", "faults", "fuzz"):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    kind, source, markdown = argv[1:]
    try:
        if kind == "fuzz":
            block = fuzz_block(source)
        else:
            tests = junit_tests(source)
            block = bench_block(tests) if kind == "bench" else faults_block(tests)
    except (OSError, ET.ParseError) as e:
        print(f"measured.py: cannot read {source}: {e}", file=sys.stderr)
        return 1
    replace_block(markdown, kind, block)
    print(f"measured.py: {markdown} updated from {source}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

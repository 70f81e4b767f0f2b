#!/usr/bin/env python3
"""docs.py ROOT VERSION: what the README and the zips' READMEs say agrees with
what the code and the scripts do.

- The release files: the README's count and table name exactly the files
  scripts/package writes (the Octave package, and a zip for each platform
  with a packaging/README-<folder>.txt that scripts/package zips).
- A \\t in a folder: where a README says it becomes a tab, it says where
  (Octave's double quotes, sprintf): MATLAB's quotes of either kind keep it.
- Ctrl+C: sleep's wait hears the host where it waits in slices
  (sleep/wait_<part>.cpp asks host_stop between them); the README names each
  such system for sleep, and each such zip's README names sleep.
- Installing runs `pkg test mextime`, as a command of its own.
- The README's figures and plot come from the run that docs/mextimecheck.json
  reports, of this version: the table's figures are that report's, its title
  names the version and host, and the plot is the PNG that run saved."""
import json
import os
import re
import sys

root, version = sys.argv[1], sys.argv[2]
failures = []


fail = failures.append


def read(path):
    return open(os.path.join(root, path), encoding="utf-8").read()


readme = read("README.md")
package = read("scripts/package")

# The release files scripts/package writes.
if "mextime-$VERSION.tar.gz" not in package:
    fail("scripts/package writes no mextime-$VERSION.tar.gz")
folders = sorted(
    name[len("README-"):-len(".txt")]
    for name in os.listdir(os.path.join(root, "packaging"))
    if re.fullmatch(r"README-\w+\.txt", name)
)
loops = " ".join(re.findall(r"for folder in ([^;]*);", package)).split()
zipped = [f for f in folders if re.search(r"zip_platform %s\b" % f, package)
          or (f in loops and "zip_platform $folder" in package)]
if zipped != folders:
    fail(f"scripts/package zips {zipped}, packaging has READMEs for {folders}")
expected = sorted(["mextime-<version>.tar.gz"] + [f"mextime-<version>-{f}.zip" for f in folders])
words = {3: "three", 4: "four", 5: "five", 6: "six", 7: "seven"}
said = re.search(r"`scripts/build` writes (\w+) release files", readme)
if not said or said.group(1) != words.get(len(expected)):
    fail(f"README: scripts/build writes {len(expected)} release files, the README says "
         f"'{said.group(1) if said else 'nothing'}'")
installing = readme[readme.index("## Installing"):readme.index("\n## ", readme.index("## Installing") + 1)]
listed = sorted(re.findall(r"^\|[^|\n]+\| `(mextime-<version>[^`]*)` \|$", installing, re.M))
if listed != expected:
    fail(f"README's table of release files: {listed}, scripts/package writes {expected}")

# \t in a folder name.
for path in ["README.md"] + [f"packaging/{n}" for n in sorted(os.listdir(os.path.join(root, "packaging")))
                             if n.startswith("README")]:
    for line in read(path).splitlines():
        if "\\t" in line and "tab" in line and not re.search(r"Octave|sprintf", line):
            fail(f"{path}: says \\t becomes a tab without saying where: {line.strip()}")
        if "\\t" in line and "double quotes" in line and "Octave" not in line:
            fail(f"{path}: MATLAB's double quotes keep \\t: {line.strip()}")

# Ctrl+C during sleep.
systems = {"linux": ("Linux", ["glnxa64"]), "darwin": ("macOS", ["maci64", "maca64"]),
           "win32": ("Windows", ["win64"])}
hears = []
for system, (name, zips) in systems.items():
    # A system's own file, else the POSIX one it shares (Windows has none).
    parts = [system] if system == "win32" else [system, "posix"]
    sources = [f"sleep/wait_{p}.cpp" for p in parts if os.path.exists(os.path.join(root, f"sleep/wait_{p}.cpp"))]
    if sources and "host_stop" in read(sources[0]):
        hears.append(name)
        for folder in zips:
            lines = [l for l in read(f"packaging/README-{folder}.txt").splitlines() if "Ctrl+C" in l]
            if not any("sleep" in l for l in lines):
                fail(f"packaging/README-{folder}.txt: Ctrl+C ends a sleep there too: {lines}")
ctrl_c = re.search(r"\*\*Ctrl\+C\*\*(.*?)\n\n", readme, re.S)
paragraph = " ".join(ctrl_c.group(1).split()) if ctrl_c else ""
sleep_part = paragraph[paragraph.find("`sleep` hears"):]
if not sleep_part.startswith("`sleep` hears") or any(n not in sleep_part for n in hears) or "only" in sleep_part:
    fail(f"README: sleep hears Ctrl+C on {', '.join(hears)}: '{sleep_part}'")

# pkg test mextime, as a command, where installing is told.
if not re.search(r"^pkg test mextime\b", installing, re.M):
    fail("README's Installing does not run pkg test mextime")

# The figures and the plot of the README.
report = json.loads(read("docs/mextimecheck.json"))
if report["mextime_version"] != version:
    fail(f"docs/mextimecheck.json is of mextime {report['mextime_version']}, not {version}: run it again")
costs = readme[readme.index("## What it costs"):readme.index("## Installing")]
title = f"`mextimecheck` run of mextime {report['mextime_version']} in {report['host']['name']} {report['host']['version']}"
if title not in " ".join(costs.split()):
    fail(f"README: the figures' title does not name {title}")
png = os.path.join(root, "docs", "mextimecheck.png")
if os.path.getsize(png) != report["plot"]["bytes"]:
    fail(f"docs/mextimecheck.png is not the plot of docs/mextimecheck.json's run: run it again")
n, b = report["normal"], report["boosted"]


def ms(x):
    return f"{x:.3f} ms"


def worst(p):
    return max(t["worst_ms"] for t in p["trials"])


rows = {
    "`clockread`: cost per call": (f"{n['clockread']['cost_us']:.1f} µs", f"{b['clockread']['cost_us']:.1f} µs"),
    "`sleep(1)`: how late it ends, p99": (ms(n["sleep"]["p99_ms"]), ms(b["sleep"]["p99_ms"])),
    "`waituntil` 1 ms ahead: how late the script goes on, p99": (ms(n["waituntil"]["p99_ms"]), ms(b["waituntil"]["p99_ms"])),
    "`waituntil` 1 ms ahead: the worst of 300": (ms(n["waituntil"]["max_ms"]), ms(b["waituntil"]["max_ms"])),
    "2 × 200 trials 10 ms apart: the onset after its planned time, p99":
        (ms(max(t["p99_ms"] for t in n["trials"])), ms(max(t["p99_ms"] for t in b["trials"]))),
    "2 × 200 trials 10 ms apart: the worst onset": (ms(worst(n)), ms(worst(b))),
    "a 1 kHz `waituntil` loop: share of a core kept busy":
        (f"{100 * n['spin']['cpu_share']:.0f}%", f"{100 * b['spin']['cpu_share']:.0f}%"),
    "`clockutc`: how closely UTC is paired with the counter": (f"{report['utc']['uncertainty_us']:.3f} µs", ""),
}
table = {m.group(1): (m.group(2).strip(), m.group(3).strip())
         for m in re.finditer(r"^\| ([^|\n]+?) \|([^|\n]*)\|([^|\n]*)\|$", costs, re.M)}
for label, values in rows.items():
    if table.get(label) != values:
        fail(f"README: '{label}' shows {table.get(label)}, docs/mextimecheck.json says {values}")

for text in failures:
    print("FAIL " + text)
print(f"docs: {len(expected)} release files, Ctrl+C in sleep on {', '.join(hears)}, "
      f"{len(rows)} figures of mextime {report['mextime_version']}" + ("" if failures else ": all agree"))
sys.exit(1 if failures else 0)

#!/usr/bin/env python3
"""report_fields.py DOC REPORT: the JSON report REPORT, read with Python's
json, has every field that docs/report.md (DOC) names, and none that it does
not, with its documented type. A path in DOC's table: [] for each element of
an array, * for each field of an object; "boosted" has the fields of
"normal", "priority.boosted" and "priority.kept" those of "priority.before"."""
import json
import re
import sys

doc, report = sys.argv[1], json.load(open(sys.argv[2]))
rows = re.findall(r"\n\| `([a-z0-9_.*\[\]]+)` \| ([^|]+) \|", open(doc).read())
documented = {path: kind.strip() for path, kind in rows}


def leaves(value, path):
    """Each leaf's path and value; an array of objects stands for each element."""
    if isinstance(value, dict) and value:
        for key, item in value.items():
            yield from leaves(item, f"{path}.{key}" if path else key)
    elif isinstance(value, list) and value and all(isinstance(v, dict) for v in value):
        for item in value:
            yield from leaves(item, path + "[]")
    else:
        yield path, value


def same(path):
    path = re.sub(r"^boosted\.", "normal.", path)
    return re.sub(r"^priority\.(boosted|kept)\.", "priority.before.", path)


def of_kind(value, kind):
    """A value of the documented type; a number may be null (not measured)."""
    def number(v):
        return v is None or (isinstance(v, (int, float)) and not isinstance(v, bool))
    kinds = {"text": lambda: isinstance(value, str),
             "texts": lambda: isinstance(value, list) and all(isinstance(v, str) for v in value),
             "number": lambda: number(value),
             "numbers": lambda: number(value) or (isinstance(value, list) and all(number(v) for v in value)),
             "true/false": lambda: isinstance(value, bool) or (value == [] and "[]" in kind)}
    return kinds.get(kind.split()[0], lambda: True)()


found = list(leaves(report, ""))
status = 0
for path, kind in documented.items():
    pattern = "^" + re.escape(path).replace(r"\.\*", r"\.[^.]+") + r"(\.|\[|$)"
    if not any(re.match(pattern, p) for p, _ in found):
        print(f"FAIL {path}: in {doc}, not in the report")
        status = 1
for path, value in found:
    key = same(path)
    wild = re.sub(r"\.[^.]+$", ".*", key)
    kind = documented.get(key, documented.get(wild))
    if kind is None:
        print(f"FAIL {path}: in the report, not in {doc}")
        status = 1
    elif not of_kind(value, kind):
        print(f"FAIL {path}: {value!r} is not {kind}")
        status = 1
print(f"report: {len(found)} values, {len(documented)} documented fields" + (", all found" if status == 0 else ""))
sys.exit(status)

"""The guide's listings against the files they show: a line
"<!-- example: PATH -->" is followed by a fenced block holding exactly the
file PATH (relative to the guide's folder; Shift_JIS files read as such, line
ends as LF). Every script (.dms) and widget (.xml) under examples/ is shown
at least once, so no example runs untold and none is told unrun.
Usage: listings.py DOCS_FOLDER"""
import pathlib
import re
import sys

docs = pathlib.Path(sys.argv[1])
guide = (docs / "guide.md").read_text(encoding="utf-8").split("\n")
failures, shown = [], set()


def file_text(path):
    data = path.read_bytes().replace(b"\r\n", b"\n")
    for encoding in ("utf-8", "cp932"):
        try:
            return data.decode(encoding)
        except UnicodeDecodeError:
            pass
    raise ValueError(f"{path}: neither UTF-8 nor Shift_JIS")


marker = re.compile(r"^<!-- example: (\S+) -->$")
for number, line in enumerate(guide):
    found = marker.match(line)
    if not found:
        continue
    name = found.group(1)
    path = docs / name
    shown.add(path.resolve())
    rest = guide[number + 1:]
    if not rest or not rest[0].startswith("```"):
        failures.append(f"guide.md:{number + 1}: no fenced block after the marker of {name}")
        continue
    end = next((i for i in range(1, len(rest)) if rest[i] == "```"), None)
    if end is None:
        failures.append(f"guide.md:{number + 1}: the block of {name} never ends")
        continue
    block = "\n".join(rest[1:end]) + "\n"
    if not path.exists():
        failures.append(f"guide.md:{number + 1}: {name} does not exist")
    elif file_text(path) != block:
        failures.append(f"guide.md:{number + 1}: the listing differs from {name}")

for path in sorted((docs / "examples").rglob("*")):
    if path.suffix in (".dms", ".xml") and path.resolve() not in shown:
        failures.append(f"{path.relative_to(docs)} is not shown in the guide")

for failure in failures:
    print(failure)
print(f"{len(shown)} listings checked, {len(failures)} failures")
sys.exit(1 if failures else 0)

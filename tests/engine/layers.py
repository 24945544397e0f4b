#!/usr/bin/python3
"""Checks the layers of a layered tree (engine/, host/) against its table in
README.md.

  layers.py includes TREE
      every #include "..." of a file under TREE/ names the file's own
      folder, a folder its row lists, or what those may include in turn;
  layers.py symbols NM TREE FOLDER=LIBRARY...
      every symbol that one layer's library takes from another library of the
      tree is defined in a layer it may include (a static library would
      otherwise link an upward call whenever another caller pulled the
      definition in).

A row that lists no path may include every folder above it. Exits non-zero,
listing each fault, when anything breaks the table.
"""
import re
import subprocess
import sys
from pathlib import Path


def read_table(root, tree):
    """{folder: [paths it lists]} from the README's table of the tree, bottom first."""
    rows = {}
    for line in (root / "README.md").read_text(encoding="utf-8").splitlines():
        cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
        if len(cells) != 3 or not re.fullmatch(rf"`{tree}/([a-z]+/)?`", cells[0]):
            continue
        listed = re.findall(r"`([^`]+)`", cells[2])
        rows[cells[0].strip("`")] = listed or list(rows)
    if not rows:
        sys.exit(f"README.md holds no {tree} layer table")
    return rows


def allowed(rows, folder):
    """The folder, what its row lists, and what those list, transitively."""
    result, pending = {folder}, [folder]
    while pending:
        for path in rows.get(pending.pop(), []):
            if path not in result:
                result.add(path)
                pending.append(path)
    return result


def check_includes(root, tree):
    rows = read_table(root, tree)
    faults = []
    for path in sorted((root / tree).rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        name = path.relative_to(root).as_posix()
        folder = name.rsplit("/", 1)[0] + "/"
        if folder not in rows:
            faults.append(f"{name}: its folder is not in the table")
            continue
        may = allowed(rows, folder)
        text = path.read_text(encoding="utf-8", errors="replace")
        for match in re.finditer(r'^\s*#\s*include\s+"([^"]+)"', text, re.M):
            included = match.group(1)
            if not any(included == p or (p.endswith("/") and included.startswith(p)) for p in may):
                line = text.count("\n", 0, match.start()) + 1
                faults.append(f"{name}:{line}: includes {included}")
    return faults


def symbols(nm, library):
    """(defined, undefined) external symbols of a static library."""
    listing = subprocess.run([nm, "-g", "-P", library], check=True, capture_output=True, text=True).stdout
    defined, undefined = set(), set()
    for line in listing.splitlines():
        parts = line.split()
        if len(parts) >= 2 and not parts[0].endswith(":"):
            (undefined if parts[1] == "U" else defined).add(parts[0])
    return defined, undefined - defined


def check_symbols(root, nm, tree, pairs):
    rows = read_table(root, tree)
    libraries = dict(pair.split("=", 1) for pair in pairs)
    if set(libraries) != set(rows):
        return [f"libraries given for {sorted(libraries)}, table rows {sorted(rows)}"]
    tables = {folder: symbols(nm, library) for folder, library in libraries.items()}
    faults = []
    for folder, (_, undefined) in tables.items():
        may = allowed(rows, folder)
        for symbol in sorted(undefined):
            owners = {other for other, (defined, _) in tables.items() if symbol in defined}
            if owners and not owners & may:
                faults.append(f"{folder} takes {symbol} from {', '.join(sorted(owners))}")
    return faults


def main():
    root = Path(__file__).resolve().parents[2]
    if len(sys.argv) == 3 and sys.argv[1] == "includes":
        faults = check_includes(root, sys.argv[2])
    elif len(sys.argv) > 4 and sys.argv[1] == "symbols":
        faults = check_symbols(root, sys.argv[2], sys.argv[3], sys.argv[4:])
    else:
        sys.exit(__doc__)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""Checks that no name declared in our headers is one that the system headers
define as a macro for their A and W functions (DeleteFile, TextOut): such a
member is renamed NameA by the macro wherever the headers are included, so
that a call meant for the system's function can reach ours.

  macronames.py ROOT INCLUDE_DIR...

Reads the macros from the headers of the include folders that hold
windows.h, the names from every .h file of ROOT's source folders (comments
and texts left out). Exits non-zero, listing each clash, when one is found.
"""
import re
import sys
from pathlib import Path

SOURCE_FOLDERS = ("rtl", "engine", "ui", "bridge", "stdlib", "net", "host", "widgets", "tests", "bench")
# "#define Name NameA", "#define Name NameW", "#define Name __MINGW_NAME_AW(Name)" and its UAW form.
MACRO = re.compile(r"^\s*#\s*define\s+(\w+)\s+(?:__MINGW_NAME_U?AW\(\s*(\w+)\s*\)|(\w+)[AW])\s*$", re.M)
COMMENT_OR_TEXT = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', re.S)
NAME = re.compile(r"\b[A-Za-z_]\w*\b")


def system_macros(folders):
    macros = set()
    for folder in folders:
        if not (folder / "windows.h").exists():
            continue
        for header in folder.glob("*.h"):
            text = header.read_text(encoding="latin-1")
            for name, aw, stem in MACRO.findall(text):
                if (aw or stem) == name:
                    macros.add(name)
    return macros


def main():
    root = Path(sys.argv[1])
    macros = system_macros(Path(folder) for folder in sys.argv[2:])
    if not macros:
        sys.exit("no system headers with A/W macros found in " + " ".join(sys.argv[2:]))
    clashes = []
    for folder in SOURCE_FOLDERS:
        for header in sorted((root / folder).rglob("*.h")):
            text = COMMENT_OR_TEXT.sub(" ", header.read_text(encoding="latin-1"))
            for number, line in enumerate(text.splitlines(), 1):
                if line.lstrip().startswith("#"):
                    continue
                for name in sorted(set(NAME.findall(line)) & macros):
                    clashes.append(f"{header.relative_to(root)}:{number}: {name} is a macro of the system headers")
    for clash in clashes:
        print(clash)
    sys.exit(1 if clashes else 0)


main()

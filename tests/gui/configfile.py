"""Settings files (".config") for the GUI checks: the host's XML of
configuration / appSettings (optional attribute section) / add (key, value)
in Shift-JIS, read as lines "key=value" (default section) and
"section/key=value", and written from such lines.

    configfile.py dump FILE
    configfile.py write FILE LINE...
    configfile.py check FILE LINE...   (exactly these lines; a value "*" is any value)
"""
import sys
import xml.etree.ElementTree as ElementTree
from xml.sax.saxutils import quoteattr

ENCODING = "cp932"  # what the files call Shift-JIS


def entries(path):
    with open(path, "rb") as file:
        text = file.read().decode(ENCODING)
    # The parser takes no Shift-JIS: it is given the decoded text without its declaration.
    if text.startswith("<?xml"):
        text = text[text.index("?>") + 2:]
    lines = []
    for section in ElementTree.fromstring(text).iter("appSettings"):
        prefix = section.get("section", "")
        for add in section.iter("add"):
            line = f"{add.get('key', '')}={add.get('value', '')}"
            lines.append(f"{prefix}/{line}" if prefix else line)
    return lines


def split(line):
    head, _, value = line.partition("=")
    section, _, key = head.rpartition("/")
    return section, key, value


def write(path, lines):
    sections = {}
    for line in lines:
        section, key, value = split(line)
        sections.setdefault(section, []).append((key, value))
    out = ['<?xml version="1.0" encoding="Shift-JIS"?>', "<configuration>"]
    for section, pairs in sections.items():
        out.append(f"  <appSettings section={quoteattr(section)}>" if section else "  <appSettings>")
        out += [f"    <add key={quoteattr(key)} value={quoteattr(value)}/>" for key, value in pairs]
        out.append("  </appSettings>")
    out.append("</configuration>")
    with open(path, "wb") as file:
        file.write(("\r\n".join(out) + "\r\n").encode(ENCODING))


def matches(actual, expected):
    *_, value = split(expected)
    return actual == expected or (value == "*" and split(actual)[:2] == split(expected)[:2])


def check(path, expected):
    actual = entries(path)
    if len(actual) == len(expected) and all(map(matches, actual, expected)):
        return 0
    print(f"{path} holds:", *actual, "expected:", *expected, sep="\n  ", file=sys.stderr)
    return 1


def main(command, path, *lines):
    if command == "dump":
        for line in entries(path):
            print(line)
        return 0
    if command == "write":
        write(path, lines)
        return 0
    if command == "check":
        return check(path, list(lines))
    raise SystemExit(f"configfile.py: unknown command {command}")


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))

#!/usr/bin/env python3
"""Holds a built shared library to the list of exported names (src/exports.txt).

  check_exports.py LIST LIBRARY [OBJDUMP]

An ELF library must be named by its SONAME's major version, and export exactly
the listed names, each at the version PICTURE_DISPLAY_1; a Windows DLL must
export exactly the listed names (read with OBJDUMP, MinGW's objdump). Prints
"ok ..." and exits 0, or "FAIL ..." and exits 1."""
import re
import subprocess
import sys

VERSION = "PICTURE_DISPLAY_1"


def listed(path):
    with open(path) as f:
        return {line.strip() for line in f if re.fullmatch(r"[a-z_0-9]+", line.strip())}


def elf_exports(library):
    out = subprocess.run(["readelf", "--dyn-syms", "--wide", library], check=True, capture_output=True,
                         text=True).stdout
    names, problems = set(), []
    for line in out.splitlines():
        fields = line.split()
        # Num: Value Size Type Bind Vis Ndx Name: defined, global, not the version's own symbol.
        if len(fields) < 8 or fields[6] in ("UND", "Ndx") or fields[4] not in ("GLOBAL", "WEAK"):
            continue
        name, _, version = fields[7].partition("@")
        version = version.lstrip("@")
        if name == VERSION:
            continue
        names.add(name)
        if version != VERSION:
            problems.append(f"{name} at version '{version}', want {VERSION}")
    dynamic = subprocess.run(["readelf", "--dynamic", library], check=True, capture_output=True, text=True).stdout
    soname = re.search(r"Library soname: \[([^\]]+)\]", dynamic)
    if not soname or not re.fullmatch(r"lib[\w-]+\.so\.\d+", soname.group(1)):
        problems.append(f"SONAME {soname.group(1) if soname else 'missing'}: want lib<name>.so.<major>")
    return names, problems


def pe_exports(library, objdump):
    out = subprocess.run([objdump, "-p", library], check=True, capture_output=True, text=True).stdout
    table = out.split("[Ordinal/Name Pointer] Table", 1)
    if len(table) < 2:
        return set(), ["no export table"]
    names = set()
    for line in table[1].splitlines()[1:]:
        m = re.match(r"\s*\[\s*\d+\]\s+(\S+)$", line)
        if not m:
            break
        names.add(m.group(1))
    return names, []


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    want = listed(sys.argv[1])
    library = sys.argv[2]
    with open(library, "rb") as f:
        elf = f.read(4) == b"\x7fELF"
    got, problems = elf_exports(library) if elf else pe_exports(library, sys.argv[3] if len(sys.argv) > 3 else "objdump")
    if not want:
        problems.append("the list names nothing")
    problems += [f"{n} not exported" for n in sorted(want - got)] + [f"{n} exported, not listed" for n in sorted(got - want)]
    if problems:
        for p in problems:
            print(f"FAIL {library}: {p}")
        return 1
    print(f"ok   {library}: exports exactly the {len(want)} listed names" + (f" at {VERSION}" if elf else ""))
    return 0


if __name__ == "__main__":
    sys.exit(main())

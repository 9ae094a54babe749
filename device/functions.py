#!/usr/bin/env python3
"""Lists the functions of the handheld's program by address, for the emulated run to name the
function in which it stops.

The linker's map (-Map) places each object's .text in the program, but names only global
symbols; program code has file-local (static) functions too. Each object's own symbol table
(read with the handheld's objdump -t) names both, relative to its .text: the map's placement
plus those offsets give every function's address. The import thunks the linker adds are named
by their import.

Usage: functions.py MAP BUILD-DIRECTORY OBJDUMP CXXFILT OUTPUT

Each line of OUTPUT: start end name source, the addresses in hexadecimal, end exclusive, the
name demangled; lines in address order.
"""

import os
import re
import subprocess
import sys

# " .text          0x00011060      0x578 libdunvatel_core.a(app_frame.cpp.obj)"
PLACEMENT = re.compile(r"^ \.text\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$")
# "[ 14](sec  1)(fl 0x00)(ty    0)(scl   2) (nx 0) 0x00000000 _Z11SaveKeyFile..."
SYMBOL = re.compile(r"^\[\s*\d+\]\(sec\s+(-?\d+)\).*\(scl\s+(\d+)\)\s+\(nx\s+\d+\)\s+0x([0-9a-f]+)\s+(\S+)$")
MEMBER = re.compile(r"^(.*)\((.+)\)$")
# Storage classes: global, file-local, and the label a file-local function gets from the assembler.
EXTERNAL, STATIC, LABEL = 2, 3, 6


def read_placements(map_path):
    """The .text contributions of the map's first .text output section, in address order."""
    placements = []
    with open(map_path, encoding="utf-8", errors="replace") as lines:
        for line in lines:
            match = PLACEMENT.match(line.rstrip("\n"))
            if match and int(match.group(2), 16) > 0:
                placements.append((int(match.group(1), 16), int(match.group(2), 16), match.group(3)))
    return placements


def find_objects(build):
    """Every object file of the build by its file name, with the source it was compiled from
    (its path below the target's CMakeFiles/NAME.dir/)."""
    objects = {}
    for folder, _, names in os.walk(build):
        for name in names:
            if not name.endswith(".obj"):
                continue
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, build).replace(os.sep, "/")
            prefix, _, rest = relative.partition("CMakeFiles/")
            source = prefix + rest.split(".dir/", 1)[-1][: -len(".obj")]
            objects.setdefault(name, []).append((path, source))
    return objects


def text_symbols(objdump, path):
    """(offset, mangled name) of the functions in the object's .text."""
    listing = subprocess.run([objdump, "-t", path], check=True, capture_output=True, text=True).stdout
    text_section = None
    symbols = []
    for line in listing.splitlines():
        match = SYMBOL.match(line)
        if not match:
            continue
        section, storage, value, name = int(match.group(1)), int(match.group(2)), int(match.group(3), 16), match.group(4)
        if name == ".text":
            text_section = section
            continue
        if storage in (EXTERNAL, STATIC, LABEL) and not name.startswith("."):
            symbols.append((section, value, name))
    return sorted((value, name) for section, value, name in symbols if section == text_section)


def demangle(cxxfilt, names):
    if not names:
        return []
    result = subprocess.run([cxxfilt], input="\n".join(names) + "\n", check=True, capture_output=True, text=True)
    return result.stdout.splitlines()


def list_functions(map_path, build, objdump, cxxfilt):
    objects = find_objects(build)
    entries = []
    for start, size, origin in read_placements(map_path):
        member = MEMBER.match(origin)
        file_name = os.path.basename(member.group(2) if member else origin)
        found = objects.get(file_name, [])
        if len(found) != 1:
            # No object of the build: an import library's thunk, named below.
            entries.append((start, start + size, "import thunk", ""))
            continue
        path, source = found[0]
        symbols = text_symbols(objdump, path)
        names = demangle(cxxfilt, [name for _, name in symbols])
        for index, (offset, _) in enumerate(symbols):
            end = symbols[index + 1][0] if index + 1 < len(symbols) else size
            entries.append((start + offset, start + end, names[index], source))
    return entries


def name_thunks(entries, map_path):
    """Gives each import thunk the name of the call it jumps to, from the map's own lines: the
    thunk's global symbol follows its placement."""
    names = {}
    with open(map_path, encoding="utf-8", errors="replace") as lines:
        pending = None
        for line in lines:
            match = PLACEMENT.match(line.rstrip("\n"))
            if match:
                pending = int(match.group(1), 16)
                continue
            symbol = re.match(r"^\s+0x([0-9a-f]+)\s+(\S+)$", line)
            if pending is not None and symbol and int(symbol.group(1), 16) == pending:
                names[pending] = symbol.group(2)
            pending = None
    return [(start, end, "thunk of " + names.get(start, "an import") if name == "import thunk" else name, source)
            for start, end, name, source in entries]


def main():
    map_path, build, objdump, cxxfilt, output = sys.argv[1:6]
    entries = name_thunks(list_functions(map_path, build, objdump, cxxfilt), map_path)
    with open(output, "w", encoding="utf-8") as out:
        for start, end, name, source in sorted(entries):
            out.write("%08x %08x %s\t%s\n" % (start, end, name, source))


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Makes dunvatel.cab, the cabinet a Pocket PC 2000 or 2002 installs from: tapped on the
handheld, its installer puts dunvatel.exe into \\Program Files\\dunvatel, makes the shortcut
\\Windows\\Start Menu\\Programs\\dunvatel.lnk to it, and lists dunvatel under Remove Programs.

  cabinet.py EXE CAB GCAB

The cabinet holds two files: the setup file dunvatel.000, which this script writes and which
tells the installer the application's name and provider, the Windows CE version and processor
it takes, its directory, its file and its shortcut (no registry entries: the program keeps
nothing of its own), and EXE as dunvatel.001. Debian's gcab (GCAB) writes the cabinet with
the files stored as they are, not MSZIP-compressed (gcab -z): the description below says such
cabinets "typically use no compression", so such are what the installer reads most, and the
29 KB it takes instead of 13 KB matter on neither ActiveSync nor a storage card.

read_setup() reads a setup file back, field by field, and refuses one that breaks the format;
device/checks.py reads the cabinet's setup file with it.

The format of the cabinet's contents and of the setup file is as cabextract's description
gives it (repository kyz/libmspack, cabextract/doc/wince_cab_format.html), below "the
description"; what the installer does with a field, as Microsoft's pages of the .inf file give
it, from which the device's own cabinet maker writes the setup file (under
learn.microsoft.com/en-us/previous-versions/windows/embedded/, named below by their ids).
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

APPLICATION = "dunvatel"
PROVIDER = "dunvatel project"
PROGRAM = "dunvatel.exe"
# The shortcut's name, with its extension: the .inf file's CEShortcuts
# (aa924390(v=winembedded.60)) says the name "does not require the .lnk extension", so it may
# carry it, and carrying it the name needs nothing added to be a shortcut the shell shows.
SHORTCUT = "dunvatel.lnk"

# The processor the installer takes the cabinet on, compared with what the device reports in
# SYSTEM_INFO.dwProcessorType (the .inf file's [CEDevice], ms938382(v=msdn.10): ProcessorType
# is the "value that is returned by SYSTEM_INFO.dwProcessorType"). 2577 is PROCESSOR_STRONGARM
# (the description, "Appendix A": 2577 StrongARM; winnt.h, as mingw-w64's
# /usr/share/mingw-w64/include/winnt.h has it: #define PROCESSOR_STRONGARM 2577). An XScale of a
# Pocket PC 2002 reports the same: Microsoft's "Processor Type Reference"
# (aa924401(v=winembedded.60)) gives 2577 for a "Pocket PC 2002 device, ARM-based", its page of
# CEProcessorType (ms905418(v=msdn.10), Windows CE 3.0 and later) gives PROCESSOR_STRONGARM to
# the ARMV4 kernel, for the installer "can only interpret Processor ID types defined in
# Winnt.h", and a developer's .inf file for Pocket PC 2000 and 2002 on ARM, published on a
# forum, says ProcessorType = 2577 for both (www.pcreview.co.uk/threads/
# cabwiz-exe-inf-file-for-ppc-2000-2002-and-2003-cab-all-in-one-impossible.1298108/).
PROCESSOR_STRONGARM = 2577

# The least Windows CE version, major and minor: 3.0, that of Pocket PC 2000 and 2002 (the
# .inf file's VersionMin, [CEDevice], ms938382(v=msdn.10); the description's header, offsets
# 24 and 28). No most version and no build numbers: 0 in each is no restriction (the
# description).
LEAST_VERSION = (3, 0)

# The Pocket PC's standard directories, as the installer names them (%CEn%): the description,
# "Appendix B" (a Pocket PC's %CE1% and %CE11%), and Microsoft's "Windows CE Strings (PPC
# Only)" (learn.microsoft.com/en-us/previous-versions/aa459003(v=msdn.10)): %CE1% \Program
# Files, %CE11% \Windows\Start Menu\Programs.
DIRECTORIES = {1: "\\Program Files", 11: "\\Windows\\Start Menu\\Programs"}
PROGRAM_FILES = 1
START_MENU_PROGRAMS = 11

# A file the user may not skip: a shortcut to a skipped program would lead nowhere (the
# description's file flags, bit 1; the .inf file's CopyFiles, ms913665(v=msdn.10):
# COPYFLG_NOSKIP 0x00000002).
NO_SKIP = 0x00000002
# A link's target is a file (1) or a directory (0) (the description, "The LINKS section").
LINK_TO_FILE = 1

SIGNATURE = b"MSCE"
HEADER_SIZE = 100
# The header's fields of unknown purpose, at offsets 4, 12, 16, 96 and 98, with the values the
# description calls usual.
USUAL_UNKNOWNS = (0, 0, 1, 0, 0)
# The counts and offsets of the sections, in the header's order.
SECTIONS = ("strings", "dirs", "files", "reghives", "regkeys", "links")


def cabinet_name(number):
    """The name of a file in the cabinet: 8.3, the three digits its number (the description,
    "Cabinet file contents"; the installer finds a file by its number alone)."""
    return f"{APPLICATION[:8]}.{number:03d}"


# ---- Writing ----

def asciz(text):
    return text.encode("ascii") + b"\0"


def setup_file():
    """The bytes of dunvatel.000."""
    strings = []

    def path(*names):
        """A path as the sections hold it: the ids of its names in STRINGS, ended by 0."""
        for name in names:
            if name not in strings:
                strings.append(name)
        ids = [strings.index(name) + 1 for name in names] + [0]
        return struct.pack(f"<{len(ids)}H", *ids)

    install_dir, program_file, link_id = 1, 1, 1
    directory = path(f"%CE{PROGRAM_FILES}%", APPLICATION)
    link = path(SHORTCUT)
    program = asciz(PROGRAM)
    # Each section's entries follow one another without padding; a file's third field is
    # usually its id again, a link's second field has no known purpose.
    sections = {
        "strings": [struct.pack("<HH", number, len(asciz(text))) + asciz(text)
                    for number, text in enumerate(strings, 1)],
        "dirs": [struct.pack("<HH", install_dir, len(directory)) + directory],
        "files": [struct.pack("<HHHIH", program_file, install_dir, program_file, NO_SKIP,
                              len(program)) + program],
        "reghives": [],
        "regkeys": [],
        "links": [struct.pack("<HHHHHH", link_id, 0, START_MENU_PROGRAMS, program_file,
                              LINK_TO_FILE, len(link)) + link],
    }
    # After the header: the application's name, its provider, the (empty) list of platforms
    # it does not run on, then the sections, each where the header says.
    body, offsets = b"", {}
    for name, data in [("application", asciz(APPLICATION)), ("provider", asciz(PROVIDER)),
                       ("unsupported", b"")] + [(s, b"".join(sections[s])) for s in SECTIONS]:
        offsets[name] = HEADER_SIZE + len(body)
        body += data
    header = struct.pack(
        "<4s11I6H6I8H", SIGNATURE, USUAL_UNKNOWNS[0], HEADER_SIZE + len(body),
        USUAL_UNKNOWNS[1], USUAL_UNKNOWNS[2], PROCESSOR_STRONGARM, *LEAST_VERSION, 0, 0, 0, 0,
        *(len(sections[s]) for s in SECTIONS), *(offsets[s] for s in SECTIONS),
        offsets["application"], len(asciz(APPLICATION)), offsets["provider"],
        len(asciz(PROVIDER)), offsets["unsupported"], 0, *USUAL_UNKNOWNS[3:])
    return header + body


def write_cabinet(exe, cab, gcab):
    """Writes CAB from the setup file and EXE with GCAB, replacing CAB only with a whole one.
    Both files take EXE's time, so that the same program gives the same cabinet."""
    folder = os.path.dirname(os.path.abspath(cab))
    with tempfile.TemporaryDirectory(dir=folder) as work:
        setup = os.path.join(work, cabinet_name(0))
        with open(setup, "wb") as file:
            file.write(setup_file())
        program = os.path.join(work, cabinet_name(1))
        shutil.copyfile(exe, program)
        stamp = os.stat(exe).st_mtime_ns
        for name in (setup, program):
            os.utime(name, ns=(stamp, stamp))
        # The setup file first, then the others from the highest number down (the
        # description, "Cabinet file contents"); gcab keeps the order it is given.
        made = os.path.join(work, "made.cab")
        run = subprocess.run([gcab, "-c", "-n", made, setup, program], capture_output=True,
                             text=True)
        if run.returncode != 0:
            sys.exit(f"{gcab} failed: {run.stderr}")
        os.replace(made, cab)


# ---- Reading ----

class SetupError(Exception):
    pass


def read_setup(data):
    """The fields of a setup file: {"application", "provider", "unsupported", "processor",
    "least_version", "most_version", "builds", "unknowns", "directories" {id: path}, "files"
    {id: (path, flags)}, "hives", "keys", "links" [(id, path, target path)]}, with the
    installer's directories in their paths. Raises SetupError at the first field that breaks
    the format or names what the file does not hold."""
    if len(data) < HEADER_SIZE or data[:4] != SIGNATURE:
        raise SetupError("no setup file: it does not begin with a 100-byte header signed MSCE")
    fields = struct.unpack_from("<4s11I6H6I8H", data)
    if fields[2] != len(data):
        raise SetupError(f"the length field says {fields[2]} bytes, the file has {len(data)}")
    counts = dict(zip(SECTIONS, fields[12:18]))
    offsets = dict(zip(SECTIONS, fields[18:24]))

    def take(offset, size, what):
        if offset + size > len(data):
            raise SetupError(f"{what} ({size} bytes at {offset}) runs past the file's end")
        return data[offset:offset + size]

    def text(raw, what):
        if not raw.endswith(b"\0") or b"\0" in raw[:-1]:
            raise SetupError(f"{what} is not one string whose last byte, and only that, is 0")
        try:
            return raw[:-1].decode("ascii")
        except UnicodeDecodeError:
            raise SetupError(f"{what} is not ASCII") from None

    def entries(section, layout):
        """(fixed fields, variable bytes) of each entry of SECTION, whose fixed fields are
        LAYOUT and end with the length of the bytes that follow."""
        offset = offsets[section]
        for _ in range(counts[section]):
            size = struct.calcsize(layout)
            fixed = struct.unpack(layout, take(offset, size, f"an entry of {section}"))
            yield fixed, take(offset + size, fixed[-1], f"an entry of {section}")
            offset += size + fixed[-1]

    strings = {}
    for (number, _), raw in entries("strings", "<HH"):
        strings[number] = text(raw, f"string {number}")

    def names(raw, what):
        ids = struct.unpack(f"<{len(raw) // 2}H", raw) if len(raw) % 2 == 0 else ()
        if not ids or ids[-1] != 0 or 0 in ids[:-1]:
            raise SetupError(f"{what} is not a list of string ids ended by 0")
        missing = [i for i in ids[:-1] if i not in strings]
        if missing:
            raise SetupError(f"{what} names string {missing[0]}, which STRINGS does not hold")
        return [strings[i] for i in ids[:-1]]

    def directory(number, what):
        if number not in DIRECTORIES:
            name = f"%CE{number}%" if number else "%InstallDir%"
            raise SetupError(f"{what} lies in {name}, a directory this reader does not know")
        return DIRECTORIES[number]

    directories = {}
    for (number, _), raw in entries("dirs", "<HH"):
        steps = names(raw, f"directory {number}")
        if steps[0].startswith("%CE") and steps[0].endswith("%") and steps[0][3:-1].isdigit():
            steps[0] = directory(int(steps[0][3:-1]), f"directory {number}")
        directories[number] = "\\".join(steps)
    files = {}
    for (number, folder, _, flags, _), raw in entries("files", "<HHHIH"):
        if folder not in directories:
            raise SetupError(f"file {number} goes into directory {folder}, which DIRS does not "
                             "hold")
        files[number] = (directories[folder] + "\\" + text(raw, f"file {number}'s name"), flags)
    hives = [(fixed, names(raw, f"hive {fixed[0]}"))
             for fixed, raw in entries("reghives", "<HHHH")]
    keys = [(fixed, raw) for fixed, raw in entries("regkeys", "<HHHIH")]
    links = []
    for (number, _, base, target, kind, _), raw in entries("links", "<HHHHHH"):
        targets, what = (files, "file") if kind == LINK_TO_FILE else (directories, "directory")
        if target not in targets:
            raise SetupError(f"link {number} points at {what} {target}, which the setup file "
                             "does not install")
        path = targets[target][0] if kind == LINK_TO_FILE else targets[target]
        links.append((number, directory(base, f"link {number}") + "\\" +
                      "\\".join(names(raw, f"link {number}")), path))
    application, provider, unsupported = (
        take(fields[24 + 2 * i], fields[25 + 2 * i], what) for i, what in
        enumerate(("the application's name", "the provider", "the unsupported platforms")))
    return {
        "application": text(application, "the application's name"),
        "provider": text(provider, "the provider"),
        "unsupported": [name.decode("ascii", "replace") for name in unsupported.split(b"\0")
                        if name],
        "processor": fields[5],
        "least_version": fields[6:8],
        "most_version": fields[8:10],
        "builds": fields[10:12],
        "unknowns": (fields[1], fields[3], fields[4]) + fields[30:32],
        "directories": directories,
        "files": files,
        "hives": hives,
        "keys": keys,
        "links": links,
    }


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: cabinet.py EXE CAB GCAB")
    write_cabinet(*sys.argv[1:])


if __name__ == "__main__":
    main()

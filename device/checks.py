#!/usr/bin/env python3
"""Checks of the handheld's program, build/device/dunvatel.exe, and of its installer cabinet,
build/device/dunvatel.cab, read from the files themselves (no handheld runs here). Each prints
what it found wrong and exits 1.

  checks.py header EXE
      the PE header the Windows CE 3.0 loader takes: ARM (not Thumb), the Windows CE GUI
      subsystem, versions 3.00, image base 0x10000 with base relocations, a 64 KB stack with
      4 KB committed, no DLL characteristics, no symbol table, an entry point in ARM code;
  checks.py imports EXE SDK
      every import resolves, as the device's loader resolves it, against the export record of
      SDK's .def files (what the device's libraries export, each entry with its public
      sources): from a library the record has; by name only where the record gives the export
      a name; by ordinal only an ordinal the record has. Each call imported is declared in
      SDK's headers; each entry of the record cites a source the file lists and is imported;
  checks.py import-refusals EXE SDK
      the same check, against copies of SDK with a fault each (a call by name that the
      library exports by ordinal only, an ordinal off by one, a library missing, an entry
      without a source, an entry not imported, ...), refuses each, so that a check that stops
      refusing fails;
  checks.py instructions EXE OBJDUMP
      .text, disassembled, holds only ARMv4 instructions in ARM state and the constants that
      its loads read: nothing the StrongARM lacks (bx, blx, clz, ldrd, strd, pld, ...);
  checks.py records DATABASE PROBE MSVC_FLAGS
      each record of the API, compiled in PROBE with the device's flags (from the compile
      DATABASE) and with Microsoft's layout (MSVC_FLAGS, the compiler check's target), has the
      same size and every field the same offset; PROBE must name every record of the API;
  checks.py constants SDK MINGW_CXX VALUES
      each constant SDK defines that mingw-w64's desktop headers also define has their value,
      but for those VALUES lists as the handheld's own, each with its page;
  checks.py resources EXE RES
      the program's resources are those of RES (the compiler check's compiled script), id for
      id and byte for byte;
  checks.py cabinet CABEXTRACT CAB EXE
      CAB, listed and extracted by CABEXTRACT, holds the setup file first and then the files
      it installs, named as the installer finds them, and its setup file, read field by field
      (device/cabinet.py), installs exactly EXE as \\Program Files\\dunvatel\\dunvatel.exe, the
      shortcut \\Windows\\Start Menu\\Programs\\dunvatel.lnk to it and nothing else, on
      Windows CE 3.0 or later on an ARM Pocket PC; it prints the fields it read;
  checks.py refusals FILTER AS SAMPLE...
      each SAMPLE of assembly, filtered by FILTER (device/assembly.py) and assembled by AS
      as the device's build does, is refused at exactly the lines it marks "@ refused", so that
      a filter or an assembler that stops refusing fails the build.
"""
import json
import os
import re
import shlex
import struct
import subprocess
import sys
import tempfile

import cabinet


def fail(problems):
    for problem in problems:
        print(f"error: {problem}", file=sys.stderr)
    sys.exit(1 if problems else 0)


# ---- The PE file ----

class Image:
    """The parts of a PE file the checks read."""

    def __init__(self, path):
        with open(path, "rb") as file:
            self.data = file.read()
        if self.data[:2] != b"MZ":
            raise SystemExit(f"{path}: not a PE file")
        self.pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[self.pe:self.pe + 4] != b"PE\0\0":
            raise SystemExit(f"{path}: not a PE file")
        (self.machine, sections, _, self.symbol_table, self.symbols, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", self.data, self.pe + 4)
        self.optional = self.pe + 24
        self.magic = self.u16(0)
        self.entry = self.u32(16)
        self.image_base = self.u32(28)
        (self.os_major, self.os_minor, _, _, self.subsystem_major,
         self.subsystem_minor) = struct.unpack_from("<6H", self.data, self.optional + 40)
        self.subsystem, self.dll_characteristics = struct.unpack_from(
            "<HH", self.data, self.optional + 68)
        self.stack_reserve, self.stack_commit = struct.unpack_from("<II", self.data,
                                                                   self.optional + 72)
        directories = self.u32(92)
        self.directories = [struct.unpack_from("<II", self.data, self.optional + 96 + 8 * i)
                            for i in range(directories)]
        self.sections = []
        table = self.optional + optional_size
        for i in range(sections):
            name, virtual_size, address, raw_size, raw_offset = struct.unpack_from(
                "<8sIIII", self.data, table + 40 * i)
            flags = struct.unpack_from("<I", self.data, table + 40 * i + 36)[0]
            self.sections.append((name.rstrip(b"\0").decode(), address, max(virtual_size,
                                  raw_size), raw_offset, raw_size, flags))

    def u16(self, offset):
        return struct.unpack_from("<H", self.data, self.optional + offset)[0]

    def u32(self, offset):
        return struct.unpack_from("<I", self.data, self.optional + offset)[0]

    def section_at(self, rva):
        for section in self.sections:
            if section[1] <= rva < section[1] + section[2]:
                return section
        return None

    def offset(self, rva):
        section = self.section_at(rva)
        if section is None:
            raise SystemExit(f"address {rva:#x} lies in no section")
        return section[3] + rva - section[1]

    def read(self, rva, size):
        start = self.offset(rva)
        return self.data[start:start + size]

    def string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")


IMAGE_FILE_MACHINE_ARM = 0x01C0
IMAGE_SUBSYSTEM_WINDOWS_CE_GUI = 9
IMAGE_FILE_RELOCS_STRIPPED = 0x0001
IMAGE_FILE_EXECUTABLE_IMAGE = 0x0002
IMAGE_SCN_CNT_CODE = 0x00000020
IMPORT_DIRECTORY = 1
RESOURCE_DIRECTORY = 2
BASE_RELOCATION_DIRECTORY = 5


def check_header(path):
    image = Image(path)
    problems = []

    def expect(what, found, wanted):
        if found != wanted:
            problems.append(f"{what} is {found:#x}, the handheld needs {wanted:#x}")

    expect("machine", image.machine, IMAGE_FILE_MACHINE_ARM)
    expect("optional header magic (PE32)", image.magic, 0x10B)
    expect("subsystem", image.subsystem, IMAGE_SUBSYSTEM_WINDOWS_CE_GUI)
    for what, major, minor in (("subsystem", image.subsystem_major, image.subsystem_minor),
                               ("operating system", image.os_major, image.os_minor)):
        if (major, minor) != (3, 0):
            problems.append(f"{what} version is {major}.{minor:02d}: a Windows CE 3.0 loader "
                            "takes 3.00 at most")
    expect("image base", image.image_base, 0x10000)
    expect("stack reserve", image.stack_reserve, 0x10000)
    expect("stack commit", image.stack_commit, 0x1000)
    expect("DLL characteristics", image.dll_characteristics, 0)
    expect("symbol table pointer", image.symbol_table, 0)
    expect("number of symbols", image.symbols, 0)
    if not image.characteristics & IMAGE_FILE_EXECUTABLE_IMAGE:
        problems.append("the file is not marked executable")
    if image.characteristics & IMAGE_FILE_RELOCS_STRIPPED:
        problems.append("base relocations are stripped: the loader could not move the image")
    relocations = image.directories[BASE_RELOCATION_DIRECTORY]
    if relocations[1] == 0:
        problems.append("the file has no base relocations")
    section = image.section_at(image.entry)
    if section is None or not section[5] & IMAGE_SCN_CNT_CODE:
        problems.append(f"entry point {image.entry:#x} lies outside the code")
    if image.entry % 4:
        problems.append(f"entry point {image.entry:#x} is not on a word: not ARM code")
    return problems


# ---- Imports ----

class Export:
    """One export of the device's record: its name (for linking), its ordinal where the record
    gives one, and whether the library has it by ordinal only (NONAME)."""

    def __init__(self, name, ordinal, noname):
        self.name, self.ordinal, self.noname = name, ordinal, noname


# A source of the record: "; [key] where it is", before EXPORTS. An entry cites one or more
# keys in brackets in its comment: "Name [@N [NONAME]] ; [key] [key] what they show".
SOURCE = re.compile(r"^;\s*\[([\w.-]+)\]\s+\S")
ENTRY = re.compile(r"^([A-Za-z_]\w*)(?:\s+@(\d+))?(\s+NONAME)?\s*$")
CITED = re.compile(r"\[([\w.-]+)\]")


def export_record(sdk):
    """({library.dll: {name: Export}}, [problems]) from each .def in SDK: what the device's
    libraries export, as far as the program imports it, each entry with its sources."""
    record, problems = {}, []
    for file_name in sorted(os.listdir(sdk)):
        if not file_name.endswith(".def"):
            continue
        path = os.path.join(sdk, file_name)
        library, sources, exports, listing = None, set(), {}, False
        with open(path, encoding="utf-8") as file:
            for number, line in enumerate(file, 1):
                text, _, comment = line.strip().partition(";")
                text = text.strip()
                where = f"{path}:{number}"
                if not text:
                    source = SOURCE.match(line.strip())
                    if source and not listing:
                        sources.add(source.group(1))
                    continue
                if text.startswith("LIBRARY"):
                    library = text.split()[1].lower()
                elif text == "EXPORTS":
                    listing = True
                elif listing:
                    entry = ENTRY.match(text)
                    if not entry:
                        problems.append(f"{where}: not an entry of the form NAME [@N [NONAME]]")
                        continue
                    name, ordinal, noname = entry.group(1), entry.group(2), entry.group(3)
                    if noname and not ordinal:
                        problems.append(f"{where}: {name} is NONAME without an ordinal")
                    cited = CITED.findall(comment)
                    if not cited:
                        problems.append(f"{where}: {name} cites no source: each entry names "
                                        "the public record that shows the export")
                    for key in cited:
                        if key not in sources:
                            problems.append(f"{where}: {name} cites [{key}], which "
                                            f"{file_name} does not list among its sources")
                    exports[name] = Export(name, int(ordinal) if ordinal else None,
                                           bool(noname))
        if library is None:
            problems.append(f"{path}: no LIBRARY line")
        else:
            record[library] = exports
    return record, problems


def sdk_headers(sdk):
    """The text of all SDK's headers, without their comments."""
    text = ""
    for name in sorted(os.listdir(sdk)):
        if name.endswith(".h"):
            with open(os.path.join(sdk, name), encoding="utf-8") as file:
                text += file.read() + "\n"
    return re.sub(r"/\*.*?\*/|//[^\n]*", " ", text, flags=re.S)


def declared_functions(sdk):
    """The names SDK's headers declare as functions."""
    return set(re.findall(r"\b([A-Za-z_]\w*)\s*\(", sdk_headers(sdk)))


def imports(image):
    """[(library, name or None, ordinal or None)] of the import directory."""
    rva, size = image.directories[IMPORT_DIRECTORY]
    found = []
    if size == 0:
        return found
    entry = rva
    while True:
        lookup, _, _, name, first = struct.unpack("<IIIII", image.read(entry, 20))
        if name == 0:
            break
        library = image.string(name).lower()
        thunk = lookup or first
        while True:
            value = struct.unpack("<I", image.read(thunk, 4))[0]
            if value == 0:
                break
            if value & 0x80000000:
                found.append((library, None, value & 0xFFFF))
            else:
                found.append((library, image.string(value + 2), None))
            thunk += 4
        entry += 20
    return found


def resolve(record, library, name, ordinal):
    """The export an import reaches, as the device's loader finds it, or why it finds none."""
    if library not in record:
        return None, f"{library}: a library the device's export record does not have"
    exports = record[library]
    if name is not None:
        export = exports.get(name)
        if export is None:
            return None, f"{library}!{name}: the library exports no such name"
        if export.noname:
            return None, (f"{library}!{name}: imported by name, but the library exports it by "
                          f"ordinal {export.ordinal} only")
        return export, None
    for export in exports.values():
        if export.ordinal == ordinal:
            return export, None
    return None, f"{library} ordinal {ordinal}: no export of the record has that ordinal"


def check_imports(path, sdk):
    record, problems = export_record(sdk)
    declared = declared_functions(sdk)
    found = imports(Image(path))
    if not found:
        problems.append("the program imports nothing")
    imported = set()
    for library, name, ordinal in found:
        export, refusal = resolve(record, library, name, ordinal)
        imported.add((library, export.name if export else name))
        if refusal:
            problems.append(refusal + ": the device's loader would refuse to start the program")
            continue
        if export.name not in declared:
            problems.append(f"{library}!{export.name}: declared in none of "
                            "platform/wince/sdk's headers")
    # The record is of what the program imports: an entry for anything else is a source
    # claimed for nothing, or a call the program stopped making.
    for library, exports in record.items():
        for name in exports:
            if (library, name) not in imported:
                problems.append(f"{library}!{name}: an entry for a call the program does not "
                                "import")
    return problems


# Faults made in a copy of the record, each of which the import check must refuse against the
# program as built: (what it stands for, file, the line's pattern, its replacement, words of
# the refusal). Each stands for a fault of the program's imports too: the record and the file
# disagreeing is what the loader refuses, whichever of the two is wrong.
RECORD_FAULTS = (
    ("a call imported by name that the library exports by ordinal only", "coredll.def",
     r"^RegCloseKey ;", "RegCloseKey @1 NONAME ;", "exports it by ordinal 1 only"),
    ("an ordinal off by one", "aygshell.def", r"^SHHandleWMActivate @84 NONAME ;",
     "SHHandleWMActivate @85 NONAME ;", "ordinal 84: no export"),
    ("a call imported by ordinal that the library exports by name", "aygshell.def",
     r"^SHHandleWMSettingChange @83 NONAME ;", "SHHandleWMSettingChange ;",
     "ordinal 83: no export"),
    ("a library the record lacks", "aygshell.def", None, None,
     "aygshell.dll: a library the device's export record does not have"),
    ("an entry without a source", "coredll.def", r"^SetCursor ;.*$", "SetCursor",
     "SetCursor cites no source"),
    ("an entry citing a source the file does not list", "coredll.def", r"^SetCursor ;.*$",
     "SetCursor ; [elsewhere]", "cites [elsewhere]"),
    ("an entry the program does not import", "coredll.def", r"^(SetCursor ;.*)$",
     r"\1\nstrlen ; [cegcc]", "strlen: an entry for a call the program does not import"),
)


def check_import_refusals(path, sdk):
    problems = []
    with tempfile.TemporaryDirectory() as work:
        for number, (what, name, pattern, replacement, refusal) in enumerate(RECORD_FAULTS):
            copy = os.path.join(work, str(number))
            os.mkdir(copy)
            for file_name in os.listdir(sdk):
                with open(os.path.join(sdk, file_name), encoding="utf-8") as file:
                    text = file.read()
                if file_name == name:
                    if pattern is None:
                        continue
                    text, found = re.subn(pattern, replacement, text, count=1, flags=re.M)
                    if not found:
                        problems.append(f"{what}: no line of {file_name} matches {pattern}")
                with open(os.path.join(copy, file_name), "w", encoding="utf-8") as file:
                    file.write(text)
            if not any(refusal in found for found in check_imports(path, copy)):
                problems.append(f"{what}: not refused (\"{refusal}\" expected)")
    return problems


# ---- Instructions ----

CONDITION = r"(?:eq|ne|cs|hs|cc|lo|mi|pl|vs|vc|hi|ls|ge|lt|gt|le|al)?"
# ARMv4 in the unified syntax objdump writes: data processing (and the shifts it spells as
# their own mnemonics), multiplies long and short, word, byte and halfword transfers, block
# transfers, swap, branches, status register moves, software interrupts and coprocessors.
# Nothing of ARMv4T (bx) or later: blx, clz, bkpt, ldrd, strd, pld, the DSP multiplies,
# saturating arithmetic, ldrex and strex, the v6 media instructions, the *2 coprocessor forms.
ARMV4 = re.compile(
    r"^(?:"
    r"(?:and|eor|sub|rsb|add|adc|sbc|rsc|orr|bic|mov|mvn|lsl|lsr|asr|ror|rrx)s?" + CONDITION +
    r"|(?:tst|teq|cmp|cmn)" + CONDITION +
    r"|(?:mul|mla|umull|umlal|smull|smlal)s?" + CONDITION +
    r"|(?:ldr|str)(?:b|h|sh|sb|t|bt)?" + CONDITION +
    r"|(?:ldm|stm)(?:ia|ib|da|db|fd|fa|ed|ea)?" + CONDITION +
    r"|(?:push|pop)" + CONDITION +
    r"|swpb?" + CONDITION +
    r"|bl?" + CONDITION +
    r"|(?:mrs|msr|svc|swi)" + CONDITION +
    r"|(?:cdp|ldcl?|stcl?|mcr|mrc)" + CONDITION +
    r")$")
LINE = re.compile(r"^\s*([0-9a-f]+):\s+([0-9a-f]{8})\s+(.*)$")
# A load relative to the program counter, whose address objdump gives after "@".
PC_LOAD = re.compile(r"^ldr\w*\s+\w+,\s*\[pc(?:,\s*#-?\d+)?\]\s*@\s*(?:0x)?([0-9a-f]+)")
# The one nop ARMv4 has is mov r0, r0; ARMv6K's hint of the same name is not.
NOP_ARMV4 = 0xE1A00000
# A transfer with a register offset and write-back. objdump calls it unpredictable when the
# offset register is the transferred one; the architecture makes it so only when the base is
# the transferred register or the offset register ("ARM Architecture Reference Manual",
# LDRH, STRH and addressing mode 3, register pre-indexed).
WRITE_BACK = re.compile(r"^(?:ldr|str)\w*\s+(\w+),\s*\[(\w+),\s*-?(\w+)\]!")
# The linker's lists of static constructors and destructors (-1, the entries, 0) end .text:
# each must be empty, -1 followed at once by 0.
LIST_START, LIST_END = 0xFFFFFFFF, 0x00000000


def disassembly(path, objdump):
    run = subprocess.run([objdump, "-d", "-j", ".text", path], capture_output=True, text=True)
    if run.returncode != 0:
        raise SystemExit(f"{objdump} failed on {path}: {run.stderr}")
    words = []
    for line in run.stdout.splitlines():
        match = LINE.match(line)
        if match:
            words.append((int(match.group(1), 16), int(match.group(2), 16),
                          match.group(3).strip()))
    return words


def check_instructions(path, objdump):
    words = disassembly(path, objdump)
    problems = []
    if not words:
        problems.append(".text disassembles to nothing")
    # The constants of literal pools and import thunks are words that loads read.
    constants = set()
    for _, _, text in words:
        load = PC_LOAD.match(text)
        if load:
            constants.add(int(load.group(1), 16) & ~3)
    for index, (address, word, text) in enumerate(words):
        if address in constants:
            continue
        following = words[index + 1][1] if index + 1 < len(words) else None
        previous = words[index - 1][1] if index else None
        if (word, following) == (LIST_START, LIST_END) or (previous, word) == (LIST_START,
                                                                               LIST_END):
            continue
        mnemonic = text.split()[0] if text else ""
        write_back = WRITE_BACK.match(text)
        if write_back and "<UNPREDICTABLE>" in text:
            transferred, base, offset = write_back.groups()
            if base not in (transferred, offset, "pc"):
                text = text.replace("@ <UNPREDICTABLE>", "").strip()
        if text.startswith("@") or "<UNDEFINED>" in text or "<UNPREDICTABLE>" in text:
            problems.append(f"{address:#x}: {word:08x} is no ARMv4 instruction ({text}), and "
                            "no load reads it as a constant")
        elif mnemonic == "nop":
            if word != NOP_ARMV4:
                problems.append(f"{address:#x}: {word:08x} {text}: a hint after ARMv4")
        elif not ARMV4.match(mnemonic):
            problems.append(f"{address:#x}: {word:08x} {text}: not an ARMv4 instruction")
        elif re.search(r"\bpc,\s*(?:#|r\d)", text) and mnemonic.startswith(("add", "sub")):
            problems.append(f"{address:#x}: {word:08x} {text}: an address in .text reached "
                            "without a load, whose data this check cannot tell from code")
    return problems


# ---- Records ----

def sdk_records(sdk):
    """{record: [(field, is bit-field)]} of every record SDK's headers define."""
    records = {}
    pattern = r"typedef\s+struct\s*\w*\s*\{([^{}]*)\}\s*([^;]*);"
    for body, names in re.findall(pattern, sdk_headers(sdk)):
        fields = []
        for member in body.split(";"):
            member = member.strip()
            if not member:
                continue
            declarator = member.split(":")[0].split("[")[0].strip()
            fields.append((re.findall(r"\w+", declarator)[-1], ":" in member))
        records[names.split(",")[0].strip()] = fields
    return records


def device_command(database):
    """The device's compile command of a program source, without source, output and the
    steps after clang."""
    with open(database, encoding="utf-8") as file:
        entries = json.load(file)
    entry = next(e for e in entries if e["file"].endswith("winmain.cpp"))
    command = shlex.split(entry["command"].split(" && ")[0])
    kept, skip = [], False
    for arg in command:
        if skip:
            skip = False
        elif arg in ("-o", "-MT", "-MF"):
            skip = True
        elif arg not in ("-S", "-c", "-MD", entry["file"]):
            kept.append(arg)
    return kept


DATA = {".long": 4, ".short": 2, ".byte": 1}


def assembled_globals(command, source):
    """{name: bytes} of each global whose name begins "dunvatel_probe_", from clang's
    assembly of SOURCE with COMMAND."""
    run = subprocess.run(command + ["-S", "-o", "-", source], capture_output=True, text=True)
    if run.returncode != 0:
        raise SystemExit(f"{' '.join(command)} {source} failed:\n{run.stderr}")
    found, current = {}, None
    for line in run.stdout.splitlines():
        text = line.strip()
        if not text.startswith((".ascii", ".asciz")):
            text = text.split("@")[0].strip()
        if text.endswith(":"):
            current = text[:-1] if text.startswith("dunvatel_probe_") else None
            if current:
                found[current] = b""
            continue
        if current is None or not text:
            continue
        word, operand = (text.split(None, 1) + [""])[:2]
        if word in DATA:
            size = DATA[word]
            found[current] += (int(operand, 0) & (1 << 8 * size) - 1).to_bytes(size, "little")
        elif word in (".zero", ".space"):
            found[current] += b"\0" * int(operand.split(",")[0], 0)
        elif word.startswith("."):
            current = None
    return found


def shown(data):
    """A size or offset as a number, a bit-field's record as its bytes."""
    return str(int.from_bytes(data, "little")) if len(data) == 4 else data.hex(" ")


def check_records(database, probe, msvc_flags, sdk):
    device = device_command(database)
    # Microsoft's layout: the compiler check's target, with the device's defines and paths.
    microsoft = [device[0]] + shlex.split(msvc_flags) + [
        arg for arg in device if arg.startswith(("-D", "-I"))]
    ours = assembled_globals(device, probe)
    theirs = assembled_globals(microsoft, probe)
    problems = []
    for record, fields in sdk_records(sdk).items():
        names = [f"dunvatel_probe_{record}_size"] + [
            f"dunvatel_probe_{record}_{field}" for field, _ in fields]
        for name in names:
            if name not in ours or name not in theirs:
                problems.append(f"{probe} does not probe {name[len('dunvatel_probe_'):]} "
                                "(every record and field of platform/wince/sdk must be probed)")
            elif ours[name] != theirs[name]:
                problems.append(f"{name[len('dunvatel_probe_'):]}: {shown(ours[name])} in the "
                                f"device's build, {shown(theirs[name])} in Microsoft's layout")
    return problems


# ---- Constants ----

def sdk_constants(sdk):
    """The names of the object-like macros with a value that SDK's headers define."""
    names = []
    for match in re.finditer(r"^[ \t]*#[ \t]*define[ \t]+([A-Za-z_]\w*)([ \t]+\S.*)?$",
                             sdk_headers(sdk), flags=re.M):
        if match.group(2) and not match.group(1).startswith("DUNVATEL_"):
            names.append(match.group(1))
    return names


def expanded(command, headers, names):
    """{name: expansion} of each of NAMES that HEADERS define, through the preprocessor of
    COMMAND."""
    lines = [f"#include <{header}>" for header in headers]
    lines.append("#define DUNVATEL_SHOW(name) dunvatel_value #name name")
    for name in names:
        lines += [f"#ifdef {name}", f"DUNVATEL_SHOW({name})", "#endif"]
    run = subprocess.run(command + ["-E", "-P", "-x", "c++", "-"], input="\n".join(lines) + "\n",
                         capture_output=True, text=True)
    if run.returncode != 0:
        raise SystemExit(f"{' '.join(command)} -E failed:\n{run.stderr}")
    found = {}
    for line in run.stdout.splitlines():
        match = re.match(r'\s*dunvatel_value\s+"(\w+)"\s+(.*)$', line)
        if match:
            found[match.group(1)] = match.group(2).strip()
    return found


CAST = re.compile(r"\(\s*(?:const\s+)?[A-Za-z_]\w*(?:\s+[A-Za-z_]\w*)*\s*\**\s*\)(?=\s*[\w(~+-])")


def value(expansion):
    """The 32-bit value of an integer expansion, or its text when it is a string."""
    if re.fullmatch(r'L?"[^"]*"', expansion):
        return expansion
    text = CAST.sub("", expansion)
    text = re.sub(r"\b(0[xX][0-9a-fA-F]+|\d+)[uUlL]+\b", r"\1", text)
    if not re.fullmatch(r"[0-9a-fA-FxX\s()|&~<>+\-*]*", text):
        raise ValueError(expansion)
    return eval(text, {"__builtins__": {}}) & 0xFFFFFFFF  # only digits and operators are left


def read_own_values(path):
    """{name: page} of the handheld's own values."""
    own = {}
    with open(path, encoding="utf-8") as file:
        for line in file:
            line = line.split("#")[0].strip()
            if line:
                name, page = line.split(None, 1)
                own[name] = page.strip()
    return own


def check_constants(sdk, mingw, values, device):
    names = sdk_constants(sdk)
    headers = ["windows.h", "commdlg.h", "commctrl.h", "stdio.h", "aygshell.h"]
    ours = expanded(device + ["-I", sdk], headers, names)
    theirs = expanded(shlex.split(mingw) + ["-DUNICODE", "-D_UNICODE"], headers[:4], names)
    own = read_own_values(values)
    problems = []
    for name in names:
        if name not in ours:
            problems.append(f"{name}: defined in platform/wince/sdk but not seen there")
            continue
        if name not in theirs:
            continue
        try:
            same = value(ours[name]) == value(theirs[name])
        except (ValueError, SyntaxError, NameError):
            problems.append(f"{name}: cannot compare {ours[name]} with {theirs[name]}")
            continue
        if not same and name not in own:
            problems.append(f"{name} is {ours[name]} in platform/wince/sdk, {theirs[name]} in "
                            f"mingw-w64's headers: list it in {values} with its page if the "
                            "handheld's value differs")
        elif same and name in own:
            problems.append(f"{name} is listed in {values} as the handheld's own, yet has the "
                            "desktop's value")
    for name in own:
        if name not in names:
            problems.append(f"{name} is listed in {values} but not defined in the SDK")
    return problems


# ---- Resources ----

def res_entries(path):
    """{(type, name, language): data} of a .res file."""
    with open(path, "rb") as file:
        data = file.read()
    entries, offset = {}, 0

    def identifier(at):
        if struct.unpack_from("<H", data, at)[0] == 0xFFFF:
            return struct.unpack_from("<H", data, at + 2)[0], at + 4
        end = at
        while struct.unpack_from("<H", data, end)[0]:
            end += 2
        return data[at:end].decode("utf-16-le"), end + 2

    while offset < len(data):
        size, header = struct.unpack_from("<II", data, offset)
        kind, at = identifier(offset + 8)
        name, at = identifier(at)
        at = (at + 3) & ~3
        language = struct.unpack_from("<H", data, at + 6)[0]
        body = data[offset + header:offset + header + size]
        if not (kind == 0 and size == 0):
            entries[(kind, name, language)] = body
        offset = (offset + header + size + 3) & ~3
    return entries


def pe_entries(image):
    """{(type, name, language): data} of a PE file's resources."""
    base = image.directories[RESOURCE_DIRECTORY][0]
    entries = {}

    def name_of(entry):
        if entry & 0x80000000:
            at = base + (entry & 0x7FFFFFFF)
            length = struct.unpack("<H", image.read(at, 2))[0]
            return image.read(at + 2, 2 * length).decode("utf-16-le")
        return entry & 0xFFFF

    def walk(directory, path):
        named, numbered = struct.unpack("<HH", image.read(base + directory + 12, 4))
        for i in range(named + numbered):
            entry, target = struct.unpack("<II", image.read(base + directory + 16 + 8 * i, 8))
            key = path + (name_of(entry),)
            if target & 0x80000000:
                walk(target & 0x7FFFFFFF, key)
            else:
                rva, size = struct.unpack("<II", image.read(base + target, 8))
                entries[key] = image.read(rva, size)

    walk(0, ())
    return entries


def check_resources(path, res):
    ours = pe_entries(Image(path))
    theirs = res_entries(res)
    problems = []
    for key in sorted(set(ours) | set(theirs), key=str):
        if key not in ours:
            problems.append(f"resource {key} of {res} is missing from the program")
        elif key not in theirs:
            problems.append(f"resource {key} of the program is not in {res}")
        elif ours[key] != theirs[key]:
            problems.append(f"resource {key} differs from {res}")
    if not ours:
        problems.append("the program has no resources")
    return problems


# ---- The installer's cabinet ----

# What the user is told the cabinet installs: the program, and its shortcut in Start, Programs.
INSTALLED = "\\Program Files\\dunvatel\\dunvatel.exe"
SHORTCUT = "\\Windows\\Start Menu\\Programs\\dunvatel.lnk"
# PROCESSOR_STRONGARM, what every ARM Pocket PC 2000 and 2002 reports to its installer, the
# XScales too (device/cabinet.py gives the sources), and the values the header's fields of
# unknown purpose usually hold; stated here again, so that a wrong value in the writer is seen.
PROCESSOR = 2577
USUAL_UNKNOWNS = (0, 0, 1, 0, 0)
LISTED = re.compile(r"^\s*\d+ \| [\d.]+ [\d:]+ \| (.*)$")
CABINET_NAME = re.compile(r"^[^.\\/]{1,8}\.(\d{3})$")


def version(pair):
    return f"{pair[0]}.{pair[1]}"


def check_cabinet(cabextract, cab, exe):
    run = subprocess.run([cabextract, "-l", cab], capture_output=True, text=True)
    if run.returncode != 0:
        return [f"{cabextract} cannot list {cab}: {run.stderr.strip()}"]
    names = [m.group(1) for m in map(LISTED.match, run.stdout.splitlines()) if m]
    numbers = [int(m.group(1)) if m else None for m in map(CABINET_NAME.match, names)]
    if None in numbers or len(set(numbers)) != len(numbers):
        return [f"the cabinet's files {names} are not each named 8.3 with a number of their own "
                "as the extension, by which the installer finds them"]
    # The setup file first, the others from the highest number down.
    if numbers[:1] != [0] or numbers[1:] != sorted(numbers[1:], reverse=True):
        return [f"the cabinet's files {names} are not the setup file followed by the others "
                "from the highest number down"]
    with tempfile.TemporaryDirectory() as work:
        run = subprocess.run([cabextract, "-q", "-d", work, cab], capture_output=True, text=True)
        if run.returncode != 0:
            return [f"{cabextract} cannot extract {cab}: {run.stderr.strip()}"]
        contents = {}
        for name, number in zip(names, numbers):
            with open(os.path.join(work, name), "rb") as file:
                contents[number] = file.read()
    try:
        setup = cabinet.read_setup(contents[0])
    except cabinet.SetupError as error:
        return [f"{names[0]}: {error}"]
    print(f"{names[0]}: {len(contents[0])} bytes, as its length field says")
    print(f"  application  {setup['application']}, provider {setup['provider']}")
    print(f"  processor    {setup['processor']}; unsupported platforms {setup['unsupported']}")
    print(f"  versions     least {version(setup['least_version'])}, most "
          f"{version(setup['most_version'])}, builds {setup['builds']} (0: none)")
    print(f"  unknowns     {setup['unknowns']}")
    for number, path in setup["directories"].items():
        print(f"  directory {number:<2} {path}")
    for number, (path, flags) in setup["files"].items():
        print(f"  file {number:<7} {path}, flags {flags:#010x}, from "
              f"{dict(zip(numbers, names)).get(number, 'no file of the cabinet')}")
    print(f"  registry     {len(setup['hives'])} hives, {len(setup['keys'])} keys")
    for number, path, target in setup["links"]:
        print(f"  link {number:<7} {path} -> {target}")
    with open(exe, "rb") as file:
        program = file.read()
    problems = []

    def expect(what, found, wanted):
        if found != wanted:
            problems.append(f"{what}: {found}, where the cabinet must give {wanted}")

    expect("the application's name", setup["application"], "dunvatel")
    if not setup["provider"]:
        problems.append("the setup file names no provider")
    expect("the processor", setup["processor"], PROCESSOR)
    expect("the least Windows CE version", version(setup["least_version"]), "3.0")
    expect("the most Windows CE version (0.0: none)", version(setup["most_version"]), "0.0")
    expect("the least and most build (0: none)", setup["builds"], (0, 0))
    expect("the platforms refused", setup["unsupported"], [])
    expect("the header's fields of unknown purpose", setup["unknowns"], USUAL_UNKNOWNS)
    expect("the registry's hives and keys", setup["hives"] + setup["keys"], [])
    installed = {path: contents.get(number) for number, (path, _) in setup["files"].items()}
    expect("the files installed", sorted(installed), [INSTALLED])
    if INSTALLED in installed and installed[INSTALLED] != program:
        problems.append(f"the file installed as {INSTALLED} is not {exe}")
    expect("the cabinet's files beside the setup file", sorted(numbers[1:]),
           sorted(setup["files"]))
    expect("the shortcuts (made, pointing at)", [link[1:] for link in setup["links"]],
           [(SHORTCUT, INSTALLED)])
    return problems


# ---- Refusals ----

REFUSED_AT = re.compile(r"^[^:\s]+:(\d+): (?:error|Error): (.*)$")


def refused_lines(filter_script, assembler, sample, work):
    """{line: message} of what the filter or else the assembler refuses in SAMPLE."""
    filtered = os.path.join(work, os.path.basename(sample) + ".pe.s")
    steps = ([sys.executable, filter_script, sample, filtered],
             [assembler, "-march=armv4", "--fatal-warnings", "-o", os.devnull, filtered])
    for step in steps:
        run = subprocess.run(step, capture_output=True, text=True)
        if run.returncode != 0:
            matches = map(REFUSED_AT.match, (run.stdout + run.stderr).splitlines())
            return {int(m.group(1)): m.group(2) for m in matches if m}
    return {}


def check_refusals(filter_script, assembler, samples):
    problems = []
    with tempfile.TemporaryDirectory() as work:
        for sample in samples:
            with open(sample, encoding="utf-8") as file:
                marked = {n for n, text in enumerate(file, 1) if text.rstrip().endswith(
                    "@ refused")}
            refused = refused_lines(filter_script, assembler, sample, work)
            for line in sorted(marked - set(refused)):
                problems.append(f"{sample}:{line}: no longer refused: the device's build would "
                                "take what the handheld cannot run")
            for line in sorted(set(refused) - marked):
                problems.append(f"{sample}:{line}: refused, where the sample expects no "
                                f"refusal: {refused[line]}")
    return problems


def main():
    check, args = sys.argv[1], sys.argv[2:]
    if check == "header":
        fail(check_header(*args))
    elif check == "imports":
        fail(check_imports(*args))
    elif check == "import-refusals":
        fail(check_import_refusals(*args))
    elif check == "instructions":
        fail(check_instructions(*args))
    elif check == "records":
        database, probe, msvc_flags, sdk = args
        fail(check_records(database, probe, msvc_flags, sdk))
    elif check == "constants":
        sdk, mingw, values, database = args
        fail(check_constants(sdk, mingw, values, device_command(database)))
    elif check == "resources":
        fail(check_resources(*args))
    elif check == "cabinet":
        fail(check_cabinet(*args))
    elif check == "refusals":
        fail(check_refusals(args[0], args[1], args[2:]))
    else:
        sys.exit(f"unknown check {check}")


if __name__ == "__main__":
    main()

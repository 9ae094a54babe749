#!/usr/bin/env python3
"""Turns clang's GNU assembly for 32-bit ARM (ELF) into what the handheld's assembler (GNU as
for arm-mingw32ce, which writes PE/COFF objects) takes, and refuses anything it does not know.

  assembly.py INPUT OUTPUT

clang writes ELF assembly: it describes unwinding, symbol types and sizes, build attributes and
address-significance tables that COFF has no place for, and it names its read-only sections
.rodata, where PE's is .rdata. This filter drops exactly the directives it knows to be ELF-only,
maps exactly the sections it knows, and passes every other line on unchanged. A directive or a
section that it does not know fails the build, naming the file, the line and the directive: a
newer clang must not slip something past it that the device would run differently.

.cpu and .arch are dropped too: they would override the assembler's -march=armv4, so that an
instruction the StrongARM lacks would be assembled instead of refused. Dropped lines become
empty lines, so that the assembler's messages give the line numbers of clang's output.
"""
import re
import sys

# ELF-only: unwinding (.fnstart ... .fnend), symbol types and sizes, build attributes, the
# address-significance table, the compiler's name, and the processor that overrides -march.
DROPPED = {
    ".eabi_attribute", ".fnstart", ".fnend", ".cantunwind", ".save", ".setfp", ".pad",
    ".type", ".size", ".addrsig", ".addrsig_sym", ".ident", ".cpu", ".arch",
}

# Taken by the PE assembler as clang writes them.
KEPT = {
    ".text", ".data", ".bss", ".globl", ".p2align", ".syntax", ".file",
    ".long", ".short", ".byte", ".ascii", ".asciz", ".zero",
}

# Read-only data, with or without the ELF hints for merging equal constants and strings.
READ_ONLY = re.compile(r'^\.rodata(\.(str|cst)\d+(\.\d+)?)?$')
# The empty section that marks an ELF object's stack as not executable; nothing follows it
# but the address-significance table.
NOTE_STACK = '".note.GNU-stack"'
# The sections that hold static constructors and destructors: the device's run-time start-up
# runs them, and the program is linked without it.
CONSTRUCTORS = re.compile(r'^\.(init_array|fini_array|ctors|dtors)\b')


class Refusal(Exception):
    pass


def section_line(arguments):
    """The PE line for an ELF .section line, or None to drop it."""
    name = arguments.split(",")[0].strip()
    if READ_ONLY.match(name):
        return '\t.section\t.rdata,"dr"'
    if name == NOTE_STACK:
        return None
    if CONSTRUCTORS.match(name):
        raise Refusal(f"section {name} holds a static constructor or destructor, which nothing "
                      "runs on the handheld: initialise the object where it is first used")
    raise Refusal(f"section {name} is not known to this filter")


def filter_lines(lines):
    """The filtered lines; raises Refusal with the 1-based line number of the first refusal."""
    output = []
    # Inside a dropped section nothing but dropped directives may follow.
    in_dropped_section = False
    for number, line in enumerate(lines, 1):
        text = line.strip()
        try:
            if not text or text.startswith("@"):
                output.append(line)
                continue
            word = text.split()[0]
            if word.endswith(":"):
                if in_dropped_section:
                    raise Refusal(f"label {word} in a section that is dropped")
                output.append(line)
                continue
            if not word.startswith("."):
                if in_dropped_section:
                    raise Refusal(f"instruction {word} in a section that is dropped")
                output.append(line)
                continue
            rest = text[len(word):].strip()
            if word in DROPPED:
                output.append("")
            elif word == ".section":
                mapped = section_line(rest)
                in_dropped_section = mapped is None
                output.append("" if mapped is None else mapped)
            elif word == ".code":
                # ARM code only: the StrongARM has no Thumb state.
                if rest != "32":
                    raise Refusal(f"directive .code {rest}: only ARM code (.code 32) runs on "
                                  "the handheld")
                output.append(line)
            elif word in KEPT:
                if in_dropped_section:
                    raise Refusal(f"directive {word} in a section that is dropped")
                if word in (".text", ".data", ".bss"):
                    in_dropped_section = False
                output.append(line)
            else:
                raise Refusal(f"directive {word} is not known to this filter")
        except Refusal as refusal:
            refusal.line = number
            refusal.text = text
            raise
    return output


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: assembly.py INPUT OUTPUT")
    source, target = sys.argv[1:]
    with open(source, encoding="utf-8") as file:
        lines = file.read().split("\n")
    try:
        output = filter_lines(lines)
    except Refusal as refusal:
        sys.exit(f"{source}:{refusal.line}: error: {refusal} (line: {refusal.text}); "
                 "device/assembly.py knows which directives the handheld's assembler "
                 "may be given")
    with open(target, "w", encoding="utf-8") as file:
        file.write("\n".join(output))


if __name__ == "__main__":
    main()

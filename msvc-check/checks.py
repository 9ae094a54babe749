#!/usr/bin/env python3
"""What the handheld's own compiler (Microsoft's C++ compiler, version 12) refuses and clang
takes, checked on clang's reading of each source with the flags the handheld build compiles it
with (from CMake's compile_commands.json):

  - a wide literal joined to a narrow one, L"a" "b": C++98 leaves it undefined and that
    compiler refuses it (C2308). TEXT("a" "b") expands to it, so clang's tokens are read after
    preprocessing, not the source's text;
  - a name a for statement declares in a block that already has it: that compiler scopes the
    variable of a for statement to the block around it, so two for (int i ...) in one block
    are a redefinition (C2374). Read from clang's syntax tree.

What C++98 lacks (long long, trailing enum commas, variadic macros, ...) the compile itself
refuses: the handheld build passes -pedantic-errors (CMakeLists.txt).

  checks.py DATABASE STAMP
      checks every C++ source in DATABASE; touches STAMP when none is refused.
  checks.py --faults DATABASE STAMP SAMPLE...
      compiles each SAMPLE like a program source and requires exactly the lines it marks
      "// refused" to be refused, by the compile or either check above, so that a check that
      stops refusing fails the build.
"""
import json
import os
import re
import shlex
import subprocess
import sys


def clang(command, source, flags):
    """Runs clang with a source's compile flags (see commands) and `flags` on `source`."""
    return subprocess.run(command + flags + [source], capture_output=True, text=True)


# One token of clang -dump-tokens: kind 'spelling' flags Loc=<file:line:col>, where the
# location is in the code compiled (where a macro was used), followed by <Spelling=...> where
# the token was written elsewhere (in a macro's argument or its definition).
TOKEN = re.compile(r"^(\w+) '(.*)'\t.*Loc=<(.*?):(\d+):\d+(?: <Spelling=(.*?):(\d+):\d+>)?>$")


def joined_literals(command, source):
    """(file, line, message) for each literal joined to one of another kind, at the line where
    the later one is written."""
    # Only the preprocessor runs: it knows no #pragma pack, which the compile itself checks.
    run = clang(command, source,
                ["-fsyntax-only", "-Wno-unknown-pragmas", "-Xclang", "-dump-tokens"])
    refusals = []
    previous = None
    for line in run.stderr.splitlines():
        token = TOKEN.match(line)
        if not token:
            continue
        kind, spelling, file, number, written_in, written_at = token.groups()
        if not kind.endswith("string_literal"):
            previous = None
            continue
        # A macro's argument is written on the line of its use or below; a macro's definition
        # (and clang's scratch space, where TEXT() pastes) is elsewhere: that uses the line
        # where the macro was used.
        if written_in == file and int(written_at) >= int(number):
            number = written_at
        if previous and previous[0] != kind:
            refusals.append(
                (file, int(number),
                 f"{previous[1]} joined to {spelling}: the handheld's compiler joins no wide "
                 "literal to a narrow one (C2308); write TEXT(\"...\") TEXT(\"...\")"))
        previous = (kind, spelling)
    return run, refusals


def place(node, where):
    """Gives each declaration in the syntax tree its file and line as "at". The JSON dump names
    a location's file and line only where they differ from the location written before, so the
    tree is read in the order it was written."""
    if isinstance(node, list):
        for item in node:
            place(item, where)
    elif isinstance(node, dict):
        if "offset" in node:
            where["file"] = node.get("file", where["file"])
            where["line"] = node.get("line", where["line"])
            return
        at = None
        for key, value in node.items():
            place(value, where)
            if key == "loc":
                at = (where["file"], where["line"])
        if at:
            node["at"] = at


def for_redefinitions(command, source):
    """(file, line, message) for each name declared in a block that a for statement in the
    same block declares too."""
    run = clang(command, source, ["-fsyntax-only", "-Xclang", "-ast-dump=json"])
    if not run.stdout:
        return run, []
    tree = json.loads(run.stdout)
    place(tree, {"file": "", "line": 0})

    # Each block as the names declared in it, in order: (name, by a for statement, at).
    blocks = []

    def names(declarations, by_for):
        return [(d["name"], by_for, d["at"]) for d in declarations
                if d.get("kind") in ("VarDecl", "ParmVarDecl") and "name" in d]

    def visit(node, block, in_block, parameters):
        kind = node.get("kind")
        inner = node.get("inner", [])
        if kind == "CompoundStmt":
            # A function's parameters share the scope of its outermost block.
            block = names(parameters, False)
            blocks.append(block)
        elif kind == "DeclStmt" and in_block:
            block.extend(names(inner, False))
        elif kind == "ForStmt" and inner and inner[0].get("kind") == "DeclStmt":
            block.extend(names(inner[0].get("inner", []), True))
        # A for statement that is the body of an if, a while or another for, without braces,
        # lends its variable to the nearest enclosing block all the same.
        parameters = [c for c in inner if c.get("kind") == "ParmVarDecl"]
        for child in inner:
            visit(child, block, kind == "CompoundStmt", parameters)

    visit(tree, None, False, [])
    refusals = []
    for block in blocks:
        first = {}
        for name, by_for, at in block:
            if name not in first:
                first[name] = (by_for, at)
                continue
            earlier = first[name]
            if by_for or earlier[0]:
                refusals.append(
                    (at[0], at[1],
                     f"'{name}' is declared already in this block ({earlier[1][0]}:"
                     f"{earlier[1][1]}): the handheld's compiler scopes a for statement's "
                     "variable to the block around it (C2374)"))
    return run, refusals


# A compiler error: file:line:column: error: message.
ERROR = re.compile(r"^(.*?):(\d+):\d+: error: (.*)$")


def compile_errors(command, source):
    """(file, line, message) for each error of the compile itself (-pedantic-errors among its
    flags)."""
    run = clang(command, source, ["-fsyntax-only"])
    return run, [(m.group(1), int(m.group(2)), m.group(3))
                 for m in map(ERROR.match, run.stderr.splitlines()) if m]


def commands(database):
    """(source, compile flags) of each C++ source in the compile database: its command without
    the source, the object and the dependency file."""
    with open(database, encoding="utf-8") as file:
        entries = json.load(file)
    found = []
    for entry in entries:
        if not entry["file"].endswith(".cpp"):
            continue
        command = []
        skip = False
        for arg in shlex.split(entry["command"]):
            if skip:
                skip = False
            elif arg in ("-o", "-MT", "-MF"):
                skip = True
            elif arg not in ("-c", "-MD", entry["file"]):
                command.append(arg)
        found.append((entry["file"], command))
    return found


def check_program(database):
    """Each program source, each refusal once (a header's for every source that includes it)."""
    refused = []
    for source, command in commands(database):
        for check in (joined_literals, for_redefinitions):
            run, refusals = check(command, source)
            if run.returncode != 0:
                sys.stderr.write(run.stderr)
                return False
            refused.extend(r for r in refusals if r not in refused)
    for file, line, message in refused:
        print(f"{file}:{line}: error: {message}", file=sys.stderr)
    return not refused


def check_faults(database, samples):
    """Each sample compiled like the first program source: the lines it marks are refused, the
    others are not."""
    command = commands(database)[0][1]
    failed = False
    for sample in samples:
        with open(sample, encoding="utf-8") as file:
            marked = {n for n, text in enumerate(file, 1) if text.rstrip().endswith("// refused")}
        refused = {}
        for check in (compile_errors, joined_literals, for_redefinitions):
            refused.update(((os.path.realpath(f), n), m) for f, n, m in check(command, sample)[1])
        for (file, line), message in sorted(refused.items()):
            if file != os.path.realpath(sample) or line not in marked:
                print(f"{file}:{line}: refused, where the sample expects no refusal: {message}",
                      file=sys.stderr)
                failed = True
        for line in sorted(marked):
            if (os.path.realpath(sample), line) not in refused:
                print(f"{sample}:{line}: no longer refused: the check has stopped seeing what "
                      "the handheld's compiler refuses", file=sys.stderr)
                failed = True
    return not failed


def main():
    args = sys.argv[1:]
    faults = args[0] == "--faults"
    if faults:
        args = args[1:]
    database, stamp, samples = args[0], args[1], args[2:]
    if not (check_faults(database, samples) if faults else check_program(database)):
        sys.exit(1)
    open(stamp, "w", encoding="utf-8").close()


sys.setrecursionlimit(10000)  # syntax trees nest deeper than Python allows by default
main()

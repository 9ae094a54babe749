#!/usr/bin/env python3
"""The mutation run: small faults put into program code one at a time, each built over the host
stand-in and tried against the host suite. A mutant the suite passes "survives"; it is then
tried once more under the sanitizers. Survivors reviewed as harmless stand in
scripts/mutation-equivalents.txt, each with its reason, and the score is the share of the other
mutants that some test kills.

Program code is never changed where it lies: every mutant is made in a copy of the tree under
build/mutation, and that copy's file is put back after each mutant, whatever happens.
scripts/mutation.sh runs this; see it for the options.
"""

import argparse
import json
import os
import random
import re
import resource
import shutil
import signal
import subprocess
import sys
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EQUIVALENTS = os.path.join(ROOT, "scripts", "mutation-equivalents.txt")
TEST_BINARY = os.path.join("tests", "dunvatel_tests")
# The machine has two cores and is shared: never more than two jobs at once.
MAX_JOBS = 2
MUTANTS_PER_FILE = 60
BUILD_TIMEOUT = 120
# The suite takes well under a second; a mutant that makes it loop is stopped long before this.
TEST_TIMEOUT = {"host": 20, "asan": 90}
# A mutant that loops writing a file or allocating must not fill the disk or the memory.
FILE_SIZE_LIMIT = 256 << 20
MEMORY_LIMIT = 4 << 30

SKIPPED_FOLDERS = {"build", "out", ".git"}


def program_sources():
    """Every program source the host suite reaches: base/, store/, keyfile/ and the main
    dialog. The frame and WinMain exist only in the Win32 and handheld builds."""
    sources = []
    for folder in ("base", "store", "keyfile"):
        for name in sorted(os.listdir(os.path.join(ROOT, folder))):
            if name.endswith(".cpp"):
                sources.append(folder + "/" + name)
    sources.append("ui/main_dialog.cpp")
    return sources


# --- Reading C++ ---------------------------------------------------------------------------------

TOKEN = re.compile(
    r"""(?P<comment>//[^\n]*|/\*.*?\*/)
      | (?P<string>(?:L|u8|u|U)?"(?:\\.|[^"\\\n])*")
      | (?P<char>(?:L|u8|u|U)?'(?:\\.|[^'\\\n])*')
      | (?P<number>0[xX][0-9a-fA-F]+[uUlL]*|\d+[uUlL]*(?![.\w]))
      | (?P<float>\d[\w.]*)
      | (?P<id>[A-Za-z_]\w*)
      | (?P<op>->|\+\+|--|<<=|>>=|<<|>>|<=|>=|==|!=|&&|\|\||[-+*/%&|^]=|::|[^\s\w])
      | (?P<space>\s+)""",
    re.VERBOSE | re.DOTALL,
)
DIRECTIVE = re.compile(r"[ \t]*#[ \t]*(\w*)")
MACRO_NAME = re.compile(r"[ \t]*\w+(\([^)]*\))?")


class Token:
    __slots__ = ("kind", "text", "start", "end", "define", "closes_header")

    def __init__(self, kind, text, start, end, define):
        self.kind = kind
        self.text = text
        self.start = start
        self.end = end
        self.define = define  # inside a #define: only constants are mutated there
        self.closes_header = False  # the ")" of an if, while, for or switch


def tokenize(text):
    """The tokens of the code, without comments and without preprocessor lines other than a
    #define's body. Strings and characters are tokens of their own, never mutated."""
    tokens = []
    at = 0
    line_start = True
    define_end = -1
    while at < len(text):
        if line_start:
            match = DIRECTIVE.match(text, at)
            if match:
                end = at
                while True:  # a directive runs to a line end without a backslash before it
                    end = text.find("\n", end)
                    if end < 0:
                        end = len(text)
                        break
                    if text[end - 1] != "\\":
                        break
                    end += 1
                if match.group(1) == "define":
                    name = MACRO_NAME.match(text, match.end())
                    define_end = end
                    at = name.end()
                else:
                    at = end
                line_start = False
                continue
        match = TOKEN.match(text, at)
        if not match:
            raise ValueError("cannot read the code at offset %d" % at)
        kind = match.lastgroup
        if kind == "space":
            if "\n" in match.group():
                line_start = True
        elif kind != "comment":
            line_start = False
            tokens.append(Token(kind, match.group(), at, match.end(), at < define_end))
        at = match.end()
    return tokens


def matching(tokens, index, opening, closing):
    """The index of the token that closes the bracket at `index`."""
    depth = 0
    for at in range(index, len(tokens)):
        if tokens[at].text == opening:
            depth += 1
        elif tokens[at].text == closing:
            depth -= 1
            if depth == 0:
                return at
    raise ValueError("unbalanced %s" % opening)


POINTER_TYPES = {"LPCWSTR", "LPWSTR", "LPSTR", "LPCSTR", "LPBYTE", "LPVOID", "HKEY", "HWND",
                 "HANDLE", "HINSTANCE", "HMENU", "FILE"}
INTEGER_TYPES = {"UINT", "int", "DWORD", "size_t", "LONG", "LRESULT", "INT_PTR", "WCHAR", "char",
                 "unsigned", "long", "short", "WORD", "BYTE", "ULONG"}
FUNCTION_WORDS = {"static", "inline", "CALLBACK", "WINAPI", "const", "extern"}
KEYWORDS = {"if", "while", "for", "switch", "return", "sizeof", "else", "do", "case", "default",
            "break", "continue"}


def zero_of(return_type):
    """What `return X;` becomes in a function of this type: NULL, FALSE or 0; None for void and
    records."""
    words = [word for word in return_type if word not in FUNCTION_WORDS]
    if not words or words == ["void"]:
        return None
    if "*" in words or any(word in POINTER_TYPES for word in words):
        return "NULL"
    if words[-1] in ("BOOL", "bool"):
        return "FALSE"
    if all(word in INTEGER_TYPES for word in words):
        return "0"
    return None


def function_bodies(tokens):
    """(first token, last token, return type) of each function body."""
    bodies = []
    depth = 0
    declaration_start = 0
    at = 0
    while at < len(tokens):
        token = tokens[at]
        if token.define:
            at += 1
            declaration_start = at
            continue
        if token.text == "{" and depth == 0:
            before = at - 1
            if before >= 0 and tokens[before].text == "const":
                before -= 1
            if before >= 0 and tokens[before].text == ")":
                depth_back = 0
                opening = before
                while opening >= 0:
                    if tokens[opening].text == ")":
                        depth_back += 1
                    elif tokens[opening].text == "(":
                        depth_back -= 1
                        if depth_back == 0:
                            break
                    opening -= 1
                name = opening - 1
                return_type = [t.text for t in tokens[declaration_start:name]]
                close = matching(tokens, at, "{", "}")
                bodies.append((at, close, return_type))
                at = close + 1
                declaration_start = at
                continue
        if token.text == "{":
            depth += 1
        elif token.text == "}":
            depth -= 1
            if depth == 0:
                declaration_start = at + 1
        elif token.text == ";" and depth == 0:
            declaration_start = at + 1
        at += 1
    return bodies


def statement_starts(tokens, first, last):
    """Indices of the tokens that begin a statement within a function body."""
    starts = []
    label = False
    parentheses = 0  # the ";" of a for header begins no statement
    at = first + 1
    while at < last:
        token = tokens[at]
        text = token.text
        previous = tokens[at - 1]
        begins = parentheses == 0 and (previous.text in (";", "{", "}", "else", "do")
                                       or (previous.text == ":" and label)
                                       or previous.closes_header)
        if text == "(":
            parentheses += 1
        elif text == ")":
            parentheses -= 1
        if begins:
            starts.append(at)
            label = text in ("case", "default")
        if text in ("if", "while", "for", "switch") and tokens[at + 1].text == "(":
            close = matching(tokens, at + 1, "(", ")")
            tokens[close].closes_header = True
        at += 1
    return starts


class Mutant:
    def __init__(self, path, start, end, replacement, change, line, line_text, operator):
        self.path = path
        self.start = start
        self.end = end
        self.replacement = replacement
        self.change = change
        self.line = line
        self.line_text = line_text
        self.operator = operator
        self.status = None  # "no build", "killed", "survived"
        self.killers = []
        self.killed_under = None  # "host" or "asan"
        self.partial = False  # some tests could not run after crashes
        self.equivalent = None  # the reason, when the file lists the mutant

    def key(self):
        return (self.path, self.line_text, self.change)

    def apply(self, text):
        return text[: self.start] + self.replacement + text[self.end :]


SWAPS = {"==": "!=", "!=": "==", "<": "<=", "<=": "<", ">": ">=", ">=": ">", "&&": "||",
         "||": "&&"}


def normalise(text):
    return " ".join(text.split())


def shifted(number, by):
    match = re.match(r"(0[xX])?([0-9a-fA-F]+)([uUlL]*)$", number)
    prefix, digits, suffix = match.groups()
    if prefix:
        value = int(digits, 16) + by
        if value < 0:
            return None
        return "%s%X%s" % (prefix, value, suffix)
    value = int(digits) + by
    if value < 0:
        return "(%d)" % value if not suffix else None
    return "%d%s" % (value, suffix)


def candidates(path, text):
    """Every mutant of the classic operators in the file, in the order of the code."""
    tokens = tokenize(text)
    lines = text.split("\n")
    found = []

    def add(start, end, replacement, change, operator):
        line = text.count("\n", 0, start) + 1
        found.append(Mutant(path, start, end, replacement, change, line,
                            normalise(lines[line - 1]), operator))

    for index, token in enumerate(tokens):
        previous = tokens[index - 1] if index else None
        if token.kind == "op" and token.text in SWAPS and not token.define:
            swap = SWAPS[token.text]
            add(token.start, token.end, swap, "%s -> %s" % (token.text, swap), "relational"
                if token.text not in ("&&", "||") else "logical")
        elif token.kind == "op" and token.text == "!" and not token.define:
            add(token.start, token.end, "", "delete !", "not")
        elif token.kind == "number":
            for by in (1, -1):
                new = shifted(token.text, by)
                if new is not None:
                    add(token.start, token.end, new, "%s -> %s" % (token.text, new), "constant")
        elif token.kind == "id" and token.text in ("TRUE", "FALSE") and not token.define:
            swap = "FALSE" if token.text == "TRUE" else "TRUE"
            add(token.start, token.end, swap, "%s -> %s" % (token.text, swap), "boolean")
        elif (token.text == "[" and not token.define and previous is not None
              and (previous.kind == "id" or previous.text in (")", "]"))):
            close = matching(tokens, index, "[", "]")
            inside = tokens[index + 1 : close]
            if not inside or (len(inside) == 1 and inside[0].kind == "number"):
                continue
            expression = normalise(text[inside[0].start : inside[-1].end])
            for sign in ("+", "-"):
                add(inside[0].start, inside[-1].end, "(%s) %s 1" % (text[inside[0].start :
                    inside[-1].end], sign), "[%s] -> [%s %s 1]" % (expression, expression, sign),
                    "index")

    for first, last, return_type in function_bodies(tokens):
        zero = zero_of(return_type)
        for start in statement_starts(tokens, first, last):
            token = tokens[start]
            if (token.kind == "id" and token.text not in KEYWORDS
                    and tokens[start + 1].text == "("):
                close = matching(tokens, start + 1, "(", ")")
                if tokens[close + 1].text == ";":
                    # An empty block, not an empty statement: "if (x) ;" does not compile with
                    # the project's warnings.
                    add(token.start, tokens[close + 1].end, "{}",
                        "delete the call %s(...)" % token.text, "call")
            elif token.text == "return" and zero is not None and tokens[start + 1].text != ";":
                end = start + 1
                depth = 0
                while not (tokens[end].text == ";" and depth == 0):
                    depth += tokens[end].text in "([{"
                    depth -= tokens[end].text in ")]}"
                    end += 1
                value = text[tokens[start + 1].start : tokens[end - 1].end].strip()
                # Literal values are left to the constant and TRUE/FALSE operators.
                if value in ("0", "NULL", "FALSE", "TRUE") or re.match(r"\d+$", value):
                    continue
                add(tokens[start + 1].start, tokens[end - 1].end, zero,
                    "return value -> return %s" % zero, "return")

    found.sort(key=lambda mutant: (mutant.start, mutant.end))
    # The same change twice on one line is told apart by its order there.
    seen = {}
    for mutant in found:
        count = seen.get(mutant.key(), 0) + 1
        seen[mutant.key()] = count
        if count > 1:
            mutant.change += " #%d" % count
    return found


def choose(path, mutants, limit):
    """At most `limit` of the file's mutants, the same ones on every run of the same code: a
    sample seeded with the file's path."""
    if len(mutants) <= limit:
        return list(mutants)
    picked = sorted(random.Random(path).sample(range(len(mutants)), limit))
    return [mutants[index] for index in picked]


# --- The reviewed equivalents --------------------------------------------------------------------


def read_equivalents():
    """{(file, line text, change): reason} from the equivalents file."""
    entries = {}
    if not os.path.exists(EQUIVALENTS):
        return entries
    entry = {}
    field = None

    def finish():
        if entry:
            missing = {"file", "line", "change", "reason"} - set(entry)
            if missing:
                sys.exit("%s: an entry lacks %s: %r" % (EQUIVALENTS, ", ".join(sorted(missing)),
                                                       entry))
            entries[(entry["file"], normalise(entry["line"]), entry["change"])] = normalise(
                entry["reason"])

    with open(EQUIVALENTS, encoding="utf-8") as stream:
        for raw in stream:
            line = raw.rstrip("\n")
            if line.startswith("#"):
                continue
            if not line.strip():
                finish()
                entry = {}
                field = None
                continue
            match = re.match(r"(file|line|change|reason):\s?(.*)$", line)
            if match:
                field = match.group(1)
                entry[field] = match.group(2)
            elif field == "reason" and line.startswith(" "):
                entry[field] += " " + line.strip()
            else:
                sys.exit("%s: cannot read %r" % (EQUIVALENTS, line))
    finish()
    return entries


# --- Builds --------------------------------------------------------------------------------------


class SetUpError(Exception):
    pass


stopping = threading.Event()
# Every command running, so that an interrupted run can end them at once.
running = set()
running_lock = threading.Lock()


def kill_running():
    with running_lock:
        for process in running:
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass


def run(command, cwd=None, timeout=None, env=None, limits=None):
    """Runs a command in a process group of its own (which a terminal's ^C does not reach: the
    run ends it itself), with its output, within the limits and the time given."""
    def set_limits():
        os.setpgrp()
        resource.setrlimit(resource.RLIMIT_CORE, (0, 0))
        for limit, value in (limits or {}).items():
            resource.setrlimit(limit, (value, value))

    if stopping.is_set():
        raise KeyboardInterrupt("stopping")
    process = subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, preexec_fn=set_limits)
    with running_lock:
        running.add(process)
    try:
        output, _ = process.communicate(timeout=timeout)
        return process.returncode, output.decode("utf-8", "replace"), False
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        output, _ = process.communicate()
        return None, output.decode("utf-8", "replace"), True
    except BaseException:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
        raise
    finally:
        with running_lock:
            running.discard(process)


def tree_files():
    files = []
    for folder, subfolders, names in os.walk(ROOT):
        relative = os.path.relpath(folder, ROOT)
        if relative == ".":
            subfolders[:] = [name for name in subfolders if name not in SKIPPED_FOLDERS]
            names = [name for name in names if name != ".git"]  # a worktree's link
        for name in names:
            files.append(os.path.normpath(os.path.join(relative, name)))
    return files


def sync_copy(copy):
    """Makes the copy hold the worktree's files; a file already the same keeps its time, so
    that the copy's build stays up to date."""
    wanted = set(tree_files())
    for relative in wanted:
        source = os.path.join(ROOT, relative)
        target = os.path.join(copy, relative)
        with open(source, "rb") as stream:
            content = stream.read()
        if os.path.exists(target):
            with open(target, "rb") as stream:
                if stream.read() == content:
                    continue
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copy2(source, target)
    for folder, _, names in os.walk(copy):
        for name in names:
            relative = os.path.relpath(os.path.join(folder, name), copy)
            if relative not in wanted:
                os.remove(os.path.join(folder, name))


class Workspace:
    """A copy of the tree and its build with one preset, for one job at a time."""

    def __init__(self, base, name, preset):
        self.preset = preset
        self.source = os.path.join(base, name, "src")
        self.build = os.path.join(base, name, "build")
        self.scratch = os.path.join(base, name, "tmp")

    def prepare(self, jobs):
        sync_copy(self.source)
        if not os.path.exists(os.path.join(self.build, "build.ninja")):
            # The preset's flags, in a build directory of its own; -O0 without debug
            # information compiles and links a mutant fastest.
            code, output, _ = run(["cmake", "--preset", self.preset, "-B", self.build,
                                   "-DCMAKE_CXX_FLAGS_DEBUG=-O0"], cwd=self.source)
            if code != 0:
                raise SetUpError("configuring %s failed:\n%s" % (self.build, output))
        code, output, _ = run(["ninja", "-C", self.build, "-j", str(jobs), TEST_BINARY])
        if code != 0:
            raise SetUpError("building %s failed:\n%s" % (self.build, output))
        outcome = self.run_suite()
        if outcome["failed"] or outcome["crashed"] or outcome["at_exit"]:
            raise SetUpError("the %s suite fails without any mutant: %s" % (self.preset, ", ".join(
                outcome["failed"] + outcome["crashed"]) or "at its exit"))

    def list_tests(self):
        code, output, _ = run([os.path.join(self.build, TEST_BINARY), "--gtest_list_tests"])
        tests = []
        suite = None
        for line in output.splitlines():
            if not line.strip() or line.startswith("Running main"):
                continue
            if not line.startswith(" "):
                suite = line.strip()
            else:
                tests.append(suite + line.split("#")[0].strip())
        return tests

    def run_once(self, excluded):
        shutil.rmtree(self.scratch, ignore_errors=True)
        os.makedirs(self.scratch)
        env = dict(os.environ, TMPDIR=self.scratch)
        limits = {resource.RLIMIT_FSIZE: FILE_SIZE_LIMIT}
        if self.preset == "asan":
            env["ASAN_OPTIONS"] = "detect_leaks=1:abort_on_error=1"
            env["UBSAN_OPTIONS"] = "print_stacktrace=1:halt_on_error=1"
        else:
            limits[resource.RLIMIT_AS] = MEMORY_LIMIT
        command = [os.path.join(self.build, TEST_BINARY), "--gtest_color=no"]
        if excluded:
            command.append("--gtest_filter=-" + ":".join(excluded))
        # In a scratch folder of its own: a mutant may write a file under a relative name.
        code, output, timed_out = run(command, cwd=self.scratch, env=env,
                                      timeout=TEST_TIMEOUT[self.preset], limits=limits)
        shutil.rmtree(self.scratch, ignore_errors=True)
        return code, output, timed_out

    def run_suite(self):
        """Runs every test, also those after one that crashes or hangs: each such test is left
        out of a further run. Returns the failing, the crashed or hung tests, and whether some
        tests never ran."""
        failed = []
        crashed = []
        at_exit = False
        for _ in range(12):
            code, output, timed_out = self.run_once(crashed)
            running = None
            finished = False
            for line in output.splitlines():
                match = re.match(r"\[ RUN      \] (\S+)", line)
                if match:
                    running = match.group(1)
                    continue
                match = re.match(r"\[  FAILED  \] (\S+)", line)
                if match and "." in match.group(1) and match.group(1) == running:
                    if running not in failed:
                        failed.append(running)
                    running = None
                elif re.match(r"\[       OK \] ", line):
                    running = None
                elif re.match(r"\[==========\] \d+ tests? from .* ran", line):
                    finished = True
            if finished and not timed_out:
                # Passing tests and a failing exit: the leak check at exit, or a crash after
                # the last test.
                at_exit = code not in (0, 1) or (code == 1 and not failed)
                return {"failed": failed, "crashed": crashed, "at_exit": at_exit,
                        "partial": False}
            if running is None:
                return {"failed": failed, "crashed": crashed, "at_exit": True, "partial": True}
            crashed.append(running)
        return {"failed": failed, "crashed": crashed, "at_exit": at_exit, "partial": True}

    def try_mutant(self, mutant):
        path = os.path.join(self.source, mutant.path)
        with open(path, encoding="utf-8") as stream:
            original = stream.read()
        try:
            with open(path, "w", encoding="utf-8") as stream:
                stream.write(mutant.apply(original))
            code, _, timed_out = run(["ninja", "-C", self.build, "-j", "1", TEST_BINARY],
                                     timeout=BUILD_TIMEOUT)
        finally:
            with open(path, "w", encoding="utf-8") as stream:
                stream.write(original)
        if code != 0 or timed_out:
            return "no build", [], False
        outcome = self.run_suite()
        killers = outcome["failed"] + outcome["crashed"]
        if outcome["at_exit"]:
            killers.append("<at exit>")
        return ("killed" if killers else "survived"), killers, outcome["partial"]


def in_parallel(tasks):
    """Runs the tasks, a thread each, and raises the first error any of them raised."""
    errors = []

    def guarded(task):
        try:
            task()
        except BaseException as error:  # noqa: B902 -- raised again in the main thread
            errors.append(error)
            stopping.set()
            kill_running()

    threads = [threading.Thread(target=guarded, args=(task,)) for task in tasks]
    for thread in threads:
        thread.start()
    try:
        for thread in threads:
            while thread.is_alive():
                thread.join(0.2)
    except BaseException:
        # ^C or a signal: the commands end at once, and each thread puts its file back.
        stopping.set()
        kill_running()
        for thread in threads:
            thread.join()
        raise
    if errors:
        raise errors[0]


def run_mutants(workspaces, mutants, under, progress):
    """Tries the mutants, each workspace taking the next in turn."""
    queue = list(mutants)
    lock = threading.Lock()

    def work(workspace):
        while not stopping.is_set():
            with lock:
                if not queue:
                    return
                mutant = queue.pop(0)
            status, killers, partial = workspace.try_mutant(mutant)
            with lock:
                # Under the sanitizers only a kill is news: the host's answer stands otherwise.
                if status == "killed" or under == "host":
                    mutant.status = status
                    mutant.killers = killers
                    mutant.partial = partial
                    mutant.killed_under = under if status == "killed" else None
                progress(mutant)

    in_parallel([lambda workspace=workspace: work(workspace) for workspace in workspaces])


# --- The report ----------------------------------------------------------------------------------


def report(mutants, chosen_counts, candidate_counts, equivalents, tests, elapsed, out):
    files = list(chosen_counts)
    width = max(len(name) for name in files + ["total"])
    header = "%-*s %8s %9s %7s %9s %11s" % (width, "file", "mutants", "no build", "killed",
                                            "survived", "equivalent")
    print(header, file=out)
    print("-" * len(header), file=out)
    totals = [0, 0, 0, 0, 0]
    for name in files:
        own = [mutant for mutant in mutants if mutant.path == name]
        row = [len(own),
               sum(mutant.status == "no build" for mutant in own),
               sum(mutant.status == "killed" for mutant in own),
               sum(mutant.status == "survived" and not mutant.equivalent for mutant in own),
               sum(mutant.status == "survived" and bool(mutant.equivalent) for mutant in own)]
        totals = [total + value for total, value in zip(totals, row)]
        sampled = "" if candidate_counts[name] == len(own) else "  (of %d)" % candidate_counts[name]
        print("%-*s %8d %9d %7d %9d %11d%s" % ((width, name) + tuple(row) + (sampled,)), file=out)
    print("-" * len(header), file=out)
    print("%-*s %8d %9d %7d %9d %11d" % ((width, "total") + tuple(totals)), file=out)
    scored = totals[2] + totals[3]
    print("\nScore: %d killed of %d non-equivalent mutants that build (%.1f%%)" % (
        totals[2], scored, 100.0 * totals[2] / scored if scored else 100.0), file=out)
    asan = [mutant for mutant in mutants if mutant.killed_under == "asan"]
    if asan:
        print("  of which killed only under the sanitizers: %d" % len(asan), file=out)

    survivors = [m for m in mutants if m.status == "survived" and not m.equivalent]
    print("\nSurvivors: %d" % len(survivors), file=out)
    for mutant in survivors:
        print("  %s:%d: %s\n      %s" % (mutant.path, mutant.line, mutant.change,
                                         mutant.line_text), file=out)

    used = {mutant.key() for mutant in mutants if mutant.equivalent}
    killed_equivalents = [m for m in mutants if m.key() in equivalents and m.status != "survived"]
    if killed_equivalents:
        print("\nListed as equivalent but %s (take them out of %s):" % (
            "killed or not built", os.path.relpath(EQUIVALENTS, ROOT)), file=out)
        for mutant in killed_equivalents:
            print("  %s:%d: %s" % (mutant.path, mutant.line, mutant.change), file=out)
    tried = {mutant.key() for mutant in mutants}
    files_tried = {mutant.path for mutant in mutants}
    unmatched = [key for key in equivalents if key not in tried and key[0] in files_tried]
    if unmatched:
        print("\nListed as equivalent but not among this run's mutants (changed code, or not "
              "sampled):", file=out)
        for key in unmatched:
            print("  %s: %s\n      %s" % (key[0], key[2], key[1]), file=out)

    # Which tests matter: the mutants each test alone kills.
    unique = {test: [] for test in tests}
    any_kill = {test: 0 for test in tests}
    for mutant in mutants:
        if mutant.status != "killed" or mutant.partial:
            continue
        named = [test for test in mutant.killers if test in unique]
        for test in named:
            any_kill[test] += 1
        if len(named) == 1 and len(mutant.killers) == 1:
            unique[named[0]].append(mutant)
    print("\nTests that kill mutants no other test kills (mutants they alone kill, of those they"
          " kill):", file=out)
    for test in tests:
        if unique[test]:
            print("  %-90s %3d of %3d" % (test, len(unique[test]), any_kill[test]), file=out)
    print("\nTests that kill no mutant that other tests do not (mutants they kill):", file=out)
    for test in tests:
        if not unique[test]:
            print("  %-90s %3d" % (test, any_kill[test]), file=out)
    print("\nTime: %d min %02d s" % (elapsed // 60, elapsed % 60), file=out)
    return len(survivors)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("files", nargs="*", help="program sources to mutate (default: all)")
    parser.add_argument("--jobs", type=int, default=MAX_JOBS, help="jobs, at most 2")
    parser.add_argument("--per-file", type=int, default=MUTANTS_PER_FILE,
                        help="mutants at most per file (default 60)")
    parser.add_argument("--list", action="store_true", help="list the mutants and stop")
    parser.add_argument("--no-asan", action="store_true",
                        help="do not try the survivors under the sanitizers")
    parser.add_argument("--build-dir", default=os.path.join(ROOT, "build", "mutation"))
    options = parser.parse_args()
    jobs = max(1, min(options.jobs, MAX_JOBS))

    sources = program_sources()
    if options.files:
        unknown = [name for name in options.files if name not in sources]
        if unknown:
            sys.exit("not a program source: %s" % ", ".join(unknown))
        sources = [name for name in sources if name in options.files]

    mutants = []
    candidate_counts = {}
    chosen_counts = {}
    for name in sources:
        with open(os.path.join(ROOT, name), encoding="utf-8") as stream:
            every = candidates(name, stream.read())
        chosen = choose(name, every, options.per_file)
        candidate_counts[name] = len(every)
        chosen_counts[name] = len(chosen)
        mutants.extend(chosen)
    if options.list:
        for mutant in mutants:
            print("%s:%d: %s\n    %s" % (mutant.path, mutant.line, mutant.change,
                                         mutant.line_text))
        print("%d mutants" % len(mutants))
        return 0

    equivalents = read_equivalents()
    started = time.time()

    def on_signal(number, _):
        raise KeyboardInterrupt("signal %d" % number)

    for number in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(number, on_signal)

    done = [0]

    def progress(mutant):
        done[0] += 1
        if sys.stderr.isatty() or done[0] % 25 == 0:
            print("\r  %d/%d mutants tried" % (done[0], total[0]), end="" if sys.stderr.isatty()
                  else "\n", file=sys.stderr, flush=True)

    total = [len(mutants)]
    workspaces = [Workspace(options.build_dir, "host%d" % index, "host") for index in range(jobs)]
    try:
        print("building %d cop%s of the tree with preset host in %s" % (
            jobs, "y" if jobs == 1 else "ies", os.path.relpath(options.build_dir, ROOT)),
            file=sys.stderr)
        # Two copies build side by side with a job each, one alone with both.
        each = MAX_JOBS // jobs
        in_parallel([lambda w=w: w.prepare(each) for w in workspaces])
        tests = workspaces[0].list_tests()
        print("trying %d mutants of %d files, %d job%s" % (len(mutants), len(sources), jobs,
              "" if jobs == 1 else "s"), file=sys.stderr)
        run_mutants(workspaces, mutants, "host", progress)
        print(file=sys.stderr)

        survivors = [mutant for mutant in mutants if mutant.status == "survived"]
        if survivors and not options.no_asan:
            print("trying %d survivors under the sanitizers (preset asan)" % len(survivors),
                  file=sys.stderr)
            asan = Workspace(options.build_dir, "asan", "asan")
            asan.prepare(MAX_JOBS)
            done[0] = 0
            total[0] = len(survivors)
            run_mutants([asan], survivors, "asan", progress)
            print(file=sys.stderr)
    except SetUpError as error:
        print(error, file=sys.stderr)
        return 2
    except KeyboardInterrupt:
        stopping.set()
        print("\ninterrupted; the copies under %s hold no mutant" % os.path.relpath(
            options.build_dir, ROOT), file=sys.stderr)
        return 130
    finally:
        # Whatever happened, every copy holds the worktree's files again.
        for name in ["host%d" % index for index in range(jobs)] + ["asan"]:
            copy = os.path.join(options.build_dir, name, "src")
            if os.path.isdir(copy):
                sync_copy(copy)

    for mutant in mutants:
        if mutant.status == "survived" and mutant.key() in equivalents:
            mutant.equivalent = equivalents[mutant.key()]
    elapsed = time.time() - started
    left = report(mutants, chosen_counts, candidate_counts, equivalents, tests, elapsed,
                  sys.stdout)
    with open(os.path.join(options.build_dir, "results.json"), "w", encoding="utf-8") as stream:
        json.dump([{"file": m.path, "line": m.line, "line_text": m.line_text, "change": m.change,
                    "operator": m.operator, "status": m.status, "killers": m.killers,
                    "killed_under": m.killed_under, "partial": m.partial,
                    "equivalent": m.equivalent} for m in mutants], stream, indent=1,
                  ensure_ascii=False)
    return 1 if left else 0


if __name__ == "__main__":
    sys.exit(main())

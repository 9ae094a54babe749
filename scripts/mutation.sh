#!/usr/bin/env bash
# The mutation run: how many small faults in program code the tests catch. Each source in
# base/, store/, keyfile/ and ui/main_dialog.cpp gets at most 60 mutants of the classic
# operators (== and !=, < and <=, > and >= swapped; && and || swapped; a ! removed; an integer
# constant or an index one more or one less; a statement that is a call deleted; return X made
# return 0, FALSE or NULL; TRUE and FALSE swapped), chosen by a sample seeded with the file's
# path, so that every run of the same code tries the same ones. Comments, strings, characters
# and #include lines are left alone.
#
# Each mutant is built with the host preset in a copy of the tree under build/mutation (only
# the mutated object is compiled again, at -O0, and the suite relinked) and the whole host suite
# is run on it, with a time limit; a mutant the suite passes is tried once more under the
# sanitizers (preset asan, its own copy and build). The worktree itself is never written to, and
# each copy's file is put back after every mutant, also on ^C or a signal. At most two jobs run
# at once: the machine has two cores and is shared.
#
# It prints a table per file (mutants, those that did not build, killed, survived, equivalent),
# every survivor with its file, line and change, and which tests kill mutants no other test
# kills; build/mutation/results.json holds every mutant with the tests that killed it. Survivors
# reviewed as equivalent are listed in scripts/mutation-equivalents.txt, each with its reason,
# and the score counts the killed among the others. The exit status is 1 while a survivor not
# listed there remains, 2 when the tree does not build or its suite fails without any mutant.
# About ten minutes on two cores; it is not part of scripts/test-all.sh.
#
#   scripts/mutation.sh                          # every program source
#   scripts/mutation.sh keyfile/export.cpp       # some sources only
#   scripts/mutation.sh --list                   # the mutants, without building anything
#   scripts/mutation.sh --jobs 1 --no-asan       # one job; survivors not tried again
set -euo pipefail

cd "$(dirname "$0")/.."
for tool in python3 cmake ninja; do
    if ! command -v "$tool" >/dev/null; then
        echo "$0: $tool is needed (scripts/install-deps.sh installs it)" >&2
        exit 2
    fi
done
exec python3 scripts/mutation.py "$@"

#!/usr/bin/env bash
# Checks the C mode on a project through its compile database, as a user
# runs it (`sornik --cpp -p DIR FILE`), against each entry's own compile
# command with -E (see tests/cmode_project_check.cc): -f '$n' gives every
# file back, the listing's code has the compiler's tokens, nothing crashes.
# Prints each file that differs and the counts.
#   scripts/cmode-project-check.sh DIR [file...]   (absolute paths)
# DIR holds compile_commands.json (a CMake build folder configured with
# -DCMAKE_EXPORT_COMPILE_COMMANDS=ON, for instance).
set -euo pipefail
source "$(dirname "$0")/build-folder.sh"
build=build-real-code
configure_build "$build" -DSORNIK_DEVELOPMENT=ON
cmake --build "$build" --target cmode_project_check >/dev/null
"$build/tests/cmode_project_check" "$@"

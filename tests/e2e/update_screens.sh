#!/usr/bin/env bash
# Redraws the reference pictures of test_screens.sh from the current build, on
# purpose: after a change to the art or the layout. Look at every picture in
# tests/e2e/screens/ before committing them.
#   DUNMARK_BUILD_DIR=build bash tests/e2e/update_screens.sh [en]
# With en, the English walk's references in tests/e2e/screens/en/ instead.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export DUNMARK_BUILD_DIR=${DUNMARK_BUILD_DIR:-$(cd "$here/../.." && pwd)/build}
export ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null}
source "$here/lib.sh"
source "$here/screens_lib.sh"

screens_mode=update
screens_language=${1:-ru}
run_screens
echo "References written to $screens_refs"

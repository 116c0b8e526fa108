#!/usr/bin/env bash
# The screen walk of test_screens.sh with the game started with --language en:
# every screen whose texts differ must reach its English reference in
# screens/en/, the others (world card, walk) the Russian one.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screens_lib.sh"

screens_mode=check
screens_language=en
run_screens

# An English reference is kept only where the picture differs from the Russian.
for ref in "$screens_refs_en"/*.png; do
  name=$(basename "$ref" .png)
  [[ -f "$screens_refs/$name.png" ]] || fail "en/$name.png has no Russian counterpart"
  [[ "$(pixel_count "$ref" "$screens_refs/$name.png")" -gt 0 ]] || fail "en/$name.png is the Russian picture"
done
echo "PASS"

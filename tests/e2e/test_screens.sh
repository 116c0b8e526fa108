#!/usr/bin/env bash
# Every screen of the real program, played through with real pointer events:
# title, world card, the walk, a monster, its defeat message, the mercenary
# camp and its dice, the forge, two monsters left behind, the wizard's shop,
# the dragon, the defeat, game over and the title again; then Escape.
# Each step must reach its reference picture in screens/ exactly, apart from
# the rectangles listed for it in screens/masks.txt.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screens_lib.sh"

screens_mode=check
run_screens
echo "PASS"

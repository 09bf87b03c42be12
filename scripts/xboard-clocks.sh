#!/usr/bin/env bash
# Plays the engine against fairymax inside the real xboard GUI in three
# time controls, one after another: one second a move (-st 0:01), 40 moves
# in 20 seconds (-tc 0:20 -mps 40) and sudden death, the whole game in a
# minute (-tc 1 -inc 0). In each, every game must end by the rules (no
# forfeit, no illegal move) and the engine's last thinking line before its
# moves must reach depth 6 on average. GAMES (2 per control) and MIN_DEPTH
# (6) change that; KEEP=1 keeps each work folder.
#
#   scripts/xboard-clocks.sh [path/to/vortelan]
set -uo pipefail

cd "$(dirname "$0")/.."
export GAMES=${GAMES:-2} MIN_DEPTH=${MIN_DEPTH:-6} ANALYSIS=0
failed=0
CLOCK=st scripts/xboard-match.sh "$@" || failed=$((failed + 1))
CLOCK=session SESSION_SECONDS=20 MOVES_PER_SESSION=40 scripts/xboard-match.sh "$@" || failed=$((failed + 1))
CLOCK=sudden SESSION_SECONDS=60 scripts/xboard-match.sh "$@" || failed=$((failed + 1))
[ "$failed" = 0 ] && echo "xboard-clocks: every time control passed" && exit 0
echo "xboard-clocks: $failed time control(s) failed"
exit 1

#!/usr/bin/env bash
# The engine's clock under load: while a second process keeps the other
# processor core busy, plays games at a real time control against fairymax
# (no game may be lost on time) and games at a fixed time per move (the
# slowest answer must stay within the move time plus 100 ms). Uses the match
# runner in ../shared/tools/match. Long: keep it out of the everyday tests.
#
#   scripts/loaded-clock.sh [path/to/vortelan]
#
# LEVEL_GAMES (20), LEVEL (40/30+0: 40 moves in 30 s), ST_GAMES (10) and
# MATCH_DIR change the defaults. The games are kept in the work folder it
# names at the end.
set -euo pipefail

cd "$(dirname "$0")/.."
ENGINE=${1:-build/release/vortelan}
FAIRYMAX=${FAIRYMAX:-/usr/games/fairymax}
MATCH_DIR=${MATCH_DIR:-$(cd .. && pwd)/shared/tools/match}
LEVEL_GAMES=${LEVEL_GAMES:-20}
LEVEL=${LEVEL:-40/30+0}
ST_GAMES=${ST_GAMES:-10}
LIMIT_MS=1100  # "st 1" plus 100 ms

for need in "$ENGINE" "$FAIRYMAX" "$MATCH_DIR/match.js"; do
    [ -e "$need" ] || { echo "loaded-clock: missing $need" >&2; exit 2; }
done
ENGINE=$(cd "$(dirname "$ENGINE")" && pwd)/$(basename "$ENGINE")
WORK=$(mktemp -d /tmp/vortelan-clock-XXXXXX)

# The load: one process spinning for as long as the games last.
( while :; do :; done ) &
LOAD=$!
trap 'kill $LOAD 2>/dev/null' EXIT
# Stopped by a signal, the script still ends the load on its way out.
trap 'exit 130' INT TERM

match() {
    (cd "$MATCH_DIR" && node match.js --e1 "$ENGINE" --cwd1 "$(dirname "$ENGINE")" --name1 Vortelan \
        --e2 "$FAIRYMAX" --name2 Fairymax "$@")
}

match --tc "level=$LEVEL" --games "$LEVEL_GAMES" --pgn "$WORK/level.pgn" | tee "$WORK/level.txt"
match --tc st=1 --games "$ST_GAMES" --pgn "$WORK/st.pgn" | tee "$WORK/st.txt"

# The runner writes each move's time into the move's comment ("0.93s}");
# the slowest of Vortelan's own moves is the figure that counts.
slowest=$(node -e '
    const text = require("fs").readFileSync(process.argv[1], "utf8");
    let slowest = 0;
    for (const game of text.split(/\n(?=\[Event )/)) {
        const ours = /\[White "Vortelan"\]/.test(game) ? "w" : "b";
        const movetext = game.replace(/^\[.*\]$/gm, "");
        let toMove = "w";
        let lastMover = null;
        for (const token of movetext.match(/\{[^}]*\}|\S+/g) || []) {
            if (/^\d+\.$/.test(token)) {
                toMove = "w";
            } else if (/^\d+\.\.\.$/.test(token)) {
                toMove = "b";
            } else if (token.startsWith("{")) {
                const time = /([0-9.]+)s/.exec(token);
                if (time && lastMover === ours) slowest = Math.max(slowest, Math.round(parseFloat(time[1]) * 1000));
            } else {
                lastMover = toMove;
                toMove = toMove === "w" ? "b" : "w";
            }
        }
    }
    console.log(slowest);
' "$WORK/st.pgn")

# grep -c answers 0 with a failing status, which must not end the script.
forfeits=$(cat "$WORK/level.txt" "$WORK/st.txt" | grep -ciE "loses on time|time forfeit" || true)
echo "loaded-clock: games in $WORK"
echo "loaded-clock: time forfeits: $forfeits; slowest answer at st 1: $slowest ms (limit $LIMIT_MS ms)"
[ "$forfeits" -eq 0 ] && [ "$slowest" -le "$LIMIT_MS" ]

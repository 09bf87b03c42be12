#!/bin/sh
# Deepens the opening books: stockfish plays every line of our repertoire
# (data/book/white.pgn, data/book/black.pgn) on against itself, two games a
# line with the colours of the engine processes swapped, and the first EXTRA
# plies past the end of each line become data/book/white-deep.pgn and
# data/book/black-deep.pgn, which the build reads next to the hand-written
# sources:
#
#   scripts/book-games.sh [OUT_DIR]
#
# The games go to OUT_DIR (default /work/tune-data/book), one at a time at the
# lowest priority. At 0.1 s a move the 280 distinct lines take about 12
# minutes on the shared two-core machine. EXTRA (default 8) and MOVETIME
# (seconds, default 0.1) change the depth and the strength of the lines.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
data=$here/../data/book
out=${1:-/work/tune-data/book}
match=${MATCH:-$here/../../shared/tools/match/match.js}
extra=${EXTRA:-8}
movetime=${MOVETIME:-0.1}
mkdir -p "$out"

for colour in white black; do
    node "$here/book-deepen.js" openings "$data/$colour.pgn" > "$out/$colour-lines.txt"
    lines=$(wc -l < "$out/$colour-lines.txt")
    plies=$(( $(awk 'NF > m { m = NF } END { print m }' "$out/$colour-lines.txt") + extra ))
    start=$(date +%s)
    rm -f "$out/$colour.json"
    nice -n 19 node "$match" --concurrency 1 --games $((2 * lines)) --tc "st=$movetime" --maxplies "$plies" \
        --e1 /usr/games/stockfish --p1 uci --o1 Threads=1 --o1 Hash=16 \
        --e2 /usr/games/stockfish --p2 uci --o2 Threads=1 --o2 Hash=16 \
        --openings "$out/$colour-lines.txt" --json "$out/$colour.json" --pgn "$out/$colour.pgn" \
        > "$out/$colour.out" 2>&1
    echo "$colour: $((2 * lines)) games in $(( $(date +%s) - start )) s" >> "$out/book-games.log"
    node "$here/book-deepen.js" write "$data/$colour.pgn" "$out/$colour.json" "$extra" > "$data/$colour-deep.pgn"
done

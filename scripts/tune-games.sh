#!/bin/sh
# Plays the games the piece-square tables are tuned on, with the match runner
# in ../shared/tools/match, one game at a time at the lowest priority:
#
#   scripts/tune-games.sh [path/to/vortelan] [OUT_DIR]
#
# The engine plays with the data files next to its binary (copied into
# OUT_DIR/engine, its working directory). Every run of the runner writes its
# own PGN in OUT_DIR (default /work/tune-data), so a run stopped half-way
# keeps the games it finished; the log says how long each stage took.
#
#   openings    random 8-ply openings judged level by stockfish (OPENINGS)
#   self        Vortelan against itself at 0.05 s a move, random openings
#   stockfish   stockfish against itself at 0.05 s a move, random openings:
#               fewer blunders, so results that say more about the position
#
# Both sides are equally strong in every game: in games against a weaker
# engine the result says which side was the stronger engine, and a fit on
# them learns the squares the stronger one likes (against fairymax and
# hoichess at depth 4 Vortelan scored 95 %). The moves are timed, not of a
# fixed depth, since at a fixed depth an engine plays the same game with
# either colour and the runner's two games of an opening would be one.
#
# Stages to play: STAGES (default: openings self stockfish); games per
# stage: GAMES (default 120); the openings' random seed: SEED (default 17;
# give a new run a new seed, so that its games add new positions).
# Measured on the shared two-core machine while other work ran at normal
# priority: the openings take half a minute, self about 6 s a game and
# stockfish about 7.5 s (their games are long), so 120 games take 13 to 15
# minutes a stage and the default run about 30 minutes; 250 such games gave
# some 15000 quiet positions.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
engine=$(cd "$(dirname "${1:-$here/../build/release/vortelan}")" && pwd)/$(basename "${1:-vortelan}")
out=${2:-/work/tune-data}
match=${MATCH:-$here/../../shared/tools/match/match.js}
games=${GAMES:-120}
openings=${OPENINGS:-300}
seed=${SEED:-17}
stages=${STAGES:-openings self stockfish}

mkdir -p "$out/engine"
cp "$engine" "$out/engine/vortelan"
for f in blancas.ape negras.ape tablapiezasavanzadas tablapiezasnormales; do
    cp "$(dirname "$engine")/$f" "$out/engine/$f"
done
log="$out/tune-games.log"
me="$out/engine/vortelan"

play() {  # name of the games' files, then match options
    name=$1
    shift
    start=$(date +%s)
    # The runner writes its PGN afresh: every run has a file of its own.
    nice -n 19 node "$match" --concurrency 1 --games "$games" --pgn "$out/$name.pgn" "$@" \
        > "$out/$name.out" 2>&1 || true
    echo "$name: $games games in $(( $(date +%s) - start )) s" >> "$log"
}

for stage in $stages; do
    case $stage in
        openings)
            start=$(date +%s)
            nice -n 19 node "$here/tune-openings.js" "$openings" "$seed" > "$out/random-openings.txt"
            echo "openings: $openings in $(( $(date +%s) - start )) s" >> "$log" ;;
        self)
            play self-timed --e1 "$me" --cwd1 "$out/engine" --e2 "$me" --cwd2 "$out/engine" \
                --name1 Vortelan-a --name2 Vortelan-b --tc st=0.05 --openings "$out/random-openings.txt" ;;
        stockfish)
            play stockfish --e1 /usr/games/stockfish --p1 uci --o1 Threads=1 --o1 Hash=16 \
                --e2 /usr/games/stockfish --p2 uci --o2 Threads=1 --o2 Hash=16 \
                --tc st=0.05 --openings "$out/random-openings.txt" ;;
        *) echo "unknown stage $stage" >&2; exit 2 ;;
    esac
done

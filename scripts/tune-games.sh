#!/bin/sh
# Plays the games the piece-square tables are tuned on, with the match runner
# in ../shared/tools/match, one game at a time at the lowest priority:
#
#   scripts/tune-games.sh [path/to/vortelan] [OUT_DIR]
#
# The engine plays with the data files next to its binary (copied into
# OUT_DIR/engine, its working directory). Every stage appends to its own PGN
# in OUT_DIR (default /work/tune-data), so a run stopped half-way keeps the
# games it finished; the log says how long each stage took.
#
#   openings    random 8-ply openings judged level by stockfish (OPENINGS)
#   self        Vortelan against itself at depth 4, random openings
#   fairymax, hoichess, phalanx
#               Vortelan against each at depth 4, half from the runner's
#               default openings, half from the random ones
#   stockfish   stockfish against itself at depth 6, random openings: fewer
#               blunders, so results that say more about the position
#
# Stages to play: STAGES (default all, in the order above); games per stage:
# GAMES (default 300). Measured on the shared two-core machine while other
# builds ran: 300 games of depth 4 take 8 to 12 minutes a stage, the stockfish
# stage about as long, so the whole default run takes about 50 minutes and
# gives 1500 games, about 100000 positions for the tuner.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
engine=$(cd "$(dirname "${1:-$here/../build/release/vortelan}")" && pwd)/$(basename "${1:-vortelan}")
out=${2:-/work/tune-data}
match=${MATCH:-$here/../../shared/tools/match/match.js}
games=${GAMES:-300}
openings=${OPENINGS:-300}
stages=${STAGES:-openings self fairymax hoichess phalanx stockfish}

mkdir -p "$out/engine"
cp "$engine" "$out/engine/vortelan"
for f in blancas.ape negras.ape tablapiezasavanzadas tablapiezasnormales; do
    cp "$(dirname "$engine")/$f" "$out/engine/$f"
done
log="$out/tune-games.log"
me="$out/engine/vortelan"

play() {  # stage name, then match options
    stage=$1
    shift
    start=$(date +%s)
    nice -n 19 node "$match" --concurrency 1 --games "$games" --pgn "$out/$stage.pgn" "$@" \
        > "$out/$stage.out" 2>&1 || true
    echo "$stage: $games games in $(( $(date +%s) - start )) s" >> "$log"
}

for stage in $stages; do
    case $stage in
        openings)
            start=$(date +%s)
            nice -n 19 node "$here/tune-openings.js" "$openings" 17 > "$out/random-openings.txt"
            echo "openings: $openings in $(( $(date +%s) - start )) s" >> "$log" ;;
        self)
            play self --e1 "$me" --cwd1 "$out/engine" --e2 "$me" --cwd2 "$out/engine" \
                --name1 Vortelan-a --name2 Vortelan-b --tc sd=4 --openings "$out/random-openings.txt" ;;
        fairymax)
            GAMES0=$games; games=$((GAMES0 / 2))
            play fairymax --e1 "$me" --cwd1 "$out/engine" --e2 /usr/games/fairymax --tc sd=4
            play fairymax --e1 "$me" --cwd1 "$out/engine" --e2 /usr/games/fairymax --tc sd=4 \
                --openings "$out/random-openings.txt"
            games=$GAMES0 ;;
        hoichess|phalanx)
            if [ "$stage" = phalanx ]; then cmd='/usr/games/phalanx -l- -r0'; else cmd=/usr/games/hoichess; fi
            GAMES0=$games; games=$((GAMES0 / 2))
            play "$stage" --e1 "$me" --cwd1 "$out/engine" --e2 "$cmd" --tc sd=4
            play "$stage" --e1 "$me" --cwd1 "$out/engine" --e2 "$cmd" --tc sd=4 \
                --openings "$out/random-openings.txt"
            games=$GAMES0 ;;
        stockfish)
            play stockfish --e1 /usr/games/stockfish --p1 uci --o1 Threads=1 --o1 Hash=16 \
                --e2 /usr/games/stockfish --p2 uci --o2 Threads=1 --o2 Hash=16 \
                --tc sd=6 --openings "$out/random-openings.txt" ;;
        *) echo "unknown stage $stage" >&2; exit 2 ;;
    esac
done

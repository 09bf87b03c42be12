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
#   self        Vortelan against itself at depth 4, random openings. An
#               engine at a fixed depth plays the same game with either
#               colour, so the runner's two games per opening are one game
#               twice (the tuner reads it once): half the time is lost.
#   nodata      Vortelan against itself without data files (no book, no
#               tables) at depth 4, random openings: two different games an
#               opening
#   fairymax, hoichess, phalanx
#               Vortelan against each at depth 4, half from the runner's
#               default openings, half from the random ones
#   stockfish   stockfish against itself at 0.05 s a move, random openings:
#               fewer blunders, so results that say more about the position
#               (a fixed time, since at a fixed depth its two games of an
#               opening would be the same too)
#
# Stages to play: STAGES (default: openings nodata fairymax hoichess phalanx
# stockfish); games per stage: GAMES (default 120). Measured on the shared
# two-core machine while another match ran at normal priority: 300 games of
# self took about 28 minutes (10 games a minute; games are long, 100 to 400
# plies); the stages against the other engines about 6 minutes per 120 games;
# stockfish at 0.05 s a move about 10 minutes per 120 games. The default run
# takes about 45 minutes and gives some 600 games, 35000 quiet positions.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
engine=$(cd "$(dirname "${1:-$here/../build/release/vortelan}")" && pwd)/$(basename "${1:-vortelan}")
out=${2:-/work/tune-data}
match=${MATCH:-$here/../../shared/tools/match/match.js}
games=${GAMES:-120}
openings=${OPENINGS:-300}
stages=${STAGES:-openings nodata fairymax hoichess phalanx stockfish}

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
        nodata)
            mkdir -p "$out/nodata"
            play nodata --e1 "$me" --cwd1 "$out/engine" --e2 "$me" --cwd2 "$out/nodata" \
                --name1 Vortelan --name2 Vortelan-nodata --tc sd=4 --openings "$out/random-openings.txt" ;;
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
                --tc st=0.05 --openings "$out/random-openings.txt" ;;
        *) echo "unknown stage $stage" >&2; exit 2 ;;
    esac
done

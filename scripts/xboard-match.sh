#!/usr/bin/env bash
# Plays the engine against fairymax inside the real xboard GUI, headless
# under a virtual X server, and checks that both games ended by the rules;
# then analyses in xboard (a position for ANALYSIS_SECONDS, a short game
# move by move) and in a session driven the way xboard does, and checks that
# the engine follows the position. Builds nothing: give it the engine binary
# (default build/release/vortelan; its data files are read from its folder).
#
#   scripts/xboard-match.sh [path/to/vortelan]
#
# Exits 0 when everything holds, or with a message when xboard, Xvfb or
# fairymax is not installed; non-zero on any failure. Set KEEP=1 to keep
# the work folder (games, xboard's debug log) for inspection. GAMES (2),
# SESSION_SECONDS (60) and MOVES_PER_SESSION (40) set the match: by default
# 40 moves in 1 minute; `make test` plays 40 moves in 20 seconds to stay
# quick. CLOCK picks another time control: "st" (ST_TIME, 0:01, a move) or
# "sudden" (the whole game in SESSION_SECONDS, no increment). MAX_MOVES
# has xboard draw a game after that many moves (0: never); MIN_DEPTH
# requires that average depth of the engine's last thinking line before
# its moves (always reported); ANALYSIS=0 leaves out the analysis checks.
# ANALYSIS_SECONDS (20) is how long xboard's analysis mode runs on a
# middle-game position. scripts/xboard-clocks.sh runs the match in each
# time control. PONDER=1 has both engines think on the opponent's time
# (xboard's -ponder) and counts the engine's thinking lines that arrive
# while the opponent is to move.
set -uo pipefail

cd "$(dirname "$0")/.."
ENGINE=${1:-build/release/vortelan}
XBOARD=${XBOARD:-/usr/games/xboard}
FAIRYMAX=${FAIRYMAX:-/usr/games/fairymax}
GAMES=${GAMES:-2}
SESSION_SECONDS=${SESSION_SECONDS:-60}
MOVES_PER_SESSION=${MOVES_PER_SESSION:-40}
ANALYSIS_SECONDS=${ANALYSIS_SECONDS:-20}
# xboard takes the session's time as minutes or minutes:seconds.
SESSION_TIME=$((SESSION_SECONDS / 60)):$(printf %02d $((SESSION_SECONDS % 60)))
CLOCK=${CLOCK:-session}
ST_TIME=${ST_TIME:-0:01}
MAX_MOVES=${MAX_MOVES:-0}
MIN_DEPTH=${MIN_DEPTH:-0}
PONDER=${PONDER:-0}
PONDER_ARGS=()
[ "$PONDER" = 1 ] && PONDER_ARGS=(-ponderNextMove true)
# GAME_LIMIT only guards against a hung GUI: the seconds that a game of 200
# moves takes at most.
case $CLOCK in
    session) CLOCK_ARGS=(-tc "$SESSION_TIME" -mps "$MOVES_PER_SESSION" -inc -1)
             CLOCK_TEXT="$MOVES_PER_SESSION moves in $SESSION_SECONDS s"
             GAME_LIMIT=$((SESSION_SECONDS * 10)) ;;  # 5 periods on each clock
    st) CLOCK_ARGS=(-st "$ST_TIME")
        CLOCK_TEXT="$ST_TIME a move"
        case $ST_TIME in
            *:*) st_seconds=$((10#${ST_TIME%%:*} * 60 + 10#${ST_TIME#*:})) ;;
            *) st_seconds=$((10#$ST_TIME * 60)) ;;
        esac
        GAME_LIMIT=$((400 * st_seconds)) ;;
    sudden) CLOCK_ARGS=(-tc "$SESSION_TIME" -inc 0)
            CLOCK_TEXT="the whole game in $SESSION_SECONDS s"
            GAME_LIMIT=$((SESSION_SECONDS * 3)) ;;
    *) echo "xboard-match: CLOCK must be session, st or sudden" >&2; exit 2 ;;
esac

for tool in "$XBOARD" "$FAIRYMAX"; do
    if [ ! -x "$tool" ]; then
        echo "xboard-match: skipped, $tool is not installed"
        exit 0
    fi
done
if ! command -v Xvfb >/dev/null 2>&1; then
    echo "xboard-match: skipped, Xvfb is not installed"
    exit 0
fi
if [ ! -x "$ENGINE" ]; then
    echo "xboard-match: no engine binary at $ENGINE (build it first: make build)" >&2
    exit 2
fi

ENGINE=$(cd "$(dirname "$ENGINE")" && pwd)/$(basename "$ENGINE")
ENGINE_DIR=$(dirname "$ENGINE")
WORK=$(mktemp -d /tmp/vortelan-xboard-XXXXXX)
XVFB_PID=
cleanup() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    if [ "${KEEP:-0}" = 1 ]; then echo "xboard-match: work folder kept in $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# ---- The match ------------------------------------------------------------

# A display of our own: the first free number from 90 on.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.1
done

play_match() {
    # fairymax 5.0b dies of a segmentation fault when "computer" follows
    # "force" (printf 'xboard\nprotover 2\nnew\nforce\ncomputer\n' | fairymax),
    # which xboard sends at the start of every engine-engine game; a filter in
    # front of it drops that one informational command. xboard interrupts its
    # engines with SIGINT, which the filter's shell and grep must ignore.
    opponent="$WORK/fairymax"
    cat >"$opponent" <<WRAPPER
#!/bin/sh
trap '' INT
grep --line-buffered -vx computer | exec "$FAIRYMAX"
WRAPPER
    chmod +x "$opponent"

    games="$WORK/games.pgn"
    echo "xboard-match: $GAMES games, $CLOCK_TEXT, vortelan against fairymax"
    start=$(date +%s)
    # Settings are read from and saved to the work folder only; the match ends
    # xboard by itself; every popup that would wait for a click is switched off.
    timeout $((GAMES * GAME_LIMIT + 120)) env DISPLAY=":$display" HOME="$WORK" "$XBOARD" \
        -settingsFile "$WORK/xboardrc" -saveSettingsOnExit false \
        -fcp "$ENGINE" -fd "$ENGINE_DIR" -fn vortelan \
        -scp "$opponent" -sd "$WORK" -sn fairymax \
        -matchMode true -matchGames "$GAMES" \
        "${CLOCK_ARGS[@]}" "${PONDER_ARGS[@]}" -adjudicateDrawMoves "$MAX_MOVES" \
        -saveGameFile "$games" -autoCallFlag true -testClaims true -checkMates true \
        -popupExitMessage false -popupMoveErrors false -noGUI \
        -debugMode true -nameOfDebugFile "$WORK/xboard.debug" \
        >"$WORK/xboard.out" 2>&1
    status=$?
    echo "xboard-match: xboard ended with status $status after $(($(date +%s) - start)) s"
    [ "$status" = 0 ] || fail "xboard ended with status $status"

    if [ ! -s "$games" ]; then
        fail "no games were saved"
    else
        grep -E '^\[(White|Black|Result|TimeControl) ' "$games"
        grep -E '\{[^}]*\} (1-0|0-1|1/2-1/2|\*)' "$games" | sed 's/^.*\({[^}]*} [^ ]*\).*$/    ends: \1/'
        played=$(grep -c '^\[Result ' "$games")
        [ "$played" = "$GAMES" ] || fail "$played games saved, $GAMES expected"
        grep -q '^\[Result "\*"\]' "$games" && fail "a game has no result"
        # A game lost on time by the opponent is the opponent's fault and is
        # only reported (fairymax can overstep a short control when the
        # machine is busy); every other irregular ending fails the check.
        while read -r verdict text; do
            case $verdict in
                FAIL) fail "a game did not end by the rules: $text" ;;
                NOTE) echo "    note: $text" ;;
            esac
        done < <(awk '
            /^\[White "/ { split($0, f, "\""); white = f[2] }
            /^\[Black "/ { split($0, f, "\""); black = f[2] }
            match($0, /\{[^}]*\} (1-0|0-1|1\/2-1\/2|\*)/) {
                ending = substr($0, RSTART + 1)
                sub(/\}.*/, "", ending)
                if (ending ~ /wins on time/) {
                    loser = ending ~ /^White/ ? black : white
                    print (loser == "vortelan" ? "FAIL" : "NOTE"), loser " lost on time (" ending ")"
                } else if (tolower(ending) ~ /exited|illegal|false|forfeit|time|flag|crash|disconnect|error/) {
                    print "FAIL", ending
                }
            }' "$games")
    fi
    if grep -Eiq 'illegal move|exited unexpectedly' "$WORK/xboard.debug" 2>/dev/null; then
        grep -Ei 'illegal move|exited unexpectedly' "$WORK/xboard.debug" | head -5 | sed 's/^/    xboard log: /'
        fail "xboard's log reports an illegal move or an engine that exited"
    fi
    report_thinking
}

# The depth of each engine's last thinking line before its move (book moves
# have none) and the time from the last line xboard sent it to its move,
# from the time stamps of xboard's debug log.
report_thinking() {
    awk -v need="$MIN_DEPTH" '
        match($0, /^[0-9]+ [<>](first |second): /) {
            stamp = $1; side = $2 ~ /second/ ? "second" : "first"; text = substr($0, RLENGTH + 1)
            if ($2 ~ /^>/) {
                sent[side] = stamp
                if (text ~ /^[a-h][1-8][a-h][1-8][qrbn]?$/) opponentToMove[side] = 0
                next
            }
            n = split(text, f, " ")
            if (n >= 5 && f[1] ~ /^[0-9]+$/ && f[3] ~ /^[0-9]+$/) {
                depth[side] = f[1]
                if (opponentToMove[side]) pondered[side]++
            }
            if (f[1] == "move") {
                opponentToMove[side] = 1
                moves[side]++; time[side] += stamp - sent[side]
                if (depth[side] != "") { deep[side] += depth[side]; counted[side]++ }
                depth[side] = ""
            }
        }
        END {
            split("first second", sides, " "); name["first"] = "vortelan"; name["second"] = "fairymax"
            for (i = 1; i <= 2; i++) {
                s = sides[i]
                if (!moves[s]) continue
                avg[s] = counted[s] ? deep[s] / counted[s] : 0
                printf "    %s: %d moves, average depth %.1f (%d searched), average %.0f ms a move, %d thinking lines on the opponent'"'"'s time\n", name[s], moves[s], avg[s], counted[s], time[s] / moves[s], pondered[s]
            }
            if (need > 0 && (!counted["first"] || avg["first"] < need)) {
                printf "FAIL: vortelan thought to depth %.1f on average, %d required\n", avg["first"], need
                exit 1
            }
        }' "$WORK/xboard.debug" || failures=$((failures + 1))
}
[ "$GAMES" -gt 0 ] && play_match
if [ "${ANALYSIS:-1}" = 0 ]; then
    [ "$failures" = 0 ] && exit 0
    exit 1
fi

# ---- Analysis ---------------------------------------------------------------

# 1. Under xboard itself, as a user analyses: a middle-game position in
# analysis mode for ANALYSIS_SECONDS, then a short game in analyse-a-file
# mode, two seconds a move. xboard's debug log holds what it sent and
# received; the checker replays the game it showed and judges every thinking
# line with vortelan-perft: each names a move legal in the position of its
# moment, each position gets its lines, and they keep coming until the end.
PERFT="$ENGINE_DIR/vortelan-perft"
analyse_in_xboard() {
    local label=$1 seconds=$2
    shift 2
    echo "xboard-match: xboard analysing $label for $seconds s"
    timeout "$seconds" env DISPLAY=":$display" HOME="$WORK" "$XBOARD" \
        -settingsFile "$WORK/xboardrc" -saveSettingsOnExit false \
        -fcp "$ENGINE" -fd "$ENGINE_DIR" -fn vortelan "$@" \
        -popupExitMessage false -popupMoveErrors false \
        -debugMode true -nameOfDebugFile "$WORK/$label.debug" >"$WORK/$label.out" 2>&1
    if ! command -v python3 >/dev/null 2>&1 || [ ! -x "$PERFT" ]; then
        echo "    skipped the check of the lines: python3 or $PERFT is missing"
        return
    fi
    python3 scripts/analysis-check.py "$PERFT" "$WORK/$label.debug" "$label" || failures=$((failures + 1))
}

echo "r2q1rk1/pp1nbppp/2p1pn2/3p4/2PP4/2NBPN2/PP3PPP/R2QK2R w KQ - 0 9" >"$WORK/middle-game.fen"
analyse_in_xboard middle-game "$ANALYSIS_SECONDS" -initialMode Analysis -loadPositionFile "$WORK/middle-game.fen"

cat >"$WORK/short-game.pgn" <<PGN
[Event "analysis"]
[White "w"]
[Black "b"]
[Result "*"]

1. e4 c5 2. Nf3 d6 3. d4 cxd4 *
PGN
# Six moves two seconds apart, then xboard leaves analysis mode by itself.
analyse_in_xboard short-game 17 -initialMode AnalyzeFile -loadGameFile "$WORK/short-game.pgn" -timeDelay 2

# A king-and-pawn position whose legal moves are few enough to list here, so
# that every thinking line can be checked against the position it belongs to.
# Each analysis prints its lines from depth 2 upwards; a line of depth 2 (or
# a depth below its predecessor's) begins the analysis of a new position.
fen="4k3/8/8/8/8/8/4P3/4K3 w - - 0 1"
start_moves="e1d1 e1f1 e1d2 e1f2 e2e3 e2e4"          # White, the set-up position
after_e4="e8d8 e8f8 e8d7 e8e7 e8f7"                  # Black, after e2e4

# Reads thinking lines ("depth score time nodes move ...") on standard input and
# checks them against the expected move sets, one set per analysis, in order.
check_analyses() {
    local label=$1
    shift
    awk -v label="$label" -v expected="$*" '
        BEGIN { wanted = split(expected, sets, "|"); n = 0; last = 99 }
        $1 ~ /^[0-9]+$/ && NF >= 5 {
            if ($1 + 0 <= last + 0 && ($1 == 2 || $1 + 0 < last + 0)) { n++; seen[n] = "" }
            last = $1
            if (n == 0) { n = 1 }
            seen[n] = seen[n] " " $5
            if (n <= wanted && index(" " sets[n] " ", " " $5 " ") == 0 && !((n, $5) in told)) {
                told[n, $5] = 1
                printf "FAIL: %s: analysis %d names %s, not a legal move of its position (%s)\n", label, n, $5, sets[n]
                bad = 1
            }
        }
        END {
            for (i = 1; i <= n || i <= wanted; i++)
                printf "    %s, analysis %d:%s\n", label, i, (i in seen) ? seen[i] : " (none)"
            if (n != wanted) { printf "FAIL: %s: %d analyses seen, %d expected (one per position)\n", label, n, wanted; bad = 1 }
            exit bad
        }'
}

# 2. Taking a move back, in xboard's command order for a user who sets up a
# position, analyses, plays a move and takes it back.
echo "xboard-match: analysis session with a move and its take-back"
transcript() {
    printf 'xboard\nprotover 2\n'
    sleep 0.5
    printf 'new\nlevel 40 5 0\npost\nhard\nforce\nsetboard %s\nanalyze\n.\n' "$fen"
    sleep 1.5
    printf 'e2e4\n.\n'
    sleep 1.5
    printf 'undo\n.\n'
    sleep 1.5
    printf 'exit\nforce\nquit\n'
}
transcript | (cd "$ENGINE_DIR" && timeout 20 "$ENGINE") >"$WORK/session.out" 2>&1
status=$?
[ "$status" = 0 ] || fail "the analysis session ended with status $status"
grep -E '^[0-9]+ -?[0-9]+ [0-9]+ [0-9]+ [a-h][1-8][a-h][1-8]( |$)' "$WORK/session.out" |
    check_analyses "session" "$start_moves|$after_e4|$start_moves" || failures=$((failures + 1))

if [ "$failures" = 0 ]; then
    echo "xboard-match: all checks passed"
    exit 0
fi
echo "xboard-match: $failures check(s) failed"
exit 1

#!/usr/bin/env python3
"""Measures the engine's playing levels with refereed matches at 10 s + 0.1 s.

Each pairing is the engine at a level against the engine at another level,
against stockfish at the same UCI_Elo, or against fairymax. A pairing is
played in rounds of ten games, each round with the next ten openings of the
match runner's list, and every finished round is appended to
data/calibration/results.tsv, so the script resumes where it stopped: a
pairing with its games recorded is done. At the end it prints, for every
pairing with games, the score of the first side and the Elo difference with
its 95 % margin, and the faults (time losses, illegal moves, crashes).

    scripts/calibrate-levels.py               # every pairing, in order
    scripts/calibrate-levels.py NAME ...      # those pairings only
    scripts/calibrate-levels.py --table       # the table alone

ENGINE (build/release/vortelan, with its data files beside it), MATCH (the
match runner's match.js, ../shared/tools/match/match.js), STOCKFISH
(/usr/games/stockfish) and FAIRYMAX (/usr/games/fairymax) name the
programs; CONCURRENCY (1) the games played at once. The games of each round
stay in build/calibration/ (PGN, JSON and the openings it began from) for a
closer look.
"""
import json
import math
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ENGINE = os.environ.get("ENGINE", os.path.join(ROOT, "build/release/vortelan"))
MATCH = os.environ.get("MATCH", os.path.join(ROOT, "../shared/tools/match/match.js"))
STOCKFISH = os.environ.get("STOCKFISH", "/usr/games/stockfish")
FAIRYMAX = os.environ.get("FAIRYMAX", "/usr/games/fairymax")
CONCURRENCY = os.environ.get("CONCURRENCY", "1")
RESULTS = os.path.join(ROOT, "data/calibration/results.tsv")
GAMES_DIR = os.path.join(ROOT, "build/calibration")
ROUND = 10
TIME_CONTROL = "level=0/10+0.1"


def level(elo):
    return ["UCI_LimitStrength=true", f"UCI_Elo={elo}"] if elo else []


def skill(n):
    return [f"Skill Level={n}"]


# name, games, the engine's options, the opponent, the opponent's options.
# The opponent "vortelan" is the engine again.
PAIRINGS = [
    # Where the skill levels stand, for the rating scale.
    ("skill5-skill0", 20, skill(5), "vortelan", skill(0)),
    ("skill5-sf1350", 20, skill(5), "stockfish", level(1350)),
    ("skill10-sf1350", 20, skill(10), "stockfish", level(1350)),
    ("skill12-sf1500", 40, skill(12), "stockfish", level(1500)),
    ("skill15-sf1350", 20, skill(15), "stockfish", level(1350)),
    ("skill15-sf1700", 20, skill(15), "stockfish", level(1700)),
    ("skill19-sf1700", 20, skill(19), "stockfish", level(1700)),
    ("full-sf1700", 20, [], "stockfish", level(1700)),
    ("full-sf2200", 20, [], "stockfish", level(2200)),
    # The measured levels: each against the next weaker, full strength
    # against the strongest limited one, and stockfish at the same rating
    # where its scale reaches.
    ("elo1350-elo1000", 40, level(1350), "vortelan", level(1000)),
    ("elo1650-elo1350", 40, level(1650), "vortelan", level(1350)),
    ("full-elo1650", 40, [], "vortelan", level(1650)),
    ("elo1350-sf1350", 40, level(1350), "stockfish", level(1350)),
    ("elo1650-sf1650", 40, level(1650), "stockfish", level(1650)),
    # The weakest level's mistakes are judged from these games.
    ("skill0-fairymax", 20, skill(0), "fairymax", []),
]


def read_results():
    rounds = {}
    if os.path.exists(RESULTS):
        for line in open(RESULTS):
            if line.startswith("#") or not line.strip():
                continue
            name, _round, w, d, l, faults1, faults2 = line.split("\t")
            rounds.setdefault(name, []).append((int(w), int(d), int(l), faults1.strip(), faults2.strip()))
    return rounds


def openings(round_index):
    lines = [line for line in open(os.path.join(os.path.dirname(MATCH), "openings.txt"))
             if line.strip() and not line.startswith("#")]
    per_round = ROUND // 2
    start = (round_index * per_round) % len(lines)
    return [lines[(start + i) % len(lines)] for i in range(per_round)]


def opponent_args(opponent, options):
    if opponent == "vortelan":
        args = ["--e2", ENGINE, "--p2", "uci", "--cwd2", os.path.dirname(ENGINE)]
    elif opponent == "stockfish":
        args = ["--e2", STOCKFISH, "--p2", "uci", "--o2", "Threads=1", "--o2", "Hash=16"]
    else:
        args = ["--e2", FAIRYMAX, "--p2", "xboard"]
    for option in options:
        args += ["--o2", option]
    return args


def faults(engine):
    return f"{engine['timeForfeits']}/{engine['illegal']}/{engine['crashes']}"


def play_round(name, round_index, ours, opponent, theirs):
    os.makedirs(GAMES_DIR, exist_ok=True)
    stem = os.path.join(GAMES_DIR, f"{name}-{round_index + 1:02d}")
    book = stem + "-openings.txt"
    with open(book, "w") as out:
        out.writelines(openings(round_index))
    args = ["node", MATCH, "--e1", ENGINE, "--p1", "uci", "--cwd1", os.path.dirname(ENGINE),
            "--name1", name.split("-")[0], "--name2", name.split("-")[1],
            "--tc", TIME_CONTROL, "--games", str(ROUND), "--openings", book,
            "--concurrency", CONCURRENCY, "--pgn", stem + ".pgn", "--json", stem + ".json"]
    for option in ours:
        args += ["--o1", option]
    args += opponent_args(opponent, theirs)
    if os.path.exists(stem + ".pgn"):
        os.remove(stem + ".pgn")
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL)
    result = json.load(open(stem + ".json"))
    tally = result["summary"]
    engines = result["engines"]
    os.makedirs(os.path.dirname(RESULTS), exist_ok=True)
    new = not os.path.exists(RESULTS)
    with open(RESULTS, "a") as out:
        if new:
            out.write("# pairing\tround\twins\tdraws\tlosses\tfaults of the first\tfaults of the second"
                      " (time losses/illegal moves/crashes)\n")
        out.write(f"{name}\t{round_index + 1}\t{tally['w']}\t{tally['d']}\t{tally['l']}\t"
                  f"{faults(engines[0])}\t{faults(engines[1])}\n")


# "time losses/illegal moves/crashes" summed over rounds.
def total_faults(texts):
    sums = [0, 0, 0]
    for text in texts:
        for i, count in enumerate(text.split("/")):
            sums[i] += int(count)
    return "/".join(str(count) for count in sums)


def elo(score):
    return -400 * math.log10(1 / score - 1)


def table(rounds):
    print(f"{'pairing':<18} {'games':>5} {'score':>7} {'Elo':>6} {'95 %':>10}  faults (time/illegal/crash)")
    for name, _games, _ours, _opponent, _theirs in PAIRINGS:
        if name not in rounds:
            continue
        w = sum(r[0] for r in rounds[name])
        d = sum(r[1] for r in rounds[name])
        l = sum(r[2] for r in rounds[name])
        n = w + d + l
        s = (w + d / 2) / n
        sd = math.sqrt((w * (1 - s) ** 2 + d * (0.5 - s) ** 2 + l * s ** 2) / n) / math.sqrt(n)
        low, high = s - 1.96 * sd, s + 1.96 * sd
        shown = f"{elo(s):+6.0f}" if 0 < s < 1 else "   n/a"
        margin = f"{elo(low):+.0f}..{elo(high):+.0f}" if 0 < low and high < 1 else "n/a"
        f1, f2 = (total_faults(r[side] for r in rounds[name]) for side in (3, 4))
        print(f"{name:<18} {n:>5} {100 * s:>6.1f}% {shown} {margin:>10}  {f1} | {f2}")


def main():
    wanted = [a for a in sys.argv[1:] if not a.startswith("--")]
    if "--table" not in sys.argv:
        for name, games, ours, opponent, theirs in PAIRINGS:
            if wanted and name not in wanted:
                continue
            done = len(read_results().get(name, []))
            for round_index in range(done, games // ROUND):
                print(f"calibrate-levels: {name}, round {round_index + 1} of {games // ROUND}", flush=True)
                play_round(name, round_index, ours, opponent, theirs)
    table(read_results())


if __name__ == "__main__":
    main()

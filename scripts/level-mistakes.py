#!/usr/bin/env python3
"""Judges the moves of a weaker level by the engine at full strength.

Reads the games of a calibration pairing (the JSON files that
scripts/calibrate-levels.py leaves in build/calibration/, each beside the
openings it began from), and for every move of the named side after the
opening searches the position before it and the position
after it with the full-strength engine to the depth that "sd 8" gives (UCI
depth 9). A move loses what the best move scores minus what the position
after it scores for the side that moved; positions already beyond five pawns
either way are not counted. Prints how many moves lost more than three
pawns, out of how many judged.

    scripts/level-mistakes.py SIDE FILE.json ...

SIDE is the name the side has in the games (skill0 for the pairing
skill0-fairymax). ENGINE as for calibrate-levels.py.
"""
import json
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ENGINE = os.environ.get("ENGINE", os.path.join(ROOT, "build/release/vortelan"))
DEPTH = 9
LOST = 300  # centipawns
DECIDED = 500


class Engine:
    def __init__(self):
        self.process = subprocess.Popen([ENGINE], cwd=os.path.dirname(ENGINE), stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True, bufsize=1)
        self.send("uci")
        self.wait("uciok")
        self.send("setoption name OwnBook value false")

    def send(self, line):
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()

    def wait(self, prefix):
        lines = []
        for line in self.process.stdout:
            lines.append(line.strip())
            if line.startswith(prefix):
                return lines
        raise RuntimeError("the engine ended")

    # The score in centipawns for the side to move, mates as +-100000.
    def score(self, start, moves):
        where = f"fen {start}" if start else "startpos"
        self.send(f"position {where} moves {' '.join(moves)}" if moves else f"position {where}")
        self.send(f"go depth {DEPTH}")
        score = None
        for line in self.wait("bestmove"):
            words = line.split()
            if "score" in words:
                kind, value = words[words.index("score") + 1], int(words[words.index("score") + 2])
                score = value if kind == "cp" else (100000 if value > 0 else -100000)
        return score


def main():
    side, files = sys.argv[1], sys.argv[2:]
    engine = Engine()
    judged = lost = 0
    for name in files:
        # The opening plies were the match's, not the level's.
        book = [line.split("#")[0].split() for line in open(name[: -len(".json")] + "-openings.txt")]
        for game in json.load(open(name))["games"]:
            opening = len(book[(game["number"] - 1) // 2])
            colour = 0 if game["white"] == side else 1 if game["black"] == side else None
            if colour is None:
                continue
            start = game.get("startFen")
            white_first = not start or start.split()[1] == "w"
            moves = game["moves"]
            for i, move in enumerate(moves):
                mover = i % 2 if white_first else 1 - i % 2
                if mover != colour or i < opening:
                    continue
                before = engine.score(start, moves[:i])
                after = engine.score(start, moves[: i + 1])
                if before is None or after is None or abs(before) > DECIDED:
                    continue
                judged += 1
                if before - (-after) > LOST:
                    lost += 1
                    print(f"  {os.path.basename(name)} game {game['number']} ply {i + 1} {move}: "
                          f"{before} before, {-after} after")
    engine.send("quit")
    share = lost / judged if judged else 0
    print(f"{side}: {lost} of {judged} moves lost more than three pawns ({100 * share:.1f} %, at most 5 % allowed)")


if __name__ == "__main__":
    main()

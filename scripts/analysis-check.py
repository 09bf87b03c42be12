#!/usr/bin/env python3
"""Reads xboard's debug log of an analysis session and checks the engine's
thinking lines against the game xboard showed at each moment: every line's
move must be legal in the position of that moment, no score may lie beyond
a mate's, and lines must keep coming until the session ends (the last one
less than five seconds before xboard said "exit" or "quit"). A line that the
engine wrote just before it read a move xboard had already sent crosses the
move in the pipes; one such line per change of the game, arriving within a
second and legal in the position before the change, is counted, not failed,
unless more than half of the changes bring one: an engine that goes on
talking about the old position after every move is at fault.
Every position shown while the engine analyses must get a line of its own.

    analysis-check.py PERFT LOG LABEL

PERFT is vortelan-perft, the judge of legal moves. Prints a summary and
exits non-zero on a failure.
"""
import re
import subprocess
import sys

START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"
LAST_LINE_BEFORE_END_MS = 5000
LARGEST_SCORE = 40000  # centipawns; a mate scores 39900 at most
CROSSING_MS = 1000

perft, log, label = sys.argv[1:4]
legal_cache = {}


def legal_moves(fen):
    if fen not in legal_cache:
        out = subprocess.run([perft, fen, "1"], capture_output=True, text=True, check=True).stdout
        legal_cache[fen] = {line[:4] for line in out.splitlines() if re.match(r"^[a-h][1-8][a-h][1-8]", line)}
    return legal_cache[fen]


def board_of(fen):
    rows = []
    for rank in fen.split()[0].split("/"):
        row = ""
        for c in rank:
            row += "." * int(c) if c.isdigit() else c
        rows.append(list(row))
    return rows  # rows[0] is rank 8


def square(name):
    return 8 - int(name[1]), ord(name[0]) - ord("a")


def play(fen, move):
    """The position after a legal coordinate move (e1g1 castles, e7e8n promotes)."""
    fields = fen.split()
    while len(fields) < 6:
        fields.append(["w", "-", "-", "0", "1"][len(fields) - 1])
    board = board_of(fen)
    (fr, ff), (tr, tf) = square(move[:2]), square(move[2:4])
    piece, target = board[fr][ff], board[tr][tf]
    white = fields[1] == "w"
    board[fr][ff], board[tr][tf] = ".", piece
    if piece in "Pp" and ff != tf and target == ".":  # en passant
        board[fr][tf] = "."
    if piece in "Pp" and tr in (0, 7):
        letter = move[4] if len(move) > 4 else "q"
        board[tr][tf] = letter.upper() if white else letter.lower()
    if piece in "Kk" and abs(tf - ff) == 2:  # castling moves the rook too
        rook_from, rook_to = (7, 5) if tf == 6 else (0, 3)
        board[tr][rook_to], board[tr][rook_from] = board[tr][rook_from], "."
    rights = fields[2]
    for sq, lost in (("e1", "KQ"), ("h1", "K"), ("a1", "Q"), ("e8", "kq"), ("h8", "k"), ("a8", "q")):
        if sq in (move[:2], move[2:4]):
            rights = "".join(c for c in rights if c not in lost)
    ep = "-"
    if piece in "Pp" and abs(tr - fr) == 2:
        ep = move[0] + ("3" if white else "6")
    placement = "/".join(re.sub(r"\.+", lambda m: str(len(m.group())), "".join(row)) for row in board)
    halfmove = "0" if piece in "Pp" or target != "." else str(int(fields[4]) + 1)
    fullmove = fields[5] if white else str(int(fields[5]) + 1)
    return " ".join([placement, "b" if white else "w", rights or "-", ep, halfmove, fullmove])


failures = []
games = [START]  # the positions of the game xboard shows, the last one current
lines = 0
crossed = 0
changes = 0  # changes of the game while the engine analyses
before_change = None  # the position before the last change, while a line may still cross it
change_ms = 0
analysing = False
lines_here = 0  # lines for the current position


def position_left(ms):
    if analysing and lines_here == 0:
        failures.append(f"at {ms} ms the position {games[-1]} was left without a line of analysis")
last_line_ms = None
end_ms = None
last_ms = 0
for text in open(log, errors="replace"):
    m = re.match(r"^(\d+) ([<>])first : (.*?)\s*$", text)
    if not m:
        continue
    ms, direction, message = int(m.group(1)), m.group(2), m.group(3)
    last_ms = ms
    if direction == ">":
        word = message.split()[0] if message.split() else ""
        if word in ("new", "setboard", "undo", "remove", "exit", "quit") or re.match(r"^[a-h][1-8][a-h][1-8]", word):
            position_left(ms)
            before_change, change_ms, lines_here = games[-1], ms, 0
            changes += analysing and word not in ("exit", "quit")
        if word == "analyze":
            analysing = True
        elif word in ("exit", "quit"):
            analysing = False
        if word == "new":
            games = [START]
        elif word == "setboard":
            games = [message[len("setboard "):]]
        elif word == "undo":
            games = games[:-1] or games
        elif word == "remove":
            games = games[:-2] or games[:1]
        elif word in ("exit", "quit") and end_ms is None:
            end_ms = ms
        elif re.match(r"^[a-h][1-8][a-h][1-8][qrbn]?$", message):
            if message[:4] not in legal_moves(games[-1]):
                failures.append(f"xboard sent {message}, which the judge finds illegal in {games[-1]}")
                break
            games.append(play(games[-1], message))
        continue
    t = re.match(r"^(\d+) (-?\d+) (\d+) (\d+) ([a-h][1-8][a-h][1-8][qrbn]?(?: [a-h][1-8][a-h][1-8][qrbn]?)*)$", message)
    if not t:
        continue
    lines += 1
    last_line_ms = ms
    line = t.group(5).split()
    move = line[0][:4]
    if move in legal_moves(games[-1]):
        before_change = None
        lines_here += 1
        # The rest of the line, move by move.
        fen = games[-1]
        for i, step in enumerate(line):
            if step[:4] not in legal_moves(fen):
                failures.append(f"at {ms} ms \"{message}\": move {i + 1} of the line is not legal")
                break
            fen = play(fen, step)
    elif before_change and ms - change_ms <= CROSSING_MS and move in legal_moves(before_change):
        crossed += 1
        before_change = None
    else:
        failures.append(f"at {ms} ms \"{message}\" names a move not legal in {games[-1]}")
    if abs(int(t.group(2))) > LARGEST_SCORE:
        failures.append(f"at {ms} ms \"{message}\" shows a score no search finds")

end_ms = end_ms if end_ms is not None else last_ms
print(f"    {label}: {lines} thinking lines ({crossed} of {changes} changes crossed), the last at {last_line_ms} ms,"
      f" the session ended at {end_ms} ms")
if lines == 0:
    failures.append("no thinking lines")
elif 2 * crossed > changes:
    failures.append(f"{crossed} of {changes} changes of the game were followed by a line of the old position")
if lines and end_ms - last_line_ms >= LAST_LINE_BEFORE_END_MS:
    failures.append(f"silent for the last {end_ms - last_line_ms} ms of the session")
for failure in failures[:10]:
    print(f"FAIL: {label}: {failure}")
sys.exit(1 if failures else 0)

#!/usr/bin/env node
'use strict';
// Random balanced openings for the tuning games: PLIES random legal moves from
// the start position, kept when a strong engine's short search finds the
// position roughly level, so the games that follow start from sound but
// varied positions that no book would reach.
//
//   node scripts/tune-openings.js COUNT [SEED] [PLIES] [MAX_CP] > openings.txt
//
// Deterministic for a seed up to the judge's own search (single-threaded at a
// fixed depth, it answers the same each time). Needs the match runner's
// chess.js (../shared/tools/match) and /usr/games/stockfish as the judge.
const path = require('path');
const { spawn } = require('child_process');

const matchDir = process.env.MATCH_DIR || path.join(__dirname, '..', '..', 'shared', 'tools', 'match');
const { Chess } = require(path.join(matchDir, 'node_modules', 'chess.js'));

const count = parseInt(process.argv[2] || '100', 10);
let seed = parseInt(process.argv[3] || '17', 10) >>> 0;
const plies = parseInt(process.argv[4] || '8', 10);
const maxCp = parseInt(process.argv[5] || '60', 10);
const judgeDepth = 10;

// xorshift32: the same sequence on every machine for a seed.
function nextRandom() {
  seed ^= seed << 13; seed >>>= 0;
  seed ^= seed >>> 17;
  seed ^= seed << 5; seed >>>= 0;
  return seed;
}

const judge = spawn(process.env.JUDGE || '/usr/games/stockfish', [], { stdio: ['pipe', 'pipe', 'ignore'] });
let buffered = '';
let waiting = null;
judge.stdout.on('data', (chunk) => {
  buffered += chunk;
  let nl;
  while ((nl = buffered.indexOf('\n')) >= 0) {
    const line = buffered.slice(0, nl).trim();
    buffered = buffered.slice(nl + 1);
    remember(line);
    if (waiting) waiting(line);
  }
});

function ask(command, until) {
  return new Promise((resolve) => {
    const lines = [];
    waiting = (line) => {
      lines.push(line);
      if (until(line)) { waiting = null; resolve(lines); }
    };
    judge.stdin.write(command + '\n');
  });
}

// The judge's last score in centipawns for the side to move; null for a mate.
let lastScore = null;
function remember(line) {
  const m = line.match(/ score (cp|mate) (-?\d+)/);
  if (m) lastScore = m[1] === 'cp' ? parseInt(m[2], 10) : null;
}

async function judgeScore(moves) {
  lastScore = null;
  await ask(`position startpos moves ${moves.join(' ')}\ngo depth ${judgeDepth}`, (l) => l.startsWith('bestmove'));
  return lastScore;
}

async function main() {
  await ask('uci', (l) => l === 'uciok');
  await ask('setoption name Threads value 1\nsetoption name Hash value 16\nisready', (l) => l === 'readyok');
  const seen = new Set();
  let kept = 0;
  let tried = 0;
  console.log(`# ${count} random openings of ${plies} plies, judged level within ${maxCp} cp at depth ${judgeDepth}`);
  while (kept < count && tried < count * 50) {
    ++tried;
    const chess = new Chess();
    const moves = [];
    while (moves.length < plies) {
      const legal = chess.moves({ verbose: true });
      if (legal.length === 0) break;
      const m = legal[nextRandom() % legal.length];
      chess.move(m);
      moves.push(m.from + m.to + (m.promotion || ''));
    }
    if (moves.length < plies || chess.isGameOver() || seen.has(chess.fen())) continue;
    const score = await judgeScore(moves);
    if (score === null || Math.abs(score) > maxCp) continue;
    seen.add(chess.fen());
    console.log(`${moves.join(' ')}  # ${score}`);
    ++kept;
  }
  judge.stdin.write('quit\n');
}
main();

#!/usr/bin/env node
'use strict';
// Labels the tuner's quiet positions with a stronger engine's judgement, for
// `vortelan-tune --labels`: a game's result says little about any one of its
// positions (a blunder forty moves later decides it), while a deep search of
// the position itself says much more, so far fewer positions are needed.
//
//   vortelan-tune --positions positions.txt data/tables.txt GAMES.pgn...
//   node scripts/tune-label.js positions.txt [NODES] [WORKERS] > labels.txt
//
// Every input line is a game number and the moves from the start that reach
// the position; every output line is the same with White's expected result
// in front: stockfish's win/draw/loss estimate (UCI_ShowWDL) after a search
// of NODES nodes (default 10000), as (wins + draws / 2) / 1000. Single
// threaded at a fixed node count with its hash cleared before each position,
// the judge answers the same each time, and the lines come out in the input's
// order, so a run is repeatable. A position seen before is labelled once.
// Progress goes to standard error. About 15 ms a position and worker at the
// default nodes on the shared two-core machine.
const fs = require('fs');
const { spawn } = require('child_process');

const input = process.argv[2];
const nodes = parseInt(process.argv[3] || '10000', 10);
const workers = parseInt(process.argv[4] || '1', 10);
if (!input || !(nodes > 0) || !(workers > 0)) {
  process.stderr.write('usage: node scripts/tune-label.js POSITIONS [NODES] [WORKERS] > LABELS\n');
  process.exit(2);
}
const lines = fs.readFileSync(input, 'utf8').split('\n').filter((line) => line.trim() !== '');

function startJudge() {
  const judge = spawn(process.env.JUDGE || '/usr/games/stockfish', [], { stdio: ['pipe', 'pipe', 'ignore'] });
  judge.buffered = '';
  judge.waiting = null;
  judge.lastWdl = null;
  judge.stdout.on('data', (chunk) => {
    judge.buffered += chunk;
    let nl;
    while ((nl = judge.buffered.indexOf('\n')) >= 0) {
      const line = judge.buffered.slice(0, nl).trim();
      judge.buffered = judge.buffered.slice(nl + 1);
      const wdl = / wdl (\d+) (\d+) (\d+)/.exec(line);
      if (wdl) judge.lastWdl = wdl.slice(1, 4).map(Number);
      if (judge.waiting && judge.waiting.test(line)) {
        const done = judge.waiting;
        judge.waiting = null;
        done.resolve();
      }
    }
  });
  judge.ask = (text, until) =>
    new Promise((resolve) => {
      judge.waiting = { test: (line) => line.startsWith(until), resolve };
      judge.stdin.write(text);
    });
  return judge;
}

// White's expected result for the position the moves reach.
async function label(judge, moves) {
  judge.lastWdl = null;
  await judge.ask(`ucinewgame\nposition startpos moves ${moves.join(' ')}\ngo nodes ${nodes}\n`, 'bestmove');
  if (!judge.lastWdl) throw new Error(`no estimate for: ${moves.join(' ')}`);
  const [wins, draws] = judge.lastWdl;
  const forMover = (wins + draws / 2) / 1000;
  return moves.length % 2 === 0 ? forMover : 1 - forMover;
}

async function main() {
  const judges = [];
  for (let i = 0; i < workers; ++i) {
    const judge = startJudge();
    await judge.ask('uci\nsetoption name Threads value 1\nsetoption name Hash value 8\n' +
      'setoption name UCI_ShowWDL value true\nisready\n', 'readyok');
    judges.push(judge);
  }
  const results = new Array(lines.length);
  const known = new Map();
  let next = 0;
  let written = 0;
  const started = Date.now();
  const flush = () => {
    while (written < lines.length && results[written] !== undefined) {
      const [game, ...moves] = lines[written].trim().split(/\s+/);
      process.stdout.write(`${results[written].toFixed(3)} ${game} ${moves.join(' ')}\n`);
      ++written;
      if (written % 1000 === 0) {
        const seconds = (Date.now() - started) / 1000;
        process.stderr.write(`${written} of ${lines.length} labelled, ${seconds.toFixed(0)} s\n`);
      }
    }
  };
  const work = async (judge) => {
    while (next < lines.length) {
      const index = next++;
      const moves = lines[index].trim().split(/\s+/).slice(1);
      const key = moves.join(' ');
      if (!known.has(key)) known.set(key, label(judge, moves));
      results[index] = await known.get(key);
      flush();
    }
  };
  await Promise.all(judges.map(work));
  flush();
  for (const judge of judges) judge.stdin.end('quit\n');
}

main().catch((error) => {
  process.stderr.write(`${error.message}\n`);
  process.exit(1);
});

#!/usr/bin/env node
'use strict';
// Deepens a hand-written book source with strong play: every line of the
// source is played on by a strong engine against itself (see
// scripts/book-games.sh), and the first plies of those games become a new
// book source in PGN, one game per line.
//
//   node scripts/book-deepen.js openings SOURCE.pgn
//       the source's distinct lines, one a line, for the match runner
//   node scripts/book-deepen.js write SOURCE.pgn GAMES.json EXTRA
//       the games (the runner's --json, two per distinct line, in order)
//       cut EXTRA plies past the end of their line, as PGN. A line written
//       n times in the source is continued n times by each of its games, so
//       the source's weights keep their proportions past its end.
const fs = require('fs');
const path = require('path');

const matchDir = process.env.MATCH_DIR || path.join(__dirname, '..', '..', 'shared', 'tools', 'match');
const { Chess } = require(path.join(matchDir, 'node_modules', 'chess.js'));

// The source's lines in order of first appearance, with their copies.
function readLines(file) {
  const lines = [];
  const index = new Map();
  for (const raw of fs.readFileSync(file, 'utf8').split('\n')) {
    const text = raw.replace(/;.*/, '').replace(/\{[^}]*\}/g, '').trim();
    if (!text || text.startsWith('[')) continue;
    const moves = text.split(/\s+/).filter((t) => !/^\d+\.+$/.test(t) && !['*', '1-0', '0-1', '1/2-1/2'].includes(t))
      .map((t) => t.replace(/^\d+\.+/, ''));
    const key = moves.join(' ');
    if (index.has(key)) {
      ++lines[index.get(key)].copies;
    } else {
      index.set(key, lines.length);
      lines.push({ moves, copies: 1 });
    }
  }
  return lines;
}

function san(lanMoves) {
  const chess = new Chess();
  let text = '';
  lanMoves.forEach((lan, i) => {
    const move = chess.move({ from: lan.slice(0, 2), to: lan.slice(2, 4), promotion: lan[4] });
    if (i % 2 === 0) text += `${i / 2 + 1}. `;
    text += `${move.san} `;
  });
  return `${text}*`;
}

const [mode, sourceFile, gamesFile, extraText] = process.argv.slice(2);
const lines = readLines(sourceFile);
if (mode === 'openings') {
  for (const line of lines) console.log(line.moves.join(' '));
} else if (mode === 'write') {
  const games = JSON.parse(fs.readFileSync(gamesFile, 'utf8')).games;
  const extra = parseInt(extraText, 10);
  let written = 0;
  console.log(`; ${path.basename(sourceFile)} played on by stockfish against itself, ${extra} plies past`);
  console.log('; the end of each line (scripts/book-games.sh). Do not edit: made again from that file.');
  lines.forEach((line, k) => {
    for (const game of games.filter((g) => Math.floor((g.number - 1) / 2) === k)) {
      if (game.moves.length <= line.moves.length || game.startFen) continue;
      const text = san(game.moves.slice(0, line.moves.length + extra));
      for (let c = 0; c < line.copies; ++c) console.log(text);
      written += line.copies;
    }
  });
  console.error(`${written} lines from ${lines.length} distinct lines`);
} else {
  console.error('usage: book-deepen.js openings SOURCE.pgn | write SOURCE.pgn GAMES.json EXTRA');
  process.exit(2);
}

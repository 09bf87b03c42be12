#!/usr/bin/env bash
# How fast the engine reads a flood of input: LINES lines of junk (default
# 100,000) and then "quit", piped in as a GUI would write them; prints the
# seconds until the program has exited. Usage:
#   scripts/input-throughput.sh build/release/vortelan [LINES]
set -euo pipefail
binary=$(realpath "$1")
lines=${2:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
{
    echo xboard
    awk -v n="$lines" 'BEGIN { for (i = 0; i < n; i++) print "junk line that is no command" }'
    echo quit
} >"$work/input"
cd "$work"
start=$(date +%s.%N)
cat "$work/input" | "$binary" >/dev/null 2>&1
end=$(date +%s.%N)
awk -v lines="$lines" -v start="$start" -v end="$end" 'BEGIN { printf "%d lines and quit: %.2f s\n", lines, end - start }'

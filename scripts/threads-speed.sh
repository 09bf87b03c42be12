#!/usr/bin/env bash
# How much a second search thread gives on this machine: runs the bench
# with one thread and with THREADS (default 2), alternately, RUNS times
# (default 3), and prints each run's nodes per second, the median ratio of
# the speeds, and the median over the positions of the time to reach the
# bench depth with THREADS threads against one. Usage:
#   scripts/threads-speed.sh build/release/vortelan-bench [THREADS] [RUNS]
set -euo pipefail
bench=$1
threads=${2:-2}
runs=${3:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for run in $(seq 1 "$runs"); do
    "$bench" --threads 1 >"$work/one.$run"
    "$bench" --threads "$threads" >"$work/many.$run"
done
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
for run in $(seq 1 "$runs"); do
    one=$(awk '/^nps/ { print $2 }' "$work/one.$run")
    many=$(awk '/^nps/ { print $2 }' "$work/many.$run")
    echo "run $run: 1 thread $one nodes/s, $threads threads $many nodes/s"
    echo "$many $one" | awk '{ print $1 / $2 }' >>"$work/speed"
    # Per position, the time with several threads over the time with one.
    paste <(awk '/^position/ { print $8 }' "$work/one.$run") <(awk '/^position/ { print $8 }' "$work/many.$run") |
        awk '$1 > 0 { print $2 / $1 }' >>"$work/time"
done
echo "speed ratio (median of runs): $(median <"$work/speed")"
echo "time to the bench depth, $threads threads over 1 (median of positions and runs): $(median <"$work/time")"

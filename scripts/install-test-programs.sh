#!/usr/bin/env bash
# Installs what the GUI check (scripts/xboard-match.sh) plays with: the xboard
# GUI, a virtual X server to run it headless, and fairymax as the opponent.
# Does nothing when they are there. Only root with apt-get installs; anyone
# else is told what is missing, and the check is skipped. Never fails the
# build: the engine does not need these programs.
set -u
missing=()
[ -x /usr/games/xboard ] || missing+=(xboard)
command -v Xvfb >/dev/null 2>&1 || missing+=(xvfb)
[ -x /usr/games/fairymax ] || missing+=(fairymax)
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" != 0 ] || ! command -v apt-get >/dev/null 2>&1; then
    echo "install-test-programs: ${missing[*]} missing (Debian: apt-get install ${missing[*]}); the GUI check is skipped"
    exit 0
fi
echo "install-test-programs: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
install() { timeout 300 apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null; }
install || { timeout 300 apt-get update -q >/dev/null && install; } ||
    echo "install-test-programs: could not install ${missing[*]}; the GUI check is skipped"
exit 0

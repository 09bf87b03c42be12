#!/usr/bin/env bash
# Fails, naming them, when C++ files under src/, tools/ or tests/ are not laid
# out the way .clang-format says; `clang-format -i FILE` fixes one. The
# black-box tests are left out: their tables are aligned by hand. In a git
# checkout only the files git tracks are read, so stray local files do not
# count. Where clang-format is missing, root with apt-get installs it (as
# scripts/install-test-programs.sh does its programs); without it the check
# fails rather than pass unread.
set -u
cd "$(dirname "$0")/.." || exit 1

if ! command -v clang-format >/dev/null 2>&1 && [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
    echo "check-format: installing clang-format"
    export DEBIAN_FRONTEND=noninteractive
    install() { timeout 300 apt-get install -y -q --no-install-recommends clang-format >/dev/null; }
    install || { timeout 300 apt-get update -q >/dev/null && install; }
fi
if ! command -v clang-format >/dev/null 2>&1; then
    echo "check-format: clang-format is missing and could not be installed" \
        "(Debian: apt-get install clang-format); the layout of the C++ files is not checked" >&2
    exit 1
fi

if [ -e .git ] && command -v git >/dev/null 2>&1; then
    files=$(git ls-files -- 'src/*.h' 'src/*.cpp' 'tools/*.h' 'tools/*.cpp' 'tests/*.h' 'tests/*.cpp')
else
    files=$(find src tools tests -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
fi

unformatted=()
checked=0
failed=0
while IFS= read -r file; do
    case "$file" in "" | tests/blackbox/*) continue ;; esac
    [ -f "$file" ] || continue  # tracked, but deleted in the working tree
    checked=$((checked + 1))
    report=$(clang-format --dry-run --Werror "$file" 2>&1) && continue
    # Anything but a layout complaint (an unreadable file, a .clang-format
    # this clang-format does not understand) is shown as it came.
    if grep -q 'clang-format-violations' <<<"$report"; then
        unformatted+=("$file")
    else
        echo "check-format: clang-format failed on $file:" >&2
        echo "$report" >&2
        failed=1
    fi
done <<<"$files"

if [ "$checked" -eq 0 ]; then
    echo "check-format: no C++ files found under src/, tools/ or tests/" >&2
    exit 1
fi
if [ ${#unformatted[@]} -ne 0 ]; then
    echo "check-format: ${#unformatted[@]} of $checked files differ from .clang-format ($(clang-format --version)):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    echo "check-format: run clang-format -i on them" >&2
    exit 1
fi
[ "$failed" -eq 0 ] || exit 1
echo "check-format: $checked files laid out as .clang-format says"

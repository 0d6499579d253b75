#!/usr/bin/env bash
# Formats every C++ file of the tree with the committed .clang-format.
# Usage: scripts/format.sh             format every file in place
#        scripts/format.sh FILE...     format these files in place
#        scripts/format.sh --check     list the files that differ and fail
set -euo pipefail
cd "$(dirname "$0")/.."
tool="$(command -v clang-format-14 || command -v clang-format)"
if [ "${1:-}" = "--check" ]; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
  # One run over the tree; each differing line names its file.
  mapfile -t bad < <("$tool" --dry-run "${files[@]}" 2>&1 | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: warning: code should be clang-formatted.*/\1/p' | sort -u)
  if [ ${#bad[@]} -gt 0 ]; then
    printf 'not formatted (run scripts/format.sh):\n'; printf '  %s\n' "${bad[@]}"
    exit 1
  fi
  exit 0
fi
if [ $# -gt 0 ]; then
  # Only C++ files: clang-format would read a CMake list as C++ and ruin it.
  files=()
  for f in "$@"; do
    case "$f" in *.cpp | *.h) files+=("$f") ;; esac
  done
  [ ${#files[@]} -eq 0 ] || "$tool" -i "${files[@]}"
else
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
  "$tool" -i "${files[@]}"
fi

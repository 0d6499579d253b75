#!/usr/bin/env bash
# Formats every C++ file of the tree with the committed .clang-format.
# Usage: scripts/format.sh          format in place
#        scripts/format.sh --check  list the files that differ and fail
set -euo pipefail
cd "$(dirname "$0")/.."
tool="$(command -v clang-format-14 || command -v clang-format)"
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--check" ]; then
  bad=()
  for f in "${files[@]}"; do
    "$tool" --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
  done
  if [ ${#bad[@]} -gt 0 ]; then
    printf 'not formatted (run scripts/format.sh):\n'; printf '  %s\n' "${bad[@]}"
    exit 1
  fi
  exit 0
fi
"$tool" -i "${files[@]}"

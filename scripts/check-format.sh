#!/usr/bin/env bash
# Fails when a C++ source or header of the repository differs from what clang-format makes of it
# with the project's .clang-format; lists the files. `scripts/check-format.sh --fix` rewrites them.
set -euo pipefail
cd "$(dirname "$0")/.."

fix=0
[ "${1:-}" = "--fix" ] && fix=1

mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "$fix" -eq 1 ]; then
  clang-format -i "${files[@]}"
  exit 0
fi

bad=()
for f in "${files[@]}"; do
  clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if [ ${#bad[@]} -ne 0 ]; then
  echo "check-format: ${#bad[@]} files differ from .clang-format (scripts/check-format.sh --fix):"
  printf '  %s\n' "${bad[@]}"
  exit 1
fi
echo "check-format: ${#files[@]} files formatted"

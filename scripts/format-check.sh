#!/usr/bin/env bash
# Checks the project's own C++ (src, tests, bench, catalog; not the test
# fixtures) against .clang-format without changing a file: prints every file
# whose layout differs and exits 1 if there is one.
#   scripts/format-check.sh            every file
#   scripts/format-check.sh FILE...    the files named
set -euo pipefail
cd "$(dirname "$0")/.."

format=${CLANG_FORMAT:-}
if [ -z "$format" ]; then
  for candidate in clang-format-14 clang-format; do
    if command -v "$candidate" >/dev/null; then
      format=$candidate
      break
    fi
  done
fi
if [ -z "$format" ]; then
  echo "format-check: clang-format is not installed" >&2
  exit 2
fi

if [ "$#" -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <(find src tests bench catalog -path tests/fixtures -prune -o \
    -type f \( -name '*.cpp' -o -name '*.h' \) -print | sort)
fi

differ=()
failed=0
for f in "${files[@]}"; do
  if ! out=$("$format" --style=file --dry-run --Werror "$f" 2>&1); then
    if [[ "$out" == *clang-format-violations* ]]; then
      differ+=("$f")
    else
      echo "format-check: clang-format failed on $f" >&2
      failed=1
    fi
  fi
done
[ "$failed" -eq 0 ] || exit 2

if [ "${#differ[@]}" -gt 0 ]; then
  printf '%s\n' "${differ[@]}"
  echo "format-check: ${#differ[@]} of ${#files[@]} files differ from .clang-format" >&2
  exit 1
fi
echo "format-check: ${#files[@]} files as .clang-format has them"
